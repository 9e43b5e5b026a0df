#include "windows/helpwindow.h"

#include "skin/captionbutton.h"
#include "skin/chrome.h"
#include "analysis/helpfile.h"
#include "skin/picturebox.h"
#include "skin/twips.h"
#include "windows/windowplacement.h"
#include "skin/windowshape.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>

QString Help::helpFilePath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Help.dat"));
}

Help::Help() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("　帮助"));
    setFixedSize(twipsToPixels(10020), twipsToPixels(5865));

    QFont song(QStringLiteral("宋体"));
    song.setPointSizeF(10.5);
    Txt = new QPlainTextEdit(this);
    Txt->setObjectName(QStringLiteral("Txt"));
    Txt->setGeometry(twipsRect(120, 480, 9730, 5200));
    Txt->setReadOnly(true);
    Txt->setFont(song);
    Txt->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Txt->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Logo = new QLabel(this);
    Logo->setObjectName(QStringLiteral("Logo"));
    Logo->setGeometry(twipsRect(120, 120, 300, 300));
    Logo->setPixmap(QPixmap::fromImage(skin::logoPicture()));

    CP0 = new CaptionButton(this);
    CP0->setObjectName(QStringLiteral("CP(0)"));
    CP0->setGeometry(twipsRect(9550, 100, 300, 300));
    connect(CP0, &PictureBox::clicked, this, &QWidget::close);

    load();
}

void Help::load() {
    CenterOnScreen(this);
    ApplyRoundRegion(this, 20);
    const analysis::HelpFile file = analysis::readHelpFile(helpFilePath());
    m_text = file.text;
    // The box breaks lines at LF; the CR of each line end is not shown.
    QString shown = m_text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (shown.endsWith(u'\n')) shown.chop(1);
    Txt->setPlainText(shown);
}

void Help::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    PaintChrome(
        this, painter,
        {QStringLiteral("帮助"), QPoint(610, 210), QPoint(600, 200), skin::HelpSeparatorBase});
}

void Help::mousePressEvent(QMouseEvent *event) {
    if (childAt(event->position().toPoint())) return;
    BeginDragMove(this, event->button(), event->globalPosition().toPoint());
}
