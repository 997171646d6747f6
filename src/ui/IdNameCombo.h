#pragma once
#include <QComboBox>
#include <QVariant>
#include <QVariantMap>
#include <functional>

class Connection;

// A choice list filled from a statement whose first two columns are an id and
// a name. Items read "id - name" and keep the id as item data, so no screen
// ever parses an id back out of the text. Not editable: typing the first
// characters of an item (its id) jumps to it.
class IdNameCombo : public QComboBox {
    Q_OBJECT
public:
    struct Options {
        bool emptyFirst = false;  // an empty entry first (no choice)
        bool allEntry = false;    // "0 - Todos" first, id 0
        // The item text; default: id + " - " + name.
        std::function<QString(const QVariant &id, const QString &name)> text;
    };

    explicit IdNameCombo(QWidget *parent = nullptr);

    // Refills the list (the current id is kept when still listed). Throws
    // DbError when the statement fails.
    void fill(Connection &c, const QString &sql, const QVariantMap &params = {});
    void fill(Connection &c, const QString &sql, const QVariantMap &params, const Options &options);

    // The chosen id; invalid for the empty entry or no choice.
    QVariant currentId() const;
    // Chooses the item of an id; false (and no change) when not listed.
    bool selectId(const QVariant &id);
    // Shows a stored id even when the list no longer offers it (an inactive
    // unit, an animal of another owner now): an entry of its own is added
    // for it, and goes again at the next call or fill. An invalid id only
    // removes such an entry.
    void selectStored(const QVariant &id, const QString &name);
};
