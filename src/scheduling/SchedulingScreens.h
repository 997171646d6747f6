#pragma once

#include "ui/register/RegisterDef.h"

class ScreenCatalog;

// Screen 054: the city's own holidays, which cloning leaves out.
RegisterDef feriadoMunicipal();

// Adds the scheduling screens to the catalog (screen 48: the availability
// map with its drafts, cloning, month summary and special grants; 054: the
// municipal holidays).
void registerSchedulingScreens(ScreenCatalog &catalog);
