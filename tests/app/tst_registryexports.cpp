// The dBASE exports of the animal address history (024) and the occurrence
// register (022), as the application wires them: the fields in the order
// the screens promise, accents kept, long names shortened without clashes
// and explained in the text file beside the table.
#include "app/RegistryExports.h"
#include "db/Sql.h"
#include "registry/Endereco_AnimalScreen.h"
#include "registry/RegistroOcorrenciaScreen.h"
#include "support/RecordingServices.h"
#include "support/TestDatabase.h"
#include "utilities/DbfRead.h"
#include "utilities/UtilityFixture.h"

#include <QAction>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList textLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

} // namespace

class TstRegistryExports : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installRegistryExports(); }
    void addressHistoryExport_data() { addEngineRows(); }
    void addressHistoryExport();
    void occurrenceExport_data() { addEngineRows(); }
    void occurrenceExport();
};

void TstRegistryExports::addressHistoryExport()
{
    ZAPO_TEST_DB(t);
    UtilityFixture::fill(t->dm());
    RecordingMessages msgs;
    RecordingFileDialogs files;
    QTemporaryDir dir;
    files.nextSave = dir.filePath(QStringLiteral("enderecos"));

    Endereco_AnimalScreen screen(nullptr, &t->main());
    QAction *exportar = screen.findChild<QAction *>(QStringLiteral("actExportacao"));
    QVERIFY(exportar && exportar->isVisible());
    exportar->trigger();
    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Exportação concluída.")});

    const DbfRead::Table table = DbfRead::read(dir.filePath(QStringLiteral("enderecos.dbf")));
    QVERIFY2(table.ok, qPrintable(table.error));
    const QStringList names = DbfRead::fieldNames(table);
    QCOMPARE(names.size(), 16);
    QCOMPARE(names.first(), QStringLiteral("Id_Animal"));
    QCOMPARE(names.at(11), QStringLiteral("Telefone_R"));
    QCOMPARE(names.at(13), QStringLiteral("Telefone_2")); // Telefone_Recado would clash at ten characters
    // Every animal that has an owner still registered, in key order.
    QList<int> ids;
    for (const auto &r : table.records)
        ids << r.toArray().at(0).toInt();
    QCOMPARE(ids, (QList<int>{5001, 5002, 5003, 5004}));
    QCOMPARE(table.records.at(0).toArray().at(10).toString(), QStringLiteral("JOSÉ D'ÁVILA"));

    const QStringList map = textLines(dir.filePath(QStringLiteral("enderecos.txt")));
    QCOMPARE(map.size(), 16);
    QVERIFY(map.contains(QStringLiteral("Telefone_2: Telefone_Recado")));
}

void TstRegistryExports::occurrenceExport()
{
    ZAPO_TEST_DB(t);
    UtilityFixture::fill(t->dm());
    Sql::exec(t->main(), QStringLiteral("insert into tipo_ocorrencia (Id_Tipo_Ocorrencia, Nome, Ind_Status) values (1, 'MORDEDURA', 'ATIVO')"));
    Sql::exec(t->main(), QStringLiteral("insert into ocorrencia (Id_Ocorrencia, Id_Animal, Id_Tipo_Ocorrencia, Dt_Ocorrencia) "
                                        "values (1, 5001, 1, :d), (2, 5003, 1, :d)"),
              {{QStringLiteral("d"), QDate(2026, 5, 4)}});
    RecordingMessages msgs;
    RecordingFileDialogs files;
    QTemporaryDir dir;
    files.nextSave = dir.filePath(QStringLiteral("ocorrencias.dbf"));

    RegistroOcorrenciaScreen screen(nullptr, &t->main());
    QAction *exportar = screen.findChild<QAction *>(QStringLiteral("actExportar"));
    QVERIFY(exportar && exportar->isVisible());
    exportar->trigger();
    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Exportação concluída.")});

    const DbfRead::Table table = DbfRead::read(dir.filePath(QStringLiteral("ocorrencias.dbf")));
    QVERIFY2(table.ok, qPrintable(table.error));
    const QStringList names = DbfRead::fieldNames(table);
    QCOMPARE(names.size(), 21);
    QCOMPARE(names.first(), QStringLiteral("Dt_Ocorren"));
    QCOMPARE(names.last(), QStringLiteral("NUM_CEP"));
    QCOMPARE(table.records.size(), 2);
    const QJsonArray first = table.records.at(0).toArray();
    QCOMPARE(first.at(0).toString(), QStringLiteral("2026-05-04")); // a day, not a moment
    QCOMPARE(first.at(2).toString(), QStringLiteral("REX"));
    QCOMPARE(first.at(13).toString(), QStringLiteral("MORDEDURA"));
    // The chosen name already ends in .dbf: the text file goes beside it.
    QCOMPARE(textLines(dir.filePath(QStringLiteral("ocorrencias.dbf.txt"))).size(), 21);
}

QTEST_MAIN(TstRegistryExports)
#include "tst_registryexports.moc"
