#include "app/numerickeyfilter.h"

#include "analysis/grid/numerickey.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace {

// A character code as the key-press convention hands it over: a signed
// 16-bit value, so characters beyond U+7FFF come out negative and are dropped
// like every other code outside the accepted ones.
bool passes(QChar character) {
    std::int16_t code = static_cast<std::int16_t>(character.unicode());
    analysis::FilterNumericKey(code);
    return code != analysis::keycode::Cancelled;
}

} // namespace

void NumericKeyFilter::install(QObject *field) {
    static NumericKeyFilter *shared = new NumericKeyFilter(QCoreApplication::instance());
    field->installEventFilter(shared);
}

bool NumericKeyFilter::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Tab moves the focus and Delete erases; neither types a character.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
            key->key() == Qt::Key_Delete)
            return false;
        const QString text = key->text();
        if (text.isEmpty()) return false;
        for (QChar character : text)
            if (!passes(character)) return true; // the field never sees the keystroke
        return false;
    }
    if (event->type() == QEvent::InputMethod) {
        // Characters composed by an input method arrive without a key press of
        // their own; they are typed all the same, so the rule applies.
        auto *input = static_cast<QInputMethodEvent *>(event);
        QString kept;
        for (QChar character : input->commitString())
            if (passes(character)) kept.append(character);
        if (kept != input->commitString()) {
            input->setCommitString(kept, input->replacementStart(), input->replacementLength());
        }
        return false;
    }
    return QObject::eventFilter(watched, event);
}
