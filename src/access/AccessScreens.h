#pragma once
#include "ui/register/RegisterDef.h"

class ScreenCatalog;

// Access administration: work units (001), profiles and their screen
// permissions (002), users (003) and the registry of screens (047).
namespace AccessScreens {

RegisterDef unidade();      // 001
RegisterDef usuario();      // 003
RegisterDef formSistema();  // 047

} // namespace AccessScreens

void registerAccessScreens(ScreenCatalog &catalog);
