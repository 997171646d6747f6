#pragma once
#include <QList>

#include <functional>

class QAbstractItemView;
class QTabWidget;
class QWidget;

// How the keyboard moves through a form, written once for every screen and
// dialog: Enter goes on as Tab does, the Tab order follows what the clerk
// reads, and a window opened for typing takes the focus.
namespace FocusFlow {

// Enter (or the keypad's Enter, without Ctrl/Alt) in `w`:
//  - single-line editors, closed drop-downs, spin boxes, check boxes, radio
//    buttons and "..." buttons move the focus on as Tab does;
//  - any other push button is pressed, as a click would.
// Multi-line editors are left alone (Enter breaks the line there), an open
// drop-down list takes Enter to pick, and widgets carrying the property
// "zapoOwnEnter" keep their own Enter.
void watch(QWidget *w);
// `watch` for every such widget below `root` existing now.
void watchBelow(QWidget *root);
// `watch` for the push buttons below `root` only, for a window whose text
// boxes keep their own Enter (a search field that searches on Enter): the
// clerk who reached OK with Tab presses it with Enter.
void watchButtons(QWidget *root);
// Enter on `list` (while it has the focus) calls `act`: the list from which
// the clerk picks a row, as a double click does.
void onEnter(QAbstractItemView *list, std::function<void()> act);
// Ctrl+Page Down and Ctrl+Page Up move to the next and the previous enabled
// tab of `tabs` wherever the focus is inside `scope` (Ctrl+Tab is the main
// window's, between open screens).
void tabKeys(QTabWidget *tabs, QWidget *scope);
// Escape closes `window` (a search window) wherever the focus is in it.
void closeOnEscape(QWidget *window);
// Moves the focus on from `w` as Tab would.
void focusNext(QWidget *w);
// Whether `w` is one of the widgets on which Enter moves on.
bool entersOnward(const QWidget *w);

// The widgets below `root` that take the focus by Tab and are placed by
// layouts all the way up to `root`, in reading order: row by row, left to
// right, a group box (or a tab page, a scroll area) read whole where it
// stands. Widgets placed by hand (a tab bar, a toolbar's own buttons) and the
// inner parts of compound editors are not listed.
QList<QWidget *> layoutOrder(QWidget *root);
// Makes Tab and Shift+Tab among those widgets follow `layoutOrder`, going
// round within `root`.
void orderByLayout(QWidget *root);

// Gives the focus to the first widget of `window` that takes it by Tab,
// unless the focus is already inside it. For windows opened for typing.
void focusFirst(QWidget *window);

// Places a window opened from a form over the middle of that form, kept on
// the screen; nothing happens without a form. Call before or right after
// showing it.
void centreOn(QWidget *window, QWidget *form);

} // namespace FocusFlow
