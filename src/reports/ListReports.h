#pragma once
#include "reports/engine/ReportDefinition.h"

class Connection;
class QWidget;
class ScreenCatalog;

// The printed lists of the registers. Each opens into the print preview with
// freshly read data; the register screens' Print actions call open() and the
// "Relatórios" menu reaches them through the screen catalog.
enum class ListReport {
    RelUnidade,            // 025 work units
    Rel_Perfil,            // 026 profiles and their screen permissions
    RelUsuario,            // 027 users
    RelGrupo_Animais,      // 028 animal groups
    RelEspecie_Animal,     // 029 species
    RelRaca,               // 030 breeds
    RelPelo,               // 031 coats
    RelPorte,              // 032 sizes
    RelStatusAtendimento,  // 033 attendance statuses
    RelTipoProcedimento,   // procedure types (from their screen only)
    RelUnidadeMedida,      // 035 units of measure
    RelMedicamento,        // 036 medicines
    RelTipoOcorrencia,     // occurrence types (from their screen only)
    RelProficional,        // 042 professionals
    RelTextoPeso,          // prescription texts by weight (from their screen)
    ReceituarioPadraoImp,  // the standard prescription text (from its screen)
};

namespace ListReports {

// The report's definition, reading from `c` when it is composed.
ReportDefinition definition(ListReport report, Connection &c);

// Composes and previews on the main connection; waits until the preview is
// closed. A database failure is shown with the database's text.
bool open(ListReport report, QWidget *parent = nullptr);

// The menu number a report is registered under, or 0 for the reports that
// only their screens open.
int menuNumber(ListReport report);

} // namespace ListReports

// Registers every list report reached from the menu under its number
// (025 to 036, 042).
void registerListReports(ScreenCatalog &catalog);
