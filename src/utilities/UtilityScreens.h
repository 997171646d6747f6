#pragma once

class ScreenCatalog;

// Adds the utility screens (044 data export, 045 leishmaniasis results, 046
// advanced search, 049 table extractor, 060 appointment export) to the
// catalog. All open as independent windows centred on the screen, not as
// children of the main window, and free themselves when closed.
void registerUtilityScreens(ScreenCatalog &catalog);
