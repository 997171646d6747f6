#include "ui/FileErrors.h"

#include <QFileDevice>
#include <QFileInfo>
#include <QStorageInfo>
#include <cerrno>
#include <cstring>

namespace FileErrors {

namespace {

// Space below this is as good as none: the write that failed needed more.
constexpr qint64 AlmostNothing = 64 * 1024;

bool diskFull(const QString &systemText, const QString &path)
{
    if (systemText.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)), Qt::CaseInsensitive)
        || systemText.contains(QLatin1String("No space left"), Qt::CaseInsensitive))
        return true;
    if (path.isEmpty())
        return false;
    const QStorageInfo where(QFileInfo(path).absolutePath());
    return where.isValid() && where.bytesAvailable() >= 0 && where.bytesAvailable() < AlmostNothing;
}

} // namespace

QString diskFullText() { return QStringLiteral("O disco está cheio. Libere espaço em disco e tente novamente"); }

QString describe(const QString &systemText, const QString &path)
{
    if (diskFull(systemText, path))
        return diskFullText();
    if (systemText.isEmpty() || systemText == QLatin1String("Unknown error"))
        return QStringLiteral("falha na gravação do arquivo no disco");
    return systemText;
}

QString describe(const QFileDevice &f) { return describe(f.errorString(), f.fileName()); }

} // namespace FileErrors
