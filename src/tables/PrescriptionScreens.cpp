#include "tables/PrescriptionScreens.h"
#include "reports/ListReports.h"
#include "tables/ReceituarioPadraoScreen.h"
#include "ui/ScreenCatalog.h"
#include "ui/register/RegisterScreen.h"

namespace PrescriptionScreens {

RegisterDef textoPeso()
{
    RegisterDef d;
    d.formId = 19;
    d.caption = QStringLiteral("019 - Texto do receituário baseado em peso.");
    d.objectName = QStringLiteral("frmReceituario_Texto_Peso");
    d.table = QStringLiteral("receituario_texto_peso");
    d.keyColumn = QStringLiteral("Id_Receituario_texto_Peso");
    d.fields = {keyField(d.keyColumn), numberField(QStringLiteral("Peso:"), QStringLiteral("Peso")),
                memo(QStringLiteral("Texto:"), QStringLiteral("Texto")), statusCheck()};
    d.grid = {gridColumn(QStringLiteral("Código"), d.keyColumn, 60), gridColumn(QStringLiteral("Peso"), QStringLiteral("Peso"), 80),
              gridColumn(QStringLiteral("Status"), QStringLiteral("Ind_Status"), 80)};
    d.defaults = {{QStringLiteral("Ind_Status"), QStringLiteral("ATIVO")}};
    d.checks = {required(QStringLiteral("Peso"), QStringLiteral("Falta preencher !"))};
    d.hasSearch = false;
    d.listReport = WeightTextListReport;
    return d;
}

} // namespace PrescriptionScreens

void registerPrescriptionScreens(ScreenCatalog &catalog)
{
    catalog.add(19, [](QWidget *parent) -> QWidget * { return new RegisterScreen(PrescriptionScreens::textoPeso(), parent); });
    catalog.add(20, [](QWidget *parent) -> QWidget * { return new ReceituarioPadraoScreen(parent); });
}
