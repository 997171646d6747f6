#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class SearchResultModel;

// What the owner consultation loads its choice into: the register screen
// that opened it (not "the latest one opened").
class OwnerLoader {
public:
    virtual ~OwnerLoader() = default;
    // idAnimal 0: no animal to select.
    virtual void loadOwner(int idProprietario, int idAnimal) = 0;
    // A microchip search names the animal to select at the next load.
    virtual void setAnimalToLocate(int idAnimal) { Q_UNUSED(idAnimal); }
};

// "Consulta proprietário.": finds owners by owner or animal attributes and
// loads the chosen one into the screen that opened it. A window of its own,
// on top, not modal; it closes with its opener.
class OwnerConsultation : public QWidget {
    Q_OBJECT
public:
    OwnerConsultation(QWidget *opener, OwnerLoader *loader);

    QComboBox *fieldBox() const { return m_field; }
    QLineEdit *textBox() const { return m_text; }
    QTableView *grid() const { return m_grid; }
    SearchResultModel *model() const { return m_model; }
    QString statusText() const;

public slots:
    void localizar();
    void ok();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    OwnerLoader *m_loader;
    QComboBox *m_field;
    QLineEdit *m_text;
    QTableView *m_grid;
    SearchResultModel *m_model;
    QLabel *m_status;
};

// "Pesquisa prorietário.": the owner search of the transfer screen. It tells
// its opener the owner under the cursor and the one confirmed with OK, and
// keeps the side (target) it was opened for.
class OwnerSearchWindow : public QWidget {
    Q_OBJECT
public:
    OwnerSearchWindow(QWidget *opener, int target);
    int target() const { return m_target; }

    // Called with the owner's code, name and address text.
    std::function<void(int target, int idProprietario, const QString &nome, const QString &endereco)> ownerShown;
    std::function<void(int target, int idProprietario, const QString &nome, const QString &endereco)> ownerChosen;

    QComboBox *fieldBox() const { return m_field; }
    QLineEdit *textBox() const { return m_text; }
    QTableView *grid() const { return m_grid; }
    SearchResultModel *model() const { return m_model; }

public slots:
    void pesquisar();
    void ok();

private:
    void tell(int row, bool chosen);
    int m_target;
    QComboBox *m_field;
    QLineEdit *m_text;
    QTableView *m_grid;
    SearchResultModel *m_model;
};
