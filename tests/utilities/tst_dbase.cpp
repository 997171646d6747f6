// The dBASE writer and the export around it, checked by reading the files
// back with an independent reader and by looking at the bytes.
#include "DbfRead.h"
#include "db/DbError.h"
#include "reports/engine/ReportData.h"
#include "ui/LongWork.h"
#include "utilities/DbaseExport.h"
#include "utilities/DbaseTable.h"

#include <QDir>
#include <QJsonArray>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList leftovers(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System).filter(QStringLiteral(".~"));
}

// A source that gives `good` rows and then fails like a lost connection.
class FailingSource : public ReportDataSource {
public:
    explicit FailingSource(int good) : m_good(good), m_cols(std::make_shared<ReportColumns>(QStringList{"n"})) {}
    std::shared_ptr<const ReportColumns> columns() const override { return m_cols; }
    bool next(QList<QVariant> &values) override
    {
        if (m_done++ >= m_good)
            throw DbError(QStringLiteral("conexão perdida"));
        values = {m_done};
        return true;
    }

private:
    int m_good;
    int m_done = 0;
    std::shared_ptr<const ReportColumns> m_cols;
};

} // namespace

class TestDbase : public QObject {
    Q_OBJECT
private slots:
    void everyTypeReadsBackWithNullsAndAccents()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tipos.dbf"));
        const QList<DbaseField> fields{
            DbaseField::number(QStringLiteral("Id"), 11),
            DbaseField::number(QStringLiteral("Pequeno"), 6),
            DbaseField::number(QStringLiteral("End_X"), 19, 6),
            DbaseField::text(QStringLiteral("Nome"), 12),
            DbaseField::date(QStringLiteral("Nasc")),
            DbaseField::moment(QStringLiteral("Hora")),
            DbaseField::text(QStringLiteral("Longo"), 255),
        };
        {
            DbaseTable t(path, fields);
            t.append({42, 7, -46.123456789, QStringLiteral("JOSÉ Ção €  "), QDate(2019, 2, 28),
                      QDateTime(QDate(2024, 12, 31), QTime(8, 30, 5)), QString(255, QLatin1Char('x'))});
            t.append({QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
            // Drivers hand back text for numbers and dates on some engines.
            t.append({QStringLiteral("12"), QVariant(QMetaType::fromType<int>()), 0.5, QString(), QDateTime(QDate(2001, 1, 2), QTime(23, 0)),
                      QDate(2020, 5, 6), QStringLiteral("ü")});
            t.close();
        }
        const DbfRead::Table r = DbfRead::read(path);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(DbfRead::fieldNames(r), (QStringList{"Id", "Pequeno", "End_X", "Nome", "Nasc", "Hora", "Longo"}));
        const QStringList types{"N", "N", "N", "C", "D", "C", "C"};
        const QList<int> widths{11, 6, 19, 12, 8, 19, 255};
        for (int i = 0; i < types.size(); ++i) {
            QCOMPARE(r.fields.at(i).toObject().value("type").toString(), types.at(i));
            QCOMPARE(r.fields.at(i).toObject().value("length").toInt(), widths.at(i));
        }
        QCOMPARE(r.fields.at(2).toObject().value("decimal").toInt(), 6);
        QCOMPARE(r.records.size(), 3);
        const QJsonArray a = r.records.at(0).toArray();
        QCOMPARE(a.at(0).toInt(), 42);
        QCOMPARE(a.at(1).toInt(), 7);
        QCOMPARE(a.at(2).toDouble(), -46.123457);
        QCOMPARE(a.at(3).toString(), QStringLiteral("JOSÉ Ção €"));
        QCOMPARE(a.at(4).toString(), QStringLiteral("2019-02-28"));
        QCOMPARE(a.at(5).toString(), QStringLiteral("2024-12-31 08:30:05"));
        QCOMPARE(a.at(6).toString().size(), 255);
        const QJsonArray blank = r.records.at(1).toArray();
        for (int i = 0; i < blank.size(); ++i)
            QVERIFY2(blank.at(i).isNull() || blank.at(i).toString().isEmpty(), qPrintable(QString::number(i)));
        const QJsonArray c = r.records.at(2).toArray();
        QCOMPARE(c.at(0).toInt(), 12);
        QVERIFY(c.at(1).isNull());
        QCOMPARE(c.at(4).toString(), QStringLiteral("2001-01-02"));
        QCOMPARE(c.at(5).toString(), QStringLiteral("2020-05-06 00:00:00"));
        QCOMPARE(c.at(6).toString(), QStringLiteral("ü"));

        // The bytes: code page mark, today's date, numbers right-aligned
        // in the C locale, nulls as blanks (not "*"), one end mark.
        const QByteArray b = DbfRead::bytes(path);
        QCOMPARE(quint8(b.at(29)), quint8(0x03));
        QCOMPARE(int(quint8(b.at(1))) + 1900, QDate::currentDate().year());
        const int header = quint8(b.at(8)) | quint8(b.at(9)) << 8;
        const int recLen = quint8(b.at(10)) | quint8(b.at(11)) << 8;
        QCOMPARE(b.size(), header + 3 * recLen + 1);
        QCOMPARE(b.back(), char(0x1A));
        const QByteArray first = b.mid(header, recLen);
        QCOMPARE(first.mid(1, 11), QByteArray("         42"));
        QCOMPARE(first.mid(18, 19), QByteArray("         -46.123457"));
        QCOMPARE(first.mid(37, 12), QByteArray("JOS\xC9 \xC7\xE3o \x80  "));
        QCOMPARE(b.mid(header + recLen, recLen), QByteArray(recLen, ' '));
    }

    // SQLite hands dates back as ISO text: the same bytes as from the
    // engines' date values, and a day that does not exist still fails.
    void datesGivenAsTextWriteTheSameBytes()
    {
        QTemporaryDir dir;
        const QList<DbaseField> fields{DbaseField::date(QStringLiteral("Nasc")), DbaseField::moment(QStringLiteral("Hora"))};
        const QList<QList<QVariant>> typed{
            {QDate(2019, 2, 28), QDateTime(QDate(2024, 12, 31), QTime(8, 30, 5, 250))},
            {QDateTime(QDate(2001, 1, 2), QTime(23, 0)), QDate(2020, 5, 6)},
            {QDate(1999, 12, 31), QDateTime(QDate(2000, 2, 29), QTime(23, 59, 59))},
        };
        const QList<QList<QVariant>> text{
            {QStringLiteral("2019-02-28"), QStringLiteral("2024-12-31T08:30:05.250")},
            {QStringLiteral("2001-01-02T23:00:00.000"), QStringLiteral("2020-05-06")},
            {QStringLiteral("1999-12-31 00:00:00"), QStringLiteral("2000-02-29 23:59:59")},
        };
        auto write = [&](const QString &name, const QList<QList<QVariant>> &rows) {
            const QString path = dir.filePath(name);
            DbaseTable t(path, fields);
            for (const auto &r : rows)
                t.append(r);
            t.close();
            return DbfRead::bytes(path);
        };
        const QByteArray a = write(QStringLiteral("a.dbf"), typed), b = write(QStringLiteral("b.dbf"), text);
        QCOMPARE(b, a);
        QVERIFY(a.contains("20190228" "2024-12-31 08:30:05"));
        for (const QString &bad : {QStringLiteral("2023-02-30"), QStringLiteral("ontem")}) {
            DbaseTable t(dir.filePath(QStringLiteral("c.dbf")), fields);
            QVERIFY_THROWS_EXCEPTION(DbaseFailure, t.append({bad, QVariant()}));
        }
    }

    void emptyResultGivesFieldsAndNoRecords()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vazio.dbf"));
        RowListDataSource none({"a", "b"}, {});
        const auto out = DbaseExport::write(path, {DbaseField::number("A", 11), DbaseField::text("B", 3)}, none);
        QVERIFY(out.done());
        const DbfRead::Table r = DbfRead::read(path);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(DbfRead::fieldNames(r), (QStringList{"A", "B"}));
        QCOMPARE(r.records.size(), 0);
        QVERIFY(leftovers(dir.path()).isEmpty());
    }

    void fieldNamesAreShortUniqueAndStable()
    {
        // The appointment export: four pairs share their first ten characters.
        const QStringList appointments{
            "Id_Atendimento", "Id_Proprietario", "Id_Animal", "NomeAnimal", "Id_Unidade_Trabalho", "NomeUnidadeTrabalho",
            "Id_Unidade_Agendada", "NomeUnidadeAgendada", "Data_Hora_Atendimento", "Id_Atendimento_Status",
            "NomeAtendimentoStatus", "Inserido_Por", "NomeInseridoPor", "Inserido_Em", "Modificado_Por",
            "NomeModificadoPor", "Modificado_Em", "Ind_Autoriza_Cirurgia", "sexo", "id_pelo", "nomePelo", "id_especie",
            "nomeEspecie", "id_raca", "nomeRaca", "esterilizado", "id_porte", "nomePorte", "cor", "sinais",
            "AnoAtentidemto", "MesAtentidemto"};
        const QStringList names = dbaseFieldNames(appointments);
        QCOMPARE(names.size(), 32);
        QSet<QString> seen;
        for (const QString &n : names) {
            QVERIFY2(n.size() <= 10, qPrintable(n));
            QVERIFY2(!seen.contains(n.toUpper()), qPrintable(n));
            seen.insert(n.toUpper());
        }
        QCOMPARE(names.at(4), QStringLiteral("Id_Unidade"));
        QCOMPARE(names.at(6), QStringLiteral("Id_Unida_2"));
        QCOMPARE(names.at(9), QStringLiteral("Id_Atend_2"));
        QCOMPARE(names.at(14), QStringLiteral("Modificado"));
        QCOMPARE(names.at(16), QStringLiteral("Modifica_2"));
        QCOMPARE(names.at(3), QStringLiteral("NomeAnimal"));
        QCOMPARE(dbaseFieldNames(appointments), names);

        // A generated name taken by a later column, and a third of a kind;
        // case does not tell names apart.
        QCOMPARE(dbaseFieldNames({"Telefone_Residencial", "Telefone_Recado", "Telefone_2", "TELEFONE_RUA", "cor", "COR"}),
                 (QStringList{"Telefone_R", "Telefone_2", "Telefone_3", "TELEFONE_4", "cor", "COR_2"}));
    }

    // The rows are encoded and written beside the reading: the table must be
    // byte for byte the one written row by row, in the order read, with the
    // changed texts counted from the right record; a value that fails many
    // rows in still names its own record.
    void rowsWrittenBesideTheReadingKeepTheirOrderAndRecords()
    {
        QTemporaryDir dir;
        const QList<DbaseField> fields{DbaseField::number("N", 11), DbaseField::text("Nome", 8), DbaseField::date("Dia")};
        QList<QList<QVariant>> rows;
        for (int i = 0; i < 5003; ++i)
            rows.append(QList<QVariant>{i, i % 997 == 0 ? QString::fromUtf8("ЖУК %1").arg(i) : QStringLiteral("R%1").arg(i),
                                        QDate(2001, 1, 1).addDays(i)});
        const QString direct = dir.filePath(QStringLiteral("direta.dbf"));
        {
            DbaseTable t(direct, fields);
            for (const auto &r : std::as_const(rows))
                t.append(r);
            t.close();
        }
        RowListDataSource source({"n", "t", "d"}, rows);
        const QString piped = dir.filePath(QStringLiteral("exportada.dbf"));
        const DbaseExport::Outcome out = DbaseExport::write(piped, fields, source);
        QVERIFY2(out.done(), qPrintable(out.reason));
        QCOMPARE(out.rows, qint64(5003));
        QCOMPARE(DbfRead::bytes(piped), DbfRead::bytes(direct));
        QCOMPARE(out.changedCount, qint64(6)); // rows 0, 997, ..., 4985
        QCOMPARE(out.changes.at(1).record, qint64(998));
        QCOMPARE(out.changes.at(5).record, qint64(4986));

        rows[3999][0] = 123456789012LL; // wider than N(11)
        RowListDataSource bad({"n", "t", "d"}, rows);
        const DbaseExport::Outcome failed = DbaseExport::write(piped, fields, bad);
        QVERIFY(failed.kind == DbaseExport::Outcome::Kind::Failed);
        QVERIFY2(failed.reason.contains("registro 4000"), qPrintable(failed.reason));
        QCOMPARE(DbfRead::bytes(piped), DbfRead::bytes(direct));
        QCOMPARE(leftovers(dir.path()), QStringList());
    }

    void failuresLeaveTheOldTableAndNoTemporaryFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("antiga.dbf"));
        {
            RowListDataSource old({"n"}, {{1}, {2}});
            QVERIFY(DbaseExport::write(path, {DbaseField::number("N", 11)}, old).done());
        }
        const QByteArray before = DbfRead::bytes(path);

        // A number wider than its field: the reason names field and row.
        RowListDataSource big({"n"}, {{1}, {1234567}});
        auto out = DbaseExport::write(path, {DbaseField::number("Num", 6)}, big);
        QVERIFY(out.kind == DbaseExport::Outcome::Kind::Failed);
        QVERIFY2(out.reason.contains("Num") && out.reason.contains("registro 2"), qPrintable(out.reason));

        // The source fails after some rows.
        FailingSource failing(1200);
        out = DbaseExport::write(path, {DbaseField::number("N", 11)}, failing);
        QVERIFY(out.kind == DbaseExport::Outcome::Kind::Failed);
        QVERIFY(out.reason.contains(QStringLiteral("conexão perdida")));

        // Cancelled halfway through.
        const qint64 was = LongWork::setCancelAtStepForTests(1000);
        {
            QList<QList<QVariant>> rows;
            for (int i = 0; i < 5000; ++i)
                rows.append(QList<QVariant>{i});
            RowListDataSource many({"n"}, rows);
            LongWork p(QStringLiteral("Exportação"), QString());
            out = DbaseExport::write(path, {DbaseField::number("N", 11)}, many, &p);
        }
        LongWork::setCancelAtStepForTests(was);
        QVERIFY(out.kind == DbaseExport::Outcome::Kind::Cancelled);
        QVERIFY(out.rows < 5000);

        QCOMPARE(DbfRead::bytes(path), before);
        QCOMPARE(leftovers(dir.path()), QStringList());

        // A folder that cannot be written fails before any row.
        RowListDataSource one({"n"}, {{1}});
        out = DbaseExport::write(dir.filePath("nao/existe.dbf"), {DbaseField::number("N", 11)}, one);
        QVERIFY(out.kind == DbaseExport::Outcome::Kind::Failed);
    }

    // Nothing written differs from what is stored without the clerk being
    // told: composed accents, Latin forms, characters left out, texts cut
    // to their field (counted in bytes), each named in the closing message.
    void textsAreWrittenFaithfullyOrNamed()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("textos.dbf"));
        const QString emoji50 = QString::fromUtf8("🐶").repeated(50);
        RowListDataSource rows({"n", "t"},
                               {{1, QString::fromUtf8("🐶 REX")},
                                {2, QString::fromUtf8("JOA\u0303O")},          // combining tilde: written as "JOÃO", unchanged
                                {3, QString::fromUtf8("БОРИС Жук")},
                                {4, QString::fromUtf8("Ωmega ΣΟΦΙΑ")},
                                {5, QString::fromUtf8("ŁÓDŹ ǎ ﬁ Ａ")},
                                {6, QString::fromUtf8("中文 العربية")},
                                {7, QString::fromUtf8("ZERO\u200bWIDTH")},
                                {8, emoji50},
                                {9, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ")},
                                {10, QString::fromUtf8("JOSÉ € “ok”")}});
        const QList<DbaseField> fields{DbaseField::number("N", 11), DbaseField::text("Nome", 20)};
        const DbaseExport::Outcome out = DbaseExport::write(path, fields, rows);
        QVERIFY2(out.done(), qPrintable(out.reason));
        const DbfRead::Table r = DbfRead::read(path);
        QVERIFY2(r.ok, qPrintable(r.error));
        QStringList got;
        for (const auto &rec : r.records)
            got << rec.toArray().at(1).toString();
        QCOMPARE(got, (QStringList{"REX", QString::fromUtf8("JOÃO"), "BORIS Zhuk", "Omega SOFIA", QString::fromUtf8("LÓDZ a fi A"), "", "ZEROWIDTH",
                                   "", "ABCDEFGHIJKLMNOPQRST", QString::fromUtf8("JOSÉ € “ok”")}));
        QVERIFY2(!DbfRead::bytes(path).contains('?'), "no question marks");
        // Everything but the composed accent and the plain Windows-1252 text.
        QCOMPARE(out.changedCount, qint64(8));
        QCOMPARE(out.changes.size(), 8);
        QCOMPARE(out.changes.at(0).record, qint64(1));
        QCOMPARE(out.changes.at(0).field, QStringLiteral("Nome"));
        QCOMPARE(out.changes.at(0).stored, QString::fromUtf8("🐶 REX"));
        QCOMPARE(out.changes.at(0).written, QStringLiteral("REX"));
        QVERIFY(!out.changes.at(0).cut);
        QCOMPARE(out.changes.last().record, qint64(9));
        QVERIFY(out.changes.last().cut);

        const QString text = DbaseExport::closingMessage(out);
        QVERIFY2(text.startsWith(QStringLiteral("Exportação concluída.\r\r8 valores")), qPrintable(text));
        QVERIFY2(text.contains(QString::fromUtf8("Registro 1, campo Nome: \"🐶 REX\" gravado como \"REX\"")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Registro 9, campo Nome: \"ABCDEFGHIJKLMNOPQRSTUVWXYZ\"")) && text.contains("(cortado)"),
                 qPrintable(text));
        QCOMPARE(DbaseExport::closingMessage(DbaseExport::Outcome{}), QStringLiteral("Exportação concluída."));

        // Fifty emoji fit a varchar(50) and take no byte; only ten changes
        // are named, the rest counted.
        QList<QList<QVariant>> many;
        for (int i = 0; i < 25; ++i)
            many.append(QList<QVariant>{i, i % 2 ? emoji50 : QString::fromUtf8("Ёж")});
        RowListDataSource manyRows({"n", "t"}, many);
        const DbaseExport::Outcome o2 = DbaseExport::write(dir.filePath("muitos.dbf"), {fields.at(0), DbaseField::text("Ped", 50)}, manyRows);
        QVERIFY2(o2.done(), qPrintable(o2.reason));
        QCOMPARE(o2.rows, qint64(25));
        QCOMPARE(o2.changedCount, qint64(25));
        QCOMPARE(o2.changes.size(), 10);
        QVERIFY(DbaseExport::closingMessage(o2).endsWith(QStringLiteral("... e mais 15.")));
        QCOMPARE(DbfRead::read(dir.filePath("muitos.dbf")).records.at(0).toArray().at(1).toString(), QStringLiteral("Ezh"));
    }

    void pathsAndTextFiles()
    {
        QCOMPARE(DbaseExport::tablePath("/x/dados"), QStringLiteral("/x/dados.dbf"));
        QCOMPARE(DbaseExport::tablePath("/x/dados.DBF"), QStringLiteral("/x/dados.DBF"));
        QCOMPARE(DbaseExport::tablePath("/x/dados.txt"), QStringLiteral("/x/dados.txt.dbf"));
        QCOMPARE(DbaseExport::dictionaryPath("/x/dados"), QStringLiteral("/x/dados.txt"));
        // shapelib replaces the last extension: the temporary name must end in .dbf.
        const QString tmp = DbaseExport::temporaryPath("/x/dados.dbf");
        QVERIFY(tmp.startsWith("/x/.~dados.dbf.") && tmp.endsWith(".dbf"));

        QTemporaryDir dir;
        const QString txt = dir.filePath("dic.txt");
        QVERIFY(DbaseExport::writeText(txt, {QStringLiteral("Raça: ção"), QStringLiteral("€")}));
        QCOMPARE(DbfRead::bytes(txt), QByteArray("Ra\xE7" "a: \xE7\xE3o\r\n\x80\r\n"));
        QVERIFY(!DbaseExport::writeText(dir.filePath("nao/existe.txt"), {"x"}));
    }
};

QTEST_MAIN(TestDbase)
#include "tst_dbase.moc"
