#include "reports/engine/ReportDefinition.h"

#include <algorithm>

namespace Items {

namespace {
ReportItem make(ItemKind k, double x, double y, double w, double h)
{
    ReportItem i;
    i.kind = k;
    i.rect = QRectF(x, y, w, h);
    return i;
}
} // namespace

ReportItem label(double x, double y, double w, double h, const QString &text)
{
    ReportItem i = make(ItemKind::Label, x, y, w, h);
    i.text = text;
    return i;
}

ReportItem field(double x, double y, double w, double h, const QString &column)
{
    ReportItem i = make(ItemKind::Field, x, y, w, h);
    i.column = column;
    i.name = column;
    return i;
}

ReportItem computed(double x, double y, double w, double h, std::function<QString(const ReportRow &)> f)
{
    ReportItem i = make(ItemKind::Computed, x, y, w, h);
    i.compute = std::move(f);
    return i;
}

ReportItem dateTime(double x, double y, double w, double h, const QString &format)
{
    ReportItem i = make(ItemKind::DateTime, x, y, w, h);
    i.format = format;
    return i;
}

ReportItem pageNumber(double x, double y, double w, double h, const QString &tmpl)
{
    ReportItem i = make(ItemKind::PageNumber, x, y, w, h);
    i.text = tmpl;
    return i;
}

ReportItem rowCount(double x, double y, double w, double h) { return make(ItemKind::RowCount, x, y, w, h); }
ReportItem count(double x, double y, double w, double h) { return make(ItemKind::Count, x, y, w, h); }

ReportItem sum(double x, double y, double w, double h, const QString &column)
{
    ReportItem i = make(ItemKind::Sum, x, y, w, h);
    i.column = column;
    return i;
}

ReportItem sumOf(double x, double y, double w, double h, std::function<double(const ReportRow &)> measure)
{
    ReportItem i = make(ItemKind::Sum, x, y, w, h);
    i.measure = std::move(measure);
    return i;
}

ReportItem hline(double x, double y, double w) { return make(ItemKind::HLine, x, y, w, 0); }
ReportItem vline(double x, double y, double h) { return make(ItemKind::VLine, x, y, 0, h); }
ReportItem box(double x, double y, double w, double h) { return make(ItemKind::Box, x, y, w, h); }

ReportItem picture(double x, double y, double w, double h, const QImage &image)
{
    ReportItem i = make(ItemKind::Picture, x, y, w, h);
    i.picture = std::make_shared<const QImage>(image);
    return i;
}

ReportItem chart(double x, double y, double w, double h, ChartSpec spec)
{
    ReportItem i = make(ItemKind::Chart, x, y, w, h);
    i.chart = std::move(spec);
    return i;
}

} // namespace Items

QVariant ReportGroup::keyOf(const ReportRow &row) const
{
    if (key)
        return key(row);
    const QVariant v = row.value(column);
    // Rows without a value form one group of their own (a null is not 0).
    if (v.isNull())
        return QVariant();
    // Blank-padded char(n) keys compare by their text.
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed();
    return v;
}

ReportBand &ReportDefinition::band(BandKind kind, double height)
{
    std::optional<ReportBand> *slot = nullptr;
    switch (kind) {
    case BandKind::Title: slot = &titleBand; break;
    case BandKind::PageHeader: slot = &pageHeader; break;
    case BandKind::ColumnHeader: slot = &columnHeader; break;
    case BandKind::Detail: slot = &detail; break;
    case BandKind::Summary: slot = &summary; break;
    case BandKind::PageFooter: slot = &pageFooter; break;
    case BandKind::GroupHeader:
    case BandKind::GroupFooter:
    case BandKind::SubDetail:
        Q_ASSERT_X(false, "ReportDefinition::band", "groups and sub-details have their own functions");
        slot = &detail;
        break;
    }
    if (!*slot) {
        ReportBand b;
        b.kind = kind;
        b.height = height;
        *slot = std::move(b);
    }
    return **slot;
}

ReportGroup &ReportDefinition::addGroup(const QString &name, const QString &column, bool newPage)
{
    ReportGroup g;
    g.name = name;
    g.column = column;
    g.newPage = newPage;
    g.header.kind = BandKind::GroupHeader;
    g.header.name = name;
    g.header.height = 0;
    groups.append(std::move(g));
    return groups.last();
}

ReportSubDetail &ReportDefinition::addSubDetail(double height,
                                                std::function<std::unique_ptr<ReportDataSource>(const ReportRow &)> d)
{
    ReportSubDetail s;
    s.band.kind = BandKind::SubDetail;
    s.band.height = height;
    s.data = std::move(d);
    subDetails.append(std::move(s));
    return subDetails.last();
}

QSizeF ReportDefinition::pageSizeMm() const
{
    QSizeF s = QPageSize(paper).size(QPageSize::Millimeter);
    if (orientation == QPageLayout::Landscape)
        s.transpose();
    return s;
}

double ReportDefinition::contentWidth() const
{
    return pageSizeMm().width() - margins.left() - margins.right();
}

// ---- page model helpers ----

namespace {
QList<const PlacedItem *> textItemsInReadingOrder(const ReportPage &p)
{
    QList<const PlacedItem *> items;
    for (const PlacedItem &i : p.items)
        if (i.kind == PlacedItem::Kind::Text)
            items << &i;
    std::stable_sort(items.begin(), items.end(), [](const PlacedItem *a, const PlacedItem *b) {
        if (qAbs(a->rect.top() - b->rect.top()) > 0.5)
            return a->rect.top() < b->rect.top();
        return a->rect.left() < b->rect.left();
    });
    return items;
}
} // namespace

QStringList ComposedReport::texts(int page) const
{
    QStringList out;
    if (page < 0 || page >= pages.size())
        return out;
    const ReportPage decoded = pages.at(page);
    for (const PlacedItem *i : textItemsInReadingOrder(decoded))
        out << i->text;
    return out;
}

QStringList ComposedReport::allTexts() const
{
    QStringList out;
    for (int p = 0; p < pages.size(); ++p)
        out << texts(p);
    return out;
}

QList<const PlacedItem *> ComposedReport::named(const QString &name) const
{
    QList<const PlacedItem *> out;
    for (const ReportPage &p : pages.all())
        for (const PlacedItem &i : p.items)
            if (i.name == name)
                out << &i;
    return out;
}

QList<const PlacedBand *> ComposedReport::bandsOf(BandKind kind, const QString &name) const
{
    QList<const PlacedBand *> out;
    for (const PlacedBand &b : bands)
        if (b.kind == kind && (name.isNull() || b.name == name))
            out << &b;
    return out;
}

QStringList ComposedReport::bandTexts(int band) const
{
    QStringList out;
    if (band < 0 || band >= bands.size())
        return out;
    ReportPage only;
    const ReportPage decoded = pages.at(bands.at(band).page);
    for (const PlacedItem &i : decoded.items)
        if (i.band == band)
            only.items << i;
    for (const PlacedItem *i : textItemsInReadingOrder(only))
        out << i->text;
    return out;
}

QPageLayout ComposedReport::pageLayout() const
{
    return QPageLayout(QPageSize(paper), orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}
