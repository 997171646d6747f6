#pragma once

class ScreenCatalog;

// Adds the utility screens (044 data export, 046 advanced search) to the
// catalog. Both open as independent windows centred on the screen, not as
// children of the main window, and free themselves when closed.
void registerUtilityScreens(ScreenCatalog &catalog);
