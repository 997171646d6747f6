#pragma once
#include <QDate>
#include <QWidget>

class IdNameCombo;
class QComboBox;
class QSpinBox;
class ScreenCatalog;

// "053 - Ocupação do programa.": the unit (or all) and the period, in whole
// months, of the occupancy report.
class OcupacaoProgramaWindow : public QWidget {
    Q_OBJECT
public:
    explicit OcupacaoProgramaWindow(QWidget *parent = nullptr);

    IdNameCombo *unidade() const { return m_unit; }
    // Sets the period's first and last months (the day is ignored).
    void setPeriod(const QDate &from, const QDate &to);
    QDate from() const;
    QDate to() const; // the last day of the last month

public slots:
    // Checks the period and opens the report's preview (print and the
    // text, HTML and CSV exports are the preview's).
    void visualizar();

private:
    IdNameCombo *m_unit;
    QComboBox *m_fromMonth, *m_toMonth;
    QSpinBox *m_fromYear, *m_toYear;
};

void registerOccupancyReport(ScreenCatalog &catalog);
