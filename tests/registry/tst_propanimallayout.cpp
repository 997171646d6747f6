// Screen 006 at the size it opens with: every tab's commands are in sight
// (none folded behind the toolbar's overflow button) and every field fits.
#include "RegistryFixture.h"
#include "registry/AnimalPanel.h"
#include "registry/PropAnimalScreen.h"
#include "support/RecordingServices.h"
#include "support/TestDatabase.h"

#include <QAction>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

class TestPropAnimalLayout : public QObject {
    Q_OBJECT
private slots:
    void everyCommandInSightAtTheDefaultSize()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        RegistryFixture::fill(t->dm());
        RecordingMessages msgs;
        PropAnimalScreen s;
        const QSize opened = s.size();
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        // Nothing is squeezed below what the fields need.
        QVERIFY2(s.minimumSizeHint().height() <= opened.height(),
                 qPrintable(QStringLiteral("needs %1 px").arg(s.minimumSizeHint().height())));
        for (int tab = 0; tab < s.tabs()->count(); ++tab) {
            s.tabs()->setCurrentIndex(tab);
            QApplication::processEvents();
            for (QToolBar *bar : s.tabs()->currentWidget()->findChildren<QToolBar *>()) {
                for (QAction *a : bar->actions()) {
                    if (a->isSeparator() || !a->isVisible())
                        continue;
                    QWidget *button = bar->widgetForAction(a);
                    QVERIFY2(button && button->isVisible(), qPrintable(bar->objectName() + QLatin1Char(' ') + a->objectName()));
                }
                for (QToolButton *b : bar->findChildren<QToolButton *>(QStringLiteral("qt_toolbar_ext_button")))
                    QVERIFY2(!b->isVisible(), qPrintable(bar->objectName()));
            }
        }
        // The owner's name is read whole on the animal tab.
        s.tabs()->setCurrentIndex(1);
        QVERIFY(s.animalPanel()->findChild<QWidget *>(QStringLiteral("lblProprietario"))->isVisible());
    }
};

QTEST_MAIN(TestPropAnimalLayout)
#include "tst_propanimallayout.moc"
