#pragma once

class QWidget;

// Fields that cannot be typed into look it: a read-only text box or note
// takes the window's background instead of the white of a box waiting for
// text, and gets it back when it may be typed into again. Disabled
// drop-downs keep their text dark enough to read. Installed once for the
// whole program; installing again does nothing.
namespace ReadOnlyLook {

void install();
// Applies the look to `w` now (what the installed filter does on a change).
void apply(QWidget *w);

} // namespace ReadOnlyLook
