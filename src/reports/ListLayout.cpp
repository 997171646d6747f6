#include "reports/ListLayout.h"
#include "reports/engine/ReportFonts.h"
#include "reports/engine/Reports.h"

namespace ListLayout {

void addFamilyTitle(ReportBand &band, double width, const QString &code, const QString &title)
{
    band.height = 16;
    band.lineBelow = true;
    band.add(Items::label(32, 0, width - 64, 7, Reports::productTitle())).size(14).bold().center().named(QStringLiteral("produto"));
    band.add(Items::label(width - 40, 0, 40, 3.5, code)).size(8).right().named(QStringLiteral("codigo"));
    band.add(Items::dateTime(width - 40, 3.6, 40, 3.5)).size(8).right().named(QStringLiteral("data_hora"));
    band.add(Items::label(0, 9.5, width, 5, title)).size(10).center().named(QStringLiteral("titulo"));
}

void addReportHeader(ReportBand &b, double w, const QString &code, const QString &title, double smallPt, double titlePt,
                     bool titleBold, const QString &dateTimeText)
{
    if (dateTimeText.isNull())
        b.add(Items::dateTime(0, 0, 45, 3.5)).size(smallPt).named(QStringLiteral("data_hora"));
    else
        b.add(Items::label(0, 0, 45, 3.5, dateTimeText)).size(smallPt).named(QStringLiteral("data_hora"));
    b.add(Items::label(46, 0, w - 92, 7, Reports::productTitle())).size(14).bold().center().named(QStringLiteral("produto"));
    b.add(Items::label(w - 45, 0, 45, 3.5, code)).size(smallPt).right().named(QStringLiteral("codigo"));
    b.add(Items::label(0, 8, w, 5, title)).size(titlePt).bold(titleBold).center().named(QStringLiteral("titulo"));
}

void addPageNumber(ReportDefinition &def, double pointSize)
{
    const double w = def.contentWidth();
    ReportBand &f = def.band(BandKind::PageFooter, 7);
    f.add(Items::pageNumber(w - 40, 2, 40, 4, QStringLiteral("Pag.: %1"))).size(pointSize).right().named(QStringLiteral("pagina"));
}

ReportDefinition registerList(const RegisterList &spec, std::function<std::unique_ptr<ReportDataSource>()> data)
{
    ReportDefinition def;
    def.title = spec.title;
    def.data = std::move(data);
    const double w = def.contentWidth();

    addFamilyTitle(def.band(BandKind::Title), w, spec.code, spec.title);
    // The record itself is a sub-detail under an empty detail band.
    def.band(BandKind::Detail, 0);

    ReportSubDetail &sd = def.addSubDetail(10.5);
    ReportBand &b = sd.band;
    b.name = QStringLiteral("registro");
    b.box = true;
    b.add(Items::field(0, 0.8, 16, 4.5, spec.keyColumn)).size(10).right().named(QStringLiteral("chave"));
    b.add(Items::label(16.5, 1.3, 4, 4, QStringLiteral(" - "))).size(8);
    const double statusW = 42;
    double nameW = w - 21 - statusW - 2;
    if (spec.beforeStatus)
        nameW -= 40;
    if (spec.nameText)
        b.add(Items::computed(21, 1.3, nameW, 4, spec.nameText)).size(8).bold(spec.nameBold).named(QStringLiteral("nome"));
    else
        b.add(Items::field(21, 1.3, nameW, 4, spec.nameColumn)).size(8).bold(spec.nameBold).named(QStringLiteral("nome"));
    if (spec.beforeStatus)
        b.add(Items::computed(21 + nameW + 1, 1.3, 39, 4, spec.beforeStatus)).size(8).named(QStringLiteral("antes_status"));
    ReportItem &status = b.add(Items::field(w - statusW - 1.5, 1.3, statusW, 4, spec.statusColumn)).size(8).right();
    status.named(QStringLiteral("status"));
    if (spec.statusText) {
        auto f = spec.statusText;
        status.hook([f](ItemPrint &p) { p.text = f(p.text); });
    }
    double y = 5.6;
    if (spec.secondLine) {
        b.add(Items::computed(1.5, y, w - 3, 4, spec.secondLine)).size(8).named(QStringLiteral("segunda_linha"));
        y += 4;
        b.height += 4;
    }
    b.add(Items::field(1.5, y, w - 3, 4, spec.descriptionColumn)).size(9).wrapping().named(QStringLiteral("descricao"));

    if (!spec.summaryLabel.isEmpty()) {
        ReportBand &s = def.band(BandKind::Summary, 8);
        s.lineAbove = true;
        const ReportFont labelFont{8, true, false};
        const double labelW = ReportFonts::width(labelFont, spec.summaryLabel) + 1;
        s.add(Items::label(0, 2, labelW, 4, spec.summaryLabel)).size(8).bold().named(QStringLiteral("rotulo_total"));
        s.add(Items::rowCount(labelW, 2, 14, 4)).size(8).right().named(QStringLiteral("total"));
    }

    addPageNumber(def, 8);
    return def;
}

} // namespace ListLayout
