#pragma once
#include "db/DbError.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

class Connection;

// The refusal of an alteration whose row another workstation changed (or
// deleted) after this one loaded it. Nothing of the save was written; the
// screen reloads the row and shows it, and the clerk makes the change again.
class StaleRecord : public DbError {
public:
    explicit StaleRecord(bool deleted);
    bool deleted() const { return m_deleted; }

private:
    bool m_deleted;
};

// One alteration of one row, by the rule every screen that alters rows
// follows: only the columns whose value differs from the one loaded are
// written, and the update itself requires each of those columns still to
// hold the loaded value. Judged by rows affected, so another workstation's
// change of any other column survives, and a change of the same column is
// refused rather than overwritten. Nothing is read before the write.
//
// Columns the web booking service writes are simply never offered here.
class RowChange {
public:
    RowChange(QString table, QString keyColumn, QVariant key);

    // A column the clerk may have changed: the value read when the row was
    // loaded and the one to store now (an empty text and null are the same).
    void column(const QString &name, const QVariant &loaded, const QVariant &now);
    // Every column of `now`, with its loaded value from `loaded`.
    void columns(const QVariantMap &loaded, const QVariantMap &now);
    // Written along with any change, never compared (who changed it and when).
    void stamp(const QString &name, const QVariant &value);

    bool changed() const { return !m_changed.isEmpty(); }
    QStringList changedColumns() const;

    // Sends the update when anything changed. Throws StaleRecord when
    // another workstation changed one of those columns or deleted the row
    // (also when nothing changed here), so that the caller's transaction is
    // rolled back; DbError on failure. Returns whether anything was written.
    bool apply(Connection &c) const;

    // True when two values of a column of `table` are the same stored value
    // (text trimmed, empty as null, numbers by value, dates by day when one
    // side is a date).
    static bool sameValue(const QString &table, const QString &column, const QVariant &a, const QVariant &b);

    // The condition that `column` of `table` still holds `loaded`, binding
    // into `params` under `param`: the one comparison every alteration uses
    // (also for rows a screen deletes by their values).
    static QString stillHolds(Connection &c, const QString &table, const QString &column, const QString &param,
                              const QVariant &loaded, QVariantMap &params);

private:
    struct Change {
        QString column;
        QVariant loaded, now;
    };
    QString m_table;
    QString m_keyColumn;
    QVariant m_key;
    QList<Change> m_changed;
    QVariantMap m_stamps;
};
