// The layout the register lists share, composed from rows in memory.
#include "db/Formats.h"
#include "reports/ListLayout.h"
#include "reports/engine/Composer.h"
#include "reports/engine/ReportExport.h"
#include "reports/engine/ReportPainter.h"
#include "reports/engine/Reports.h"
#include "db/TextCodec.h"

#include <QTest>

namespace {

ReportDefinition unitsList(int extraRows)
{
    RegisterList s;
    s.code = QStringLiteral("REL025");
    s.title = QStringLiteral("Unidade de Trabalho");
    s.keyColumn = QStringLiteral("id");
    s.nameColumn = QStringLiteral("nome");
    s.statusColumn = QStringLiteral("status");
    s.statusText = [](const QString &v) { return QStringLiteral(" Registro: ") + v; };
    s.descriptionColumn = QStringLiteral("descricao");
    s.summaryLabel = QStringLiteral("Total de registro:");
    QList<QList<QVariant>> rows = {
        {1, QStringLiteral("CENTRO DE CONTROLE DE ZOONOSES"), QStringLiteral("ATIVO"), QStringLiteral("Sede da unidade, com canil e gatil.")},
        {2, QStringLiteral("UNIDADE MÓVEL NORTE"), QStringLiteral("ATIVO"),
         QStringLiteral("Castramóvel que percorre os bairros da região norte, com agenda publicada mensalmente para cães e gatos; "
                        "atende também mutirões de vacinação antirrábica e microchipagem de animais resgatados pela equipe de campo.")},
        {3, QStringLiteral("POSTO SUL"), QStringLiteral("INATIVO"), QString()}};
    for (int i = 0; i < extraRows; ++i)
        rows << QList<QVariant>{10 + i, QStringLiteral("POSTO %1").arg(10 + i), QStringLiteral("ATIVO"), QStringLiteral("Posto de atendimento.")};
    return ListLayout::registerList(s, [rows] {
        return std::make_unique<RowListDataSource>(
            QStringList{QStringLiteral("id"), QStringLiteral("nome"), QStringLiteral("status"), QStringLiteral("descricao")}, rows);
    });
}

const PlacedItem *only(const ComposedReport &r, const QString &name)
{
    const auto l = r.named(name);
    return l.size() == 1 ? l.first() : nullptr;
}

} // namespace

class TestListLayout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Formats::install();
        Reports::setProductTitle(QStringLiteral("ZAPO - Controle de Zoonoses"));
    }

    void titleBandCarriesProductCodeDateAndTitle()
    {
        ComposeOptions opt;
        opt.now = QDateTime(QDate(2024, 4, 16), QTime(14, 5, 9));
        const ComposedReport r = Reports::compose(unitsList(0), opt);
        const PlacedItem *product = only(r, QStringLiteral("produto"));
        const PlacedItem *code = only(r, QStringLiteral("codigo"));
        const PlacedItem *when = only(r, QStringLiteral("data_hora"));
        const PlacedItem *title = only(r, QStringLiteral("titulo"));
        QVERIFY(product && code && when && title);
        QVERIFY(product->font.bold);
        QCOMPARE(product->font.pointSize, 14.0);
        QCOMPARE(code->font.pointSize, 8.0);
        QCOMPARE(code->align, Qt::AlignRight);
        QCOMPARE(when->text, QStringLiteral("16/04/2024 14:05:09"));
        QVERIFY(when->rect.top() >= code->rect.bottom() - 0.01); // under the code
        QCOMPARE(title->text, QStringLiteral("Unidade de Trabalho"));
        QVERIFY(title->rect.top() > product->rect.top());
        QCOMPARE(title->align, Qt::AlignHCenter);
        // A line under the title band, above the first record.
        const PlacedBand *band = r.bandsOf(BandKind::Title).first();
        bool lineUnder = false;
        for (const PlacedItem &i : r.pages.at(0).items)
            if (i.kind == PlacedItem::Kind::Line && qAbs(i.rect.top() - band->rect.bottom()) < 0.01 && i.rect.width() > 180)
                lineUnder = true;
        QVERIFY(lineUnder);
    }

    void recordsAreBoxedAndLongDescriptionsWrapOverTheFullWidth()
    {
        const ComposedReport r = Reports::compose(unitsList(0));
        const auto blocks = r.bandsOf(BandKind::SubDetail);
        QCOMPARE(blocks.size(), 3);
        QVERIFY(blocks.at(1)->rect.height() > blocks.at(0)->rect.height());
        QCOMPARE(blocks.at(2)->rect.height(), blocks.at(0)->rect.height());
        const auto desc = r.named(QStringLiteral("descricao"));
        QVERIFY(desc.at(1)->lines().size() >= 2);
        QVERIFY(desc.at(1)->rect.width() > 180);
        const auto status = r.named(QStringLiteral("status"));
        QCOMPARE(status.at(2)->text, QStringLiteral(" Registro: INATIVO"));
        QVERIFY(status.at(2)->rect.right() > 190); // at the right
        const auto keys = r.named(QStringLiteral("chave"));
        QCOMPARE(keys.at(0)->font.pointSize, 10.0);
        QCOMPARE(keys.at(0)->align, Qt::AlignRight);
        QCOMPARE(r.named(QStringLiteral("total")).first()->text, QStringLiteral("3"));
        int boxes = 0;
        for (const PlacedItem &i : r.pages.at(0).items)
            boxes += i.kind == PlacedItem::Kind::Rect;
        QCOMPARE(boxes, 3);
        if (qEnvironmentVariableIsSet("ZAPO_REPORT_PNG_DIR")) {
            for (auto f : {ReportExport::Format::Text, ReportExport::Format::Csv, ReportExport::Format::Html})
                ReportExport::write(r, f, qEnvironmentVariable("ZAPO_REPORT_PNG_DIR") + QStringLiteral("/family.")
                                              + (f == ReportExport::Format::Text ? "txt" : f == ReportExport::Format::Csv ? "csv" : "html"));
        }
        if (qEnvironmentVariableIsSet("ZAPO_REPORT_PNG_DIR"))
            ReportPainter::pageImage(r, 0, 110).save(qEnvironmentVariable("ZAPO_REPORT_PNG_DIR") + QStringLiteral("/family.png"));
    }

    void longListsRepeatOnlyTheFooterAndCountEveryRecord()
    {
        const ComposedReport r = Reports::compose(unitsList(60));
        QVERIFY(r.pageCount() >= 3);
        QCOMPARE(r.named(QStringLiteral("produto")).size(), 1);
        QCOMPARE(r.named(QStringLiteral("pagina")).size(), r.pageCount());
        QCOMPARE(r.named(QStringLiteral("pagina")).last()->text, QStringLiteral("Pag.: %1").arg(r.pageCount()));
        QCOMPARE(r.named(QStringLiteral("total")).first()->text, QStringLiteral("63"));
        // The plain-text export keeps key, name and status of a record on one line.
        const QString text = Cp1252::decode(ReportExport::text(r));
        bool found = false;
        for (const QString &line : text.split(QStringLiteral("\r\n")))
            if (line.contains(QStringLiteral("POSTO SUL")) && line.contains(QStringLiteral("Registro: INATIVO")))
                found = true;
        QVERIFY2(found, qPrintable(text.left(2000)));
    }
};

QTEST_MAIN(TestListLayout)
#include "tst_listlayout.moc"
