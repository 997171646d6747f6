#include "ui/register/FieldSet.h"

FieldBinder *FieldSet::add(const FieldDef &def, QWidget *parent)
{
    m_binders.push_back(FieldBinder::create(def, m_conn, parent, m_table));
    return m_binders.back().get();
}

FieldBinder *FieldSet::at(const QString &column) const
{
    for (const auto &b : m_binders)
        if (b->def().column.compare(column, Qt::CaseInsensitive) == 0)
            return b.get();
    return nullptr;
}

QWidget *FieldSet::editor(const QString &column) const
{
    FieldBinder *b = at(column);
    return b ? b->editor() : nullptr;
}

void FieldSet::load(const Record &values)
{
    for (const auto &b : m_binders)
        b->load(values.value(b->def().column));
}

Record FieldSet::values() const
{
    Record r;
    for (const auto &b : m_binders)
        r.insert(b->def().column, b->value());
    return r;
}

void FieldSet::setEditable(bool on)
{
    for (const auto &b : m_binders)
        b->setEditable(on);
}

void FieldSet::reloadRows()
{
    for (const auto &b : m_binders)
        b->reloadRows();
}
