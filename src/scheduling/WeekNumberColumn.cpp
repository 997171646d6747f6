#include "scheduling/WeekNumberColumn.h"
#include "db/DbError.h"
#include "scheduling/AgendaStore.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QTableView>

WeekNumberColumn::WeekNumberColumn(QCalendarWidget *calendar, Connection *c, QWidget *parent)
    : QWidget(parent), m_calendar(calendar), m_conn(c)
{
    setObjectName(QStringLiteral("semanasEpidemiologicas"));
    connect(calendar, &QCalendarWidget::currentPageChanged, this, &WeekNumberColumn::reload);
    if (auto *view = calendar->findChild<QTableView *>())
        view->viewport()->installEventFilter(this);
    reload();
}

QString WeekNumberColumn::caption() { return QStringLiteral("Semana epidemiológica"); }

QWidget *WeekNumberColumn::besideCalendar(QCalendarWidget *calendar, Connection *c, QWidget *parent,
                                          WeekNumberColumn **column)
{
    auto *box = new QWidget(parent);
    auto *g = new QGridLayout(box);
    g->setContentsMargins(0, 0, 0, 0);
    g->setHorizontalSpacing(2);
    g->setVerticalSpacing(1);
    // Epidemiological weeks run from Sunday to Saturday: one row, one week.
    calendar->setFirstDayOfWeek(Qt::Sunday);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar->setParent(box);
    auto *numbers = new WeekNumberColumn(calendar, c, box);
    numbers->setToolTip(caption());
    numbers->setAccessibleName(caption());
    auto *label = new QLabel(caption(), box);
    label->setObjectName(QStringLiteral("lblSemanaEpidemiologica"));
    QFont f = label->font();
    f.setPointSizeF(f.pointSizeF() * 0.85);
    label->setFont(f);
    g->addWidget(label, 0, 0, 1, 2, Qt::AlignLeft);
    g->addWidget(numbers, 1, 0);
    g->addWidget(calendar, 1, 1);
    if (column)
        *column = numbers;
    return box;
}

QList<QDate> WeekNumberColumn::rowStarts(int year, int month, Qt::DayOfWeek firstDay)
{
    const QDate first(year, month, 1);
    int offset = (first.dayOfWeek() - int(firstDay) + 7) % 7;
    if (offset < 1)
        offset += 7;
    QList<QDate> out;
    for (int i = 0; i < 6; ++i)
        out << first.addDays(-offset + 7 * i);
    return out;
}

void WeekNumberColumn::reload()
{
    m_numbers.clear();
    const QList<QDate> starts = rowStarts(m_calendar->yearShown(), m_calendar->monthShown(), m_calendar->firstDayOfWeek());
    QList<Agenda::Week> weeks;
    try {
        if (m_conn)
            weeks = Agenda::weeksBetween(*m_conn, starts.first(), starts.last().addDays(6));
    } catch (const DbError &) {
        // No numbers rather than a box on every page turn.
    }
    for (const QDate &d : starts) {
        QString n;
        // A row holds one week when weeks start on the calendar's first
        // weekday; its middle day decides otherwise.
        const QDate mid = d.addDays(3);
        for (const Agenda::Week &w : weeks)
            if (w.first <= mid && w.last >= mid)
                n = QString::number(w.number);
        m_numbers << n;
    }
    update();
}

bool WeekNumberColumn::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::Resize || e->type() == QEvent::Move)
        update();
    return QWidget::eventFilter(o, e);
}

void WeekNumberColumn::paintEvent(QPaintEvent *)
{
    auto *view = m_calendar->findChild<QTableView *>();
    if (!view || !view->model())
        return;
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    for (int i = 0; i < m_numbers.size(); ++i) {
        const int row = i + 1; // row 0 holds the weekday names
        const QRect cell = view->visualRect(view->model()->index(row, 0));
        if (!cell.isValid())
            continue;
        const QPoint top = mapFromGlobal(view->viewport()->mapToGlobal(cell.topLeft()));
        p.drawText(QRect(0, top.y(), width() - 2, cell.height()), Qt::AlignRight | Qt::AlignVCenter, m_numbers.at(i));
    }
}
