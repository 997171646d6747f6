#include "scheduling/AgendaStore.h"
#include "db/MicrochipIndex.h"
#include "db/DataModule.h"
#include "db/Formats.h"
#include "db/Sql.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace Agenda {

namespace {

const QString kWeekColumns = QStringLiteral("select nrideano, nridesep, dtinisep, dtfimsep, dsidesep from semana_epidemiologica ");

QDate dateOf(const QVariant &v)
{
    return v.toDateTime().date();
}

QList<Week> readWeeks(QSqlQuery &q)
{
    QList<Week> out;
    while (q.next())
        out.append({q.value(0).toInt(), q.value(1).toInt(), dateOf(q.value(2)), dateOf(q.value(3)), Sql::text(q.value(4))});
    return out;
}

// The unit and status conditions the book and its summary share.
QString choices(const Filter &f, QVariantMap *p)
{
    QString s;
    if (f.unit.isValid() && !f.unit.isNull()) {
        s += QStringLiteral(" and a.Id_Unidade_Agendada = :unidade");
        p->insert(QStringLiteral("unidade"), f.unit);
    }
    if (f.status.isValid() && !f.status.isNull()) {
        s += QStringLiteral(" and a.Id_Atendimento_Status = :status");
        p->insert(QStringLiteral("status"), f.status);
    }
    return s;
}

QString period(const Range &r, QVariantMap *p)
{
    p->insert(QStringLiteral("de"), r.from);
    p->insert(QStringLiteral("ate"), r.to);
    return QStringLiteral(" and a.Data_Hora_Atendimento >= :de and a.Data_Hora_Atendimento < :ate");
}

std::optional<int> code(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

QString digits(const QString &text)
{
    QString d;
    for (const QChar ch : text)
        if (ch.isDigit())
            d += ch;
    return d;
}

} // namespace

QList<Week> weeksHolding(Connection &c, const QDate &day)
{
    QSqlQuery q = Sql::exec(c, kWeekColumns + QStringLiteral("where dtinisep <= :day and dtfimsep >= :day"),
                            {{QStringLiteral("day"), day}});
    return readWeeks(q);
}

std::optional<Week> weekOf(Connection &c, const QDate &day)
{
    const QList<Week> w = weeksHolding(c, day);
    return w.size() == 1 ? std::optional<Week>(w.first()) : std::nullopt;
}

QList<Week> weeksBetween(Connection &c, const QDate &from, const QDate &to)
{
    QSqlQuery q = Sql::exec(c, kWeekColumns + QStringLiteral("where dtfimsep >= :de and dtinisep <= :ate order by dtinisep"),
                            {{QStringLiteral("de"), from}, {QStringLiteral("ate"), to}});
    return readWeeks(q);
}

Range periodRange(const QDate &day, Period p)
{
    QDate start = day, next;
    switch (p) {
    case Period::Dia: next = day.addDays(1); break;
    case Period::Mes:
        start = QDate(day.year(), day.month(), 1);
        next = start.addMonths(1);
        break;
    case Period::Ano:
        start = QDate(day.year(), 1, 1);
        next = start.addYears(1);
        break;
    }
    return {QDateTime(start, QTime(0, 0)), QDateTime(next, QTime(0, 0))};
}

QString periodWord(Period p)
{
    switch (p) {
    case Period::Dia: return QStringLiteral("dia");
    case Period::Mes: return QStringLiteral("mês");
    case Period::Ano: return QStringLiteral("ano");
    }
    return {};
}

QList<PagedQueryModel::Column> gridColumns()
{
    auto col = [](const char *title, const char *expr, int width) {
        PagedQueryModel::Column c;
        c.title = QString::fromUtf8(title);
        c.expression = QString::fromLatin1(expr);
        c.width = width;
        return c;
    };
    return {col("Status do atendimento", "f.Nome", 130),   col("Cód. agendamento", "a.Id_Atendimento", 90),
            col("Proprietário", "b.Nome", 200),            col("Animal", "c.Nome", 140),
            col("Data e hora", "a.Data_Hora_Atendimento", 120), col("Sexo", "c.Sexo", 40),
            col("Espécie", "h.Nome", 90),                  col("Porte", "g.Descricao", 80),
            col("Unidade que agendou.", "d.Nome", 150),    col("Unida agendada.", "e.Nome", 150)};
}

QString gridSource()
{
    return QStringLiteral(
        "atendimento a "
        "left join proprietario b on (a.Id_Proprietario = b.Id_Proprietario) "
        "left join animal c on (a.Id_Animal = c.Id_Animal) "
        "left join unidade_trabalho d on (a.Id_Unidade_Trabalho = d.Id_Unidade_Trabalho) "
        "left join unidade_trabalho e on (a.Id_Unidade_Agendada = e.Id_Unidade_Trabalho) "
        "left join atendimento_status f on (a.Id_Atendimento_Status = f.Id_Atendimento_Status) "
        "left join porte g on (c.Id_Porte = g.Id_Porte) "
        "left join especie h on (c.Id_Especie = h.Id_Especie)");
}

QString gridCountSource()
{
    // An inner join counts the same rows: the condition wants the owner's
    // status "ATIVO", which an attendance without an owner never has.
    return QStringLiteral("atendimento a join proprietario b on (a.Id_Proprietario = b.Id_Proprietario)");
}

QString gridKey()
{
    return QStringLiteral("a.Id_Atendimento");
}

QString gridCondition(const Filter &f, const Range &r, QVariantMap *params)
{
    return QStringLiteral("b.Status_Registro = 'ATIVO'") + choices(f, params) + period(r, params);
}

QString gridConditionForKey(int idAtendimento, QVariantMap *params)
{
    params->insert(QStringLiteral("id"), idAtendimento);
    return QStringLiteral("a.Id_Atendimento = :id");
}

const QStringList &boardTimes()
{
    static const QStringList t{QStringLiteral("07:00"), QStringLiteral("07:30"), QStringLiteral("08:00"), QStringLiteral("08:30"),
                               QStringLiteral("09:00"), QStringLiteral("09:30"), QStringLiteral("10:00"), QStringLiteral("10:30"),
                               QStringLiteral("11:00"), QStringLiteral("11:30"), QStringLiteral("12:00"), QStringLiteral("12:30"),
                               QStringLiteral("13:00"), QStringLiteral("13:30"), QStringLiteral("14:00"), QStringLiteral("15:30"),
                               QStringLiteral("16:30"), QStringLiteral("17:00"), QStringLiteral("17:30"), QStringLiteral("18:00"),
                               QStringLiteral("18:30"), QStringLiteral("19:00"), QStringLiteral("19:30")};
    return t;
}

const QStringList &boardDayNames()
{
    static const QStringList d{QStringLiteral("Segunda"), QStringLiteral("Terça"), QStringLiteral("Quarta"),
                               QStringLiteral("Quinta"),  QStringLiteral("Sexta"), QStringLiteral("Sabado"),
                               QStringLiteral("Domingo")};
    return d;
}

int boardRow(const QTime &t)
{
    const QString hhmm = t.toString(QStringLiteral("HH:mm"));
    int row = -1;
    for (int i = 0; i < boardTimes().size(); ++i)
        if (boardTimes().at(i) <= hhmm)
            row = i;
    return row;
}

QStringList boardTitles(const QDate &first)
{
    // Monday to Sunday of the week holding `first`; a week starting on a
    // Sunday shows the six days after it and the next Sunday.
    const QDate monday = first.dayOfWeek() == Qt::Sunday ? first.addDays(1) : first.addDays(1 - first.dayOfWeek());
    QStringList out;
    for (int i = 0; i < 7; ++i)
        out << boardDayNames().at(i) + QLatin1Char(' ') + Formats::date(monday.addDays(i));
    return out;
}

Board readBoard(Connection &c, const Week &w, const Filter &f)
{
    Board b;
    b.titles = boardTitles(w.first);
    QVariantMap p;
    const QString sql = QStringLiteral("select a.Data_Hora_Atendimento from atendimento a where 1=1") + choices(f, &p)
                        + period({QDateTime(w.first, QTime(0, 0)), QDateTime(w.last.addDays(1), QTime(0, 0))}, &p);
    QSqlQuery q = Sql::exec(c, sql, p);
    while (q.next()) {
        ++b.weekTotal;
        const QDateTime t = q.value(0).toDateTime();
        const int day = t.date().dayOfWeek(); // Monday 1 .. Sunday 7
        const int row = boardRow(t.time());
        if (day >= 1 && day <= BoardDays && row >= 0)
            ++b.counts[row][day - 1];
    }
    return b;
}

QStringList searchCaptions()
{
    return {QStringLiteral("Nome Propriet."), QStringLiteral("Nome animal"), QStringLiteral("Código atendimento"),
            QStringLiteral("CPF/CNPJ"),       QStringLiteral("Identidade"),  QStringLiteral("Microchip"),
            QStringLiteral("Cód. Proprietário"), QStringLiteral("Cód. Animal"), QString()};
}

std::optional<OwnerSearch::Query> search(Connection &c, const QString &caption, const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    OwnerSearch::Query q;
    q.select = QStringLiteral(
        "select b.Nome as nome_proprietario, c.Nome as nome_animal, a.Id_Proprietario, a.Id_Animal, a.Id_Atendimento, "
        "b.Num_CPF_CNPJ, b.Num_CI, c.Num_Microchip "
        "from atendimento a "
        "left join proprietario b on (a.Id_Proprietario = b.Id_Proprietario) "
        "left join animal c on (a.Id_Animal = c.Id_Animal) "
        "where b.Status_Registro = 'ATIVO' and ");
    // Owners' names first, as the name indexes keep them: a common name's
    // first page is read from the index instead of sorting every match.
    q.orderBy = c.dialect().folded(QStringLiteral("b.Nome")) + QStringLiteral(", a.Id_Proprietario, a.Id_Atendimento");
    q.keyColumns = QStringLiteral("Id_Atendimento");
    QString cond;
    auto byCode = [&](const QString &column) -> bool {
        const auto v = code(text);
        if (!v)
            return false;
        cond = column + QStringLiteral(" = :v");
        q.params.insert(QStringLiteral("v"), *v);
        return true;
    };
    const int i = searchCaptions().indexOf(caption);
    switch (i) {
    case 0:
        cond = OwnerSearch::namePrefixCondition(c, QStringLiteral("b.Nome"), text, &q.params);
        break;
    case 1:
        cond = OwnerSearch::namePrefixCondition(c, QStringLiteral("c.Nome"), text, &q.params);
        break;
    case 2:
        if (!byCode(QStringLiteral("a.Id_Atendimento")))
            return std::nullopt;
        break;
    case 3:
    case 4: {
        const QString d = digits(text);
        if (d.isEmpty())
            return std::nullopt;
        cond = (i == 3 ? QStringLiteral("b.Num_CPF_CNPJ") : QStringLiteral("b.Num_CI")) + QStringLiteral(" = :v");
        q.params.insert(QStringLiteral("v"), d);
        break;
    }
    case 5: {
        QString chip = text;
        chip.remove(QLatin1Char(' '));
        if (MicrochipIndex::serves(c.dialect(), chip)) {
            cond = MicrochipIndex::condition(c.dialect(), QStringLiteral("a.Id_Animal"), QStringLiteral(":v"));
            q.params.insert(QStringLiteral("v"), MicrochipIndex::value(c.dialect(), chip));
            break;
        }
        const QString col = c.dialect().withoutBlanks(QStringLiteral("m.Num_Microchip"));
        cond = QStringLiteral("a.Id_Animal in (select m.Id_Animal from animal m where %1 > '' and %2)")
                   .arg(col, c.dialect().containsCondition(col, QStringLiteral(":v")));
        q.params.insert(QStringLiteral("v"), c.dialect().containsValue(chip));
        break;
    }
    case 6:
        if (!byCode(QStringLiteral("a.Id_Proprietario")))
            return std::nullopt;
        break;
    case 7:
        if (!byCode(QStringLiteral("a.Id_Animal")))
            return std::nullopt;
        break;
    default:
        return std::nullopt;
    }
    q.select += cond;
    return q;
}

QString summary(Connection &c, const QDate &day, Period p, const Filter &f)
{
    QStringList lines;
    switch (p) {
    case Period::Dia: lines << QStringLiteral("Dados dos dia ") + day.toString(QStringLiteral("dd/MM/yyyy")); break;
    case Period::Mes: lines << QStringLiteral("Dados do mês ") + day.toString(QStringLiteral("MM/yyyy")); break;
    case Period::Ano: lines << QStringLiteral("Dados anual :") + day.toString(QStringLiteral("yyyy")); break;
    }
    const Range r = periodRange(day, p);
    QVariantMap gp;
    const QString groups = QStringLiteral(
        "select a.Id_Unidade_Agendada, b.Nome as nome_unidade_agendada, a.Data_Hora_Atendimento, "
        "c.Nome as nome_atendimento_status, e.Nome as especie, d.Sexo, f.Descricao as porte, count(a.Id_Atendimento) as qt "
        "from atendimento a "
        "left join unidade_trabalho b on (a.Id_Unidade_Agendada = b.Id_Unidade_Trabalho) "
        "left join atendimento_status c on (a.Id_Atendimento_Status = c.Id_Atendimento_Status) "
        "left join animal d on (a.Id_Animal = d.Id_Animal) "
        "left join especie e on (d.Id_Especie = e.Id_Especie) "
        "left join porte f on (d.Id_Porte = f.Id_Porte) "
        "where 1=1") + choices(f, &gp) + period(r, &gp)
        + QStringLiteral(" group by a.Id_Unidade_Agendada, b.Nome, a.Data_Hora_Atendimento, e.Nome, d.Sexo, f.Descricao, c.Nome"
                         " order by a.Id_Unidade_Agendada, b.Nome, a.Data_Hora_Atendimento, e.Nome, d.Sexo, f.Descricao, c.Nome");
    // Read to the end before the per-unit statements: a connection carries
    // one unread result at a time on a T-SQL server.
    QList<QSqlRecord> rows;
    {
        QSqlQuery g = Sql::exec(c, groups, gp);
        while (g.next())
            rows << g.record();
    }
    QVariant unit;
    bool first = true;
    for (const QSqlRecord &g : std::as_const(rows)) {
        if (first || g.value(0) != unit) {
            first = false;
            unit = g.value(0);
            lines << QStringLiteral(" ") << QStringLiteral(" ");
            lines << QStringLiteral("___________________  ") + Sql::text(g.value(1)) + QStringLiteral("  ___________________");
            QVariantMap sp;
            Filter one = f;
            one.unit = unit;
            QSqlQuery s = Sql::exec(c,
                                    QStringLiteral("select f.Nome, count(*) as qt from ") + gridSource()
                                        + QStringLiteral(" where b.Status_Registro = 'ATIVO'") + choices(one, &sp) + period(r, &sp)
                                        + QStringLiteral(" group by f.Nome order by f.Nome"),
                                    sp);
            while (s.next())
                if (!Sql::text(s.value(0)).isEmpty())
                    lines << Sql::text(s.value(0)) + QStringLiteral(" : ") + s.value(1).toString();
            lines << QStringLiteral("Detalhes:");
        }
        lines << Formats::dateTime(g.value(2).toDateTime()) + QLatin1Char(' ') + Sql::text(g.value(3)) + QStringLiteral(", ")
                     + Sql::text(g.value(4)) + QStringLiteral(", ") + Sql::text(g.value(5)) + QStringLiteral(", ")
                     + Sql::text(g.value(6)) + QStringLiteral(" : ") + g.value(7).toString();
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace Agenda
