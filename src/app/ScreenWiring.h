#pragma once

// Fills the ScreenCatalog with every area's screens and reports; called once
// at start-up before the main window opens anything.
void registerAllScreens();

// The shell's own screens: 004 and the system information window.
class ScreenCatalog;
void registerShellScreens(ScreenCatalog &catalog);
