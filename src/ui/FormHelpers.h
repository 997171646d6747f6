#pragma once
#include <QObject>

class QAction;
class QLabel;
class QLineEdit;
class QToolBar;
class QWidget;
#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <exception>
#include <functional>

// Small behaviours every editor of the registry screens shares.
namespace FormHelpers {

// A refused field: yellow background and the focus. Leaving the field gives
// it back the normal window background.
void markRefused(QWidget *editor);
// Enter in a single-line field, a closed drop-down, a check box or a "..."
// button moves the focus on as Tab does, and presses any other focused
// button, everywhere below `root` (see FocusFlow). Editors whose Enter does
// something of its own carry the property "zapoOwnEnter". Call once, after
// the editors exist.
void installEnterAsTab(QWidget *root);
// Moves the focus on from `w` as Tab would.
void focusNext(QWidget *w);
// Typed letters become capitals.
void upperCase(QLineEdit *e);
// Read-only look: grey and skipped by Tab.
void readOnlyGrey(QLineEdit *e);

// The caption of an editor: its buddy, and the editor's accessible name, so
// that screen readers name the editor by the text the user reads.
QLabel *caption(const QString &text, QWidget *buddy, QWidget *parent);

// One button of a toolbar; an entry without a name is a separator.
struct ToolbarEntry {
    const char *name = nullptr;
    QString caption;
    QList<QKeySequence> keys;
    std::function<void()> run;
};

// The toolbar's actions, owned by `scope` (a screen or one of its tabs) and
// kept in `actions` by object name. The hint is the caption without dots and
// ampersands; the keys answer only while `scope` is visible, so two tabs'
// toolbars may share keys.
void addToolbarActions(QWidget *scope, QToolBar *bar, const QList<ToolbarEntry> &entries,
                       QHash<QString, QAction *> &actions);

// A database failure (or any other) shown as an error with its own text.
void showError(const std::exception &e, QWidget *parent);

} // namespace FormHelpers
