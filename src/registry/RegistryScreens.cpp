#include "registry/RegistryScreens.h"
#include "registry/PropAnimalScreen.h"
#include "ui/ScreenCatalog.h"

void registerRegistryScreens(ScreenCatalog &catalog)
{
    catalog.add(6, [](QWidget *parent) -> QWidget * { return new PropAnimalScreen(parent); });
}
