#pragma once
#include <QString>
#include <QStringList>

// Passwords that other local users can read. Every account on the machine
// can list the command lines of running programs, and a configuration file
// is often created readable by all; the program still starts, but says
// where the password lies open so that it can be moved.
namespace SecretExposure {

// One text per exposure found in the command line `arguments` (the
// program's own name first) and in the configuration file they lead to.
QStringList warnings(const QStringList &arguments);

// The warning for a database text given on a command line.
QString commandLineWarning();
// The warning for a configuration file holding passwords that others can read.
QString configFileWarning(const QString &path);

} // namespace SecretExposure
