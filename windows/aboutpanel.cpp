#include "windows/aboutpanel.h"

#include "skin/chrome.h"
#include "skin/colors.h"
#include "windows/helpwindow.h"
#include "skin/skinnedbutton.h"
#include "skin/twips.h"
#include "windows/windowplacement.h"
#include "skin/windowshape.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

Rightform::Rightform() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Rightform"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("　版权说明"));
    setFixedSize(twipsToPixels(5625), twipsToPixels(3045));
    QFont song(QStringLiteral("宋体"));
    song.setPointSizeF(9);
    setFont(song);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(twipsRect(240, 600, 1500, 1500));
    Image2->setPixmap(QPixmap(QStringLiteral(":/windows/about.png")));

    Notice = new QLabel(this);
    Notice->setObjectName(QStringLiteral("Notice"));
    Notice->setGeometry(twipsRect(1800, 720, 3615, 1455));
    Notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    song.setPointSizeF(10.5);
    Notice->setFont(song);
    Notice->setText(QStringLiteral("墨序成绩统计软件\r\n版本 %1\r\n墨序软件工作室\r\n"
                                   "问题与建议请告知\r\n学校的信息技术老师")
                        .arg(QStringLiteral(SCORE_ANALYSIS_VERSION)));

    const QString captions[] = {QStringLiteral("帮　　 助"), QStringLiteral("取　　 消")};
    const int lefts[] = {2160, 3960};
    for (int i = 0; i < 2; ++i) {
        auto *button = new SkinnedButton(i, captions[i], 240, 105, this);
        button->setObjectName(QStringLiteral("Pic(%1)").arg(i));
        button->setGeometry(twipsRect(lefts[i], 2280, 1335, 450));
        connect(button, &SkinnedButton::clickedIndex, this, &Rightform::Pic_Click);
        Pic[std::size_t(i)] = button;
    }

    // Load: outline, button colours (caption first, then face), centre.
    ApplyRoundRegion(this, 20);
    for (SkinnedButton *button : Pic) {
        button->setCaptionColor(toQColor(RGB(0, 0, 0)));
        button->setFaceColor(toQColor(skin::Base));
    }
    CenterOnScreen(this);
}

void Rightform::Pic_Click(int index) {
    if (index == 0) Help::showWindow();
    close();
}

void Rightform::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    PaintDialogChrome(this, painter, QStringLiteral("关于墨序成绩统计软件"));
}

void Rightform::mousePressEvent(QMouseEvent *event) {
    if (childAt(event->position().toPoint())) return;
    BeginDragMove(this, event->button(), event->globalPosition().toPoint());
}
