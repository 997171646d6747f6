#include "scheduling/SchedulingHooks.h"
#include "ui/MainMenuHook.h"
#include "ui/ScreenCatalog.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

namespace SchedulingHooks {

namespace {
PrescriptionPrinter &printer()
{
    static PrescriptionPrinter f;
    return f;
}
} // namespace

void openFromMenu(QWidget *from, const QString &objectName, int catalogNumber)
{
    if (QAction *a = MainMenuHook::action(objectName)) {
        a->trigger();
        return;
    }
    if (catalogNumber > 0)
        if (QWidget *w = ScreenCatalog::instance().open(catalogNumber, from))
            showChild(w, from);
}

void showChild(QWidget *screen, QWidget *near)
{
    screen->setAttribute(Qt::WA_DeleteOnClose);
    QMdiArea *area = nullptr;
    for (QWidget *w = near; w && !area; w = w->parentWidget())
        if (auto *sub = qobject_cast<QMdiSubWindow *>(w))
            area = sub->mdiArea();
    if (area) {
        QMdiSubWindow *sub = area->addSubWindow(screen);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(screen, &QObject::destroyed, sub, &QMdiSubWindow::close, Qt::QueuedConnection);
        sub->show();
        screen->show();
        area->setActiveSubWindow(sub);
        return;
    }
    screen->setParent(near, Qt::Window);
    screen->show();
}

void setPrescriptionPrinter(PrescriptionPrinter p)
{
    printer() = std::move(p);
}

const PrescriptionPrinter &prescriptionPrinter()
{
    return printer();
}

} // namespace SchedulingHooks
