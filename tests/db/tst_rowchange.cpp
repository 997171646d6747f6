// The alteration rule every screen follows, on the engines: only changed
// columns are written, each guarded by the value loaded, judged by rows
// affected; two workstations on one database.
#include "db/DataModule.h"
#include "db/RowChange.h"
#include "db/Sql.h"
#include "support/TestDatabase.h"

#include <QDate>
#include <QDateTime>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace {

QVariantMap row(Connection &c, const QString &sql, const QVariantMap &p = {})
{
    QSqlQuery q = Sql::exec(c, sql, p);
    QVariantMap r;
    if (q.next())
        for (int i = 0; i < q.record().count(); ++i)
            r.insert(q.record().fieldName(i).toLower(), q.value(i));
    return r;
}

QVariantMap prescription(Connection &c)
{
    return row(c, QStringLiteral("select Descricao, OBS, Id_Atendimento from receituario where Id_Receituario = 1"));
}

// A text longer than one driver sends as a plain string, with accents.
QString longText(QChar c)
{
    return QString(600, c) + QStringLiteral(" ação é ótima");
}

void change(Connection &c, const QVariantMap &loaded, const QVariantMap &now)
{
    RowChange rc(QStringLiteral("receituario"), QStringLiteral("Id_Receituario"), 1);
    rc.columns(loaded, now);
    rc.stamp(QStringLiteral("Modificado_Por"), 5);
    rc.apply(c);
}

} // namespace

class TestRowChange : public QObject {
    Q_OBJECT
private slots:
    void sameValueIgnoresHowAValueTravels()
    {
        const QString t = QStringLiteral("animal");
        QVERIFY(RowChange::sameValue(t, QStringLiteral("Nome"), QStringLiteral(" REX  "), QStringLiteral("REX")));
        QVERIFY(RowChange::sameValue(t, QStringLiteral("Nome"), QString(), QVariant()));
        QVERIFY(!RowChange::sameValue(t, QStringLiteral("Nome"), QStringLiteral("REX"), QStringLiteral("rex")));
        QVERIFY(RowChange::sameValue(t, QStringLiteral("Id_Raca"), 5, QStringLiteral("5")));
        QVERIFY(!RowChange::sameValue(t, QStringLiteral("Id_Raca"), 5, QVariant()));
        QVERIFY(!RowChange::sameValue(t, QStringLiteral("Id_Raca"), 0, QVariant()));
        // A date shown without its time is the stored midnight, also as SQLite's text.
        QVERIFY(RowChange::sameValue(t, QStringLiteral("Data_Nascimento"), QDate(2020, 5, 31),
                                     QStringLiteral("2020-05-31 00:00:00.000")));
        QVERIFY(RowChange::sameValue(t, QStringLiteral("Data_Nascimento"), QDate(2020, 5, 31),
                                     QDateTime(QDate(2020, 5, 31), QTime(0, 0))));
        QVERIFY(!RowChange::sameValue(t, QStringLiteral("Data_Nascimento"), QDate(2020, 5, 31), QDate(2020, 6, 1)));
        QVERIFY(RowChange::sameValue(QStringLiteral("receituario_texto_peso"), QStringLiteral("Peso"), 12.5, QStringLiteral("12.5")));
    }

    void longTextsOfTwoWorkstations_data() { addEngineRows(); }
    void longTextsOfTwoWorkstations()
    {
        ZAPO_TEST_DB(t);
        auto other = t->openAnother();
        Connection &a = t->main();
        Connection &b = other->main();
        Sql::exec(a, QStringLiteral("insert into receituario (Id_Receituario, Id_Atendimento, Descricao, OBS) values (1, 9, :d, 'obs')"),
                  {{QStringLiteral("d"), longText(QLatin1Char('a'))}});
        const QVariantMap loadedA = prescription(a);
        const QVariantMap loadedB = prescription(b);

        // B changes the note, A the text: both stay.
        QVariantMap nowB = loadedB;
        nowB.insert(QStringLiteral("obs"), longText(QLatin1Char('o')));
        change(b, loadedB, nowB);
        QVariantMap nowA = loadedA;
        nowA.insert(QStringLiteral("descricao"), longText(QLatin1Char('b')));
        change(a, loadedA, nowA);
        QVariantMap stored = prescription(a);
        QCOMPARE(Sql::text(stored.value(QStringLiteral("descricao"))), longText(QLatin1Char('b')).trimmed());
        QCOMPARE(Sql::text(stored.value(QStringLiteral("obs"))), longText(QLatin1Char('o')).trimmed());

        // B changes the text A changed since B loaded it: refused, A's stays.
        nowB.insert(QStringLiteral("descricao"), longText(QLatin1Char('c')));
        try {
            change(b, loadedB, nowB);
            QFAIL("a change of a column changed elsewhere was written");
        } catch (const StaleRecord &e) {
            QVERIFY(!e.deleted());
            QCOMPARE(e.text(), QStringLiteral("O registro foi alterado em outra estação de trabalho depois de aberto. Os dados foram "
                                              "recarregados; refaça a alteração."));
        }
        QCOMPARE(Sql::text(prescription(a).value(QStringLiteral("descricao"))), longText(QLatin1Char('b')).trimmed());

        // Reloaded, the same change goes through.
        const QVariantMap reloaded = prescription(b);
        QVariantMap again = reloaded;
        again.insert(QStringLiteral("descricao"), longText(QLatin1Char('c')));
        change(b, reloaded, again);
        QCOMPARE(Sql::text(prescription(a).value(QStringLiteral("descricao"))), longText(QLatin1Char('c')).trimmed());
    }

    void nothingChangedWritesNothingAndDeletedRowsAreSaid_data() { addEngineRows(); }
    void nothingChangedWritesNothingAndDeletedRowsAreSaid()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        Sql::exec(c, QStringLiteral("insert into receituario (Id_Receituario, Id_Atendimento, Descricao) values (1, 9, 'texto   ')"));
        const QVariantMap loaded = prescription(c);
        QVariantMap now = loaded;
        now.insert(QStringLiteral("descricao"), QStringLiteral("texto"));
        now.insert(QStringLiteral("obs"), QString());
        RowChange rc(QStringLiteral("receituario"), QStringLiteral("Id_Receituario"), 1);
        rc.columns(loaded, now);
        rc.stamp(QStringLiteral("Modificado_Por"), 5);
        QVERIFY(!rc.changed());
        QVERIFY(!rc.apply(c));
        QVERIFY(Sql::scalar(c, QStringLiteral("select Modificado_Por from receituario")).isNull());

        // A column that was empty must still be empty.
        Sql::exec(c, QStringLiteral("update receituario set OBS = 'outra mesa'"));
        now.insert(QStringLiteral("obs"), QStringLiteral("minha"));
        QVERIFY_THROWS_EXCEPTION(StaleRecord, change(c, loaded, now));

        Sql::exec(c, QStringLiteral("delete from receituario"));
        RowChange gone(QStringLiteral("receituario"), QStringLiteral("Id_Receituario"), 1);
        gone.columns(loaded, loaded);
        try {
            gone.apply(c);
            QFAIL("an alteration of a deleted row was reported as saved");
        } catch (const StaleRecord &e) {
            QVERIFY(e.deleted());
        }
    }

    void datesAndNumbersAreGuardedByValue_data() { addEngineRows(); }
    void datesAndNumbersAreGuardedByValue()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        Sql::exec(c, QStringLiteral("insert into animal (Id_Animal, Nome, Data_Nascimento, Id_Raca) values (1, 'REX', :d, 4)"),
                  {{QStringLiteral("d"), QDate(2020, 5, 31)}});
        const QVariantMap stored = row(c, QStringLiteral("select Data_Nascimento, Id_Raca from animal"));
        // The screen shows the day; the raw value stored is what it compares with.
        RowChange rc(QStringLiteral("animal"), QStringLiteral("Id_Animal"), 1);
        rc.column(QStringLiteral("Data_Nascimento"), QDate(2020, 5, 31), QDate(2021, 1, 2));
        rc.column(QStringLiteral("Id_Raca"), stored.value(QStringLiteral("id_raca")), 7);
        QCOMPARE(rc.changedColumns(), (QStringList{QStringLiteral("Data_Nascimento"), QStringLiteral("Id_Raca")}));
        QVERIFY(rc.apply(c));
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Id_Raca from animal")).toInt(), 7);
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Data_Nascimento from animal")).toDateTime().date(), QDate(2021, 1, 2));
        // The same alteration again finds other values: refused.
        QVERIFY_THROWS_EXCEPTION(StaleRecord, rc.apply(c));
    }
};

QTEST_GUILESS_MAIN(TestRowChange)
#include "tst_rowchange.moc"
