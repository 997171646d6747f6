#include "reports/RelReceituario.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/ServerClock.h"
#include "db/Sql.h"
#include "reports/engine/ReportData.h"
#include "reports/engine/Reports.h"
#include "ui/Services.h"

#include <QSqlQuery>

namespace RelReceituario {

namespace {

QString idText(const QVariant &v)
{
    return v.isValid() && !v.isNull() ? Sql::text(v) : QString();
}

} // namespace

ReportDefinition definition(const ReceituarioData &d, const QString &unitName, const QDateTime &serverTime)
{
    ReportDefinition def;
    def.title = QStringLiteral("Receituário");
    const double w = def.contentWidth();

    ReportBand &t = def.band(BandKind::Title, 38);
    t.add(Items::label(0, 0, 45, 3.5, Formats::dateTime(serverTime))).size(7).named(QStringLiteral("data_hora"));
    t.add(Items::label(46, 0, w - 92, 7, Reports::productTitle())).size(14).bold().center().named(QStringLiteral("produto"));
    t.add(Items::label(w - 45, 0, 45, 3.5, QStringLiteral("REL001"))).size(7).right().named(QStringLiteral("codigo"));
    t.add(Items::label(0, 8, w, 5, QStringLiteral("Receituário"))).size(10).bold().center().named(QStringLiteral("titulo"));
    t.add(Items::label(0, 13.5, w, 5, unitName)).size(10).center().named(QStringLiteral("unidade"));
    t.add(Items::hline(0, 19.5, w));
    const QString when = d.dataHoraAtendimento.isValid() ? Formats::dateTime(d.dataHoraAtendimento) : QString();
    t.add(Items::label(0, 22, w, 4, QStringLiteral("Atendimento nº: ") + idText(d.idAtendimento) + QStringLiteral("     ")
                                        + QStringLiteral("Data/Hora atend.:") + when))
        .size(9)
        .named(QStringLiteral("atendimento"));
    t.add(Items::label(0, 26.5, w, 4, QStringLiteral("Proprietário : ") + idText(d.idProprietario) + QStringLiteral(" - ")
                                          + d.nomeProprietario))
        .size(9)
        .named(QStringLiteral("proprietario"));
    t.add(Items::label(0, 31, w, 4, QStringLiteral("Animal: ") + idText(d.idAnimal) + QStringLiteral(" - ") + d.nomeAnimal))
        .size(9)
        .named(QStringLiteral("animal"));

    // One detail row per line of the text: a long line wraps within its row
    // and the rows continue on the next page, so nothing is ever cut off.
    QList<QList<QVariant>> lines;
    QString text = d.texto;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString &line : text.split(QLatin1Char('\n')))
        lines.append({line});
    def.data = [lines] { return std::make_unique<RowListDataSource>(QStringList{QStringLiteral("linha")}, lines); };
    ReportBand &body = def.band(BandKind::Detail, 4.6);
    body.add(Items::field(0, 0, w, 4.6, QStringLiteral("linha"))).size(10).wrapping().named(QStringLiteral("texto"));
    return def;
}

bool open(const ReceituarioData &d, QWidget *parent, Connection *c)
{
    Connection &conn = c ? *c : mainConnection();
    ReportDefinition def;
    try {
        const QVariant unit = Sql::scalar(conn, QStringLiteral("select nome from unidade_trabalho where id_unidade_trabalho = :u"),
                                          {{QStringLiteral("u"), d.idUnidadeAgendada}});
        def = definition(d, Sql::text(unit), serverNow(conn));
    } catch (const DbError &e) {
        Services::messages().error(e.text(), parent);
        return false;
    }
    return Reports::open(def, parent);
}

ReceituarioData fromAttendance(Connection &c, const QVariant &idAtendimento)
{
    ReceituarioData d;
    QSqlQuery q = Sql::exec(c, QStringLiteral("select a.Id_Atendimento, a.Data_Hora_Atendimento, a.Id_Unidade_Agendada, "
                                              "a.Id_Proprietario, p.Nome, a.Id_Animal, n.Nome "
                                              "from atendimento a "
                                              "left join proprietario p on (p.Id_Proprietario = a.Id_Proprietario) "
                                              "left join animal n on (n.Id_Animal = a.Id_Animal) "
                                              "where a.Id_Atendimento = :a"),
                            {{QStringLiteral("a"), idAtendimento}});
    if (!q.next())
        return d;
    d.idAtendimento = q.value(0);
    QDateTime when = q.value(1).toDateTime();
    if (!when.isValid())
        when = QDateTime::fromString(Sql::text(q.value(1)), Qt::ISODate);
    d.dataHoraAtendimento = when;
    d.idUnidadeAgendada = q.value(2);
    d.idProprietario = q.value(3);
    d.nomeProprietario = Sql::text(q.value(4));
    d.idAnimal = q.value(5);
    d.nomeAnimal = Sql::text(q.value(6));
    return d;
}

} // namespace RelReceituario
