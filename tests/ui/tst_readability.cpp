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
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

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

    // Grids a screen fills row by row (working hours with their unit, an
    // attendance summary): every column as wide as its title and values, so
    // two units whose names differ only at the end read apart; what a
    // narrow window still cannot show ends in "…".
    void handFilledGridsFitTheirValues()
    {
        const QString norte = QStringLiteral("CLÍNICA MUNICIPAL DE CASTRAÇÃO E BEM-ESTAR ANIMAL NORTE");
        const QString sul = QStringLiteral("CLÍNICA MUNICIPAL DE CASTRAÇÃO E BEM-ESTAR ANIMAL SUL");
        QWidget host;
        auto *list = new QTreeWidget(&host);
        list->setHeaderLabels({QStringLiteral("Unidade"), QStringLiteral("Data inicial"), QStringLiteral("Dia da semana")});
        list->setColumnWidth(0, 120); // narrower than the names: kept only as a minimum
        ReadOnlyGrid::fitColumns(list);
        auto *summary = new QTableWidget(0, 2, &host);
        summary->setHorizontalHeaderLabels({QStringLiteral("Data atendimento"), QStringLiteral("Status do agendamento")});
        ReadOnlyGrid::fitColumns(summary);
        auto *lay = new QVBoxLayout(&host);
        lay->addWidget(list);
        lay->addWidget(summary);
        host.resize(300, 400); // narrower than the contents: the grids scroll sideways
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));

        for (const QString &u : {norte, sul})
            list->addTopLevelItem(new QTreeWidgetItem(QStringList{u, QStringLiteral("01/03/2026"), QStringLiteral("SEGUNDA")}));
        summary->setRowCount(1);
        summary->setItem(0, 0, new QTableWidgetItem(QStringLiteral("02/03/2026 08:00")));
        summary->setItem(0, 1, new QTableWidgetItem(QStringLiteral("AG")));
        QApplication::processEvents();

        const QFontMetrics fm(list->font());
        QVERIFY2(list->header()->sectionSize(0) > fm.horizontalAdvance(sul) + 4
                     && list->header()->sectionSize(0) > fm.horizontalAdvance(norte),
                 qPrintable(QString::number(list->header()->sectionSize(0))));
        for (int c = 0; c < 3; ++c)
            QVERIFY(list->header()->sectionSize(c) >= list->header()->sectionSizeHint(c));
        // Titles whole ("Data atendimento", not "ata atendimen"), wider than their values.
        QHeaderView *h = summary->horizontalHeader();
        for (int c = 0; c < 2; ++c)
            QVERIFY2(h->sectionSize(c) >= h->sectionSizeHint(c), qPrintable(QString::number(c)));
        QCOMPARE(h->textElideMode(), Qt::ElideNone);
        QCOMPARE(summary->textElideMode(), Qt::ElideRight);
        QCOMPARE(list->textElideMode(), Qt::ElideRight);

        // A load with longer values widens the column again.
        const QString longer = norte + QStringLiteral(" - ANEXO DO HOSPITAL VETERINÁRIO");
        list->clear();
        list->addTopLevelItem(new QTreeWidgetItem(QStringList{longer, QString(), QString()}));
        QApplication::processEvents();
        QVERIFY(list->header()->sectionSize(0) > fm.horizontalAdvance(longer));
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
