#include "app/ScreenWiring.h"
#include "access/AccessScreens.h"
#include "app/MenuRegistry.h"
#include "app/SobreScreen.h"
#include "app/TracaSenhaScreen.h"
#include "db/DataModule.h"
#include "app/Product.h"
#include "registry/RegistryScreens.h"
#include "reports/ListReports.h"
#include "reports/OwnerAnimalReport.h"
#include "reports/engine/Reports.h"
#include "scheduling/SchedulingScreens.h"
#include "tables/TableScreens.h"
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
    registerTableScreens(catalog);
    registerAccessScreens(catalog);
    registerRegistryScreens(catalog);
    registerSchedulingScreens(catalog);
    registerListReports(catalog);
    registerOwnerAnimalReport(catalog);
    // The lists that only their own screens print.
    catalog.add(TableScreens::ProcedureListReport, [](QWidget *parent) -> QWidget * {
        ListReports::open(ListReport::RelTipoProcedimento, parent);
        return nullptr;
    });
    catalog.add(TableScreens::OccurrenceTypeListReport, [](QWidget *parent) -> QWidget * {
        ListReports::open(ListReport::RelTipoOcorrencia, parent);
        return nullptr;
    });
    Reports::setProductTitle(Product::title());
}
