#include "scheduling/DraftStore.h"
#include "db/DataModule.h"
#include "db/Keys.h"
#include "db/ServerClock.h"
#include "db/Sql.h"
#include "db/Transaction.h"

#include <QSqlQuery>

namespace {

QVariant userValue(const QString &user)
{
    bool ok = false;
    const int id = user.trimmed().toInt(&ok);
    return ok ? QVariant(id) : QVariant(QMetaType::fromType<int>());
}

QVariantMap slotParams(const SlotValues &v)
{
    return {{QStringLiteral("u"), v.unidade},
            {QStringLiteral("p"), v.procedimento},
            {QStringLiteral("dh"), v.dataHora},
            {QStringLiteral("g"), v.vagaGeral},
            {QStringLiteral("f"), v.vagaFemea},
            {QStringLiteral("e"), v.especie}};
}

} // namespace

DraftStore::DraftStore(Connection &c) : m_c(c) {}

QList<Draft> DraftStore::planned()
{
    QSqlQuery q = Sql::exec(m_c, QStringLiteral(
        "select mr.Id_Mapa_rascunho, mr.Id_unidade_trabalho, mr.Id_tipo_procedimento, mr.Id_Especie, "
        "mr.Data_hora_disponibilidade, mr.Qt_vaga_disponivel_geral, mr.Qt_vaga_disp_f_grande_porte, "
        "ut.Nome, tp.Nome, ep.Nome, us.Nome, mr.Inserido_em "
        "from mapa_rascunho mr "
        "left join unidade_trabalho ut on (ut.Id_Unidade_Trabalho = mr.Id_unidade_trabalho) "
        "left join tipo_procedimento tp on (tp.Id_Tipo_Procedimento = mr.Id_tipo_procedimento) "
        "left join especie ep on (ep.Id_Especie = mr.Id_Especie) "
        "left join usuario us on (us.Id_Usuario = mr.Inserido_por) "
        "where mr.Status_Registro = 'ATIVO' order by mr.Id_Mapa_rascunho"));
    QList<Draft> out;
    while (q.next()) {
        Draft d;
        d.id = q.value(0).toInt();
        d.unidade = q.value(1).toInt();
        d.procedimento = q.value(2).toInt();
        d.especie = q.value(3).toInt();
        d.dataHora = SlotStore::toDateTime(q.value(4));
        d.vagaGeral = q.value(5).toInt();
        d.vagaFemea = q.value(6).toInt();
        d.unidadeNome = Sql::text(q.value(7)).toUpper();
        d.procedimentoNome = Sql::text(q.value(8)).toUpper();
        d.especieNome = Sql::text(q.value(9)).toUpper();
        d.inseridoPorNome = Sql::text(q.value(10)).toUpper();
        d.inseridoEm = SlotStore::toDateTime(q.value(11));
        out << d;
    }
    return out;
}

bool DraftStore::publishedDuplicate(const SlotValues &v)
{
    return SlotStore(m_c).duplicate(v);
}

bool DraftStore::draftDuplicate(const SlotValues &v, int exceptId)
{
    QVariantMap p = slotParams(v);
    p.remove(QStringLiteral("g"));
    p.remove(QStringLiteral("f"));
    p.insert(QStringLiteral("k"), exceptId);
    return Sql::scalar(m_c, QStringLiteral("select count(*) from mapa_rascunho where Id_unidade_trabalho = :u and "
                                           "Id_Especie = :e and Data_hora_disponibilidade = :dh and "
                                           "Id_tipo_procedimento = :p and Status_Registro <> 'INATIVO' and "
                                           "Id_Mapa_rascunho <> :k"),
                       p)
               .toInt()
           > 0;
}

namespace {

const QString SlotTable = QStringLiteral("mapa_disponibilidade_agenda");
const QString SlotKey = QStringLiteral("Id_Mapa_disponibilidade_agenda");
const QString DraftTable = QStringLiteral("mapa_rascunho");
const QString DraftKey = QStringLiteral("Id_Mapa_rascunho");

} // namespace

DraftStore::Saved DraftStore::insert(const SlotValues &v, const QString &user, int *keyOut)
{
    Transaction tx(m_c);
    Keys::lockTable(m_c, SlotTable, SlotKey);
    const int key = Keys::nextProgramKey(m_c, DraftTable, DraftKey);
    if (publishedDuplicate(v))
        return Saved::PublishedDuplicate;
    if (draftDuplicate(v, 0))
        return Saved::DraftDuplicate;
    QVariantMap p = slotParams(v);
    p.insert(QStringLiteral("k"), key);
    p.insert(QStringLiteral("por"), userValue(user));
    p.insert(QStringLiteral("em"), serverNow(m_c));
    Sql::exec(m_c, QStringLiteral("insert into mapa_rascunho (Id_Mapa_rascunho, Id_unidade_trabalho, Id_tipo_procedimento, "
                                  "Data_hora_disponibilidade, Qt_vaga_disponivel_geral, Qt_vaga_disp_f_grande_porte, "
                                  "Inserido_por, Id_Especie, Status_Registro, Inserido_em, Qt_vaga_usada_geral, "
                                  "Qt_vaga_usada_f_grande_porte) values (:k, :u, :p, :dh, :g, :f, :por, :e, 'ATIVO', :em, 0, 0)"),
              p);
    tx.commit();
    if (keyOut)
        *keyOut = key;
    return Saved::Done;
}

DraftStore::Saved DraftStore::alter(int id, const SlotValues &v, const QString &user)
{
    Transaction tx(m_c);
    Keys::lockTable(m_c, SlotTable, SlotKey);
    Keys::lockTable(m_c, DraftTable, DraftKey);
    if (publishedDuplicate(v))
        return Saved::PublishedDuplicate;
    if (draftDuplicate(v, id))
        return Saved::DraftDuplicate;
    QVariantMap p = slotParams(v);
    p.insert(QStringLiteral("k"), id);
    p.insert(QStringLiteral("por"), userValue(user));
    p.insert(QStringLiteral("em"), serverNow(m_c));
    QSqlQuery q = Sql::exec(m_c, QStringLiteral("update mapa_rascunho set Id_unidade_trabalho = :u, Id_tipo_procedimento = :p, "
                                                "Data_hora_disponibilidade = :dh, Qt_vaga_disponivel_geral = :g, "
                                                "Qt_vaga_disp_f_grande_porte = :f, Id_Especie = :e, Modificado_por = :por, "
                                                "Modificado_em = :em where Id_Mapa_rascunho = :k and Status_Registro = 'ATIVO'"),
                            p);
    const bool changed = q.numRowsAffected() == 1;
    q = QSqlQuery();
    if (!changed)
        return Saved::Gone;
    tx.commit();
    return Saved::Done;
}

bool DraftStore::remove(int id)
{
    QSqlQuery q = Sql::exec(m_c, QStringLiteral("update mapa_rascunho set Status_Registro = 'INATIVO' "
                                                "where Id_Mapa_rascunho = :k and Status_Registro = 'ATIVO'"),
                            {{QStringLiteral("k"), id}});
    return q.numRowsAffected() == 1;
}

DraftStore::PublishResult DraftStore::publish(const std::function<bool(int, int)> &step)
{
    PublishResult r;
    Transaction tx(m_c);
    // The key lock first: a second workstation publishing now waits here and
    // then finds the drafts already claimed.
    int key = Keys::nextProgramKey(m_c, SlotTable, SlotKey);
    Keys::lockTable(m_c, DraftTable, DraftKey);
    QList<int> drafts;
    {
        QSqlQuery q = Sql::exec(m_c, QStringLiteral("select Id_Mapa_rascunho from mapa_rascunho where Status_Registro = 'ATIVO' "
                                                    "order by Id_Mapa_rascunho"));
        while (q.next())
            drafts << q.value(0).toInt();
    }
    const QDateTime now = serverNow(m_c);
    int done = 0;
    for (int d : drafts) {
        // The claim itself refuses a draft already in the map (including one
        // published a moment ago from an identical draft).
        QSqlQuery claim = Sql::exec(m_c, QStringLiteral("update mapa_rascunho set Status_Registro = 'INATIVO', "
                                                        "Id_mapa_disponibilidade_agenda = :k where Id_Mapa_rascunho = :d "
                                                        "and Status_Registro = 'ATIVO' and not exists (select 1 from "
                                                        "mapa_disponibilidade_agenda m where "
                                                        "m.Id_unidade_trabalho = mapa_rascunho.Id_unidade_trabalho and "
                                                        "m.Id_Especie = mapa_rascunho.Id_Especie and "
                                                        "m.Data_hora_disponibilidade = mapa_rascunho.Data_hora_disponibilidade and "
                                                        "m.Id_tipo_procedimento = mapa_rascunho.Id_tipo_procedimento)"),
                                    {{QStringLiteral("k"), key}, {QStringLiteral("d"), d}});
        const bool claimed = claim.numRowsAffected() == 1;
        claim = QSqlQuery();
        if (!claimed
            && Sql::scalar(m_c, QStringLiteral("select count(*) from mapa_rascunho where Id_Mapa_rascunho = :d and "
                                               "Status_Registro = 'ATIVO'"),
                           {{QStringLiteral("d"), d}})
                       .toInt()
                   > 0)
            ++r.skipped;
        if (claimed) {
            // The stored date-hour is copied as it is.
            Sql::exec(m_c, QStringLiteral("insert into mapa_disponibilidade_agenda (Id_Mapa_disponibilidade_agenda, "
                                          "Id_unidade_trabalho, Id_tipo_procedimento, Data_hora_disponibilidade, "
                                          "Qt_vaga_disponivel_geral, Qt_vaga_disp_f_grande_porte, Inserido_por, Id_Especie, "
                                          "Inserido_em, Qt_vaga_usada_geral, Qt_vaga_usada_f_grande_porte) "
                                          "select :k, Id_unidade_trabalho, Id_tipo_procedimento, Data_hora_disponibilidade, "
                                          "Qt_vaga_disponivel_geral, Qt_vaga_disp_f_grande_porte, Inserido_por, Id_Especie, "
                                          ":em, 0, 0 from mapa_rascunho where Id_Mapa_rascunho = :d"),
                      {{QStringLiteral("k"), key}, {QStringLiteral("em"), now}, {QStringLiteral("d"), d}});
            r.slotKeys << key++;
        }
        if (step && !step(++done, int(drafts.size()))) {
            r.slotKeys.clear();
            r.cancelled = true;
            return r; // rolled back
        }
    }
    tx.commit();
    return r;
}

QList<DraftStore::UnitPlan> DraftStore::plannedByUnit()
{
    QSqlQuery q = Sql::exec(m_c, QStringLiteral(
        "select ut.Nome, mr.Id_unidade_trabalho, count(*), sum(mr.Qt_vaga_disponivel_geral), "
        "sum(mr.Qt_vaga_disp_f_grande_porte) from mapa_rascunho mr "
        "left join unidade_trabalho ut on (ut.Id_Unidade_Trabalho = mr.Id_unidade_trabalho) "
        "where mr.Status_Registro = 'ATIVO' group by ut.Nome, mr.Id_unidade_trabalho "
        "order by ut.Nome, mr.Id_unidade_trabalho"));
    QList<UnitPlan> out;
    while (q.next()) {
        UnitPlan u;
        u.unidadeNome = Sql::text(q.value(0)).toUpper();
        if (u.unidadeNome.isEmpty())
            u.unidadeNome = QStringLiteral("UNIDADE ") + Sql::text(q.value(1));
        u.horarios = q.value(2).toInt();
        u.vagaGeral = q.value(3).toInt();
        u.vagaFemea = q.value(4).toInt();
        out << u;
    }
    return out;
}

QString DraftStore::reportStatement()
{
    return QStringLiteral(
        "select mr.Id_unidade_trabalho, ut.Nome as unidade_trabalho, mr.Id_tipo_procedimento, tp.Nome as tipo_procedimento, "
        "mr.Data_hora_disponibilidade, mr.Qt_vaga_disponivel_geral, mr.Qt_vaga_disp_f_grande_porte, mr.Id_Especie, "
        "ep.Nome as especie from mapa_rascunho mr "
        "left join unidade_trabalho ut on (mr.Id_unidade_trabalho = ut.Id_Unidade_Trabalho) "
        "left join tipo_procedimento tp on (mr.Id_tipo_procedimento = tp.Id_Tipo_Procedimento) "
        "left join especie ep on (mr.Id_Especie = ep.Id_Especie) "
        "where mr.Status_Registro = 'ATIVO' "
        "order by mr.Data_hora_disponibilidade, ut.Nome, mr.Id_Mapa_rascunho");
}
