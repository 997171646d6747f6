#include "scheduling/DraftReport.h"
#include "db/Formats.h"
#include "reports/ListLayout.h"
#include "scheduling/DraftStore.h"

namespace DraftReport {

ReportDefinition definition(Connection &c)
{
    ReportDefinition def;
    def.title = QStringLiteral("Programação de cotas ");
    def.paper = QPageSize::A4;
    const double w = def.contentWidth();
    Connection *conn = &c;
    def.data = [conn] { return QueryDataSource::open(*conn, DraftStore::reportStatement()); };

    ReportBand &title = def.band(BandKind::Title, 15);
    ListLayout::addReportHeader(title, w, QStringLiteral("REL51"), def.title, 8, 10, true);
    title.lineBelow = true;

    // Columns: unit, procedure, species, date-hour, then the two counts.
    const double x[] = {0, w * 0.27, w * 0.47, w * 0.60, w * 0.78, w * 0.88};
    const double cw[] = {w * 0.26, w * 0.19, w * 0.12, w * 0.17, w * 0.09, w * 0.12};
    ReportBand &head = def.band(BandKind::ColumnHeader, 6);
    head.lineBelow = true;
    const QStringList titles{QStringLiteral("Unidade trabalho"), QStringLiteral("Procedimento"), QStringLiteral("Especie"),
                             QStringLiteral("Data/Hora"), QStringLiteral("Qt. Geral"), QStringLiteral("Qt. Fêmea grande")};
    for (int i = 0; i < 6; ++i) {
        ReportItem &it = head.add(Items::label(x[i], 1, cw[i], 4, titles.at(i))).size(8).bold();
        if (i >= 4)
            it.right();
    }
    ReportBand &d = def.band(BandKind::Detail, 5);
    // Unit names share their start ("CLÍNICA MUNICIPAL DE ..."): they wrap,
    // never cut where the column ends.
    d.add(Items::field(x[0], 0.5, cw[0], 4, QStringLiteral("unidade_trabalho"))).size(8).wrapping().named(
        QStringLiteral("unidade"));
    d.add(Items::field(x[1], 0.5, cw[1], 4, QStringLiteral("tipo_procedimento"))).size(8);
    d.add(Items::field(x[2], 0.5, cw[2], 4, QStringLiteral("especie"))).size(8);
    d.add(Items::computed(x[3], 0.5, cw[3], 4, [](const ReportRow &r) {
         const QDateTime t = SlotStore::toDateTime(r.value(QStringLiteral("Data_hora_disponibilidade")));
         return Formats::date(t.date()) + QLatin1Char(' ') + t.time().toString(QStringLiteral("HH:mm"));
     })).size(8);
    d.add(Items::field(x[4], 0.5, cw[4], 4, QStringLiteral("Qt_vaga_disponivel_geral"))).size(8).right();
    d.add(Items::field(x[5], 0.5, cw[5], 4, QStringLiteral("Qt_vaga_disp_f_grande_porte"))).size(8).right();

    ReportBand &s = def.band(BandKind::Summary, 7);
    s.lineAbove = true;
    s.add(Items::label(x[3], 1.5, cw[3], 4, QStringLiteral("Totais:"))).size(8).bold();
    s.add(Items::sum(x[4], 1.5, cw[4], 4, QStringLiteral("Qt_vaga_disponivel_geral"))).size(8).bold().right().named(
        QStringLiteral("total_geral"));
    s.add(Items::sum(x[5], 1.5, cw[5], 4, QStringLiteral("Qt_vaga_disp_f_grande_porte"))).size(8).bold().right().named(
        QStringLiteral("total_femea"));
    ListLayout::addPageNumber(def);
    return def;
}

} // namespace DraftReport
