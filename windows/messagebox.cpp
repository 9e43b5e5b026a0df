#include "windows/messagebox.h"

#include "analysis/texts/messages.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace {
MessageBox::Recorder &messageRecorder() {
    static MessageBox::Recorder instance;
    return instance;
}
} // namespace

void MessageBox::show(QWidget *parent, const QString &text) {
    if (messageRecorder()) {
        messageRecorder()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, analysis::messages::applicationTitle(), text,
                    QMessageBox::Ok, parent);
    // The program speaks Chinese throughout, and the box shows no icon at all.
    QAbstractButton *ok = box.button(QMessageBox::Ok);
    ok->setText(QStringLiteral("确定"));
    ok->setIcon(QIcon());
    box.exec();
}

void MessageBox::setRecorder(Recorder replacement) {
    messageRecorder() = std::move(replacement);
}
