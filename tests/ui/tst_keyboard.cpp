// The keyboard the same on every screen: a command's key wins over the
// editing keys of the field that has the focus, the toolbar says each key,
// Enter walks on from fields opened after the screen, Ctrl+Page Down and
// Ctrl+Page Up move between tabs, Escape closes a search window, a search
// window takes typing in its text at once, and a window opened from another
// appears centred over it.
#include "ui/Buttons.h"
#include "ui/FocusFlow.h"
#include "ui/ScreenMnemonics.h"
#include "ui/Toolbar.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QPointer>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

bool activate(QWidget *w)
{
    w->show();
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowActive(w);
}

const RecordActionNames kNames = {"actAppend", "actEdit",  "actDelete", "actRefresh", "actPost",
                                  "actCancel", "actFirst", "actPrior",  "actNext",    "actLast"};

} // namespace

class TstKeyboard : public QObject {
    Q_OBJECT
private slots:
    void commandKeysFromAnyField();
    void hintsShowTheKeys();
    void enterFromFieldOpenedLater();
    void tabsByKeys();
    void escapeClosesSearchWindow();
    void searchWindowTakesTypingAtOnce();
    void screenAltKeysWinOverTheMenuBar();
    void windowsOpenCentred();
};

void TstKeyboard::commandKeysFromAnyField()
{
    QWidget screen;
    auto *v = new QVBoxLayout(&screen);
    auto *bar = new QToolBar(&screen);
    v->addWidget(bar);
    auto *field = new QLineEdit(QStringLiteral("0001234"), &screen);
    v->addWidget(field);
    QList<RecordCommand> ran;
    QHash<QString, QAction *> actions;
    Toolbar::addActions(&screen, bar, Toolbar::recordEntries(kNames, [&](RecordCommand c) { ran << c; }), actions);
    QVERIFY(activate(&screen));
    field->setFocus();
    QVERIFY(field->hasFocus());
    // Ctrl+Insert copies and Ctrl+A selects all in a text box: while the
    // commands are enabled, they are the commands.
    QTest::keyClick(field, Qt::Key_Insert, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace, Qt::ControlModifier);
    QCOMPARE(ran, (QList<RecordCommand>{RecordCommand::Novo, RecordCommand::Alterar, RecordCommand::Cancelar}));
    QCOMPARE(field->text(), QStringLiteral("0001234"));
    // A disabled command leaves the key to the field.
    ran.clear();
    actions.value(QStringLiteral("actEdit"))->setEnabled(false);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(ran.isEmpty());
    QCOMPARE(field->selectedText(), QStringLiteral("0001234"));
}

void TstKeyboard::hintsShowTheKeys()
{
    QWidget screen;
    auto *bar = new QToolBar(&screen);
    QHash<QString, QAction *> actions;
    Toolbar::addActions(&screen, bar,
                        Toolbar::recordEntries(kNames, [](RecordCommand) {})
                            + QList<ToolbarEntry>{{"actPrint", QStringLiteral("&Imprimir..."), {}, [] {}}},
                        actions);
    QCOMPARE(actions.value(QStringLiteral("actAppend"))->toolTip(), QStringLiteral("Novo (Ctrl+Insert)"));
    QCOMPARE(actions.value(QStringLiteral("actDelete"))->toolTip(), QStringLiteral("Excluir (Ctrl+Delete)"));
    QCOMPARE(actions.value(QStringLiteral("actPost"))->toolTip(), QStringLiteral("Gravar (Ctrl+Alt+Enter)"));
    QCOMPARE(actions.value(QStringLiteral("actCancel"))->toolTip(), QStringLiteral("Cancelar (Ctrl+Backspace)"));
    QCOMPARE(actions.value(QStringLiteral("actPrint"))->toolTip(), QStringLiteral("Imprimir"));
    // The status line and screen readers keep the bare caption.
    QCOMPARE(actions.value(QStringLiteral("actAppend"))->statusTip(), QStringLiteral("Novo"));
}

void TstKeyboard::enterFromFieldOpenedLater()
{
    QWidget screen;
    auto *f = new QFormLayout(&screen);
    auto *hora = new QLineEdit(&screen);
    auto *vagas = new QLineEdit(&screen);
    auto *last = new QLineEdit(&screen);
    f->addRow(QStringLiteral("Hora:"), hora);
    f->addRow(QStringLiteral("Qt. vaga:"), vagas);
    f->addRow(QStringLiteral("Outro:"), last);
    // Read-only and out of the Tab order when the screen opens.
    for (QLineEdit *e : {hora, vagas}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
    }
    FocusFlow::watchBelow(&screen);
    QVERIFY(activate(&screen));
    // A command opens them.
    for (QLineEdit *e : {hora, vagas}) {
        e->setReadOnly(false);
        e->setFocusPolicy(Qt::StrongFocus);
    }
    hora->setFocus();
    QTest::keyClick(hora, Qt::Key_Return);
    QVERIFY(vagas->hasFocus());
    QTest::keyClick(vagas, Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(last->hasFocus());
}

void TstKeyboard::tabsByKeys()
{
    QWidget screen;
    auto *v = new QVBoxLayout(&screen);
    auto *tabs = new QTabWidget(&screen);
    v->addWidget(tabs);
    QList<QLineEdit *> fields;
    for (const char *t : {"Proprietário", "Animal", "Vacinas"}) {
        auto *page = new QWidget;
        auto *e = new QLineEdit(page);
        new QVBoxLayout(page);
        page->layout()->addWidget(e);
        fields << e;
        tabs->addTab(page, QString::fromUtf8(t));
    }
    FocusFlow::tabKeys(tabs, &screen);
    QVERIFY(activate(&screen));
    fields.at(0)->setFocus();
    QTest::keyClick(fields.at(0), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 1);
    tabs->setTabEnabled(2, false);
    fields.at(1)->setFocus();
    // The disabled tab is passed over, and the first follows the last.
    QTest::keyClick(fields.at(1), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 0);
    fields.at(0)->setFocus();
    QTest::keyClick(fields.at(0), Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 1);
}

void TstKeyboard::escapeClosesSearchWindow()
{
    QWidget opener;
    opener.resize(400, 300);
    QVERIFY(activate(&opener));
    auto *w = new QWidget(&opener, Qt::Window);
    w->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> alive(w);
    auto *text = new QLineEdit(w);
    new QVBoxLayout(w);
    w->layout()->addWidget(text);
    FocusFlow::closeOnEscape(w);
    QVERIFY(activate(w));
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Escape);
    QTRY_VERIFY(!alive);
}

void TstKeyboard::searchWindowTakesTypingAtOnce()
{
    // The criterion list comes first in the tab order; the clerk who opens
    // a search and types must still be typing into "Texto:".
    QWidget opener;
    opener.resize(400, 300);
    QVERIFY(activate(&opener));
    auto *w = new QWidget(&opener, Qt::Window);
    w->setAttribute(Qt::WA_DeleteOnClose);
    auto *criterion = new QComboBox(w);
    criterion->addItems({QStringLiteral("Nome animal"), QStringLiteral("Código animal")});
    auto *text = new QLineEdit(w);
    auto *grid = new QGridLayout(w);
    placeSearchBar(grid, w, QStringLiteral("Selecione:"), criterion, text, QStringLiteral("&Pesquisar"),
                   QStringLiteral("bmpPesquisar"));
    QVERIFY(activate(w));
    QTRY_COMPARE(QApplication::focusWidget(), text);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("BIDU"));
    QCOMPARE(text->text(), QStringLiteral("BIDU"));
    QCOMPARE(criterion->currentIndex(), 0);
    w->close();
}

void TstKeyboard::screenAltKeysWinOverTheMenuBar()
{
    // The main window's menu bar and a screen inside it both claim Alt+A
    // ("&Ajuda", "&Agendar novo atendimento...") and Alt+C ("&Cadastros",
    // a label's "&Cor:"). Pressed in the screen, the key acts there at the
    // first press; a key only the menu bar claims still opens its menu.
    QMainWindow main;
    QMenu *help = main.menuBar()->addMenu(QStringLiteral("&Ajuda"));
    help->addAction(QStringLiteral("Sistema..."));
    main.menuBar()->addMenu(QStringLiteral("&Cadastros"))->addAction(QStringLiteral("006"));
    QMenu *windows = main.menuBar()->addMenu(QStringLiteral("&Janelas"));
    windows->addAction(QStringLiteral("Fechar todas"));
    auto *area = new QMdiArea(&main);
    main.setCentralWidget(area);
    ScreenMnemonics::install(area);
    auto *screen = new QWidget;
    auto *book = new QPushButton(QStringLiteral("&Agendar novo atendimento..."), screen);
    auto *colour = new QLineEdit(screen);
    auto *colourCaption = new QLabel(QStringLiteral("&Cor:"), screen);
    colourCaption->setBuddy(colour);
    auto *first = new QLineEdit(screen);
    auto *lay = new QVBoxLayout(screen);
    lay->addWidget(first);
    lay->addWidget(book);
    lay->addWidget(colourCaption);
    lay->addWidget(colour);
    QMdiSubWindow *sub = area->addSubWindow(screen);
    main.resize(800, 600);
    QVERIFY(activate(&main));
    sub->show();
    area->setActiveSubWindow(sub);
    first->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), first);

    QSignalSpy clicked(book, &QPushButton::clicked);
    QTest::keyClick(first, Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(clicked.count(), 1);
    QVERIFY(!help->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(clicked.count(), 2); // every press, not every other one

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(QApplication::focusWidget(), colour);

    // Only the menu bar has Alt+J: its menu opens.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_J, Qt::AltModifier);
    QTRY_VERIFY(windows->isVisible());
    windows->close();
}

void TstKeyboard::windowsOpenCentred()
{
    WindowPlacement::install();
    QWidget opener;
    const QRect avail = opener.screen()->availableGeometry();
    opener.setGeometry(QRect(avail.topLeft() + QPoint(300, 200), QSize(600, 400)));
    opener.show();
    QVERIFY(QTest::qWaitForWindowExposed(&opener));
    const QPoint centre = opener.geometry().center();

    // Opened with no place of its own: over the middle of its opener.
    QWidget child(&opener, Qt::Window);
    child.resize(200, 100);
    child.show();
    QVERIFY(QTest::qWaitForWindowExposed(&child));
    QVERIFY2((child.geometry().center() - centre).manhattanLength() <= 4,
             qPrintable(QStringLiteral("%1,%2 vs %3,%4").arg(child.geometry().center().x()).arg(child.geometry().center().y())
                            .arg(centre.x()).arg(centre.y())));

    // A window its code placed stays there.
    QWidget placed(&opener, Qt::Window);
    placed.resize(100, 80);
    placed.move(avail.topLeft() + QPoint(10, 10));
    placed.show();
    QVERIFY(QTest::qWaitForWindowExposed(&placed));
    QCOMPARE(placed.pos(), avail.topLeft() + QPoint(10, 10));
}

QTEST_MAIN(TstKeyboard)
#include "tst_keyboard.moc"
