#pragma once
#include "mail/MailTransport.h"

// SMTP submission through libcurl: STARTTLS when configured (required, never
// silently dropped), 10 s to connect and 30 s (the settings' timeout) for
// the whole exchange. Safe to call from several threads at once.
class CurlSmtpTransport : public MailTransport {
public:
    static QString unconfirmedText();
    void send(const MailSettings &settings, const MailMessage &message) override;
};
