#pragma once
#include "reports/engine/ReportDefinition.h"

#include <QDate>

class Connection;

// The animal's identification card: a strip of about 210 by 62 mm, the
// animal on the left half and its owner and the issue on the right.
namespace CardReport {

enum class Variant {
    // "Imp. &Horizontal...": A4 portrait, the strip at the top edge, with
    // the header and logos, "---" where some values are empty.
    Portrait,
    // "&Imp. &Verdical...": A4 landscape, the strip 68 mm down on card stock
    // that already carries the header; empty values stay blank.
    Landscape
};

// Who issues and when: the logged-in user ("7-ATENDENTE") and the server's date.
struct Issue {
    QString by;
    QDate on;
};
Issue currentIssue(Connection &c);

QString rga(const QVariant &idAnimal); // 1234 -> "1234-1234"
// Street type, name, number, complement and district; empty without an address.
QString address(const ReportRow &r);
// The residential telephone, else the mobile, else the message one, as stored.
QString telephone(const QString &residencial, const QString &celular, const QString &recado);

// The card of one animal; `ownerName` is the name the selection list showed.
ReportDefinition definition(Connection &c, Variant v, int idAnimal, const QString &ownerName, const Issue &issue);

} // namespace CardReport
