#pragma once
#include <QString>
#include <functional>

class QAction;
class QWidget;

// What a screen may borrow from the main window without knowing it: the
// main menu's own entries (so a context menu offers them with the menu's
// permission handling) and opening another screen with its profile flags.
// The application fills both at start-up; unfilled, they give nothing.
namespace MainMenuHook {

// The main menu's action of that object name ("mnu018"), or nullptr.
using ActionFinder = std::function<QAction *(const QString &objectName)>;
void setActionFinder(ActionFinder finder);
QAction *action(const QString &objectName);

// Opens catalog screen `number` as a child window with the flags of its
// menu entry; returns it (shown) or nullptr.
using ScreenOpener = std::function<QWidget *(int number)>;
void setScreenOpener(ScreenOpener opener);
QWidget *openScreen(int number);

} // namespace MainMenuHook
