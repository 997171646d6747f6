#pragma once
#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

// The one way to run long work (cloning, publishing, exports, report
// composition and saving, generated tables, big searches) on the window's
// thread. From its start until finish() no mouse, key, wheel, shortcut or close
// from the user reaches any window of the program except its own progress
// window's "Cancelar": input that arrives meanwhile (a second click on the
// command's button, a key queued behind the first click) is dropped, not
// deferred, so the command can neither re-enter itself nor run again once
// it is over. The progress window appears when the work has lasted
// `showAfterMs` (quick work never flashes a window).
//
// The work calls step() as it goes and stops when step() returns false (the
// user chose "Cancelar"); what it wrote is then rolled back or removed by the
// work itself. The command shows its messages after the LongWork is gone, so
// no box stands in front of a transaction that other workstations wait for.
//
// A LongWork started while another runs (report composition inside an export)
// is part of the outer one: it shows no window of its own and answers the
// outer one's cancel.
class LongWork {
public:
    LongWork(const QString &title, const QString &label, QWidget *parent = nullptr, int showAfterMs = 500);
    ~LongWork();
    LongWork(const LongWork &) = delete;
    LongWork &operator=(const LongWork &) = delete;

    // True while any long work runs: a command that cannot run nested (it
    // would open its own transaction) returns at once when it is true.
    static bool running();

    // Total of steps when known (0 or less: unknown, a busy bar).
    void setTotal(qint64 total);
    void setLabel(const QString &label);
    // Reports `done` steps; lets the window paint and answer its "Cancelar".
    // False once the user has cancelled.
    bool step(qint64 done);
    bool step(qint64 done, const QString &label);
    bool cancelled() const;
    // The work is over: closes the window and gives the input back (also
    // done by the destructor). Whatever the command shows next (the
    // preview, a box) must come after this.
    void finish();

    // Tests: make every LongWork created from now on report a cancel at the
    // given step (0 = never); returns the previous setting.
    static qint64 setCancelAtStepForTests(qint64 step);

private:
    LongWork *outermost();

    QPointer<QProgressDialog> m_dialog;
    QElapsedTimer m_clock;
    LongWork *m_outer = nullptr;
    qint64 m_total = 0;
    int m_showAfterMs;
    bool m_cancelled = false;
    bool m_finished = false;
    qint64 m_cancelAt = 0;
};
