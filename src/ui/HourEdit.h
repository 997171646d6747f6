#pragma once
#include <QLineEdit>
#include <QTime>

// The "Hora:" editor of the scheduling screens: two hour digits (the first
// may be left blank, so " 8:30" is 08:30), a colon and two minute digits.
// Empty it reads "  :  ".
class HourEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit HourEdit(QWidget *parent = nullptr);

    // Reads "hh:mm" text as typed in the editor (blanks allowed before a
    // single hour digit). False when no hour and minute can be read; the
    // numbers are not range-checked (24:30 and 12:60 are read as such, so
    // each screen can apply its own rule).
    static bool parse(const QString &text, int *hours, int *minutes);
    // "hh:mm" of a time, as the editor shows it.
    static QString format(const QTime &t);

    // Nothing typed (the empty mask).
    bool isBlank() const;
    // -1 when unreadable.
    int hours() const;
    int minutes() const;
    // The typed hour as a time; invalid when unreadable or out of range.
    QTime time() const;
    void setTime(const QTime &t);
};
