#include "ui/FormHelpers.h"
#include "db/DbError.h"
#include "ui/FocusFlow.h"
#include "ui/RecordKeys.h"
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
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QStyle>
#include <QWidget>

namespace FormHelpers {

namespace {

class RestoreOnLeave : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusOut) {
            // The message box that says why the field was refused takes the
            // focus for a while: the colour stays until the clerk leaves
            // the field themselves.
            const Qt::FocusReason why = static_cast<QFocusEvent *>(event)->reason();
            if (why == Qt::ActiveWindowFocusReason || why == Qt::PopupFocusReason)
                return false;
            auto *w = static_cast<QWidget *>(watched);
            w->setPalette(QPalette());
            w->setAutoFillBackground(false);
            w->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

} // namespace

void focusNext(QWidget *w)
{
    FocusFlow::focusNext(w);
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
    FocusFlow::watchBelow(root);
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
    // Captions under icons, as on every register screen.
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(16, 16));
    for (const ToolbarEntry &e : entries) {
        if (!e.name) {
            bar->addSeparator();
            continue;
        }
        auto *a = new QAction(e.caption, scope);
        if (const QStyle::StandardPixmap icon = toolbarIcon(e.caption); icon != QStyle::SP_CustomBase)
            a->setIcon(scope->style()->standardIcon(icon));
        a->setIconText(e.caption);
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
