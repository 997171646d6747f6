#pragma once
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <optional>

class Connection;

// The statements behind the owner search windows, with every typed value
// bound (SearchResultModel in src/ui loads their results page by page).
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
