#pragma once
#include <QDialog>
#include <QString>

class Connection;
class QComboBox;
class QLineEdit;
class QTableView;
class SearchResultModel;

// "Pesquisa": finds an owner (of any status) by tax number or a part of the
// name for the special grants.
class MapaDisponibilidadePesquisaScreen : public QDialog {
    Q_OBJECT
public:
    MapaDisponibilidadePesquisaScreen(Connection &c, QWidget *parent = nullptr);

    // The last owner chosen in any search window of this run (id 0: none).
    struct Choice {
        int id = 0;
        QString nome;
        QString cpfCnpj;
    };
    static Choice choice();
    static void resetChoice();

    void pesquisar();
    void ok();
    QTableView *grid() const { return m_grid; }
    SearchResultModel *model() const { return m_model; }

private:
    Connection &m_c;
    QComboBox *m_selecao = nullptr;
    QLineEdit *m_dados = nullptr;
    QTableView *m_grid = nullptr;
    SearchResultModel *m_model = nullptr;
    bool m_searched = false;
};
