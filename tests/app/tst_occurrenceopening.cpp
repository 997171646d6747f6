// Screen 022 opened from the register's "Ocorrencias...": through the main
// window with the profile's flags of 22, narrowed to the register's owner and
// standing on its animal; its context menu offers the main menu's entries.
#include "AppSeed.h"
#include "app/MenuPrincipalScreen.h"
#include "app/ScreenWiring.h"
#include "db/Session.h"
#include "registry/PropAnimalScreen.h"
#include "registry/RegistroOcorrenciaScreen.h"
#include "support/RecordingServices.h"
#include "support/TestDatabase.h"
#include "ui/MainMenuHook.h"
#include "ui/PagedPicker.h"
#include "ui/ScreenCatalog.h"

#include <QAction>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>

class TestOccurrenceOpening : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerAllScreens(); }

    void openedFromTheRegister_data() { addEngineRows(); }
    void openedFromTheRegister()
    {
        ZAPO_TEST_DB(t);
        APP_NEEDS_TABLES(t);
        Connection &c = t->main();
        using namespace AppSeed;
        unit(c, 3, QStringLiteral("Centro"));
        profile(c, 7, QStringLiteral("Atendente"));
        for (int id : {6, 18, 22})
            form(c, id, id);
        permission(c, 7, 6);
        permission(c, 7, 22, QStringLiteral("SSSNS")); // no deleting occurrences
        TUsuarioLogado s;
        s.IdUsuario = QStringLiteral("5");
        s.IdPerfil = QStringLiteral("7");
        s.IdUnidadeTrabalho = QStringLiteral("3");
        s.NomeUsuario = QStringLiteral("ANA");
        s.Login = QStringLiteral("ana");
        usuarioLogado() = s;
        Sql::exec(c, QStringLiteral("insert into proprietario (Id_Proprietario, Nome, Id_Unidade_Trabalho) values (1, 'ANA', 3), (2, 'BETO', 3)"));
        Sql::exec(c, QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Nome) values (10, 1, 'REX'), (11, 1, 'MEL'), (12, 2, 'TOM')"));

        RecordingMessages msgs;
        MenuPrincipalScreen w;
        w.show();
        QVERIFY(MainMenuHook::action(QStringLiteral("mnu018")));
        QCOMPARE(MainMenuHook::action(QStringLiteral("mnu018")), w.menuAction(QStringLiteral("mnu018")));
        auto *reg = qobject_cast<PropAnimalScreen *>(MainMenuHook::openScreen(6));
        QVERIFY(reg);
        reg->loadOwner(1, 11);
        QAction *open = reg->findChild<QAction *>(QStringLiteral("actOcorrencia"));
        QVERIFY(open);
        open->trigger();
        auto *occ = w.mdiArea()->findChild<RegistroOcorrenciaScreen *>();
        QVERIFY2(occ, qPrintable(msgs.texts().join(QLatin1Char('|'))));
        QCOMPARE(occ->ownerPicker()->rowCount(), 1);
        QCOMPARE(occ->currentOwnerId().toInt(), 1);
        QCOMPARE(occ->currentAnimalId().toInt(), 11);
        auto *del = occ->findChild<QPushButton *>(QStringLiteral("bmpExcluir"));
        auto *add = occ->findChild<QPushButton *>(QStringLiteral("bmpIncluir"));
        QVERIFY(del->isHidden());
        QVERIFY(!add->isHidden());
    }
};

QTEST_MAIN(TestOccurrenceOpening)
#include "tst_occurrenceopening.moc"
