#pragma once

class ScreenCatalog;

// The appointment book (023) and the attendance screen it opens, also
// opened by the animal record's "&Marca atendimento...".
void registerAgendaScreens(ScreenCatalog &catalog);
