#include "skin/windowshape.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/shape.h>

#include <vector>

int RoundRegionInset(int cornerSize) {
    return cornerSize <= 15 ? 2 : 4;
}

QRegion RoundRegion(QSize windowPixels, int cornerSize, qreal ratio) {
    const int inset = qRound(RoundRegionInset(cornerSize) * ratio);
    const QRect body(inset, inset, qRound(windowPixels.width() * ratio) - 2 * inset,
                     qRound(windowPixels.height() * ratio) - 2 * inset);
    if (body.isEmpty()) return {};
    const int d = std::min({qRound(cornerSize * ratio), body.width(), body.height()});
    const int r = d / 2;
    QRegion region(body.adjusted(r, 0, -r, 0));
    region += body.adjusted(0, r, 0, -r);
    const QSize corner(d, d);
    region += QRegion(QRect(body.topLeft(), corner), QRegion::Ellipse);
    region += QRegion(QRect(QPoint(body.right() - d + 1, body.top()), corner), QRegion::Ellipse);
    region += QRegion(QRect(QPoint(body.left(), body.bottom() - d + 1), corner), QRegion::Ellipse);
    region += QRegion(QRect(QPoint(body.right() - d + 1, body.bottom() - d + 1), corner),
                      QRegion::Ellipse);
    return region;
}

namespace {

// Sets the X11 window's shape in device pixels each time the window shows,
// after Qt has set its own from the logical mask.
class DeviceOutline : public QObject {
public:
    DeviceOutline(QWidget *window, int cornerSize) : QObject(window), m_cornerSize(cornerSize) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        auto *window = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::Show && window->devicePixelRatioF() != 1)
            setX11Shape(window,
                        RoundRegion(window->size(), m_cornerSize, window->devicePixelRatioF()));
        return false;
    }

private:
    static void setX11Shape(QWidget *window, const QRegion &region) {
        auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x11) return;
        std::vector<xcb_rectangle_t> rectangles;
        for (const QRect &r : region)
            rectangles.push_back({std::int16_t(r.x()), std::int16_t(r.y()),
                                  std::uint16_t(r.width()), std::uint16_t(r.height())});
        xcb_shape_rectangles(x11->connection(), XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                             XCB_CLIP_ORDERING_UNSORTED, xcb_window_t(window->winId()), 0, 0,
                             std::uint32_t(rectangles.size()), rectangles.data());
        xcb_flush(x11->connection());
    }

    int m_cornerSize;
};

} // namespace

void ApplyRoundRegion(QWidget *window, int cornerSize) {
    window->setMask(RoundRegion(window->size(), cornerSize));
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        window->installEventFilter(new DeviceOutline(window, cornerSize));
}

namespace {

DragMoveObserver &observer() {
    static DragMoveObserver instance;
    return instance;
}

// Lives for one drag: follows the pointer until the left button comes up,
// then removes itself.
class PointerFollower : public QObject {
public:
    PointerFollower(QWidget *window, QPoint grabOffset)
        : QObject(window), m_window(window), m_offset(grabOffset) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        switch (event->type()) {
        case QEvent::MouseMove: {
            auto *move = static_cast<QMouseEvent *>(event);
            m_window->move(move->globalPosition().toPoint() - m_offset);
            return true;
        }
        case QEvent::MouseButtonRelease:
        case QEvent::Hide:
            deleteLater();
            m_window->removeEventFilter(this);
            return false;
        default:
            return false;
        }
    }

private:
    QWidget *m_window;
    QPoint m_offset;
};

} // namespace

void setDragMoveObserver(DragMoveObserver replacement) {
    observer() = std::move(replacement);
}

void BeginDragMove(QWidget *window, Qt::MouseButton button, QPoint globalPress) {
    if (button != Qt::LeftButton) return;
    if (observer()) {
        observer()(window);
        return;
    }
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        if (QWindow *handle = window->windowHandle()) handle->startSystemMove();
        return;
    }
    // The window received the press, so it keeps receiving the moves until
    // the button comes up.
    window->installEventFilter(
        new PointerFollower(window, globalPress - window->frameGeometry().topLeft()));
}
