#pragma once
#include <QDateTime>

class Connection;

// Records are stamped with the server's clock, never the workstation's.
QDateTime serverNow(Connection &c);
