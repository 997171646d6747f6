#pragma once
#include "reports/engine/PageModel.h"

#include <QImage>

class QPainter;

// The one drawing function of the page model: the preview, the printer, PDF
// and page images all call it, so what is previewed is what prints.
namespace ReportPainter {

// Draws a page with the painter's origin at the paper's top-left corner and
// `pxPerMm` device units per millimetre.
void paintPage(QPainter &painter, const ComposedReport &report, int page, double pxPerMm);
// The same for a page already decoded (a window repainting one page).
void paintPage(QPainter &painter, const ReportPage &page, double pxPerMm);

// Draws a chart into `rectMm` (millimetres, scaled by pxPerMm).
void paintChart(QPainter &painter, const ChartData &chart, const QRectF &rectMm, double pxPerMm);

// The part of a chart's rectangle below its title, where the circle or the
// bars go.
QRectF plotArea(const QRectF &chartRectMm);

// Where a pie chart in `area` (mm) puts its circle and its labels: each
// label's lines within its box and every box within the area, a name too
// long for the room broken onto a line of its own and shortened, the
// figures kept whole.
struct PieLayout {
    static constexpr ReportFont LabelFont{6.5, false, false};
    struct Label {
        QRectF box;
        QStringList lines;
        bool right = true;
        QPointF edge; // where its leader line leaves the circle
    };
    QPointF centre;
    double radius = 0;
    QList<Label> labels; // in slice order
};
PieLayout pieLayout(const ChartData &chart, const QRectF &area);

// The page as an image at `dpi` (white paper).
QImage pageImage(const ComposedReport &report, int page, double dpi);

} // namespace ReportPainter
