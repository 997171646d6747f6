#include "scheduling/AgendaScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/ServerClock.h"
#include "ui/Buttons.h"
#include "ui/FormHelpers.h"
#include "scheduling/AgendaLocalizarPropWindow.h"
#include "scheduling/InformacaoAgendaDialog.h"
#include "scheduling/SchedulingHooks.h"
#include "scheduling/WeekNumberColumn.h"
#include "ui/IdNameCombo.h"
#include "ui/MarcacaoAtendimento.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/ScreenCatalog.h"
#include "ui/Services.h"
#include "ui/register/PagedQueryModel.h"

#include <QAction>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kWeekFailed =
    QStringLiteral("Erro ao tentar preencher a agenda. Talvez a tabela de semana epidemiológica não contempla esta data!");
const QString kWeekMissing =
    QStringLiteral("Semana epidemiológica não cadastrada, entre em contato com o administrador do sistema!");
const QString kUnits = QStringLiteral("select Id_Unidade_Trabalho, upper(Nome) as nome from unidade_trabalho order by Id_Unidade_Trabalho");
const QString kStatuses = QStringLiteral(
    "select Id_Atendimento_Status, Nome from atendimento_status where Ind_Status <> 'INATIVO' order by Id_Atendimento_Status");

AgendaScreen::AttendanceOpener &attendanceOpener()
{
    static AgendaScreen::AttendanceOpener f;
    return f;
}

QCalendarWidget *makeCalendar(QWidget *parent, const char *name, bool weekNumbers)
{
    auto *c = new QCalendarWidget(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setMinimumDate(QDate(2000, 1, 1));
    c->setMaximumDate(QDate(2100, 1, 1));
    c->setGridVisible(true);
    c->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    if (weekNumbers)
        c->setFirstDayOfWeek(Qt::Sunday);
    return c;
}

IdNameCombo *makeLookup(QWidget *parent, const char *name)
{
    auto *c = new IdNameCombo(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setMinimumWidth(220);
    return c;
}

} // namespace

void AgendaScreen::setAttendanceOpener(AttendanceOpener opener)
{
    attendanceOpener() = std::move(opener);
}

AgendaScreen::AgendaScreen(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmAgenda"));
    setWindowTitle(QStringLiteral("023 - Agenda"));
    auto *layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pgcAgenda"));
    m_model = new PagedQueryModel(this);
    m_model->setConnection(&mainConnection());
    m_model->setSource(Agenda::gridSource(), Agenda::gridColumns(), Agenda::gridKey());
    // In time order: the first page of a month or a year then comes straight
    // from the date indexes, without sorting every attendance of the period.
    m_model->sortBy(Agenda::DateColumn);
    m_tabs->addTab(buildPrincipal(), QStringLiteral("Principal"));
    m_tabs->addTab(buildWeekly(), QStringLiteral("Agenda semanal"));
    layout->addWidget(m_tabs);
    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("stbAgenda"));
    m_status->setSizeGripEnabled(false);
    layout->addWidget(m_status);
    buildContextMenu();

    twin(m_unit, m_unitWeek);
    twin(m_statusCombo, m_statusWeek);
    connect(m_calendar, &QCalendarWidget::clicked, this, [this](const QDate &d) {
        m_calendarWeek->setSelectedDate(d);
        refresh(false);
    });
    connect(m_calendarWeek, &QCalendarWidget::clicked, this, [this](const QDate &d) {
        m_calendar->setSelectedDate(d);
        refresh(false);
    });
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int i) {
        if (i == 1)
            weeklyTabEntered();
    });

    labelBoard();
    try {
        Connection &c = mainConnection();
        setDate(serverNow(c).date());
        for (IdNameCombo *u : {m_unit, m_unitWeek})
            u->fill(c, kUnits, {}, {true, false, {}});
        for (IdNameCombo *s : {m_statusCombo, m_statusWeek})
            s->fill(c, kStatuses, {}, {true, false, {}});
        m_weekNumbers->reload();
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
    resize(980, 620);
}

QWidget *AgendaScreen::buildPrincipal()
{
    auto *page = new QWidget(m_tabs);
    auto *grid = new QGridLayout(page);
    m_unit = makeLookup(page, "dblUnidadeTrabalho");
    m_statusCombo = makeLookup(page, "dblStatus");
    auto *fields = new QGridLayout;
    fields->addWidget(FormHelpers::caption(QStringLiteral("Unidade de Trabalho:"), m_unit, page), 0, 0);
    fields->addWidget(m_unit, 1, 0);
    fields->addWidget(FormHelpers::caption(QStringLiteral("Status do atendimento:"), m_statusCombo, page), 2, 0);
    fields->addWidget(m_statusCombo, 3, 0);

    auto *filtro = new QGroupBox(QStringLiteral(" Filtro "), page);
    filtro->setObjectName(QStringLiteral("rdgFiltro"));
    auto *fl = new QHBoxLayout(filtro);
    m_dia = new QRadioButton(QStringLiteral("Dia"), filtro);
    m_mes = new QRadioButton(QStringLiteral("Mês"), filtro);
    m_ano = new QRadioButton(QStringLiteral("Ano"), filtro);
    m_dia->setChecked(true);
    for (QRadioButton *r : {m_dia, m_mes, m_ano})
        fl->addWidget(r);
    fields->addWidget(filtro, 4, 0);

    auto *buttons = new ButtonRow(page);
    buttons->add(QStringLiteral("&Agendar novo atendimento..."), QStringLiteral("bmpAgendarNovo"), this, [this] { openAttendance(true); });
    buttons->add(QStringLiteral("Atualizar"), QStringLiteral("bmpAtualizar"), this, [this] { refresh(true); });
    buttons->add(QStringLiteral("Limpar"), QStringLiteral("bmpLimpar"), this, [this] { clearPrincipal(); });
    buttons->add(QStringLiteral("&Localizar..."), QStringLiteral("bmpLocalizar"), this, [this] { openSearch(); });
    fields->addLayout(buttons, 5, 0);

    auto *rel = new QGroupBox(QStringLiteral(" Relatório "), page);
    rel->setObjectName(QStringLiteral("grbRelatorio"));
    auto *rl = new QGridLayout(rel);
    m_relDiario = new QRadioButton(QStringLiteral("Diário"), rel);
    m_relMensal = new QRadioButton(QStringLiteral("Mensal"), rel);
    m_relAnual = new QRadioButton(QStringLiteral("Anual"), rel);
    m_relProfissional = new QRadioButton(QStringLiteral("Por profissional"), rel);
    m_relDiario->setChecked(true);
    rl->addWidget(m_relDiario, 0, 0);
    rl->addWidget(m_relMensal, 0, 1);
    rl->addWidget(m_relAnual, 1, 0);
    rl->addWidget(m_relProfissional, 1, 1);
    auto *gerar = new QPushButton(QStringLiteral("&Gerar relatório..."), rel);
    gerar->setObjectName(QStringLiteral("bmpGerarRelatorio"));
    connect(gerar, &QPushButton::clicked, this, &AgendaScreen::generateReport);
    rl->addWidget(gerar, 2, 0);
    auto *info = new QToolButton(rel);
    info->setObjectName(QStringLiteral("bmpInformacao"));
    info->setText(QStringLiteral("?"));
    info->setToolTip(QStringLiteral("Informações..."));
    info->setAccessibleName(QStringLiteral("Informações..."));
    connect(info, &QToolButton::clicked, this, &AgendaScreen::showInformation);
    rl->addWidget(info, 2, 1);
    fields->addWidget(rel, 6, 0);
    fields->setRowStretch(7, 1);

    m_calendar = makeCalendar(page, "mcdPrincipal", false);
    grid->addLayout(fields, 0, 0);
    grid->addWidget(m_calendar, 0, 1, Qt::AlignTop);
    grid->setColumnStretch(2, 1);

    m_grid = makeReadOnlyGrid(page, m_model, QStringLiteral("dbgPrincipal"), QStringLiteral("Atendimentos"));
    for (int i = 0; i < m_model->columns().size(); ++i)
        m_grid->setColumnWidth(i, m_model->columns().at(i).width);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &AgendaScreen::sortGrid);
    connect(m_grid, &QTableView::doubleClicked, this, [this] { openAttendance(false); });
    grid->addWidget(m_grid, 1, 0, 1, 3);
    grid->setRowStretch(1, 1);
    return page;
}

QWidget *AgendaScreen::buildWeekly()
{
    auto *page = new QWidget(m_tabs);
    auto *v = new QVBoxLayout(page);
    auto *top = new QHBoxLayout;
    auto *fields = new QGridLayout;
    m_unitWeek = makeLookup(page, "dblUnidadeSemanal");
    m_statusWeek = makeLookup(page, "dblStatusSemanal");
    fields->addWidget(FormHelpers::caption(QStringLiteral("Unidade de trabalho:"), m_unitWeek, page), 0, 0);
    fields->addWidget(m_unitWeek, 1, 0);
    fields->addWidget(FormHelpers::caption(QStringLiteral("Status do atendimento:"), m_statusWeek, page), 2, 0);
    fields->addWidget(m_statusWeek, 3, 0);
    auto *buttons = new QHBoxLayout;
    auto *atualizar = new QPushButton(QStringLiteral("&Atualizar"), page);
    atualizar->setObjectName(QStringLiteral("bmpAtualizarSemanal"));
    connect(atualizar, &QPushButton::clicked, this, &AgendaScreen::refreshWeek);
    auto *limpar = new QPushButton(QStringLiteral("&Limpar"), page);
    limpar->setObjectName(QStringLiteral("bmpLimparSemanal"));
    connect(limpar, &QPushButton::clicked, this, &AgendaScreen::clearWeekly);
    buttons->addWidget(atualizar);
    buttons->addWidget(limpar);
    fields->addLayout(buttons, 4, 0);
    fields->setRowStretch(5, 1);
    top->addLayout(fields);
    m_calendarWeek = makeCalendar(page, "mclAgendaSemanal", true);
    top->addWidget(WeekNumberColumn::besideCalendar(m_calendarWeek, &mainConnection(), page, &m_weekNumbers));
    top->addStretch(1);
    v->addLayout(top);

    m_board = new QTableWidget(Agenda::BoardRows + 1, 8, page);
    m_board->setObjectName(QStringLiteral("stgAgenda"));
    m_board->setAccessibleName(QStringLiteral("Agenda semanal"));
    m_board->horizontalHeader()->hide();
    m_board->verticalHeader()->hide();
    m_board->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_board->verticalHeader()->setDefaultSectionSize(m_board->fontMetrics().height() + 4);
    m_board->setColumnWidth(0, 60);
    for (int c = 1; c < 8; ++c)
        m_board->setColumnWidth(c, 150);
    connect(m_board, &QTableWidget::cellDoubleClicked, this, [this] { openAttendance(false); });
    v->addWidget(m_board, 1);
    return page;
}

void AgendaScreen::buildContextMenu()
{
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *novo = new QAction(QStringLiteral("&Novo atendimento..."), this);
    novo->setObjectName(QStringLiteral("actNovoAtendimento"));
    connect(novo, &QAction::triggered, this, [this] { openAttendance(false); });
    addAction(novo);
    auto *sep = new QAction(this);
    sep->setSeparator(true);
    addAction(sep);
    // Shortcuts into the main menu: the menu's own actions, so that its
    // permission gate still decides.
    const QList<QPair<QString, const char *>> entries{
        {QStringLiteral("Unidade de trabalho..."), "mnu001"}, {QStringLiteral("Status do atendimento..."), "mnu014"},
        {QStringLiteral("Profissional..."), "mnu007"},          {QStringLiteral("Cadastrar Proprietário/Animal..."), "mnu006"},
        {QStringLiteral("Procedimento medico..."), "mnu017"},   {QStringLiteral("Atendimento particular..."), "mnu008"},
        {QStringLiteral("Carteira de identificação..."), "mnu041"}, {QStringLiteral("Consulta resultado LVC"), "mnu045"},
        {QStringLiteral("Registro de ocorrência..."), "mnu022"}};
    for (const auto &e : entries) {
        auto *a = new QAction(e.first, this);
        const QString name = QString::fromLatin1(e.second);
        a->setObjectName(QStringLiteral("ctx_") + name);
        connect(a, &QAction::triggered, this, [this, name] { triggerMenu(name, 0); });
        addAction(a);
    }
}

void AgendaScreen::twin(IdNameCombo *a, IdNameCombo *b)
{
    auto copy = [this](IdNameCombo *from, IdNameCombo *to) {
        if (m_syncing)
            return;
        m_syncing = true;
        if (!to->selectId(from->currentId()))
            to->setCurrentIndex(from->currentIndex());
        m_syncing = false;
    };
    // The grid follows its filters at once: no other unit's bookings stay
    // listed until "Atualizar".
    auto changed = [this, copy](IdNameCombo *from, IdNameCombo *to) {
        if (m_syncing)
            return;
        copy(from, to);
        if (m_week)
            refresh(false);
    };
    connect(a, &QComboBox::currentIndexChanged, this, [=] { changed(a, b); });
    connect(b, &QComboBox::currentIndexChanged, this, [=] { changed(b, a); });
}

Agenda::Period AgendaScreen::period() const
{
    return m_mes->isChecked() ? Agenda::Period::Mes : m_ano->isChecked() ? Agenda::Period::Ano : Agenda::Period::Dia;
}

Agenda::Filter AgendaScreen::filter() const
{
    return {m_unit->currentId(), m_statusCombo->currentId()};
}

QDate AgendaScreen::date() const
{
    return m_calendar->selectedDate();
}

void AgendaScreen::setDate(const QDate &d)
{
    m_calendar->setSelectedDate(d);
    m_calendarWeek->setSelectedDate(d);
}

void AgendaScreen::labelBoard()
{
    auto set = [this](int r, int c, const QString &t) {
        auto *item = new QTableWidgetItem(t);
        if (r == 0 || c == 0)
            item->setBackground(palette().button());
        m_board->setItem(r, c, item);
    };
    m_board->clearContents();
    for (int c = 1; c <= 7; ++c)
        set(0, c, Agenda::boardDayNames().at(c - 1));
    for (int r = 1; r <= Agenda::BoardRows; ++r)
        set(r, 0, Agenda::boardTimes().at(r - 1));
}

void AgendaScreen::fillBoard(const Agenda::Board &b)
{
    for (int c = 1; c <= 7; ++c) {
        m_board->item(0, c)->setText(b.titles.value(c - 1));
        for (int r = 1; r <= Agenda::BoardRows; ++r)
            m_board->setItem(r, c, new QTableWidgetItem);
    }
    for (int r = 0; r < Agenda::BoardRows; ++r)
        for (int d = 0; d < Agenda::BoardDays; ++d)
            if (b.counts[r][d] > 0)
                m_board->item(r + 1, d + 1)->setText(QString::number(b.counts[r][d]));
    m_weekTotal = b.weekTotal;
}

void AgendaScreen::standOn(const QVariant &key)
{
    // The attendance that was current stays current while listed; else the
    // first row, so that the commands that open "the current attendance"
    // never open none.
    int row = -1;
    if (key.isValid() && !key.isNull())
        row = m_model->rowOf(QStringLiteral("a.Id_Atendimento = :zapo_current"), {{QStringLiteral("zapo_current"), key}});
    if (row < 0 && m_model->rowCount() > 0)
        row = 0;
    if (row >= 0)
        m_grid->setCurrentIndex(m_model->index(row, 0));
}

void AgendaScreen::refresh(bool sayWhenEmpty)
{
    Connection &c = mainConnection();
    const QDate day = m_calendarWeek->selectedDate();
    const QModelIndex was = m_grid->currentIndex();
    const QVariant current = was.isValid() && was.row() < m_model->rowCount() ? m_model->key(was.row()) : QVariant();
    try {
        const QList<Agenda::Week> weeks = Agenda::weeksHolding(c, day);
        if (weeks.size() != 1) {
            m_status->showMessage(kWeekFailed);
            Services::messages().information(kWeekMissing, this);
            return;
        }
        m_week = weeks.first();
        QVariantMap p;
        m_model->setCountSource(Agenda::gridCountSource());
        m_model->setFilter(Agenda::gridCondition(filter(), Agenda::periodRange(date(), period()), &p), p);
        m_model->reload();
        standOn(current);
        fillBoard(Agenda::readBoard(c, *m_week, filter()));
    } catch (const DbError &e) {
        m_status->showMessage(kWeekFailed);
        FormHelpers::showError(e, this);
        return;
    }
    m_status->showMessage(QStringLiteral("Total registro do ") + Agenda::periodWord(period()) + QStringLiteral(" :")
                          + QString::number(m_model->rowCount()) + QStringLiteral(" Total de registro na semana: ")
                          + QString::number(m_weekTotal));
    if (sayWhenEmpty && m_model->rowCount() == 0)
        Services::messages().information(QStringLiteral("Nenhum registro encontrado."), this);
}

void AgendaScreen::refreshWeek()
{
    // The whole refresh: the week check, the grid and the board, for the
    // calendar's day.
    refresh(false);
}

void AgendaScreen::weeklyTabEntered()
{
    // The board's week is the week of the calendar's day; nothing is read
    // again until "&Atualizar".
    try {
        if (auto w = Agenda::weekOf(mainConnection(), m_calendarWeek->selectedDate()))
            m_week = w;
    } catch (const DbError &) {
        m_status->showMessage(kWeekFailed);
    }
}

void AgendaScreen::clearPrincipal()
{
    m_unit->setCurrentIndex(0);
    m_statusCombo->setCurrentIndex(0);
    m_model->clear();
}

void AgendaScreen::clearWeekly()
{
    for (IdNameCombo *c : {m_unit, m_statusCombo, m_unitWeek, m_statusWeek})
        c->setCurrentIndex(0);
    m_calendar->setSelectedDate(m_calendarWeek->selectedDate());
    refresh(false);
}

void AgendaScreen::sortGrid(int column)
{
    if (m_model->rowCount() == 0 && m_model->filter().isEmpty())
        return;
    if (!m_model->sortBy(column))
        return;
    try {
        m_model->reload();
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}

void AgendaScreen::openAttendance(bool newBooking)
{
    int id = 0;
    const QModelIndex cur = m_grid->currentIndex();
    if (cur.isValid() && m_model->rowCount() > 0)
        id = m_model->key(cur.row()).toInt();
    if (newBooking) {
        // A booking of the book's own: no owner or animal handed over.
        TMarcacaoAtendimento &m = marcacaoAtendimento();
        m.Origem = 0;
        m.IdProprietario.clear();
        m.IdAnimal.clear();
    }
    if (attendanceOpener())
        attendanceOpener()(this, date(), id);
}

void AgendaScreen::openSearch()
{
    auto *w = new AgendaLocalizarPropWindow(this, [this](int id) { showAttendance(id); });
    w->show();
}

void AgendaScreen::showAttendance(int idAtendimento)
{
    QVariantMap p;
    // One attendance whatever its owner: counted over the whole source.
    m_model->setCountSource({});
    m_model->setFilter(Agenda::gridConditionForKey(idAtendimento, &p), p);
    try {
        m_model->reload();
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 0));
}

void AgendaScreen::showInformation()
{
    if (m_model->rowCount() == 0) {
        Services::messages().information(QStringLiteral("Nenhum registro encontrado!"), this);
        return;
    }
    QString text;
    try {
        text = Agenda::summary(mainConnection(), date(), period(), filter());
    } catch (const DbError &) {
        Services::messages().error(QStringLiteral("Erro ao tentar realizar a pesquisa."), this);
        return;
    }
    InformacaoAgendaDialog::present(text, this);
}

void AgendaScreen::generateReport()
{
    if (m_relMensal->isChecked())
        triggerMenu(QStringLiteral("mnu051"), 51);
    else if (m_relAnual->isChecked())
        triggerMenu(QStringLiteral("mnu052"), 52);
    else if (m_relProfissional->isChecked())
        triggerMenu(QStringLiteral("mnu040"), 40);
    else
        triggerMenu(QStringLiteral("mnuRel050"), 150);
}

void AgendaScreen::triggerMenu(const QString &objectName, int catalogNumber)
{
    SchedulingHooks::openFromMenu(this, objectName, catalogNumber);
}
