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

int DraftStore::insert(const SlotValues &v, const QString &user)
{
    Transaction tx(m_c);
    const int key = Keys::nextProgramKey(m_c, QStringLiteral("mapa_rascunho"), QStringLiteral("Id_Mapa_rascunho"));
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
    return key;
}

bool DraftStore::alter(int id, const SlotValues &v, const QString &user)
{
    QVariantMap p = slotParams(v);
    p.insert(QStringLiteral("k"), id);
    p.insert(QStringLiteral("por"), userValue(user));
    p.insert(QStringLiteral("em"), serverNow(m_c));
    QSqlQuery q = Sql::exec(m_c, QStringLiteral("update mapa_rascunho set Id_unidade_trabalho = :u, Id_tipo_procedimento = :p, "
                                                "Data_hora_disponibilidade = :dh, Qt_vaga_disponivel_geral = :g, "
                                                "Qt_vaga_disp_f_grande_porte = :f, Id_Especie = :e, Modificado_por = :por, "
                                                "Modificado_em = :em where Id_Mapa_rascunho = :k and Status_Registro = 'ATIVO'"),
                            p);
    return q.numRowsAffected() == 1;
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
    int key = Keys::nextProgramKey(m_c, QStringLiteral("mapa_disponibilidade_agenda"),
                                   QStringLiteral("Id_Mapa_disponibilidade_agenda"));
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
        QSqlQuery claim = Sql::exec(m_c, QStringLiteral("update mapa_rascunho set Status_Registro = 'INATIVO', "
                                                        "Id_mapa_disponibilidade_agenda = :k where Id_Mapa_rascunho = :d "
                                                        "and Status_Registro = 'ATIVO'"),
                                    {{QStringLiteral("k"), key}, {QStringLiteral("d"), d}});
        const bool claimed = claim.numRowsAffected() == 1;
        claim = QSqlQuery();
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
