#include "ui/register/RegisterDef.h"

namespace {

QString titleOf(const QString &caption)
{
    QString t = caption;
    t.remove(QLatin1Char('&'));
    t = t.trimmed();
    while (t.endsWith(QLatin1Char(':')) || t.endsWith(QLatin1Char('.')))
        t.chop(1);
    return t.trimmed();
}

FieldDef make(EditorKind kind, const QString &caption, const QString &column, int maxLength = 0)
{
    FieldDef f;
    f.kind = kind;
    f.caption = caption;
    f.column = column;
    f.maxLength = maxLength;
    return f;
}

} // namespace

FieldDef keyField(const QString &column, const QString &caption)
{
    FieldDef f = make(EditorKind::Key, caption, column);
    f.readOnly = true;
    return f;
}

FieldDef text(const QString &caption, const QString &column, int maxLength)
{
    return make(EditorKind::Text, caption, column, maxLength);
}

FieldDef memo(const QString &caption, const QString &column, int maxLength)
{
    return make(EditorKind::Memo, caption, column, maxLength);
}

FieldDef statusCheck(const QString &column, const QString &caption)
{
    FieldDef f = make(EditorKind::Check, caption, column);
    f.checkedValue = QStringLiteral("INATIVO");
    f.uncheckedValue = QStringLiteral("ATIVO");
    return f;
}

FieldDef yesNoCheck(const QString &caption, const QString &column)
{
    FieldDef f = make(EditorKind::Check, caption, column);
    f.checkedValue = QStringLiteral("SIM");
    f.uncheckedValue = QStringLiteral("NAO");
    return f;
}

FieldDef lookupField(const QString &caption, const QString &column, const LookupDef &lookup)
{
    FieldDef f = make(EditorKind::Lookup, caption, column);
    f.lookup = lookup;
    return f;
}

FieldDef choice(const QString &caption, const QString &column, const QStringList &items)
{
    FieldDef f = make(EditorKind::Choice, caption, column);
    f.choices = items;
    return f;
}

FieldDef dateField(const QString &caption, const QString &column)
{
    return make(EditorKind::Date, caption, column);
}

FieldDef numberField(const QString &caption, const QString &column)
{
    return make(EditorKind::Number, caption, column);
}

FieldDef integerField(const QString &caption, const QString &column)
{
    FieldDef f = numberField(caption, column);
    f.wholeNumber = true;
    return f;
}

GridColumn gridColumn(const QString &title, const QString &column, int width)
{
    GridColumn c;
    c.title = title;
    c.column = column;
    c.width = width;
    return c;
}

GridColumn gridLookup(const QString &title, const QString &column, const LookupDef &lookup, int width)
{
    GridColumn c = gridColumn(title, column, width);
    c.lookup = lookup;
    return c;
}

Check required(const QString &column, const QString &message)
{
    return Check{column, message, [column](const Record &r) {
                     const QVariant v = r.value(column);
                     return !v.isNull() && !v.toString().trimmed().isEmpty();
                 }};
}

Check check(const QString &column, const QString &message, std::function<bool(const Record &)> ok)
{
    return Check{column, message, std::move(ok)};
}

const FieldDef *RegisterDef::field(const QString &column) const
{
    for (const FieldDef &f : fields)
        if (f.column.compare(column, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

QList<GridColumn> RegisterDef::gridColumns() const
{
    if (!grid.isEmpty())
        return grid;
    QList<GridColumn> out;
    QList<GridColumn> checks;
    QList<GridColumn> memos;
    for (const FieldDef &f : fields) {
        switch (f.kind) {
        case EditorKind::Key:
            out.prepend(gridColumn(titleOf(f.caption), f.column, 60));
            break;
        case EditorKind::Lookup:
            out.append(gridLookup(titleOf(f.caption), f.column, f.lookup, 140));
            break;
        case EditorKind::Check:
            checks.append(gridColumn(f.column.compare(QLatin1String("Ind_Status"), Qt::CaseInsensitive) == 0
                                         ? QStringLiteral("Status") : titleOf(f.caption),
                                     f.column, 80));
            break;
        case EditorKind::Memo:
            memos.append(gridColumn(titleOf(f.caption), f.column, 0));
            break;
        default:
            out.append(gridColumn(titleOf(f.caption), f.column, f.maxLength > 60 ? 220 : 120));
        }
    }
    return out + checks + memos;
}

QString defaultConfirmText(const QString &)
{
    return QStringLiteral("O registro será excluído definitivamente.\rDeseja continuar?");
}

std::function<QString(const QString &)> confirmWithKey(const QString &prefix)
{
    return [prefix](const QString &key) { return prefix + key + QStringLiteral("\r deseje continuar?"); };
}
