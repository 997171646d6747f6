#include "app/Application.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/schema/Schema.h"
#include "ui/Services.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <memory>

int runZapo(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zapo"));
    QApplication::setApplicationDisplayName(QStringLiteral("ZAPO"));
    Formats::install();

    std::unique_ptr<DataModule> dm;
    try {
        const DatabaseSpec spec = databaseSpecFromSettings(QApplication::arguments());
        dm = std::make_unique<DataModule>(spec);
        if (spec.kind == DatabaseSpec::Kind::SQLite && !Schema::exists(dm->main()))
            Schema::create(*dm);
    } catch (const DbError &e) {
        Services::messages().error(e.text());
        return 1;
    } catch (const std::exception &e) {
        Services::messages().error(QString::fromStdString(e.what()));
        return 1;
    }
    QMainWindow w;
    w.setCentralWidget(new QLabel(QStringLiteral("ZAPO")));
    w.showMaximized();
    return app.exec();
}
