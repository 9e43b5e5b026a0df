#pragma once

#include <QString>

#include <functional>

class QWidget;

// The one way the windows tell the user something: a modal box with the
// program's title as its caption, the text, an OK button and no icon.
// Tests install a recorder in its place, so that no box ever blocks them.
namespace MessageBox {

void show(QWidget *parent, const QString &text);

using Recorder = std::function<void(const QString &text)>;
void setRecorder(Recorder recorder); // an empty recorder restores the real box

} // namespace MessageBox
