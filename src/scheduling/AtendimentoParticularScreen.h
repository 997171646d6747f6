#pragma once
#include "ui/DateLineEdit.h"

#include <QWidget>

class Connection;
class IdNameCombo;
class PagedPicker;
class PagedQueryModel;
class QLineEdit;
class QPushButton;
class QTableView;

// "008 - Atendimento particular.": procedures an animal had at a private
// practice, recorded per animal with their type and date.
class AtendimentoParticularScreen : public QWidget {
    Q_OBJECT
public:
    explicit AtendimentoParticularScreen(QWidget *parent = nullptr, Connection *connection = nullptr);

    PagedPicker *ownerPicker() const { return m_owner; }
    IdNameCombo *animalCombo() const { return m_animal; }
    IdNameCombo *procedureCombo() const { return m_procedure; }
    DateLineEdit *dateEdit() const { return m_date; }
    QTableView *grid() const { return m_grid; }
    PagedQueryModel *model() const { return m_model; }

public slots:
    void reloadProcedures(); // "&Atualiza"
    bool include();          // "&Incluir": true when a row was written
    bool exclude();          // "&Excluir": true when the row was deleted

protected:
    void showEvent(QShowEvent *e) override;

private:
    void ownerChanged(const QVariant &id);
    void animalChanged();
    void loadGrid();

    Connection *m_conn;
    bool m_opened = false;
    QLineEdit *m_ownerId;
    PagedPicker *m_owner;
    QLineEdit *m_animalId;
    IdNameCombo *m_animal;
    IdNameCombo *m_procedure;
    DateLineEdit *m_date;
    QPushButton *m_incluir, *m_excluir, *m_sair, *m_atualiza;
    PagedQueryModel *m_model;
    QTableView *m_grid;
};
