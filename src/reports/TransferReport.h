#pragma once
#include "reports/engine/ReportDefinition.h"

class Connection;
class ScreenCatalog;

namespace TransferReport {

// "Animais com Transferência" (REL043): per animal, its data and current
// owner, then one line per ownership record.
ReportDefinition definition(Connection &c);

} // namespace TransferReport

// Report 43 of the menu (and of the transfer screen's "Relatório...").
void registerTransferReport(ScreenCatalog &catalog);
