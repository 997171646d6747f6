#include "ui/MarcacaoAtendimento.h"

namespace {
TMarcacaoAtendimento *g_holder = nullptr;
}

TMarcacaoAtendimento &marcacaoAtendimento()
{
    static TMarcacaoAtendimento fallback;
    return g_holder ? *g_holder : fallback;
}

void setMarcacaoAtendimentoHolder(TMarcacaoAtendimento *holder)
{
    g_holder = holder;
}
