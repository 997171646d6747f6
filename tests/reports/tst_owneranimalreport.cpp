// Report 049: the owner's box reads cleanly (nothing on its lines overlaps,
// the tax number is printed formatted) and lists the owner's animals.
#include "db/Sql.h"
#include "reports/OwnerAnimalReport.h"
#include "reports/engine/Reports.h"
#include "support/TestDatabase.h"

#include <QTest>

class TestOwnerAnimalReport : public QObject {
    Q_OBJECT

private slots:
    void ownerBoxReadsCleanly_data() { addEngineRows(); }
    void ownerBoxReadsCleanly()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        Sql::exec(c, QStringLiteral("insert into endereco (Id_Endereco, TIP_LOGR, NOM_LOGR, NUM_IMOV_LOGR, NOM_BAIR, NUM_CEP) "
                                    "values (900, 'RUA', 'DOUTOR ANTONIO CASTRO PRADO MONTEIRO DE BARROS', 1234, "
                                    "'JARDIM DAS PALMEIRAS IMPERIAIS DO NORTE', '13087000')"));
        Sql::exec(c, QStringLiteral("insert into proprietario (Nome, Tipo_Pessoa, Num_CPF_CNPJ, Num_CI, Id_Endereco, Status_Registro) "
                                    "values ('MARIA DA SILVA', 'FÍSICA', '52998224725', '123456', 900, 'ATIVO')"));
        const int owner = Sql::scalar(c, QStringLiteral("select Id_Proprietario from proprietario where Nome = 'MARIA DA SILVA'")).toInt();
        Sql::exec(c, QStringLiteral("insert into animal (Nome, Id_Proprietario, Sexo) values ('REX', :o, 'M')"),
                  {{QStringLiteral("o"), owner}});
        const int animal = Sql::scalar(c, QStringLiteral("select Id_Animal from animal where Nome = 'REX'")).toInt();
        Sql::exec(c, QStringLiteral("insert into Histo_Muda_Proprietario (Id_Histo_Muda_Proprietario, Id_Animal, Id_Proprietario) "
                                    "values (1, :a, :o)"),
                  {{QStringLiteral("a"), animal}, {QStringLiteral("o"), owner}});

        const ComposedReport r = Reports::compose(OwnerAnimalReport::definition(c, owner));
        QCOMPARE(r.pageCount(), 1);
        const QStringList texts = r.allTexts();
        QVERIFY2(texts.contains(QStringLiteral("529.982.247-25")), qPrintable(texts.join(QLatin1Char('|'))));
        QVERIFY(texts.contains(QStringLiteral("%1 - REX").arg(animal)));

        // Items on the same line of the owner's box never share space.
        const QList<const PlacedBand *> boxes = r.bandsOf(BandKind::GroupHeader);
        QCOMPARE(boxes.size(), 1);
        QList<const PlacedItem *> inBox;
        for (const PlacedItem &i : r.pages.at(0).items)
            if (i.kind == PlacedItem::Kind::Text && !i.text.isEmpty() && boxes.first()->rect.contains(i.rect.center()))
                inBox << &i;
        QVERIFY(inBox.size() >= 8);
        for (int a = 0; a < inBox.size(); ++a)
            for (int b = a + 1; b < inBox.size(); ++b)
                QVERIFY2(!inBox.at(a)->rect.intersects(inBox.at(b)->rect),
                         qPrintable(inBox.at(a)->text + QStringLiteral(" / ") + inBox.at(b)->text));
    }
};

QTEST_MAIN(TestOwnerAnimalReport)
#include "tst_owneranimalreport.moc"
