#pragma once
#include <QDate>
#include <QList>
#include <QStringList>
#include <QWidget>

class Connection;
class QCalendarWidget;

// The week numbers beside a month calendar, read from the registered
// epidemiological weeks (the calendar's own would be ISO numbers, which
// differ: 05/01/2026 is in ISO week 2 but in epidemiological week 1).
class WeekNumberColumn : public QWidget {
    Q_OBJECT
public:
    WeekNumberColumn(QCalendarWidget *calendar, Connection *c, QWidget *parent = nullptr);

    // The calendar (weeks from Sunday, its own ISO numbers hidden) with the
    // epidemiological week numbers on its left, under the caption
    // "Semana epidemiológica" so that nobody takes them for another count.
    static QWidget *besideCalendar(QCalendarWidget *calendar, Connection *c, QWidget *parent,
                                   WeekNumberColumn **column = nullptr);
    static QString caption();

    // The first date of each of the six week rows a calendar shows for a
    // month (a month starting on the first weekday still shows the week
    // before it in the first row).
    static QList<QDate> rowStarts(int year, int month, Qt::DayOfWeek firstDay);
    // The numbers shown, top to bottom ("" for a date in no registered week).
    QStringList numbers() const { return m_numbers; }

    QSize sizeHint() const override { return {26, 100}; }

public slots:
    void reload();

protected:
    void paintEvent(QPaintEvent *) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    QCalendarWidget *m_calendar;
    Connection *m_conn;
    QStringList m_numbers;
};
