#pragma once

// Gives the animal address history (024) and the occurrence register (022)
// their dBASE exports: the screens know their statements, the table writer
// lives among the utilities, and only the application joins the two.
void installRegistryExports();

class Connection;
class QString;
class QWidget;
// The two exports themselves: `select` copied to the dBASE table at `path`
// (with its name map beside it), with progress, messages for the clerk.
void exportAnimalAddresses(Connection &c, const QString &select, const QString &path, QWidget *parent);
void exportOccurrences(Connection &c, const QString &select, const QString &path, QWidget *parent);
