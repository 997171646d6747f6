#pragma once
#include "reports/engine/ReportDefinition.h"

class Connection;

// "Programação de cotas " (REL51): the planned drafts with their totals.
namespace DraftReport {
ReportDefinition definition(Connection &c);
}
