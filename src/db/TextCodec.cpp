#include "db/TextCodec.h"

namespace {

// 0x80..0x9F; 0 marks the five bytes Windows-1252 leaves undefined.
const char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int byteFor(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] && kHigh[i] == u)
            return 0x80 + i;
    return -1;
}

} // namespace

namespace Cp1252 {

bool canEncode(const QString &text)
{
    for (QChar c : text)
        if (byteFor(c.unicode()) < 0)
            return false;
    return true;
}

QByteArray encode(const QString &text, bool *ok)
{
    QByteArray out;
    out.reserve(text.size());
    bool good = true;
    for (QChar c : text) {
        const int b = byteFor(c.unicode());
        if (b < 0) {
            good = false;
            out.append('?');
        } else {
            out.append(char(b));
        }
    }
    if (ok)
        *ok = good;
    return out;
}

QString decode(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80])
            out.append(QChar(kHigh[b - 0x80]));
        else
            out.append(QChar(b));
    }
    return out;
}

} // namespace Cp1252
