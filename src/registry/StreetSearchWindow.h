#pragma once
#include "registry/StreetDirectory.h"

#include <QPointer>
#include <QWidget>

class AddressGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QStandardItemModel;
class QTableView;

// "Pesquisa endereço.": finds a street of the city's street database and
// writes the chosen one into the address group that opened it, provided that
// address is still being typed. Closing frees it.
class StreetSearchWindow : public QWidget {
    Q_OBJECT
public:
    StreetSearchWindow(AddressGroup *target, QWidget *parent = nullptr);

    // Opens a window for the group with this selection ("Núm lograd.",
    // "Logradouro", "Núm. bairro", "Bairro") and text; `runAtOnce` searches
    // before showing.
    static StreetSearchWindow *open(AddressGroup *target, const QString &selection, const QString &text, bool runAtOnce);

    void setSelection(const QString &selection);
    void setText(const QString &text);
    int rowCount() const;
    // Selects a row of the list (tests, the keyboard).
    void selectRow(int row);

public slots:
    void pesquisar();
    void ok();

protected:

private:
    QPointer<AddressGroup> m_target;
    QList<StreetDirectory::Street> m_rows;
    QComboBox *m_selecione;
    QLineEdit *m_texto;
    QStandardItemModel *m_model;
    QTableView *m_grid;
    QLabel *m_count;
    QLabel *m_what;
};
