#pragma once
#include "reports/engine/ReportDefinition.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

class Connection;
class QWidget;

// "Rel:0053": the surgery authorization the owner signs before surgery, one
// A4 portrait page for the current attendance.
namespace AutorizaCirurgiaReport {

struct Data {
    int idAtendimento = 0;
    bool found = false;          // the attendance, its active owner and its animal
    QDateTime printedAt;         // the server's clock
    QStringList identification;  // the seven composed lines
    QList<QPair<QString, QString>> surgeries; // type name and description, in key order
};

// The telephones worth printing (more than 10 characters once trimmed),
// "Tel.:" + the list, or "Tel.: NÃO INFORMADO.".
QString telephoneLine(const QString &residencial, const QString &celular, const QString &recado);
// The declaration with the surgeries, as the form prints it.
QString surgeryParagraph(int idAtendimento, const QList<QPair<QString, QString>> &surgeries);

// Throws DbError.
Data read(Connection &c, int idAtendimento);
ReportDefinition definition(const Data &d);
// Reads, composes and previews; a database failure is shown with its text.
bool open(Connection &c, int idAtendimento, QWidget *parent);

} // namespace AutorizaCirurgiaReport
