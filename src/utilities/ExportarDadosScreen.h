#pragma once
#include "utilities/DbaseTable.h"

#include <QList>
#include <QString>
#include <QWidget>

class QCheckBox;
class QTreeWidget;

// "044 - Exportação de dados.": every animal with its owner, latest address
// and group, exported to a dBASE table with the fields the user ticks. An
// independent window, freed when closed.
class ExportarDadosScreen : public QWidget {
    Q_OBJECT
public:
    // One entry of the field list.
    struct Entry {
        QString campo;
        QString descricao;
        QString expression; // what the statement selects
        QString alias;      // the table it needs joined ("a": none)
        DbaseField field;   // named after the exported column
    };
    // The 39 entries in list order, their field names given by the naming
    // scheme over all of them (the same name whatever else is ticked).
    static QList<Entry> entries();
    // The statement exporting the given entries, in their order, one row
    // per animal ordered by the animal's key.
    static QString statement(const QList<Entry> &chosen);

    explicit ExportarDadosScreen(QWidget *parent = nullptr);

    QTreeWidget *list() const { return m_list; }
    QList<Entry> chosen() const;

public slots:
    void exportar();
    void selectAll(bool on);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void rebuildList();

    QTreeWidget *m_list;
    QCheckBox *m_all;
};
