// The identification card (041): the owner search, both card variants and
// the values they compute, on each engine.
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "reports/card/CarteirinhaWindow.h"
#include "reports/engine/ReportPainter.h"
#include "reports/engine/Reports.h"
#include "support/RecordingPreview.h"
#include "support/RecordingServices.h"
#include "support/ReportTesting.h"
#include "support/TestDatabase.h"
#include "ui/register/PagedQueryModel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QTest>

namespace {

void run(Connection &c, const QString &sql, const QVariantMap &p = {})
{
    try {
        Sql::exec(c, sql, p);
    } catch (const DbError &e) {
        qFatal("%s: %s", qPrintable(sql), qPrintable(e.text()));
    }
}

QString only(const ComposedReport &r, const QString &name)
{
    const auto items = r.named(name);
    return items.size() == 1 ? items.first()->text : QStringLiteral("<%1 items>").arg(items.size());
}

void seed(Connection &c)
{
    for (const char *t : {"Histo_Muda_Proprietario", "ocorrencia", "vacina", "endereco_animal", "animal", "proprietario", "endereco",
                          "especie", "raca", "pelo"})
        run(c, QStringLiteral("delete from ") + QLatin1String(t));
    run(c, QStringLiteral("insert into especie (Id_Especie, Nome, Ind_Status) values (1, 'CANINA', 'ATIVO')"));
    run(c, QStringLiteral("insert into raca (Id_Raca, Nome, Id_Especie, Ind_Status) values (1, 'SRD', 1, 'ATIVO')"));
    run(c, QStringLiteral("insert into pelo (Id_pelo, Descricao, Ind_Status) values (1, 'CURTO', 'ATIVO')"));
    run(c, QStringLiteral("insert into endereco (Id_Endereco, TIP_LOGR, NOM_LOGR, NUM_IMOV_LOGR, DES_CMPL_ENDR, NOM_BAIR) values "
                          "(1, 'RUA', 'DAS FLORES', 12, 'CASA 2', 'CENTRO'), "
                          "(2, 'AVENIDA', 'PRESIDENTE JUSCELINO KUBITSCHEK DE OLIVEIRA E MAIS UM NOME BEM COMPRIDO', 12345, "
                          "'BLOCO C APARTAMENTO 1203 TORRE NORTE FUNDOS ENTRADA PELA LATERAL', 'JARDIM DAS ACACIAS AMARELAS')")); 
    run(c, QStringLiteral("insert into proprietario (Id_Proprietario, Nome, Id_Endereco, Telefone_Residencial, Telefone_Celular, "
                          "Num_CI, Num_CPF_CNPJ) values "
                          "(10, 'JOSÉ DA SILVA', 1, '(11)3333-4444', '(11)98765-4321', '123456', '12345678909'), "
                          "(11, 'JOSEFA SEM BICHO', 1, '(11)3333-0000', null, null, null), "
                          "(12, 'MAR%IA LONGE', 2, '(  )    -    ', '(21)99999-8888', null, null), "
                          "(13, 'MARCOS SEM ENDERECO', null, null, null, null, null)"));
    run(c, QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Nome, Id_Especie, Id_Raca, Id_Pelo, Sexo, Esterilizado, "
                          "Num_Microchip, Cor, Data_Nascimento) values "
                          "(1234, 10, 'REX', 1, 1, 1, 'M', 'SIM', '985000000000001', 'PRETO', :n), "
                          "(1235, 12, 'MIA', null, 1, null, 'F', null, null, 'BRANCA', null), "
                          "(1236, 13, 'TOM', 1, 1, 1, 'M', 'NAO', null, 'CINZA', null)"),
        {{QStringLiteral("n"), QDate(2019, 7, 3)}});
    TUsuarioLogado &u = usuarioLogado();
    u = TUsuarioLogado();
    u.IdUsuario = QStringLiteral("7");
    u.NomeUsuario = QStringLiteral("Atendente");
}

void search(CarteirinhaWindow &w, const QString &field, const QString &text)
{
    w.selecione()->setCurrentText(field);
    w.texto()->setText(text);
    w.localizar();
}

QStringList animalsListed(CarteirinhaWindow &w)
{
    QStringList out;
    for (int r = 0; r < w.model()->rowCount(); ++r)
        out << w.model()->data(w.model()->index(r, 0)).toString();
    return out;
}

} // namespace

class TestCard : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Formats::install(); }

    void searchRefusesAndFindsOwnersLiterally_data() { addEngineRows(); }
    void searchRefusesAndFindsOwnersLiterally()
    {
        ZAPO_TEST_DB(t);
        seed(t->main());
        RecordingMessages messages;
        RecordingPreview preview;
        CarteirinhaWindow w;
        w.texto()->setText(QStringLiteral("JOSE"));
        w.localizar();
        QCOMPARE(messages.last(), QStringLiteral("Falta selecionar o tipo de consulta!"));
        search(w, QStringLiteral("Nome proprietário"), QStringLiteral("  "));
        QCOMPARE(messages.last(), QStringLiteral("Falta digitar o texto a ser consultado!"));
        search(w, QStringLiteral("Cód. proprietário"), QStringLiteral("10 or 1=1"));
        QCOMPARE(messages.last(), QStringLiteral("Proprietário não encontrado!"));
        search(w, QStringLiteral("Cód. proprietário"), QStringLiteral("999"));
        QCOMPARE(messages.last(), QStringLiteral("Proprietário não encontrado!"));
        messages.clear();

        // Without regard to accents and case.
        search(w, QStringLiteral("Nome proprietário"), QStringLiteral("jose"));
        QVERIFY(messages.shown.isEmpty());
        QStringList found = animalsListed(w);
        found.sort();
        QCOMPARE(found, (QStringList{QString(), QStringLiteral("REX")}));
        // "%" is a letter like any other.
        search(w, QStringLiteral("Nome proprietário"), QStringLiteral("MAR%"));
        QCOMPARE(animalsListed(w), QStringList{QStringLiteral("MIA")});
        search(w, QStringLiteral("Nome proprietário"), QStringLiteral("MA_"));
        QCOMPARE(messages.last(), QStringLiteral("Proprietário não encontrado!"));

        // An owner without animals: one row, and no card.
        messages.clear();
        search(w, QStringLiteral("Cód. proprietário"), QStringLiteral("11"));
        QCOMPARE(animalsListed(w), QStringList{QString()});
        w.imprimir(CardReport::Variant::Portrait);
        QCOMPARE(messages.last(), QStringLiteral("Animal não encontrado."));
        QVERIFY(preview.isEmpty());
    }

    void bothVariantsPlaceAndFillTheCard_data() { addEngineRows(); }
    void bothVariantsPlaceAndFillTheCard()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        seed(c);
        RecordingMessages messages;
        RecordingPreview preview;
        QPointer<CarteirinhaWindow> w = new CarteirinhaWindow;
        search(*w, QStringLiteral("Cód. proprietário"), QStringLiteral("10"));
        w->imprimir(CardReport::Variant::Portrait);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(w.isNull(), "the window closes after the card's preview");
        const ComposedReport &p = preview.last();
        QCOMPARE(p.pageCount(), 1);
        QCOMPARE(p.orientation, QPageLayout::Portrait);
        QCOMPARE(only(p, QStringLiteral("RGA")), QStringLiteral("1234-1234"));
        QCOMPARE(only(p, QStringLiteral("Proprietário")), QStringLiteral("JOSÉ DA SILVA"));
        QCOMPARE(only(p, QStringLiteral("Telefone")), QStringLiteral("(11)3333-4444"));
        QCOMPARE(only(p, QStringLiteral("Endereço")), QStringLiteral("RUA: DAS FLORES, 12; CASA 2; B:CENTRO"));
        QCOMPARE(only(p, QStringLiteral("Emitido por:")), QStringLiteral("7-ATENDENTE"));
        QCOMPARE(only(p, QStringLiteral("Data da Expedição")), Formats::date(serverNow(c).date()));
        QCOMPARE(only(p, QStringLiteral("Data de Nascimento")), QStringLiteral("03/07/2019"));
        QCOMPARE(p.named(QStringLiteral("logo")).size(), 2);
        QVERIFY(p.named(QStringLiteral("logo")).first()->picture && !p.named(QStringLiteral("logo")).first()->picture->isNull());
        QCOMPARE(p.named(QStringLiteral("cabecalho")).size(), 6);
        const PlacedBand *strip = p.bandsOf(BandKind::Detail).first();
        QVERIFY(qAbs(strip->rect.top()) < 0.01);
        QVERIFY(qAbs(p.named(QStringLiteral("RGA")).first()->rect.left() - 18.0) < 0.01);

        // Owner 12: the mobile stands in, the long address keeps to two
        // lines, empty values show "---" on the portrait card and stay blank
        // on the landscape one, 68 mm down without the header.
        const CardReport::Issue issue{QStringLiteral("7-ATENDENTE"), QDate(2026, 1, 2)};
        const ComposedReport mia = Reports::compose(CardReport::definition(c, CardReport::Variant::Portrait, 1235, QStringLiteral("X"), issue));
        QCOMPARE(only(mia, QStringLiteral("Telefone")), QStringLiteral("(21)99999-8888"));
        QCOMPARE(only(mia, QStringLiteral("Microchip")), QStringLiteral("---"));
        QCOMPARE(only(mia, QStringLiteral("Espécie")), QStringLiteral("---"));
        QCOMPARE(only(mia, QStringLiteral("Pêlo")), QStringLiteral("---"));
        QCOMPARE(only(mia, QStringLiteral("RG")), QStringLiteral("---"));
        QCOMPARE(only(mia, QStringLiteral("Esterilizado")), QStringLiteral("---"));
        QCOMPARE(mia.named(QStringLiteral("Endereço")).first()->lines().size(), 2);
        QVERIFY(mia.named(QStringLiteral("Endereço")).first()->clip);
        QVERIFY(qAbs(mia.bandsOf(BandKind::Detail).first()->rect.height() - 62) < 0.01);

        const ComposedReport land = Reports::compose(CardReport::definition(c, CardReport::Variant::Landscape, 1235, QStringLiteral("X"), issue));
        QCOMPARE(land.orientation, QPageLayout::Landscape);
        QCOMPARE(only(land, QStringLiteral("Microchip")), QString());
        QCOMPARE(only(land, QStringLiteral("Espécie")), QString());
        QCOMPARE(only(land, QStringLiteral("Data da Expedição")), QStringLiteral("02/01/2026"));
        QVERIFY(land.named(QStringLiteral("cabecalho")).isEmpty());
        QVERIFY(qAbs(land.bandsOf(BandKind::Detail).first()->rect.top() - 68) < 0.01);
        QVERIFY(qAbs(land.named(QStringLiteral("RGA")).first()->rect.left() - 13.5) < 0.01);

        // Owner 13 has no address: the address is empty.
        const ComposedReport tom = Reports::compose(CardReport::definition(c, CardReport::Variant::Portrait, 1236, QStringLiteral("X"), issue));
        QCOMPARE(only(tom, QStringLiteral("Endereço")), QString());
        QCOMPARE(only(tom, QStringLiteral("Telefone")), QString());
        if (qEnvironmentVariableIsSet("ZAPO_REPORT_PNG_DIR")) {
            const QString dir = qEnvironmentVariable("ZAPO_REPORT_PNG_DIR");
            ReportPainter::pageImage(p, 0, 110).save(dir + QStringLiteral("/card-portrait.png"));
            ReportPainter::pageImage(land, 0, 110).save(dir + QStringLiteral("/card-landscape.png"));
        }
    }

    // A long breed on the card stock takes a second, smaller line in its own
    // box (never over "Pêlo" below it); one too long even so ends in "…".
    void longBreedsFitTheirBox_data() { addEngineRows(); }
    void longBreedsFitTheirBox()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        seed(c);
        const QString spitz = QStringLiteral("SPITZ ALEMÃO ANÃO (LULU DA POMERÂNIA)");
        const QString endless = QStringLiteral("PASTOR BELGA MALINOIS DE PELO CURTO CRUZADO COM PASTOR ALEMÃO CAPA PRETA");
        run(c, QStringLiteral("insert into raca (Id_Raca, Nome, Id_Especie, Ind_Status) values (2, :a, 1, 'ATIVO'), (3, :b, 1, 'ATIVO')"),
            {{QStringLiteral("a"), spitz}, {QStringLiteral("b"), endless.left(60)}});
        const CardReport::Issue issue{QStringLiteral("7-ATENDENTE"), QDate(2026, 1, 2)};
        for (const auto variant : {CardReport::Variant::Portrait, CardReport::Variant::Landscape}) {
            run(c, QStringLiteral("update animal set Id_Raca = 2 where Id_Animal = 1234"));
            const ComposedReport r = Reports::compose(CardReport::definition(c, variant, 1234, QStringLiteral("X"), issue));
            const PlacedItem *breed = r.named(QStringLiteral("Raça")).first();
            QCOMPARE(breed->lines().join(QLatin1Char(' ')), spitz);
            QVERIFY(breed->font.pointSize >= 6);
            const PlacedItem *pelo = r.named(QStringLiteral("Pêlo")).first();
            QVERIFY(breed->rect.bottom() <= pelo->rect.top() - 3.6); // above the caption of "Pêlo"
            QCOMPARE(ReportTesting::cutTexts(r), QStringList());
            if (variant == CardReport::Variant::Portrait)
                ReportTesting::savePng(r, QStringLiteral("card-raca-longa"), 1);

            run(c, QStringLiteral("update animal set Id_Raca = 3 where Id_Animal = 1234"));
            const ComposedReport cut = Reports::compose(CardReport::definition(c, variant, 1234, QStringLiteral("X"), issue));
            const PlacedItem *longer = cut.named(QStringLiteral("Raça")).first();
            QVERIFY2(longer->lines().last().endsWith(QStringLiteral("…")), qPrintable(longer->text));
            QVERIFY(endless.startsWith(longer->lines().first()));
            QCOMPARE(ReportTesting::cutTexts(cut), QStringList());
        }
    }
};

QTEST_MAIN(TestCard)
#include "tst_card.moc"
