// zapo-bench DATABASE [--runs N] [--only TEXT] [--no-city-reports]   (TEXT: part of the operations' names)
// zapo-bench --dbase [DATABASE]                  (the dBASE exports: bench/DbaseBench.cpp)
// zapo-bench --extract DATABASE [--statement]      (049, 060 and 045: bench/ExtractBench.cpp; --statement prints the export table's fill)
// zapo-bench --registry-exports DATABASE         (the exports of 024 and 022: bench/RegistryExportBench.cpp)
//
// Times what a clerk waits for on a big city, through the program's own
// code, each beside the same statements sent straight through QSqlQuery, so
// that the ratio shows what the program adds. Prints a Markdown table of
// medians over N warm runs (the first runs only warm the caches).
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "access/AccessScreens.h"
#include "ui/SearchResultModel.h"
#include "scheduling/AgendaStore.h"
#include "registry/AnimalSearch.h"
#include "registry/OwnerStore.h"
#include "registry/RegistroOcorrenciaScreen.h"
#include "reports/TransferReport.h"
#include "reports/agenda/AgendaReports.h"
#include "reports/animals/AnimalReports.h"
#include <limits>
#include <sys/resource.h>
#include "registry/PropAnimalScreen.h"
#include "scheduling/AgendamentoEspecialPanel.h"
#include "scheduling/AtendimentoParticularScreen.h"
#include "scheduling/MapaDisponibilidadeInformacaoScreen.h"
#include "scheduling/MapaDisponibilidadeScreen.h"
#include "scheduling/SlotStore.h"
#include "ui/PagedPicker.h"
#include "reports/ListLayout.h"
#include "reports/engine/Composer.h"
#include "reports/engine/ReportData.h"
#include "ui/Services.h"
#include "ui/register/PagedQueryModel.h"
#include "ui/register/RegisterScreen.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QLineEdit>
#include <QTableView>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <functional>

namespace {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

// Nothing may wait for a click here: messages go to the standard error.
class PrintedMessages : public Messages {
public:
    void information(const QString &t, QWidget *) override { QTextStream(stderr) << "info: " << t << Qt::endl; }
    void warning(const QString &t, QWidget *) override { QTextStream(stderr) << "warning: " << t << Qt::endl; }
    void error(const QString &t, QWidget *) override { QTextStream(stderr) << "error: " << t << Qt::endl; }
    bool confirm(const QString &t, QWidget *) override
    {
        QTextStream(stderr) << "confirm (no): " << t << Qt::endl;
        return false;
    }
};

// The statements alone: prepare, bind, execute, read every value.
int bare(Connection &c, const QString &sql, const QVariantMap &params = {})
{
    QSqlQuery q(c.db());
    q.setForwardOnly(true);
    bool ok;
    if (params.isEmpty()) {
        ok = q.exec(sql);
    } else {
        if (!q.prepare(sql))
            throw DbError::from(q.lastError(), sql);
        for (auto it = params.cbegin(); it != params.cend(); ++it) {
            QVariant v = it.value();
            if (v.typeId() == QMetaType::QDate)
                v = QDateTime(v.toDate(), QTime(0, 0));
            q.bindValue(it.key().startsWith(QLatin1Char(':')) ? it.key() : QLatin1Char(':') + it.key(), v);
        }
        ok = q.exec();
    }
    if (!ok)
        throw DbError::from(q.lastError(), sql);
    int rows = 0;
    const int cols = q.record().count();
    while (q.next()) {
        for (int i = 0; i < cols; ++i)
            (void)q.value(i);
        ++rows;
    }
    return rows;
}

// Lets the queued results of background work arrive until `done`.
void waitFor(const std::function<bool()> &done)
{
    while (!done()) {
        QCoreApplication::processEvents();
        QThread::usleep(200);
    }
}

double medianMs(const std::function<void(int run)> &f, int runs, int warmups = 2)
{
    for (int i = 0; i < warmups; ++i)
        f(i);
    QList<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer e;
        e.start();
        f(i + warmups);
        t << e.nsecsElapsed() / 1e6;
    }
    std::sort(t.begin(), t.end());
    return t.size() % 2 ? t.at(t.size() / 2) : (t.at(t.size() / 2 - 1) + t.at(t.size() / 2)) / 2;
}

struct Row {
    QString name;
    double program = 0, engine = 0;
};

QList<SearchResultModel::Column> searchColumns()
{
    return {{QStringLiteral("Código"), QStringLiteral("Id_Proprietario")}, {QStringLiteral("Nome"), QStringLiteral("Nome")},
            {QStringLiteral("CPF/CNPJ"), QStringLiteral("Num_CPF_CNPJ")}, {QStringLiteral("Animal"), QStringLiteral("nome_animal")},
            {QStringLiteral("Microchip"), QStringLiteral("Num_Microchip")}, {QStringLiteral("Endereço"), QString()}};
}

PagedQueryModel::Column column(const QString &title, const QString &expression)
{
    PagedQueryModel::Column c;
    c.title = title;
    c.expression = expression;
    return c;
}

} // namespace

// bench/DbaseBench.cpp
int dbaseBench(const QStringList &args);
// bench/ExtractBench.cpp
int extractBench(const QStringList &args);
// bench/RegistryExportBench.cpp
int registryExportBench(const QStringList &args);

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.contains(QStringLiteral("--dbase")))
        return dbaseBench(args);
    if (args.contains(QStringLiteral("--extract")))
        return extractBench(args);
    if (args.contains(QStringLiteral("--registry-exports")))
        return registryExportBench(args);
    if (args.size() < 2 || args.at(1).startsWith(QLatin1String("--"))) {
        QTextStream(stderr) << "usage: zapo-bench DATABASE [--runs N] [--only TEXT] [--no-city-reports]\n"
                               "       zapo-bench --dbase [DATABASE] | --extract DATABASE | --registry-exports DATABASE\n";
        return 2;
    }
    const qsizetype ri = args.indexOf(QStringLiteral("--runs"));
    const int runs = ri > 0 && ri + 1 < args.size() ? qMax(1, args.at(ri + 1).toInt()) : 9;
    const qsizetype oi = args.indexOf(QStringLiteral("--only"));
    const QString only = oi > 0 && oi + 1 < args.size() ? args.at(oi + 1) : QString();
    // The whole-city reports take minutes at a million owners: leaving them
    // out measures the interactive table alone.
    const bool cityReports = !args.contains(QStringLiteral("--no-city-reports"));
    PrintedMessages messages;
    Services::setMessages(&messages);

    try {
        DataModule dm(DatabaseSpec::parse(args.at(1)));
        Connection &c = dm.main();
        TUsuarioLogado &u = usuarioLogado();
        u.IdUsuario = QStringLiteral("1");
        u.IdPerfil = QStringLiteral("1000");
        u.IdUnidadeTrabalho = QStringLiteral("1");
        u.NomeUsuario = QStringLiteral("BENCH");

        const int owners = Sql::scalar(c, QStringLiteral("select count(*) from proprietario")).toInt();
        const int animals = Sql::scalar(c, QStringLiteral("select count(*) from animal")).toInt();
        const int appointments = Sql::scalar(c, QStringLiteral("select count(*) from atendimento")).toInt();
        const int addresses = Sql::scalar(c, QStringLiteral("select count(*) from endereco")).toInt();
        out() << "Database: " << dm.spec().display() << " (" << dm.dialect().name() << "): " << owners << " owners, " << animals
              << " animals, " << appointments << " appointments, " << addresses << " addresses; median of " << runs
              << " warm runs\n\n";

        QList<Row> rows;
        // The program's runs record the statements they send; by default the
        // engine's runs replay exactly those.
        using Statement = QPair<QString, QVariantMap>;
        QHash<int, QList<Statement>> sent;
        int warmups = 2; // runs before the measured ones
        auto measure = [&](const QString &name, const std::function<void(int)> &program,
                           std::function<void(int)> engine = {}) {
            if (!only.isEmpty() && !name.contains(only, Qt::CaseInsensitive))
                return;
            sent.clear();
            auto recorded = [&](int run) {
                QList<Statement> &list = sent[run];
                list.clear();
                Sql::setObserver([&list](const QString &sql, const QVariantMap &p) { list.append({sql, p}); });
                program(run);
                Sql::setObserver({});
            };
            if (!engine)
                engine = [&](int run) {
                    for (const Statement &st : sent.value(run))
                        bare(c, st.first, st.second);
                };
            Row r;
            r.name = name;
            r.program = medianMs(recorded, runs, warmups);
            r.engine = medianMs(engine, runs, warmups);
            int statements = 0;
            for (const auto &l : std::as_const(sent))
                statements = qMax(statements, int(l.size()));
            rows << r;
            if (qEnvironmentVariableIsSet("ZAPO_BENCH_VERBOSE"))
                for (const Statement &st : sent.value(2))
                    QTextStream(stderr) << "    " << st.first << Qt::endl;
            QTextStream(stderr) << name << ": " << r.program << " ms / " << r.engine << " ms (" << statements << " statements)" << Qt::endl;
        };

        // --- Owner consultation ------------------------------------------------
        auto consultation = [&](const QString &name, OwnerSearch::Field field, const QString &typed) {
            const auto q = OwnerSearch::consultation(c, field, typed);
            if (!q)
                throw DbError(QStringLiteral("no query for ") + typed);
            SearchResultModel model(searchColumns());
            measure(
                name, [&](int) {
                    model.setQuery(c, q);
                    (void)model.data(model.index(0, 1), Qt::DisplayRole);
                },
                {});
            // The clerk reads the first page meanwhile; the exact total is
            // counted on another connection (its "engine alone" is the count
            // statement on the main connection).
            if (name.contains(QStringLiteral("maria")))
                measure(
                    name + QStringLiteral(": exact total shown (counted in the background)"),
                    [&](int) {
                        model.setQuery(c, q);
                        waitFor([&] { return model.totalExact(); });
                    },
                    [&](int) { bare(c, QStringLiteral("select count(*) from (%1) x").arg(q->select), q->params); });
        };
        consultation(QStringLiteral("Owner search, name prefix \"maria\" (common)"), OwnerSearch::Field::NomeProp, QStringLiteral("maria"));
        consultation(QStringLiteral("Owner search, name prefix \"JOSE DA S\" (accents ignored)"), OwnerSearch::Field::NomeProp,
                     QStringLiteral("JOSE DA S"));
        const QString cpf = Sql::text(Sql::scalar(c, QStringLiteral("select Num_CPF_CNPJ from proprietario where Id_Proprietario = :i"),
                                                  {{QStringLiteral("i"), owners / 2}}));
        consultation(QStringLiteral("Owner search, tax number"), OwnerSearch::Field::CpfCnpj,
                     cpf.left(3) + QLatin1Char('.') + cpf.mid(3, 3) + QLatin1Char('.') + cpf.mid(6, 3) + QLatin1Char('-') + cpf.mid(9));
        QString chip;
        {
            QSqlQuery q = Sql::exec(c, QStringLiteral("select Num_Microchip from animal where Id_Animal > :i and Num_Microchip like '% %' "
                                                      "order by Id_Animal"),
                                    {{QStringLiteral("i"), animals / 2}});
            if (q.next())
                chip = Sql::text(q.value(0)).remove(QLatin1Char(' '));
        }
        if (!chip.isEmpty())
            consultation(QStringLiteral("Animal search, microchip typed without its blanks"), OwnerSearch::Field::Microchip, chip);

        // --- Screen 006 loading an owner ------------------------------------------
        QList<int> ownerIds;
        {
            QSqlQuery q = Sql::exec(c, QStringLiteral("select p.Id_Proprietario from proprietario p where p.Id_Proprietario > :i "
                                                      "and p.Status_Registro = 'ATIVO' and exists (select 1 from animal a where "
                                                      "a.Id_Proprietario = p.Id_Proprietario) order by p.Id_Proprietario"),
                                    {{QStringLiteral("i"), owners / 3}});
            while (ownerIds.size() < 40 && q.next())
                ownerIds << q.value(0).toInt();
        }
        if (!ownerIds.isEmpty()) {
            PropAnimalScreen screen;
            screen.resize(1000, 700);
            screen.show();
            QApplication::processEvents();
            measure(
                QStringLiteral("Screen 006: load an owner (loadOwner)"),
                [&](int run) {
                    screen.loadOwner(ownerIds.at(run % ownerIds.size()), 0);
                    QApplication::processEvents();
                },
                {});
            screen.close();
        }

        // --- Screen 008: opening on every owner, then choosing one ---------------
        if (!ownerIds.isEmpty()) {
            measure(
                QStringLiteral("Screen 008: open (owner picker over every owner)"),
                [&](int) {
                    AtendimentoParticularScreen screen;
                    screen.show();
                    QApplication::processEvents();
                },
                {});
            QStringList names;
            for (int id : std::as_const(ownerIds))
                names << Sql::text(Sql::scalar(c, QStringLiteral("select Nome from proprietario where Id_Proprietario = :i"),
                                               {{QStringLiteral("i"), id}}));
            AtendimentoParticularScreen screen;
            screen.show();
            QApplication::processEvents();
            // Typing the whole name: the picker finds its place, then the
            // owner's animals and the first animal's attendances are read.
            measure(
                QStringLiteral("Screen 008: choose an owner by typing its name"),
                [&](int run) {
                    screen.ownerPicker()->findText(names.at(run % names.size()));
                    QApplication::processEvents();
                },
                {});
            // The row number the name falls on (the names before it) is
            // counted on another connection while the clerk goes on; the
            // list scrolls there when it arrives.
            measure(
                QStringLiteral("Screen 008: typed name, its row in the list known (background)"),
                [&](int run) {
                    PagedPicker *picker = screen.ownerPicker();
                    picker->findText(names.at((run + 7) % names.size()));
                    waitFor([&] { return !picker->placing(); });
                },
                {});
            screen.close();
        }

        // --- Saving a new owner: the checks against every other owner -------------
        {
            OwnerStore store(c);
            OwnerEdit e;
            e.owner.Nome = QStringLiteral("CLARA NUNES DE TESTE");
            e.owner.Tipo_Pessoa = QStringLiteral("FÍSICA");
            e.owner.Num_CPF_CNPJ = QStringLiteral("52998224725");
            e.owner.Email_Proprietario = QStringLiteral("Clara.Nunes.Teste@Exemplo.com.br");
            measure(
                QStringLiteral("Screen 006, new owner: tax number and e-mail checks"),
                [&](int) {
                    (void)store.ownerSharingBaseNumber(e.owner.Num_CPF_CNPJ);
                    (void)store.activeOwnerNamed(e.owner.Nome);
                    (void)store.checkDuplicates(e, true);
                },
                {});
        }

        // --- A register's list ("Geral"), first page ------------------------------
        auto grid = [&](const QString &name, const QString &source, const QList<PagedQueryModel::Column> &cols, const QString &key) {
            PagedQueryModel model;
            model.setConnection(&c);
            model.setSource(source, cols, key);
            model.setBackgroundCount(true); // as the register screens have it
            measure(
                name, [&](int) {
                    model.reload();
                    (void)model.data(model.index(0, 0), Qt::DisplayRole);
                },
                {});
            measure(
                name + QStringLiteral(": exact total (counted in the background)"),
                [&](int) {
                    model.reload();
                    waitFor([&] { return model.countExact(); });
                },
                [&](int) { bare(c, QStringLiteral("select count(*) from ") + source); });
        };
        grid(QStringLiteral("List of animals, first page (PagedQueryModel)"), QStringLiteral("animal a"),
             {column(QStringLiteral("Nome"), QStringLiteral("a.Nome")), column(QStringLiteral("Microchip"), QStringLiteral("a.Num_Microchip")),
              column(QStringLiteral("Sexo"), QStringLiteral("a.Sexo")), column(QStringLiteral("Esterilizado"), QStringLiteral("a.Esterilizado")),
              column(QStringLiteral("Proprietário"), QStringLiteral("a.Id_Proprietario"))},
             QStringLiteral("a.Id_Animal"));
        grid(QStringLiteral("List of owners, first page (PagedQueryModel)"), QStringLiteral("proprietario p"),
             {column(QStringLiteral("Nome"), QStringLiteral("p.Nome")), column(QStringLiteral("CPF/CNPJ"), QStringLiteral("p.Num_CPF_CNPJ")),
              column(QStringLiteral("Celular"), QStringLiteral("p.Telefone_Celular")), column(QStringLiteral("Status"), QStringLiteral("p.Status_Registro"))},
             QStringLiteral("p.Id_Proprietario"));

        {
            // The register lists staff only: the owners' web accounts, most
            // of the table, are filtered out by the index on Id_proprietario.
            const int users = Sql::scalar(c, QStringLiteral("select count(*) from usuario")).toInt();
            RegisterScreen screen(AccessScreens::usuario());
            screen.resize(1000, 700);
            screen.show();
            QApplication::processEvents();
            measure(
                QStringLiteral("Users register (003), \"Atualizar\" (staff among %1 accounts)").arg(users),
                [&](int) {
                    screen.refresh();
                    QApplication::processEvents();
                },
                {});
            screen.close();
        }

        // --- The appointment book (023) -----------------------------------------
        if (appointments > 0) {
            // The busiest unit and its busiest month, as a clerk would look.
            QVariant unit;
            QDateTime busiest;
            {
                QSqlQuery q = Sql::exec(c, QStringLiteral("select Id_Unidade_Agendada, count(*) from atendimento "
                                                          "group by Id_Unidade_Agendada order by count(*) desc"));
                if (q.next())
                    unit = q.value(0);
                q = Sql::exec(c, QStringLiteral("select max(Data_Hora_Atendimento) from atendimento where Id_Unidade_Agendada = :u"),
                              {{QStringLiteral("u"), unit}});
                if (q.next())
                    busiest = q.value(0).toDateTime();
            }
            const QDate day = busiest.date().addYears(-1);
            auto book = [&](const QString &name, const Agenda::Filter &f, Agenda::Period period) {
                PagedQueryModel model;
                model.setConnection(&c);
                model.setSource(Agenda::gridSource(), Agenda::gridColumns(), Agenda::gridKey());
                model.setCountSource(Agenda::gridCountSource());
                model.sortBy(Agenda::DateColumn);
                // As the screen does: the first page, the total counted on
                // a connection of its own.
                model.setBackgroundCount(true);
                QVariantMap p;
                model.setFilter(Agenda::gridCondition(f, Agenda::periodRange(day, period), &p), p);
                int rowsShown = 0;
                measure(
                    name + QStringLiteral(", first page"), [&](int) {
                        model.reload();
                        (void)model.data(model.index(0, 2), Qt::DisplayRole);
                    },
                    {});
                measure(
                    name + QStringLiteral(", exact total (background)"), [&](int) {
                        model.reload();
                        (void)model.data(model.index(0, 2), Qt::DisplayRole);
                        waitFor([&] { return model.countExact(); });
                        rowsShown = model.rowCount();
                    },
                    {});
                if (!rows.isEmpty() && rows.last().name.startsWith(name))
                    rows.last().name += QStringLiteral(" (%1 rows)").arg(rowsShown);
                // The book as it was: counted before the first page shows.
                model.setBackgroundCount(false);
                measure(
                    name + QStringLiteral(", counted first (as before)"), [&](int) {
                        model.reload();
                        (void)model.data(model.index(0, 2), Qt::DisplayRole);
                    },
                    {});
            };
            book(QStringLiteral("Appointment book (023), \"Mês\" of one unit"), {unit, {}}, Agenda::Period::Mes);
            book(QStringLiteral("Appointment book (023), \"Ano\" of every unit"), {}, Agenda::Period::Ano);
            if (const auto week = Agenda::weekOf(c, day)) {
                int total = 0;
                measure(
                    QStringLiteral("Appointment book, weekly board of one unit"),
                    [&](int) { total = Agenda::readBoard(c, *week, {unit, {}}).weekTotal; }, {});
                if (!rows.isEmpty() && rows.last().name.startsWith(QStringLiteral("Appointment book, weekly")))
                    rows.last().name += QStringLiteral(" (%1 appointments)").arg(total);
            }
            const auto q = Agenda::search(c, QStringLiteral("Nome Propriet."), QStringLiteral("maria"));
            SearchResultModel model({{QStringLiteral("Nº Atendimento"), QStringLiteral("id_atendimento")},
                                     {QStringLiteral("Proprietário"), QStringLiteral("nome_proprietario")}});
            measure(
                QStringLiteral("Appointment book, \"Localizar\" by owner name \"maria\""),
                [&](int) {
                    model.setQuery(c, q);
                    (void)model.data(model.index(0, 1), Qt::DisplayRole);
                },
                {});
        }

        // --- Surgery slots (screen 48) and special grants ---------------------------
        const int slotCount = Sql::scalar(c, QStringLiteral("select count(*) from mapa_disponibilidade_agenda")).toInt();
        if (slotCount > 0) {
            // The busiest day of the map, as a clerk would look.
            QDate busyDay;
            {
                QSqlQuery q = Sql::exec(c, QStringLiteral("select Data_hora_disponibilidade from mapa_disponibilidade_agenda "
                                                          "order by Data_hora_disponibilidade"));
                QHash<QDate, int> perDay;
                int best = 0;
                while (q.next()) {
                    const QDate d = SlotStore::toDateTime(q.value(0)).date();
                    if (++perDay[d] > best) {
                        best = perDay[d];
                        busyDay = d;
                    }
                }
            }
            {
                MapaDisponibilidadeScreen screen(c);
                screen.showDay(busyDay);
                int shown = 0;
                measure(QStringLiteral("Map (48), day filter of the busiest day"), [&](int) {
                    screen.refresh(); // the day filter of the chosen day
                    shown = screen.grid()->model()->rowCount();
                });
                if (!rows.isEmpty() && rows.last().name.startsWith(QStringLiteral("Map (48), day")))
                    rows.last().name += QStringLiteral(" (%1 slots)").arg(shown);
            }
            {
                MapaDisponibilidadeInformacaoScreen screen(c);
                measure(QStringLiteral("Map (48), month summary of the server's month"), [&](int) { screen.reload(); });
                if (!rows.isEmpty() && rows.last().name.startsWith(QStringLiteral("Map (48), month")))
                    rows.last().name += QStringLiteral(" (%1 lines)").arg(screen.text().count(QLatin1Char('\n')) + 1);
            }
            {
                // The busiest day's first slot to every weekday of the next
                // month for every unit, as "Gerar agenda" does; the last step
                // cancels, so the whole cloning is rolled back.
                SlotStore store(c);
                const std::optional<Slot> model = store.read(
                    Sql::scalar(c, QStringLiteral("select min(Id_Mapa_disponibilidade_agenda) from mapa_disponibilidade_agenda "
                                                  "where Data_hora_disponibilidade >= :d"),
                                {{QStringLiteral("d"), QDateTime(busyDay, QTime(0, 0))}})
                        .toInt());
                QList<int> units;
                QSqlQuery q = Sql::exec(c, QStringLiteral("select Id_Unidade_Trabalho from unidade_trabalho order by 1"));
                while (q.next())
                    units << q.value(0).toInt();
                const QDate first = QDate(busyDay.year(), busyDay.month(), 1).addMonths(1);
                QList<QDate> days;
                for (QDate d = first; d < first.addMonths(1); d = d.addDays(1))
                    if (d.dayOfWeek() <= 5)
                        days << d;
                const int total = int(days.size() * units.size());
                int inserted = 0;
                if (model) {
                    measure(
                        QStringLiteral("Map (48) cloning: a month's weekdays for every unit (rolled back)"),
                        [&](int) {
                            inserted = store.clone(*model, days, units, QStringLiteral("1"), [&](int done) {
                                               return done < total;
                                           }).inserted;
                        },
                        [&](int run) {
                            QSqlDatabase db = c.db();
                            c.dialect().begin(db);
                            for (const Statement &st : sent.value(run))
                                bare(c, st.first, st.second);
                            c.dialect().rollback(db);
                        });
                    if (!rows.isEmpty() && rows.last().name.startsWith(QStringLiteral("Map (48) cloning")))
                        rows.last().name += QStringLiteral(" (%1 slots, %2 units)").arg(total).arg(units.size());
                }
                Q_UNUSED(inserted);
            }
            {
                // The owner holding most appointments: the longest summary.
                const QVariant busiestOwner = Sql::scalar(
                    c, QStringLiteral("select Id_Proprietario from atendimento where Id_Proprietario is not null "
                                      "group by Id_Proprietario order by count(*) desc, Id_Proprietario"));
                AgendamentoEspecialPanel panel(c);
                auto *code = panel.findChild<QLineEdit *>(QStringLiteral("mkeIdProprietario"));
                auto *name = panel.findChild<QLineEdit *>(QStringLiteral("mkeNomeProprietario"));
                measure(QStringLiteral("Special grants (48): an owner's summary"), [&](int) {
                    // The code typed alone, as after "Pesquisar proprietário".
                    name->clear();
                    code->setText(busiestOwner.toString());
                    panel.ownerSummary();
                });
            }
        }

        // --- A 10,000-row list report, composed without preview -------------------
        {
            const QString sql = QStringLiteral("select Id_Proprietario, Nome, Num_CPF_CNPJ, Status_Registro from proprietario "
                                               "where Id_Proprietario <= :n order by Id_Proprietario");
            const int top = Sql::scalar(c, QStringLiteral("select max(Id_Proprietario) from (select Id_Proprietario from proprietario "
                                                          "order by Id_Proprietario %1) x")
                                               .arg(QStringLiteral("limit 10000"))).toInt();
            RegisterList spec;
            spec.code = QStringLiteral("REL099");
            spec.title = QStringLiteral("Proprietários cadastrados");
            spec.keyColumn = QStringLiteral("Id_Proprietario");
            spec.nameColumn = QStringLiteral("Nome");
            spec.statusColumn = QStringLiteral("Status_Registro");
            spec.descriptionColumn = QStringLiteral("Num_CPF_CNPJ");
            spec.summaryLabel = QStringLiteral("Total de registro:");
            const QVariantMap p{{QStringLiteral("n"), top}};
            const ReportDefinition def =
                ListLayout::registerList(spec, [&c, sql, p] { return QueryDataSource::open(c, sql, p); });
            int pages = 0;
            measure(
                QStringLiteral("List report of 10,000 owners, composed"),
                [&](int) { pages = int(Reports::compose(def).pages.size()); },
                [&](int) { bare(c, sql, p); });
            if (!rows.isEmpty() && rows.last().name.startsWith(QStringLiteral("List report")))
                rows.last().name += QStringLiteral(" (%1 pages)").arg(pages);
        }

        // --- Animal address screen (024): the animal search -------------------------
        auto animalSearch = [&](const QString &name, AnimalSearch::Field field, const QString &typed) {
            const auto q = AnimalSearch::query(c, field, typed);
            if (!q)
                throw DbError(QStringLiteral("no query for ") + typed);
            SearchResultModel model({{QStringLiteral("Animal"), QStringLiteral("nome_animal"), true}});
            measure(name, [&](int) {
                model.setQuery(c, q);
                (void)model.data(model.index(0, 0), Qt::DisplayRole);
            });
        };
        animalSearch(QStringLiteral("Animal search (024), name part \"jose\" anywhere"), AnimalSearch::Field::NomeAnimal,
                     QStringLiteral("jose"));
        animalSearch(QStringLiteral("Animal search (024), name part \"inha\" anywhere (common)"),
                     AnimalSearch::Field::NomeAnimal, QStringLiteral("inha"));
        animalSearch(QStringLiteral("Animal search (024), name part \"pacoca\" anywhere (accents ignored)"),
                     AnimalSearch::Field::NomeAnimal, QStringLiteral("pacoca"));
        animalSearch(QStringLiteral("Animal search (024), owner name part \"silva\" anywhere"),
                     AnimalSearch::Field::NomeProprietario, QStringLiteral("silva"));
        if (!chip.isEmpty())
            animalSearch(QStringLiteral("Animal search (024), microchip part typed without blanks"), AnimalSearch::Field::Microchip,
                         chip.mid(3, 9));

        // --- Occurrence register (022): opening it on every owner -------------------
        measure(QStringLiteral("Screen 022: open (owner list of every owner)"), [&](int) {
            RegistroOcorrenciaScreen screen(nullptr, &c);
            screen.show();
            QApplication::processEvents();
        });

        // Where the opening of 022 spends its time: made, shown (the picker's
        // first page, the count started), events handled, closed.
        if (only.isEmpty() || QStringLiteral("Screen 022: open").contains(only, Qt::CaseInsensitive)) {
            QList<double> phases[4];
            for (int run = 0; run < runs + 2; ++run) {
                QElapsedTimer t;
                t.start();
                auto *screen = new RegistroOcorrenciaScreen(nullptr, &c);
                const qint64 made = t.nsecsElapsed();
                screen->show();
                const qint64 shown = t.nsecsElapsed();
                QApplication::processEvents();
                const qint64 settled = t.nsecsElapsed();
                delete screen;
                const qint64 closed = t.nsecsElapsed();
                if (run < 2)
                    continue;
                phases[0] << made / 1e6;
                phases[1] << (shown - made) / 1e6;
                phases[2] << (settled - shown) / 1e6;
                phases[3] << (closed - settled) / 1e6;
            }
            auto median = [](QList<double> v) {
                std::sort(v.begin(), v.end());
                return v.isEmpty() ? 0.0 : v.at(v.size() / 2);
            };
            QTextStream(stderr) << "Screen 022 phases (ms): made " << median(phases[0]) << ", shown " << median(phases[1])
                                << ", events " << median(phases[2]) << ", closed " << median(phases[3]) << Qt::endl;
        }

        // --- Reports 043 (every ownership record), 037 (every animal) and 052 -----
        // (every appointment), composed. Finished pages are kept packed, in
        // memory up to a limit and then in a temporary file: the packed size
        // and the process's peak resident size are printed after each (run
        // with --only to see one alone).
        QList<QPair<QString, ReportDefinition>> bigReports;
        if (cityReports)
            bigReports = {{QStringLiteral("Report 043 (every ownership record), composed"), TransferReport::definition(c)},
                          {QStringLiteral("Report 037 (every animal), composed"), AnimalReports::complete(c)},
                          {QStringLiteral("Report 052 (every appointment), composed"), AgendaReports::annual(c)}};
        // One warm run before the measured ones: each composes the whole city.
        warmups = 1;
        for (const auto &big : bigReports) {
            // What the preview waits for: the query and the first page.
            const QString firstName = big.first.left(big.first.indexOf(QLatin1Char(','))) + QStringLiteral(", first page");
            // Timed to the first page; the release of the query after it (on
            // PostgreSQL the rows still on their way are read to the end) is
            // timed apart: it is what closing the preview at once costs.
            QList<double> toFirst, released;
            measure(firstName, [&](int) {
                QElapsedTimer e;
                e.start();
                {
                    Reports::Composition first(big.second);
                    first.start();
                    first.runFor(std::numeric_limits<int>::max(), 1);
                    toFirst << e.nsecsElapsed() / 1e6;
                }
                released << e.nsecsElapsed() / 1e6 - toFirst.last();
            }, [&](int) {});
            if (!rows.isEmpty() && rows.last().name == firstName && toFirst.size() > warmups) {
                const auto median = [&](QList<double> l) {
                    l = l.mid(warmups);
                    std::sort(l.begin(), l.end());
                    return l.size() % 2 ? l.at(l.size() / 2) : (l.at(l.size() / 2 - 1) + l.at(l.size() / 2)) / 2;
                };
                rows.last().program = median(toFirst);
                Row closing;
                closing.name = big.first.left(big.first.indexOf(QLatin1Char(','))) + QStringLiteral(", closed after its first page");
                closing.program = median(released);
                rows << closing;
            }
            int pages = 0;
            qint64 packed = 0, inMemory = 0;
            const ReportDefinition &def = big.second;
            measure(big.first, [&](int) {
                const ComposedReport r = Reports::compose(def);
                pages = r.pageCount();
                packed = r.pages.packedBytes();
                inMemory = r.pages.bytesInMemory();
            });
            if (!rows.isEmpty() && rows.last().name == big.first) {
                rusage u{};
                getrusage(RUSAGE_SELF, &u);
                rows.last().name += QStringLiteral(" (%1 pages, packed %2 MB of which %3 MB in memory, peak %4 MB)")
                                        .arg(pages)
                                        .arg(packed >> 20)
                                        .arg(inMemory >> 20)
                                        .arg(qint64(u.ru_maxrss / 1024));
            }
        }

        out() << "| Operation | Program (ms) | Engine alone (ms) | Ratio |\n|---|---:|---:|---:|\n";
        for (const Row &r : rows)
            out() << "| " << r.name << " | " << QString::number(r.program, 'f', 1) << " | " << QString::number(r.engine, 'f', 1)
                  << " | " << QString::number(r.program / qMax(0.001, r.engine), 'f', 2) << " |\n";
        out().flush();
    } catch (const DbError &e) {
        QTextStream(stderr) << "zapo-bench: " << e.text() << "\n" << e.statement() << Qt::endl;
        return 1;
    } catch (const std::exception &e) {
        QTextStream(stderr) << "zapo-bench: " << e.what() << Qt::endl;
        return 1;
    }
    return 0;
}
