#include "reports/OccurrenceReport.h"
#include "db/DataModule.h"
#include "db/Formats.h"
#include "db/ServerClock.h"
#include "reports/ListLayout.h"
#include "reports/engine/ReportData.h"
#include "reports/engine/Reports.h"

namespace OccurrenceReport {

QString selectFromJoins()
{
    return QStringLiteral(
        "select a.Dt_Ocorrencia, b.Id_Animal, b.nome as NomeAnimal, c.Id_Proprietario, c.nome as nomeProprietario, "
        "b.Sexo, b.Data_Nascimento, b.Esterilizado, b.Num_Microchip, d.nome as nomeRaca, e.nome as nomeEspecie, "
        "f.descricao as nomePelo, g.descricao as nomePorte, h.nome as nomeTipo_ocorrencia, "
        "i.NUM_LOGR, i.TIP_LOGR, i.NOM_LOGR, i.NUM_IMOV_LOGR, i.DES_CMPL_ENDR, i.NOM_BAIR, i.NUM_CEP "
        "from ocorrencia a "
        "left join animal b on (a.id_animal = b.id_animal) "
        "left join proprietario c on (b.Id_Proprietario = c.Id_Proprietario) "
        "left join raca d on (b.Id_Raca = d.Id_Raca) "
        "left join especie e on (b.Id_Especie = e.Id_Especie) "
        "left join pelo f on (b.id_pelo = f.id_pelo) "
        "left join porte g on (b.id_porte = g.id_porte) "
        "left join tipo_ocorrencia h on (a.Id_Tipo_Ocorrencia = h.Id_Tipo_Ocorrencia) "
        "left join endereco i on (c.id_endereco = i.id_endereco) ");
}

QString animalStatement()
{
    return selectFromJoins()
           + QStringLiteral("where b.id_animal = :animal and c.id_proprietario = :owner "
                            "order by a.Dt_Ocorrencia, a.Id_Ocorrencia");
}

namespace {

QString dateText(const QVariant &v)
{
    const QDateTime t = v.toDateTime();
    return v.isNull() || !t.isValid() ? QString() : Formats::date(t.date());
}

} // namespace

ReportDefinition definition(Connection &c, int idAnimal, int idProprietario)
{
    ReportDefinition def;
    def.title = QStringLiteral("Ocorrências do animal");
    def.paper = QPageSize::A4;
    const double w = def.contentWidth();
    Connection *conn = &c;
    def.data = [conn, idAnimal, idProprietario] {
        return QueryDataSource::open(*conn, animalStatement(),
                                     {{QStringLiteral("animal"), idAnimal}, {QStringLiteral("owner"), idProprietario}});
    };
    // The server's clock, read once when the report is built.
    const QString now = Formats::dateTime(serverNow(c));

    ReportBand &title = def.band(BandKind::Title, 16);
    title.lineBelow = true;
    title.add(Items::label(0, 0, 60, 3, now)).size(7);
    title.add(Items::label(0, 2, w, 7, Reports::productTitle())).size(14).bold().center();
    title.add(Items::computed(0, 9.5, w, 5, [](const ReportRow &r) {
             return QStringLiteral("OCORRÊNCIA ATRIBUÍDA À ") + r.text(QStringLiteral("NomeAnimal"));
         }))
        .size(10)
        .center();

    // The animal and its owner once, from the first row.
    ReportGroup &g = def.addGroup(QStringLiteral("animal"), QStringLiteral("Id_Animal"));
    ReportBand &h = g.header;
    h.height = 24;
    h.lineBelow = true;
    h.add(Items::computed(0, 1, w, 4.5, [](const ReportRow &r) {
         return QStringLiteral("PROPRIETÁRIO: ") + r.text(QStringLiteral("Id_Proprietario")) + QStringLiteral(" - ")
                + r.text(QStringLiteral("nomeProprietario")) + QStringLiteral("  ANIMAL: ") + r.text(QStringLiteral("Id_Animal"))
                + QStringLiteral(" - ") + r.text(QStringLiteral("NomeAnimal"));
     })).size(10);
    h.add(Items::computed(0, 6, w, 4.5, [](const ReportRow &r) {
         return QStringLiteral("ESPECIE:") + r.text(QStringLiteral("nomeEspecie")) + QStringLiteral(", RAÇA:")
                + r.text(QStringLiteral("nomeRaca")) + QStringLiteral(", PORTE:") + r.text(QStringLiteral("nomePorte"))
                + QStringLiteral(", PELO:") + r.text(QStringLiteral("nomePelo")) + QStringLiteral(", DT NASC.:")
                + dateText(r.value(QStringLiteral("Data_Nascimento")));
     })).size(10);
    h.add(Items::computed(0, 11, w, 4.5, [](const ReportRow &r) {
         QString s = QStringLiteral("ENDEREÇO PROPRIET.:") + r.text(QStringLiteral("TIP_LOGR")) + QStringLiteral(": ")
                     + r.text(QStringLiteral("NOM_LOGR")) + QLatin1Char(' ') + r.text(QStringLiteral("NUM_IMOV_LOGR"))
                     + QStringLiteral(", ") + r.text(QStringLiteral("DES_CMPL_ENDR"));
         if (!r.text(QStringLiteral("NOM_BAIR")).isEmpty())
             s += QStringLiteral(" BAIRRO: ") + r.text(QStringLiteral("NOM_BAIR"));
         return s;
     })).size(10);
    h.add(Items::label(0, 18, 30, 4.5, QStringLiteral("Data:"))).size(10).bold();
    h.add(Items::label(32, 18, w - 32, 4.5, QStringLiteral("Intercorrência"))).size(10).bold();

    ReportBand &d = def.band(BandKind::Detail, 5);
    d.add(Items::computed(0, 0.5, 30, 4.5, [](const ReportRow &r) { return dateText(r.value(QStringLiteral("Dt_Ocorrencia"))); })).size(10);
    d.add(Items::field(32, 0.5, w - 32, 4.5, QStringLiteral("nomeTipo_ocorrencia"))).size(10);

    ListLayout::addPageNumber(def, 10);
    return def;
}

} // namespace OccurrenceReport
