#pragma once
#include <QList>
#include <QString>
#include <QVariant>

class Connection;

// The prepared prescription texts: the one standard text (row 1 of
// receituario_padrao) and the texts by body weight. The attendance screen
// reads them to compose an attendance's prescription.
namespace PrescriptionTexts {

// The standard text; empty when the row is missing or blank. Throws DbError.
QString standardText(Connection &c);

// Writes the standard text into row 1, creating the row when it is missing,
// in one transaction stamped with `userId` and the server clock. Throws DbError.
void saveStandardText(Connection &c, const QString &text, const QVariant &userId);

struct WeightText {
    int id = 0;
    QVariant peso; // kilograms; null when not given
    QString texto;
    bool active = true;
};

// Every weight text in key order (`activeOnly`: without the inactive ones).
QList<WeightText> weightTexts(Connection &c, bool activeOnly = false);

} // namespace PrescriptionTexts
