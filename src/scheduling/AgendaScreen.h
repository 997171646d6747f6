#pragma once
#include "scheduling/AgendaStore.h"

#include <QVariant>
#include <QWidget>
#include <functional>
#include <optional>

class IdNameCombo;
class PagedQueryModel;
class QAction;
class QCalendarWidget;
class QLabel;
class QRadioButton;
class QStatusBar;
class QTabWidget;
class QTableView;
class QTableWidget;
class WeekNumberColumn;

// "023 - Agenda": a unit's attendances of a day, month or year, the weekly
// board of one epidemiological week, the summary, the search and the way
// into the attendance screen.
class AgendaScreen : public QWidget {
    Q_OBJECT
public:
    explicit AgendaScreen(QWidget *parent = nullptr);

    // What opens the attendance screen: the book's date, and the attendance
    // to show (0: every attendance). Set by the area that registers it.
    using AttendanceOpener = std::function<void(QWidget *parent, const QDate &date, int idAtendimento)>;
    static void setAttendanceOpener(AttendanceOpener opener);

    Agenda::Period period() const;
    Agenda::Filter filter() const;
    QDate date() const;
    std::optional<Agenda::Week> week() const { return m_week; }
    PagedQueryModel *gridModel() const { return m_model; }
    QTableView *grid() const { return m_grid; }
    QTableWidget *board() const { return m_board; }
    QStatusBar *statusBar() const { return m_status; }
    QTabWidget *tabs() const { return m_tabs; }

public slots:
    // "Atualizar" (and a click on either calendar, which says no "Nenhum
    // registro encontrado.").
    void refresh(bool sayWhenEmpty = true);
    // The weekly tab's "&Atualizar": the board of the week found last.
    void refreshWeek();
    void clearPrincipal();
    void clearWeekly();
    void openAttendance(bool newBooking);
    void openSearch();
    void showInformation();
    void generateReport();
    // Shows one attendance in the grid (what the search's "&OK" does).
    void showAttendance(int idAtendimento);
    void setDate(const QDate &d);

private:
    // Makes the row of `key` current when listed, else the first row.
    void standOn(const QVariant &key);
    QWidget *buildPrincipal();
    QWidget *buildWeekly();
    void buildContextMenu();
    void sortGrid(int column);
    void fillBoard(const Agenda::Board &b);
    void labelBoard();
    void weeklyTabEntered();
    void triggerMenu(const QString &objectName, int catalogNumber);
    void twin(IdNameCombo *a, IdNameCombo *b);

    QTabWidget *m_tabs;
    IdNameCombo *m_unit;
    IdNameCombo *m_statusCombo;
    IdNameCombo *m_unitWeek;
    IdNameCombo *m_statusWeek;
    QCalendarWidget *m_calendar;
    QCalendarWidget *m_calendarWeek;
    WeekNumberColumn *m_weekNumbers = nullptr;
    QRadioButton *m_dia;
    QRadioButton *m_mes;
    QRadioButton *m_ano;
    QRadioButton *m_relDiario;
    QRadioButton *m_relMensal;
    QRadioButton *m_relAnual;
    QRadioButton *m_relProfissional;
    PagedQueryModel *m_model;
    QTableView *m_grid;
    QTableWidget *m_board;
    QStatusBar *m_status;
    std::optional<Agenda::Week> m_week;
    int m_weekTotal = 0;
    bool m_syncing = false;
};
