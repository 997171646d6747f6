#pragma once
#include "scheduling/Holidays.h"
#include "scheduling/SlotStore.h"

#include <QDate>
#include <QDialog>
#include <QList>

class Connection;
class IdNameCombo;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QTableWidget;

// "Clonagem de agenda": copies a model slot to chosen days of a month, for
// one unit or for every unit.
class MapaDisponibilidadeCloneScreen : public QDialog {
    Q_OBJECT
public:
    MapaDisponibilidadeCloneScreen(Connection &c, const Slot &model, QWidget *parent = nullptr);

    // The month shown, counted from the server's current month; kept for
    // the rest of the program run.
    static int monthOffset();
    static void setMonthOffset(int offset);

    QDate firstDay() const { return m_first; }
    QTableWidget *days() const { return m_days; }
    // Clicking a day cell: selects or unselects it.
    void toggleCell(int row, int column);
    void setWeekdays(bool on);
    QList<QDate> selectedDays() const;
    void previousMonth();
    void nextMonth();
    // Generates the selected days; holidays stay out (the question lists
    // them) unless "Incluir feriados" is checked.
    void gerar();
    // True once a generation wrote slots (the map then reads its day again).
    bool generated() const { return m_generated; }

private:
    void buildMonth();
    void markCell(int row, int column, bool selected, bool weekdayStyle);

    Connection &m_c;
    SlotStore m_store;
    Slot m_model;
    QDate m_first;
    bool m_generated = false;
    QLabel *m_month = nullptr;
    QPlainTextEdit *m_modelText = nullptr;
    IdNameCombo *m_units = nullptr;
    QList<int> m_unitIds;
    QTableWidget *m_days = nullptr;
    QCheckBox *m_weekdays = nullptr;
    QCheckBox *m_includeHolidays = nullptr;
    QList<Holidays::Day> m_off; // the shown month's holidays
};
