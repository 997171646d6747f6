#include "tables/PrescriptionTexts.h"
#include "db/DataModule.h"
#include "db/ServerClock.h"
#include "db/Sql.h"
#include "db/Transaction.h"

#include <QDateTime>
#include <QSqlQuery>

namespace PrescriptionTexts {

QString standardText(Connection &c)
{
    const QVariant v = Sql::scalar(c, QStringLiteral("select descricao from receituario_padrao where Id_Receituario_padrao = 1"));
    return v.isValid() && !v.isNull() ? v.toString() : QString();
}

void saveStandardText(Connection &c, const QString &text, const QVariant &userId)
{
    Transaction tx(c);
    const QVariantMap v{{QStringLiteral("t"), text}, {QStringLiteral("por"), userId}, {QStringLiteral("em"), serverNow(c)}};
    QSqlQuery q = Sql::exec(c, QStringLiteral("update receituario_padrao set descricao = :t, Modificado_Por = :por, "
                                              "Modificado_Em = :em where Id_Receituario_padrao = 1"),
                            v);
    if (q.numRowsAffected() < 1)
        Sql::exec(c, QStringLiteral("insert into receituario_padrao (Id_Receituario_padrao, descricao, Inserido_Por, Inserido_Em) "
                                    "values (1, :t, :por, :em)"),
                  v);
    tx.commit();
}

QList<WeightText> weightTexts(Connection &c, bool activeOnly)
{
    QString sql = QStringLiteral("select Id_Receituario_texto_Peso, Peso, Texto, Ind_Status from receituario_texto_peso");
    if (activeOnly)
        sql += QStringLiteral(" where Ind_Status is null or Ind_Status <> 'INATIVO'");
    sql += QStringLiteral(" order by Id_Receituario_texto_Peso");
    QSqlQuery q = Sql::exec(c, sql);
    QList<WeightText> l;
    while (q.next()) {
        WeightText w;
        w.id = q.value(0).toInt();
        w.peso = q.value(1).isNull() ? QVariant() : QVariant(q.value(1).toDouble());
        w.texto = q.value(2).isNull() ? QString() : q.value(2).toString();
        w.active = Sql::text(q.value(3)) != QLatin1String("INATIVO");
        l << w;
    }
    return l;
}

} // namespace PrescriptionTexts
