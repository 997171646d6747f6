#pragma once
// Reads a dBASE table back with an independent reader (python3's dbfread),
// so the tests check what other programs will see, not what we meant to
// write.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTest>

namespace DbfRead {

struct Table {
    bool ok = false;
    QString error;
    QJsonArray fields;  // {name, type, length, decimal}
    QJsonArray records; // arrays of values in field order (dates as "YYYY-MM-DD")
};

inline Table read(const QString &path)
{
    static const char *script = R"PY(
import json, sys, dbfread
t = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict', load=True)
out = {'fields': [{'name': f.name, 'type': f.type, 'length': f.length, 'decimal': f.decimal_count} for f in t.fields],
       'records': [[None if v is None else (v.isoformat() if hasattr(v, 'isoformat') else v) for v in r.values()] for r in t.records]}
print(json.dumps(out))
)PY";
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromLatin1(script), path});
    Table t;
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        t.error = QString::fromLocal8Bit(p.readAllStandardError());
        return t;
    }
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    t.fields = o.value(QStringLiteral("fields")).toArray();
    t.records = o.value(QStringLiteral("records")).toArray();
    t.ok = true;
    return t;
}

inline QStringList fieldNames(const Table &t)
{
    QStringList l;
    for (const auto &f : t.fields)
        l << f.toObject().value(QStringLiteral("name")).toString();
    return l;
}

inline QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace DbfRead
