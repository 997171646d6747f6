#pragma once
#include <QList>
#include <QString>
#include <functional>
#include <map>

class QWidget;

// What each screen or report number opens. The main window's menu asks the
// catalog by number; the areas (tables, registry, reports, ...) fill it with
// their register*() functions, called once from the application's wiring.
// Numbers not in the catalog open nothing (their screen is not built yet).
class ScreenCatalog {
public:
    // Creates the screen as a child of `parent` and returns it, unshown, for
    // the caller to apply permission flags and show; or does its work itself
    // (a report's preview, a modal dialog) and returns nullptr.
    using Opener = std::function<QWidget *(QWidget *parent)>;

    static ScreenCatalog &instance();

    void add(int number, Opener opener);
    bool has(int number) const;
    // Every number registered, in ascending order.
    QList<int> numbers() const;
    // nullptr when nothing is registered or the opener returned nothing.
    QWidget *open(int number, QWidget *parent) const;

    // The report of one record (an owner with its animals), asked for by the
    // screen showing the record with its key, as register screens ask for
    // their list by number. Kept apart from the screens' numbers: a menu
    // entry may print every record under the same number.
    using RecordReport = std::function<void(QWidget *parent, int key)>;
    void addRecordReport(int number, RecordReport report);
    // False when nothing is registered under `number` (nothing is shown).
    bool openRecordReport(int number, int key, QWidget *parent) const;

private:
    std::map<int, Opener> m_openers;
    std::map<int, RecordReport> m_recordReports;
};
