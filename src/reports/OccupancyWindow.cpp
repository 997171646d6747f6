#include "reports/OccupancyWindow.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "reports/OccupancyReport.h"
#include "reports/engine/Reports.h"
#include "ui/Buttons.h"
#include "ui/FormHelpers.h"
#include "ui/IdNameCombo.h"
#include "ui/ScreenCatalog.h"
#include "ui/Services.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QComboBox *monthBox(const QString &name, QWidget *parent)
{
    auto *b = new QComboBox(parent);
    b->setObjectName(name);
    const QLocale pt(QLocale::Portuguese, QLocale::Brazil);
    for (int m = 1; m <= 12; ++m)
        b->addItem(QStringLiteral("%1 - %2").arg(m, 2, 10, QLatin1Char('0')).arg(pt.standaloneMonthName(m)), m);
    return b;
}

QSpinBox *yearBox(const QString &name, QWidget *parent)
{
    auto *s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(2000, 2100);
    return s;
}

} // namespace

OcupacaoProgramaWindow::OcupacaoProgramaWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmOcupacaoPrograma"));
    setWindowTitle(QStringLiteral("053 - Ocupação do programa."));
    setAttribute(Qt::WA_DeleteOnClose);
    m_unit = new IdNameCombo(this);
    m_unit->setObjectName(QStringLiteral("cmbUnidade"));
    try {
        m_unit->fill(mainConnection(),
                     QStringLiteral("select id_unidade_trabalho, nome from unidade_trabalho where ind_status = 'ATIVO' "
                                    "order by id_unidade_trabalho"),
                     {}, IdNameCombo::Options{false, true, {}});
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
    m_fromMonth = monthBox(QStringLiteral("cmbMesInicial"), this);
    m_fromYear = yearBox(QStringLiteral("spnAnoInicial"), this);
    m_toMonth = monthBox(QStringLiteral("cmbMesFinal"), this);
    m_toYear = yearBox(QStringLiteral("spnAnoFinal"), this);
    // The year so far by default: what managers ask about most.
    const QDate today = QDate::currentDate();
    setPeriod(QDate(today.year(), 1, 1), today);

    auto *form = new QFormLayout;
    form->addRow(FormHelpers::caption(QStringLiteral("Unidade:"), m_unit, this), m_unit);
    auto *fromRow = new QHBoxLayout;
    fromRow->addWidget(m_fromMonth, 1);
    fromRow->addWidget(m_fromYear);
    form->addRow(FormHelpers::caption(QStringLiteral("De (mês/ano):"), m_fromMonth, this), fromRow);
    auto *toRow = new QHBoxLayout;
    toRow->addWidget(m_toMonth, 1);
    toRow->addWidget(m_toYear);
    form->addRow(FormHelpers::caption(QStringLiteral("Até (mês/ano):"), m_toMonth, this), toRow);
    auto *buttons = new ButtonRow(this);
    buttons->stretch();
    buttons->add(QStringLiteral("&Sair"), QStringLiteral("btnSair"), this, [this] {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
            sub->close();
        else
            close();
    });
    buttons->add(QStringLiteral("&Visualizar..."), QStringLiteral("btnVisualizar"), this, &OcupacaoProgramaWindow::visualizar);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addStretch(1);
    outer->addLayout(buttons);
    resize(420, 170);
}

void OcupacaoProgramaWindow::setPeriod(const QDate &from, const QDate &to)
{
    m_fromMonth->setCurrentIndex(from.month() - 1);
    m_fromYear->setValue(from.year());
    m_toMonth->setCurrentIndex(to.month() - 1);
    m_toYear->setValue(to.year());
}

QDate OcupacaoProgramaWindow::from() const
{
    return QDate(m_fromYear->value(), m_fromMonth->currentIndex() + 1, 1);
}

QDate OcupacaoProgramaWindow::to() const
{
    return QDate(m_toYear->value(), m_toMonth->currentIndex() + 1, 1).addMonths(1).addDays(-1);
}

void OcupacaoProgramaWindow::visualizar()
{
    if (to() < from()) {
        Services::messages().information(QStringLiteral("O mês final é anterior ao inicial."), this);
        m_toMonth->setFocus();
        return;
    }
    const int span = (to().year() - from().year()) * 12 + to().month() - from().month() + 1;
    if (span > Occupancy::MaxMonths) {
        Services::messages().information(QStringLiteral("O período pode ter no máximo %1 meses.").arg(Occupancy::MaxMonths), this);
        m_fromYear->setFocus();
        return;
    }
    Reports::open(Occupancy::report(mainConnection(), from(), to(), m_unit->currentId().toInt()), this);
}

void registerOccupancyReport(ScreenCatalog &catalog)
{
    catalog.add(53, [](QWidget *parent) -> QWidget * { return new OcupacaoProgramaWindow(parent); });
}
