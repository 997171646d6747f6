#pragma once
// Test data shared by the scheduling tests: work units (one with an id above
// 99 and the central one the cloning leaves out), coverage areas, owners with
// appointments, and the staff session.
#include "db/DataModule.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "scheduling/SlotStore.h"

#include <QSqlQuery>

namespace SlotFixture {

inline void fill(DataModule &dm)
{
    Connection &c = dm.main();
    const QList<QPair<int, QString>> units{{1, QStringLiteral("CENTRO DE ZOONOSES")},
                                           {15, QStringLiteral("UNIDADE LESTE")},
                                           {99, QStringLiteral("NÍVEL CENTRAL")},
                                           {120, QStringLiteral("UNIDADE MÓVEL")}};
    for (const auto &[id, nome] : units)
        Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (:i, :n, 'ATIVO')"),
                  {{QStringLiteral("i"), id}, {QStringLiteral("n"), nome}});
    const QString areas = c.dialect().addressTable(QStringLiteral("AreaAbrang"));
    const QList<std::tuple<int, QString, int, QString>> rows{
        {3001, QStringLiteral("JARDIM DAS FLORES"), 2, QStringLiteral("A")},
        {3002, QStringLiteral("VILA NOVA"), 2, QStringLiteral("A")},
        {4001, QStringLiteral("ALTO DA SERRA"), 3, QStringLiteral("A")},
        {4002, QStringLiteral("AREA DESATIVADA"), 3, QStringLiteral("I")}};
    for (const auto &[cod, des, ds, sit] : rows)
        Sql::exec(c, QStringLiteral("insert into %1 (COD_AREA_ABRN, DES_AREA_ABRN, COD_DITR_SANI, SIT_REGT) values (:c, :d, :s, :t)").arg(areas),
                  {{QStringLiteral("c"), cod}, {QStringLiteral("d"), des}, {QStringLiteral("s"), ds}, {QStringLiteral("t"), sit}});
    TUsuarioLogado &s = usuarioLogado();
    s = TUsuarioLogado();
    s.IdUsuario = QStringLiteral("7");
    s.IdPerfil = QStringLiteral("2");
    s.IdUnidadeTrabalho = QStringLiteral("1");
    s.NomeUsuario = QStringLiteral("ATENDENTE");
}

// A slot written straight to the table (as an earlier session or the web
// booking service left it).
inline int addSlot(Connection &c, int id, int unit, const QDateTime &when, int geral, int femea, int especie = 1,
                   int usadaGeral = 0, int usadaFemea = 0, const QVariant &area = QVariant(QMetaType::fromType<int>()))
{
    Sql::exec(c, QStringLiteral("insert into mapa_disponibilidade_agenda (Id_Mapa_disponibilidade_agenda, Id_unidade_trabalho, "
                                "Id_tipo_procedimento, Data_hora_disponibilidade, Qt_vaga_disponivel_geral, "
                                "Qt_vaga_disp_f_grande_porte, Qt_vaga_usada_geral, Qt_vaga_usada_f_grande_porte, Id_Especie, "
                                "COD_AREA_ABRN) values (:k, :u, 12, :d, :g, :f, :ug, :uf, :e, :a)"),
              {{QStringLiteral("k"), id}, {QStringLiteral("u"), unit}, {QStringLiteral("d"), when},
               {QStringLiteral("g"), geral}, {QStringLiteral("f"), femea}, {QStringLiteral("ug"), usadaGeral},
               {QStringLiteral("uf"), usadaFemea}, {QStringLiteral("e"), especie}, {QStringLiteral("a"), area}});
    return id;
}

inline int count(Connection &c, const QString &where = QStringLiteral("1 = 1"), const QVariantMap &p = {})
{
    return Sql::scalar(c, QStringLiteral("select count(*) from mapa_disponibilidade_agenda where ") + where, p).toInt();
}

} // namespace SlotFixture
