#pragma once
#include "reports/engine/ReportDefinition.h"

class Connection;
class ScreenCatalog;

namespace OwnerAnimalReport {

// "Relatório de Animais por Proprietário" (REL049): each owner with its
// address and the animals it has held. idProprietario 0: every owner.
ReportDefinition definition(Connection &c, int idProprietario = 0);

} // namespace OwnerAnimalReport

// The menu's report and the "Imprimir..." of the owner and animal register.
void registerOwnerAnimalReport(ScreenCatalog &catalog);
