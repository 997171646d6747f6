#include "db/Formats.h"

#include <QLocale>
#include <QRegularExpression>

namespace Formats {

void install()
{
    QLocale pt(QLocale::Portuguese, QLocale::Brazil);
    pt.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(pt);
}

QString date(const QDate &d)
{
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString dateTime(const QDateTime &t)
{
    return t.isValid() ? t.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : QString();
}

QString time(const QTime &t)
{
    return t.isValid() ? t.toString(QStringLiteral("HH:mm")) : QString();
}

QString number(double value, int decimals)
{
    QLocale pt(QLocale::Portuguese, QLocale::Brazil);
    pt.setNumberOptions(QLocale::OmitGroupSeparator);
    if (decimals < 0)
        return pt.toString(value, 'g', 15);
    return pt.toString(value, 'f', decimals);
}

int expandYear(int yy, int currentYear)
{
    const int pivot = currentYear - 50;
    int year = yy + (pivot / 100) * 100;
    if (year < pivot)
        year += 100;
    return year;
}

QDate parseDate(const QString &text, int currentYear)
{
    static const QRegularExpression rx(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{2}|\\d{4})$"));
    QString t = text;
    t.remove(QLatin1Char('_')).remove(QLatin1Char(' '));
    const auto m = rx.match(t);
    if (!m.hasMatch())
        return {};
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        year = expandYear(year, currentYear);
    return QDate(year, m.captured(2).toInt(), m.captured(1).toInt());
}

double parseNumber(const QString &text, bool *ok)
{
    QString t = text.trimmed();
    t.remove(QLatin1Char(' '));
    if (t.contains(QLatin1Char(',')))
        t.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
    bool good = false;
    const double v = t.toDouble(&good);
    if (ok)
        *ok = good;
    return good ? v : 0.0;
}

QString taxNumber(const QString &stored)
{
    const QString t = stored.trimmed();
    for (const QChar ch : t)
        if (!ch.isDigit())
            return t;
    if (t.size() == 11)
        return QStringLiteral("%1.%2.%3-%4").arg(t.left(3), t.mid(3, 3), t.mid(6, 3), t.mid(9));
    if (t.size() == 14)
        return QStringLiteral("%1.%2.%3/%4-%5").arg(t.left(2), t.mid(2, 3), t.mid(5, 3), t.mid(8, 4), t.mid(12));
    return t;
}

QDate dayAfter(const QDate &last)
{
    return last.isValid() && last < QDate(9999, 12, 31) ? last.addDays(1) : last;
}

} // namespace Formats
