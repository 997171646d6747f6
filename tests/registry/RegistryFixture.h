#pragma once
// Test data shared by the registry tests: the sample city as street database,
// work units, districts and the staff user whose session saves owners.
#include "db/DataModule.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "registry/StreetData.h"

#include <QSqlQuery>

namespace RegistryFixture {

// Creates the registry's tables where the schema does not have them yet.
inline void ensureTables(DataModule &dm)
{
    Connection &c = dm.main();
    QSqlQuery probe(c.db());
    if (probe.exec(QStringLiteral("select count(*) from proprietario")))
        return;
    probe = QSqlQuery();
    const bool pg = dm.dialect().engine() == Engine::PostgreSQL;
    const QString key = pg ? QStringLiteral("serial primary key") : QStringLiteral("integer primary key autoincrement");
    const QStringList main = {
        QStringLiteral("create table distrito (Id_Distrito integer primary key, Nome char(50), ind_status char(20))"),
        QStringLiteral("create table endereco (Id_Endereco %1, Id_Distrito integer, COD_AREA_ABRN integer, NUM_LOGR integer, "
                       "NUM_SEQU_LOGR integer, TIP_LOGR char(10), NOM_LOGR varchar(80), NUM_IMOV_LOGR integer, DES_CMPL_ENDR varchar(80), "
                       "NUM_BAIR integer, NOM_BAIR varchar(50), NUM_CEP char(10), num_locl integer, nom_locl varchar(45), End_X float, "
                       "End_Y float, Ind_Endereco_Informado char(3), data_inicial_end timestamp, data_endereco timestamp, "
                       "Inserido_Por integer, Inserido_Em timestamp, Modificado_Por integer, Modificado_Em timestamp)").arg(key),
        QStringLiteral("create table proprietario (Id_Proprietario %1, Nome char(50), Telefone_Residencial char(15), "
                       "Telefone_Celular char(15), Telefone_Recado char(15), Tipo_Pessoa char(8), Num_CPF_CNPJ char(15), Num_CI char(15), "
                       "Email_Proprietario varchar(100), Id_Endereco integer references endereco(Id_Endereco), id_Unidade_Trabalho integer, "
                       "id_usu_web integer, Status_Registro char(20) default 'ATIVO', Inserido_Por integer, Inserido_Em timestamp, "
                       "Modificado_Por integer, Modificado_Em timestamp)").arg(key),
        QStringLiteral("create table usuario (Id_Usuario %1, Nome varchar(50), Senha char(10), Id_Perfil integer, Bloqueado char(3), "
                       "Inativo char(3), Id_Unidade_Trabalho integer, Login char(50), senha_crip char(128), "
                       "Status_Registro char(20) default 'ATIVO', Id_proprietario integer, DDD_TEL_USU char(2), Telefone_usu char(15), "
                       "Num_CPF_CNPJ char(15), Ind_solicitacao_nova_senha char(1), Email_usu varchar(100), Inserido_Por integer, "
                       "Inserido_Em timestamp, Modificado_Por integer, Modificado_Em timestamp)").arg(key),
        QStringLiteral("create table animal (Id_Animal %1, Id_Proprietario integer, Nome char(100), Num_Microchip char(20))").arg(key),
        QStringLiteral("create table Histo_Muda_Proprietario (Id_Histo_Muda_Proprietario integer primary key, Id_Animal integer, "
                       "Id_Anterior_Proprietario integer, Id_Proprietario integer)"),
    };
    for (const QString &s : main)
        Sql::exec(c, s);
    if (pg)
        Sql::exec(c, QStringLiteral("create schema padrao"));
    const QString p = QStringLiteral("padrao.");
    const QStringList padrao = {
        QStringLiteral("create table %1TipoLogradouro (Tip_Logr char(3), Des_Tip_Logr char(20))").arg(p),
        QStringLiteral("create table %1Logradouro (num_logr integer, nom_logr varchar(80))").arg(p),
        QStringLiteral("create table %1logradouroNome (num_logr integer, num_sequ_logr smallint, tip_logr char(10), nom_logr varchar(80))").arg(p),
        QStringLiteral("create table %1cepLogradouro (num_logr integer, num_cep integer, ind_lado_logr char(1), num_imov_inic char(6), num_imov_fina char(6))").arg(p),
        QStringLiteral("create table %1Bairro (NUM_BAIR smallint, NOM_BAIR char(50), TIP_BAIR char(30), TIP_CLSS_BAIR char(1), SIT_REGT char(1))").arg(p),
        QStringLiteral("create table %1BairroLogradouro (NUM_LOGR integer, NUM_BAIR integer, IND_BAIR_CORD char(1))").arg(p),
        QStringLiteral("create table %1logradouroimovel (Num_Logr integer, Num_Imov char(10), Val_Cood_X float, Val_Cood_Y float)").arg(p),
        QStringLiteral("create table %1Localidade (num_locl integer, nom_locl varchar(45))").arg(p),
        QStringLiteral("create table %1AreaAbrang (COD_AREA_ABRN integer, DES_AREA_ABRN char(40), COD_DITR_SANI integer, SIT_REGT char(1))").arg(p),
        QStringLiteral("create view %1pesquisaLograd as select b.TIP_BAIR as tip_bair, b.NUM_BAIR as num_bair, b.NOM_BAIR as nom_bair, "
                       "n.num_logr as NUM_LOGR, n.num_sequ_logr as NUM_SEQU_LOGR, n.tip_logr as tip_logr, n.nom_logr as nom_logr, "
                       "b.TIP_CLSS_BAIR as tip_clss_bair, bl.IND_BAIR_CORD as ind_bair_cord from %2logradouroNome n "
                       "join %2BairroLogradouro bl on (bl.NUM_LOGR = n.num_logr) join %2Bairro b on (b.NUM_BAIR = bl.NUM_BAIR)")
            .arg(p, pg ? p : QString()),
    };
    for (const QString &s : padrao)
        Sql::exec(c, s);
}

// Districts 1 to 9 (9 inactive), work units 1 and 15, the staff session.
inline void fill(DataModule &dm)
{
    ensureTables(dm);
    Connection &c = dm.main();
    for (int d = 1; d <= 9; ++d)
        Sql::exec(c, QStringLiteral("insert into distrito (Id_Distrito, Nome, ind_status) values (:i, :n, :s)"),
                  {{QStringLiteral("i"), d}, {QStringLiteral("n"), QStringLiteral("DISTRITO %1").arg(d)},
                   {QStringLiteral("s"), d == 9 ? QStringLiteral("INATIVO") : QStringLiteral("ATIVO")}});
    QSqlQuery probe(c.db());
    const bool haveUnits = probe.exec(QStringLiteral("select count(*) from unidade_trabalho where Id_Unidade_Trabalho in (1, 15)"))
                           && probe.next() && probe.value(0).toInt() == 2;
    probe = QSqlQuery();
    if (!haveUnits)
        for (int u : {1, 15})
            Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (:i, :n, 'ATIVO')"),
                      {{QStringLiteral("i"), u}, {QStringLiteral("n"), QStringLiteral("UNIDADE %1").arg(u)}});
    StreetData::replaceAll(c, StreetData::sampleCity());
    TUsuarioLogado &s = usuarioLogado();
    s = TUsuarioLogado();
    s.IdUsuario = QStringLiteral("7");
    s.IdPerfil = QStringLiteral("2");
    s.IdUnidadeTrabalho = QStringLiteral("1");
    s.NomeUsuario = QStringLiteral("ATENDENTE");
}

} // namespace RegistryFixture
