#include "registry/Address.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Keys.h"
#include "db/RowChange.h"
#include "db/Sql.h"
#include "db/Documents.h"
#include "registry/StoreValues.h"

#include <QDateTime>
#include <QSqlRecord>

namespace AddressStore {

namespace {

using StoreValues::nullIfEmpty;

QVariantMap params(const Endereco &e, Columns columns)
{
    QVariantMap p{
        {QStringLiteral("Id_Distrito"), e.Id_Distrito},
        {QStringLiteral("COD_AREA_ABRN"), e.COD_AREA_ABRN},
        {QStringLiteral("NUM_LOGR"), e.NUM_LOGR},
        {QStringLiteral("NUM_SEQU_LOGR"), e.NUM_SEQU_LOGR},
        {QStringLiteral("TIP_LOGR"), nullIfEmpty(e.TIP_LOGR)},
        {QStringLiteral("NOM_LOGR"), nullIfEmpty(e.NOM_LOGR)},
        {QStringLiteral("NUM_IMOV_LOGR"), e.NUM_IMOV_LOGR},
        {QStringLiteral("DES_CMPL_ENDR"), nullIfEmpty(e.DES_CMPL_ENDR)},
        {QStringLiteral("NUM_BAIR"), e.NUM_BAIR},
        {QStringLiteral("NOM_BAIR"), nullIfEmpty(e.NOM_BAIR)},
        {QStringLiteral("NUM_CEP"), nullIfEmpty(e.NUM_CEP)},
        {QStringLiteral("num_locl"), e.num_locl},
        {QStringLiteral("nom_locl"), nullIfEmpty(e.nom_locl)},
        {QStringLiteral("End_X"), e.End_X},
        {QStringLiteral("End_Y"), e.End_Y},
        {QStringLiteral("Ind_Endereco_Informado"), nullIfEmpty(e.Ind_Endereco_Informado)},
    };
    if (columns == Columns::Animal) {
        p.insert(QStringLiteral("data_inicial_end"), e.data_inicial_end);
        p.insert(QStringLiteral("data_endereco"), e.data_endereco);
    }
    return p;
}

QStringList columnNames(Columns columns)
{
    QStringList c = {QStringLiteral("Id_Distrito"), QStringLiteral("COD_AREA_ABRN"), QStringLiteral("NUM_LOGR"),
                     QStringLiteral("NUM_SEQU_LOGR"), QStringLiteral("TIP_LOGR"), QStringLiteral("NOM_LOGR"),
                     QStringLiteral("NUM_IMOV_LOGR"), QStringLiteral("DES_CMPL_ENDR"), QStringLiteral("NUM_BAIR"),
                     QStringLiteral("NOM_BAIR"), QStringLiteral("NUM_CEP"), QStringLiteral("num_locl"),
                     QStringLiteral("nom_locl"), QStringLiteral("End_X"), QStringLiteral("End_Y"),
                     QStringLiteral("Ind_Endereco_Informado")};
    if (columns == Columns::Animal)
        c << QStringLiteral("data_inicial_end") << QStringLiteral("data_endereco");
    return c;
}

QVariant number(const QVariant &v)
{
    return v.isNull() ? QVariant() : v;
}

} // namespace

std::optional<Endereco> load(Connection &c, const QVariant &idEndereco)
{
    if (Sql::text(idEndereco).isEmpty())
        return std::nullopt;
    QSqlQuery q = Sql::exec(c, QStringLiteral("select * from endereco where Id_Endereco = :id"),
                            {{QStringLiteral("id"), idEndereco}});
    if (!q.next())
        return std::nullopt;
    Endereco e;
    e.Id_Endereco = q.value(QStringLiteral("Id_Endereco"));
    e.Id_Distrito = number(q.value(QStringLiteral("Id_Distrito")));
    e.COD_AREA_ABRN = number(q.value(QStringLiteral("COD_AREA_ABRN")));
    e.NUM_LOGR = number(q.value(QStringLiteral("NUM_LOGR")));
    e.NUM_SEQU_LOGR = number(q.value(QStringLiteral("NUM_SEQU_LOGR")));
    e.TIP_LOGR = Sql::text(q, QStringLiteral("TIP_LOGR"));
    e.NOM_LOGR = Sql::text(q, QStringLiteral("NOM_LOGR"));
    e.NUM_IMOV_LOGR = number(q.value(QStringLiteral("NUM_IMOV_LOGR")));
    e.DES_CMPL_ENDR = Sql::text(q, QStringLiteral("DES_CMPL_ENDR"));
    e.NUM_BAIR = number(q.value(QStringLiteral("NUM_BAIR")));
    e.NOM_BAIR = Sql::text(q, QStringLiteral("NOM_BAIR"));
    e.NUM_CEP = Documents::cepText(q.value(QStringLiteral("NUM_CEP")));
    e.num_locl = number(q.value(QStringLiteral("num_locl")));
    e.nom_locl = Sql::text(q, QStringLiteral("nom_locl"));
    e.End_X = number(q.value(QStringLiteral("End_X")));
    e.End_Y = number(q.value(QStringLiteral("End_Y")));
    e.Ind_Endereco_Informado = Sql::text(q, QStringLiteral("Ind_Endereco_Informado"));
    e.data_inicial_end = number(q.value(QStringLiteral("data_inicial_end")));
    e.data_endereco = number(q.value(QStringLiteral("data_endereco")));
    e.Inserido_Por = number(q.value(QStringLiteral("Inserido_Por")));
    e.Inserido_Em = number(q.value(QStringLiteral("Inserido_Em")));
    e.Modificado_Por = number(q.value(QStringLiteral("Modificado_Por")));
    e.Modificado_Em = number(q.value(QStringLiteral("Modificado_Em")));
    return e;
}

int insert(Connection &c, const Endereco &given, Columns columns)
{
    // An animal's address history is read in time order: a new address
    // holds from the day it is recorded (the server's) unless one was typed.
    Endereco e = given;
    if (columns == Columns::Animal && !e.data_inicial_end.toDate().isValid() && e.Inserido_Em.toDateTime().isValid())
        e.data_inicial_end = e.Inserido_Em.toDateTime().date();
    QVariantMap p = params(e, columns);
    p.insert(QStringLiteral("Inserido_Por"), e.Inserido_Por);
    p.insert(QStringLiteral("Inserido_Em"), e.Inserido_Em);
    QStringList cols = columnNames(columns);
    cols << QStringLiteral("Inserido_Por") << QStringLiteral("Inserido_Em");
    QStringList marks;
    for (const QString &col : cols)
        marks << QLatin1Char(':') + col;
    const QString sql = QStringLiteral("insert into endereco (%1) values (%2)")
                            .arg(cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    return Keys::insertReturningKey(c, sql, p, QStringLiteral("Id_Endereco")).toInt();
}

void update(Connection &c, const Endereco &e, const Endereco &loaded, Columns columns)
{
    if (Sql::text(e.Id_Endereco).isEmpty())
        throw DbError(QStringLiteral("Endereço sem código não pode ser alterado."));
    RowChange change(QStringLiteral("endereco"), QStringLiteral("Id_Endereco"), e.Id_Endereco);
    change.columns(params(loaded, columns), params(e, columns));
    change.stamp(QStringLiteral("Modificado_Por"), e.Modificado_Por);
    change.stamp(QStringLiteral("Modificado_Em"), e.Modificado_Em);
    change.apply(c);
}

} // namespace AddressStore
