#include "app/Accounts.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Keys.h"
#include "db/PasswordDigest.h"
#include "db/ServerClock.h"
#include "db/Sql.h"
#include "db/Transaction.h"

int addUserAccount(Connection &c, const NewUser &u)
{
    const QString unitName = u.unitName.trimmed().toUpper();
    // Names are kept in upper case, as the register screens type them.
    const QString name = u.name.trimmed().toUpper();
    const QString login = u.login.trimmed();
    if (unitName.isEmpty() || name.isEmpty() || login.isEmpty())
        throw DbError(QStringLiteral("Unidade, nome e login são obrigatórios."));
    if (PasswordDigest::trimmed(u.password).isEmpty())
        throw DbError(QStringLiteral("Falta digitar a senha!"));
    if (!PasswordDigest::acceptable(u.password))
        throw DbError(PasswordDigest::unacceptableMessage());

    Transaction tx(c);
    const QDateTime now = serverNow(c);
    if (Sql::scalar(c, QStringLiteral("select Id_Perfil from perfil where Id_Perfil = :p"),
                    {{QStringLiteral("p"), u.profileId}}).isNull())
        throw DbError(QStringLiteral("Perfil %1 não existe.").arg(u.profileId));
    if (!Sql::scalar(c, QStringLiteral("select Id_Usuario from usuario where upper(Login) = :l"),
                     {{QStringLiteral("l"), login.toUpper()}}).isNull())
        throw DbError(QStringLiteral("Já existe um usuário com o login %1.").arg(login));

    // upper() of SQLite leaves accented letters: a name stored upper-cased
    // by the program is compared as it is.
    QVariant unit = Sql::scalar(c, QStringLiteral("select Id_Unidade_Trabalho from unidade_trabalho where Nome = :n or upper(Nome) = :u"),
                                {{QStringLiteral("n"), unitName}, {QStringLiteral("u"), unitName}});
    if (unit.isNull()) {
        const int id = Keys::nextProgramKey(c, QStringLiteral("unidade_trabalho"), QStringLiteral("Id_Unidade_Trabalho"));
        Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Descricao, Ind_Status, "
                                    "Inserido_Por, Inserido_Em) values (:id, :nome, :descricao, 'ATIVO', 0, :em)"),
                  {{QStringLiteral("id"), id}, {QStringLiteral("nome"), unitName},
                   {QStringLiteral("descricao"), QString()}, {QStringLiteral("em"), now}});
        unit = id;
    }
    const QVariant userId = Keys::insertReturningKey(
        c,
        QStringLiteral("insert into usuario (Nome, Id_Perfil, Bloqueado, Inativo, Id_Unidade_Trabalho, Login, "
                       "senha_crip, Status_Registro, Inserido_Por, Inserido_Em) values (:nome, :perfil, 'NAO', "
                       "'NAO', :unidade, :login, :digest, 'ATIVO', 0, :em)"),
        {{QStringLiteral("nome"), name}, {QStringLiteral("perfil"), u.profileId},
         {QStringLiteral("unidade"), unit}, {QStringLiteral("login"), login},
         {QStringLiteral("digest"), PasswordDigest::of(u.password)}, {QStringLiteral("em"), now}},
        QStringLiteral("Id_Usuario"));
    tx.commit();
    return userId.toInt();
}

bool hasNoUsers(Connection &c)
{
    return Sql::scalar(c, QStringLiteral("select count(*) from usuario where Id_Proprietario is null")).toInt() == 0;
}
