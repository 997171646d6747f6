#include "reports/engine/Composer.h"
#include "db/Formats.h"
#include "reports/engine/ReportFonts.h"

#include <QElapsedTimer>
#include <QDate>
#include <QHash>
#include <cmath>

namespace Reports {

QString displayText(const QVariant &value, const QString &format, int decimals)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(format.isEmpty() ? QStringLiteral("dd/MM/yyyy") : format);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(format.isEmpty() ? QStringLiteral("dd/MM/yyyy HH:mm:ss") : format);
    case QMetaType::QTime:
        return value.toTime().toString(format.isEmpty() ? QStringLiteral("HH:mm") : format);
    case QMetaType::Double:
    case QMetaType::Float:
        return Formats::number(value.toDouble(), decimals);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        return decimals > 0 ? Formats::number(value.toDouble(), decimals) : value.toString();
    default:
        break;
    }
    if (!format.isEmpty()) {
        // A date stored or returned as text (SQLite) still takes the mask.
        const QString s = value.toString().trimmed();
        QDateTime dt = QDateTime::fromString(s, Qt::ISODate);
        if (!dt.isValid())
            dt = QDateTime::fromString(s, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        if (dt.isValid())
            return dt.toString(format);
        const QDate d = QDate::fromString(s, Qt::ISODate);
        if (d.isValid())
            return d.toString(format);
    }
    return value.toString().trimmed();
}

} // namespace Reports

namespace {

bool isText(ItemKind k)
{
    switch (k) {
    case ItemKind::HLine:
    case ItemKind::VLine:
    case ItemKind::Box:
    case ItemKind::Picture:
    case ItemKind::Chart:
        return false;
    default:
        return true;
    }
}

bool isBody(BandKind k)
{
    return k != BandKind::PageHeader && k != BandKind::PageFooter && k != BandKind::ColumnHeader
        && k != BandKind::Title;
}

// An item of a band once its text is known and wrapped, positioned
// relative to the band's top.
struct Piece {
    const ReportItem *item = nullptr;
    QStringList lines;
    ReportFont font;
    double top = 0;     // mm from the band's top
    double height = 0;  // mm
    double lineHeight = 0;
    QString whole; // the value before it was shortened to fit
    bool stretchV = false; // vertical lines and boxes as tall as the band
    std::shared_ptr<const ChartData> chart;
};

class Composer {
public:
    Composer(const ReportDefinition &def, const ComposeOptions &opt) : m_def(def), m_opt(opt)
    {
        if (!m_opt.now.isValid())
            m_opt.now = QDateTime::currentDateTime();
        const QSizeF size = def.pageSizeMm();
        m_out.title = def.title;
        m_out.paper = def.paper;
        m_out.orientation = def.orientation;
        m_out.pageSize = size;
        m_left = def.margins.left();
        m_top = def.margins.top();
        m_width = size.width() - def.margins.left() - def.margins.right();
        m_bottom = size.height() - def.margins.bottom();
        m_bodyBottom = m_bottom - (def.pageFooter ? def.pageFooter->height : 0);
        collectAggregates();
        m_sinceReported.start();
    }

    // Opens the data and begins the first page. Throws DbError.
    void begin()
    {
        if (m_def.data)
            m_src = m_def.data();
        std::shared_ptr<const ReportColumns> cols = m_src ? m_src->columns() : std::make_shared<ReportColumns>();
        m_total = m_src ? m_src->sizeHint() : -1;
        m_cur = ReportRow(cols, {});
        m_have = m_src && m_src->next(m_cur.values());
        if (!m_have && !m_def.printIfEmpty) {
            end();
            return;
        }
        m_out.pages.setComposing(true);
        newPage(m_have ? m_cur : m_empty, m_have ? m_cur : m_empty);
    }

    // Lays out rows until `stop` says so (asked after each row) or the data
    // ends, then closes the report. True while rows remain.
    template <typename Stop>
    bool advance(Stop stop)
    {
        if (m_done)
            return false;
        try {
            while (m_have) {
                layOutRow();
                // Every fifty rows, and at least five times a second when
                // rows are slow (sub-reports), so that the window answers.
                if (m_opt.progress && (m_rows % 50 == 0 || m_sinceReported.elapsed() > 200)) {
                    m_sinceReported.restart();
                    if (!m_opt.progress(m_rows, m_total)) {
                        m_out.cancelled = true;
                        break;
                    }
                }
                m_prev = m_cur; // shares the values; next() below detaches
                m_have = m_src->next(m_cur.values());
                if (m_have && stop())
                    return true;
            }
            close();
        } catch (...) {
            // The data stays unread: the connection is free for the message.
            m_src.reset();
            m_done = true;
            m_out.pages.setComposing(false);
            throw;
        }
        return false;
    }

    // Stops where it is: the pages composed so far are the report.
    void cancel()
    {
        if (m_done)
            return;
        m_out.cancelled = true;
        close();
    }

    bool done() const { return m_done; }
    qint64 rowsRead() const { return m_rows; }
    qint64 expectedRows() const { return m_total; }
    const ComposedReport &report() const { return m_out; }
    ComposedReport take() { return std::move(m_out); }

private:
    void layOutRow()
    {
        ReportRow &cur = m_cur;
        ++m_rows;
        int changed = -1;
        if (m_first) {
            changed = m_def.groups.isEmpty() ? -1 : 0;
        } else {
            for (int g = 0; g < m_def.groups.size(); ++g) {
                if (m_def.groups.at(g).keyOf(m_prev) != m_def.groups.at(g).keyOf(cur)) {
                    changed = g;
                    break;
                }
            }
            if (changed >= 0)
                groupFooters(changed, m_prev);
        }
        if (changed >= 0) {
            // A group heading never stays alone at the foot of a page:
            // the headings and their first row start a page together.
            double together = m_def.detail ? m_def.detail->height : 0;
            for (int g = changed; g < m_def.groups.size(); ++g)
                together += m_def.groups.at(g).header.height;
            if (m_bodyStarted && m_y + together > m_bodyBottom + 0.001)
                newPage(cur, cur);
            for (int g = changed; g < m_def.groups.size(); ++g) {
                const ReportGroup &grp = m_def.groups.at(g);
                if (grp.newPage && m_bodyStarted)
                    newPage(cur, cur);
                placeBand(grp.header, cur, cur);
            }
        }
        m_first = false;

        ++m_rowsPrinted;
        accumulate(cur);
        if (m_def.detail)
            placeBand(*m_def.detail, cur, cur);
        for (const ReportSubDetail &sd : m_def.subDetails) {
            if (!sd.data) {
                placeBand(sd.band, cur, cur);
                continue;
            }
            std::unique_ptr<ReportDataSource> sub = sd.data(cur);
            if (!sub)
                continue;
            ReportRow subRow(sub->columns(), {});
            while (sub->next(subRow.values()))
                placeBand(sd.band, subRow, cur);
        }
    }

    // The last bands and the last page; the data is released.
    void close()
    {
        m_src.reset();
        m_have = false;
        m_out.rows = m_rows;
        if (!m_out.cancelled) {
            if (m_rows > 0)
                groupFooters(0, m_prev);
            if (m_def.summary)
                placeBand(*m_def.summary, m_rows > 0 ? m_prev : m_empty, m_rows > 0 ? m_prev : m_empty);
            if (m_opt.progress)
                m_opt.progress(m_rows, m_total);
        }
        if (m_def.pageFooterOnLastPage)
            placePageFooter(m_rows > 0 ? m_prev : m_empty);
        finishPage();
        end();
    }

    void end()
    {
        m_src.reset();
        m_have = false;
        m_done = true;
        m_out.pages.setComposing(false);
    }

private:
    void collectAggregates()
    {
        auto scan = [this](const ReportBand &b) {
            for (const ReportItem &i : b.items)
                if (i.kind == ItemKind::Count || i.kind == ItemKind::Sum)
                    m_acc.insert(&i, 0.0);
        };
        for (const auto *b : {&m_def.titleBand, &m_def.pageHeader, &m_def.columnHeader, &m_def.detail,
                              &m_def.summary, &m_def.pageFooter})
            if (*b)
                scan(**b);
        for (const ReportGroup &g : m_def.groups) {
            scan(g.header);
            if (g.footer)
                scan(*g.footer);
        }
        for (const ReportSubDetail &s : m_def.subDetails)
            scan(s.band);
    }

    void accumulate(const ReportRow &row)
    {
        for (auto it = m_acc.begin(); it != m_acc.end(); ++it) {
            if (it.key()->kind == ItemKind::Count)
                it.value() += 1;
            else if (it.key()->measure)
                it.value() += it.key()->measure(row);
            else
                it.value() += row.value(it.key()->column).toDouble();
        }
    }

    void groupFooters(int downTo, const ReportRow &row)
    {
        for (int g = int(m_def.groups.size()) - 1; g >= downTo; --g)
            if (m_def.groups.at(g).footer)
                placeBand(*m_def.groups.at(g).footer, row, row);
    }

    void newPage(const ReportRow &row, const ReportRow &master)
    {
        if (m_pageCount > 0)
            placePageFooter(master);
        finishPage();
        ++m_pageCount;
        m_y = m_top;
        m_bodyStarted = false;
        const bool firstPage = m_pageCount == 1;
        if (m_def.pageHeader && (!firstPage || m_def.pageHeaderOnFirstPage))
            placeBand(*m_def.pageHeader, row, master);
        if (firstPage && m_def.titleBand)
            placeBand(*m_def.titleBand, row, master);
        if (m_def.columnHeader)
            placeBand(*m_def.columnHeader, row, master);
    }

    void placePageFooter(const ReportRow &row)
    {
        if (!m_def.pageFooter || m_pageCount == 0 || m_footerPlacedOn == m_pageCount)
            return;
        m_footerPlacedOn = m_pageCount;
        const double saved = m_y;
        m_y = m_bottom - m_def.pageFooter->height;
        placeBand(*m_def.pageFooter, row, row);
        m_y = saved;
    }

    QString itemText(const ReportItem &i, const ReportRow &row, const ReportRow &master) const
    {
        switch (i.kind) {
        case ItemKind::Label:
            return i.text;
        case ItemKind::Field: {
            const ReportRow &r = &row == &master || row.has(i.column) || !master.has(i.column) ? row : master;
            return Reports::displayText(r.value(i.column), i.format, i.decimals);
        }
        case ItemKind::Computed:
            return i.compute ? i.compute(row) : QString();
        case ItemKind::DateTime:
            return m_opt.now.toString(i.format.isEmpty() ? QStringLiteral("dd/MM/yyyy HH:mm:ss") : i.format);
        case ItemKind::Date:
            return m_opt.now.date().toString(i.format.isEmpty() ? QStringLiteral("dd/MM/yyyy") : i.format);
        case ItemKind::Time:
            return m_opt.now.time().toString(i.format.isEmpty() ? QStringLiteral("HH:mm") : i.format);
        case ItemKind::PageNumber:
            return i.text;
        case ItemKind::RowCount:
            return QString::number(m_rowsPrinted);
        case ItemKind::Count:
            return QString::number(qint64(m_acc.value(&i)));
        case ItemKind::Sum:
            return Formats::number(m_acc.value(&i), i.decimals);
        default:
            return {};
        }
    }

    static std::shared_ptr<const ChartData> chartData(const ReportItem &i, const ReportRow &row)
    {
        auto d = std::make_shared<ChartData>();
        d->type = i.chart.type;
        d->title = i.chart.title;
        const QList<QPair<QString, double>> values = i.chart.values ? i.chart.values(row) : QList<QPair<QString, double>>();
        for (const auto &v : values) {
            d->labels << v.first;
            d->values << v.second;
            d->total += v.second;
        }
        for (double v : d->values) {
            if (i.chart.percentValues) {
                d->valueTexts << Formats::number(v, 1) + QLatin1Char('%');
                d->percentTexts << QString();
                continue;
            }
            d->valueTexts << (v == std::floor(v) ? QString::number(qint64(v)) : Formats::number(v, 2));
            d->percentTexts << (d->total > 0 ? Formats::number(100.0 * v / d->total, 1) + QLatin1Char('%') : QString());
        }
        return d;
    }

    // A value wider than its box is never cut where the box ends, which
    // makes values that differ at their end look alike (two units of one
    // name and a region): it is set smaller, down to a readable size, and
    // what still does not fit ends in "…", the whole value kept for the
    // file exports.
    static void fitAcross(Piece &p, const QString &text, const ReportItem &i)
    {
        const double w = i.rect.width();
        if (w <= 0.5)
            return;
        bool all = true;
        for (const QString &l : std::as_const(p.lines))
            all = all && ReportFonts::fits(p.font, l, w);
        if (all)
            return;
        p.font = ReportFonts::fitting(p.font, p.lines, w);
        // A box tall enough for more lines at that size takes them.
        const double lh = ReportFonts::lineHeight(p.font);
        const int room = int((i.rect.height() + 0.01) / lh);
        if (p.lines.size() == 1 && room >= 2 && !ReportFonts::fits(p.font, p.lines.first(), w)) {
            const QStringList wrapped = ReportFonts::wrap(p.font, text, w);
            p.lines = wrapped.mid(0, room);
            if (wrapped.size() > room) {
                p.lines.last() = ReportFonts::elide(p.font, p.lines.last(), w, true);
                p.whole = text;
            }
            return;
        }
        for (QString &l : p.lines) {
            const QString e = ReportFonts::elide(p.font, l, w);
            if (e != l) {
                l = e;
                p.whole = text;
            }
        }
    }

    // A box of a few lines (card stock) that the text overflows: a smaller
    // size first, then its last line ends in "…".
    static void fitWithin(Piece &p, const QString &text, const ReportItem &i)
    {
        const double floor = ReportFonts::readableMinimum(p.font);
        ReportFont f = p.font;
        QStringList lines = p.lines;
        while (lines.size() > i.maxLines && f.pointSize - 0.5 >= floor - 1e-9) {
            f.pointSize -= 0.5;
            lines = ReportFonts::wrap(f, text, i.rect.width());
        }
        p.font = f;
        p.lines = lines;
        if (p.lines.size() <= i.maxLines)
            return;
        p.lines = p.lines.mid(0, i.maxLines);
        p.lines.last() = ReportFonts::elide(f, p.lines.last(), i.rect.width(), true);
        p.whole = text;
    }

    void placeBand(const ReportBand &b, const ReportRow &row, const ReportRow &master)
    {
        const int pageNo = m_pageCount;
        BandPrint bp{row, master, true, b.lineAbove, b.lineBelow, b.box, pageNo};
        if (b.beforePrint)
            b.beforePrint(bp);
        if (!bp.visible)
            return;

        // Evaluate every item: texts, hooks, wrapping.
        QList<Piece> pieces;
        pieces.reserve(b.items.size());
        for (const ReportItem &i : b.items) {
            Piece p;
            p.item = &i;
            p.font = i.font;
            p.top = i.rect.top();
            p.height = i.rect.height();
            if (isText(i.kind)) {
                ItemPrint ip{row, master, itemText(i, row, master), i.font, true, pageNo};
                if (i.onPrint)
                    i.onPrint(ip);
                if (!ip.visible)
                    continue;
                p.font = ip.font;
                if (i.wrap) {
                    p.lines = ReportFonts::wrap(p.font, ip.text, i.rect.width());
                    if (i.maxLines > 0 && p.lines.size() > i.maxLines)
                        fitWithin(p, ip.text, i);
                } else {
                    if (!ip.text.contains(QLatin1Char('\n')) && !ip.text.contains(QLatin1Char('\r'))) {
                        p.lines = QStringList{ip.text}; // most items: one line
                    } else {
                        QString t = ip.text;
                        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
                        p.lines = t.split(QLatin1Char('\n'));
                    }
                    fitAcross(p, ip.text, i);
                }
                p.lineHeight = ReportFonts::lineHeight(p.font);
                p.height = i.maxLines > 0 ? i.rect.height() : qMax(i.rect.height(), p.lines.size() * p.lineHeight);
            } else if (i.kind == ItemKind::Chart) {
                p.chart = chartData(i, row);
            } else if (i.kind == ItemKind::VLine || i.kind == ItemKind::Box) {
                p.stretchV = i.rect.top() <= 0.01 && i.rect.bottom() >= b.height - 0.01;
            }
            pieces << p;
        }
        // Items below a grown item move down with it.
        QList<double> grew;
        grew.reserve(pieces.size());
        bool anyGrew = false;
        for (const Piece &p : pieces) {
            grew << p.height - p.item->rect.height();
            anyGrew = anyGrew || grew.last() > 0;
        }
        double maxOrigBottom = 0, maxNewBottom = 0;
        // Nothing grew (most bands): nothing moves and the band keeps its height.
        for (int k = 0; anyGrew && k < pieces.size(); ++k) {
            double shift = 0;
            for (int s = 0; s < pieces.size(); ++s)
                if (s != k && grew.at(s) > 0 && pieces.at(s).item->rect.bottom() <= pieces.at(k).item->rect.top() + 0.01)
                    shift = qMax(shift, grew.at(s));
            pieces[k].top += shift;
            maxOrigBottom = qMax(maxOrigBottom, pieces.at(k).item->rect.bottom());
            maxNewBottom = qMax(maxNewBottom, pieces.at(k).top + pieces.at(k).height);
        }
        double height = b.height + qMax(0.0, maxNewBottom - maxOrigBottom);

        const bool breakable = isBody(b.kind);
        if (breakable && m_bodyStarted && m_y + height > m_bodyBottom + 0.001)
            newPage(master, master);

        // A band taller than what is left of an empty page continues on the
        // next pages: its lines are never dropped.
        while (breakable && m_y + height > m_bodyBottom + 0.001) {
            const double room = m_bodyBottom - m_y;
            QList<Piece> now, later;
            double laterHeight = 0;
            for (const Piece &p : pieces) {
                if (p.top + p.height <= room + 0.001) {
                    now << p;
                    continue;
                }
                if (!p.lines.isEmpty() && p.top < room) {
                    const int fit = qMax(0, int((room - p.top + 0.001) / p.lineHeight));
                    Piece a = p, c = p;
                    a.lines = p.lines.mid(0, fit);
                    a.height = fit * p.lineHeight;
                    c.lines = p.lines.mid(fit);
                    c.top = 0;
                    c.height = c.lines.size() * p.lineHeight;
                    if (fit > 0)
                        now << a;
                    later << c;
                    laterHeight = qMax(laterHeight, c.height);
                } else if (p.stretchV) {
                    now << p;
                    later << p;
                } else {
                    Piece c = p;
                    c.top = qMax(0.0, p.top - room);
                    later << c;
                    laterHeight = qMax(laterHeight, c.top + c.height);
                }
            }
            if (now.isEmpty())
                break; // nothing fits even on an empty page: place as is
            place(b, bp, now, room);
            newPage(master, master);
            pieces = later;
            height = qMax(laterHeight, 1.0);
        }
        place(b, bp, pieces, height);
        if (b.afterPrint)
            b.afterPrint(bp);
    }

    void place(const ReportBand &b, const BandPrint &bp, const QList<Piece> &pieces, double height)
    {
        ReportPage &page = m_page;
        const int bandIndex = int(m_out.bands.size());
        PlacedBand pb;
        pb.kind = b.kind;
        pb.name = b.name;
        pb.page = m_pageCount - 1;
        pb.rect = QRectF(m_left, m_y, m_width, height);
        m_out.bands.append(pb);

        auto add = [&](PlacedItem it) {
            it.band = bandIndex;
            page.items.append(std::move(it));
        };
        if (bp.box) {
            PlacedItem r;
            r.kind = PlacedItem::Kind::Rect;
            r.rect = pb.rect;
            add(r);
        }
        if (bp.lineAbove) {
            PlacedItem l;
            l.kind = PlacedItem::Kind::Line;
            l.rect = QRectF(m_left, m_y, m_width, 0);
            add(l);
        }
        if (bp.lineBelow) {
            PlacedItem l;
            l.kind = PlacedItem::Kind::Line;
            l.rect = QRectF(m_left, m_y + height, m_width, 0);
            add(l);
        }
        for (const Piece &p : pieces) {
            const ReportItem &i = *p.item;
            PlacedItem it;
            it.name = i.name;
            it.penWidth = i.penWidth;
            const double x = m_left + i.rect.left();
            const double top = m_y + p.top;
            switch (i.kind) {
            case ItemKind::HLine:
                it.kind = PlacedItem::Kind::Line;
                it.rect = QRectF(x, top, i.rect.width(), 0);
                break;
            case ItemKind::VLine:
                it.kind = PlacedItem::Kind::Line;
                it.rect = QRectF(x, top, 0, p.stretchV ? height - p.top : p.height);
                break;
            case ItemKind::Box:
                it.kind = PlacedItem::Kind::Rect;
                it.rect = QRectF(x, top, i.rect.width(), p.stretchV ? height - p.top : p.height);
                break;
            case ItemKind::Picture:
                it.kind = PlacedItem::Kind::Picture;
                it.rect = QRectF(x, top, i.rect.width(), p.height);
                it.picture = i.picture;
                break;
            case ItemKind::Chart:
                it.kind = PlacedItem::Kind::Chart;
                it.rect = QRectF(x, top, i.rect.width(), p.height);
                it.chart = p.chart;
                break;
            default:
                it.kind = PlacedItem::Kind::Text;
                it.rect = QRectF(x, top, i.rect.width(), p.height);
                it.text = p.lines.size() == 1 ? p.lines.first() : p.lines.join(QLatin1Char('\n'));
                it.font = p.font;
                it.whole = p.whole;
                it.align = i.align;
                it.clip = i.maxLines > 0 || (!i.wrap && (i.kind == ItemKind::Field || i.kind == ItemKind::Computed));
                if (i.kind == ItemKind::PageNumber)
                    m_pageNumbers.append(int(page.items.size()));
                break;
            }
            add(std::move(it));
            if (i.reset && m_acc.contains(&i))
                m_acc[&i] = 0;
        }
        m_y += height;
        if (isBody(b.kind))
            m_bodyStarted = true;
    }

    // A finished page is packed at once: a long report never holds more
    // than the page being laid out. Its page numbers are filled in when the
    // page is read, once the count is known.
    void finishPage()
    {
        if (m_out.pages.size() == m_pageCount)
            return;
        m_out.pages.append(m_page, m_pageNumbers);
        m_page.items.clear();
        m_pageNumbers.clear();
    }

    const ReportDefinition &m_def;
    ComposeOptions m_opt;
    ComposedReport m_out;
    double m_left = 0, m_top = 0, m_width = 0, m_bottom = 0, m_bodyBottom = 0;
    double m_y = 0;
    bool m_bodyStarted = false;
    int m_footerPlacedOn = 0;
    qint64 m_rowsPrinted = 0;
    QHash<const ReportItem *, double> m_acc;
    ReportPage m_page;          // the page being laid out
    int m_pageCount = 0;        // pages begun, the current one included
    QList<int> m_pageNumbers;   // its page-number items
    ReportRow m_empty;

    // Where the reading stands between two calls of advance().
    std::unique_ptr<ReportDataSource> m_src;
    qint64 m_total = -1;
    ReportRow m_cur, m_prev;
    bool m_have = false;
    bool m_first = true;
    bool m_done = false;
    qint64 m_rows = 0;
    QElapsedTimer m_sinceReported;
};

} // namespace

namespace Reports {

struct Composition::State {
    State(const ReportDefinition &def, const ComposeOptions &opt) : composer(def, opt) {}
    Composer composer;
};

Composition::Composition(const ReportDefinition &def, const ComposeOptions &options)
    : d(std::make_unique<State>(def, options))
{
}

Composition::~Composition() = default;

void Composition::start() { d->composer.begin(); }

bool Composition::runFor(int milliseconds, int pages)
{
    QElapsedTimer t;
    t.start();
    const qint64 limit = qint64(qMax(0, milliseconds)) * 1000000;
    const ComposedReport &r = d->composer.report();
    return d->composer.advance([&] { return t.nsecsElapsed() >= limit || (pages > 0 && r.pageCount() >= pages); });
}

bool Composition::runToEnd()
{
    return d->composer.advance([] { return false; });
}

void Composition::cancel() { d->composer.cancel(); }
bool Composition::finished() const { return d->composer.done(); }
qint64 Composition::rowsRead() const { return d->composer.rowsRead(); }
qint64 Composition::expectedRows() const { return d->composer.expectedRows(); }
const ComposedReport &Composition::report() const { return d->composer.report(); }
ComposedReport Composition::take() { return d->composer.take(); }

ComposedReport compose(const ReportDefinition &def, const ComposeOptions &options)
{
    Composition c(def, options);
    c.start();
    c.runToEnd();
    return c.take();
}

} // namespace Reports
