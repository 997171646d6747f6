// Screen 060: a period's appointments to a dBASE table with a name map.
#include "AppointmentFixture.h"
#include "support/DateTyping.h"
#include "DbfRead.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/IdNameCombo.h"
#include "utilities/ExportaTabelaAgendamentoScreen.h"

#include "ui/DateEdit.h"
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class TestExportaAgendamento : public QObject {
    Q_OBJECT
private slots:
    void uniqueFieldNamesInOrder()
    {
        const auto cols = ExportaTabelaAgendamentoScreen::columns();
        QStringList names;
        for (const auto &c : cols)
            names << c.field.name;
        QCOMPARE(names, (QStringList{"Id_Atendim", "Id_Proprie", "Id_Animal", "NomeAnimal", "Id_Unidade", "NomeUnidad",
                                     "Id_Unida_2", "NomeUnid_2", "Data_Hora_", "Id_Atend_2", "NomeAtendi", "Inserido_P",
                                     "NomeInseri", "Inserido_E", "Modificado", "NomeModifi", "Modifica_2", "Ind_Autori",
                                     "sexo", "id_pelo", "nomePelo", "id_especie", "nomeEspeci", "id_raca", "nomeRaca",
                                     "esteriliza", "id_porte", "nomePorte", "cor", "sinais", "AnoAtentid", "MesAtentid"}));
        // No year() or month() of any engine in the statement.
        const auto s = ExportaTabelaAgendamentoScreen::statement(QDate(2026, 3, 5), QDate(2026, 3, 5), QVariant());
        QVERIFY(!s.select.contains(QStringLiteral("year("), Qt::CaseInsensitive));
        QVERIFY(s.select.endsWith(QStringLiteral("order by a.Id_Atendimento")));
    }

    void exportsTheDayOfThePerformingUnit_data() { addEngineRows(); }
    void exportsTheDayOfThePerformingUnit()
    {
        ZAPO_TEST_DB(t);
        AppointmentFixture::fill(t->dm());
        RecordingMessages msgs;
        RecordingFileDialogs files;
        QTemporaryDir dir;
        ExportaTabelaAgendamentoScreen s;
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QVERIFY(!(s.windowFlags() & Qt::WindowCloseButtonHint));
        // Opens on this month.
        const QDate today = QDate::currentDate();
        QCOMPARE(s.first()->date(), QDate(today.year(), today.month(), 1));
        QCOMPARE(s.last()->date(), QDate(today.year(), today.month(), today.daysInMonth()));
        // Every unit, the inactive one too, after an empty entry, by name.
        QCOMPARE(s.unit()->count(), 4);
        QCOMPARE(s.unit()->itemText(0), QString());
        QCOMPARE(s.unit()->itemText(3), QStringLiteral("UNIDADE FECHADA"));
        QVERIFY(!s.unit()->currentId().isValid());

        s.first()->setDate(QDate(2026, 3, 5));
        s.last()->setDate(QDate(2026, 3, 5));

        // Cancelling the dialog: nothing written, nothing said.
        files.nextSave.clear();
        child<QPushButton>(&s, "btnExportar")->click();
        QCOMPARE(files.asked.size(), 1);
        QVERIFY(msgs.shown.isEmpty());
        QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

        files.nextSave = dir.filePath(QStringLiteral("dia"));
        child<QPushButton>(&s, "btnExportar")->click();
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Exportação concluída.")});
        DbfRead::Table r = DbfRead::read(dir.filePath(QStringLiteral("dia.dbf")));
        QVERIFY2(r.ok, qPrintable(r.error));
        const QStringList names = DbfRead::fieldNames(r);
        QCOMPARE(names.size(), 32);
        const QJsonObject when = r.fields.at(8).toObject();
        QCOMPARE(when.value("type").toString(), QStringLiteral("C"));
        QCOMPARE(when.value("length").toInt(), 19);
        QCOMPARE(r.fields.at(30).toObject().value("length").toInt(), 4);
        QCOMPARE(r.fields.at(31).toObject().value("length").toInt(), 2);
        QCOMPARE(r.fields.at(31).toObject().value("type").toString(), QStringLiteral("N"));
        // The day from 00:00 to its last second, in key order.
        QCOMPARE(r.records.size(), 2);
        const QJsonArray one = r.records.at(0).toArray();
        auto v = [&names](const QJsonArray &row, const char *field) { return row.at(names.indexOf(field)); };
        QCOMPARE(v(one, "Id_Atendim").toInt(), 1);
        QCOMPARE(v(one, "NomeAnimal").toString(), QStringLiteral("REX"));
        QCOMPARE(v(one, "NomeUnidad").toString(), QStringLiteral("UNIDADE 1"));
        QCOMPARE(v(one, "NomeUnid_2").toString(), QStringLiteral("UNIDADE 15"));
        QCOMPARE(v(one, "Data_Hora_").toString(), QStringLiteral("2026-03-05 09:30:00"));
        QCOMPARE(v(one, "NomeAtendi").toString(), QStringLiteral("AGENDADO"));
        QCOMPARE(v(one, "NomeInseri").toString(), QStringLiteral("ATENDENTE"));
        QCOMPARE(v(one, "Modificado").toInt(), 8);
        QCOMPARE(v(one, "NomeModifi").toString(), QStringLiteral("REVISORA"));
        QCOMPARE(v(one, "Modifica_2").toString(), QStringLiteral("2026-03-02 10:15:05"));
        QCOMPARE(v(one, "nomeEspeci").toString().isEmpty(), false);
        QCOMPARE(v(one, "nomePelo").toString(), QStringLiteral("CURTÍSSIMO"));
        QCOMPARE(v(one, "AnoAtentid").toInt(), 2026);
        QCOMPARE(v(one, "MesAtentid").toInt(), 3);
        // Dangling unit, status, users and animal: empty names; never changed: blanks.
        const QJsonArray two = r.records.at(1).toArray();
        QCOMPARE(v(two, "Id_Atendim").toInt(), 2);
        QCOMPARE(v(two, "Data_Hora_").toString(), QStringLiteral("2026-03-05 23:59:30"));
        for (const char *f : {"NomeAnimal", "NomeUnidad", "NomeAtendi", "NomeInseri", "NomeModifi", "Modifica_2", "nomeEspeci"})
            QVERIFY2(v(two, f).toString().isEmpty(), f);
        QVERIFY(v(two, "Modificado").isNull());
        QCOMPARE(v(two, "NomeUnid_2").toString(), QStringLiteral("UNIDADE 1"));

        // The map names the column behind every field.
        QFile map(dir.filePath(QStringLiteral("dia.txt")));
        QVERIFY(map.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = map.readAll().split('\n');
        QCOMPARE(lines.size(), 33);
        QCOMPARE(lines.at(0), QByteArray("Id_Atendim: Id_Atendimento\r"));
        QCOMPARE(lines.at(9), QByteArray("Id_Atend_2: Id_Atendimento_Status\r"));
        QCOMPARE(lines.at(31), QByteArray("MesAtentid: MesAtentidemto\r"));

        // Unit 15 performs 1 (booked by unit 1) and 4; 3, which it booked, unit 1 performs.
        QVERIFY(s.unit()->selectId(15));
        s.first()->setDate(QDate(2026, 3, 4));
        s.last()->setDate(QDate(2026, 3, 6));
        files.nextSave = dir.filePath(QStringLiteral("quinze.dbf"));
        child<QPushButton>(&s, "btnExportar")->click();
        r = DbfRead::read(dir.filePath(QStringLiteral("quinze.dbf")));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.records.size(), 2);
        QCOMPARE(v(r.records.at(0).toArray(), "Id_Atendim").toInt(), 1);
        QCOMPARE(v(r.records.at(1).toArray(), "Id_Atendim").toInt(), 4);
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("quinze.dbf.txt"))));
        shot(&s, "060-exporta-agendamento");
    }

    // The period typed into the fields; its end as far as the field goes,
    // 31/12/9999, whose day after is a year SQLite binds as an empty text
    // (nothing was found, and the export said it was done).
    void typedPeriodUpToTheTop_data() { addEngineRows(); }
    void typedPeriodUpToTheTop()
    {
        ZAPO_TEST_DB(t);
        AppointmentFixture::fill(t->dm());
        RecordingMessages msgs;
        RecordingFileDialogs files;
        QTemporaryDir dir;
        ExportaTabelaAgendamentoScreen s;
        QVERIFY(activate(&s));
        QVERIFY(typeDate(s.first(), QStringLiteral("5/3/2026")));
        QVERIFY(typeDate(s.last(), QStringLiteral("31/12/9999")));
        QCOMPARE(s.last()->date(), QDate(9999, 12, 31));
        QVERIFY(msgs.texts().isEmpty());
        files.nextSave = dir.filePath(QStringLiteral("adiante"));
        child<QPushButton>(&s, "btnExportar")->click();
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Exportação concluída.")});
        DbfRead::Table r = DbfRead::read(dir.filePath(QStringLiteral("adiante.dbf")));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.records.size(), 3);

        // A period without appointments writes nothing and says so.
        msgs.clear();
        files.asked.clear();
        QVERIFY(typeDate(s.first(), QStringLiteral("01/01/30")));
        QVERIFY(typeDate(s.last(), QStringLiteral("31012030")));
        QCOMPARE(s.first()->date(), QDate(2030, 1, 1));
        child<QPushButton>(&s, "btnExportar")->click();
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Nenhum agendamento encontrado no período informado.")});
        QVERIFY(files.asked.isEmpty());
    }
};

QTEST_MAIN(TestExportaAgendamento)
#include "tst_exportaagendamento.moc"
