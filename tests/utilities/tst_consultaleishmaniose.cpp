// Screen 045: samples of the sibling database by code, dog, street, number.
#include "db/DataModule.h"
#include "db/Reconnect.h"
#include "db/Sql.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/register/PagedQueryModel.h"
#include "utilities/ConsultaLeishmanioseScreen.h"

#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <tuple>

namespace {

void fill(Connection &k)
{
    const QDateTime when(QDate(2025, 4, 2), QTime(9, 0));
    for (const auto &[inca, district, bulletin] : {std::tuple{1, 1, 10}, std::tuple{1, 2, 10}, std::tuple{1, 1, 11}})
        Sql::exec(k, QStringLiteral("insert into sa001041 (numinca, numdistrito, numboletim, dtcoleta, catboletim, numproto, codlab) "
                                    "values (:i, :d, :b, :w, 'RO', 77, 'LAB0001')"),
                  {{"i", inca}, {"d", district}, {"b", bulletin}, {"w", when}});
    struct S {
        int district;
        const char *code, *street;
        int number;
        const char *dog, *result, *confirmation;
    };
    const S rows[] = {
        {1, "A00000001", "RUA DAS FLORES", 100, "REX", "PO", "OK"},
        {1, "A00000002", "AVENIDA FLORESTA", 12, "BOB_%", "NR", "OK"},
        {1, "A00000003", "RUA D'ÁGUA", 7, "RÉXONA", "IN", "OK"},
        {1, "A00000004", "TRAVESSA DO REX", 100, "MAX", "PO", "NC"},
        {1, "A00000005", "RUA A", 5, "BIDU", "po", "OK"},
        {2, "A00000006", "RUA B", 6, "REX", "MO", "OK"},
        {9, "A00000007", "RUA DAS FLORES", 100, "REX", "PO", "OK"}, // no bulletin of its own
    };
    for (const S &s : rows)
        Sql::exec(k, QStringLiteral("insert into sa001042 (numinca, numdistrito, numboletim, codAmostra, nompropri, tipolograd, "
                                    "desclograd, numendprop, aptocomprop, nomecao, caosexo, resultamostra, confamostra, "
                                    "dtconfamostra, numquart, tpocorlaudo) values (1, :d, 10, :c, 'DONO', 'RUA', :s, :n, '', "
                                    ":g, 'M', :r, :k, :w, 3, '01')"),
                  {{"d", s.district}, {"c", QString::fromLatin1(s.code)}, {"s", QString::fromUtf8(s.street)}, {"n", s.number},
                   {"g", QString::fromUtf8(s.dog)}, {"r", QString::fromLatin1(s.result)}, {"k", QString::fromLatin1(s.confirmation)},
                   {"w", when.addDays(10)}});
}

QStringList codes(ConsultaLeishmanioseScreen &s)
{
    QStringList l;
    for (int r = 0; r < s.model()->rowCount(); ++r)
        l << s.model()->rawValue(r, 4).toString().trimmed();
    l.sort();
    return l;
}

void criteria(ConsultaLeishmanioseScreen &s, const QString &sample, const QString &dog, const QString &street,
              const QString &number = {})
{
    child<QLineEdit>(&s, "edtCodAmostra")->setText(sample);
    child<QLineEdit>(&s, "edtNomeAnimal")->setText(dog);
    child<QLineEdit>(&s, "edtLogradouro")->setText(street);
    child<QLineEdit>(&s, "edtNumero")->setText(number);
    s.consultar();
}

} // namespace

class TestConsultaLeishmaniose : public QObject {
    Q_OBJECT
private slots:
    void colours()
    {
        using S = ConsultaLeishmanioseScreen;
        QCOMPARE(S::resultColour("PO", "OK"), QColor(Qt::red));
        QCOMPARE(S::resultColour("RE", "OK"), QColor(Qt::red));
        QCOMPARE(S::resultColour("NR", "OK"), QColor(Qt::blue));
        QCOMPARE(S::resultColour("IN", "OK"), QColor(Qt::darkGreen));
        QCOMPARE(S::resultColour("MO", "OK"), QColor(Qt::darkGreen));
        for (const auto &[r, c] : {std::pair{"PO", "NC"}, std::pair{"NR", ""}, std::pair{"po", "OK"}, std::pair{"PO", "ok"},
                                   std::pair{"XX", "OK"}})
            QVERIFY2(!S::resultColour(r, c).isValid(), r);
    }

    void findsSamples_data() { addEngineRows(); }
    void findsSamples()
    {
        ZAPO_TEST_DB(t);
        Connection &k = t->dm().connection(DataModule::KeldaName);
        fill(k);
        RecordingMessages msgs;
        ConsultaLeishmanioseScreen s;
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));

        // A title click before any search sends nothing.
        int sent = 0;
        Sql::setObserver([&sent](const QString &, const QVariantMap &) { ++sent; });
        s.sortByColumn(4);
        Sql::setObserver({});
        QCOMPARE(sent, 0);
        QVERIFY(msgs.shown.isEmpty());

        criteria(s, QStringLiteral("  "), {}, {});
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Falta preencher o texto para a pesquisa!")});
        msgs.clear();

        // Typed in upper case; names from their start, ignoring accents.
        auto *dog = child<QLineEdit>(&s, "edtNomeAnimal");
        dog->clear();
        QTest::keyClicks(dog, QStringLiteral("rex"));
        QCOMPARE(dog->text(), QStringLiteral("REX"));
        s.consultar();
        QCOMPARE(codes(s), (QStringList{"A00000001", "A00000003", "A00000006"}));
        QCOMPARE(s.panel(2)->text(), QStringLiteral("3 registros encontrados."));
        // Streets contain the text anywhere; quotes and accents as typed or not.
        criteria(s, {}, {}, QStringLiteral("flor"));
        QCOMPARE(codes(s), (QStringList{"A00000001", "A00000002"}));
        criteria(s, {}, {}, QStringLiteral("D'AGUA"));
        QCOMPARE(codes(s), QStringList{"A00000003"});
        // % and _ are plain characters.
        criteria(s, {}, QStringLiteral("BOB_%"), {});
        QCOMPARE(codes(s), QStringList{"A00000002"});
        criteria(s, {}, QStringLiteral("B_B"), {});
        QCOMPARE(codes(s), QStringList());
        criteria(s, {}, {}, QStringLiteral("%"));
        QCOMPARE(codes(s), QStringList());
        // Criteria together; the sample code exactly, trimmed.
        criteria(s, {}, QStringLiteral("REX"), {}, QStringLiteral("100"));
        QCOMPARE(codes(s), QStringList{"A00000001"});
        criteria(s, {}, {}, {});
        msgs.clear();
        QTest::keyClicks(child<QLineEdit>(&s, "edtCodAmostra"), QStringLiteral("a00000006"));
        s.consultar();
        QCOMPARE(codes(s), QStringList{"A00000006"});
        criteria(s, QStringLiteral("A0000000"), {}, {});
        QCOMPARE(codes(s), QStringList());
        // Not a number: cannot be typed.
        auto *number = child<QLineEdit>(&s, "edtNumero");
        number->clear();
        QTest::keyClicks(number, QStringLiteral("1a2"));
        QCOMPARE(number->text(), QStringLiteral("12"));

        // Every sample with a bulletin: the orphan and the empty bulletin never show.
        criteria(s, {}, {}, QStringLiteral("A"));
        QCOMPARE(codes(s), (QStringList{"A00000001", "A00000002", "A00000003", "A00000004", "A00000005", "A00000006"}));
        s.sortByColumn(4); // by sample code
        const QColor expected[] = {Qt::red, Qt::blue, Qt::darkGreen, QColor(), QColor(), Qt::darkGreen};
        for (int r = 0; r < 6; ++r) {
            QCOMPARE(s.model()->rawValue(r, 4).toString().trimmed(), QStringLiteral("A0000000%1").arg(r + 1));
            const QVariant fg = s.model()->data(s.model()->index(r, 7), Qt::ForegroundRole);
            if (expected[r].isValid())
                QCOMPARE(fg.value<QColor>(), expected[r]);
            else
                QVERIFY2(!fg.isValid(), qPrintable(QString::number(r)));
        }
        QCOMPARE(s.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Inquerito"));
        QCOMPARE(s.model()->rawValue(0, 2).toInt(), 1);
        QCOMPARE(s.model()->headerData(13, Qt::Horizontal).toString(), QStringLiteral("Quadra"));
        QCOMPARE(s.model()->rawValue(0, 13).toInt(), 3);
        shot(&s, "045-consulta-lvc");

        // Each window keeps its own search: a new one has none to order.
        {
            ConsultaLeishmanioseScreen other;
            other.sortByColumn(4);
            QCOMPARE(other.model()->rowCount(), 0);
        }

        // The sibling database gone: the database's error, the rows stay.
        msgs.clear();
        Reconnect::forget(k);
        {
            QSqlDatabase db = k.db();
            db.close();
        }
        criteria(s, {}, QStringLiteral("REX"), {});
        QCOMPARE(msgs.shown.size(), 1);
        QCOMPARE(msgs.shown.first().kind, QStringLiteral("error"));
        QCOMPARE(s.model()->rowCount(), 6);
    }
};

QTEST_MAIN(TestConsultaLeishmaniose)
#include "tst_consultaleishmaniose.moc"
