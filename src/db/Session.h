#pragma once
#include <QString>

// Who is working: filled by each successful login, replaced as a whole.
// Every field is text (numbers as their decimal text).
struct TUsuarioLogado {
    QString IdUsuario;
    QString IdPerfil;
    QString IdUnidadeTrabalho;
    QString NomeUsuario;
    QString Login;
    QString Senha;
    QString NomeUnidade;
    QString NomePerfil;
};

// The process-wide session record.
TUsuarioLogado &usuarioLogado();
