#pragma once
// Appointments around one day (2026-03-05) for the exports: a booking made
// by one unit for another, one with every reference dangling, and the
// seconds either side of the day's edges.
#include "UtilityFixture.h"

#include <QDateTime>

namespace AppointmentFixture {

inline QDateTime at(int day, int h, int m, int s = 0) { return QDateTime(QDate(2026, 3, day), QTime(h, m, s)); }

inline void fill(DataModule &dm)
{
    UtilityFixture::fill(dm);
    Connection &c = dm.main();
    Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (20, 'UNIDADE FECHADA', 'INATIVO')"));
    for (const auto &[id, name] : {std::pair{7, "ATENDENTE"}, std::pair{8, "REVISORA"}})
        Sql::exec(c, QStringLiteral("insert into usuario (Id_Usuario, Nome, Login) values (:i, :n, :n)"),
                  {{QStringLiteral("i"), id}, {QStringLiteral("n"), QString::fromLatin1(name)}});
    const QString insert = QStringLiteral(
        "insert into atendimento (Id_Atendimento, Id_Proprietario, Id_Animal, Id_Unidade_Trabalho, Id_Unidade_Agendada, "
        "Data_Hora_Atendimento, Id_Atendimento_Status, Ind_Autoriza_Cirurgia, Inserido_Por, Inserido_Em, Modificado_Por, "
        "Modificado_Em) values (:id, :p, :a, :ut, :ua, :d, :st, :aut, :ip, :ie, :mp, :me)");
    const QVariant none;
    auto add = [&](int id, QVariant p, QVariant a, QVariant ut, QVariant ua, QDateTime d, QVariant st, QVariant ip,
                   QDateTime ie, QVariant mp, QVariant me) {
        Sql::exec(c, insert,
                  {{QStringLiteral("id"), id}, {QStringLiteral("p"), p}, {QStringLiteral("a"), a}, {QStringLiteral("ut"), ut},
                   {QStringLiteral("ua"), ua}, {QStringLiteral("d"), d}, {QStringLiteral("st"), st},
                   {QStringLiteral("aut"), QStringLiteral("SIM")}, {QStringLiteral("ip"), ip}, {QStringLiteral("ie"), ie},
                   {QStringLiteral("mp"), mp}, {QStringLiteral("me"), me}});
    };
    // Booked by unit 1 for unit 15, changed once.
    add(1, 1001, 5001, 1, 15, at(5, 9, 30), 1, 7, at(1, 8, 0), 8, at(2, 10, 15, 5));
    // Every reference gone; never changed; the last half minute of the day.
    add(2, 9999, 9999, 42, 1, at(5, 23, 59, 30), 99, 77, at(1, 8, 1), none, none);
    // Just outside the day on either side; booked by 15 for 1.
    add(3, 1002, 5003, 15, 1, at(6, 0, 0), 2, 7, at(6, 0, 0), none, none);
    add(4, 1002, 5003, 15, 15, at(4, 23, 59, 59), 3, 7, at(4, 23, 59, 59), none, none);
}

} // namespace AppointmentFixture
