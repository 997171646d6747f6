#include "scheduling/SchedulingScreens.h"
#include "db/DataModule.h"
#include "scheduling/MapaDisponibilidadeScreen.h"
#include "ui/ScreenCatalog.h"

void registerSchedulingScreens(ScreenCatalog &catalog)
{
    catalog.add(48, [](QWidget *parent) -> QWidget * { return new MapaDisponibilidadeScreen(mainConnection(), parent); });
}
