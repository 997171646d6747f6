#pragma once
// Stands in for the web booking service: threads that each open their own
// connection (inside the thread) and take or give back places of random
// slots with the service's own conditional statements, keeping a ledger of
// the operations the database accepted.
#include <QHash>
#include <QMutex>
#include <atomic>
#include <thread>
#include <vector>

class TestDatabase;

class WebBooker {
public:
    // Slot keys are drawn from 1 to maxKey() (the caller may raise it as
    // slots are added); missing keys simply find no row.
    WebBooker(const TestDatabase &db, int threads, int operationsPerThread, int firstMaxKey);
    ~WebBooker();

    void start();
    void wait();
    bool running() const { return m_running.load() > 0; }
    void setMaxKey(int k) { m_maxKey.store(k); }

    // Net places taken per slot key by accepted operations: general and
    // large-female counters.
    QHash<int, int> netGeneral() const;
    QHash<int, int> netFemale() const;
    int accepted() const { return m_accepted.load(); }
    int refused() const { return m_refused.load(); }
    // Failures of the statements themselves (never expected).
    QStringList errors() const;

private:
    void run(int index);

    const TestDatabase &m_db;
    int m_threads;
    int m_ops;
    std::atomic<int> m_maxKey;
    std::atomic<int> m_running{0};
    std::atomic<int> m_accepted{0};
    std::atomic<int> m_refused{0};
    std::vector<std::thread> m_workers;
    mutable QMutex m_mutex;
    QHash<int, int> m_general, m_female;
    QStringList m_errors;
};
