// The age calculator: calendar-month arithmetic, reading the boxes, and
// handing the date to the animal record only while it is being typed.
#include "db/ServerClock.h"
#include "registry/AgeCalculator.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

// Lets a closed window be freed.
void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

// What the register would see: a record owner, an editing flag and the dates written.
struct Register {
    QObject *owner = new QObject;
    bool editing = true;
    bool askedWhileGone = false;
    QList<QDate> written;
    ~Register() { delete owner; }
    CalculaIdadeScreen *open()
    {
        auto *w = new CalculaIdadeScreen(
            owner,
            [this] {
                // Asked only while the register exists.
                askedWhileGone = askedWhileGone || owner == nullptr;
                return editing;
            },
            [this](const QDate &d) { written << d; });
        w->show();
        return w;
    }
};

void type(CalculaIdadeScreen *w, const QString &anos, const QString &meses)
{
    child<QLineEdit>(w, "edtAno")->setText(anos);
    child<QLineEdit>(w, "edtMeses")->setText(meses);
}

} // namespace

class TestAgeCalculator : public QObject {
    Q_OBJECT
private slots:
    void monthArithmetic_data()
    {
        QTest::addColumn<QDateTime>("from");
        QTest::addColumn<int>("months");
        QTest::addColumn<QDate>("expected");
        const QTime t(13, 47, 5);
        QTest::newRow("2y3m from 31 May: day lowered") << QDateTime(QDate(2012, 5, 31), t) << -27 << QDate(2010, 2, 28);
        QTest::newRow("5m from 15 Mar: into last year") << QDateTime(QDate(2012, 3, 15), t) << -5 << QDate(2011, 10, 15);
        QTest::newRow("1y from 29 Feb") << QDateTime(QDate(2012, 2, 29), t) << -12 << QDate(2011, 2, 28);
        QTest::newRow("into a leap February") << QDateTime(QDate(2013, 3, 31), t) << -13 << QDate(2012, 2, 29);
        QTest::newRow("none") << QDateTime(QDate(2012, 5, 31), t) << 0 << QDate(2012, 5, 31);
        QTest::newRow("forward into next year") << QDateTime(QDate(2012, 11, 30), t) << 3 << QDate(2013, 2, 28);
        QTest::newRow("12 back from January") << QDateTime(QDate(2012, 1, 31), t) << -12 << QDate(2011, 1, 31);
        QTest::newRow("1 back from January") << QDateTime(QDate(2012, 1, 31), t) << -1 << QDate(2011, 12, 31);
        QTest::newRow("a century back") << QDateTime(QDate(2026, 12, 9), t) << -1224 << QDate(1924, 12, 9);
        QTest::newRow("to year 1") << QDateTime(QDate(2012, 5, 31), t) << -2011 * 12 << QDate(1, 5, 31);
        QTest::newRow("before year 1") << QDateTime(QDate(2012, 5, 31), t) << -2012 * 12 << QDate();
        QTest::newRow("past 9999") << QDateTime(QDate(2012, 5, 31), t) << 8000 * 12 << QDate();
    }
    void monthArithmetic()
    {
        QFETCH(QDateTime, from);
        QFETCH(int, months);
        QFETCH(QDate, expected);
        const QDateTime r = shiftMonths(from, months);
        QCOMPARE(r.date(), expected);
        if (expected.isValid())
            QCOMPARE(r.time(), from.time());
        else
            QVERIFY(!r.isValid());
    }

    void readingTheBoxes()
    {
        struct Case {
            const char *anos, *meses;
            bool ok;
            int months;
        };
        const Case cases[] = {{"2", "3", true, -27},   {"", "", true, 0},      {" 1 ", "", true, -12},
                              {"", "5", true, -5},     {"-1", "", true, 12},   {"+2", "-1", true, -23},
                              {"1,5", "", false, 0},   {"", "x", false, 0},    {"1 2", "", false, 0},
                              {"999999999", "", false, 0}};
        for (const Case &c : cases) {
            bool ok = !c.ok;
            const int m = monthsBack(QString::fromLatin1(c.anos), QString::fromLatin1(c.meses), &ok);
            QVERIFY2(ok == c.ok, c.anos);
            if (ok)
                QCOMPARE(m, c.months);
        }
    }

    void windowAndCalculation_data() { addEngineRows(); }
    void windowAndCalculation()
    {
        ZAPO_TEST_DB(t);
        RecordingMessages msgs;
        Register reg;
        QPointer<CalculaIdadeScreen> w = reg.open();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(w->windowTitle(), QStringLiteral("Calcula Idade"));
        QVERIFY(w->isWindow() && !w->isModal());
        QVERIFY(w->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(w->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        auto *ano = child<QLineEdit>(w, "edtAno");
        auto *meses = child<QLineEdit>(w, "edtMeses");
        auto *data = child<QLineEdit>(w, "edtDataNascimento");
        QVERIFY(ano->hasFocus());
        QVERIFY(data->isReadOnly() && data->focusPolicy() == Qt::NoFocus);

        // Years, Enter, months, Enter lands on Calcular; Enter there calculates.
        QTest::keyClicks(ano, QStringLiteral("2"));
        QTest::keyClick(ano, Qt::Key_Return);
        QVERIFY(meses->hasFocus());
        QTest::keyClicks(meses, QStringLiteral("3"));
        QTest::keyClick(meses, Qt::Key_Return);
        auto *calcular = child<QPushButton>(w, "btnCalcular");
        QVERIFY(calcular->hasFocus());
        QTest::keyClick(calcular, Qt::Key_Return);
        const QDateTime now = serverNow(t->main());
        const QDate expected = shiftMonths(now, -27).date();
        QCOMPARE(w->calculatedDate(), expected);
        QCOMPARE(data->text(), expected.toString(QStringLiteral("dd/MM/yy")));
        shot(w, "calcula-idade");

        // Empty boxes give today; a negative age a date after it.
        type(w, QString(), QString());
        w->calcular();
        QCOMPARE(w->calculatedDate(), now.date());
        type(w, QStringLiteral("-1"), QString());
        w->calcular();
        QVERIFY(w->calculatedDate() > now.date());

        // Not a number: said clearly, and the date shown stays.
        const QString before = data->text();
        type(w, QStringLiteral("dois"), QString());
        w->calcular();
        QCOMPARE(msgs.shown.size(), 1);
        QCOMPARE(msgs.last(), QStringLiteral("Informe a idade em números inteiros."));
        QCOMPARE(data->text(), before);
        type(w, QStringLiteral("5000"), QString());
        w->calcular();
        QCOMPARE(msgs.shown.size(), 2);
        QCOMPARE(data->text(), before);

        // OK hands over the whole date: a hundred-year-old animal keeps its century
        // although the box shows only two digits.
        type(w, QStringLiteral("102"), QString());
        w->calcular();
        QVERIFY(data->text().endsWith(QString::number(now.date().year() - 102).right(2)));
        child<QPushButton>(w, "btnOK")->click();
        QCOMPARE(reg.written, QList<QDate>{shiftMonths(now, -1224).date()});
        QCOMPARE(reg.written.first().year(), now.date().year() - 102);
        flushDeletes();
        QVERIFY(w.isNull());
    }

    void okWritesOnlyWhenItShould()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        RecordingMessages msgs;
        Register reg;

        // Nothing calculated: closes, writes nothing.
        QPointer<CalculaIdadeScreen> w = reg.open();
        w->ok();
        flushDeletes();
        QVERIFY(w.isNull());
        QVERIFY(reg.written.isEmpty());

        // The record is only being browsed.
        reg.editing = false;
        w = reg.open();
        type(w, QStringLiteral("1"), QString());
        w->calcular();
        w->ok();
        flushDeletes();
        QVERIFY(w.isNull());
        QVERIFY(reg.written.isEmpty());

        // The register closed while the calculator was open.
        reg.editing = true;
        w = reg.open();
        type(w, QStringLiteral("1"), QString());
        w->calcular();
        delete reg.owner;
        reg.owner = nullptr;
        w->ok();
        flushDeletes();
        QVERIFY(w.isNull());
        QVERIFY(reg.written.isEmpty());
        QVERIFY(!reg.askedWhileGone);
        QVERIFY(msgs.shown.isEmpty());
    }
};

QTEST_MAIN(TestAgeCalculator)
#include "tst_agecalculator.moc"
