#pragma once
#include "ui/register/FieldSet.h"

#include <QDate>
#include <QWidget>

class Connection;
class QComboBox;
class DateEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

// The "Vacinas" tab of the owner and animal register: records what happened
// to the current animal about vaccination (a vaccine given, an adverse event
// or a reason for not vaccinating) and shows its history.
class VaccinationPanel : public QWidget {
    Q_OBJECT
public:
    explicit VaccinationPanel(QWidget *parent = nullptr);
    // A panel working on another connection than the current data module's
    // main one (a second workstation in tests).
    explicit VaccinationPanel(Connection &connection, QWidget *parent = nullptr);

    // 0: no animal. Refreshes the history.
    void setAnimal(int idAnimal);
    int idAnimal() const { return m_idAnimal; }
    // Re-reads the active vaccines, reasons and adverse events; a choice
    // still offered stays chosen.
    void reloadLists();
    // Re-reads the history of the current animal.
    void refreshHistory();

    // The entry whose name says the list does not apply to this row.
    static const QString NaoSeAplica;

public slots:
    void inserir();
    void excluir();

private:
    void build();
    Connection &conn() const;

    Connection *m_connection = nullptr;
    FieldSet m_lists; // the three kinds of activity
    int m_idAnimal = 0;
    QComboBox *m_vacina;
    QComboBox *m_motivo;
    QComboBox *m_ocorrencia;
    DateEdit *m_data;
    QPushButton *m_inserir;
    QPushButton *m_excluir;
    QStandardItemModel *m_model;
    QTableView *m_grid;
};
