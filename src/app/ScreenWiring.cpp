#include "app/ScreenWiring.h"
#include "access/AccessScreens.h"
#include "app/MenuPrincipalScreen.h"
#include "app/MenuRegistry.h"
#include "app/SobreScreen.h"
#include "app/TracaSenhaScreen.h"
#include "db/DataModule.h"
#include "app/Product.h"
#include "registry/RegistryScreens.h"
#include "reports/ListReports.h"
#include "reports/OwnerAnimalReport.h"
#include "reports/engine/Reports.h"
#include "tables/TableScreens.h"
#include "registry/PropAnimalScreen.h"
#include "ui/ScreenCatalog.h"
#include "utilities/PesquisaAvancadoScreen.h"
#include "utilities/UtilityScreens.h"

#include <QAction>
#include <QApplication>

namespace {

// Opens screen 006 the way its menu entry does (only when the profile may
// reach it, with the profile's flags) and loads an owner into it.
void openOwnerRegister(int idProprietario, int idAnimal)
{
    MenuPrincipalScreen *frame = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if ((frame = qobject_cast<MenuPrincipalScreen *>(w)))
            break;
    if (!frame)
        return;
    for (const Menu::Entry &e : Menu::entries()) {
        if (e.kind != Menu::Kind::Screen || e.screen != 6)
            continue;
        const QAction *a = frame->menuAction(e.objectName);
        if (a && !a->isEnabled())
            return;
        auto *screen = qobject_cast<PropAnimalScreen *>(frame->openScreen(e));
        if (screen && idProprietario > 0)
            screen->loadOwner(idProprietario, idAnimal);
        frame->raise();
        frame->activateWindow();
        return;
    }
}

} // namespace

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
    registerListReports(catalog);
    registerOwnerAnimalReport(catalog);
    registerUtilityScreens(catalog);
    PesquisaAvancadoScreen::setRegisterOpener(&openOwnerRegister);
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
