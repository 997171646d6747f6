#include "ui/IdNameCombo.h"
#include "db/Sql.h"

namespace {
constexpr int kStoredOnly = Qt::UserRole + 1;
}

IdNameCombo::IdNameCombo(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
}

void IdNameCombo::fill(Connection &c, const QString &sql, const QVariantMap &params)
{
    fill(c, sql, params, Options{});
}

void IdNameCombo::fill(Connection &c, const QString &sql, const QVariantMap &params, const Options &options)
{
    const QVariant kept = currentId();
    QSqlQuery q = Sql::exec(c, sql, params);
    QSignalBlocker block(this);
    clear();
    if (options.emptyFirst)
        addItem(QString(), QVariant());
    if (options.allEntry)
        addItem(QStringLiteral("0 - Todos"), 0);
    while (q.next()) {
        const QVariant id = q.value(0);
        const QString name = Sql::text(q.value(1));
        addItem(options.text ? options.text(id, name) : Sql::text(id) + QStringLiteral(" - ") + name, id);
    }
    if (!kept.isValid() || !selectId(kept))
        setCurrentIndex(count() > 0 ? 0 : -1);
}

QVariant IdNameCombo::currentId() const
{
    if (currentIndex() < 0)
        return {};
    const QVariant v = currentData();
    return v.isValid() && !v.isNull() ? v : QVariant();
}

bool IdNameCombo::selectId(const QVariant &id)
{
    if (!id.isValid())
        return false;
    for (int i = 0; i < count(); ++i) {
        const QVariant v = itemData(i);
        if (v.isValid() && !v.isNull() && v.toString() == id.toString()) {
            setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void IdNameCombo::selectStored(const QVariant &id, const QString &name)
{
    for (int i = count() - 1; i >= 0; --i)
        if (itemData(i, kStoredOnly).toBool())
            removeItem(i);
    if (!id.isValid() || id.isNull() || selectId(id))
        return;
    addItem(Sql::text(id) + QStringLiteral(" - ") + name, id);
    setItemData(count() - 1, true, kStoredOnly);
    setCurrentIndex(count() - 1);
}
