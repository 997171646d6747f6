#pragma once
#include <QList>
#include <QPointF>
#include <QString>
#include <QVariant>
#include <optional>

class Connection;

// Read-only lookups in the city's street database, through the main
// connection (which reaches the address tables) with every value bound.
class StreetDirectory {
public:
    struct StreetType {
        QString code;        // Tip_Logr
        QString description; // Des_Tip_Logr
    };
    struct Neighbourhood {
        int num = 0; // num_bair
        QString name;
        QString type;
    };
    struct CoverageArea {
        int code = 0; // cod_area_abrn
        QString description;
    };
    struct Street {
        int numLogr = 0;
        int seq = 0;        // num_sequ_logr
        QString type;       // tip_logr
        QString name;       // nom_logr
        QVariant numBair;   // when the lookup names a neighbourhood
        QString nomBair;
    };
    struct Stretch {
        int numLogr = 0;
        QString cep;  // 8 digits
        QString side; // "I" odd numbers, "P" even numbers
        QString first, last;
    };

    explicit StreetDirectory(Connection &c);
    StreetDirectory(); // the current main connection

    QList<StreetType> streetTypes() const;
    // Streets whose code is `code`, by their current name (sequence 1).
    QList<Street> streetsByCode(int code) const;
    // The street's type and a neighbourhood it lies in, by code and name
    // sequence (what a street code typed in needs besides its name).
    std::optional<Street> streetDetails(int numLogr, const QString &name = {}) const;

    // The street search window's list: streets with their neighbourhoods,
    // by street code, start of the street name, neighbourhood code or start
    // of the neighbourhood name; ordered by street name. A code that is no
    // number finds nothing.
    enum class SearchBy { StreetCode, StreetName, NeighbourhoodCode, NeighbourhoodName };
    QList<Street> search(SearchBy by, const QString &text) const;
    // How many streets carry exactly this current name.
    int countByName(const QString &name) const;
    // The one street with this exact name, with its sequence, type and a
    // neighbourhood; nothing when there are none or several.
    std::optional<Street> streetByName(const QString &name) const;
    // The postal code of a house: the stretch holding the number, on the
    // house's side of the street when the street has a code per side.
    QString postalCodeFor(int numLogr, int houseNumber) const;
    // The first stretch with this postal code (8 digits).
    std::optional<Stretch> stretchByPostalCode(const QString &cep) const;
    // The street's current name (lowest sequence).
    std::optional<Street> currentName(int numLogr) const;
    // Neighbourhoods of class "P" the street crosses; every neighbourhood
    // of that class when it crosses none (or no street is given).
    QList<Neighbourhood> neighbourhoodsOfStreet(const QVariant &numLogr) const;
    QList<Neighbourhood> allNeighbourhoods() const;
    // Active coverage areas of the sanitary district a district key names
    // (its first digit); every area when the key is null.
    QList<CoverageArea> coverageAreas(const QVariant &districtKey = {}) const;
    // The address history (024) lists what its district choice and its
    // neighbourhood list always listed: the areas whose sanitary district is
    // the whole district key, whatever their status, and the neighbourhoods
    // of classes "O" and "P" (one entry per type and name, its least code),
    // by name then type.
    QList<CoverageArea> coverageAreasOfDistrictKey(const QVariant &districtKey) const;
    QList<Neighbourhood> historyNeighbourhoods() const;
    // Map coordinates of a house from the houses known on its street
    // (HouseCoordinates::walk); (0, 0) when none is near enough.
    QPointF houseCoordinates(int numLogr, int houseNumber) const;

    // "I" for odd house numbers, "P" for even ones.
    static QString sideOf(int houseNumber);
    // The sanitary district a district key belongs to: its first digit.
    static QVariant sanitaryDistrict(const QVariant &districtKey);

private:
    QString t(const char *name) const;
    Connection &m_c;
};
