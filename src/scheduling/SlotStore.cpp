#include "scheduling/SlotStore.h"
#include "db/DataModule.h"
#include "db/Keys.h"
#include "db/ServerClock.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "db/ValueRows.h"

#include <QSqlQuery>

namespace {

const QString Table = QStringLiteral("mapa_disponibilidade_agenda");
const QString KeyColumn = QStringLiteral("Id_Mapa_disponibilidade_agenda");

QVariant nullInt() { return QVariant(QMetaType::fromType<int>()); }

QVariant userValue(const QString &user)
{
    bool ok = false;
    const int id = user.trimmed().toInt(&ok);
    return ok ? QVariant(id) : nullInt();
}

int intOf(const QVariant &v) { return v.isNull() ? 0 : v.toInt(); }

Slot slotFrom(const QSqlQuery &q)
{
    Slot s;
    s.id = intOf(q.value(0));
    s.unidade = intOf(q.value(1));
    s.procedimento = intOf(q.value(2));
    s.dataHora = SlotStore::toDateTime(q.value(3));
    s.vagaGeral = intOf(q.value(4));
    s.vagaFemea = intOf(q.value(5));
    s.usadaGeral = intOf(q.value(6));
    s.usadaFemea = intOf(q.value(7));
    s.especie = intOf(q.value(8));
    s.area = q.value(9).isNull() ? QVariant() : QVariant(q.value(9).toInt());
    // Upper-cased here: the engines' upper() differ on accented letters.
    s.unidadeNome = Sql::text(q.value(10)).toUpper();
    s.procedimentoNome = Sql::text(q.value(11)).toUpper();
    s.especieNome = Sql::text(q.value(12)).toUpper();
    return s;
}

// One joined statement for the grid: names come with the rows.
const QString SlotSelect = QStringLiteral(
    "select m.Id_Mapa_disponibilidade_agenda, m.Id_unidade_trabalho, m.Id_tipo_procedimento, "
    "m.Data_hora_disponibilidade, m.Qt_vaga_disponivel_geral, m.Qt_vaga_disp_f_grande_porte, "
    "m.Qt_vaga_usada_geral, m.Qt_vaga_usada_f_grande_porte, m.Id_Especie, m.COD_AREA_ABRN, "
    "u.Nome, tp.Nome, e.Nome "
    "from mapa_disponibilidade_agenda m "
    "left join unidade_trabalho u on (u.Id_Unidade_Trabalho = m.Id_unidade_trabalho) "
    "left join tipo_procedimento tp on (tp.Id_Tipo_Procedimento = m.Id_tipo_procedimento) "
    "left join especie e on (e.Id_Especie = m.Id_Especie) ");

const QString DuplicateCount = QStringLiteral(
    "select count(*) from mapa_disponibilidade_agenda where Id_unidade_trabalho = :u and Id_Especie = :e "
    "and Data_hora_disponibilidade = :dh and Id_tipo_procedimento = :p and Id_Mapa_disponibilidade_agenda <> :k");

const QString InsertSlot = QStringLiteral(
    "insert into mapa_disponibilidade_agenda (Id_Mapa_disponibilidade_agenda, Id_unidade_trabalho, "
    "Id_tipo_procedimento, Data_hora_disponibilidade, Qt_vaga_disponivel_geral, Qt_vaga_disp_f_grande_porte, "
    "Qt_vaga_usada_geral, Qt_vaga_usada_f_grande_porte, Inserido_por, Inserido_em, Id_Especie, COD_AREA_ABRN) "
    "values (:k, :u, :p, :dh, :g, :f, 0, 0, :por, :em, :e, :a)");

QVariantMap keyParams(const SlotValues &v, int exceptId)
{
    return {{QStringLiteral("u"), v.unidade},
            {QStringLiteral("e"), v.especie},
            {QStringLiteral("dh"), v.dataHora},
            {QStringLiteral("p"), v.procedimento},
            {QStringLiteral("k"), exceptId}};
}

} // namespace

SlotStore::SlotStore(Connection &c) : m_c(c) {}

QDateTime SlotStore::toDateTime(const QVariant &v)
{
    if (v.isNull())
        return {};
    QDateTime t = v.toDateTime();
    if (!t.isValid())
        t = QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
    if (!t.isValid())
        t = QDateTime::fromString(v.toString(), Qt::ISODate);
    return t;
}

QDateTime SlotStore::slotDateTime(const QDate &day, int hours, int minutes)
{
    if (hours == 24 && minutes == 0)
        hours = 0;
    return QDateTime(day, QTime(hours, minutes));
}

QList<Slot> SlotStore::day(const QDate &d)
{
    // A half-open day: every slot from its midnight to the next, whatever
    // the engine keeps of the time.
    QSqlQuery q = Sql::exec(m_c,
                            SlotSelect
                                + QStringLiteral("where m.Data_hora_disponibilidade >= :dia and "
                                                 "m.Data_hora_disponibilidade < :seguinte "
                                                 "order by m.Data_hora_disponibilidade, m.Id_unidade_trabalho, "
                                                 "m.Id_Mapa_disponibilidade_agenda"),
                            {{QStringLiteral("dia"), QDateTime(d, QTime(0, 0))},
                             {QStringLiteral("seguinte"), QDateTime(d.addDays(1), QTime(0, 0))}});
    QList<Slot> out;
    while (q.next())
        out << slotFrom(q);
    return out;
}

std::optional<Slot> SlotStore::read(int id)
{
    QSqlQuery q = Sql::exec(m_c, SlotSelect + QStringLiteral("where m.Id_Mapa_disponibilidade_agenda = :k"),
                            {{QStringLiteral("k"), id}});
    if (!q.next())
        return std::nullopt;
    return slotFrom(q);
}

bool SlotStore::duplicate(const SlotValues &v, int exceptId)
{
    return Sql::scalar(m_c, DuplicateCount, keyParams(v, exceptId)).toInt() > 0;
}

QList<int> SlotStore::insert(const SlotValues &v, const QList<int> &areas, const QString &user)
{
    Transaction tx(m_c);
    int key = Keys::nextProgramKey(m_c, Table, KeyColumn);
    if (duplicate(v))
        return {};
    const QDateTime now = serverNow(m_c);
    QList<QVariant> rows;
    for (int a : areas)
        rows << QVariant(a);
    if (rows.isEmpty())
        rows << nullInt();
    QList<int> keys;
    for (const QVariant &area : rows) {
        Sql::exec(m_c, InsertSlot,
                  {{QStringLiteral("k"), key},
                   {QStringLiteral("u"), v.unidade},
                   {QStringLiteral("p"), v.procedimento},
                   {QStringLiteral("dh"), v.dataHora},
                   {QStringLiteral("g"), v.vagaGeral},
                   {QStringLiteral("f"), v.vagaFemea},
                   {QStringLiteral("por"), userValue(user)},
                   {QStringLiteral("em"), now},
                   {QStringLiteral("e"), v.especie},
                   {QStringLiteral("a"), area}});
        keys << key++;
    }
    tx.commit();
    return keys;
}

bool SlotStore::changesBookedKeys(const SlotValues &v, const Slot &loaded)
{
    return v.unidade != loaded.unidade || v.especie != loaded.especie || v.procedimento != loaded.procedimento;
}

bool SlotStore::changesTimeOfDay(const SlotValues &v, const Slot &loaded)
{
    const QTime a = v.dataHora.time(), b = loaded.dataHora.time();
    return QTime(a.hour(), a.minute()) != QTime(b.hour(), b.minute());
}

SlotStore::Outcome SlotStore::alter(int id, const SlotValues &v, const Slot &loaded, const QString &user)
{
    const bool keysChange = changesBookedKeys(v, loaded);
    const bool hourChanges = changesTimeOfDay(v, loaded);
    const bool testDuplicate = keysChange || v.dataHora != loaded.dataHora;
    Transaction tx(m_c);
    if (testDuplicate) {
        // Under the same lock as new slots, so the test holds until commit.
        Keys::lockForKey(m_c, Table);
        if (duplicate(v, id))
            return Outcome::Duplicate;
    }
    // Nothing taken, or the row still as the clerk read it: what a booking
    // depends on is compared with the stored row by the statement itself,
    // so a booking taken between the read and the write is seen.
    const QString nothingTaken =
        QStringLiteral("(coalesce(Qt_vaga_usada_geral, 0) = 0 and coalesce(Qt_vaga_usada_f_grande_porte, 0) = 0)");
    QString sql = QStringLiteral(
        "update mapa_disponibilidade_agenda set Id_unidade_trabalho = :u, Id_tipo_procedimento = :p, "
        "Data_hora_disponibilidade = :dh, Qt_vaga_disponivel_geral = :g, Qt_vaga_disp_f_grande_porte = :f, "
        "Modificado_por = :por, Modificado_em = :em, Id_Especie = :e "
        "where Id_Mapa_disponibilidade_agenda = :k and coalesce(Qt_vaga_usada_geral, 0) <= :g "
        "and coalesce(Qt_vaga_usada_f_grande_porte, 0) <= :f "
        "and (%1 or (coalesce(Id_unidade_trabalho, 0) = :lu and coalesce(Id_Especie, 0) = :le "
        "and coalesce(Id_tipo_procedimento, 0) = :lp and Data_hora_disponibilidade = :ldh))")
                      .arg(nothingTaken);
    if (keysChange || hourChanges)
        sql += QStringLiteral(" and ") + nothingTaken;
    const QVariantMap params{{QStringLiteral("u"), v.unidade},
                             {QStringLiteral("p"), v.procedimento},
                             {QStringLiteral("dh"), v.dataHora},
                             {QStringLiteral("g"), v.vagaGeral},
                             {QStringLiteral("f"), v.vagaFemea},
                             {QStringLiteral("por"), userValue(user)},
                             {QStringLiteral("em"), serverNow(m_c)},
                             {QStringLiteral("e"), v.especie},
                             {QStringLiteral("k"), id},
                             {QStringLiteral("lu"), loaded.unidade},
                             {QStringLiteral("le"), loaded.especie},
                             {QStringLiteral("lp"), loaded.procedimento},
                             {QStringLiteral("ldh"), loaded.dataHora}};
    // The web booking service may take a place and give it back between the
    // refused update and the read that explains it; then nothing explains
    // the refusal and the update is simply tried again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        QSqlQuery q = Sql::exec(m_c, sql, params);
        if (q.numRowsAffected() == 1) {
            q = QSqlQuery();
            tx.commit();
            return Outcome::Done;
        }
        q = QSqlQuery();
        // Nothing changed: read the slot only to say why.
        const std::optional<Slot> now = read(id);
        if (!now)
            return Outcome::Gone;
        if (v.vagaGeral < now->usadaGeral)
            return Outcome::GeneralBelowTaken;
        if (v.vagaFemea < now->usadaFemea)
            return Outcome::FemaleBelowTaken;
        if (now->usadaGeral > 0 || now->usadaFemea > 0) {
            if (now->unidade != loaded.unidade || now->especie != loaded.especie
                || now->procedimento != loaded.procedimento || now->dataHora != loaded.dataHora)
                return Outcome::Stale;
            if (keysChange)
                return Outcome::KeysTaken;
            if (hourChanges)
                return Outcome::HourTaken;
        }
    }
    // Still refused while every read says it fits: the places are moving
    // under it; say that places were taken rather than report success.
    return Outcome::GeneralBelowTaken;
}

SlotStore::Outcome SlotStore::remove(int id)
{
    // Places taken and given back between the refused delete and the read
    // that explains it: the delete is tried again (a few times at most).
    for (int attempt = 0; attempt < 3; ++attempt) {
        {
            // A transaction of its own: on SQLite it takes the write lock at
            // once, so a concurrent booking waits instead of failing as a
            // deadlock.
            Transaction tx(m_c);
            QSqlQuery q = Sql::exec(m_c,
                                    QStringLiteral("delete from mapa_disponibilidade_agenda where Id_Mapa_disponibilidade_agenda = :k "
                                                   "and coalesce(Qt_vaga_usada_geral, 0) = 0 "
                                                   "and coalesce(Qt_vaga_usada_f_grande_porte, 0) = 0"),
                                    {{QStringLiteral("k"), id}});
            const int n = q.numRowsAffected();
            q = QSqlQuery();
            tx.commit();
            if (n > 0)
                return Outcome::Done;
        }
        const std::optional<Slot> now = read(id);
        if (!now)
            return Outcome::Gone;
        if (now->usadaGeral > 0 || now->usadaFemea > 0)
            return Outcome::Taken;
    }
    return Outcome::Taken;
}

SlotStore::CloneResult SlotStore::clone(const Slot &model, const QList<QDate> &days, const QList<int> &units,
                                        const QString &user, const std::function<bool(int done)> &step)
{
    CloneResult r;
    const QTime time(model.dataHora.time().hour(), model.dataHora.time().minute());
    QList<QDateTime> when;
    for (const QDate &d : days)
        if (const QDateTime t(d, time); !when.contains(t))
            when << t;
    QList<int> unitIds;
    for (int u : units)
        if (!unitIds.contains(u))
            unitIds << u;
    const int candidates = int(when.size() * unitIds.size());
    if (candidates == 0)
        return r;
    Transaction tx(m_c);
    const int key = Keys::nextProgramKey(m_c, Table, KeyColumn);
    // Every day for every unit in one statement: the duplicate test is the
    // statement's own condition, under the key lock, and the keys follow on
    // from the greatest in day and unit order.
    QVariantMap p{{QStringLiteral("base"), key - 1},
                  {QStringLiteral("p"), model.procedimento},
                  {QStringLiteral("g"), model.vagaGeral},
                  {QStringLiteral("f"), model.vagaFemea},
                  {QStringLiteral("por"), userValue(user)},
                  {QStringLiteral("em"), serverNow(m_c)},
                  {QStringLiteral("e"), model.especie}};
    const QString unitRows = ValueRows::integers(m_c.dialect(), unitIds, QStringLiteral("u"), QStringLiteral("u"), p);
    const QString dayRows = ValueRows::dateTimes(m_c.dialect(), when, QStringLiteral("d"), QStringLiteral("dh"), p);
    const QString sql = QStringLiteral(
        "insert into mapa_disponibilidade_agenda (Id_Mapa_disponibilidade_agenda, Id_unidade_trabalho, "
        "Id_tipo_procedimento, Data_hora_disponibilidade, Qt_vaga_disponivel_geral, Qt_vaga_disp_f_grande_porte, "
        "Qt_vaga_usada_geral, Qt_vaga_usada_f_grande_porte, Inserido_por, Inserido_em, Id_Especie, COD_AREA_ABRN) "
        "select :base + row_number() over (order by c.dh, c.u), c.u, :p, c.dh, :g, :f, 0, 0, :por, :em, :e, null "
        "from (select un.u, dd.dh from %1 un cross join %2 dd) c "
        "where not exists (select 1 from mapa_disponibilidade_agenda m where m.Id_unidade_trabalho = c.u "
        "and m.Id_Especie = :e and m.Data_hora_disponibilidade = c.dh and m.Id_tipo_procedimento = :p)")
                            .arg(unitRows, dayRows);
    QSqlQuery q = Sql::exec(m_c, sql, p);
    r.inserted = q.numRowsAffected();
    q = QSqlQuery();
    r.skipped = candidates - r.inserted;
    if (step && !step(candidates)) {
        r.cancelled = true;
        r.inserted = 0;
        r.skipped = 0;
        return r; // rolled back
    }
    tx.commit();
    return r;
}

QList<SlotStore::SummaryRow> SlotStore::monthSummary(const QDate &anyDayOfMonth)
{
    const QDate first(anyDayOfMonth.year(), anyDayOfMonth.month(), 1);
    const QString sql =
        QStringLiteral("select ut.Nome, md.Id_unidade_trabalho, md.Data_hora_disponibilidade, md.COD_AREA_ABRN, "
                       "aa.DES_AREA_ABRN, sum(md.Qt_vaga_disponivel_geral), sum(md.Qt_vaga_disp_f_grande_porte), "
                       "sum(md.Qt_vaga_usada_geral), sum(md.Qt_vaga_usada_f_grande_porte) "
                       "from mapa_disponibilidade_agenda md "
                       "left join unidade_trabalho ut on (ut.Id_Unidade_Trabalho = md.Id_unidade_trabalho) "
                       "left join %1 aa on (md.COD_AREA_ABRN = aa.COD_AREA_ABRN) "
                       "where md.Data_hora_disponibilidade >= :inicio and md.Data_hora_disponibilidade < :fim "
                       "group by ut.Nome, md.Id_unidade_trabalho, md.Data_hora_disponibilidade, md.COD_AREA_ABRN, "
                       "aa.DES_AREA_ABRN "
                       "order by ut.Nome, md.Id_unidade_trabalho, md.Data_hora_disponibilidade, md.COD_AREA_ABRN, "
                       "aa.DES_AREA_ABRN")
            .arg(m_c.dialect().addressTable(QStringLiteral("AreaAbrang")));
    QSqlQuery q = Sql::exec(m_c, sql,
                            {{QStringLiteral("inicio"), QDateTime(first, QTime(0, 0))},
                             {QStringLiteral("fim"), QDateTime(first.addMonths(1), QTime(0, 0))}});
    QList<SummaryRow> out;
    while (q.next()) {
        SummaryRow r;
        r.unidadeNome = Sql::text(q.value(0));
        r.unidade = intOf(q.value(1));
        r.dataHora = toDateTime(q.value(2));
        r.area = q.value(3).isNull() ? QVariant() : QVariant(q.value(3).toInt());
        r.areaDescricao = Sql::text(q.value(4));
        r.vagaGeral = intOf(q.value(5));
        r.vagaFemea = intOf(q.value(6));
        r.usadaGeral = intOf(q.value(7));
        r.usadaFemea = intOf(q.value(8));
        out << r;
    }
    return out;
}

QString SlotStore::monthSummaryText(const QList<SummaryRow> &rows)
{
    QStringList lines;
    const QString separator(95, QLatin1Char('-'));
    int g = 0, f = 0, ug = 0, uf = 0;
    auto closeUnit = [&] {
        lines << separator
              << QStringLiteral("Total de vagas geral:%1 total de vagas Fêmea:%2  qt usada geral: %3 qt usada fêmea:%4")
                     .arg(g)
                     .arg(f)
                     .arg(ug)
                     .arg(uf)
              << QStringLiteral("  ");
        g = f = ug = uf = 0;
    };
    bool first = true;
    int unit = 0;
    QString unitName;
    QDate day;
    for (const SummaryRow &r : rows) {
        if (first || r.unidade != unit || r.unidadeNome != unitName) {
            if (!first)
                closeUnit();
            lines << QStringLiteral("==============") + r.unidadeNome + QStringLiteral("=============");
            unit = r.unidade;
            unitName = r.unidadeNome;
            day = QDate();
            first = false;
        }
        if (r.dataHora.date() != day) {
            day = r.dataHora.date();
            lines << QStringLiteral("Dia %1 de %2 de %3")
                         .arg(day.day(), 2, 10, QLatin1Char('0'))
                         .arg(summaryMonthName(day.month()))
                         .arg(day.year());
        }
        const QString where = r.area.isNull()
                                  ? QStringLiteral(" Vaga para toda regional")
                                  : QStringLiteral(" ") + r.area.toString() + QStringLiteral(" - ") + r.areaDescricao;
        lines << QStringLiteral("   *  ") + r.dataHora.time().toString(QStringLiteral("HH:mm")) + QStringLiteral("Hs ") + where
                     + QStringLiteral(", vagas geral:%1, vagas para fêmea:%2, qt usada geral:%3, qt usada fêmea:%4")
                           .arg(r.vagaGeral)
                           .arg(r.vagaFemea)
                           .arg(r.usadaGeral)
                           .arg(r.usadaFemea);
        g += r.vagaGeral;
        f += r.vagaFemea;
        ug += r.usadaGeral;
        uf += r.usadaFemea;
    }
    closeUnit();
    return lines.join(QLatin1Char('\n'));
}

QString cloneMonthName(int month)
{
    static const char *names[] = {"Janeiro", "Fevereiro", "Março", "Abriu", "Maio", "Junho",
                                  "Julho", "Agosto", "Setembro", "Outubro", "Novembro", "Dezembro"};
    return month >= 1 && month <= 12 ? QString::fromUtf8(names[month - 1]) : QString();
}

QString summaryMonthName(int month)
{
    return month == 4 ? QStringLiteral("Abril") : cloneMonthName(month);
}
