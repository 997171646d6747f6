#include "app/CityGenerator.h"
#include "app/CityParts.h"
#include "db/BulkInsert.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/PasswordDigest.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "db/schema/Schema.h"
#include "db/Documents.h"
#include "registry/StreetData.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSqlQuery>
#include <vector>

namespace CityGenerator {

// --- Random numbers ---------------------------------------------------------

namespace {
uint64_t splitmix(uint64_t &x)
{
    uint64_t z = (x += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}
uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
} // namespace

Random::Random(uint64_t seed)
{
    uint64_t x = seed;
    for (uint64_t &v : s)
        v = splitmix(x);
}

uint64_t Random::next()
{
    const uint64_t result = rotl(s[1] * 5, 7) * 9;
    const uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = rotl(s[3], 45);
    return result;
}

int Random::below(int n)
{
    // Multiply-shift: no modulo bias worth speaking of at these sizes.
    return int(((next() >> 32) * uint64_t(n)) >> 32);
}

int Random::weighted(const int *weights, int count)
{
    int total = 0;
    for (int i = 0; i < count; ++i)
        total += weights[i];
    int r = below(total);
    for (int i = 0; i < count; ++i) {
        if (r < weights[i])
            return i;
        r -= weights[i];
    }
    return count - 1;
}

// --- Tax numbers ------------------------------------------------------------

namespace {
int check11(int sum)
{
    const int r = sum % 11;
    return r < 2 ? 0 : 11 - r;
}
} // namespace

QString cpfWithCheckDigits(const QString &base9)
{
    QString t = base9;
    for (int len = 9; len <= 10; ++len) {
        int sum = 0;
        for (int i = 0; i < len; ++i)
            sum += (t.at(i).unicode() - '0') * (len + 1 - i);
        t += QChar('0' + check11(sum));
    }
    return t;
}

QString cnpjWithCheckDigits(const QString &base12)
{
    QString t = base12;
    for (int len = 12; len <= 13; ++len) {
        int sum = 0, weight = 2;
        for (int i = len - 1; i >= 0; --i) {
            sum += (t.at(i).unicode() - '0') * weight;
            weight = weight == 9 ? 2 : weight + 1;
        }
        t += QChar('0' + check11(sum));
    }
    return t;
}

namespace {

struct BreedRow {
    int id, especie, porte, pelo, weight;
};

} // namespace

using namespace parts;

Result generate(Connection &c, const Options &o)
{
    QElapsedTimer clock;
    clock.start();
    Result result;
    auto say = [&](const QString &m) {
        if (o.progress)
            o.progress(m);
    };
    if (o.owners < 1)
        throw DbError(QStringLiteral("O número de proprietários deve ser positivo."));
    if (Sql::scalar(c, QStringLiteral("select count(*) from proprietario")).toInt() > 0)
        throw DbError(QStringLiteral("O banco de dados já contém proprietários: a cidade só é gerada num banco sem proprietários."));
    const Engine engine = c.dialect().engine();
    if (engine == Engine::TSql)
        throw DbError(QStringLiteral("A cidade de demonstração é gerada em SQLite ou PostgreSQL."));

    // The street database first, in its own transaction, as sample-city does.
    if (Sql::scalar(c, QStringLiteral("select count(*) from %1").arg(c.dialect().addressTable(QStringLiteral("logradouroNome")))).toInt() == 0) {
        say(QStringLiteral("Carregando o banco de endereços de exemplo..."));
        StreetData::replaceAll(c, StreetData::sampleCity());
    }
    StreetData::addSampleDistricts(c);
    const QList<Street> streets = readStreets(c);
    if (streets.isEmpty())
        throw DbError(QStringLiteral("O banco de endereços não tem logradouros."));

    QSqlDatabase db = c.db();
    // The load is one transaction: a crash loses it whole anyway, so the
    // journal stays in memory and nothing waits for the disk meanwhile.
    QString journal = QStringLiteral("delete"), synchronous = QStringLiteral("2");
    if (engine == Engine::SQLite) {
        QSqlQuery p(db);
        if (p.exec(QStringLiteral("pragma journal_mode")) && p.next())
            journal = p.value(0).toString();
        if (p.exec(QStringLiteral("pragma synchronous")) && p.next())
            synchronous = p.value(0).toString();
        p.exec(QStringLiteral("pragma synchronous = off"));
        p.exec(QStringLiteral("pragma journal_mode = memory"));
        p.exec(QStringLiteral("pragma cache_size = -262144"));
    }
    struct RestorePragmas {
        QSqlDatabase db;
        bool on;
        QString journal, synchronous;
        ~RestorePragmas()
        {
            if (!on)
                return;
            QSqlQuery p(db);
            p.exec(QStringLiteral("pragma journal_mode = ") + journal);
            p.exec(QStringLiteral("pragma synchronous = ") + synchronous);
            p.exec(QStringLiteral("pragma cache_size = -2000"));
        }
    } restore{db, engine == Engine::SQLite, journal, synchronous};

    Transaction tx(c);
    Random r(o.seed);
    const qint64 cpfOffset = qint64(r.next() % 1000000000ULL);
    const qint64 cnpjOffset = qint64(r.next() % 100000000ULL);
    const qint64 chipOffset = qint64(r.next() % 1000000000ULL);

    const int surgeryUnits = qBound(2, o.owners / 40000 + 1, int(unitNames().size()) - 1);
    ensureReferenceRows(c, surgeryUnits + 1);
    seedSmallTables(c, o.today.addYears(-8));

    // Reference rows as the database holds them.
    QList<int> unitIds; // kUnits order: the first registers, the others operate
    for (int i = 0; i <= surgeryUnits; ++i)
        unitIds << Sql::scalar(c, QStringLiteral("select Id_Unidade_Trabalho from unidade_trabalho where upper(Nome) = :n"),
                               {{QStringLiteral("n"), u(unitNames()[i])}}).toInt();
    const QList<int> operatingUnits = unitIds.mid(1);
    QList<BreedRow> dogBreeds, catBreeds;
    {
        QSqlQuery q = Sql::exec(c, QStringLiteral("select Id_Raca, Id_Especie, Id_Porte, Id_Pelo, Nome from raca order by Id_Raca"));
        while (q.next()) {
            int weight = 10;
            const QString name = Sql::text(q.value(4));
            for (const Breed &b : breeds())
                if (u(b.name) == name)
                    weight = b.weight;
            BreedRow b{q.value(0).toInt(), q.value(1).toInt(), q.value(2).isNull() ? 2 : q.value(2).toInt(),
                       q.value(3).isNull() ? 1 : q.value(3).toInt(), weight};
            (b.especie == 2 ? catBreeds : dogBreeds) << b;
        }
    }
    if (dogBreeds.isEmpty() || catBreeds.isEmpty())
        throw DbError(QStringLiteral("Faltam raças de cães e de gatos na tabela de raças."));
    QList<int> dogVaccines, catVaccines;
    {
        QSqlQuery q = Sql::exec(c, QStringLiteral("select Id_tipo_vacina, Nome from tipo_vacina where Ind_registro_ativo = 'ATIVO' order by Id_tipo_vacina"));
        while (q.next()) {
            const QString n = Sql::text(q.value(1));
            if (n.contains(QStringLiteral("FELINA")))
                catVaccines << q.value(0).toInt();
            else if (n.contains(QStringLiteral("CANINA")))
                dogVaccines << q.value(0).toInt();
            else if (n.startsWith(QStringLiteral("ANTIRR"))) {
                catVaccines << q.value(0).toInt();
                dogVaccines << q.value(0).toInt();
            }
        }
    }
    if (dogVaccines.isEmpty())
        dogVaccines << 1;
    if (catVaccines.isEmpty())
        catVaccines << 1;

    // Secondary indexes go while the rows come in.
    const QList<Schema::Index> indexes = bulkIndexes();
    for (const Schema::Index &i : indexes)
        Sql::exec(c, QStringLiteral("drop index if exists %1").arg(i.name));
    for (const QString &name : Schema::optionalIndexNames())
        Sql::exec(c, QStringLiteral("drop index if exists %1").arg(name));
    for (const QString &statement : Schema::searchIndexDropStatements(engine))
        Sql::exec(c, statement);

    int kEndereco = maxKey(c, QStringLiteral("endereco"), QStringLiteral("Id_Endereco"));
    int kProprietario = maxKey(c, QStringLiteral("proprietario"), QStringLiteral("Id_Proprietario"));
    int kAnimal = maxKey(c, QStringLiteral("animal"), QStringLiteral("Id_Animal"));
    int kVacina = maxKey(c, QStringLiteral("vacina"), QStringLiteral("Id_vacina"));
    int kAtendimento = maxKey(c, QStringLiteral("atendimento"), QStringLiteral("Id_Atendimento"));
    int kProcedimento = maxKey(c, QStringLiteral("procedimento"), QStringLiteral("Id_Procedimento"));
    int kUsuario = maxKey(c, QStringLiteral("usuario"), QStringLiteral("Id_Usuario"));
    int kGrupo = maxKey(c, QStringLiteral("Grupo_Animal_Animal"), QStringLiteral("Id_Grupo_Animal_Animal"));
    int kHisto = maxKey(c, QStringLiteral("Histo_Muda_Proprietario"), QStringLiteral("Id_Histo_Muda_Proprietario"));
    int kOcorrencia = maxKey(c, QStringLiteral("ocorrencia"), QStringLiteral("Id_Ocorrencia"));
    int kGasto = maxKey(c, QStringLiteral("medicamento_gasto"), QStringLiteral("Id_Medicamento_Gasto"));

    const QStringList auditCols{QStringLiteral("Inserido_Por"), QStringLiteral("Inserido_Em")};
    BulkInsert endereco(c, QStringLiteral("endereco"),
                        QStringList{"Id_Endereco", "Id_Distrito", "COD_AREA_ABRN", "NUM_LOGR", "NUM_SEQU_LOGR", "TIP_LOGR",
                                    "NOM_LOGR", "NUM_IMOV_LOGR", "DES_CMPL_ENDR", "NUM_BAIR", "NOM_BAIR", "NUM_CEP", "num_locl",
                                    "nom_locl", "End_X", "End_Y", "Ind_Endereco_Informado", "data_inicial_end", "data_endereco"}
                            + auditCols);
    BulkInsert proprietario(c, QStringLiteral("proprietario"),
                            QStringList{"Id_Proprietario", "Nome", "Telefone_Residencial", "Telefone_Celular", "Telefone_Recado",
                                        "Tipo_Pessoa", "Num_CPF_CNPJ", "Num_CI", "Email_Proprietario", "Id_Endereco",
                                        "id_Unidade_Trabalho", "id_usu_web", "Status_Registro"}
                                + auditCols);
    BulkInsert usuario(c, QStringLiteral("usuario"),
                       QStringList{"Id_Usuario", "Nome", "Id_Perfil", "Bloqueado", "Inativo", "Id_Unidade_Trabalho", "Login",
                                   "senha_crip", "Status_Registro", "Id_proprietario", "DDD_TEL_USU", "Telefone_usu",
                                   "Num_CPF_CNPJ", "Ind_solicitacao_nova_senha", "Email_usu"}
                           + auditCols);
    BulkInsert animal(c, QStringLiteral("animal"),
                      QStringList{"Id_Animal", "Id_Proprietario", "Id_Especie", "Id_Raca", "Id_Pelo", "Id_Porte", "Nome", "Sexo",
                                  "Data_Nascimento", "Esterilizado", "Num_Microchip", "Cor", "Sinais", "Num_Pedigree", "OBS",
                                  "Id_Grupo_Animal", "Id_faixa_peso_animal", "Inserido_Por", "Inserido_Em"});
    BulkInsert enderecoAnimal(c, QStringLiteral("endereco_animal"), {QStringLiteral("Id_Animal"), QStringLiteral("Id_Endereco")});
    // Every animal enters its group when registered, and its registration is
    // the first entry of its owners, as the animal tab writes them.
    BulkInsert grupo(c, QStringLiteral("Grupo_Animal_Animal"),
                     QStringList{"Id_Grupo_Animal_Animal", "Id_Grupo_Animal", "Id_Animal", "Dt_Entrada_Grupo"});
    BulkInsert histo(c, QStringLiteral("Histo_Muda_Proprietario"),
                     QStringList{"Id_Histo_Muda_Proprietario", "Id_Animal", "Id_Anterior_Proprietario", "Id_Proprietario",
                                 "Dt_Muda_Proprietario"} + auditCols);
    BulkInsert ocorrencia(c, QStringLiteral("ocorrencia"),
                          QStringList{"Id_Ocorrencia", "Id_Animal", "Id_Tipo_Ocorrencia", "Dt_Ocorrencia"} + auditCols);
    BulkInsert gasto(c, QStringLiteral("medicamento_gasto"),
                     QStringList{"Id_Medicamento_Gasto", "Id_Medicamento", "Id_Atendimento", "Quantidade"} + auditCols);
    BulkInsert vacina(c, QStringLiteral("vacina"),
                      {QStringLiteral("Id_vacina"), QStringLiteral("Id_Animal"), QStringLiteral("Id_tipo_vacina"),
                       QStringLiteral("Id_tipo_vacina_ocorrencia"), QStringLiteral("Id_tipo_motivo_nao_vacina"),
                       QStringLiteral("Data_atividade"), QStringLiteral("Inserido_por"), QStringLiteral("Inserido_em")});
    BulkInsert atendimento(c, QStringLiteral("atendimento"),
                           QStringList{"Id_Atendimento", "Id_Proprietario", "Id_Animal", "Id_Unidade_Trabalho", "Id_Unidade_Agendada",
                                       "Data_Hora_Atendimento", "Id_Atendimento_Status", "Ind_Autoriza_Cirurgia"}
                               + auditCols);
    BulkInsert atendProf(c, QStringLiteral("atendimento_profissional"),
                         QStringList{"Id_Profissional", "Id_Atendimento"} + auditCols);
    BulkInsert procedimento(c, QStringLiteral("procedimento"),
                            QStringList{"Id_Procedimento", "Id_Tipo_Procedimento", "Id_Atendimento"} + auditCols);

    Schedule schedule = planSchedule(c, r, operatingUnits, o, result);
    std::vector<SlotRow> &slotRows = schedule.slotRows;
    const QHash<QDate, int> &firstSlotOfDay = schedule.firstSlotOfDay;
    const QHash<int, QList<int>> &unitVets = schedule.unitVets;
    const int slotsPerDay = schedule.slotsPerDay;
    const QDate first = schedule.first, last = schedule.last;
    const QList<int> occurrenceTypes = activeKeys(c, QStringLiteral("tipo_ocorrencia"), QStringLiteral("Id_Tipo_Ocorrencia"),
                                                  QStringLiteral("Ind_Status"));
    const QList<int> medicines = activeKeys(c, QStringLiteral("medicamento"), QStringLiteral("Id_Medicamento"),
                                            QStringLiteral("Ind_Status"));

    // The staff who registered the city: real users of the registering unit
    // (and a few of the operating ones), so that every stamp names someone.
    const QString webPassword = PasswordDigest::of(QStringLiteral("zapo-demo"));
    const int staffProfile = Sql::scalar(c, QStringLiteral("select min(Id_Perfil) from perfil")).toInt();
    QList<int> clerks, clerkUnits;
    for (int k = 0; k < 20; ++k) {
        const int id = ++kUsuario;
        const int unit = k < 14 ? unitIds.at(0) : operatingUnits.at(k % operatingUnits.size());
        const QString nome = personName(r, r.chance(60));
        usuario.add({id, nome, staffProfile, QStringLiteral("NAO"), QStringLiteral("NAO"), unit,
                     QStringLiteral("atendente%1").arg(k + 1, 2, 10, QLatin1Char('0')), webPassword, QStringLiteral("ATIVO"),
                     nullInt(), nullText(), nullText(), nullText(), nullText(), nullText(), 0, stamp(first.addYears(-2), 8 * 60)});
        clerks << id;
        clerkUnits << unit;
    }
    QList<int> ownerIds;

    const int personWeights[] = {97, 3};
    const int animalCountWeights[] = {10, 40, 30, 12, 5, 3};
    const int vaccineCountWeights[] = {30, 30, 20, 12, 8};
    const int appointmentWeights[] = {50, 35, 12, 3};
    const int pastStatusWeights[] = {62, 15, 6, 5, 12}; // realizado, faltou, reagendado, inapto, cancelado
    const int pastStatus[] = {3, 4, 5, 6, 7};
    QList<int> dogBreedWeights, catBreedWeights;
    for (const BreedRow &b : dogBreeds)
        dogBreedWeights << b.weight;
    for (const BreedRow &b : catBreeds)
        catBreedWeights << b.weight;
    const int registerSpanDays = int(o.today.addYears(-8).daysTo(o.today));
    const int dddCity = 19;
    const QString fisica = u("FÍSICA"), juridica = u("JURÍDICA"), ativo = QStringLiteral("ATIVO"),
                  sim = QStringLiteral("SIM"), nao = QStringLiteral("NAO");

    say(QStringLiteral("Gerando %1 proprietários...").arg(o.owners));
    qint64 animalIndex = 0;
    for (int i = 0; i < o.owners; ++i) {
        const bool company = r.weighted(personWeights, 2) == 1;
        const QDate registered = o.today.addDays(-r.below(registerSpanDays));
        // The owner belongs to the unit of the clerk who registered it.
        const int clerkIndex = r.below(int(clerks.size()));
        const int clerk = clerks.at(clerkIndex), unit = clerkUnits.at(clerkIndex);
        const QVariant savedAt = stamp(registered, 8 * 60 + r.below(600));

        // Address
        const Street &st = streets.at(r.below(int(streets.size())));
        const int number = 1 + r.below(qMax(1, st.length));
        QString cep;
        for (const Street::Cep &cp : st.ceps)
            if (number >= cp.first && number <= cp.last && (number % 2 == 0) == cp.even)
                cep = cp.cep;
        if (cep.isEmpty() && !st.ceps.isEmpty())
            cep = st.ceps.front().cep;
        QString complemento;
        const int cmpl = r.below(100);
        if (cmpl < 12)
            complemento = QStringLiteral("APTO %1").arg(11 + r.below(150));
        else if (cmpl < 18)
            complemento = QStringLiteral("CASA %1").arg(1 + r.below(4));
        else if (cmpl < 21)
            complemento = QStringLiteral("FUNDOS");
        const QVariant x = st.hasXY ? QVariant(st.x + (number % 97) * 0.5) : QVariant(QMetaType::fromType<double>());
        const QVariant y = st.hasXY ? QVariant(st.y + (number % 89) * 0.5) : QVariant(QMetaType::fromType<double>());
        // A new animal's address is a copy of the owner's without the
        // coordinates, which the animal tab does not carry over.
        auto addressRow = [&](int id, const QVariant &at, bool animalAddress) {
            const QVariant noCoordinate(QMetaType::fromType<double>());
            endereco.add({id, st.distrito ? QVariant(st.distrito) : nullInt(), st.area ? QVariant(st.area) : nullInt(), st.num, 1,
                          st.tip, st.nom, number, complemento.isEmpty() ? nullText() : QVariant(complemento),
                          st.bairro ? QVariant(st.bairro) : nullInt(), st.nomBairro, cep.isEmpty() ? nullText() : QVariant(cep), 1,
                          QStringLiteral("SEDE"), animalAddress ? noCoordinate : x, animalAddress ? noCoordinate : y, sim,
                          nullText(), nullText(), clerk, at});
        };
        const int ownerAddress = ++kEndereco;
        addressRow(ownerAddress, savedAt, false);

        // Owner
        const int ownerId = ++kProprietario;
        QString nome, doc, tipo;
        if (company) {
            static const QStringList kinds = list({"PET SHOP %1 LTDA", "CLÍNICA VETERINÁRIA %1 LTDA", "ASSOCIAÇÃO PROTETORA %1",
                                                   "ONG AMIGOS DE %1", "CANIL %1 ME", "AGROPECUÁRIA %1 EIRELI"});
            const QString who = r.chance(50) ? st.nomBairro : surnames().at(r.below(int(surnames().size())));
            nome = kinds.at(r.below(int(kinds.size()))).arg(who.isEmpty() ? QStringLiteral("CENTRAL") : who).left(50);
            doc = cnpjWithCheckDigits(QString::number(spread8(i, cnpjOffset)).rightJustified(8, QLatin1Char('0')) + QStringLiteral("0001"));
            tipo = juridica;
        } else {
            nome = personName(r, r.chance(55));
            QString base = QString::number(spread9(i, cpfOffset)).rightJustified(9, QLatin1Char('0'));
            if (repdigit(base))
                base = QString::number(spread9(qint64(i) + 2147483648LL, cpfOffset)).rightJustified(9, QLatin1Char('0'));
            doc = cpfWithCheckDigits(base);
            tipo = fisica;
        }
        const QString mobile = QStringLiteral("(%1)9%2-%3").arg(dddCity).arg(digits(r, 4), digits(r, 4));
        // The register asks for the home telephone and the e-mail of everyone.
        const QVariant home = QStringLiteral("(%1)3%2").arg(dddCity).arg(digits(r, 7));
        const QVariant cel = r.chance(70) ? QVariant(mobile) : nullText();
        const QVariant recado = r.chance(15) ? QVariant(QStringLiteral("(%1)9%2-%3").arg(dddCity).arg(digits(r, 4), digits(r, 4))) : nullText();
        const QVariant ci = (!company && r.chance(80)) ? QVariant(digits(r, 8) + QChar(r.chance(10) ? 'X' : QChar('0' + r.below(10)))) : nullText();
        const QString mail = QStringLiteral("%1%2@%3").arg(mailPart(nome).left(30)).arg(ownerId).arg(mailDomains().at(r.below(int(mailDomains().size()))));
        const QVariant email = mail;
        const bool active = r.below(100) >= 2;
        // Every owner gets the web service's account with the registration:
        // the CPF/CNPJ as login, the first telephone given, the clerk's unit
        // and profile. The web service blocks a few of them itself.
        const int webId = ++kUsuario;
        {
            const QString phone = !cel.isNull() ? cel.toString() : !home.isNull() ? home.toString() : recado.toString();
            const Documents::PhoneParts parts = Documents::splitPhone(phone);
            const int block = r.below(100);
            const QString bloqueado = block < 2 ? QStringLiteral("WEB") : block < 4 ? sim : u("NÃO");
            usuario.add({webId, nome, staffProfile, bloqueado, nao, unit, doc, webPassword, ativo, ownerId,
                         parts.ddd.isEmpty() ? nullText() : QVariant(parts.ddd), parts.number.isEmpty() ? nullText() : QVariant(parts.number),
                         doc, QStringLiteral("N"), email, clerk, savedAt});
        }
        proprietario.add({ownerId, nome, home, cel, recado, tipo, doc, ci, email, ownerAddress, unit, webId,
                          active ? ativo : QStringLiteral("INATIVO"), clerk, savedAt});
        ownerIds << ownerId;

        // Animals
        const int animals = company ? 2 + r.below(8) : r.weighted(animalCountWeights, 6);
        for (int a = 0; a < animals; ++a) {
            const int animalId = ++kAnimal;
            const qint64 ai = animalIndex++;
            const bool cat = r.chance(35);
            const BreedRow &breed = cat ? catBreeds.at(r.weighted(catBreedWeights.constData(), int(catBreeds.size())))
                                        : dogBreeds.at(r.weighted(dogBreedWeights.constData(), int(dogBreeds.size())));
            const bool male = r.chance(50);
            const QDate born = registered.addDays(-30 - r.below(12 * 365));
            QVariant chip = nullText();
            if (r.chance(55)) {
                static const char *const makers[] = {"982000", "900164", "977200"};
                const QString n = QString::fromLatin1(makers[ai % 3]) + QString::number(spread9(ai, chipOffset)).rightJustified(9, QLatin1Char('0'));
                if (r.chance(20)) // typed in groups, as read off the certificate
                    chip = n.mid(0, 3) + QLatin1Char(' ') + n.mid(3, 3) + QLatin1Char(' ') + n.mid(6, 3) + QLatin1Char(' ')
                           + n.mid(9, 3) + QLatin1Char(' ') + n.mid(12, 3);
                else
                    chip = n;
            }
            const int grupoId = company ? 3 : (r.chance(8) ? 2 : 1);

            // Appointments decide whether the animal is sterilized.
            bool sterilized = r.chance(15);
            const int appointments = r.weighted(appointmentWeights, 4);
            QDate from = qMax(qMax(registered, born.addDays(120)), first);
            for (int k = 0; k < appointments && from < last; ++k) {
                const QDate wanted = from.addDays(r.below(int(qMin<qint64>(400, from.daysTo(last))) + 1));
                // The first weekday with a free place of the right kind, within a week.
                int slotIndex = -1;
                QDate day = wanted;
                for (int tries = 0; tries < 7 && day <= last; ++tries, day = day.addDays(1)) {
                    auto it = firstSlotOfDay.constFind(day);
                    if (it == firstSlotOfDay.constEnd())
                        continue;
                    const int start = *it, pick = r.below(slotsPerDay / 3);
                    const bool large = !cat && !male && breed.porte == 3;
                    const int s = start + pick * 3 + (cat ? 2 : large ? 1 : 0);
                    if (slotRows[s].used < slotRows[s].capacity) {
                        slotIndex = s;
                        break;
                    }
                }
                if (slotIndex < 0)
                    break; // the period is booked out
                SlotRow &slot = slotRows[slotIndex];
                const bool future = slot.day > o.today;
                const int status = future ? (r.chance(70) ? 1 : 2) : pastStatus[r.weighted(pastStatusWeights, 5)];
                if (status != 7)
                    ++slot.used;
                const int id = ++kAtendimento;
                const int booking = r.chance(40) ? unit : unitIds.at(0);
                const QDate bookedOn = qMax(registered, slot.day.addDays(-5 - r.below(40)));
                atendimento.add({id, ownerId, animalId, booking, slot.unit, stamp(slot.day, slot.minutes), status, sim, clerk,
                                 stamp(bookedOn, 8 * 60 + r.below(600))});
                if (status == 3) {
                    sterilized = true;
                    const QList<int> &vets = unitVets.value(slot.unit);
                    const int v = r.below(int(vets.size()));
                    atendProf.add({vets.at(v), id, clerk, stamp(slot.day, slot.minutes + 240)});
                    if (r.chance(30))
                        atendProf.add({vets.at((v + 1) % vets.size()), id, clerk, stamp(slot.day, slot.minutes + 240)});
                    procedimento.add({++kProcedimento, 12, id, clerk, stamp(slot.day, slot.minutes + 240)});
                    // The anaesthetic and the analgesic of the surgery.
                    if (medicines.size() >= 2) {
                        gasto.add({++kGasto, medicines.at(0), id, 1 + r.below(4) * 0.5, clerk, stamp(slot.day, slot.minutes + 240)});
                        gasto.add({++kGasto, medicines.at(1 + r.below(int(medicines.size()) - 1)), id, 1 + r.below(3), clerk,
                                   stamp(slot.day, slot.minutes + 240)});
                    }
                    break;
                }
                from = slot.day.addDays(14);
            }

            // Saved a few minutes after its owner, with the rows the animal
            // tab writes for every new animal.
            const QVariant animalAt = stamp(registered, 8 * 60 + 600 + 2 * (a + 1));
            animal.add({animalId, ownerId, cat ? 2 : 1, breed.id, breed.pelo, breed.porte, petNames().at(r.below(int(petNames().size()))),
                        male ? QStringLiteral("M") : QStringLiteral("F"), stamp(born), sterilized ? sim : nao, chip,
                        coatColours().at(r.below(int(coatColours().size()))), nullText(), nullText(), nullText(), grupoId, 1, clerk,
                        animalAt});
            const int animalAddress = ++kEndereco;
            addressRow(animalAddress, animalAt, true);
            enderecoAnimal.add({animalId, animalAddress});
            grupo.add({++kGrupo, grupoId, animalId, animalAt});
            histo.add({++kHisto, animalId, nullInt(), ownerId, nullText(), clerk, animalAt});
            if (!occurrenceTypes.isEmpty() && r.chance(3)) {
                const QDate on = registered.addDays(r.below(int(qMax<qint64>(1, registered.daysTo(o.today)))));
                ocorrencia.add({++kOcorrencia, animalId, occurrenceTypes.at(r.below(int(occurrenceTypes.size()))), stamp(on), clerk,
                                stamp(on, 9 * 60 + r.below(480))});
            }

            const int shots = r.weighted(vaccineCountWeights, 5);
            const QList<int> &types = cat ? catVaccines : dogVaccines;
            QDate shot = qMax(born.addDays(60), o.today.addYears(-8));
            for (int v = 0; v < shots && shot < o.today; ++v) {
                vacina.add({++kVacina, animalId, types.at(r.below(int(types.size()))), 1, 1, stamp(shot), clerk, stamp(shot, 10 * 60)});
                shot = shot.addDays(180 + r.below(365));
            }
        }
        if ((i + 1) % 20000 == 0)
            say(QStringLiteral("%1 proprietários, %2 linhas, %3 s")
                    .arg(i + 1)
                    .arg(endereco.rows() + proprietario.rows() + animal.rows() + enderecoAnimal.rows() + vacina.rows() + atendimento.rows()
                         + atendProf.rows() + procedimento.rows() + usuario.rows() + grupo.rows() + histo.rows())
                    .arg(clock.elapsed() / 1000.0, 0, 'f', 1));
    }

    say(QStringLiteral("Gravando as vagas..."));
    writeSlots(c, schedule, result);
    writeDraftsAndGrants(c, r, schedule, operatingUnits, ownerIds, clerks, result);
    for (BulkInsert *b : {&endereco, &proprietario, &usuario, &animal, &enderecoAnimal, &grupo, &vacina, &atendimento, &atendProf, &procedimento,
                          &histo, &ocorrencia, &gasto})
        b->finish();
    result.perTable.insert(QStringLiteral("endereco"), endereco.rows());
    result.perTable.insert(QStringLiteral("proprietario"), proprietario.rows());
    result.perTable.insert(QStringLiteral("usuario"), usuario.rows());
    result.perTable.insert(QStringLiteral("animal"), animal.rows());
    result.perTable.insert(QStringLiteral("endereco_animal"), enderecoAnimal.rows());
    result.perTable.insert(QStringLiteral("Grupo_Animal_Animal"), grupo.rows());
    result.perTable.insert(QStringLiteral("vacina"), vacina.rows());
    result.perTable.insert(QStringLiteral("atendimento"), atendimento.rows());
    result.perTable.insert(QStringLiteral("atendimento_profissional"), atendProf.rows());
    result.perTable.insert(QStringLiteral("procedimento"), procedimento.rows());
    result.perTable.insert(QStringLiteral("Histo_Muda_Proprietario"), histo.rows());
    result.perTable.insert(QStringLiteral("ocorrencia"), ocorrencia.rows());
    result.perTable.insert(QStringLiteral("medicamento_gasto"), gasto.rows());
    for (auto it = result.perTable.cbegin(); it != result.perTable.cend(); ++it)
        result.rows += it.value();
    result.loadSeconds = clock.elapsed() / 1000.0;

    say(QStringLiteral("Criando os índices..."));
    for (const Schema::Index &i : indexes)
        Sql::exec(c, Schema::createIndexStatement(i, engine));
    for (const QString &statement : Schema::optionalIndexStatements(engine))
        Sql::exec(c, statement);
    Schema::fillSearchIndexes(c);

    if (engine == Engine::PostgreSQL) {
        // The identity columns did not see the explicit keys: move their
        // sequences past them so that the program's own inserts go on.
        for (const Schema::Table &t : Schema::tables()) {
            if (t.db != Schema::Database::Main || t.key != Schema::KeyKind::Server)
                continue;
            Sql::exec(c, QStringLiteral("select setval(pg_get_serial_sequence('%1', '%2'), coalesce(max(%2), 0) + 1, false) from %1")
                             .arg(t.name.toLower(), t.keyColumn().toLower()));
        }
    }
    tx.commit();

    say(QStringLiteral("Atualizando as estatísticas..."));
    // PostgreSQL's vacuum also marks the pages all-visible, so counts can
    // read the indexes alone.
    Sql::exec(c, engine == Engine::PostgreSQL ? QStringLiteral("vacuum analyze") : QStringLiteral("analyze"));
    result.totalSeconds = clock.elapsed() / 1000.0;
    return result;
}

} // namespace CityGenerator
