// Screen 044: fields ticked in the list, the whole register exported.
#include "DbfRead.h"
#include "UtilityFixture.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "utilities/ExportarDadosScreen.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

void tick(ExportarDadosScreen &s, const QString &campo)
{
    const QList<QTreeWidgetItem *> items = s.list()->findItems(campo, Qt::MatchExactly, 0);
    QVERIFY2(items.size() == 1, qPrintable(campo));
    items.first()->setCheckState(0, Qt::Checked);
}

int ticked(ExportarDadosScreen &s)
{
    int n = 0;
    for (int i = 0; i < s.list()->topLevelItemCount(); ++i)
        n += s.list()->topLevelItem(i)->checkState(0) == Qt::Checked;
    return n;
}

} // namespace

class TestExportarDados : public QObject {
    Q_OBJECT
private slots:
    void fieldNamesOfTheList()
    {
        const auto entries = ExportarDadosScreen::entries();
        QCOMPARE(entries.size(), 39);
        QSet<QString> seen;
        for (const auto &e : entries) {
            QVERIFY2(e.field.name.size() <= 10 && !seen.contains(e.field.name.toUpper()), qPrintable(e.field.name));
            seen.insert(e.field.name.toUpper());
        }
        QCOMPARE(entries.at(2).field.name, QStringLiteral("Telefone_R"));
        QCOMPARE(entries.at(4).field.name, QStringLiteral("Telefone_2"));
        QCOMPARE(entries.at(1).field.name, QStringLiteral("nome_Prop"));
        QVERIFY(entries.at(30).field.type == DbaseField::Type::Date);
        QVERIFY(entries.at(8).field.type == DbaseField::Type::Number);
        QCOMPARE(entries.at(8).field.decimals, 6);
    }

    void exportsTheTickedFields_data() { addEngineRows(); }
    void exportsTheTickedFields()
    {
        ZAPO_TEST_DB(t);
        UtilityFixture::fill(t->dm());
        RecordingMessages msgs;
        RecordingFileDialogs files;
        QTemporaryDir dir;
        ExportarDadosScreen s;
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QCOMPARE(s.windowTitle(), QStringLiteral("044 - Exportação de dados."));
        QCOMPARE(s.list()->topLevelItemCount(), 39);
        QCOMPARE(ticked(s), 0);

        // Nothing ticked: refused before any dialog.
        child<QPushButton>(&s, "btnExportar")->click();
        QVERIFY(msgs.last().startsWith(QStringLiteral("Um erro ocorreu durante a tentativa de exportação.")));
        QVERIFY(files.asked.isEmpty());

        tick(s, QStringLiteral("Id_Animal"));
        tick(s, QStringLiteral("Num_Microchip"));
        files.nextSave = dir.filePath(QStringLiteral("dois"));
        msgs.clear();
        child<QPushButton>(&s, "btnExportar")->click();
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Exportação concluída.")});
        DbfRead::Table r = DbfRead::read(dir.filePath(QStringLiteral("dois.dbf")));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(DbfRead::fieldNames(r), (QStringList{"Id_Animal", "Num_Microc"}));
        // One record per animal, with or without an owner.
        QCOMPARE(r.records.size(), 6);
        QCOMPARE(r.records.at(0).toArray().at(1).toString(), QStringLiteral("982 000 123"));
        QCOMPARE(DbfRead::bytes(dir.filePath(QStringLiteral("dois.txt"))),
                 QByteArray("Id_Animal: Id_Animal - C\xF3" "digo do animal.\r\nNum_Microc: Num_Microchip - N\xFAmero do microchip.\r\n"));

        // Everything: the same row count, coordinates blank without an address.
        child<QCheckBox>(&s, "chkSelecionarTodos")->setChecked(true);
        QCOMPARE(ticked(s), 39);
        shot(&s, "044-todos");
        files.nextSave = dir.filePath(QStringLiteral("tudo.DBF"));
        child<QPushButton>(&s, "btnExportar")->click();
        r = DbfRead::read(dir.filePath(QStringLiteral("tudo.DBF")));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.fields.size(), 39);
        QCOMPARE(r.records.size(), 6);
        const QStringList names = DbfRead::fieldNames(r);
        const QJsonArray rex = r.records.at(0).toArray();
        QCOMPARE(rex.at(names.indexOf("End_X")).toDouble(), 1.5);
        QCOMPARE(rex.at(names.indexOf("End_Y")).toDouble(), -2.25);
        QCOMPARE(rex.at(names.indexOf("nome_Prop")).toString(), QStringLiteral("JOSÉ D'ÁVILA"));
        QCOMPARE(rex.at(names.indexOf("nome_grupo")).toString(), QStringLiteral("GRUPO 901"));
        QCOMPARE(rex.at(names.indexOf("Data_Nasci")).toString(), QStringLiteral("2020-03-15"));
        QCOMPARE(rex.at(names.indexOf("desc_pelo")).toString(), QStringLiteral("CURTÍSSIMO"));
        // The group is the latest membership's, not the animal row's id:
        // MIMI's row says 902 but she has no membership.
        QVERIFY(r.records.at(1).toArray().at(names.indexOf("nome_grupo")).toString().isEmpty());
        QCOMPARE(r.records.at(1).toArray().at(names.indexOf("Id_Grupo_A")).toInt(), 902);
        const QJsonArray bob = r.records.at(2).toArray();
        QCOMPARE(bob.at(names.indexOf("Id_Animal")).toInt(), 5003);
        QVERIFY(bob.at(names.indexOf("End_X")).isNull());
        QVERIFY(bob.at(names.indexOf("End_Y")).isNull());
        QVERIFY(bob.at(names.indexOf("NOM_LOGR")).toString().isEmpty());

        // Unticking "Selecionar todos." unticks every entry.
        child<QCheckBox>(&s, "chkSelecionarTodos")->setChecked(false);
        QCOMPARE(ticked(s), 0);

        // The list comes back unticked every time the window shows.
        tick(s, QStringLiteral("Cor"));
        s.hide();
        s.show();
        QCOMPARE(ticked(s), 0);
        QVERIFY(!child<QCheckBox>(&s, "chkSelecionarTodos")->isChecked());
    }

    // A name no register may hold in the file's code page is named in the
    // closing box, never written as "?"; a clerk's own file beside the
    // table is replaced only when the clerk says so.
    void changedTextsAndOtherFilesAreAskedOrTold_data() { addEngineRows(); }
    void changedTextsAndOtherFilesAreAskedOrTold()
    {
        ZAPO_TEST_DB(t);
        UtilityFixture::fill(t->dm());
        Sql::exec(t->dm().main(), QStringLiteral("update animal set Nome = :n where Id_Animal = 5001"),
                  {{QStringLiteral("n"), QString::fromUtf8("🐶 REX")}});
        Sql::exec(t->dm().main(), QStringLiteral("update animal set Nome = :n where Id_Animal = 5002"),
                  {{QStringLiteral("n"), QString::fromUtf8("МИМИ")}});
        RecordingMessages msgs;
        RecordingFileDialogs files;
        QTemporaryDir dir;
        QFile own(dir.filePath(QStringLiteral("dados.txt")));
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write("minhas notas\r\n");
        own.close();
        ExportarDadosScreen s;
        s.show();
        tick(s, QStringLiteral("Id_Animal"));
        tick(s, QStringLiteral("Nome_Animal"));
        files.nextSave = dir.filePath(QStringLiteral("dados"));
        msgs.answers = {false};
        child<QPushButton>(&s, "btnExportar")->click();
        QCOMPARE(msgs.shown.size(), 1);
        QCOMPARE(msgs.shown.at(0).kind, QStringLiteral("confirm"));
        QVERIFY2(msgs.last().contains(QStringLiteral("dados.txt já existe")), qPrintable(msgs.last()));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("dados.dbf"))));
        QCOMPARE(DbfRead::bytes(dir.filePath(QStringLiteral("dados.txt"))), QByteArray("minhas notas\r\n"));

        msgs.clear();
        files.nextSave = dir.filePath(QStringLiteral("dados"));
        child<QPushButton>(&s, "btnExportar")->click();
        QCOMPARE(msgs.shown.size(), 2);
        QCOMPARE(msgs.shown.at(1).kind, QStringLiteral("information"));
        const QString closing = msgs.last();
        QVERIFY2(closing.startsWith(QStringLiteral("Exportação concluída.\r\r2 valores")), qPrintable(closing));
        QVERIFY2(closing.contains(QString::fromUtf8("Registro 1, campo nome_anima: \"🐶 REX\" gravado como \"REX\"")), qPrintable(closing));
        QVERIFY2(closing.contains(QString::fromUtf8("Registro 2, campo nome_anima: \"МИМИ\" gravado como \"MIMI\"")), qPrintable(closing));
        const DbfRead::Table r = DbfRead::read(dir.filePath(QStringLiteral("dados.dbf")));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.records.at(0).toArray().at(1).toString(), QStringLiteral("REX"));
        QCOMPARE(r.records.at(1).toArray().at(1).toString(), QStringLiteral("MIMI"));
    }
};

QTEST_MAIN(TestExportarDados)
#include "tst_exportardados.moc"
