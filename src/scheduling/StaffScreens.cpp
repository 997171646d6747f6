#include "scheduling/StaffScreens.h"
#include "scheduling/AtendimentoParticularScreen.h"
#include "scheduling/ProfissionalScreen.h"
#include "ui/ScreenCatalog.h"

void registerStaffScreens(ScreenCatalog &catalog)
{
    catalog.add(7, [](QWidget *parent) -> QWidget * { return new ProfissionalScreen(parent); });
    catalog.add(8, [](QWidget *parent) -> QWidget * { return new AtendimentoParticularScreen(parent); });
}
