#include "scheduling/StaffScreens.h"
#include "scheduling/ProfissionalScreen.h"
#include "ui/ScreenCatalog.h"

void registerStaffScreens(ScreenCatalog &catalog)
{
    catalog.add(7, [](QWidget *parent) -> QWidget * { return new ProfissionalScreen(parent); });
}
