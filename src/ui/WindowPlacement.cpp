#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
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

namespace {

class CentreNewWindows : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(watched);
        // Only real windows opened from another one, once; a window its code
        // moved (a dialog places itself, some windows remember a spot) keeps
        // that place.
        if (!w->isWindow() || !w->parentWidget() || w->property("zapoPlaced").toBool())
            return false;
        const Qt::WindowType type = w->windowType();
        if (type != Qt::Window && type != Qt::Dialog)
            return false;
        w->setProperty("zapoPlaced", true);
        if (!w->testAttribute(Qt::WA_Moved))
            centreOver(w, w->parentWidget());
        return false;
    }
};

} // namespace

void install()
{
    static CentreNewWindows *filter = nullptr;
    if (!filter && qApp) {
        filter = new CentreNewWindows(qApp);
        qApp->installEventFilter(filter);
    }
}

} // namespace WindowPlacement
