#pragma once
#include "db/DbError.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

class Connection;

// One owner as the merge screen shows it beside the other.
struct OwnerPicture {
    int id = 0;
    bool active = false;
    QString nome, tipoPessoa, cpfCnpj, ci;
    QString telefoneResidencial, telefoneCelular, telefoneRecado, email;
    QVariant idEndereco;
    QString endereco; // the address as one line
    QVariant idUsuWeb;
    QString webAccount; // "login (bloqueio)" or empty
    QStringList animals, appointments, grants;
    // The value of a column the merge may copy ("" when empty).
    QString fieldText(const QString &column) const;
};

// A merge refused after its checks ran again inside the transaction
// (another workstation changed one of the owners meanwhile).
class MergeRefused : public DbError {
public:
    using DbError::DbError;
};

namespace OwnerMerge {

// A column that names an owner and that a merge points at the kept owner.
struct Reference {
    QString table;
    QString column;
    QString key; // the row's key, recorded so that a merge can be undone; empty: not recorded
};
// Every such column of the main database. A reference added to the schema
// must be added here (or to keptReferences()); a test holds the two lists
// against the schema.
const QList<Reference> &movedReferences();
// Columns that keep naming the duplicate after a merge: the inactive owner
// itself and its web account, which the web service may still hold.
const QList<Reference> &keptReferences();

// A column of the kept owner that may take the duplicate's value while it
// is empty.
struct Field {
    QString column;
    QString caption;
};
const QList<Field> &fillableFields();

} // namespace OwnerMerge

// Merges a duplicate owner into the owner kept: everything that names the
// duplicate is moved in one transaction, the duplicate becomes inactive with
// its web account blocked, and a merge record keeps what was done.
class OwnerMergeStore {
public:
    explicit OwnerMergeStore(Connection &c);
    OwnerMergeStore(); // the current main connection

    std::optional<OwnerPicture> picture(int idProprietario) const;

    // The fields the kept owner lacks and the duplicate has.
    static QList<OwnerMerge::Field> fillable(const OwnerPicture &kept, const OwnerPicture &duplicate);
    // The duplicate's appointments the web service made and still holds
    // open (booked, confirmed or rescheduled, from today on), one line each.
    QStringList openWebBookings(int duplicate) const;

    // The refusal text, or empty when the merge may go on. Person types
    // that differ are not refused here: the screen asks.
    QString refusal(int kept, int duplicate) const;

    struct Result {
        int id = 0; // the merge record
        int animals = 0, attendances = 0, grants = 0, history = 0;
    };
    // Runs the merge; `take` names columns of fillableFields(). Throws
    // MergeRefused (nothing written) when a check fails inside the
    // transaction, DbError on a database failure.
    Result merge(int kept, int duplicate, const QStringList &take);

    // Called after each step; tests throw from it to break a merge midway.
    std::function<void(const QString &step)> afterStep;

private:
    void step(const QString &name) const;
    QString refusalLocked(int kept, int duplicate) const;
    Connection &m_c;
};
