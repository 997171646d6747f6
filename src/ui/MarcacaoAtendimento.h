#pragma once
#include <QString>

// The hand-over from the animal record to the attendance screen: the animal
// record fills it before opening the attendance screen, which reads and
// clears it. It lives as long as the main window.
struct TMarcacaoAtendimento {
    int Origem = 0;          // 0 none, 1 booking started from the animal record
    QString IdProprietario;  // keys as text
    QString IdAnimal;

    void clear() { *this = TMarcacaoAtendimento(); }
};

// The record held by the main window (a process-wide one when no main window
// exists, as in tests of a single screen).
TMarcacaoAtendimento &marcacaoAtendimento();

// The main window installs its own record while it lives; nullptr uninstalls.
void setMarcacaoAtendimentoHolder(TMarcacaoAtendimento *holder);
