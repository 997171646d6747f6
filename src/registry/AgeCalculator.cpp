#include "registry/AgeCalculator.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/ServerClock.h"
#include "ui/FormHelpers.h"
#include "ui/FocusFlow.h"
#include "ui/Services.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <limits>

QDateTime shiftMonths(const QDateTime &from, int months)
{
    if (!from.isValid())
        return {};
    const QDate d = from.date();
    // Whole years first, then the remaining months with the sign of the shift.
    qint64 year = qint64(d.year()) + months / 12;
    int month = d.month() + months % 12;
    if (month < 1 || month > 12) {
        const int s = months < 0 ? -1 : 1;
        year += s;
        month -= 12 * s;
    }
    if (year < 1 || year > 9999)
        return {};
    const int last = QDate(int(year), month, 1).daysInMonth();
    const QDate shifted(int(year), month, qMin(d.day(), last));
    QDateTime r = from;
    r.setDate(shifted);
    return r;
}

int monthsBack(const QString &anos, const QString &meses, bool *ok)
{
    auto value = [](const QString &text, bool *good) -> qint64 {
        const QString t = text.trimmed();
        if (t.isEmpty()) {
            *good = true;
            return 0;
        }
        return t.toInt(good, 10);
    };
    bool okAnos = false;
    bool okMeses = false;
    const qint64 m = -value(meses, &okMeses) - 12 * value(anos, &okAnos);
    const bool good = okAnos && okMeses && m >= std::numeric_limits<int>::min() && m <= std::numeric_limits<int>::max();
    if (ok)
        *ok = good;
    return good ? int(m) : 0;
}

using FormHelpers::caption;
using FormHelpers::showError;

namespace {

} // namespace

CalculaIdadeScreen::CalculaIdadeScreen(QObject *target, std::function<bool()> editing,
                                       std::function<void(const QDate &)> write, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_target(target), m_editing(std::move(editing)), m_write(std::move(write))
{
    setObjectName(QStringLiteral("frmCalculaIdade"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Calcula Idade"));

    m_ano = new QLineEdit(this);
    m_ano->setObjectName(QStringLiteral("edtAno"));
    m_meses = new QLineEdit(this);
    m_meses->setObjectName(QStringLiteral("edtMeses"));
    m_dataNascimento = new QLineEdit(this);
    m_dataNascimento->setObjectName(QStringLiteral("edtDataNascimento"));
    m_dataNascimento->setInputMask(QStringLiteral("99/99/00;_"));
    FormHelpers::readOnlyGrey(m_dataNascimento);
    for (QLineEdit *e : {m_ano, m_meses, m_dataNascimento})
        e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00")) + 24);

    m_calcular = new QPushButton(QStringLiteral("&Calcular"), this);
    m_calcular->setObjectName(QStringLiteral("btnCalcular"));
    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    // Enter on a focused button presses it (years, Enter, months, Enter, Enter).
    m_calcular->setAutoDefault(true);
    m_ok->setAutoDefault(true);

    auto *grid = new QGridLayout;
    grid->addWidget(caption(QStringLiteral("Ano :"), m_ano, this), 0, 0);
    grid->addWidget(m_ano, 0, 1);
    grid->addWidget(caption(QStringLiteral("Mêses :"), m_meses, this), 0, 2);
    grid->addWidget(m_meses, 0, 3);
    grid->addWidget(caption(QStringLiteral("Data de Nascimanto :"), m_dataNascimento, this), 1, 0, 1, 2);
    grid->addWidget(m_dataNascimento, 1, 2, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_calcular);
    buttons->addWidget(m_ok);
    auto *main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_ano, m_meses);
    setTabOrder(m_meses, m_calcular);
    setTabOrder(m_calcular, m_ok);
    FormHelpers::installEnterAsTab(this);
    m_ano->setFocus();

    connect(m_calcular, &QPushButton::clicked, this, &CalculaIdadeScreen::calcular);
    connect(m_ok, &QPushButton::clicked, this, &CalculaIdadeScreen::ok);
}

void CalculaIdadeScreen::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        if (QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen())
            move(s->availableGeometry().center() - rect().center());
        // Digits typed now are years, not more of the animal's name.
        m_ano->setFocus();
        FocusFlow::focusFirst(this);
    }
}

void CalculaIdadeScreen::calcular()
{
    bool good = false;
    const int months = monthsBack(m_ano->text(), m_meses->text(), &good);
    if (!good) {
        Services::messages().error(QStringLiteral("Informe a idade em números inteiros."), this);
        return;
    }
    QDateTime now;
    try {
        // Read anew on every calculation: the window may stay open past midnight.
        now = serverNow(mainConnection());
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
        return;
    }
    const QDateTime born = shiftMonths(now, months);
    if (!born.isValid()) {
        Services::messages().error(QStringLiteral("A idade informada resulta numa data inválida."), this);
        return;
    }
    m_date = born;
    m_dataNascimento->setText(born.date().toString(QStringLiteral("dd/MM/yy")));
}

void CalculaIdadeScreen::ok()
{
    // The full date is handed over, not the two-digit text shown: read back
    // through the century window, an animal born in 1924 would become 2024.
    if (m_date.isValid() && m_target && m_editing && m_editing() && m_write)
        m_write(m_date.date());
    close();
}
