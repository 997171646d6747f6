#pragma once
#include <QWidget>

class DateEdit;
class QGroupBox;
class QLineEdit;
class QListView;
class QPushButton;
class QStackedWidget;
class QStandardItemModel;
class QTreeView;

// "021 - Transferir animal.": two owners side by side with their animals;
// the user moves animals between the lists and Transferir makes the lists
// true in the database, recording each change of owner.
class Transferir_AnimalScreen : public QWidget {
    Q_OBJECT
public:
    explicit Transferir_AnimalScreen(QWidget *parent = nullptr);

    // One side of the screen: the owner's boxes and the animal list.
    struct Side {
        QGroupBox *group = nullptr;
        QPushButton *find = nullptr;
        QLineEdit *code = nullptr;
        QLineEdit *name = nullptr;
        QLineEdit *address = nullptr;
        QStandardItemModel *model = nullptr;
        QTreeView *details = nullptr;
        QListView *list = nullptr; // the other ways of showing the same model
        QStackedWidget *views = nullptr;
    };
    const Side &left() const { return m_left; }
    const Side &right() const { return m_right; }
    DateEdit *dateBox() const { return m_date; }

    // Fills side 1 (left) or 2 (right) with an owner and its animals.
    void showOwner(int target, int idProprietario, const QString &nome, const QString &endereco);
    // The animals' keys of a side, in list order.
    QList<int> animals(int target) const;
    // Selects the entry of an animal on a side (what a click does).
    void selectAnimal(int target, int idAnimal);
    // "Detalhe", "Lista", "Icone", "Lado a lado" of the left list.
    void setLeftViewMode(const QString &mode);
    QString leftViewMode() const { return m_leftMode; }

public slots:
    void moveSelectedRight();
    void moveSelectedLeft();
    void moveAllRight();
    void moveAllLeft();
    void limpar();
    void transferir();
    void relatorio();
    void localizar(int target);

private:
    Side buildSide(const QString &title, const QString &findCaption, const char *suffix);
    Side &side(int target) { return target == 1 ? m_left : m_right; }
    const Side &side(int target) const { return target == 1 ? m_left : m_right; }
    int selectedRow(const Side &s) const;
    void moveRow(Side &from, Side &to, int row);

    DateEdit *m_date;
    Side m_left;
    Side m_right;
    QString m_leftMode = QStringLiteral("Detalhe");
};
