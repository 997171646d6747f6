#pragma once
#include "app/MenuRegistry.h"

#include <QSet>
#include <QString>

class Connection;
class QObject;
class QWidget;

// What a profile may reach: the menu tags its permission rows enable, and the
// flags of one screen. Profile ids travel as the session's text and are bound
// as numbers.
namespace PermissionGate {

// The profile that may reach everything.
inline QString fullAccessProfile() { return QStringLiteral("1000"); }

// Tags of the forms the profile has a permission row for (0 included when a
// permitted form has no menu tag). Throws DbError.
QSet<int> permittedTags(Connection &c, const QString &idPerfil);

struct ScreenFlags {
    bool found = false; // false: no row, the profile has every right
    QString incluir;
    QString alterar;
    QString excluir;
    QString imprimir;
};

// The profile's row for one permission id. Throws DbError.
ScreenFlags readFlags(Connection &c, const QString &idPerfil, int idForm);

// Hides what the flags refuse (exactly "N"), and shows what a row unlocks.
void apply(QWidget *screen, const ScreenFlags &flags, const Menu::Refusals &refusals);

// Takes an action or a button away for good: hidden, disabled (so its
// shortcut no longer answers either) and marked "zapoRefused" so the screen's
// own enabling rules leave it alone.
void refuse(QObject *actionOrWidget);
inline const char *refusedProperty() { return "zapoRefused"; }

} // namespace PermissionGate
