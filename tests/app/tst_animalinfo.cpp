// "Informação do Animal" from the menu: the clerk finds the animal, and its
// page holds the record, the owner, where it lives and its history.
#include "app/MenuRegistry.h"
#include "app/ScreenWiring.h"
#include "db/Sql.h"
#include "registry/AnimalSearch.h"
#include "reports/animals/AnimalInfoReport.h"
#include "support/RecordingPreview.h"
#include "support/RecordingServices.h"
#include "support/ReportTesting.h"
#include "support/TestDatabase.h"
#include "ui/ScreenCatalog.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace {

void seed(Connection &c)
{
    using ReportTesting::run;
    run(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome) values "
                          "(91, 'CLÍNICA MUNICIPAL DE CASTRAÇÃO NORTE'), (92, 'CLÍNICA MUNICIPAL DE CASTRAÇÃO SUL')"));
    run(c, QStringLiteral("insert into especie (Id_Especie, Nome) values (901, 'CANINA')"));
    run(c, QStringLiteral("insert into raca (Id_Raca, Nome, Id_Especie) values (905, 'SPITZ ALEMÃO ANÃO', 901)"));
    run(c, QStringLiteral("insert into grupo_animal (Id_Grupo_Animal, Nome) values (902, 'COMUNITÁRIO')"));
    run(c, QStringLiteral("insert into pelo (Id_pelo, Descricao) values (903, 'CURTO')"));
    run(c, QStringLiteral("insert into porte (Id_porte, Descricao) values (904, 'PEQUENO')"));
    run(c, QStringLiteral("insert into endereco (Id_Endereco, TIP_LOGR, NOM_LOGR, NUM_IMOV_LOGR, NOM_BAIR, NUM_CEP) values "
                          "(70, 'RUA', 'DAS FLORES', 12, 'CENTRO', '13010000'), (71, 'AV', 'SÃO JOÃO', 900, 'VILA NOVA', '13020000')"));
    run(c, QStringLiteral("insert into proprietario (Id_Proprietario, Nome, Num_CPF_CNPJ, Telefone_Celular, Id_Endereco) values "
                          "(8, 'MARIA DA SILVA', '52998224725', '(19) 99876-5432', 70)"));
    run(c, QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Id_Especie, Id_Raca, Id_Pelo, Id_Porte, Nome, "
                          "Sexo, Esterilizado, Num_Microchip, Cor, Sinais, Id_Grupo_Animal) values "
                          "(40, 8, 901, 905, 903, 904, 'PIPOCA', 'F', 'SIM', '982000123456789', 'CARAMELO', 'MANCHA NA ORELHA', 902), "
                          "(41, 8, 901, 905, 903, 904, 'TOBIAS', 'M', 'NAO', null, 'PRETO', null, 902)"));
    // PIPOCA lives away from her owner: her own latest address is printed.
    run(c, QStringLiteral("insert into endereco_animal (Id_Animal, Id_Endereco) values (40, 71)"));
    run(c, QStringLiteral("insert into tipo_vacina (Id_tipo_vacina, Nome) values (901, 'ANTIRRÁBICA')"));
    run(c, QStringLiteral("insert into vacina (Id_vacina, Id_Animal, Id_tipo_vacina, Data_atividade) values "
                          "(1, 40, 901, '2026-03-02'), (2, 41, 901, '2026-04-02')"));
    run(c, QStringLiteral("insert into atendimento_status (Id_Atendimento_Status, Nome) values (901, 'REALIZADO')"));
    run(c, QStringLiteral("insert into atendimento (Id_Atendimento, Id_Proprietario, Id_Animal, Id_Unidade_Trabalho, "
                          "Data_Hora_Atendimento, Id_Atendimento_Status) values (90, 8, 40, 92, '2026-05-04 09:30:00', 901)"));
    run(c, QStringLiteral("insert into tipo_procedimento (Id_Tipo_Procedimento, Nome) values (901, 'CASTRAÇÃO')"));
    run(c, QStringLiteral("insert into procedimento (Id_Procedimento, Id_Tipo_Procedimento, Id_Atendimento) values (1, 901, 90)"));
    run(c, QStringLiteral("insert into tipo_ocorrencia (Id_Tipo_Ocorrencia, Nome) values (901, 'MORDEDURA')"));
    run(c, QStringLiteral("insert into ocorrencia (Id_Ocorrencia, Id_Animal, Id_Tipo_Ocorrencia, Dt_Ocorrencia) values "
                          "(1, 40, 901, '2026-06-01')"));
}

AnimalSearchWindow *searchWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *s = qobject_cast<AnimalSearchWindow *>(w); s && s->objectName() == QStringLiteral("frmInfoAnimal") && s->isVisible())
            return s;
    return nullptr;
}

} // namespace

class TestAnimalInfo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerAllScreens(); }

    void theMenuEntryPrintsTheChosenAnimal_data() { addEngineRows(); }
    void theMenuEntryPrintsTheChosenAnimal()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        seed(c);
        RecordingMessages msgs;
        RecordingPreview preview;
        QWidget host;
        host.show();
        QCOMPARE(ScreenCatalog::instance().open(Menu::AnimalInformation, &host), nullptr);
        AnimalSearchWindow *w = searchWindow();
        QVERIFY2(w, "no animal search opened");
        QCOMPARE(w->windowTitle(), QStringLiteral("Informação do Animal"));
        w->fieldBox()->setCurrentIndex(1); // "Código animal"
        w->textBox()->setText(QStringLiteral("40"));
        w->pesquisar();
        QCOMPARE(w->model()->totalRows(), 1);
        w->ok();
        QCOMPARE(preview.shown.size(), 1);

        const ComposedReport &r = preview.last();
        ReportTesting::savePng(r, QStringLiteral("informacao-animal"), 1);
        QCOMPARE(r.pageCount(), 1);
        const QStringList texts = r.allTexts();
        const QString all = texts.join(QLatin1Char('|'));
        for (const char *expected : {"Informação do Animal", "PIPOCA", "CANINA", "SPITZ ALEMÃO ANÃO", "COMUNITÁRIO", "CURTO",
                                     "PEQUENO", "F", "SIM", "982000123456789", "CARAMELO", "MANCHA NA ORELHA",
                                     "8 - MARIA DA SILVA", "529.982.247-25", "(19) 99876-5432", "ANTIRRÁBICA",
                                     "02/03/2026", "04/05/2026 09:30", "CLÍNICA MUNICIPAL DE CASTRAÇÃO SUL", "REALIZADO",
                                     "CASTRAÇÃO", "MORDEDURA", "01/06/2026"})
            QVERIFY2(texts.contains(QString::fromUtf8(expected)), qPrintable(QString::fromUtf8(expected) + QStringLiteral(" not in ") + all));
        // Her own address, not her owner's; nothing of the other animal.
        QCOMPARE(ReportTesting::named(r, QStringLiteral("endereco")).join(QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' ')),
                 QStringLiteral("AV SÃO JOÃO 900 - VILA NOVA - CEP 13020-000"));
        QVERIFY(!all.contains(QStringLiteral("TOBIAS")));
        QVERIFY(!all.contains(QStringLiteral("02/04/2026")));
        QCOMPARE(ReportTesting::named(r, QStringLiteral("vacina")), QStringList{QStringLiteral("ANTIRRÁBICA")});
        QVERIFY(msgs.texts().isEmpty());
    }

    void anAnimalWithoutHistoryOrThatIsGone_data() { addEngineRows(); }
    void anAnimalWithoutHistoryOrThatIsGone()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        seed(c);
        RecordingMessages msgs;
        RecordingPreview preview;
        // No address of its own: it lives at its owner's.
        QVERIFY(AnimalInfoReport::open(c, 41, nullptr));
        const ComposedReport &r = preview.last();
        QCOMPARE(ReportTesting::named(r, QStringLiteral("endereco")).join(QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' ')),
                 QStringLiteral("RUA DAS FLORES 12 - CENTRO - CEP 13010-000"));
        QVERIFY(ReportTesting::named(r, QStringLiteral("unidade")).isEmpty());
        QVERIFY(ReportTesting::named(r, QStringLiteral("tipo_ocorrencia")).isEmpty());
        QCOMPARE(ReportTesting::named(r, QStringLiteral("microchip")), QStringList{QString()});

        QVERIFY(!AnimalInfoReport::open(c, 999, nullptr));
        QCOMPARE(preview.shown.size(), 1);
        QCOMPARE(msgs.last(), QStringLiteral("Animal não encontrado."));
    }
};

QTEST_MAIN(TestAnimalInfo)
#include "tst_animalinfo.moc"
