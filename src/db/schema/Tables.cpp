// Every table of the three databases. Names are spelled exactly as the
// screens spell them; identifiers are never quoted, so PostgreSQL folds them
// to lower case and every engine matches them without regard to case.
#include "db/schema/SchemaModel.h"

namespace Schema {
namespace {

Column I(const QString &n) { return {n, ColType::Integer, 0, {}}; }
Column SI(const QString &n) { return {n, ColType::SmallInt, 0, {}}; }
Column C(const QString &n, int w) { return {n, ColType::Char, w, {}}; }
Column V(const QString &n, int w) { return {n, ColType::VarChar, w, {}}; }
Column D(const QString &n) { return {n, ColType::DateTime, 0, {}}; }
Column F(const QString &n) { return {n, ColType::Float, 0, {}}; }
Column T(const QString &n) { return {n, ColType::LongText, 0, {}}; }
Column def(Column c, const QString &sql)
{
    c.defaultSql = sql;
    return c;
}

// The audit stamps; a few tables spell them differently.
QList<Column> audit(const QString &insPor = QStringLiteral("Inserido_Por"),
                    const QString &insEm = QStringLiteral("Inserido_Em"),
                    const QString &modPor = QStringLiteral("Modificado_Por"),
                    const QString &modEm = QStringLiteral("Modificado_Em"))
{
    return {I(insPor), D(insEm), I(modPor), D(modEm)};
}
QList<Column> auditLower()
{
    return audit(QStringLiteral("Inserido_por"), QStringLiteral("Inserido_em"),
                 QStringLiteral("Modificado_por"), QStringLiteral("Modificado_em"));
}

Table table(Database db, const QString &name, KeyKind key, QList<Column> cols, QStringList composite = {})
{
    Table t;
    t.db = db;
    t.name = name;
    t.key = key;
    t.columns = std::move(cols);
    t.compositeKey = std::move(composite);
    return t;
}

const QString Ativo = QStringLiteral("'ATIVO'");
const QString Zero = QStringLiteral("0");

QList<Table> mainTables()
{
    const auto M = Database::Main;
    using K = KeyKind;
    QList<Table> t;

    // --- Access -----------------------------------------------------------
    t << table(M, "unidade_trabalho", K::Program,
               QList<Column>{I("Id_Unidade_Trabalho"), V("Nome", 100), V("Descricao", 250), C("Ind_Status", 20)} + audit());
    t << table(M, "perfil", K::Program,
               QList<Column>{I("Id_Perfil"), C("Nome", 50), T("Descricao"), C("Ind_Status", 15)} + audit());
    t << table(M, "form", K::Program,
               QList<Column>{I("Id_Form"), C("Nome", 80), C("Descricao", 250), C("Tipo_Form", 1), I("Tag"),
                             C("Ind_Status", 30)} + audit());
    t << table(M, "perfil_form", K::Composite,
               {I("Id_Perfil"), I("Id_Form"), C("Visualizar", 1), C("Incluir", 1), C("Alterar", 1), C("Excluir", 1),
                C("Imprimir", 1)},
               {"Id_Perfil", "Id_Form"});
    // Staff users and owners' web accounts. The program never writes
    // Status_Registro: only the default lets a new user log in.
    t << table(M, "usuario", K::Server,
               QList<Column>{I("Id_Usuario"), V("Nome", 50), C("Senha", 10), I("Id_Perfil"), C("Bloqueado", 3),
                             C("Inativo", 3), I("Id_Unidade_Trabalho"), C("Login", 50), C("senha_crip", 128),
                             def(C("Status_Registro", 20), Ativo), I("Id_proprietario"), C("DDD_TEL_USU", 2),
                             V("Telefone_usu", 15), C("Num_CPF_CNPJ", 15), C("Ind_solicitacao_nova_senha", 1),
                             V("Email_usu", 100)} + audit());

    // --- Owners and animals -----------------------------------------------
    t << table(M, "proprietario", K::Server,
               QList<Column>{I("Id_Proprietario"), C("Nome", 50), C("Telefone_Residencial", 15),
                             C("Telefone_Celular", 15), C("Telefone_Recado", 15), C("Tipo_Pessoa", 8),
                             C("Num_CPF_CNPJ", 15), C("Num_CI", 15), V("Email_Proprietario", 100), I("Id_Endereco"),
                             I("id_Unidade_Trabalho"), I("id_usu_web"), def(C("Status_Registro", 20), Ativo)} + audit());
    // Id_faixa_peso_animal defaults to 1: new animals get 1, yet the
    // animal insert does not name the column.
    t << table(M, "animal", K::Server,
               QList<Column>{I("Id_Animal"), I("Id_Proprietario"), I("Id_Especie"), I("Id_Raca"), I("Id_Pelo"),
                             I("Id_Porte"), C("Nome", 100), C("Sexo", 1), D("Data_Nascimento"), C("Esterilizado", 3),
                             C("Num_Microchip", 20), C("Cor", 100), C("Sinais", 250), C("Num_Pedigree", 50),
                             C("OBS", 250), C("Ind_End_Animal_Prop", 1), I("Id_Grupo_Animal"),
                             def(I("Id_faixa_peso_animal"), QStringLiteral("1"))}
                   + audit("Inserido_Por", "Inserido_Em", "Modificado_por", "Modificado_Em"));
    // The owner screen lets the server give the key; the animal-address
    // screen writes max+1 itself.
    t << table(M, "endereco", K::ServerOrProgram,
               QList<Column>{I("Id_Endereco"), I("Id_Distrito"), I("COD_AREA_ABRN"), I("NUM_LOGR"),
                             I("NUM_SEQU_LOGR"), C("TIP_LOGR", 10), V("NOM_LOGR", 80), I("NUM_IMOV_LOGR"),
                             V("DES_CMPL_ENDR", 80), I("NUM_BAIR"), V("NOM_BAIR", 50), C("NUM_CEP", 10), I("num_locl"),
                             V("nom_locl", 45), F("End_X"), F("End_Y"), C("Ind_Endereco_Informado", 3),
                             D("data_inicial_end"), D("data_endereco")} + audit());
    t << table(M, "endereco_animal", K::None, {I("Id_Animal"), I("Id_Endereco")});
    t << table(M, "distrito", K::Program, QList<Column>{I("Id_Distrito"), C("Nome", 50), C("Ind_Status", 15)} + audit());
    t << table(M, "Grupo_Animal_Animal", K::Server,
               QList<Column>{I("Id_Grupo_Animal_Animal"), I("Id_Grupo_Animal"), I("Id_Animal"), D("Dt_Entrada_Grupo")}
                   + audit());
    t << table(M, "Histo_Muda_Proprietario", K::Program,
               QList<Column>{I("Id_Histo_Muda_Proprietario"), I("Id_Animal"), I("Id_Anterior_Proprietario"),
                             I("Id_Proprietario"), D("Dt_Muda_Proprietario")} + audit());
    t << table(M, "ocorrencia", K::Program,
               QList<Column>{I("Id_Ocorrencia"), I("Id_Animal"), I("Id_Tipo_Ocorrencia"), D("Dt_Ocorrencia")} + audit());
    t << table(M, "vacina", K::Program,
               QList<Column>{I("Id_vacina"), I("Id_Animal"), I("Id_tipo_vacina"), I("Id_tipo_vacina_ocorrencia"),
                             I("Id_tipo_motivo_nao_vacina"), D("Data_atividade")} + auditLower());

    // --- Scheduling -------------------------------------------------------
    // The taken-place counters belong to the web booking service; a slot
    // starts with none taken.
    const QList<Column> slot{I("Id_unidade_trabalho"), I("Id_tipo_procedimento"), D("Data_hora_disponibilidade"),
                             I("Qt_vaga_disponivel_geral"), I("Qt_vaga_disp_f_grande_porte"),
                             def(I("Qt_vaga_usada_geral"), Zero), def(I("Qt_vaga_usada_f_grande_porte"), Zero),
                             I("Id_Especie"), I("COD_AREA_ABRN")};
    t << table(M, "mapa_disponibilidade_agenda", K::Program,
               QList<Column>{I("Id_Mapa_disponibilidade_agenda")} + slot + auditLower());
    t << table(M, "mapa_rascunho", K::Program,
               QList<Column>{I("Id_Mapa_rascunho")} + slot
                   + QList<Column>{C("Status_Registro", 20), I("Id_mapa_disponibilidade_agenda")} + auditLower());
    // The city's own holidays, left out when a month of slots is cloned.
    // Ours alone: the web booking service never reads it. Ind_Anual "SIM":
    // the same day and month every year.
    t << table(M, "feriado_municipal", K::Program,
               QList<Column>{I("Id_Feriado_Municipal"), D("Data_Feriado"), V("Descricao", 100), C("Ind_Anual", 3),
                             C("Ind_Status", 30)}
                   + audit());
    // Ind_Registro_Excluido holds the words "FALSE"/"TRUE": five characters.
    t << table(M, "agendamento_especial", K::Program,
               {I("Id_Agendamento_Especial"), I("Id_Proprietario"), I("Qt_Agendamento_Reservado"),
                C("Ind_Registro_Excluido", 5), I("Inserido_Por"), D("Inserido_Em"), I("Excluido_por"),
                D("Excluido_em")});
    t << table(M, "atendimento", K::Server,
               QList<Column>{I("Id_Atendimento"), I("Id_Proprietario"), I("Id_Animal"), I("Id_Unidade_Trabalho"),
                             I("Id_Unidade_Agendada"), D("Data_Hora_Atendimento"), I("Id_Atendimento_Status"),
                             C("Ind_Autoriza_Cirurgia", 3)} + audit());
    t << table(M, "atendimento_profissional", K::None,
               QList<Column>{I("Id_Profissional"), I("Id_Atendimento")} + audit());
    t << table(M, "procedimento", K::Server,
               QList<Column>{I("Id_Procedimento"), I("Id_Tipo_Procedimento"), I("Id_Atendimento")} + audit());
    t << table(M, "medicamento_gasto", K::Program,
               QList<Column>{I("Id_Medicamento_Gasto"), I("Id_Medicamento"), I("Id_Atendimento"), F("Quantidade")}
                   + audit());
    t << table(M, "receituario", K::Program,
               QList<Column>{I("Id_Receituario"), I("Id_Atendimento"), T("Descricao"), T("OBS")} + audit());
    t << table(M, "Orientacao_Padrao_Atend", K::Program,
               QList<Column>{I("Id_Orientacao_Padrao_Atend"), T("Texto_padrao_orientacao")} + audit());
    t << table(M, "atendimento_particular", K::Program,
               QList<Column>{I("Id_Atendimento_Particular"), I("Id_Animal"), I("Id_Tipo_Procedimento"),
                             D("dt_Atendimento")} + audit());
    t << table(M, "profissional", K::Program,
               QList<Column>{I("Id_Profissional"), I("Id_Unidade_Trabalho"), C("Nome", 100),
                             C("Telefone_residencial", 15), C("Telefone_celular", 15), C("Telefone_Recado", 15),
                             C("Email", 60), C("Inativo", 3), C("Bloqueado", 3), C("Ind_Status", 15)} + audit());
    t << table(M, "jornada_trabalho", K::Program,
               QList<Column>{I("Id_Jornada_Trabalho"), I("Id_Profissional"), I("Id_Unidade_Trabalho"),
                             D("Data_Hora_Inicial"), D("Data_Hora_Final"), I("Id_Dia_Semana"),
                             C("Status_Registro", 10), I("Controle")} + audit());
    t << table(M, "jornada_trabalho_execao", K::Program,
               QList<Column>{I("Id_Jornada_Trabalho_Execao"), I("Id_Profissional"), I("Id_Unidade_Trabalho"),
                             D("Data_Hora_Inicial"), D("Data_Hora_Final"), C("Ind_Disponivel", 1)} + audit());
    t << table(M, "impedimento", K::Program,
               QList<Column>{I("Id_Impedimento"), I("Id_Profissional"), I("Id_Unidade_Trabalho"),
                             D("Data_Hora_Inicial"), D("Data_Hora_Final")} + audit());
    t << table(M, "dia_semana", K::Program, {I("id_Dia_Semana"), V("nome", 20)});
    t << table(M, "unidade_trabalho_profissional", K::Composite,
               QList<Column>{I("id_unidade_trabalho"), I("Id_Profissional")} + audit(),
               {"id_unidade_trabalho", "Id_Profissional"});
    t << table(M, "semana_epidemiologica", K::Composite,
               {SI("nrideano"), SI("nridesep"), D("dtinisep"), D("dtfimsep"), C("dsidesep", 40)},
               {"nrideano", "nridesep"});

    // --- Reference tables -------------------------------------------------
    t << table(M, "especie", K::Program,
               QList<Column>{I("Id_Especie"), C("Nome", 100), C("Descricao", 250), C("Ind_Status", 30)} + audit());
    t << table(M, "raca", K::Program,
               QList<Column>{I("Id_Raca"), C("Nome", 60), C("Descricao", 250), I("Id_Porte"), I("Id_Pelo"),
                             I("Id_Especie"), C("Ind_Status", 15)} + audit());
    t << table(M, "pelo", K::Program, QList<Column>{I("Id_pelo"), C("Descricao", 50), C("Ind_Status", 15)} + audit());
    t << table(M, "porte", K::Program,
               QList<Column>{I("Id_porte"), C("Descricao", 50), C("Ind_Status", 15)}
                   + audit("Inserido_por", "Inserido_Em", "Modificado_Por", "Modificado_Em"));
    // The group screen sends no key of its own: the server may give one.
    t << table(M, "grupo_animal", K::ServerOrProgram,
               QList<Column>{I("Id_Grupo_Animal"), V("Nome", 100), V("Descricao", 250), C("Ind_Status", 20)} + audit());
    t << table(M, "atendimento_status", K::Program,
               QList<Column>{I("Id_Atendimento_Status"), C("Nome", 100), C("Descricao", 250), C("Ind_Status", 30)}
                   + audit());
    t << table(M, "tipo_procedimento", K::Program,
               QList<Column>{I("Id_Tipo_Procedimento"), V("Nome", 100), C("Descricao", 250), C("Ind_Status", 15)}
                   + audit());
    t << table(M, "unidade_medida", K::Program,
               QList<Column>{I("Id_Unidade_Medida"), C("Nome", 100), C("Descricao", 250), C("Ind_Status", 15)} + audit());
    t << table(M, "medicamento", K::Program,
               QList<Column>{I("Id_Medicamento"), I("Id_Unidade_Medida"), C("Nome", 100), V("Descricao", 250),
                             C("Ind_Status", 20)} + audit());
    t << table(M, "tipo_ocorrencia", K::Program,
               QList<Column>{I("Id_Tipo_Ocorrencia"), C("Nome", 100), C("Descricao", 250), C("Ind_Status", 15),
                             C("Ind_Finaliza_Caso", 3)} + audit());
    t << table(M, "receituario_padrao", K::Program, QList<Column>{I("Id_Receituario_padrao"), T("descricao")} + audit());
    t << table(M, "receituario_texto_peso", K::Program,
               QList<Column>{I("Id_Receituario_texto_Peso"), F("Peso"), T("Texto"), C("Ind_Status", 15)} + audit());
    const QList<Column> vaccineTable{V("Nome", 100), V("Descricao", 250), C("Ind_registro_ativo", 10)};
    t << table(M, "tipo_vacina", K::Server, QList<Column>{I("Id_tipo_vacina")} + vaccineTable + auditLower());
    t << table(M, "tipo_vacina_ocorrencia", K::Program,
               QList<Column>{I("Id_tipo_vacina_ocorrencia")} + vaccineTable + auditLower());
    t << table(M, "tipo_motivo_nao_vacina", K::Program,
               QList<Column>{I("Id_tipo_motivo_nao_vacina")} + vaccineTable + auditLower());

    // --- Owner merges -----------------------------------------------------
    // Who merged which duplicate into which owner and when, with every row
    // the merge moved (table, column, row key), so that a merge can be
    // traced and, if it was a mistake, undone by hand.
    t << table(M, "unificacao_proprietario", K::Program,
               {I("Id_Unificacao_Proprietario"), I("Id_Proprietario_Mantido"), I("Id_Proprietario_Duplicado"),
                V("Campos_Copiados", 250), I("Qt_Animais"), I("Qt_Atendimentos"), I("Qt_Agendamentos"),
                I("Qt_Historicos"), I("Inserido_Por"), D("Inserido_Em")});
    t << table(M, "unificacao_proprietario_item", K::None,
               {I("Id_Unificacao_Proprietario"), V("Tabela", 60), V("Coluna", 60), I("Chave")});

    // --- Flat export of attendances (58 columns, dBASE-sized names) -------
    t << table(M, "Exportacao2", K::None,
               {I("id_prop"), C("tp_pes", 30), C("CPF_CNPJ", 15), C("RG", 15), V("prop", 150), V("P_dist", 50),
                I("P_CDArea"), V("P_DSArea", 80), V("P_DSBair", 80), C("P_CEP", 10), I("P_CDLogr"),
                C("P_TPLogr", 10), V("P_DSLogr", 150), I("P_NU_Imov"), V("P_Compl", 80), F("P_cooX"), F("P_cooY"),
                I("id_animal"), V("animal", 150), C("sexo", 20), V("pelo", 50), V("porte", 50), V("raca", 50),
                V("sinais", 200), V("cor", 150), C("esteril", 20), V("especie", 50), V("microc", 100),
                V("pedigree", 50), V("A_dist", 50), I("A_CDArea"), V("A_DSArea", 50), V("A_DSBair", 80),
                C("A_CEP", 10), I("A_CDLogr"), C("A_TPLogr", 10), V("A_DSLogr", 150), I("A_NU_Imov"),
                V("A_Compl", 80), F("A_cooX"), F("A_cooY"), I("id_atend"), V("st_atend", 50), D("td_atend"),
                V("AnoAtent", 30), V("MesAtent", 30), C("aut_ciru", 15), V("uni_marc", 50), V("uni_real", 50),
                I("CUS_inse"), V("NUS_inse", 50), D("Dt_inse"), I("CUS_mod"), V("NUS_mod", 50), D("DT_mod"),
                V("profi", 255), V("proce", 255), D("Dt_nasc")});
    return t;
}

// The city's address database, imported from the city's own systems: no
// keys are imposed, so an import never fails on them.
QList<Table> addressTables()
{
    const auto P = Database::Padrao;
    using K = KeyKind;
    QList<Table> t;
    t << table(P, "TipoLogradouro", K::None, {C("Tip_Logr", 3), C("Des_Tip_Logr", 20)});
    t << table(P, "Logradouro", K::None, {I("num_logr"), V("nom_logr", 80)});
    t << table(P, "logradouroNome", K::None,
               {I("num_logr"), SI("num_sequ_logr"), C("tip_logr", 10), V("nom_logr", 80)});
    t << table(P, "cepLogradouro", K::None,
               {I("num_logr"), I("num_cep"), C("ind_lado_logr", 1), C("num_imov_inic", 6), C("num_imov_fina", 6)});
    t << table(P, "Bairro", K::None,
               {SI("NUM_BAIR"), C("NOM_BAIR", 50), C("TIP_BAIR", 30), C("TIP_CLSS_BAIR", 1), C("SIT_REGT", 1)});
    // IND_BAIR_CORD: whether the street only borders the neighbourhood ("N":
    // it runs inside it); the street-search view passes it on. Imports that
    // do not know it get "N".
    t << table(P, "BairroLogradouro", K::None,
               {I("NUM_LOGR"), SI("NUM_BAIR"), def(C("IND_BAIR_CORD", 1), QStringLiteral("'N'"))});
    t << table(P, "logradouroimovel", K::None,
               {I("Num_Logr"), V("Num_Imov", 10), F("Val_Cood_X"), F("Val_Cood_Y")});
    t << table(P, "Localidade", K::None, {I("num_locl"), V("nom_locl", 45)});
    t << table(P, "AreaAbrang", K::None,
               {I("COD_AREA_ABRN"), C("DES_AREA_ABRN", 40), SI("COD_DITR_SANI"), C("SIT_REGT", 1)});
    return t;
}

// The sibling zoonosis-control system's bulletins and samples.
QList<Table> siblingTables()
{
    const auto K_ = Database::Kelda;
    using K = KeyKind;
    QList<Table> t;
    t << table(K_, "sa001041", K::None,
               {I("numinca"), I("numdistrito"), I("numboletim"), D("dtcoleta"), C("catboletim", 2), I("numproto"),
                C("codlab", 7)});
    t << table(K_, "sa001042", K::None,
               {I("numinca"), I("numdistrito"), I("numboletim"), C("codAmostra", 9), C("nompropri", 30),
                C("tipolograd", 3), C("desclograd", 50), I("numendprop"), C("aptocomprop", 10), C("nomecao", 15),
                C("caosexo", 1), C("resultamostra", 2), C("confamostra", 2), D("dtconfamostra"), I("numquart"),
                C("tpocorlaudo", 2)});
    return t;
}

} // namespace

const QList<Table> &tables()
{
    static const QList<Table> all = mainTables() + addressTables() + siblingTables();
    return all;
}

const QList<View> &views()
{
    // Every name a street has had, with each neighbourhood it crosses; a
    // street not yet placed in a neighbourhood is still found by name.
    static const QList<View> all{
        {Database::Padrao, QStringLiteral("pesquisaLograd"),
         QStringLiteral("select b.TIP_BAIR as tip_bair, b.NUM_BAIR as num_bair, b.NOM_BAIR as nom_bair, "
                        "n.num_logr as NUM_LOGR, n.num_sequ_logr as NUM_SEQU_LOGR, n.tip_logr as tip_logr, "
                        "n.nom_logr as nom_logr, b.TIP_CLSS_BAIR as tip_clss_bair, "
                        "coalesce(bl.IND_BAIR_CORD, 'N') as ind_bair_cord "
                        "from logradouroNome n "
                        "left join BairroLogradouro bl on bl.NUM_LOGR = n.num_logr "
                        "left join Bairro b on b.NUM_BAIR = bl.NUM_BAIR")},
    };
    return all;
}

const QList<Index> &indexes()
{
    using P = IndexPart;
    const auto M = Database::Main;
    const auto A = Database::Padrao;
    const auto S = Database::Kelda;
    auto ix = [](Database db, const char *name, const char *table, QList<IndexPart> parts, const char *serves) {
        return Index{db, QString::fromLatin1(name), QString::fromLatin1(table), std::move(parts),
                     QString::fromUtf8(serves), QString()};
    };
    static const QList<Index> all{
        // Owners
        // Folded name then key: the order the searches show. The other
        // columns let a common name's matches be counted from the index
        // alone (status, the address join, the exact re-check).
        ix(M, "ix_proprietario_nome", "proprietario",
           {{"Nome", P::Folded}, {"Id_Proprietario"}, {"Status_Registro"}, {"Id_Endereco"}, {"Nome"}},
           "owner search by the start of the name, without regard to case or accents"),
        // The key completes the order, so a page far down the list is read
        // from the index instead of sorting every owner of the same name.
        ix(M, "ix_proprietario_ordem", "proprietario", {{"Nome"}, {"Id_Proprietario"}}, "owner lists in name order, read in pages"),
        // The active owners alone, by key: the appointment book counts a
        // year of attendances of active owners by joining them to this
        // small index instead of reading every owner's row.
        [&] {
            Index i = ix(M, "ix_proprietario_ativo", "proprietario", {{"Id_Proprietario"}},
                         "the active-owner condition (Status_Registro = 'ATIVO') of lists joined to their owners");
            i.where = QStringLiteral("Status_Registro = 'ATIVO'");
            return i;
        }(),
        ix(M, "ix_proprietario_cpf", "proprietario", {{"Num_CPF_CNPJ"}},
           "owner search by tax number and the duplicate check among active owners"),
        ix(M, "ix_proprietario_cpf_prefix", "proprietario", {{"Num_CPF_CNPJ", P::LikePrefix}},
           "owner search by the start of the tax number (like 'nnn%')"),
        ix(M, "ix_proprietario_ci", "proprietario", {{"Num_CI"}}, "owner search by identity card"),
        ix(M, "ix_proprietario_ci_prefix", "proprietario", {{"Num_CI", P::LikePrefix}},
           "owner search by the start of the identity card (like 'nnn%')"),
        ix(M, "ix_proprietario_email", "proprietario", {{"Email_Proprietario", P::TrimmedLower}},
           "duplicate e-mail check among active owners"),
        // Animals
        ix(M, "ix_animal_proprietario", "animal", {{"Id_Proprietario"}}, "an owner's animals"),
        // Report 037 lists every animal by species and group: read in this
        // order its first page comes at once instead of after sorting them all.
        ix(M, "ix_animal_especie_grupo", "animal", {{"Id_Especie"}, {"Id_Grupo_Animal"}, {"Id_Animal"}},
           "the complete animal report's order"),
        // A number found anywhere in the microchip cannot use the order of
        // the index, but reading the whole index is far cheaper than
        // reading the table: it carries what the match needs.
        ix(M, "ix_animal_microchip", "animal", {{"Num_Microchip", P::NoBlanks}, {"Num_Microchip"}, {"Id_Animal"}},
           "animal search by microchip, blanks ignored"),
        ix(M, "ix_animal_nome", "animal", {{"Nome", P::Folded}}, "animal search by the start of the name"),
        ix(M, "ix_endereco_animal", "endereco_animal", {{"Id_Animal"}, {"Id_Endereco"}},
           "an animal's addresses, the current one being the greatest Id_Endereco"),
        ix(M, "ix_endereco_logradouro", "endereco", {{"NOM_LOGR", P::Folded}},
           "owner and animal search by the start of the street name"),
        ix(M, "ix_grupo_animal_animal", "Grupo_Animal_Animal", {{"Id_Animal"}}, "an animal's latest group"),
        ix(M, "ix_histo_muda_animal", "Histo_Muda_Proprietario", {{"Id_Animal"}}, "an animal's owners"),
        ix(M, "ix_histo_muda_proprietario", "Histo_Muda_Proprietario", {{"Id_Proprietario"}},
           "the animals an owner has had (an owner with any is not deleted)"),
        ix(M, "ix_ocorrencia_animal", "ocorrencia", {{"Id_Animal"}}, "an animal's occurrences"),
        ix(M, "ix_vacina_animal", "vacina", {{"Id_Animal"}}, "an animal's vaccinations"),
        ix(M, "ix_atend_particular_animal", "atendimento_particular", {{"Id_Animal"}},
           "an animal's private attendances"),
        // Appointments
        // In the book's order (time, then key), so its first page is read
        // from the index; the owner and the status ride along so that the
        // book counts a period (active owners only, maybe one status) from
        // this index and ix_proprietario_ativo alone.
        ix(M, "ix_atendimento_unidade_periodo", "atendimento",
           {{"Id_Unidade_Agendada"}, {"Data_Hora_Atendimento"}, {"Id_Atendimento"}, {"Id_Proprietario"},
            {"Id_Atendimento_Status"}},
           "the appointment book, boards and agenda reports of one performing unit over a period"),
        ix(M, "ix_atendimento_periodo", "atendimento",
           {{"Data_Hora_Atendimento"}, {"Id_Atendimento"}, {"Id_Proprietario"}, {"Id_Atendimento_Status"}},
           "exports and reports of every unit over a period"),
        ix(M, "ix_atendimento_animal", "atendimento", {{"Id_Animal"}}, "an animal's appointments"),
        ix(M, "ix_atendimento_proprietario", "atendimento", {{"Id_Proprietario"}},
           "the appointments an owner holds (special grants)"),
        ix(M, "ix_atend_profissional", "atendimento_profissional", {{"Id_Atendimento"}},
           "professionals of an attendance"),
        ix(M, "ix_procedimento_atendimento", "procedimento", {{"Id_Atendimento"}}, "procedures of an attendance"),
        ix(M, "ix_medicamento_gasto_atend", "medicamento_gasto", {{"Id_Atendimento"}},
           "medicines of an attendance"),
        ix(M, "ix_receituario_atendimento", "receituario", {{"Id_Atendimento"}}, "prescription of an attendance"),
        ix(M, "ix_agendamento_especial_prop", "agendamento_especial", {{"Id_Proprietario"}},
           "an owner's special grants"),
        // Slots
        ix(M, "ix_mapa_unidade_data", "mapa_disponibilidade_agenda",
           {{"Id_unidade_trabalho"}, {"Data_hora_disponibilidade"}},
           "a unit's slots by day and the duplicate-slot check"),
        ix(M, "ix_mapa_data", "mapa_disponibilidade_agenda", {{"Data_hora_disponibilidade"}},
           "open slots of every unit from a date on (web booking, month summaries)"),
        ix(M, "ix_mapa_rascunho_unidade_data", "mapa_rascunho",
           {{"Id_unidade_trabalho"}, {"Data_hora_disponibilidade"}}, "a unit's draft slots by day"),
        // Professionals
        ix(M, "ix_jornada_profissional", "jornada_trabalho", {{"Id_Profissional"}}, "a professional's working hours"),
        ix(M, "ix_jornada_execao_profissional", "jornada_trabalho_execao", {{"Id_Profissional"}},
           "a professional's extra hours"),
        ix(M, "ix_impedimento_profissional", "impedimento", {{"Id_Profissional"}}, "a professional's impediments"),
        // Access
        ix(M, "ix_usuario_unidade", "usuario", {{"Id_Unidade_Trabalho"}}, "the login's user list of a unit"),
        ix(M, "ix_usuario_login", "usuario", {{"Login"}}, "finding a user or an owner's web account by login"),
        ix(M, "ix_usuario_proprietario", "usuario", {{"Id_proprietario"}}, "an owner's web account"),
        ix(M, "ix_usuario_email", "usuario", {{"Email_usu", P::TrimmedLower}},
           "duplicate e-mail check of a new owner against the web accounts"),
        // perfil_form is keyed by (Id_Perfil, Id_Form): a profile's rights.
        // Weeks
        ix(M, "ix_semana_inicio", "semana_epidemiologica", {{"dtinisep"}}, "the week a date falls in"),
        ix(M, "ix_exportacao2_atend", "Exportacao2", {{"td_atend"}}, "extraction by attendance date"),
        ix(M, "ix_exportacao2_inse", "Exportacao2", {{"Dt_inse"}}, "extraction by creation date"),

        // Address database
        ix(A, "ix_tipologradouro", "TipoLogradouro", {{"Tip_Logr"}}, "street type by code"),
        ix(A, "ix_logradouro_num", "Logradouro", {{"num_logr"}}, "street by code"),
        ix(A, "ix_logradouro_nome", "Logradouro", {{"nom_logr"}}, "street by exact name"),
        ix(A, "ix_logradouro_nome_fold", "Logradouro", {{"nom_logr", P::Folded}},
           "street search by the start of the name"),
        ix(A, "ix_logradouronome_num", "logradouroNome", {{"num_logr"}, {"num_sequ_logr"}},
           "a street's names, sequence 1 being the current one"),
        ix(A, "ix_logradouronome_nome", "logradouroNome", {{"nom_logr", P::Folded}},
           "street search (view pesquisaLograd) by the start of the name"),
        ix(A, "ix_ceplogradouro_cep", "cepLogradouro", {{"num_cep"}}, "address lookup by postal code"),
        ix(A, "ix_ceplogradouro_logr", "cepLogradouro", {{"num_logr"}}, "postal code of a street and house number"),
        ix(A, "ix_bairro_num", "Bairro", {{"NUM_BAIR"}}, "neighbourhood by code"),
        ix(A, "ix_bairrologradouro_logr", "BairroLogradouro", {{"NUM_LOGR"}}, "neighbourhoods a street crosses"),
        ix(A, "ix_bairrologradouro_bair", "BairroLogradouro", {{"NUM_BAIR"}}, "streets of a neighbourhood"),
        ix(A, "ix_logradouroimovel_logr", "logradouroimovel", {{"Num_Logr"}}, "coordinates of a house"),
        ix(A, "ix_localidade_num", "Localidade", {{"num_locl"}}, "locality by code"),
        ix(A, "ix_areaabrang_cod", "AreaAbrang", {{"COD_AREA_ABRN"}}, "coverage area by code"),
        ix(A, "ix_areaabrang_distrito", "AreaAbrang", {{"COD_DITR_SANI"}}, "coverage areas of a district"),

        // Sibling database
        ix(S, "ix_sa001041_boletim", "sa001041", {{"numinca"}, {"numdistrito"}, {"numboletim"}},
           "the bulletin of a sample"),
        ix(S, "ix_sa001042_amostra", "sa001042", {{"codAmostra"}}, "result lookup by sample code"),
        ix(S, "ix_sa001042_boletim", "sa001042", {{"numinca"}, {"numdistrito"}, {"numboletim"}},
           "samples of a bulletin"),
    };
    return all;
}

bool Table::hasColumn(const QString &column) const
{
    for (const Column &c : columns)
        if (c.name.compare(column, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString Table::keyColumn() const
{
    if (key == KeyKind::None || key == KeyKind::Composite || columns.isEmpty())
        return {};
    return columns.front().name;
}

const Table *findTable(const QString &name)
{
    for (const Table &t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QString schemaName(Database db)
{
    switch (db) {
    case Database::Main:
        return {};
    case Database::Padrao:
        return QStringLiteral("padrao");
    case Database::Kelda:
        return QStringLiteral("kelda");
    }
    return {};
}

} // namespace Schema
