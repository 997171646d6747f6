#include "registry/FormHelpers.h"
#include "db/DbError.h"
#include "ui/Services.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QToolBar>

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

namespace FormHelpers {

namespace {

class RestoreOnLeave : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusOut) {
            auto *w = static_cast<QWidget *>(watched);
            w->setPalette(QPalette());
            w->setAutoFillBackground(false);
            w->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

class EnterAsTab : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *k = static_cast<QKeyEvent *>(event);
        if ((k->key() != Qt::Key_Return && k->key() != Qt::Key_Enter) || k->modifiers() & Qt::ControlModifier)
            return false;
        auto *w = qobject_cast<QWidget *>(watched);
        if (!w || w->property("zapoOwnEnter").toBool())
            return false;
        const bool single = qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w)
                            || qobject_cast<QAbstractSpinBox *>(w);
        if (!single)
            return false;
        if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->view() && combo->view()->isVisible())
            return false;
        focusNext(w);
        return true;
    }
};

} // namespace

void focusNext(QWidget *w)
{
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &tab);
}

void markRefused(QWidget *editor)
{
    if (!editor)
        return;
    QPalette p = editor->palette();
    p.setColor(QPalette::Base, Qt::yellow);
    p.setColor(QPalette::Button, Qt::yellow);
    p.setColor(QPalette::Window, Qt::yellow);
    editor->setPalette(p);
    editor->setAutoFillBackground(true);
    editor->setFocus(Qt::OtherFocusReason);
    editor->installEventFilter(new RestoreOnLeave(editor));
}

void installEnterAsTab(QWidget *root)
{
    auto *filter = new EnterAsTab(root);
    const QList<QWidget *> all = root->findChildren<QWidget *>();
    for (QWidget *w : all)
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w))
            w->installEventFilter(filter);
}

void upperCase(QLineEdit *e)
{
    QObject::connect(e, &QLineEdit::textEdited, e, [e](const QString &t) {
        const QString u = t.toUpper();
        if (u != t) {
            const int pos = e->cursorPosition();
            e->setText(u);
            e->setCursorPosition(pos);
        }
    });
}

void readOnlyGrey(QLineEdit *e)
{
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, QApplication::palette().color(QPalette::Window));
    e->setPalette(p);
}

QLabel *caption(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setBuddy(buddy);
    buddy->setAccessibleName(text);
    return l;
}

void addToolbarActions(QWidget *scope, QToolBar *bar, const QList<ToolbarEntry> &entries, QHash<QString, QAction *> &actions)
{
    for (const ToolbarEntry &e : entries) {
        if (!e.name) {
            bar->addSeparator();
            continue;
        }
        auto *a = new QAction(e.caption, scope);
        a->setObjectName(QString::fromLatin1(e.name));
        a->setShortcuts(e.keys);
        // A hidden widget's actions do not answer their keys.
        a->setShortcutContext(Qt::WindowShortcut);
        QString hint = e.caption;
        hint.remove(QLatin1Char('.'));
        hint.remove(QLatin1Char('&'));
        a->setToolTip(hint);
        a->setStatusTip(hint);
        QObject::connect(a, &QAction::triggered, scope, e.run);
        bar->addAction(a);
        scope->addAction(a);
        if (QWidget *button = bar->widgetForAction(a))
            button->setAccessibleName(hint);
        actions.insert(a->objectName(), a);
    }
}

void showError(const std::exception &e, QWidget *parent)
{
    const auto *db = dynamic_cast<const DbError *>(&e);
    Services::messages().error(db ? db->text() : QString::fromLocal8Bit(e.what()), parent);
}

} // namespace FormHelpers
