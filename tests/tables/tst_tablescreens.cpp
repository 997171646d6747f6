// The reference table screens and the vaccination auxiliary tables, opened
// through the catalog as the menu opens them, against the real schema.
#include "db/DataModule.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "tables/RolvexPrincipalScreen.h"
#include "tables/TableScreens.h"
#include "ui/ScreenCatalog.h"
#include "ui/register/FieldBinder.h"
#include "ui/register/PagedQueryModel.h"
#include "ui/register/RegisterScreen.h"
#include "ui/register/SearchWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <memory>

namespace {

QWidget *host() { return screenHost(); }
std::unique_ptr<RegisterScreen> openScreen(int number) { return openRegisterScreen(number); }
QLineEdit *line(QWidget *s, const QString &caption) { return lineByCaption(s, caption); }
void type(QWidget *s, const QString &caption, const QString &text)
{
    QVERIFY2(typeInto(s, caption, text), qPrintable(caption));
}

void pick(QWidget *s, const QString &caption, const QString &item)
{
    auto *c = qobject_cast<QComboBox *>(editorByCaption(s, caption));
    QVERIFY2(c, qPrintable(caption));
    const int i = c->findText(item);
    QVERIFY2(i >= 0, qPrintable(item));
    c->setCurrentIndex(i);
}

int count(const QString &sql)
{
    return Sql::scalar(mainConnection(), sql).toInt();
}

void exec(const QString &sql)
{
    Sql::exec(mainConnection(), sql);
}

// The lookups the breed and medicine screens offer.
void addLookupRows()
{
    exec(QStringLiteral("insert into porte (Id_porte, Descricao, Ind_Status) values (1, 'PEQUENO', 'ATIVO')"));
    exec(QStringLiteral("insert into porte (Id_porte, Descricao, Ind_Status) values (2, 'GRANDE', 'ATIVO')"));
    exec(QStringLiteral("insert into pelo (Id_pelo, Descricao, Ind_Status) values (1, 'CURTO', 'ATIVO')"));
    exec(QStringLiteral("insert into unidade_medida (Id_Unidade_Medida, Nome, Descricao, Ind_Status) values (1, 'ML', 'Mililitro', 'ATIVO')"));
    exec(QStringLiteral("insert into unidade_medida (Id_Unidade_Medida, Nome, Descricao, Ind_Status) values (2, 'MG', 'Miligrama', 'ATIVO')"));
}

QString shotsDir()
{
    return qEnvironmentVariable("ZAPO_SHOTS");
}

void shoot(QWidget *w, const QString &name)
{
    if (shotsDir().isEmpty())
        return;
    QDir().mkpath(shotsDir());
    w->grab().save(QDir(shotsDir()).filePath(name + QStringLiteral(".png")));
    // Under a real X server (xvfb-run) also what the screen shows.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        w->window()->raise();
        QTest::qWait(200);
        QProcess::execute(QStringLiteral("/usr/bin/import"),
                          {QStringLiteral("-window"), QStringLiteral("root"),
                           QDir(shotsDir()).filePath(name + QStringLiteral("-x11.png"))});
    }
}

bool hasReferenceTables()
{
    QSqlQuery q(mainConnection().db());
    return q.exec(QStringLiteral("select count(*) from tipo_vacina_ocorrencia"));
}

} // namespace

// Until the full schema is on this branch the screens have no tables to open.
#define REQUIRE_REFERENCE_TABLES()                                                  \
    if (!hasReferenceTables())                                                      \
        QSKIP("the schema has no reference tables yet");

class TestTableScreens : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerTableScreens(ScreenCatalog::instance()); }
    void init()
    {
        usuarioLogado() = TUsuarioLogado{};
        usuarioLogado().IdUsuario = QStringLiteral("3");
    }

    void everyScreenSavesAltersAndDeletes_data() { addEngineRows(); }
    void everyScreenSavesAltersAndDeletes()
    {
        ZAPO_TEST_DB(t);
        REQUIRE_REFERENCE_TABLES();
        addLookupRows();
        RecordingMessages msgs;
        const QList<QPair<int, QString>> screens{
            {9, QStringLiteral("009 - Grupo de animais.")},      {10, QStringLiteral("010 - Especie de animal.")},
            {11, QStringLiteral("011 - Raça")},                  {12, QStringLiteral("012 - Tamanho do pêlo.")},
            {13, QStringLiteral("013 - Porte do animais.")},     {14, QStringLiteral("014 - Status atendimento.")},
            {15, QStringLiteral("015 - Unidade de medida.")},    {16, QStringLiteral("016 - Cadastro de Medicamento")},
            {17, QStringLiteral("017 - Procedimento.")},         {18, QStringLiteral("018 - Tipos de ocorrências para animais.")}};
        for (const auto &[number, caption] : screens) {
            auto s = openScreen(number);
            QVERIFY2(s, qPrintable(caption));
            QCOMPARE(s->windowTitle(), caption);
            QCOMPARE(s->definition().formId, number);
            // Every screen is a child window except the coat screen, a window of its own.
            QCOMPARE(s->isWindow(), number == 12);
            for (const char *name : {"actAppend", "actEdit", "actDelete", "actPrint"})
                QVERIFY(s->findChild<QAction *>(QLatin1String(name)));
            s->show();
            QVERIFY2(msgs.shown.isEmpty(), qPrintable(msgs.last()));
            const QString table = s->definition().table;
            const QString key = s->definition().keyColumn;
            const int before = count(QStringLiteral("select count(*) from ") + table);

            s->append();
            type(s.get(), QStringLiteral("Nome:"), QStringLiteral("novo %1").arg(number));
            QCOMPARE(line(s.get(), QStringLiteral("Nome:"))->text(), QStringLiteral("NOVO %1").arg(number));
            for (QComboBox *c : s->findChildren<QComboBox *>())
                if (c->count() > 0)
                    c->setCurrentIndex(0);
            QVERIFY2(s->post(), qPrintable(QStringLiteral("%1: %2").arg(number).arg(msgs.last())));
            QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
            QCOMPARE(count(QStringLiteral("select count(*) from ") + table), before + 1);
            const int id = line(s.get(), QStringLiteral("Código:"))->text().toInt();
            QVERIFY(id > 0);
            QCOMPARE(count(QStringLiteral("select Inserido_Por from %1 where %2 = %3").arg(table, key).arg(id)), 3);

            s->edit();
            type(s.get(), QStringLiteral("Nome:"), QStringLiteral("alterado"));
            QVERIFY(s->post());
            QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select %1 from %2 where %3 = %4")
                                                                 .arg(s->definition().fields.at(1).column, table, key).arg(id))),
                     QStringLiteral("ALTERADO"));
            QCOMPARE(count(QStringLiteral("select Modificado_Por from %1 where %2 = %3").arg(table, key).arg(id)), 3);

            msgs.clear();
            QVERIFY2(s->remove(), qPrintable(msgs.last()));
            QCOMPARE(msgs.shown.first().kind, QStringLiteral("confirm"));
            QCOMPARE(count(QStringLiteral("select count(*) from ") + table), before);
            msgs.clear();
        }
    }

    void confirmationTexts_data() { addEngineRows(); }
    void confirmationTexts()
    {
        ZAPO_TEST_DB(t);
        REQUIRE_REFERENCE_TABLES();
        exec(QStringLiteral("insert into unidade_medida (Id_Unidade_Medida, Nome, Ind_Status) values (4, 'ML', 'ATIVO')"));
        exec(QStringLiteral("insert into medicamento (Id_Medicamento, Id_Unidade_Medida, Nome, Ind_Status) values (9, 4, 'DIPIRONA', 'ATIVO')"));
        RecordingMessages msgs;
        msgs.answers = {false, false, false, false};
        const QList<QPair<int, QString>> expected{
            {16, QStringLiteral("Você esta preste a excluir definitivamento o medicamento nº: 9\r deseje continuar?")},
            {14, QStringLiteral("Você esta preste a deletar o status nº: 1\r deseje continuar?")},
            {17, QStringLiteral("Você esta preste a deletar o procedimento nº: 12\r deseje continuar?")},
            {10, QStringLiteral("O registro será excluído definitivamente.\rDeseja continuar?")}};
        for (const auto &[number, text] : expected) {
            auto s = openScreen(number);
            s->show();
            QVERIFY(!s->remove());
            QCOMPARE(msgs.last(), text);
        }
        QCOMPARE(count(QStringLiteral("select count(*) from medicamento")), 1);
    }

    void breedNeedsSpeciesSizeAndCoatInThatOrder_data() { addEngineRows(); }
    void breedNeedsSpeciesSizeAndCoatInThatOrder()
    {
        ZAPO_TEST_DB(t);
        REQUIRE_REFERENCE_TABLES();
        addLookupRows();
        RecordingMessages msgs;
        auto s = openScreen(11);
        s->show();
        s->append();
        type(s.get(), QStringLiteral("Nome:"), QStringLiteral("VIRA-LATA"));
        QVERIFY(!s->post());
        QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar a especie!"));
        pick(s.get(), QStringLiteral("Especie"), QStringLiteral("CANINA"));
        QVERIFY(!s->post());
        QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar o porte do animal!"));
        pick(s.get(), QStringLiteral("Porte:"), QStringLiteral("GRANDE"));
        QVERIFY(!s->post());
        QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar o tipo de pelo do animal!"));
        QCOMPARE(s->mode(), RecordMode::Insert);
        pick(s.get(), QStringLiteral("Pêlo:"), QStringLiteral("CURTO"));
        QVERIFY(s->post());
        QSqlQuery q = Sql::exec(mainConnection(), QStringLiteral("select Id_Raca, Id_Especie, Id_Porte, Id_Pelo from raca"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(1).toInt(), 1);
        QCOMPARE(q.value(2).toInt(), 2);
        QCOMPARE(q.value(3).toInt(), 1);
        // The list shows the lookups' names, not their keys.
        s->tabs()->setCurrentIndex(1);
        const QStringList row = [&] {
            QStringList l;
            for (int c = 0; c < s->model()->columnCount(); ++c)
                l << s->model()->data(s->model()->index(0, c)).toString();
            return l;
        }();
        QCOMPARE(row.mid(0, 6), (QStringList{QStringLiteral("1"), QStringLiteral("VIRA-LATA"), QStringLiteral("CANINA"),
                                             QStringLiteral("GRANDE"), QStringLiteral("CURTO"), QStringLiteral("ATIVO")}));
        shoot(s.get(), QStringLiteral("011-geral"));
        s->tabs()->setCurrentIndex(0);
        shoot(s.get(), QStringLiteral("011-principal"));
    }

    void valuesInUseAreNotDeleted_data() { addEngineRows(); }
    void valuesInUseAreNotDeleted()
    {
        ZAPO_TEST_DB(t);
        REQUIRE_REFERENCE_TABLES();
        addLookupRows();
        exec(QStringLiteral("insert into medicamento (Id_Medicamento, Id_Unidade_Medida, Nome, Ind_Status) values (1, 1, 'DIPIRONA', 'ATIVO')"));
        exec(QStringLiteral("insert into medicamento_gasto (Id_Medicamento_Gasto, Id_Medicamento, Id_Atendimento, Quantidade) values (1, 1, 1, 2.5)"));
        exec(QStringLiteral("insert into tipo_procedimento (Id_Tipo_Procedimento, Nome, Ind_Status) values (20, 'VACINA', 'ATIVO')"));
        exec(QStringLiteral("insert into tipo_procedimento (Id_Tipo_Procedimento, Nome, Ind_Status) values (21, 'CONSULTA', 'ATIVO')"));
        exec(QStringLiteral("insert into atendimento_particular (Id_Atendimento_Particular, Id_Animal, Id_Tipo_Procedimento) values (1, 1, 20)"));
        exec(QStringLiteral("insert into procedimento (Id_Tipo_Procedimento, Id_Atendimento) values (21, 1)"));
        RecordingMessages msgs;
        const QString inUse = QStringLiteral("O registro já esta sendo usado! Ele não pode ser excluído.");

        auto medicine = openScreen(16);
        medicine->show();
        QVERIFY(!medicine->remove());
        QCOMPARE(msgs.texts(), QStringList{inUse});

        auto unit = openScreen(15);
        unit->show();
        QCOMPARE(unit->currentKey().toInt(), 1);
        QVERIFY(!unit->remove());
        QCOMPARE(msgs.last(), inUse);
        // Unit 2 is used by no medicine.
        unit->next();
        QVERIFY(unit->remove());
        QCOMPARE(count(QStringLiteral("select count(*) from unidade_medida")), 1);

        auto proc = openScreen(17);
        proc->show();
        for (int key : {20, 21}) {
            proc->showKey(key);
            msgs.clear();
            QVERIFY(!proc->remove());
            QCOMPARE(msgs.texts(), QStringList{inUse});
        }
        QCOMPARE(count(QStringLiteral("select count(*) from tipo_procedimento")), 3);
        QCOMPARE(count(QStringLiteral("select count(*) from medicamento")), 1);

        // A status in use: the two-line refusal.
        exec(QStringLiteral("insert into atendimento (Id_Proprietario, Id_Animal, Id_Atendimento_Status) values (1, 1, 3)"));
        auto status = openScreen(14);
        status->show();
        status->showKey(3);
        QVERIFY(!status->remove());
        QCOMPARE(msgs.last(), QStringLiteral("O registro não pode ser excluído.\rEle esta sendo usado."));
    }

    void newOccurrenceTypeDoesNotCloseTheCase_data() { addEngineRows(); }
    void newOccurrenceTypeDoesNotCloseTheCase()
    {
        ZAPO_TEST_DB(t);
        REQUIRE_REFERENCE_TABLES();
        RecordingMessages msgs;
        auto s = openScreen(18);
        s->show();
        s->append();
        auto *closes = qobject_cast<QCheckBox *>(editorByCaption(s.get(), QStringLiteral("Finaliza o caso.")));
        QVERIFY(closes);
        QVERIFY(!closes->isChecked());
        type(s.get(), QStringLiteral("Nome:"), QStringLiteral("OBITO"));
        QVERIFY(s->post());
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Ind_Finaliza_Caso from tipo_ocorrencia"))), QStringLiteral("NAO"));
        s->edit();
        QTest::mouseClick(closes, Qt::LeftButton);
        QVERIFY(s->post());
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Ind_Finaliza_Caso from tipo_ocorrencia"))), QStringLiteral("SIM"));
    }

    void medicineScreenAndItsSearch_data() { addEngineRows(); }
    void medicineScreenAndItsSearch()
    {
        ZAPO_TEST_DB(t);
        REQUIRE_REFERENCE_TABLES();
        addLookupRows();
        exec(QStringLiteral("insert into medicamento (Id_Medicamento, Id_Unidade_Medida, Nome, Ind_Status) values (1, 1, 'DIPIRONA', 'ATIVO')"));
        exec(QStringLiteral("insert into medicamento (Id_Medicamento, Id_Unidade_Medida, Nome, Ind_Status) values (2, 2, 'DIAZEPAM', 'ATIVO')"));
        exec(QStringLiteral("insert into medicamento (Id_Medicamento, Id_Unidade_Medida, Nome, Ind_Status) values (3, 2, 'AMOXICILINA', 'ATIVO')"));
        RecordingMessages msgs;
        auto s = openScreen(16);
        s->show();
        QCOMPARE(s->model()->rowCount(), 3);
        QCOMPARE(s->model()->data(s->model()->index(1, 2)).toString(), QStringLiteral("MG"));
        s->append();
        QVERIFY(line(s.get(), QStringLiteral("Nome:"))->hasFocus() || !s->isActiveWindow());
        type(s.get(), QStringLiteral("Nome:"), QStringLiteral("Soro"));
        QVERIFY(!s->post());
        QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar a unidade de medida!"));
        pick(s.get(), QStringLiteral("Unidade medida:"), QStringLiteral("ML"));
        QCOMPARE(editorByCaption(s.get(), QStringLiteral("Unidade medida:"))->toolTip(), QStringLiteral("Mililitro"));
        QVERIFY(s->post());
        QCOMPARE(line(s.get(), QStringLiteral("Código:"))->text(), QStringLiteral("4"));

        s->search();
        auto *w = s->findChild<SearchWindow *>();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Pesquisa"));
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->searchButton()->text(), QStringLiteral("&Pesquisar"));
        w->criterion()->setCurrentIndex(1);
        QTest::keyClicks(w->textBox(), QStringLiteral("di"));
        QVERIFY(w->runSearch());
        QCOMPARE(w->model()->rowCount(), 2);
        w->grid()->setCurrentIndex(w->model()->index(1, 0));
        w->ok();
        // The search window stays open and the screen shows the picked medicine.
        QVERIFY(w->isVisible());
        QCOMPARE(s->model()->rowCount(), 1);
        QCOMPARE(line(s.get(), QStringLiteral("Nome:"))->text(), QStringLiteral("DIAZEPAM"));
        w->criterion()->setCurrentIndex(0);
        w->textBox()->setText(QStringLiteral("3"));
        QVERIFY(w->runSearch());
        QCOMPARE(w->model()->rowCount(), 1);
        const QPoint cell = w->grid()->visualRect(w->model()->index(0, 1)).center();
        QTest::mouseClick(w->grid()->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(w->grid()->viewport(), Qt::LeftButton, {}, w->grid()->visualRect(w->model()->index(0, 1)).center());
        QCOMPARE(line(s.get(), QStringLiteral("Nome:"))->text(), QStringLiteral("AMOXICILINA"));

        s->tabs()->setCurrentIndex(0);
        shoot(s.get(), QStringLiteral("016-principal"));
        s->refresh();
        s->tabs()->setCurrentIndex(1);
        shoot(s.get(), QStringLiteral("016-geral"));
        shoot(w, QStringLiteral("016-pesquisa"));
    }

    void statusAndProcedureSearches_data() { addEngineRows(); }
    void statusAndProcedureSearches()
    {
        ZAPO_TEST_DB(t);
        REQUIRE_REFERENCE_TABLES();
        exec(QStringLiteral("insert into tipo_procedimento (Id_Tipo_Procedimento, Nome, Ind_Status) values (20, 'VACINA', 'ATIVO')"));
        exec(QStringLiteral("insert into tipo_procedimento (Id_Tipo_Procedimento, Nome, Ind_Status) values (21, 'VERMIFUGO', 'ATIVO')"));
        RecordingMessages msgs;
        auto status = openScreen(14);
        status->show();
        status->search();
        QPointer<SearchWindow> sw = status->findChild<SearchWindow *>();
        QCOMPARE(sw->windowTitle(), QStringLiteral("Pesquisa status atendimento."));
        // Without a chosen field the search does nothing and says nothing.
        QVERIFY(!sw->runSearch());
        QVERIFY(msgs.shown.isEmpty());
        sw->criterion()->setCurrentIndex(1);
        sw->textBox()->setText(QStringLiteral("  re"));
        QVERIFY(sw->runSearch());
        QCOMPARE(sw->model()->rowCount(), 2); // REALIZADO, REAGENDADO
        sw->ok();
        QTRY_VERIFY(sw.isNull());
        QCOMPARE(status->model()->rowCount(), 1);
        QCOMPARE(line(status.get(), QStringLiteral("Nome:"))->text(), QStringLiteral("REALIZADO"));

        auto proc = openScreen(17);
        proc->show();
        proc->search();
        QPointer<SearchWindow> pw = proc->findChild<SearchWindow *>();
        QCOMPARE(pw->windowTitle(), QStringLiteral("Pesquisa."));
        QCOMPARE(pw->searchButton()->text(), QStringLiteral("&Pesqisar"));
        pw->criterion()->setCurrentIndex(1);
        pw->textBox()->setText(QStringLiteral("V"));
        QVERIFY(pw->runSearch());
        QCOMPARE(pw->model()->rowCount(), 2);
        // The screen follows the search cursor.
        QCOMPARE(line(proc.get(), QStringLiteral("Nome:"))->text(), QStringLiteral("VACINA"));
        pw->grid()->setCurrentIndex(pw->model()->index(1, 0));
        QCOMPARE(line(proc.get(), QStringLiteral("Nome:"))->text(), QStringLiteral("VERMIFUGO"));
        pw->sortByColumn(1);
        QCOMPARE(pw->model()->rawValue(0, 1).toString(), QStringLiteral("VACINA"));
        pw->ok();
        QTRY_VERIFY(pw.isNull());
    }

    void vaccinationTablesFollowTheChosenTable_data() { addEngineRows(); }
    void vaccinationTablesFollowTheChosenTable()
    {
        ZAPO_TEST_DB(t);
        REQUIRE_REFERENCE_TABLES();
        RecordingMessages msgs;
        std::unique_ptr<QWidget> w(ScreenCatalog::instance().open(50, host()));
        auto *s = qobject_cast<RolvexPrincipalScreen *>(w.get());
        QVERIFY(s);
        s->setAttribute(Qt::WA_DeleteOnClose, false);
        QVERIFY(s->isWindow());
        QCOMPARE(s->windowTitle(), QStringLiteral("Tabelas auxiliares"));
        QVERIFY(!s->actPrint->isVisible());
        QVERIFY(!s->actPesquisar->isVisible());
        s->show();
        // Nothing to work on yet.
        QVERIFY(!s->actAppend->isEnabled());
        s->append();
        QCOMPARE(s->mode(), RecordMode::Browse);

        pick(s, QStringLiteral("Selecione uma tabela:"), QStringLiteral("Motivo da não vacinação."));
        QCOMPARE(s->windowTitle(), QStringLiteral("Motivo da não vacinação."));
        QCOMPARE(s->model()->rowCount(), 1);
        QCOMPARE(s->model()->data(s->model()->index(0, 2)).toString(), QStringLiteral("Não se aplica"));
        QCOMPARE(s->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Descição:"));
        s->append();
        QCOMPARE(qobject_cast<QComboBox *>(editorByCaption(s, QStringLiteral("Ativo/Inativo:")))->currentText(), QStringLiteral("ATIVO"));
        QVERIFY(!s->post());
        QCOMPARE(msgs.last(), QStringLiteral("Falta digitar o nome do motivo da não vacinação!"));
        type(s, QStringLiteral("Nome:"), QStringLiteral("Animal doente"));
        QCOMPARE(line(s, QStringLiteral("Nome:"))->text(), QStringLiteral("Animal doente"));
        QVERIFY(s->post());
        // Reloaded, on the last row: the new one.
        QCOMPARE(s->model()->rowCount(), 2);
        QCOMPARE(s->currentRow(), 1);
        QCOMPARE(s->currentKey().toInt(), 2);
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Inserido_por from tipo_motivo_nao_vacina where Id_tipo_motivo_nao_vacina = 2"))),
                 QStringLiteral("3"));
        shoot(s, QStringLiteral("050-motivo"));

        pick(s, QStringLiteral("Selecione uma tabela:"), QStringLiteral("Tipo de Vacina."));
        QCOMPARE(s->windowTitle(), QStringLiteral("Tipo de Vacina."));
        s->append();
        QVERIFY(!s->post());
        QCOMPARE(msgs.last(), QStringLiteral("Falta digitar o nome da vacina!"));
        type(s, QStringLiteral("Nome:"), QStringLiteral("Antirrábica"));
        QVERIFY(s->post());
        const int vaccine = s->currentKey().toInt();
        QVERIFY(vaccine > 1);
        QCOMPARE(count(QStringLiteral("select count(*) from tipo_vacina where Nome = 'Antirrábica'")), 1);

        // Used by a vaccination: refused before any question.
        exec(QStringLiteral("insert into vacina (Id_vacina, Id_Animal, Id_tipo_vacina, Id_tipo_vacina_ocorrencia, Id_tipo_motivo_nao_vacina) values (1, 1, %1, 1, 1)").arg(vaccine));
        msgs.clear();
        QVERIFY(!s->remove());
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("O registro não pode ser excluído.\rEle está sendo usado.")});

        // Another workstation renames it meanwhile: altering is refused.
        exec(QStringLiteral("update tipo_vacina set Nome = 'Raiva' where Id_tipo_vacina = %1").arg(vaccine));
        s->edit();
        type(s, QStringLiteral("Nome:"), QStringLiteral("Antirrábica V2"));
        QVERIFY(!s->post());
        QCOMPARE(msgs.shown.last().kind, QStringLiteral("warning"));
        QCOMPARE(msgs.last(), QStringLiteral("O registro foi alterado em outra estação de trabalho depois de aberto. Os dados foram "
                                             "recarregados; refaça a alteração."));
        // The stored row is shown again, to be altered on top of it.
        QCOMPARE(s->mode(), RecordMode::Browse);
        s->edit();
        QCOMPARE(s->mode(), RecordMode::Edit);
        // Changing the table abandons the edit.
        pick(s, QStringLiteral("Selecione uma tabela:"), QStringLiteral("Intercorrência vacinal."));
        QCOMPARE(s->mode(), RecordMode::Browse);
        QCOMPARE(s->windowTitle(), QStringLiteral("Intercorrência vacinal."));
        QCOMPARE(count(QStringLiteral("select count(*) from tipo_vacina where Nome = 'Raiva'")), 1);
        // The seeded row was never modified (empty stamps): it can be altered.
        s->edit();
        auto *descr = qobject_cast<QPlainTextEdit *>(editorByCaption(s, QStringLiteral("Descrição:")));
        descr->setPlainText(QStringLiteral("Sem intercorrência"));
        QVERIFY(s->post());
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Descricao from tipo_vacina_ocorrencia where Id_tipo_vacina_ocorrencia = 1"))),
                 QStringLiteral("Sem intercorrência"));
        shoot(s, QStringLiteral("050-intercorrencia"));
    }

    void printOpensTheListReportThroughTheCatalog_data() { addEngineRows(); }
    void printOpensTheListReportThroughTheCatalog()
    {
        ZAPO_TEST_DB(t);
        REQUIRE_REFERENCE_TABLES();
        RecordingMessages msgs;
        static QList<int> opened;
        opened.clear();
        ScreenCatalog::instance().add(29, [](QWidget *) -> QWidget * { opened << 29; return nullptr; });
        ScreenCatalog::instance().add(TableScreens::ProcedureListReport, [](QWidget *) -> QWidget * { opened << 1017; return nullptr; });
        auto especie = openScreen(10);
        especie->show();
        especie->actPrint->trigger();
        auto proc = openScreen(17);
        proc->show();
        proc->actPrint->trigger();
        // A screen whose report is not in the catalog opens nothing.
        auto grupo = openScreen(9);
        grupo->show();
        grupo->actPrint->trigger();
        QCOMPARE(opened, (QList<int>{29, 1017}));
        QVERIFY(msgs.shown.isEmpty());
    }
};

QTEST_MAIN(TestTableScreens)
#include "tst_tablescreens.moc"
