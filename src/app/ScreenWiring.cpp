#include "app/ScreenWiring.h"
#include "access/AccessScreens.h"
#include "app/MenuPrincipalScreen.h"
#include "app/MenuRegistry.h"
#include "app/Product.h"
#include "app/RegistryExports.h"
#include "app/SobreScreen.h"
#include "app/TracaSenhaScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "registry/AnimalPanel.h"
#include "registry/AnimalSearch.h"
#include "registry/PropAnimalScreen.h"
#include "registry/RegistroOcorrenciaScreen.h"
#include "registry/RegistryScreens.h"
#include "reports/ListReports.h"
#include "reports/OccupancyWindow.h"
#include "reports/agenda/AgendaWindows.h"
#include "reports/animals/AnimalInfoReport.h"
#include "reports/animals/AnimalReports.h"
#include "reports/card/CarteirinhaWindow.h"
#include "reports/OwnerAnimalReport.h"
#include "reports/RelReceituario.h"
#include "reports/TransferReport.h"
#include "reports/engine/Reports.h"
#include "scheduling/AgendaNovoAtendimentoScreen.h"
#include "scheduling/AgendaScreens.h"
#include "scheduling/SchedulingHooks.h"
#include "scheduling/SchedulingScreens.h"
#include "scheduling/StaffScreens.h"
#include "tables/PrescriptionScreens.h"
#include "tables/TableScreens.h"
#include "ui/MainMenuHook.h"
#include "ui/ScreenCatalog.h"
#include "ui/Services.h"
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

// "&Marca atendimento..." of the animal record opens a new attendance for
// the unit chosen on the register that handed the animal over.
void wireAnimalBooking()
{
    AnimalPanel::setNewAppointmentOpener([](QWidget *opener) {
        QVariant unit;
        for (QWidget *w = opener; w; w = w->parentWidget())
            if (auto *r = qobject_cast<PropAnimalScreen *>(w)) {
                unit = r->chosenUnidade();
                break;
            }
        SchedulingHooks::showChild(new AgendaNovoAtendimentoScreen(nullptr, unit), opener);
    });
}

} // namespace

void registerOwnerAnimalReport(ScreenCatalog &catalog)
{
    // The clerk finds the animal as on the animal address screen; OK
    // previews the chosen animal's page.
    catalog.add(Menu::AnimalInformation, [](QWidget *parent) -> QWidget * {
        auto *w = new AnimalSearchWindow(parent);
        w->setObjectName(QStringLiteral("frmInfoAnimal"));
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->setWindowTitle(QStringLiteral("Informação do Animal"));
        w->chosen = [w](int, int idAnimal) { AnimalInfoReport::open(mainConnection(), idAnimal, w); };
        w->open();
        return nullptr;
    });
    catalog.add(Menu::ProprietarioAnimalReport, [](QWidget *parent) -> QWidget * {
        Reports::open(OwnerAnimalReport::definition(mainConnection()), parent);
        return nullptr;
    });
    catalog.addRecordReport(PropAnimalScreen::OwnerReport, [](QWidget *parent, int idProprietario) {
        Reports::open(OwnerAnimalReport::definition(mainConnection(), idProprietario), parent);
    });
}

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
    registerAgendaScreens(catalog);
    wireAnimalBooking();
    registerStaffScreens(catalog);
    registerPrescriptionScreens(catalog);
    SchedulingHooks::setPrescriptionPrinter([](QWidget *parent, int idAtendimento, const QString &text) {
        try {
            ReceituarioData d = RelReceituario::fromAttendance(DataModule::current().main(), idAtendimento);
            d.texto = text;
            RelReceituario::open(d, parent);
        } catch (const DbError &e) {
            Services::messages().error(e.text(), parent);
        }
    });
    registerTransferReport(catalog);
    registerAgendaReports(catalog);
    registerOccupancyReport(catalog);
    registerAnimalReports(catalog);
    registerCardScreens(catalog);
    registerUtilityScreens(catalog);
    PesquisaAvancadoScreen::setRegisterOpener(&openOwnerRegister);
    installRegistryExports();
    // The lists that only their own screens print.
    catalog.add(TableScreens::ProcedureListReport, [](QWidget *parent) -> QWidget * {
        ListReports::open(ListReport::RelTipoProcedimento, parent);
        return nullptr;
    });
    catalog.add(TableScreens::OccurrenceTypeListReport, [](QWidget *parent) -> QWidget * {
        ListReports::open(ListReport::RelTipoOcorrencia, parent);
        return nullptr;
    });
    catalog.add(PrescriptionScreens::WeightTextListReport, [](QWidget *parent) -> QWidget * {
        ListReports::open(ListReport::RelTextoPeso, parent);
        return nullptr;
    });
    Reports::setProductTitle(Product::title());
    // "Ocorrencias..." of the register opens 022 as the menu does (with the
    // flags of 22), showing only the register's owner, on its animal.
    AnimalPanel::setOccurrenceOpener([](QWidget *, int idProprietario, int idAnimal) {
        if (auto *s = qobject_cast<RegistroOcorrenciaScreen *>(MainMenuHook::openScreen(22)))
            s->narrowTo(idProprietario, idAnimal);
    });
}
