#pragma once
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include "reports/engine/PageStore.h"
#include <memory>

// The composed report: every page with the items placed on it, in
// millimetres from the paper's top-left corner. Nothing here depends on an
// output; the preview, the printer, PDF and the file exports all read it,
// a page at a time (the pages are kept packed: see PageStore).

// Every report text is set in one metric-compatible sans font, so a layout
// measures the same on every workstation.
struct ReportFont {
    double pointSize = 8;
    bool bold = false;
    bool italic = false;
    bool operator==(const ReportFont &o) const
    {
        return pointSize == o.pointSize && bold == o.bold && italic == o.italic;
    }
};

enum class BandKind { Title, PageHeader, ColumnHeader, GroupHeader, Detail, SubDetail, GroupFooter, Summary, PageFooter };

// What a chart shows once its data is known.
struct ChartData {
    enum class Type { Pie, Bar, Line }; // Line: one point per label, joined
    Type type = Type::Pie;
    QString title;
    QStringList labels;
    QList<double> values;
    QStringList valueTexts;   // "12"
    QStringList percentTexts; // "33,3%"
    double total = 0;
};

struct PlacedItem {
    enum class Kind { Text, Line, Rect, Picture, Chart };
    Kind kind = Kind::Text;
    QRectF rect;          // mm, page coordinates
    QString name;         // the definition item's name, for tests and exports
    QString text;         // already wrapped: one '\n' per line break
    // The whole value when `text` had to be shortened with "…" to fit its
    // box: the text and comma-separated files keep what was stored.
    QString whole;
    ReportFont font;
    Qt::Alignment align = Qt::AlignLeft;
    bool clip = false;    // data fields do not spill into the next column
    double penWidth = 0.2; // mm, lines and rectangles
    int band = -1;        // index into ComposedReport::bands
    std::shared_ptr<const QImage> picture;
    std::shared_ptr<const ChartData> chart;

    QStringList lines() const { return text.split(QLatin1Char('\n')); }
};

struct PlacedBand {
    BandKind kind = BandKind::Detail;
    QString name;
    int page = 0;   // 0-based
    QRectF rect;    // mm
};

struct ReportPage {
    QList<PlacedItem> items;
};

struct ComposedReport {
    QString title;
    QPageSize::PageSizeId paper = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QSizeF pageSize; // mm, oriented
    PageStore pages; // decoded on demand: pages.at(i)
    QList<PlacedBand> bands;
    qint64 rows = 0;       // rows of the main data read
    bool cancelled = false;

    int pageCount() const { return int(pages.size()); }
    // Texts of a page in reading order (top to bottom, left to right).
    QStringList texts(int page) const;
    QStringList allTexts() const;
    // Placed items with this name, in page order. Decodes and keeps every
    // page (see PageStore::all): for tests and short reports.
    QList<const PlacedItem *> named(const QString &name) const;
    // The bands of one kind (optionally one name), in composition order.
    QList<const PlacedBand *> bandsOf(BandKind kind, const QString &name = {}) const;
    // Text items of one placed band.
    QStringList bandTexts(int band) const;
    QPageLayout pageLayout() const;
};
