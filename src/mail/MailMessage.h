#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// One outgoing message: a UTF-8 text body and file attachments. The mail
// server is given the finished bytes (toMime()), so what arrives is exactly
// what the program composed: encoded headers, date, message id and all.
struct MailAttachment {
    QString fileName;
    QByteArray data;
    QByteArray contentType = "application/octet-stream";
};

struct MailMessage {
    QString fromName;     // shown as the sender; may hold accents
    QString fromAddress;
    QString toAddress;
    QString subject;
    QStringList bodyLines;
    QList<MailAttachment> attachments;

    // The whole message (RFC 5322 with MIME), lines ended by CR LF. Names
    // and subject outside ASCII are RFC 2047 encoded; `now` stamps Date:
    // and, with `domain`, the Message-ID.
    QByteArray toMime(const QDateTime &now, const QString &domain) const;
};

namespace Mime {
// "=?UTF-8?B?...?=" for text outside printable ASCII, else the text.
QByteArray encodedWord(const QString &text);
// "Wed, 09 Dec 2026 18:00:00 -0300": English names whatever the locale.
QByteArray rfc5322Date(const QDateTime &t);
// Base64 in lines of 76 characters, CR LF ended.
QByteArray base64Lines(const QByteArray &data);
} // namespace Mime
