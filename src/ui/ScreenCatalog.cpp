#include "ui/ScreenCatalog.h"

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

QWidget *ScreenCatalog::open(int number, QWidget *parent) const
{
    const auto it = m_openers.find(number);
    return it == m_openers.end() ? nullptr : it->second(parent);
}
