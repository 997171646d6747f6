// The toolbar every screen builds from entries, and the record state that
// enables its commands: register screens working on a list, and screens
// showing one record at a time that do one thing at a time.
#include "ui/Toolbar.h"

#include <QAction>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

Q_DECLARE_METATYPE(RecordState)

namespace {

const RecordActionNames kNames = {"actAppend", "actEdit",  "actDelete", "actRefresh", "actPost",
                                  "actCancel", "actFirst", "actPrior",  "actNext",    "actLast"};

// The enabled commands, in toolbar order, as one word each.
QString enabled(const RecordState &s)
{
    QWidget scope;
    QToolBar bar(&scope);
    QHash<QString, QAction *> actions;
    Toolbar::addActions(&scope, &bar, Toolbar::recordEntries(kNames, [](RecordCommand) {}), actions);
    Toolbar::applyRecordState(s, actions, kNames);
    QStringList on;
    for (const char *n : kNames)
        if (actions.value(QLatin1String(n))->isEnabled())
            on << QString::fromLatin1(n).mid(3);
    return on.join(QLatin1Char(' '));
}

RecordState state(RecordMode mode, int row, int rowCount, std::optional<bool> shown = {}, bool oneThing = false)
{
    RecordState s;
    s.mode = mode;
    s.row = row;
    s.rowCount = rowCount;
    s.recordShown = shown;
    s.oneThingAtATime = oneThing;
    return s;
}

} // namespace

class TstToolbar : public QObject {
    Q_OBJECT
private slots:
    void recordCommandsAreOneTable()
    {
        QWidget scope;
        QToolBar bar(&scope);
        QHash<QString, QAction *> actions;
        QList<RecordCommand> ran;
        Toolbar::addActions(&scope, &bar,
                            Toolbar::recordEntries(kNames, [&](RecordCommand c) { ran << c; })
                                + QList<ToolbarEntry>{{}, {"actInfo", QStringLiteral("&Informação..."), {}, [] {}}},
                            actions);
        QCOMPARE(actions.size(), 11);
        QCOMPARE(bar.actions().size(), 13); // two separators
        QVERIFY(bar.actions().at(6)->isSeparator());
        QCOMPARE(actions.value(QStringLiteral("actNext"))->text(), QStringLiteral("Próximo"));
        QCOMPARE(actions.value(QStringLiteral("actPost"))->shortcuts(), recordKeys(RecordCommand::Gravar));
        // Each tab's keys answer only while its tab shows.
        QCOMPARE(actions.value(QStringLiteral("actEdit"))->shortcutContext(), Qt::WindowShortcut);
        QVERIFY(!actions.value(QStringLiteral("actAppend"))->icon().isNull());
        // Hints and screen readers read the caption without dots and the
        // accelerator's ampersand.
        QAction *info = actions.value(QStringLiteral("actInfo"));
        QCOMPARE(info->toolTip(), QStringLiteral("Informação"));
        QCOMPARE(bar.widgetForAction(info)->accessibleName(), QStringLiteral("Informação"));
        actions.value(QStringLiteral("actLast"))->trigger();
        actions.value(QStringLiteral("actAppend"))->trigger();
        QCOMPARE(ran, (QList<RecordCommand>{RecordCommand::Ultimo, RecordCommand::Novo}));
    }

    void enablingRules_data()
    {
        QTest::addColumn<RecordState>("state");
        QTest::addColumn<QString>("commands");
        using M = RecordMode;
        // A register screen's list.
        QTest::newRow("list, middle row") << state(M::Browse, 1, 3) << "Append Edit Delete Refresh First Prior Next Last";
        QTest::newRow("list, empty") << state(M::Browse, -1, 0) << "Append Edit Refresh";
        QTest::newRow("list, inserting") << state(M::Insert, 2, 3) << "Append Refresh Post Cancel";
        QTest::newRow("list, editing") << state(M::Edit, 0, 3) << "Append Delete Refresh Post Cancel";
        // One record at a time: nothing else while it is typed, and Alterar
        // and Excluir need a record shown, wherever the position stands.
        QTest::newRow("one, shown") << state(M::Browse, 0, 2, true, true) << "Append Edit Delete Refresh Next Last";
        QTest::newRow("one, last shown") << state(M::Browse, 1, 2, true, true) << "Append Edit Delete Refresh First Prior";
        QTest::newRow("one, none shown") << state(M::Browse, 0, 1, false, true) << "Append Refresh";
        QTest::newRow("one, inserting") << state(M::Insert, -1, 0, false, true) << "Post Cancel";
        QTest::newRow("one, editing") << state(M::Edit, 0, 3, true, true) << "Post Cancel";
    }
    void enablingRules()
    {
        QFETCH(RecordState, state);
        QFETCH(QString, commands);
        QCOMPARE(enabled(state), commands);
    }

    // What the profile refuses stays hidden and off whatever the state says.
    void refusedStaysOff()
    {
        QWidget scope;
        QToolBar bar(&scope);
        QHash<QString, QAction *> actions;
        Toolbar::addActions(&scope, &bar, Toolbar::recordEntries(kNames, [](RecordCommand) {}), actions);
        QAction *del = actions.value(QStringLiteral("actDelete"));
        Toolbar::refuse(del, false);
        Toolbar::applyRecordState(state(RecordMode::Browse, 0, 1), actions, kNames);
        QVERIFY(!del->isEnabled());
        QVERIFY(!del->isVisible());
        QVERIFY(actions.value(QStringLiteral("actEdit"))->isEnabled());
        Toolbar::refuse(del, true);
        Toolbar::applyRecordState(state(RecordMode::Browse, 0, 1), actions, kNames);
        QVERIFY(del->isEnabled());
    }
};

QTEST_MAIN(TstToolbar)
#include "tst_toolbar.moc"
