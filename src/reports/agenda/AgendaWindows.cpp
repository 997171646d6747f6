#include "reports/agenda/AgendaWindows.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "ui/Buttons.h"
#include "ui/FormHelpers.h"
#include "reports/agenda/AgendaReports.h"
#include "reports/animals/AnimalReports.h"
#include "reports/engine/Reports.h"
#include "ui/IdNameCombo.h"
#include "ui/ScreenCatalog.h"
#include "ui/Services.h"

#include <QComboBox>
#include "ui/DateEdit.h"
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace AgendaWindows {

void closeWindow(QWidget *w)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget()))
        sub->close();
    else
        w->close();
}

} // namespace AgendaWindows

namespace {

DateEdit *dateEdit(const QString &objectName, const QDate &start, QWidget *parent)
{
    auto *e = new DateEdit(start, parent);
    e->setObjectName(objectName);
    e->setCalendarPopup(true);
    e->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    return e;
}

// The month of today, the period most reports are asked for.
QDate firstOfThisMonth()
{
    const QDate today = QDate::currentDate();
    return QDate(today.year(), today.month(), 1);
}
QDate lastOfThisMonth() { return firstOfThisMonth().addMonths(1).addDays(-1); }

// The day the first animal was registered: a report "since the start" then
// counts every animal (today when there is none, or it cannot be read).
QDate firstRegistration()
{
    try {
        const QDateTime t = Sql::scalar(mainConnection(), QStringLiteral("select min(Inserido_Em) from animal")).toDateTime();
        if (t.isValid())
            return t.date();
    } catch (const DbError &) {
    }
    return QDate::currentDate();
}

} // namespace

// ---------------------------------------------------------------------------

SelAgendaProfissionalWindow::SelAgendaProfissionalWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmSelAgendaProfissional"));
    setWindowTitle(QStringLiteral("Agenda profissional."));
    setAttribute(Qt::WA_DeleteOnClose);
    setProperty("noWindowButtons", true);
    auto *outer = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_prof = new IdNameCombo(this);
    m_prof->setObjectName(QStringLiteral("cmbProfissional"));
    m_prof->fill(mainConnection(), QStringLiteral("select id_profissional, nome from profissional order by id_profissional"), {},
                 IdNameCombo::Options{false, true, {}});
    form->addRow(FormHelpers::caption(QStringLiteral("Profissional:"), m_prof, this), m_prof);
    m_ini = dateEdit(QStringLiteral("dtpInicial"), firstOfThisMonth(), this);
    form->addRow(FormHelpers::caption(QStringLiteral("Inicial:"), m_ini, this), m_ini);
    m_fim = dateEdit(QStringLiteral("dtpFinal"), lastOfThisMonth(), this);
    form->addRow(FormHelpers::caption(QStringLiteral("Final:"), m_fim, this), m_fim);
    outer->addLayout(form);
    auto *buttons = new ButtonRow(this);
    buttons->stretch();
    buttons->add(QStringLiteral("&Cancelar"), QStringLiteral("btnCancelar"), this, [this] { AgendaWindows::closeWindow(this); });
    buttons->add(QStringLiteral("&Visualizar..."), QStringLiteral("btnVisualizar"), this, &SelAgendaProfissionalWindow::visualizar);
    outer->addLayout(buttons);
}

void SelAgendaProfissionalWindow::visualizar()
{
    if (!DateEdit::checkAll(this))
        return;
    const int id = m_prof->currentId().toInt();
    if (Reports::openForPeriod(AgendaReports::professional(mainConnection(), id, m_ini->date(), m_fim->date()), this))
        AgendaWindows::closeWindow(this);
}

// ---------------------------------------------------------------------------

namespace {
QVariant g_nextDailyUnit;
QDate g_nextDailyDay;
} // namespace

void SelRelDataUnidadeWindow::presetNextDaily(const QVariant &unit, const QDate &day)
{
    g_nextDailyUnit = day.isValid() ? unit : QVariant();
    g_nextDailyDay = day;
}

SelRelDataUnidadeWindow::SelRelDataUnidadeWindow(int mode, QWidget *parent) : QWidget(parent), m_mode(mode)
{
    setObjectName(QStringLiteral("frmSelRelDataUnidade"));
    setWindowTitle(QStringLiteral("Seleção de relatório."));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *outer = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_unit = new IdNameCombo(this);
    m_unit->setObjectName(QStringLiteral("cmbUnidade"));
    form->addRow(FormHelpers::caption(QStringLiteral("Unidade :"), m_unit, this), m_unit);
    outer->addLayout(form);
    auto *periodo = new QGroupBox(QStringLiteral(" Periodo "), this);
    periodo->setObjectName(QStringLiteral("grbPeriodo"));
    auto *pf = new QFormLayout(periodo);
    // The animal reports count since the first registration up to today;
    // the daily agenda shows this month.
    const bool animals = mode == AgendaWindows::Consolidado || mode == AgendaWindows::Microchipado;
    m_ini = dateEdit(QStringLiteral("dtpInicio"), animals ? firstRegistration() : firstOfThisMonth(), periodo);
    pf->addRow(FormHelpers::caption(QStringLiteral("Inicio:"), m_ini, periodo), m_ini);
    m_fim = dateEdit(QStringLiteral("dtpFim"), animals ? QDate::currentDate() : lastOfThisMonth(), periodo);
    pf->addRow(FormHelpers::caption(QStringLiteral("Fim:"), m_fim, periodo), m_fim);
    outer->addWidget(periodo);
    auto *buttons = new ButtonRow(this);
    buttons->stretch();
    buttons->add(QStringLiteral("&Sair"), QStringLiteral("btnSair"), this, [this] { AgendaWindows::closeWindow(this); });
    buttons->add(QStringLiteral("&Visualizar impr."), QStringLiteral("btnVisualizar"), this, &SelRelDataUnidadeWindow::visualizar);
    outer->addLayout(buttons);
    if (mode != AgendaWindows::Consolidado && mode != AgendaWindows::Microchipado && g_nextDailyDay.isValid()) {
        m_ini->setDate(g_nextDailyDay);
        m_fim->setDate(g_nextDailyDay);
        m_presetUnit = g_nextDailyUnit;
        g_nextDailyDay = QDate();
        g_nextDailyUnit = QVariant();
    }
    fillUnits();
}

void SelRelDataUnidadeWindow::fillUnits()
{
    if (m_mode == AgendaWindows::Consolidado) {
        // The consolidated charts are city-wide: the unit is shown, not chosen.
        m_unit->clear();
        m_unit->addItem(QStringLiteral("0 - Todos"), 0);
        m_unit->setEnabled(false);
        return;
    }
    m_unit->fill(mainConnection(),
                 QStringLiteral("select id_unidade_trabalho, nome from unidade_trabalho where ind_status = 'ATIVO' "
                                "order by id_unidade_trabalho"),
                 {}, IdNameCombo::Options{false, true, {}});
    if (m_presetUnit.isValid())
        m_unit->selectId(m_presetUnit);
}

void SelRelDataUnidadeWindow::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    try {
        fillUnits();
    } catch (const DbError &err) {
        Services::messages().error(err.text(), this);
    }
}

void SelRelDataUnidadeWindow::visualizar()
{
    if (!DateEdit::checkAll(this))
        return;
    const QVariant unit = m_unit->currentId();
    if (!unit.isValid()) {
        Services::messages().information(QStringLiteral("Falta selecionar a unidade!"), this);
        return;
    }
    bool shown = false;
    Connection &c = mainConnection();
    switch (m_mode) {
    case AgendaWindows::Consolidado:
        shown = AnimalReports::openConsolidated(c, m_ini->date(), m_fim->date(), this);
        break;
    case AgendaWindows::Microchipado:
        shown = AnimalReports::openMicrochipped(c, unit.toInt(), m_ini->date(), m_fim->date(), this);
        break;
    default:
        shown = Reports::openForPeriod(AgendaReports::daily(c, unit.toInt(), m_ini->date(), m_fim->date()), this);
        break;
    }
    if (shown)
        AgendaWindows::closeWindow(this);
}

// ---------------------------------------------------------------------------

SelRelAgendaMensalWindow::SelRelAgendaMensalWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmSelRelAgendaMensal"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *outer = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_year = new QComboBox(this);
    m_year->setObjectName(QStringLiteral("cmbAno"));
    m_year->setEditable(true);
    const int thisYear = QDate::currentDate().year();
    for (int y = 2005; y <= thisYear; ++y)
        m_year->addItem(QString::number(y));
    m_year->setCurrentIndex(m_year->count() - 1);
    form->addRow(FormHelpers::caption(QStringLiteral("Ano:"), m_year, this), m_year);
    m_month = new QComboBox(this);
    m_month->setObjectName(QStringLiteral("cmbMes"));
    const QStringList months = {QStringLiteral("Janeiro"),  QStringLiteral("Fevereiro"), QStringLiteral("Março"),
                                QStringLiteral("Abril"),    QStringLiteral("Maio"),      QStringLiteral("Junho"),
                                QStringLiteral("Julho"),    QStringLiteral("Agosto"),    QStringLiteral("Setembro"),
                                QStringLiteral("Outubro"),  QStringLiteral("Novembro"),  QStringLiteral("Dezembro")};
    for (int m = 0; m < months.size(); ++m)
        m_month->addItem(QStringLiteral("%1 - %2").arg(m + 1, 2, 10, QLatin1Char('0')).arg(months.at(m)), m + 1);
    m_month->setCurrentIndex(QDate::currentDate().month() - 1);
    form->addRow(FormHelpers::caption(QStringLiteral("Mês:"), m_month, this), m_month);
    m_unit = new IdNameCombo(this);
    m_unit->setObjectName(QStringLiteral("cmbUnidade"));
    m_unit->fill(mainConnection(), QStringLiteral("select id_unidade_trabalho, nome from unidade_trabalho order by id_unidade_trabalho"),
                 {}, IdNameCombo::Options{false, true, {}});
    form->addRow(FormHelpers::caption(QStringLiteral("Unidade:"), m_unit, this), m_unit);
    outer->addLayout(form);
    auto *buttons = new ButtonRow(this);
    buttons->stretch();
    buttons->add(QStringLiteral("Gerar relatório..."), QStringLiteral("btnGerar"), this, &SelRelAgendaMensalWindow::gerar);
    buttons->add(QStringLiteral("&Sair"), QStringLiteral("btnSair"), this, [this] { AgendaWindows::closeWindow(this); });
    outer->addLayout(buttons);
}

void SelRelAgendaMensalWindow::gerar()
{
    // The year is typed freely: anything but four digits (like the month or
    // unit left blank) gives the message and a report with its header only.
    const std::optional<int> year = AgendaReports::yearOf(m_year->currentText());
    const QVariant month = m_month->currentData();
    const QVariant unit = m_unit->currentId();
    const bool complete = year && month.isValid() && unit.isValid();
    if (!complete)
        Services::messages().information(
            QStringLiteral("O relatório não pode ser construído, entre em contato com o administrador do sistema."), this);
    ReportDefinition def = AgendaReports::monthly(mainConnection(), complete ? year : std::nullopt, month.toInt(), unit.toInt());
    if (Reports::open(def, this))
        AgendaWindows::closeWindow(this);
}

// ---------------------------------------------------------------------------

SelRelAgendaAnualWindow::SelRelAgendaAnualWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmSelRelAgendaAnual"));
    setWindowTitle(QStringLiteral("Agenda anual."));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *outer = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_year = new QComboBox(this);
    m_year->setObjectName(QStringLiteral("cmbAno"));
    // This year first chosen; a year of bookings ahead is offered too.
    const int thisYear = QDate::currentDate().year();
    for (int y = 2005; y <= thisYear + 1; ++y)
        m_year->addItem(QString::number(y), y);
    m_year->setCurrentIndex(m_year->findData(thisYear));
    form->addRow(FormHelpers::caption(QStringLiteral("Ano:"), m_year, this), m_year);
    outer->addLayout(form);
    auto *buttons = new ButtonRow(this);
    buttons->stretch();
    buttons->add(QStringLiteral("Gerar relatório..."), QStringLiteral("btnGerar"), this, &SelRelAgendaAnualWindow::gerar);
    buttons->add(QStringLiteral("&Sair"), QStringLiteral("btnSair"), this, [this] { AgendaWindows::closeWindow(this); });
    outer->addLayout(buttons);
}

void SelRelAgendaAnualWindow::gerar()
{
    if (Reports::openForPeriod(AgendaReports::annual(mainConnection(), m_year->currentData().toInt()), this))
        AgendaWindows::closeWindow(this);
}

// ---------------------------------------------------------------------------

void registerAgendaReports(ScreenCatalog &catalog)
{
    using namespace AgendaWindows;
    catalog.add(Profissional, [](QWidget *parent) -> QWidget * { return new SelAgendaProfissionalWindow(parent); });
    catalog.add(Diaria, [](QWidget *parent) -> QWidget * { return new SelRelDataUnidadeWindow(50, parent); });
    catalog.add(Consolidado, [](QWidget *parent) -> QWidget * { return new SelRelDataUnidadeWindow(Consolidado, parent); });
    catalog.add(Microchipado, [](QWidget *parent) -> QWidget * { return new SelRelDataUnidadeWindow(Microchipado, parent); });
    catalog.add(Mensal, [](QWidget *parent) -> QWidget * { return new SelRelAgendaMensalWindow(parent); });
    catalog.add(Anual, [](QWidget *parent) -> QWidget * { return new SelRelAgendaAnualWindow(parent); });
}
