// Cloning and publishing run as long work: a second click or a key press
// queued behind the first click (a clerk's double click, an impatient Enter)
// reaches nothing while the first run holds its transaction, and the first
// run completes whole.
#include "SlotFixture.h"
#include "scheduling/DraftStore.h"
#include "scheduling/MapaDisponibilidadeCloneScreen.h"
#include "scheduling/MapaDisponibilidadeRascunhoScreen.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/LongWork.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

using namespace SlotFixture;

namespace {

const QString Done = QStringLiteral("Operação realizada com sucesso.");

// What a double click and a key press leave in the queue: they are handled
// at the next turn of the event loop, which the long work's first step is.
void queueClickAndKey(QWidget *target)
{
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    const QPointF global = target->mapToGlobal(at);
    QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" ")));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" ")));
}

// The queued events do press a button when no work runs: without this the
// tests below would pass for events that never click anything.
void checkQueuedInputClicks()
{
    QPushButton b(QStringLiteral("Botão"));
    b.resize(120, 30);
    b.show();
    QSignalSpy clicks(&b, &QPushButton::clicked);
    queueClickAndKey(&b);
    QCoreApplication::processEvents();
    QCOMPARE(clicks.count(), 2);
}

SlotValues draft(const QDate &day, const QTime &t, int geral)
{
    SlotValues v;
    v.unidade = 1;
    v.procedimento = 12;
    v.especie = 1;
    v.dataHora = QDateTime(day, t);
    v.vagaGeral = geral;
    v.vagaFemea = 0;
    return v;
}

} // namespace

class TestLongCommands : public QObject {
    Q_OBJECT
private slots:
    void queuedInputClicks() { checkQueuedInputClicks(); }

    void cloningTwice_data() { addEngineRows(); }
    void cloningTwice()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        addSlot(c, 1, 1, QDateTime(QDate(2016, 3, 10), QTime(8, 30)), 4, 0, 1, 2, 0);
        const Slot model = *SlotStore(c).read(1);
        RecordingMessages msg;
        MapaDisponibilidadeCloneScreen::setMonthOffset(1);
        MapaDisponibilidadeCloneScreen w(c, model);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        child<QCheckBox>(&w, "chkSegundaSexta")->click();
        // Holidays too: only the runner's gate is under test here.
        child<QCheckBox>(&w, "chkIncluirFeriados")->setChecked(true);
        const int days = int(w.selectedDays().size());
        QVERIFY(days >= 20);

        auto *gerar = child<QPushButton>(&w, "bmpGerar");
        QSignalSpy clicks(gerar, &QPushButton::clicked);
        queueClickAndKey(gerar);
        queueClickAndKey(&w);
        gerar->click();
        QCoreApplication::processEvents();

        QCOMPARE(clicks.count(), 1);
        QCOMPARE(msg.texts(), QStringList{Done});
        QVERIFY(msg.underTransaction.isEmpty());
        // Every weekday of the month for the three units, once.
        QCOMPARE(count(c), 1 + 3 * days);
        QCOMPARE(count(c, QStringLiteral("Id_unidade_trabalho = 15")), days);
        MapaDisponibilidadeCloneScreen::setMonthOffset(0);
    }

    void publishingTwice_data() { addEngineRows(); }
    void publishingTwice()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        DraftStore store(c);
        for (int i = 0; i < 12; ++i)
            QCOMPARE(store.insert(draft(QDate(2030, 3, 10 + i), QTime(8, 0), 3), QStringLiteral("7")), DraftStore::Saved::Done);

        RecordingMessages msg;
        MapaDisponibilidadeRascunhoScreen s(c);
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        s.action(QStringLiteral("actAtualizar"))->trigger();
        auto *transferir = child<QPushButton>(&s, "bmpTransferir");
        QSignalSpy clicks(transferir, &QPushButton::clicked);
        queueClickAndKey(transferir);
        queueClickAndKey(&s);
        transferir->click();
        QCoreApplication::processEvents();

        QCOMPARE(clicks.count(), 1);
        // One question before, one word after: nothing from a second run.
        QCOMPARE(msg.texts(), (QStringList{QStringLiteral("CENTRO DE ZOONOSES: 12 horário(s), 36 vaga(s) geral e 0 vaga(s) fêmea "
                                                          "grande\rDeseja realmente transferir a programação para produção?\r"
                                                          "Esta operação será definitiva."),
                                           Done}));
        QVERIFY(msg.underTransaction.isEmpty());
        QCOMPARE(count(c), 12);
        QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from mapa_rascunho where Status_Registro = 'INATIVO' "
                                               "and Id_mapa_disponibilidade_agenda is not null"))
                     .toInt(),
                 12);
    }

    // The gate opens again when the work ends, and nested work answers the
    // outer one's cancel without a window of its own.
    void gateAndNesting()
    {
        QPushButton b(QStringLiteral("Botão"));
        b.resize(120, 30);
        b.show();
        QSignalSpy clicks(&b, &QPushButton::clicked);
        {
            QVERIFY(!LongWork::running());
            LongWork outer(QStringLiteral("Fora"), QStringLiteral("..."), nullptr, 0);
            QVERIFY(LongWork::running());
            queueClickAndKey(&b);
            QVERIFY(outer.step(1));
            QCOMPARE(clicks.count(), 0);
            {
                LongWork inner(QStringLiteral("Dentro"), QStringLiteral("..."));
                QVERIFY(inner.step(1));
                auto *window = QApplication::activeModalWidget();
                QVERIFY(window);
                QCOMPARE(window->windowTitle(), QStringLiteral("Fora"));
                // "Cancelar" on the window itself is still heard.
                auto *cancel = window->findChild<QPushButton *>();
                QVERIFY(cancel);
                QTest::mouseClick(cancel, Qt::LeftButton);
                QVERIFY(!inner.step(2));
            }
            QVERIFY(!outer.step(2));
        }
        QVERIFY(!LongWork::running());
        checkQueuedInputClicks();
        QCOMPARE(clicks.count(), 0);
    }
};

QTEST_MAIN(TestLongCommands)
#include "tst_longcommands.moc"
