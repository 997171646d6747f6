#pragma once
#include <QObject>

class QWidget;
class QLineEdit;

// Small behaviours every editor of the registry screens shares.
namespace FormHelpers {

// A refused field: yellow background and the focus. Leaving the field gives
// it back the normal window background.
void markRefused(QWidget *editor);
// Enter in a single-line field (a line edit or a closed drop-down) moves
// the focus on as Tab does, everywhere below `root`. Editors whose Enter
// does something of its own carry the property "zapoOwnEnter". Call once,
// after the editors exist.
void installEnterAsTab(QWidget *root);
// Moves the focus on from `w` as Tab would.
void focusNext(QWidget *w);
// Typed letters become capitals.
void upperCase(QLineEdit *e);
// Read-only look: grey and skipped by Tab.
void readOnlyGrey(QLineEdit *e);

} // namespace FormHelpers
