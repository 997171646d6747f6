#include "ui/Toolbar.h"

#include <QAction>
#include <QStyle>
#include <QToolBar>
#include <QWidget>

namespace Toolbar {

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
