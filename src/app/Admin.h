#pragma once
#include <QStringList>

// zapo-admin: deployment commands (init, add-user, ...). Returns the exit code.
int runAdmin(const QStringList &arguments);
