#pragma once
#include "ui/DateEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

// Types a date into a date field as a clerk does: a click in the middle of
// the shown date, the keys, then Tab to leave. The field's window must be
// shown and active. True when the field took the text (the focus left).
inline bool typeDate(DateEdit *field, const QString &keys)
{
    // Clicked from elsewhere: a click in the field already being typed in
    // only moves the cursor.
    if (field->hasFocus())
        field->clearFocus();
    QLineEdit *text = field->findChild<QLineEdit *>();
    const QPoint middle(3 + text->fontMetrics().horizontalAdvance(text->text()) / 2, text->height() / 2);
    QTest::mouseClick(text, Qt::LeftButton, {}, middle);
    if (!field->hasFocus())
        return false;
    QTest::keyClicks(field, keys);
    QTest::keyClick(field, Qt::Key_Tab);
    return !field->hasFocus();
}

// Makes `window` the active one, for the clicks above to give the focus.
inline bool activate(QWidget *window)
{
    window->show();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}
