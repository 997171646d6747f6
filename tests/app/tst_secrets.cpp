// Passwords stay where only their owner can read them: the program says so
// when one is given on a command line or kept in a configuration file that
// others may read, and no message it shows carries a password.
#include "app/Admin.h"
#include "app/Application.h"
#include "app/SecretExposure.h"
#include "db/DatabaseSpec.h"
#include "mail/CurlSmtpTransport.h"
#include "support/RecordingServices.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString kSecret = QStringLiteral("Segredo9xq");

// A port nobody listens on now.
int closedPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0
        && getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    if (fd >= 0)
        close(fd);
    return port;
}

QString writeConfig(const QTemporaryDir &dir, const QString &text, QFileDevice::Permissions mode)
{
    const QString path = dir.filePath(QStringLiteral("zapo.ini"));
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text.toUtf8());
    f.close();
    f.setPermissions(mode);
    return path;
}

const QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
const QFileDevice::Permissions kWorldReadable = kOwnerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther;

} // namespace

class TestSecrets : public QObject {
    Q_OBJECT
private slots:
    void passwordOnTheCommandLine()
    {
        QTemporaryDir dir; // no configuration file there
        const QString cfg = dir.filePath(QStringLiteral("none.ini"));
        auto warned = [&](const QStringList &extra) {
            return SecretExposure::warnings(QStringList{QStringLiteral("zapo"), QStringLiteral("--config"), cfg} + extra);
        };
        QCOMPARE(warned({QStringLiteral("--database"), QStringLiteral("postgresql://ana:%1@db:5432/zapo").arg(kSecret)}),
                 QStringList{SecretExposure::commandLineWarning()});
        QCOMPARE(warned({QStringLiteral("--database=odbc:DRIVER={X};SERVER=h;PWD=%1").arg(kSecret)}),
                 QStringList{SecretExposure::commandLineWarning()});
        // Without a password (the server's password file supplies it) all is quiet.
        QVERIFY(warned({QStringLiteral("--database"), QStringLiteral("postgresql://ana@db:5432/zapo")}).isEmpty());
        QVERIFY(warned({QStringLiteral("--database"), QStringLiteral("odbc:ZAPO_ODBC")}).isEmpty());
        QVERIFY(warned({QStringLiteral("--database"), dir.filePath(QStringLiteral("zapo.db"))}).isEmpty());
        QVERIFY(!SecretExposure::commandLineWarning().contains(kSecret));
    }

    void configurationFileReadableByOthers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("holdsPassword");
        QTest::newRow("database password") << QStringLiteral("[database]\nurl=postgresql://db/zapo\nuser=ana\npassword=%1\n").arg(kSecret) << true;
        QTest::newRow("password in the url") << QStringLiteral("[database]\nurl=postgresql://ana:%1@db/zapo\n").arg(kSecret) << true;
        QTest::newRow("mail password") << QStringLiteral("[mail]\nhost=smtp.test\nmailbox=a@b.test\npassword=%1\n").arg(kSecret) << true;
        QTest::newRow("no password") << QStringLiteral("[database]\nurl=postgresql://ana@db/zapo\n") << false;
    }
    void configurationFileReadableByOthers()
    {
        QFETCH(QString, text);
        QFETCH(bool, holdsPassword);
        QTemporaryDir dir;
        const QStringList args{QStringLiteral("zapo"), QStringLiteral("--config"), dir.filePath(QStringLiteral("zapo.ini"))};
        const QString path = writeConfig(dir, text, kWorldReadable);
        const QStringList open = SecretExposure::warnings(args);
        if (holdsPassword) {
            QCOMPARE(open, QStringList{SecretExposure::configFileWarning(path)});
            QVERIFY(open.first().contains(path));
            QVERIFY(!open.first().contains(kSecret));
        } else {
            QVERIFY(open.isEmpty());
        }
        writeConfig(dir, text, kOwnerOnly);
        QVERIFY(SecretExposure::warnings(args).isEmpty());
    }

    // The box a failed connection shows names the server, never the password;
    // the warning about the command line comes first.
    void failedConnectionKeepsThePasswordOut()
    {
        RecordingMessages messages;
        QTemporaryDir dir;
        const int port = closedPort();
        QVERIFY(port > 0);
        const QString url = QStringLiteral("postgresql://ana:%1@127.0.0.1:%2/zapo").arg(kSecret).arg(port);
        QVERIFY(!openDataModule({QStringLiteral("zapo"), QStringLiteral("--config"), dir.filePath(QStringLiteral("x.ini")),
                                 QStringLiteral("--database"), url}));
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown.first().kind, QStringLiteral("error"));
        QVERIFY(!messages.last().contains(kSecret));

        // The same password kept in the configuration file.
        const QString cfg = writeConfig(dir, QStringLiteral("[database]\nurl=postgresql://127.0.0.1:%1/zapo\nuser=ana\npassword=%2\n")
                                                 .arg(port).arg(kSecret), kOwnerOnly);
        messages.clear();
        QVERIFY(!openDataModule({QStringLiteral("zapo"), QStringLiteral("--config"), cfg}));
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(!messages.last().contains(kSecret));
        QVERIFY(!DatabaseSpec::parse(url).display().contains(kSecret));

        // zapo-admin fails the same way without printing the password.
        QCOMPARE(runAdmin({QStringLiteral("zapo-admin"), QStringLiteral("init"), url}), 1);
    }

    void failedMailKeepsThePasswordOut()
    {
        MailSettings s;
        s.host = QStringLiteral("127.0.0.1");
        s.port = closedPort();
        s.user = QStringLiteral("agenda");
        s.password = kSecret;
        s.mailbox = QStringLiteral("agenda@cidade.test");
        MailMessage m;
        m.fromAddress = m.toAddress = s.mailbox;
        m.subject = QStringLiteral("teste");
        CurlSmtpTransport smtp;
        try {
            smtp.send(s, m);
            QFAIL("sent to a closed port");
        } catch (const MailError &e) {
            QVERIFY(!e.reason().contains(kSecret));
            QVERIFY(!QString::fromUtf8(e.what()).contains(kSecret));
        }
    }
};

QTEST_MAIN(TestSecrets)
#include "tst_secrets.moc"
