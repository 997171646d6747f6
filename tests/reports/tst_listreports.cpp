// The printed lists of the registers, composed from a real database on each
// engine and checked on the page model.
#include "db/Formats.h"
#include "db/Sql.h"
#include "reports/ListReports.h"
#include "reports/engine/ReportExport.h"
#include "reports/engine/Reports.h"
#include "support/RecordingPreview.h"
#include "support/RecordingServices.h"
#include "support/ReportTesting.h"
#include "support/TestDatabase.h"
#include "ui/ScreenCatalog.h"

#include <QTest>

using ReportTesting::named;
using ReportTesting::run;
using ReportTesting::savePng;

namespace {

const QString Product = QStringLiteral("ZAPO - Controle de Zoonoses");

} // namespace

class TestListReports : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Formats::install();
        Reports::setProductTitle(Product);
    }

    void emptyRegisterPrintsOnePageWithZero_data() { addEngineRows(); }
    void emptyRegisterPrintsOnePageWithZero()
    {
        ZAPO_TEST_DB(t);
        run(t->main(), QStringLiteral("delete from unidade_trabalho"));
        const ComposedReport r = Reports::compose(ListReports::definition(ListReport::RelUnidade, t->main()));
        QCOMPARE(r.pageCount(), 1);
        QCOMPARE(named(r, QStringLiteral("produto")), QStringList{Product});
        QCOMPARE(named(r, QStringLiteral("codigo")), QStringList{QStringLiteral("REL025")});
        QCOMPARE(named(r, QStringLiteral("titulo")), QStringList{QStringLiteral("Unidade de Trabalho")});
        QCOMPARE(named(r, QStringLiteral("rotulo_total")), QStringList{QStringLiteral("Total de registro:")});
        QCOMPARE(named(r, QStringLiteral("total")), QStringList{QStringLiteral("0")});
        QCOMPARE(named(r, QStringLiteral("pagina")), QStringList{QStringLiteral("Pag.: 1")});
        QVERIFY(r.bandsOf(BandKind::SubDetail).isEmpty());
    }

    void workUnitsBoxEachRecordAndGrowWithTheDescription_data() { addEngineRows(); }
    void workUnitsBoxEachRecordAndGrowWithTheDescription()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        run(c, QStringLiteral("delete from unidade_trabalho"));
        const QString longText = QStringLiteral("Unidade que atende a região norte do município, com castração de cães e gatos, "
                                                "vacinação antirrábica e microchipagem em mutirões aos sábados e feriados.");
        run(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Descricao, Ind_Status) values (2, 'NORTE', :d, 'ATIVO')"),
            {{QStringLiteral("d"), longText}});
        run(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Descricao, Ind_Status) values (1, 'CENTRO', 'Sede', 'INATIVO')"));
        const ComposedReport r = Reports::compose(ListReports::definition(ListReport::RelUnidade, c));
        QCOMPARE(named(r, QStringLiteral("chave")), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
        QCOMPARE(named(r, QStringLiteral("nome")), (QStringList{QStringLiteral("CENTRO"), QStringLiteral("NORTE")}));
        QCOMPARE(named(r, QStringLiteral("status")), (QStringList{QStringLiteral(" Registro: INATIVO"), QStringLiteral(" Registro: ATIVO")}));
        QCOMPARE(named(r, QStringLiteral("total")), QStringList{QStringLiteral("2")});
        const auto blocks = r.bandsOf(BandKind::SubDetail);
        QCOMPARE(blocks.size(), 2);
        QVERIFY(blocks.at(1)->rect.height() > blocks.at(0)->rect.height() + 3);
        QVERIFY(r.named(QStringLiteral("descricao")).at(1)->lines().size() >= 2);
        savePng(r, QStringLiteral("rel025"));
    }

    void referenceListsUseTheirOwnTextsAndCells_data() { addEngineRows(); }
    void referenceListsUseTheirOwnTextsAndCells()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        for (const char *table : {"raca", "pelo", "porte", "tipo_ocorrencia", "especie"})
            run(c, QStringLiteral("delete from %1").arg(QLatin1String(table)));
        run(c, QStringLiteral("insert into pelo (Id_Pelo, Descricao, Ind_Status) values (1, 'CURTO', 'ATIVO')"));
        run(c, QStringLiteral("insert into porte (Id_Porte, Descricao, Ind_Status) values (3, 'GRANDE', 'ATIVO')"));
        run(c, QStringLiteral("insert into especie (Id_Especie, Nome, Descricao, Ind_Status) values (1, 'CANINA', 'Cães', 'ATIVO')"));
        run(c, QStringLiteral("insert into raca (Id_Raca, Nome, Descricao, Id_Porte, Id_Pelo, Id_Especie, Ind_Status) "
                              "values (7, 'Labrador', 'Dócil', 3, 1, 1, 'ATIVO')"));
        run(c, QStringLiteral("insert into tipo_ocorrencia (Id_Tipo_Ocorrencia, Nome, Descricao, Ind_Status, Ind_Finaliza_Caso) "
                              "values (4, 'ÓBITO', 'Morte do animal', 'ATIVO', 'SIM')"));

        const ComposedReport raca = Reports::compose(ListReports::definition(ListReport::RelRaca, c));
        QCOMPARE(named(raca, QStringLiteral("nome")), QStringList{QStringLiteral("LABRADOR")});
        QVERIFY(raca.named(QStringLiteral("nome")).first()->font.bold);
        QCOMPARE(named(raca, QStringLiteral("segunda_linha")), QStringList{QStringLiteral("Pelo: CURTO - Porte: GRANDE")});
        QCOMPARE(named(raca, QStringLiteral("descricao")), QStringList{QStringLiteral("Dócil")});
        QCOMPARE(named(raca, QStringLiteral("codigo")), QStringList{QStringLiteral("REL030")});
        QCOMPARE(named(raca, QStringLiteral("rotulo_total")), QStringList{QStringLiteral("Total de grupos:")});

        const ComposedReport pelo = Reports::compose(ListReports::definition(ListReport::RelPelo, c));
        QCOMPARE(named(pelo, QStringLiteral("nome")), QStringList{QStringLiteral("CURTO")});
        QCOMPARE(named(pelo, QStringLiteral("descricao")), QStringList{QStringLiteral("CURTO")});
        QCOMPARE(named(pelo, QStringLiteral("status")), QStringList{QStringLiteral("ATIVO")});

        const ComposedReport oco = Reports::compose(ListReports::definition(ListReport::RelTipoOcorrencia, c));
        QCOMPARE(named(oco, QStringLiteral("status")), QStringList{QStringLiteral("Aqrivo : ATIVO")});
        QCOMPARE(named(oco, QStringLiteral("antes_status")), QStringList{QStringLiteral("Finaliza caso: SIM")});
        QCOMPARE(named(oco, QStringLiteral("codigo")), QStringList{QStringLiteral("REL001")});
        QCOMPARE(named(oco, QStringLiteral("rotulo_total")), QStringList{QStringLiteral("Total de registro:")});
        savePng(raca, QStringLiteral("rel030"));
    }

    void prescriptionTextListsShowWeightWithDecimalComma_data() { addEngineRows(); }
    void prescriptionTextListsShowWeightWithDecimalComma()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        run(c, QStringLiteral("delete from receituario_texto_peso"));
        run(c, QStringLiteral("delete from receituario_padrao"));
        run(c, QStringLiteral("insert into receituario_texto_peso (Id_Receituario_texto_Peso, Peso, Texto, Ind_Status) "
                              "values (1, 12.5, 'Dipirona 10 gotas', 'ATIVO')"));
        run(c, QStringLiteral("insert into receituario_padrao (Id_Receituario_padrao, descricao) values (1, :d)"),
            {{QStringLiteral("d"), QStringLiteral("Repouso por 10 dias.\nNão lamber a ferida.")}});
        const ComposedReport peso = Reports::compose(ListReports::definition(ListReport::RelTextoPeso, c));
        QCOMPARE(named(peso, QStringLiteral("nome")), QStringList{QStringLiteral("Peso: 12,5 kilo(s)")});
        QCOMPARE(named(peso, QStringLiteral("status")), QStringList{QStringLiteral("Registro: ATIVO")});
        QCOMPARE(named(peso, QStringLiteral("descricao")), QStringList{QStringLiteral("Dipirona 10 gotas")});
        QCOMPARE(named(peso, QStringLiteral("total")), QStringList{QStringLiteral("1")});
        const ComposedReport padrao = Reports::compose(ListReports::definition(ListReport::ReceituarioPadraoImp, c));
        QCOMPARE(named(padrao, QStringLiteral("descricao")),
                 QStringList{QStringLiteral("Repouso por 10 dias.\nNão lamber a ferida.")});
        QVERIFY(padrao.bandsOf(BandKind::Summary).isEmpty());
        QCOMPARE(named(padrao, QStringLiteral("titulo")), QStringList{QStringLiteral("Texto do receituário")});
    }

    void everyMenuListOpensIntoThePreview_data() { addEngineRows(); }
    void everyMenuListOpensIntoThePreview()
    {
        ZAPO_TEST_DB(t);
        RecordingPreview preview;
        RecordingMessages messages;
        ScreenCatalog catalog;
        registerListReports(catalog);
        const QList<QPair<int, QString>> expected = {
            {25, QStringLiteral("Unidade de Trabalho")}, {26, QStringLiteral("Grupo de usuário cadastrado")},
            {27, QStringLiteral("Usuários cadastrados")}, {28, QStringLiteral("Grupo de animais")},
            {29, QStringLiteral("Espécies de Animais")}, {30, QStringLiteral("Raças de Animais")},
            {31, QStringLiteral("Tipo de Pelo dos Animais")}, {32, QStringLiteral("Porte de Animal")},
            {33, QStringLiteral("Status do Atendimento")}, {35, QStringLiteral("Unidade de Medida")},
            {36, QStringLiteral("Medicamentos Cadastrados")}, {42, QStringLiteral("Profissionais cadastrados.")}};
        for (const auto &e : expected) {
            QVERIFY2(catalog.has(e.first), qPrintable(QString::number(e.first)));
            QCOMPARE(catalog.open(e.first, nullptr), nullptr);
            QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.last()));
            QCOMPARE(preview.last().title, e.second);
            QVERIFY(preview.last().pageCount() >= 1);
        }
        QCOMPARE(preview.shown.size(), expected.size());
        // The screens' own entries.
        QVERIFY(ListReports::open(ListReport::RelTipoProcedimento));
        QCOMPARE(preview.last().title, QStringLiteral("Procedimentos Médico"));
        QVERIFY(ListReports::open(ListReport::RelTipoOcorrencia));
        QCOMPARE(ListReports::menuNumber(ListReport::RelTipoOcorrencia), 0);
    }

    void aFailingQueryShowsTheErrorAndTheUsersMenuItsOwnMessage_data() { addEngineRows(); }
    void aFailingQueryShowsTheErrorAndTheUsersMenuItsOwnMessage()
    {
        ZAPO_TEST_DB(t);
        RecordingPreview preview;
        RecordingMessages messages;
        run(t->main(), QStringLiteral("drop table usuario"));
        run(t->main(), QStringLiteral("drop table pelo"));
        ScreenCatalog catalog;
        registerListReports(catalog);
        catalog.open(27, nullptr);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown.first().kind, QStringLiteral("information"));
        QCOMPARE(messages.last(), QStringLiteral("Erro ao executar relatório."));
        messages.clear();
        catalog.open(31, nullptr);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown.first().kind, QStringLiteral("error"));
        QVERIFY(preview.isEmpty());
    }

    void profilesGroupByProfileWithKindsOfScreens_data() { addEngineRows(); }
    void profilesGroupByProfileWithKindsOfScreens()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        run(c, QStringLiteral("delete from perfil_form"));
        run(c, QStringLiteral("delete from perfil"));
        run(c, QStringLiteral("delete from form"));
        run(c, QStringLiteral("insert into perfil (Id_Perfil, Nome, Descricao, Ind_Status) values (1, 'RECEPÇÃO', 'Atendimento ao público', 'ATIVO')"));
        run(c, QStringLiteral("insert into perfil (Id_Perfil, Nome, Descricao, Ind_Status) values (2, 'ADMINISTRADOR', 'Tudo', 'ATIVO')"));
        run(c, QStringLiteral("insert into form (Id_Form, Nome, Descricao, Tipo_Form) values (6, 'Cadastro de proprietário', 'x', 'F')"));
        run(c, QStringLiteral("insert into form (Id_Form, Nome, Descricao, Tipo_Form) values (25, 'Unidades', 'x', 'R')"));
        run(c, QStringLiteral("insert into form (Id_Form, Nome, Descricao, Tipo_Form) values (99, 'Outro', 'x', 'X')"));
        for (const auto &[perfil, form, flags] : QList<std::tuple<int, int, QString>>{
                 {1, 6, QStringLiteral("SSSNN")}, {1, 25, QStringLiteral("SNNNS")}, {2, 6, QStringLiteral("SSSSS")}, {2, 99, QStringLiteral("NNNNN")}}) {
            run(c, QStringLiteral("insert into perfil_form (Id_Perfil, Id_Form, Visualizar, Incluir, Alterar, Excluir, Imprimir) "
                                  "values (:p, :f, :v, :i, :a, :e, :m)"),
                {{QStringLiteral("p"), perfil}, {QStringLiteral("f"), form}, {QStringLiteral("v"), flags.mid(0, 1)},
                 {QStringLiteral("i"), flags.mid(1, 1)}, {QStringLiteral("a"), flags.mid(2, 1)}, {QStringLiteral("e"), flags.mid(3, 1)},
                 {QStringLiteral("m"), flags.mid(4, 1)}});
        }
        const ComposedReport r = Reports::compose(ListReports::definition(ListReport::Rel_Perfil, c));
        QCOMPARE(r.orientation, QPageLayout::Landscape);
        QCOMPARE(r.pageCount(), 1);
        const QStringList all = r.texts(0);
        const int admin = all.indexOf(QStringLiteral("ADMINISTRADOR"));
        const int recep = all.indexOf(QStringLiteral("RECEPÇÃO"));
        QVERIFY(admin >= 0 && recep > admin); // ordered by profile name
        QCOMPARE(named(r, QStringLiteral("desc_perfil")), (QStringList{QStringLiteral("Descrição: Tudo"),
                                                                            QStringLiteral("Descrição: Atendimento ao público")}));
        QCOMPARE(named(r, QStringLiteral("nome_form")),
                 (QStringList{QStringLiteral("Formulário :Cadastro de proprietário"), QStringLiteral("-----------------"),
                              QStringLiteral("Formulário :Cadastro de proprietário"), QStringLiteral("Relatório :Unidades")}));
        for (const QString &caption : {QStringLiteral("Visualizar:"), QStringLiteral("Incluir:"), QStringLiteral("Alterar:"),
                                       QStringLiteral("Excluir:"), QStringLiteral("Imprimir:")})
            QVERIFY(all.contains(caption));
        QVERIFY(r.bandsOf(BandKind::PageFooter).isEmpty());
        QVERIFY(r.bandsOf(BandKind::Summary).isEmpty());
        QCOMPARE(r.bandsOf(BandKind::GroupHeader).size(), 2);
        savePng(r, QStringLiteral("rel026"));
    }

    void usersLookUpUnitAndProfileAndTranslateOnlySAndN_data() { addEngineRows(); }
    void usersLookUpUnitAndProfileAndTranslateOnlySAndN()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        run(c, QStringLiteral("delete from usuario"));
        run(c, QStringLiteral("delete from unidade_trabalho"));
        run(c, QStringLiteral("delete from perfil"));
        run(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (3, :n, 'ATIVO')"),
            {{QStringLiteral("n"), QStringLiteral("CENTRO DE CONTROLE DE ZOONOSES DA REGIÃO NORTE DE VESSARO")}});
        run(c, QStringLiteral("insert into perfil (Id_Perfil, Nome, Ind_Status) values (5, 'VETERINÁRIO', 'ATIVO')"));
        run(c, QStringLiteral("insert into usuario (Id_Usuario, Nome, Id_Perfil, Id_Unidade_Trabalho, Bloqueado, Inativo) values (1, 'maria', 5, 3, 'S', 'N')"));
        run(c, QStringLiteral("insert into usuario (Id_Usuario, Nome, Id_Perfil, Id_Unidade_Trabalho, Bloqueado, Inativo) values (2, 'joão', null, null, 'SIM', 'NAO')"));
        const ComposedReport r = Reports::compose(ListReports::definition(ListReport::RelUsuario, c));
        QCOMPARE(named(r, QStringLiteral("nome")), (QStringList{QStringLiteral("1 - MARIA"), QStringLiteral("2 - JOÃO")}));
        QCOMPARE(named(r, QStringLiteral("unidade")),
                 (QStringList{QStringLiteral("CENTRO DE CONTROLE DE ZOONOSES DA REGIÃO"), QString()}));
        QCOMPARE(named(r, QStringLiteral("perfil")), (QStringList{QStringLiteral("VETERINÁRIO"), QString()}));
        QCOMPARE(named(r, QStringLiteral("bloqueado")), (QStringList{QStringLiteral("Sim"), QStringLiteral("SIM")}));
        QCOMPARE(named(r, QStringLiteral("inativo")), (QStringList{QStringLiteral("Não"), QStringLiteral("NAO")}));
        QCOMPARE(named(r, QStringLiteral("total")), QStringList{QStringLiteral("2")});
        QCOMPARE(named(r, QStringLiteral("codigo")), QStringList{QStringLiteral("REL027")});
        QCOMPARE(named(r, QStringLiteral("pagina")), QStringList{QStringLiteral("Pag.: 1")});
        QCOMPARE(r.named(QStringLiteral("pagina")).first()->font.pointSize, 7.0);
        // The date and time at the top left of this report.
        QVERIFY(r.named(QStringLiteral("data_hora")).first()->rect.left() < 11);
        QVERIFY(r.texts(0).contains(QStringLiteral("Cód - Nome")));
        savePng(r, QStringLiteral("rel027"));
    }

    void professionalsOnePagePerUnitWithUnitAndGrandTotals_data() { addEngineRows(); }
    void professionalsOnePagePerUnitWithUnitAndGrandTotals()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        run(c, QStringLiteral("delete from profissional"));
        run(c, QStringLiteral("delete from unidade_trabalho"));
        run(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (1, 'CENTRO', 'ATIVO')"));
        run(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (2, 'NORTE', 'ATIVO')"));
        const QString ins = QStringLiteral("insert into profissional (Id_Profissional, Id_Unidade_Trabalho, Nome, Telefone_Residencial, "
                                           "Telefone_Celular, Telefone_Recado, Email, Ind_Status) values (:id, :u, :n, '(11)3333-4444', "
                                           "'(11)99999-8888', '(11)2222-1111', :e, 'ATIVO')");
        int id = 0;
        for (const auto &[unit, name] : QList<QPair<QVariant, QString>>{{2, QStringLiteral("CARLA")},
                                                                         {1, QStringLiteral("ANA")},
                                                                         {QVariant(QMetaType::fromType<int>()), QStringLiteral("SEM UNIDADE")},
                                                                         {1, QStringLiteral("BRUNO")}})
            run(c, ins, {{QStringLiteral("id"), ++id}, {QStringLiteral("u"), unit}, {QStringLiteral("n"), name},
                         {QStringLiteral("e"), name.toLower() + QStringLiteral("@vessaro.gov.br")}});
        const ComposedReport r = Reports::compose(ListReports::definition(ListReport::RelProficional, c));
        QCOMPARE(r.orientation, QPageLayout::Landscape);
        QCOMPARE(r.pageCount(), 3);
        QCOMPARE(named(r, QStringLiteral("unidade")), (QStringList{QString(), QStringLiteral("CENTRO"), QStringLiteral("NORTE")}));
        QCOMPARE(named(r, QStringLiteral("nome")), (QStringList{QStringLiteral("3 - SEM UNIDADE"), QStringLiteral("2 - ANA"),
                                                                     QStringLiteral("4 - BRUNO"), QStringLiteral("1 - CARLA")}));
        QCOMPARE(named(r, QStringLiteral("total_unidade")), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1")}));
        QCOMPARE(named(r, QStringLiteral("total_geral")), QStringList{QStringLiteral("4")});
        QCOMPARE(named(r, QStringLiteral("telefones")).first(), QStringLiteral("(11)3333-4444 / (11)99999-8888 / (11)2222-1111"));
        QCOMPARE(named(r, QStringLiteral("pagina")), (QStringList{QStringLiteral("Pag.: 1"), QStringLiteral("Pag.: 2"), QStringLiteral("Pag.: 3")}));
        QVERIFY(r.texts(2).contains(QStringLiteral("Total geral:")));
        savePng(r, QStringLiteral("rel042"));
    }
};

QTEST_MAIN(TestListReports)
#include "tst_listreports.moc"
