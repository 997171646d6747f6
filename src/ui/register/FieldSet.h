#pragma once
#include "ui/register/FieldBinder.h"

#include <QDate>
#include <QList>
#include <memory>
#include <variant>
#include <vector>

// The binders of a record whose screen lays its editors out by hand: made
// from their descriptions, found by column, and loaded, read and locked
// together, as RegisterScreen does for the screens it lays out itself.
class FieldSet {
public:
    // `table` limits text editors to their columns' declared widths.
    FieldSet(Connection *lookupConnection, QString table = {}) : m_conn(lookupConnection), m_table(std::move(table)) {}

    FieldBinder *add(const FieldDef &def, QWidget *parent);
    // The binder of `column` (nullptr if none).
    FieldBinder *at(const QString &column) const;
    QWidget *editor(const QString &column) const;
    template <class W> W *editorAs(const QString &column) const { return qobject_cast<W *>(editor(column)); }

    // Every editor shows its column of `values`; a column missing there clears it.
    void load(const Record &values);
    void clear() { load({}); }
    // What every editor would write, by column.
    Record values() const;
    void setEditable(bool on);
    // The drop-downs read their rows again; throws DbError.
    void reloadRows();

private:
    Connection *m_conn;
    QString m_table;
    std::vector<std::unique_ptr<FieldBinder>> m_binders;
};

// The columns of a plain record struct, so that it goes to and from a
// FieldSet without a line per member.
template <class S>
struct MemberColumn {
    QString column;
    std::variant<QVariant S::*, QString S::*, QDate S::*> member;
};

template <class S>
Record toRecord(const S &s, const QList<MemberColumn<S>> &columns)
{
    Record r;
    for (const MemberColumn<S> &c : columns)
        std::visit([&](auto m) { r.insert(c.column, QVariant::fromValue(s.*m)); }, c.member);
    return r;
}

// Writes the columns `values` holds; the other members stay as they are.
template <class S>
void fromRecord(const Record &values, S &s, const QList<MemberColumn<S>> &columns)
{
    for (const MemberColumn<S> &c : columns) {
        if (!values.contains(c.column))
            continue;
        const QVariant v = values.value(c.column);
        std::visit(
            [&](auto m) {
                using T = std::decay_t<decltype(s.*m)>;
                if constexpr (std::is_same_v<T, QVariant>)
                    s.*m = v;
                else if constexpr (std::is_same_v<T, QDate>)
                    s.*m = v.toDate();
                else
                    s.*m = v.isNull() ? QString() : v.toString();
            },
            c.member);
    }
}
