// The pieces windows build their command rows and status lines from, and the
// catalog's reports of one record.
#include "ui/Buttons.h"
#include "ui/ScreenCatalog.h"
#include "ui/StatusPanels.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QVBoxLayout>

class TstCommandRows : public QObject {
    Q_OBJECT
private slots:
    void accessibleCaption_data();
    void accessibleCaption();
    void rowOrderAndClicks();
    void searchBar();
    void panelsAndColours();
    void recordReport();
};

void TstCommandRows::accessibleCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("accessible");
    QTest::newRow("accelerator") << "&Exportar dados..." << "Exportar dados...";
    QTest::newRow("accelerator inside") << "Conclu&ir" << "Concluir";
    QTest::newRow("two accelerators") << "&Imp. &Verdical..." << "Imp. Verdical...";
    QTest::newRow("literal ampersand") << "Proprietário && &Animal" << "Proprietário & Animal";
    QTest::newRow("none") << "Gerar agenda" << "Gerar agenda";
}

void TstCommandRows::accessibleCaption()
{
    QFETCH(QString, caption);
    QFETCH(QString, accessible);
    QWidget w;
    QPushButton *b = commandButton(caption, QStringLiteral("btnX"), &w);
    QCOMPARE(b->parentWidget(), &w);
    QCOMPARE(b->objectName(), QStringLiteral("btnX"));
    QCOMPARE(b->text(), caption);
    QCOMPARE(b->accessibleName(), accessible);
}

void TstCommandRows::rowOrderAndClicks()
{
    QWidget w;
    auto *v = new QVBoxLayout(&w);
    auto *row = new ButtonRow(&w);
    QStringList clicked;
    QPushButton *a = row->add(QStringLiteral("&Pesquisar"), QStringLiteral("btnPesquisar"), &w,
                              [&clicked] { clicked << QStringLiteral("pesquisar"); });
    row->stretch();
    QPushButton *plain = row->add(QStringLiteral("&Sair"), QStringLiteral("btnSair"));
    v->addLayout(row);
    // Left to right as added, the stretch between them.
    QCOMPARE(row->count(), 3);
    QCOMPARE(row->itemAt(0)->widget(), a);
    QVERIFY(row->itemAt(1)->spacerItem());
    QCOMPARE(row->itemAt(2)->widget(), plain);
    a->click();
    plain->click(); // connected by the caller, not by the row
    QCOMPARE(clicked, QStringList{QStringLiteral("pesquisar")});
    // A slot of a receiver that is gone is not called.
    {
        auto *row2 = new ButtonRow(&w);
        QPushButton *b;
        {
            QObject receiver;
            b = row2->add(QStringLiteral("X"), QStringLiteral("btnX"), &receiver, [&clicked] { clicked << QStringLiteral("x"); });
        }
        b->click();
        delete row2;
    }
    QCOMPARE(clicked.size(), 1);
}

void TstCommandRows::searchBar()
{
    QWidget w;
    auto *grid = new QGridLayout(&w);
    auto *criterion = new QComboBox(&w);
    auto *text = new QLineEdit(&w);
    const SearchBarButtons b = placeSearchBar(grid, &w, QStringLiteral("Selecione:"), criterion, text,
                                              QStringLiteral("&Localizar"), QStringLiteral("bmpLocalizar"));
    QCOMPARE(b.find->objectName(), QStringLiteral("bmpLocalizar"));
    QCOMPARE(b.find->accessibleName(), QStringLiteral("Localizar"));
    QCOMPARE(b.ok->objectName(), QStringLiteral("bmpOK"));
    QCOMPARE(b.ok->text(), QStringLiteral("&OK"));
    // Each editor under the caption that names it, the buttons beside the text.
    auto *criterionCaption = qobject_cast<QLabel *>(grid->itemAtPosition(0, 0)->widget());
    auto *textCaption = qobject_cast<QLabel *>(grid->itemAtPosition(0, 1)->widget());
    QVERIFY(criterionCaption && textCaption);
    QCOMPARE(criterionCaption->text(), QStringLiteral("Selecione:"));
    QCOMPARE(criterionCaption->buddy(), criterion);
    QCOMPARE(textCaption->text(), QStringLiteral("Texto:"));
    QCOMPARE(textCaption->buddy(), text);
    QCOMPARE(text->accessibleName(), QStringLiteral("Texto:"));
    QCOMPARE(grid->itemAtPosition(1, 0)->widget(), criterion);
    QCOMPARE(grid->itemAtPosition(1, 1)->widget(), text);
    QCOMPARE(grid->itemAtPosition(1, 2)->widget(), b.find);
    QCOMPARE(grid->itemAtPosition(1, 3)->widget(), b.ok);
    QCOMPARE(grid->columnStretch(1), 1);
}

void TstCommandRows::panelsAndColours()
{
    QWidget w;
    QLabel *panels[3] = {};
    QStatusBar *bar = makeStatusPanels(&w, {{3}, {1, 50}, {}}, panels, true);
    QCOMPARE(bar->objectName(), QStringLiteral("stbStatus"));
    QVERIFY(!bar->isSizeGripEnabled());
    for (int i = 0; i < 3; ++i) {
        QVERIFY(panels[i]);
        QCOMPARE(panels[i]->objectName(), QStringLiteral("stbPainel%1").arg(i));
        QVERIFY(panels[i]->autoFillBackground());
    }
    QCOMPARE(panels[1]->minimumWidth(), 50);

    // A colour shows behind the text; no colour gives back the line's own.
    const QColor own = bar->palette().color(QPalette::Window);
    showInPanel(panels[0], QStringLiteral("Pesquisando..."), Qt::yellow);
    QCOMPARE(panels[0]->text(), QStringLiteral("Pesquisando..."));
    QCOMPARE(panels[0]->palette().color(QPalette::Window), QColor(Qt::yellow));
    showInPanel(panels[0], QStringLiteral("Pronto"));
    QCOMPARE(panels[0]->palette().color(QPalette::Window), own);

    QLabel *plain[1] = {};
    makeStatusPanels(&w, {{}}, plain, false);
    QVERIFY(!plain[0]->autoFillBackground());
}

void TstCommandRows::recordReport()
{
    ScreenCatalog &catalog = ScreenCatalog::instance();
    QWidget parent;
    QVERIFY(!catalog.openRecordReport(9901, 5, &parent)); // nothing registered: nothing shown

    QList<int> keys;
    QWidget *seenParent = nullptr;
    catalog.addRecordReport(9901, [&](QWidget *p, int key) {
        seenParent = p;
        keys << key;
    });
    // The record's report is not a screen of that number, and the reverse.
    QVERIFY(!catalog.has(9901));
    QVERIFY(!catalog.open(9901, &parent));
    QVERIFY(catalog.openRecordReport(9901, 42, &parent));
    QCOMPARE(keys, QList<int>{42});
    QCOMPARE(seenParent, &parent);
}

QTEST_MAIN(TstCommandRows)
#include "tst_commandrows.moc"
