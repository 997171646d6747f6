#pragma once
#include <QString>

// SHA-512 of the trimmed password's Windows-1252 bytes, as 128 lower-case
// hexadecimal characters. Letter case counts; blanks around do not.
namespace PasswordDigest {

// Blanks and control characters around the password are not part of it.
QString trimmed(const QString &password);
// False when the password has a character with no Windows-1252 byte; such
// passwords are refused rather than hashed with a stand-in character.
bool acceptable(const QString &password);
// The digest; an empty text when !acceptable(password).
QString of(const QString &password);

// What the screens say when a password has such a character.
QString unacceptableMessage();

} // namespace PasswordDigest
