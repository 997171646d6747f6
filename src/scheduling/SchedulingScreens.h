#pragma once

class ScreenCatalog;

// Adds the scheduling screens to the catalog (screen 48: the availability
// map with its drafts, cloning, month summary and special grants).
void registerSchedulingScreens(ScreenCatalog &catalog);
