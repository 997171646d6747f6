#include "scheduling/AttendanceStore.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Keys.h"
#include "db/RowChange.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "db/Transaction.h"

#include <QSqlQuery>

namespace {

QVariant user()
{
    bool ok = false;
    const int id = usuarioLogado().IdUsuario.toInt(&ok);
    return ok ? QVariant(id) : QVariant();
}

QVariantMap values(const Atendimento &a)
{
    return {{QStringLiteral("Id_Proprietario"), a.Id_Proprietario},
            {QStringLiteral("Id_Animal"), a.Id_Animal},
            {QStringLiteral("Id_Unidade_Trabalho"), a.Id_Unidade_Trabalho},
            {QStringLiteral("Id_Unidade_Agendada"), a.Id_Unidade_Agendada},
            {QStringLiteral("Data_Hora_Atendimento"), a.Data_Hora_Atendimento},
            {QStringLiteral("Id_Atendimento_Status"), a.Id_Atendimento_Status},
            {QStringLiteral("Ind_Autoriza_Cirurgia"), a.Ind_Autoriza_Cirurgia}};
}

// The animal's sterilized flag is the animal's own column: written only
// when the clerk changed it from what was read with the animal, and only
// while it still holds that (a vet may have marked the animal meanwhile).
void writeFlag(Connection &c, const QVariant &idAnimal, const QString &flag, const QString &loadedFlag)
{
    if (flag.isEmpty() || !idAnimal.isValid() || idAnimal.isNull())
        return;
    RowChange change(QStringLiteral("animal"), QStringLiteral("Id_Animal"), idAnimal);
    change.column(QStringLiteral("Esterilizado"), loadedFlag, flag);
    change.apply(c);
}

bool exists(Connection &c, const QString &sql, const QVariantMap &p)
{
    return Sql::scalar(c, sql, p).isValid();
}

} // namespace

std::optional<Atendimento> AttendanceStore::load(int id)
{
    QSqlQuery q = Sql::exec(m_c,
                            QStringLiteral("select Id_Atendimento, Id_Proprietario, Id_Animal, Id_Unidade_Trabalho, "
                                           "Id_Unidade_Agendada, Data_Hora_Atendimento, Id_Atendimento_Status, "
                                           "Ind_Autoriza_Cirurgia from atendimento where Id_Atendimento = :id"),
                            {{QStringLiteral("id"), id}});
    if (!q.next())
        return std::nullopt;
    Atendimento a;
    a.Id_Atendimento = q.value(0).toInt();
    a.Id_Proprietario = q.value(1);
    a.Id_Animal = q.value(2);
    a.Id_Unidade_Trabalho = q.value(3);
    a.Id_Unidade_Agendada = q.value(4);
    a.Data_Hora_Atendimento = q.value(5).toDateTime();
    a.Id_Atendimento_Status = q.value(6);
    a.Ind_Autoriza_Cirurgia = Sql::text(q.value(7));
    return a;
}

QString AttendanceStore::esterilizado(const QVariant &idAnimal)
{
    if (!idAnimal.isValid() || idAnimal.isNull())
        return {};
    return Sql::text(Sql::scalar(m_c, QStringLiteral("select Esterilizado from animal where Id_Animal = :a"),
                                 {{QStringLiteral("a"), idAnimal}}));
}

int AttendanceStore::insert(const Atendimento &a, const QString &flag, const QString &loadedFlag)
{
    const QDateTime now = serverNow(m_c);
    Transaction tx(m_c);
    writeFlag(m_c, a.Id_Animal, flag, loadedFlag);
    QVariantMap p = values(a);
    p.insert(QStringLiteral("Inserido_Por"), user());
    p.insert(QStringLiteral("Inserido_Em"), now);
    const QVariant key = Keys::insertReturningKey(
        m_c,
        QStringLiteral("insert into atendimento (Id_Proprietario, Id_Animal, Id_Unidade_Trabalho, Id_Unidade_Agendada, "
                       "Data_Hora_Atendimento, Id_Atendimento_Status, Inserido_Por, Inserido_Em, Ind_Autoriza_Cirurgia) "
                       "values (:Id_Proprietario, :Id_Animal, :Id_Unidade_Trabalho, :Id_Unidade_Agendada, "
                       ":Data_Hora_Atendimento, :Id_Atendimento_Status, :Inserido_Por, :Inserido_Em, :Ind_Autoriza_Cirurgia)"),
        p, QStringLiteral("Id_Atendimento"));
    tx.commit();
    return key.toInt();
}

bool AttendanceStore::update(const Atendimento &a, const Atendimento &loaded, const QString &flag, const QString &loadedFlag)
{
    const QDateTime now = serverNow(m_c);
    Transaction tx(m_c);
    RowChange change(QStringLiteral("atendimento"), QStringLiteral("Id_Atendimento"), a.Id_Atendimento);
    change.columns(values(loaded), values(a));
    change.stamp(QStringLiteral("Modificado_Por"), user());
    change.stamp(QStringLiteral("Modificado_Em"), now);
    try {
        change.apply(m_c);
    } catch (const StaleRecord &e) {
        if (e.deleted())
            return false;
        throw;
    }
    writeFlag(m_c, a.Id_Animal, flag, loadedFlag);
    tx.commit();
    return true;
}

AttendanceStore::Removal AttendanceStore::remove(int id)
{
    const QVariantMap p{{QStringLiteral("id"), id}};
    Transaction tx(m_c);
    for (const char *table : {"atendimento_profissional", "procedimento", "medicamento_gasto", "receituario"})
        if (exists(m_c, QStringLiteral("select 1 from %1 where Id_Atendimento = :id").arg(QLatin1String(table)), p))
            return Removal::HasClinicalRows;
    QSqlQuery q = Sql::exec(m_c, QStringLiteral("delete from atendimento where Id_Atendimento = :id"), p);
    if (q.numRowsAffected() != 1)
        return Removal::Missing;
    tx.commit();
    return Removal::Removed;
}

AttendanceStore::Added AttendanceStore::addProfessional(int idAtendimento, int idProfissional)
{
    const QDateTime now = serverNow(m_c);
    const QVariantMap p{{QStringLiteral("a"), idAtendimento}, {QStringLiteral("p"), idProfissional}};
    Transaction tx(m_c);
    Keys::lockForKey(m_c, QStringLiteral("atendimento_profissional"));
    if (exists(m_c, QStringLiteral("select 1 from atendimento_profissional where Id_Profissional = :p and Id_Atendimento = :a"), p))
        return Added::Duplicate;
    QVariantMap ins = p;
    ins.insert(QStringLiteral("u"), user());
    ins.insert(QStringLiteral("t"), now);
    Sql::exec(m_c,
              QStringLiteral("insert into atendimento_profissional (Id_Profissional, Id_Atendimento, Inserido_Por, Inserido_Em) "
                             "values (:p, :a, :u, :t)"),
              ins);
    tx.commit();
    return Added::Added;
}

void AttendanceStore::removeProfessional(int idAtendimento, int idProfissional)
{
    Transaction tx(m_c);
    Sql::exec(m_c, QStringLiteral("delete from atendimento_profissional where Id_Profissional = :p and Id_Atendimento = :a"),
              {{QStringLiteral("a"), idAtendimento}, {QStringLiteral("p"), idProfissional}});
    tx.commit();
}

AttendanceStore::Added AttendanceStore::addProcedure(int idAtendimento, int idTipo)
{
    const QDateTime now = serverNow(m_c);
    const QVariantMap p{{QStringLiteral("a"), idAtendimento}, {QStringLiteral("t"), idTipo}};
    Transaction tx(m_c);
    Keys::lockForKey(m_c, QStringLiteral("procedimento"));
    if (exists(m_c, QStringLiteral("select 1 from procedimento where Id_Tipo_Procedimento = :t and Id_Atendimento = :a"), p))
        return Added::Duplicate;
    QVariantMap ins = p;
    ins.insert(QStringLiteral("u"), user());
    ins.insert(QStringLiteral("em"), now);
    Keys::insertReturningKey(m_c,
                             QStringLiteral("insert into procedimento (Id_Atendimento, Id_Tipo_Procedimento, Inserido_Por, "
                                            "Inserido_Em) values (:a, :t, :u, :em)"),
                             ins, QStringLiteral("Id_Procedimento"));
    tx.commit();
    return Added::Added;
}

void AttendanceStore::removeProcedure(int idProcedimento)
{
    Transaction tx(m_c);
    Sql::exec(m_c, QStringLiteral("delete from procedimento where Id_Procedimento = :id"), {{QStringLiteral("id"), idProcedimento}});
    tx.commit();
}

AttendanceStore::Added AttendanceStore::addMedicine(int idAtendimento, int idMedicamento, double quantidade)
{
    const QDateTime now = serverNow(m_c);
    const QVariantMap p{{QStringLiteral("a"), idAtendimento}, {QStringLiteral("m"), idMedicamento}};
    Transaction tx(m_c);
    const int key = Keys::nextProgramKey(m_c, QStringLiteral("medicamento_gasto"), QStringLiteral("Id_Medicamento_Gasto"));
    if (exists(m_c, QStringLiteral("select 1 from medicamento_gasto where Id_Atendimento = :a and Id_Medicamento = :m"), p))
        return Added::Duplicate;
    QVariantMap ins = p;
    ins.insert(QStringLiteral("k"), key);
    ins.insert(QStringLiteral("q"), quantidade);
    ins.insert(QStringLiteral("u"), user());
    ins.insert(QStringLiteral("t"), now);
    Sql::exec(m_c,
              QStringLiteral("insert into medicamento_gasto (Id_Medicamento_Gasto, Id_Medicamento, Id_Atendimento, Quantidade, "
                             "Inserido_Por, Inserido_Em) values (:k, :m, :a, :q, :u, :t)"),
              ins);
    tx.commit();
    return Added::Added;
}

void AttendanceStore::removeMedicine(int id)
{
    Transaction tx(m_c);
    Sql::exec(m_c, QStringLiteral("delete from medicamento_gasto where Id_Medicamento_Gasto = :id"), {{QStringLiteral("id"), id}});
    tx.commit();
}

int AttendanceStore::insertPrescription(int idAtendimento, const QString &descricao)
{
    const QDateTime now = serverNow(m_c);
    Transaction tx(m_c);
    const int key = Keys::nextProgramKey(m_c, QStringLiteral("receituario"), QStringLiteral("Id_Receituario"));
    Sql::exec(m_c,
              QStringLiteral("insert into receituario (Id_Receituario, Id_Atendimento, Descricao, Inserido_Por, Inserido_Em) "
                             "values (:k, :a, :d, :u, :t)"),
              {{QStringLiteral("k"), key},
               {QStringLiteral("a"), idAtendimento},
               {QStringLiteral("d"), descricao},
               {QStringLiteral("u"), user()},
               {QStringLiteral("t"), now}});
    tx.commit();
    return key;
}

void AttendanceStore::updatePrescription(int id, const QString &descricao)
{
    const QDateTime now = serverNow(m_c);
    Transaction tx(m_c);
    Sql::exec(m_c,
              QStringLiteral("update receituario set Descricao = :d, Modificado_Por = :u, Modificado_Em = :t "
                             "where Id_Receituario = :id"),
              {{QStringLiteral("d"), descricao}, {QStringLiteral("u"), user()}, {QStringLiteral("t"), now}, {QStringLiteral("id"), id}});
    tx.commit();
}

void AttendanceStore::removePrescription(int id)
{
    Transaction tx(m_c);
    Sql::exec(m_c, QStringLiteral("delete from receituario where Id_Receituario = :id"), {{QStringLiteral("id"), id}});
    tx.commit();
}

QString guidanceText(const QString &stored)
{
    QString out;
    const QString mark = QStringLiteral("<br>");
    int i = 0;
    while (i < stored.size()) {
        if (stored.mid(i, mark.size()).compare(mark, Qt::CaseInsensitive) == 0) {
            out += QStringLiteral(" - ");
            i += mark.size();
            if (stored.mid(i, 2) == QLatin1String("\r\n"))
                i += 2;
            else if (i < stored.size() && (stored.at(i) == QLatin1Char(' ') || stored.at(i) == QLatin1Char('\n')
                                           || stored.at(i) == QLatin1Char('\r')))
                ++i;
            continue;
        }
        out += stored.at(i++);
    }
    return out;
}
