#include "ui/Progress.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <climits>
#include <limits>

namespace {
qint64 g_cancelAt = 0;
}

Progress::Progress(const QString &title, const QString &label, QWidget *parent, int showAfterMs)
    : m_showAfterMs(showAfterMs), m_cancelAt(g_cancelAt)
{
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
    m_clock.start();
}

Progress::~Progress()
{
    finish();
    delete m_dialog;
}

void Progress::setTotal(qint64 total)
{
    m_total = total;
    if (!m_dialog)
        return;
    if (total > 0 && total <= INT_MAX)
        m_dialog->setMaximum(int(total));
    else
        m_dialog->setMaximum(0);
}

void Progress::setLabel(const QString &label)
{
    if (m_dialog)
        m_dialog->setLabelText(label);
}

bool Progress::step(qint64 done, const QString &label)
{
    setLabel(label);
    return step(done);
}

bool Progress::step(qint64 done)
{
    if (m_cancelAt > 0 && done >= m_cancelAt)
        m_cancelled = true;
    if (!m_dialog)
        return !m_cancelled;
    if (m_total > 0 && m_total <= INT_MAX)
        m_dialog->setValue(int(qMin(done, m_total)));
    if (!m_dialog->isVisible() && m_clock.elapsed() >= m_showAfterMs)
        m_dialog->show();
    QCoreApplication::processEvents();
    if (m_dialog->wasCanceled())
        m_cancelled = true;
    return !m_cancelled;
}

bool Progress::cancelled() const { return m_cancelled; }

void Progress::finish()
{
    if (m_dialog)
        m_dialog->close();
}

qint64 Progress::setCancelAtStepForTests(qint64 step)
{
    const qint64 before = g_cancelAt;
    g_cancelAt = step;
    return before;
}
