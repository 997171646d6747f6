#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// What a T-SQL server reached through ODBC refuses and the engines the tests
// run on accept, kept by a driver that stands in front of SQLite:
//  - a statement sent on a connection while a forward-only result of that
//    connection is not read to its end (nor finished) fails, as it does
//    without multiple active result sets ("Connection is busy with results
//    for another command");
//  - a null bound without a type fails, as the ODBC driver sends it as
//    binary and the server will not convert binary into a float or a date.
// Every statement a connection sends is kept, in order, for the tests that
// ask what reached the server.
namespace OdbcRules {

// From now on, connections of Qt's "QSQLITE" driver opened in this process
// keep the rules.
void installForSqlite();

// From now on, connections of Qt's "QODBC" driver are SQLite connections to
// `file` that keep the rules and pass for a T-SQL server: "select version()"
// fails as it does there, and "use <database>" is accepted and kept.
void installAsTSql(const QString &file);

// The statements of every connection opened since the last clear (each a
// list in the order sent; "use X" included), in the order they were opened.
QList<QStringList> sessions();
void clear();

// The text a refused statement fails with.
QString busyText();
QString untypedNullText();

} // namespace OdbcRules
