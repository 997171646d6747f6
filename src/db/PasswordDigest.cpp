#include "db/PasswordDigest.h"
#include "db/TextCodec.h"

#include <QCryptographicHash>

namespace PasswordDigest {

QString trimmed(const QString &password)
{
    qsizetype b = 0, e = password.size();
    while (b < e && password.at(b).unicode() <= 0x20)
        ++b;
    while (e > b && password.at(e - 1).unicode() <= 0x20)
        --e;
    return password.mid(b, e - b);
}

bool acceptable(const QString &password)
{
    return Cp1252::canEncode(trimmed(password));
}

QString of(const QString &password)
{
    bool ok = false;
    const QByteArray bytes = Cp1252::encode(trimmed(password), &ok);
    if (!ok)
        return {};
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha512).toHex());
}

QString unacceptableMessage()
{
    return QStringLiteral("A senha contém um caractere que não pode ser usado. Use letras, números e sinais comuns.");
}

} // namespace PasswordDigest
