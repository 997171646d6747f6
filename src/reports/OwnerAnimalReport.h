#pragma once
#include "reports/engine/ReportDefinition.h"

class Connection;

namespace OwnerAnimalReport {

// "Relatório de Animais por Proprietário" (REL049): each owner with its
// address and the animals it has held. idProprietario 0: every owner.
ReportDefinition definition(Connection &c, int idProprietario = 0);

} // namespace OwnerAnimalReport
