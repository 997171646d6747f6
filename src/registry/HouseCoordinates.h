#pragma once
#include <QList>
#include <QPointF>
#include <QString>
#include <optional>

// Map coordinates of a house from the houses the street database knows on
// its street: the house itself; else, among the houses within 100 numbers
// on the same side (or on either side when that side has none), the first
// one above it in number order, else the last one below; (0, 0) when none.
namespace HouseCoordinates {

struct House {
    QString numImov; // as stored: the first 5 characters hold the number
    double x = 0;
    double y = 0;
};

// The number a stored house number starts with; nothing when it does not
// start with digits (such a house is left out, not the whole street).
std::optional<int> houseNumber(const QString &numImov);

QPointF walk(const QList<House> &houses, int number);

} // namespace HouseCoordinates
