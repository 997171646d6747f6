#pragma once
#include "reports/engine/ReportDefinition.h"

class Connection;
class QWidget;

// "Informação do Animal": one animal on an A4 page, as the clerk answers a
// call about it: its record, its owner, where it lives, and its history
// (vaccinations, attendances, occurrences), each list in date order.
namespace AnimalInfoReport {

ReportDefinition definition(Connection &c, int idAnimal);
// Previews the animal's page; an animal that is gone says so instead of
// opening an empty page. True when previewed.
bool open(Connection &c, int idAnimal, QWidget *parent);

} // namespace AnimalInfoReport
