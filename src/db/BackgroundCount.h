#pragma once
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <memory>

class Connection;
class QThread;

// Counts the rows of a search or list on a connection of its own, in a
// thread of its own, so that the clerk sees the first page at once and the
// total when the engine has it. One count at a time per object: a new
// start() or cancel() discards the count under way, and interrupts it in the
// engine where the driver allows (SQLite, PostgreSQL), so a stale count never
// holds the database. The connection is opened, used, closed and removed in
// the counting thread alone; it is closed again after a while without work,
// and when the object goes (without the owner waiting for it).
class BackgroundCount : public QObject {
    Q_OBJECT
public:
    explicit BackgroundCount(QObject *parent = nullptr);
    // Cancels what is under way without waiting: the thread ends by itself
    // (see waitForEnded()).
    ~BackgroundCount() override;

    // Waits for the threads of deleted counts still ending (their
    // connections closed); a data module calls it when it closes.
    static void waitForEnded();
    // How many of those threads have not ended yet.
    static int ending();

    // `sql` selects one number; its values are bound by name. The connection
    // says which database to open; false (nothing started) when it is not
    // a data module's main connection: the caller then counts by itself.
    bool start(const Connection &c, const QString &sql, const QVariantMap &params);
    void cancel();
    // A count was started and has neither finished nor been cancelled.
    bool busy() const { return m_busy; }
    // Counts interrupted in the engine so far (tests check that a stale
    // count does not run to its end).
    int interrupted() const;

    struct Shared;

signals:
    // Only for the latest start(), on the thread that owns this object.
    void counted(qint64 rows);
    void failed(const QString &text);

private:
    friend class CountThread;
    void deliver(quint64 generation, qint64 rows, const QString &error);

    std::shared_ptr<Shared> m_shared;
    QThread *m_thread = nullptr;
    quint64 m_generation = 0;
    bool m_busy = false;
};
