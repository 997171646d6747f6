#pragma once
#include "mail/MailMessage.h"

#include <QString>
#include <optional>
#include <stdexcept>

// Where the service's mail goes: the [mail] section of zapo.ini.
//   [mail]
//   host=smtp.example.org
//   port=587
//   user=agenda
//   password=...
//   mailbox=agenda@example.org   (sender and recipient)
//   tls=starttls                 (or none)
//   attachment=/path/brasao.jpg  (optional; the shipped image otherwise)
//   timeout=30                   (seconds for the whole exchange)
// With tls=none no user name or password is ever sent: they would cross
// the network in clear.
struct MailSettings {
    QString host;
    int port = 587;
    QString user;
    QString password;
    QString mailbox;
    bool starttls = true;
    QString attachment;
    int timeoutSeconds = 30;
};

// A message that could not be delivered; `reason` is for the user
// ("Erro de conexão" when the server cannot be reached). `unconfirmed`: the
// whole message went out but the server's answer never came, so it may
// well have been delivered ("envio não confirmado"): sending it again
// blindly could mail the owner twice.
class MailError : public std::runtime_error {
public:
    explicit MailError(const QString &reason, bool unconfirmed = false)
        : std::runtime_error(reason.toStdString()), m_reason(reason), m_unconfirmed(unconfirmed) {}
    const QString &reason() const { return m_reason; }
    bool unconfirmed() const { return m_unconfirmed; }

private:
    QString m_reason;
    bool m_unconfirmed = false;
};

class MailTransport {
public:
    virtual ~MailTransport() = default;
    // Delivers one message or throws MailError.
    virtual void send(const MailSettings &settings, const MailMessage &message) = 0;
};

namespace Mail {

// The transport in use: SMTP through libcurl unless a test installed another.
MailTransport &transport();
void setTransport(MailTransport *t); // nullptr restores SMTP

// The configuration file read for [mail]: --config of the command line, or
// zapo.ini in the user's configuration folder; tests name their own.
QString configFile();
void setConfigFile(const QString &path);
// The settings, or nothing when the file has no usable [mail] section.
std::optional<MailSettings> settings();
std::optional<MailSettings> readSettings(const QString &iniPath);

// The image attached to booking notices: the configured file when it
// exists, else the one shipped with the program.
QByteArray attachmentImage(const MailSettings &s);

} // namespace Mail
