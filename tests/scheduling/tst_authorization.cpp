// The surgery authorization: the composed identification lines (telephones,
// unspecified parts, a missing address), the surgery paragraph, and the page
// as previewed.
#include "SchedulingFixture.h"
#include "reports/engine/ReportPainter.h"
#include "scheduling/AutorizaCirurgiaReport.h"
#include "support/RecordingPreview.h"
#include "support/RecordingServices.h"
#include "support/OdbcRules.h"
#include "support/TestDatabase.h"

#include <QImage>
#include <QTest>

using namespace SchedulingFixture;
namespace A = AutorizaCirurgiaReport;

class TestAuthorization : public QObject {
    Q_OBJECT
private slots:
    // Statements as a T-SQL server through ODBC takes them (support/OdbcRules.h).
    void initTestCase() { OdbcRules::installForSqlite(); }
    void telephones();
    void paragraph();
    void form_data() { addEngineRows(); }
    void form();
};

void TestAuthorization::telephones()
{
    QCOMPARE(A::telephoneLine(QStringLiteral("3333-4444"), QStringLiteral("(11)98888-7777"), {}),
             QStringLiteral("Tel.:, (11)98888-7777"));
    QCOMPARE(A::telephoneLine(QStringLiteral("(11)3333-4444"), QStringLiteral("(11)98888-7777"), QStringLiteral(" (11)2222-1111 ")),
             QStringLiteral("Tel.:(11)3333-4444, (11)98888-7777, (11)2222-1111"));
    QCOMPARE(A::telephoneLine(QStringLiteral("1234567890"), QStringLiteral("  "), {}), QStringLiteral("Tel.: NÃO INFORMADO."));
}

void TestAuthorization::paragraph()
{
    const QString decl = QStringLiteral("Declaro que todas as informações prestadas acima são verdadeiras e autorizo a internação por "
                                        "3 horas do animal identificado para que seja realizada a cirurgia de:");
    QCOMPARE(A::surgeryParagraph(0, {}), decl + QStringLiteral(" ?????????????" "!"));
    QCOMPARE(A::surgeryParagraph(5, {}), QStringLiteral("Procedimento não expecificado!"));
    QCOMPARE(A::surgeryParagraph(5, {{QStringLiteral("OSH"), QStringLiteral("Ovariosalpingo")}}), decl + QStringLiteral("OSH.Ovariosalpingo"));
    QCOMPARE(A::surgeryParagraph(5, {{QStringLiteral("A"), QStringLiteral("a")}, {QStringLiteral("B"), QStringLiteral("b")}}),
             decl + QStringLiteral(",( A.a),( B.b)"));
}

void TestAuthorization::form()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    fill(c);
    RecordingMessages msgs;
    OwnerRow o;
    o.nome = QStringLiteral("ANA LIMA");
    o.cpf = QStringLiteral("12345678909");
    o.residencial = QStringLiteral("3333-4444");
    o.celular = QStringLiteral("(11)98888-7777");
    const int p = owner(c, o);
    const int a = animal(c, p, QStringLiteral("MEL"), {}, QVariant()); // no coat
    const int k = attendance(c, p, a, 1, QDateTime(QDate(2026, 5, 4), QTime(9, 30)));
    AttendanceStore(c).addProcedure(k, 13);
    AttendanceStore(c).addProcedure(k, 12);

    A::Data d = A::read(c, k);
    QVERIFY(d.found);
    QCOMPARE(d.identification.at(0), QString::number(k) + QStringLiteral(" Data/hora do atendimento: 04/05/2026 09:30:00"));
    QCOMPARE(d.identification.at(1), QString::number(p) + QStringLiteral("-ANA LIMA, CPF/CNPJ: 12345678909"));
    QCOMPARE(d.identification.at(2), QStringLiteral("Tel.:, (11)98888-7777"));
    QCOMPARE(d.identification.at(3), QStringLiteral("RUA DAS FLORES, 12, CASA 2, CEP:08000000, Bairro:CENTRO"));
    QCOMPARE(d.identification.at(4), QString::number(a) + QStringLiteral("-MEL , Grupo:DOMICILIADO, Raça:SRD, Data nasc.:17/05/2020"));
    QCOMPARE(d.identification.at(5), QStringLiteral("Espécie:CANINA , Sexo:F, Porte:PEQUENO, Pelo: (Não especificado) , Sinais: (Não especificado) "));
    QCOMPARE(d.identification.at(6), QStringLiteral("Cor: CARAMELO"));
    // Surgeries in the order they were recorded.
    QCOMPARE(d.surgeries.size(), 2);
    QCOMPARE(d.surgeries.at(0).first, QStringLiteral("MICROCHIPAGEM"));

    // An owner without an address (and a breed gone) still prints the data.
    OwnerRow homeless;
    homeless.nome = QStringLiteral("SEM ENDERECO");
    homeless.endereco = QVariant();
    homeless.residencial.clear();
    const int p2 = owner(c, homeless);
    const int a2 = animal(c, p2, QStringLiteral("REX"));
    Sql::exec(c, QStringLiteral("update animal set Id_Raca = 99 where Id_Animal = :a"), {{QStringLiteral("a"), a2}});
    const int k2 = attendance(c, p2, a2, 1, QDateTime(QDate(2026, 5, 4), QTime(10, 0)));
    d = A::read(c, k2);
    QVERIFY(d.found);
    QCOMPARE(d.identification.at(3), QString());
    QCOMPARE(d.identification.at(2), QStringLiteral("Tel.: NÃO INFORMADO."));
    QVERIFY(d.identification.at(4).contains(QStringLiteral(", Raça:, ")));
    QVERIFY(d.surgeries.isEmpty());

    // Previewed as one A4 page with the fixed texts.
    RecordingPreview preview;
    QVERIFY(A::open(c, k, nullptr));
    QCOMPARE(preview.shown.size(), 1);
    const ComposedReport &r = preview.last();
    QCOMPARE(r.pageCount(), 1);
    QCOMPARE(r.paper, QPageSize::A4);
    QCOMPARE(r.orientation, QPageLayout::Portrait);
    const QStringList texts = r.allTexts();
    const QString all = texts.join(QLatin1Char('\n'));
    QVERIFY(texts.contains(QStringLiteral("Rel:0053")));
    QVERIFY(texts.contains(QStringLiteral("CADASTRO E TERMO DE AUTORIZAÇÃO DE CASTRAÇÃO DE ANIMAIS")));
    QVERIFY(all.contains(QStringLiteral("Tel.:, (11)98888-7777")));
    QVERIFY(all.contains(QStringLiteral(",( MICROCHIPAGEM.Implante de microchip.),( CASTRAÇÃO.")));
    QVERIFY(all.contains(QStringLiteral("Assinatura do proprietário ou responsável pelo animal")));
    QCOMPARE(texts.count(QStringLiteral("SIM")), 10);
    const QImage page = ReportPainter::pageImage(r, 0, 60);
    QVERIFY(!page.isNull());
    QVERIFY(page.height() > page.width());
    if (qEnvironmentVariableIsSet("ZAPO_REPORT_PNG_DIR"))
        ReportPainter::pageImage(r, 0, 100).save(qEnvironmentVariable("ZAPO_REPORT_PNG_DIR") + QStringLiteral("/rel0053.png"));

    // Without a saved attendance the form is still printed, empty.
    QVERIFY(A::open(c, 0, nullptr));
    QVERIFY(preview.last().allTexts().join(QLatin1Char('\n')).contains(QStringLiteral("?????????????" "!")));
    QVERIFY(msgs.shown.isEmpty());
}

QTEST_MAIN(TestAuthorization)
#include "tst_authorization.moc"
