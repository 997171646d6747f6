#pragma once
#include <QDate>
#include <QMap>
#include <QString>
#include <cstdint>
#include <functional>

class Connection;

// A synthetic city for demonstrations and load measurements: owners with
// valid tax numbers, their animals with breeds, microchips and vaccinations,
// addresses on the city's street database, professionals, surgery slots and
// several years of appointments. The same seed, size and date always give
// the same rows.
namespace CityGenerator {

// xoshiro256** seeded through splitmix64: fixed output on every platform
// and library (the standard distributions are not).
class Random {
public:
    explicit Random(uint64_t seed);
    uint64_t next();
    // 0 <= value < n (n > 0).
    int below(int n);
    // True with `percent` per cent.
    bool chance(int percent) { return below(100) < percent; }
    // An index chosen by integer weights.
    int weighted(const int *weights, int count);

private:
    uint64_t s[4];
};

// The check digits of a tax number: `base` is the 9 (person) or 12
// (organisation) leading digits; the whole number comes back.
QString cpfWithCheckDigits(const QString &base9);
QString cnpjWithCheckDigits(const QString &base12);

struct Options {
    int owners = 1000;
    uint64_t seed = 1;
    // The last day of the recorded past: appointments run from six years
    // before it to two months after it (those after it are still booked).
    QDate today = QDate(2026, 12, 1);
    // Called every few thousand owners and at each phase.
    std::function<void(const QString &message)> progress;
};

struct Result {
    qint64 rows = 0;         // every row written
    double loadSeconds = 0;  // inserting the rows
    double totalSeconds = 0; // with indexes and statistics
    QMap<QString, qint64> perTable;
};

// Fills a database that has the program's tables and no owners yet (a
// database with owners is refused with DbError: the generator gives the
// keys itself). Loads the sample street database first when the city has
// no streets. Everything is written in one transaction; on PostgreSQL the
// server's key sequences are moved past the generated keys.
Result generate(Connection &c, const Options &options);

} // namespace CityGenerator
