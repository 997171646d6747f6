#pragma once
#include "reports/engine/PageModel.h"
#include "reports/engine/ReportData.h"

#include <QMarginsF>
#include <QVariant>
#include <functional>
#include <optional>

// A report definition: paper, bands and the items placed in them, in
// millimetres relative to the band's top-left corner (inside the margins).
//
//   ReportDefinition r;
//   r.title = "Unidade de Trabalho";
//   r.data = [] { return QueryDataSource::open(mainConnection(), "select ... order by ..."); };
//   ReportBand &d = r.band(BandKind::Detail, 5);
//   d.add(Items::field(0, 0, 20, 4, "id_unidade_trabalho")).right();
//   d.add(Items::field(22, 0, 100, 4, "nome")).hook([](ItemPrint &p) { p.text = " - " + p.text; });
//   ReportGroup &g = r.addGroup("unidade", "id_unidade_trabalho", /*newPage*/ true);
//   g.addFooter(6).add(Items::count(0, 0, 20, 4)).resetting();
//   Reports::open(r, parentWidget); // composes, previews, returns when the preview closes
//
// Hooks run while composing: keep them free of widgets. A hook that runs
// statements needs the main query opened Buffered (see QueryDataSource).

enum class ItemKind {
    Label,          // fixed text
    Field,          // a column of the current row
    Computed,       // a C++ function of the row
    DateTime,       // the workstation's date and time when composition began
    Date,
    Time,
    PageNumber,     // text with %1 = page number, %2 = number of pages
    RowCount,       // detail rows printed so far in the report
    Count,          // detail rows since it last printed (restarts when `resetting`)
    Sum,            // sum of a column over the detail rows since it last printed
    HLine,
    VLine,
    Box,
    Picture,
    Chart
};

// Handed to an item's print hook with the text about to be printed.
struct ItemPrint {
    const ReportRow &row;     // the band's row (a sub-detail's own row)
    const ReportRow &master;  // the main query's current row
    QString text;
    ReportFont font;
    bool visible = true;
    int page = 0;             // 1-based page the band is composed on
};

// Source of a chart: labels and values, computed when the band prints.
struct ChartSpec {
    ChartData::Type type = ChartData::Type::Pie;
    QString title;
    std::function<QList<QPair<QString, double>>(const ReportRow &)> values;
    // The values are percentages (an occupancy, a rate): each is labelled
    // "72,5%" and no share of the total is printed, which would mean nothing.
    bool percentValues = false;
};

struct ReportItem {
    ItemKind kind = ItemKind::Label;
    QString name;
    QRectF rect;              // mm, relative to the band
    ReportFont font;
    Qt::Alignment align = Qt::AlignLeft;
    bool wrap = false;        // wraps over the width and grows the band
    int maxLines = 0;         // wrapping within a fixed box: at most this many lines, clipped, no growth
    QString text;             // label text, page number template
    QString column;           // field and sum column
    QString format;           // date/time display format ("dd/MM/yyyy")
    int decimals = -1;        // numbers: fixed decimals, -1 as needed
    bool reset = false;       // counts and sums restart after they print
    double penWidth = 0.2;    // mm
    std::function<QString(const ReportRow &)> compute;
    std::function<double(const ReportRow &)> measure; // what a Sum adds per row, instead of `column`
    std::function<void(ItemPrint &)> onPrint;
    std::shared_ptr<const QImage> picture;
    ChartSpec chart;

    ReportItem &named(const QString &n) { name = n; return *this; }
    ReportItem &size(double pt) { font.pointSize = pt; return *this; }
    ReportItem &bold(bool on = true) { font.bold = on; return *this; }
    ReportItem &italic(bool on = true) { font.italic = on; return *this; }
    ReportItem &right() { align = Qt::AlignRight; return *this; }
    ReportItem &center() { align = Qt::AlignHCenter; return *this; }
    ReportItem &wrapping() { wrap = true; return *this; }
    // Wraps within the item's own height (at most `lines` lines); the rest is
    // cut off and the band never grows (pre-printed card stock).
    ReportItem &wrappingWithin(int lines) { wrap = true; maxLines = lines; return *this; }
    ReportItem &displayFormat(const QString &f) { format = f; return *this; }
    ReportItem &fixed(int d) { decimals = d; return *this; }
    ReportItem &resetting() { reset = true; return *this; }
    ReportItem &pen(double mm) { penWidth = mm; return *this; }
    ReportItem &hook(std::function<void(ItemPrint &)> h) { onPrint = std::move(h); return *this; }
};

// Factories for the items; x, y, w, h in millimetres within the band.
namespace Items {
ReportItem label(double x, double y, double w, double h, const QString &text);
ReportItem field(double x, double y, double w, double h, const QString &column);
ReportItem computed(double x, double y, double w, double h, std::function<QString(const ReportRow &)> f);
ReportItem dateTime(double x, double y, double w, double h, const QString &format = QStringLiteral("dd/MM/yyyy HH:mm:ss"));
ReportItem pageNumber(double x, double y, double w, double h, const QString &tmpl = QStringLiteral("%1"));
ReportItem rowCount(double x, double y, double w, double h);
ReportItem count(double x, double y, double w, double h);
ReportItem sum(double x, double y, double w, double h, const QString &column);
// Sums a value computed per detail row (a conditional count: return 1 or 0).
ReportItem sumOf(double x, double y, double w, double h, std::function<double(const ReportRow &)> measure);
ReportItem hline(double x, double y, double w);
ReportItem vline(double x, double y, double h);
ReportItem box(double x, double y, double w, double h);
ReportItem picture(double x, double y, double w, double h, const QImage &image);
ReportItem chart(double x, double y, double w, double h, ChartSpec spec);
} // namespace Items

// Handed to a band's hooks before and after it prints.
struct BandPrint {
    const ReportRow &row;
    const ReportRow &master;
    bool visible = true;
    bool lineAbove = false;
    bool lineBelow = false;
    bool box = false;
    int page = 0; // 1-based
};

struct ReportBand {
    BandKind kind = BandKind::Detail;
    QString name;
    double height = 5; // mm; wrapped items make it taller
    bool lineAbove = false;
    bool lineBelow = false;
    bool box = false;
    QList<ReportItem> items;
    std::function<void(BandPrint &)> beforePrint;
    std::function<void(const BandPrint &)> afterPrint;

    ReportItem &add(ReportItem item)
    {
        items.append(std::move(item));
        return items.last();
    }
};

// A group breaks when its key (by default a column's value) changes between
// rows; groups nest in the order they were added (outermost first).
struct ReportGroup {
    QString name;
    QString column;
    std::function<QVariant(const ReportRow &)> key;
    bool newPage = false;
    ReportBand header;
    std::optional<ReportBand> footer;

    QVariant keyOf(const ReportRow &row) const;
    ReportBand &addFooter(double height)
    {
        ReportBand b;
        b.kind = BandKind::GroupFooter;
        b.name = name;
        b.height = height;
        footer = std::move(b);
        return *footer;
    }
};

// Printed after the detail of every master row: once per row of its own
// data (opened for that master row) or, without data, once per master row.
struct ReportSubDetail {
    ReportBand band;
    std::function<std::unique_ptr<ReportDataSource>(const ReportRow &master)> data;
};

struct ReportDefinition {
    QString title; // the document's name (print jobs, PDF title, export names)
    QPageSize::PageSizeId paper = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{10, 10, 10, 10}; // mm
    bool pageHeaderOnFirstPage = true;
    bool pageFooterOnLastPage = true;
    bool printIfEmpty = true;

    // Opens the main data; may throw DbError. Without it the report has one
    // empty row's worth of bands: title, summary, headers and footers.
    std::function<std::unique_ptr<ReportDataSource>()> data;

    std::optional<ReportBand> titleBand, pageHeader, columnHeader, detail, summary, pageFooter;
    QList<ReportGroup> groups;
    QList<ReportSubDetail> subDetails;

    // The band of a kind (title, headers, detail, summary, page footer),
    // created with the given height the first time.
    ReportBand &band(BandKind kind, double height = 5);
    ReportGroup &addGroup(const QString &name, const QString &column, bool newPage = false);
    ReportSubDetail &addSubDetail(double height,
                                  std::function<std::unique_ptr<ReportDataSource>(const ReportRow &)> data = {});

    QSizeF pageSizeMm() const;
    double contentWidth() const;
};
