#include "app/ScreenWiring.h"
#include "app/MenuRegistry.h"
#include "app/SobreScreen.h"
#include "app/TracaSenhaScreen.h"
#include "db/DataModule.h"
#include "ui/ScreenCatalog.h"

void registerShellScreens(ScreenCatalog &catalog)
{
    catalog.add(4, [](QWidget *parent) -> QWidget * { return new TracaSenhaScreen(parent); });
    catalog.add(Menu::SystemInformation, [](QWidget *parent) -> QWidget * {
        return new SobreScreen(mainConnection().parameterText(), parent);
    });
}

void registerAllScreens()
{
    ScreenCatalog &catalog = ScreenCatalog::instance();
    registerShellScreens(catalog);
    // One line per area, as each lands:
}
