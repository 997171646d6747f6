#include "ui/MainMenuHook.h"

namespace {
MainMenuHook::ActionFinder &finder()
{
    static MainMenuHook::ActionFinder f;
    return f;
}
MainMenuHook::ScreenOpener &opener()
{
    static MainMenuHook::ScreenOpener o;
    return o;
}
} // namespace

namespace MainMenuHook {

void setActionFinder(ActionFinder f)
{
    finder() = std::move(f);
}

QAction *action(const QString &objectName)
{
    return finder() ? finder()(objectName) : nullptr;
}

void setScreenOpener(ScreenOpener o)
{
    opener() = std::move(o);
}

QWidget *openScreen(int number)
{
    return opener() ? opener()(number) : nullptr;
}

} // namespace MainMenuHook
