#pragma once
#include "db/DataModule.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

// A fresh database with the program's schema and reference data, on SQLite
// (a temporary folder) or on the private PostgreSQL server that scripts/test
// starts (ZAPO_TEST_PG), there collated pt-BR as a Brazilian server is.
// Dropped again when the object goes.
class TestDatabase {
public:
    // nullptr when the engine is not available here (the test then skips).
    static std::unique_ptr<TestDatabase> create(const QString &engine, bool withSchema = true);
    ~TestDatabase();

    DataModule &dm() { return *m_dm; }
    Connection &main() { return m_dm->main(); }
    const DatabaseSpec &spec() const { return m_spec; }
    QString engine() const { return m_engine; }
    // A second workstation on the same database (not made current).
    std::unique_ptr<DataModule> openAnother() const;

private:
    TestDatabase() = default;
    QString m_engine;
    DatabaseSpec m_spec;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_pgAdminUrl;
    QString m_pgName;
    std::unique_ptr<DataModule> m_dm;
};

// Adds the "engine" column with a row per engine; use in _data() functions.
void addEngineRows();

// In a data-driven test: makes `var` from the current row's engine, or skips.
#define ZAPO_TEST_DB(var)                                                          \
    QFETCH(QString, engine);                                                        \
    auto var = TestDatabase::create(engine);                                        \
    if (!var)                                                                       \
        QSKIP("PostgreSQL test server not available (run through scripts/test)");
