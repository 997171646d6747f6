#pragma once
#include "reports/engine/ReportDefinition.h"

// The page layout the register lists share: a title band with the product's
// title, the report code, the date and time and the report's title; one boxed
// block per record (key, name, status, then the description wrapping over the
// full width); a summary with the number of records; "Pag.:" at the foot.
struct RegisterList {
    QString code;          // "REL025"
    QString title;         // "Unidade de Trabalho"
    QString keyColumn;
    QString nameColumn;
    std::function<QString(const ReportRow &)> nameText; // instead of the column
    bool nameBold = false;
    QString statusColumn;
    std::function<QString(const QString &)> statusText; // default: as stored
    QString descriptionColumn;
    // An extra line under the name (breeds: coat and size).
    std::function<QString(const ReportRow &)> secondLine;
    // A cell before the status (occurrence types: "Finaliza caso: ").
    std::function<QString(const ReportRow &)> beforeStatus;
    QString summaryLabel;  // "Total de registro:"; empty: no summary
};

namespace ListLayout {

// Builds the report; `data` opens the main query when the report composes.
ReportDefinition registerList(const RegisterList &spec, std::function<std::unique_ptr<ReportDataSource>()> data);

// The title band of the family: product title (bold 14 pt), code (8 pt) at
// the top right with the date and time under it, title (10 pt) centred on the
// second line, a line under it. Returns the band's height.
void addFamilyTitle(ReportBand &band, double width, const QString &code, const QString &title);

// The header of the reports with their own layout: the date and time at the
// top left (the workstation's, or `dateTimeText` such as the server's), the
// product's title (bold 14 pt) centred, the code at the top right and the
// report's title centred on the second line.
void addReportHeader(ReportBand &band, double width, const QString &code, const QString &title, double smallPt,
                     double titlePt, bool titleBold, const QString &dateTimeText = {});

// "Pag.:" and the page number at the right of the page footer.
void addPageNumber(ReportDefinition &def, double pointSize = 8);

} // namespace ListLayout
