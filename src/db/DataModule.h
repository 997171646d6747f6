#pragma once
#include "db/DatabaseSpec.h"
#include "db/Dialect.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// One logical connection of the program ("BANCO_ZAPO", "DB_Padrao",
// "DB_KELDA"), with its parameter list kept as ordered text.
class Connection {
public:
    Connection(QString logicalName, QString qtName, QStringList parameters, const Dialect *dialect);
    const QString &logicalName() const { return m_logicalName; }
    QSqlDatabase db() const;
    const Dialect &dialect() const { return *m_dialect; }
    // The parameter lines joined by line breaks.
    QString parameterText() const { return m_parameters.join(QLatin1Char('\n')); }
    const QStringList &parameters() const { return m_parameters; }
    bool inTransaction() const { return m_inTransaction; }
    void setInTransaction(bool on) { m_inTransaction = on; }

private:
    QString m_logicalName;
    QString m_qtName;
    QStringList m_parameters;
    const Dialect *m_dialect;
    bool m_inTransaction = false;
};

// The data module: created before any window, it opens the three logical
// connections and lives until the process ends. Tests may create several
// (two workstations); the most recently created is current().
class DataModule {
public:
    // Opens the connections; throws DbError with the driver's text.
    explicit DataModule(const DatabaseSpec &spec, bool makeCurrent = true);
    ~DataModule();
    DataModule(const DataModule &) = delete;
    DataModule &operator=(const DataModule &) = delete;

    static DataModule &current();
    static bool hasCurrent();

    // Looked up without regard to case: "Banco_ZAPO" is "BANCO_ZAPO".
    Connection &connection(const QString &logicalName);
    Connection &main() { return *m_connections.front(); }
    const Dialect &dialect() const { return *m_dialect; }
    const DatabaseSpec &spec() const { return m_spec; }

    static const QString MainName;    // "BANCO_ZAPO"
    static const QString PadraoName;  // "DB_Padrao"
    static const QString KeldaName;   // "DB_KELDA"

private:
    QSqlDatabase openOne(const QString &qtName, const QString &databaseName, const QString &searchPath);
    void detectEngine(QSqlDatabase &db);

    DatabaseSpec m_spec;
    std::unique_ptr<Dialect> m_dialect;
    std::vector<std::unique_ptr<Connection>> m_connections;
    QStringList m_qtNames;
};

// The current data module's main connection: what nearly every screen uses.
Connection &mainConnection();
