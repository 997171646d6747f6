#include "reports/engine/ReportPainter.h"
#include "reports/engine/ReportFonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace {

// Millimetre drawing on a device: shapes are scaled, text is set with fonts
// sized for the device so that glyphs are hinted for it, not stretched.
class Canvas {
public:
    Canvas(QPainter &p, double k) : m_p(p), m_k(k) {}
    QPointF pt(double x, double y) const { return {x * m_k, y * m_k}; }
    QRectF rc(const QRectF &r) const { return {r.x() * m_k, r.y() * m_k, r.width() * m_k, r.height() * m_k}; }
    double k() const { return m_k; }
    QPainter &p() { return m_p; }

    QPen pen(double mm, const QColor &c = Qt::black) const
    {
        QPen pen(c, qMax(mm * m_k, 1.0));
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        return pen;
    }

    void font(const ReportFont &f) { m_p.setFont(ReportFonts::forDevice(f, m_p.device(), m_k)); }

    // Text in a millimetre rectangle with Qt alignment flags (charts).
    void text(const QRectF &mm, int flags, const QString &s, const ReportFont &f, const QColor &c = Qt::black)
    {
        font(f);
        m_p.setPen(c);
        m_p.drawText(rc(mm), flags, s);
    }

    double textWidth(const ReportFont &f, const QString &s) const { return ReportFonts::width(f, s); }

private:
    QPainter &m_p;
    double m_k;
};

void paintText(Canvas &c, const PlacedItem &it)
{
    const QStringList lines = it.lines();
    const double lh = ReportFonts::lineHeight(it.font);
    const double asc = ReportFonts::ascent(it.font);
    QPainter &p = c.p();
    const QFont f = ReportFonts::forDevice(it.font, p.device(), c.k());
    p.setFont(f);
    p.setPen(Qt::black);
    const QFontMetricsF fm(f, p.device());
    if (it.clip) {
        p.save();
        p.setClipRect(c.rc(it.rect.adjusted(0, -0.5, 0.3, 0.5)));
    }
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.isEmpty())
            continue;
        const double w = fm.horizontalAdvance(line);
        double x = it.rect.left() * c.k();
        if (it.align & Qt::AlignRight)
            x = it.rect.right() * c.k() - w;
        else if (it.align & Qt::AlignHCenter)
            x = it.rect.left() * c.k() + (it.rect.width() * c.k() - w) / 2;
        const double baseline = (it.rect.top() + i * lh + asc) * c.k();
        p.drawText(QPointF(x, baseline), line);
    }
    if (it.clip)
        p.restore();
}

constexpr ReportFont ChartTitleFont{8, true, false};

const QList<QColor> &palette()
{
    static const QList<QColor> colours = {
        QColor(0x3B, 0x6E, 0xA8), QColor(0xE0, 0x8E, 0x2B), QColor(0x4E, 0x9A, 0x5A), QColor(0xC4, 0x4E, 0x52),
        QColor(0x80, 0x6C, 0xB0), QColor(0x8C, 0x6D, 0x4F), QColor(0xD1, 0x7C, 0xB8), QColor(0x7F, 0x7F, 0x7F),
        QColor(0xB5, 0xB5, 0x3A), QColor(0x3A, 0xAE, 0xC0)};
    return colours;
}

double niceStep(double max, int ticks)
{
    if (max <= 0)
        return 1;
    const double raw = max / ticks;
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * mag)
            return qMax(1.0, m * mag);
    return qMax(1.0, 10 * mag);
}

void paintPie(Canvas &c, const ChartData &d, const QRectF &area)
{
    QPainter &p = c.p();
    if (d.total <= 0) {
        c.text(area, Qt::AlignCenter, QStringLiteral("Sem dados no período."), ReportPainter::PieLayout::LabelFont,
               Qt::darkGray);
        return;
    }
    const ReportPainter::PieLayout pie = ReportPainter::pieLayout(d, area);
    const QRectF circle(pie.centre.x() - pie.radius, pie.centre.y() - pie.radius, 2 * pie.radius, 2 * pie.radius);
    double angle = 90.0; // start at twelve o'clock, go clockwise
    for (int i = 0; i < d.values.size(); ++i) {
        const double span = -360.0 * d.values.at(i) / d.total;
        p.setPen(c.pen(0.25, Qt::white));
        p.setBrush(palette().at(i % palette().size()));
        if (qAbs(span) >= 359.999)
            p.drawEllipse(c.rc(circle));
        else
            p.drawPie(c.rc(circle), int(angle * 16), int(span * 16));
        angle += span;
    }
    p.setBrush(Qt::NoBrush);
    for (const ReportPainter::PieLayout::Label &l : pie.labels) {
        const double y = l.box.center().y();
        const double xText = l.right ? l.box.left() : l.box.right();
        p.setPen(c.pen(0.15, Qt::darkGray));
        const QPointF knee(l.right ? pie.centre.x() + pie.radius + 2 : pie.centre.x() - pie.radius - 2, y);
        p.drawLine(c.pt(l.edge.x(), l.edge.y()), c.pt(knee.x(), knee.y()));
        p.drawLine(c.pt(knee.x(), knee.y()), c.pt(xText + (l.right ? -0.8 : 0.8), y));
        c.text(l.box, (l.right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, l.lines.join(QLatin1Char('\n')),
               ReportPainter::PieLayout::LabelFont);
    }
}

void paintBars(Canvas &c, const ChartData &d, const QRectF &area)
{
    QPainter &p = c.p();
    const ReportFont tickFont{6, false, false};
    const ReportFont valueFont{5.5, false, false};
    if (d.values.isEmpty() || d.total <= 0) {
        c.text(area, Qt::AlignCenter, QStringLiteral("Sem dados no período."), tickFont, Qt::darkGray);
        return;
    }
    const double maxValue = *std::max_element(d.values.begin(), d.values.end());
    const double step = niceStep(maxValue, 5);
    const double top = std::ceil(maxValue * 1.15 / step) * step;

    // Category labels: horizontal when they fit, else slanted.
    const int n = int(d.values.size());
    double longest = 0;
    for (const QString &l : d.labels)
        longest = qMax(longest, c.textWidth(tickFont, l));
    const double axisLeft = area.left() + 9;
    const double slot = (area.right() - axisLeft - 1) / n;
    const bool slanted = longest > slot - 1;
    const double labelRoom = slanted ? qMin(longest * 0.72 + 2, area.height() * 0.35) : 4;
    const QRectF plot(axisLeft, area.top() + 2, area.right() - axisLeft - 1, area.height() - labelRoom - 2);

    // Grid and ticks.
    for (double v = 0; v <= top + 0.001; v += step) {
        const double y = plot.bottom() - plot.height() * v / top;
        p.setPen(c.pen(0.1, QColor(0xD0, 0xD0, 0xD0)));
        p.drawLine(c.pt(plot.left(), y), c.pt(plot.right(), y));
        c.text(QRectF(area.left(), y - 2, 8, 4), Qt::AlignRight | Qt::AlignVCenter, QString::number(qint64(v)), tickFont);
    }
    p.setPen(c.pen(0.2));
    p.drawLine(c.pt(plot.left(), plot.top()), c.pt(plot.left(), plot.bottom()));
    p.drawLine(c.pt(plot.left(), plot.bottom()), c.pt(plot.right(), plot.bottom()));

    const double barW = qMax(0.5, slot * 0.6);
    const bool line = d.type == ChartData::Type::Line;
    if (line) { // the joining line first, the points over it
        QPolygonF points;
        for (int i = 0; i < n; ++i)
            points << c.pt(plot.left() + slot * i + slot / 2, plot.bottom() - plot.height() * d.values.at(i) / top);
        p.setPen(c.pen(0.5, palette().first()));
        p.drawPolyline(points);
    }
    for (int i = 0; i < n; ++i) {
        const double x = plot.left() + slot * i + (slot - barW) / 2;
        const double h = plot.height() * d.values.at(i) / top;
        p.setPen(Qt::NoPen);
        p.setBrush(line ? palette().first() : palette().at(i % palette().size()));
        if (line)
            p.drawEllipse(c.pt(x + barW / 2, plot.bottom() - h), 0.7 * c.k(), 0.7 * c.k());
        else
            p.drawRect(c.rc(QRectF(x, plot.bottom() - h, barW, h)));
        const QString share = d.percentTexts.value(i);
        const QString mark = share.isEmpty() ? d.valueTexts.at(i) : d.valueTexts.at(i) + QLatin1Char('\n') + share;
        c.text(QRectF(x - slot / 2, plot.bottom() - h - 5.2, barW + slot, 5), Qt::AlignHCenter | Qt::AlignBottom, mark, valueFont);
        if (!slanted) {
            c.text(QRectF(plot.left() + slot * i, plot.bottom() + 0.8, slot, 3.5), Qt::AlignHCenter | Qt::AlignTop,
                   d.labels.at(i), tickFont);
        } else {
            p.save();
            p.translate(c.pt(x + barW / 2 + 0.8, plot.bottom() + 1));
            p.rotate(-40);
            const double w = qMin(c.textWidth(tickFont, d.labels.at(i)) + 1, labelRoom / 0.65);
            c.text(QRectF(-w, -1.8, w, 3.6), Qt::AlignRight | Qt::AlignVCenter, d.labels.at(i), tickFont);
            p.restore();
        }
    }
    p.setBrush(Qt::NoBrush);
}

} // namespace

namespace ReportPainter {

QRectF plotArea(const QRectF &rectMm)
{
    // Two lines of title above.
    const double th = ReportFonts::lineHeight(ChartTitleFont) * 2 + 0.5;
    return rectMm.adjusted(1, th + 1, -1, -1);
}

PieLayout pieLayout(const ChartData &d, const QRectF &area)
{
    const ReportFont &font = PieLayout::LabelFont;
    PieLayout out;
    if (d.total <= 0)
        return out;
    // Room at the sides for the widest label, so that none is cut; a small
    // chart keeps a readable circle and breaks its long labels instead.
    const auto oneLine = [&d](int i) {
        return d.labels.at(i) + QStringLiteral(": ") + d.valueTexts.at(i) + QStringLiteral(" (") + d.percentTexts.at(i)
               + QLatin1Char(')');
    };
    // Glyphs set for the device run a little wider than the reference
    // measure: a label is only called fitting with some to spare.
    const auto width = [&font](const QString &s) { return ReportFonts::width(font, s) * 1.04 + 0.3; };
    double widest = 0;
    for (int i = 0; i < d.values.size(); ++i)
        widest = qMax(widest, width(oneLine(i)));
    const double radius = qMax(qMin(area.width(), area.height()) / 6,
                               std::min({area.height() / 2 - 4, area.width() / 2 - widest - 6, 32.0}));
    const QPointF centre = area.center();
    out.centre = centre;
    out.radius = radius;
    // From the end of a leader line to the chart's side.
    const double room = qMax(5.0, area.width() / 2 - radius - 4);
    const auto fitted = [&](int i) {
        if (width(oneLine(i)) <= room)
            return QStringList{oneLine(i)};
        // The name above its figures, over two lines at most and shortened
        // past them; the figures are never dropped.
        QStringList lines = ReportFonts::wrap(font, d.labels.at(i) + QLatin1Char(':'), (room - 0.3) / 1.04);
        if (lines.size() > 2 || (lines.size() == 2 && width(lines.at(1)) > room)) {
            QString second = lines.at(1);
            while (!second.isEmpty() && width(second + QChar(0x2026)) > room)
                second.chop(1);
            lines = {lines.at(0), second.trimmed() + QChar(0x2026)};
        }
        lines << d.valueTexts.at(i) + QStringLiteral(" (") + d.percentTexts.at(i) + QLatin1Char(')');
        return lines;
    };

    const double lh = ReportFonts::lineHeight(font) + 0.3;
    struct Placed { double y; double h; };
    QList<Placed> placed;
    double angle = 90.0; // start at twelve o'clock, go clockwise
    for (int i = 0; i < d.values.size(); ++i) {
        const double span = -360.0 * d.values.at(i) / d.total;
        const double mid = qDegreesToRadians(angle + span / 2);
        PieLayout::Label l;
        l.edge = QPointF(centre.x() + radius * std::cos(mid), centre.y() - radius * std::sin(mid));
        l.lines = fitted(i);
        l.right = std::cos(mid) >= 0;
        out.labels << l;
        placed << Placed{centre.y() - (radius + 4) * std::sin(mid), lh * l.lines.size()};
        angle += span;
    }
    // Push labels of each side apart so that small slices stay readable,
    // and keep them between the chart's top and bottom.
    for (bool right : {false, true}) {
        QList<int> side;
        for (int i = 0; i < out.labels.size(); ++i)
            if (out.labels.at(i).right == right)
                side << i;
        if (side.isEmpty())
            continue;
        std::stable_sort(side.begin(), side.end(), [&placed](int a, int b) { return placed.at(a).y < placed.at(b).y; });
        Placed &first = placed[side.first()];
        first.y = qMax(first.y, area.top() + first.h / 2);
        for (int i = 1; i < side.size(); ++i) {
            Placed &a = placed[side.at(i - 1)], &b = placed[side.at(i)];
            b.y = qMax(b.y, a.y + (a.h + b.h) / 2);
        }
        Placed &last = placed[side.last()];
        const double overflow = last.y + last.h / 2 - area.bottom();
        if (overflow > 0) {
            last.y -= overflow;
            for (int i = int(side.size()) - 2; i >= 0; --i) {
                Placed &a = placed[side.at(i)], &b = placed[side.at(i + 1)];
                a.y = qMin(a.y, b.y - (a.h + b.h) / 2);
            }
        }
    }
    for (int i = 0; i < out.labels.size(); ++i) {
        PieLayout::Label &l = out.labels[i];
        const double top = placed.at(i).y - placed.at(i).h / 2;
        l.box = l.right ? QRectF(centre.x() + radius + 4, top, room, placed.at(i).h)
                        : QRectF(centre.x() - radius - 4 - room, top, room, placed.at(i).h);
    }
    return out;
}

void paintChart(QPainter &painter, const ChartData &d, const QRectF &rectMm, double pxPerMm)
{
    Canvas c(painter, pxPerMm);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF area = plotArea(rectMm);
    c.text(QRectF(rectMm.left(), rectMm.top(), rectMm.width(), area.top() - 1 - rectMm.top()),
           Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, d.title, ChartTitleFont);
    if (d.type == ChartData::Type::Pie)
        paintPie(c, d, area);
    else
        paintBars(c, d, area);
    painter.restore();
}

void paintPage(QPainter &painter, const ComposedReport &report, int page, double k)
{
    if (page < 0 || page >= report.pages.size())
        return;
    paintPage(painter, report.pages.at(page), k);
}

void paintPage(QPainter &painter, const ReportPage &page, double k)
{
    Canvas c(painter, k);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const PlacedItem &it : page.items) {
        switch (it.kind) {
        case PlacedItem::Kind::Text:
            paintText(c, it);
            break;
        case PlacedItem::Kind::Line:
            painter.setPen(c.pen(it.penWidth));
            painter.drawLine(c.pt(it.rect.left(), it.rect.top()), c.pt(it.rect.right(), it.rect.bottom()));
            break;
        case PlacedItem::Kind::Rect:
            painter.setPen(c.pen(it.penWidth));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(c.rc(it.rect));
            break;
        case PlacedItem::Kind::Picture:
            if (it.picture && !it.picture->isNull()) {
                QSizeF s = it.picture->size();
                s.scale(it.rect.size(), Qt::KeepAspectRatio);
                painter.drawImage(c.rc(QRectF(it.rect.topLeft(), s)), *it.picture);
            }
            break;
        case PlacedItem::Kind::Chart:
            if (it.chart)
                paintChart(painter, *it.chart, it.rect, k);
            break;
        }
    }
    painter.restore();
}

QImage pageImage(const ComposedReport &report, int page, double dpi)
{
    const double k = dpi / 25.4;
    QImage img(qRound(report.pageSize.width() * k), qRound(report.pageSize.height() * k), QImage::Format_RGB32);
    const int dpm = qRound(dpi / 0.0254);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::white);
    QPainter p(&img);
    paintPage(p, report, page, k);
    p.end();
    return img;
}

} // namespace ReportPainter
