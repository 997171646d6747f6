// Screen 046 driven as a clerk would: criteria typed and chosen, search,
// sorting by a column title, export, and the way to the owner register.
#include "DbfRead.h"
#include "UtilityFixture.h"
#include "app/MenuPrincipalScreen.h"
#include "app/ScreenWiring.h"
#include "db/Session.h"
#include "registry/PropAnimalScreen.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/IdNameCombo.h"
#include "ui/ScreenCatalog.h"
#include "utilities/PesquisaAvancadoScreen.h"

#include <QCheckBox>
#include "ui/DateEdit.h"
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

QList<int> found(PesquisaAvancadoScreen &s)
{
    QList<int> keys;
    for (int r = 0; r < s.model()->rowCount(); ++r)
        keys << s.model()->key(r).toInt();
    return keys;
}

void clearCriteria(PesquisaAvancadoScreen &s)
{
    for (QLineEdit *e : s.findChildren<QLineEdit *>())
        if (e->objectName().startsWith(QLatin1String("edt")))
            e->clear();
    for (QComboBox *c : s.findChildren<QComboBox *>())
        if (c->objectName().startsWith(QLatin1String("cmb")))
            c->setCurrentIndex(0);
    child<QCheckBox>(&s, "chkIgnorarDt")->setChecked(true);
}

QList<int> searchWith(PesquisaAvancadoScreen &s, const char *editor, const QString &text)
{
    clearCriteria(s);
    auto *e = child<QLineEdit>(&s, editor);
    e->setFocus();
    QTest::keyClicks(e, text);
    child<QPushButton>(&s, "btnPesquisar")->click();
    return found(s);
}

QList<int> searchChoosing(PesquisaAvancadoScreen &s, const char *combo, const QVariant &idOrText)
{
    clearCriteria(s);
    auto *c = child<QComboBox>(&s, combo);
    if (auto *ids = qobject_cast<IdNameCombo *>(c))
        ids->selectId(idOrText);
    else
        c->setCurrentText(idOrText.toString());
    child<QPushButton>(&s, "btnPesquisar")->click();
    return found(s);
}

using Keys = QList<int>;

} // namespace

class TestPesquisaAvancada : public QObject {
    Q_OBJECT
private slots:
    void eachCriterionNarrows_data() { addEngineRows(); }
    void eachCriterionNarrows()
    {
        ZAPO_TEST_DB(t);
        UtilityFixture::fill(t->dm());
        Sql::exec(t->main(), QStringLiteral("update distrito set Nome = 'DISTRITO 3 - CENTRO' where Id_Distrito = 3"));
        RecordingMessages msgs;
        PesquisaAvancadoScreen s;
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QCOMPARE(s.windowTitle(), QStringLiteral("046 - Pesquisa Avançada."));
        QVERIFY(!child<QDateEdit>(&s, "dtpDe")->isEnabled());
        QCOMPARE(child<QDateEdit>(&s, "dtpAte")->date(), QDate(2030, 12, 31));

        // No criterion: every animal of an active owner, once each (the
        // repeated address link doubles nothing), by owner then animal.
        child<QPushButton>(&s, "btnPesquisar")->click();
        QCOMPARE(found(s), (Keys{5001, 5002, 5003}));
        QCOMPARE(s.statusPanel(2)->text(), QStringLiteral("Total de registro: 3"));
        QCOMPARE(s.statusPanel(0)->text(), QStringLiteral("Operação concluída."));
        // The latest address and group are shown.
        QCOMPARE(s.model()->rawValue(0, 29).toString().trimmed(), QStringLiteral("JOANA D'ARC"));
        QCOMPARE(s.model()->rawValue(0, 23).toDateTime().date(), QDate(2021, 6, 1));
        QCOMPARE(s.model()->data(s.model()->index(1, 26)).toString(), QStringLiteral("DISTRITO DOZE"));

        // Owner criteria: case, accents, quotes, % and _ taken literally.
        QCOMPARE(searchWith(s, "edtCodigoProprietario", "1002"), Keys{5003});
        // Codes take digits only: the letter never reaches the box.
        QCOMPARE(searchWith(s, "edtCodigoProprietario", "10x02"), Keys{5003});
        QCOMPARE(searchWith(s, "edtNomeProprietario", "jose d'av"), (Keys{5001, 5002}));
        QCOMPARE(searchWith(s, "edtNomeProprietario", "maria 100% _s"), Keys{5003});
        QCOMPARE(searchWith(s, "edtNomeProprietario", "maria 1000"), Keys{});
        QCOMPARE(searchWith(s, "edtNomeProprietario", "maria 100x"), Keys{});
        QCOMPARE(searchWith(s, "edtNomeProprietario", "'; delete from animal; --"), Keys{});
        QCOMPARE(searchWith(s, "edtCpfCnpj", "52998224725"), (Keys{5001, 5002}));
        QCOMPARE(searchWith(s, "edtIdentidade", "MG-1'2"), (Keys{5001, 5002}));
        QCOMPARE(searchChoosing(s, "cmbTipoPessoa", QStringLiteral("JURÍDICA")), Keys{5003});

        // The animal's latest address only.
        QCOMPARE(searchWith(s, "edtLogradouro", "joana d'"), Keys{5001});
        QCOMPARE(searchWith(s, "edtLogradouro", "avenida eb"), Keys{5002});
        QCOMPARE(searchWith(s, "edtLogradouro", "rua velha"), Keys{});
        QCOMPARE(searchWith(s, "edtNumero", "7"), Keys{5002});
        QCOMPARE(searchWith(s, "edtComplemento", "-- fun"), Keys{5001});
        QCOMPARE(searchWith(s, "edtComplemento", "0%"), Keys{5002});
        QCOMPARE(searchWith(s, "edtComplemento", "_"), Keys{});
        QCOMPARE(searchChoosing(s, "cmbDistrito", 12), Keys{5002});
        QCOMPARE(searchChoosing(s, "cmbDistrito", 5), Keys{});
        QCOMPARE(child<QComboBox>(&s, "cmbDistrito")->findData(12) > 0, true);
        QCOMPARE(child<QComboBox>(&s, "cmbDistrito")->itemText(child<QComboBox>(&s, "cmbDistrito")->findData(12)),
                 QStringLiteral("12 - DISTRITO DOZE"));
        // The word and number the city's district names begin with are the
        // id already shown.
        {
            auto *d = child<QComboBox>(&s, "cmbDistrito");
            QCOMPARE(d->itemText(d->findData(3)), QStringLiteral("3 - CENTRO"));
        }
        QCOMPARE(searchChoosing(s, "cmbArea", 3002), Keys{5002});
        QCOMPARE(searchChoosing(s, "cmbBairro", 1), Keys{5001});

        // Animal criteria.
        QCOMPARE(searchWith(s, "edtCodigoAnimal", "5002"), Keys{5002});
        QCOMPARE(searchWith(s, "edtNomeAnimal", "bob_"), Keys{5003});
        QCOMPARE(searchWith(s, "edtNomeAnimal", "bobx"), Keys{});
        QCOMPARE(searchChoosing(s, "cmbEspecie", 2), Keys{5002});
        QCOMPARE(searchChoosing(s, "cmbRaca", 901), Keys{5001});
        QCOMPARE(searchChoosing(s, "cmbGrupo", 902), Keys{5002});
        QCOMPARE(searchChoosing(s, "cmbPorte", 901), Keys{5001});
        QCOMPARE(searchChoosing(s, "cmbPelo", 901), Keys{5001});
        QCOMPARE(searchWith(s, "edtCor", "cara"), Keys{5001});
        QCOMPARE(searchChoosing(s, "cmbSexo", QStringLiteral("F")), Keys{5002});
        QCOMPARE(searchChoosing(s, "cmbEsterilizado", QStringLiteral("NAO")), Keys{5002});
        QCOMPARE(searchChoosing(s, "cmbMicrochipado", QStringLiteral("NAO")), (Keys{5002, 5003}));
        QCOMPARE(searchChoosing(s, "cmbMicrochipado", QStringLiteral("SIM")), Keys{5001});
        QCOMPARE(searchWith(s, "edtMicrochip", "000 12"), Keys{5001});
        QCOMPARE(searchWith(s, "edtMicrochip", "98200012"), Keys{5001});
        QCOMPARE(searchWith(s, "edtPedigree", "P-1"), Keys{5001});
        QCOMPARE(searchWith(s, "edtSinais", "orelha"), Keys{5001});

        // Birth range: the whole last day counts, whatever hour was stored.
        clearCriteria(s);
        child<QCheckBox>(&s, "chkIgnorarDt")->setChecked(false);
        QVERIFY(child<QDateEdit>(&s, "dtpDe")->isEnabled());
        child<QDateEdit>(&s, "dtpDe")->setDate(QDate(2020, 3, 15));
        child<QDateEdit>(&s, "dtpAte")->setDate(QDate(2020, 3, 15));
        child<QPushButton>(&s, "btnPesquisar")->click();
        QCOMPARE(found(s), Keys{5001});
        // The last day the editor offers still finds (the day after it
        // cannot be bound on every engine).
        child<QDateEdit>(&s, "dtpDe")->setDate(QDate(2000, 1, 1));
        child<QDateEdit>(&s, "dtpAte")->setDate(QDate(9999, 12, 31));
        child<QPushButton>(&s, "btnPesquisar")->click();
        QCOMPARE(found(s), (Keys{5001, 5002}));
        // A "[" is a character of the name, on every engine.
        QCOMPARE(searchWith(s, "edtNomeAnimal", "[a"), Keys{});

        // Nothing found.
        msgs.clear();
        QCOMPARE(searchWith(s, "edtNomeAnimal", "ZZZ"), Keys{});
        QCOMPARE(s.statusPanel(2)->text(), QStringLiteral("Total de registro: 0"));
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Registro não encontrado!")});

        // Inactive owners' animals: the status change empties the result
        // and the panels; animals without an owner are never found.
        clearCriteria(s);
        child<QRadioButton>(&s, "rbInativos")->click();
        QCOMPARE(s.model()->rowCount(), 0);
        QVERIFY(s.statusPanel(2)->text().isEmpty());
        QVERIFY(s.grid()->palette().color(QPalette::Base) != QColor(Qt::white));
        child<QPushButton>(&s, "btnPesquisar")->click();
        QCOMPARE(found(s), Keys{5004});
    }

    void sortsAndExportsInGridOrder_data() { addEngineRows(); }
    void sortsAndExportsInGridOrder()
    {
        ZAPO_TEST_DB(t);
        UtilityFixture::fill(t->dm());
        RecordingMessages msgs;
        RecordingFileDialogs files;
        QTemporaryDir dir;
        PesquisaAvancadoScreen s;
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));

        // Before any search: asked, then an empty table with every field.
        msgs.answers = {false};
        files.nextSave = dir.filePath(QStringLiteral("nada"));
        child<QPushButton>(&s, "btnExportar")->click();
        QCOMPARE(msgs.last(), QStringLiteral("Não há registro para ser exportado.\rDeseja continuar a operação? "));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("nada.dbf"))));
        msgs.answers = {true};
        child<QPushButton>(&s, "btnExportar")->click();
        DbfRead::Table empty = DbfRead::read(dir.filePath(QStringLiteral("nada.dbf")));
        QVERIFY2(empty.ok, qPrintable(empty.error));
        QCOMPARE(empty.fields.size(), 45);
        QCOMPARE(empty.records.size(), 0);

        child<QPushButton>(&s, "btnPesquisar")->click();
        QHeaderView *header = s.grid()->horizontalHeader();
        // "Animal": by name.
        header->sectionClicked(3);
        QCOMPARE(found(s), (Keys{5003, 5002, 5001}));
        QCOMPARE(s.model()->sortColumn(), 3);
        // "Cód. prop.": by the animal's owner id.
        header->sectionClicked(4);
        QCOMPARE(found(s).first(), 5001);
        QCOMPARE(found(s).last(), 5003);
        header->sectionClicked(3);
        shot(&s, "046-pesquisa-ordenada");

        msgs.clear();
        files.nextSave = dir.filePath(QStringLiteral("pesquisa"));
        child<QPushButton>(&s, "btnExportar")->click();
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Exportação concluída.\rUm arquivo com o modelo de dados desta "
                                                          "exportação será criado em: %1.txt")
                                               .arg(dir.filePath(QStringLiteral("pesquisa")))});
        const DbfRead::Table r = DbfRead::read(dir.filePath(QStringLiteral("pesquisa.dbf")));
        QVERIFY2(r.ok, qPrintable(r.error));
        // The fields are the dictionary's, in its order and under its names.
        const QStringList dict = QString::fromLatin1(DbfRead::bytes(dir.filePath(QStringLiteral("pesquisa.txt"))))
                                     .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(dict.size(), 46);
        QCOMPARE(dict.at(0), QStringLiteral("----------------- Dicionário de dados---------------"));
        QStringList dictNames;
        for (const QString &l : dict.mid(1))
            dictNames << l.section(QLatin1Char(':'), 0, 0);
        QCOMPARE(DbfRead::fieldNames(r), dictNames);
        QCOMPARE(r.records.size(), 3);
        QList<int> order;
        for (const auto &rec : r.records)
            order << rec.toArray().at(1).toInt();
        QCOMPARE(order, (Keys{5003, 5002, 5001}));
        const QJsonArray rex = r.records.at(2).toArray();
        const QStringList names = DbfRead::fieldNames(r);
        QCOMPARE(rex.at(names.indexOf("NomeProp")).toString(), QStringLiteral("JOSÉ D'ÁVILA"));
        QCOMPARE(rex.at(names.indexOf("DataNasc")).toString(), QStringLiteral("2020-03-15"));
        QCOMPARE(rex.at(names.indexOf("DtEntGrup")).toString(), QStringLiteral("2021-06-01"));
        QCOMPARE(rex.at(names.indexOf("ObsAni")).toString(), QStringLiteral("Ração €"));
        QCOMPARE(rex.at(names.indexOf("IdEnd")).toInt(), 2001);
        QCOMPARE(rex.at(names.indexOf("Distrito")).toString(), QStringLiteral("DISTRITO 3"));
        // BOB has no address: blanks.
        QVERIFY(r.records.at(0).toArray().at(names.indexOf("IdEnd")).isNull());
    }

    void goesToTheOwnerRegister_data() { addEngineRows(); }
    void goesToTheOwnerRegister()
    {
        ZAPO_TEST_DB(t);
        UtilityFixture::fill(t->dm());
        RecordingMessages msgs;
        registerAllScreens();
        usuarioLogado().IdPerfil = QStringLiteral("1000"); // every screen
        MenuPrincipalScreen frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));

        PesquisaAvancadoScreen s;
        s.show();
        // With an empty result the register opens without an owner.
        child<QPushButton>(&s, "btnIrCadastro")->click();
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 1);
        auto *first = qobject_cast<PropAnimalScreen *>(frame.mdiArea()->subWindowList().at(0)->widget());
        QVERIFY(first);
        QCOMPARE(first->idProprietarioAtual(), 0);

        searchWith(s, "edtNomeAnimal", "mimi");
        child<QPushButton>(&s, "btnIrCadastro")->click();
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 2);
        auto *second = qobject_cast<PropAnimalScreen *>(frame.mdiArea()->subWindowList().at(1)->widget());
        QVERIFY(second);
        QCOMPARE(second->idProprietarioAtual(), 1001);
        QCOMPARE(second->ownerName(), QStringLiteral("JOSÉ D'ÁVILA"));
    }
};

QTEST_MAIN(TestPesquisaAvancada)
#include "tst_pesquisaavancada.moc"
