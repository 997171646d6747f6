#include "scheduling/AgendaNovoAtendimentoScreen.h"
#include "db/RowChange.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "mail/BackgroundMail.h"
#include "mail/MailTransport.h"
#include "ui/Buttons.h"
#include "ui/FormHelpers.h"
#include "db/OwnerSearch.h"
#include "scheduling/AutorizaCirurgiaReport.h"
#include "scheduling/BookingNotice.h"
#include "scheduling/ClinicalTabs.h"
#include "scheduling/DeskSlot.h"
#include "scheduling/SchedulingHooks.h"
#include "ui/HourEdit.h"
#include "ui/IdNameCombo.h"
#include "ui/LongWork.h"
#include "ui/MarcacaoAtendimento.h"
#include "ui/RecordKeys.h"
#include "ui/Services.h"
#include "ui/register/PagedQueryModel.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include "ui/DateEdit.h"
#include "ui/ReadOnlyGrid.h"
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTimer>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
// The owner's name alone, which the name field takes from a completion.
constexpr int kOwnerNameRole = Qt::UserRole + 1;
}

namespace {

const QString kSucesso = QStringLiteral("Operação realizada com sucesso!");

int toInt(const QVariant &v)
{
    return v.isValid() && !v.isNull() ? v.toInt() : 0;
}


// The name of a stored unit or animal, for the entry that shows it.
QString storedName(const char *table, const QVariant &id)
{
    if (!id.isValid() || id.isNull())
        return {};
    try {
        const QString key = QLatin1String(table) == QLatin1String("animal") ? QStringLiteral("Id_Animal") : QStringLiteral("Id_Unidade_Trabalho");
        return Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Nome from %1 where %2 = :k").arg(QLatin1String(table), key),
                                     {{QStringLiteral("k"), id}}));
    } catch (const DbError &) {
        return {};
    }
}

} // namespace

AgendaNovoAtendimentoScreen::AgendaNovoAtendimentoScreen(QWidget *parent, const QVariant &unitOfRegister) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmAgendaNovoAtendimento"));
    setWindowTitle(QStringLiteral("Novo atendimento."));
    auto *v = new QVBoxLayout(this);
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tlbAtendimento"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    v->addWidget(bar);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pgcAtendimento"));
    v->addWidget(m_tabs, 1);
    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("stbAtendimento"));
    m_status->setSizeGripEnabled(false);
    // The booking e-mail's progress and outcome, kept in sight while other
    // messages come and go.
    m_mailState = new QLabel(m_status);
    m_mailState->setObjectName(QStringLiteral("stbEmail"));
    m_status->addPermanentWidget(m_mailState);
    v->addWidget(m_status);

    m_list = new PagedQueryModel(this);
    m_list->setConnection(&mainConnection());
    PagedQueryModel::Column idCol;
    idCol.title = QStringLiteral("Cód. atend.");
    idCol.expression = QStringLiteral("a.Id_Atendimento");
    m_list->setSource(QStringLiteral("atendimento a"), {idCol}, QStringLiteral("a.Id_Atendimento"));

    m_tabs->addTab(buildIdentification(), QStringLiteral("Identificação"));
    m_clinical = new ClinicalTabs(m_tabs, m_status, [this] { return toInt(currentKey()); },
                                  [this] { return m_state.editing(); });
    connect(m_clinical, &ClinicalTabs::editingChanged, this, [this] { updateActions(); });
    m_tabs->addTab(buildSummary(), QStringLiteral("Resumo atend."));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int) {
        if (m_tabs->currentWidget() != m_summary->parentWidget())
            m_summary->setRowCount(0); // leaving the tab closes the grid
    });
    buildToolbar(bar);
    FormHelpers::installEnterAsTab(this);

    Connection &c = mainConnection();
    try {
        m_unit->fill(c, QStringLiteral("select Id_Unidade_Trabalho, Nome from unidade_trabalho "
                                       "where upper(Ind_Status) <> 'INATIVO' order by Nome"),
                     {}, {true, false, {}});
        m_statusCombo->fill(c, QStringLiteral("select Id_Atendimento_Status, Nome from atendimento_status order by Id_Atendimento_Status"),
                            {}, {true, false, {}});
        m_clinical->openLookups();
        TMarcacaoAtendimento &m = marcacaoAtendimento();
        if (m.Origem == 1 && !m.IdProprietario.isEmpty() && !m.IdAnimal.isEmpty()) {
            m.Origem = 0; // consumed
            reloadList(QStringLiteral("1=2"), {}, {});
            startNew(m.IdProprietario.toInt(), m.IdAnimal.toInt(), unitOfRegister, serverNow(c).date());
        } else {
            show(std::nullopt);
        }
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
    updateActions();
    resize(820, 600);
}

AgendaNovoAtendimentoScreen::~AgendaNovoAtendimentoScreen() = default;

QWidget *AgendaNovoAtendimentoScreen::buildIdentification()
{
    auto *page = new QWidget(m_tabs);
    auto *g = new QGridLayout(page);
    int row = 0;
    auto add = [&](const QString &caption, QWidget *editor, int span = 1) {
        g->addWidget(FormHelpers::caption(caption, editor, page), row, 0);
        g->addWidget(editor, row, 1, 1, span);
        ++row;
    };
    auto readOnly = [&](const char *name) {
        auto *e = new QLineEdit(page);
        e->setObjectName(QString::fromLatin1(name));
        FormHelpers::readOnlyGrey(e);
        e->setMaximumWidth(120);
        return e;
    };
    m_id = readOnly("dbeId_Atendimento");
    add(QStringLiteral("Cód. atend.:"), m_id);
    m_unit = new IdNameCombo(page);
    m_unit->setObjectName(QStringLiteral("dblUnidade_Agendada"));
    add(QStringLiteral("Unidade de Trabalho:"), m_unit);
    m_ownerId = readOnly("dbeId_Proprietario");
    add(QStringLiteral("Cód. prop.:"), m_ownerId);
    // Owners are found by the start of the name as it is typed: the city
    // has hundreds of thousands of them, too many for a list.
    m_ownerName = new QLineEdit(page);
    m_ownerName->setObjectName(QStringLiteral("dblProprietario"));
    m_ownerName->setPlaceholderText(QStringLiteral("Digite o início do nome"));
    m_ownerMatches = new QStandardItemModel(this);
    m_ownerCompleter = new QCompleter(m_ownerMatches, this);
    m_ownerCompleter->setCaseSensitivity(Qt::CaseInsensitive);
    m_ownerCompleter->setCompletionRole(kOwnerNameRole);
    m_ownerCompleter->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_ownerName->setCompleter(m_ownerCompleter);
    connect(m_ownerName, &QLineEdit::textEdited, this, &AgendaNovoAtendimentoScreen::ownerTyped);
    connect(m_ownerCompleter, qOverload<const QModelIndex &>(&QCompleter::activated), this,
            [this](const QModelIndex &i) { setOwner(i.data(Qt::UserRole)); });
    add(QStringLiteral("Proprietário:"), m_ownerName, 2);
    m_animalId = readOnly("dbeId_Animal");
    add(QStringLiteral("Cód. animal:"), m_animalId);
    m_animal = new IdNameCombo(page);
    m_animal->setObjectName(QStringLiteral("dblAnimal"));
    connect(m_animal, &QComboBox::currentIndexChanged, this, &AgendaNovoAtendimentoScreen::animalChosen);
    add(QStringLiteral("Animal:"), m_animal);
    m_date = new DateEdit(page);
    m_date->setObjectName(QStringLiteral("dtpData"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    m_date->setDateRange(QDate(2000, 1, 1), QDate(2050, 1, 1));
    add(QStringLiteral("Data:"), m_date);
    m_hour = new HourEdit(page);
    m_hour->setObjectName(QStringLiteral("edtHora"));
    m_hour->setMaximumWidth(80);
    add(QStringLiteral("Hora:"), m_hour);
    // Beside the date and hour: what the map offers then (the web service
    // fills the same places).
    m_slotInfo = new QLabel(page);
    m_slotInfo->setObjectName(QStringLiteral("lblVagaMapa"));
    m_slotInfo->setWordWrap(true);
    g->addWidget(m_slotInfo, row - 2, 2, 2, 1);
    connect(m_date, &QDateEdit::dateChanged, this, &AgendaNovoAtendimentoScreen::showSlot);
    connect(m_hour, &QLineEdit::textChanged, this, &AgendaNovoAtendimentoScreen::showSlot);
    connect(m_unit, &QComboBox::currentIndexChanged, this, &AgendaNovoAtendimentoScreen::showSlot);
    connect(m_animal, &QComboBox::currentIndexChanged, this, &AgendaNovoAtendimentoScreen::showSlot);
    m_statusCombo = new IdNameCombo(page);
    m_statusCombo->setObjectName(QStringLiteral("dblStatus"));
    add(QStringLiteral("Status atendimento:"), m_statusCombo);
    auto *autoriza = new QWidget(page);
    autoriza->setObjectName(QStringLiteral("rdgAutorizaCirurgia"));
    auto *al = new QHBoxLayout(autoriza);
    al->setContentsMargins(0, 0, 0, 0);
    m_autorizaSim = new QRadioButton(QStringLiteral("Sim"), autoriza);
    m_autorizaNao = new QRadioButton(QStringLiteral("Não"), autoriza);
    al->addWidget(m_autorizaSim);
    al->addWidget(m_autorizaNao);
    al->addStretch(1);
    add(QStringLiteral("Autorizado cirurgia:"), autoriza);
    m_esterilizado = new QComboBox(page);
    m_esterilizado->setObjectName(QStringLiteral("dblEsterilizado"));
    m_esterilizado->addItems({QStringLiteral("SIM"), QStringLiteral("NAO")});
    m_esterilizado->setCurrentIndex(-1);
    add(QStringLiteral("Esterilizado:"), m_esterilizado);

    auto *buttons = new ButtonRow(page);
    buttons->add(QStringLiteral("&Autor. cirurgia..."), QStringLiteral("bmpAutorizaCirurgia"), this, &AgendaNovoAtendimentoScreen::autorizaCirurgia);
    buttons->add(QStringLiteral("&Receituário..."), QStringLiteral("bmpReceituario"), this, &AgendaNovoAtendimentoScreen::receituario);
    buttons->stretch();
    g->addLayout(buttons, row, 0, 1, 3);
    g->setRowStretch(row + 1, 1);
    g->setColumnStretch(2, 1);
    return page;
}

QWidget *AgendaNovoAtendimentoScreen::buildSummary()
{
    auto *page = new QWidget(m_tabs);
    auto *v = new QVBoxLayout(page);
    m_summary = new QTableWidget(0, 4, page);
    m_summary->setObjectName(QStringLiteral("dbgResumo"));
    m_summary->setAccessibleName(QStringLiteral("Resumo atend."));
    m_summary->setHorizontalHeaderLabels({QStringLiteral("Data atendimento"), QStringLiteral("Especie"),
                                          QStringLiteral("Status do agendamento"), QStringLiteral("Procedimentos")});
    m_summary->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_summary->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_summary->verticalHeader()->hide();
    m_summary->horizontalHeader()->setStretchLastSection(true);
    m_summary->setSortingEnabled(true);
    ReadOnlyGrid::fitColumns(m_summary);
    v->addWidget(m_summary, 1);
    auto *b = new QPushButton(QStringLiteral("&Atualizar"), page);
    b->setObjectName(QStringLiteral("bmpAtualizarResumo"));
    connect(b, &QPushButton::clicked, this, &AgendaNovoAtendimentoScreen::atualizarResumo);
    v->addWidget(b, 0, Qt::AlignLeft);
    return page;
}

void AgendaNovoAtendimentoScreen::buildToolbar(QToolBar *bar)
{
    using C = RecordCommand;
    QList<FormHelpers::ToolbarEntry> entries{
        {"actAppend", QStringLiteral("Novo"), recordKeys(C::Novo), [this] { novo(); }},
        {"actEdit", QStringLiteral("Alterar"), recordKeys(C::Alterar), [this] { alterar(); }},
        {"actRefresh", QStringLiteral("Atualizar"), recordKeys(C::Atualizar), [this] { atualizar(); }},
        {"actPost", QStringLiteral("Gravar"), recordKeys(C::Gravar), [this] { gravar(); }},
        {"actCancel", QStringLiteral("Cancelar"), recordKeys(C::Cancelar), [this] { cancelar(); }},
        {},
        {"actFirst", QStringLiteral("Primeiro"), recordKeys(C::Primeiro), [this] { moveTo(0); }},
        {"actPrior", QStringLiteral("Anterior"), recordKeys(C::Anterior), [this] { moveTo(m_state.row - 1); }},
        {"actNext", QStringLiteral("Próximo"), recordKeys(C::Proximo), [this] { moveTo(m_state.row + 1); }},
        {"actLast", QStringLiteral("Último"), recordKeys(C::Ultimo), [this] { moveTo(m_state.rowCount - 1); }},
        {},
        {"actSair", QStringLiteral("Sair"), {QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { close(); }},
        {"actReenviarEmail", QStringLiteral("Reenviar e-mail"), {}, [this] { reenviarEmail(); }}};
    FormHelpers::addToolbarActions(this, bar, entries, m_actions);
    // "Excluir" answers its keys but has no button.
    auto *del = new QAction(QStringLiteral("Excluir"), this);
    del->setObjectName(QStringLiteral("actDelete"));
    del->setShortcuts(recordKeys(C::Excluir));
    del->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(del, &QAction::triggered, this, &AgendaNovoAtendimentoScreen::excluir);
    addAction(del);
    m_actions.insert(del->objectName(), del);
}

void AgendaNovoAtendimentoScreen::reloadList(const QString &condition, const QVariantMap &params, const QVariant &selectKey)
{
    m_listCondition = condition;
    m_listParams = params;
    m_beforeNew.reset();
    m_list->setFilter(condition, params);
    m_list->reload();
    m_state.rowCount = m_list->rowCount();
    int row = m_state.rowCount > 0 ? 0 : -1;
    if (selectKey.isValid() && m_state.rowCount > 0) {
        // The list is in key order: the row of a key is the number of keys
        // before it, counted without reading the pages in between.
        QVariantMap p = params;
        p.insert(QStringLiteral("zapo_key"), selectKey.toInt());
        const QString where = condition.isEmpty() ? QString() : QStringLiteral("(") + condition + QStringLiteral(") and ");
        const int before = Sql::scalar(mainConnection(),
                                       QStringLiteral("select count(*) from atendimento a where ") + where
                                           + QStringLiteral("a.Id_Atendimento < :zapo_key"),
                                       p)
                               .toInt();
        if (before < m_state.rowCount && m_list->key(before).toInt() == selectKey.toInt())
            row = before;
    }
    m_state.mode = RecordMode::Browse;
    moveTo(row);
}

void AgendaNovoAtendimentoScreen::openList(int idAtendimento)
{
    try {
        if (idAtendimento > 0)
            reloadList(QStringLiteral("a.Id_Atendimento = :id"), {{QStringLiteral("id"), idAtendimento}}, idAtendimento);
        else
            reloadList(QString(), {}, {});
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}

void AgendaNovoAtendimentoScreen::setDate(const QDate &d)
{
    m_bookDate = d;
    if (!m_current || !m_current->Data_Hora_Atendimento.isValid())
        m_date->setDate(d);
}

QVariant AgendaNovoAtendimentoScreen::currentKey() const
{
    return m_current ? m_current->Id_Atendimento : QVariant();
}

void AgendaNovoAtendimentoScreen::moveTo(int row)
{
    if (m_clinical && m_clinical->prescriptionEditing())
        return;
    if (m_state.editing() || row < 0 || row >= m_state.rowCount) {
        if (row < 0 && !m_state.editing()) {
            m_state.row = -1;
            show(std::nullopt);
        }
        updateActions();
        return;
    }
    m_state.row = row;
    try {
        show(AttendanceStore(mainConnection()).load(m_list->key(row).toInt()));
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
    updateActions();
}

void AgendaNovoAtendimentoScreen::show(const std::optional<Atendimento> &a)
{
    m_current = a;
    m_id->setText(a ? a->Id_Atendimento.toString() : QString());
    // The stored unit and animal stay shown (and stored) even when the lists,
    // which offer new attendances only current ones, no longer hold them.
    m_unit->selectStored(a ? a->Id_Unidade_Agendada : QVariant(), a ? storedName("unidade_trabalho", a->Id_Unidade_Agendada) : QString());
    if (!a || !m_unit->currentId().isValid())
        m_unit->setCurrentIndex(0);
    setOwner(a ? a->Id_Proprietario : QVariant());
    if (a)
        m_animal->selectStored(a->Id_Animal, storedName("animal", a->Id_Animal));
    animalChosen();
    if (a && a->Data_Hora_Atendimento.isValid()) {
        m_date->setDate(a->Data_Hora_Atendimento.date());
        m_hour->setTime(a->Data_Hora_Atendimento.time());
    } else {
        if (m_bookDate.isValid())
            m_date->setDate(m_bookDate);
        m_hour->clear();
    }
    if (!a || !m_statusCombo->selectId(a->Id_Atendimento_Status))
        m_statusCombo->setCurrentIndex(0);
    const bool nao = a && a->Ind_Autoriza_Cirurgia == QLatin1String("NAO");
    m_autorizaNao->setChecked(nao);
    m_autorizaSim->setChecked(a && !nao);
    m_clinical->load(a ? toInt(a->Id_Atendimento) : 0);
}

void AgendaNovoAtendimentoScreen::setOwner(const QVariant &id)
{
    m_owner = id.isValid() && !id.isNull() && id.toInt() > 0 ? QVariant(id.toInt()) : QVariant();
    m_ownerId->setText(m_owner.isValid() ? m_owner.toString() : QString());
    QString name;
    try {
        if (m_owner.isValid())
            name = Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Nome from proprietario where Id_Proprietario = :p"),
                                         {{QStringLiteral("p"), m_owner}}));
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
    m_ownerName->setText(name);
    fillAnimals(m_owner);
}

void AgendaNovoAtendimentoScreen::ownerTyped(const QString &text)
{
    m_ownerMatches->clear();
    if (text.trimmed().size() < 2)
        return;
    try {
        Connection &c = mainConnection();
        QVariantMap p;
        const QString cond = OwnerSearch::namePrefixCondition(c, QStringLiteral("b.Nome"), text, &p);
        const QString sql = c.dialect().paged(
            QStringLiteral("select b.Id_Proprietario, b.Nome, b.Num_CPF_CNPJ from proprietario b where b.Status_Registro = 'ATIVO' and ") + cond
                + QStringLiteral(" order by ") + c.dialect().folded(QStringLiteral("b.Nome")) + QStringLiteral(", b.Id_Proprietario"),
            30, 0);
        QSqlQuery q = Sql::exec(c, sql, p);
        while (q.next()) {
            // Two owners of one name are told apart by their code and tax
            // number; the field takes the name alone.
            const QString name = Sql::text(q.value(1));
            const QString cpf = Sql::text(q.value(2));
            auto *item = new QStandardItem(QStringLiteral("%1  -  Cód. %2%3")
                                               .arg(name, Sql::text(q.value(0)),
                                                    cpf.isEmpty() ? QString() : QStringLiteral("  -  CPF/CNPJ ") + cpf));
            item->setData(q.value(0), Qt::UserRole);
            item->setData(name, kOwnerNameRole);
            m_ownerMatches->appendRow(item);
        }
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
    m_ownerCompleter->complete();
}

void AgendaNovoAtendimentoScreen::fillAnimals(const QVariant &idProprietario)
{
    try {
        m_animal->fill(mainConnection(),
                       QStringLiteral("select Id_Animal, Nome from animal where Id_Proprietario = :p order by Id_Animal"),
                       {{QStringLiteral("p"), idProprietario.isValid() ? idProprietario.toInt() : -1}}, {true, false, {}});
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
    animalChosen();
}

void AgendaNovoAtendimentoScreen::animalChosen()
{
    const QVariant id = m_animal->currentId();
    m_animalId->setText(id.isValid() ? id.toString() : QString());
    QString flag;
    try {
        flag = AttendanceStore(mainConnection()).esterilizado(id);
    } catch (const DbError &) {
    }
    m_esterilizadoLoaded = flag;
    m_esterilizado->setCurrentIndex(m_esterilizado->findText(flag));
}

void AgendaNovoAtendimentoScreen::startNew(const QVariant &owner, const QVariant &animal, const QVariant &unit, const QDate &day)
{
    setMode(RecordMode::Insert);
    show(std::nullopt);
    if (owner.isValid())
        setOwner(owner);
    if (animal.isValid())
        m_animal->selectId(animal);
    if (unit.isValid())
        m_unit->selectId(unit);
    if (day.isValid())
        m_date->setDate(day);
    m_autorizaSim->setChecked(true);
    m_unit->setFocus();
}

void AgendaNovoAtendimentoScreen::setMode(RecordMode m)
{
    m_state.mode = m;
    const bool on = m != RecordMode::Browse;
    for (QWidget *w : std::initializer_list<QWidget *>{m_unit, m_ownerName, m_animal, m_date, m_hour, m_statusCombo,
                                                        m_autorizaSim, m_autorizaNao, m_esterilizado})
        w->setEnabled(on);
    updateActions();
}

void AgendaNovoAtendimentoScreen::updateActions()
{
    auto set = [this](const char *name, bool on) {
        if (QAction *a = m_actions.value(QString::fromLatin1(name)); a && !a->property("zapoRefused").toBool())
            a->setEnabled(on);
    };
    // While a prescription is typed the attendance stays where it is, as a
    // record being typed does.
    const bool rx = m_clinical && m_clinical->prescriptionEditing();
    set("actAppend", m_state.canAppend() && !m_state.editing() && !rx);
    set("actEdit", m_state.canEdit() && m_state.row >= 0 && !rx);
    set("actDelete", !m_state.editing() && !rx);
    set("actRefresh", !m_state.editing() && !rx);
    set("actPost", m_state.canPost());
    set("actCancel", m_state.canCancel());
    set("actFirst", m_state.canGoBack() && !rx);
    set("actPrior", m_state.canGoBack() && !rx);
    set("actNext", m_state.canGoForward() && !rx);
    set("actLast", m_state.canGoForward() && !rx);
    // One message at a time: a second click while one travels would mail twice.
    set("actReenviarEmail", !m_state.editing() && currentKey().isValid() && m_sending == 0);
    if (!m_state.editing())
        for (QWidget *w : std::initializer_list<QWidget *>{m_unit, m_ownerName, m_animal, m_date, m_hour, m_statusCombo,
                                                            m_autorizaSim, m_autorizaNao, m_esterilizado})
            w->setEnabled(false);
}

void AgendaNovoAtendimentoScreen::novo()
{
    const Before before{m_listCondition, m_listParams, currentKey()};
    try {
        reloadList(QStringLiteral("1=2"), {}, {});
        if (before.condition != QLatin1String("1=2"))
            m_beforeNew = before;
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
        return;
    }
    startNew({}, {}, {}, m_bookDate.isValid() ? m_bookDate : m_date->date());
}

void AgendaNovoAtendimentoScreen::alterar()
{
    if (!m_current)
        return;
    setMode(RecordMode::Edit);
}

void AgendaNovoAtendimentoScreen::cancelar()
{
    if (const std::optional<Before> b = m_beforeNew; m_state.mode == RecordMode::Insert && b) {
        try { // a new attendance given up: back to what the clerk was looking at
            reloadList(b->condition, b->params, b->key);
            return updateActions();
        } catch (const DbError &e) {
            FormHelpers::showError(e, this);
        }
    }
    m_state.mode = RecordMode::Browse;
    if (m_state.row >= 0 && m_state.row < m_state.rowCount)
        moveTo(m_state.row);
    else
        show(std::nullopt);
    updateActions();
}

void AgendaNovoAtendimentoScreen::atualizar()
{
    try {
        reloadList(QString(), {}, currentKey());
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}

bool AgendaNovoAtendimentoScreen::validate()
{
    // "Gravar" on the toolbar takes no focus: a date still being typed is
    // read now, or refused.
    if (!m_date->check())
        return false;
    const int h = m_hour->hours(), m = m_hour->minutes();
    if (h < 0 || h > 23 || m < 0 || m > 59) {
        Services::messages().information(QStringLiteral("Falta preencher a hora do atendimento ou hora invalida!"), this);
        FormHelpers::markRefused(m_hour);
        return false;
    }
    auto refuse = [this](QWidget *w, const QString &text) {
        Services::messages().information(text, this);
        FormHelpers::markRefused(w);
        return false;
    };
    if (!m_statusCombo->currentId().isValid())
        return refuse(m_statusCombo, QStringLiteral("Falta selecionar o status."));
    if (!m_owner.isValid())
        return refuse(m_ownerName, QStringLiteral("Falta selecionar o proprietário."));
    if (!m_animal->currentId().isValid())
        return refuse(m_animal, QStringLiteral("Falta selecionar o animal."));
    if (!m_unit->currentId().isValid())
        return refuse(m_unit, QStringLiteral("Falta selecionar a unidade de trabalho."));
    return true;
}

Atendimento AgendaNovoAtendimentoScreen::collect() const
{
    Atendimento a;
    if (m_current && m_state.mode == RecordMode::Edit)
        a = *m_current;
    a.Id_Proprietario = m_owner;
    a.Id_Animal = m_animal->currentId();
    a.Id_Unidade_Agendada = m_unit->currentId();
    a.Data_Hora_Atendimento = QDateTime(m_date->date(), m_hour->time());
    a.Id_Atendimento_Status = m_statusCombo->currentId();
    a.Ind_Autoriza_Cirurgia = QStringLiteral("SIM");
    if (m_state.mode == RecordMode::Insert) {
        bool ok = false;
        const int unit = usuarioLogado().IdUnidadeTrabalho.toInt(&ok);
        a.Id_Unidade_Trabalho = ok ? QVariant(unit) : QVariant();
    }
    return a;
}

void AgendaNovoAtendimentoScreen::gravar()
{
    if (!m_state.editing())
        return;
    // Every save authorises the surgery.
    m_autorizaSim->setChecked(true);
    if (!validate())
        return;
    const Atendimento a = collect();
    if (!slotAccepted(a))
        return;
    const QString flag = m_esterilizado->currentText();
    AttendanceStore store(mainConnection());
    try {
        if (m_state.mode == RecordMode::Insert) {
            const int key = store.insert(a, flag, m_esterilizadoLoaded);
            m_state.mode = RecordMode::Browse;
            reloadList(QStringLiteral("a.Id_Animal = :a"), {{QStringLiteral("a"), a.Id_Animal}}, key);
            setMode(RecordMode::Browse);
            notify(key, true);
            return;
        }
        if (!store.update(a, m_current ? *m_current : a, flag, m_esterilizadoLoaded)) {
            Services::messages().error(QStringLiteral("O atendimento não existe mais: foi excluído em outra estação."), this);
            return;
        }
    } catch (const StaleRecord &e) {
        // Another workstation changed what the clerk changed: the stored
        // values are shown, to be changed again on top of them.
        if (m_state.mode == RecordMode::Insert) {
            animalChosen();
        } else {
            setMode(RecordMode::Browse);
            moveTo(m_state.row);
        }
        Services::messages().warning(e.text(), this);
        return;
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
        return;
    }
    setMode(RecordMode::Browse);
    moveTo(m_state.row);
    Services::messages().information(kSucesso, this);
}

void AgendaNovoAtendimentoScreen::showSlot()
{
    if (!m_slotInfo)
        return;
    const QTime t = m_hour->time();
    DeskSlot s;
    try {
        s = DeskSlot::read(mainConnection(), m_unit->currentId(), m_animal->currentId(),
                           t.isValid() ? QDateTime(m_date->date(), t) : QDateTime(),
                           m_current ? m_current->Id_Atendimento : QVariant());
    } catch (const DbError &) {
        // A line of information: nothing rather than a box at each keystroke.
    }
    m_slotInfo->setText(s.text());
}

bool AgendaNovoAtendimentoScreen::slotAccepted(const Atendimento &a)
{
    // Only a new place is asked about: an alteration that keeps unit, animal
    // and date-hour takes nothing more, and a cancelled booking holds none.
    if (a.Id_Atendimento_Status.toInt() == 7)
        return true;
    if (m_state.mode == RecordMode::Edit && m_current && m_current->Id_Unidade_Agendada == a.Id_Unidade_Agendada
        && m_current->Id_Animal == a.Id_Animal && m_current->Data_Hora_Atendimento == a.Data_Hora_Atendimento)
        return true;
    DeskSlot s;
    try {
        s = DeskSlot::read(mainConnection(), a.Id_Unidade_Agendada, a.Id_Animal, a.Data_Hora_Atendimento,
                           m_state.mode == RecordMode::Edit ? a.Id_Atendimento : QVariant());
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
        return false;
    }
    if (!s.known || s.free() > 0)
        return true;
    return Services::messages().confirm(noFreeSlotQuestion(), this);
}

void AgendaNovoAtendimentoScreen::excluir()
{
    if (m_state.editing())
        return;
    if (!Services::messages().confirm(
            QStringLiteral(" Você esta preste a excluir definitivamente o registro deste animal.\rDeseja continuar?"), this))
        return;
    if (m_state.rowCount == 0 || !currentKey().isValid()) {
        Services::messages().information(QStringLiteral("Não há registro!"), this);
        return;
    }
    try {
        switch (AttendanceStore(mainConnection()).remove(toInt(currentKey()))) {
        case AttendanceStore::Removal::HasClinicalRows:
            Services::messages().information(
                QStringLiteral("Atendimento com profissionais, procedimentos, medicamentos ou receituários.\r"
                               "Registro não pode ser excluído!"),
                this);
            return;
        case AttendanceStore::Removal::Missing:
        case AttendanceStore::Removal::Removed:
            break;
        }
        const int row = m_state.row;
        reloadList(m_listCondition, m_listParams, {});
        moveTo(qMin(row, m_state.rowCount - 1));
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
        return;
    }
    Services::messages().information(kSucesso, this);
}

void AgendaNovoAtendimentoScreen::autorizaCirurgia()
{
    if (m_state.editing()) {
        Services::messages().information(
            QStringLiteral("Você esta cadastrando ou alterando um atendimento, é necessário concluir esta operação clicando "
                           "primeiramente em \"GRAVAR\" antes de imprimir a autorização para cirurgia."),
            this);
        return;
    }
    AutorizaCirurgiaReport::open(mainConnection(), toInt(currentKey()), this);
}

void AgendaNovoAtendimentoScreen::receituario()
{
    if (const auto &print = SchedulingHooks::prescriptionPrinter())
        print(this, toInt(currentKey()), m_clinical ? m_clinical->prescriptionText()->toPlainText() : QString());
}

void AgendaNovoAtendimentoScreen::atualizarResumo()
{
    m_summary->setSortingEnabled(false);
    m_summary->setRowCount(0);
    try {
        Connection &c = mainConnection();
        const QDate day = m_date->date();
        QSqlQuery q = Sql::exec(
            c,
            QStringLiteral("select a.Id_Atendimento, a.Data_Hora_Atendimento, d.Nome as nomeEspecie, b.Nome "
                           "from atendimento a "
                           "left join atendimento_status b on (a.Id_Atendimento_Status = b.Id_Atendimento_Status) "
                           "left join animal c on (a.Id_Animal = c.Id_Animal) "
                           "left join especie d on (c.Id_Especie = d.Id_Especie) "
                           "where a.Id_Unidade_Agendada = :u and a.Data_Hora_Atendimento >= :de and a.Data_Hora_Atendimento < :ate "
                           "order by a.Id_Unidade_Agendada, b.Nome, a.Data_Hora_Atendimento, a.Id_Atendimento_Status"),
            {{QStringLiteral("u"), m_unit->currentId().isValid() ? m_unit->currentId().toInt() : -1},
             {QStringLiteral("de"), QDateTime(day, QTime(0, 0))},
             {QStringLiteral("ate"), QDateTime(day.addDays(1), QTime(0, 0))}});
        QList<QStringList> rows;
        QList<int> ids;
        while (q.next()) {
            ids << q.value(0).toInt();
            rows << QStringList{Formats::dateTime(q.value(1).toDateTime()), Sql::text(q.value(2)), Sql::text(q.value(3))};
        }
        for (int i = 0; i < rows.size(); ++i) {
            QStringList names;
            QSqlQuery p = Sql::exec(c,
                                    QStringLiteral("select b.Nome from procedimento a left join tipo_procedimento b "
                                                   "on (a.Id_Tipo_Procedimento = b.Id_Tipo_Procedimento) "
                                                   "where a.Id_Atendimento = :a order by a.Id_Procedimento"),
                                    {{QStringLiteral("a"), ids.at(i)}});
            while (p.next())
                names << Sql::text(p.value(0));
            rows[i] << names.join(QLatin1Char(','));
        }
        m_summary->setRowCount(int(rows.size()));
        for (int r = 0; r < rows.size(); ++r)
            for (int col = 0; col < 4; ++col)
                m_summary->setItem(r, col, new QTableWidgetItem(rows.at(r).at(col)));
    } catch (const DbError &) {
        Services::messages().information(QStringLiteral("Erro ao tentar ao recuperar os dados!"), this);
    }
    m_summary->setSortingEnabled(true);
}

void AgendaNovoAtendimentoScreen::closeEvent(QCloseEvent *e)
{
    TMarcacaoAtendimento &m = marcacaoAtendimento();
    m.IdProprietario.clear();
    m.IdAnimal.clear();
    QWidget::closeEvent(e);
}
