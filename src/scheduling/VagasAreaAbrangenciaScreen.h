#pragma once
#include <QDialog>
#include <QList>

class Connection;
class QCheckBox;
class QComboBox;
class QListWidget;

// "Área de abrangências": the coverage areas of the address database, by
// sanitary district, that the next new slot is reserved for. Not modal: it
// closes and frees itself.
class VagasAreaAbrangenciaScreen : public QDialog {
    Q_OBJECT
public:
    VagasAreaAbrangenciaScreen(Connection &c, QWidget *parent = nullptr);

    // The district entries in the order the list offers them; index 0 is
    // "Todos os distritos", then the districts by code 1 to 9.
    static QStringList districtEntries();
    // Fills the list for an entry (what choosing it in the combo does).
    void chooseDistrict(const QString &entry);
    // Codes of the checked areas, in list order.
    QList<int> checkedCodes() const;
    QListWidget *list() const { return m_list; }

signals:
    void concluded(const QList<int> &codes);

private:
    Connection &m_c;
    QComboBox *m_distrito = nullptr;
    QCheckBox *m_todos = nullptr;
    QListWidget *m_list = nullptr;
};
