#include "registry/TransferStore.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Keys.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "db/Transaction.h"

TransferStore::TransferStore(Connection &c) : m_c(c) {}

TransferStore::TransferStore() : m_c(mainConnection()) {}

TransferStore::Result TransferStore::transfer(int leftOwner, const QList<int> &leftAnimals, int rightOwner,
                                              const QList<int> &rightAnimals, const QDate &date)
{
    Result r;
    Transaction tx(m_c);
    const QDateTime now = serverNow(m_c);
    const QVariant user = usuarioLogado().IdUsuario.isEmpty() ? QVariant(QMetaType(QMetaType::Int))
                                                              : QVariant(usuarioLogado().IdUsuario.toInt());
    auto side = [&](int owner, const QList<int> &animals) {
        for (int a : animals) {
            const QVariant current = Sql::scalar(m_c, QStringLiteral("select id_proprietario from animal where id_animal = :a"),
                                                 {{QStringLiteral("a"), a}});
            if (!current.isValid()) {
                ++r.missing;
                r.missingAnimals << a;
                continue;
            }
            if (!current.isNull() && current.toInt() == owner)
                continue;
            // Only if nobody moved it since it was read.
            QVariantMap p{{QStringLiteral("owner"), owner}, {QStringLiteral("a"), a}};
            QString same = QStringLiteral("id_proprietario is null");
            if (!current.isNull()) {
                same = QStringLiteral("id_proprietario = :old");
                p.insert(QStringLiteral("old"), current);
            }
            QSqlQuery u = Sql::exec(m_c, QStringLiteral("update animal set id_proprietario = :owner where id_animal = :a and ") + same, p);
            if (u.numRowsAffected() != 1)
                throw DbError(QStringLiteral("O animal %1 foi alterado por outra estação.").arg(a));
            u = QSqlQuery();
            const int key = Keys::nextProgramKey(m_c, QStringLiteral("Histo_Muda_Proprietario"),
                                                 QStringLiteral("Id_Histo_Muda_Proprietario"));
            Sql::exec(m_c,
                      QStringLiteral("insert into histo_muda_proprietario (Id_Histo_Muda_Proprietario, Id_Animal, "
                                     "Id_Anterior_Proprietario, Id_Proprietario, Dt_Muda_Proprietario, Inserido_Por, Inserido_Em, "
                                     "Modificado_Por, Modificado_Em) values (:Id_Histo_Muda_Proprietario, :Id_Animal, "
                                     ":Id_Anterior_Proprietario, :Id_Proprietario, :Dt_Muda_Proprietario, :Inserido_Por, "
                                     ":Inserido_Em, :Modificado_Por, :Modificado_Em)"),
                      {{QStringLiteral("Id_Histo_Muda_Proprietario"), key},
                       {QStringLiteral("Id_Animal"), a},
                       {QStringLiteral("Id_Anterior_Proprietario"), current},
                       {QStringLiteral("Id_Proprietario"), owner},
                       {QStringLiteral("Dt_Muda_Proprietario"), date},
                       {QStringLiteral("Inserido_Por"), user},
                       {QStringLiteral("Inserido_Em"), now},
                       {QStringLiteral("Modificado_Por"), QVariant(QMetaType(QMetaType::Int))},
                       {QStringLiteral("Modificado_Em"), QVariant(QMetaType(QMetaType::QDateTime))}});
            ++r.moved;
            if (afterMove)
                afterMove(a);
        }
    };
    side(leftOwner, leftAnimals);
    side(rightOwner, rightAnimals);
    tx.commit();
    return r;
}
