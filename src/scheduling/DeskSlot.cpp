#include "scheduling/DeskSlot.h"
#include "db/DataModule.h"
#include "db/Sql.h"

#include <QSqlQuery>

DeskSlot DeskSlot::read(Connection &c, const QVariant &unit, const QVariant &animal, const QDateTime &when,
                        const QVariant &exceptAttendance)
{
    DeskSlot s;
    if (!unit.isValid() || unit.isNull() || !animal.isValid() || animal.isNull() || !when.isValid())
        return s;
    const QVariant especie =
        Sql::scalar(c, QStringLiteral("select Id_Especie from animal where Id_Animal = :a"), {{QStringLiteral("a"), animal}});
    if (especie.isNull() || !especie.isValid())
        return s;
    s.known = true;
    const QVariantMap p{{QStringLiteral("u"), unit}, {QStringLiteral("e"), especie}, {QStringLiteral("dh"), when}};
    {
        QSqlQuery q = Sql::exec(c, QStringLiteral(
            "select count(*), sum(coalesce(Qt_vaga_disponivel_geral, 0) + coalesce(Qt_vaga_disp_f_grande_porte, 0)), "
            "sum(coalesce(Qt_vaga_usada_geral, 0) + coalesce(Qt_vaga_usada_f_grande_porte, 0)) "
            "from mapa_disponibilidade_agenda where Id_unidade_trabalho = :u and Id_Especie = :e "
            "and Data_hora_disponibilidade = :dh"), p);
        if (q.next()) {
            s.found = q.value(0).toInt() > 0;
            s.offered = q.value(1).toInt();
            s.takenWeb = q.value(2).toInt();
        }
    }
    // Cancelled bookings (status 7) hold no place.
    QVariantMap d = p;
    d.insert(QStringLiteral("k"), exceptAttendance.isValid() && !exceptAttendance.isNull() ? exceptAttendance : QVariant(0));
    s.bookedDesk = Sql::scalar(c, QStringLiteral(
                                   "select count(*) from atendimento a join animal an on (an.Id_Animal = a.Id_Animal) "
                                   "where a.Id_Unidade_Agendada = :u and an.Id_Especie = :e and a.Data_Hora_Atendimento = :dh "
                                   "and coalesce(a.Id_Atendimento_Status, 0) <> 7 and a.Id_Atendimento <> :k"),
                               d)
                       .toInt();
    return s;
}

QString DeskSlot::text() const
{
    if (!known)
        return {};
    if (!found)
        return QStringLiteral("Mapa: nenhuma vaga para esta unidade, espécie, data e hora.");
    return QStringLiteral("Mapa: %1 vaga(s), %2 ocupada(s) pela web, %3 agendada(s) no balcão, %4 livre(s).")
        .arg(offered)
        .arg(takenWeb)
        .arg(bookedDesk)
        .arg(qMax(0, free()));
}
