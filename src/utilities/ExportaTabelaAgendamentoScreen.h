#pragma once
#include "utilities/DbaseTable.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <QWidget>

class IdNameCombo;
class DateEdit;

// "Exporta Agendamento" (060): the appointments of a period, optionally of
// the unit that performs them, written to a dBASE table with every name
// resolved, and a text file telling which column each field name stands
// for. An independent window without title-bar buttons, closed with
// "&Cancelar" and freed then.
class ExportaTabelaAgendamentoScreen : public QWidget {
    Q_OBJECT
public:
    // One column of the exported table.
    struct Column {
        QString name;       // the column, as the table's readers know it
        QString expression; // empty: computed from the appointment's moment
        DbaseField field;
    };
    // The 32 columns in table order, field names given by the naming scheme
    // over all of them.
    static QList<Column> columns();

    struct Statement {
        QString select; // the rows, ordered by the appointment's key
        QString count;
        QVariantMap params;
    };
    // Appointments from `first` 00:00 up to (not including) the day after
    // `last`, of the performing unit `unit` when it is valid.
    static Statement statement(const QDate &first, const QDate &last, const QVariant &unit);
    // Appends the year and month of the appointment's moment (the ninth
    // value) to a row of the statement.
    static void completeRow(QList<QVariant> &row);

    explicit ExportaTabelaAgendamentoScreen(QWidget *parent = nullptr);

    IdNameCombo *unit() const { return m_unit; }
    DateEdit *first() const { return m_first; }
    DateEdit *last() const { return m_last; }

public slots:
    void exportar();

protected:
    void showEvent(QShowEvent *event) override;

private:
    IdNameCombo *m_unit;
    DateEdit *m_first;
    DateEdit *m_last;
    bool m_filled = false;
};
