#include "app/EnterAsTab.h"

#include <QKeyEvent>
#include <QWidget>

void EnterAsTab::watch(QWidget *editor)
{
    editor->installEventFilter(this);
}

bool EnterAsTab::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(event);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
            && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (auto *w = qobject_cast<QWidget *>(watched)) {
                QWidget *next = w->nextInFocusChain();
                while (next && next != w && !(next->focusPolicy() & Qt::TabFocus && next->isEnabled() && next->isVisibleTo(w->window())))
                    next = next->nextInFocusChain();
                if (next && next != w)
                    next->setFocus(Qt::TabFocusReason);
            }
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
