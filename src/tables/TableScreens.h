#pragma once
#include "ui/register/RegisterDef.h"

class ScreenCatalog;

// The reference tables (screens 009 to 018) and the vaccination auxiliary
// tables (screen 050).
namespace TableScreens {

RegisterDef grupoAnimais();      // 009
RegisterDef especieAnimal();     // 010
RegisterDef raca();              // 011
RegisterDef pelo();              // 012
RegisterDef porteAnimal();       // 013
RegisterDef statusAtendimento(); // 014
RegisterDef unidadeMedida();     // 015
RegisterDef medicamento();       // 016
RegisterDef procedimento();      // 017
RegisterDef tipoOcorrencia();    // 018

// The list reports of 017 and 018 have no menu entry of their own; the
// catalog knows them by these numbers.
constexpr int ProcedureListReport = 1017;
constexpr int OccurrenceTypeListReport = 1018;

} // namespace TableScreens

// Screens 9 to 18 and 50.
void registerTableScreens(ScreenCatalog &catalog);
