#include "reports/agenda/AgendaReports.h"
#include "db/Formats.h"
#include "db/ServerClock.h"
#include "db/Documents.h"
#include "reports/ListLayout.h"
#include "reports/engine/ReportData.h"
#include "reports/engine/Reports.h"

#include <QRegularExpression>

namespace AgendaReports {

namespace {

QString dateTimeText(const QVariant &v, const QString &format)
{
    const QDateTime t = v.toDateTime();
    return v.isNull() || !t.isValid() ? QString() : t.toString(format);
}

QString idName(const ReportRow &r, const QString &id, const QString &name)
{
    const QString i = r.text(id);
    return i.isEmpty() ? QString() : i + QStringLiteral(" - ") + r.text(name);
}

// The server's clock as the headers print it, read once when the report is
// built (the workstation's clock may be wrong).
QString serverStamp(Connection &c)
{
    return Formats::dateTime(serverNow(c));
}

QVariantMap periodParams(const Period &p)
{
    return {{QStringLiteral("ini"), p.begin}, {QStringLiteral("fim"), p.end}};
}

// An empty result: the report prints its header and nothing else.
std::unique_ptr<ReportDataSource> noRows(const QStringList &columns)
{
    return std::make_unique<RowListDataSource>(columns, QList<QList<QVariant>>());
}

} // namespace

Period days(const QDate &from, const QDate &to)
{
    return {QDateTime(from, QTime(0, 0)), QDateTime(to.addDays(1), QTime(0, 0))};
}

// ---------------------------------------------------------------------------

ReportDefinition professional(Connection &c, int idProfissional, const QDate &from, const QDate &to)
{
    ReportDefinition def;
    def.title = QStringLiteral("Agenda do Profissionai");
    def.orientation = QPageLayout::Landscape;
    const double w = def.contentWidth();
    Connection *conn = &c;
    const Period period = days(from, to);
    def.data = [conn, idProfissional, period] {
        QString sql = QStringLiteral(
            "select w.Data_Hora_Atendimento, y.id_profissional, f.nome as Nome_Prof, "
            "w.Id_Atendimento, w.Id_Proprietario, w.Id_Animal, w.Id_Unidade_Trabalho, w.Id_Unidade_Agendada, "
            "e.Id_Atendimento_Status, w.Inserido_Por, w.Ind_Autoriza_Cirurgia, "
            "b.nome as nome_Prop, c.nome as nome_Animal, d.nome as nome_Unidade_Agendada, e.nome as nome_Status "
            "from atendimento_profissional y "
            "join atendimento w on (y.id_atendimento = w.id_atendimento) "
            "left join proprietario b on (w.id_proprietario = b.id_proprietario) "
            "left join animal c on (w.id_animal = c.id_animal) "
            "left join unidade_trabalho d on (d.id_unidade_trabalho = w.id_unidade_agendada) "
            "left join atendimento_status e on (e.id_atendimento_status = w.id_atendimento_status) "
            "left join profissional f on (y.id_profissional = f.id_profissional) "
            "where w.Data_Hora_Atendimento >= :ini and w.Data_Hora_Atendimento < :fim ");
        QVariantMap p = periodParams(period);
        if (idProfissional > 0) {
            sql += QStringLiteral("and y.id_profissional = :prof ");
            p.insert(QStringLiteral("prof"), idProfissional);
        }
        // By name, then by id: two professionals of one name stay two groups.
        sql += QStringLiteral("order by f.nome, y.id_profissional, w.Data_Hora_Atendimento, w.Id_Atendimento");
        return QueryDataSource::open(*conn, sql, p);
    };

    ReportBand &head = def.band(BandKind::PageHeader, 19);
    head.lineBelow = true;
    ListLayout::addReportHeader(head, w, QStringLiteral("Rel.:042"), def.title, 7, 12, true, serverStamp(c));
    head.add(Items::label(0, 13.5, w, 5,
                          QStringLiteral("De") + Formats::date(from) + QStringLiteral(" à ") + Formats::date(to)))
        .size(10)
        .center()
        .named(QStringLiteral("periodo"));

    const double xOwner = 34, xUnit = 160, xStatus = 220;
    ReportGroup &g = def.addGroup(QStringLiteral("profissional"), QStringLiteral("id_profissional"));
    g.header.height = 10;
    g.header.lineAbove = true;
    g.header.lineBelow = true;
    g.header.add(Items::field(0, 0.5, w, 4.5, QStringLiteral("Nome_Prof"))).size(9).bold().named(QStringLiteral("profissional"));
    g.header.add(Items::label(0, 5, 32, 4.5, QStringLiteral("Data/Hora:"))).size(9).bold();
    g.header.add(Items::label(xOwner, 5, 120, 4.5, QStringLiteral("Proprietário / Animal:"))).size(9).bold();
    g.header.add(Items::label(xUnit, 5, 58, 4.5, QStringLiteral("Unidade agendada:"))).size(9).bold();
    g.header.add(Items::label(xStatus, 5, w - xStatus, 4.5, QStringLiteral("Status do atend.:"))).size(9).bold();

    ReportBand &d = def.band(BandKind::Detail, 4.5);
    d.add(Items::computed(0, 0.3, 32, 4, [](const ReportRow &r) {
         return dateTimeText(r.value(QStringLiteral("Data_Hora_Atendimento")), QStringLiteral("dd/MM/yyyy HH:mm"));
     })).named(QStringLiteral("data_hora_atend"));
    d.add(Items::computed(xOwner, 0.3, xUnit - xOwner - 2, 4, [](const ReportRow &r) {
         return idName(r, QStringLiteral("Id_Proprietario"), QStringLiteral("nome_Prop")) + QStringLiteral(" / ")
                + idName(r, QStringLiteral("Id_Animal"), QStringLiteral("nome_Animal"));
     })).named(QStringLiteral("proprietario_animal")).wrapping();
    // Unit names share their start: they wrap, never cut where the column ends.
    d.add(Items::field(xUnit, 0.3, xStatus - xUnit - 2, 4, QStringLiteral("nome_Unidade_Agendada"))).wrapping().named(
        QStringLiteral("unidade"));
    d.add(Items::field(xStatus, 0.3, w - xStatus, 4, QStringLiteral("nome_Status")));

    ReportBand &f = g.addFooter(6);
    f.add(Items::label(0, 1, 20, 4, QStringLiteral("Total:"))).size(9).bold();
    f.add(Items::count(20, 1, 20, 4)).size(9).bold().resetting().named(QStringLiteral("total_profissional"));
    ListLayout::addPageNumber(def, 8);
    return def;
}

// ---------------------------------------------------------------------------

QString contactPhone(const QString &residencial, const QString &celular, const QString &recado)
{
    QString t;
    if (!Documents::phoneEmpty(residencial))
        t = Documents::splitPhone(residencial).number;
    else if (!Documents::phoneEmpty(celular))
        t = QLatin1Char(';') + Documents::splitPhone(celular).number;
    else if (!Documents::phoneEmpty(recado))
        t = QLatin1Char(';') + Documents::splitPhone(recado).number;
    return t.isEmpty() ? t : t + QStringLiteral("...");
}

ReportDefinition daily(Connection &c, int idUnidade, const QDate &from, const QDate &to)
{
    ReportDefinition def;
    def.title = QStringLiteral("Agenda Diária");
    def.orientation = QPageLayout::Landscape;
    const double w = def.contentWidth();
    Connection *conn = &c;
    const Period period = days(from, to);
    def.data = [conn, idUnidade, period] {
        // The booking user comes with the row (one statement, not one per row).
        QString sql = QStringLiteral(
            "select a.Id_Atendimento, a.Id_Proprietario, a.Id_Animal, a.Id_Unidade_Trabalho, a.Id_Unidade_Agendada, "
            "a.Data_Hora_Atendimento, a.Id_Atendimento_Status, a.Inserido_Por, a.Ind_Autoriza_Cirurgia, "
            "b.nome as nome_Prop, c.nome as nome_Animal, d.nome as nome_Unidade_Agendada, e.nome as nome_Status, "
            "f.descricao as porte, g.nome as especie, c.sexo, b.Telefone_Residencial, b.Telefone_Celular, "
            "b.Telefone_Recado, b.Status_Registro as Status_Registro_prop, u.nome as nome_usuario "
            "from atendimento a "
            "left join proprietario b on (a.id_proprietario = b.id_proprietario) "
            "left join animal c on (a.id_animal = c.id_animal) "
            "left join unidade_trabalho d on (d.id_unidade_trabalho = a.id_unidade_agendada) "
            "left join atendimento_status e on (a.id_atendimento_status = e.id_atendimento_status) "
            "left join porte f on (c.id_porte = f.id_porte) "
            "left join especie g on (c.id_especie = g.id_especie) "
            "left join usuario u on (u.id_usuario = a.Inserido_Por) "
            "where a.Data_Hora_Atendimento >= :ini and a.Data_Hora_Atendimento < :fim ");
        QVariantMap p = periodParams(period);
        if (idUnidade > 0) {
            sql += QStringLiteral("and a.Id_Unidade_Agendada = :unidade ");
            p.insert(QStringLiteral("unidade"), idUnidade);
        }
        sql += QStringLiteral("order by a.Id_Unidade_Agendada, a.Data_Hora_Atendimento, a.Id_Atendimento");
        return QueryDataSource::open(*conn, sql, p);
    };

    struct Col {
        double x, w;
        const char *caption;
    };
    const QList<Col> cols = {{0, 25, "Hora:"},           {26, 42, "Proprietário:"},  {69, 30, "Animal:"},
                             {100, 26, "Autor. cirurgia:"}, {127, 24, "Status atend.:"}, {152, 18, "Espécie:"},
                             {171, 16, "Porte:"},          {188, 10, "Sexo:"},         {199, 25, "Prof. marcou:"},
                             {225, 28, "Tel. Contato:"},    {254, w - 254, "Status prop."}};

    ReportBand &head = def.band(BandKind::PageHeader, 25);
    head.lineBelow = true;
    ListLayout::addReportHeader(head, w, QStringLiteral("REL050"), def.title, 7, 12, true, serverStamp(c));
    head.add(Items::label(0, 13.5, w, 5, Formats::date(from) + QStringLiteral(" a ") + Formats::date(to)))
        .size(10)
        .center()
        .named(QStringLiteral("periodo"));
    for (const Col &k : cols)
        head.add(Items::label(k.x, 20, k.w, 4.5, QString::fromUtf8(k.caption))).size(9).bold();

    ReportGroup &unit = def.addGroup(QStringLiteral("unidade"), QStringLiteral("Id_Unidade_Agendada"), true);
    unit.header.height = 6;
    unit.header.add(Items::field(0, 1, w, 4.5, QStringLiteral("nome_Unidade_Agendada"))).size(9).bold().named(QStringLiteral("unidade"));
    ReportGroup &day = def.addGroup(QStringLiteral("dia"), QString());
    day.key = [](const ReportRow &r) -> QVariant { return r.value(QStringLiteral("Data_Hora_Atendimento")).toDateTime().date(); };
    day.header.height = 1;
    day.header.lineAbove = true;

    ReportBand &d = def.band(BandKind::Detail, 4.5);
    d.box = true;
    auto cell = [&d](const Col &k, std::function<QString(const ReportRow &)> f) -> ReportItem & {
        return d.add(Items::computed(k.x + 0.5, 0.3, k.w - 0.5, 4, std::move(f)));
    };
    cell(cols[0], [](const ReportRow &r) {
        return dateTimeText(r.value(QStringLiteral("Data_Hora_Atendimento")), QStringLiteral("dd/MM/yyyy HH:mm"));
    }).named(QStringLiteral("hora"));
    // Names and telephones wrap in their narrow columns, whole.
    cell(cols[1], [](const ReportRow &r) { return idName(r, QStringLiteral("Id_Proprietario"), QStringLiteral("nome_Prop")); })
        .named(QStringLiteral("proprietario"))
        .wrapping();
    cell(cols[2], [](const ReportRow &r) { return idName(r, QStringLiteral("Id_Animal"), QStringLiteral("nome_Animal")); })
        .named(QStringLiteral("animal"))
        .wrapping();
    cell(cols[3], [](const ReportRow &r) { return r.text(QStringLiteral("Ind_Autoriza_Cirurgia")); }).center();
    cell(cols[4], [](const ReportRow &r) { return r.text(QStringLiteral("nome_Status")); });
    cell(cols[5], [](const ReportRow &r) { return r.text(QStringLiteral("especie")); });
    cell(cols[6], [](const ReportRow &r) { return r.text(QStringLiteral("porte")); });
    cell(cols[7], [](const ReportRow &r) { return r.text(QStringLiteral("sexo")); }).center();
    cell(cols[8], [](const ReportRow &r) {
        const QString n = r.text(QStringLiteral("nome_usuario"));
        return n.isEmpty() ? QStringLiteral("----") : n;
    }).named(QStringLiteral("prof_marcou"));
    cell(cols[9], [](const ReportRow &r) {
        return contactPhone(r.text(QStringLiteral("Telefone_Residencial")), r.text(QStringLiteral("Telefone_Celular")),
                            r.text(QStringLiteral("Telefone_Recado")));
    }).named(QStringLiteral("telefone")).wrapping();
    cell(cols[10], [](const ReportRow &r) { return r.text(QStringLiteral("Status_Registro_prop")); });

    ReportBand &df = day.addFooter(6);
    df.add(Items::label(0, 1, 25, 4, QStringLiteral("Total dia:"))).size(9).bold();
    df.add(Items::count(25, 1, 20, 4)).size(9).bold().resetting().named(QStringLiteral("total_dia"));
    // Adding a group may move the list: reach the unit group afresh.
    ReportBand &uf = def.groups[0].addFooter(7);
    uf.add(Items::label(0, 1.5, 30, 4, QStringLiteral("Total unidade:"))).size(9).bold();
    uf.add(Items::count(30, 1.5, 20, 4)).size(9).bold().resetting().named(QStringLiteral("total_unidade"));
    ListLayout::addPageNumber(def, 8);
    return def;
}

// ---------------------------------------------------------------------------

std::optional<int> yearOf(const QString &text)
{
    static const QRegularExpression fourDigits(QStringLiteral("^\\d{4}$"));
    const QString t = text.trimmed();
    if (!fourDigits.match(t).hasMatch())
        return std::nullopt;
    return t.toInt();
}

ReportDefinition monthly(Connection &c, std::optional<int> year, int month, int idUnidade)
{
    ReportDefinition def;
    def.title = QStringLiteral("Relatório Mensal");
    const double w = def.contentWidth();
    Connection *conn = &c;
    const QStringList columns = {QStringLiteral("id_unidade_agendada"), QStringLiteral("nome_unidade_agendada"),
                                 QStringLiteral("id_tipo_procedimento"), QStringLiteral("id_profissional"),
                                 QStringLiteral("nome"), QStringLiteral("nomeTipoProc"), QStringLiteral("qt")};
    const bool valid = year && month >= 1 && month <= 12;
    def.data = [conn, valid, year, month, idUnidade, columns]() -> std::unique_ptr<ReportDataSource> {
        if (!valid)
            return noRows(columns);
        const QDate first(*year, month, 1);
        QString sql = QStringLiteral(
            "select a.id_unidade_agendada, b.nome as nome_unidade_agendada, d.id_tipo_procedimento, "
            "w.id_profissional, c.nome, e.nome as nomeTipoProc, count(*) as qt "
            "from atendimento a "
            "join atendimento_profissional w on (a.id_atendimento = w.id_atendimento) "
            "left join unidade_trabalho b on (a.id_unidade_agendada = b.id_unidade_trabalho) "
            "left join profissional c on (w.id_profissional = c.id_profissional) "
            "join procedimento d on (a.id_atendimento = d.id_atendimento) "
            "left join tipo_procedimento e on (d.id_tipo_procedimento = e.id_tipo_procedimento) "
            "where a.Data_Hora_Atendimento >= :ini and a.Data_Hora_Atendimento < :fim "
            "and w.id_profissional is not null ");
        QVariantMap p{{QStringLiteral("ini"), QDateTime(first, QTime(0, 0))},
                      {QStringLiteral("fim"), QDateTime(first.addMonths(1), QTime(0, 0))}};
        if (idUnidade > 0) {
            sql += QStringLiteral("and a.id_unidade_agendada = :unidade ");
            p.insert(QStringLiteral("unidade"), idUnidade);
        }
        sql += QStringLiteral(
            "group by a.id_unidade_agendada, b.nome, w.id_profissional, c.nome, d.id_tipo_procedimento, e.nome "
            "order by a.id_unidade_agendada, c.nome, w.id_profissional, d.id_tipo_procedimento");
        return QueryDataSource::open(*conn, sql, p);
    };

    ReportBand &head = def.band(BandKind::PageHeader, 30);
    head.lineBelow = true;
    ListLayout::addReportHeader(head, w, QStringLiteral("REL051"), def.title, 7, 12, true, serverStamp(c));
    const QString monthText = QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0'));
    head.add(Items::label(0, 14, w, 4.5,
                          QStringLiteral("Mês/Ano agenda : ") + monthText + QLatin1Char('/')
                              + (year ? QString::number(*year) : QString())))
        .size(9)
        .center()
        .named(QStringLiteral("mes_ano"));
    head.add(Items::field(0, 19, w, 4.5, QStringLiteral("nome_unidade_agendada"))).size(9).named(QStringLiteral("unidade"));
    head.add(Items::label(0, 25, 80, 4, QStringLiteral("Profissional:"))).bold();
    head.add(Items::label(80, 25, 80, 4, QStringLiteral("Procedimento:"))).bold();
    head.add(Items::label(w - 25, 25, 25, 4, QStringLiteral("Quant.:"))).bold().right();

    def.addGroup(QStringLiteral("unidade"), QStringLiteral("id_unidade_agendada"), true);
    ReportGroup &prof = def.addGroup(QStringLiteral("profissional"), QStringLiteral("id_profissional"));
    prof.header.height = 5;
    prof.header.add(Items::field(0, 0.5, 78, 4, QStringLiteral("nome"))).named(QStringLiteral("profissional"));

    ReportBand &d = def.band(BandKind::Detail, 4.5);
    d.lineBelow = true;
    d.add(Items::computed(80, 0.3, w - 110, 4, [](const ReportRow &r) {
         return idName(r, QStringLiteral("id_tipo_procedimento"), QStringLiteral("nomeTipoProc"));
     })).named(QStringLiteral("procedimento"));
    d.add(Items::field(w - 25, 0.3, 25, 4, QStringLiteral("qt"))).right().named(QStringLiteral("qt"));

    ReportBand &f = prof.addFooter(6);
    f.lineAbove = true;
    f.lineBelow = true;
    f.add(Items::label(80, 1, 60, 4, QStringLiteral("Total o profissional:"))).bold();
    f.add(Items::sum(w - 25, 1, 25, 4, QStringLiteral("qt"))).bold().right().resetting().named(QStringLiteral("total_profissional"));
    ListLayout::addPageNumber(def, 8);
    return def;
}

// ---------------------------------------------------------------------------

ReportDefinition annual(Connection &c, std::optional<int> year)
{
    ReportDefinition def;
    def.title = QStringLiteral("Agenda Anual das Unidades");
    def.orientation = QPageLayout::Landscape;
    const double w = def.contentWidth();
    Connection *conn = &c;
    QVariantMap params;
    QString where;
    if (year) {
        const Period p = days(QDate(*year, 1, 1), QDate(*year, 12, 31));
        where = QStringLiteral("where a.Data_Hora_Atendimento >= :ini and a.Data_Hora_Atendimento < :fim ");
        params = {{QStringLiteral("ini"), p.begin}, {QStringLiteral("fim"), p.end}};
    }
    def.data = [conn, where, params] {
        return QueryDataSource::open(
            *conn,
            QStringLiteral(
                "select a.Id_Atendimento, a.Id_Proprietario, a.Id_Animal, a.Id_Unidade_Agendada, a.Data_Hora_Atendimento, "
                "a.Id_Atendimento_Status, a.Ind_Autoriza_Cirurgia, b.nome as nome_proprietario, c.nome as nome_animal, "
                "d.nome as nome_unidade_agendada, e.nome as nome_status_atendimento "
                "from atendimento a "
                "left join proprietario b on (a.id_proprietario = b.id_proprietario) "
                "left join animal c on (a.id_animal = c.id_animal) "
                "left join unidade_trabalho d on (a.Id_Unidade_Agendada = d.id_unidade_trabalho) "
                "left join atendimento_status e on (a.Id_Atendimento_Status = e.Id_Atendimento_Status) ")
                + where + QStringLiteral("order by a.Id_Unidade_Agendada, a.Id_Atendimento_Status, a.Data_Hora_Atendimento, a.Id_Atendimento"),
            params);
    };

    const double xId = 32, xAnimal = 62, xOwner = 140, xAut = 240;
    ReportBand &head = def.band(BandKind::PageHeader, 25);
    head.lineBelow = true;
    ListLayout::addReportHeader(head, w, QStringLiteral("REL052"), def.title, 8, 10, false, serverStamp(c));
    head.add(Items::field(0, 14, w, 4, QStringLiteral("nome_unidade_agendada"))).bold().named(QStringLiteral("unidade"));
    head.add(Items::label(0, 20, 30, 4, QStringLiteral("Data/hora")));
    head.add(Items::label(xId, 20, 28, 4, QStringLiteral("Cód. Atendimento:")));
    head.add(Items::label(xAnimal, 20, 70, 4, QStringLiteral("Animal:")));
    head.add(Items::label(xOwner, 20, 90, 4, QStringLiteral("Propriétario:")));
    head.add(Items::label(xAut, 20, w - xAut, 4, QStringLiteral("Aut. cirurgia:")));

    def.addGroup(QStringLiteral("unidade"), QStringLiteral("Id_Unidade_Agendada"), true);
    ReportGroup &status = def.addGroup(QStringLiteral("status"), QStringLiteral("Id_Atendimento_Status"));
    status.header.height = 5;
    status.header.add(Items::field(0, 0.5, w, 4, QStringLiteral("nome_status_atendimento"))).named(QStringLiteral("status"));

    ReportBand &d = def.band(BandKind::Detail, 4);
    d.add(Items::computed(0, 0, 30, 4, [](const ReportRow &r) {
         return dateTimeText(r.value(QStringLiteral("Data_Hora_Atendimento")), QStringLiteral("dd/MM/yyyy HH:mm"));
     }));
    d.add(Items::field(xId, 0, 28, 4, QStringLiteral("Id_Atendimento"))).named(QStringLiteral("atendimento"));
    d.add(Items::computed(xAnimal, 0, xOwner - xAnimal - 2, 4,
                          [](const ReportRow &r) { return idName(r, QStringLiteral("Id_Animal"), QStringLiteral("nome_animal")); }));
    d.add(Items::computed(xOwner, 0, xAut - xOwner - 2, 4, [](const ReportRow &r) {
         return idName(r, QStringLiteral("Id_Proprietario"), QStringLiteral("nome_proprietario"));
     }));
    d.add(Items::field(xAut, 0, w - xAut, 4, QStringLiteral("Ind_Autoriza_Cirurgia")));

    ReportBand &sf = status.addFooter(5);
    sf.add(Items::label(xId, 0.5, 28, 4, QStringLiteral("Total do status"))).bold();
    sf.add(Items::count(xAnimal, 0.5, 20, 4)).bold().resetting().named(QStringLiteral("total_status"));
    ReportBand &uf = def.groups[0].addFooter(6);
    uf.lineAbove = true;
    uf.add(Items::label(xId, 1, 28, 4, QStringLiteral("Total Unidade:"))).bold();
    uf.add(Items::count(xAnimal, 1, 20, 4)).bold().resetting().named(QStringLiteral("total_unidade"));
    ListLayout::addPageNumber(def, 8);
    return def;
}

} // namespace AgendaReports
