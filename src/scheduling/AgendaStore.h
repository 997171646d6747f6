#pragma once
#include "db/OwnerSearch.h"
#include "ui/register/PagedQueryModel.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <optional>

class Connection;

// What the appointment book reads: epidemiological weeks, the day, month or
// year of a unit's attendances, the weekly board and the searches. Nothing
// here writes.
namespace Agenda {

// One row of semana_epidemiologica.
struct Week {
    int year = 0;
    int number = 0;
    QDate first;  // dtinisep (a Sunday)
    QDate last;   // dtfimsep (a Saturday)
    QString label;
};

// The registered weeks holding `day` (by date alone: 31/12/2023 belongs to
// week 1 of 2024). Exactly one is expected.
QList<Week> weeksHolding(Connection &c, const QDate &day);
std::optional<Week> weekOf(Connection &c, const QDate &day);
// The weeks touching [from, to], for the calendars' week numbers.
QList<Week> weeksBetween(Connection &c, const QDate &from, const QDate &to);

enum class Period { Dia, Mes, Ano };
// Half-open: every instant of the day, month or year and nothing after.
struct Range {
    QDateTime from;
    QDateTime to;
};
Range periodRange(const QDate &day, Period p);
QString periodWord(Period p); // "dia", "mês", "ano"

// The book's unit and status choices (invalid: no choice).
struct Filter {
    QVariant unit;
    QVariant status;
};

// The book's grid: columns, from-clause and key for PagedQueryModel.
QList<PagedQueryModel::Column> gridColumns();
constexpr int DateColumn = 4; // "Data e hora", the order the book opens in
QString gridSource();
// The from-clause a gridCondition() is counted over: only the owner, whose
// status the condition reads (the other joins never add or remove a row).
QString gridCountSource();
QString gridKey();
// Attendances of active owners in the period, with the chosen unit and status.
QString gridCondition(const Filter &f, const Range &r, QVariantMap *params);
// One attendance whatever its owner, period, unit or status.
QString gridConditionForKey(int idAtendimento, QVariantMap *params);

// The weekly board: 23 half-hour rows by Monday..Saturday.
constexpr int BoardRows = 23;
constexpr int BoardDays = 6;
const QStringList &boardTimes(); // "07:00" .. "19:30" (no 14:30, 15:00, 16:00)
const QStringList &boardDayNames(); // "Segunda" .. "Domingo"
// The row an appointment's time falls in: the last row whose time is not
// later; the "19:30" row takes everything from 19:30 on. -1 before 07:00.
int boardRow(const QTime &t);
// "Segunda 04/01/2016" .. "Domingo 10/01/2016" for the week starting on `first`.
QStringList boardTitles(const QDate &first);

struct Board {
    QStringList titles;
    std::array<std::array<int, BoardDays>, BoardRows> counts{};
    int weekTotal = 0; // every appointment of the week, counted or not
};
// Counts the week's appointments [first day, last day + 1) of the week row.
Board readBoard(Connection &c, const Week &w, const Filter &f);

// The search window ("Localizar").
QStringList searchCaptions(); // "Nome Propriet." .. "Cód. Animal", ""
// The search for a caption and typed text; nothing when the text cannot be
// searched for that field (a code with letters, no digits in a CPF).
std::optional<OwnerSearch::Query> search(Connection &c, const QString &caption, const QString &text);

// The text of "Informação de agendamento.".
QString summary(Connection &c, const QDate &day, Period p, const Filter &f);

} // namespace Agenda
