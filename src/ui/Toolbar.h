#pragma once
#include "ui/RecordKeys.h"
#include "ui/register/RecordState.h"

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <utility>

class QAction;
class QToolBar;
class QWidget;

// One button of a toolbar; an entry without a name is a separator.
struct ToolbarEntry {
    const char *name = nullptr;
    QString caption;
    QList<QKeySequence> keys;
    std::function<void()> run;
};

// The object names a toolbar gives its ten record commands, in the order of
// RecordCommand (Novo ... Último).
using RecordActionNames = std::array<const char *, 10>;

namespace Toolbar {

// Novo, Alterar, Excluir, Atualizar, Gravar, Cancelar, a separator, then
// Primeiro, Anterior, Próximo, Último, with the keys every register toolbar
// gives them; `run` is told which one was chosen.
QList<ToolbarEntry> recordEntries(const RecordActionNames &names, const std::function<void(RecordCommand)> &run);

// Dispatches the record commands to a screen's slots of the usual names
// (novo, alterar, excluir, atualizar, gravar, cancelar, moveTo); `where`
// gives the current position and how many records there are to move among.
template <class Screen>
std::function<void(RecordCommand)> recordCommandsOf(Screen *screen, std::function<std::pair<int, int>()> where)
{
    return [screen, where](RecordCommand c) {
        const auto [index, count] = where();
        switch (c) {
        case RecordCommand::Novo: screen->novo(); break;
        case RecordCommand::Alterar: screen->alterar(); break;
        case RecordCommand::Excluir: screen->excluir(); break;
        case RecordCommand::Atualizar: screen->atualizar(); break;
        case RecordCommand::Gravar: screen->gravar(); break;
        case RecordCommand::Cancelar: screen->cancelar(); break;
        case RecordCommand::Primeiro: screen->moveTo(0); break;
        case RecordCommand::Anterior: screen->moveTo(index - 1); break;
        case RecordCommand::Proximo: screen->moveTo(index + 1); break;
        case RecordCommand::Ultimo: screen->moveTo(count - 1); break;
        }
    };
}

// The toolbar's actions, owned by `scope` (a screen or one of its tabs) and
// kept in `actions` by object name. Captions sit under their icons; the hint
// is the caption without dots and ampersands; the keys answer only while
// `scope` is visible, so two tabs' toolbars may share keys.
void addActions(QWidget *scope, QToolBar *bar, const QList<ToolbarEntry> &entries, QHash<QString, QAction *> &actions);

// A command's hint: the caption without dots and ampersands, then its
// first key, "Novo (Ctrl+Insert)".
QString hint(const QString &caption, const QList<QKeySequence> &keys);
// Makes the keys of a screen's enabled commands work while the focus is in
// any of its fields, before the field's own use of the key (installed once;
// addActions does it).
void commandKeysFirst();

// Enables each record command as `state` allows. An action the profile
// refuses ("zapoRefused") stays disabled whatever the state.
void applyRecordState(const RecordState &state, const QHash<QString, QAction *> &actions, const RecordActionNames &names);
// The same for the ten actions themselves, in the order of RecordCommand.
void applyRecordState(const RecordState &state, const std::array<QAction *, 10> &actions);
// The same for one action.
void enable(QAction *action, bool allowed);

// The profile's flag for one action: a refused action is hidden and marked,
// so that no enabling rule brings it back.
void refuse(QAction *action, bool allowed);

} // namespace Toolbar
