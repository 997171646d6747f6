#pragma once
#include "reports/engine/ReportDefinition.h"

class Connection;

namespace OccurrenceReport {

// The columns every occurrence row carries for the report and the export
// (the joins of animal, owner, breed, species, coat, size, type, address).
QString selectFromJoins();
// Occurrences of one animal of one owner, by date.
QString animalStatement();

// The occurrence report (A4): the animal, its owner's address and its
// occurrences by date.
ReportDefinition definition(Connection &c, int idAnimal, int idProprietario);

} // namespace OccurrenceReport
