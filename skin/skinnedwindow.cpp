#include "skin/skinnedwindow.h"

#include "skin/captionbutton.h"
#include "skin/twips.h"
#include "skin/windowshape.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

SkinnedWindow::SkinnedWindow(const ChromeLayout &chrome, Qt::WindowFlags flags)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | flags), m_chrome(chrome) {}

void SkinnedWindow::addLogoAndCloseButton(QPoint closeButtonAt) {
    logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("logo"));
    logo->setGeometry(twipsRect(120, 120, 300, 300));
    logo->setPixmap(QPixmap::fromImage(skin::logoPicture(devicePixelRatioF())));
    logo->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    closeButton = new CaptionButton(this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setGeometry(twipsRect(closeButtonAt.x(), closeButtonAt.y(), 300, 300));
    connect(closeButton, &PictureBox::clicked, this, &QWidget::close);
}

void SkinnedWindow::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    PaintChrome(this, painter, m_chrome);
}

void SkinnedWindow::mousePressEvent(QMouseEvent *event) {
    // Presses on controls arrive here when the control ignores them (labels,
    // frames, the logo); only the bare surface moves the window.
    if (childAt(event->position().toPoint())) return;
    BeginDragMove(this, event->button(), event->globalPosition().toPoint());
}
