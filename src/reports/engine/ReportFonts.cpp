#include "reports/engine/ReportFonts.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPaintDevice>
#include <QTextLayout>
#include <array>
#include <bit>
#include <optional>

namespace {

constexpr double MeasureDpi = 720.0; // 1 pt = 10 px
constexpr double MmPerPx = 25.4 / MeasureDpi;

const QImage &device()
{
    static const QImage img = [] {
        QImage i(4, 4, QImage::Format_RGB32);
        const int dpm = qRound(MeasureDpi / 0.0254);
        i.setDotsPerMeterX(dpm);
        i.setDotsPerMeterY(dpm);
        return i;
    }();
    return img;
}

QFont base(const ReportFont &f)
{
    QFont font(ReportFonts::family());
    font.setStyleHint(QFont::SansSerif);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

// A report uses a handful of fonts over tens of thousands of items: each
// font and its measures are made once per thread (a font and its metrics
// are a font-database look-up each time they are made).
struct Measured {
    QFont font;
    QFontMetricsF metrics;
    double height = 0; // mm
    double ascent = 0; // mm
    // The advance of each Latin-1 character alone (px), asked for once; < 0 not yet.
    std::array<double, 256> advance;

    Measured(const QFont &f, const QFontMetricsF &m) : font(f), metrics(m) { advance.fill(-1); }

    // A text of printable Latin-1 characters measured as the sum of its
    // characters' advances; < 0 for any other text. Without kerning that is
    // the width the layout gives, give or take rounding and ligatures
    // (which only narrow a text).
    double latinWidth(const QString &text)
    {
        double w = 0;
        for (QChar ch : text) {
            const char16_t c = ch.unicode();
            if (c > 0xFF || c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xAD)
                return -1;
            double &a = advance[c];
            if (a < 0)
                a = metrics.horizontalAdvance(ch);
            w += a;
        }
        return w;
    }
};

Measured &measured(const ReportFont &f)
{
    thread_local QHash<quint64, std::shared_ptr<Measured>> cache;
    const quint64 key = std::bit_cast<quint64>(f.pointSize) ^ (f.bold ? 1 : 0) ^ (f.italic ? 2 : 0);
    auto it = cache.constFind(key);
    if (it != cache.constEnd() && it.value()->font.bold() == f.bold && it.value()->font.italic() == f.italic
        && it.value()->font.pointSizeF() == f.pointSize)
        return *it.value();
    QFont font = base(f);
    font.setPointSizeF(f.pointSize);
    auto m = std::make_shared<Measured>(font, QFontMetricsF(font, &device()));
    m->height = m->metrics.height() * MmPerPx;
    m->ascent = m->metrics.ascent() * MmPerPx;
    cache.insert(key, m);
    return *m;
}

} // namespace

namespace ReportFonts {

QString family() { return QStringLiteral("Liberation Sans"); }

const QPaintDevice *measuringDevice() { return &device(); }

QFont measuring(const ReportFont &f)
{
    QFont font = base(f);
    font.setPointSizeF(f.pointSize);
    return font;
}

QFont forDevice(const ReportFont &f, const QPaintDevice *dev, double pxPerMm)
{
    QFont font = base(f);
    // Qt turns points into pixels with the device's logical resolution;
    // ask for the size that gives the right height at our own scale.
    const double wantedPx = f.pointSize * 25.4 / 72.0 * pxPerMm;
    const double dpi = dev ? dev->logicalDpiY() : 96.0;
    font.setPointSizeF(qMax(0.5, wantedPx * 72.0 / dpi));
    return font;
}

double lineHeight(const ReportFont &f)
{
    return measured(f).height;
}

double ascent(const ReportFont &f)
{
    return measured(f).ascent;
}

double width(const ReportFont &f, const QString &text)
{
    return measured(f).metrics.horizontalAdvance(text) * MmPerPx;
}

QStringList wrap(const ReportFont &f, const QString &text, double widthMm)
{
    QStringList out;
    Measured &m = measured(f);
    const double widthPx = qMax(1.0, widthMm / MmPerPx);
    // Most items are one line that fits (a name in its column): measured
    // once, they need no layout. The margin keeps a text that only just
    // fits on the layout's own path. A text far enough inside the margin by
    // the sum of its characters' advances is not shaped at all.
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        if (text.isEmpty())
            return {QString()};
        const double quick = m.latinWidth(text);
        const bool surely = quick >= 0 && quick * 1.01 + 2.0 <= widthPx - 1.0;
        if (surely || m.metrics.horizontalAdvance(text) <= widthPx - 1.0) {
            qsizetype end = text.size();
            while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
                --end;
            return {end == text.size() ? text : text.left(end)};
        }
    }
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QFont &font = m.font;
    for (const QString &para : t.split(QLatin1Char('\n'))) {
        if (para.isEmpty()) {
            out << QString();
            continue;
        }
        QTextLayout layout(para, font, measuringDevice());
        QTextOption opt;
        opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(opt);
        layout.beginLayout();
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(widthPx);
            QString piece = para.mid(line.textStart(), line.textLength());
            // The blank where a line was broken belongs to neither line.
            while (piece.endsWith(QLatin1Char(' ')))
                piece.chop(1);
            out << piece;
        }
        layout.endLayout();
    }
    return out;
}

bool fits(const ReportFont &f, const QString &line, double widthMm)
{
    Measured &m = measured(f);
    const double widthPx = widthMm / MmPerPx;
    // Short values (codes, dates, counts) need no measuring; a text plainly
    // inside by the sum of its characters' advances is not shaped.
    if (line.size() * m.metrics.maxWidth() <= widthPx)
        return true;
    const double quick = m.latinWidth(line);
    if (quick >= 0 && quick * 1.01 + 2.0 <= widthPx + 0.5)
        return true;
    return m.metrics.horizontalAdvance(line) <= widthPx + 0.5;
}

double readableMinimum(const ReportFont &f)
{
    return qMin(f.pointSize, qMax(6.0, f.pointSize * 0.75));
}

ReportFont fitting(const ReportFont &f, const QStringList &lines, double widthMm)
{
    const double floor = readableMinimum(f);
    ReportFont out = f;
    for (;;) {
        bool all = true;
        for (const QString &l : lines)
            if (!fits(out, l, widthMm)) {
                all = false;
                break;
            }
        if (all || out.pointSize - 0.5 < floor - 1e-9)
            return out;
        out.pointSize -= 0.5;
    }
}

QString elide(const ReportFont &f, const QString &line, double widthMm, bool always)
{
    if (!always && fits(f, line, widthMm))
        return line;
    const QString dots = QStringLiteral("\u2026");
    auto head = [&line](qsizetype n) {
        // Never half a character made of two UTF-16 units.
        if (n > 0 && n < line.size() && line.at(n - 1).isHighSurrogate())
            --n;
        QString s = line.left(n);
        while (s.endsWith(QLatin1Char(' ')))
            s.chop(1);
        return s + QStringLiteral("\u2026");
    };
    if (always && fits(f, line + dots, widthMm))
        return line + dots;
    // The longest start that fits with its "…".
    qsizetype lo = 0, hi = line.size();
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (fits(f, head(mid), widthMm))
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo > 0 ? head(lo) : dots;
}

} // namespace ReportFonts
