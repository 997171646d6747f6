#pragma once
#include <QByteArray>
#include <QString>

// Windows-1252, the code page of every text file the program writes and of
// the bytes a password digest is computed over. Our own table, so the bytes
// are the same on every platform whatever the Qt build.
namespace Cp1252 {

// True when every character of the text has a Windows-1252 byte.
bool canEncode(const QString &text);
// Encodes; a character without a byte becomes '?' and *ok turns false.
QByteArray encode(const QString &text, bool *ok = nullptr);
QString decode(const QByteArray &bytes);

} // namespace Cp1252
