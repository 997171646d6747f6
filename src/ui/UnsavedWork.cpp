#include "ui/UnsavedWork.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QAction>
#include <QWidget>

namespace UnsavedWork {

namespace {

bool isSaveAction(const QString &name)
{
    return name.startsWith(QLatin1String("act"))
           && (name.endsWith(QLatin1String("Post")) || name.endsWith(QLatin1String("Gravar")));
}

} // namespace

bool pending(const QWidget *root)
{
    if (!root)
        return false;
    for (const QAction *a : root->findChildren<QAction *>())
        if (a->isEnabled() && isSaveAction(a->objectName()))
            return true;
    for (const QAbstractButton *b : root->findChildren<QAbstractButton *>(QStringLiteral("bmpGravar"))) {
        if (!b->isEnabled())
            continue;
        // A screen whose "Gravar" is always live (a text kept as typed)
        // has no insert or edit state to lose.
        const QWidget *owner = b->parentWidget();
        const auto *cancel = owner ? owner->findChild<QAbstractButton *>(QStringLiteral("bmpCancelar")) : nullptr;
        if (cancel && cancel->isEnabled())
            return true;
    }
    return false;
}

bool confirmLeaving(const QWidget *root, QWidget *parent)
{
    if (!pending(root))
        return true;
    return Services::messages().confirm(QStringLiteral("Existem alterações não gravadas. Deseja realmente sair?"), parent);
}

} // namespace UnsavedWork
