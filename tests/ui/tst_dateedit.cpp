// The date field typed as a clerk types: a click anywhere (or Tab) and the
// whole date, with or without slashes, with two or four year digits; what
// cannot be a date is refused by name and the field keeps the focus.
#include "support/RecordingServices.h"
#include "db/Formats.h"
#include "ui/DateEdit.h"

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

struct Form {
    QWidget window;
    QLineEdit *before;
    DateEdit *date;
    QLineEdit *after;
    Form()
    {
        auto *f = new QFormLayout(&window);
        before = new QLineEdit(&window);
        date = new DateEdit(QDate(2026, 12, 10), &window);
        date->setObjectName(QStringLiteral("dtpData"));
        after = new QLineEdit(&window);
        f->addRow(QStringLiteral("Antes:"), before);
        f->addRow(QStringLiteral("&Data:"), date);
        f->addRow(QStringLiteral("Depois:"), after);
        window.resize(360, 140);
        window.show();
        QApplication::setActiveWindow(&window);
        before->setFocus();
    }
    QLineEdit *text() const { return date->findChild<QLineEdit *>(); }
    // Where a click at the start, in the middle or at the end of the shown
    // date lands.
    QPoint at(const QString &where) const
    {
        QLineEdit *e = text();
        const int y = e->height() / 2;
        const int width = e->fontMetrics().horizontalAdvance(e->text());
        if (where == QLatin1String("start"))
            return QPoint(3, y);
        if (where == QLatin1String("middle"))
            return QPoint(3 + width / 2, y);
        return QPoint(qMin(e->width() - 2, 6 + width), y);
    }
};

} // namespace

class TstDateEdit : public QObject {
    Q_OBJECT
private slots:
    void reading_data();
    void reading();
    void typedAfterClick_data();
    void typedAfterClick();
    void typedAfterTab();
    void refusedWhenLeft_data();
    void refusedWhenLeft();
    void rangesAndSteps();
    void commandsSeeTypedDate();
};

void TstDateEdit::reading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    const QDate d(2027, 1, 4);
    QTest::newRow("slashes") << "04/01/2027" << d;
    QTest::newRow("digits only") << "04012027" << d;
    QTest::newRow("single digits") << "4/1/2027" << d;
    QTest::newRow("two-digit year") << "04/01/27" << d;
    QTest::newRow("six digits") << "040127" << d;
    QTest::newRow("two-digit year of the last century") << "04/01/80" << QDate(1980, 1, 4);
    QTest::newRow("no such day") << "31/02/2027" << QDate();
    QTest::newRow("no such month") << "04/13/2027" << QDate();
    QTest::newRow("half typed") << "04/01/2" << QDate();
    QTest::newRow("seven digits") << "0401202" << QDate();
    QTest::newRow("three-digit year") << "04/01/202" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TstDateEdit::reading()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(DateEdit::read(text), date);
}

void TstDateEdit::typedAfterClick_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("keys");
    for (const char *where : {"start", "middle", "end"})
        for (const char *keys : {"04/01/2027", "04012027", "4/1/2027", "04/01/27"})
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(where), QLatin1String(keys))))
                << QString::fromLatin1(where) << QString::fromLatin1(keys);
}

void TstDateEdit::typedAfterClick()
{
    QFETCH(QString, where);
    QFETCH(QString, keys);
    RecordingMessages messages;
    Form f;
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    QSignalSpy changed(f.date, &QDateEdit::dateChanged);
    QTest::mouseClick(f.text(), Qt::LeftButton, {}, f.at(where));
    QVERIFY(f.date->hasFocus());
    QTest::keyClicks(f.date, keys);
    QTest::keyClick(f.date, Qt::Key_Tab);
    QCOMPARE(f.date->date(), QDate(2027, 1, 4));
    QCOMPARE(f.text()->text(), QStringLiteral("04/01/2027"));
    QVERIFY(f.after->hasFocus());
    QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.last()));
    QVERIFY(!changed.isEmpty());
    QCOMPARE(changed.last().first().toDate(), QDate(2027, 1, 4));

    // A second click in the field the clerk is in places the cursor to mend
    // one digit, as in any text.
    QTest::mouseClick(f.text(), Qt::LeftButton, {}, f.at(QStringLiteral("start")));
    QTest::mouseClick(f.text(), Qt::LeftButton, {}, f.at(QStringLiteral("start")));
    QVERIFY(!f.text()->hasSelectedText());
}

void TstDateEdit::typedAfterTab()
{
    RecordingMessages messages;
    Form f;
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    QTest::keyClick(f.before, Qt::Key_Tab);
    QVERIFY(f.date->hasFocus());
    QCOMPARE(f.text()->selectedText(), QStringLiteral("10/12/2026"));
    QTest::keyClicks(f.date, QStringLiteral("31/01/2027"));
    QTest::keyClick(f.date, Qt::Key_Tab);
    QCOMPARE(f.date->date(), QDate(2027, 1, 31));
    QVERIFY(f.after->hasFocus());
    // Backwards with Shift+Tab: the field is left whole, not by sections.
    QTest::keyClick(f.after, Qt::Key_Backtab);
    QVERIFY(f.date->hasFocus());
    QTest::keyClicks(f.date, QStringLiteral("150227"));
    QTest::keyClick(f.date, Qt::Key_Backtab);
    QCOMPARE(f.date->date(), QDate(2027, 2, 15));
    QVERIFY(f.before->hasFocus());
    QVERIFY(messages.shown.isEmpty());
}

void TstDateEdit::refusedWhenLeft_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("message");
    const QString invalid = QStringLiteral("Data inválida no campo \"Data\".");
    QTest::newRow("no such day") << "31/02/2027" << invalid;
    QTest::newRow("half typed") << "04/01/2" << invalid;
    QTest::newRow("only the day") << "04" << invalid;
    QTest::newRow("outside the range") << "01/01/2051"
                                       << "Data fora do período aceito no campo \"Data\".\rDigite uma data de "
                                          "01/01/2000 a 31/12/2050.";
}

void TstDateEdit::refusedWhenLeft()
{
    QFETCH(QString, keys);
    QFETCH(QString, message);
    RecordingMessages messages;
    Form f;
    f.date->setDateRange(QDate(2000, 1, 1), QDate(2050, 12, 31));
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    QSignalSpy changed(f.date, &QDateEdit::dateChanged);
    QTest::mouseClick(f.text(), Qt::LeftButton, {}, f.at(QStringLiteral("middle")));
    QTest::keyClicks(f.date, keys);
    QTest::keyClick(f.date, Qt::Key_Tab);
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY2(messages.last().startsWith(message), qPrintable(messages.last()));
    QVERIFY(f.date->hasFocus());
    QCOMPARE(f.text()->text(), keys);
    QCOMPARE(f.date->date(), QDate(2026, 12, 10));
    QVERIFY(changed.isEmpty());

    // Enter, which walks on as Tab does, is refused the same way; a click in
    // another field too.
    messages.clear();
    QTest::keyClick(f.date, Qt::Key_Return);
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(f.date->hasFocus());
    messages.clear();
    QTest::mouseClick(f.after, Qt::LeftButton);
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(f.date->hasFocus());

    // Mended, it is taken.
    QTest::keyClicks(f.date, QStringLiteral("28/02/2027"));
    QTest::keyClick(f.date, Qt::Key_Tab);
    QCOMPARE(f.date->date(), QDate(2027, 2, 28));
    QVERIFY(f.after->hasFocus());
    QCOMPARE(messages.shown.size(), 1);
}

void TstDateEdit::rangesAndSteps()
{
    RecordingMessages messages;
    Form f;
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    QVERIFY(f.date->calendarPopup());
    // However wide a screen asks, the range stops at what every engine
    // binds: 31/12/9999 is taken, a year past it refused.
    f.date->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    QCOMPARE(f.date->maximumDate(), DateEdit::latest());
    QCOMPARE(f.date->minimumDate(), DateEdit::earliest());
    QCOMPARE(DateEdit::latest(), QDate(9999, 12, 31));
    QTest::keyClick(f.before, Qt::Key_Tab);
    QTest::keyClicks(f.date, QStringLiteral("31/12/9999"));
    QTest::keyClick(f.date, Qt::Key_Tab);
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(f.date->date(), QDate(9999, 12, 31));
    QCOMPARE(Formats::dayAfter(QDate(9999, 12, 31)), QDate(9999, 12, 31));
    QCOMPARE(Formats::dayAfter(QDate(2026, 12, 31)), QDate(2027, 1, 1));
    f.before->setFocus();
    QTest::keyClick(f.before, Qt::Key_Tab);
    QTest::keyClicks(f.date, QStringLiteral("31/12/1899"));
    QTest::keyClick(f.date, Qt::Key_Tab);
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(messages.last().contains(QStringLiteral("31/12/9999")));

    // The arrows move one day, Page Up one month, from what was typed.
    messages.clear();
    QTest::keyClicks(f.date, QStringLiteral("31/01/27"));
    QTest::keyClick(f.date, Qt::Key_Up);
    QCOMPARE(f.date->date(), QDate(2027, 2, 1));
    QTest::keyClick(f.date, Qt::Key_PageUp);
    QCOMPARE(f.date->date(), QDate(2027, 3, 1));
    QTest::keyClick(f.date, Qt::Key_Down);
    QCOMPARE(f.date->date(), QDate(2027, 2, 28));
    QVERIFY(messages.shown.isEmpty());
}

void TstDateEdit::commandsSeeTypedDate()
{
    RecordingMessages messages;
    Form f;
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    QTest::keyClick(f.before, Qt::Key_Tab);
    // A toolbar button takes no focus: the date typed so far is what its
    // command reads, two-digit year included.
    QTest::keyClicks(f.date, QStringLiteral("04/01/27"));
    QCOMPARE(f.date->date(), QDate(2027, 1, 4));
    QVERIFY(DateEdit::checkAll(&f.window));
    QCOMPARE(f.text()->text(), QStringLiteral("04/01/2027"));
    // Half typed, the command is refused once with the message.
    f.text()->selectAll();
    QTest::keyClicks(f.date, QStringLiteral("04/01/2"));
    QVERIFY(!DateEdit::checkAll(&f.window));
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(f.date->hasFocus());
    QCOMPARE(f.date->date(), QDate(2027, 1, 4));
    // A disabled field is not the clerk's to mend.
    f.date->setEnabled(false);
    QVERIFY(DateEdit::checkAll(&f.window));
}

QTEST_MAIN(TstDateEdit)
#include "tst_dateedit.moc"
