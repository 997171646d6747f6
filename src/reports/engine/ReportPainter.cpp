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
    const ReportFont labelFont{6.5, false, false};
    if (d.total <= 0) {
        c.text(area, Qt::AlignCenter, QStringLiteral("Sem dados no período."), labelFont, Qt::darkGray);
        return;
    }
    // Room at the sides for the widest label, so that none is cut.
    double widest = 0;
    for (int i = 0; i < d.values.size(); ++i)
        widest = qMax(widest, c.textWidth(labelFont, d.labels.at(i) + QStringLiteral(": ") + d.valueTexts.at(i)
                                                         + QStringLiteral(" (") + d.percentTexts.at(i) + QLatin1Char(')')));
    const double radius = qMax(qMin(area.width(), area.height()) / 6,
                               std::min({area.height() / 2 - 4, area.width() / 2 - widest - 6, 32.0}));
    const QPointF centre = area.center();
    const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);

    struct Label { double y; double anchorY; QPointF edge; QString text; bool right; };
    QList<Label> labels;
    double angle = 90.0; // start at twelve o'clock, go clockwise
    for (int i = 0; i < d.values.size(); ++i) {
        const double span = -360.0 * d.values.at(i) / d.total;
        p.setPen(c.pen(0.25, Qt::white));
        p.setBrush(palette().at(i % palette().size()));
        if (qAbs(span) >= 359.999)
            p.drawEllipse(c.rc(circle));
        else
            p.drawPie(c.rc(circle), int(angle * 16), int(span * 16));
        const double mid = qDegreesToRadians(angle + span / 2);
        const QPointF edge(centre.x() + radius * std::cos(mid), centre.y() - radius * std::sin(mid));
        const double ly = centre.y() - (radius + 4) * std::sin(mid);
        labels.append({ly, ly, edge, d.labels.at(i) + QStringLiteral(": ") + d.valueTexts.at(i) + QStringLiteral(" (")
                                          + d.percentTexts.at(i) + QLatin1Char(')'),
                       std::cos(mid) >= 0});
        angle += span;
    }
    // Push labels of each side apart so that small slices stay readable.
    const double lh = ReportFonts::lineHeight(labelFont) + 0.3;
    for (bool right : {false, true}) {
        QList<Label *> side;
        for (Label &l : labels)
            if (l.right == right)
                side << &l;
        std::sort(side.begin(), side.end(), [](Label *a, Label *b) { return a->y < b->y; });
        for (int i = 1; i < side.size(); ++i)
            side[i]->y = qMax(side[i]->y, side[i - 1]->y + lh);
        const double overflow = side.isEmpty() ? 0 : side.last()->y + lh / 2 - area.bottom();
        if (overflow > 0) {
            for (Label *l : side)
                l->y -= overflow;
            for (int i = int(side.size()) - 2; i >= 0; --i)
                side[i]->y = qMin(side[i]->y, side[i + 1]->y - lh);
        }
    }
    p.setBrush(Qt::NoBrush);
    for (const Label &l : labels) {
        const double xText = l.right ? centre.x() + radius + 4 : centre.x() - radius - 4;
        p.setPen(c.pen(0.15, Qt::darkGray));
        const QPointF knee(l.right ? centre.x() + radius + 2 : centre.x() - radius - 2, l.y);
        p.drawLine(c.pt(l.edge.x(), l.edge.y()), c.pt(knee.x(), knee.y()));
        p.drawLine(c.pt(knee.x(), knee.y()), c.pt(xText + (l.right ? -0.8 : 0.8), l.y));
        const double w = area.right() - xText;
        const QRectF box = l.right ? QRectF(xText, l.y - lh / 2, qMax(5.0, w), lh)
                                   : QRectF(area.left(), l.y - lh / 2, qMax(5.0, xText - area.left()), lh);
        c.text(box, (l.right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, l.text, labelFont);
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
    for (int i = 0; i < n; ++i) {
        const double x = plot.left() + slot * i + (slot - barW) / 2;
        const double h = plot.height() * d.values.at(i) / top;
        p.setPen(Qt::NoPen);
        p.setBrush(palette().at(i % palette().size()));
        p.drawRect(c.rc(QRectF(x, plot.bottom() - h, barW, h)));
        const QString mark = d.valueTexts.at(i) + QLatin1Char('\n') + d.percentTexts.at(i);
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

void paintChart(QPainter &painter, const ChartData &d, const QRectF &rectMm, double pxPerMm)
{
    Canvas c(painter, pxPerMm);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const ReportFont titleFont{8, true, false};
    const double th = ReportFonts::lineHeight(titleFont) * 2 + 0.5;
    c.text(QRectF(rectMm.left(), rectMm.top(), rectMm.width(), th), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
           d.title, titleFont);
    const QRectF area = rectMm.adjusted(1, th + 1, -1, -1);
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
