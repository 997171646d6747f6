#include "db/ExportCopy.h"
#include "db/DataModule.h"
#include "db/Dialect.h"
#include "db/ServerClock.h"
#include "db/Sql.h"
#include "db/schema/SchemaModel.h"

#include <QSqlQuery>

namespace ExportCopy {

namespace {

const QString kAttendances =
    QStringLiteral("select count(*), max(Inserido_Em), max(Modificado_Em) from atendimento");

bool sameMoment(const QVariant &a, const QVariant &b)
{
    const bool na = a.isNull() || !a.isValid() || a.toString().isEmpty();
    const bool nb = b.isNull() || !b.isValid() || b.toString().isEmpty();
    if (na || nb)
        return na == nb;
    return a.toDateTime() == b.toDateTime();
}

} // namespace

State state(Connection &main)
{
    State s;
    QSqlQuery probe(main.db());
    if (!probe.exec(QStringLiteral("select Dt_Copia, Qt_Atend, Dt_Ins_Atend, Dt_Mod_Atend from Exportacao2_Copia")))
        return s; // no record yet: age unknown, taken as changed
    if (!probe.next())
        return s;
    s.madeAt = probe.value(0).toDateTime();
    const qlonglong count = probe.value(1).toLongLong();
    const QVariant ins = probe.value(2), mod = probe.value(3);
    probe = QSqlQuery();
    QSqlQuery now = Sql::exec(main, kAttendances);
    if (now.next())
        s.attendancesChanged = now.value(0).toLongLong() != count || !sameMoment(now.value(1), ins)
                               || !sameMoment(now.value(2), mod);
    return s;
}

Policy policy(Connection &main)
{
    return main.dialect().engine() == Engine::SQLite ? Policy::RebuildWhenChanged : Policy::AskWhenOld;
}

bool olderThanADay(const State &s, const QDateTime &now)
{
    return !s.madeAt.isValid() || s.madeAt.secsTo(now) > 24 * 3600;
}

QString label(const State &s)
{
    return s.madeAt.isValid() ? QStringLiteral("Dados de ") + s.madeAt.toString(QStringLiteral("dd/MM/yyyy HH:mm"))
                              : QStringLiteral("Dados de data desconhecida");
}

void ensureTable(Connection &main)
{
    const Engine engine = main.dialect().engine();
    if (engine == Engine::TSql)
        return; // the installation script makes it
    {
        QSqlQuery probe(main.db());
        if (probe.exec(QStringLiteral("select count(*) from Exportacao2_Copia")))
            return;
    }
    if (const Schema::Table *t = Schema::findTable(QStringLiteral("Exportacao2_Copia")))
        Sql::exec(main, Schema::createTableStatement(*t, engine));
}

void stamp(Connection &main)
{
    QVariantMap p{{QStringLiteral("agora"), serverNow(main)}};
    {
        QSqlQuery q = Sql::exec(main, kAttendances);
        q.next();
        p.insert(QStringLiteral("n"), q.value(0).toLongLong());
        // A typed null: some drivers refuse an untyped one in a date column.
        const QVariant none(QMetaType::fromType<QDateTime>());
        p.insert(QStringLiteral("ins"), q.value(1).isNull() ? none : QVariant(q.value(1).toDateTime()));
        p.insert(QStringLiteral("mod"), q.value(2).isNull() ? none : QVariant(q.value(2).toDateTime()));
    }
    Sql::exec(main, QStringLiteral("delete from Exportacao2_Copia"));
    Sql::exec(main,
              QStringLiteral("insert into Exportacao2_Copia (Dt_Copia, Qt_Atend, Dt_Ins_Atend, Dt_Mod_Atend) "
                             "values (:agora, :n, :ins, :mod)"),
              p);
}

} // namespace ExportCopy
