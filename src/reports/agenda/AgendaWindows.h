#pragma once
#include <QDate>
#include <QVariant>
#include <QWidget>

class IdNameCombo;
class QComboBox;
class DateEdit;
class QPushButton;
class ScreenCatalog;

// The selection windows of the agenda reports (and of the registered-animal
// reports 038 and 039, which share the unit-and-period window). Each is a
// child window that closes itself once its report's preview has closed.

// "Agenda profissional.": one professional or all, and a period (040).
class SelAgendaProfissionalWindow : public QWidget {
    Q_OBJECT
public:
    explicit SelAgendaProfissionalWindow(QWidget *parent = nullptr);
    IdNameCombo *profissional() const { return m_prof; }
    DateEdit *inicial() const { return m_ini; }
    DateEdit *final_() const { return m_fim; }
    void visualizar();

private:
    IdNameCombo *m_prof;
    DateEdit *m_ini;
    DateEdit *m_fim;
};

// "Seleção de relatório.": a unit and a period; the mode (38, 39 or 50)
// chooses the report.
class SelRelDataUnidadeWindow : public QWidget {
    Q_OBJECT
public:
    SelRelDataUnidadeWindow(int mode, QWidget *parent = nullptr);
    int mode() const { return m_mode; }
    IdNameCombo *unidade() const { return m_unit; }
    DateEdit *inicio() const { return m_ini; }
    DateEdit *fim() const { return m_fim; }
    // Fills the unit list again (done whenever the window is shown).
    void fillUnits();
    // The unit and day the next daily window (mode 50) opens on, handed
    // over by the appointment book; an invalid date clears it.
    static void presetNextDaily(const QVariant &unit, const QDate &day);
    void visualizar();

protected:
    void showEvent(QShowEvent *e) override;

private:
    int m_mode;
    QVariant m_presetUnit;
    IdNameCombo *m_unit;
    DateEdit *m_ini;
    DateEdit *m_fim;
};

// The monthly selection (051): year, month and unit.
class SelRelAgendaMensalWindow : public QWidget {
    Q_OBJECT
public:
    explicit SelRelAgendaMensalWindow(QWidget *parent = nullptr);
    QComboBox *ano() const { return m_year; }
    QComboBox *mes() const { return m_month; }
    IdNameCombo *unidade() const { return m_unit; }
    void gerar();

private:
    QComboBox *m_year;
    QComboBox *m_month;
    IdNameCombo *m_unit;
};

// The annual selection (052): the year, this one first chosen.
class SelRelAgendaAnualWindow : public QWidget {
    Q_OBJECT
public:
    explicit SelRelAgendaAnualWindow(QWidget *parent = nullptr);
    QComboBox *ano() const { return m_year; }
    void gerar();

private:
    QComboBox *m_year;
};

namespace AgendaWindows {
// Closes a window, or the child frame that holds it.
void closeWindow(QWidget *w);
// Catalog numbers of the windows and the annual report.
constexpr int Profissional = 40, Mensal = 51, Anual = 52, Diaria = 150, Consolidado = 38, Microchipado = 39;
} // namespace AgendaWindows

// Registers 040, 050 (as 150), 051, 052, 038 and 039.
void registerAgendaReports(ScreenCatalog &catalog);
