// The city's holidays: kept on screen 054 as a register, placed in every
// year when yearly, merged with the national ones.
#include "SlotFixture.h"
#include "scheduling/Holidays.h"
#include "scheduling/SchedulingScreens.h"
#include "support/DateTyping.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/register/FieldBinder.h"
#include "ui/register/RegisterScreen.h"

#include <QCheckBox>
#include <QTest>

using namespace SlotFixture;

namespace {

void holiday(Connection &c, int id, const QDate &d, const QString &name, const QString &yearly,
             const QString &status = QStringLiteral("ATIVO"))
{
    Sql::exec(c, QStringLiteral("insert into feriado_municipal (Id_Feriado_Municipal, Data_Feriado, Descricao, Ind_Anual, "
                                "Ind_Status) values (:k, :d, :n, :a, :s)"),
              {{"k", id}, {"d", QDateTime(d, QTime(0, 0))}, {"n", name}, {"a", yearly}, {"s", status}});
}

} // namespace

class TestHolidays : public QObject {
    Q_OBJECT
private slots:
    void municipalAndNational_data() { addEngineRows(); }
    void municipalAndNational()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        holiday(c, 1, QDate(1990, 2, 5), QStringLiteral("ANIVERSARIO DA CIDADE"), QStringLiteral("SIM"));
        holiday(c, 2, QDate(2027, 6, 13), QStringLiteral("SANTO ANTONIO"), QStringLiteral("NAO"));
        holiday(c, 3, QDate(2027, 3, 19), QStringLiteral("DESATIVADO"), QStringLiteral("NAO"), QStringLiteral("INATIVO"));
        holiday(c, 4, QDate(2000, 2, 29), QStringLiteral("BISSEXTO"), QStringLiteral("SIM"));
        holiday(c, 5, QDate(2010, 11, 15), QStringLiteral("PADROEIRA"), QStringLiteral("SIM"));

        QList<QDate> dates;
        QStringList names;
        for (const Holidays::Day &d : Holidays::between(c, QDate(2027, 1, 1), QDate(2028, 3, 31))) {
            dates << d.date;
            names << d.name;
        }
        QVERIFY(dates.contains(QDate(2027, 2, 5)) && dates.contains(QDate(2028, 2, 5)));
        QVERIFY(dates.contains(QDate(2027, 6, 13)));
        QVERIFY(!dates.contains(QDate(2027, 3, 19)));   // inactive
        QVERIFY(dates.contains(QDate(2028, 2, 29)));    // only in the leap year
        QVERIFY(!dates.contains(QDate(2027, 2, 28)) && !dates.contains(QDate(2027, 3, 1)));
        QVERIFY(dates.contains(QDate(2027, 3, 26)));    // Good Friday 2027
        // One entry per day: the city's patron on the Republic's day.
        QCOMPARE(dates.count(QDate(2027, 11, 15)), 1);
        QVERIFY(names.contains(QStringLiteral("Proclamação da República / PADROEIRA")));
        for (int i = 1; i < dates.size(); ++i)
            QVERIFY(dates.at(i - 1) < dates.at(i));
    }

    // The register screen a clerk keeps them in.
    void registerScreen_data() { addEngineRows(); }
    void registerScreen()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        RecordingMessages msgs;
        auto s = std::make_unique<RegisterScreen>(feriadoMunicipal());
        s->setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(s->windowTitle(), QStringLiteral("054 - Feriados municipais"));
        s->show();
        s->append();
        QVERIFY(!s->post());
        QCOMPARE(msgs.last(), QStringLiteral("Falta informar a data do feriado!"));
        QVERIFY(typeInto(s.get(), QStringLiteral("Data:"), QStringLiteral("05/02/2027")));
        QVERIFY(!s->post());
        QCOMPARE(msgs.last(), QStringLiteral("Falta informar a descrição do feriado!"));
        QVERIFY(typeInto(s.get(), QStringLiteral("Descrição:"), QStringLiteral("aniversário da cidade")));
        QVERIFY(s->post());
        Connection &c = t->main();
        QCOMPARE(Sql::text(Sql::scalar(c, QStringLiteral("select Descricao from feriado_municipal"))),
                 QStringLiteral("ANIVERSÁRIO DA CIDADE"));
        QCOMPARE(Sql::text(Sql::scalar(c, QStringLiteral("select Ind_Anual from feriado_municipal"))), QStringLiteral("SIM"));
        const QList<Holidays::Day> days = Holidays::municipal(c, QDate(2030, 1, 1), QDate(2030, 12, 31));
        QCOMPARE(days.size(), 1);
        QCOMPARE(days.first().date, QDate(2030, 2, 5));
    }

    // A register screen's date field typed as a clerk does, on both kinds
    // of save: leaving the field first, or "Gravar" from its key with the
    // focus still in it.
    void dateTypedAsAClerk_data() { addEngineRows(); }
    void dateTypedAsAClerk()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        RecordingMessages msgs;
        auto s = std::make_unique<RegisterScreen>(feriadoMunicipal());
        s->setAttribute(Qt::WA_DeleteOnClose, false);
        QVERIFY(activate(s.get()));
        auto *data = qobject_cast<DateLineEdit *>(editorByCaption(s.get(), QStringLiteral("Data:")));
        QVERIFY(data);
        QCOMPARE(data->objectName(), QStringLiteral("dtpData_Feriado"));
        s->append();
        QVERIFY(typeInto(s.get(), QStringLiteral("Descrição:"), QStringLiteral("carnaval")));
        QVERIFY(typeDate(data, QStringLiteral("9/2/27"), QStringLiteral("start")));
        QCOMPARE(data->text(), QStringLiteral("09/02/2027"));
        QVERIFY(s->post());
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Data_Feriado from feriado_municipal")).toDateTime().date(), QDate(2027, 2, 9));

        // Half typed and saved at once: refused by the field's name, never
        // taken for a blank date (nor for another one).
        s->append();
        QVERIFY(typeInto(s.get(), QStringLiteral("Descrição:"), QStringLiteral("padroeira")));
        QTest::mouseClick(data, Qt::LeftButton, {}, QPoint(data->width() / 2, data->height() / 2));
        QVERIFY(data->hasFocus());
        QTest::keyClicks(data, QStringLiteral("15/11/2"));
        msgs.clear();
        QVERIFY(!s->post());
        QCOMPARE(msgs.shown.size(), 1);
        QVERIFY2(msgs.last().startsWith(QStringLiteral("Data inválida no campo \"Data\".")), qPrintable(msgs.last()));
        QVERIFY(data->hasFocus());
        QCOMPARE(data->text(), QStringLiteral("15/11/2"));
        QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from feriado_municipal")).toInt(), 1);
        // Mended with the cursor at the end, without leaving the field.
        data->end(false);
        QTest::keyClicks(data, QStringLiteral("027"));
        QVERIFY(s->post());
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Data_Feriado from feriado_municipal where Descricao = 'PADROEIRA'"))
                     .toDateTime()
                     .date(),
                 QDate(2027, 11, 15));
    }
};

QTEST_MAIN(TestHolidays)
#include "tst_holidays.moc"
