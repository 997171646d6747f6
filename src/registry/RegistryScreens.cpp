#include "registry/RegistryScreens.h"
#include "registry/Endereco_AnimalScreen.h"
#include "registry/PropAnimalScreen.h"
#include "registry/RegistroOcorrenciaScreen.h"
#include "registry/Transferir_AnimalScreen.h"
#include "registry/UnificaProprietarioScreen.h"
#include "ui/ScreenCatalog.h"

void registerRegistryScreens(ScreenCatalog &catalog)
{
    catalog.add(6, [](QWidget *parent) -> QWidget * { return new PropAnimalScreen(parent); });
    catalog.add(21, [](QWidget *parent) -> QWidget * { return new Transferir_AnimalScreen(parent); });
    catalog.add(22, [](QWidget *parent) -> QWidget * { return new RegistroOcorrenciaScreen(parent); });
    catalog.add(61, [](QWidget *parent) -> QWidget * { return new UnificaProprietarioScreen(parent); });
    catalog.add(24, [](QWidget *parent) -> QWidget * { return new Endereco_AnimalScreen(parent); });
}
