#include "ui/ReadOnlyLook.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace ReadOnlyLook {

namespace {

const char *SavedBase = "zapoEditableBase";
const char *ComboDone = "zapoReadableWhenDisabled";

bool readOnlyNow(const QWidget *w, bool *known)
{
    *known = true;
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->isReadOnly();
    if (auto *e = qobject_cast<const QPlainTextEdit *>(w))
        return e->isReadOnly();
    if (auto *e = qobject_cast<const QTextEdit *>(w))
        return e->isReadOnly();
    if (auto *e = qobject_cast<const QAbstractSpinBox *>(w))
        return e->isReadOnly();
    *known = false;
    return false;
}

class Filter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type t = event->type();
        if ((t == QEvent::ReadOnlyChange || t == QEvent::Polish) && watched->isWidgetType())
            apply(static_cast<QWidget *>(watched));
        return false;
    }
};

} // namespace

void apply(QWidget *w)
{
    if (auto *combo = qobject_cast<QComboBox *>(w)) {
        if (combo->property(ComboDone).toBool())
            return;
        combo->setProperty(ComboDone, true);
        QPalette p = combo->palette();
        for (QPalette::ColorRole role : {QPalette::ButtonText, QPalette::Text, QPalette::WindowText})
            p.setColor(QPalette::Disabled, role, p.color(QPalette::Active, role));
        combo->setPalette(p);
        return;
    }
    bool known = false;
    const bool readOnly = readOnlyNow(w, &known);
    if (!known)
        return;
    // A line edit inside a drop-down or a spin box follows its owner.
    if (qobject_cast<QComboBox *>(w->parentWidget()) || qobject_cast<QAbstractSpinBox *>(w->parentWidget()))
        return;
    const QVariant saved = w->property(SavedBase);
    if (readOnly && !saved.isValid()) {
        QPalette p = w->palette();
        w->setProperty(SavedBase, QVariant::fromValue(p.brush(QPalette::Active, QPalette::Base)));
        const QBrush window = p.brush(QPalette::Active, QPalette::Window);
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
            p.setBrush(g, QPalette::Base, window);
        w->setPalette(p);
    } else if (!readOnly && saved.isValid()) {
        QPalette p = w->palette();
        const QBrush base = saved.value<QBrush>();
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
            p.setBrush(g, QPalette::Base, base);
        w->setPalette(p);
        w->setProperty(SavedBase, QVariant());
    }
}

void install()
{
    static Filter *filter = nullptr;
    if (filter || !qApp)
        return;
    filter = new Filter(qApp);
    qApp->installEventFilter(filter);
}

} // namespace ReadOnlyLook
