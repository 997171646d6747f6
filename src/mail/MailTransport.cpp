#include "mail/MailTransport.h"
#include "mail/CurlSmtpTransport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

// The shipped image lives in the core library, which is static: its
// resources are registered by hand before the first read.
static void initMailResources()
{
    Q_INIT_RESOURCE(mail);
}

namespace {

MailTransport *g_transport = nullptr;
QString g_configFile;

} // namespace

namespace Mail {

MailTransport &transport()
{
    static CurlSmtpTransport smtp;
    return g_transport ? *g_transport : smtp;
}

void setTransport(MailTransport *t)
{
    g_transport = t;
}

QString configFile()
{
    if (!g_configFile.isEmpty())
        return g_configFile;
    // The same file the database settings come from.
    const QStringList args = QCoreApplication::arguments();
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--config") && i + 1 < args.size())
            return args.at(i + 1);
        if (args.at(i).startsWith(QLatin1String("--config=")))
            return args.at(i).mid(9);
    }
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(QStringLiteral("zapo.ini"));
}

void setConfigFile(const QString &path)
{
    g_configFile = path;
}

std::optional<MailSettings> readSettings(const QString &iniPath)
{
    if (iniPath.isEmpty() || !QFile::exists(iniPath))
        return std::nullopt;
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("mail"));
    MailSettings s;
    s.host = ini.value(QStringLiteral("host")).toString().trimmed();
    s.mailbox = ini.value(QStringLiteral("mailbox")).toString().trimmed();
    if (s.host.isEmpty() || s.mailbox.isEmpty())
        return std::nullopt;
    bool ok = false;
    const int port = ini.value(QStringLiteral("port"), 587).toInt(&ok);
    s.port = ok && port > 0 ? port : 587;
    s.user = ini.value(QStringLiteral("user")).toString();
    s.password = ini.value(QStringLiteral("password")).toString();
    s.starttls = ini.value(QStringLiteral("tls"), QStringLiteral("starttls")).toString().trimmed().toLower()
                 != QLatin1String("none");
    s.attachment = ini.value(QStringLiteral("attachment")).toString();
    const int timeout = ini.value(QStringLiteral("timeout"), 30).toInt(&ok);
    s.timeoutSeconds = ok && timeout > 0 ? timeout : 30;
    return s;
}

std::optional<MailSettings> settings()
{
    return readSettings(configFile());
}

QByteArray attachmentImage(const MailSettings &s)
{
    if (!s.attachment.isEmpty()) {
        QFile f(s.attachment);
        if (f.open(QIODevice::ReadOnly))
            return f.readAll();
    }
    initMailResources();
    QFile shipped(QStringLiteral(":/mail/brasao.jpg"));
    return shipped.open(QIODevice::ReadOnly) ? shipped.readAll() : QByteArray();
}

} // namespace Mail
