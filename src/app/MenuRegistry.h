#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// The main menu as data: every entry in display order, with what it opens,
// the permission id whose flags it reads and what each refused flag hides.
// A screen built later only has to be added to the ScreenCatalog under the
// entry's catalog number; its menu entry is already here.
namespace Menu {

enum class Kind {
    TopMenu,   // a menu of the menu bar
    SubMenu,   // a menu inside a menu ("Tabela")
    Separator,
    Screen,    // opens catalog entry `screen`
    ChangeUser,
    Quit,
    Cascade,
    TileHorizontal,
    TileVertical,
    MinimizeAll,
    ArrangeMinimized,
    CloseAll,
    NoCommand  // shown, never enabled
};

// Object names hidden when the profile's flag is "N".
struct Refusals {
    QStringList incluir;
    QStringList alterar;
    QStringList excluir;
    QStringList imprimir;
    // Made visible when the profile has a row for the screen at all.
    QStringList shownWithRow;
};

struct Entry {
    Kind kind = Kind::Screen;
    QString parent;   // caption of the menu holding it; empty for a TopMenu
    QString caption;  // "&" marks the keyboard accelerator
    QString hint;
    int tag = 0;      // -1: never disabled
    int screen = 0;   // ScreenCatalog number (Kind::Screen)
    int permissionId = 0; // id_form whose flags are read; 0: none read
    Refusals refusals;
    QString objectName;
};

const QList<Entry> &entries();

// Catalog numbers of entries whose three-digit numbers are shared with
// another entry (the same numbers as their rows of the form registry); the
// others open the catalog entry of their own number.
constexpr int ProprietarioAnimalReport = 149;    // "049 - Proprietário & Animal..."
constexpr int AgendaDiariaSelection = 150;       // "050 - Agenda diária da unidade..."
constexpr int SystemInformation = 1100;          // "&Sistema..." of "&Ajuda"
constexpr int AnimalInformation = 1041;          // "Informação do Animal" (finds an animal, prints its page)

} // namespace Menu
