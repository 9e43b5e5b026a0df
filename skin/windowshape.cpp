#include "skin/windowshape.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

int RoundRegionInset(int cornerSize) {
    return cornerSize <= 15 ? 2 : 4;
}

QRegion RoundRegion(QSize windowPixels, int cornerSize) {
    const int inset = RoundRegionInset(cornerSize);
    const QRect body(inset, inset, windowPixels.width() - 2 * inset,
                     windowPixels.height() - 2 * inset);
    if (body.isEmpty()) return {};
    const int d = std::min({cornerSize, body.width(), body.height()});
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

void ApplyRoundRegion(QWidget *window, int cornerSize) {
    window->setMask(RoundRegion(window->size(), cornerSize));
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
