#include "app/CityGenerator.h"
#include "db/BulkInsert.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/PasswordDigest.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "db/schema/Schema.h"
#include "db/schema/SchemaModel.h"
#include "registry/StreetData.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
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

// --- Word lists -------------------------------------------------------------

QString u(const char *utf8) { return QString::fromUtf8(utf8); }
QStringList list(std::initializer_list<const char *> words)
{
    QStringList out;
    for (const char *w : words)
        out << u(w);
    return out;
}

const QStringList &maleNames()
{
    static const QStringList l = list({"JOSÉ", "JOÃO", "ANTÔNIO", "FRANCISCO", "CARLOS", "PAULO", "PEDRO", "LUCAS", "LUIZ",
                                       "MARCOS", "LUÍS", "GABRIEL", "RAFAEL", "DANIEL", "MARCELO", "BRUNO", "EDUARDO", "FELIPE",
                                       "RAIMUNDO", "RODRIGO", "MANOEL", "MATEUS", "ANDRÉ", "FERNANDO", "FÁBIO", "LEONARDO",
                                       "GUSTAVO", "GUILHERME", "LEANDRO", "TIAGO", "ANDERSON", "RICARDO", "MÁRCIO", "JORGE",
                                       "SEBASTIÃO", "ALEXANDRE", "ROBERTO", "EDSON", "DIEGO", "VÍTOR", "SÉRGIO", "CLÁUDIO",
                                       "JOAQUIM", "CÉSAR", "OTÁVIO", "HEITOR", "DAVI", "ARTHUR", "BENÍCIO", "CAUÃ", "JOSUÉ",
                                       "NATANAEL", "ROGÉRIO", "WELLINGTON", "EMERSON"});
    return l;
}

const QStringList &femaleNames()
{
    static const QStringList l = list({"MARIA", "ANA", "FRANCISCA", "ANTÔNIA", "ADRIANA", "JULIANA", "MÁRCIA", "FERNANDA",
                                       "PATRÍCIA", "ALINE", "SANDRA", "CAMILA", "AMANDA", "BRUNA", "JÉSSICA", "LETÍCIA",
                                       "JÚLIA", "LUCIANA", "VANESSA", "MARIANA", "GABRIELA", "VERA", "VITÓRIA", "LARISSA",
                                       "CLÁUDIA", "BEATRIZ", "LUANA", "RITA", "SÔNIA", "RENATA", "ELIANE", "JOSEFA", "SIMONE",
                                       "NATÁLIA", "CRISTIANE", "CARLA", "DÉBORA", "ROSÂNGELA", "JAQUELINE", "ROSA", "DANIELA",
                                       "APARECIDA", "LÚCIA", "CONCEIÇÃO", "HELENA", "ALICE", "CECÍLIA", "LÍVIA", "ISADORA",
                                       "GLÓRIA", "TEREZINHA", "IRACEMA", "ODETE"});
    return l;
}

const QStringList &surnames()
{
    static const QStringList l = list({"DA SILVA", "DOS SANTOS", "DE OLIVEIRA", "DE SOUZA", "RODRIGUES", "FERREIRA", "ALVES",
                                       "PEREIRA", "LIMA", "GOMES", "DA COSTA", "RIBEIRO", "MARTINS", "CARVALHO", "DE ALMEIDA",
                                       "LOPES", "SOARES", "FERNANDES", "VIEIRA", "BARBOSA", "ROCHA", "DIAS", "DO NASCIMENTO",
                                       "DE ANDRADE", "MOREIRA", "NUNES", "MARQUES", "MACHADO", "MENDES", "DE FREITAS",
                                       "CARDOSO", "RAMOS", "GONÇALVES", "SANTANA", "TEIXEIRA", "ARAÚJO", "DA CONCEIÇÃO",
                                       "MONTEIRO", "CAVALCANTI", "BRANDÃO", "GUIMARÃES", "MAGALHÃES", "FALCÃO", "SIMÕES",
                                       "DE ASSUNÇÃO", "CORRÊA", "PIMENTEL", "BATISTA", "MOURA", "DE AZEVEDO", "QUEIRÓS",
                                       "DE MELO", "BARROS", "PINTO", "DE JESUS", "CASTRO", "CAMPOS", "FONSECA", "TAVARES",
                                       "SAMPAIO"});
    return l;
}

const QStringList &petNames()
{
    static const QStringList l = list({"REX", "MEL", "THOR", "LUNA", "BOLINHA", "PRETINHA", "NINA", "BOB", "LILI", "TOBIAS",
                                       "PIPOCA", "AMORA", "FAÍSCA", "PAÇOCA", "SANSÃO", "BIDU", "LÉO", "MIMI", "FRAJOLA",
                                       "SIMBA", "NEGUINHO", "BELINHA", "MAIA", "FRED", "ZECA", "PANTERA", "TIGRÃO", "MAGALI",
                                       "PITUCA", "CAFÉ", "CANELA", "JUJUBA", "BRISA", "DUQUE", "PRINCESA", "CHICO", "SOFIA",
                                       "MARROM", "MILU", "TOTÓ", "LOBO", "PINGO", "BABI", "BRUTUS", "KIARA", "GAROA", "LULU",
                                       "MASCOTE", "ESTRELA", "JOLIE"});
    return l;
}

const QStringList &coatColours()
{
    static const QStringList l = list({"PRETO", "BRANCO", "CARAMELO", "MARROM", "CINZA", "TRICOLOR", "RAJADO",
                                       "PRETO E BRANCO", "BEGE", "DOURADO", "TIGRADO", "ESCAMINHA"});
    return l;
}

const QStringList &mailDomains()
{
    static const QStringList l = list({"gmail.com", "hotmail.com", "yahoo.com.br", "outlook.com", "uol.com.br",
                                       "bol.com.br", "terra.com.br", "ig.com.br"});
    return l;
}

struct Breed {
    const char *name;
    int especie; // 1 dogs, 2 cats
    int porte;   // 1 small, 2 medium, 3 large
    int pelo;    // 1 short, 2 medium, 3 long
    int weight;
};
const Breed kBreeds[] = {
    {"SRD - SEM RAÇA DEFINIDA", 1, 2, 1, 520}, {"POODLE", 1, 1, 3, 40}, {"PINSCHER", 1, 1, 1, 45},
    {"SHIH TZU", 1, 1, 3, 55}, {"YORKSHIRE", 1, 1, 3, 30}, {"LABRADOR", 1, 3, 1, 30}, {"PASTOR ALEMÃO", 1, 3, 2, 25},
    {"ROTTWEILER", 1, 3, 1, 15}, {"PIT BULL", 1, 2, 1, 35}, {"BEAGLE", 1, 2, 1, 15}, {"DACHSHUND", 1, 1, 1, 20},
    {"BULDOGUE FRANCÊS", 1, 1, 1, 15}, {"GOLDEN RETRIEVER", 1, 3, 3, 15}, {"BORDER COLLIE", 1, 2, 2, 10},
    {"LHASA APSO", 1, 1, 3, 25}, {"SPITZ ALEMÃO", 1, 1, 3, 20}, {"CHOW CHOW", 1, 2, 3, 8}, {"BOXER", 1, 3, 1, 8},
    {"FILA BRASILEIRO", 1, 3, 1, 5}, {"MALTÊS", 1, 1, 3, 12},
    {"SRD - SEM RAÇA DEFINIDA", 2, 1, 1, 760}, {"SIAMÊS", 2, 1, 1, 90}, {"PERSA", 2, 1, 3, 60},
    {"MAINE COON", 2, 2, 3, 15}, {"ANGORÁ", 2, 1, 3, 35}, {"BENGAL", 2, 1, 1, 10}, {"SPHYNX", 2, 1, 1, 5},
    {"RAGDOLL", 2, 1, 3, 10},
};

const char *const kUnits[] = {
    "CCZ - CENTRO DE CONTROLE DE ZOONOSES", "CLÍNICA MUNICIPAL DE CASTRAÇÃO NORTE", "CLÍNICA MUNICIPAL DE CASTRAÇÃO SUL",
    "CASTRAMÓVEL LESTE", "CASTRAMÓVEL OESTE", "HOSPITAL VETERINÁRIO PÚBLICO", "CLÍNICA CONVENIADA SÃO FRANCISCO",
    "CLÍNICA CONVENIADA PATAS AMIGAS", "CASTRAMÓVEL CENTRO", "CLÍNICA CONVENIADA BEM-ESTAR ANIMAL",
    "UNIDADE MÓVEL RURAL", "CLÍNICA ESCOLA DE MEDICINA VETERINÁRIA",
};

// --- The street database as the addresses need it ---------------------------

struct Street {
    int num = 0;
    QString tip, nom;
    int bairro = 0;
    QString nomBairro;
    int area = 0, distrito = 0;
    int length = 1; // last house number
    struct Cep { int first, last; bool even; QString cep; };
    QList<Cep> ceps;
    double x = 0, y = 0; // a house of the street, when known
    bool hasXY = false;
};

QList<Street> readStreets(Connection &c)
{
    const Dialect &d = c.dialect();
    QHash<int, Street> byNum;
    QList<int> order;
    {
        QSqlQuery q = Sql::exec(c, QStringLiteral("select num_logr, tip_logr, nom_logr from %1 where num_sequ_logr = 1 order by num_logr")
                                       .arg(d.addressTable(QStringLiteral("logradouroNome"))));
        while (q.next()) {
            Street s;
            s.num = q.value(0).toInt();
            s.tip = Sql::text(q.value(1));
            s.nom = Sql::text(q.value(2));
            if (byNum.contains(s.num))
                continue;
            byNum.insert(s.num, s);
            order << s.num;
        }
    }
    QHash<int, QString> bairros;
    {
        QSqlQuery q = Sql::exec(c, QStringLiteral("select NUM_BAIR, NOM_BAIR from %1").arg(d.addressTable(QStringLiteral("Bairro"))));
        while (q.next())
            bairros.insert(q.value(0).toInt(), Sql::text(q.value(1)));
    }
    {
        QSqlQuery q = Sql::exec(c, QStringLiteral("select NUM_LOGR, NUM_BAIR from %1 order by NUM_LOGR, IND_BAIR_CORD, NUM_BAIR")
                                       .arg(d.addressTable(QStringLiteral("BairroLogradouro"))));
        while (q.next()) {
            auto it = byNum.find(q.value(0).toInt());
            if (it != byNum.end() && it->bairro == 0) {
                it->bairro = q.value(1).toInt();
                it->nomBairro = bairros.value(it->bairro);
            }
        }
    }
    {
        QSqlQuery q = Sql::exec(c, QStringLiteral("select num_logr, num_cep, ind_lado_logr, num_imov_inic, num_imov_fina from %1 "
                                                  "order by num_logr, num_imov_inic, ind_lado_logr")
                                       .arg(d.addressTable(QStringLiteral("cepLogradouro"))));
        while (q.next()) {
            auto it = byNum.find(q.value(0).toInt());
            if (it == byNum.end())
                continue;
            Street::Cep cep{Sql::text(q.value(3)).toInt(), Sql::text(q.value(4)).toInt(),
                            Sql::text(q.value(2)) == QLatin1String("P"), QString::number(q.value(1).toLongLong()).rightJustified(8, QLatin1Char('0'))};
            it->ceps << cep;
            it->length = qMax(it->length, cep.last);
        }
    }
    {
        QSqlQuery q = Sql::exec(c, QStringLiteral("select Num_Logr, Val_Cood_X, Val_Cood_Y from %1 order by Num_Logr, Num_Imov")
                                       .arg(d.addressTable(QStringLiteral("logradouroimovel"))));
        while (q.next()) {
            auto it = byNum.find(q.value(0).toInt());
            if (it != byNum.end() && !it->hasXY && !q.value(1).isNull()) {
                it->x = q.value(1).toDouble();
                it->y = q.value(2).toDouble();
                it->hasXY = true;
            }
        }
    }
    QList<QPair<int, int>> areas; // code, district
    {
        QSqlQuery q = Sql::exec(c, QStringLiteral("select COD_AREA_ABRN, COD_DITR_SANI from %1 where SIT_REGT = 'A' order by COD_AREA_ABRN")
                                       .arg(d.addressTable(QStringLiteral("AreaAbrang"))));
        while (q.next())
            areas << qMakePair(q.value(0).toInt(), q.value(1).toInt());
    }
    QList<Street> out;
    for (int i = 0; i < order.size(); ++i) {
        Street s = byNum.value(order.at(i));
        if (!areas.isEmpty()) {
            s.area = areas.at(i % areas.size()).first;
            s.distrito = areas.at(i % areas.size()).second;
        }
        out << s;
    }
    return out;
}

// --- Helpers ----------------------------------------------------------------

// Date-times as the program stores them (the SQLite driver writes bound
// date-times as ISO text with milliseconds; PostgreSQL reads the same text).
QVariant stamp(const QDate &d, int minutes = 0)
{
    if (!d.isValid())
        return QVariant(QMetaType::fromType<QString>());
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:00.000", d.year(), d.month(), d.day(), minutes / 60, minutes % 60);
    return QString::fromLatin1(buf);
}

QVariant nullText() { return QVariant(QMetaType::fromType<QString>()); }
QVariant nullInt() { return QVariant(QMetaType::fromType<int>()); }

QString digits(Random &r, int count)
{
    QString s;
    s.reserve(count);
    for (int i = 0; i < count; ++i)
        s += QChar('0' + r.below(10));
    return s;
}

// A key-derived number that never repeats below 10^9 (3^18 is prime to 10).
qint64 spread9(qint64 i, qint64 offset) { return (i * 387420489LL + offset) % 1000000000LL; }
qint64 spread8(qint64 i, qint64 offset) { return (i * 43046721LL + offset) % 100000000LL; }

bool repdigit(const QString &s) { return s.count(s.at(0)) == s.size(); }

QString mailPart(const QString &name)
{
    QString out;
    for (const QChar ch : foldText(name))
        if ((ch >= QLatin1Char('a') && ch <= QLatin1Char('z')) || ch == QLatin1Char(' '))
            out += ch == QLatin1Char(' ') ? QLatin1Char('.') : ch;
    return out;
}

int maxKey(Connection &c, const QString &table, const QString &column)
{
    return Sql::scalar(c, QStringLiteral("select coalesce(max(%1), 0) from %2").arg(column, table)).toInt();
}

// Tables the generator fills in bulk: their secondary indexes are dropped
// during the load and built again afterwards, which is several times faster
// than keeping them up to date row by row.
const QStringList &bulkTables()
{
    static const QStringList t{QStringLiteral("proprietario"), QStringLiteral("endereco"), QStringLiteral("animal"),
                               QStringLiteral("endereco_animal"), QStringLiteral("vacina"), QStringLiteral("atendimento"),
                               QStringLiteral("atendimento_profissional"), QStringLiteral("procedimento"),
                               QStringLiteral("mapa_disponibilidade_agenda"), QStringLiteral("usuario"),
                               QStringLiteral("Grupo_Animal_Animal"), QStringLiteral("jornada_trabalho")};
    return t;
}

QList<Schema::Index> bulkIndexes()
{
    QList<Schema::Index> out;
    for (const Schema::Index &i : Schema::indexes())
        if (i.db == Schema::Database::Main && bulkTables().contains(i.table, Qt::CaseInsensitive))
            out << i;
    return out;
}

void ensureReferenceRows(Connection &c, int units)
{
    const QVariant now = stamp(QDate(2015, 1, 1), 8 * 60);
    if (Sql::scalar(c, QStringLiteral("select count(*) from pelo")).toInt() == 0) {
        const QStringList d = list({"CURTO", "MÉDIO", "LONGO"});
        for (int i = 0; i < d.size(); ++i)
            Sql::exec(c, QStringLiteral("insert into pelo (Id_pelo, Descricao, Ind_Status, Inserido_Por, Inserido_Em) values (:i, :d, 'ATIVO', 1, :e)"),
                      {{QStringLiteral("i"), i + 1}, {QStringLiteral("d"), d.at(i)}, {QStringLiteral("e"), now}});
    }
    if (Sql::scalar(c, QStringLiteral("select count(*) from porte")).toInt() == 0) {
        const QStringList d = list({"PEQUENO", "MÉDIO", "GRANDE"});
        for (int i = 0; i < d.size(); ++i)
            Sql::exec(c, QStringLiteral("insert into porte (Id_porte, Descricao, Ind_Status, Inserido_por, Inserido_Em) values (:i, :d, 'ATIVO', 1, :e)"),
                      {{QStringLiteral("i"), i + 1}, {QStringLiteral("d"), d.at(i)}, {QStringLiteral("e"), now}});
    }
    if (Sql::scalar(c, QStringLiteral("select count(*) from raca")).toInt() == 0) {
        int id = 0;
        for (const Breed &b : kBreeds)
            Sql::exec(c, QStringLiteral("insert into raca (Id_Raca, Nome, Descricao, Id_Porte, Id_Pelo, Id_Especie, Ind_Status, Inserido_Por, Inserido_Em) "
                                        "values (:i, :n, :n, :po, :pe, :es, 'ATIVO', 1, :e)"),
                      {{QStringLiteral("i"), ++id}, {QStringLiteral("n"), u(b.name)}, {QStringLiteral("po"), b.porte},
                       {QStringLiteral("pe"), b.pelo}, {QStringLiteral("es"), b.especie}, {QStringLiteral("e"), now}});
    }
    if (Sql::scalar(c, QStringLiteral("select count(*) from grupo_animal")).toInt() == 0) {
        const QStringList d = list({"DOMICILIADO", "COMUNITÁRIO", "ABRIGO / ONG"});
        for (int i = 0; i < d.size(); ++i)
            Sql::exec(c, QStringLiteral("insert into grupo_animal (Id_Grupo_Animal, Nome, Descricao, Ind_Status, Inserido_Por, Inserido_Em) "
                                        "values (:i, :d, :d, 'ATIVO', 1, :e)"),
                      {{QStringLiteral("i"), i + 1}, {QStringLiteral("d"), d.at(i)}, {QStringLiteral("e"), now}});
    }
    if (Sql::scalar(c, QStringLiteral("select count(*) from tipo_vacina")).toInt() <= 1) {
        const QStringList d = list({"ANTIRRÁBICA", "V8 (ÓCTUPLA CANINA)", "V10 (DÉCTUPLA CANINA)", "TRÍPLICE FELINA", "QUÁDRUPLA FELINA"});
        const int base = maxKey(c, QStringLiteral("tipo_vacina"), QStringLiteral("Id_tipo_vacina"));
        for (int i = 0; i < d.size(); ++i)
            Sql::exec(c, QStringLiteral("insert into tipo_vacina (Id_tipo_vacina, Nome, Descricao, Ind_registro_ativo, Inserido_por, Inserido_em) "
                                        "values (:i, :d, :d, 'ATIVO', 1, :e)"),
                      {{QStringLiteral("i"), base + i + 1}, {QStringLiteral("d"), d.at(i)}, {QStringLiteral("e"), now}});
    }
    // Work units by name: the demo's user joins the first one.
    for (int i = 0; i < units && i < int(std::size(kUnits)); ++i) {
        const QString name = u(kUnits[i]);
        if (!Sql::scalar(c, QStringLiteral("select Id_Unidade_Trabalho from unidade_trabalho where upper(Nome) = :n"),
                         {{QStringLiteral("n"), name}}).isNull())
            continue;
        const int id = maxKey(c, QStringLiteral("unidade_trabalho"), QStringLiteral("Id_Unidade_Trabalho")) + 1;
        Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Descricao, Ind_Status, Inserido_Por, Inserido_Em) "
                                    "values (:i, :n, :d, 'ATIVO', 1, :e)"),
                  {{QStringLiteral("i"), id}, {QStringLiteral("n"), name},
                   {QStringLiteral("d"), i == 0 ? u("Sede do serviço") : u("Unidade que realiza esterilizações")}, {QStringLiteral("e"), now}});
    }
}

struct BreedRow {
    int id, especie, porte, pelo, weight;
};

struct SlotRow {
    int unit;
    QDate day;
    int minutes;
    int especie;
    bool largeFemale;
    int capacity;
    int used = 0;
};

} // namespace

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

    const int surgeryUnits = qBound(2, o.owners / 40000 + 1, int(std::size(kUnits)) - 1);
    ensureReferenceRows(c, surgeryUnits + 1);

    // Reference rows as the database holds them.
    QList<int> unitIds; // kUnits order: the first registers, the others operate
    for (int i = 0; i <= surgeryUnits; ++i)
        unitIds << Sql::scalar(c, QStringLiteral("select Id_Unidade_Trabalho from unidade_trabalho where upper(Nome) = :n"),
                               {{QStringLiteral("n"), u(kUnits[i])}}).toInt();
    QList<BreedRow> dogBreeds, catBreeds;
    {
        QSqlQuery q = Sql::exec(c, QStringLiteral("select Id_Raca, Id_Especie, Id_Porte, Id_Pelo, Nome from raca order by Id_Raca"));
        while (q.next()) {
            int weight = 10;
            const QString name = Sql::text(q.value(4));
            for (const Breed &b : kBreeds)
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
    int kMapa = maxKey(c, QStringLiteral("mapa_disponibilidade_agenda"), QStringLiteral("Id_Mapa_disponibilidade_agenda"));
    int kUsuario = maxKey(c, QStringLiteral("usuario"), QStringLiteral("Id_Usuario"));
    int kProfissional = maxKey(c, QStringLiteral("profissional"), QStringLiteral("Id_Profissional"));
    int kJornada = maxKey(c, QStringLiteral("jornada_trabalho"), QStringLiteral("Id_Jornada_Trabalho"));
    int kGrupo = maxKey(c, QStringLiteral("Grupo_Animal_Animal"), QStringLiteral("Id_Grupo_Animal_Animal"));

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
    BulkInsert grupo(c, QStringLiteral("Grupo_Animal_Animal"),
                     QStringList{"Id_Grupo_Animal_Animal", "Id_Grupo_Animal", "Id_Animal", "Dt_Entrada_Grupo"} + auditCols);
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

    // Professionals: a few per operating unit, Monday to Friday.
    const QDate first = o.today.addYears(-6);
    const QDate last = o.today.addDays(60);
    QHash<int, QList<int>> unitVets;
    {
        BulkInsert prof(c, QStringLiteral("profissional"),
                        QStringList{"Id_Profissional", "Id_Unidade_Trabalho", "Nome", "Telefone_celular", "Email", "Inativo",
                                    "Bloqueado", "Ind_Status"} + auditCols);
        BulkInsert jornada(c, QStringLiteral("jornada_trabalho"),
                           QStringList{"Id_Jornada_Trabalho", "Id_Profissional", "Id_Unidade_Trabalho", "Data_Hora_Inicial",
                                       "Data_Hora_Final", "Id_Dia_Semana", "Status_Registro", "Controle"} + auditCols);
        for (int k = 1; k <= surgeryUnits; ++k) {
            const int unit = unitIds.at(k);
            for (int v = 0; v < 3; ++v) {
                const bool female = r.chance(55);
                const QString nome = (female ? femaleNames() : maleNames()).at(r.below(int((female ? femaleNames() : maleNames()).size())))
                                     + QLatin1Char(' ') + surnames().at(r.below(int(surnames().size())));
                const int id = ++kProfissional;
                prof.add({id, unit, nome, QStringLiteral("(19)9%1-%2").arg(digits(r, 4), digits(r, 4)),
                          mailPart(nome) + QStringLiteral("@prefeitura.gov.br"), QStringLiteral("NAO"), QStringLiteral("NAO"),
                          QStringLiteral("ATIVO"), 1, stamp(first, 8 * 60)});
                unitVets[unit] << id;
                for (int dow = 2; dow <= 6; ++dow)
                    jornada.add({++kJornada, id, unit, stamp(first, 8 * 60), stamp(last, 17 * 60), dow, QStringLiteral("ATIVO"), 1, 1,
                                 stamp(first, 8 * 60)});
            }
        }
        prof.finish();
        jornada.finish();
        result.perTable.insert(QStringLiteral("profissional"), prof.rows());
        result.perTable.insert(QStringLiteral("jornada_trabalho"), jornada.rows());
    }

    // Surgery slotRows: each operating unit, every weekday, morning and
    // afternoon; dogs (general and large females) and cats.
    std::vector<SlotRow> slotRows;
    QHash<QDate, int> firstSlotOfDay; // index of the day's first slot
    QList<QDate> slotDays;
    const int dogPlaces = 6 + o.owners / 100000;
    for (QDate d = first; d <= last; d = d.addDays(1)) {
        if (d.dayOfWeek() > 5)
            continue;
        firstSlotOfDay.insert(d, int(slotRows.size()));
        slotDays << d;
        for (int k = 1; k <= surgeryUnits; ++k)
            for (int minutes : {8 * 60, 13 * 60}) {
                slotRows.push_back({unitIds.at(k), d, minutes, 1, false, dogPlaces});
                slotRows.push_back({unitIds.at(k), d, minutes, 1, true, 2});
                slotRows.push_back({unitIds.at(k), d, minutes, 2, false, 5});
            }
    }
    const int slotsPerDay = surgeryUnits * 2 * 3;

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
    const QString webPassword = PasswordDigest::of(QStringLiteral("zapo-demo"));

    say(QStringLiteral("Gerando %1 proprietários...").arg(o.owners));
    qint64 animalIndex = 0;
    for (int i = 0; i < o.owners; ++i) {
        const bool company = r.weighted(personWeights, 2) == 1;
        const QDate registered = o.today.addDays(-r.below(registerSpanDays));
        const int unit = unitIds.at(r.below(100) < 70 ? 0 : 1 + r.below(surgeryUnits));
        const int clerk = 1 + r.below(20);

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
        auto addressRow = [&](int id, const QDate &since, bool animalAddress) {
            endereco.add({id, st.distrito ? QVariant(st.distrito) : nullInt(), st.area ? QVariant(st.area) : nullInt(), st.num, 1,
                          st.tip, st.nom, number, complemento.isEmpty() ? nullText() : QVariant(complemento),
                          st.bairro ? QVariant(st.bairro) : nullInt(), st.nomBairro, cep.isEmpty() ? nullText() : QVariant(cep), 1,
                          QStringLiteral("SEDE"), x, y, sim, animalAddress ? stamp(since) : nullText(),
                          animalAddress ? stamp(since) : nullText(), clerk, stamp(since, 8 * 60 + r.below(600))});
        };
        const int ownerAddress = ++kEndereco;
        addressRow(ownerAddress, registered, false);

        // Owner
        const int ownerId = ++kProprietario;
        QString nome, doc, tipo;
        bool female = false;
        if (company) {
            static const QStringList kinds = list({"PET SHOP %1 LTDA", "CLÍNICA VETERINÁRIA %1 LTDA", "ASSOCIAÇÃO PROTETORA %1",
                                                   "ONG AMIGOS DE %1", "CANIL %1 ME", "AGROPECUÁRIA %1 EIRELI"});
            const QString who = r.chance(50) ? st.nomBairro : surnames().at(r.below(int(surnames().size())));
            nome = kinds.at(r.below(int(kinds.size()))).arg(who.isEmpty() ? QStringLiteral("CENTRAL") : who).left(50);
            doc = cnpjWithCheckDigits(QString::number(spread8(i, cnpjOffset)).rightJustified(8, QLatin1Char('0')) + QStringLiteral("0001"));
            tipo = juridica;
        } else {
            female = r.chance(55);
            const QStringList &given = female ? femaleNames() : maleNames();
            nome = given.at(r.below(int(given.size())));
            if (r.chance(30))
                nome += QLatin1Char(' ') + given.at(r.below(int(given.size())));
            nome += QLatin1Char(' ') + surnames().at(r.below(int(surnames().size())));
            if (r.chance(70))
                nome += QLatin1Char(' ') + surnames().at(r.below(int(surnames().size())));
            nome = nome.left(50).trimmed();
            QString base = QString::number(spread9(i, cpfOffset)).rightJustified(9, QLatin1Char('0'));
            if (repdigit(base))
                base = QString::number(spread9(qint64(i) + 2147483648LL, cpfOffset)).rightJustified(9, QLatin1Char('0'));
            doc = cpfWithCheckDigits(base);
            tipo = fisica;
        }
        const QString mobile = QStringLiteral("(%1)9%2-%3").arg(dddCity).arg(digits(r, 4), digits(r, 4));
        const bool hasHome = r.chance(35);
        const QVariant home = hasHome ? QVariant(QStringLiteral("(%1)3%2").arg(dddCity).arg(digits(r, 7))) : nullText();
        const QVariant cel = (!hasHome || r.chance(80)) ? QVariant(mobile) : nullText();
        const QVariant recado = r.chance(15) ? QVariant(QStringLiteral("(%1)9%2-%3").arg(dddCity).arg(digits(r, 4), digits(r, 4))) : nullText();
        const QVariant ci = (!company && r.chance(80)) ? QVariant(digits(r, 8) + QChar(r.chance(10) ? 'X' : QChar('0' + r.below(10)))) : nullText();
        const QString mail = QStringLiteral("%1%2@%3").arg(mailPart(nome).left(30)).arg(ownerId).arg(mailDomains().at(r.below(int(mailDomains().size()))));
        const QVariant email = r.chance(70) ? QVariant(mail) : nullText();
        const bool active = r.below(100) >= 2;
        QVariant webId = nullInt();
        if (!company && active && r.chance(12)) {
            webId = ++kUsuario;
            const QString phone = cel.isNull() ? home.toString() : cel.toString();
            usuario.add({webId, nome, nullInt(), u("NÃO"), nao, unit, doc, webPassword, ativo, ownerId, phone.mid(1, 2), phone.mid(4),
                         doc, QStringLiteral("N"), email, clerk, stamp(registered, 9 * 60)});
        }
        proprietario.add({ownerId, nome, home, cel, recado, tipo, doc, ci, email, ownerAddress, unit, webId,
                          active ? ativo : QStringLiteral("INATIVO"), clerk, stamp(registered, 8 * 60 + r.below(600))});

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
                    break;
                }
                from = slot.day.addDays(14);
            }

            animal.add({animalId, ownerId, cat ? 2 : 1, breed.id, breed.pelo, breed.porte, petNames().at(r.below(int(petNames().size()))),
                        male ? QStringLiteral("M") : QStringLiteral("F"), stamp(born), sterilized ? sim : nao, chip,
                        coatColours().at(r.below(int(coatColours().size()))), nullText(), nullText(), nullText(), grupoId, 1, clerk,
                        stamp(registered, 8 * 60 + r.below(600))});
            // Every animal has its own address row, at first a copy of the owner's.
            const int animalAddress = ++kEndereco;
            addressRow(animalAddress, registered, true);
            enderecoAnimal.add({animalId, animalAddress});
            if (grupoId != 1)
                grupo.add({++kGrupo, grupoId, animalId, stamp(registered), clerk, stamp(registered, 9 * 60)});

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
                         + atendProf.rows() + procedimento.rows() + usuario.rows() + grupo.rows())
                    .arg(clock.elapsed() / 1000.0, 0, 'f', 1));
    }

    say(QStringLiteral("Gravando as vagas..."));
    {
        BulkInsert mapa(c, QStringLiteral("mapa_disponibilidade_agenda"),
                        {QStringLiteral("Id_Mapa_disponibilidade_agenda"), QStringLiteral("Id_unidade_trabalho"),
                         QStringLiteral("Id_tipo_procedimento"), QStringLiteral("Data_hora_disponibilidade"),
                         QStringLiteral("Qt_vaga_disponivel_geral"), QStringLiteral("Qt_vaga_disp_f_grande_porte"),
                         QStringLiteral("Qt_vaga_usada_geral"), QStringLiteral("Qt_vaga_usada_f_grande_porte"),
                         QStringLiteral("Id_Especie"), QStringLiteral("COD_AREA_ABRN"), QStringLiteral("Inserido_por"),
                         QStringLiteral("Inserido_em")});
        for (const SlotRow &s : slotRows)
            mapa.add({++kMapa, s.unit, 12, stamp(s.day, s.minutes), s.largeFemale ? 0 : s.capacity, s.largeFemale ? s.capacity : 0,
                      s.largeFemale ? 0 : s.used, s.largeFemale ? s.used : 0, s.especie, nullInt(), 1, stamp(s.day.addDays(-30), 9 * 60)});
        mapa.finish();
        result.perTable.insert(QStringLiteral("mapa_disponibilidade_agenda"), mapa.rows());
    }
    for (BulkInsert *b : {&endereco, &proprietario, &usuario, &animal, &enderecoAnimal, &grupo, &vacina, &atendimento, &atendProf, &procedimento})
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
            if (t.db != Schema::Database::Main || (t.key != Schema::KeyKind::Server && t.key != Schema::KeyKind::ServerOrProgram))
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
