#pragma once

// Fills the ScreenCatalog with every area's screens and reports; called once
// at start-up before the main window opens anything.
void registerAllScreens();

// The shell's own screens: 004 and the system information window.
class ScreenCatalog;
void registerShellScreens(ScreenCatalog &catalog);

// Report REL049: every owner from the menu, one owner from the "Imprimir..."
// of the owner and animal register.
void registerOwnerAnimalReport(ScreenCatalog &catalog);
