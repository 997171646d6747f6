#pragma once
#include "reports/engine/PageModel.h"

#include <QFont>
#include <QStringList>

class QPaintDevice;

// Measuring and setting report text. Composition measures on a fixed
// high-resolution device without hinting, so line breaks do not depend on
// the screen or printer; drawing then places the measured lines.
namespace ReportFonts {

QString family(); // "Liberation Sans"

// The font to measure with (on measuringDevice()).
QFont measuring(const ReportFont &f);
const QPaintDevice *measuringDevice();
// A font that, drawn on `device`, is `f.pointSize` points tall on paper
// whose millimetre is `pxPerMm` device pixels.
QFont forDevice(const ReportFont &f, const QPaintDevice *device, double pxPerMm);

double lineHeight(const ReportFont &f); // mm
double ascent(const ReportFont &f);     // mm
double width(const ReportFont &f, const QString &text); // mm

// Breaks text into lines no wider than widthMm, at word boundaries when it
// can; explicit line breaks are kept.
QStringList wrap(const ReportFont &f, const QString &text, double widthMm);

// Whether a line fits widthMm in that font.
bool fits(const ReportFont &f, const QString &line, double widthMm);
// The smallest size a value may be set in to fit its box: three quarters of
// its own size, never under 6 pt (smaller is not read on a counter).
double readableMinimum(const ReportFont &f);
// The font, at most readableMinimum() smaller in half points, in which every
// line fits; the smallest of them when none does.
ReportFont fitting(const ReportFont &f, const QStringList &lines, double widthMm);
// The line as it fits: itself, or as much of its start as fits followed by
// "…". `always`: the "…" is added even when the line fits (more text follows).
QString elide(const ReportFont &f, const QString &line, double widthMm, bool always = false);

} // namespace ReportFonts
