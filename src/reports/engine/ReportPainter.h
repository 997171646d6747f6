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

// The page as an image at `dpi` (white paper).
QImage pageImage(const ComposedReport &report, int page, double dpi);

} // namespace ReportPainter
