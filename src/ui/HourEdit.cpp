#include "ui/HourEdit.h"

HourEdit::HourEdit(QWidget *parent) : QLineEdit(parent)
{
    // '0' is an optional digit, '9' a required one.
    setInputMask(QStringLiteral("09:99; "));
    setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00:000")) + 16);
}

bool HourEdit::parse(const QString &text, int *hours, int *minutes)
{
    const QString t = text.trimmed();
    const int colon = t.indexOf(QLatin1Char(':'));
    if (colon < 1)
        return false;
    const QString h = t.left(colon).trimmed();
    const QString m = t.mid(colon + 1).trimmed();
    if (h.isEmpty() || h.size() > 2 || m.size() != 2)
        return false;
    bool okH = false, okM = false;
    const int hv = h.toInt(&okH);
    const int mv = m.toInt(&okM);
    if (!okH || !okM)
        return false;
    for (QChar c : h + m)
        if (!c.isDigit())
            return false;
    if (hours)
        *hours = hv;
    if (minutes)
        *minutes = mv;
    return true;
}

QString HourEdit::format(const QTime &t)
{
    return t.isValid() ? t.toString(QStringLiteral("hh:mm")) : QString();
}

bool HourEdit::isBlank() const
{
    QString t = displayText();
    t.remove(QLatin1Char(':'));
    return t.trimmed().isEmpty();
}

int HourEdit::hours() const
{
    int h = -1, m = -1;
    return parse(displayText(), &h, &m) ? h : -1;
}

int HourEdit::minutes() const
{
    int h = -1, m = -1;
    return parse(displayText(), &h, &m) ? m : -1;
}

QTime HourEdit::time() const
{
    int h = -1, m = -1;
    if (!parse(displayText(), &h, &m))
        return {};
    return QTime(h, m); // invalid past 23:59
}

void HourEdit::setTime(const QTime &t)
{
    if (t.isValid())
        setText(format(t));
    else
        clear();
}
