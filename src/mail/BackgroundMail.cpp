#include "mail/BackgroundMail.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>
#include <exception>
#include <memory>

namespace Mail {

namespace {

// A pool of its own: a slow mail server must not hold up other background
// work, and the pool's destructor waits for a send still running at exit.
QThreadPool &pool()
{
    static QThreadPool p;
    p.setMaxThreadCount(2);
    return p;
}

} // namespace

void sendInBackground(const MailSettings &settings, const MailMessage &message, QObject *context,
                      std::function<void(const Outcome &)> done)
{
    // Made and read only on the caller's thread: the worker merely carries it.
    auto target = std::make_shared<QPointer<QObject>>(context);
    pool().start([settings, message, target, done = std::move(done)] {
        Outcome out;
        try {
            transport().send(settings, message);
            out.sent = true;
        } catch (const MailError &e) {
            out.reason = e.reason();
            out.unconfirmed = e.unconfirmed();
        } catch (const std::exception &e) {
            out.reason = QString::fromLocal8Bit(e.what());
        }
        QCoreApplication *app = QCoreApplication::instance();
        if (!app)
            return; // the program is ending
        QMetaObject::invokeMethod(
            app,
            [target, done, out] {
                if (*target)
                    done(out);
            },
            Qt::QueuedConnection);
    });
}

bool waitForSends(int ms) { return pool().waitForDone(ms); }

} // namespace Mail
