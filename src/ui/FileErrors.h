#pragma once
#include <QString>

class QFileDevice;

// What to tell a clerk when writing a file failed. A full disk is said as
// such (the system's own words, or "Unknown error" after a short write,
// tell nothing); the system's text stays for anything else.
namespace FileErrors {

// Read before the device is cancelled or closed, which forgets the error.
QString describe(const QFileDevice &f);
QString describe(const QString &systemText, const QString &path);

QString diskFullText();

} // namespace FileErrors
