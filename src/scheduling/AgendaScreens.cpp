#include "scheduling/AgendaScreens.h"
#include "registry/AnimalPanel.h"
#include "registry/PropAnimalScreen.h"
#include "scheduling/AgendaNovoAtendimentoScreen.h"
#include "scheduling/AgendaScreen.h"
#include "scheduling/SchedulingHooks.h"
#include "ui/ScreenCatalog.h"

void registerAgendaScreens(ScreenCatalog &catalog)
{
    catalog.add(23, [](QWidget *parent) -> QWidget * { return new AgendaScreen(parent); });
    AgendaScreen::setAttendanceOpener([](QWidget *book, const QDate &date, int idAtendimento) {
        auto *s = new AgendaNovoAtendimentoScreen(nullptr);
        s->setDate(date);
        s->openList(idAtendimento);
        SchedulingHooks::showChild(s, book);
    });
    AnimalPanel::setNewAppointmentOpener([](QWidget *opener) {
        // The unit chosen on the register that handed the animal over.
        QVariant unit;
        for (QWidget *w = opener; w; w = w->parentWidget())
            if (auto *r = qobject_cast<PropAnimalScreen *>(w)) {
                unit = r->chosenUnidade();
                break;
            }
        SchedulingHooks::showChild(new AgendaNovoAtendimentoScreen(nullptr, unit), opener);
    });
}
