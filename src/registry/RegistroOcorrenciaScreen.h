#pragma once
#include "ui/DateLineEdit.h"

#include <QHash>
#include <QVariant>
#include <QWidget>
#include <functional>

class Connection;
class PagedPicker;
class QAction;
class QComboBox;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

// "022 - Registro Ocorrência.": occurrences of an animal (a type and a date),
// added and deleted, printed and exported. Owner, animal and occurrences
// cascade: each choice reloads the lists below it.
class RegistroOcorrenciaScreen : public QWidget {
    Q_OBJECT
public:
    explicit RegistroOcorrenciaScreen(QWidget *parent = nullptr, Connection *c = nullptr);

    // Opened from the register: only that owner is listed, standing on its
    // animal.
    void narrowTo(int idProprietario, int idAnimal);

    // Writes the occurrence table (dBASE) at a path; the screen's export
    // action asks for the path. Set by the application when a writer exists.
    using Exporter = std::function<void(Connection &c, const QString &select, const QString &path, QWidget *parent)>;
    static void setExporter(Exporter exporter);

    PagedPicker *ownerPicker() const { return m_owners; }
    QComboBox *animalBox() const { return m_animals; }
    QComboBox *typeBox() const { return m_types; }
    DateLineEdit *dateBox() const { return m_date; }
    QTableView *grid() const { return m_grid; }
    QAction *action(const QString &name) const { return m_actions.value(name); }
    QVariant currentOwnerId() const;
    QVariant currentAnimalId() const;
    QVariant currentTypeId() const;
    QString typeToolTip() const;

public slots:
    void incluir();
    void excluir();
    void atualizar();
    void imprimir();
    void exportar();

protected:
    void showEvent(QShowEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void ownerArrived(const QVariant &id);
    void animalArrived();
    void loadTypes();
    void loadOccurrences(const QVariant &idAnimal);
    void updateTypeToolTip();
    bool typeClosesCase(int index) const;

    Connection &m_c;
    bool m_loaded = false;
    PagedPicker *m_owners;
    QLineEdit *m_ownerCode;
    QLineEdit *m_animalCode;
    QComboBox *m_animals;
    QComboBox *m_types;
    DateLineEdit *m_date;
    QPushButton *m_incluir;
    QPushButton *m_excluir;
    QPushButton *m_atualizar;
    QTableView *m_grid;
    QStandardItemModel *m_model;
    QHash<QString, QAction *> m_actions;
};
