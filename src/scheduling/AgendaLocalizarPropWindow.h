#pragma once
#include <QWidget>
#include <functional>

class QComboBox;
class QLineEdit;
class QTableView;
class SearchResultModel;

// "Localizar": finds attendances by owner, animal, code or document; "&OK"
// (Enter or a double click on a row) hands the chosen attendance to the
// book and closes.
class AgendaLocalizarPropWindow : public QWidget {
    Q_OBJECT
public:
    AgendaLocalizarPropWindow(QWidget *opener, std::function<void(int idAtendimento)> pick);

    SearchResultModel *model() const { return m_model; }
    QComboBox *selection() const { return m_selecao; }
    QLineEdit *textEdit() const { return m_texto; }
    QTableView *grid() const { return m_grid; }

public slots:
    void pesquisar();
    void ok();

protected:
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    std::function<void(int)> m_pick;
    QComboBox *m_selecao;
    QLineEdit *m_texto;
    QTableView *m_grid;
    SearchResultModel *m_model;
};
