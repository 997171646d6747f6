#include "db/Session.h"

TUsuarioLogado &usuarioLogado()
{
    static TUsuarioLogado s;
    return s;
}
