#pragma once
// Rows the login and the permission gate read, written straight into a test
// database. Rows that the reference data may already hold are replaced.
#include "db/DataModule.h"
#include "db/Keys.h"
#include "db/PasswordDigest.h"
#include "db/Sql.h"

#include <QSqlQuery>
#include <QString>

#define APP_NEEDS_TABLES(t)                                                        \
    if (!AppSeed::hasTables((t)->main()))                                           \
        QSKIP("the database has no user and permission tables yet")

namespace AppSeed {

// The login's and the gate's tables; absent only on a branch that predates
// the program's schema.
inline bool hasTables(Connection &c)
{
    QSqlQuery q(c.db());
    return q.exec(QStringLiteral("select count(*) from perfil_form")) && q.exec(QStringLiteral("select count(*) from usuario"));
}

inline QVariantMap p(std::initializer_list<std::pair<QString, QVariant>> l)
{
    QVariantMap m;
    for (const auto &kv : l)
        m.insert(kv.first, kv.second);
    return m;
}

inline bool exists(Connection &c, const QString &table, const QString &key, int id)
{
    return !Sql::scalar(c, QStringLiteral("select %1 from %2 where %1 = :id").arg(key, table), p({{QStringLiteral("id"), id}})).isNull();
}

inline void unit(Connection &c, int id, const QString &nome, const QString &status = QStringLiteral("ATIVO"))
{
    if (exists(c, QStringLiteral("unidade_trabalho"), QStringLiteral("Id_Unidade_Trabalho"), id))
        Sql::exec(c, QStringLiteral("update unidade_trabalho set Nome = :n, Ind_Status = :s where Id_Unidade_Trabalho = :id"),
                  p({{QStringLiteral("id"), id}, {QStringLiteral("n"), nome}, {QStringLiteral("s"), status}}));
    else
        Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (:id, :n, :s)"),
                  p({{QStringLiteral("id"), id}, {QStringLiteral("n"), nome}, {QStringLiteral("s"), status}}));
}

inline void profile(Connection &c, int id, const QString &nome)
{
    if (exists(c, QStringLiteral("perfil"), QStringLiteral("Id_Perfil"), id))
        Sql::exec(c, QStringLiteral("update perfil set Nome = :n where Id_Perfil = :id"),
                  p({{QStringLiteral("id"), id}, {QStringLiteral("n"), nome}}));
    else
        Sql::exec(c, QStringLiteral("insert into perfil (Id_Perfil, Nome, Ind_Status) values (:id, :n, 'ATIVO')"),
                  p({{QStringLiteral("id"), id}, {QStringLiteral("n"), nome}}));
}

inline void form(Connection &c, int id, int tag)
{
    if (exists(c, QStringLiteral("form"), QStringLiteral("Id_Form"), id))
        Sql::exec(c, QStringLiteral("update form set Tag = :t where Id_Form = :id"),
                  p({{QStringLiteral("id"), id}, {QStringLiteral("t"), tag}}));
    else
        Sql::exec(c, QStringLiteral("insert into form (Id_Form, Nome, Tipo_Form, Tag, Ind_Status) values (:id, :n, 'F', :t, 'ATIVO')"),
                  p({{QStringLiteral("id"), id}, {QStringLiteral("n"), QStringLiteral("Form %1").arg(id)}, {QStringLiteral("t"), tag}}));
}

// Flags in the order visualizar, incluir, alterar, excluir, imprimir.
inline void permission(Connection &c, int perfil, int idForm, const QString &flags = QStringLiteral("SSSSS"))
{
    Sql::exec(c, QStringLiteral("delete from perfil_form where Id_Perfil = :p and Id_Form = :f"),
              p({{QStringLiteral("p"), perfil}, {QStringLiteral("f"), idForm}}));
    Sql::exec(c, QStringLiteral("insert into perfil_form (Id_Perfil, Id_Form, Visualizar, Incluir, Alterar, Excluir, Imprimir) "
                                "values (:p, :f, :v, :i, :a, :e, :m)"),
              p({{QStringLiteral("p"), perfil}, {QStringLiteral("f"), idForm},
                 {QStringLiteral("v"), flags.mid(0, 1)}, {QStringLiteral("i"), flags.mid(1, 1)},
                 {QStringLiteral("a"), flags.mid(2, 1)}, {QStringLiteral("e"), flags.mid(3, 1)},
                 {QStringLiteral("m"), flags.mid(4, 1)}}));
}

struct User {
    QString nome;
    QString login;
    QString password;
    int unidade = 0;
    int perfil = 0;
    QString bloqueado = QStringLiteral("NAO");
    QString inativo = QStringLiteral("NAO");
    QString status = QStringLiteral("ATIVO");
    QString senha = QStringLiteral("legado");  // the legacy plain column
    bool nullLogin = false;
};

inline int user(Connection &c, const User &u)
{
    return Keys::insertReturningKey(
               c,
               QStringLiteral("insert into usuario (Nome, Login, Senha, senha_crip, Id_Unidade_Trabalho, Id_Perfil, Bloqueado, Inativo, Status_Registro) "
                              "values (:nome, :login, :senha, :crip, :unidade, :perfil, :bloq, :inat, :status)"),
               p({{QStringLiteral("nome"), u.nome},
                  {QStringLiteral("login"), u.nullLogin ? QVariant(QMetaType(QMetaType::QString)) : QVariant(u.login)},
                  {QStringLiteral("senha"), u.senha},
                  {QStringLiteral("crip"), PasswordDigest::of(u.password)},
                  {QStringLiteral("unidade"), u.unidade},
                  {QStringLiteral("perfil"), u.perfil},
                  {QStringLiteral("bloq"), u.bloqueado},
                  {QStringLiteral("inat"), u.inativo},
                  {QStringLiteral("status"), u.status}}),
               QStringLiteral("Id_Usuario"))
        .toInt();
}

inline QString digestOf(Connection &c, int idUsuario)
{
    return Sql::text(Sql::scalar(c, QStringLiteral("select senha_crip from usuario where Id_Usuario = :id"),
                                 p({{QStringLiteral("id"), idUsuario}})));
}

} // namespace AppSeed
