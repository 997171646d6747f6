#include "db/schema/ReferenceData.h"
#include "db/DataModule.h"
#include "db/DbError.h"

#include <QSqlError>
#include <QSqlQuery>

#include <QDateTime>

namespace Schema {

QDate firstDayOfEpiYear(int year)
{
    QDate firstWednesday(year, 1, 1);
    while (firstWednesday.dayOfWeek() != Qt::Wednesday)
        firstWednesday = firstWednesday.addDays(1);
    return firstWednesday.addDays(-3); // its Sunday
}

QList<EpiWeek> epidemiologicalWeeks(const QDate &from, const QDate &to)
{
    QList<EpiWeek> out;
    // The epidemiological year holding `from` starts on or before it.
    int year = from.year() + 1;
    while (firstDayOfEpiYear(year) > from)
        --year;
    for (; firstDayOfEpiYear(year) <= to; ++year) {
        const QDate next = firstDayOfEpiYear(year + 1);
        int week = 1;
        for (QDate d = firstDayOfEpiYear(year); d < next; d = d.addDays(7), ++week) {
            if (d.addDays(6) < from || d > to)
                continue;
            out.append({year, week, d, d.addDays(6)});
        }
    }
    return out;
}

QString epiWeekLabel(int year, int week)
{
    return QStringLiteral("Semana %1/%2").arg(week, 2, 10, QLatin1Char('0')).arg(year);
}

const QList<FormEntry> &formRegistry()
{
    // One row per numbered entry of the main menu: the key is the screen
    // number, the tag the entry's tag. Two numbers are used twice in the
    // menu ("049" and "050"); the second of each gets 149 and 150. Screens
    // 008 and 021 read the permissions of forms 5 and 20; their own rows
    // still carry the tags that enable their menu entries.
    static const QList<FormEntry> all{
        {1, "001 - Unidade de trabalho", "Cadastro de unidade de trabalho.", 'F', 1},
        {2, "002 - Perfil de usuário", "Cadastro de perfil.", 'F', 2},
        {3, "003 - Usuário", "Cadastro de Usuário", 'F', 3},
        {4, "004 - Trocar senha", "Troca senha do usuário.", 'F', 4},
        {5, "005 - Trocar de Usuário", "Trocar de Usuário", 'F', 5},
        {6, "006 - Cadastrar Proprietário/Animal", "Cadastrar Proprietário/Animal", 'F', 6},
        {7, "007 - Profissional", "Cadastro de profissionais", 'F', 7},
        {8, "008 - Atendimento particular", "Atendimento particular.", 'F', 8},
        {9, "009 - Grupo de animais", "Cadastro de grupo de animais.", 'F', 9},
        {10, "010 - Espécie", "Cadastro de especie de animais.", 'F', 10},
        {11, "011 - Raça", "Cadastro de raça.", 'F', 11},
        {12, "012 - Tamanho do pelo", "Cadastro de tamanho do pelo do animal.", 'F', 12},
        {13, "013 - Porte do animal", "Cadastro do porte do animal.", 'F', 13},
        {14, "014 - Status do atendimento", "Statos do atendimento.", 'F', 14},
        {15, "015 - Unidade medida", "Unidade de medida dos medicamentos gastos.", 'F', 15},
        {16, "016 - Medicamento", "Medicamento", 'F', 16},
        {17, "017 - Procedimento medico", "Cadastro dos procedimentos medicos.", 'F', 17},
        {18, "018 - Tipo de ocorrência", "Cadastro do tipo de ocorrência.", 'F', 18},
        {19, "019 - Texto do receituário baseado em peso", "Texto do receituário baseado em peso.", 'F', 19},
        {20, "020 - Receiturário padrao", "Receiturário padrao", 'F', 20},
        {50, "050-Tabelas auxiliares (Rolvex)", "050-Tabelas auxiliares (Rolvex)", 'F', 50},
        {48, "48 - Mapa disponibilidade", "Mapa disponibilidade", 'F', 48},
        {54, "054 - Feriados municipais", "Cadastro dos feriados municipais.", 'F', 54},
        {21, "021 - Transferir animal", "Transferir animal...", 'F', 21},
        {22, "022 - Registro de ocorrência", "Registro de ocorrência dos animais.", 'F', 22},
        {23, "023 - Agenda", "Agenda de atendimento.", 'F', 23},
        {24, "024 - Endereço do animal", "Cadastro dos endereços de animais.", 'F', 24},
        {25, "025 - Unidade de trabalho", "Relação de unidades de trabalho.", 'R', 25},
        {26, "026 - Perfil de usuário", "Relação do perfil de usuário.", 'R', 26},
        {27, "027 - Usuário", "Relação de usuário do sistema.", 'R', 27},
        {28, "028 - Grupo de animais", "Relação dos grupos de animais.", 'R', 28},
        {29, "029 - Especie", "Relação de espécie de animais.", 'R', 29},
        {30, "030 - Raça", "Relação de raça de animais.", 'R', 30},
        {31, "031 - Tamanho do pelo", "Relação dos tamanhos de pelos cadastrados.", 'R', 31},
        {32, "032 - Porte do animal", "Relação de porte dos animais cadastrados.", 'R', 32},
        {33, "033 - Tipo de status para o atendimento", "Cadastra os tipo de status para o atendimento.", 'R', 33},
        {35, "035 - Unidade medida de medicamento", "Cadastro de unidade medida de medicamento.", 'R', 35},
        {36, "036 - Medicamentos", "Cadastro dos medicamentos.", 'R', 36},
        {37, "037 - Animais cadastrados completo", "Relação de animais cadastrados completo.", 'R', 37},
        {38, "038 - Animais cadastrados consolidado", "Relação de animais cadastrados consolidados.", 'R', 38},
        {39, "039 - Animais microchipado", "Relação de animais microchipados.", 'R', 39},
        {43, "043 - Animais com tranferência de proprietários", "Relação de animais com transferência de proprietários.", 'R', 43},
        {41, "041 - Impressão de carteira de identificação", "Impressão de carteira de identificação.", 'R', 0},
        {40, "040 - Agenda dos profissional", "Agenda dos profissionais.", 'R', 40},
        {42, "042 - Profissional", "Relação de profissionais.", 'R', 42},
        {149, "049 - Proprietário & Animal", "Proprietário & Animal", 'R', 0},
        {150, "050 - Agenda diária da unidade", "Agenda diária", 'R', 0},
        {51, "051 - Agenda mensal da unidade", "Agenda mensal", 'R', 0},
        {52, "052 - Agenda anual da unidade", "Agenda anual", 'R', 0},
        {53, "053 - Ocupação do programa", "Vagas oferecidas, ocupadas e faltas por unidade e mês.", 'R', 53},
        {44, "044 - Exportação de dados", "Exportação de dados.", 'F', 44},
        {45, "045 - Consulta resultado LVC", "Consulta o resultado de Leishmaniose Viceral Canina.", 'F', 45},
        {61, "061 - Unificar proprietários", "Unifica um proprietário duplicado com o que fica.", 'F', 61},
        {46, "046 - Pesquisa avançada", "Pesquisa avançada.", 'F', 46},
        {60, "060 - Exporta tabela agendamento", "Exporta tabela agendamento.", 'F', 0},
        {47, "047 - Cadastro de formulários do sistema", "Cadastro de formulários do sistema.", 'F', 47},
        {49, "049 - Extrator de tabelas do sistema", "049 -  Extrator de tabelas do sistema.", 'F', 49},
    };
    return all;
}

namespace {

// Midnight of a day as the ISO text that binding a QDateTime produces
// (kept as text: thousands of local-time conversions per install are slow,
// and every engine reads this form back as the same date-time).
QString midnight(const QDate &d)
{
    return QDateTime(d, QTime(0, 0)).toString(Qt::ISODateWithMs);
}

QList<SeedTable> buildReferenceData()
{
    const QString ativo = QStringLiteral("ATIVO");
    QList<SeedTable> out;

    // The professional screen looks weekdays up by exactly these names.
    SeedTable days{QStringLiteral("dia_semana"), {QStringLiteral("id_Dia_Semana"), QStringLiteral("nome")}, {}};
    const QStringList names{QStringLiteral("Domingo"), QStringLiteral("Segunda"), QStringLiteral("Terça"),
                            QStringLiteral("Quarta"), QStringLiteral("Quinta"), QStringLiteral("Sexta"),
                            QStringLiteral("Sabado")};
    for (int i = 0; i < names.size(); ++i)
        days.rows.append({i + 1, names.at(i)});
    out << days;

    // Every date from 2000 to 2060 falls in exactly one week.
    SeedTable weeks{QStringLiteral("semana_epidemiologica"),
                    {QStringLiteral("nrideano"), QStringLiteral("nridesep"), QStringLiteral("dtinisep"),
                     QStringLiteral("dtfimsep"), QStringLiteral("dsidesep")},
                    {}};
    for (const EpiWeek &w : epidemiologicalWeeks(QDate(2000, 1, 1), QDate(2060, 12, 31)))
        weeks.rows.append({w.year, w.week, midnight(w.first), midnight(w.last), epiWeekLabel(w.year, w.week)});
    out << weeks;

    out << SeedTable{QStringLiteral("perfil"),
                     {QStringLiteral("Id_Perfil"), QStringLiteral("Nome"), QStringLiteral("Descricao"),
                      QStringLiteral("Ind_Status")},
                     {{1000, QStringLiteral("ADMINISTRADOR"),
                       QStringLiteral("Administração do sistema: todas as entradas do menu."), ativo}}};

    SeedTable forms{QStringLiteral("form"),
                    {QStringLiteral("Id_Form"), QStringLiteral("Nome"), QStringLiteral("Descricao"),
                     QStringLiteral("Tipo_Form"), QStringLiteral("Tag"), QStringLiteral("Ind_Status")},
                    {}};
    for (const FormEntry &f : formRegistry())
        forms.rows.append({f.id, f.name, f.description, QString(QLatin1Char(f.type)), f.tag, ativo});
    out << forms;

    // Dogs are the species named CANINA, cats species 2.
    out << SeedTable{QStringLiteral("especie"),
                     {QStringLiteral("Id_Especie"), QStringLiteral("Nome"), QStringLiteral("Descricao"),
                      QStringLiteral("Ind_Status")},
                     {{1, QStringLiteral("CANINA"), QStringLiteral("Cães"), ativo},
                      {2, QStringLiteral("FELINA"), QStringLiteral("Gatos"), ativo}}};

    // Procedure 12 is the one the availability map offers.
    out << SeedTable{QStringLiteral("tipo_procedimento"),
                     {QStringLiteral("Id_Tipo_Procedimento"), QStringLiteral("Nome"), QStringLiteral("Descricao"),
                      QStringLiteral("Ind_Status")},
                     {{12, QStringLiteral("CASTRAÇÃO"), QStringLiteral("Esterilização cirúrgica (castração)."), ativo}}};

    // AGENDADO marks a new booking in the notification e-mail; status 7 is
    // left out of the appointments an owner holds, so it is the cancelled one.
    SeedTable statuses{QStringLiteral("atendimento_status"),
                       {QStringLiteral("Id_Atendimento_Status"), QStringLiteral("Nome"), QStringLiteral("Descricao"),
                        QStringLiteral("Ind_Status")},
                       {}};
    const QList<QPair<QString, QString>> st{
        {QStringLiteral("AGENDADO"), QStringLiteral("Atendimento agendado.")},
        {QStringLiteral("CONFIRMADO"), QStringLiteral("Agendamento confirmado pelo proprietário.")},
        {QStringLiteral("REALIZADO"), QStringLiteral("Procedimento realizado.")},
        {QStringLiteral("NÃO COMPARECEU"), QStringLiteral("O proprietário não compareceu.")},
        {QStringLiteral("REAGENDADO"), QStringLiteral("Atendimento remarcado para outra data.")},
        {QStringLiteral("INAPTO"), QStringLiteral("Animal inapto para o procedimento.")},
        {QStringLiteral("CANCELADO"), QStringLiteral("Agendamento cancelado.")},
    };
    for (int i = 0; i < st.size(); ++i)
        statuses.rows.append({i + 1, st.at(i).first, st.at(i).second, ativo});
    out << statuses;

    // A vaccination row names one real entry; the other two lists point to
    // their "Não se aplica" entry.
    const QString na = QStringLiteral("Não se aplica");
    for (const auto &[table, key] :
         {std::pair{QStringLiteral("tipo_vacina"), QStringLiteral("Id_tipo_vacina")},
          std::pair{QStringLiteral("tipo_vacina_ocorrencia"), QStringLiteral("Id_tipo_vacina_ocorrencia")},
          std::pair{QStringLiteral("tipo_motivo_nao_vacina"), QStringLiteral("Id_tipo_motivo_nao_vacina")}}) {
        out << SeedTable{table,
                         {key, QStringLiteral("Nome"), QStringLiteral("Descricao"), QStringLiteral("Ind_registro_ativo")},
                         {{1, na, na, ativo}}};
    }

    // The standard prescription screen only updates row 1.
    out << SeedTable{QStringLiteral("receituario_padrao"),
                     {QStringLiteral("Id_Receituario_padrao"), QStringLiteral("descricao")},
                     {{1, QStringLiteral("")}}};

    // Read into the booking notification; "<br>" separates its lines.
    out << SeedTable{
        QStringLiteral("Orientacao_Padrao_Atend"),
        {QStringLiteral("Id_Orientacao_Padrao_Atend"), QStringLiteral("Texto_padrao_orientacao")},
        {{1, QStringLiteral("Compareça à unidade na data e no horário agendados.<br> "
                            "O animal deve estar em jejum de alimento por 8 horas e de água por 4 horas.<br> "
                            "Cães devem vir com coleira e guia; gatos, em caixa de transporte.<br> "
                            "Traga documento de identidade e comprovante de residência.")}}};
    return out;
}

} // namespace

const QList<SeedTable> &referenceData()
{
    static const QList<SeedTable> all = buildReferenceData();
    return all;
}

namespace {

void insertSeedTable(Connection &c, const SeedTable &t)
{
    // Several rows per statement keep a fresh install quick on a remote
    // server; the placeholder count stays far below every engine's limit.
    // Positional placeholders: hundreds of named ones are slow to map.
    const qsizetype perStatement = qMax<qsizetype>(1, 600 / t.columns.size());
    const QString tuple = QLatin1Char('(') + QStringList(t.columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))
                          + QLatin1Char(')');
    for (qsizetype start = 0; start < t.rows.size(); start += perStatement) {
        const qsizetype end = qMin(t.rows.size(), start + perStatement);
        const QString sql = QStringLiteral("insert into %1 (%2) values %3")
                                .arg(t.table, t.columns.join(QStringLiteral(", ")),
                                     QStringList(end - start, tuple).join(QStringLiteral(", ")));
        QSqlQuery q(c.db());
        if (!q.prepare(sql))
            throw DbError::from(q.lastError(), sql);
        for (qsizetype r = start; r < end; ++r)
            for (const QVariant &v : t.rows.at(r))
                q.addBindValue(v.metaType().isValid() ? v : QVariant(QMetaType::fromType<QString>())); // never as binary
        if (!q.exec())
            throw DbError::from(q.lastError(), sql);
    }
}

} // namespace

void insertReferenceData(Connection &c)
{
    for (const SeedTable &t : referenceData())
        insertSeedTable(c, t);
}

const QList<SeedTable> &starterValues()
{
    static const QList<SeedTable> tables = [] {
        const QString ativo = QStringLiteral("ATIVO");
        QList<SeedTable> out;
        // The group's key is the program's, as the group screen writes it.
        out << SeedTable{QStringLiteral("grupo_animal"),
                         {QStringLiteral("Id_Grupo_Animal"), QStringLiteral("Nome"), QStringLiteral("Descricao"),
                          QStringLiteral("Ind_Status")},
                         {{1, QStringLiteral("DOMICILIADO"), QStringLiteral("Animal com tutor e domicílio."), ativo},
                          {2, QStringLiteral("SEMIDOMICILIADO"), QStringLiteral("Animal com tutor e acesso à rua."), ativo},
                          {3, QStringLiteral("COMUNITÁRIO"), QStringLiteral("Animal cuidado pela comunidade."), ativo}}};
        out << SeedTable{QStringLiteral("porte"),
                         {QStringLiteral("Id_porte"), QStringLiteral("Descricao"), QStringLiteral("Ind_Status")},
                         {{1, QStringLiteral("PEQUENO"), ativo}, {2, QStringLiteral("MÉDIO"), ativo},
                          {3, QStringLiteral("GRANDE"), ativo}}};
        out << SeedTable{QStringLiteral("pelo"),
                         {QStringLiteral("Id_pelo"), QStringLiteral("Descricao"), QStringLiteral("Ind_Status")},
                         {{1, QStringLiteral("CURTO"), ativo}, {2, QStringLiteral("MÉDIO"), ativo},
                          {3, QStringLiteral("LONGO"), ativo}}};
        // Breeds name their usual size and coat, which a new animal takes.
        const QVariant none;
        out << SeedTable{QStringLiteral("raca"),
                         {QStringLiteral("Id_Raca"), QStringLiteral("Nome"), QStringLiteral("Descricao"),
                          QStringLiteral("Id_Porte"), QStringLiteral("Id_Pelo"), QStringLiteral("Id_Especie"),
                          QStringLiteral("Ind_Status")},
                         {{1, QStringLiteral("SEM RAÇA DEFINIDA - SRD"), QStringLiteral("Cão sem raça definida."), none, none, 1, ativo},
                          {2, QStringLiteral("SEM RAÇA DEFINIDA - SRD"), QStringLiteral("Gato sem raça definida."), none, none, 2, ativo},
                          {3, QStringLiteral("POODLE"), QStringLiteral("Poodle."), 1, 2, 1, ativo},
                          {4, QStringLiteral("PINSCHER"), QStringLiteral("Pinscher."), 1, 1, 1, ativo},
                          {5, QStringLiteral("LABRADOR"), QStringLiteral("Labrador."), 3, 1, 1, ativo},
                          {6, QStringLiteral("PASTOR ALEMÃO"), QStringLiteral("Pastor alemão."), 3, 2, 1, ativo},
                          {7, QStringLiteral("SIAMÊS"), QStringLiteral("Siamês."), 1, 1, 2, ativo},
                          {8, QStringLiteral("PERSA"), QStringLiteral("Persa."), 1, 3, 2, ativo}}};
        return out;
    }();
    return tables;
}

void insertStarterValues(Connection &c)
{
    for (const SeedTable &t : starterValues()) {
        QSqlQuery q(c.db());
        const QString count = QStringLiteral("select count(*) from %1").arg(t.table);
        if (!q.exec(count))
            throw DbError::from(q.lastError(), count);
        if (q.next() && q.value(0).toInt() > 0)
            continue; // the service keeps its own list
        q = QSqlQuery();
        insertSeedTable(c, t);
    }
}

QString tsqlLiteral(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("null");
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return v.toString();
    case QMetaType::QDateTime:
        // ISO 8601 with a T is read the same under every language setting.
        return QStringLiteral("'%1'").arg(v.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
    default: {
        QString s = v.toString();
        s.replace(QLatin1Char('\''), QStringLiteral("''"));
        return QStringLiteral("N'%1'").arg(s);
    }
    }
}

} // namespace Schema
