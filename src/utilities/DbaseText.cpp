#include "utilities/DbaseText.h"
#include "db/TextCodec.h"

#include <QList>

namespace DbaseText {

namespace {

bool hasByte(char32_t c)
{
    return c < 0x10000 && Cp1252::canEncode(QString(QChar(char16_t(c))));
}

// Russian, Ukrainian and Belarusian letters as the city's records spell
// foreign names in Latin letters; U+0410..U+042F, the lower case letters
// follow them in the same order.
const char *const kCyrillic[32] = {"A", "B", "V",  "G",  "D",  "E",    "Zh", "Z", "I",  "I",  "K",
                                   "L", "M", "N",  "O",  "P",  "R",    "S",  "T", "U",  "F",  "Kh",
                                   "Ts", "Ch", "Sh", "Shch", "", "Y", "", "E", "Yu", "Ya"};
// U+0391..U+03A9 (U+03A2 is unassigned); lower case at U+03B1..U+03C9.
const char *const kGreek[25] = {"A", "B", "G", "D", "E", "Z", "I", "Th", "I",  "K",  "L", "M", "N",
                                "X", "O", "P", "R", "S", "S", "T", "Y",  "F", "Ch", "Ps", "O"};

QString lower(const char *s) { return QString::fromLatin1(s).toLower(); }

// Letters and signs that have no decomposition into a letter of the code page.
QString fixedForm(char32_t c)
{
    if (c >= 0x0410 && c <= 0x042F)
        return QString::fromLatin1(kCyrillic[c - 0x0410]);
    if (c >= 0x0430 && c <= 0x044F)
        return lower(kCyrillic[c - 0x0430]);
    if (c >= 0x0391 && c <= 0x03A9)
        return QString::fromLatin1(kGreek[c - 0x0391]);
    if (c >= 0x03B1 && c <= 0x03C9)
        return lower(kGreek[c - 0x03B1]);
    switch (c) {
    case 0x0401: case 0x0404: return QStringLiteral("E");
    case 0x0451: case 0x0454: return QStringLiteral("e");
    case 0x0406: return QStringLiteral("I");
    case 0x0456: return QStringLiteral("i");
    case 0x0407: return QStringLiteral("Yi");
    case 0x0457: return QStringLiteral("yi");
    case 0x040E: return QStringLiteral("U");
    case 0x045E: return QStringLiteral("u");
    case 0x0490: return QStringLiteral("G");
    case 0x0491: return QStringLiteral("g");
    case 0x0141: return QStringLiteral("L");
    case 0x0142: return QStringLiteral("l");
    case 0x0110: return QStringLiteral("D");
    case 0x0111: return QStringLiteral("d");
    case 0x0126: return QStringLiteral("H");
    case 0x0127: return QStringLiteral("h");
    case 0x0166: return QStringLiteral("T");
    case 0x0167: return QStringLiteral("t");
    case 0x0131: return QStringLiteral("i");
    case 0x014A: return QStringLiteral("N");
    case 0x014B: return QStringLiteral("n");
    case 0x018F: return QStringLiteral("E");
    case 0x0259: return QStringLiteral("e");
    case 0x2010: case 0x2011: case 0x2012: case 0x2015: case 0x2043: case 0x2212: return QStringLiteral("-");
    case 0x201B: case 0x2032: case 0x02B9: case 0x02BC: return QStringLiteral("'");
    case 0x201F: case 0x2033: return QStringLiteral("\"");
    case 0x2044: case 0x2215: return QStringLiteral("/");
    default: return {};
    }
}

} // namespace

QString latinForm(char32_t c)
{
    QString fixed = fixedForm(c);
    if (!fixed.isEmpty())
        return fixed;
    // The compatibility decomposition without its accents: "ǎ" is "a",
    // "ﬁ" is "fi", "①" is "1", a thin space is a space.
    const QString parts = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD);
    if (parts.size() == 1 && parts.at(0).unicode() == c)
        return {};
    QString out;
    for (const char32_t p : parts.toUcs4()) {
        if (QChar::isMark(p))
            continue;
        if (hasByte(p))
            out += QChar(char16_t(p));
        else
            out += fixedForm(p);
    }
    return out;
}

Fitted fit(QStringView s, int width)
{
    Fitted out;
    const QList<uint> ucs = s.toString().normalized(QString::NormalizationForm_C).toUcs4();
    QString written;
    written.reserve(ucs.size());
    // A character left out does not leave its blank behind ("🐶 REX" is
    // "REX", not " REX").
    bool skipBlank = false;
    for (qsizetype i = 0; i < ucs.size(); ++i) {
        const char32_t c = ucs.at(i);
        if (c == U' ' && skipBlank) {
            skipBlank = false;
            continue;
        }
        if (hasByte(c)) {
            written += QChar(char16_t(c));
            skipBlank = false;
            continue;
        }
        out.replaced = true;
        QString latin = latinForm(c);
        if (latin.isEmpty()) {
            skipBlank = written.isEmpty() || written.endsWith(QLatin1Char(' '));
            continue;
        }
        skipBlank = false;
        // "ЖУК" is "ZHUK", "Жук" is "Zhuk".
        if (latin.size() > 1 && QChar::isUpper(c)) {
            const char32_t next = i + 1 < ucs.size() ? ucs.at(i + 1) : 0;
            const char32_t prev = i > 0 ? ucs.at(i - 1) : 0;
            if (QChar::isUpper(next) || (!QChar::isLetter(next) && QChar::isUpper(prev)))
                latin = latin.toUpper();
        }
        written += latin;
    }
    qsizetype n = written.size();
    while (n > 0 && written.at(n - 1) == QLatin1Char(' '))
        --n;
    written.truncate(n);
    out.bytes = Cp1252::encode(written);
    if (out.bytes.size() > width) {
        out.bytes.truncate(width);
        while (!out.bytes.isEmpty() && out.bytes.back() == ' ')
            out.bytes.chop(1);
        out.cut = true;
    }
    return out;
}

} // namespace DbaseText
