// What an installation lacks of the tables, columns and views the program
// reads and writes, asked of the server the way the program asks it: every
// object through the main connection, under the names the screens use.
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/schema/Schema.h"
#include "db/schema/SchemaModel.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <optional>

using namespace Schema;

namespace {

QString addressed(const Dialect &d, Database db, const QString &name)
{
    switch (db) {
    case Database::Main:
        return name;
    case Database::Padrao:
        return d.addressTable(name);
    case Database::Kelda:
        return d.siblingTable(name);
    }
    return name;
}

// The columns a select of no rows gives back; nothing when the object
// cannot be read (the error says why).
std::optional<QSqlRecord> columnsOf(Connection &c, const QString &object, QString *error)
{
    QSqlQuery q(c.db());
    q.setForwardOnly(true);
    const QString sql = QStringLiteral("select * from %1 where 1 = 0").arg(object);
    if (!q.exec(sql)) {
        *error = q.lastError().text().simplified();
        return std::nullopt;
    }
    QSqlRecord r = q.record();
    q.finish();
    return r;
}

bool hasField(const QSqlRecord &r, const QString &column)
{
    for (int i = 0; i < r.count(); ++i)
        if (r.fieldName(i).compare(column, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

QStringList Schema::missingObjects(Connection &main, int *checked)
{
    const Dialect &d = main.dialect();
    QStringList missing;
    int count = 0;
    for (const Table &t : tables()) {
        ++count;
        const QString name = addressed(d, t.db, t.name);
        QString error;
        const std::optional<QSqlRecord> r = columnsOf(main, name, &error);
        if (!r) {
            missing << QStringLiteral("tabela %1: %2").arg(name, error);
            continue;
        }
        for (const Column &c : t.columns)
            if (!hasField(*r, c.name))
                missing << QStringLiteral("coluna %1.%2").arg(name, c.name);
    }
    for (const View &v : views()) {
        ++count;
        const QString name = addressed(d, v.db, v.name);
        QString error;
        if (!columnsOf(main, name, &error))
            missing << QStringLiteral("visão %1: %2").arg(name, error);
    }
    if (d.engine() == Engine::TSql) {
        // The export table's rebuild runs on the server.
        ++count;
        QSqlQuery q(main.db());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("select object_id('dbo.sp_animal_atendimento', 'P')")) || !q.next() || q.value(0).isNull())
            missing << QStringLiteral("procedimento dbo.sp_animal_atendimento");
    }
    if (checked)
        *checked = count;
    return missing;
}
