#include "windows/helpwindow.h"

#include "analysis/texts/helpfile.h"
#include "skin/songfont.h"
#include "skin/twips.h"
#include "skin/windowshape.h"
#include "windows/windowplacement.h"

#include <QCoreApplication>
#include <QDir>
#include <QPlainTextEdit>

QString HelpWindow::helpFilePath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Help.dat"));
}

HelpWindow::HelpWindow()
    : SkinnedWindow(
          {QStringLiteral("帮助"), QPoint(610, 210), QPoint(600, 200), skin::HelpSeparatorBase},
          Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("　帮助"));
    setFixedSize(twipsToPixels(10020), twipsToPixels(5865));

    textBox = new QPlainTextEdit(this);
    textBox->setObjectName(QStringLiteral("textBox"));
    textBox->setGeometry(twipsRect(120, 480, 9730, 5200));
    textBox->setReadOnly(true);
    // The face whose line spacing keeps wrapped lines apart.
    textBox->setFont(readingSongFont(10.5));
    textBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    addLogoAndCloseButton(QPoint(9550, 100));
    load();
}

void HelpWindow::load() {
    CenterOnScreen(this);
    ApplyRoundRegion(this, 20);
    const analysis::HelpFile file = analysis::readHelpFile(helpFilePath());
    m_text = file.text;
    // The box breaks lines at LF; the CR of each line end is not shown.
    QString shown = m_text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (shown.endsWith(u'\n')) shown.chop(1);
    textBox->setPlainText(shown);
}
