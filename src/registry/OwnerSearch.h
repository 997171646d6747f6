#pragma once
#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <optional>

class BackgroundCount;
class Connection;

// The statements behind the two owner search windows, with every typed value
// bound, and a read-only model that loads their results page by page.
namespace OwnerSearch {

// A select without its order, its bound values, and its default order.
struct Query {
    QString select;
    QVariantMap params;
    QString orderBy;
    QString keyColumns; // result columns that make a row unique, for paging
};

// The consultation's search fields, in the order the list offers them
// (the last entry is empty: nothing chosen).
enum class Field { CodigoProp, NomeProp, CpfCnpj, CIdentidade, Logradouro, CodAnimal, NomeAnimal, Microchip, None };
QStringList consultationFieldCaptions();
Field consultationField(const QString &caption);

// The consultation: one row per animal with its owner, or per owner without
// animals for the owner fields. Names (owner, animal, street) match from the
// start without regard to case or accents; the microchip anywhere, blanks
// ignored. Nothing (std::nullopt) when the text cannot match (a code with
// letters).
std::optional<Query> consultation(Connection &c, Field field, const QString &text);
// The text the CPF / CNPJ search uses (and shows in the box): digits only.
QString cpfSearchText(const QString &typed);

// The owner search of the transfer screen: owners of any status.
enum class OwnerField { Codigo, Nome, CpfCnpj, Logradouro };
QStringList ownerFieldCaptions(); // "Código", "Nome", "CPF/CNPJ", "Logradouro"
std::optional<Query> ownerSearch(Connection &c, OwnerField field, const QString &text);
// The address as the owner search shows it.
QString addressText(const QString &tipLogr, const QString &nomLogr, const QString &numImov, const QString &complemento,
                    const QString &bairro, bool found);

// The condition matching names that begin with `text` without regard to
// case or accents, served by the folded-name indexes; binds values named after "f".
QString namePrefixCondition(Connection &c, const QString &column, const QString &text, QVariantMap *params);

} // namespace OwnerSearch

// Read-only grid model over a search statement: shows the first page as soon
// as it is read and fetches the others as the view scrolls, while the rows
// are counted on a connection of their own (totalChanged()).
class SearchResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString caption;
        QString field;   // column of the result, or empty for a computed one
        bool sortable = true;
    };
    SearchResultModel(QList<Column> columns, QObject *parent = nullptr);

    // Runs the statement (throws DbError); an empty query empties the grid.
    void setQuery(Connection &c, const std::optional<OwnerSearch::Query> &q);
    // Orders by a column's field; computed columns cannot be sorted.
    void sortBy(int column);
    // The rows found: exact once totalExact(), until then those read so far.
    int totalRows() const { return m_total; }
    bool totalExact() const { return m_exact; }
    // Stops a count under way (the clerk is typing a new search).
    void cancelCount();
    QVariant field(int row, const QString &name) const;

    // Rows computed from the result (the address column).
    std::function<QString(const QVariantMap &row)> computed;
    static constexpr int PageSize = 200;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    void totalChanged(int rows, bool exact);

private:
    void reload();
    void readPage(); // throws DbError
    QList<Column> m_columns;
    Connection *m_c = nullptr;
    std::optional<OwnerSearch::Query> m_query;
    QString m_order;
    QList<QVariantMap> m_rows;
    int m_total = 0;
    bool m_exact = true;
    BackgroundCount *m_counter;
};
