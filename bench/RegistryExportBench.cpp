// zapo-bench --registry-exports DATABASE
//
// The dBASE exports of the animal address screen (024: 16 fields of every
// animal that has an owner) and of the occurrence register (022: 21 fields of
// every occurrence), written through the exporters the program installs,
// each beside its statement read alone through QSqlQuery. One run each.
#include "app/RegistryExports.h"
#include "RowsTable.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "registry/Endereco_AnimalScreen.h"
#include "reports/OccurrenceReport.h"
#include "ui/Services.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

using RowsTable::bareRead;
using RowsTable::line;
using RowsTable::out;

// Says nothing but failures: the figures are the output.
class QuietMessages : public Messages {
public:
    void information(const QString &, QWidget *) override {}
    void warning(const QString &, QWidget *) override {}
    void error(const QString &text, QWidget *) override { QTextStream(stderr) << "error: " << text << '\n'; }
    bool confirm(const QString &, QWidget *) override { return true; }
};

} // namespace

int registryExportBench(const QStringList &args)
{
    const qsizetype at = args.indexOf(QStringLiteral("--registry-exports"));
    if (at < 0 || at + 1 >= args.size()) {
        QTextStream(stderr) << "usage: zapo-bench --registry-exports DATABASE\n";
        return 2;
    }
    QuietMessages messages;
    Services::setMessages(&messages);
    try {
        DataModule dm(DatabaseSpec::parse(args.at(at + 1)));
        Connection &c = dm.main();
        QTemporaryDir dir;
        out() << "Database: " << dm.spec().display() << " (" << dm.dialect().name() << ")\n\n"
              << "| Operation | rows | s | rows/s | |\n|---|---:|---:|---:|---|\n";
        const QList<std::pair<QString, QString>> exports = {
            {QStringLiteral("024, every animal with an owner (16 fields)"), Endereco_AnimalScreen::exportStatement()},
            {QStringLiteral("022, every occurrence (21 fields)"),
             OccurrenceReport::selectFromJoins() + QStringLiteral("order by a.Id_Ocorrencia")}};
        int n = 0;
        for (const auto &[name, select] : exports) {
            const QString path = dir.filePath(QStringLiteral("e%1.dbf").arg(++n));
            QElapsedTimer t;
            t.start();
            if (name.startsWith(QLatin1String("024")))
                exportAnimalAddresses(c, select, path, nullptr);
            else
                exportOccurrences(c, select, path, nullptr);
            const double ms = t.nsecsElapsed() / 1e6;
            t.restart();
            const qint64 rows = bareRead(c, select);
            const double bare = t.nsecsElapsed() / 1e6;
            line(name, rows, ms, QStringLiteral("%1 MiB file").arg(QFileInfo(path).size() / 1048576.0, 0, 'f', 1));
            line(name.left(3) + QStringLiteral(": the statement alone"), rows, bare);
        }
    } catch (const DbError &e) {
        QTextStream(stderr) << "zapo-bench: " << e.text() << '\n';
        return 1;
    }
    return 0;
}
