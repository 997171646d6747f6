#pragma once

class ScreenCatalog;

// The appointment book (023) and the attendance screen it opens (the animal
// record's "&Marca atendimento..." opens the latter too: see src/app).
void registerAgendaScreens(ScreenCatalog &catalog);
