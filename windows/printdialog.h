#pragma once

#include <functional>

class QPagedPaintDevice;
class QWidget;

// The print command: the system print dialog behind a preview of the pages.
// Tests install a recorder in its place, so that no dialog ever blocks them.
namespace PrintDialog {

using PaintPages = std::function<void(QPagedPaintDevice &device)>;

void preview(QWidget *parent, const PaintPages &paint);

// The recorder gets what would paint the pages; an empty one restores the dialog.
using Recorder = std::function<void(const PaintPages &paint)>;
void setRecorder(Recorder recorder);

} // namespace PrintDialog
