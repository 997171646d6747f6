#pragma once
#include "db/Session.h"

#include <QSqlQuery>
#include <QString>
#include <QVariant>

// Conversions every registry store makes between screen values and bound
// parameters.
namespace StoreValues {

// A number kept as text (session fields, keys typed in boxes); null when
// the text is no number.
inline QVariant number(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? QVariant(v) : QVariant();
}

// The user working now, as the audit columns record it.
inline QVariant currentUser() { return number(usuarioLogado().IdUsuario); }

// Empty text is stored as null.
inline QVariant nullIfEmpty(const QString &s)
{
    return s.trimmed().isEmpty() ? QVariant() : QVariant(s.trimmed());
}

// A column's value with SQL null as an invalid QVariant.
inline QVariant value(const QSqlQuery &q, const QString &column)
{
    const QVariant v = q.value(column);
    return v.isNull() ? QVariant() : v;
}

} // namespace StoreValues
