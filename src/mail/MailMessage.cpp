#include "mail/MailMessage.h"

#include <QRandomGenerator>
#include <QTimeZone>

namespace Mime {

QByteArray encodedWord(const QString &text)
{
    bool plain = true;
    for (const QChar ch : text)
        if (ch.unicode() < 0x20 || ch.unicode() > 0x7e || ch == QLatin1Char('"'))
            plain = false;
    if (plain)
        return text.toLatin1();
    // One encoded word: split words come back with blanks between them in
    // some readers' display names ("agendad o"); header lines stay far
    // below the 998-character limit.
    return "=?UTF-8?B?" + text.toUtf8().toBase64() + "?=";
}

QByteArray rfc5322Date(const QDateTime &t)
{
    static const char *days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char *months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int offset = t.offsetFromUtc() / 60;
    const QDate d = t.date();
    const QTime h = t.time();
    return QStringLiteral("%1, %2 %3 %4 %5:%6:%7 %8%9%10")
        .arg(QLatin1String(days[d.dayOfWeek() - 1]))
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(QLatin1String(months[d.month() - 1]))
        .arg(d.year())
        .arg(h.hour(), 2, 10, QLatin1Char('0'))
        .arg(h.minute(), 2, 10, QLatin1Char('0'))
        .arg(h.second(), 2, 10, QLatin1Char('0'))
        .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(qAbs(offset) / 60, 2, 10, QLatin1Char('0'))
        .arg(qAbs(offset) % 60, 2, 10, QLatin1Char('0'))
        .toLatin1();
}

QByteArray base64Lines(const QByteArray &data)
{
    const QByteArray b = data.toBase64();
    QByteArray out;
    for (qsizetype i = 0; i < b.size(); i += 76)
        out += b.mid(i, 76) + "\r\n";
    return out;
}

} // namespace Mime

namespace {

// Body text: CR LF line ends, and a leading dot doubled is the server's
// business (the SMTP client does it), so only the line ends matter here.
QByteArray bodyText(const QStringList &lines)
{
    QByteArray out;
    for (const QString &l : lines) {
        QString s = l;
        s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        for (const QString &part : s.split(QLatin1Char('\n')))
            out += part.toUtf8() + "\r\n";
    }
    return out;
}

} // namespace

QByteArray MailMessage::toMime(const QDateTime &now, const QString &domain) const
{
    const QByteArray boundary = "=_zapo_" + QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    const QByteArray id = QByteArray::number(now.toMSecsSinceEpoch()) + "."
                          + QByteArray::number(QRandomGenerator::global()->generate64(), 16) + "@"
                          + (domain.isEmpty() ? QByteArray("localhost") : domain.toLatin1());
    QByteArray m;
    m += "From: " + Mime::encodedWord(fromName) + " <" + fromAddress.toLatin1() + ">\r\n";
    m += "To: <" + toAddress.toLatin1() + ">\r\n";
    m += "Subject: " + Mime::encodedWord(subject) + "\r\n";
    m += "Date: " + Mime::rfc5322Date(now) + "\r\n";
    m += "Message-ID: <" + id + ">\r\n";
    m += "MIME-Version: 1.0\r\n";
    const QByteArray text = "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
                            + Mime::base64Lines(bodyText(bodyLines));
    if (attachments.isEmpty()) {
        m += text;
        return m;
    }
    m += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    m += "--" + boundary + "\r\n" + text;
    for (const MailAttachment &a : attachments) {
        const QByteArray name = Mime::encodedWord(a.fileName);
        m += "--" + boundary + "\r\n";
        m += "Content-Type: " + a.contentType + "; name=\"" + name + "\"\r\n";
        m += "Content-Transfer-Encoding: base64\r\n";
        m += "Content-Disposition: attachment; filename=\"" + name + "\"\r\n\r\n";
        m += Mime::base64Lines(a.data);
    }
    m += "--" + boundary + "--\r\n";
    return m;
}
