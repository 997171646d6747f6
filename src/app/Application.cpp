#include "app/Application.h"
#include "app/Accounts.h"
#include "app/FirstRunDialog.h"
#include "app/GuardedApplication.h"
#include "app/Login_2Screen.h"
#include "app/DailyBackup.h"
#include "app/MenuPrincipalScreen.h"
#include "app/ProgramExit.h"
#include "app/SecretExposure.h"
#include "app/ScreenWiring.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/schema/ReferenceData.h"
#include "db/schema/Schema.h"
#include "ui/Services.h"
#include "ui/ReadOnlyLook.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>
#include <memory>

std::unique_ptr<DataModule> openDataModule(const QStringList &arguments)
{
    try {
        const DatabaseSpec spec = databaseSpecFromSettings(arguments);
        auto dm = std::make_unique<DataModule>(spec);
        if (spec.kind == DatabaseSpec::Kind::SQLite && !Schema::exists(dm->main())) {
            Schema::create(*dm);
            Schema::insertStarterValues(dm->main());
        }
        return dm;
    } catch (const DbError &e) {
        Services::messages().error(e.text());
    } catch (const std::exception &e) {
        Services::messages().error(QString::fromStdString(e.what()));
    }
    return nullptr;
}

// The icon lives in the core library, which is static: its resources are
// registered by hand.
static void initAppResources()
{
    Q_INIT_RESOURCE(app);
}

int runZapo(int argc, char *argv[])
{
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zapo"));
    // Every window carries the program's own icon.
    initAppResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/zapo.png")));
    // Standard dialogs (file names, print preview) in Portuguese.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_pt_BR"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    Formats::install();
    ReadOnlyLook::install();
    WindowPlacement::install();

    // Said before connecting, so that it is seen even when the connection fails.
    for (const QString &w : SecretExposure::warnings(QApplication::arguments()))
        Services::messages().warning(w);

    // The data module first: no window opens without its connections.
    std::unique_ptr<DataModule> dm = openDataModule(QApplication::arguments());
    if (!dm)
        return 1;
    // A fresh embedded database has nobody who could log in.
    try {
        if (dm->spec().kind == DatabaseSpec::Kind::SQLite && hasNoUsers(dm->main())) {
            FirstRunDialog setup(dm->main());
            if (setup.exec() != QDialog::Accepted)
                return 0;
        }
    } catch (const DbError &e) {
        Services::messages().error(e.text());
        return 1;
    }

    registerAllScreens();
    MenuPrincipalScreen mainWindow; // created hidden
    {
        Login_2Screen login([&mainWindow] { mainWindow.configureMenu(); });
        const int result = login.exec();
        if (ProgramExit::requested())
            return ProgramExit::code();
        if (result != QDialog::Accepted)
            return 0;
    }
    // Without a window manager "maximised" means nothing: fill the screen.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        mainWindow.setGeometry(screen->availableGeometry());
    mainWindow.showMaximized();
    // Showing the window configures the menu, which may end the program.
    if (ProgramExit::requested())
        return ProgramExit::code();
    // The day's copy of an embedded database, while the clerk works.
    MenuPrincipalScreen *window = &mainWindow;
    DailyBackup::startIfDue(dm->spec(), window, [window](const QString &text) { window->setBackupNotice(text); });
    const int code = app.exec();
    DailyBackup::wait();
    return code;
}
