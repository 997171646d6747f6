#pragma once
#include <QStringList>
#include <memory>

class DataModule;

// Starts the program: formats, data module, main window, login, event loop.
int runZapo(int argc, char *argv[]);

// Opens the databases named by the command line or the configuration (and
// creates the embedded database's tables on first use). On failure shows one
// error box with the driver's text and returns nullptr.
std::unique_ptr<DataModule> openDataModule(const QStringList &arguments);
