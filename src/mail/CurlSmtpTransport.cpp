#include "mail/CurlSmtpTransport.h"

#include <QDateTime>
#include <QUrl>
#include <curl/curl.h>
#include <cstring>

namespace {

struct Upload {
    QByteArray data;
    qsizetype pos = 0;
};

size_t readChunk(char *buffer, size_t size, size_t count, void *user)
{
    auto *u = static_cast<Upload *>(user);
    const size_t room = size * count;
    const size_t left = size_t(u->data.size() - u->pos);
    const size_t n = left < room ? left : room;
    std::memcpy(buffer, u->data.constData() + u->pos, n);
    u->pos += qsizetype(n);
    return n;
}

void initOnce()
{
    static const bool done = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        return true;
    }();
    (void)done;
}

QString reasonFor(CURLcode code)
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return QStringLiteral("Erro de conexão");
    case CURLE_USE_SSL_FAILED:
        return QStringLiteral("O servidor de e-mail não aceitou conexão segura (STARTTLS)");
    case CURLE_LOGIN_DENIED:
        return QStringLiteral("O servidor de e-mail recusou o usuário ou a senha");
    default:
        return QStringLiteral("Falha no envio (%1)").arg(QString::fromUtf8(curl_easy_strerror(code)));
    }
}

} // namespace

QString CurlSmtpTransport::unconfirmedText() { return QStringLiteral("envio não confirmado"); }

void CurlSmtpTransport::send(const MailSettings &s, const MailMessage &message)
{
    initOnce();
    CURL *curl = curl_easy_init();
    if (!curl)
        throw MailError(QStringLiteral("Falha no envio (libcurl)"));
    Upload upload;
    upload.data = message.toMime(QDateTime::currentDateTime(), s.host);
    const QByteArray url = QStringLiteral("smtp://%1:%2").arg(s.host).arg(s.port).toUtf8();
    const QByteArray from = ("<" + message.fromAddress + ">").toUtf8();
    const QByteArray to = ("<" + message.toAddress + ">").toUtf8();
    const QByteArray user = s.user.toUtf8();
    const QByteArray password = s.password.toUtf8();
    curl_slist *rcpt = curl_slist_append(nullptr, to.constData());

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readChunk);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(upload.data.size()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 10L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, long(s.timeoutSeconds > 0 ? s.timeoutSeconds : 30));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(s.starttls ? CURLUSESSL_ALL : CURLUSESSL_NONE));
    if (s.starttls && !s.user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    const CURLcode rc = curl_easy_perform(curl);
    curl_slist_free_all(rcpt);
    curl_easy_cleanup(curl);
    // The server had the whole message and its answer did not come: it may
    // have been delivered.
    const bool allSent = upload.pos == upload.data.size();
    if (allSent && (rc == CURLE_OPERATION_TIMEDOUT || rc == CURLE_RECV_ERROR || rc == CURLE_GOT_NOTHING))
        throw MailError(unconfirmedText(), true);
    if (rc != CURLE_OK)
        throw MailError(reasonFor(rc));
}
