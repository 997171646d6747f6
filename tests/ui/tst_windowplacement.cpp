// Windows opened from another one appear over it, whole on its screen.
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

class TestWindowPlacement : public QObject {
    Q_OBJECT
private slots:
    void centredAndKeptOnTheScreen()
    {
        const QRect screen(0, 0, 1280, 1024);
        // Room all round: centred exactly.
        QCOMPARE(WindowPlacement::centred(QSize(400, 200), QPoint(640, 500), screen).center(), QPoint(640, 500));
        // An opener near a corner: the window slides back whole.
        QCOMPARE(WindowPlacement::centred(QSize(400, 200), QPoint(1250, 1000), screen), QRect(880, 824, 400, 200));
        QCOMPARE(WindowPlacement::centred(QSize(400, 200), QPoint(10, 10), screen), QRect(0, 0, 400, 200));
        // A second monitor to the right: kept on that one.
        const QRect right(1280, 0, 1920, 1080);
        QCOMPARE(WindowPlacement::centred(QSize(400, 200), QPoint(1300, 540), right).left(), 1280);
        // Larger than the screen: its title bar and top left stay reachable.
        QCOMPARE(WindowPlacement::centred(QSize(1500, 1200), QPoint(640, 500), screen).topLeft(), QPoint(0, 0));
    }

    void aWindowOpensOverItsOpener()
    {
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget opener;
        opener.setGeometry(avail.left() + 40, avail.top() + 30, avail.width() / 2, avail.height() / 2);
        opener.show();
        QVERIFY(QTest::qWaitForWindowExposed(&opener));
        QWidget window(&opener, Qt::Window);
        window.resize(avail.width() / 4, avail.height() / 4);
        WindowPlacement::centreOver(&window, &opener);
        const QPoint expected = opener.mapToGlobal(opener.rect().center());
        QVERIFY2((window.geometry().center() - expected).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(window.geometry().center().x()).arg(window.geometry().center().y())));

        // From a window that is not shown yet: over the active window or
        // the screen's centre, never off the screen.
        QWidget hidden;
        QWidget orphan(&hidden, Qt::Window);
        orphan.resize(100, 80);
        WindowPlacement::centreOver(&orphan, &hidden);
        QVERIFY(avail.contains(orphan.geometry()));
    }
};

QTEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
