#pragma once
#include "utilities/DbaseTable.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>
#include <optional>

class PagedQueryModel;
class QComboBox;
class DateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

// "Exportação de tabelas" (049): a period of the flat table Exportacao2 (one
// row per attendance, everything resolved to names) searched, looked at and
// written to a dBASE table with a data dictionary. Every activation opens
// an independent window, freed when closed.
class ExportaTabelasScreen : public QWidget {
    Q_OBJECT
public:
    // The most rows an export may hold.
    static constexpr int kMaxRows = 120000;

    struct Column {
        QString name;       // column of Exportacao2 and field of the table
        QString caption;    // grid title; empty: not in the grid
        int width = 150;
        QString dictionary; // its line of the data dictionary
    };
    // The 58 columns in table order.
    static const QList<Column> &columns();
    // The 61 lines of the data dictionary (fixed, whatever was exported).
    static QStringList dictionary();
    static QList<DbaseField> fields();

    struct Search {
        QString where; // named placeholders
        QVariantMap params;
    };
    // The rows whose attendance date (or creation date) falls on a day from
    // `from` to `to`, of the status named `status` (trimmed) when not empty.
    static Search search(bool byAttendance, const QDate &from, const QDate &to, const QString &status);

    explicit ExportaTabelasScreen(QWidget *parent = nullptr);
    ~ExportaTabelasScreen() override;

    QComboBox *table() const { return m_table; }
    DateEdit *from() const { return m_from; }
    DateEdit *to() const { return m_to; }
    QRadioButton *byAttendance() const { return m_byAttendance; }
    QRadioButton *byCreation() const { return m_byCreation; }
    QComboBox *status() const { return m_status; }
    QPushButton *exportButton() const { return m_export; }
    PagedQueryModel *model() const { return m_model; }
    QTableView *grid() const { return m_grid; }
    QGroupBox *group() const { return m_group; }
    QLabel *panel(int i) const { return m_panels[i]; }
    // "Dados de 10/12/2026 14:02": when the copy searched was made.
    QLabel *copyDate() const { return m_copy; }

public slots:
    void pesquisar();
    void exportar();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Makes the copy again before a search when it is out of date (see
    // ExportCopy::Policy); false when that failed (the clerk was told).
    bool bringCopyUpToDate();

    std::optional<Search> m_current; // the search the grid shows
    bool m_filled = false;
    QComboBox *m_table;
    DateEdit *m_from, *m_to;
    QRadioButton *m_byAttendance, *m_byCreation;
    QComboBox *m_status;
    QPushButton *m_export;
    QGroupBox *m_group;
    PagedQueryModel *m_model;
    QTableView *m_grid;
    QLabel *m_panels[2];
    QLabel *m_copy;
    bool m_askedForCopy = false;
};
