// Tax-number check digits, the e-mail rule and the street database's files:
// the rules that need no database.
#include "db/Documents.h"
#include "registry/StreetData.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class TestDocuments : public QObject {
    Q_OBJECT
private slots:
    void cpf_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("valid") << "52998224725" << true;
        QTest::newRow("valid, zero check digit path") << "11144477735" << true;
        QTest::newRow("last digit changed") << "52998224724" << false;
        QTest::newRow("first check digit changed") << "52998224715" << false;
        QTest::newRow("all ones pass the arithmetic but are refused") << "11111111111" << false;
        QTest::newRow("all zeros") << "00000000000" << false;
        QTest::newRow("ten digits") << "5299822472" << false;
        QTest::newRow("twelve digits") << "529982247250" << false;
        QTest::newRow("with the mask's dots") << "529.982.247-25" << false;
        QTest::newRow("letter") << "5299822472A" << false;
        QTest::newRow("empty") << "" << false;
    }
    void cpf()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(Documents::validaCpf(text), valid);
    }

    void cnpj_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("valid") << "11222333000181" << true;
        QTest::newRow("valid, leading zero") << "04252011000110" << true;
        QTest::newRow("last digit changed") << "11222333000180" << false;
        QTest::newRow("first check digit changed") << "11222333000191" << false;
        QTest::newRow("all zeros pass the arithmetic but are refused") << "00000000000000" << false;
        QTest::newRow("all nines") << "99999999999999" << false;
        QTest::newRow("a CPF is no CNPJ") << "52998224725" << false;
        QTest::newRow("letter") << "1122233300018X" << false;
    }
    void cnpj()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(Documents::validaCnpj(text), valid);
    }

    void email_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "maria@ab.com" << true;
        QTest::newRow("blanks and case") << "  Maria.Silva@Exemplo.COM.br " << true;
        QTest::newRow("begins with @") << "@exemplo.com" << false;
        QTest::newRow("nothing after @") << "maria@" << false;
        QTest::newRow("no dot after @") << "maria@exemplo" << false;
        QTest::newRow("one character before the dot") << "maria@a.com" << false;
        QTest::newRow("first dot too early even with a later one") << "maria@a.bc.com" << false;
        QTest::newRow("dot right after @") << "maria@.com" << false;
        QTest::newRow("dot only before @") << "maria.silva@exemplo" << false;
        QTest::newRow("empty") << "" << false;
    }
    void email()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(Documents::validaEmail(text), valid);
    }

    void masksFollowPersonType()
    {
        QVERIFY(Documents::cpfCnpjMask(Documents::pessoaFisica()).startsWith(QLatin1String("999.999.999-99")));
        QVERIFY(Documents::cpfCnpjMask(QString()).startsWith(QLatin1String("999.999.999-99")));
        QVERIFY(Documents::cpfCnpjMask(Documents::pessoaJuridica()).startsWith(QLatin1String("99.999.999/9999-99")));
        QCOMPARE(Documents::digitsOnly(QStringLiteral("529.982.247-25")), QStringLiteral("52998224725"));
        QCOMPARE(Documents::digitsOnly(QStringLiteral("11.222.333/0001-81")), QStringLiteral("11222333000181"));
    }

    void phoneSplitForWebAccount()
    {
        const auto home = Documents::splitPhone(QStringLiteral("(11)33334444"));
        QCOMPARE(home.ddd, QStringLiteral("11"));
        QCOMPARE(home.number, QStringLiteral("33334444"));
        const auto mobile = Documents::splitPhone(QStringLiteral("(21)98765-4321"));
        QCOMPARE(mobile.ddd, QStringLiteral("21"));
        QCOMPARE(mobile.number, QStringLiteral("98765-4321"));
        QVERIFY(Documents::phoneEmpty(QStringLiteral("()")));
        QVERIFY(Documents::phoneEmpty(QStringLiteral("(  )    -    ")));
        QVERIFY(!Documents::phoneEmpty(QStringLiteral("(11)3")));
    }

    void postalCodesKeepLeadingZero()
    {
        QCOMPARE(Documents::cepText(QVariant(8000001)), QStringLiteral("08000001"));
        QCOMPARE(Documents::cepText(QVariant(QStringLiteral("13083-970"))), QStringLiteral("13083970"));
        QCOMPARE(Documents::cepText(QVariant()), QString());
        QCOMPARE(Documents::cepDisplay(QStringLiteral("08000001")), QStringLiteral("08000-001"));
    }

    void csvQuoting()
    {
        QList<StreetData::CsvRecord> recs;
        int bad = 0;
        QString problem;
        const QString text = QStringLiteral("\xFEFF" "a,b,c\r\n1,\"JOANA D'ARC, \"\"A SANTA\"\"\",x\r\n"
                                            "2,\"DUAS\nLINHAS\",y\n\n3,,z\n");
        QVERIFY(StreetData::parseCsv(text, &recs, &bad, &problem));
        QCOMPARE(recs.size(), 4);
        QCOMPARE(recs.at(0).fields, QStringList({"a", "b", "c"}));
        QCOMPARE(recs.at(1).fields.at(1), QStringLiteral("JOANA D'ARC, \"A SANTA\""));
        QCOMPARE(recs.at(2).fields.at(1), QStringLiteral("DUAS\nLINHAS"));
        QCOMPARE(recs.at(2).line, 3);
        QCOMPARE(recs.at(3).line, 6); // after the quoted line break and the blank line
        QCOMPARE(recs.at(3).fields, QStringList({"3", "", "z"}));

        recs.clear();
        QVERIFY(!StreetData::parseCsv(QStringLiteral("a,b\n1,2\n3,\"aberta\n4,5\n"), &recs, &bad, &problem));
        QCOMPARE(bad, 3);
        QVERIFY(!StreetData::parseCsv(QStringLiteral("a,b\n1,x\"y\n"), &recs, &bad, &problem));
        QCOMPARE(bad, 2);
    }

    void sampleCityRoundTripsThroughFiles()
    {
        const StreetData::Dataset city = StreetData::sampleCity();
        QCOMPARE(city, StreetData::sampleCity()); // the same city every time
        QCOMPARE(city.size(), StreetData::tables().size());
        QTemporaryDir dir;
        StreetData::writeCsvDirectory(city, dir.path());
        QList<StreetData::Problem> problems;
        const StreetData::Dataset back = StreetData::readCsvDirectory(dir.path(), &problems);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.value(0).toString()));
        QCOMPARE(back.size(), city.size());
        for (int t = 0; t < city.size(); ++t) {
            QCOMPARE(back.at(t).rows.size(), city.at(t).rows.size());
            for (int r = 0; r < city.at(t).rows.size(); ++r)
                for (int c = 0; c < city.at(t).rows.at(r).size(); ++c)
                    QCOMPARE(back.at(t).rows.at(r).at(c).toString(), city.at(t).rows.at(r).at(c).toString());
        }
    }

    void sampleCityShape()
    {
        const StreetData::Dataset city = StreetData::sampleCity();
        auto rows = [&](const char *name) {
            for (const auto &t : city)
                if (t.name == QLatin1String(name))
                    return t.rows;
            return QList<QVariantList>();
        };
        QVERIFY(rows("Logradouro").size() >= 300);
        QSet<int> codes, districts;
        for (const auto &r : rows("Logradouro"))
            codes.insert(r.at(0).toInt());
        QCOMPARE(codes.size(), rows("Logradouro").size()); // street codes are unique
        for (const auto &r : rows("AreaAbrang")) {
            QVERIFY(r.at(0).toInt() >= 1000 && r.at(0).toInt() <= 9999);
            districts.insert(r.at(2).toInt());
        }
        QCOMPARE(districts.size(), 9);
        // Every stretch of every street has both sides.
        int odd = 0, even = 0;
        for (const auto &r : rows("cepLogradouro"))
            (r.at(2).toString() == QLatin1String("I") ? odd : even)++;
        QCOMPARE(odd, even);
        QVERIFY(rows("logradouroimovel").size() > 1000);
    }

    void malformedFilesAreNamedWithTheirLine()
    {
        QTemporaryDir dir;
        StreetData::writeCsvDirectory(StreetData::sampleCity(), dir.path());
        // Letter case of file and column names does not matter.
        QVERIFY(QFile::rename(dir.filePath("Bairro.csv"), dir.filePath("BAIRRO.CSV")));
        auto rewrite = [&](const QString &file, const QString &content) {
            QFile f(dir.filePath(file));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(content.toUtf8());
        };
        rewrite(QStringLiteral("Localidade.csv"), QStringLiteral("NUM_LOCL,Nom_Locl\n1,SEDE\ndois,RURAL\n"));
        rewrite(QStringLiteral("TipoLogradouro.csv"), QStringLiteral("Tip_Logr,Des_Tip_Logr\nRUA,RUA\nAVEN,AVENIDA\n"));
        QFile::remove(dir.filePath(QStringLiteral("AreaAbrang.csv")));
        QList<StreetData::Problem> problems;
        StreetData::readCsvDirectory(dir.path(), &problems);
        QStringList texts;
        for (const auto &p : problems)
            texts << p.toString();
        QCOMPARE(texts.size(), 3);
        QVERIFY2(texts.at(0).startsWith(QLatin1String("TipoLogradouro.csv:3: ")), qPrintable(texts.at(0)));
        QVERIFY2(texts.at(1).startsWith(QLatin1String("Localidade.csv:3: ")), qPrintable(texts.at(1)));
        QVERIFY2(texts.at(2).startsWith(QLatin1String("AreaAbrang.csv: ")), qPrintable(texts.at(2)));

        // A file without the street-border column means streets inside.
        rewrite(QStringLiteral("BairroLogradouro.csv"), QStringLiteral("num_logr,num_bair\n1001,1\n"));
        problems.clear();
        const StreetData::Dataset read = StreetData::readCsvDirectory(dir.path(), &problems);
        QCOMPARE(read.at(5).rows.first(), (QVariantList{1001, 1, QStringLiteral("N")}));

        rewrite(QStringLiteral("Localidade.csv"), QStringLiteral("num_locl,nome\n1,SEDE\n"));
        problems.clear();
        StreetData::readCsvDirectory(dir.path(), &problems);
        QVERIFY(problems.size() >= 2);
        QVERIFY(problems.at(1).toString().startsWith(QLatin1String("Localidade.csv:1: ")));
    }
};

QTEST_GUILESS_MAIN(TestDocuments)
#include "tst_documents.moc"
