#include "db/DatabaseSpec.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <stdexcept>

namespace {

QString sibling(const QString &mainPath, const QString &suffix)
{
    const QFileInfo fi(mainPath);
    return fi.dir().filePath(fi.completeBaseName() + QLatin1Char('-') + suffix + QStringLiteral(".db"));
}

[[noreturn]] void fail(const QString &msg)
{
    throw std::invalid_argument(msg.toStdString());
}

} // namespace

QString DatabaseSpec::defaultSqlitePath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.local/share/zapo");
    return QDir(dir).filePath(QStringLiteral("zapo.db"));
}

DatabaseSpec DatabaseSpec::parse(const QString &rawText)
{
    const QString text = rawText.trimmed();
    DatabaseSpec s;
    if (text.isEmpty()) {
        s.path = defaultSqlitePath();
        return s;
    }
    if (text.startsWith(QStringLiteral("postgresql://"), Qt::CaseInsensitive)
        || text.startsWith(QStringLiteral("postgres://"), Qt::CaseInsensitive)) {
        const QUrl url(text);
        if (!url.isValid() || url.host().isEmpty())
            fail(QStringLiteral("Endereço de banco PostgreSQL inválido: %1").arg(url.toDisplayString(QUrl::RemovePassword)));
        s.kind = Kind::PostgreSQL;
        s.host = url.host();
        s.port = url.port(5432);
        s.user = url.userName();
        s.password = url.password();
        s.database = url.path().mid(1);
        if (s.database.isEmpty())
            fail(QStringLiteral("Falta o nome do banco no endereço PostgreSQL."));
        return s;
    }
    if (text.startsWith(QStringLiteral("odbc:"), Qt::CaseInsensitive)) {
        s.kind = Kind::Odbc;
        s.dsn = text.mid(5);
        if (s.dsn.startsWith(QStringLiteral("//")))
            s.dsn = s.dsn.mid(2);
        if (s.dsn.isEmpty())
            s.dsn = QStringLiteral("ZAPO_ODBC");
        // A connection string that names the database names the main one
        // (each connection selects it on a T-SQL server).
        static const QRegularExpression db(QStringLiteral("(?:^|;)\\s*DATABASE\\s*=\\s*([^;]*)"),
                                           QRegularExpression::CaseInsensitiveOption);
        if (const QRegularExpressionMatch m = db.match(s.dsn); m.hasMatch())
            s.database = m.captured(1).trimmed();
        return s;
    }
    s.path = QFileInfo(text).absoluteFilePath();
    return s;
}

QString DatabaseSpec::padraoPath() const { return sibling(path, QStringLiteral("padrao")); }
QString DatabaseSpec::keldaPath() const { return sibling(path, QStringLiteral("kelda")); }

QString DatabaseSpec::display() const
{
    switch (kind) {
    case Kind::SQLite:
        return path;
    case Kind::PostgreSQL:
        return QStringLiteral("postgresql://%1%2:%3/%4")
            .arg(user.isEmpty() ? QString() : user + QLatin1Char('@'), host)
            .arg(port)
            .arg(database);
    case Kind::Odbc: {
        // A connection string may carry PWD=...; never show it.
        QStringList parts = dsn.split(QLatin1Char(';'));
        for (QString &p : parts)
            if (p.trimmed().startsWith(QStringLiteral("PWD="), Qt::CaseInsensitive)
                || p.trimmed().startsWith(QStringLiteral("PASSWORD="), Qt::CaseInsensitive))
                p = p.section(QLatin1Char('='), 0, 0) + QStringLiteral("=***");
        return QStringLiteral("odbc:") + parts.join(QLatin1Char(';'));
    }
    }
    return {};
}

QStringList DatabaseSpec::parameterLines(const QString &databaseName) const
{
    QString server;
    if (kind == Kind::PostgreSQL)
        server = host;
    else if (kind == Kind::SQLite)
        server = QFileInfo(path).fileName();
    QStringList lines;
    lines << QStringLiteral("DATABASE NAME=") + databaseName;
    if (!server.isEmpty())
        lines << QStringLiteral("SERVER NAME=") + server;
    lines << QStringLiteral("USER NAME=") + user
          << QStringLiteral("ODBC DSN=") + (kind == Kind::Odbc && !dsn.contains(QLatin1Char('=')) ? dsn : QStringLiteral("ZAPO_ODBC"))
          << QStringLiteral("OPEN MODE=READ/WRITE")
          << QStringLiteral("SCHEMA CACHE SIZE=8")
          << QStringLiteral("SQLQRYMODE=")
          << QStringLiteral("LANGDRIVER=")
          << QStringLiteral("SQLPASSTHRU MODE=SHARED AUTOCOMMIT")
          << QStringLiteral("SCHEMA CACHE TIME=-1")
          << QStringLiteral("MAX ROWS=-1")
          << QStringLiteral("BATCH COUNT=200")
          << QStringLiteral("ENABLE SCHEMA CACHE=FALSE")
          << QStringLiteral("SCHEMA CACHE DIR=")
          << QStringLiteral("ENABLE BCD=FALSE")
          << QStringLiteral("ROWSET SIZE=20")
          << QStringLiteral("BLOBS TO CACHE=64")
          << QStringLiteral("PASSWORD=") + password;
    return lines;
}

SettingsSources settingsSources(const QStringList &args)
{
    SettingsSources s;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&](const QString &opt) -> QString {
            if (a == opt && i + 1 < args.size())
                return args.at(++i);
            if (a.startsWith(opt + QLatin1Char('=')))
                return a.mid(opt.size() + 1);
            return {};
        };
        if (QString v = value(QStringLiteral("--database")); !v.isEmpty())
            s.database = v;
        else if (QString c = value(QStringLiteral("--config")); !c.isEmpty())
            s.configFile = c;
    }
    if (s.configFile.isEmpty())
        s.configFile = QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
                           .filePath(QStringLiteral("zapo.ini"));
    return s;
}

bool databaseTextHasPassword(const QString &rawText)
{
    const QString text = rawText.trimmed();
    if (text.startsWith(QStringLiteral("postgresql://"), Qt::CaseInsensitive)
        || text.startsWith(QStringLiteral("postgres://"), Qt::CaseInsensitive))
        return !QUrl(text).password().isEmpty();
    if (text.startsWith(QStringLiteral("odbc:"), Qt::CaseInsensitive)) {
        for (const QString &part : text.mid(5).split(QLatin1Char(';'))) {
            const QString p = part.trimmed();
            if ((p.startsWith(QStringLiteral("PWD="), Qt::CaseInsensitive)
                 || p.startsWith(QStringLiteral("PASSWORD="), Qt::CaseInsensitive))
                && !p.section(QLatin1Char('='), 1).isEmpty())
                return true;
        }
    }
    return false;
}

DatabaseSpec databaseSpecFromSettings(const QStringList &args)
{
    const SettingsSources src = settingsSources(args);
    QSettings ini(src.configFile, QSettings::IniFormat);
    QString database = src.database;
    if (database.isEmpty())
        database = ini.value(QStringLiteral("database/url")).toString();
    DatabaseSpec s = DatabaseSpec::parse(database);
    // Values the URL form cannot carry well (an ODBC account, other names).
    if (s.user.isEmpty())
        s.user = ini.value(QStringLiteral("database/user")).toString();
    if (s.password.isEmpty())
        s.password = ini.value(QStringLiteral("database/password")).toString();
    if (s.database.isEmpty())
        s.database = ini.value(QStringLiteral("database/name")).toString();
    s.padraoDatabase = ini.value(QStringLiteral("database/padrao"), s.padraoDatabase).toString();
    s.keldaDatabase = ini.value(QStringLiteral("database/kelda"), s.keldaDatabase).toString();
    return s;
}
