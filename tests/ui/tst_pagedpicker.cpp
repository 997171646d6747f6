// The type-to-find picker over a long list: where typing lands, that it
// stands on a row like a bound list, narrowing, and that it never reads the
// whole table.
#include "db/BulkInsert.h"
#include "db/DataModule.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "support/TestDatabase.h"
#include "ui/PagedPicker.h"
#include "ui/register/PagedQueryModel.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {

// 3,000 owners named "NOME 0000".."NOME 2999" in shuffled key order, two
// owners sharing a name, one without a name.
void fillOwners(Connection &c)
{
    Transaction tx(c);
    BulkInsert b(c, QStringLiteral("proprietario"), {QStringLiteral("Id_Proprietario"), QStringLiteral("Nome")});
    for (int i = 0; i < 3000; ++i)
        b.add({i + 1, QStringLiteral("NOME %1").arg((i * 7919) % 3000, 4, 10, QLatin1Char('0'))});
    b.add({5001, QStringLiteral("NOME 1500")});
    b.add({5002, QVariant(QMetaType(QMetaType::QString))});
    b.add({5003, QStringLiteral("ANA")});
    b.finish();
    tx.commit();
}

PagedPicker *ownerPicker(Connection &c, QWidget *parent)
{
    auto *p = new PagedPicker(parent);
    p->setSource(&c, QStringLiteral("proprietario p"), QStringLiteral("p.Id_Proprietario"), QStringLiteral("p.Nome"));
    return p;
}

} // namespace

class TestPagedPicker : public QObject {
    Q_OBJECT
private slots:
    void findsByTypingAndStandsOnARow_data() { addEngineRows(); }
    void findsByTypingAndStandsOnARow()
    {
        ZAPO_TEST_DB(t);
        fillOwners(t->main());
        QWidget host;
        PagedPicker *p = ownerPicker(t->main(), &host);
        QSignalSpy arrived(p, &PagedPicker::currentChanged);
        p->reload();
        // The first page at once, the whole list when counted.
        QCOMPARE(p->rowCount(), p->model()->pageSize());
        QTRY_COMPARE_WITH_TIMEOUT(p->rowCount(), 3002, 10000);
        // Before any choice it stands on the first name, not on nothing.
        QCOMPARE(p->currentName(), QStringLiteral("ANA"));
        QCOMPARE(p->currentId().toInt(), 5003);
        QCOMPARE(arrived.size(), 1);
        QCOMPARE(p->editor()->text(), QStringLiteral("ANA"));

        p->findText(QStringLiteral("nome 2718"));
        QCOMPARE(p->currentName(), QStringLiteral("NOME 2718"));
        QCOMPARE(p->currentRow(), 1 + 2718 + 1); // ANA, 0000..2717 and the second 1500
        // A text between two names lands on the next one; past the end, on the last.
        p->findText(QStringLiteral("NOME 0999Z"));
        QCOMPARE(p->currentName(), QStringLiteral("NOME 1000"));
        p->findText(QStringLiteral("ZZZ"));
        QCOMPARE(p->currentName(), QStringLiteral("NOME 2999"));
        QCOMPARE(p->currentRow(), p->rowCount() - 1);
        // Only the pages around the rows stood on were read.
        QVERIFY2(p->model()->pagesRead() <= 6, qPrintable(QString::number(p->model()->pagesRead())));

        // Two owners of one name: each id finds its own row.
        QVERIFY(p->selectId(5001));
        QCOMPARE(p->currentId().toInt(), 5001);
        const int second = p->currentRow();
        QVERIFY(p->selectId(p->model()->key(second - 1)));
        QCOMPARE(p->currentName(), QStringLiteral("NOME 1500"));
        QVERIFY(p->currentId().toInt() < 5001);
        QVERIFY(!p->selectId(5002)); // nameless: not listed
        QVERIFY(!p->selectId(999999));
        QCOMPARE(p->currentRow(), second - 1);
    }

    void typingInTheBoxMovesTheList_data() { addEngineRows(); }
    void typingInTheBoxMovesTheList()
    {
        ZAPO_TEST_DB(t);
        fillOwners(t->main());
        QWidget host;
        PagedPicker *p = ownerPicker(t->main(), &host);
        host.show();
        p->reload();
        QSignalSpy arrived(p, &PagedPicker::currentChanged);
        p->editor()->setFocus();
        QTest::keyClicks(p->editor(), QStringLiteral("nome 04"));
        QCOMPARE(p->currentName(), QStringLiteral("NOME 0400"));
        QVERIFY(p->listVisible());
        QTest::keyClick(p->listView(), Qt::Key_Down);
        QCOMPARE(p->currentName(), QStringLiteral("NOME 0401"));
        QTest::keyClick(p->listView(), Qt::Key_Return);
        QVERIFY(!p->listVisible());
        QCOMPARE(p->editor()->text(), QStringLiteral("NOME 0401"));
        QVERIFY(arrived.size() >= 2);
        QCOMPARE(arrived.last().first().toInt(), p->currentId().toInt());
    }

    void narrowedAndEmptyLists_data() { addEngineRows(); }
    void narrowedAndEmptyLists()
    {
        ZAPO_TEST_DB(t);
        fillOwners(t->main());
        QWidget host;
        PagedPicker *p = ownerPicker(t->main(), &host);
        p->setFilter(QStringLiteral("p.Id_Proprietario = :id"), {{QStringLiteral("id"), 42}});
        p->reload();
        QCOMPARE(p->rowCount(), 1);
        QCOMPARE(p->currentId().toInt(), 42);
        p->findText(QStringLiteral("A"));
        QCOMPARE(p->currentId().toInt(), 42);
        QVERIFY(!p->selectId(43));

        QSignalSpy arrived(p, &PagedPicker::currentChanged);
        p->setFilter(QStringLiteral("p.Id_Proprietario = :id"), {{QStringLiteral("id"), -1}});
        p->reload();
        QCOMPARE(p->rowCount(), 0);
        QVERIFY(!p->currentId().isValid());
        QVERIFY(p->editor()->text().isEmpty());
        QCOMPARE(arrived.size(), 1);
        QVERIFY(!arrived.first().first().isValid());
    }
};

QTEST_MAIN(TestPagedPicker)
#include "tst_pagedpicker.moc"
