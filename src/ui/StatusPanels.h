#pragma once
#include <QColor>
#include <QString>
#include <initializer_list>

class QLabel;
class QStatusBar;
class QWidget;

// One text panel of a screen's status line: its share of the width and its
// least width in pixels.
struct PanelSize {
    int stretch = 1;
    int minimumWidth = 0;
};

// The status line "stbStatus" (no size grip) with one panel per size, named
// "stbPainel0", "stbPainel1", ... and handed back in `panels`. Painted
// panels fill their background, so that showInPanel() can colour them.
QStatusBar *makeStatusPanels(QWidget *parent, std::initializer_list<PanelSize> sizes, QLabel **panels, bool painted);

// A panel's text on `background`; an invalid colour gives the panel back the
// status line's own background.
void showInPanel(QLabel *panel, const QString &text, const QColor &background = {});
