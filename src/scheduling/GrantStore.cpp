#include "scheduling/GrantStore.h"
#include "db/DataModule.h"
#include "db/Keys.h"
#include "db/ServerClock.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "scheduling/SlotStore.h"

#include <QSqlQuery>

GrantStore::GrantStore(Connection &c) : m_c(c) {}

std::optional<int> GrantStore::ownerCode(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 9)
        return std::nullopt;
    for (QChar ch : t)
        if (!ch.isDigit() || ch.unicode() > 0x7f)
            return std::nullopt;
    return t.toInt();
}

QList<Grant> GrantStore::live()
{
    QSqlQuery q = Sql::exec(m_c, QStringLiteral(
        "select agen.Id_Agendamento_Especial, agen.Id_Proprietario, prop.Nome, agen.Qt_Agendamento_Reservado, "
        "agen.Inserido_Em from agendamento_especial agen "
        "left join proprietario prop on (prop.Id_Proprietario = agen.Id_Proprietario) "
        "where agen.Ind_Registro_Excluido = 'FALSE' "
        "order by agen.Id_Proprietario, agen.Inserido_Em desc, agen.Id_Agendamento_Especial desc"));
    QList<Grant> out;
    while (q.next()) {
        Grant g;
        g.id = q.value(0).toInt();
        g.proprietario = q.value(1).toInt();
        g.nome = Sql::text(q.value(2));
        g.quantidade = q.value(3).toInt();
        g.inseridoEm = SlotStore::toDateTime(q.value(4));
        out << g;
    }
    return out;
}

QList<GrantOwner> GrantStore::owners(const QString &codigo, const QString &nome)
{
    QString sql = QStringLiteral("select Id_Proprietario, Nome, Telefone_Residencial, Tipo_Pessoa, Num_CPF_CNPJ, Num_CI, "
                                 "Email_Proprietario, Inserido_Em from proprietario where 1 = 1");
    QVariantMap p;
    if (!codigo.trimmed().isEmpty()) {
        const std::optional<int> code = ownerCode(codigo);
        if (!code)
            return {};
        sql += QStringLiteral(" and Id_Proprietario = :codigo");
        p.insert(QStringLiteral("codigo"), *code);
    }
    if (!nome.trimmed().isEmpty()) {
        sql += QStringLiteral(" and ") + m_c.dialect().containsCondition(QStringLiteral("Nome"), QStringLiteral(":nome"));
        p.insert(QStringLiteral("nome"), m_c.dialect().containsValue(nome));
    }
    // Two are enough to know it is not exactly one.
    sql = m_c.dialect().paged(sql + QStringLiteral(" order by Id_Proprietario"), 2, 0);
    QSqlQuery q = Sql::exec(m_c, sql, p);
    QList<GrantOwner> out;
    while (q.next()) {
        GrantOwner o;
        o.id = q.value(0).toInt();
        o.nome = Sql::text(q.value(1));
        o.telefone = Sql::text(q.value(2));
        o.tipoPessoa = Sql::text(q.value(3));
        o.cpfCnpj = Sql::text(q.value(4));
        o.ci = Sql::text(q.value(5));
        o.email = Sql::text(q.value(6));
        o.inseridoEm = SlotStore::toDateTime(q.value(7));
        out << o;
    }
    return out;
}

bool GrantStore::ownerExists(int owner)
{
    return Sql::scalar(m_c, QStringLiteral("select count(*) from proprietario where Id_Proprietario = :o"),
                       {{QStringLiteral("o"), owner}})
               .toInt()
           > 0;
}

QList<QPair<QString, int>> GrantStore::appointmentsByStatus(int owner)
{
    QSqlQuery q = Sql::exec(m_c, QStringLiteral(
        "select ats.Nome, count(*) from atendimento ate "
        "left join atendimento_status ats on (ate.Id_Atendimento_Status = ats.Id_Atendimento_Status) "
        "where ats.Id_Atendimento_Status <> 7 and ate.Id_Proprietario = :o group by ats.Nome order by ats.Nome"),
                            {{QStringLiteral("o"), owner}});
    QList<QPair<QString, int>> out;
    while (q.next())
        out.append({Sql::text(q.value(0)), q.value(1).toInt()});
    return out;
}

int GrantStore::allowanceTotal(int owner)
{
    return Sql::scalar(m_c, QStringLiteral("select coalesce(sum(Qt_Agendamento_Reservado), 0) from agendamento_especial "
                                           "where Ind_Registro_Excluido = 'FALSE' and Id_Proprietario = :o"),
                       {{QStringLiteral("o"), owner}})
        .toInt();
}

int GrantStore::appointmentsHeld(int owner)
{
    return Sql::scalar(m_c, QStringLiteral("select count(*) from atendimento where Id_Atendimento_Status <> 7 "
                                           "and Id_Proprietario = :o"),
                       {{QStringLiteral("o"), owner}})
        .toInt();
}

QList<GrantAppointment> GrantStore::appointments(int owner)
{
    QSqlQuery q = Sql::exec(m_c, QStringLiteral(
        "select ani.Nome, ats.Nome, ate.Data_Hora_Atendimento, utra.Nome from atendimento ate "
        "left join atendimento_status ats on (ate.Id_Atendimento_Status = ats.Id_Atendimento_Status) "
        "left join animal ani on (ate.Id_Animal = ani.Id_Animal) "
        "left join unidade_trabalho utra on (ate.Id_Unidade_Agendada = utra.Id_Unidade_Trabalho) "
        "where ate.Id_Proprietario = :o order by ate.Data_Hora_Atendimento, ate.Id_Atendimento"),
                            {{QStringLiteral("o"), owner}});
    QList<GrantAppointment> out;
    while (q.next())
        out << GrantAppointment{Sql::text(q.value(0)), Sql::text(q.value(1)), SlotStore::toDateTime(q.value(2)),
                                Sql::text(q.value(3))};
    return out;
}

int GrantStore::grant(int owner, int quantity, const QString &user)
{
    Transaction tx(m_c);
    const int key = Keys::nextProgramKey(m_c, QStringLiteral("agendamento_especial"), QStringLiteral("Id_Agendamento_Especial"));
    bool ok = false;
    const int userId = user.toInt(&ok);
    Sql::exec(m_c, QStringLiteral("insert into agendamento_especial (Id_Agendamento_Especial, Id_Proprietario, "
                                  "Qt_Agendamento_Reservado, Ind_Registro_Excluido, Inserido_Por, Inserido_Em) "
                                  "values (:k, :o, :q, 'FALSE', :por, :em)"),
              {{QStringLiteral("k"), key},
               {QStringLiteral("o"), owner},
               {QStringLiteral("q"), quantity},
               {QStringLiteral("por"), ok ? QVariant(userId) : QVariant(QMetaType::fromType<int>())},
               {QStringLiteral("em"), serverNow(m_c)}});
    tx.commit();
    return key;
}

bool GrantStore::withdraw(int grantId, int owner, const QString &user)
{
    bool ok = false;
    const int userId = user.toInt(&ok);
    QSqlQuery q = Sql::exec(m_c, QStringLiteral("update agendamento_especial set Ind_Registro_Excluido = 'TRUE', "
                                                "Excluido_em = :em, Excluido_por = :por "
                                                "where Id_Agendamento_Especial = :k and Id_Proprietario = :o "
                                                "and Ind_Registro_Excluido = 'FALSE'"),
                            {{QStringLiteral("em"), serverNow(m_c)},
                             {QStringLiteral("por"), ok ? QVariant(userId) : QVariant(QMetaType::fromType<int>())},
                             {QStringLiteral("k"), grantId},
                             {QStringLiteral("o"), owner}});
    return q.numRowsAffected() == 1;
}
