#pragma once

class QWidget;

// Whether any screen under a window is inserting or editing a record, read
// from the screens' own save commands: a register screen's "Gravar"
// (actPost, and the panels' act...Gravar / act...Post) is enabled exactly
// while a record is being inserted or altered, and the map's "Gravar"
// button while its "Cancelar" is live. Asked before the program or all
// its windows close, so that nothing typed is lost without a word.
namespace UnsavedWork {

bool pending(const QWidget *root);

// "Existem alterações não gravadas. Deseja realmente sair?" when something
// is pending under `root`; true when there is nothing or the clerk says Sim.
bool confirmLeaving(const QWidget *root, QWidget *parent);

} // namespace UnsavedWork
