#include "tables/TableScreens.h"
#include "tables/RolvexPrincipalScreen.h"
#include "ui/ScreenCatalog.h"
#include "ui/register/RegisterScreen.h"

namespace {

const QString kNotDeleted = QStringLiteral("O registro não pode ser excluído.");
const QString kInUse = QStringLiteral("O registro já esta sendo usado! Ele não pode ser excluído.");
// For references the program also keeps elsewhere (a breed's species, the
// map's procedure type...): deleting those rows would leave them pointing nowhere.
const QString kUsed = QStringLiteral("O registro não pode ser excluído.\rEle esta sendo usado.");

QString twoLines(const QString &second)
{
    return kNotDeleted + QLatin1Char('\r') + second;
}

// The family's common shape: key, name, description, status and the audit columns.
RegisterDef family(int number, const QString &caption, const QString &objectName, const QString &table,
                   const QString &key, int nameLength = 100)
{
    RegisterDef d;
    d.formId = number;
    d.caption = caption;
    d.objectName = objectName;
    d.table = table;
    d.keyColumn = key;
    d.keySource = KeySource::Program;
    d.fields = {keyField(key), text(QStringLiteral("Nome:"), QStringLiteral("Nome"), nameLength).upper(),
                memo(QStringLiteral("Descrição:"), QStringLiteral("Descricao"), 250), statusCheck()};
    d.defaults = {{QStringLiteral("Ind_Status"), QStringLiteral("ATIVO")}};
    return d;
}

// Coat and size: the name is the Descricao column.
RegisterDef descriptionOnly(int number, const QString &caption, const QString &objectName, const QString &table,
                            const QString &key)
{
    RegisterDef d = family(number, caption, objectName, table, key);
    d.fields = {keyField(key), text(QStringLiteral("Nome:"), QStringLiteral("Descricao"), 50).upper(), statusCheck()};
    return d;
}

SearchDef codeAndName(const QString &table, const QString &key)
{
    SearchDef s;
    s.table = table;
    s.keyColumn = key;
    s.columns = {gridColumn(QStringLiteral("Código"), key, 60), gridColumn(QStringLiteral("Nome"), QStringLiteral("Nome"), 300)};
    s.criteria = {{QStringLiteral("Código"), key, Match::Equals}, {QStringLiteral("Nome"), QStringLiteral("Nome"), Match::Prefix}};
    return s;
}

const LookupDef kEspecie{QStringLiteral("especie"), QStringLiteral("Id_Especie"), QStringLiteral("Nome"), {}, {}};
const LookupDef kPorte{QStringLiteral("porte"), QStringLiteral("Id_Porte"), QStringLiteral("Descricao"), {}, {}};
const LookupDef kPelo{QStringLiteral("pelo"), QStringLiteral("Id_Pelo"), QStringLiteral("Descricao"), {}, {}};
const LookupDef kUnidadeMedida{QStringLiteral("unidade_medida"), QStringLiteral("Id_Unidade_Medida"), QStringLiteral("Nome"),
                               QStringLiteral("Descricao"), {}};

} // namespace

namespace TableScreens {

RegisterDef grupoAnimais()
{
    RegisterDef d = family(9, QStringLiteral("009 - Grupo de animais."), QStringLiteral("frmGrupoAnimais"),
                           QStringLiteral("grupo_animal"), QStringLiteral("Id_Grupo_Animal"));
    d.checks = {required(QStringLiteral("Nome"), QStringLiteral("Falta preencher o nome!"))};
    d.usedBy = {{QStringLiteral("animal"), QStringLiteral("Id_Grupo_Animal"), twoLines(QStringLiteral("Existe animal neste grupo."))},
                {QStringLiteral("grupo_animal_animal"), QStringLiteral("Id_Grupo_Animal"), twoLines(QStringLiteral("Existe animal neste grupo."))}};
    d.listReport = 28;
    return d;
}

RegisterDef especieAnimal()
{
    RegisterDef d = family(10, QStringLiteral("010 - Especie de animal."), QStringLiteral("frmEspecieAnimal"),
                           QStringLiteral("especie"), QStringLiteral("Id_Especie"));
    d.usedBy = {{QStringLiteral("animal"), QStringLiteral("Id_Especie"), twoLines(QStringLiteral("Existe animal neste grupo."))},
                {QStringLiteral("raca"), QStringLiteral("Id_Especie"), kUsed},
                {QStringLiteral("mapa_disponibilidade_agenda"), QStringLiteral("Id_Especie"), kUsed},
                {QStringLiteral("mapa_rascunho"), QStringLiteral("Id_Especie"), kUsed}};
    d.listReport = 29;
    return d;
}

RegisterDef raca()
{
    RegisterDef d = family(11, QStringLiteral("011 - Raça"), QStringLiteral("frmRaca"), QStringLiteral("raca"),
                           QStringLiteral("Id_Raca"), 60);
    d.fields = {keyField(QStringLiteral("Id_Raca")),
                text(QStringLiteral("Nome:"), QStringLiteral("Nome"), 60).upper(),
                lookupField(QStringLiteral("Especie"), QStringLiteral("Id_Especie"), kEspecie).name(QStringLiteral("dblEspecie")),
                lookupField(QStringLiteral("Porte:"), QStringLiteral("Id_Porte"), kPorte).name(QStringLiteral("dblPorte")),
                lookupField(QStringLiteral("Pêlo:"), QStringLiteral("Id_Pelo"), kPelo).name(QStringLiteral("dblPelo")),
                memo(QStringLiteral("Descrição:"), QStringLiteral("Descricao"), 250),
                statusCheck()};
    d.checks = {required(QStringLiteral("Id_Especie"), QStringLiteral("Falta selecionar a especie!")),
                required(QStringLiteral("Id_Porte"), QStringLiteral("Falta selecionar o porte do animal!")),
                required(QStringLiteral("Id_Pelo"), QStringLiteral("Falta selecionar o tipo de pelo do animal!"))};
    d.usedBy = {{QStringLiteral("animal"), QStringLiteral("Id_Raca"), twoLines(QStringLiteral("Existe animal com esta raça."))}};
    d.listReport = 30;
    return d;
}

RegisterDef pelo()
{
    RegisterDef d = descriptionOnly(12, QStringLiteral("012 - Tamanho do pêlo."), QStringLiteral("frmPelo"),
                                    QStringLiteral("pelo"), QStringLiteral("Id_pelo"));
    d.ownWindow = true;
    d.usedBy = {{QStringLiteral("animal"), QStringLiteral("Id_Pelo"), twoLines(QStringLiteral("Existe animal com este tipo de pelo."))},
                {QStringLiteral("raca"), QStringLiteral("Id_Pelo"), kUsed}};
    d.listReport = 31;
    return d;
}

RegisterDef porteAnimal()
{
    RegisterDef d = descriptionOnly(13, QStringLiteral("013 - Porte do animais."), QStringLiteral("frmPorteAnimal"),
                                    QStringLiteral("porte"), QStringLiteral("Id_porte"));
    d.usedBy = {{QStringLiteral("animal"), QStringLiteral("Id_Porte"), twoLines(QStringLiteral("Existe animal utilizando este porte."))},
                {QStringLiteral("raca"), QStringLiteral("Id_Porte"), kUsed}};
    d.listReport = 32;
    return d;
}

RegisterDef statusAtendimento()
{
    RegisterDef d = family(14, QStringLiteral("014 - Status atendimento."), QStringLiteral("frmStatusAtendimento"),
                           QStringLiteral("atendimento_status"), QStringLiteral("Id_Atendimento_Status"));
    d.checks = {required(QStringLiteral("Nome"), QStringLiteral("Falta preencher o nome do status!"))};
    d.usedBy = {{QStringLiteral("atendimento"), QStringLiteral("Id_Atendimento_Status"), twoLines(QStringLiteral("Ele esta sendo usado."))}};
    d.confirmText = confirmWithKey(QStringLiteral("Você esta preste a deletar o status nº: "));
    d.deleteFailedMessage = QStringLiteral("Erro ao tentar excluir o registro!");
    d.search = codeAndName(d.table, d.keyColumn);
    d.search.title = QStringLiteral("Pesquisa status atendimento.");
    d.search.objectName = QStringLiteral("frmPesquisaStatusAtendimento");
    d.listReport = 33;
    return d;
}

RegisterDef unidadeMedida()
{
    RegisterDef d = family(15, QStringLiteral("015 - Unidade de medida."), QStringLiteral("frmUnidadeMedida"),
                           QStringLiteral("unidade_medida"), QStringLiteral("Id_Unidade_Medida"));
    d.checks = {required(QStringLiteral("Nome"), QStringLiteral("Falta preencher o nome da unidade de medida!"))};
    d.usedBy = {{QStringLiteral("medicamento"), QStringLiteral("Id_Unidade_Medida"), kInUse}};
    d.confirmText = confirmWithKey(QStringLiteral("Você esta preste a deletar a unidade de medida nº: "));
    d.listReport = 35;
    return d;
}

RegisterDef medicamento()
{
    RegisterDef d = family(16, QStringLiteral("016 - Cadastro de Medicamento"), QStringLiteral("frmMedicamento"),
                           QStringLiteral("medicamento"), QStringLiteral("Id_Medicamento"));
    d.fields = {keyField(QStringLiteral("Id_Medicamento")),
                text(QStringLiteral("Nome:"), QStringLiteral("Nome"), 100).upper(),
                lookupField(QStringLiteral("Unidade medida:"), QStringLiteral("Id_Unidade_Medida"), kUnidadeMedida)
                    .name(QStringLiteral("dblUnidade_Medida")),
                memo(QStringLiteral("Descrição:"), QStringLiteral("Descricao"), 250),
                statusCheck()};
    d.focusOnNew = QStringLiteral("Nome");
    d.checks = {required(QStringLiteral("Nome"), QStringLiteral("Falta digitar o nome do medicamento!")),
                required(QStringLiteral("Id_Unidade_Medida"), QStringLiteral("Falta selecionar a unidade de medida!"))};
    d.usedBy = {{QStringLiteral("medicamento_gasto"), QStringLiteral("Id_Medicamento"), kInUse}};
    d.confirmText = confirmWithKey(QStringLiteral("Você esta preste a excluir definitivamento o medicamento nº: "));
    d.search = codeAndName(d.table, d.keyColumn);
    d.search.objectName = QStringLiteral("frmPesquisaMedicamento");
    d.search.noCriterionMessage = QStringLiteral("Falta selecionar o campo a ser pesquisado!");
    d.search.noTextMessage = QStringLiteral("Falta digitar o texto a ser pesquisado!");
    d.search.closeOnOk = false;
    d.listReport = 36;
    return d;
}

RegisterDef procedimento()
{
    RegisterDef d = family(17, QStringLiteral("017 - Procedimento."), QStringLiteral("frmProcedimento"),
                           QStringLiteral("tipo_procedimento"), QStringLiteral("Id_Tipo_Procedimento"));
    d.checks = {required(QStringLiteral("Nome"), QStringLiteral("Falta preencher o nome da unidade!"))};
    d.usedBy = {{QStringLiteral("atendimento_particular"), QStringLiteral("Id_Tipo_Procedimento"), kInUse},
                {QStringLiteral("procedimento"), QStringLiteral("Id_Tipo_Procedimento"), kInUse},
                {QStringLiteral("mapa_disponibilidade_agenda"), QStringLiteral("Id_Tipo_Procedimento"), kInUse},
                {QStringLiteral("mapa_rascunho"), QStringLiteral("Id_Tipo_Procedimento"), kInUse}};
    d.confirmText = confirmWithKey(QStringLiteral("Você esta preste a deletar o procedimento nº: "));
    d.search = codeAndName(d.table, d.keyColumn);
    d.search.title = QStringLiteral("Pesquisa.");
    d.search.objectName = QStringLiteral("frmPesquisaProcedimento");
    d.search.searchCaption = QStringLiteral("&Pesqisar");
    d.search.followCurrentRow = true;
    d.search.sortable = true;
    d.listReport = ProcedureListReport;
    return d;
}

RegisterDef tipoOcorrencia()
{
    RegisterDef d = family(18, QStringLiteral("018 - Tipos de ocorrências para animais."), QStringLiteral("frmTipoOcorrencia"),
                           QStringLiteral("tipo_ocorrencia"), QStringLiteral("Id_Tipo_Ocorrencia"));
    d.fields.insert(3, yesNoCheck(QStringLiteral("Finaliza o caso."), QStringLiteral("Ind_Finaliza_Caso")));
    d.defaults.insert(QStringLiteral("Ind_Finaliza_Caso"), QStringLiteral("NAO"));
    d.usedBy = {{QStringLiteral("ocorrencia"), QStringLiteral("Id_Tipo_Ocorrencia"), twoLines(QStringLiteral("Existe animal neste grupo."))}};
    d.listReport = OccurrenceTypeListReport;
    return d;
}

} // namespace TableScreens

void registerTableScreens(ScreenCatalog &catalog)
{
    using Def = RegisterDef (*)();
    const std::pair<int, Def> screens[] = {
        {9, &TableScreens::grupoAnimais},     {10, &TableScreens::especieAnimal}, {11, &TableScreens::raca},
        {12, &TableScreens::pelo},            {13, &TableScreens::porteAnimal},   {14, &TableScreens::statusAtendimento},
        {15, &TableScreens::unidadeMedida},   {16, &TableScreens::medicamento},   {17, &TableScreens::procedimento},
        {18, &TableScreens::tipoOcorrencia},
    };
    for (const auto &[number, def] : screens)
        catalog.add(number, [def](QWidget *parent) -> QWidget * { return new RegisterScreen(def(), parent); });
    catalog.add(50, [](QWidget *parent) -> QWidget * { return new RolvexPrincipalScreen(parent); });
}
