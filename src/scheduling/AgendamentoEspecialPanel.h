#pragma once
#include "scheduling/GrantStore.h"

#include <QList>
#include <QWidget>

class Connection;
class QLineEdit;
class QPlainTextEdit;
class QStandardItemModel;
class QTableView;

// The "Agendamento especial" tab of the map screen: extra appointments
// granted to particular owners, beside what each owner already holds.
class AgendamentoEspecialPanel : public QWidget {
    Q_OBJECT
public:
    AgendamentoEspecialPanel(Connection &c, QWidget *parent = nullptr);

    // What closing the search window does: its choice into "Código".
    void afterSearch();
    void ownerSummary();
    void incluir();
    void excluir();
    void limpar();
    void reloadGrid();
    QTableView *grid() const { return m_grid; }
    QString summary() const;

private:
    void rowReached(int row);

    Connection &m_c;
    GrantStore m_store;
    QList<Grant> m_rows;
    bool m_loading = false;
    QLineEdit *m_codigo = nullptr, *m_nome = nullptr, *m_cpf = nullptr, *m_quantidade = nullptr, *m_total = nullptr;
    QPlainTextEdit *m_info = nullptr;
    QStandardItemModel *m_model = nullptr;
    QTableView *m_grid = nullptr;
};
