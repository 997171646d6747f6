// What keeps screens readable: grids fitted to their titles and contents on
// every load with the name column taking the rest, and fields that cannot be
// typed into looking so.
#include "ui/ReadOnlyGrid.h"
#include "ui/ReadOnlyLook.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

class TestReadability : public QObject {
    Q_OBJECT

private slots:
    void gridFitsTitlesAndContentsOnEveryLoad()
    {
        QStandardItemModel model(0, 4);
        model.setHorizontalHeaderLabels({QStringLiteral("Código"), QStringLiteral("Nome"),
                                         QStringLiteral("Usuário bloqueado"), QStringLiteral("Tel. Residencial")});
        QWidget host;
        QTableView *grid = makeReadOnlyGrid(&host, &model, QStringLiteral("dbgTeste"));
        grid->setColumnWidth(0, 90); // a width the screen asked for stays a minimum
        host.resize(900, 300);
        grid->resize(900, 300);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));

        auto load = [&model](const QString &phone) {
            model.setRowCount(0);
            model.appendRow({new QStandardItem(QStringLiteral("1")), new QStandardItem(QStringLiteral("ANA")),
                             new QStandardItem(QStringLiteral("NAO")), new QStandardItem(phone)});
        };
        load(QStringLiteral("(19)3234-5678"));
        QApplication::processEvents();
        QHeaderView *h = grid->horizontalHeader();
        for (int c = 0; c < 4; ++c)
            QVERIFY2(h->sectionSize(c) >= h->sectionSizeHint(c), qPrintable(model.headerData(c, Qt::Horizontal).toString()));
        QVERIFY(h->sectionSize(0) >= 90);
        int total = 0;
        for (int c = 0; c < 4; ++c)
            total += h->sectionSize(c);
        QCOMPARE(total, grid->viewport()->width()); // the name column takes what is left

    }

    void readOnlyFieldsLookIt()
    {
        ReadOnlyLook::install();
        QWidget form;
        auto *edit = new QLineEdit(&form);
        auto *note = new QPlainTextEdit(&form);
        auto *combo = new QComboBox(&form);
        combo->addItem(QStringLiteral("CÃO"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QColor white = edit->palette().color(QPalette::Base);
        const QColor window = edit->palette().color(QPalette::Window);
        QVERIFY(white != window);

        edit->setReadOnly(true);
        note->setReadOnly(true);
        QCOMPARE(edit->palette().color(QPalette::Base), window);
        QCOMPARE(note->palette().color(QPalette::Base), note->palette().color(QPalette::Window));
        edit->setReadOnly(false);
        QCOMPARE(edit->palette().color(QPalette::Base), white);

        // A disabled drop-down still shows its choice in dark text.
        combo->setEnabled(false);
        QCOMPARE(combo->palette().color(QPalette::Disabled, QPalette::ButtonText),
                 combo->palette().color(QPalette::Active, QPalette::ButtonText));
    }
};

QTEST_MAIN(TestReadability)
#include "tst_readability.moc"
