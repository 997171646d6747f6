#pragma once
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class Connection;

// One row of `mapa_disponibilidade_agenda` with the names the grid shows.
struct Slot {
    int id = 0;
    int unidade = 0;
    int procedimento = 0;
    QDateTime dataHora;
    int vagaGeral = 0;
    int vagaFemea = 0;
    int usadaGeral = 0; // places taken: written by the web booking service
    int usadaFemea = 0;
    int especie = 0;
    QVariant area;      // COD_AREA_ABRN; null: open to every area
    QString unidadeNome, procedimentoNome, especieNome;
};

// What the screen writes of a slot.
struct SlotValues {
    int unidade = 0;
    int procedimento = 0;
    QDateTime dataHora;
    int vagaGeral = 0;
    int vagaFemea = 0;
    int especie = 0;
};

// Every statement on the availability map. The taken-place counters belong
// to the web booking service: this store writes them only as 0 on insert and
// never reads a slot to decide a write; a write that must not overtake a
// booking carries its condition and is judged by the rows it changed.
class SlotStore {
public:
    explicit SlotStore(Connection &c);

    // The slots of one calendar day, all units and procedures, with their
    // names, in date-hour, unit, key order.
    QList<Slot> day(const QDate &d);
    std::optional<Slot> read(int id);

    // Another slot with the same unit, species, date-hour and procedure.
    bool duplicate(const SlotValues &v, int exceptId = 0);

    // One row per coverage area (or one open to every area), all in one
    // transaction; the duplicate test runs inside it, after the key lock, so
    // two workstations cannot both pass it. Empty when it is a duplicate.
    QList<int> insert(const SlotValues &v, const QList<int> &areas, const QString &user);

    enum class Outcome {
        Done,
        Duplicate,
        GeneralBelowTaken,
        FemaleBelowTaken,
        HourTaken,   // the hour would change under a booking
        KeysTaken,   // unit, species or procedure would change under a booking
        Stale,       // booked, and no longer as the clerk loaded it
        Taken,       // a delete refused: places are held
        Gone,        // the slot is no longer there
    };
    // Alters the slot unless a booking made it impossible meanwhile, judged
    // by the update itself: the counts never go below what is taken; while
    // any place is taken the unit, species, procedure and time of day stay
    // (the day may move: a whole slot rescheduled), and the row must still
    // hold what the clerk loaded (`loaded`), so a save from a stale copy never
    // moves a booked slot back. The duplicate test runs when unit, species,
    // date-hour or procedure change (the sibling rows of a multi-area slot
    // share them).
    Outcome alter(int id, const SlotValues &v, const Slot &loaded, const QString &user);
    // Whether `v` changes what the bookings of `loaded` depend on.
    static bool changesBookedKeys(const SlotValues &v, const Slot &loaded);
    static bool changesTimeOfDay(const SlotValues &v, const Slot &loaded);
    // Deletes the slot only while no place is taken.
    Outcome remove(int id);

    // Cloning: the model's procedure, hour, species and offered counts to
    // each day for each unit, none taken, no area, in one statement. A
    // clone whose unit, species, date-hour and procedure already exist is
    // skipped. `step(done)` (called once, with every pair done) false
    // cancels: nothing is written.
    struct CloneResult {
        int inserted = 0;
        int skipped = 0;
        bool cancelled = false;
    };
    CloneResult clone(const Slot &model, const QList<QDate> &days, const QList<int> &units, const QString &user,
                      const std::function<bool(int done)> &step = {});

    // The month summary's rows: one per unit, date-hour and area, summed.
    struct SummaryRow {
        QString unidadeNome;
        int unidade = 0;
        QDateTime dataHora;
        QVariant area;
        QString areaDescricao;
        int vagaGeral = 0, vagaFemea = 0, usadaGeral = 0, usadaFemea = 0;
    };
    QList<SummaryRow> monthSummary(const QDate &anyDayOfMonth);
    static QString monthSummaryText(const QList<SummaryRow> &rows);

    // "24:00" is midnight of the same calendar day.
    static QDateTime slotDateTime(const QDate &day, int hours, int minutes);
    static QDateTime toDateTime(const QVariant &v);

private:
    Connection &m_c;
};

// Month names of the scheduling screens ("Abriu" as they always read).
QString cloneMonthName(int month);
QString summaryMonthName(int month);
