// Keyboard flow on every screen of the catalog: Tab walks the fields in the
// order they are read on screen, Enter moves on in fields, check boxes and
// "..." buttons and presses a focused OK; a refused field keeps its colour
// while its message box is up.
#include "app/Login_2Screen.h"
#include "app/ScreenWiring.h"
#include "app/TracaSenhaScreen.h"
#include "db/Session.h"
#include "ui/FormHelpers.h"
#include "support/RecordingPreview.h"
#include "support/RecordingServices.h"
#include "support/TestDatabase.h"
#include "ui/FocusFlow.h"
#include "ui/ScreenCatalog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QScrollArea>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

void setSession()
{
    TUsuarioLogado s;
    s.IdUsuario = QStringLiteral("1");
    s.IdPerfil = QStringLiteral("1000");
    s.IdUnidadeTrabalho = QStringLiteral("1");
    s.NomeUsuario = QStringLiteral("ANA");
    s.Login = QStringLiteral("ana");
    s.NomeUnidade = QStringLiteral("Centro");
    s.NomePerfil = QStringLiteral("Administrador");
    usuarioLogado() = s;
}

QString nameOf(const QWidget *w)
{
    const QString n = w->accessibleName().isEmpty() ? w->objectName() : w->accessibleName();
    return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(w->metaObject()->className()), n);
}

// Whether the clerk reads `a` before `b`: inside the innermost widget holding
// both, the parts holding each are compared; parts side by side (sharing most
// of their height) read left to right, others top to bottom.
bool readBefore(QWidget *a, QWidget *b)
{
    if (a->isAncestorOf(b))
        return true;
    QWidget *common = a->parentWidget();
    while (common && !common->isAncestorOf(b))
        common = common->parentWidget();
    if (!common)
        return true;
    auto partOf = [common](QWidget *w) {
        while (w->parentWidget() != common)
            w = w->parentWidget();
        return w;
    };
    const QRect ra = partOf(a)->geometry();
    const QRect rb = partOf(b)->geometry();
    const int overlap = qMin(ra.bottom(), rb.bottom()) - qMax(ra.top(), rb.top());
    if (overlap * 2 >= qMin(ra.height(), rb.height()))
        return ra.left() <= rb.left();
    return ra.top() <= rb.top();
}

// Parts of a toolbar or of a widget that takes the focus itself (a list, a
// calendar, a drop-down) are not fields of the form.
bool inCompound(const QWidget *w, const QWidget *root)
{
    for (const QWidget *p = w->parentWidget(); p && p != root; p = p->parentWidget())
        if (qobject_cast<const QToolBar *>(p) || qobject_cast<const QTabBar *>(p)
            || (p->focusPolicy() & Qt::TabFocus && !qobject_cast<const QScrollArea *>(p)
                && !qobject_cast<const QTabWidget *>(p) && !qobject_cast<const QGroupBox *>(p)))
            return true;
    return false;
}

// The fields Tab reaches now, in Tab order: the clerk's walk, from the
// first field that takes the focus until Tab comes back to it.
QList<QWidget *> tabChain(QWidget *screen)
{
    auto takes = [screen](QWidget *w) {
        return w && screen->isAncestorOf(w) && w->focusPolicy() & Qt::TabFocus && w->isVisible() && w->isEnabled()
               && !w->focusProxy() && !qobject_cast<QTabBar *>(w) && !inCompound(w, screen);
    };
    QWidget *start = nullptr;
    for (QWidget *w : FocusFlow::layoutOrder(screen))
        if (takes(w)) {
            start = w;
            break;
        }
    QList<QWidget *> chain;
    if (!start)
        return chain;
    start->setFocus(Qt::TabFocusReason);
    for (int guard = 0; guard < 300; ++guard) {
        QWidget *now = QApplication::focusWidget();
        if (!now || (guard > 0 && now == start) || chain.contains(now))
            break;
        if (takes(now))
            chain << now;
        QTest::keyClick(now, Qt::Key_Tab);
    }
    return chain;
}

QStringList misorders(QWidget *screen, const QString &where)
{
    QStringList out;
    const QList<QWidget *> chain = tabChain(screen);
    for (int i = 1; i < chain.size(); ++i)
        if (!readBefore(chain.at(i - 1), chain.at(i)))
            out << QStringLiteral("%1: %2 comes before %3").arg(where, nameOf(chain.at(i - 1)), nameOf(chain.at(i)));
    if (!out.isEmpty()) {
        QStringList placed;
        for (QWidget *w : FocusFlow::layoutOrder(screen))
            placed << nameOf(w);
        out << QStringLiteral("  (layout order: %1)").arg(placed.join(QStringLiteral(", ")));
    }
    return out;
}

} // namespace

class TestFocusChain : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { registerAllScreens(); }

    void everyScreenTabsInReadingOrder_data() { addEngineRows(); }
    void everyScreenTabsInReadingOrder()
    {
        ZAPO_TEST_DB(t);
        setSession();
        RecordingMessages msg;
        RecordingFileDialogs files;
        RecordingPreview preview;
        // A screen that asks something in a window of its own is answered No.
        QTimer closer;
        connect(&closer, &QTimer::timeout, [] {
            if (QWidget *m = QApplication::activeModalWidget())
                m->close();
        });
        closer.start(50);

        QWidget host;
        host.resize(1280, 900);
        host.show();
        QVERIFY(QTest::qWaitForWindowActive(&host));
        QStringList wrong;
        int screens = 0;
        for (int number : ScreenCatalog::instance().numbers()) {
            QWidget *screen = ScreenCatalog::instance().open(number, &host);
            if (!screen)
                continue; // a report or a dialog that did its work
            ++screens;
            screen->resize(screen->sizeHint().expandedTo(QSize(1100, 760)));
            screen->show();
            screen->activateWindow();
            if (!QTest::qWaitForWindowActive(screen->window()))
                wrong << QStringLiteral("%1: its window never became active").arg(number);
            QApplication::processEvents();
            const QString where = QStringLiteral("%1 %2").arg(number).arg(screen->windowTitle());
            wrong << misorders(screen, where);
            for (QTabWidget *tabs : screen->findChildren<QTabWidget *>())
                for (int i = 0; i < tabs->count(); ++i) {
                    tabs->setCurrentIndex(i);
                    QApplication::processEvents();
                    if (tabs->currentIndex() == i && tabs->isVisible())
                        wrong << misorders(screen, QStringLiteral("%1, tab %2").arg(where, tabs->tabText(i)));
                }
            screen->close();
            delete screen;
        }
        QVERIFY(screens > 20);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    void enterMovesOnAndPressesButtons()
    {
        QWidget form;
        auto *name = new QLineEdit(&form);
        auto *block = new QCheckBox(QStringLiteral("Bloquear acesso."), &form);
        auto *street = new QToolButton(&form);
        street->setText(QStringLiteral("..."));
        street->setFocusPolicy(Qt::StrongFocus);
        auto *dots = new QPushButton(QStringLiteral("..."), &form);
        auto *obs = new QPlainTextEdit(&form);
        auto *ok = new QPushButton(QStringLiteral("&OK"), &form);
        ok->setAutoDefault(false);
        int streetClicks = 0, dotsClicks = 0, oks = 0;
        connect(street, &QToolButton::clicked, [&] { ++streetClicks; });
        connect(dots, &QPushButton::clicked, [&] { ++dotsClicks; });
        connect(ok, &QPushButton::clicked, [&] { ++oks; });
        for (QWidget *w : QList<QWidget *>{name, block, street, dots, obs, ok})
            w->setFocusPolicy(Qt::StrongFocus);
        FormHelpers::installEnterAsTab(&form);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));

        name->setFocus();
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), block);
        QTest::keyClick(block, Qt::Key_Return);
        QVERIFY(!block->isChecked());
        QCOMPARE(QApplication::focusWidget(), street);
        QTest::keyClick(street, Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), dots);
        QTest::keyClick(dots, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), obs);
        QCOMPARE(streetClicks + dotsClicks, 0);
        // The multi-line note keeps Enter for its line breaks.
        QTest::keyClick(obs, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), obs);
        QCOMPARE(obs->toPlainText(), QStringLiteral("\n"));
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Return);
        QCOMPARE(oks, 1);
    }

    void enterOnTheFocusedOkOfAPasswordChange()
    {
        RecordingMessages msg;
        TracaSenhaScreen w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *atual = w.findChild<QLineEdit *>(QStringLiteral("mkeSenhaAtual"));
        atual->setFocus();
        // Three Enters walk the three boxes; the fourth presses OK at once.
        QTest::keyClick(atual, Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("bmpOk"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(msg.texts(), QStringList{QStringLiteral("Falta digitar a senha atual.")});
    }

    void refusedColourLastsUntilTheFieldIsLeft()
    {
        QWidget form;
        auto *field = new QLineEdit(&form);
        auto *other = new QLineEdit(&form);
        other->move(0, 40);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const QColor normal = field->palette().color(QPalette::Base);
        FormHelpers::markRefused(field);
        QCOMPARE(QApplication::focusWidget(), field);
        QCOMPARE(field->palette().color(QPalette::Base), QColor(Qt::yellow));

        // A box over the form takes the focus and gives it back.
        QWidget box;
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        QCOMPARE(field->palette().color(QPalette::Base), QColor(Qt::yellow));
        box.close();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(field->palette().color(QPalette::Base), QColor(Qt::yellow));

        other->setFocus(Qt::TabFocusReason);
        QCOMPARE(field->palette().color(QPalette::Base), normal);
    }
};

QTEST_MAIN(TestFocusChain)
#include "tst_focuschain.moc"
