#include "messagebox.h"

#include "messages.h"

#include <QMessageBox>

namespace {
MessageBox::Recorder &recorder() {
    static MessageBox::Recorder instance;
    return instance;
}
} // namespace

void MessageBox::show(QWidget *parent, const QString &text) {
    if (recorder()) {
        recorder()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, analysis::messages::applicationTitle(), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

void MessageBox::setRecorder(Recorder replacement) {
    recorder() = std::move(replacement);
}
