#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace WindowPlacement {

QRect centred(const QSize &size, const QPoint &centre, const QRect &available)
{
    QRect r(QPoint(0, 0), size);
    r.moveCenter(centre);
    if (r.right() > available.right())
        r.moveRight(available.right());
    if (r.bottom() > available.bottom())
        r.moveBottom(available.bottom());
    if (r.left() < available.left())
        r.moveLeft(available.left());
    if (r.top() < available.top())
        r.moveTop(available.top());
    return r;
}

void centreOver(QWidget *window, const QWidget *opener)
{
    if (!window)
        return;
    const QWidget *over = opener && opener->isVisible() ? opener : nullptr;
    if (!over && opener && opener->window()->isVisible())
        over = opener->window();
    if (!over)
        over = QApplication::activeWindow();
    QPoint centre;
    QScreen *screen = nullptr;
    if (over) {
        centre = over->mapToGlobal(over->rect().center());
        screen = QGuiApplication::screenAt(centre);
    }
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    if (!over)
        centre = screen->availableGeometry().center();
    // The frame the window manager adds is not known before the first
    // show; the client area is placed and the frame follows it.
    const QRect r = centred(window->size(), centre, screen->availableGeometry());
    window->move(r.topLeft());
}

} // namespace WindowPlacement
