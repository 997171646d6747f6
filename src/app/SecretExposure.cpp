#include "app/SecretExposure.h"
#include "db/DatabaseSpec.h"

#include <QFileInfo>
#include <QSettings>

namespace SecretExposure {

QString commandLineWarning()
{
    return QStringLiteral("A senha do banco de dados foi dada na linha de comando, onde outros usuários "
                          "deste computador podem lê-la.\rGuarde-a no arquivo de configuração, legível só por você, "
                          "ou no arquivo de senhas do PostgreSQL (~/.pgpass ou PGPASSFILE).");
}

QString configFileWarning(const QString &path)
{
    return QStringLiteral("O arquivo de configuração %1 guarda senhas e pode ser lido por outros usuários deste "
                          "computador.\rDeixe-o legível só por você (chmod 600 %1).")
        .arg(path);
}

namespace {

bool holdsPassword(const QString &configFile)
{
    QSettings ini(configFile, QSettings::IniFormat);
    return !ini.value(QStringLiteral("database/password")).toString().isEmpty()
           || !ini.value(QStringLiteral("mail/password")).toString().isEmpty()
           || databaseTextHasPassword(ini.value(QStringLiteral("database/url")).toString());
}

bool othersMayRead(const QString &path)
{
    const QFileInfo fi(path);
    return fi.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

} // namespace

QStringList warnings(const QStringList &arguments)
{
    QStringList out;
    const SettingsSources src = settingsSources(arguments);
    if (databaseTextHasPassword(src.database))
        out << commandLineWarning();
    if (QFileInfo(src.configFile).isFile() && othersMayRead(src.configFile) && holdsPassword(src.configFile))
        out << configFileWarning(QFileInfo(src.configFile).absoluteFilePath());
    return out;
}

} // namespace SecretExposure
