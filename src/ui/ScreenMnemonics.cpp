#include "ui/ScreenMnemonics.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QShortcutEvent>
#include <QTabBar>

namespace {

bool usable(const QWidget *w, const QWidget *screen)
{
    return w->isEnabled() && w->isVisibleTo(screen) && w->isVisible();
}

// Performs what `key` means in `screen`; false when nothing there claims it.
bool actIn(QWidget *screen, const QKeySequence &key)
{
    for (QAbstractButton *b : screen->findChildren<QAbstractButton *>()) {
        if (b->shortcut() == key && usable(b, screen)) {
            b->setFocus(Qt::ShortcutFocusReason);
            b->animateClick();
            return true;
        }
    }
    for (QTabBar *bar : screen->findChildren<QTabBar *>()) {
        if (!usable(bar, screen))
            continue;
        for (int i = 0; i < bar->count(); ++i)
            if (bar->isTabEnabled(i) && QKeySequence::mnemonic(bar->tabText(i)) == key) {
                bar->setCurrentIndex(i);
                return true;
            }
    }
    for (QLabel *l : screen->findChildren<QLabel *>()) {
        QWidget *buddy = l->buddy();
        if (buddy && usable(l, screen) && usable(buddy, screen) && QKeySequence::mnemonic(l->text()) == key) {
            buddy->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    return false;
}

class Arbiter : public QObject {
public:
    explicit Arbiter(QMdiArea *area) : QObject(area), m_area(area) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Shortcut || !m_area)
            return false;
        auto *se = static_cast<QShortcutEvent *>(event);
        if (!se->isAmbiguous())
            return false;
        auto *w = qobject_cast<QWidget *>(watched);
        if (!w || w->window() != m_area->window())
            return false;
        QMdiSubWindow *sub = m_area->activeSubWindow();
        if (!sub || !sub->widget())
            return false;
        return actIn(sub->widget(), se->key());
    }

private:
    QPointer<QMdiArea> m_area;
};

} // namespace

namespace ScreenMnemonics {

void install(QMdiArea *area)
{
    if (area)
        qApp->installEventFilter(new Arbiter(area));
}

} // namespace ScreenMnemonics
