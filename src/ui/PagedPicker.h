#pragma once
#include <QVariant>
#include <QVariantMap>
#include <QVector>
#include <QWidget>

class BackgroundCount;
class Connection;
class PagedQueryModel;
class QFrame;
class QLineEdit;
class QTableView;
class QToolButton;

// A drop-down over a list too long to hold in a combo box (every owner of
// the city): the list is read a page at a time in name order. Typing the
// start of a name reads the names from it on through the name index and
// stands on the first at once; the row number it falls on (the names before
// it, which at a city's size take the engine a while to count) is counted on
// a connection of its own, and the list scrolls there when it is known.
// Like a list bound to a data set, it always stands on a row: after filling,
// on the first one; `currentChanged` tells each arrival.
// Rows without a name are not listed (they cannot be found by name).
class PagedPicker : public QWidget {
    Q_OBJECT
public:
    explicit PagedPicker(QWidget *parent = nullptr);

    // `source` is the from-clause ("proprietario p"); `key` and `name` the
    // expressions of the id and the shown name (the name should be indexed).
    void setSource(Connection *c, const QString &source, const QString &key, const QString &name);
    // An extra condition with named placeholders ("p.Id_Proprietario = :id");
    // empty: every row. Takes effect at the next reload().
    void setFilter(const QString &condition, const QVariantMap &params = {});
    QString filter() const { return m_filter; }

    // Reads the list again and stands on its first row. Throws DbError.
    void reload();
    int rowCount() const;
    // The row stood on; when its number is still being counted, counts it now.
    int currentRow() const;
    // The row stood on is known but its number is still being counted.
    bool placing() const { return m_placing; }
    // Invalid when the list is empty.
    QVariant currentId() const;
    QString currentName() const;
    // Stands on the row of an id (one statement to find its place); false
    // and no change when it is not listed.
    bool selectId(const QVariant &id);
    // Stands on the first row whose name is not below `text` (upper-cased
    // as names are stored); the last row when every name is below it.
    void findText(const QString &text);
    void setCurrentRow(int row);

    QLineEdit *editor() const { return m_edit; }
    QTableView *listView() const { return m_view; }
    PagedQueryModel *model() const { return m_model; }
    void showList();
    void hideList();
    bool listVisible() const;

signals:
    // The picker arrived on a row (also after reload()); invalid id: empty.
    void currentChanged(const QVariant &id);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString where(const QString &extra) const;
    void showCurrentName();
    void typed(const QString &text);
    // Stands on the first of `rows` (read from the name index) and counts
    // the rows before it (`beforeCondition`) to learn its number.
    void standOnFound(const QVector<QVector<QVariant>> &rows, const QString &beforeCondition, const QVariantMap &params);
    void placeAt(qint64 row);
    void stopPlacing();
    void placeNow();

    Connection *m_conn = nullptr;
    QString m_source, m_key, m_name, m_filter;
    QVariantMap m_params;
    PagedQueryModel *m_model;
    QLineEdit *m_edit;
    QToolButton *m_button;
    QFrame *m_popup;
    QTableView *m_view;
    int m_row = -1;
    BackgroundCount *m_position;
    bool m_placing = false;
    QVector<QVector<QVariant>> m_found;
    QString m_beforeSql;
    QVariantMap m_beforeParams;
};
