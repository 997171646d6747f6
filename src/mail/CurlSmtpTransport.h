#pragma once
#include "mail/MailTransport.h"

// SMTP submission through libcurl: STARTTLS when configured (required, never
// silently dropped), 10 s to connect and 30 s for the whole exchange.
class CurlSmtpTransport : public MailTransport {
public:
    void send(const MailSettings &settings, const MailMessage &message) override;
};
