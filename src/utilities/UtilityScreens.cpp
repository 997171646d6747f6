#include "utilities/UtilityScreens.h"
#include "ui/ScreenCatalog.h"
#include "utilities/ConsultaLeishmanioseScreen.h"
#include "utilities/ExportaTabelaAgendamentoScreen.h"
#include "utilities/ExportaTabelasScreen.h"
#include "utilities/ExportarDadosScreen.h"
#include "utilities/PesquisaAvancadoScreen.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

template <typename Screen>
QWidget *openIndependent(QWidget *)
{
    auto *w = new Screen(nullptr);
    w->setAttribute(Qt::WA_DeleteOnClose);
    if (QScreen *s = QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        w->resize(w->size().boundedTo(area.size()));
        w->move(area.center() - w->rect().center());
    }
    w->show();
    w->raise();
    w->activateWindow();
    return nullptr; // not a child window of the main window
}

} // namespace

void registerUtilityScreens(ScreenCatalog &catalog)
{
    catalog.add(44, &openIndependent<ExportarDadosScreen>);
    catalog.add(45, &openIndependent<ConsultaLeishmanioseScreen>);
    catalog.add(46, &openIndependent<PesquisaAvancadoScreen>);
    catalog.add(49, &openIndependent<ExportaTabelasScreen>);
    catalog.add(60, &openIndependent<ExportaTabelaAgendamentoScreen>);
}
