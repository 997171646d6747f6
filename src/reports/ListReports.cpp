#include "reports/ListReports.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/Sql.h"
#include "reports/ListLayout.h"
#include "reports/engine/Reports.h"
#include "ui/ScreenCatalog.h"
#include "ui/Services.h"

#include <QHash>

namespace {

// The lists come out in key order, as the server's clustered keys gave them.
std::function<std::unique_ptr<ReportDataSource>()> query(Connection &c, const QString &sql,
                                                          QueryDataSource::Reading reading = QueryDataSource::Reading::Streamed)
{
    Connection *conn = &c;
    return [conn, sql, reading] { return QueryDataSource::open(*conn, sql, {}, reading); };
}

QString prefixed(const QString &prefix, const QString &value) { return prefix + value; }

RegisterList family(const QString &code, const QString &title, const QString &key, const QString &name,
                    const QString &status, const QString &description, const QString &summary, bool bold)
{
    RegisterList s;
    s.code = code;
    s.title = title;
    s.keyColumn = key;
    s.nameColumn = name;
    s.statusColumn = status;
    s.descriptionColumn = description;
    s.summaryLabel = summary;
    s.nameBold = bold;
    return s;
}

const QString TotalGrupos = QStringLiteral("Total de grupos:");
const QString TotalRegistro = QStringLiteral("Total de registro:");

ReportDefinition familyReport(ListReport r, Connection &c)
{
    switch (r) {
    case ListReport::RelUnidade: {
        RegisterList s = family(QStringLiteral("REL025"), QStringLiteral("Unidade de Trabalho"), QStringLiteral("id_unidade_trabalho"),
                                QStringLiteral("nome"), QStringLiteral("ind_status"), QStringLiteral("descricao"), TotalRegistro, false);
        s.statusText = [](const QString &v) { return prefixed(QStringLiteral(" Registro: "), v); };
        return ListLayout::registerList(
            s, query(c, QStringLiteral("select id_unidade_trabalho, nome, descricao, ind_status from unidade_trabalho order by id_unidade_trabalho")));
    }
    case ListReport::RelGrupo_Animais:
        return ListLayout::registerList(
            family(QStringLiteral("REL028"), QStringLiteral("Grupo de animais"), QStringLiteral("Id_Grupo_Animal"), QStringLiteral("nome"),
                   QStringLiteral("Ind_Status"), QStringLiteral("descricao"), TotalGrupos, false),
            query(c, QStringLiteral(" select Id_Grupo_Animal, nome, descricao, Ind_Status  from Grupo_Animal  order by Id_Grupo_Animal")));
    case ListReport::RelEspecie_Animal:
        return ListLayout::registerList(
            family(QStringLiteral("REL029"), QStringLiteral("Espécies de Animais"), QStringLiteral("Id_especie"), QStringLiteral("nome"),
                   QStringLiteral("Ind_Status"), QStringLiteral("descricao"), TotalGrupos, true),
            query(c, QStringLiteral("select Id_especie, nome, descricao, Ind_Status from especie order by Id_especie")));
    case ListReport::RelRaca: {
        RegisterList s = family(QStringLiteral("REL030"), QStringLiteral("Raças de Animais"), QStringLiteral("id_raca"), QStringLiteral("nome"),
                                QStringLiteral("ind_status"), QStringLiteral("desc_raca"), TotalGrupos, true);
        // Upper case in C++ as well: SQLite's upper() leaves accented letters.
        s.nameText = [](const ReportRow &row) { return row.text(QStringLiteral("nome")).toUpper(); };
        s.secondLine = [](const ReportRow &row) {
            return QStringLiteral("Pelo: ") + row.text(QStringLiteral("desc_pelo")) + QStringLiteral(" - Porte: ")
                + row.text(QStringLiteral("desc_porte"));
        };
        return ListLayout::registerList(
            s, query(c, QStringLiteral("select a.id_raca, upper(a.nome) as nome , a.descricao as desc_raca, b.descricao as desc_porte, "
                                       "c.descricao as desc_pelo, a.ind_status from raca a left join porte b on (a.id_porte = b.id_porte) "
                                       "left join pelo c on (a.id_pelo = c.id_pelo) order by a.id_raca")));
    }
    case ListReport::RelPelo:
        return ListLayout::registerList(
            family(QStringLiteral("REL031"), QStringLiteral("Tipo de Pelo dos Animais"), QStringLiteral("id_pelo"), QStringLiteral("descricao"),
                   QStringLiteral("ind_status"), QStringLiteral("descricao"), TotalGrupos, true),
            query(c, QStringLiteral("select id_pelo, descricao, ind_status from pelo order by id_pelo")));
    case ListReport::RelPorte:
        return ListLayout::registerList(
            family(QStringLiteral("REL032"), QStringLiteral("Porte de Animal"), QStringLiteral("id_porte"), QStringLiteral("descricao"),
                   QStringLiteral("ind_status"), QStringLiteral("descricao"), TotalGrupos, true),
            query(c, QStringLiteral("select id_porte, descricao, ind_status from porte order by id_porte")));
    case ListReport::RelStatusAtendimento:
        return ListLayout::registerList(
            family(QStringLiteral("REL033"), QStringLiteral("Status do Atendimento"), QStringLiteral("id_atendimento_status"),
                   QStringLiteral("nome"), QStringLiteral("ind_status"), QStringLiteral("descricao"), TotalGrupos, true),
            query(c, QStringLiteral("select id_atendimento_status, nome, descricao, ind_status from Atendimento_status order by id_atendimento_status")));
    case ListReport::RelTipoProcedimento:
        return ListLayout::registerList(
            family(QStringLiteral("REL001"), QStringLiteral("Procedimentos Médico"), QStringLiteral("id_tipo_procedimento"),
                   QStringLiteral("nome"), QStringLiteral("ind_status"), QStringLiteral("descricao"), TotalGrupos, false),
            query(c, QStringLiteral("select id_tipo_procedimento, nome, descricao, ind_status  from tipo_procedimento order by id_tipo_procedimento")));
    case ListReport::RelUnidadeMedida:
        return ListLayout::registerList(
            family(QStringLiteral("REL035"), QStringLiteral("Unidade de Medida"), QStringLiteral("id_unidade_medida"), QStringLiteral("nome"),
                   QStringLiteral("ind_status"), QStringLiteral("descricao"), TotalGrupos, false),
            query(c, QStringLiteral("select id_unidade_medida, nome, descricao, ind_status from unidade_medida order by id_unidade_medida")));
    case ListReport::RelMedicamento:
        return ListLayout::registerList(
            family(QStringLiteral("REL036"), QStringLiteral("Medicamentos Cadastrados"), QStringLiteral("id_medicamento"), QStringLiteral("nome"),
                   QStringLiteral("ind_status"), QStringLiteral("descricao"), TotalGrupos, false),
            query(c, QStringLiteral("select id_medicamento, nome, descricao, ind_status from medicamento order by id_medicamento")));
    case ListReport::RelTipoOcorrencia: {
        RegisterList s = family(QStringLiteral("REL001"), QStringLiteral("Tipo de Ocorrência"), QStringLiteral("id_tipo_ocorrencia"),
                                QStringLiteral("nome"), QStringLiteral("ind_status"), QStringLiteral("descricao"), TotalRegistro, false);
        s.statusText = [](const QString &v) { return prefixed(QStringLiteral("Aqrivo : "), v); };
        s.beforeStatus = [](const ReportRow &row) {
            return QStringLiteral("Finaliza caso: ") + row.text(QStringLiteral("ind_finaliza_caso"));
        };
        return ListLayout::registerList(
            s, query(c, QStringLiteral("select id_tipo_ocorrencia, nome, descricao, ind_status, ind_finaliza_caso from tipo_ocorrencia "
                                       "order by id_tipo_ocorrencia")));
    }
    case ListReport::RelTextoPeso: {
        RegisterList s = family(QStringLiteral("REL001"), QStringLiteral("Relação peso e texto para o receituário"),
                                QStringLiteral("id_receituario_texto_peso"), QString(), QStringLiteral("ind_status"),
                                QStringLiteral("texto"), TotalRegistro, false);
        s.nameText = [](const ReportRow &row) {
            const QVariant peso = row.value(QStringLiteral("peso"));
            return QStringLiteral("Peso: ") + (peso.isNull() ? QString() : Formats::number(peso.toDouble()))
                + QStringLiteral(" kilo(s)");
        };
        s.statusText = [](const QString &v) { return prefixed(QStringLiteral("Registro: "), v); };
        return ListLayout::registerList(
            s, query(c, QStringLiteral("select id_receituario_texto_peso, peso, texto, ind_status  from receituario_texto_peso "
                                       "order by id_receituario_texto_peso")));
    }
    case ListReport::ReceituarioPadraoImp: {
        ReportDefinition def;
        def.title = QStringLiteral("Texto do receituário");
        def.data = query(c, QStringLiteral(" select descricao from receituario_padrao "));
        const double w = def.contentWidth();
        ListLayout::addFamilyTitle(def.band(BandKind::Title), w, QStringLiteral("REL001"), def.title);
        ReportBand &d = def.band(BandKind::Detail, 6);
        d.box = true;
        d.add(Items::field(1.5, 1, w - 3, 4, QStringLiteral("descricao"))).size(9).wrapping().named(QStringLiteral("descricao"));
        ListLayout::addPageNumber(def, 8);
        return def;
    }
    default:
        break;
    }
    return {};
}

ReportDefinition perfil(Connection &c)
{
    ReportDefinition def;
    def.title = QStringLiteral("Grupo de usuário cadastrado");
    def.orientation = QPageLayout::Landscape;
    def.data = query(c, QStringLiteral(
        "select a.id_perfil, a.id_form, a.visualizar, a.incluir, a.alterar, a.excluir, a.imprimir ,b.nome as nome_perfil, "
        "b.descricao as desc_perfil, b.ind_status, c.nome as nome_form, c.descricao as desc_form, c.tipo_form "
        "from perfil_form a left join perfil b on (a.id_perfil = b.id_perfil) left join form c on (a.id_form = c.id_form) "
        "order by b.nome, a.id_perfil, a.id_form"));
    const double w = def.contentWidth();
    const QStringList flags = {QStringLiteral("visualizar"), QStringLiteral("incluir"), QStringLiteral("alterar"),
                               QStringLiteral("excluir"), QStringLiteral("imprimir")};
    const QStringList captions = {QStringLiteral("Visualizar:"), QStringLiteral("Incluir:"), QStringLiteral("Alterar:"),
                                  QStringLiteral("Excluir:"), QStringLiteral("Imprimir:")};
    const double colW = 20, firstCol = w - 5 * colW;

    ReportBand &h = def.band(BandKind::PageHeader, 20);
    h.lineBelow = true;
    h.add(Items::label(0, 0, w - 50, 7, Reports::productTitle())).size(14).bold().named(QStringLiteral("produto"));
    h.add(Items::label(0, 8, w - 50, 5, def.title)).size(10).named(QStringLiteral("titulo"));
    h.add(Items::label(w - 45, 0, 45, 3.5, QStringLiteral("REL001"))).size(8).right().named(QStringLiteral("codigo"));
    h.add(Items::dateTime(w - 45, 3.6, 45, 3.5)).size(8).right().named(QStringLiteral("data_hora"));
    for (int i = 0; i < 5; ++i)
        h.add(Items::label(firstCol + i * colW, 15, colW, 4, captions.at(i))).size(8).bold().center();

    ReportGroup &g = def.addGroup(QStringLiteral("perfil"), QStringLiteral("nome_perfil"));
    g.header.height = 11;
    g.header.lineAbove = true;
    g.header.add(Items::field(0, 1, firstCol - 5, 5, QStringLiteral("nome_perfil"))).size(10).bold();
    g.header.add(Items::field(0, 6.5, firstCol - 5, 4, QStringLiteral("desc_perfil")))
        .size(8)
        .wrapping()
        .named(QStringLiteral("desc_perfil"))
        .hook([](ItemPrint &p) { p.text = QStringLiteral("Descrição: ") + p.text; });

    ReportBand &d = def.band(BandKind::Detail, 5);
    d.lineAbove = true;
    d.add(Items::field(4, 0.6, firstCol - 9, 4, QStringLiteral("nome_form"))).size(8).named(QStringLiteral("nome_form")).hook([](ItemPrint &p) {
        const QString tipo = p.row.text(QStringLiteral("tipo_form"));
        if (tipo == QLatin1String("F"))
            p.text = QStringLiteral("Formulário :") + p.text;
        else if (tipo == QLatin1String("R"))
            p.text = QStringLiteral("Relatório :") + p.text;
        else
            p.text = QStringLiteral("-----------------");
    });
    for (int i = 0; i < 5; ++i)
        d.add(Items::field(firstCol + i * colW, 0.6, colW, 4, flags.at(i))).size(8).center();
    return def;
}

QString simNao(const QString &stored)
{
    const QString v = stored.trimmed();
    if (v == QLatin1String("S"))
        return QStringLiteral("Sim");
    if (v == QLatin1String("N"))
        return QStringLiteral("Não");
    return stored;
}

// Looks a name up by key once per distinct key (the same unit or profile
// recurs on many users).
std::function<QString(const ReportRow &)> lookup(Connection &c, const QString &sql, const QString &keyColumn, int maxChars = -1)
{
    Connection *conn = &c;
    auto cache = std::make_shared<QHash<QString, QString>>();
    return [conn, sql, keyColumn, maxChars, cache](const ReportRow &row) {
        const QString key = row.text(keyColumn);
        if (key.isEmpty())
            return QString();
        auto it = cache->constFind(key);
        if (it != cache->constEnd())
            return *it;
        QString name = Sql::text(Sql::scalar(*conn, sql, {{QStringLiteral("id"), key}}));
        if (maxChars >= 0)
            name = name.left(maxChars);
        cache->insert(key, name);
        return name;
    };
}

ReportDefinition usuario(Connection &c)
{
    ReportDefinition def;
    def.title = QStringLiteral("Usuários cadastrados");
    // Units and profiles are looked up while the users are read.
    def.data = query(c, QStringLiteral("select id_usuario,upper(nome)as nome,id_perfil,Id_Unidade_Trabalho,Bloqueado,Inativo from usuario order by id_usuario"),
                     QueryDataSource::Reading::Buffered);
    const double w = def.contentWidth();
    ReportBand &t = def.band(BandKind::Title, 15);
    t.lineBelow = true;
    ListLayout::addReportHeader(t, w, QStringLiteral("REL027"), def.title, 8, 10, false);

    struct Col { double x, w; QString caption; bool centred; };
    const QList<Col> cols = {{0, 69, QStringLiteral("Unidade de trabalho:"), false},
                             {70, 58, QStringLiteral("Cód - Nome"), false},
                             {129, 33, QStringLiteral("Perfil:"), false},
                             {163, 13, QStringLiteral("Bloqueado"), true},
                             {177, 13, QStringLiteral("Inativo"), true}};
    ReportBand &ch = def.band(BandKind::ColumnHeader, 5);
    ch.lineBelow = true;
    for (const Col &col : cols) {
        ReportItem &i = ch.add(Items::label(col.x, 0.8, col.w, 3.5, col.caption)).size(7).bold();
        if (col.centred)
            i.center();
    }

    ReportBand &d = def.band(BandKind::Detail, 4);
    d.add(Items::computed(cols[0].x, 0.3, cols[0].w, 3.5,
                          lookup(c, QStringLiteral("select Nome from Unidade_Trabalho where Id_Unidade_Trabalho = :id"),
                                 QStringLiteral("Id_Unidade_Trabalho"), 40)))
        .size(7)
        .named(QStringLiteral("unidade"));
    d.add(Items::computed(cols[1].x, 0.3, cols[1].w, 3.5, [](const ReportRow &row) {
         // Upper case in C++ as well: SQLite's upper() leaves accented letters.
         return row.text(QStringLiteral("id_usuario")) + QStringLiteral(" - ") + row.text(QStringLiteral("nome")).toUpper();
     })).size(7).named(QStringLiteral("nome"));
    d.add(Items::computed(cols[2].x, 0.3, cols[2].w, 3.5,
                          lookup(c, QStringLiteral("select Nome from perfil where id_perfil = :id"), QStringLiteral("id_perfil"))))
        .size(7)
        .named(QStringLiteral("perfil"));
    d.add(Items::field(cols[3].x, 0.3, cols[3].w, 3.5, QStringLiteral("Bloqueado"))).size(7).center().named(QStringLiteral("bloqueado"))
        .hook([](ItemPrint &p) { p.text = simNao(p.text); });
    d.add(Items::field(cols[4].x, 0.3, cols[4].w, 3.5, QStringLiteral("Inativo"))).size(7).center().named(QStringLiteral("inativo"))
        .hook([](ItemPrint &p) { p.text = simNao(p.text); });

    ReportBand &s = def.band(BandKind::Summary, 7);
    s.lineAbove = true;
    s.add(Items::label(0, 1.5, 30, 4, QStringLiteral("Total de usuário:"))).size(7).bold();
    Connection *conn = &c;
    s.add(Items::computed(30, 1.5, 20, 4, [conn](const ReportRow &) {
         return Sql::text(Sql::scalar(*conn, QStringLiteral("select count(*) as total from usuario")));
     })).size(7).bold().right().named(QStringLiteral("total"));
    ListLayout::addPageNumber(def, 7);
    return def;
}

ReportDefinition profissional(Connection &c)
{
    ReportDefinition def;
    def.title = QStringLiteral("Profissionais cadastrados.");
    def.orientation = QPageLayout::Landscape;
    // Professionals without a unit come first on every engine.
    def.data = query(c, QStringLiteral(
        "select b.nome as nome_unidade_trabalho, a.id_profissional, a.id_unidade_trabalho, a.nome as nome_profissional,"
        "a.telefone_residencial,a.telefone_celular,a.telefone_recado, a.email, a.ind_status "
        "from profissional a left join unidade_trabalho b on (a.id_unidade_trabalho = b.id_unidade_trabalho ) "
        "order by case when a.id_unidade_trabalho is null then 0 else 1 end, a.id_unidade_trabalho, a.id_profissional"));
    const double w = def.contentWidth();

    ReportBand &h = def.band(BandKind::PageHeader, 21);
    h.lineBelow = true;
    ListLayout::addReportHeader(h, w, QStringLiteral("Rel.:042"), def.title, 7, 10, false);
    h.add(Items::field(0, 14.5, w, 5, QStringLiteral("nome_unidade_trabalho"))).size(10).bold().named(QStringLiteral("unidade"));

    struct Col { double x, w; QString caption; };
    const QList<Col> cols = {{0, 95, QStringLiteral("Profissional:")},
                             {97, 95, QStringLiteral("Telefones")},
                             {194, 58, QStringLiteral("E-mail")},
                             {253, w - 253, QStringLiteral("Status")}};
    ReportGroup &g = def.addGroup(QStringLiteral("unidade"), QStringLiteral("id_unidade_trabalho"), true);
    g.header.height = 7;
    for (const Col &col : cols)
        g.header.add(Items::label(col.x, 1, col.w, 5, col.caption)).size(10).bold();
    g.header.add(Items::hline(0, 6.5, w));

    ReportBand &d = def.band(BandKind::Detail, 5.5);
    d.add(Items::computed(cols[0].x, 0.5, cols[0].w, 4.5, [](const ReportRow &row) {
         return row.text(QStringLiteral("id_profissional")) + QStringLiteral(" - ") + row.text(QStringLiteral("nome_profissional"));
     })).size(10).wrapping().named(QStringLiteral("nome"));
    d.add(Items::computed(cols[1].x, 0.5, cols[1].w, 4.5, [](const ReportRow &row) {
         return row.text(QStringLiteral("telefone_residencial")) + QStringLiteral(" / ") + row.text(QStringLiteral("telefone_celular"))
             + QStringLiteral(" / ") + row.text(QStringLiteral("telefone_recado"));
     })).size(10).wrapping().named(QStringLiteral("telefones"));
    d.add(Items::field(cols[2].x, 0.5, cols[2].w, 4.5, QStringLiteral("email"))).size(10).named(QStringLiteral("email"));
    d.add(Items::field(cols[3].x, 0.5, cols[3].w, 4.5, QStringLiteral("ind_status"))).size(10).named(QStringLiteral("status"));

    ReportBand &f = g.addFooter(8);
    f.lineAbove = true;
    f.add(Items::label(0, 2, 40, 5, QStringLiteral("Total na unidade:"))).size(10).bold();
    f.add(Items::count(40, 2, 20, 5)).size(10).bold().right().resetting().named(QStringLiteral("total_unidade"));

    ReportBand &s = def.band(BandKind::Summary, 8);
    s.add(Items::label(0, 2, 40, 5, QStringLiteral("Total geral:"))).size(10).bold();
    s.add(Items::rowCount(40, 2, 20, 5)).size(10).bold().right().named(QStringLiteral("total_geral"));
    ListLayout::addPageNumber(def, 8);
    return def;
}

} // namespace

namespace ListReports {

ReportDefinition definition(ListReport report, Connection &c)
{
    switch (report) {
    case ListReport::Rel_Perfil: return perfil(c);
    case ListReport::RelUsuario: return usuario(c);
    case ListReport::RelProficional: return profissional(c);
    default: return familyReport(report, c);
    }
}

bool open(ListReport report, QWidget *parent)
{
    return Reports::open(definition(report, mainConnection()), parent);
}

int menuNumber(ListReport report)
{
    switch (report) {
    case ListReport::RelUnidade: return 25;
    case ListReport::Rel_Perfil: return 26;
    case ListReport::RelUsuario: return 27;
    case ListReport::RelGrupo_Animais: return 28;
    case ListReport::RelEspecie_Animal: return 29;
    case ListReport::RelRaca: return 30;
    case ListReport::RelPelo: return 31;
    case ListReport::RelPorte: return 32;
    case ListReport::RelStatusAtendimento: return 33;
    case ListReport::RelUnidadeMedida: return 35;
    case ListReport::RelMedicamento: return 36;
    case ListReport::RelProficional: return 42;
    case ListReport::RelTipoProcedimento:
    case ListReport::RelTipoOcorrencia:
    case ListReport::RelTextoPeso:
    case ListReport::ReceituarioPadraoImp:
        return 0;
    }
    return 0;
}

} // namespace ListReports

void registerListReports(ScreenCatalog &catalog)
{
    for (ListReport r : {ListReport::RelUnidade, ListReport::Rel_Perfil, ListReport::RelGrupo_Animais, ListReport::RelEspecie_Animal,
                         ListReport::RelRaca, ListReport::RelPelo, ListReport::RelPorte, ListReport::RelStatusAtendimento,
                         ListReport::RelUnidadeMedida, ListReport::RelMedicamento, ListReport::RelProficional}) {
        catalog.add(ListReports::menuNumber(r), [r](QWidget *parent) -> QWidget * {
            ListReports::open(r, parent);
            return nullptr;
        });
    }
    // The users list from the menu says only that it failed.
    catalog.add(ListReports::menuNumber(ListReport::RelUsuario), [](QWidget *parent) -> QWidget * {
        try {
            Reports::openOrThrow(ListReports::definition(ListReport::RelUsuario, mainConnection()), parent);
        } catch (const DbError &) {
            Services::messages().information(QStringLiteral("Erro ao executar relatório."), parent);
        }
        return nullptr;
    });
}
