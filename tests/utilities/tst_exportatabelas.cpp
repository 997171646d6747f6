// Screen 049: a period of Exportacao2 searched and exported with its data
// dictionary.
#include "db/ExportCopy.h"
#include "AppointmentFixture.h"
#include "DbfRead.h"
#include "db/BulkInsert.h"
#include "db/DbError.h"
#include "db/TextCodec.h"
#include "db/Transaction.h"
#include "db/schema/Schema.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/ScreenCatalog.h"
#include "ui/register/PagedQueryModel.h"
#include "utilities/ExportaTabelasScreen.h"
#include "utilities/UtilityScreens.h"

#include <memory>
#include <QApplication>
#include <QComboBox>
#include "ui/DateEdit.h"
#include <QGroupBox>
#include <QJsonObject>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

void fill(TestDatabase &t)
{
    AppointmentFixture::fill(t.dm());
    Connection &c = t.main();
    Sql::exec(c, QStringLiteral("insert into atendimento_status (Id_Atendimento_Status, Nome, Ind_Status) values (8, :n, 'ATIVO')"),
              {{QStringLiteral("n"), QStringLiteral("D'ÁGUA")}});
    Sql::exec(c, QStringLiteral("insert into atendimento (Id_Atendimento, Id_Atendimento_Status, Data_Hora_Atendimento, Inserido_Em) "
                                "values (5, 8, :d, :d)"),
              {{QStringLiteral("d"), AppointmentFixture::at(5, 12, 0)}});
    Schema::refreshExportTable(c);
}

void period(ExportaTabelasScreen &s, QDate from, QDate to, bool byAttendance, const QString &status = {})
{
    s.table()->setCurrentIndex(0);
    s.from()->setDate(from);
    s.to()->setDate(to);
    (byAttendance ? s.byAttendance() : s.byCreation())->setChecked(true);
    s.status()->setEditText(status);
}

QStringList ids(const DbfRead::Table &r)
{
    QStringList l;
    const int i = DbfRead::fieldNames(r).indexOf(QStringLiteral("id_atend"));
    for (const auto &row : r.records)
        l << QString::number(row.toArray().at(i).toInt());
    return l;
}

QList<QStringList> allRows(Connection &c)
{
    QList<QStringList> out;
    QSqlQuery q = Sql::exec(c, QStringLiteral("select * from Exportacao2 order by id_atend"));
    while (q.next()) {
        QStringList r;
        for (int i = 0; i < q.record().count(); ++i)
            r << q.value(i).toString();
        out << r;
    }
    return out;
}

} // namespace

class TestExportaTabelas : public QObject {
    Q_OBJECT
private slots:
    void dictionaryAndFields()
    {
        const QStringList d = ExportaTabelasScreen::dictionary();
        QCOMPARE(d.size(), 61);
        QCOMPARE(d.at(0), QStringLiteral("----------------- Dicionário de dados---------------"));
        QCOMPARE(d.at(18), QStringLiteral("--Dados do animal--"));
        QCOMPARE(d.at(43), QStringLiteral("--Dados do atendimento---"));
        QCOMPARE(d.at(60), QStringLiteral("DT_Nasc: Data de nascimento do animal."));
        const QList<DbaseField> f = ExportaTabelasScreen::fields();
        QCOMPARE(f.size(), 58);
        auto field = [&f](const char *name) {
            for (const DbaseField &x : f)
                if (x.name == QLatin1String(name))
                    return x;
            return DbaseField();
        };
        QVERIFY(field("tp_pes").type == DbaseField::Type::Text && field("tp_pes").width == 30);
        QVERIFY(field("P_cooX").type == DbaseField::Type::Number && field("P_cooX").width == 19 && field("P_cooX").decimals == 6);
        for (const char *m : {"td_atend", "Dt_inse", "DT_mod"})
            QVERIFY2(field(m).type == DbaseField::Type::Moment, m);
        QVERIFY(field("Dt_nasc").type == DbaseField::Type::Date);
        QVERIFY(field("profi").type == DbaseField::Type::Text && field("profi").width == 255);
    }

    void searchesAndExports_data() { addEngineRows(); }
    void searchesAndExports()
    {
        ZAPO_TEST_DB(t);
        fill(*t);
        const QList<QStringList> before = allRows(t->main());
        Schema::refreshExportTable(t->main());
        QCOMPARE(allRows(t->main()), before); // a rebuild gives the same rows
        RecordingMessages msgs;
        RecordingFileDialogs files;
        QTemporaryDir dir;
        ExportaTabelasScreen s;
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QCOMPARE(s.to()->date(), QDate::currentDate());
        QVERIFY(s.byCreation()->isChecked());
        QVERIFY(!s.exportButton()->isEnabled());
        QCOMPARE(s.status()->count(), 9);
        QCOMPARE(s.status()->itemText(8), QStringLiteral("D'ÁGUA"));

        // No table chosen, then the dates the wrong way round.
        s.pesquisar();
        QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar uma tabela para pesquisa."));
        period(s, QDate(2026, 3, 6), QDate(2026, 3, 5), true);
        s.pesquisar();
        QCOMPARE(msgs.last(), QStringLiteral("A data inicial não pode ser maior que a data final."));
        QVERIFY(!s.exportButton()->isEnabled());

        // One day by attendance date: its last half minute in, the next midnight out.
        msgs.clear();
        period(s, QDate(2026, 3, 5), QDate(2026, 3, 5), true);
        s.pesquisar();
        QVERIFY(msgs.shown.isEmpty());
        QCOMPARE(s.model()->rowCount(), 3);
        QCOMPARE(s.model()->columnCount(), 57);
        QCOMPARE(s.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Identificador do proprietário"));
        QCOMPARE(s.model()->headerData(56, Qt::Horizontal).toString(), QStringLiteral("Proc. realizados"));
        QCOMPARE(s.panel(0)->text(), QStringLiteral("Pesquisa realizada com sucesso. 3 registros"));
        QCOMPARE(s.group()->title(), QStringLiteral("Tabela: Animal e atendimento"));
        QVERIFY(s.exportButton()->isEnabled());
        shot(&s, "049-exporta-tabelas");

        // The creation date instead: appointments 1 and 2 were made on the 1st.
        period(s, QDate(2026, 3, 1), QDate(2026, 3, 1), false);
        s.pesquisar();
        QCOMPARE(s.model()->rowCount(), 2);
        // A status with an apostrophe, typed with blanks around it.
        period(s, QDate(2026, 3, 1), QDate(2026, 3, 31), true, QStringLiteral(" D'ÁGUA "));
        s.pesquisar();
        QCOMPARE(s.model()->rowCount(), 1);
        QCOMPARE(s.model()->key(0).toInt(), 5);

        // Export the day's search after the criteria changed: the rows searched.
        period(s, QDate(2026, 3, 5), QDate(2026, 3, 5), true);
        s.pesquisar();
        period(s, QDate(2000, 1, 1), QDate(2000, 1, 2), false, QStringLiteral("CANCELADO"));
        files.nextSave = dir.filePath(QStringLiteral("dia.dbf"));
        msgs.clear();
        s.exportar();
        const QString dictionary = dir.filePath(QStringLiteral("dia.dbf.txt"));
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Exportação concluída.\rUm arquivo com o modelo de dados desta "
                                                          "exportação será criado em: ") + dictionary});
        QCOMPARE(s.panel(1)->text(), QStringLiteral("Exportação realizada com sucesso."));
        DbfRead::Table r = DbfRead::read(dir.filePath(QStringLiteral("dia.dbf")));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.fields.size(), 58);
        QCOMPARE(ids(r), (QStringList{"1", "2", "5"}));
        const QStringList names = DbfRead::fieldNames(r);
        const QJsonArray one = r.records.at(0).toArray();
        QCOMPARE(one.at(names.indexOf("td_atend")).toString(), QStringLiteral("2026-03-05 09:30:00"));
        QCOMPARE(one.at(names.indexOf("Dt_nasc")).toString(), QStringLiteral("2020-03-15"));
        QCOMPARE(one.at(names.indexOf("prop")).toString(), QStringLiteral("JOSÉ D'ÁVILA"));
        QCOMPARE(one.at(names.indexOf("uni_real")).toString(), QStringLiteral("UNIDADE 15"));
        QCOMPARE(r.fields.at(names.indexOf("profi")).toObject().value("length").toInt(), 255);
        QCOMPARE(r.records.at(1).toArray().at(names.indexOf("td_atend")).toString(), QStringLiteral("2026-03-05 23:59:30"));
        QByteArray expected;
        for (const QString &l : ExportaTabelasScreen::dictionary())
            expected += Cp1252::encode(l) + "\r\n";
        QCOMPARE(DbfRead::bytes(dictionary), expected);
        QVERIFY(DbfRead::bytes(dictionary).startsWith("----------------- Dicion\xE1rio de dados---------------\r\n"));

        // A status no row has: none found, yet an empty table with every field.
        period(s, QDate(2026, 3, 1), QDate(2026, 3, 31), true, QStringLiteral("NENHUM"));
        s.pesquisar();
        QCOMPARE(s.panel(0)->text(), QStringLiteral("Pesquisa realizada com sucesso. 0 registros"));
        QVERIFY(s.exportButton()->isEnabled());
        files.nextSave = dir.filePath(QStringLiteral("vazio"));
        s.exportar();
        r = DbfRead::read(dir.filePath(QStringLiteral("vazio.dbf")));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.fields.size(), 58);
        QCOMPARE(r.records.size(), 0);
        QCOMPARE(DbfRead::bytes(dir.filePath(QStringLiteral("vazio.txt"))), expected);

        // A cancelled dialog writes nothing.
        msgs.clear();
        files.nextSave = QStringLiteral("  ");
        s.exportar();
        QVERIFY(msgs.shown.isEmpty());
    }

    // Two rebuilds at once: the second waits until the first commits and
    // then rebuilds from scratch, so the table ends whole, neither doubled
    // nor half filled, and readers meanwhile keep the committed rows.
    void twoRefreshesWaitForEachOther_data() { addEngineRows(); }
    void twoRefreshesWaitForEachOther()
    {
        ZAPO_TEST_DB(t);
        fill(*t);
        const QList<QStringList> whole = allRows(t->main());
        QVERIFY(whole.size() >= 5);
        const Engine kind = t->main().dialect().engine();
        auto pause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };

        std::atomic<bool> firstLocked{false}, release{false}, secondDone{false};
        std::atomic<int> secondRows{-1};
        QString firstError, secondError; // read only after the threads are joined
        // The first rebuild's own steps, held open before its commit.
        std::thread first([&] {
            try {
                std::unique_ptr<DataModule> dm = t->openAnother();
                Connection &c = dm->main();
                Transaction tx(c);
                const QString lock = Schema::exportTableLockStatement(kind);
                if (!lock.isEmpty())
                    Sql::exec(c, lock);
                Sql::exec(c, QStringLiteral("delete from Exportacao2"));
                Sql::exec(c, Schema::exportTableFillStatement(kind));
                firstLocked = true;
                while (!release)
                    pause(5);
                tx.commit();
            } catch (const DbError &e) {
                firstError = e.text();
                firstLocked = true;
            }
        });
        for (int i = 0; i < 2000 && !firstLocked; ++i)
            pause(5);
        std::thread second([&] {
            try {
                std::unique_ptr<DataModule> dm = t->openAnother();
                secondRows = Schema::refreshExportTable(dm->main());
            } catch (const DbError &e) {
                secondError = e.text();
            }
            secondDone = true;
        });
        pause(600);
        const bool secondWaited = !secondDone;
        QList<QStringList> meanwhile;
        try {
            meanwhile = allRows(t->main());
        } catch (const DbError &) {
        }
        release = true;
        first.join();
        second.join();

        QVERIFY2(firstError.isEmpty(), qPrintable(firstError));
        QVERIFY2(secondError.isEmpty(), qPrintable(secondError));
        QVERIFY(secondWaited);
        QCOMPARE(meanwhile, whole);
        QCOMPARE(secondRows.load(), int(whole.size()));
        QCOMPARE(allRows(t->main()), whole);
    }

    // The rebuild (indexes set aside and built again over the rows on
    // SQLite) gives the very rows of the bare statement, says how many, and
    // leaves the table with its indexes, which the period search uses.
    void theRebuildIsTheBareStatement_data() { addEngineRows(); }
    void theRebuildIsTheBareStatement()
    {
        ZAPO_TEST_DB(t);
        fill(*t);
        Connection &c = t->main();
        const Engine kind = c.dialect().engine();
        const QVariant secureDelete =
            kind == Engine::SQLite ? Sql::scalar(c, QStringLiteral("pragma secure_delete")) : QVariant();
        const int rows = Schema::refreshExportTable(c);
        const QList<QStringList> rebuilt = allRows(c);
        if (kind == Engine::SQLite) // set aside for the rebuild only
            QCOMPARE(Sql::scalar(c, QStringLiteral("pragma secure_delete")), secureDelete);
        QCOMPARE(rows, int(rebuilt.size()));
        QVERIFY(rows >= 5);
        {
            Transaction tx(c);
            Sql::exec(c, QStringLiteral("delete from Exportacao2"));
            Sql::exec(c, Schema::exportTableFillStatement(kind));
            tx.commit();
        }
        QCOMPARE(allRows(c), rebuilt);
        QCOMPARE(Schema::refreshExportTable(c), rows); // again: neither doubled nor lost

        const QString indexes = kind == Engine::SQLite
            ? QStringLiteral("select count(*) from sqlite_master where type = 'index' and lower(tbl_name) = 'exportacao2'")
            : QStringLiteral("select count(*) from pg_indexes where lower(tablename) = 'exportacao2'");
        QCOMPARE(Sql::scalar(c, indexes).toInt(), 2);
        if (kind == Engine::SQLite) {
            QSqlQuery plan = Sql::exec(c, QStringLiteral("explain query plan select id_atend from Exportacao2 where td_atend >= :d"),
                                       {{QStringLiteral("d"), QStringLiteral("2020-01-01")}});
            QString detail;
            while (plan.next())
                detail += plan.value(3).toString();
            QVERIFY2(detail.contains(QStringLiteral("ix_exportacao2_atend")), qPrintable(detail));
        }
    }

    // The window says when the copy was made; on the embedded database a
    // search first makes it again when attendances changed since (today's
    // attendances are exported), on a server the clerk is offered that when
    // the copy is older than a day, once per window.
    void copyIsDatedAndBroughtUpToDate_data() { addEngineRows(); }
    void copyIsDatedAndBroughtUpToDate()
    {
        ZAPO_TEST_DB(t);
        fill(*t);
        Connection &c = t->main();
        const bool embedded = ExportCopy::policy(c) == ExportCopy::Policy::RebuildWhenChanged;
        const int before = Sql::scalar(c, QStringLiteral("select count(*) from Exportacao2")).toInt();
        const QDateTime madeAt = ExportCopy::state(c).madeAt;
        QVERIFY(madeAt.isValid());
        QVERIFY(!ExportCopy::state(c).attendancesChanged);
        RecordingMessages msgs;
        auto s = std::make_unique<ExportaTabelasScreen>();
        s->show();
        QCOMPARE(s->copyDate()->text(), QStringLiteral("Dados de ") + madeAt.toString(QStringLiteral("dd/MM/yyyy HH:mm")));

        // Unchanged: the search reads the copy as it is.
        period(*s, QDate(2000, 1, 1), QDate::currentDate(), false);
        s->pesquisar();
        QVERIFY(msgs.shown.isEmpty());

        // Today's attendance.
        Sql::exec(c, QStringLiteral("insert into atendimento (Id_Atendimento, Id_Atendimento_Status, Data_Hora_Atendimento, Inserido_Em) "
                                    "values (6, 1, :d, :d)"),
                  {{QStringLiteral("d"), QDateTime::currentDateTime()}});
        QVERIFY(ExportCopy::state(c).attendancesChanged);
        s->pesquisar();
        if (embedded) {
            QVERIFY(msgs.shown.isEmpty());
            QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from Exportacao2")).toInt(), before + 1);
            QVERIFY(!ExportCopy::state(c).attendancesChanged);
            QCOMPARE(s->model()->rowCount(), before + 1);
            return;
        }
        // A server's copy of an hour ago is not made again by a search.
        QVERIFY(msgs.shown.isEmpty());
        QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from Exportacao2")).toInt(), before);
        // Two days old: offered once; "Não" keeps it.
        Sql::exec(c, QStringLiteral("update Exportacao2_Copia set Dt_Copia = :d"),
                  {{QStringLiteral("d"), QDateTime::currentDateTime().addDays(-2)}});
        s = std::make_unique<ExportaTabelasScreen>();
        s->show();
        period(*s, QDate(2000, 1, 1), QDate::currentDate(), false);
        msgs.answers = {false};
        s->pesquisar();
        QCOMPARE(msgs.shown.size(), 1);
        QVERIFY2(msgs.last().startsWith(QStringLiteral("Os dados desta tabela são de ")), qPrintable(msgs.last()));
        s->pesquisar();
        QCOMPARE(msgs.shown.size(), 1);
        QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from Exportacao2")).toInt(), before);
        // "Sim" in another window makes it again.
        s = std::make_unique<ExportaTabelasScreen>();
        s->show();
        period(*s, QDate(2000, 1, 1), QDate::currentDate(), false);
        msgs.answers = {true};
        s->pesquisar();
        QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from Exportacao2")).toInt(), before + 1);
        QVERIFY(s->copyDate()->text().startsWith(QStringLiteral("Dados de ") + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))));
    }

    void moreThanTheMostRows()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        QVERIFY(t);
        Connection &c = t->main();
        ExportCopy::ensureTable(c);
        {
            Transaction tx(c);
            BulkInsert b(c, QStringLiteral("Exportacao2"), {QStringLiteral("id_atend"), QStringLiteral("Dt_inse")});
            const QDateTime when(QDate(2026, 3, 5), QTime(10, 0));
            for (int i = 1; i <= ExportaTabelasScreen::kMaxRows + 1; ++i)
                b.add({i, when});
            b.finish();
            // The planted rows are the copy of an unchanged register: the
            // search reads them instead of making the copy again.
            ExportCopy::stamp(c);
            tx.commit();
        }
        RecordingMessages msgs;
        ExportaTabelasScreen s;
        s.show();
        period(s, QDate(2026, 3, 5), QDate(2026, 3, 5), false);
        s.pesquisar();
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral(
                                   "ATENÇÃO: A quantidade máxima para exportação é de 120 mil registros e sua pesquisa "
                                   "retornou 120001 registros, \r é extremamente recomendável refazer a pesquisa para exportação.")});
        QVERIFY(!s.exportButton()->isEnabled());
        QCOMPARE(s.model()->rowCount(), 120001); // the grid still shows them
        Sql::exec(c, QStringLiteral("delete from Exportacao2 where id_atend = 1"));
        msgs.clear();
        s.pesquisar();
        QVERIFY(msgs.shown.isEmpty());
        QVERIFY(s.exportButton()->isEnabled());
    }

    void everyActivationAnIndependentWindowFreedOnClose()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        QVERIFY(t);
        ScreenCatalog catalog;
        registerUtilityScreens(catalog);
        QVERIFY(!catalog.open(49, nullptr));
        QVERIFY(!catalog.open(49, nullptr));
        QList<QPointer<QWidget>> open;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmExportaTabelas"))
                open << w;
        QCOMPARE(open.size(), 2);
        QVERIFY(!open.at(0)->parentWidget());
        open.at(0)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(open.at(0).isNull());
        QVERIFY(!open.at(1).isNull());
        open.at(1)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(open.at(1).isNull());
    }
};

QTEST_MAIN(TestExportaTabelas)
#include "tst_exportatabelas.moc"
