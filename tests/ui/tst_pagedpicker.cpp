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
#include <QSqlQuery>
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

// Names whose order differs between a byte-wise and a Brazilian collation
// (accents, apostrophes, blanks, digits, lower case stored by older imports),
// many of them repeated so that one name spans several pages.
void fillTrickyOwners(Connection &c)
{
    const QStringList stems{QStringLiteral("ÁLVARO SOUZA"), QStringLiteral("ALVARO SOUZA"), QStringLiteral("ALVES"),
                            QStringLiteral("D'ÁVILA"), QStringLiteral("DAVILA"), QStringLiteral("DA SILVA"),
                            QStringLiteral("DASILVA"), QStringLiteral("ÉDSON"), QStringLiteral("EDSON"),
                            QStringLiteral("JOSÉ DA SILVA"), QStringLiteral("JOSE DA SILVA"), QStringLiteral("JOSE"),
                            QStringLiteral("JOSÉ"), QStringLiteral("JOSEFA"), QStringLiteral("maria lima"),
                            QStringLiteral("MARIA LIMA"), QStringLiteral("MÁRIA"), QStringLiteral("MARIA-LUIZA"),
                            QStringLiteral("MARIA  LUIZA"), QStringLiteral("Ñ"), QStringLiteral("O'NEIL"),
                            QStringLiteral("ÖNEIL"), QStringLiteral("ZÉLIA"), QStringLiteral("10 DE MAIO"),
                            QStringLiteral("2 IRMÃOS"), QStringLiteral("ÇAVA")};
    Transaction tx(c);
    BulkInsert b(c, QStringLiteral("proprietario"), {QStringLiteral("Id_Proprietario"), QStringLiteral("Nome")});
    int id = 0;
    for (int round = 0; round < 60; ++round)
        for (int i = 0; i < stems.size(); ++i) {
            // The commonest names fill pages of their own; the keys come in shuffled.
            if (round >= 12 && i % 3 != 0)
                continue;
            ++id;
            b.add({(id * 7919) % 100003, round % 2 ? stems.at(i) : stems.at(i) + QStringLiteral(" %1").arg(round)});
        }
    b.finish();
    tx.commit();
}

struct Listed {
    QString name;
    int id;
};

// The whole list as the picker orders it, read in one statement.
QList<Listed> wholeList(Connection &c)
{
    QList<Listed> all;
    QSqlQuery q = Sql::exec(c, QStringLiteral("select p.Nome, p.Id_Proprietario from proprietario p where p.Nome is not null "
                                              "order by p.Nome, p.Id_Proprietario"));
    while (q.next())
        all.append({q.value(0).toString(), q.value(1).toInt()});
    return all;
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

    // Typing reads the names from the text on and counts the rows before it
    // on a connection of its own: the owner stood on and the row it is
    // shown on must be those that counting on the spot gives, under the
    // engine's own collation, and the rows around it those of the list read
    // from the top.
    void typedNamesLandWhereCountingPutsThem_data() { addEngineRows(); }
    void typedNamesLandWhereCountingPutsThem()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        fillTrickyOwners(c);
        const QList<Listed> all = wholeList(c);
        QVERIFY(all.size() > 600);
        QWidget host;
        PagedPicker *p = ownerPicker(c, &host);
        p->reload();
        QTRY_COMPARE_WITH_TIMEOUT(p->rowCount(), int(all.size()), 10000);
        QStringList counted;
        Sql::setObserver([&](const QString &sql, const QVariantMap &) {
            if (sql.contains(QStringLiteral("count(")))
                counted << sql;
        });
        const QStringList typed{QStringLiteral("alvaro"), QStringLiteral("ÁLVARO SOUZA"), QStringLiteral("d'a"),
                                QStringLiteral("DA S"), QStringLiteral("jose da silva"), QStringLiteral("JOSÉ"),
                                QStringLiteral("Maria"), QStringLiteral("maria lima"), QStringLiteral("MARIA L"),
                                QStringLiteral("o'n"), QStringLiteral("1"), QStringLiteral("2 IRM"),
                                QStringLiteral(" "), QStringLiteral("ç"), QStringLiteral("ZÉLIA 59"), QStringLiteral("ZZZ")};
        for (const QString &text : typed) {
            const QString find = text.toUpper();
            // Where counting the names below the text puts it (the last row past the end).
            const int expectedRow = qMin(Sql::scalar(c, QStringLiteral("select count(*) from proprietario p where p.Nome is not null "
                                                                       "and p.Nome < :t"),
                                                     {{QStringLiteral("t"), find}})
                                             .toInt(),
                                         int(all.size()) - 1);
            counted.clear();
            QSignalSpy arrived(p, &PagedPicker::currentChanged);
            p->findText(text);
            // The owner is known at once, before its row number.
            QCOMPARE(p->currentId().toInt(), all.at(expectedRow).id);
            QCOMPARE(p->currentName(), all.at(expectedRow).name);
            QVERIFY2(counted.isEmpty() || text == QStringLiteral("ZZZ"), qPrintable(counted.join(QStringLiteral("\n"))));
            QTRY_VERIFY_WITH_TIMEOUT(!p->placing(), 10000);
            QCOMPARE(p->currentRow(), expectedRow);
            QVERIFY(arrived.size() <= 1);
            // The rows around it, read from their neighbours' names (walking
            // up the list and down it), are the list's.
            const int from = qMax(0, expectedRow - 450), to = qMin(int(all.size()), expectedRow + 450);
            const bool up = typed.indexOf(text) % 2;
            for (int i = 0; i < to - from; ++i) {
                const int row = up ? to - 1 - i : from + i;
                QCOMPARE(p->model()->key(row).toInt(), all.at(row).id);
            }
        }
        Sql::setObserver({});

        // Choosing an id lands on its own row among owners of one name.
        for (int row : {0, 1, 199, 200, 201, int(all.size()) / 2, int(all.size()) - 1}) {
            QVERIFY(p->selectId(all.at(row).id));
            QCOMPARE(p->currentId().toInt(), all.at(row).id);
            QCOMPARE(p->currentRow(), row); // counted now when not yet known
        }
    }

    // The arrows step from the row found even while its number is still being
    // counted, and reloading forgets a count under way.
    void movingBeforeTheRowIsCounted_data() { addEngineRows(); }
    void movingBeforeTheRowIsCounted()
    {
        ZAPO_TEST_DB(t);
        fillTrickyOwners(t->main());
        const QList<Listed> all = wholeList(t->main());
        QWidget host;
        PagedPicker *p = ownerPicker(t->main(), &host);
        host.show();
        p->reload();
        p->editor()->setFocus();
        p->findText(QStringLiteral("JOSEFA"));
        const int found = p->currentId().toInt();
        QTest::keyClick(p->editor(), Qt::Key_Down);
        QVERIFY(!p->placing());
        const int at = p->currentRow();
        QCOMPARE(p->model()->key(at - 1).toInt(), found);
        QCOMPARE(p->currentId().toInt(), all.at(at).id);
        p->findText(QStringLiteral("MARIA"));
        p->reload();
        QVERIFY(!p->placing());
        QCOMPARE(p->currentRow(), 0);
        QCOMPARE(p->currentId().toInt(), all.first().id);
        QTest::qWait(200); // a stale count arriving now changes nothing
        QCOMPARE(p->currentRow(), 0);
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
