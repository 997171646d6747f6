#include "reports/OccupancyReport.h"
#include "db/DataModule.h"
#include "db/Formats.h"
#include "db/Sql.h"
#include "reports/ListLayout.h"

#include <QHash>
#include <QMap>
#include <QSqlQuery>
#include <algorithm>
#include <memory>

namespace Occupancy {

double Figures::occupancy() const
{
    if (offered() <= 0)
        return 0;
    return 100.0 * (webTaken + deskBooked - cancelled) / offered();
}

double Figures::absence() const
{
    const int outcome = attended + absent;
    return outcome > 0 ? 100.0 * absent / outcome : 0;
}

Figures &Figures::operator+=(const Figures &o)
{
    offeredGeneral += o.offeredGeneral;
    offeredLarge += o.offeredLarge;
    webTaken += o.webTaken;
    deskBooked += o.deskBooked;
    attended += o.attended;
    absent += o.absent;
    cancelled += o.cancelled;
    return *this;
}

QString monthText(const QDate &month)
{
    return month.toString(QStringLiteral("MM/yyyy"));
}

QList<QDate> months(const QDate &from, const QDate &to)
{
    QList<QDate> out;
    if (!from.isValid() || !to.isValid())
        return out;
    for (QDate m(from.year(), from.month(), 1); m <= to && out.size() < MaxMonths; m = m.addMonths(1))
        out << m;
    return out;
}

QList<Figures> figures(Connection &c, const QDate &from, const QDate &to, int idUnidade)
{
    const QList<QDate> period = months(from, to);
    // unit -> month index -> figures
    QMap<int, QList<Figures>> byUnit;
    auto at = [&](int unit, int m) -> Figures & {
        auto it = byUnit.find(unit);
        if (it == byUnit.end()) {
            QList<Figures> row(period.size());
            for (int k = 0; k < period.size(); ++k) {
                row[k].unit = unit;
                row[k].month = period.at(k);
            }
            it = byUnit.insert(unit, row);
        }
        return (*it)[m];
    };
    const QString slotUnit = idUnidade > 0 ? QStringLiteral(" and Id_unidade_trabalho = :u") : QString();
    const QString attUnit = idUnidade > 0 ? QStringLiteral(" and Id_Unidade_Agendada = :u") : QString();
    // One grouped statement per month and table: each reads only that
    // month's rows through the date indexes, on every engine alike.
    for (int m = 0; m < period.size(); ++m) {
        QVariantMap p{{QStringLiteral("ini"), QDateTime(period.at(m), QTime(0, 0))},
                      {QStringLiteral("fim"), QDateTime(period.at(m).addMonths(1), QTime(0, 0))}};
        if (idUnidade > 0)
            p.insert(QStringLiteral("u"), idUnidade);
        QSqlQuery q = Sql::exec(c,
                                QStringLiteral("select Id_unidade_trabalho, sum(coalesce(Qt_vaga_disponivel_geral, 0)), "
                                               "sum(coalesce(Qt_vaga_disp_f_grande_porte, 0)), "
                                               "sum(coalesce(Qt_vaga_usada_geral, 0) + coalesce(Qt_vaga_usada_f_grande_porte, 0)) "
                                               "from mapa_disponibilidade_agenda where Data_hora_disponibilidade >= :ini "
                                               "and Data_hora_disponibilidade < :fim%1 group by Id_unidade_trabalho")
                                    .arg(slotUnit),
                                p);
        while (q.next()) {
            Figures &f = at(q.value(0).toInt(), m);
            f.offeredGeneral += q.value(1).toInt();
            f.offeredLarge += q.value(2).toInt();
            f.webTaken += q.value(3).toInt();
        }
        q = Sql::exec(c,
                      QStringLiteral("select Id_Unidade_Agendada, count(*), "
                                     "sum(case when Id_Atendimento_Status = %2 then 1 else 0 end), "
                                     "sum(case when Id_Atendimento_Status = %3 then 1 else 0 end), "
                                     "sum(case when Id_Atendimento_Status = %4 then 1 else 0 end) "
                                     "from atendimento where Data_Hora_Atendimento >= :ini and Data_Hora_Atendimento < :fim%1 "
                                     "group by Id_Unidade_Agendada")
                          .arg(attUnit)
                          .arg(Realizado)
                          .arg(NaoCompareceu)
                          .arg(Cancelado),
                      p);
        while (q.next()) {
            Figures &f = at(q.value(0).toInt(), m);
            f.deskBooked += q.value(1).toInt();
            f.attended += q.value(2).toInt();
            f.absent += q.value(3).toInt();
            f.cancelled += q.value(4).toInt();
        }
    }
    QHash<int, QString> names;
    QSqlQuery q = Sql::exec(c, QStringLiteral("select Id_Unidade_Trabalho, Nome from unidade_trabalho"));
    while (q.next())
        names.insert(q.value(0).toInt(), Sql::text(q.value(1)));
    q = QSqlQuery();
    QList<int> units = byUnit.keys();
    std::sort(units.begin(), units.end(), [&](int a, int b) {
        const int byName = QString::localeAwareCompare(names.value(a), names.value(b));
        return byName != 0 ? byName < 0 : a < b;
    });
    QList<Figures> out;
    for (int u : units) {
        for (Figures f : byUnit.value(u)) {
            f.unitName = names.value(u, QStringLiteral("UNIDADE %1").arg(u));
            out << f;
        }
    }
    return out;
}

QList<Figures> programme(const QList<Figures> &rows, const QList<QDate> &period)
{
    QList<Figures> out(period.size());
    for (int k = 0; k < period.size(); ++k)
        out[k].month = period.at(k);
    for (const Figures &f : rows) {
        const qsizetype k = period.indexOf(f.month);
        if (k >= 0)
            out[k] += f;
    }
    return out;
}

namespace {

QString pct(double v)
{
    return Formats::number(v, 1) + QLatin1Char('%');
}

// The figures' columns: caption, width (mm) and text.
struct Col {
    QString caption;
    double width;
    std::function<QString(const Figures &)> text;
};

const QList<Col> &cols()
{
    static const QList<Col> all{
        {QStringLiteral("Mês"), 18, [](const Figures &f) { return monthText(f.month); }},
        {QStringLiteral("Vagas gerais"), 22, [](const Figures &f) { return QString::number(f.offeredGeneral); }},
        {QStringLiteral("Vagas f. g. porte"), 25, [](const Figures &f) { return QString::number(f.offeredLarge); }},
        {QStringLiteral("Vagas total"), 21, [](const Figures &f) { return QString::number(f.offered()); }},
        {QStringLiteral("Ocupadas web"), 23, [](const Figures &f) { return QString::number(f.webTaken); }},
        {QStringLiteral("Agend. balcão"), 23, [](const Figures &f) { return QString::number(f.deskBooked); }},
        {QStringLiteral("Atendidos"), 20, [](const Figures &f) { return QString::number(f.attended); }},
        {QStringLiteral("Faltas"), 18, [](const Figures &f) { return QString::number(f.absent); }},
        {QStringLiteral("Cancelados"), 21, [](const Figures &f) { return QString::number(f.cancelled); }},
        {QStringLiteral("Ocupação"), 21, [](const Figures &f) { return pct(f.occupancy()); }},
        {QStringLiteral("Faltas %"), 21, [](const Figures &f) { return pct(f.absence()); }},
    };
    return all;
}

struct State {
    QList<QDate> period;
    QList<Figures> rows;
    QList<Figures> total; // per month
    QMap<int, Figures> unitTotal;
    QMap<int, QList<Figures>> unitMonths;
};

} // namespace

ReportDefinition report(Connection &c, const QDate &from, const QDate &to, int idUnidade)
{
    Connection *conn = &c;
    auto state = std::make_shared<State>();
    ReportDefinition def;
    def.title = QStringLiteral("Ocupação do programa");
    def.orientation = QPageLayout::Landscape;
    const double width = def.contentWidth();
    QStringList columns{QStringLiteral("unidade"), QStringLiteral("nome_unidade")};
    for (int k = 0; k < cols().size(); ++k)
        columns << QStringLiteral("c%1").arg(k);
    def.data = [conn, state, from, to, idUnidade, columns]() -> std::unique_ptr<ReportDataSource> {
        state->period = months(from, to);
        state->rows = figures(*conn, from, to, idUnidade);
        state->total = programme(state->rows, state->period);
        state->unitTotal.clear();
        state->unitMonths.clear();
        QList<QList<QVariant>> rows;
        for (const Figures &f : std::as_const(state->rows)) {
            state->unitTotal[f.unit] += f;
            state->unitMonths[f.unit] << f;
            QList<QVariant> r{f.unit, f.unitName};
            for (const Col &col : cols())
                r << col.text(f);
            rows << r;
        }
        return std::make_unique<RowListDataSource>(columns, rows);
    };

    ReportBand &title = def.band(BandKind::Title, 22);
    ListLayout::addReportHeader(title, width, QStringLiteral("REL053"), QStringLiteral("Ocupação do programa"), 8, 11, true);
    title.add(Items::label(0, 14, width, 4.5,
                           QStringLiteral("Período: %1 a %2").arg(monthText(from), monthText(months(from, to).value(months(from, to).size() - 1, from)))))
        .center()
        .named(QStringLiteral("periodo"));

    ReportBand &header = def.band(BandKind::ColumnHeader, 5.5);
    header.lineBelow = true;
    double x = 0;
    for (const Col &col : cols()) {
        ReportItem &it = header.add(Items::label(x, 0.5, col.width - 1, 4.5, col.caption).bold().size(7.5));
        if (x > 0)
            it.right();
        x += col.width;
    }

    ReportGroup &g = def.addGroup(QStringLiteral("unidade"), QStringLiteral("unidade"));
    g.header.height = 7;
    g.header.add(Items::field(0, 1.5, width, 5, QStringLiteral("nome_unidade")).bold().size(9).named(QStringLiteral("unidade")));

    ReportBand &d = def.band(BandKind::Detail, 4.5);
    x = 0;
    for (int k = 0; k < cols().size(); ++k) {
        ReportItem &it = d.add(Items::field(x, 0, cols().at(k).width - 1, 4.5, QStringLiteral("c%1").arg(k)).size(8));
        if (k > 0)
            it.right();
        x += cols().at(k).width;
    }

    // The unit's totals and its bar chart of occupancy per month.
    ReportBand &foot = g.addFooter(70);
    foot.lineAbove = true;
    x = 0;
    for (int k = 0; k < cols().size(); ++k) {
        ReportItem it = k == 0 ? Items::label(x, 0.5, cols().at(k).width - 1, 4.5, QStringLiteral("Total"))
                               : Items::computed(x, 0.5, cols().at(k).width - 1, 4.5, [state, k](const ReportRow &r) {
                                     return cols().at(k).text(state->unitTotal.value(r.value(QStringLiteral("unidade")).toInt()));
                                 });
        it.bold().size(8);
        if (k > 0)
            it.right();
        foot.add(it);
        x += cols().at(k).width;
    }
    ChartSpec bars;
    bars.type = ChartData::Type::Bar;
    bars.title = QStringLiteral("Ocupação da unidade por mês");
    bars.percentValues = true;
    bars.values = [state](const ReportRow &r) {
        QList<QPair<QString, double>> v;
        for (const Figures &f : state->unitMonths.value(r.value(QStringLiteral("unidade")).toInt()))
            v.append({monthText(f.month), f.occupancy()});
        return v;
    };
    foot.add(Items::chart(20, 7, width - 40, 60, bars).named(QStringLiteral("grafico_unidade")));

    // The whole programme: a line per month, its totals and its line chart.
    ReportBand &sum = def.band(BandKind::Summary, 90);
    sum.add(Items::label(0, 2, width, 5, QStringLiteral("Programa (todas as unidades)")).bold().size(9));
    x = 0;
    for (int k = 0; k < cols().size(); ++k) {
        ReportItem it = Items::computed(x, 8, cols().at(k).width - 1, 4.5, [state, k](const ReportRow &) {
            QStringList lines;
            for (const Figures &f : std::as_const(state->total))
                lines << cols().at(k).text(f);
            return lines.join(QLatin1Char('\n'));
        });
        it.size(8).named(QStringLiteral("programa_c%1").arg(k));
        if (k > 0)
            it.right();
        sum.add(it);
        x += cols().at(k).width;
    }
    x = 0;
    for (int k = 0; k < cols().size(); ++k) {
        ReportItem it = k == 0 ? Items::label(x, 13, cols().at(k).width - 1, 4.5, QStringLiteral("Total"))
                               : Items::computed(x, 13, cols().at(k).width - 1, 4.5, [state, k](const ReportRow &) {
                                     Figures all;
                                     for (const Figures &f : std::as_const(state->total))
                                         all += f;
                                     return cols().at(k).text(all);
                                 });
        it.bold().size(8).named(QStringLiteral("total_c%1").arg(k));
        if (k > 0)
            it.right();
        sum.add(it);
        x += cols().at(k).width;
    }
    ChartSpec line;
    line.type = ChartData::Type::Line;
    line.title = QStringLiteral("Ocupação do programa por mês");
    line.percentValues = true;
    line.values = [state](const ReportRow &) {
        QList<QPair<QString, double>> v;
        for (const Figures &f : std::as_const(state->total))
            v.append({monthText(f.month), f.occupancy()});
        return v;
    };
    sum.add(Items::chart(20, 20, width - 40, 62, line).named(QStringLiteral("grafico_programa")));
    sum.add(Items::label(0, 84, width, 4,
                         QStringLiteral("Ocupação: (ocupadas na web + agendados no balcão - cancelados) / vagas oferecidas. "
                                        "Faltas %: faltas / (atendidos + faltas)."))
                .size(6.5)
                .italic());

    ListLayout::addPageNumber(def);
    return def;
}

} // namespace Occupancy
