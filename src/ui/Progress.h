#pragma once
#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

// The progress window of long work (reports, exports, cloning, publishing).
// It appears only when the work has lasted about half a second, so quick
// work never flashes a window; it is application-modal, so nothing else uses
// the connection meanwhile. The work calls step() as it goes and stops when
// step() returns false (the user chose "Cancelar"); what it wrote is then
// rolled back or removed by the work itself.
class Progress {
public:
    Progress(const QString &title, const QString &label, QWidget *parent = nullptr,
             int showAfterMs = 500);
    ~Progress();
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    // Total of steps when known (0 or less: unknown, a busy bar).
    void setTotal(qint64 total);
    void setLabel(const QString &label);
    // Reports `done` steps; lets the window paint and answer. False once the
    // user has cancelled.
    bool step(qint64 done);
    bool step(qint64 done, const QString &label);
    bool cancelled() const;
    // Closes the window (also done by the destructor).
    void finish();

    // Tests: make every Progress created from now on report a cancel at the
    // given step (0 = never); returns the previous setting.
    static qint64 setCancelAtStepForTests(qint64 step);

private:
    QPointer<QProgressDialog> m_dialog;
    QElapsedTimer m_clock;
    qint64 m_total = 0;
    int m_showAfterMs;
    bool m_cancelled = false;
    qint64 m_cancelAt = 0;
};
