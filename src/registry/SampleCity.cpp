#include "registry/StreetData.h"
#include "db/DataModule.h"
#include "db/Sql.h"
#include "db/Transaction.h"

#include <QSet>
#include <cstdint>

// An invented city, the same on every run: demonstrations and tests need
// streets with sides, stretches, neighbourhoods and coverage areas that look
// like a real street database without shipping one.
namespace StreetData {

namespace {

// A fixed linear congruential generator: the city must not depend on the
// library's random engine.
class Dice {
public:
    explicit Dice(uint32_t seed) : m_state(seed) {}
    int below(int n)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return int((m_state >> 8) % uint32_t(n));
    }

private:
    uint32_t m_state;
};

const char *const kNeighbourhoods[] = {
    "CENTRO", "JARDIM SÃO JOSÉ", "VILA ESPERANÇA", "PARQUE DAS ÁRVORES", "JARDIM AMÉRICA",
    "VILA NOVA", "BAIRRO DOS IPÊS", "JARDIM PAULISTA", "VILA CONCEIÇÃO", "PARQUE INDUSTRIAL",
    "JARDIM BELA VISTA", "VILA SÃO JOÃO", "JARDIM DAS ACÁCIAS", "BOA VISTA", "VILA MARIA",
    "JARDIM PRIMAVERA", "SANTA CECÍLIA", "VILA OPERÁRIA", "JARDIM EUROPA", "PARQUE SÃO JORGE",
    "VILA IMPERIAL", "JARDIM ITÁLIA", "SÃO CRISTÓVÃO", "VILA FÁTIMA", "JARDIM SANTA RITA",
    "CHÁCARA DAS PAINEIRAS", "VILA RICA", "JARDIM DOS ESTADOS", "PARQUE DO LAGO", "VILA ALEGRE",
};

const char *const kFirst[] = {
    "JOSÉ", "MARIA", "ANTÔNIO", "JOÃO", "FRANCISCO", "ANA", "LUÍS", "PAULO", "CARLOS", "MANUEL",
    "PEDRO", "FRANCISCA", "MARCOS", "RAIMUNDO", "SEBASTIÃO", "ANTÔNIA", "MARCELO", "JORGE",
    "MÁRCIA", "GERALDO", "ADRIANA", "SANDRA", "LUIZ", "FERNANDO", "FÁBIO",
};

const char *const kLast[] = {
    "DA SILVA", "DOS SANTOS", "DE OLIVEIRA", "DE SOUZA", "PEREIRA", "FERREIRA", "ALVES",
    "LIMA", "GONÇALVES", "GOMES", "RIBEIRO", "MARTINS",
};

struct StreetType {
    const char *code;
    const char *name;
};
const StreetType kTypes[] = {
    {"RUA", "RUA"}, {"AV", "AVENIDA"}, {"TV", "TRAVESSA"}, {"AL", "ALAMEDA"},
    {"PCA", "PRAÇA"}, {"EST", "ESTRADA"}, {"LGO", "LARGO"}, {"VIA", "VIA"},
};

QString s(const char *utf8) { return QString::fromUtf8(utf8); }

} // namespace

Dataset sampleCity()
{
    Table types{QStringLiteral("TipoLogradouro"), {}};
    Table streets{QStringLiteral("Logradouro"), {}};
    Table names{QStringLiteral("logradouroNome"), {}};
    Table ceps{QStringLiteral("cepLogradouro"), {}};
    Table hoods{QStringLiteral("Bairro"), {}};
    Table crossings{QStringLiteral("BairroLogradouro"), {}};
    Table houses{QStringLiteral("logradouroimovel"), {}};
    Table localities{QStringLiteral("Localidade"), {}};
    Table areas{QStringLiteral("AreaAbrang"), {}};

    for (const StreetType &t : kTypes)
        types.rows << QVariantList{s(t.code), s(t.name)};

    const int hoodCount = int(std::size(kNeighbourhoods));
    for (int i = 0; i < hoodCount; ++i) {
        const QString name = s(kNeighbourhoods[i]);
        const QString kind = name.startsWith(QLatin1String("JARDIM")) ? QStringLiteral("JARDIM")
                           : name.startsWith(QLatin1String("VILA"))   ? QStringLiteral("VILA")
                           : name.startsWith(QLatin1String("PARQUE")) ? QStringLiteral("PARQUE")
                                                                      : QStringLiteral("BAIRRO");
        // A few neighbourhoods are of the "other" class, as in the real data.
        const QString cls = (i % 10 == 9) ? QStringLiteral("O") : QStringLiteral("P");
        hoods.rows << QVariantList{i + 1, name, kind, cls, QStringLiteral("A")};
    }

    const QStringList localityNames = {QStringLiteral("SEDE"), QStringLiteral("DISTRITO INDUSTRIAL"),
                                       QStringLiteral("ZONA RURAL NORTE"), QStringLiteral("ZONA RURAL SUL")};
    for (int i = 0; i < localityNames.size(); ++i)
        localities.rows << QVariantList{i + 1, localityNames.at(i)};

    // Districts 1 to 9, four coverage areas each: code district*1000 + n.
    for (int d = 1; d <= 9; ++d)
        for (int k = 1; k <= 4; ++k) {
            const int code = d * 1000 + k;
            const QString hood = s(kNeighbourhoods[(d * 4 + k) % hoodCount]);
            const QString active = (d == 9 && k == 4) ? QStringLiteral("I") : QStringLiteral("A");
            areas.rows << QVariantList{code, QStringLiteral("ÁREA %1 - %2").arg(code).arg(hood).left(40), d, active};
        }

    // The first streets are fixed so that tests can name them; the others
    // are every combination of a first name and a surname, shuffled.
    struct Street {
        QString type;
        QString name;
    };
    QList<Street> list = {
        {QStringLiteral("RUA"), QStringLiteral("JOANA D'ARC")},
        {QStringLiteral("AV"), s("SÃO JOÃO")},
        {QStringLiteral("RUA"), s("JOSÉ BONIFÁCIO")},
        {QStringLiteral("RUA"), QStringLiteral("DAS FLORES")},
        {QStringLiteral("TV"), QStringLiteral("DAS FLORES")},
        // A type the type list lacks, as old data has.
        {QStringLiteral("BC"), QStringLiteral("DO O'BRIEN")},
    };
    Dice dice(20240917u);
    QList<QString> combos;
    for (const char *f : kFirst)
        for (const char *l : kLast)
            combos << s(f) + QLatin1Char(' ') + s(l);
    for (int i = int(combos.size()) - 1; i > 0; --i)
        combos.swapItemsAt(i, dice.below(i + 1));
    for (const QString &c : combos)
        list << Street{s(kTypes[dice.below(int(std::size(kTypes)))].code), c};

    for (int i = 0; i < list.size(); ++i) {
        const int code = 1001 + i;
        const Street &st = list.at(i);
        streets.rows << QVariantList{code, st.name};
        names.rows << QVariantList{code, 1, st.type, st.name};
        if (i % 10 == 7) // an earlier name the street no longer carries
            names.rows << QVariantList{code, 2, st.type, QStringLiteral("ANTIGA ") + st.name.left(73)};

        // Neighbourhoods crossed: one, or two for every fourth street.
        const int hood = i % hoodCount + 1;
        crossings.rows << QVariantList{code, hood, QStringLiteral("N")};
        if (i % 4 == 0) {
            const int other = (i * 7 + 3) % hoodCount + 1;
            // Some streets only border their second neighbourhood.
            if (other != hood)
                crossings.rows << QVariantList{code, other, i % 8 == 0 && i > 0 ? QStringLiteral("S") : QStringLiteral("N")};
        }

        // Stretches of a thousand numbers; every third street has a postal
        // code per side. Codes start with 0, as the integer column drops it.
        const int length = 200 + dice.below(14) * 200; // last house number
        for (int stretch = 0; stretch * 1000 < length; ++stretch) {
            const int first = stretch * 1000 + 1;
            const int last = qMin(length, (stretch + 1) * 1000);
            const int cep = 8000000 + i * 20 + stretch * 2;
            const bool split = i % 3 == 0;
            ceps.rows << QVariantList{code, cep, QStringLiteral("I"), QString::number(first),
                                      QString::number(last % 2 ? last : last - 1)};
            ceps.rows << QVariantList{code, split ? cep + 1 : cep, QStringLiteral("P"),
                                      QString::number(first + 1), QString::number(last % 2 ? last - 1 : last)};
        }

        // A dozen houses per street along a straight line, sides apart.
        const double x0 = 300000.0 + (i % 20) * 180.0;
        const double y0 = 7400000.0 + (i / 20) * 180.0;
        const bool eastWest = i % 2 == 0;
        QSet<int> seen;
        for (int h = 0; h < 12; ++h) {
            const int n = 1 + dice.below(length);
            if (seen.contains(n))
                continue;
            seen.insert(n);
            const double along = n * 0.12;
            const double across = (n % 2) ? -6.0 : 6.0;
            const double x = eastWest ? x0 + along : x0 + across;
            const double y = eastWest ? y0 + across : y0 + along;
            houses.rows << QVariantList{code, QStringLiteral("%1").arg(n, 5, 10, QLatin1Char('0')),
                                        qRound(x * 100) / 100.0, qRound(y * 100) / 100.0};
        }
    }
    return {types, streets, names, ceps, hoods, crossings, houses, localities, areas};
}

int addSampleDistricts(Connection &c)
{
    Transaction tx(c);
    if (Sql::scalar(c, QStringLiteral("select count(*) from distrito")).toInt() > 0)
        return 0;
    const char *const names[] = {"CENTRO", "NORTE", "SUL", "LESTE", "OESTE", "NORDESTE", "NOROESTE", "SUDESTE", "SUDOESTE"};
    for (int d = 1; d <= 9; ++d)
        Sql::exec(c, QStringLiteral("insert into distrito (Id_Distrito, Nome, Ind_Status) values (:i, :n, 'ATIVO')"),
                  {{QStringLiteral("i"), d}, {QStringLiteral("n"), QStringLiteral("DISTRITO %1 - %2").arg(d).arg(s(names[d - 1]))}});
    tx.commit();
    return 9;
}

} // namespace StreetData
