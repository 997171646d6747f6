// A date typed into a line edit (register date fields, the boxes that may
// stay blank) reads exactly as the date editor reads it: a click anywhere
// or Tab, and the whole date in any of the clerk's ways; what cannot be a
// date is refused by the field's name and the field keeps the focus; blank
// stays blank.
#include "support/DateTyping.h"
#include "support/RecordingServices.h"
#include "ui/DateEdit.h"
#include "ui/DateLineEdit.h"

#include <QApplication>
#include <QFormLayout>
#include <QLineEdit>
#include <QTest>

namespace {

struct Form {
    QWidget window;
    QLineEdit *before;
    DateLineEdit *date;
    QLineEdit *after;
    explicit Form(const QString &shown = QStringLiteral("10/12/2026"))
    {
        auto *f = new QFormLayout(&window);
        before = new QLineEdit(&window);
        date = new DateLineEdit(&window);
        date->setObjectName(QStringLiteral("dbeData"));
        date->setText(shown);
        after = new QLineEdit(&window);
        f->addRow(QStringLiteral("Antes:"), before);
        f->addRow(QStringLiteral("&Data:"), date);
        f->addRow(QStringLiteral("Depois:"), after);
        window.resize(360, 140);
        window.show();
        QApplication::setActiveWindow(&window);
        before->setFocus();
    }
    bool active() { return QTest::qWaitForWindowActive(&window); }
};

} // namespace

class TstDateLineEdit : public QObject {
    Q_OBJECT
private slots:
    void typedAfterClick_data();
    void typedAfterClick();
    void typedAfterTab();
    void refusedWhenLeft_data();
    void refusedWhenLeft();
    void blankAndStoredDates();
    void commandsSeeTypedDate();
};

void TstDateLineEdit::typedAfterClick_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("keys");
    for (const char *shown : {"10/12/2026", ""})
        for (const char *where : {"start", "middle", "end"})
            for (const char *keys : {"04/01/2027", "04012027", "4/1/2027", "04/01/27"})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2 %3")
                                             .arg(*shown ? QStringLiteral("over a date") : QStringLiteral("blank"),
                                                  QLatin1String(where), QLatin1String(keys))))
                    << QString::fromLatin1(shown) << QString::fromLatin1(where) << QString::fromLatin1(keys);
}

void TstDateLineEdit::typedAfterClick()
{
    QFETCH(QString, shown);
    QFETCH(QString, where);
    QFETCH(QString, keys);
    RecordingMessages messages;
    Form f(shown);
    QVERIFY(f.active());
    QVERIFY(typeDate(f.date, keys, where));
    QCOMPARE(f.date->date(), QDate(2027, 1, 4));
    // Shown as read, with the century a two-digit year was given.
    QCOMPARE(f.date->text(), QStringLiteral("04/01/2027"));
    QVERIFY(f.after->hasFocus());
    QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.last()));

    // A second click in the field the clerk is in places the cursor to mend
    // one digit, as in any text.
    QTest::mouseClick(f.date, Qt::LeftButton, {}, QPoint(3, f.date->height() / 2));
    QTest::mouseClick(f.date, Qt::LeftButton, {}, QPoint(3, f.date->height() / 2));
    QVERIFY(!f.date->hasSelectedText());
}

void TstDateLineEdit::typedAfterTab()
{
    RecordingMessages messages;
    Form f;
    QVERIFY(f.active());
    QTest::keyClick(f.before, Qt::Key_Tab);
    QVERIFY(f.date->hasFocus());
    QCOMPARE(f.date->selectedText(), QStringLiteral("10/12/2026"));
    QTest::keyClicks(f.date, QStringLiteral("31/01/2027"));
    QTest::keyClick(f.date, Qt::Key_Tab);
    QCOMPARE(f.date->date(), QDate(2027, 1, 31));
    QVERIFY(f.after->hasFocus());
    // Back with Shift+Tab, six digits, and Enter leaving as Tab does.
    QTest::keyClick(f.after, Qt::Key_Backtab);
    QVERIFY(f.date->hasFocus());
    QTest::keyClicks(f.date, QStringLiteral("150227"));
    QTest::keyClick(f.date, Qt::Key_Backtab);
    QCOMPARE(f.date->text(), QStringLiteral("15/02/2027"));
    QVERIFY(f.before->hasFocus());
    // Nothing but digits and slashes is taken, no more than a date holds.
    QTest::keyClick(f.before, Qt::Key_Tab);
    QTest::keyClicks(f.date, QStringLiteral("1a/0b/2027999"));
    QCOMPARE(f.date->text(), QStringLiteral("1/0/202799"));
    QVERIFY(messages.shown.isEmpty());
}

void TstDateLineEdit::refusedWhenLeft_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("message");
    const QString invalid = QStringLiteral("Data inválida no campo \"Data\".\rDigite dia, mês e ano, como ");
    QTest::newRow("no such day") << "31/02/2027" << invalid;
    QTest::newRow("half typed") << "04/01/2" << invalid;
    QTest::newRow("only the day") << "04" << invalid;
    QTest::newRow("seven digits") << "0401202" << invalid;
    QTest::newRow("before every range") << "31/12/1899"
                                        << "Data fora do período aceito no campo \"Data\".\rDigite uma data de "
                                           "01/01/1900 a 31/12/9999.";
}

void TstDateLineEdit::refusedWhenLeft()
{
    QFETCH(QString, keys);
    QFETCH(QString, message);
    RecordingMessages messages;
    Form f;
    QVERIFY(f.active());
    QVERIFY(!typeDate(f.date, keys));
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY2(messages.last().startsWith(message), qPrintable(messages.last()));
    QVERIFY(f.date->hasFocus());
    // The text stays as typed, selected for retyping; it reads no date.
    QCOMPARE(f.date->text(), keys);
    QCOMPARE(f.date->selectedText(), keys);
    QVERIFY(!f.date->date().isValid());

    // Enter is refused the same way; a click in another field too.
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

void TstDateLineEdit::blankAndStoredDates()
{
    RecordingMessages messages;
    Form f;
    QVERIFY(f.active());
    // Emptied by the clerk, it is left blank without a word: whether a date
    // is required is the screen's to say.
    QTest::keyClick(f.before, Qt::Key_Tab);
    QTest::keyClick(f.date, Qt::Key_Delete);
    QTest::keyClick(f.date, Qt::Key_Tab);
    QVERIFY(f.after->hasFocus());
    QVERIFY(f.date->isBlank());
    QVERIFY(f.date->text().isEmpty());
    QVERIFY(!f.date->date().isValid());
    // Only the separators typed is blank too.
    QTest::keyClick(f.after, Qt::Key_Backtab);
    QTest::keyClicks(f.date, QStringLiteral("//"));
    QTest::keyClick(f.date, Qt::Key_Tab);
    QVERIFY(f.date->text().isEmpty());
    QVERIFY(messages.shown.isEmpty());

    // A stored date reads as stored, even one no clerk could type now, and
    // passing through the field leaves it alone.
    f.date->setDate(QDate(1899, 5, 1));
    QCOMPARE(f.date->text(), QStringLiteral("01/05/1899"));
    QTest::keyClick(f.after, Qt::Key_Backtab);
    QTest::keyClick(f.date, Qt::Key_Tab);
    QVERIFY(f.after->hasFocus());
    QCOMPARE(f.date->date(), QDate(1899, 5, 1));
    QVERIFY(messages.shown.isEmpty());
    f.date->setDate(QDate());
    QVERIFY(f.date->isBlank());

    // A read-only field is not the clerk's to type in: never refused.
    f.date->setReadOnly(true);
    f.date->setText(QStringLiteral("31/02"));
    f.date->setModified(true);
    QVERIFY(f.date->check());
    QVERIFY(messages.shown.isEmpty());
}

void TstDateLineEdit::commandsSeeTypedDate()
{
    RecordingMessages messages;
    Form f;
    auto *other = new DateEdit(QDate(2026, 1, 1), &f.window);
    QVERIFY(f.active());
    QTest::keyClick(f.before, Qt::Key_Tab);
    // A toolbar button takes no focus: the command checks every date field,
    // of either kind, and reads what was typed.
    QTest::keyClicks(f.date, QStringLiteral("4/1/27"));
    QCOMPARE(f.date->date(), QDate(2027, 1, 4));
    QVERIFY(DateEdit::checkAll(&f.window));
    QCOMPARE(f.date->text(), QStringLiteral("04/01/2027"));
    QCOMPARE(other->date(), QDate(2026, 1, 1));
    // Half typed, the command is refused once with the message; asked again
    // with the same text it is still refused, without a second box.
    f.date->selectAll();
    QTest::keyClicks(f.date, QStringLiteral("04/01/2"));
    QVERIFY(!DateEdit::checkAll(&f.window));
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(messages.last().startsWith(QStringLiteral("Data inválida no campo \"Data\".")));
    QVERIFY(f.date->hasFocus());
    QVERIFY(!DateEdit::checkAll(&f.window));
    QCOMPARE(messages.shown.size(), 1);
    // A disabled field is not the clerk's to mend.
    f.date->setEnabled(false);
    QVERIFY(DateEdit::checkAll(&f.window));
}

QTEST_MAIN(TstDateLineEdit)
#include "tst_datelineedit.moc"
