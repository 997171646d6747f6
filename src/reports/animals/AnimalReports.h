#pragma once
#include "reports/engine/ReportDefinition.h"

#include <QDate>

class Connection;
class QWidget;

// Summaries of the animal register for the service's management.
namespace AnimalReports {

// 037: every animal by species and animal group, with the microchipped and
// sterilized counts and their shares (Letter portrait).
ReportDefinition complete(Connection &c);

// A share as printed: all the digits of the division, decimal comma
// ("50", "33,3333333333333"); 0 of nothing is "0".
QString percent(qint64 part, qint64 whole);
// What the counts of 037 take as microchipped and as sterilized.
bool microchipped(const QString &numMicrochip);
bool sterilized(const QString &esterilizado);

// One chart's slices: label and value.
using Slices = QList<QPair<QString, double>>;
struct ConsolidatedData {
    Slices especies, racas, grupos, ocorrencias, procedimentos;
    bool failed = false; // some data set could not be read (shown empty)
};
// Reads the five data sets of 038 for the days from..to (the whole city).
ConsolidatedData consolidatedData(Connection &c, const QDate &from, const QDate &to);
// The bar chart keeps the largest breeds and adds the others up in one bar,
// so every animal is still counted and the labels stay legible.
Slices topSlices(Slices slices, int keep, const QString &restLabel);
// 038: the five charts on one A4 landscape page.
ReportDefinition consolidated(Connection &c, const ConsolidatedData &data);
// Reads, says "Erro ao tentar abrir o relatório." when a data set failed,
// and previews anyway. True when previewed.
bool openConsolidated(Connection &c, const QDate &from, const QDate &to, QWidget *parent);

// 039: the microchipped animals registered in a period, per owner's unit
// (0: every unit), A4 landscape.
ReportDefinition microchippedAnimals(Connection &c, int idUnidade, const QDate &from, const QDate &to);
// Previews; a failure shows "Erro ao gerar o relatório.". True when previewed.
bool openMicrochipped(Connection &c, int idUnidade, const QDate &from, const QDate &to, QWidget *parent);

} // namespace AnimalReports

class ScreenCatalog;
// Registers 037 (038 and 039 open through the unit-and-period window).
void registerAnimalReports(ScreenCatalog &catalog);
