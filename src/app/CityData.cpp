#include "app/CityParts.h"
#include "db/DataModule.h"
#include "db/Sql.h"
#include "db/Dialect.h"
#include "db/schema/Schema.h"

#include <QSqlQuery>
#include <cstdio>

namespace CityGenerator::parts {

namespace {

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

// Tables the generator fills in bulk: their secondary indexes are dropped
// during the load and built again afterwards, which is several times faster
// than keeping them up to date row by row.
const QStringList &bulkTables()
{
    static const QStringList t{QStringLiteral("proprietario"), QStringLiteral("endereco"), QStringLiteral("animal"),
                               QStringLiteral("endereco_animal"), QStringLiteral("vacina"), QStringLiteral("atendimento"),
                               QStringLiteral("atendimento_profissional"), QStringLiteral("procedimento"),
                               QStringLiteral("mapa_disponibilidade_agenda"), QStringLiteral("usuario"),
                               QStringLiteral("Grupo_Animal_Animal"), QStringLiteral("jornada_trabalho"),
                               QStringLiteral("Histo_Muda_Proprietario"), QStringLiteral("ocorrencia"),
                               QStringLiteral("medicamento_gasto"), QStringLiteral("mapa_rascunho"),
                               QStringLiteral("agendamento_especial")};
    return t;
}

} // namespace

std::span<const Breed> breeds() { return kBreeds; }
std::span<const char *const> unitNames() { return kUnits; }

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

QString personName(Random &r, bool female)
{
    const QStringList &given = female ? femaleNames() : maleNames();
    QString nome = given.at(r.below(int(given.size())));
    if (r.chance(30))
        nome += QLatin1Char(' ') + given.at(r.below(int(given.size())));
    nome += QLatin1Char(' ') + surnames().at(r.below(int(surnames().size())));
    if (r.chance(70))
        nome += QLatin1Char(' ') + surnames().at(r.below(int(surnames().size())));
    return nome.left(50).trimmed();
}

// --- The street database as the addresses need it ---------------------------

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

QVariant stamp(const QDate &d, int minutes)
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

QList<Schema::Index> bulkIndexes()
{
    QList<Schema::Index> out;
    for (const Schema::Index &i : Schema::indexes())
        if (i.db == Schema::Database::Main && bulkTables().contains(i.table, Qt::CaseInsensitive))
            out << i;
    return out;
}

} // namespace CityGenerator::parts
