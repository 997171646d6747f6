#pragma once
#include "reports/engine/ReportDefinition.h"

#include <QDateTime>
#include <QVariant>

class Connection;
class QWidget;

// What the printed prescription shows: the attendance as the attendance
// screen holds it, with the prescription text as shown there (unsaved
// changes included).
struct ReceituarioData {
    QVariant idAtendimento;
    QDateTime dataHoraAtendimento;
    QVariant idUnidadeAgendada;
    QVariant idProprietario;
    QString nomeProprietario;
    QVariant idAnimal;
    QString nomeAnimal;
    QString texto;
};

namespace RelReceituario {

// The prescription on A4 portrait: the title band with the server time, the
// product's title, "REL001", "Receituário" and the scheduled unit's name;
// then the attendance, owner and animal lines and the text, which wraps and
// runs onto further pages.
ReportDefinition definition(const ReceituarioData &d, const QString &unitName, const QDateTime &serverTime);

// Reads the scheduled unit's name and the server clock from `c` (default:
// the main connection), composes and previews; false when nothing was
// previewed (a database failure is shown with its text).
bool open(const ReceituarioData &d, QWidget *parent = nullptr, Connection *c = nullptr);

// The stored attendance's ids, date and time, owner and animal; the text is
// left for the caller. Throws DbError; empty ids when there is no such row.
ReceituarioData fromAttendance(Connection &c, const QVariant &idAtendimento);

} // namespace RelReceituario
