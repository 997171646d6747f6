#pragma once
#include "scheduling/DraftStore.h"

#include <QHash>
#include <QList>
#include <QWidget>
#include <memory>

class Connection;
class DateLineEdit;
class FieldBinder;
class HourEdit;
class QAction;
class QLabel;
class QLineEdit;
class QStandardItemModel;
class QTableView;

// "Mapa de disponibilidade (Temporário)": slots planned as drafts, printed,
// then published all at once into the map.
class MapaDisponibilidadeRascunhoScreen : public QWidget {
    Q_OBJECT
public:
    MapaDisponibilidadeRascunhoScreen(Connection &c, QWidget *parent = nullptr);
    ~MapaDisponibilidadeRascunhoScreen() override;

    enum class State { Browsing, New, Altering };
    State state() const { return m_state; }
    QAction *action(const QString &name) const { return m_actions.value(name); }
    QTableView *grid() const { return m_grid; }

    void atualizar();
    void novo();
    void alterar();
    void gravar();
    void cancelar();
    void excluir();
    void publicar();
    void imprimir();
    void sair();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    // `keepKey`: the draft to stand on afterwards (the first when it is gone).
    void showRows(const QList<Draft> &rows, int keepKey = 0);
    void reload(int keepKey);
    int currentDraftKey() const;
    void rowReached(int row);
    void clearFields();
    void setFieldsEnabled(bool on);
    void leaveEspecie();
    void goToRow(int to);
    bool askLeave();

    Connection &m_c;
    DraftStore m_store;
    State m_state = State::Browsing;
    QList<Draft> m_rows;
    int m_editingKey = 0;
    bool m_loading = false;
    bool m_closing = false;
    QHash<QString, QAction *> m_actions;
    std::unique_ptr<FieldBinder> m_unidade, m_procedimento, m_especie;
    DateLineEdit *m_data = nullptr;
    HourEdit *m_hora = nullptr;
    QLineEdit *m_geral = nullptr, *m_femea = nullptr;
    QStandardItemModel *m_model = nullptr;
    QTableView *m_grid = nullptr;
    QList<QLabel *> m_panels;
};
