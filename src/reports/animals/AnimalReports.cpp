#include "reports/animals/AnimalReports.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/ServerClock.h"
#include "db/Sql.h"
#include "reports/ListLayout.h"
#include "reports/agenda/AgendaReports.h"
#include "reports/engine/ReportData.h"
#include "reports/engine/Reports.h"
#include "ui/ScreenCatalog.h"
#include "ui/Services.h"

#include <algorithm>

namespace AnimalReports {

namespace {

QString serverStamp(Connection &c)
{
    return Formats::dateTime(serverNow(c));
}

QString idName(const ReportRow &r, const QString &id, const QString &name)
{
    const QString i = r.text(id);
    return i.isEmpty() ? QString() : i + QStringLiteral(" - ") + r.text(name);
}

// Animals, microchipped and sterilized counted over one level of 037.
struct Tally {
    qint64 animals = 0, chipped = 0, sterilized = 0;
    void add(bool chip, bool ster)
    {
        ++animals;
        chipped += chip ? 1 : 0;
        sterilized += ster ? 1 : 0;
    }
    QString chippedText() const { return QString::number(chipped) + QStringLiteral(" - ") + percent(chipped, animals) + QLatin1Char('%'); }
    QString sterilizedText() const
    {
        return QString::number(sterilized) + QStringLiteral(" - ") + percent(sterilized, animals) + QLatin1Char('%');
    }
};

struct Tallies {
    Tally group, species, all;
};

} // namespace

QString percent(qint64 part, qint64 whole)
{
    // One decimal, as people read a share ("54,1"); a whole share keeps no
    // ",0" ("50").
    if (whole <= 0)
        return QStringLiteral("0");
    QString text = Formats::number(100.0 * double(part) / double(whole), 1);
    if (text.endsWith(QStringLiteral(",0")))
        text.chop(2);
    return text;
}

bool microchipped(const QString &numMicrochip)
{
    return !numMicrochip.trimmed().isEmpty();
}

bool sterilized(const QString &esterilizado)
{
    return esterilizado.trimmed().compare(QStringLiteral("SIM"), Qt::CaseInsensitive) == 0;
}

// ---------------------------------------------------------------------------

ReportDefinition complete(Connection &c)
{
    ReportDefinition def;
    def.title = QStringLiteral("Animais Cadastrados Completo");
    def.paper = QPageSize::Letter;
    const double w = def.contentWidth();
    Connection *conn = &c;
    def.data = [conn] {
        return QueryDataSource::open(
            *conn,
            QStringLiteral(
                "select a.Id_Animal, a.Id_Proprietario, a.Id_Especie, a.Id_Raca, a.Id_Grupo_Animal, a.Nome as nome_animal, "
                "a.Id_Pelo, a.Sexo, a.Data_Nascimento, a.Esterilizado, a.Id_Porte, a.Num_Microchip, a.Cor, a.Sinais, "
                "a.Num_Pedigree, a.obs, b.nome as nome_especie, c.nome as nome_grupo, d.nome as nome_raca, "
                "e.nome as nome_proprietario "
                "from animal a "
                "left join especie b on (a.id_especie = b.id_especie) "
                "left join grupo_animal c on (a.id_grupo_animal = c.id_grupo_animal) "
                "left join raca d on (a.id_raca = d.id_raca) "
                "left join proprietario e on (a.id_proprietario = e.id_proprietario) "
                "order by a.id_especie, a.id_grupo_animal, a.Id_Animal"));
    };
    auto tallies = std::make_shared<Tallies>();

    ReportBand &title = def.band(BandKind::Title, 15);
    title.lineBelow = true;
    ListLayout::addReportHeader(title, w, QString(), def.title, 7, 10, false, serverStamp(c));
    // A report composed again starts its counts afresh.
    title.beforePrint = [tallies](BandPrint &) { *tallies = Tallies(); };

    ReportGroup &species = def.addGroup(QStringLiteral("especie"), QStringLiteral("Id_Especie"));
    species.header.height = 7;
    species.header.box = true;
    species.header.add(Items::field(2, 1, w - 4, 5, QStringLiteral("nome_especie"))).size(10).bold().named(QStringLiteral("especie"));
    ReportGroup &group = def.addGroup(QStringLiteral("grupo"), QStringLiteral("Id_Grupo_Animal"));
    group.header.height = 6;
    group.header.lineBelow = true;
    group.header.add(Items::computed(2, 0.5, w - 4, 5, [](const ReportRow &r) {
        return r.text(QStringLiteral("Id_Grupo_Animal")) + QStringLiteral(" - ") + r.text(QStringLiteral("nome_grupo"));
    })).size(10).named(QStringLiteral("grupo"));

    ReportBand &d = def.band(BandKind::Detail, 17);
    d.lineBelow = true;
    auto pair = [&d](double x, double y, double capW, double valW, const QString &caption, std::function<QString(const ReportRow &)> f) {
        d.add(Items::label(x, y, capW, 4, caption)).bold();
        d.add(Items::computed(x + capW, y, valW, 4, std::move(f)));
    };
    auto col = [](const char *c) { return [name = QString::fromLatin1(c)](const ReportRow &r) { return r.text(name); }; };
    pair(2, 0.5, 25, 70, QStringLiteral("Nome do Animal :"), col("nome_animal"));
    // The colour ("PRETO E BRANCO") takes more room than the sex beside it
    // used to leave it: the birth date and pedigree column stands further right.
    pair(100, 0.5, 11, 26, QStringLiteral("Sexo : "), col("Sexo"));
    pair(140, 0.5, 19, w - 159, QStringLiteral("Data Nasc. : "), [](const ReportRow &r) {
        const QDate d = r.date(QStringLiteral("Data_Nascimento"));
        return d.isValid() ? Formats::date(d) : QString();
    });
    pair(2, 4.5, 25, 70, QStringLiteral("Raça :"), col("nome_raca"));
    pair(100, 4.5, 11, 26, QStringLiteral("Cor : "), col("Cor"));
    pair(140, 4.5, 19, w - 159, QStringLiteral("Pedigree :"), col("Num_Pedigree"));
    // "SIM"/"NAO" needs little room: the microchip moves left beside it, so
    // that the owner's name, what the clerk looks for on the sheet, has the
    // right half of the line and wraps onto the next rather than being cut
    // (the remark below stops short of it).
    pair(2, 8.5, 25, 16, QStringLiteral("Esterilizado :"), col("Esterilizado"));
    pair(45, 8.5, 18, 36, QStringLiteral("Microchip :"), col("Num_Microchip"));
    d.add(Items::label(100, 8.5, 21, 4, QStringLiteral("Proprietario :"))).bold();
    d.add(Items::computed(121, 8.5, w - 121, 8, col("nome_proprietario"))).wrappingWithin(2).named(QStringLiteral("proprietario"));
    pair(2, 12.5, 25, 71, QStringLiteral("Obs:"), col("obs"));
    d.afterPrint = [tallies](const BandPrint &bp) {
        const bool chip = microchipped(bp.row.text(QStringLiteral("Num_Microchip")));
        const bool ster = sterilized(bp.row.text(QStringLiteral("Esterilizado")));
        tallies->group.add(chip, ster);
        tallies->species.add(chip, ster);
        tallies->all.add(chip, ster);
    };

    ReportBand &gf = group.addFooter(6);
    gf.add(Items::label(2, 1, 18, 4, QStringLiteral("Chipados : "))).bold();
    gf.add(Items::computed(20, 1, 70, 4, [tallies](const ReportRow &) { return tallies->group.chippedText(); }))
        .named(QStringLiteral("grupo_chipados"));
    gf.add(Items::label(100, 1, 24, 4, QStringLiteral("Esterilizados : "))).bold();
    gf.add(Items::computed(124, 1, w - 124, 4, [tallies](const ReportRow &) { return tallies->group.sterilizedText(); }))
        .named(QStringLiteral("grupo_esterilizados"));
    gf.afterPrint = [tallies](const BandPrint &) { tallies->group = Tally(); };

    // Adding a group may move the list: reach the species group afresh.
    ReportBand &sf = def.groups[0].addFooter(12);
    sf.box = true;
    sf.add(Items::label(2, 1, 70, 5, QStringLiteral("Total de Chipados da Espécie : "))).size(10).bold();
    sf.add(Items::computed(72, 1, w - 74, 5, [tallies](const ReportRow &) { return tallies->species.chippedText(); }))
        .size(10).bold().named(QStringLiteral("especie_chipados"));
    sf.add(Items::label(2, 6, 70, 5, QStringLiteral("Total de Esterilizados da Espécie : "))).size(10).bold();
    sf.add(Items::computed(72, 6, w - 74, 5, [tallies](const ReportRow &) { return tallies->species.sterilizedText(); }))
        .size(10).bold().named(QStringLiteral("especie_esterilizados"));
    sf.afterPrint = [tallies](const BandPrint &) { tallies->species = Tally(); };

    ReportBand &sum = def.band(BandKind::Summary, 13);
    sum.add(Items::label(2, 2, 70, 5, QStringLiteral("Total de Chipados : "))).size(10).bold();
    sum.add(Items::computed(72, 2, w - 74, 5, [tallies](const ReportRow &) { return tallies->all.chippedText(); }))
        .size(10).bold().named(QStringLiteral("total_chipados"));
    sum.add(Items::label(2, 7, 70, 5, QStringLiteral("Total de Esterilizados da Espécie : "))).size(10).bold();
    sum.add(Items::computed(72, 7, w - 74, 5, [tallies](const ReportRow &) { return tallies->all.sterilizedText(); }))
        .size(10).bold().named(QStringLiteral("total_esterilizados"));
    ListLayout::addPageNumber(def, 8);
    return def;
}

// ---------------------------------------------------------------------------

Slices topSlices(Slices slices, int keep, const QString &restLabel)
{
    std::stable_sort(slices.begin(), slices.end(), [](const auto &a, const auto &b) { return a.second > b.second; });
    if (slices.size() <= keep + 1)
        return slices;
    double rest = 0;
    for (qsizetype k = keep; k < slices.size(); ++k)
        rest += slices.at(k).second;
    const qsizetype others = slices.size() - keep;
    slices.resize(keep);
    slices.append({restLabel.arg(others), rest});
    return slices;
}

ConsolidatedData consolidatedData(Connection &c, const QDate &from, const QDate &to)
{
    ConsolidatedData out;
    const AgendaReports::Period p = AgendaReports::days(from, to);
    const QVariantMap params{{QStringLiteral("ini"), p.begin}, {QStringLiteral("fim"), p.end}};
    auto read = [&](Slices &into, const QString &sql) {
        try {
            QSqlQuery q = Sql::exec(c, sql, params);
            while (q.next()) {
                const double v = q.value(0).toDouble();
                if (v > 0)
                    into.append({Sql::text(q.value(1)), v});
            }
        } catch (const DbError &) {
            into.clear();
            out.failed = true;
        }
    };
    read(out.especies, QStringLiteral("select count(a.Id_Especie) as total_especie, b.nome as nome_especie from animal a "
                                      "left join especie b on (a.id_especie = b.id_especie) "
                                      "where a.Inserido_Em >= :ini and a.Inserido_Em < :fim group by b.nome order by b.nome"));
    read(out.racas, QStringLiteral("select count(a.Id_Raca) as total_raca, b.nome as nome_raca from animal a "
                                   "left join raca b on (a.id_raca = b.id_raca) "
                                   "where a.Inserido_Em >= :ini and a.Inserido_Em < :fim group by b.nome order by b.nome"));
    read(out.grupos, QStringLiteral("select count(a.Id_Grupo_Animal) as total_grupo, b.nome as nome_grupo from animal a "
                                    "left join grupo_animal b on (a.id_grupo_animal = b.id_grupo_animal) "
                                    "where a.Inserido_Em >= :ini and a.Inserido_Em < :fim group by b.nome order by b.nome"));
    read(out.ocorrencias, QStringLiteral("select count(a.Id_Tipo_Ocorrencia) as total_tipo, b.nome as nome_ocorrencia "
                                         "from ocorrencia a left join tipo_ocorrencia b on (a.id_tipo_ocorrencia = b.id_tipo_ocorrencia) "
                                         "where a.Dt_Ocorrencia >= :ini and a.Dt_Ocorrencia < :fim group by b.nome order by b.nome"));
    read(out.procedimentos,
         QStringLiteral("select count(a.Id_Tipo_Procedimento) as total_tipo, b.nome as nome_procedimento "
                        "from procedimento a left join tipo_procedimento b on (a.id_tipo_procedimento = b.id_tipo_procedimento) "
                        "where a.Inserido_Em >= :ini and a.Inserido_Em < :fim group by b.nome order by b.nome"));
    return out;
}

ReportDefinition consolidated(Connection &c, const ConsolidatedData &data)
{
    ReportDefinition def;
    def.title = QStringLiteral("Animais Cadastrados Consolidado");
    def.orientation = QPageLayout::Landscape;
    const double w = def.contentWidth();
    ReportBand &title = def.band(BandKind::Title, 16);
    title.lineBelow = true;
    ListLayout::addReportHeader(title, w, QStringLiteral("REL038"), def.title, 7, 12, true, serverStamp(c));

    auto spec = [](ChartData::Type type, const QString &t, const Slices &v) {
        ChartSpec s;
        s.type = type;
        s.title = t;
        s.values = [v](const ReportRow &) { return v; };
        return s;
    };
    const double gap = 3, third = (w - 2 * gap) / 3, half = (w - gap) / 2, h = 84;
    ReportBand &s = def.band(BandKind::Summary, 2 * h + 6);
    s.add(Items::chart(0, 2, third, h, spec(ChartData::Type::Pie, QStringLiteral("Quant. Animais Cadastrados por Espécie"), data.especies)))
        .named(QStringLiteral("especie"));
    s.add(Items::chart(third + gap, 2, third, h,
                       spec(ChartData::Type::Bar, QStringLiteral("Quantitativo de Animais Cadastrados por Raça"),
                            topSlices(data.racas, 14, QStringLiteral("OUTRAS (%1)")))))
        .named(QStringLiteral("raca"));
    s.add(Items::chart(2 * (third + gap), 2, third, h,
                       spec(ChartData::Type::Pie, QStringLiteral("Quantitativo de Animais Cadastrados por Grupo"), data.grupos)))
        .named(QStringLiteral("grupo"));
    s.add(Items::chart(0, h + 5, half, h, spec(ChartData::Type::Pie, QStringLiteral("Quantitativo de Ocorrências Por Tipo"), data.ocorrencias)))
        .named(QStringLiteral("ocorrencia"));
    s.add(Items::chart(half + gap, h + 5, half, h,
                       spec(ChartData::Type::Pie, QStringLiteral("Quantitativo de Procedimentos Por Tipo"), data.procedimentos)))
        .named(QStringLiteral("procedimento"));
    return def;
}

bool openConsolidated(Connection &c, const QDate &from, const QDate &to, QWidget *parent)
{
    const ConsolidatedData data = consolidatedData(c, from, to);
    if (data.failed)
        Services::messages().error(QStringLiteral("Erro ao tentar abrir o relatório."), parent);
    return Reports::open(consolidated(c, data), parent);
}

// ---------------------------------------------------------------------------

ReportDefinition microchippedAnimals(Connection &c, int idUnidade, const QDate &from, const QDate &to)
{
    ReportDefinition def;
    def.title = QStringLiteral("Animais Microchipado");
    def.orientation = QPageLayout::Landscape;
    const double w = def.contentWidth();
    Connection *conn = &c;
    const AgendaReports::Period period = AgendaReports::days(from, to);
    def.data = [conn, idUnidade, period] {
        QString sql = QStringLiteral(
            "select d.id_unidade_trabalho, e.nome as nome_Unidade_Trabalho, a.Id_Animal, a.Nome as nome_animal, "
            "a.Id_Proprietario, d.nome as nome_Proprietario, a.Id_Especie, b.nome as nome_Especie, a.Id_Raca, "
            "c.nome as nome_Raca, a.Id_Grupo_Animal, f.nome as nome_grupo, a.Sexo, a.Esterilizado, a.Num_Microchip "
            "from animal a "
            "left join especie b on (a.id_especie = b.id_especie) "
            "left join raca c on (a.id_raca = c.id_raca) "
            "left join proprietario d on (a.id_proprietario = d.id_proprietario) "
            "left join unidade_trabalho e on (d.id_unidade_trabalho = e.id_unidade_trabalho) "
            "left join grupo_animal f on (a.id_grupo_animal = f.id_grupo_animal) "
            "where a.Num_Microchip is not null and rtrim(ltrim(a.Num_Microchip)) <> '' "
            "and a.Inserido_Em >= :ini and a.Inserido_Em < :fim ");
        QVariantMap p{{QStringLiteral("ini"), period.begin}, {QStringLiteral("fim"), period.end}};
        if (idUnidade > 0) {
            sql += QStringLiteral("and d.id_unidade_trabalho = :unidade ");
            p.insert(QStringLiteral("unidade"), idUnidade);
        }
        sql += QStringLiteral("order by d.id_unidade_trabalho, a.id_grupo_animal, a.Id_Animal");
        return QueryDataSource::open(*conn, sql, p);
    };

    struct Col {
        double x, w;
        const char *caption;
    };
    const QList<Col> cols = {{0, 30, "Grupo:"},  {31, 50, "Animal:"},       {82, 22, "Especie:"},
                             {105, 32, "Raça:"}, {138, 10, "Sexo:"},        {149, 20, "Esterilizado:"},
                             {170, 35, "Microchip:"}, {206, w - 206, "Proprietário:"}};
    ReportBand &head = def.band(BandKind::PageHeader, 30);
    head.lineBelow = true;
    ListLayout::addReportHeader(head, w, QStringLiteral("REL039"), def.title, 7, 10, true, serverStamp(c));
    head.add(Items::label(0, 13.5, w, 5,
                          QStringLiteral("Período de ") + Formats::date(from) + QStringLiteral(" a ") + Formats::date(to)))
        .size(10)
        .center()
        .named(QStringLiteral("periodo"));
    head.add(Items::field(0, 19.5, w, 4, QStringLiteral("nome_Unidade_Trabalho"))).bold().named(QStringLiteral("unidade"));
    for (const Col &k : cols)
        head.add(Items::label(k.x, 25, k.w, 4, QString::fromUtf8(k.caption))).bold();

    ReportGroup &unit = def.addGroup(QStringLiteral("unidade"), QStringLiteral("id_unidade_trabalho"), true);
    ReportBand &d = def.band(BandKind::Detail, 4.5);
    d.lineAbove = true;
    auto cell = [&d](const Col &k, std::function<QString(const ReportRow &)> f) -> ReportItem & {
        return d.add(Items::computed(k.x, 0.3, k.w - 0.5, 4, std::move(f)));
    };
    // Names wrap in their columns rather than being cut short.
    cell(cols[0], [](const ReportRow &r) { return r.text(QStringLiteral("nome_grupo")); }).wrapping();
    cell(cols[1], [](const ReportRow &r) { return idName(r, QStringLiteral("Id_Animal"), QStringLiteral("nome_animal")); })
        .named(QStringLiteral("animal"))
        .wrapping();
    cell(cols[2], [](const ReportRow &r) { return r.text(QStringLiteral("nome_Especie")); }).wrapping();
    cell(cols[3], [](const ReportRow &r) { return r.text(QStringLiteral("nome_Raca")); }).wrapping().named(QStringLiteral("raca"));
    cell(cols[4], [](const ReportRow &r) { return r.text(QStringLiteral("Sexo")); }).center();
    cell(cols[5], [](const ReportRow &r) { return r.text(QStringLiteral("Esterilizado")); }).center();
    cell(cols[6], [](const ReportRow &r) { return r.text(QStringLiteral("Num_Microchip")); });
    cell(cols[7], [](const ReportRow &r) { return idName(r, QStringLiteral("Id_Proprietario"), QStringLiteral("nome_Proprietario")); })
        .wrapping()
        .named(QStringLiteral("proprietario"));

    ReportBand &uf = unit.addFooter(6);
    uf.lineAbove = true;
    uf.add(Items::label(0, 1, 35, 4, QStringLiteral("Todos da regional:"))).bold();
    uf.add(Items::count(35, 1, 20, 4)).bold().resetting().named(QStringLiteral("total_unidade"));
    ReportBand &sum = def.band(BandKind::Summary, 7);
    sum.add(Items::label(0, 2, 25, 4, QStringLiteral("Total geral: "))).bold();
    sum.add(Items::rowCount(25, 2, 25, 4)).bold().named(QStringLiteral("total_geral"));
    ListLayout::addPageNumber(def, 8);
    return def;
}

bool openMicrochipped(Connection &c, int idUnidade, const QDate &from, const QDate &to, QWidget *parent)
{
    return Reports::openForPeriod(microchippedAnimals(c, idUnidade, from, to), parent,
                                  QStringLiteral("Erro ao gerar o relatório."));
}

} // namespace AnimalReports

void registerAnimalReports(ScreenCatalog &catalog)
{
    catalog.add(37, [](QWidget *parent) -> QWidget * {
        Reports::open(AnimalReports::complete(mainConnection()), parent);
        return nullptr;
    });
}
