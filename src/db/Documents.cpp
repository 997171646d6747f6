#include "db/Documents.h"

#include <QVariant>

namespace Documents {

QString digitsOnly(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            out += c;
    return out;
}

namespace {

bool allDigits(const QString &t)
{
    for (const QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

bool oneDigitRepeated(const QString &t)
{
    return !t.isEmpty() && t.count(t.at(0)) == t.size();
}

int checkDigit(int sum)
{
    const int r = sum % 11;
    return r < 2 ? 0 : 11 - r;
}

int digit(const QString &t, int i)
{
    return t.at(i).unicode() - '0';
}

// Weights 2..9 repeating, from the last digit of the first `count` leftwards.
int cnpjCheck(const QString &t, int count)
{
    int sum = 0;
    int weight = 2;
    for (int i = count - 1; i >= 0; --i) {
        sum += digit(t, i) * weight;
        weight = weight == 9 ? 2 : weight + 1;
    }
    return checkDigit(sum);
}

} // namespace

bool validaCpf(const QString &text)
{
    if (text.size() != 11 || !allDigits(text) || oneDigitRepeated(text))
        return false;
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += digit(text, i) * (10 - i);
    if (checkDigit(sum) != digit(text, 9))
        return false;
    sum = 0;
    for (int i = 0; i < 10; ++i)
        sum += digit(text, i) * (11 - i);
    return checkDigit(sum) == digit(text, 10);
}

bool validaCnpj(const QString &text)
{
    if (text.size() != 14 || !allDigits(text) || oneDigitRepeated(text))
        return false;
    return cnpjCheck(text, 12) == digit(text, 12) && cnpjCheck(text, 13) == digit(text, 13);
}

bool validaEmail(const QString &text)
{
    QString t = text.trimmed().toUpper();
    const qsizetype at = t.indexOf(QLatin1Char('@'));
    if (at < 1)
        return false;
    t = t.mid(at + 1);
    // The first dot after the "@" must have two characters at least before it.
    return !t.isEmpty() && t.indexOf(QLatin1Char('.')) >= 2;
}

QString pessoaFisica() { return QStringLiteral("FÍSICA"); }
QString pessoaJuridica() { return QStringLiteral("JURÍDICA"); }

QString cpfCnpjMask(const QString &tipoPessoa)
{
    return tipoPessoa == pessoaJuridica() ? QStringLiteral("99.999.999/9999-99;_")
                                          : QStringLiteral("999.999.999-99;_");
}

QString homePhoneMask() { return QStringLiteral("(99)9999009999;_"); }
QString mobilePhoneMask() { return QStringLiteral("(99)99999-9999;_"); }
QString cepMask() { return QStringLiteral("99999-999;_"); }

PhoneParts splitPhone(const QString &stored)
{
    const QString t = stored.trimmed();
    return {t.mid(1, 2).trimmed(), t.mid(4).trimmed()};
}

QString homePhoneForMask(const QString &stored)
{
    const QString d = digitsOnly(stored);
    if (d.size() == 10)
        return QStringLiteral("(%1)%2__%3").arg(d.left(2), d.mid(2, 4), d.mid(6));
    return stored;
}

bool phoneEmpty(const QString &stored)
{
    return digitsOnly(stored).isEmpty();
}

QString cepText(const QVariant &value)
{
    if (value.isNull())
        return {};
    const QString d = digitsOnly(value.toString());
    if (d.isEmpty())
        return {};
    return d.size() < 8 ? d.rightJustified(8, QLatin1Char('0')) : d;
}

QString cepDisplay(const QString &digits)
{
    return digits.size() == 8 ? digits.left(5) + QLatin1Char('-') + digits.mid(5) : digits;
}

} // namespace Documents
