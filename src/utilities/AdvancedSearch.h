#pragma once
#include "ui/register/PagedQueryModel.h"
#include "utilities/DbaseTable.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

class Dialect;

// The statements of the advanced search (screen 046): one row per animal
// with its owner, latest group and latest address, narrowed by any
// combination of criteria, every value bound.
namespace AdvancedSearch {

// Blank texts and invalid ids are no criterion.
struct Criteria {
    // owner
    QString ownerId;      // digits
    QString ownerName;    // start of the name, case and accents ignored
    QString cpfCnpj;      // exact
    QString identity;     // exact
    QString personType;   // "FÍSICA" / "JURÍDICA"
    // the animal's address
    QString street;       // start of the name
    QString houseNumber;  // digits
    QString complement;   // anywhere
    QVariant district, area, neighbourhood;
    // animal
    QString animalId;     // digits
    QString animalName;   // start of the name
    QVariant species, breed, group, size, coat;
    QString colour;       // start
    QString sex;          // "M" / "F"
    QString sterilized;   // "SIM" / "NAO"
    QString microchipped; // "SIM" / "NAO"
    QString microchip;    // anywhere, blanks ignored
    QString pedigree;     // exact
    QString marks;        // anywhere
    bool useBirth = false;
    QDate bornFrom, bornTo; // both days included
    bool activeOwners = true;
};

struct Query {
    QString source;      // from-clause with every join the grid shows
    QString countSource; // only the joins the conditions need
    QString where;
    QVariantMap params;
};

Query build(const Dialect &d, const Criteria &c);
// Nothing found, without asking the database (before any search).
Query none();

// The key of a row and the default order (owner, then animal).
QString keyExpression();
QString defaultOrder();
// The grid's columns, in order; "Cód. prop." sorts by the animal's owner id.
QList<PagedQueryModel::Column> gridColumns();
// Index of the owner-code column in gridColumns().
int ownerColumn();

// The exported table: the dictionary's 45 fields, in its order and under
// its names, with the expression each one takes.
struct ExportColumn {
    DbaseField field;
    QString expression;
};
QList<ExportColumn> exportColumns();
// The data dictionary written beside the table (46 lines).
QStringList dictionary();

} // namespace AdvancedSearch
