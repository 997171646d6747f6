#include "reports/engine/ReportExport.h"
#include "db/TextCodec.h"
#include "reports/engine/ReportFonts.h"
#include "reports/engine/ReportPainter.h"
#include "ui/FileErrors.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>
#include <functional>

namespace {

constexpr double CharWidthMm = 1.9; // one column of the plain-text page

struct TextLine {
    double y;
    double left;
    double right;
    Qt::Alignment align;
    QString text;
};

QList<TextLine> explodeLines(const QList<const PlacedItem *> &items)
{
    QList<TextLine> out;
    for (const PlacedItem *it : items) {
        const double lh = ReportFonts::lineHeight(it->font);
        // The files keep the value whole where the page shortened it.
        const QStringList lines = it->whole.isEmpty() ? it->lines() : it->whole.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i)
            if (!lines.at(i).trimmed().isEmpty())
                out.append(TextLine{it->rect.top() + i * lh, it->rect.left(), it->rect.right(), it->align, lines.at(i)});
    }
    std::stable_sort(out.begin(), out.end(), [](const TextLine &a, const TextLine &b) {
        return a.y < b.y - 0.01 || (qAbs(a.y - b.y) <= 0.01 && a.left < b.left);
    });
    return out;
}

// Lines whose tops are within about half a text line share a row.
QList<QList<TextLine>> rows(const QList<TextLine> &lines)
{
    QList<QList<TextLine>> out;
    double rowY = -1e9;
    for (const TextLine &l : lines) {
        if (out.isEmpty() || l.y - rowY > 1.4) {
            out.append(QList<TextLine>());
            rowY = l.y;
        }
        out.last().append(l);
    }
    for (auto &r : out)
        std::stable_sort(r.begin(), r.end(), [](const TextLine &a, const TextLine &b) { return a.left < b.left; });
    return out;
}

QString layoutRow(const QList<TextLine> &row, double originX)
{
    QString s;
    for (const TextLine &l : row) {
        const int len = int(l.text.size());
        int start = qRound((l.left - originX) / CharWidthMm);
        if (l.align & Qt::AlignRight)
            start = qRound((l.right - originX) / CharWidthMm) - len;
        else if (l.align & Qt::AlignHCenter)
            start = qRound(((l.left + l.right) / 2 - originX) / CharWidthMm) - len / 2;
        start = qMax(start, s.isEmpty() ? 0 : int(s.size()) + 1);
        s += QString(start - s.size(), QLatin1Char(' '));
        s += l.text;
    }
    return s;
}

QList<const PlacedItem *> textItems(const ReportPage &p)
{
    QList<const PlacedItem *> out;
    for (const PlacedItem &i : p.items)
        if (i.kind == PlacedItem::Kind::Text)
            out << &i;
    return out;
}

QString csvField(QString s)
{
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (s.contains(QLatin1Char(',')) || s.contains(QLatin1Char('"')) || s.contains(QLatin1Char(';'))
        || s.startsWith(QLatin1Char(' ')) || s.endsWith(QLatin1Char(' '))) {
        s.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        return QLatin1Char('"') + s + QLatin1Char('"');
    }
    return s;
}

QString htmlEscape(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (QChar ch : s) {
        switch (ch.unicode()) {
        case '&': out += QStringLiteral("&amp;"); break;
        case '<': out += QStringLiteral("&lt;"); break;
        case '>': out += QStringLiteral("&gt;"); break;
        case '"': out += QStringLiteral("&quot;"); break;
        default:
            // Characters Windows-1252 cannot hold travel as references.
            if (!Cp1252::canEncode(QString(ch)))
                out += QStringLiteral("&#%1;").arg(ch.unicode());
            else
                out += ch;
        }
    }
    return out;
}

QString mm(double v) { return QString::number(v, 'f', 2) + QStringLiteral("mm"); }

QString pngDataUri(const QImage &img)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(bytes.toBase64());
}

QImage chartImage(const ChartData &d, const QSizeF &sizeMm)
{
    const double k = 150 / 25.4;
    QImage img(qMax(1, qRound(sizeMm.width() * k)), qMax(1, qRound(sizeMm.height() * k)), QImage::Format_RGB32);
    img.setDotsPerMeterX(qRound(150 / 0.0254));
    img.setDotsPerMeterY(qRound(150 / 0.0254));
    img.fill(Qt::white);
    QPainter p(&img);
    ReportPainter::paintChart(p, d, QRectF(QPointF(0, 0), sizeMm), k);
    return img;
}

// A chart in the text files: its title, then "label;value;percent" per
// slice, so the figures survive where the drawing cannot go.
QStringList chartLines(const ChartData &d)
{
    QStringList out{d.title};
    for (int k = 0; k < d.labels.size(); ++k)
        out << d.labels.at(k) + QLatin1Char(';') + d.valueTexts.value(k) + QLatin1Char(';') + d.percentTexts.value(k);
    return out;
}

QList<const PlacedItem *> chartItems(const ReportPage &p)
{
    QList<const PlacedItem *> out;
    for (const PlacedItem &i : p.items)
        if (i.kind == PlacedItem::Kind::Chart && i.chart)
            out << &i;
    std::stable_sort(out.begin(), out.end(), [](const PlacedItem *a, const PlacedItem *b) {
        if (qAbs(a->rect.top() - b->rect.top()) > 1.4)
            return a->rect.top() < b->rect.top();
        return a->rect.left() < b->rect.left();
    });
    return out;
}

// Lines go out as they are made, Windows-1252 with CR LF: a long report's
// file is never held whole.
class LineSink {
public:
    explicit LineSink(QIODevice &dev) : m_dev(dev) {}
    void add(const QString &line) { m_chunk << line; }
    void add(const QStringList &lines) { m_chunk << lines; }
    void flush()
    {
        if (m_chunk.isEmpty())
            return;
        const QByteArray bytes = Cp1252::encode(m_chunk.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
        m_ok = m_ok && m_dev.write(bytes) == bytes.size();
        m_any = true;
        m_chunk.clear();
    }
    // A file without a line still ends its (empty) line.
    bool finish()
    {
        flush();
        if (!m_any)
            m_ok = m_ok && m_dev.write("\r\n", 2) == 2;
        return m_ok;
    }

private:
    QIODevice &m_dev;
    QStringList m_chunk;
    bool m_ok = true;
    bool m_any = false;
};

using Progress = ReportExport::PageProgress;

bool goOn(const Progress &progress, int done, int total) { return !progress || progress(done, total); }

const QString Cancelled = QStringLiteral("Operação cancelada.");

bool writeText(const ComposedReport &r, QIODevice &dev, const Progress &progress, QString *error)
{
    LineSink out(dev);
    for (int p = 0; p < r.pages.size(); ++p) {
        if (!goOn(progress, p, r.pageCount())) {
            if (error)
                *error = Cancelled;
            return false;
        }
        const ReportPage page = r.pages.at(p);
        const QList<const PlacedItem *> items = textItems(page);
        double origin = 1e9;
        for (const PlacedItem *i : items)
            origin = qMin(origin, i->rect.left());
        if (p > 0)
            out.add(QString());
        for (const QList<TextLine> &row : rows(explodeLines(items)))
            out.add(layoutRow(row, origin));
        for (const PlacedItem *c : chartItems(page))
            out.add(QStringList{QString()} + chartLines(*c->chart));
        out.flush();
    }
    return out.finish();
}

bool writeCsv(const ComposedReport &r, QIODevice &dev, const Progress &progress, QString *error)
{
    // One record per printed band; headers that repeat on every page and
    // the page footers are written once and never, respectively. Bands are
    // placed in page order, so a page's bands follow those of the page
    // before; the charts' figures come after every record.
    LineSink out(dev);
    QStringList charts;
    int b = 0;
    for (int p = 0; p < r.pages.size(); ++p) {
        if (!goOn(progress, p, r.pageCount())) {
            if (error)
                *error = Cancelled;
            return false;
        }
        const ReportPage page = r.pages.at(p);
        QHash<int, QList<const PlacedItem *>> byBand;
        for (const PlacedItem &i : page.items)
            if (i.kind == PlacedItem::Kind::Text && i.band >= 0)
                byBand[i.band] << &i;
        for (; b < r.bands.size() && r.bands.at(b).page <= p; ++b) {
            const PlacedBand &band = r.bands.at(b);
            if (band.kind == BandKind::PageFooter)
                continue;
            if ((band.kind == BandKind::PageHeader || band.kind == BandKind::ColumnHeader) && band.page > 0)
                continue;
            QList<const PlacedItem *> items = byBand.value(b);
            std::stable_sort(items.begin(), items.end(), [](const PlacedItem *a, const PlacedItem *c) {
                if (qAbs(a->rect.top() - c->rect.top()) > 1.4)
                    return a->rect.top() < c->rect.top();
                return a->rect.left() < c->rect.left();
            });
            QStringList fields;
            for (const PlacedItem *i : items) {
                const QString t = (i->whole.isEmpty() ? i->lines().join(QLatin1Char(' ')) : i->whole).trimmed();
                if (!t.isEmpty())
                    fields << csvField(t);
            }
            if (!fields.isEmpty())
                out.add(fields.join(QLatin1Char(',')));
        }
        for (const PlacedItem *c : chartItems(page))
            charts << chartLines(*c->chart);
        out.flush();
    }
    out.add(charts);
    return out.finish();
}

void htmlPage(LineSink &out, const ComposedReport &r, const ReportPage &p)
{
    out.add(QStringLiteral("<div class=\"pg\" style=\"width:%1;height:%2\">").arg(mm(r.pageSize.width()), mm(r.pageSize.height())));
    for (const PlacedItem &i : p.items) {
        const QString box = QStringLiteral("left:%1;top:%2;width:%3;height:%4")
                                .arg(mm(i.rect.left()), mm(i.rect.top()), mm(i.rect.width()), mm(i.rect.height()));
        switch (i.kind) {
        case PlacedItem::Kind::Text: {
            QString style = box + QStringLiteral(";font-size:%1pt").arg(i.font.pointSize);
            if (i.font.bold)
                style += QStringLiteral(";font-weight:bold");
            if (i.font.italic)
                style += QStringLiteral(";font-style:italic");
            if (i.align & Qt::AlignRight)
                style += QStringLiteral(";text-align:right");
            else if (i.align & Qt::AlignHCenter)
                style += QStringLiteral(";text-align:center");
            if (i.clip)
                style += QStringLiteral(";overflow:hidden");
            out.add(QStringLiteral("<div class=\"t\" style=\"%1\">%2</div>")
                        .arg(style, htmlEscape(i.text).replace(QLatin1Char('\n'), QStringLiteral("<br>"))));
            break;
        }
        case PlacedItem::Kind::Line:
            out.add(QStringLiteral("<div class=\"%1\" style=\"left:%2;top:%3;width:%4;height:%5\"></div>")
                        .arg(i.rect.width() > 0 ? QStringLiteral("l") : QStringLiteral("v"), mm(i.rect.left()),
                             mm(i.rect.top()), mm(i.rect.width()), mm(i.rect.height())));
            break;
        case PlacedItem::Kind::Rect:
            out.add(QStringLiteral("<div class=\"r\" style=\"%1\"></div>").arg(box));
            break;
        case PlacedItem::Kind::Picture:
            if (i.picture)
                out.add(QStringLiteral("<img class=\"i\" style=\"%1;object-fit:contain;object-position:left top\" src=\"%2\">")
                            .arg(box, pngDataUri(*i.picture)));
            break;
        case PlacedItem::Kind::Chart:
            if (i.chart)
                out.add(QStringLiteral("<img class=\"i\" style=\"%1\" alt=\"%2\" src=\"%3\">")
                            .arg(box, htmlEscape(i.chart->title), pngDataUri(chartImage(*i.chart, i.rect.size()))));
            break;
        }
    }
    out.add(QStringLiteral("</div>"));
}

bool writeHtml(const ComposedReport &r, QIODevice &dev, const Progress &progress, QString *error)
{
    LineSink out(dev);
    out.add(QStringList{
        QStringLiteral("<!DOCTYPE html>"), QStringLiteral("<html><head><meta charset=\"windows-1252\">"),
        QStringLiteral("<title>%1</title>").arg(htmlEscape(r.title)),
        QStringLiteral("<style>body{background:#888;margin:0;padding:8px}"
                       ".pg{position:relative;background:#fff;margin:0 auto 8px auto;overflow:hidden}"
                       ".t{position:absolute;white-space:pre;font-family:'Liberation Sans',Arial,sans-serif;line-height:1.15}"
                       ".l{position:absolute;border-top:0.2mm solid #000}"
                       ".v{position:absolute;border-left:0.2mm solid #000}"
                       ".r{position:absolute;border:0.2mm solid #000;box-sizing:border-box}"
                       ".i{position:absolute}"
                       "@media print{body{background:#fff;padding:0}.pg{margin:0;page-break-after:always}}</style>"),
        QStringLiteral("</head><body>")});
    for (int p = 0; p < r.pages.size(); ++p) {
        if (!goOn(progress, p, r.pageCount())) {
            if (error)
                *error = Cancelled;
            return false;
        }
        htmlPage(out, r, r.pages.at(p));
        out.flush();
    }
    out.add(QStringLiteral("</body></html>"));
    return out.finish();
}

using DeviceWriter = bool (*)(const ComposedReport &, QIODevice &, const Progress &, QString *);

QByteArray inMemory(const ComposedReport &r, DeviceWriter w)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    w(r, buf, {}, nullptr);
    return bytes;
}

// Written under a temporary name and renamed when whole: a failed or
// cancelled export leaves no half file and keeps an older one.
bool saveWith(const ComposedReport &r, const QString &path, DeviceWriter w, const Progress &progress, QString *error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = FileErrors::describe(f);
        return false;
    }
    QString why;
    if (!w(r, f, progress, &why)) {
        // The device's error first: cancelling replaces it with its own
        // "Writing canceled by application".
        const QString device = FileErrors::describe(f.errorString(), path);
        f.cancelWriting();
        if (error)
            *error = why.isEmpty() ? device : why;
        return false;
    }
    if (!f.commit()) {
        if (error)
            *error = FileErrors::describe(f.errorString(), path);
        return false;
    }
    return true;
}

bool writePdfTo(const ComposedReport &r, QIODevice &dev, const Progress &progress, QString *error)
{
    QPdfWriter pdf(&dev);
    pdf.setTitle(r.title);
    pdf.setCreator(QStringLiteral("ZAPO"));
    pdf.setResolution(600);
    pdf.setPageLayout(r.pageLayout());
    QPainter p;
    if (!p.begin(&pdf))
        return false;
    const double k = pdf.resolution() / 25.4;
    for (int i = 0; i < r.pages.size(); ++i) {
        if (!goOn(progress, i, r.pageCount())) {
            p.end();
            if (error)
                *error = Cancelled;
            return false;
        }
        if (i > 0)
            pdf.newPage();
        ReportPainter::paintPage(p, r, i, k);
    }
    return p.end();
}

} // namespace

namespace ReportExport {

QByteArray text(const ComposedReport &r) { return inMemory(r, writeText); }
QByteArray csv(const ComposedReport &r) { return inMemory(r, writeCsv); }
QByteArray html(const ComposedReport &r) { return inMemory(r, writeHtml); }

bool writePdf(const ComposedReport &r, const QString &path, QString *error, const Progress &progress)
{
    QString why;
    if (saveWith(r, path, writePdfTo, progress, &why))
        return true;
    if (error)
        *error = why == Cancelled ? why : QStringLiteral("Não foi possível gravar o arquivo %1.").arg(path);
    return false;
}

bool write(const ComposedReport &r, Format f, const QString &path, QString *error, const Progress &progress)
{
    switch (f) {
    case Format::Text: return saveWith(r, path, writeText, progress, error);
    case Format::Html: return saveWith(r, path, writeHtml, progress, error);
    case Format::Csv: return saveWith(r, path, writeCsv, progress, error);
    case Format::Pdf: return writePdf(r, path, error, progress);
    }
    return false;
}

bool print(const ComposedReport &r, QPrinter &printer, QString *error, const Progress &progress)
{
    printer.setFullPage(true);
    printer.setPageLayout(r.pageLayout());
    printer.setDocName(r.title);
    const int n = r.pageCount();
    int from = printer.fromPage() > 0 ? printer.fromPage() : 1;
    int to = printer.toPage() > 0 ? printer.toPage() : n;
    from = qBound(1, from, qMax(1, n));
    to = qBound(from, to, qMax(1, n));
    const int copies = printer.supportsMultipleCopies() ? 1 : qMax(1, printer.copyCount());
    QPainter p;
    if (n == 0 || !p.begin(&printer)) {
        if (error)
            *error = QStringLiteral("Não foi possível imprimir o relatório.");
        return false;
    }
    const double k = printer.resolution() / 25.4;
    const int total = copies * (to - from + 1);
    int done = 0;
    bool first = true;
    for (int c = 0; c < copies; ++c) {
        for (int i = from; i <= to; ++i) {
            if (!goOn(progress, done++, total)) {
                printer.abort();
                p.end();
                if (error)
                    *error = Cancelled;
                return false;
            }
            if (!first)
                printer.newPage();
            first = false;
            ReportPainter::paintPage(p, r, i - 1, k);
        }
    }
    return p.end();
}

} // namespace ReportExport
