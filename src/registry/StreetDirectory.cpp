#include "registry/StreetDirectory.h"
#include "registry/HouseCoordinates.h"
#include "db/DataModule.h"
#include "db/EngineText.h"
#include "db/Sql.h"
#include "db/Documents.h"

StreetDirectory::StreetDirectory(Connection &c) : m_c(c) {}
StreetDirectory::StreetDirectory() : m_c(mainConnection()) {}

QString StreetDirectory::t(const char *name) const
{
    return m_c.dialect().addressTable(QString::fromLatin1(name));
}

QList<StreetDirectory::StreetType> StreetDirectory::streetTypes() const
{
    QList<StreetType> out;
    QSqlQuery q = Sql::exec(m_c, QStringLiteral("select Tip_Logr, Des_Tip_Logr from %1 order by Des_Tip_Logr")
                                     .arg(t("TipoLogradouro")));
    while (q.next())
        out << StreetType{Sql::text(q.value(0)), Sql::text(q.value(1))};
    return out;
}

QList<StreetDirectory::Street> StreetDirectory::streetsByCode(int code) const
{
    QList<Street> out;
    QSqlQuery q = Sql::exec(m_c,
                            QStringLiteral("select distinct num_logr, nom_logr from %1 where num_logr = :c "
                                           "and num_sequ_logr = 1 order by num_logr, nom_logr")
                                .arg(t("pesquisaLograd")),
                            {{QStringLiteral("c"), code}});
    while (q.next()) {
        Street s;
        s.numLogr = q.value(0).toInt();
        s.seq = 1;
        s.name = Sql::text(q.value(1));
        out << s;
    }
    return out;
}

int StreetDirectory::countByName(const QString &name) const
{
    return Sql::scalar(m_c, QStringLiteral("select count(*) from %1 where nom_logr = :n").arg(t("Logradouro")),
                       {{QStringLiteral("n"), name.trimmed()}})
        .toInt();
}

std::optional<StreetDirectory::Street> StreetDirectory::streetByName(const QString &name) const
{
    const QString n = name.trimmed();
    if (n.isEmpty() || countByName(n) != 1)
        return std::nullopt;
    const QVariant code = Sql::scalar(m_c, QStringLiteral("select num_logr from %1 where nom_logr = :n").arg(t("Logradouro")),
                                      {{QStringLiteral("n"), n}});
    std::optional<Street> s = streetDetails(code.toInt(), n);
    if (!s) {
        s = Street();
        s->numLogr = code.toInt();
        s->name = n;
    }
    return s;
}

std::optional<StreetDirectory::Street> StreetDirectory::streetDetails(int numLogr, const QString &name) const
{
    QVariantMap p{{QStringLiteral("c"), numLogr}};
    QString cond;
    if (!name.trimmed().isEmpty()) {
        cond = QStringLiteral(" and nom_logr = :n");
        p.insert(QStringLiteral("n"), name.trimmed());
    }
    QSqlQuery q = Sql::exec(m_c,
                            m_c.dialect().paged(QStringLiteral("select tip_bair, num_bair, nom_bair, NUM_LOGR, NUM_SEQU_LOGR, "
                                                               "tip_logr, nom_logr from %1 where upper(tip_clss_bair) in ('O', 'P') "
                                                               "and ind_bair_cord = 'N' and NUM_LOGR = :c%2 "
                                                               "order by NUM_SEQU_LOGR, num_bair")
                                                    .arg(t("pesquisaLograd"), cond),
                                                1, 0),
                            p);
    if (!q.next())
        return std::nullopt;
    Street s;
    s.numLogr = numLogr;
    s.numBair = q.value(1);
    s.nomBair = Sql::text(q.value(2));
    s.seq = q.value(4).toInt();
    s.type = Sql::text(q.value(5));
    s.name = Sql::text(q.value(6));
    return s;
}

QString StreetDirectory::sideOf(int houseNumber)
{
    return houseNumber % 2 ? QStringLiteral("I") : QStringLiteral("P");
}

QVariant StreetDirectory::sanitaryDistrict(const QVariant &districtKey)
{
    const QString k = Sql::text(districtKey);
    if (k.isEmpty() || !k.at(0).isDigit())
        return {};
    return k.left(1).toInt();
}

QString StreetDirectory::postalCodeFor(int numLogr, int houseNumber) const
{
    // The stretch on the house's own side comes first; a street recorded
    // without sides still gives its code.
    QSqlQuery q = Sql::exec(
        m_c,
        // A stretch whose bounds are not numbers ("S/N") is passed over, not
        // allowed to fail the whole lookup.
        m_c.dialect().paged(QStringLiteral("select num_cep from %1 where num_logr = :s "
                                           "and %2 <= :n1 and %3 >= :n2 "
                                           "order by case when ind_lado_logr = :side then 0 else 1 end, num_cep")
                                .arg(t("cepLogradouro"), EngineText::integerOrNull(m_c.dialect(), QStringLiteral("num_imov_inic")),
                                     EngineText::integerOrNull(m_c.dialect(), QStringLiteral("num_imov_fina"))),
                            1, 0),
        {{QStringLiteral("s"), numLogr}, {QStringLiteral("n1"), houseNumber}, {QStringLiteral("n2"), houseNumber}, {QStringLiteral("side"), sideOf(houseNumber)}});
    return q.next() ? Documents::cepText(q.value(0)) : QString();
}

std::optional<StreetDirectory::Stretch> StreetDirectory::stretchByPostalCode(const QString &cep) const
{
    const QString digits = Documents::digitsOnly(cep);
    if (digits.isEmpty())
        return std::nullopt;
    QSqlQuery q = Sql::exec(m_c,
                            m_c.dialect().paged(QStringLiteral("select num_logr, num_cep, ind_lado_logr, num_imov_inic, num_imov_fina "
                                                               "from %1 where num_cep = :c order by num_logr, num_imov_inic")
                                                    .arg(t("cepLogradouro")),
                                                1, 0),
                            {{QStringLiteral("c"), digits.toLongLong()}});
    if (!q.next())
        return std::nullopt;
    return Stretch{q.value(0).toInt(), Documents::cepText(q.value(1)), Sql::text(q.value(2)), Sql::text(q.value(3)),
                   Sql::text(q.value(4))};
}

std::optional<StreetDirectory::Street> StreetDirectory::currentName(int numLogr) const
{
    QSqlQuery q = Sql::exec(m_c,
                            m_c.dialect().paged(QStringLiteral("select num_logr, num_sequ_logr, tip_logr, nom_logr from %1 "
                                                               "where num_logr = :s order by num_sequ_logr")
                                                    .arg(t("logradouroNome")),
                                                1, 0),
                            {{QStringLiteral("s"), numLogr}});
    if (!q.next())
        return std::nullopt;
    Street s;
    s.numLogr = q.value(0).toInt();
    s.seq = q.value(1).toInt();
    s.type = Sql::text(q.value(2));
    s.name = Sql::text(q.value(3));
    return s;
}

QList<StreetDirectory::Neighbourhood> StreetDirectory::neighbourhoodsOfStreet(const QVariant &numLogr) const
{
    const QString base = QStringLiteral("select distinct bl.NUM_BAIR, b.NOM_BAIR, b.TIP_BAIR from %1 bl "
                                        "join %2 b on (bl.NUM_BAIR = b.NUM_BAIR and upper(b.TIP_CLSS_BAIR) = 'P')")
                             .arg(t("BairroLogradouro"), t("Bairro"));
    auto read = [](QSqlQuery q) {
        QList<Neighbourhood> out;
        while (q.next())
            out << Neighbourhood{q.value(0).toInt(), Sql::text(q.value(1)), Sql::text(q.value(2))};
        std::sort(out.begin(), out.end(), [](const Neighbourhood &a, const Neighbourhood &b) { return a.name < b.name; });
        return out;
    };
    bool ok = false;
    const int code = numLogr.toInt(&ok);
    if (ok && !Sql::text(numLogr).isEmpty()) {
        const QList<Neighbourhood> l = read(Sql::exec(m_c, base + QStringLiteral(" where bl.NUM_LOGR = :s"),
                                                      {{QStringLiteral("s"), code}}));
        if (!l.isEmpty())
            return l;
    }
    return read(Sql::exec(m_c, base));
}

QList<StreetDirectory::Neighbourhood> StreetDirectory::allNeighbourhoods() const
{
    QList<Neighbourhood> out;
    QSqlQuery q = Sql::exec(m_c, QStringLiteral("select distinct TIP_BAIR, NOM_BAIR, NUM_BAIR from %1 order by NOM_BAIR")
                                     .arg(t("Bairro")));
    while (q.next())
        out << Neighbourhood{q.value(2).toInt(), Sql::text(q.value(1)), Sql::text(q.value(0))};
    return out;
}

QList<StreetDirectory::CoverageArea> StreetDirectory::coverageAreas(const QVariant &districtKey) const
{
    QList<CoverageArea> out;
    const QVariant sani = sanitaryDistrict(districtKey);
    QSqlQuery q = sani.isNull()
                      ? Sql::exec(m_c, QStringLiteral("select cod_area_abrn, des_area_abrn from %1 order by cod_area_abrn")
                                           .arg(t("AreaAbrang")))
                      : Sql::exec(m_c,
                                  QStringLiteral("select cod_area_abrn, des_area_abrn from %1 where cod_ditr_sani = :d "
                                                 "and sit_regt = 'A' order by cod_area_abrn")
                                      .arg(t("AreaAbrang")),
                                  {{QStringLiteral("d"), sani}});
    while (q.next())
        out << CoverageArea{q.value(0).toInt(), Sql::text(q.value(1))};
    return out;
}

QPointF StreetDirectory::houseCoordinates(int numLogr, int houseNumber) const
{
    // The street's houses are few: read them and find the position in C++,
    // where a house number that is no number can be skipped.
    QSqlQuery q = Sql::exec(m_c, QStringLiteral("select Num_Imov, Val_Cood_X, Val_Cood_Y from %1 where Num_Logr = :s")
                                     .arg(t("logradouroimovel")),
                            {{QStringLiteral("s"), numLogr}});
    QList<HouseCoordinates::House> houses;
    while (q.next())
        houses << HouseCoordinates::House{Sql::text(q.value(0)), q.value(1).toDouble(), q.value(2).toDouble()};
    return HouseCoordinates::walk(houses, houseNumber);
}

QList<StreetDirectory::Street> StreetDirectory::search(SearchBy by, const QString &text) const
{
    const QString x = text.trimmed();
    QVariantMap p;
    QString cond;
    bool ok = true;
    switch (by) {
    case SearchBy::StreetCode:
        p.insert(QStringLiteral("x"), x.toInt(&ok));
        cond = QStringLiteral("NUM_LOGR = :x");
        break;
    case SearchBy::NeighbourhoodCode:
        p.insert(QStringLiteral("x"), x.toInt(&ok));
        cond = QStringLiteral("num_bair = :x");
        break;
    case SearchBy::StreetName:
        p.insert(QStringLiteral("x"), m_c.dialect().prefixValue(x.toUpper()));
        cond = QStringLiteral("nom_logr like :x escape '!'");
        break;
    case SearchBy::NeighbourhoodName:
        p.insert(QStringLiteral("x"), m_c.dialect().prefixValue(x.toUpper()));
        cond = QStringLiteral("nom_bair like :x escape '!'");
        break;
    }
    QList<Street> out;
    if (!ok)
        return out;
    QSqlQuery q = Sql::exec(m_c,
                            QStringLiteral("select distinct tip_bair, num_bair, nom_bair, NUM_LOGR, NUM_SEQU_LOGR, tip_logr, "
                                           "nom_logr from %1 where upper(tip_clss_bair) in ('O', 'P') and ind_bair_cord = 'N' "
                                           "and %2 order by nom_logr, NUM_SEQU_LOGR, nom_bair")
                                .arg(t("pesquisaLograd"), cond),
                            p);
    while (q.next()) {
        Street s;
        s.numBair = q.value(1);
        s.nomBair = Sql::text(q.value(2));
        s.numLogr = q.value(3).toInt();
        s.seq = q.value(4).toInt();
        s.type = Sql::text(q.value(5));
        s.name = Sql::text(q.value(6));
        out << s;
    }
    return out;
}
