#include "scheduling/AgendaScreens.h"
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
}
