#include "reports/engine/ReportFonts.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QTextLayout>

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
    return QFontMetricsF(measuring(f), measuringDevice()).height() * MmPerPx;
}

double ascent(const ReportFont &f)
{
    return QFontMetricsF(measuring(f), measuringDevice()).ascent() * MmPerPx;
}

double width(const ReportFont &f, const QString &text)
{
    return QFontMetricsF(measuring(f), measuringDevice()).horizontalAdvance(text) * MmPerPx;
}

QStringList wrap(const ReportFont &f, const QString &text, double widthMm)
{
    QStringList out;
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QFont font = measuring(f);
    const double widthPx = qMax(1.0, widthMm / MmPerPx);
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

} // namespace ReportFonts
