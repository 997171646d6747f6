#include "app/KeldaGenerator.h"
#include "app/CityGenerator.h"
#include "db/BulkInsert.h"
#include "db/DataModule.h"
#include "db/Sql.h"
#include "db/Transaction.h"

#include <QDateTime>
#include <QList>

#include <iterator>

namespace KeldaGenerator {

namespace {

struct Dog {
    QString name, sex, owner, streetType, street, complement;
    QVariant number;
    int district = 1;
};

QString cut(const QString &s, int width)
{
    return s.trimmed().toUpper().left(width);
}

QList<Dog> cityDogs(Connection &main, CityGenerator::Random &rnd)
{
    QList<Dog> out;
    QSqlQuery q = Sql::exec(main, QStringLiteral(
        "select a.Nome, a.Sexo, p.Nome, e.TIP_LOGR, e.NOM_LOGR, e.NUM_IMOV_LOGR, e.DES_CMPL_ENDR, e.Id_Distrito "
        "from animal a join proprietario p on (p.Id_Proprietario = a.Id_Proprietario) "
        "left join endereco e on (e.Id_Endereco = p.Id_Endereco) where a.Id_Especie = 1 order by a.Id_Animal"));
    while (q.next()) {
        if (!rnd.chance(25))
            continue;
        out << Dog{Sql::text(q.value(0)), Sql::text(q.value(1)), Sql::text(q.value(2)), Sql::text(q.value(3)),
                   Sql::text(q.value(4)), Sql::text(q.value(6)), q.value(5), qMax(1, q.value(7).toInt())};
    }
    return out;
}

QList<Dog> inventedDogs(Connection &main, CityGenerator::Random &rnd)
{
    static const char *names[] = {"REX", "TOBY", "MEL", "BOB", "LUNA", "THOR", "NINA", "FUMAÇA", "PRETA", "BIDU",
                                  "LILICA", "JOÃO", "PIPOCA", "SANSÃO", "BELINHA", "MAX"};
    static const char *owners[] = {"MARIA DA SILVA", "JOSÉ DOS SANTOS", "ANA PAULA SOUZA", "ANTÔNIO PEREIRA",
                                   "FRANCISCA LIMA", "JOÃO BATISTA", "SEBASTIÃO COSTA", "CONCEIÇÃO ALVES"};
    QList<Dog> out;
    QSqlQuery q = Sql::exec(main, QStringLiteral("select tip_logr, nom_logr from %1 order by num_logr, num_sequ_logr")
                                      .arg(main.dialect().addressTable(QStringLiteral("logradouroNome"))));
    while (q.next() && out.size() < 600) {
        for (int i = rnd.below(3); i < 2; ++i)
            out << Dog{QString::fromUtf8(names[rnd.below(int(std::size(names)))]), rnd.chance(50) ? "M" : "F",
                       QString::fromUtf8(owners[rnd.below(int(std::size(owners)))]), Sql::text(q.value(0)),
                       Sql::text(q.value(1)), QString(), 1 + rnd.below(2000), 1 + rnd.below(9)};
    }
    return out;
}

} // namespace

int generate(DataModule &dm, uint64_t seed)
{
    Connection &k = dm.connection(DataModule::KeldaName);
    if (Sql::scalar(k, QStringLiteral("select count(*) from sa001042")).toInt() > 0
        || Sql::scalar(k, QStringLiteral("select count(*) from sa001041")).toInt() > 0)
        return 0;
    CityGenerator::Random rnd(seed ^ 0x6b656c6461ULL);
    QList<Dog> dogs = cityDogs(dm.main(), rnd);
    if (dogs.isEmpty())
        dogs = inventedDogs(dm.main(), rnd);

    // Result codes as the laboratory writes them, most of them negative; a
    // sample is confirmed ("OK") in most cases.
    static const char *results[] = {"NR", "NR", "NR", "NR", "NR", "NR", "PO", "RE", "IN", "MO", "NC", "  "};
    static const char *labs[] = {"LACEN01", "LACEN02", "CCZLAB1"};
    Transaction tx(k);
    BulkInsert bulletins(k, QStringLiteral("sa001041"),
                         {"numinca", "numdistrito", "numboletim", "dtcoleta", "catboletim", "numproto", "codlab"});
    BulkInsert samples(k, QStringLiteral("sa001042"),
                       {"numinca", "numdistrito", "numboletim", "codAmostra", "nompropri", "tipolograd", "desclograd",
                        "numendprop", "aptocomprop", "nomecao", "caosexo", "resultamostra", "confamostra",
                        "dtconfamostra", "numquart", "tpocorlaudo"});
    const QDate first(2023, 1, 2);
    int bulletin = 0;
    int inBulletin = 0;
    int inquiry = 0, district = 1;
    QDateTime collected;
    for (int i = 0; i < dogs.size(); ++i) {
        const Dog &d = dogs.at(i);
        if (inBulletin == 0) {
            // A bulletin of one collection: up to a dozen samples of one district.
            ++bulletin;
            inBulletin = 1 + rnd.below(12);
            inquiry = 2023 + rnd.below(4);
            district = d.district;
            collected = QDateTime(first.addDays(rnd.below(1400)), QTime(8 + rnd.below(8), 0));
            bulletins.add({inquiry, district, bulletin, collected, rnd.chance(80) ? "RO" : "EX", 100000 + bulletin,
                           QString::fromLatin1(labs[rnd.below(3)])});
            // Now and then a bulletin whose samples were never entered.
            if (rnd.chance(3)) {
                ++bulletin;
                bulletins.add({inquiry, district, bulletin, collected, "RO", 100000 + bulletin, QStringLiteral("LACEN01")});
            }
        }
        --inBulletin;
        const QString result = QString::fromLatin1(results[i < int(std::size(results)) ? i : rnd.below(int(std::size(results)))]);
        const bool confirmed = rnd.chance(85);
        samples.add({inquiry, district, bulletin, QStringLiteral("%1%2").arg(QChar(u'A' + district % 26)).arg(i + 1, 8, 10, QChar(u'0')),
                     cut(d.owner, 30), cut(d.streetType, 3), cut(d.street, 50), d.number, cut(d.complement, 10),
                     cut(d.name, 15), cut(d.sex, 1), result, confirmed ? QStringLiteral("OK") : QStringLiteral("NC"),
                     confirmed ? QVariant(collected.addDays(10 + rnd.below(30))) : QVariant(), 1 + rnd.below(400),
                     QStringLiteral("01")});
    }
    bulletins.finish();
    samples.finish();
    tx.commit();
    return int(samples.rows());
}

} // namespace KeldaGenerator
