#pragma once
// Driving real register screens in tests the way a user does: open a screen
// from the catalog, find editors by the caption the user reads, type.
#include "ui/register/RegisterScreen.h"

#include <QLineEdit>
#include <QWidget>
#include <QString>
#include <memory>

class QWidget;

// The window the screens are opened in (stands in for the main window).
QWidget *screenHost();
// Opens catalog number `number`; nullptr when it is not a register screen.
std::unique_ptr<RegisterScreen> openRegisterScreen(int number);
QLineEdit *lineByCaption(QWidget *screen, const QString &caption);
// Types into the line edit captioned `caption`, replacing what it held;
// false when there is no such editor.
bool typeInto(QWidget *screen, const QString &caption, const QString &text);

// The named child of a screen; a test that names a missing one stops there.
template <typename T>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

// Saves the widget as NAME.png in $ZAPO_SCREENSHOT_DIR when it is set.
void shot(QWidget *w, const char *name);
