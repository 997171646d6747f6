#pragma once
#include "ui/SearchResultModel.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLineEdit;
class QStatusBar;
class QTableView;

namespace AnimalSearch {

// "Nome animal", "Código animal", "Nome proprietário", "Código proprietário", "Microchip".
enum class Field { NomeAnimal, CodigoAnimal, NomeProprietario, CodigoProprietario, Microchip };
QStringList fieldCaptions();

// Animals with their owner and breed. Names match anywhere in the name,
// without regard to case or accents; the microchip anywhere, blanks
// ignored. Nothing when the text cannot match (a code with letters).
std::optional<OwnerSearch::Query> query(Connection &c, Field field, const QString &text);

} // namespace AnimalSearch

// "Pesquisa": finds an animal for the animal address screen. OK hands the
// chosen animal and its owner to `chosen` and closes.
class AnimalSearchWindow : public QDialog {
    Q_OBJECT
public:
    explicit AnimalSearchWindow(QWidget *parent = nullptr);

    std::function<void(int idProprietario, int idAnimal)> chosen;

    QComboBox *fieldBox() const { return m_field; }
    QLineEdit *textBox() const { return m_text; }
    QTableView *grid() const { return m_grid; }
    SearchResultModel *model() const { return m_model; }
    QString statusText() const;

public slots:
    void pesquisar();
    void ok();
    void sortByColumn(int column);

private:
    QComboBox *m_field;
    QLineEdit *m_text;
    QTableView *m_grid;
    SearchResultModel *m_model;
    QStatusBar *m_status;
};
