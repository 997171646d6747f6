#include "app/Admin.h"
#include "app/Accounts.h"
#include "app/CityGenerator.h"
#include "app/KeldaGenerator.h"
#include "app/SecretExposure.h"
#include "db/Backup.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/schema/ReferenceData.h"
#include "db/schema/Schema.h"
#include "registry/StreetData.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>
#include <stdexcept>

namespace {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

const char *kUsage =
    "usage:\n"
    "  zapo-admin init DATABASE\n"
    "  zapo-admin add-user DATABASE --unit NAME --name NAME --login LOGIN [--profile ID]\n"
    "        (the password is read from standard input, one line)\n"
    "  zapo-admin tsql-script              prints the installation script for a T-SQL server\n"
    "  zapo-admin import-streets DATABASE DIR   replaces the city street database by DIR/<Table>.csv\n"
    "  zapo-admin sample-city DATABASE          loads the generated sample city as street database\n"
    "                                           (and districts 1 to 9 when there are none)\n"
    "  zapo-admin sample-city --csv DIR         writes the sample city as the files import-streets reads\n"
    "  zapo-admin generate DATABASE --owners N [--seed S] [--date YYYY-MM-DD]\n"
    "        fills a database without owners with a generated city (the sample\n"
    "        street database is loaded first when there is none); the same seed,\n"
    "        size and date give the same rows\n"
    "  zapo-admin refresh-export DATABASE      rebuilds Exportacao2, the flat table the extractor (049)\n"
    "                                           reads (run it on a schedule on a shared server)\n"
    "  zapo-admin backup DATABASE DIR         a checked copy of the database, named by date and time, into\n"
    "                                           DIR (embedded: while workstations keep working; PostgreSQL:\n"
    "                                           pg_dump when it is installed)\n"
    "  zapo-admin restore BACKUP DATABASE      puts an embedded copy back after asking; the replaced files\n"
    "                                           stay beside the database (add --yes to answer for scripts)\n"
    "DATABASE is a file path (embedded database) or postgresql://user@host:port/dbname\n"
    "  (the server's password comes from ~/.pgpass or the file PGPASSFILE names; a password\n"
    "  written in the address can be read by every user of this computer)\n";

QString option(const QStringList &args, const QString &name)
{
    const qsizetype i = args.indexOf(name);
    return (i >= 0 && i + 1 < args.size()) ? args.at(i + 1) : QString();
}

int init(const QString &database)
{
    DataModule dm(DatabaseSpec::parse(database));
    Schema::create(dm);
    Schema::insertStarterValues(dm.main());
    out() << "Banco de dados criado: " << dm.spec().display() << Qt::endl;
    return 0;
}

int addUser(const QStringList &args)
{
    NewUser u;
    u.unitName = option(args, QStringLiteral("--unit"));
    u.name = option(args, QStringLiteral("--name"));
    u.login = option(args, QStringLiteral("--login"));
    const QString profile = option(args, QStringLiteral("--profile"));
    if (u.unitName.trimmed().isEmpty() || u.name.trimmed().isEmpty() || u.login.trimmed().isEmpty()) {
        err() << kUsage;
        return 2;
    }
    if (!profile.isEmpty()) {
        bool ok = false;
        u.profileId = profile.toInt(&ok);
        if (!ok) {
            err() << "--profile takes a profile number\n";
            return 2;
        }
    }
    QTextStream in(stdin);
    u.password = in.readLine();
    DataModule dm(DatabaseSpec::parse(args.at(2)));
    if (!Schema::exists(dm.main()))
        throw DbError(QStringLiteral("O banco de dados não contém as tabelas do sistema (use zapo-admin init)."));
    const int id = addUserAccount(dm.main(), u);
    out() << "Usuário " << id << " criado: " << u.login.trimmed() << Qt::endl;
    return 0;
}

// Exportacao2 is a copy: it shows the attendances as of its last rebuild.
void sampleBulletins(DataModule &dm, uint64_t seed)
{
    out() << "Amostras de leishmaniose: " << KeldaGenerator::generate(dm, seed) << Qt::endl;
}

void refreshExport(DataModule &dm)
{
    QElapsedTimer clock;
    clock.start();
    const int rows = Schema::refreshExportTable(dm.main());
    out() << "Exportacao2: " << rows << " linhas em " << QString::number(clock.elapsed() / 1000.0, 'f', 1) << " s"
          << Qt::endl;
}

int loadStreets(const QString &database, const StreetData::Dataset &data, bool sampleDistricts = false)
{
    DataModule dm(DatabaseSpec::parse(database));
    StreetData::replaceAll(dm.main(), data);
    if (sampleDistricts)
        StreetData::addSampleDistricts(dm.main());
    out() << "Banco de endereços substituído: " << StreetData::summary(data).join(QStringLiteral(", ")) << Qt::endl;
    if (sampleDistricts) {
        sampleBulletins(dm, 1);
        refreshExport(dm);
    }
    return 0;
}

int importStreets(const QString &database, const QString &dir)
{
    // Every file is checked before anything is written.
    QList<StreetData::Problem> problems;
    const StreetData::Dataset data = StreetData::readCsvDirectory(dir, &problems);
    for (const StreetData::Problem &p : std::as_const(problems))
        err() << p.toString() << Qt::endl;
    if (!problems.isEmpty())
        return 1;
    return loadStreets(database, data);
}

int generate(const QStringList &args)
{
    CityGenerator::Options o;
    bool ok = false;
    o.owners = option(args, QStringLiteral("--owners")).toInt(&ok);
    if (!ok || o.owners < 1) {
        err() << "--owners takes a positive number\n" << kUsage;
        return 2;
    }
    const QString seed = option(args, QStringLiteral("--seed"));
    if (!seed.isEmpty()) {
        o.seed = seed.toULongLong(&ok);
        if (!ok) {
            err() << "--seed takes a whole number\n";
            return 2;
        }
    }
    const QString date = option(args, QStringLiteral("--date"));
    if (!date.isEmpty()) {
        o.today = QDate::fromString(date, Qt::ISODate);
        if (!o.today.isValid()) {
            err() << "--date takes YYYY-MM-DD\n";
            return 2;
        }
    }
    o.progress = [](const QString &m) { out() << m << Qt::endl; };
    DataModule dm(DatabaseSpec::parse(args.at(2)));
    if (!Schema::exists(dm.main()))
        throw DbError(QStringLiteral("O banco de dados não contém as tabelas do sistema (use zapo-admin init)."));
    const CityGenerator::Result r = CityGenerator::generate(dm.main(), o);
    for (auto it = r.perTable.cbegin(); it != r.perTable.cend(); ++it)
        out() << "  " << it.key() << ": " << it.value() << Qt::endl;
    out() << r.rows << " linhas em " << QString::number(r.loadSeconds, 'f', 1) << " s ("
          << qRound64(r.rows / qMax(0.001, r.loadSeconds)) << " linhas/s); com índices e estatísticas "
          << QString::number(r.totalSeconds, 'f', 1) << " s (" << qRound64(r.rows / qMax(0.001, r.totalSeconds))
          << " linhas/s)" << Qt::endl;
    sampleBulletins(dm, o.seed);
    refreshExport(dm);
    return 0;
}

int backup(const QString &database, const QString &dir)
{
    const DatabaseSpec spec = DatabaseSpec::parse(database);
    if (spec.kind != DatabaseSpec::Kind::SQLite) {
        out() << "Cópia gravada: " << Backup::backupServer(spec, dir) << Qt::endl;
        return 0;
    }
    const Backup::Copy c = Backup::backupSqlite(spec.path, dir);
    for (const QString &f : c.files)
        out() << "Cópia gravada e verificada: " << f << Qt::endl;
    return 0;
}

int restore(const QStringList &args)
{
    const QString from = QFileInfo(args.at(2)).absoluteFilePath();
    const DatabaseSpec spec = DatabaseSpec::parse(args.at(3));
    if (spec.kind != DatabaseSpec::Kind::SQLite) {
        err() << "zapo-admin: restore põe de volta cópias do banco embutido; num servidor use as ferramentas do "
                 "próprio servidor (pg_restore no PostgreSQL)."
              << Qt::endl;
        return 2;
    }
    if (!QFileInfo::exists(from)) {
        err() << "zapo-admin: cópia não encontrada: " << from << Qt::endl;
        return 1;
    }
    if (!args.contains(QStringLiteral("--yes"))) {
        out() << "Substituir " << spec.path << " pela cópia " << from
              << "?\nFeche o programa em todas as estações antes. Os arquivos substituídos ficam ao lado do banco. (s/N) "
              << Qt::flush;
        QTextStream in(stdin);
        const QString answer = in.readLine().trimmed().toLower();
        if (answer != QLatin1String("s") && answer != QLatin1String("sim")) {
            out() << "Nada foi alterado." << Qt::endl;
            return 1;
        }
    }
    for (const QString &f : Backup::restoreSqlite(from, spec.path))
        out() << "Arquivo substituído guardado em: " << f << Qt::endl;
    out() << "Cópia restaurada em " << spec.path << Qt::endl;
    return 0;
}

} // namespace

int runAdmin(const QStringList &args)
{
    try {
        const QString cmd = args.value(1);
        if (args.size() > 2 && databaseTextHasPassword(args.at(2)))
            err() << "zapo-admin: " << SecretExposure::commandLineWarning().replace(QLatin1Char('\r'), QLatin1Char(' '))
                  << Qt::endl;
        if (cmd == QLatin1String("init") && args.size() == 3)
            return init(args.at(2));
        if (cmd == QLatin1String("add-user") && args.size() >= 3)
            return addUser(args);
        if (cmd == QLatin1String("import-streets") && args.size() == 4)
            return importStreets(args.at(2), args.at(3));
        if (cmd == QLatin1String("sample-city") && args.size() == 4 && args.at(2) == QLatin1String("--csv")) {
            StreetData::writeCsvDirectory(StreetData::sampleCity(), args.at(3));
            return 0;
        }
        if (cmd == QLatin1String("sample-city") && args.size() == 3)
            return loadStreets(args.at(2), StreetData::sampleCity(), true);
        if (cmd == QLatin1String("generate") && args.size() >= 5)
            return generate(args);
        if (cmd == QLatin1String("refresh-export") && args.size() == 3) {
            DataModule dm(DatabaseSpec::parse(args.at(2)));
            refreshExport(dm);
            return 0;
        }
        if (cmd == QLatin1String("backup") && args.size() == 4)
            return backup(args.at(2), args.at(3));
        if (cmd == QLatin1String("restore") && (args.size() == 4 || (args.size() == 5 && args.at(4) == QLatin1String("--yes"))))
            return restore(args);
        if (cmd == QLatin1String("tsql-script")) {
            out() << Schema::tsqlScript();
            return 0;
        }
        err() << kUsage;
        return 2;
    } catch (const DbError &e) {
        err() << "zapo-admin: " << e.text() << Qt::endl;
    } catch (const std::exception &e) {
        err() << "zapo-admin: " << QString::fromStdString(e.what()) << Qt::endl;
    }
    return 1;
}
