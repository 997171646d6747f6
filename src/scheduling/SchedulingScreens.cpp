#include "scheduling/SchedulingScreens.h"
#include "db/DataModule.h"
#include "scheduling/MapaDisponibilidadeScreen.h"
#include "ui/ScreenCatalog.h"
#include "ui/register/RegisterScreen.h"

RegisterDef feriadoMunicipal()
{
    RegisterDef d;
    d.formId = 54;
    d.caption = QStringLiteral("054 - Feriados municipais");
    d.objectName = QStringLiteral("frmFeriadoMunicipal");
    d.table = QStringLiteral("feriado_municipal");
    d.keyColumn = QStringLiteral("Id_Feriado_Municipal");
    d.keySource = KeySource::Program;
    d.fields = {keyField(QStringLiteral("Id_Feriado_Municipal")),
                dateField(QStringLiteral("Data:"), QStringLiteral("Data_Feriado")).name(QStringLiteral("dtpData_Feriado")),
                text(QStringLiteral("Descrição:"), QStringLiteral("Descricao"), 100).upper(),
                yesNoCheck(QStringLiteral("Repete todo ano (mesmo dia e mês)."), QStringLiteral("Ind_Anual")),
                statusCheck()};
    d.defaults = {{QStringLiteral("Ind_Status"), QStringLiteral("ATIVO")}, {QStringLiteral("Ind_Anual"), QStringLiteral("SIM")}};
    d.checks = {required(QStringLiteral("Data_Feriado"), QStringLiteral("Falta informar a data do feriado!")),
                required(QStringLiteral("Descricao"), QStringLiteral("Falta informar a descrição do feriado!"))};
    d.hasPrint = false;
    d.sortable = true;
    SearchDef s;
    s.table = d.table;
    s.keyColumn = d.keyColumn;
    s.columns = {gridColumn(QStringLiteral("Código"), d.keyColumn, 60), gridColumn(QStringLiteral("Descrição"), QStringLiteral("Descricao"), 300)};
    s.criteria = {{QStringLiteral("Código"), d.keyColumn, Match::Equals},
                  {QStringLiteral("Descrição"), QStringLiteral("Descricao"), Match::Prefix}};
    d.search = s;
    return d;
}

void registerSchedulingScreens(ScreenCatalog &catalog)
{
    catalog.add(48, [](QWidget *parent) -> QWidget * { return new MapaDisponibilidadeScreen(mainConnection(), parent); });
    catalog.add(54, [](QWidget *parent) -> QWidget * { return new RegisterScreen(feriadoMunicipal(), parent); });
}
