#include "ui/ScreenCatalog.h"
#include "ui/FocusFlow.h"
#include "ui/ReadOnlyLook.h"

ScreenCatalog &ScreenCatalog::instance()
{
    static ScreenCatalog c;
    return c;
}

void ScreenCatalog::add(int number, Opener opener)
{
    m_openers[number] = std::move(opener);
}

bool ScreenCatalog::has(int number) const
{
    return m_openers.count(number) > 0;
}

QList<int> ScreenCatalog::numbers() const
{
    QList<int> l;
    for (const auto &entry : m_openers)
        l << entry.first;
    return l;
}

QWidget *ScreenCatalog::open(int number, QWidget *parent) const
{
    const auto it = m_openers.find(number);
    if (it == m_openers.end())
        return nullptr;
    ReadOnlyLook::install();
    QWidget *screen = it->second(parent);
    // Tab and Enter walk every screen in the order the clerk reads it.
    if (screen)
        FocusFlow::orderByLayout(screen);
    return screen;
}

void ScreenCatalog::addRecordReport(int number, RecordReport report)
{
    m_recordReports[number] = std::move(report);
}

bool ScreenCatalog::openRecordReport(int number, int key, QWidget *parent) const
{
    const auto it = m_recordReports.find(number);
    if (it == m_recordReports.end() || !it->second)
        return false;
    it->second(parent, key);
    return true;
}
