#pragma once
#include "registry/Address.h"
#include "ui/DateLineEdit.h"

#include <QHash>
#include <QWidget>
#include <functional>

class AddressGroup;
class Connection;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QStandardItemModel;
class QTabWidget;
class QTableView;

// "024 - Endereço do animal.": an animal's addresses over time. A new
// address, dated from the day it holds, becomes the animal's current one;
// the history lists every address, newest first, with map coordinates
// computed from the house number.
class Endereco_AnimalScreen : public QWidget {
    Q_OBJECT
public:
    explicit Endereco_AnimalScreen(QWidget *parent = nullptr, Connection *c = nullptr);

    enum class State { Browsing, Inserting, Editing };
    State state() const { return m_state; }

    // Writes the animals' export table (dBASE) at a path; set by the
    // application when a table writer exists, else Exportação is hidden.
    using Exporter = std::function<void(Connection &c, const QString &select, const QString &path, QWidget *parent)>;
    static void setExporter(Exporter exporter);
    // The statement the export copies: every animal that has an owner.
    static QString exportStatement();

    // Shows an owner and its animals, standing on one (what the animal
    // search's OK does, before it starts a new address).
    void loadOwner(int idProprietario, int idAnimal);
    QVariant currentAnimalId() const;

    AddressGroup *addressGroup() const { return m_group; }
    DateLineEdit *dateBox() const { return m_date; }
    QComboBox *animalBox() const { return m_animals; }
    QTableView *historyGrid() const { return m_grid; }
    QStandardItemModel *historyModel() const { return m_model; }
    QTabWidget *tabs() const { return m_tabs; }
    QAction *action(const QString &name) const { return m_actions.value(name); }
    QString statusText(int panel) const;

public slots:
    void pesquisar();
    void novo();
    void alterar();
    void excluir();
    void atualizar();
    void gravar();
    void cancelar();
    void exportar();
    void sortHistory(int column);

private:
    void focusAddress();
    void animalChosen();
    void reloadHistory(const QString &orderBy = {});
    void showHistoryRow(int row);
    int rowOfKey(const QVariant &key) const;
    void setState(State s);
    void openStreetSearch(const QString &selection, const QString &text, bool runAtOnce);
    bool checkInteger(const QString &column, QVariant *out);

    Connection &m_c;
    State m_state = State::Browsing;
    int m_idProprietario = 0;
    QLineEdit *m_ownerCode;
    QLineEdit *m_ownerName;
    QLineEdit *m_animalCode;
    QComboBox *m_animals;
    AddressGroup *m_group;
    DateLineEdit *m_date;
    QTabWidget *m_tabs;
    QTableView *m_grid;
    QStandardItemModel *m_model;
    QLabel *m_panels[3];
    QHash<QString, QAction *> m_actions;
    Endereco m_shown; // the history row the group shows
    // The address the clerk selected, by key: every reload stands on it
    // again while it is listed, so Alterar and Excluir act on it.
    QVariant m_selectedKey;
    QString m_historyOrder;
};
