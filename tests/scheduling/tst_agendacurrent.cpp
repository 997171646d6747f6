// The appointment book acts on the attendance the clerk sees: a current row
// after every refresh, a grid that follows its filters, and a weekly board
// that follows the calendar.
#include "SchedulingFixture.h"
#include "scheduling/AgendaScreen.h"
#include "scheduling/AgendaStore.h"
#include "support/RecordingServices.h"
#include "support/TestDatabase.h"
#include "ui/IdNameCombo.h"
#include "ui/register/PagedQueryModel.h"

#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using namespace SchedulingFixture;

class TestAgendaCurrent : public QObject {
    Q_OBJECT
private slots:
    void commandsActOnTheRowShown_data() { addEngineRows(); }
    void commandsActOnTheRowShown()
    {
        ZAPO_TEST_DB(db);
        Connection &c = db->main();
        fill(c);
        const int p = owner(c, QStringLiteral("ANA"));
        const int a = animal(c, p, QStringLiteral("TOBY"));
        attendance(c, p, a, 1, QDateTime(QDate(2026, 3, 10), QTime(9, 0)));
        attendance(c, p, a, 1, QDateTime(QDate(2026, 3, 11), QTime(9, 0)));
        attendance(c, p, a, 2, QDateTime(QDate(2026, 3, 12), QTime(9, 0)));
        int opened = -1;
        AgendaScreen::setAttendanceOpener([&](QWidget *, const QDate &, int id) { opened = id; });
        RecordingMessages msgs;
        AgendaScreen s;
        s.setDate(QDate(2026, 3, 15));
        for (QRadioButton *r : s.findChildren<QRadioButton *>())
            if (r->text() == QStringLiteral("Mês"))
                r->setChecked(true);
        s.refresh();
        QCOMPARE(s.gridModel()->rowCount(), 3);
        // The first row is current: "Novo atendimento..." opens it, not every attendance.
        QCOMPARE(s.grid()->currentIndex().row(), 0);
        s.openAttendance(false);
        QCOMPARE(opened, s.gridModel()->key(0).toInt());
        // The row that was current stays current after "Atualizar".
        s.grid()->setCurrentIndex(s.gridModel()->index(2, 0));
        const int chosen = s.gridModel()->key(2).toInt();
        s.refresh();
        QCOMPARE(s.gridModel()->key(s.grid()->currentIndex().row()).toInt(), chosen);
        s.openAttendance(true);
        QCOMPARE(opened, chosen);

        // The grid follows the unit filter at once.
        auto *unit = s.findChild<IdNameCombo *>(QStringLiteral("dblUnidadeTrabalho"));
        QVERIFY(unit->selectId(2));
        QCOMPARE(s.gridModel()->rowCount(), 1);
        QVERIFY(s.grid()->currentIndex().isValid());

        // The weekly board is the week of the calendar's day, not today's.
        s.setDate(QDate(2026, 3, 11));
        s.tabs()->setCurrentIndex(1);
        QVERIFY(s.week());
        QVERIFY(s.week()->first <= QDate(2026, 3, 11) && QDate(2026, 3, 11) <= s.week()->last);
        // Its "Atualizar" refreshes the grid too.
        attendance(c, p, a, 2, QDateTime(QDate(2026, 3, 13), QTime(9, 0)));
        s.refreshWeek();
        QCOMPARE(s.gridModel()->rowCount(), 2);
        AgendaScreen::setAttendanceOpener({});
    }
};

QTEST_MAIN(TestAgendaCurrent)
#include "tst_agendacurrent.moc"
