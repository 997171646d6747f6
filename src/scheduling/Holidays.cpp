#include "scheduling/Holidays.h"
#include "db/DataModule.h"
#include "db/Formats.h"
#include "db/Sql.h"

#include <QSqlQuery>
#include <algorithm>

namespace Holidays {

QDate easter(int year)
{
    // The anonymous Gregorian computus (Meeus/Jones/Butcher).
    const int a = year % 19, b = year / 100, c = year % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31, day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

QList<Day> national(int year)
{
    QList<Day> out{{QDate(year, 1, 1), QStringLiteral("Confraternização Universal")},
                   {QDate(year, 4, 21), QStringLiteral("Tiradentes")},
                   {QDate(year, 5, 1), QStringLiteral("Dia do Trabalho")},
                   {QDate(year, 9, 7), QStringLiteral("Independência do Brasil")},
                   {QDate(year, 10, 12), QStringLiteral("Nossa Senhora Aparecida")},
                   {QDate(year, 11, 2), QStringLiteral("Finados")},
                   {QDate(year, 11, 15), QStringLiteral("Proclamação da República")},
                   {QDate(year, 12, 25), QStringLiteral("Natal")}};
    // A national holiday by law from 2024 on.
    if (year >= 2024)
        out << Day{QDate(year, 11, 20), QStringLiteral("Dia Nacional de Zumbi e da Consciência Negra")};
    const QDate e = easter(year);
    out << Day{e.addDays(-48), QStringLiteral("Carnaval (segunda-feira)"), true}
        << Day{e.addDays(-47), QStringLiteral("Carnaval (terça-feira)"), true}
        << Day{e.addDays(-2), QStringLiteral("Sexta-feira Santa")} << Day{e.addDays(60), QStringLiteral("Corpus Christi")};
    std::sort(out.begin(), out.end(), [](const Day &x, const Day &y) { return x.date < y.date; });
    return out;
}

QList<Day> municipal(Connection &c, const QDate &from, const QDate &to)
{
    QList<Day> out;
    if (!from.isValid() || !to.isValid() || to < from)
        return out;
    // A city's register holds a few dozen rows: all of them are read and
    // placed here, the yearly ones in each year of the range (and the
    // stored date compared as a date whatever form the engine keeps).
    QSqlQuery q = Sql::exec(c, QStringLiteral("select Data_Feriado, Descricao, Ind_Anual from feriado_municipal "
                                              "where Ind_Status = 'ATIVO'"));
    while (q.next()) {
        QDate d = q.value(0).toDateTime().date();
        if (!d.isValid())
            d = QDate::fromString(q.value(0).toString().left(10), Qt::ISODate);
        if (!d.isValid())
            continue;
        const QString name = Sql::text(q.value(1));
        if (Sql::text(q.value(2)) == QLatin1String("SIM")) {
            for (int y = from.year(); y <= to.year(); ++y) {
                // 29 February of a yearly row falls only in leap years.
                const QDate inYear(y, d.month(), d.day());
                if (inYear.isValid() && inYear >= from && inYear <= to)
                    out << Day{inYear, name};
            }
        } else if (d >= from && d <= to) {
            out << Day{d, name};
        }
    }
    return out;
}

QList<Day> between(Connection &c, const QDate &from, const QDate &to)
{
    QList<Day> all;
    for (int y = from.year(); y <= to.year(); ++y)
        for (const Day &d : national(y))
            if (d.date >= from && d.date <= to)
                all << d;
    all << municipal(c, from, to);
    std::stable_sort(all.begin(), all.end(), [](const Day &x, const Day &y) { return x.date < y.date; });
    QList<Day> out;
    for (const Day &d : all) {
        if (!out.isEmpty() && out.last().date == d.date) {
            // A municipal holiday on a national one: one day, both names.
            out.last().name += QStringLiteral(" / ") + d.name;
            out.last().optional = out.last().optional && d.optional;
            continue;
        }
        out << d;
    }
    return out;
}

QString describe(const QList<Day> &days)
{
    static const char *weekdays[] = {"segunda-feira", "terça-feira", "quarta-feira", "quinta-feira",
                                     "sexta-feira", "sábado", "domingo"};
    QStringList lines;
    for (const Day &d : days)
        lines << d.date.toString(QStringLiteral("dd/MM")) + QStringLiteral(" (")
                     + QString::fromUtf8(weekdays[d.date.dayOfWeek() - 1]) + QStringLiteral(") ") + d.name
                     + (d.optional ? QStringLiteral(" - ponto facultativo") : QString());
    return lines.join(QLatin1Char('\r'));
}

} // namespace Holidays
