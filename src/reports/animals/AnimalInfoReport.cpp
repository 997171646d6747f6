#include "reports/animals/AnimalInfoReport.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/ServerClock.h"
#include "db/Sql.h"
#include "reports/ListLayout.h"
#include "reports/engine/Reports.h"
#include "ui/Services.h"

namespace AnimalInfoReport {

namespace {

QString dateOf(const ReportRow &r, const QString &column, bool withTime = false)
{
    const QVariant v = r.value(column);
    if (v.isNull() || !v.isValid())
        return {};
    const QDateTime t = v.toDateTime();
    if (!t.isValid())
        return Reports::displayText(v, withTime ? QStringLiteral("dd/MM/yyyy HH:mm") : QStringLiteral("dd/MM/yyyy"));
    return withTime ? Formats::date(t.date()) + QLatin1Char(' ') + t.time().toString(QStringLiteral("HH:mm"))
                    : Formats::date(t.date());
}

QString joined(const ReportRow &r, const QStringList &columns, const QString &separator)
{
    QStringList parts;
    for (const QString &c : columns) {
        const QString t = r.text(c).trimmed();
        if (!t.isEmpty())
            parts << t;
    }
    return parts.join(separator);
}

// A heading over one of the animal's lists, with the columns' titles.
ReportSubDetail &heading(ReportDefinition &def, const QString &title, const QList<QPair<double, QString>> &columns)
{
    ReportSubDetail &h = def.addSubDetail(11);
    h.band.name = QStringLiteral("secao");
    h.band.add(Items::label(0, 2, def.contentWidth(), 4.5, title)).size(10).bold().named(QStringLiteral("secao"));
    for (const auto &c : columns)
        h.band.add(Items::label(c.first, 7, 60, 3.8, c.second)).size(8).bold();
    h.band.add(Items::hline(0, 10.8, def.contentWidth()));
    return h;
}

} // namespace

ReportDefinition definition(Connection &c, int idAnimal)
{
    ReportDefinition def;
    def.title = QStringLiteral("Informação do Animal");
    def.paper = QPageSize::A4;
    def.printIfEmpty = false;
    const double w = def.contentWidth();
    Connection *conn = &c;
    const QVariantMap id{{QStringLiteral("id"), idAnimal}};
    def.data = [conn, id] {
        // The animal's own address is its latest one; without any it lives
        // at its owner's.
        return QueryDataSource::open(
            *conn,
            QStringLiteral(
                "select a.Id_Animal, a.Nome, a.Sexo, a.Data_Nascimento, a.Esterilizado, a.Num_Microchip, a.Cor, "
                "a.Sinais, a.Num_Pedigree, a.OBS, a.Inserido_Em, b.Nome as nome_especie, c.Nome as nome_raca, "
                "d.Nome as nome_grupo, e.Descricao as nome_pelo, f.Descricao as nome_porte, a.Id_Proprietario, "
                "p.Nome as nome_proprietario, p.Num_CPF_CNPJ, p.Tipo_Pessoa, p.Telefone_Residencial, "
                "p.Telefone_Celular, p.Telefone_Recado, p.Email_Proprietario, n.TIP_LOGR, n.NOM_LOGR, "
                "n.NUM_IMOV_LOGR, n.DES_CMPL_ENDR, n.NOM_BAIR, n.NUM_CEP "
                "from animal a "
                "left join especie b on (a.Id_Especie = b.Id_Especie) "
                "left join raca c on (a.Id_Raca = c.Id_Raca) "
                "left join grupo_animal d on (a.Id_Grupo_Animal = d.Id_Grupo_Animal) "
                "left join pelo e on (a.Id_Pelo = e.Id_pelo) "
                "left join porte f on (a.Id_Porte = f.Id_porte) "
                "left join proprietario p on (a.Id_Proprietario = p.Id_Proprietario) "
                "left join endereco n on (n.Id_Endereco = coalesce((select max(x.Id_Endereco) from endereco_animal x "
                "where x.Id_Animal = a.Id_Animal), p.Id_Endereco)) "
                "where a.Id_Animal = :id"),
            id, QueryDataSource::Reading::Buffered);
    };

    ReportBand &title = def.band(BandKind::Title, 15);
    ListLayout::addReportHeader(title, w, QString(), def.title, 7, 10, true, Formats::dateTime(serverNow(c)));
    title.lineBelow = true;

    // The record: captions and values in two columns; long texts wrap over
    // the width.
    ReportBand &d = def.band(BandKind::Detail, 62);
    const double half = w / 2;
    double y = 2;
    auto pair = [&d](double x, double yy, double capW, double valW, const QString &caption, const QString &name,
                     std::function<QString(const ReportRow &)> f) {
        d.add(Items::label(x, yy, capW, 4, caption)).size(9).bold();
        d.add(Items::computed(x + capW, yy, valW, 4, std::move(f))).size(9).named(name);
    };
    auto text = [](const char *column) {
        const QString c = QString::fromLatin1(column);
        return [c](const ReportRow &r) { return r.text(c).trimmed(); };
    };
    d.add(Items::label(0, y, w, 5, QStringLiteral("Animal"))).size(10).bold();
    y += 6;
    pair(0, y, 24, half - 26, QStringLiteral("Código:"), QStringLiteral("codigo"), text("Id_Animal"));
    pair(half, y, 24, half - 24, QStringLiteral("Nome:"), QStringLiteral("nome"), text("Nome"));
    y += 4.5;
    pair(0, y, 24, half - 26, QStringLiteral("Espécie:"), QStringLiteral("especie"), text("nome_especie"));
    pair(half, y, 24, half - 24, QStringLiteral("Raça:"), QStringLiteral("raca"), text("nome_raca"));
    y += 4.5;
    pair(0, y, 24, half - 26, QStringLiteral("Grupo:"), QStringLiteral("grupo"), text("nome_grupo"));
    pair(half, y, 24, half - 24, QStringLiteral("Sexo:"), QStringLiteral("sexo"), text("Sexo"));
    y += 4.5;
    pair(0, y, 24, half - 26, QStringLiteral("Pelo:"), QStringLiteral("pelo"), text("nome_pelo"));
    pair(half, y, 24, half - 24, QStringLiteral("Porte:"), QStringLiteral("porte"), text("nome_porte"));
    y += 4.5;
    pair(0, y, 24, half - 26, QStringLiteral("Data Nasc.:"), QStringLiteral("nascimento"),
         [](const ReportRow &r) { return dateOf(r, QStringLiteral("Data_Nascimento")); });
    pair(half, y, 24, half - 24, QStringLiteral("Esterilizado:"), QStringLiteral("esterilizado"), text("Esterilizado"));
    y += 4.5;
    pair(0, y, 24, half - 26, QStringLiteral("Microchip:"), QStringLiteral("microchip"), text("Num_Microchip"));
    pair(half, y, 24, half - 24, QStringLiteral("Pedigree:"), QStringLiteral("pedigree"), text("Num_Pedigree"));
    y += 4.5;
    pair(0, y, 24, half - 26, QStringLiteral("Cor:"), QStringLiteral("cor"), text("Cor"));
    pair(half, y, 24, half - 24, QStringLiteral("Cadastrado em:"), QStringLiteral("cadastro"),
         [](const ReportRow &r) { return dateOf(r, QStringLiteral("Inserido_Em")); });
    y += 4.5;
    d.add(Items::label(0, y, 24, 4, QStringLiteral("Sinais:"))).size(9).bold();
    d.add(Items::field(24, y, w - 24, 4, QStringLiteral("Sinais"))).size(9).wrapping().named(QStringLiteral("sinais"));
    y += 4.5;
    d.add(Items::label(0, y, 24, 4, QStringLiteral("Obs:"))).size(9).bold();
    d.add(Items::field(24, y, w - 24, 4, QStringLiteral("OBS"))).size(9).wrapping().named(QStringLiteral("obs"));
    y += 6;
    d.add(Items::label(0, y, w, 5, QStringLiteral("Proprietário"))).size(10).bold();
    y += 6;
    pair(0, y, 24, w - 24, QStringLiteral("Nome:"), QStringLiteral("proprietario"), [](const ReportRow &r) {
        const QString id = r.text(QStringLiteral("Id_Proprietario")).trimmed();
        return id.isEmpty() ? QString() : id + QStringLiteral(" - ") + r.text(QStringLiteral("nome_proprietario")).trimmed();
    });
    y += 4.5;
    pair(0, y, 24, half - 26, QStringLiteral("CPF/CNPJ:"), QStringLiteral("cpf"),
         [](const ReportRow &r) { return Formats::taxNumber(r.text(QStringLiteral("Num_CPF_CNPJ"))); });
    pair(half, y, 24, half - 24, QStringLiteral("E-mail:"), QStringLiteral("email"), text("Email_Proprietario"));
    y += 4.5;
    pair(0, y, 24, w - 24, QStringLiteral("Telefones:"), QStringLiteral("telefones"), [](const ReportRow &r) {
        return joined(r, {QStringLiteral("Telefone_Residencial"), QStringLiteral("Telefone_Celular"), QStringLiteral("Telefone_Recado")},
                      QStringLiteral(" / "));
    });
    y += 4.5;
    d.add(Items::label(0, y, 24, 4, QStringLiteral("Endereço:"))).size(9).bold();
    d.add(Items::computed(24, y, w - 24, 4, [](const ReportRow &r) {
         QString s = joined(r, {QStringLiteral("TIP_LOGR"), QStringLiteral("NOM_LOGR"), QStringLiteral("NUM_IMOV_LOGR"),
                                QStringLiteral("DES_CMPL_ENDR")},
                            QStringLiteral(" "));
         const QString bairro = r.text(QStringLiteral("NOM_BAIR")).trimmed();
         const QString cep = r.text(QStringLiteral("NUM_CEP")).trimmed();
         if (!bairro.isEmpty())
             s += QStringLiteral(" - ") + bairro;
         if (!cep.isEmpty())
             s += QStringLiteral(" - CEP ") + (cep.size() == 8 ? cep.left(5) + QLatin1Char('-') + cep.mid(5) : cep);
         return s;
     })).size(9).wrapping().named(QStringLiteral("endereco"));
    d.height = y + 5;

    // The animal's history, each list under its heading.
    // Buffered: the attendances' procedures are read while they print.
    auto rowsOf = [conn](QString sql) {
        return [conn, sql](const ReportRow &animal) -> std::unique_ptr<ReportDataSource> {
            return QueryDataSource::open(*conn, sql, {{QStringLiteral("id"), animal.value(QStringLiteral("Id_Animal"))}},
                                         QueryDataSource::Reading::Buffered);
        };
    };
    heading(def, QStringLiteral("Vacinas"), {{0, QStringLiteral("Data")}, {25, QStringLiteral("Vacina")},
                                             {90, QStringLiteral("Ocorrência")}, {140, QStringLiteral("Motivo de não vacinar")}});
    ReportSubDetail &vac = def.addSubDetail(4.5, rowsOf(QStringLiteral(
        "select v.Data_atividade, t.Nome as vacina, o.Nome as ocorrencia, m.Nome as motivo from vacina v "
        "left join tipo_vacina t on (v.Id_tipo_vacina = t.Id_tipo_vacina) "
        "left join tipo_vacina_ocorrencia o on (v.Id_tipo_vacina_ocorrencia = o.Id_tipo_vacina_ocorrencia) "
        "left join tipo_motivo_nao_vacina m on (v.Id_tipo_motivo_nao_vacina = m.Id_tipo_motivo_nao_vacina) "
        "where v.Id_Animal = :id order by v.Data_atividade, v.Id_vacina")));
    vac.band.name = QStringLiteral("vacina");
    vac.band.add(Items::computed(0, 0.3, 24, 4, [](const ReportRow &r) { return dateOf(r, QStringLiteral("Data_atividade")); })).size(8);
    vac.band.add(Items::field(25, 0.3, 64, 4, QStringLiteral("vacina"))).size(8).named(QStringLiteral("vacina"));
    vac.band.add(Items::field(90, 0.3, 49, 4, QStringLiteral("ocorrencia"))).size(8);
    vac.band.add(Items::field(140, 0.3, w - 140, 4, QStringLiteral("motivo"))).size(8);

    heading(def, QStringLiteral("Atendimentos"), {{0, QStringLiteral("Data/Hora")}, {30, QStringLiteral("Unidade")},
                                                  {110, QStringLiteral("Status")}, {150, QStringLiteral("Procedimentos")}});
    ReportSubDetail &att = def.addSubDetail(4.5, rowsOf(QStringLiteral(
        "select t.Id_Atendimento, t.Data_Hora_Atendimento, u.Nome as unidade, s.Nome as status from atendimento t "
        "left join unidade_trabalho u on (t.Id_Unidade_Trabalho = u.Id_Unidade_Trabalho) "
        "left join atendimento_status s on (t.Id_Atendimento_Status = s.Id_Atendimento_Status) "
        "where t.Id_Animal = :id order by t.Data_Hora_Atendimento, t.Id_Atendimento")));
    att.band.name = QStringLiteral("atendimento");
    att.band.add(Items::computed(0, 0.3, 29, 4, [](const ReportRow &r) { return dateOf(r, QStringLiteral("Data_Hora_Atendimento"), true); }))
        .size(8);
    att.band.add(Items::field(30, 0.3, 79, 4, QStringLiteral("unidade"))).size(8).wrapping().named(QStringLiteral("unidade"));
    att.band.add(Items::field(110, 0.3, 39, 4, QStringLiteral("status"))).size(8).named(QStringLiteral("status"));
    // The procedures of each attendance, read with it (a handful per animal).
    att.band.add(Items::computed(150, 0.3, w - 150, 4, [conn](const ReportRow &r) {
         QStringList names;
         QSqlQuery q = Sql::exec(*conn,
                                 QStringLiteral("select t.Nome from procedimento p left join tipo_procedimento t on "
                                                "(p.Id_Tipo_Procedimento = t.Id_Tipo_Procedimento) where p.Id_Atendimento = :a "
                                                "order by p.Id_Procedimento"),
                                 {{QStringLiteral("a"), r.value(QStringLiteral("Id_Atendimento"))}});
         while (q.next())
             names << Sql::text(q.value(0)).trimmed();
         return names.join(QStringLiteral(", "));
     })).size(8).wrapping().named(QStringLiteral("procedimentos"));

    heading(def, QStringLiteral("Ocorrências"), {{0, QStringLiteral("Data")}, {25, QStringLiteral("Tipo de ocorrência")}});
    ReportSubDetail &occ = def.addSubDetail(4.5, rowsOf(QStringLiteral(
        "select o.Dt_Ocorrencia, t.Nome as tipo from ocorrencia o "
        "left join tipo_ocorrencia t on (o.Id_Tipo_Ocorrencia = t.Id_Tipo_Ocorrencia) "
        "where o.Id_Animal = :id order by o.Dt_Ocorrencia, o.Id_Ocorrencia")));
    occ.band.name = QStringLiteral("ocorrencia");
    occ.band.add(Items::computed(0, 0.3, 24, 4, [](const ReportRow &r) { return dateOf(r, QStringLiteral("Dt_Ocorrencia")); })).size(8);
    occ.band.add(Items::field(25, 0.3, w - 25, 4, QStringLiteral("tipo"))).size(8).named(QStringLiteral("tipo_ocorrencia"));

    ListLayout::addPageNumber(def);
    return def;
}

bool open(Connection &c, int idAnimal, QWidget *parent)
{
    try {
        const QVariant n = Sql::scalar(c, QStringLiteral("select count(*) from animal where Id_Animal = :id"),
                                       {{QStringLiteral("id"), idAnimal}});
        if (n.toInt() == 0) {
            Services::messages().information(QStringLiteral("Animal não encontrado."), parent);
            return false;
        }
        return Reports::openOrThrow(definition(c, idAnimal), parent);
    } catch (const DbError &e) {
        Services::messages().error(e.text(), parent);
    }
    return false;
}

} // namespace AnimalInfoReport
