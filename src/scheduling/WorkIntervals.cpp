#include "scheduling/WorkIntervals.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Keys.h"
#include "db/RowChange.h"
#include "db/ServerClock.h"
#include "db/Sql.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QStringList>

namespace WorkIntervals {

namespace {

struct TableOf {
    QString table;
    QString key;
};

TableOf tableOf(IntervalKind kind)
{
    switch (kind) {
    case IntervalKind::WorkingHours:
        return {QStringLiteral("jornada_trabalho"), QStringLiteral("Id_Jornada_Trabalho")};
    case IntervalKind::Impediment:
        return {QStringLiteral("impedimento"), QStringLiteral("Id_Impedimento")};
    case IntervalKind::ExtraHours:
        break;
    }
    return {QStringLiteral("jornada_trabalho_execao"), QStringLiteral("Id_Jornada_Trabalho_Execao")};
}

QDateTime toDateTime(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return {};
    QDateTime t = v.toDateTime();
    if (!t.isValid())
        t = QDateTime::fromString(v.toString().trimmed(), Qt::ISODate);
    return t;
}

bool rangesMeet(const auto &a1, const auto &a2, const auto &b1, const auto &b2)
{
    return a2 >= b1 && a1 <= b2;
}

} // namespace

const QStringList &weekdayNames()
{
    static const QStringList names{QStringLiteral("Domingo"), QStringLiteral("Segunda"), QStringLiteral("Terça"),
                                   QStringLiteral("Quarta"),  QStringLiteral("Quinta"),  QStringLiteral("Sexta"),
                                   QStringLiteral("Sabado")};
    return names;
}

bool isInverted(const WorkInterval &c)
{
    return c.firstDay > c.lastDay || c.startTime > c.endTime;
}

bool clashes(const WorkInterval &listed, const WorkInterval &candidate, bool byWeekday)
{
    if (byWeekday && listed.weekday != candidate.weekday)
        return false;
    return rangesMeet(listed.firstDay, listed.lastDay, candidate.firstDay, candidate.lastDay)
           && rangesMeet(listed.startTime, listed.endTime, candidate.startTime, candidate.endTime);
}

int firstClash(const QList<WorkInterval> &listed, const WorkInterval &candidate, bool byWeekday)
{
    for (int i = 0; i < listed.size(); ++i)
        if (clashes(listed.at(i), candidate, byWeekday))
            return i;
    return -1;
}

QList<WorkInterval> load(Connection &c, IntervalKind kind, const QVariant &idProfissional)
{
    const TableOf t = tableOf(kind);
    QString sql;
    if (kind == IntervalKind::WorkingHours)
        sql = QStringLiteral("select j.Id_Unidade_Trabalho, u.nome as nome_unidade, j.Data_Hora_Inicial, j.Data_Hora_Final, "
                             "d.nome as nome_dia from jornada_trabalho j "
                             "left join unidade_trabalho u on (u.Id_Unidade_Trabalho = j.Id_Unidade_Trabalho) "
                             "left join dia_semana d on (d.id_Dia_Semana = j.Id_Dia_Semana) "
                             "where j.Id_Profissional = :p and j.Status_Registro = 'ATIVO' order by j.Id_Jornada_Trabalho");
    else
        sql = QStringLiteral("select j.Id_Unidade_Trabalho, u.nome as nome_unidade, j.Data_Hora_Inicial, j.Data_Hora_Final, "
                             "'' as nome_dia from %1 j "
                             "left join unidade_trabalho u on (u.Id_Unidade_Trabalho = j.Id_Unidade_Trabalho) "
                             "where j.Id_Profissional = :p order by j.%2")
                  .arg(t.table, t.key);
    QSqlQuery q = Sql::exec(c, sql, {{QStringLiteral("p"), idProfissional}});
    QList<WorkInterval> rows;
    while (q.next()) {
        WorkInterval w;
        w.unitId = q.value(0).isNull() ? QVariant() : QVariant(q.value(0).toInt());
        w.unitName = Sql::text(q.value(1)).toUpper();
        const QDateTime a = toDateTime(q.value(2));
        const QDateTime b = toDateTime(q.value(3));
        w.firstDay = a.date();
        w.startTime = a.isValid() ? a.time() : QTime();
        w.lastDay = b.date();
        w.endTime = b.isValid() ? b.time() : QTime();
        w.weekday = Sql::text(q.value(4));
        rows << w;
    }
    return rows;
}

namespace {

void insertRows(Connection &c, IntervalKind kind, const QVariant &idProfissional, const QList<WorkInterval> &rows,
                const QVariant &userId, int controle, int key)
{
    const TableOf t = tableOf(kind);
    const QDateTime now = serverNow(c);
    for (const WorkInterval &w : rows) {
        QVariantMap v{{QStringLiteral("k"), key++},
                      {QStringLiteral("p"), idProfissional},
                      {QStringLiteral("u"), w.unitId},
                      {QStringLiteral("a"), QDateTime(w.firstDay, w.startTime.isValid() ? w.startTime : QTime(0, 0))},
                      {QStringLiteral("b"), QDateTime(w.lastDay, w.endTime.isValid() ? w.endTime : QTime(0, 0))},
                      {QStringLiteral("por"), userId},
                      {QStringLiteral("em"), now}};
        if (kind == IntervalKind::WorkingHours) {
            const QVariant day = Sql::scalar(c, QStringLiteral("select id_Dia_Semana from dia_semana where nome = :n"),
                                             {{QStringLiteral("n"), w.weekday}});
            if (!day.isValid() || day.isNull())
                throw DbError(QStringLiteral("O dia da semana \"%1\" não está cadastrado (tabela dia_semana).\r"
                                             "Nada foi gravado.")
                                  .arg(w.weekday));
            v.insert(QStringLiteral("d"), day);
            v.insert(QStringLiteral("c"), controle);
            Sql::exec(c, QStringLiteral("insert into jornada_trabalho (Id_Jornada_Trabalho, Id_Profissional, Id_Unidade_Trabalho, "
                                        "Data_Hora_Inicial, Data_Hora_Final, Id_Dia_Semana, Status_Registro, Controle, "
                                        "Inserido_Por, Inserido_Em) values (:k, :p, :u, :a, :b, :d, 'ATIVO', :c, :por, :em)"),
                      v);
        } else {
            Sql::exec(c, QStringLiteral("insert into %1 (%2, Id_Profissional, Id_Unidade_Trabalho, Data_Hora_Inicial, "
                                        "Data_Hora_Final, Inserido_Por, Inserido_Em) values (:k, :p, :u, :a, :b, :por, :em)")
                             .arg(t.table, t.key),
                      v);
        }
    }
}

int nextControle(Connection &c, IntervalKind kind, const QVariantMap &who)
{
    if (kind != IntervalKind::WorkingHours)
        return 0;
    return Sql::scalar(c, QStringLiteral("select max(Controle) from jornada_trabalho where Id_Profissional = :p"), who).toInt() + 1;
}

} // namespace

void replace(Connection &c, IntervalKind kind, const QVariant &idProfissional, const QList<WorkInterval> &rows,
             const QVariant &userId)
{
    const TableOf t = tableOf(kind);
    const QVariantMap who{{QStringLiteral("p"), idProfissional}};
    const int controle = nextControle(c, kind, who);
    // Keys are taken before the old rows go, so the new set never reuses
    // them (the table stays locked for keys until the transaction ends).
    const int key = rows.isEmpty() ? 0 : Keys::nextProgramKey(c, t.table, t.key);
    Sql::exec(c, QStringLiteral("delete from %1 where Id_Profissional = :p").arg(t.table), who);
    if (!rows.isEmpty())
        insertRows(c, kind, idProfissional, rows, userId, controle, key);
}

void apply(Connection &c, IntervalKind kind, const QVariant &idProfissional, const QList<WorkInterval> &loaded,
           const QList<WorkInterval> &rows, const QVariant &userId)
{
    QList<WorkInterval> added = rows;
    QList<WorkInterval> removed;
    for (const WorkInterval &w : loaded) {
        const qsizetype i = added.indexOf(w);
        if (i >= 0)
            added.removeAt(i);
        else
            removed << w;
    }
    const TableOf t = tableOf(kind);
    for (const WorkInterval &w : removed) {
        // One stored row that still is the interval the clerk took away;
        // none means another workstation changed or removed it meanwhile.
        QVariantMap p{{QStringLiteral("p"), idProfissional}};
        QStringList cond{QStringLiteral("Id_Profissional = :p")};
        cond << RowChange::stillHolds(c, t.table, QStringLiteral("Id_Unidade_Trabalho"), QStringLiteral("u"), w.unitId, p)
             << RowChange::stillHolds(c, t.table, QStringLiteral("Data_Hora_Inicial"), QStringLiteral("a"),
                                      QDateTime(w.firstDay, w.startTime.isValid() ? w.startTime : QTime(0, 0)), p)
             << RowChange::stillHolds(c, t.table, QStringLiteral("Data_Hora_Final"), QStringLiteral("b"),
                                      QDateTime(w.lastDay, w.endTime.isValid() ? w.endTime : QTime(0, 0)), p);
        if (kind == IntervalKind::WorkingHours) {
            cond << QStringLiteral("Status_Registro = 'ATIVO'")
                 << QStringLiteral("Id_Dia_Semana = (select id_Dia_Semana from dia_semana where nome = :n)");
            p.insert(QStringLiteral("n"), w.weekday);
        }
        QSqlQuery q = Sql::exec(c, QStringLiteral("delete from %1 where %2 = (select min(%2) from %1 where %3)")
                                       .arg(t.table, t.key, cond.join(QStringLiteral(" and "))),
                                p);
        if (q.numRowsAffected() != 1)
            throw StaleRecord(false);
    }
    if (added.isEmpty())
        return;
    const QVariantMap who{{QStringLiteral("p"), idProfissional}};
    insertRows(c, kind, idProfissional, added, userId, nextControle(c, kind, who), Keys::nextProgramKey(c, t.table, t.key));
}

void removeAll(Connection &c, const QVariant &idProfissional)
{
    const QVariantMap who{{QStringLiteral("p"), idProfissional}};
    for (IntervalKind k : {IntervalKind::WorkingHours, IntervalKind::Impediment, IntervalKind::ExtraHours})
        Sql::exec(c, QStringLiteral("delete from %1 where Id_Profissional = :p").arg(tableOf(k).table), who);
}

} // namespace WorkIntervals
