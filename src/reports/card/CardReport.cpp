#include "reports/card/CardReport.h"
#include "db/Formats.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "db/Documents.h"
#include "reports/engine/ReportData.h"

#include <QImage>

// The resource must be registered outside any namespace.
static QImage cardEmblem()
{
    Q_INIT_RESOURCE(card);
    static const QImage image(QStringLiteral(":/card/emblema.png"));
    return image;
}

namespace CardReport {

namespace {

struct Field {
    const char *caption;
    std::function<QString(const ReportRow &)> value;
    QPointF portrait, landscape; // caption's top-left, mm in the strip
    double width;
    bool dashWhenEmpty = false;  // portrait variant only
    bool centred = false;
    int lines = 1;
    double height = 0; // the value's box when it is taller than its lines (room for a smaller second line)
};

auto column(const char *name)
{
    return [n = QString::fromLatin1(name)](const ReportRow &r) { return r.text(n); };
}

} // namespace

Issue currentIssue(Connection &c)
{
    const TUsuarioLogado &u = usuarioLogado();
    return {u.IdUsuario + QLatin1Char('-') + u.NomeUsuario.toUpper(), serverNow(c).date()};
}

QString rga(const QVariant &idAnimal)
{
    const QString id = idAnimal.toString().trimmed();
    return id.isEmpty() ? QString() : id + QLatin1Char('-') + id;
}

QString address(const ReportRow &r)
{
    if (r.text(QStringLiteral("Id_Endereco")).isEmpty())
        return {};
    return r.text(QStringLiteral("TIP_LOGR")) + QStringLiteral(": ") + r.text(QStringLiteral("NOM_LOGR")) + QStringLiteral(", ")
           + r.text(QStringLiteral("NUM_IMOV_LOGR")) + QStringLiteral("; ") + r.text(QStringLiteral("DES_CMPL_ENDR"))
           + QStringLiteral("; B:") + r.text(QStringLiteral("NOM_BAIR"));
}

QString telephone(const QString &residencial, const QString &celular, const QString &recado)
{
    for (const QString &t : {residencial, celular, recado})
        if (!Documents::phoneEmpty(t))
            return t.trimmed();
    return {};
}

ReportDefinition definition(Connection &c, Variant v, int idAnimal, const QString &ownerName, const Issue &issue)
{
    const bool portrait = v == Variant::Portrait;
    ReportDefinition def;
    def.title = QStringLiteral("Carteira de identificação");
    def.paper = QPageSize::A4;
    def.orientation = portrait ? QPageLayout::Portrait : QPageLayout::Landscape;
    // The strip sits on the paper itself: at the top edge, or 68 mm down on
    // the landscape card stock.
    def.margins = portrait ? QMarginsF(0, 0, 0, 0) : QMarginsF(0, 68, 0, 0);
    def.pageHeaderOnFirstPage = true;
    Connection *conn = &c;
    def.data = [conn, idAnimal] {
        return QueryDataSource::open(
            *conn,
            QStringLiteral(
                "select a.id_Proprietario, b.nome as nomeProprietario, a.id_Animal, a.nome as nomeAnimal, a.id_Especie, "
                "c.nome as nomeEspecie, a.id_Raca, d.nome as nomeRaca, a.Sexo, a.Data_Nascimento, a.Num_Microchip, a.Cor, "
                "f.descricao as nomePelo, a.Esterilizado, a.id_grupo_animal, e.nome as NomeGrupoAnimal, a.id_pelo, "
                "b.Telefone_Residencial, b.Telefone_Celular, b.Telefone_Recado, g.Id_Endereco, g.Id_Distrito, g.TIP_LOGR, "
                "g.NOM_LOGR, g.NUM_IMOV_LOGR, g.DES_CMPL_ENDR, g.NOM_BAIR, b.num_cpf_cnpj, b.Num_ci "
                "from animal a "
                "left join proprietario b on (a.id_proprietario = b.id_proprietario) "
                "left join especie c on (a.id_especie = c.id_especie) "
                "left join raca d on (a.id_raca = d.id_raca) "
                "left join grupo_animal e on (a.id_grupo_animal = e.id_grupo_animal) "
                "left join pelo f on (a.id_pelo = f.id_pelo) "
                "left join endereco g on (b.id_endereco = g.id_endereco) "
                "where a.id_animal = :animal"),
            {{QStringLiteral("animal"), idAnimal}});
    };

    const QString issuer = issue.by;
    const QString issued = Formats::date(issue.on);
    const QList<Field> fields = {
        {"RGA", [](const ReportRow &r) { return rga(r.value(QStringLiteral("id_Animal"))); }, {18.0, 27.0}, {13.5, 27.3}, 23},
        {"Microchip", column("Num_Microchip"), {42.1, 27.0}, {37.6, 27.3}, 31, true},
        {"Esterilizado", column("Esterilizado"), {74.3, 27.0}, {70.4, 27.3}, 22, true},
        {"Nome do Animal", column("nomeAnimal"), {18.0, 35.5}, {13.5, 35.2}, 47},
        {"Espécie", column("nomeEspecie"), {66.7, 35.5}, {62.7, 35.2}, 32, true},
        {"Sexo", column("Sexo"), {18.0, 43.7}, {13.5, 43.7}, 10, false, true},
        // Long breeds take a second, smaller line down to the next caption.
        {"Raça", column("nomeRaca"), {29.6, 43.7}, {25.7, 43.7}, 36, false, false, 1, 5.0},
        {"Cor", column("Cor"), {66.7, 44.2}, {62.7, 44.2}, 32},
        {"Pêlo", column("nomePelo"), {18.0, 52.9}, {13.5, 52.9}, 24, true},
        {"Data de Nascimento",
         [](const ReportRow &r) {
             const QDateTime t = r.value(QStringLiteral("Data_Nascimento")).toDateTime();
             return t.isValid() ? Formats::date(t.date()) : QString();
         },
         {43.1, 53.4}, {38.9, 53.7}, 30},
        {"Proprietário", [ownerName](const ReportRow &) { return ownerName; }, {116.4, 25.7}, {118.8, 25.7}, 45},
        {"RG", column("Num_ci"), {162.2, 25.7}, {164.6, 25.7}, 38, true},
        {"CPF/CNPJ", column("num_cpf_cnpj"), {116.4, 33.6}, {118.8, 33.6}, 31},
        {"Telefone",
         [](const ReportRow &r) {
             return telephone(r.text(QStringLiteral("Telefone_Residencial")), r.text(QStringLiteral("Telefone_Celular")),
                              r.text(QStringLiteral("Telefone_Recado")));
         },
         {147.9, 33.6}, {150.0, 33.6}, 40},
        {"Endereço", [](const ReportRow &r) { return address(r); }, {116.4, 41.8}, {118.8, 41.5}, 85, false, false, 2},
        {"Emitido por:", [issuer](const ReportRow &) { return issuer; }, {116.4, 53.7}, {118.8, 53.4}, 45},
        {"Data da Expedição", [issued](const ReportRow &) { return issued; }, {162.2, 53.7}, {164.6, 53.7}, 32},
    };

    ReportBand &d = def.band(BandKind::Detail, 62);
    for (const Field &f : fields) {
        const QPointF at = portrait ? f.portrait : f.landscape;
        const QString caption = QString::fromUtf8(f.caption);
        d.add(Items::label(at.x(), at.y(), f.width, 3.6, caption)).size(8);
        auto value = f.value;
        const bool dash = portrait && f.dashWhenEmpty;
        const double boxHeight = f.height > 0 ? f.height : 3.6 * f.lines;
        ReportItem &item = d.add(Items::computed(at.x(), at.y() + 4, f.width, boxHeight, [value, dash](const ReportRow &r) {
                                     const QString t = value(r);
                                     return dash && t.isEmpty() ? QStringLiteral("---") : t;
                                 }))
                               .size(8)
                               .bold()
                               .named(caption);
        if (f.centred)
            item.center();
        if (f.lines > 1)
            item.wrappingWithin(f.lines);
    }
    if (portrait) {
        // The header of each side; the landscape stock has it pre-printed.
        const QImage logo = cardEmblem();
        const QStringList lines = {QStringLiteral("PREFEITURA MUNICIPAL DE VESSARO "), QStringLiteral("SECRETÁRIA MUNICIPAL DE SAÚDE"),
                                   QStringLiteral("UNIDADE DE CONTROLE DE ZOONOSES")};
        for (const QPointF &side : {QPointF(9.5, 31.0), QPointF(110.6, 127.8)}) {
            d.add(Items::picture(side.x(), 3.2, 13, 15, logo)).named(QStringLiteral("logo"));
            for (int k = 0; k < lines.size(); ++k)
                d.add(Items::label(side.y(), 4 + 3.4 * k, 58, 3.4, lines.at(k))).size(7).bold().center().named(QStringLiteral("cabecalho"));
        }
    }
    return def;
}

} // namespace CardReport
