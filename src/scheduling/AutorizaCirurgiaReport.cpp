#include "scheduling/AutorizaCirurgiaReport.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/ServerClock.h"
#include "db/Sql.h"
#include "reports/engine/ReportFonts.h"
#include "reports/engine/Reports.h"
#include "ui/Services.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace AutorizaCirurgiaReport {

namespace {

const QString kDeclaration = QStringLiteral(
    "Declaro que todas as informações prestadas acima são verdadeiras e autorizo a internação por 3 horas do animal "
    "identificado para que seja realizada a cirurgia de:");

// Labels of the identification lines; lines 3, 6 and 7 carry their own.
const QStringList kLabels{QStringLiteral("Atendimento:"), QStringLiteral("Prop.:"), QString(),
                          QStringLiteral("Endereço prop.:"), QStringLiteral("Animal:"), QString(), QString()};

QString orUnspecified(const QString &prefix, const QString &value, const QString &missing)
{
    return value.isEmpty() ? missing : prefix + value;
}

} // namespace

QString telephoneLine(const QString &residencial, const QString &celular, const QString &recado)
{
    // The home number is never preceded by a comma, the other two always
    // are: a list without the home telephone starts with ", ".
    QString list;
    const QStringList phones{residencial.trimmed(), celular.trimmed(), recado.trimmed()};
    for (int i = 0; i < phones.size(); ++i)
        if (phones.at(i).size() > 10)
            list += (i == 0 ? QString() : QStringLiteral(", ")) + phones.at(i);
    return list.isEmpty() ? QStringLiteral("Tel.: NÃO INFORMADO.") : QStringLiteral("Tel.:") + list;
}

QString surgeryParagraph(int idAtendimento, const QList<QPair<QString, QString>> &surgeries)
{
    if (idAtendimento <= 0)
        return kDeclaration + QStringLiteral(" ?????????????" "!");
    if (surgeries.isEmpty())
        return QStringLiteral("Procedimento não expecificado!");
    if (surgeries.size() == 1)
        return kDeclaration + surgeries.first().first + QLatin1Char('.') + surgeries.first().second;
    QString s = kDeclaration;
    for (const auto &p : surgeries)
        s += QStringLiteral(",( ") + p.first + QLatin1Char('.') + p.second + QLatin1Char(')');
    return s;
}

Data read(Connection &c, int idAtendimento)
{
    Data d;
    d.idAtendimento = idAtendimento;
    d.printedAt = serverNow(c);
    for (int i = 0; i < 7; ++i)
        d.identification << QString();
    if (idAtendimento <= 0)
        return d;
    // Only the owner (active) and the animal are required: a missing
    // address, group, breed or size leaves its part empty, not the form.
    QSqlQuery q = Sql::exec(
        c,
        QStringLiteral(
            "select a.Id_Atendimento, a.Id_Proprietario, a.Id_Animal, a.Data_Hora_Atendimento, b.Nome as nomeProprietario, "
            "c.Nome as nomeAnimal, i.Nome as nomeEspecie, j.Nome as nomeRaca, h.Nome as nomeGrupo_animal, c.Sexo, "
            "c.Data_Nascimento, l.Descricao as nomePorte, p.Descricao as nomePelo, c.Cor, c.Sinais, "
            "b.Telefone_Residencial, b.Telefone_Celular, b.Telefone_Recado, b.Num_CPF_CNPJ, b.Num_CI, "
            "m.TIP_LOGR, m.NOM_LOGR, m.NUM_IMOV_LOGR, m.DES_CMPL_ENDR, m.NOM_BAIR, m.NUM_CEP "
            "from atendimento a "
            "inner join proprietario b on (a.Id_Proprietario = b.Id_Proprietario) "
            "inner join animal c on (a.Id_Animal = c.Id_Animal) "
            "left join grupo_animal h on (c.Id_Grupo_Animal = h.Id_Grupo_Animal) "
            "left join especie i on (c.Id_Especie = i.Id_Especie) "
            "left join raca j on (c.Id_Raca = j.Id_Raca) "
            "left join porte l on (c.Id_Porte = l.Id_Porte) "
            "left join pelo p on (c.Id_Pelo = p.Id_Pelo) "
            "left join endereco m on (b.Id_Endereco = m.Id_Endereco) "
            "where b.Status_Registro = 'ATIVO' and a.Id_Atendimento = :id"),
        {{QStringLiteral("id"), idAtendimento}});
    if (q.next()) {
        d.found = true;
        auto t = [&](const char *col) { return Sql::text(q.record().value(QString::fromLatin1(col))); };
        const QDateTime when = q.record().value(QStringLiteral("Data_Hora_Atendimento")).toDateTime();
        const QVariant birth = q.record().value(QStringLiteral("Data_Nascimento"));
        QString l2 = t("Id_Proprietario") + QLatin1Char('-') + t("nomeProprietario");
        if (!t("Num_CPF_CNPJ").isEmpty())
            l2 += QStringLiteral(", CPF/CNPJ: ") + t("Num_CPF_CNPJ");
        if (!t("Num_CI").isEmpty())
            l2 += QStringLiteral(" CI: ") + t("Num_CI");
        QString l4;
        if (!t("NOM_LOGR").isEmpty()) {
            l4 = t("TIP_LOGR") + QLatin1Char(' ') + t("NOM_LOGR") + QStringLiteral(", ") + t("NUM_IMOV_LOGR");
            if (!t("DES_CMPL_ENDR").isEmpty())
                l4 += QStringLiteral(", ") + t("DES_CMPL_ENDR");
            if (!t("NUM_CEP").isEmpty())
                l4 += QStringLiteral(", CEP:") + t("NUM_CEP");
            if (!t("NOM_BAIR").isEmpty())
                l4 += QStringLiteral(", Bairro:") + t("NOM_BAIR");
        }
        const QString nasc = birth.isNull() || !birth.toDateTime().isValid() ? QString() : Formats::date(birth.toDateTime().date());
        const QString none = QStringLiteral(" (Não especificado) ");
        d.identification = {
            t("Id_Atendimento") + QStringLiteral(" Data/hora do atendimento: ") + (when.isValid() ? Formats::dateTime(when) : QString()),
            l2,
            telephoneLine(t("Telefone_Residencial"), t("Telefone_Celular"), t("Telefone_Recado")),
            l4,
            t("Id_Animal") + QLatin1Char('-') + t("nomeAnimal") + QStringLiteral(" , Grupo:") + t("nomeGrupo_animal")
                + QStringLiteral(", Raça:") + t("nomeRaca") + QStringLiteral(", Data nasc.:") + nasc,
            orUnspecified(QStringLiteral("Espécie:"), t("nomeEspecie"), QStringLiteral("Espécie:") + none)
                + orUnspecified(QStringLiteral(" , Sexo:"), t("Sexo"), QStringLiteral(" , Sexo:") + none)
                + orUnspecified(QStringLiteral(", Porte:"), t("nomePorte"), QStringLiteral(", Porte:") + none)
                + orUnspecified(QStringLiteral(", Pelo:"), t("nomePelo"), QStringLiteral(", Pelo:") + none)
                + orUnspecified(QStringLiteral(", Sinais: "), t("Sinais"), QStringLiteral(", Sinais:") + none),
            t("Cor").isEmpty() ? QStringLiteral("Cor não informada.") : QStringLiteral("Cor: ") + t("Cor")};
    }
    // One row is read; the connection is freed for the next statement.
    q.finish();
    QSqlQuery s = Sql::exec(c,
                            QStringLiteral("select b.Nome, b.Descricao from procedimento a "
                                           "inner join tipo_procedimento b on (a.Id_Tipo_Procedimento = b.Id_Tipo_Procedimento) "
                                           "where a.Id_Atendimento = :id order by a.Id_Procedimento"),
                            {{QStringLiteral("id"), idAtendimento}});
    while (s.next())
        d.surgeries.append({Sql::text(s.value(0)), Sql::text(s.value(1))});
    return d;
}

ReportDefinition definition(const Data &d)
{
    ReportDefinition def;
    def.title = QStringLiteral("Autorização de cirurgia");
    def.paper = QPageSize::A4;
    def.orientation = QPageLayout::Portrait;
    def.margins = QMarginsF(12, 10, 12, 10);
    const double w = def.contentWidth();
    ReportBand &b = def.band(BandKind::Title, 260);
    double y = 0;
    // Each block is given the height its wrapped lines need, so that the
    // blocks below keep their places and the blank lines between them.
    auto line = [&](const QString &text, double h = 4.2, double pt = 8.5) -> ReportItem & {
        ReportFont f;
        f.pointSize = pt;
        const double need = ReportFonts::wrap(f, text, w).size() * ReportFonts::lineHeight(f);
        ReportItem &i = b.add(Items::label(0, y, w, qMax(h, need), text)).size(pt).wrapping();
        y += qMax(h, need);
        return i;
    };
    const QString rule(104, QLatin1Char('_'));

    b.add(Items::label(0, y, 60, 4, Formats::dateTime(d.printedAt))).size(8).named(QStringLiteral("data_hora"));
    b.add(Items::label(w - 40, y, 40, 4, QStringLiteral("Rel:0053"))).size(8).right().named(QStringLiteral("codigo"));
    y += 5;
    line(QStringLiteral("CADASTRO E TERMO DE AUTORIZAÇÃO DE CASTRAÇÃO DE ANIMAIS"), 6, 11).bold().center().named(QStringLiteral("titulo"));
    line(QStringLiteral("KELDA"), 5, 9).center();
    b.add(Items::hline(0, y + 0.5, w));
    y += 2.5;

    for (int i = 0; i < 7; ++i) {
        const QString label = kLabels.at(i);
        if (!label.isEmpty()) {
            b.add(Items::label(0, y, 28, 4.4, label)).size(8.5).bold();
            b.add(Items::label(28, y, w - 28, 4.4, d.identification.value(i))).size(8.5).wrapping()
                .named(QStringLiteral("linha%1").arg(i + 1));
        } else {
            b.add(Items::label(0, y, w, 4.4, d.identification.value(i))).size(8.5).wrapping().named(QStringLiteral("linha%1").arg(i + 1));
        }
        y += 4.6;
    }
    line(rule, 5);

    const QList<QPair<QString, QString>> questions{
        {QStringLiteral("O animal está sob algum tratamento?"), QStringLiteral("QUAL? _____________________________________________")},
        {QStringLiteral("O animal possui alguma doença crônica?"), QStringLiteral("QUAL? ___________________________________________")},
        {QStringLiteral("O animal tomou algum medicamento nos últimos 15 dias?"), QStringLiteral("QUAL? ______________________________")},
        {QStringLiteral("Se fêmea, data último cio: ____________data último parto_____________, presença de corrimento? "), {}},
        {QStringLiteral("O animal esteve ou está com infestação de pulgas e/ou carrapatos?"), {}},
        {QStringLiteral("O animal está apático?"), {}},
        {QStringLiteral("Está com apetite normal?"), {}},
        {QStringLiteral("O animal vomitou ou teve diarréia nos últimos 10 dias?"), {}},
        {QStringLiteral("O animal já foi anestesiado alguma vez? "), {}},
        {QStringLiteral("O animal já fez alguma cirurgia?"), QStringLiteral("QUAL? __________________________________________________")}};
    const double qx = w * 0.58;
    for (const auto &q : questions) {
        ReportFont qf;
        qf.pointSize = 7.5;
        const double qh = qMax(4.5, ReportFonts::wrap(qf, q.first, qx - 2).size() * ReportFonts::lineHeight(qf));
        b.add(Items::label(0, y + 0.5, qx - 2, qh, q.first)).size(7.5).wrapping();
        b.add(Items::box(qx, y + 0.8, 3.5, 3.5));
        b.add(Items::label(qx + 4.5, y + 0.5, 8, 4.5, QStringLiteral("SIM"))).size(8);
        b.add(Items::box(qx + 13, y + 0.8, 3.5, 3.5));
        b.add(Items::label(qx + 17.5, y + 0.5, 8, 4.5, QStringLiteral("Não"))).size(8);
        if (!q.second.isEmpty())
            b.add(Items::label(qx + 25, y + 0.5, w - qx - 25, 4.5, q.second)).size(6);
        y += qh + 1.1;
    }
    y += 1;
    line(QStringLiteral("Observações relevantes:") + QString(86, QLatin1Char('_')), 5);
    line(rule, 6);
    y += 2;
    line(surgeryParagraph(d.idAtendimento, d.surgeries), 4.4, 8.5).named(QStringLiteral("cirurgia"));
    y += 2;
    const QStringList conditions{
        QStringLiteral("Declaro ainda que o animal está em jejum hídrico e alimentar, de acordo com as orientações recebidas."),
        QStringLiteral("Estou ciente de que, por se tratar de um programa de castração em massa, não são oferecidas consultas nem exames "
                       "pré-operatórios, mas apenas uma triagem clínica de alcance diagnóstico limitado, e que problemas de saúde não "
                       "diagnosticados e/ou não relatados podem representar risco adicional ao procedimento cirúrgico."),
        QStringLiteral("Estou ciente de que meu animal será submetido a anestesia geral e dos riscos inerentes a esta, assim como ao próprio "
                       "procedimento cirúrgico. Portanto, autorizo o(a) veterinário(a) a adotar todos os procedimentos necessários caso haja "
                       "alguma emergência."),
        QStringLiteral("Estou ciente da obrigatoriedade da retirada do animal após alta médica e dos cuidados pós-operatórios (medicação, uso "
                       "do colar elizabetano, limpeza da ferida), que serão de minha inteira responsabilidade. Caso não siga corretamente as "
                       "determinações médico-veterinárias, serei unicamente o responsável pelas intercorrências que porventura vierem a "
                       "acontecer.")};
    for (const QString &c : conditions) {
        line(c, 4.2, 8.5);
        y += ReportFonts::lineHeight(ReportFont{}); // the empty line between paragraphs
    }
    y += 4;
    const double sx = w * 0.30;
    b.add(Items::label(sx, y, w - sx, 5, QStringLiteral("Vessaro,_____de_____________________________de_________"))).size(9);
    y += 5 + 3 * 4.5;
    b.add(Items::label(sx, y, w - sx, 5, QStringLiteral("_________________________________________________"))).size(9);
    y += 5 + 4.5;
    b.add(Items::label(sx, y, w - sx, 5, QStringLiteral("Assinatura do proprietário ou responsável pelo animal"))).size(9);
    b.height = y + 6;
    return def;
}

bool open(Connection &c, int idAtendimento, QWidget *parent)
{
    try {
        return Reports::openOrThrow(definition(read(c, idAtendimento)), parent);
    } catch (const DbError &e) {
        Services::messages().error(e.text(), parent);
        return false;
    }
}

} // namespace AutorizaCirurgiaReport
