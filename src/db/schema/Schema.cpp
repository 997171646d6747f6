#include "db/schema/Schema.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"

bool Schema::exists(Connection &main)
{
    QSqlQuery q(main.db());
    return q.exec(QStringLiteral("select count(*) from unidade_trabalho"));
}

void Schema::create(DataModule &dm)
{
    if (exists(dm.main()))
        throw DbError(QStringLiteral("O banco de dados já contém as tabelas do sistema."));
    if (dm.dialect().engine() == Engine::PostgreSQL)
        Sql::exec(dm.main(), QStringLiteral("create function zapo_fold(text) returns text language sql immutable strict parallel safe "
                                            "as $$ select translate(lower($1), %1) $$").arg(foldingTranslateArguments()));
    Sql::exec(dm.main(), QStringLiteral("create table unidade_trabalho (Id_Unidade_Trabalho integer primary key, Nome varchar(100), Descricao varchar(250), Ind_Status char(20), Inserido_Por integer, Inserido_Em timestamp, Modificado_Por integer, Modificado_Em timestamp)"));
}

QString Schema::tsqlScript()
{
    return {};
}
