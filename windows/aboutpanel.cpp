#include "windows/aboutpanel.h"

#include "skin/colors.h"
#include "skin/linedlabel.h"
#include "skin/picturebox.h"
#include "skin/skinnedbutton.h"
#include "skin/songfont.h"
#include "skin/twips.h"
#include "skin/windowshape.h"
#include "windows/helpwindow.h"
#include "windows/windowplacement.h"

#include <QLabel>

#include <algorithm>

AboutPanel::AboutPanel()
    : SkinnedWindow(DialogChromeLayout(QStringLiteral("关于墨序成绩统计软件")), {}) {
    setObjectName(QStringLiteral("AboutPanel"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("　版权说明"));
    setFixedSize(twipsToPixels(5625), twipsToPixels(3045));
    setFont(songFont(9));

    picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setGeometry(twipsRect(240, 600, 1500, 1500));
    picture->setPixmap(QPixmap::fromImage(
        skin::scaledPicture(QStringLiteral(":/windows/about.png"), devicePixelRatioF())));

    notice = makeNotice();
    notice->setObjectName(QStringLiteral("notice"));
    notice->setGeometry(twipsRect(1800, 720, 3615, 1455));
    notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notice->setText(QStringLiteral("墨序成绩统计软件\r\n版本 %1\r\n墨序软件工作室\r\n"
                                   "问题与建议请告知\r\n学校的信息技术老师")
                        .arg(QStringLiteral(SCORE_ANALYSIS_VERSION)));

    helpButton = addButton(QStringLiteral("帮　　 助"), 2160);
    helpButton->setObjectName(QStringLiteral("helpButton"));
    cancelButton = addButton(QStringLiteral("取　　 消"), 3960);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(helpButton, &SkinnedButton::clicked, this, &AboutPanel::showHelp);
    connect(cancelButton, &SkinnedButton::clicked, this, &QWidget::close);

    // Load: outline, button colours (caption first, then face), centre.
    ApplyRoundRegion(this, 20);
    for (SkinnedButton *button : {helpButton, cancelButton}) {
        button->setCaptionColor(toQColor(RGB(0, 0, 0)));
        button->setFaceColor(toQColor(skin::Base));
    }
    CenterOnScreen(this);
}

// Five lines in the face with the wider line spacing, as far apart as the
// label's 97 pixels allow (19), and white, which stands out from the gradient
// from the label's top (contrast 4.8) to its bottom (11); black fell to 1.9.
QLabel *AboutPanel::makeNotice() {
    const QFont font = readingSongFont(10.5);
    const QFontMetrics metrics(font);
    const int height = twipsToPixels(1455), lines = 5;
    const int pitch = std::min(metrics.lineSpacing(),
                               (height - metrics.ascent() - metrics.descent()) / (lines - 1));
    auto *label = new LinedLabel(this, metrics.ascent(), pitch);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

SkinnedButton *AboutPanel::addButton(const QString &caption, int left) {
    auto *button = new SkinnedButton(caption, 240, 105, this);
    button->setGeometry(twipsRect(left, 2280, 1335, 450));
    return button;
}

void AboutPanel::showHelp() {
    HelpWindow::showWindow();
    close();
}
