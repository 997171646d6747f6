#pragma once
#include "mail/MailTransport.h"

#include <QString>
#include <functional>

class QObject;

// Sending takes up to the connect and exchange time-outs (40 s against a
// server that does not answer): it runs on a worker thread so the window
// stays in the clerk's hands.
namespace Mail {

struct Outcome {
    bool sent = false;
    bool unconfirmed = false; // see MailError::unconfirmed
    QString reason;           // for the clerk, when not sent
};

// Sends `message` through transport() on a worker thread; `done` runs
// afterwards on the window thread, and not at all once `context` is gone.
void sendInBackground(const MailSettings &settings, const MailMessage &message, QObject *context,
                      std::function<void(const Outcome &)> done);

// Waits for every send in flight (at exit, and in tests); false when some
// are still running after `ms`.
bool waitForSends(int ms);

} // namespace Mail
