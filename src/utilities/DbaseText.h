#pragma once
#include <QByteArray>
#include <QString>
#include <QStringView>

// How a stored text becomes the Windows-1252 bytes of a dBASE text field
// without losing it silently. The text is first put in its composed form (a
// letter followed by a combining accent becomes the accented letter the code
// page has); a character that still has no byte is written as its closest
// Latin form ("Ł" as "L", "Ж" as "Zh", a fullwidth "Ａ" as "A") or, when it has
// none (emoji, Chinese, Arabic, invisible marks), left out. A text longer
// than its field is cut to the field. Either way the caller is told, so the
// clerk can be told which values were written otherwise.
namespace DbaseText {

struct Fitted {
    QByteArray bytes;      // at most the field's width, trailing blanks left out
    bool replaced = false; // some character was written in another form or left out
    bool cut = false;      // the text did not fit in the field
    bool changed() const { return replaced || cut; }
};

// `s` without its trailing blanks; `width` in bytes.
Fitted fit(QStringView s, int width);

// The closest Latin form of one character without a Windows-1252 byte, in
// characters that have one; empty when there is none.
QString latinForm(char32_t c);

} // namespace DbaseText
