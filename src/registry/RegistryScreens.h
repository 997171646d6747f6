#pragma once

class ScreenCatalog;

// Adds the owner and animal registry's screens to the catalog (screen 6:
// owners and animals).
void registerRegistryScreens(ScreenCatalog &catalog);
