// The small editors the scheduling and utility screens share: the hour
// editor's reading rules, the id - name list keeping ids as item data, and
// the progress window's cancel.
#include "db/Sql.h"
#include "support/TestDatabase.h"
#include "ui/HourEdit.h"
#include "ui/IdNameCombo.h"
#include "ui/LongWork.h"

#include <QApplication>
#include <QTest>

class TstEditors : public QObject {
    Q_OBJECT
private slots:
    void hourReading_data();
    void hourReading();
    void hourEditorTyping();
    void idNameList_data() { addEngineRows(); }
    void idNameList();
    void progressCancel();
};

void TstEditors::hourReading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("minutes");
    QTest::newRow("leading blank") << " 8:30" << true << 8 << 30;
    QTest::newRow("two digits") << "08:30" << true << 8 << 30;
    QTest::newRow("midnight as 24") << "24:00" << true << 24 << 0;
    QTest::newRow("minutes out of range still read") << "12:60" << true << 12 << 60;
    QTest::newRow("empty mask") << "  :  " << false << -1 << -1;
    QTest::newRow("minute half typed") << "12:3 " << false << -1 << -1;
    QTest::newRow("letters") << "ab:cd" << false << -1 << -1;
}

void TstEditors::hourReading()
{
    QFETCH(QString, text);
    QFETCH(bool, readable);
    QFETCH(int, hours);
    QFETCH(int, minutes);
    int h = -1, m = -1;
    QCOMPARE(HourEdit::parse(text, &h, &m), readable);
    if (readable) {
        QCOMPARE(h, hours);
        QCOMPARE(m, minutes);
    }
}

void TstEditors::hourEditorTyping()
{
    HourEdit e;
    QVERIFY(e.isBlank());
    QVERIFY(!e.time().isValid());
    e.setTime(QTime(7, 5));
    QCOMPARE(e.displayText(), QStringLiteral("07:05"));
    QCOMPARE(e.time(), QTime(7, 5));
    e.clear();
    e.setFocus();
    e.setCursorPosition(0);
    QTest::keyClicks(&e, QStringLiteral("1930"));
    QCOMPARE(e.hours(), 19);
    QCOMPARE(e.minutes(), 30);
    e.setText(QStringLiteral("24:30"));
    QCOMPARE(e.hours(), 24);
    QVERIFY(!e.time().isValid()); // read, but no time of day
}

void TstEditors::idNameList()
{
    ZAPO_TEST_DB(t);
    Connection &c = t->main();
    Sql::exec(c, QStringLiteral("create table lista_teste (Id integer primary key, Nome varchar(50))"));
    // A name holding " - " and ids of more than one digit: nothing may be
    // read back from the text.
    Sql::exec(c, QStringLiteral("insert into lista_teste values (7, 'SETE'), (12, 'DOZE - NORTE'), (123, 'CENTO')"));
    const QString sql = QStringLiteral("select Id, Nome from lista_teste where Id > :min order by Id");

    IdNameCombo combo;
    combo.fill(c, sql, {{QStringLiteral("min"), 0}}, {true, true, {}});
    QCOMPARE(combo.count(), 5);
    QCOMPARE(combo.itemText(0), QString());
    QCOMPARE(combo.itemText(1), QStringLiteral("0 - Todos"));
    QCOMPARE(combo.itemText(3), QStringLiteral("12 - DOZE - NORTE"));
    QVERIFY(!combo.currentId().isValid());
    QVERIFY(combo.selectId(12));
    QCOMPARE(combo.currentId().toInt(), 12);
    combo.setCurrentIndex(1);
    QCOMPARE(combo.currentId().toInt(), 0);
    QVERIFY(!combo.selectId(99));
    QCOMPARE(combo.currentId().toInt(), 0);

    // Refilling keeps the chosen id while it is still listed.
    QVERIFY(combo.selectId(123));
    combo.fill(c, sql, {{QStringLiteral("min"), 10}});
    QCOMPARE(combo.count(), 2);
    QCOMPARE(combo.currentId().toInt(), 123);
}

void TstEditors::progressCancel()
{
    {
        LongWork p(QStringLiteral("Teste"), QStringLiteral("Trabalhando..."), nullptr, 0);
        p.setTotal(10);
        QVERIFY(p.step(1));
        QVERIFY(!p.cancelled());
    }
    const qint64 before = LongWork::setCancelAtStepForTests(3);
    LongWork p(QStringLiteral("Teste"), QStringLiteral("Trabalhando..."));
    QVERIFY(p.step(2));
    QVERIFY(!p.step(3));
    QVERIFY(p.cancelled());
    LongWork::setCancelAtStepForTests(before);
}

QTEST_MAIN(TstEditors)
#include "tst_editors.moc"
