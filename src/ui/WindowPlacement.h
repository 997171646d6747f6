#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where a window opened from another one appears: centred over its opener,
// so that the clerk finds it where the work is, not at a fixed spot of the
// screen (with two monitors, possibly the other one).
namespace WindowPlacement {

// The frame of `size` centred on `centre` and moved, where it would cross
// it, into `available`; one larger than `available` keeps its top left
// corner inside.
QRect centred(const QSize &size, const QPoint &centre, const QRect &available);

// Moves the top-level `window` over `opener` (its top-level window when
// the opener is not shown yet), on the screen under the opener's centre.
void centreOver(QWidget *window, const QWidget *opener);

// From now on every window opened from another one (a top-level widget with
// a parent) that its code does not place itself appears centred over its
// opener when first shown. Installed once at start-up.
void install();

} // namespace WindowPlacement
