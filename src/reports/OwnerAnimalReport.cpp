#include "reports/OwnerAnimalReport.h"
#include "db/DataModule.h"
#include "db/Formats.h"
#include "db/ServerClock.h"
#include "reports/ListLayout.h"
#include "reports/engine/ReportData.h"

namespace OwnerAnimalReport {

namespace {

QString cepText(const QString &digits)
{
    return digits.size() == 8 ? digits.left(5) + QLatin1Char('-') + digits.mid(5) : digits;
}

} // namespace

ReportDefinition definition(Connection &c, int idProprietario)
{
    ReportDefinition def;
    def.title = QStringLiteral("Relatório de Animais por Proprietário");
    def.paper = QPageSize::Letter;
    const double w = def.contentWidth();
    Connection *conn = &c;
    def.data = [conn, idProprietario] {
        QString sql = QStringLiteral(
            "select a.Id_Proprietario, a.Nome, a.Telefone_Residencial, a.Telefone_Celular, a.Telefone_Recado, "
            "a.Num_CPF_CNPJ, a.Tipo_Pessoa, a.Num_CI, a.Id_Endereco, b.TIP_LOGR, b.NOM_LOGR, b.NUM_IMOV_LOGR, "
            "b.DES_CMPL_ENDR, b.NOM_BAIR, b.NUM_CEP, d.Id_Animal as Animal, d.Nome as NomeAnimal, d.Sexo, "
            "d.Data_Nascimento, d.Esterilizado, d.Num_Microchip, e.Nome as nome_especie, f.Nome as nome_raca, "
            "g.Nome as nome_grupo_animal "
            "from proprietario a "
            "left join endereco b on (a.Id_Endereco = b.Id_Endereco) "
            "left join Histo_Muda_Proprietario c on (a.Id_Proprietario = c.Id_Proprietario) "
            "left join animal d on (c.Id_Animal = d.Id_Animal) "
            "left join especie e on (d.Id_Especie = e.Id_Especie) "
            "left join raca f on (d.Id_Raca = f.Id_Raca) "
            "left join grupo_animal g on (d.Id_Grupo_Animal = g.Id_Grupo_Animal) ");
        QVariantMap p;
        if (idProprietario > 0) {
            sql += QStringLiteral("where a.Id_Proprietario = :id ");
            p.insert(QStringLiteral("id"), idProprietario);
        }
        // Owners by name; two owners of the same name stay apart by key.
        sql += QStringLiteral("order by a.Nome, a.Id_Proprietario, d.Id_Animal");
        return QueryDataSource::open(*conn, sql, p);
    };

    ReportBand &title = def.band(BandKind::Title, 15);
    ListLayout::addReportHeader(title, w, QStringLiteral("REL049"), def.title, 7, 10, false, Formats::dateTime(serverNow(c)));
    title.lineBelow = true;

    // One box per owner, keyed by the owner (not the name, which two owners
    // may share).
    ReportGroup &g = def.addGroup(QStringLiteral("proprietario"), QStringLiteral("Id_Proprietario"));
    ReportBand &h = g.header;
    h.height = 22;
    h.box = true;
    h.add(Items::field(2, 1, w - 4, 5, QStringLiteral("Nome"))).size(10).bold();
    h.add(Items::label(2, 7, 14, 4, QStringLiteral("Pessoa"))).size(9).bold();
    h.add(Items::field(16, 7, 30, 4, QStringLiteral("Tipo_Pessoa"))).size(9);
    h.add(Items::label(48, 7, 22, 4, QStringLiteral("CPF/CNPJ : "))).size(9).bold();
    h.add(Items::computed(70, 7, 32, 4, [](const ReportRow &r) { return Formats::taxNumber(r.text(QStringLiteral("Num_CPF_CNPJ"))); }))
        .size(9);
    h.add(Items::label(104, 7, 10, 4, QStringLiteral("RG : "))).size(9).bold();
    h.add(Items::field(114, 7, w - 116, 4, QStringLiteral("Num_CI"))).size(9);
    h.add(Items::label(2, 11.5, 22, 4, QStringLiteral("Telefones : "))).size(9).bold();
    h.add(Items::computed(24, 11.5, w - 26, 4, [](const ReportRow &r) {
         return r.text(QStringLiteral("Telefone_Residencial")) + QStringLiteral(" / ") + r.text(QStringLiteral("Telefone_Celular"))
                + QStringLiteral(" / ") + r.text(QStringLiteral("Telefone_Recado"));
     })).size(9);
    // Street, neighbourhood and postcode share the last line, each with room
    // of its own: a long neighbourhood is cut short before the postcode.
    const double bx = w * 0.52;
    const double cx = w - 36;
    h.add(Items::computed(2, 16, bx - 4, 5, [](const ReportRow &r) {
         return (r.text(QStringLiteral("TIP_LOGR")) + QLatin1Char(' ') + r.text(QStringLiteral("NOM_LOGR")) + QLatin1Char(' ')
                 + r.text(QStringLiteral("NUM_IMOV_LOGR")) + QLatin1Char(' ') + r.text(QStringLiteral("DES_CMPL_ENDR")))
             .trimmed();
     })).size(10);
    h.add(Items::label(bx, 16.5, 19, 4, QStringLiteral("BAIRRO : "))).size(9).bold();
    h.add(Items::field(bx + 19, 16.5, cx - bx - 23, 4, QStringLiteral("NOM_BAIR"))).size(9);
    h.add(Items::label(cx, 16.5, 12, 4, QStringLiteral("CEP : "))).size(9).bold();
    h.add(Items::computed(cx + 12, 16.5, 22, 4, [](const ReportRow &r) { return cepText(r.text(QStringLiteral("NUM_CEP"))); }))
        .size(9);

    // One block per animal; an owner who never held one keeps an empty block.
    ReportBand &d = def.band(BandKind::Detail, 13);
    d.lineBelow = true;
    auto caption = [&d](double x, double y, double width, const QString &text) {
        d.add(Items::label(x, y, width, 3.8, text)).size(8).bold();
    };
    auto value = [&d](double x, double y, double width, const QString &column) {
        d.add(Items::field(x, y, width, 3.8, column)).size(8);
    };
    const double c2 = w * 0.45, c3 = w * 0.72;
    caption(2, 1, 16, QStringLiteral("Animal : "));
    d.add(Items::computed(18, 1, c2 - 20, 3.8, [](const ReportRow &r) {
         const QString id = r.text(QStringLiteral("Animal"));
         return id.isEmpty() ? QString() : id + QStringLiteral(" - ") + r.text(QStringLiteral("NomeAnimal"));
     })).size(8);
    caption(c2, 1, 24, QStringLiteral("Data de Nasc : "));
    d.add(Items::computed(c2 + 24, 1, c3 - c2 - 26, 3.8, [](const ReportRow &r) {
         const QVariant v = r.value(QStringLiteral("Data_Nascimento"));
         const QDateTime t = v.toDateTime();
         return v.isNull() || !t.isValid() ? QString() : Formats::date(t.date());
     })).size(8);
    caption(c3, 1, 12, QStringLiteral("Sexo : "));
    value(c3 + 12, 1, w - c3 - 14, QStringLiteral("Sexo"));
    caption(2, 5, 24, QStringLiteral("Grupo Animal : "));
    value(26, 5, c2 - 28, QStringLiteral("nome_grupo_animal"));
    caption(c2, 5, 16, QStringLiteral("Especie : "));
    value(c2 + 16, 5, c3 - c2 - 18, QStringLiteral("nome_especie"));
    caption(c3, 5, 12, QStringLiteral("Raca : "));
    value(c3 + 12, 5, w - c3 - 14, QStringLiteral("nome_raca"));
    caption(2, 9, 22, QStringLiteral("Esterilizado : "));
    value(24, 9, c2 - 26, QStringLiteral("Esterilizado"));
    caption(c2, 9, 26, QStringLiteral("Num Microchip : "));
    value(c2 + 26, 9, w - c2 - 28, QStringLiteral("Num_Microchip"));

    ListLayout::addPageNumber(def);
    return def;
}

} // namespace OwnerAnimalReport
