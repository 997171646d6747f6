// Special grants: totals beside the appointments an owner holds, the
// withdrawal rule, the owner search with quotes and percent signs, and the
// checks of a new grant.
#include "SlotFixture.h"
#include "ui/SearchResultModel.h"
#include "scheduling/AgendamentoEspecialPanel.h"
#include "scheduling/MapaDisponibilidadePesquisaScreen.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace SlotFixture;

namespace {

void owner(Connection &c, int id, const QString &nome, const QString &tipo, const QString &doc, const QString &email)
{
    Sql::exec(c, QStringLiteral("insert into proprietario (Id_Proprietario, Nome, Tipo_Pessoa, Num_CPF_CNPJ, Email_Proprietario, "
                                "Inserido_Em) values (:i, :n, :t, :d, :e, :em)"),
              {{"i", id}, {"n", nome}, {"t", tipo}, {"d", doc}, {"e", email.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : email},
               {"em", QDateTime(QDate(2015, 1, 2), QTime(10, 0))}});
}

void appointments(Connection &c, int owner, int held, int cancelled, int firstId)
{
    for (int i = 0; i < held + cancelled; ++i)
        Sql::exec(c, QStringLiteral("insert into atendimento (Id_Atendimento, Id_Proprietario, Id_Animal, Id_Unidade_Agendada, "
                                    "Data_Hora_Atendimento, Id_Atendimento_Status) values (:i, :o, 1, 15, :d, :s)"),
                  {{"i", firstId + i}, {"o", owner}, {"d", QDateTime(QDate(2016, 3, 10 + i), QTime(8, 0))},
                   {"s", i < held ? (i % 2 ? 3 : 1) : 7}});
}

void grant(Connection &c, int id, int owner, int qty, const QDateTime &when)
{
    Sql::exec(c, QStringLiteral("insert into agendamento_especial (Id_Agendamento_Especial, Id_Proprietario, "
                                "Qt_Agendamento_Reservado, Ind_Registro_Excluido, Inserido_Em) values (:i, :o, :q, 'FALSE', :w)"),
              {{"i", id}, {"o", owner}, {"q", qty}, {"w", when}});
}

struct Panel {
    std::unique_ptr<AgendamentoEspecialPanel> p;
    explicit Panel(Connection &c) : p(std::make_unique<AgendamentoEspecialPanel>(c)) {}
    QLineEdit *f(const char *name) { return child<QLineEdit>(p.get(), name); }
    void click(const char *name) { child<QPushButton>(p.get(), name)->click(); }
    int rows() { return p->grid()->model()->rowCount(); }
    QString cell(int r, int col) { return p->grid()->model()->index(r, col).data().toString(); }
};

void seed(DataModule &dm)
{
    fill(dm);
    Connection &c = dm.main();
    owner(c, 1, QStringLiteral("ONG AMIGOS DOS BICHOS"), QStringLiteral("JURÍDICA"), QStringLiteral("11222333000181"), {});
    owner(c, 2, QStringLiteral("MARIA D'ÁVILA 100% SILVA"), QStringLiteral("FÍSICA"), QStringLiteral("52998224725"),
          QStringLiteral("maria@exemplo.com"));
    owner(c, 3, QStringLiteral("MARIA SOUZA"), QStringLiteral("FÍSICA"), QStringLiteral("11144477735"), {});
    Sql::exec(c, QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Nome) values (1, 1, 'REX')"));
}

} // namespace

class TestGrants : public QObject {
    Q_OBJECT
private slots:
    void totalsAndWithdrawal_data() { addEngineRows(); }
    void totalsAndWithdrawal()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        seed(t->dm());
        grant(c, 1, 1, 3, QDateTime(QDate(2016, 1, 5), QTime(9, 0)));
        grant(c, 2, 1, 2, QDateTime(QDate(2016, 2, 5), QTime(9, 0)));
        appointments(c, 1, 4, 1, 1);
        RecordingMessages msg;
        Panel w(c);
        // The newer grant first; the first row's owner is summarised.
        QCOMPARE(w.rows(), 2);
        QCOMPARE(w.cell(0, 2), QStringLiteral("2"));
        QCOMPARE(w.cell(0, 1), QStringLiteral("ONG AMIGOS DOS BICHOS"));
        QCOMPARE(w.f("mkeQuantidadeTotal")->text(), QStringLiteral("5"));
        const QStringList lines = w.p->summary().split(QLatin1Char('\n'));
        QCOMPARE(lines.mid(0, 4), (QStringList{QStringLiteral("Proprietário:ONG AMIGOS DOS BICHOS"),
                                                QStringLiteral("CNPJ:11222333000181"),
                                                QStringLiteral("E-Mail: Não informado no cadastro de proprietário. "),
                                                QStringLiteral("Registro inserido na data 02/01/2015 10:00:00")}));
        QVERIFY(lines.contains(QStringLiteral("AGENDADO = 2")));
        shot(w.p.get(), "agendamento_especial");
        QVERIFY(!lines.contains(QStringLiteral("CANCELADO = 1")));
        const int header = lines.indexOf(QStringLiteral("Animal | Status do atendimento | Data do atendimento | Unidade de atendimento"));
        QVERIFY(header > 0);
        QCOMPARE(lines.at(header + 1), QStringLiteral("REX | AGENDADO | 10/03/2016 08:00:00 | UNIDADE LESTE"));
        QCOMPARE(lines.size(), header + 6); // every status listed, the cancelled one too

        // 2 is not less than 4 held - 5 granted: withdrawn.
        w.click("bmpExcluirEspecial");
        QCOMPARE(msg.last(), QStringLiteral("Deseja realmente excluir o registro?"));
        QCOMPARE(w.rows(), 1);
        QCOMPARE(w.f("mkeQuantidadeTotal")->text(), QStringLiteral("3"));
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Excluido_por from agendamento_especial where Id_Agendamento_Especial = 2")).toInt(), 7);

        // With 8 held, 3 granted: withdrawing the 3 is refused (3 < 8 - 3).
        appointments(c, 1, 4, 0, 100);
        w.p->reloadGrid();
        w.click("bmpExcluirEspecial");
        QCOMPARE(msg.last(), QStringLiteral("Não é possivel excluir, a quantidade de agendamento já utilizada é maior que a "
                                            "quantidade que esta tentando exclúir."));
        QCOMPARE(w.rows(), 1);

        // A grant withdrawn meanwhile elsewhere is not withdrawn twice.
        Sql::exec(c, QStringLiteral("delete from atendimento"));
        Sql::exec(c, QStringLiteral("update agendamento_especial set Ind_Registro_Excluido = 'TRUE', Excluido_por = 99 "
                                    "where Id_Agendamento_Especial = 1"));
        w.click("bmpExcluirEspecial");
        QCOMPARE(msg.last(), QStringLiteral("Erro ao tentar excluir o registro."));
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Excluido_por from agendamento_especial where Id_Agendamento_Especial = 1")).toInt(), 99);
        QCOMPARE(w.rows(), 0);
        w.click("bmpLimpar");
        QVERIFY(w.f("mkeIdProprietario")->text().isEmpty());
        QVERIFY(w.p->summary().isEmpty());
    }

    void grantChecks_data() { addEngineRows(); }
    void grantChecks()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        seed(t->dm());
        RecordingMessages msg;
        Panel w(c);
        QCOMPARE(w.rows(), 0);
        w.click("bmpIncluir");
        QCOMPARE(msg.last(), QStringLiteral("Código do proprietário não informado. Por favor, realize uma nova pesquisa."));
        w.f("mkeIdProprietario")->setText(QStringLiteral("2"));
        w.f("mkeNomeProprietario")->setText(QStringLiteral("OUTRO NOME"));
        w.f("mkeCPF_CNPJ")->setText(QStringLiteral("1"));
        for (const QString &bad : {QString(), QStringLiteral("abc"), QStringLiteral("0"), QStringLiteral("-2"), QStringLiteral("1.5")}) {
            w.f("mkeQuantidadeVaga")->setText(bad);
            w.click("bmpIncluir");
            QCOMPARE(msg.last(), QStringLiteral("Falta informar a quantidade."));
        }
        QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from agendamento_especial")).toInt(), 0);

        // The confirmation names the owner of the code, not the typed name.
        w.f("mkeQuantidadeVaga")->setText(QStringLiteral("3"));
        w.click("bmpIncluir");
        QCOMPARE(msg.last(), QStringLiteral("Você está preste a inserir 3 vagas para MARIA D'ÁVILA 100% SILVA deseja continuar?"));
        QCOMPARE(w.rows(), 1);
        QCOMPARE(w.cell(0, 0), QStringLiteral("2"));
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Inserido_Por from agendamento_especial")).toInt(), 7);
        // No is no.
        msg.answers = {false};
        w.f("mkeQuantidadeVaga")->setText(QStringLiteral("1"));
        w.click("bmpIncluir");
        QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from agendamento_especial")).toInt(), 1);

        // Codes nobody has, or with letters and quotes, find nobody.
        for (const QString &code : {QStringLiteral("999"), QStringLiteral("2a"), QStringLiteral("2' or '1'='1")}) {
            w.f("mkeIdProprietario")->setText(code);
            w.f("mkeNomeProprietario")->setText(QStringLiteral("X"));
            w.f("mkeCPF_CNPJ")->setText(QStringLiteral("1"));
            w.f("mkeQuantidadeVaga")->setText(QStringLiteral("1"));
            w.click("bmpIncluir");
            QCOMPARE(msg.last(), QStringLiteral("Código do proprietário não encontrado na base de dados."));
        }
        QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from agendamento_especial")).toInt(), 1);
    }

    void ownerSearch_data() { addEngineRows(); }
    void ownerSearch()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        seed(t->dm());
        RecordingMessages msg;
        MapaDisponibilidadePesquisaScreen::resetChoice();
        MapaDisponibilidadePesquisaScreen d(c);
        auto *sel = child<QComboBox>(&d, "cbbSelecao");
        auto *dados = child<QLineEdit>(&d, "edtDados");
        d.pesquisar();
        QCOMPARE(msg.last(), QStringLiteral("Falta selecionar uma opção de pesquisa."));
        sel->setCurrentText(QStringLiteral("Nome"));
        d.pesquisar();
        QCOMPARE(msg.last(), QStringLiteral("Falta digitar o Nome."));
        // Quotes and percent signs are text, not statement or pattern.
        for (const auto &[typed, expected] : {std::pair{QStringLiteral("D'ÁVILA"), 1}, std::pair{QStringLiteral("%"), 1},
                                              std::pair{QStringLiteral("MARIA"), 2}, std::pair{QStringLiteral("_"), 0},
                                              std::pair{QStringLiteral("' or '1'='1"), 0}}) {
            dados->setText(typed);
            d.pesquisar();
            QCOMPARE(d.model()->rowCount(), expected);
        }
        sel->setCurrentText(QStringLiteral("CPF/CNPJ"));
        dados->setText(QStringLiteral("5299822"));
        d.pesquisar();
        QCOMPARE(d.model()->rowCount(), 0); // exact, not a prefix
        dados->setText(QStringLiteral("52998224725"));
        d.pesquisar();
        QCOMPARE(d.model()->rowCount(), 1);
        shot(&d, "pesquisa");
        d.ok();
        QCOMPARE(MapaDisponibilidadePesquisaScreen::choice().id, 2);

        // Closing the search fills the tab with that owner.
        Panel w(c);
        w.p->afterSearch();
        QCOMPARE(w.f("mkeNomeProprietario")->text(), QStringLiteral("MARIA D'ÁVILA 100% SILVA"));
        QCOMPARE(w.p->summary().split(QLatin1Char('\n')).mid(1, 2),
                 (QStringList{QStringLiteral("CPF:52998224725"), QStringLiteral("E-Mail:maria@exemplo.com")}));
        QCOMPARE(w.f("mkeQuantidadeTotal")->text(), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestGrants)
#include "tst_grants.moc"
