#include "ui/Toolbar.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <QToolBar>
#include <QWidget>

namespace Toolbar {

namespace {

// Text editors claim many Ctrl keys for themselves (Ctrl+Insert copies,
// Ctrl+A selects all, Ctrl+Backspace deletes a word): a screen's command
// with that key, enabled, wins wherever the focus is on that screen.
class CommandKeysFirst : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        auto *k = static_cast<QKeyEvent *>(event);
        if (!(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
        auto *w = qobject_cast<QWidget *>(watched);
        if (!w)
            return false;
        const QKeySequence key(k->keyCombination());
        for (QWidget *p = w; p; p = p->parentWidget()) {
            for (const QAction *a : p->actions())
                if (a->isEnabled() && a->shortcuts().contains(key))
                    return true; // not offered to the editor: the shortcut runs
            if (p->isWindow())
                break;
        }
        return false;
    }
};

} // namespace

void commandKeysFirst()
{
    static CommandKeysFirst *filter = nullptr;
    if (!filter && qApp) {
        filter = new CommandKeysFirst(qApp);
        qApp->installEventFilter(filter);
    }
}

QString hint(const QString &caption, const QList<QKeySequence> &keys)
{
    QString h = caption;
    h.remove(QLatin1Char('.'));
    h.remove(QLatin1Char('&'));
    if (keys.isEmpty())
        return h;
    // As the keyboard's keys are labelled.
    QString k = keys.first().toString(QKeySequence::PortableText);
    k.replace(QStringLiteral("Ins"), QStringLiteral("Insert"))
        .replace(QStringLiteral("Del"), QStringLiteral("Delete"))
        .replace(QStringLiteral("Return"), QStringLiteral("Enter"))
        .replace(QStringLiteral("PgDown"), QStringLiteral("Page Down"))
        .replace(QStringLiteral("PgUp"), QStringLiteral("Page Up"));
    return h + QStringLiteral(" (") + k + QLatin1Char(')');
}

QList<ToolbarEntry> recordEntries(const RecordActionNames &names, const std::function<void(RecordCommand)> &run)
{
    using R = RecordCommand;
    static const QList<std::pair<R, QString>> commands = {
        {R::Novo, QStringLiteral("Novo")},         {R::Alterar, QStringLiteral("Alterar")},
        {R::Excluir, QStringLiteral("Excluir")},   {R::Atualizar, QStringLiteral("Atualizar")},
        {R::Gravar, QStringLiteral("Gravar")},     {R::Cancelar, QStringLiteral("Cancelar")},
        {R::Primeiro, QStringLiteral("Primeiro")}, {R::Anterior, QStringLiteral("Anterior")},
        {R::Proximo, QStringLiteral("Próximo")},   {R::Ultimo, QStringLiteral("Último")},
    };
    QList<ToolbarEntry> entries;
    for (const auto &[command, caption] : commands) {
        if (command == R::Primeiro)
            entries.append(ToolbarEntry{});
        const R c = command;
        entries.append({names.at(size_t(c)), caption, recordKeys(c), [run, c] { run(c); }});
    }
    return entries;
}

void addActions(QWidget *scope, QToolBar *bar, const QList<ToolbarEntry> &entries, QHash<QString, QAction *> &actions)
{
    // Captions under icons, as on every register screen.
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(16, 16));
    commandKeysFirst();
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
        const QString hint = Toolbar::hint(e.caption, {});
        a->setToolTip(Toolbar::hint(e.caption, e.keys));
        a->setStatusTip(hint);
        QObject::connect(a, &QAction::triggered, scope, e.run);
        bar->addAction(a);
        scope->addAction(a);
        if (QWidget *button = bar->widgetForAction(a))
            button->setAccessibleName(hint);
        actions.insert(a->objectName(), a);
    }
}

void enable(QAction *action, bool allowed)
{
    if (action)
        action->setEnabled(allowed && !action->property("zapoRefused").toBool());
}

void refuse(QAction *action, bool allowed)
{
    if (!action)
        return;
    action->setVisible(allowed);
    action->setProperty("zapoRefused", !allowed);
}

void applyRecordState(const RecordState &s, const std::array<QAction *, 10> &actions)
{
    using R = RecordCommand;
    const auto set = [&](R c, bool allowed) { enable(actions.at(size_t(c)), allowed); };
    set(R::Novo, s.canAppend());
    set(R::Alterar, s.canEdit());
    set(R::Excluir, s.canDelete());
    set(R::Atualizar, s.canRefresh());
    set(R::Gravar, s.canPost());
    set(R::Cancelar, s.canCancel());
    set(R::Primeiro, s.canGoBack());
    set(R::Anterior, s.canGoBack());
    set(R::Proximo, s.canGoForward());
    set(R::Ultimo, s.canGoForward());
}

void applyRecordState(const RecordState &s, const QHash<QString, QAction *> &actions, const RecordActionNames &names)
{
    std::array<QAction *, 10> byCommand{};
    for (size_t i = 0; i < names.size(); ++i)
        byCommand.at(i) = actions.value(QString::fromLatin1(names.at(i)));
    applyRecordState(s, byCommand);
}

} // namespace Toolbar
