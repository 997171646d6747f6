#include "app/MenuRegistry.h"

namespace Menu {
namespace {

const QString Sistema = QStringLiteral("&Sistema");
const QString Cadastros = QStringLiteral("&Cadastros");
const QString Tabela = QStringLiteral("Tabela");
const QString Operacional = QStringLiteral("&Operacional");
const QString Relatorios = QStringLiteral("&Relatórios");
const QString Utilitario = QStringLiteral("&Utilitário");
const QString Janelas = QStringLiteral("&Janelas");
const QString Ajuda = QStringLiteral("&Ajuda");

Entry top(const QString &caption, const QString &objectName)
{
    Entry e;
    e.kind = Kind::TopMenu;
    e.caption = caption;
    e.tag = -1;
    e.objectName = objectName;
    return e;
}

Entry separator(const QString &parent, int tag)
{
    Entry e;
    e.kind = Kind::Separator;
    e.parent = parent;
    e.tag = tag;
    return e;
}

Entry command(Kind kind, const QString &parent, const QString &caption, const QString &hint, int tag,
              const QString &objectName)
{
    Entry e;
    e.kind = kind;
    e.parent = parent;
    e.caption = caption;
    e.hint = hint;
    e.tag = tag;
    e.objectName = objectName;
    return e;
}

// A screen or report of its own number, no flags read.
Entry screen(const QString &parent, const QString &caption, const QString &hint, int tag, int number,
             const QString &objectName = {})
{
    Entry e = command(Kind::Screen, parent, caption, hint, tag,
                      objectName.isEmpty() ? QStringLiteral("mnu%1").arg(number, 3, 10, QLatin1Char('0')) : objectName);
    e.screen = number;
    return e;
}

Entry gated(Entry e, int permissionId, Refusals r)
{
    e.permissionId = permissionId;
    e.refusals = std::move(r);
    return e;
}

// The insert, alter, delete and print actions of a register screen.
Refusals standard()
{
    Refusals r;
    r.incluir = {QStringLiteral("actAppend")};
    r.alterar = {QStringLiteral("actEdit")};
    r.excluir = {QStringLiteral("actDelete")};
    r.imprimir = {QStringLiteral("actPrint")};
    return r;
}

QList<Entry> build()
{
    QList<Entry> l;
    const QString none;

    l << top(Sistema, QStringLiteral("mnuSistema"));
    l << gated(screen(Sistema, QStringLiteral("001 - &Unidade de trabalho..."), QStringLiteral("Cadastro de unidade de trabalho."), 1, 1), 1, standard());
    l << gated(screen(Sistema, QStringLiteral("002 - &Perfil de usuário..."), QStringLiteral("Cadastro de perfil."), 2, 2), 2, {});
    l << gated(screen(Sistema, QStringLiteral("003 - &Usuário..."), QStringLiteral("Cadastro de Usuário"), 3, 3), 3, standard());
    l << separator(Sistema, -1);
    l << screen(Sistema, QStringLiteral("004 - Trocar &senha..."), QStringLiteral("Troca senha do usuário."), 4, 4);
    l << command(Kind::ChangeUser, Sistema, QStringLiteral("005 - &Trocar de Usuário..."), QStringLiteral("Trocar de Usuário"), 5, QStringLiteral("mnu005"));
    l << separator(Sistema, -1);
    l << command(Kind::Quit, Sistema, QStringLiteral("&Sair"), QStringLiteral("Sair do Sistema"), -1, QStringLiteral("mnuSair"));

    l << top(Cadastros, QStringLiteral("mnuCadastros"));
    {
        Refusals r;
        r.incluir = {QStringLiteral("actAppend"), QStringLiteral("actAnimalNovo")};
        r.alterar = {QStringLiteral("actEdit"), QStringLiteral("actAnimalAlterar")};
        r.excluir = {QStringLiteral("actDelete"), QStringLiteral("actAnimalExcluir")};
        r.imprimir = {QStringLiteral("actPrint")};
        r.shownWithRow = {QStringLiteral("actInformation")};
        l << gated(screen(Cadastros, QStringLiteral("006 - &Cadastrar Proprietário/Animal..."), QStringLiteral("Cadastrar Proprietário/Animal"), 6, 6), 6, r);
    }
    l << gated(screen(Cadastros, QStringLiteral("007 - &Profissional..."), QStringLiteral("Cadastro de profissionais"), 7, 7), 7, standard());
    {
        Refusals r;
        r.incluir = {QStringLiteral("bmpIncluir")};
        r.excluir = {QStringLiteral("bmpExcluir")};
        l << gated(screen(Cadastros, QStringLiteral("008 - &Atendimento particular..."), QStringLiteral("Atendimento particular."), 8, 8), 5, r);
    }
    l << separator(Cadastros, 0);
    {
        Entry e = command(Kind::SubMenu, Cadastros, Tabela, none, -1, QStringLiteral("mnuTabela"));
        l << e;
    }
    l << gated(screen(Tabela, QStringLiteral("009 - &Grupo de animais..."), QStringLiteral("Cadastro de grupo de animais."), 9, 9), 9, standard());
    l << gated(screen(Tabela, QStringLiteral("010 - &Espécie..."), QStringLiteral("Cadastro de especie de animais."), 10, 10), 10, standard());
    l << gated(screen(Tabela, QStringLiteral("011 - &Raça..."), QStringLiteral("Cadastro de raça."), 11, 11), 11, standard());
    l << gated(screen(Tabela, QStringLiteral("012 - &Tamanho do pelo...."), QStringLiteral("Cadastro de tamanho do pelo do animal."), 12, 12), 12, standard());
    l << gated(screen(Tabela, QStringLiteral("013 - &Porte do animal..."), QStringLiteral("Cadastro do porte do animal."), 13, 13), 13, standard());
    l << separator(Tabela, -1);
    l << gated(screen(Tabela, QStringLiteral("014 - &Status do atendimento..."), QStringLiteral("Statos do atendimento."), 14, 14), 14, standard());
    l << gated(screen(Tabela, QStringLiteral("015 - &Unidade medida..."), QStringLiteral("Unidade de medida dos medicamentos gastos."), 15, 15), 15, standard());
    l << gated(screen(Tabela, QStringLiteral("016 - &Medicamento..."), QStringLiteral("Medicamento"), 16, 16), 16, standard());
    l << gated(screen(Tabela, QStringLiteral("017 - &Procedimento medico..."), QStringLiteral("Cadastro dos procedimentos medicos."), 17, 17), 17, standard());
    l << gated(screen(Tabela, QStringLiteral("018 - &Tipo de ocorrência..."), QStringLiteral("Cadastro do tipo de ocorrência."), 18, 18), 18, standard());
    l << separator(Tabela, 0);
    l << gated(screen(Tabela, QStringLiteral("019 - &Texto do receituário baseado em peso..."), QStringLiteral("Texto do receituário baseado em peso."), 19, 19), 19, standard());
    {
        Refusals r;
        r.alterar = {QStringLiteral("bmpAlterar"), QStringLiteral("bmpGravar")};
        r.imprimir = {QStringLiteral("bmpImprimir")};
        l << gated(screen(Tabela, QStringLiteral("020 - &Receiturário padrao..."), none, 20, 20), 20, r);
    }
    l << screen(Tabela, QStringLiteral("050-Tabelas auxiliares (Rolvex)"), QStringLiteral("050-Tabelas auxiliares (Rolvex)"), 50, 50);
    l << screen(Cadastros, QStringLiteral("48 - Mapa disponibilidade"), QStringLiteral("Mapa disponibilidade"), 48, 48);
    l << gated(screen(Cadastros, QStringLiteral("054 - &Feriados municipais..."), QStringLiteral("Cadastro dos feriados municipais."), 54, 54), 54, standard());
    {
        // Merging writes to both owners: it needs insert and alter rights.
        Refusals r;
        r.incluir = {QStringLiteral("bmpUnificar")};
        r.alterar = {QStringLiteral("bmpUnificar")};
        l << gated(screen(Cadastros, QStringLiteral("061 - &Unificar proprietários..."), QStringLiteral("Unificar proprietários duplicados."), 61, 61), 61, r);
    }

    l << top(Operacional, QStringLiteral("mnuOperacional"));
    {
        // Transfers share the permission id of the standard prescription.
        Refusals r;
        r.incluir = {QStringLiteral("bmpTransferir")};
        r.alterar = {QStringLiteral("bmpTransferir")};
        l << gated(screen(Operacional, QStringLiteral("021 - Transferir animal..."), QStringLiteral("Transferir animal..."), 21, 21), 20, r);
    }
    {
        Refusals r;
        r.incluir = {QStringLiteral("bmpIncluir")};
        r.excluir = {QStringLiteral("bmpExcluir")};
        l << gated(screen(Operacional, QStringLiteral("022 - &Registro de ocorrência..."), QStringLiteral("Registro de ocorrência dos animais."), 22, 22), 22, r);
    }
    l << separator(Operacional, -1);
    l << screen(Operacional, QStringLiteral("023 - &Agenda..."), QStringLiteral("Agenda de atendimento."), 23, 23);
    l << gated(screen(Operacional, QStringLiteral("024 - &Endereço do animal..."), QStringLiteral("Cadastro dos endereços de animais."), 24, 24), 24, standard());

    l << top(Relatorios, QStringLiteral("mnuRelatorios"));
    l << screen(Relatorios, QStringLiteral("025 - &Unidade de trabalho..."), none, 25, 25);
    l << screen(Relatorios, QStringLiteral("026 - &Perfil de usuário..."), QStringLiteral("Relação do perfil de usuário. "), 26, 26);
    l << screen(Relatorios, QStringLiteral("027 - &Usuário..."), QStringLiteral("Relação de usuário do sistema."), 27, 27);
    l << separator(Relatorios, -1);
    l << screen(Relatorios, QStringLiteral("028 - &Grupo de animais..."), QStringLiteral("Relação dos grupos de animais."), 28, 28);
    l << screen(Relatorios, QStringLiteral("029 - &Especie..."), QStringLiteral("Relação de espécie de animais."), 29, 29);
    l << screen(Relatorios, QStringLiteral("030 - &Raça..."), QStringLiteral("Relação de raça de animais."), 30, 30);
    l << screen(Relatorios, QStringLiteral("031 - &Tamanho do pelo...."), QStringLiteral("Relação dos tamanhos de pelos cadastrados."), 31, 31);
    l << screen(Relatorios, QStringLiteral("032 - &Porte do animal..."), QStringLiteral("Relação de porte dos animais cadastrados."), 32, 32);
    l << separator(Relatorios, 0);
    l << screen(Relatorios, QStringLiteral("033 - Tipo de &status para o atendimento... "), QStringLiteral("Cadastra os tipo de status para o atendimento."), 33, 33);
    l << screen(Relatorios, QStringLiteral("035 - &Unidade medida de medicamento..."), QStringLiteral("Cadastro de unidade medida de medicamento."), 35, 35);
    l << screen(Relatorios, QStringLiteral("036 - &Medicamentos..."), QStringLiteral("Cadastro dos medicamentos."), 36, 36);
    l << separator(Relatorios, -1);
    l << screen(Relatorios, QStringLiteral("037 - &Animais cadastrados completo..."), QStringLiteral("Relação de animais cadastrados completo."), 37, 37);
    l << screen(Relatorios, QStringLiteral("038 - &Animais cadastrados consolidado..."), QStringLiteral("Relação de animais cadastrados consolidados."), 38, 38);
    l << screen(Relatorios, QStringLiteral("039 - &Animais microchipado..."), QStringLiteral("Relação de animais microchipados."), 39, 39);
    l << screen(Relatorios, QStringLiteral("043 - &Animais com tranferência de proprietários..."), none, 43, 43);
    l << screen(Relatorios, QStringLiteral("041 - Impressão de carteira de identificação..."), none, 0, 41);
    l << separator(Relatorios, -1);
    l << screen(Relatorios, QStringLiteral("040 - &Agenda dos profissional..."), QStringLiteral("Agenda dos profissionais."), 40, 40);
    l << screen(Relatorios, QStringLiteral("042 - &Profissional..."), none, 42, 42);
    l << screen(Relatorios, QStringLiteral("049 - Proprietário & Animal..."), QStringLiteral("Proprietário & Animal"), 0,
                ProprietarioAnimalReport, QStringLiteral("mnuRel049"));
    l << separator(Relatorios, 0);
    l << screen(Relatorios, QStringLiteral("050 - Agenda &diária da unidade..."), QStringLiteral("Agenda diária"), 0,
                AgendaDiariaSelection, QStringLiteral("mnuRel050"));
    l << screen(Relatorios, QStringLiteral("051 - Agenda &mensal da unidade..."), QStringLiteral("Agenda mensal"), 0, 51);
    l << screen(Relatorios, QStringLiteral("052 - Agenda &anual da unidade..."), QStringLiteral("Agenda anual"), 0, 52);
    l << screen(Relatorios, QStringLiteral("053 - &Ocupação do programa..."), QStringLiteral("Vagas oferecidas, ocupadas e faltas por unidade e mês."), 53, 53);

    l << top(Utilitario, QStringLiteral("mnuUtilitario"));
    l << screen(Utilitario, QStringLiteral("044 - &Exportação de dados..."), QStringLiteral("Exportação de dados."), 44, 44);
    l << screen(Utilitario, QStringLiteral("045 - &Consulta resultado LVC"), QStringLiteral("Consulta o resultado de Leishmaniose Viceral Canina."), 45, 45);
    l << screen(Utilitario, QStringLiteral("046 - &Pesquisa avançada..."), none, 46, 46);
    l << screen(Utilitario, QStringLiteral("060 - Exporta tabela agendamento..."), none, 0, 60);
    l << screen(Utilitario, QStringLiteral("047 - &Cadastro de formulários do sistema..."), QStringLiteral("Cadastro de formulários do sistema."), 47, 47);
    l << screen(Utilitario, QStringLiteral("049 - &Extrator de tabelas do sistema..."), QStringLiteral("049 -  Extrator de tabelas do sistema."), 49, 49);

    l << top(Janelas, QStringLiteral("mnuJanelas"));
    l << command(Kind::Cascade, Janelas, QStringLiteral("&Organizar em cascata"), QStringLiteral("Organizar as janelas em cascata"), -1, QStringLiteral("mnuCascata"));
    l << command(Kind::TileHorizontal, Janelas, QStringLiteral("&Dividir na horizontal"), QStringLiteral("Dividir as janelas na horizontal. "), -1, QStringLiteral("mnuHorizontal"));
    l << command(Kind::TileVertical, Janelas, QStringLiteral("&Dividir em vertical"), QStringLiteral("Dividir as janelas na vertical."), -1, QStringLiteral("mnuVertical"));
    l << separator(Janelas, -1);
    l << command(Kind::MinimizeAll, Janelas, QStringLiteral("&Minimizar todas"), QStringLiteral("Minimiza todas as janelas."), -1, QStringLiteral("mnuMinimizar"));
    l << command(Kind::ArrangeMinimized, Janelas, QStringLiteral("&Restaurar todas"), QStringLiteral("Restaurar todas as janelas."), -1, QStringLiteral("mnuRestaurar"));
    l << command(Kind::CloseAll, Janelas, QStringLiteral("Fechar todas"), QStringLiteral("Fecha todas as janelas."), -1, QStringLiteral("mnuFechar"));

    l << top(Ajuda, QStringLiteral("mnuAjuda"));
    {
        Entry e = screen(Ajuda, QStringLiteral("&Sistema..."), none, -1, SystemInformation, QStringLiteral("mnuSobre"));
        l << e;
    }
    l << command(Kind::NoCommand, Ajuda, QStringLiteral("&Manual do sistema"), QStringLiteral("Manual do sistema."), 0, QStringLiteral("mnuManual"));
    return l;
}

} // namespace

const QList<Entry> &entries()
{
    static const QList<Entry> l = build();
    return l;
}

} // namespace Menu
