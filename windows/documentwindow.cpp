#include "windows/documentwindow.h"

#include "skin/colors.h"
#include "skin/picturebox.h"
#include "skin/songfont.h"
#include "skin/twips.h"
#include "skin/windowshape.h"
#include "windows/windowplacement.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

// The report, grade comparison and exam windows share one size.
constexpr int WidthTwips = 16200, HeightTwips = 10800;

} // namespace

DocumentWindow::DocumentWindow(const QString &title, const QString &objectName)
    : SkinnedWindow({title, QPoint(450, 210), QPoint(440, 200), skin::Base}, {}) {
    setObjectName(objectName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setWindowIcon(skin::programIcon());
    setFixedSize(twipsToPixels(WidthTwips), twipsToPixels(HeightTwips));
    setFont(songFont(9));
}

void DocumentWindow::layOut(QWidget *fields, QWidget *document, QLayout *commands, int spacing) {
    auto *body = new QWidget(this);
    body->setGeometry(8, twipsToPixels(480), width() - 16, height() - twipsToPixels(480) - 8);
    auto *columns = new QHBoxLayout;
    columns->setContentsMargins(0, 0, 0, 0);
    columns->addWidget(fields);
    columns->addWidget(document, 1);
    auto *rows = new QVBoxLayout(body);
    rows->setContentsMargins(0, 0, 0, 0);
    if (spacing >= 0) rows->setSpacing(spacing);
    rows->addLayout(columns, 1);
    rows->addLayout(commands);

    addLogoAndCloseButton(QPoint(WidthTwips - 470, 100));
    CenterOnScreen(this);
    ApplyRoundRegion(this, 20);
}
