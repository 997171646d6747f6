#include "ui/LongWork.h"

#include <QCoreApplication>
#include <QEvent>
#include <QProgressDialog>
#include <QWidget>
#include <QWindow>
#include <climits>
#include <exception>
#include <limits>

namespace {

qint64 g_cancelAt = 0;
LongWork *g_current = nullptr; // the innermost running work
QPointer<QProgressDialog> g_window; // the outermost work's window

bool isUserInput(QEvent::Type t)
{
    switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Drop:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Close:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

bool insideWindow(QObject *o)
{
    if (!g_window)
        return false;
    if (auto *w = qobject_cast<QWidget *>(o))
        return w->window() == g_window;
    if (auto *win = qobject_cast<QWindow *>(o))
        return g_window->windowHandle() && win == g_window->windowHandle();
    return false;
}

// Installed on the application while work runs: it sees every event of
// every object before the object does.
class InputGate : public QObject {
public:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (!isUserInput(e->type()) || insideWindow(o))
            return false;
        // Our own code closing a window (the progress window at the end) is
        // no user input; a close box clicked meanwhile is.
        if (e->type() == QEvent::Close && !e->spontaneous())
            return false;
        e->ignore();
        return true;
    }
};

InputGate *g_gate = nullptr;

} // namespace

LongWork::LongWork(const QString &title, const QString &label, QWidget *parent, int showAfterMs)
    : m_outer(g_current), m_showAfterMs(showAfterMs), m_cancelAt(g_cancelAt)
{
    g_current = this;
    m_clock.start();
    if (m_outer)
        return;
    if (!g_gate && QCoreApplication::instance()) {
        g_gate = new InputGate;
        QCoreApplication::instance()->installEventFilter(g_gate);
    }
    m_dialog = new QProgressDialog(label, QStringLiteral("&Cancelar"), 0, 0, parent);
    m_dialog->setObjectName(QStringLiteral("dlgProgresso"));
    m_dialog->setWindowTitle(title);
    m_dialog->setWindowModality(Qt::ApplicationModal);
    // Shown by step() after the delay, not by the dialog's own timer, which
    // would need the value to move first.
    m_dialog->setMinimumDuration(std::numeric_limits<int>::max());
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->reset();
    m_dialog->setAccessibleName(title);
    g_window = m_dialog;
}

LongWork::~LongWork()
{
    finish();
    delete m_dialog;
}

bool LongWork::running() { return g_current != nullptr; }

LongWork *LongWork::outermost()
{
    LongWork *w = this;
    while (w->m_outer)
        w = w->m_outer;
    return w;
}

void LongWork::setTotal(qint64 total)
{
    m_total = total;
    if (!m_dialog)
        return;
    if (total > 0 && total <= INT_MAX)
        m_dialog->setMaximum(int(total));
    else
        m_dialog->setMaximum(0);
}

void LongWork::setLabel(const QString &label)
{
    if (m_dialog)
        m_dialog->setLabelText(label);
    else if (m_outer)
        outermost()->setLabel(label);
}

bool LongWork::step(qint64 done, const QString &label)
{
    setLabel(label);
    return step(done);
}

bool LongWork::step(qint64 done)
{
    if (m_cancelAt > 0 && done >= m_cancelAt)
        m_cancelled = true;
    if (m_finished)
        return !m_cancelled;
    if (m_outer) {
        // The outer work's window answers for both.
        LongWork *top = outermost();
        if (!top->step(top->m_total > 0 ? -1 : done))
            m_cancelled = true;
        return !m_cancelled;
    }
    if (!m_dialog)
        return !m_cancelled;
    if (m_total > 0 && m_total <= INT_MAX && done >= 0)
        m_dialog->setValue(int(qMin(done, m_total)));
    if (!m_dialog->isVisible() && m_clock.elapsed() >= m_showAfterMs)
        m_dialog->show();
    // Safe only because the gate drops every input but "Cancelar".
    QCoreApplication::processEvents();
    if (m_dialog && m_dialog->wasCanceled())
        m_cancelled = true;
    return !m_cancelled;
}

bool LongWork::cancelled() const { return m_cancelled; }

void LongWork::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (g_current == this)
        g_current = m_outer;
    if (m_outer)
        return;
    if (m_dialog)
        m_dialog->close();
    // Clicks and keys the window system queued while the work held the
    // thread (after its last step, or all along for work without steps)
    // are dropped here, behind the gate, instead of running the command
    // again the moment the gate opens. Not while an exception unwinds: a
    // slot run now could throw a second one.
    if (std::uncaught_exceptions() == 0 && QCoreApplication::instance())
        QCoreApplication::processEvents();
    g_window = nullptr;
    if (g_gate) {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeEventFilter(g_gate);
        delete g_gate;
        g_gate = nullptr;
    }
}

qint64 LongWork::setCancelAtStepForTests(qint64 step)
{
    const qint64 before = g_cancelAt;
    g_cancelAt = step;
    return before;
}

