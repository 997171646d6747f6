#pragma once
#include "ui/DateEdit.h"
#include "ui/DateLineEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace DateTypingDetail {

// Where the click lands in the text shown: "start", "middle" or "end".
inline QPoint clickPoint(QLineEdit *text, const QString &where)
{
    const int y = text->height() / 2;
    const int width = text->fontMetrics().horizontalAdvance(text->text());
    if (where == QLatin1String("start"))
        return QPoint(3, y);
    if (where == QLatin1String("end"))
        return QPoint(qMin(text->width() - 2, 6 + width), y);
    return QPoint(3 + width / 2, y);
}

inline bool clickTypeLeave(QWidget *field, QLineEdit *text, const QString &keys, const QString &where)
{
    // Clicked from elsewhere: a click in the field already being typed in
    // only moves the cursor.
    if (field->hasFocus())
        field->clearFocus();
    QTest::mouseClick(text, Qt::LeftButton, {}, clickPoint(text, where));
    if (!field->hasFocus())
        return false;
    QTest::keyClicks(field, keys);
    QTest::keyClick(field, Qt::Key_Tab);
    return !field->hasFocus();
}

} // namespace DateTypingDetail

// Types a date into a date field as a clerk does: a click in the shown date
// (its middle unless told), the keys, then Tab to leave. The field's window
// must be shown and active. True when the field took the text (the focus
// left).
inline bool typeDate(DateEdit *field, const QString &keys, const QString &where = QStringLiteral("middle"))
{
    return DateTypingDetail::clickTypeLeave(field, field->findChild<QLineEdit *>(), keys, where);
}

// The same for a date typed into a line edit (register date fields, an
// address's starting date).
inline bool typeDate(DateLineEdit *field, const QString &keys, const QString &where = QStringLiteral("middle"))
{
    return DateTypingDetail::clickTypeLeave(field, field, keys, where);
}

// Makes `window` the active one, for the clicks above to give the focus.
inline bool activate(QWidget *window)
{
    window->show();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}
