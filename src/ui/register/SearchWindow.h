#pragma once
#include "ui/register/RegisterDef.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class Connection;
class PagedQueryModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// A search window: "Selecione:" (which column), "Texto:", the search and OK
// buttons, a read-only grid and a count line. What the user picks (OK, a
// double click or Enter on the grid, or every move of the cursor when the
// definition follows the current row) is handed to `pick`, which belongs to
// the screen that opened the window; the window is that screen's child and
// goes with it. The typed text is always a bound value.
class SearchWindow : public QWidget {
    Q_OBJECT
public:
    using Pick = std::function<void(const QVariant &key)>;
    SearchWindow(const SearchDef &def, Connection &connection, QWidget *opener, Pick pick);

    QComboBox *criterion() const { return m_criterion; }
    QLineEdit *textBox() const { return m_text; }
    QTableView *grid() const { return m_grid; }
    PagedQueryModel *model() const { return m_model; }
    QLabel *countLine() const { return m_count; }
    QPushButton *searchButton() const { return m_searchButton; }
    QPushButton *okButton() const { return m_okButton; }

public slots:
    // "&Pesquisar": true when a search ran.
    bool runSearch();
    // "&OK".
    void ok();
    void sortByColumn(int column);

protected:
    void showEvent(QShowEvent *e) override;

private:
    bool load(const QString &condition, const QVariantMap &params);
    void locate();
    void rowMoved();
    void showCount(int rows, bool exact);

    SearchDef m_def;
    Connection &m_conn;
    Pick m_pick;
    bool m_shownOnce = false;
    bool m_picking = false;
    QComboBox *m_criterion;
    QLineEdit *m_text;
    QTableView *m_grid;
    PagedQueryModel *m_model;
    QLabel *m_count;
    QPushButton *m_searchButton;
    QPushButton *m_okButton;
};
