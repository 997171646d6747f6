#pragma once

// Starts the program: formats, data module, main window, login, event loop.
int runZapo(int argc, char *argv[]);
