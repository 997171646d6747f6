#include "scheduling/ClinicalTabs.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/Sql.h"
#include "ui/Buttons.h"
#include "ui/FormHelpers.h"
#include "scheduling/AttendanceStore.h"
#include "scheduling/SchedulingHooks.h"
#include "ui/IdNameCombo.h"
#include "ui/Services.h"
#include "ui/ReadOnlyGrid.h"

#include <QAction>
#include <QEvent>
#include <QLocale>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString kSucesso = QStringLiteral("Operação realizada com sucesso!");
const QString kConfirm = QStringLiteral("Você esta preste a excluir definitivamente um registro!\rDeseja continuar?");
const QString kNotEditing =
    QStringLiteral("Click em \"Novo\" para inserir um novo texto ou \"Alterar\" para alterar o texto atual!");

QTableWidget *makeGrid(QWidget *parent, const char *name, const QStringList &titles)
{
    auto *g = new QTableWidget(0, int(titles.size()), parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setHorizontalHeaderLabels(titles);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->verticalHeader()->hide();
    g->horizontalHeader()->setStretchLastSection(true);
    ReadOnlyGrid::fitColumns(g);
    return g;
}

// Fills a grid from a statement; the first column is the row's key, kept
// as item data of the first cell.
void fillGrid(QTableWidget *g, const QString &sql, int idAtendimento)
{
    g->setRowCount(0);
    if (idAtendimento <= 0)
        return;
    QSqlQuery q = Sql::exec(mainConnection(), sql, {{QStringLiteral("a"), idAtendimento}});
    while (q.next()) {
        const int r = g->rowCount();
        g->insertRow(r);
        for (int c = 0; c < g->columnCount(); ++c) {
            const QVariant v = q.value(c + 1);
            auto *item = new QTableWidgetItem(v.typeId() == QMetaType::Double ? Formats::number(v.toDouble()) : Sql::text(v));
            if (c == 0)
                item->setData(Qt::UserRole, q.value(0));
            g->setItem(r, c, item);
        }
    }
}

int selectedKey(QTableWidget *g)
{
    const int r = g->currentRow();
    return r >= 0 && g->item(r, 0) ? g->item(r, 0)->data(Qt::UserRole).toInt() : 0;
}

} // namespace

ClinicalTabs::ClinicalTabs(QTabWidget *tabs, QStatusBar *status, std::function<int()> attendance,
                           std::function<bool()> attendanceBusy)
    : QObject(tabs), m_tabs(tabs), m_status(status), m_attendance(std::move(attendance)), m_busy(std::move(attendanceBusy))
{
    m_profPage = buildProfessionals();
    tabs->addTab(m_profPage, QStringLiteral("Profissionais"));
    tabs->addTab(buildProcedures(), QStringLiteral("Procedimentos"));
    tabs->addTab(buildMedicines(), QStringLiteral("Medicamento gasto"));
    tabs->addTab(buildPrescriptions(), QStringLiteral("Receituários"));
    connect(tabs, &QTabWidget::currentChanged, this, [this](int) {
        if (m_tabs->currentWidget() == m_profPage)
            reloadProfessionalLookup();
    });
    updateRxActions();
}

QWidget *ClinicalTabs::buildProfessionals()
{
    auto *page = new QWidget(m_tabs);
    auto *g = new QGridLayout(page);
    m_prof = new IdNameCombo(page);
    m_prof->setObjectName(QStringLiteral("dblProfissional"));
    g->addWidget(FormHelpers::caption(QStringLiteral("Profissionais:"), m_prof, page), 0, 0);
    g->addWidget(m_prof, 0, 1);
    auto *inc = commandButton(QStringLiteral("&Incluir"), QStringLiteral("bmpIncluirProfissional"), page);
    auto *exc = commandButton(QStringLiteral("&Excluir"), QStringLiteral("bmpExcluirProfissional"), page);
    auto *agenda = commandButton(QStringLiteral("&Agenda prof."), QStringLiteral("bmpAgendaProfissional"), page);
    connect(inc, &QPushButton::clicked, this, &ClinicalTabs::addProfessional);
    connect(exc, &QPushButton::clicked, this, &ClinicalTabs::removeProfessional);
    connect(agenda, &QPushButton::clicked, this, [this] { SchedulingHooks::openFromMenu(m_tabs, QStringLiteral("mnu040"), 40); });
    g->addWidget(inc, 0, 2);
    g->addWidget(exc, 0, 3);
    g->addWidget(agenda, 0, 4);
    m_profGrid = makeGrid(page, "dbgProfissional", {QStringLiteral("Profissional")});
    g->addWidget(m_profGrid, 1, 0, 1, 5);
    g->setColumnStretch(1, 1);
    return page;
}

QWidget *ClinicalTabs::buildProcedures()
{
    auto *page = new QWidget(m_tabs);
    auto *g = new QGridLayout(page);
    m_proc = new IdNameCombo(page);
    m_proc->setObjectName(QStringLiteral("dblProcedimento"));
    g->addWidget(FormHelpers::caption(QStringLiteral("Procedimento:"), m_proc, page), 0, 0);
    g->addWidget(m_proc, 0, 1);
    auto *inc = commandButton(QStringLiteral("&Incluir"), QStringLiteral("bmpIncluirProcedimento"), page);
    auto *exc = commandButton(QStringLiteral("&Excluir"), QStringLiteral("bmpExcluirProcedimento"), page);
    connect(inc, &QPushButton::clicked, this, &ClinicalTabs::addProcedure);
    connect(exc, &QPushButton::clicked, this, &ClinicalTabs::removeProcedure);
    g->addWidget(inc, 0, 2);
    g->addWidget(exc, 0, 3);
    m_procGrid = makeGrid(page, "dbgProcedimento", {QStringLiteral("Procedimento")});
    g->addWidget(m_procGrid, 1, 0, 1, 4);
    g->setColumnStretch(1, 1);
    return page;
}

QWidget *ClinicalTabs::buildMedicines()
{
    auto *page = new QWidget(m_tabs);
    auto *g = new QGridLayout(page);
    m_med = new IdNameCombo(page);
    m_med->setObjectName(QStringLiteral("dblMedicamento"));
    m_medida = new QLabel(page);
    m_medida->setObjectName(QStringLiteral("lblMedida"));
    connect(m_med, &QComboBox::currentIndexChanged, this, &ClinicalTabs::medicineChosen);
    m_quant = new QLineEdit(page);
    m_quant->setObjectName(QStringLiteral("edtQuantidade"));
    m_quant->setMaximumWidth(90);
    connect(m_quant, &QLineEdit::editingFinished, this, [this] {
        bool ok = false;
        if (!m_quant->text().trimmed().isEmpty() && (Formats::parseNumber(m_quant->text(), &ok), !ok))
            Services::messages().information(QStringLiteral("Valor invalido!"), m_quant);
    });
    g->addWidget(FormHelpers::caption(QStringLiteral("Medicamento:"), m_med, page), 0, 0);
    g->addWidget(m_med, 0, 1);
    g->addWidget(m_medida, 0, 2);
    g->addWidget(FormHelpers::caption(QStringLiteral("Quant.:"), m_quant, page), 0, 3);
    g->addWidget(m_quant, 0, 4);
    auto *inc = commandButton(QStringLiteral("&Incluir"), QStringLiteral("bmpIncluirMedicamento"), page);
    auto *exc = commandButton(QStringLiteral("&Excluir"), QStringLiteral("bmpExcluirMedicamento"), page);
    connect(inc, &QPushButton::clicked, this, &ClinicalTabs::addMedicine);
    connect(exc, &QPushButton::clicked, this, &ClinicalTabs::removeMedicine);
    g->addWidget(inc, 0, 5);
    g->addWidget(exc, 0, 6);
    m_medGrid = makeGrid(page, "dbgMedicamento", {QStringLiteral("Medicamento"), QStringLiteral("Quant."), QStringLiteral("Medida")});
    g->addWidget(m_medGrid, 1, 0, 1, 7);
    g->setColumnStretch(1, 1);
    return page;
}

QWidget *ClinicalTabs::buildPrescriptions()
{
    auto *page = new QWidget(m_tabs);
    auto *v = new QVBoxLayout(page);
    auto *bar = new QToolBar(page);
    bar->setObjectName(QStringLiteral("tlbReceituario"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    FormHelpers::addToolbarActions(page, bar,
                                   {{"actRxInsert", QStringLiteral("&Insert"), {}, [this] { rxInsert(); }},
                                    {"actRxEdit", QStringLiteral("&Edit"), {}, [this] { rxEdit(); }},
                                    {"actRxDelete", QStringLiteral("&Delete"), {}, [this] { rxDelete(); }},
                                    {"actRxRefresh", QStringLiteral("&Refresh"), {}, [this] { rxRefresh(); }},
                                    {"actRxPost", QStringLiteral("P&ost"), {}, [this] { rxPost(); }},
                                    {"actRxCancel", QStringLiteral("&Cancel"), {}, [this] { rxCancel(); }},
                                    {"actRxFirst", QStringLiteral("&First"), {}, [this] { rxMove(0); }},
                                    {"actRxPrior", QStringLiteral("&Prior"), {}, [this] { rxMove(m_rxIndex - 1); }},
                                    {"actRxNext", QStringLiteral("&Next"), {}, [this] { rxMove(m_rxIndex + 1); }},
                                    {"actRxLast", QStringLiteral("&Last"), {}, [this] { rxMove(int(m_prescriptions.size()) - 1); }},
                                    {"actRxPrint", QStringLiteral("Imprimir"), {}, [this] { rxPrint(); }}},
                                   m_actions);
    v->addWidget(bar);
    auto *row = new QHBoxLayout;
    m_peso = new IdNameCombo(page);
    m_peso->setObjectName(QStringLiteral("dblPeso"));
    m_peso->installEventFilter(this);
    row->addWidget(FormHelpers::caption(QStringLiteral("Peso:"), m_peso, page));
    row->addWidget(m_peso);
    auto *byWeight = commandButton(QStringLiteral("Inserir texto por peso."), QStringLiteral("bmpTextoPeso"), page);
    auto *standard = commandButton(QStringLiteral("&Inserir texto padrão."), QStringLiteral("bmpTextoPadrao"), page);
    auto *screen20 = commandButton(QStringLiteral("&Texto padrão..."), QStringLiteral("bmpReceituarioPadrao"), page);
    connect(byWeight, &QPushButton::clicked, this, &ClinicalTabs::insertWeightText);
    connect(standard, &QPushButton::clicked, this, &ClinicalTabs::insertStandardText);
    connect(screen20, &QPushButton::clicked, this, [this] { SchedulingHooks::openFromMenu(m_tabs, QStringLiteral("mnu020"), 20); });
    row->addWidget(byWeight);
    row->addWidget(standard);
    row->addWidget(screen20);
    row->addStretch(1);
    v->addLayout(row);
    m_text = new QPlainTextEdit(page);
    m_text->setObjectName(QStringLiteral("dbmDescricao"));
    m_text->setAccessibleName(QStringLiteral("Receituário"));
    m_text->setReadOnly(true);
    v->addWidget(m_text, 1);
    return page;
}

void ClinicalTabs::openLookups()
{
    Connection &c = mainConnection();
    const IdNameCombo::Options empty{true, false, {}};
    m_proc->fill(c, QStringLiteral("select Id_Tipo_Procedimento, Nome from tipo_procedimento order by Nome"), {}, empty);
    m_med->fill(c, QStringLiteral("select Id_Medicamento, Nome from medicamento order by Nome"), {}, empty);
    fillWeights();
    reloadProfessionalLookup();
}

void ClinicalTabs::fillWeights()
{
    IdNameCombo::Options weight{true, false, {}};
    // Weights as the clerk writes them: "12,5".
    weight.text = [](const QVariant &, const QString &peso) {
        bool ok = false;
        const double v = peso.toDouble(&ok);
        return ok ? QLocale(QLocale::Portuguese, QLocale::Brazil).toString(v, 'f', QLocale::FloatingPointShortest) : peso;
    };
    m_peso->fill(mainConnection(), QStringLiteral("select Id_Receituario_texto_Peso, Peso from receituario_texto_peso order by Peso"), {},
                 weight);
}

bool ClinicalTabs::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_peso && event->type() == QEvent::FocusIn) {
        try {
            fillWeights();
        } catch (const DbError &e) {
            FormHelpers::showError(e, m_tabs);
        }
    }
    return QObject::eventFilter(watched, event);
}

void ClinicalTabs::reloadProfessionalLookup()
{
    try {
        // Professionals not marked inactive ("SIM"); an empty mark is active.
        m_prof->fill(mainConnection(),
                     QStringLiteral("select Id_Profissional, Nome from profissional where coalesce(Inativo, 'NAO') <> 'SIM' order by Nome"),
                     {}, {true, false, {}});
    } catch (const DbError &e) {
        FormHelpers::showError(e, m_tabs);
    }
}

void ClinicalTabs::medicineChosen()
{
    QString medida;
    if (m_med->currentId().isValid()) {
        try {
            medida = Sql::text(Sql::scalar(mainConnection(),
                                           QStringLiteral("select b.Nome from medicamento a left outer join unidade_medida b "
                                                          "on (a.Id_Unidade_Medida = b.Id_Unidade_Medida) where a.Id_Medicamento = :m"),
                                           {{QStringLiteral("m"), m_med->currentId()}}));
        } catch (const DbError &) {
        }
    }
    m_medida->setText(medida);
}

void ClinicalTabs::load(int idAtendimento)
{
    m_id = idAtendimento;
    m_rxMode = 0;
    try {
        loadProfessionals();
        loadProcedures();
        loadMedicines();
        loadPrescriptions();
    } catch (const DbError &e) {
        FormHelpers::showError(e, m_tabs);
    }
}

void ClinicalTabs::loadProfessionals()
{
    fillGrid(m_profGrid,
             QStringLiteral("select a.Id_Profissional, b.Nome from atendimento_profissional a "
                            "left join profissional b on (a.Id_Profissional = b.Id_Profissional) "
                            "where a.Id_Atendimento = :a order by b.Nome"),
             m_id);
}

void ClinicalTabs::loadProcedures()
{
    fillGrid(m_procGrid,
             QStringLiteral("select a.Id_Procedimento, b.Nome from procedimento a "
                            "left join tipo_procedimento b on (a.Id_Tipo_Procedimento = b.Id_Tipo_Procedimento) "
                            "where a.Id_Atendimento = :a order by a.Id_Procedimento"),
             m_id);
}

void ClinicalTabs::loadMedicines()
{
    fillGrid(m_medGrid,
             QStringLiteral("select a.Id_Medicamento_Gasto, b.Nome, a.Quantidade, c.Nome from medicamento_gasto a "
                            "left join medicamento b on (a.Id_Medicamento = b.Id_Medicamento) "
                            "left outer join unidade_medida c on (b.Id_Unidade_Medida = c.Id_Unidade_Medida) "
                            "where a.Id_Atendimento = :a order by a.Id_Medicamento_Gasto"),
             m_id);
}

bool ClinicalTabs::confirmRemoval()
{
    return Services::messages().confirm(kConfirm, m_tabs);
}

void ClinicalTabs::addProfessional()
{
    const int id = m_attendance();
    if (id <= 0 || !m_prof->currentId().isValid())
        return;
    try {
        if (AttendanceStore(mainConnection()).addProfessional(id, m_prof->currentId().toInt()) == AttendanceStore::Added::Duplicate) {
            Services::messages().information(QStringLiteral("Este profissional já foi incluído."), m_tabs);
            return;
        }
        loadProfessionals();
    } catch (const DbError &e) {
        FormHelpers::showError(e, m_tabs);
    }
}

void ClinicalTabs::removeProfessional()
{
    const int prof = selectedKey(m_profGrid);
    if (m_id <= 0 || prof <= 0 || !confirmRemoval())
        return;
    try {
        AttendanceStore(mainConnection()).removeProfessional(m_id, prof);
        loadProfessionals();
    } catch (const DbError &e) {
        FormHelpers::showError(e, m_tabs);
    }
}

void ClinicalTabs::addProcedure()
{
    const int id = m_attendance();
    if (id <= 0 || !m_proc->currentId().isValid())
        return;
    try {
        if (AttendanceStore(mainConnection()).addProcedure(id, m_proc->currentId().toInt()) == AttendanceStore::Added::Duplicate) {
            Services::messages().information(QStringLiteral("Este procedimento já foi incluído neste atendimento."), m_tabs);
            return;
        }
        loadProcedures();
    } catch (const DbError &e) {
        FormHelpers::showError(e, m_tabs);
    }
}

void ClinicalTabs::removeProcedure()
{
    const int key = selectedKey(m_procGrid);
    if (key <= 0 || !confirmRemoval())
        return;
    try {
        AttendanceStore(mainConnection()).removeProcedure(key);
        loadProcedures();
    } catch (const DbError &e) {
        FormHelpers::showError(e, m_tabs);
    }
}

void ClinicalTabs::addMedicine()
{
    auto refuse = [this](QWidget *w, const QString &text) {
        Services::messages().information(text, m_tabs);
        w->setFocus();
    };
    if (!m_med->currentId().isValid())
        return refuse(m_med, QStringLiteral("Falta selecionar o medicamento."));
    if (m_quant->text().trimmed().isEmpty())
        return refuse(m_quant, QStringLiteral("Informe a quantidade do medicamento a ser usado!"));
    bool ok = false;
    const double q = Formats::parseNumber(m_quant->text(), &ok);
    if (!ok)
        return refuse(m_quant, QStringLiteral("Quantidade invalida!"));
    const int id = m_attendance();
    if (id <= 0)
        return;
    try {
        if (AttendanceStore(mainConnection()).addMedicine(id, m_med->currentId().toInt(), q) == AttendanceStore::Added::Duplicate)
            return refuse(m_med, QStringLiteral("Este medicamento já foi incluído neste atendimento."));
        loadMedicines();
    } catch (const DbError &e) {
        FormHelpers::showError(e, m_tabs);
    }
}

void ClinicalTabs::removeMedicine()
{
    const int key = selectedKey(m_medGrid);
    if (key <= 0 || !confirmRemoval())
        return;
    try {
        AttendanceStore(mainConnection()).removeMedicine(key);
        loadMedicines();
    } catch (const DbError &e) {
        FormHelpers::showError(e, m_tabs);
    }
}

// --- Prescriptions ---------------------------------------------------------

void ClinicalTabs::loadPrescriptions(int selectKey)
{
    m_prescriptions.clear();
    if (m_id > 0) {
        QSqlQuery q = Sql::exec(mainConnection(),
                                QStringLiteral("select Id_Receituario from receituario where Id_Atendimento = :a order by Id_Receituario"),
                                {{QStringLiteral("a"), m_id}});
        while (q.next())
            m_prescriptions << q.value(0).toInt();
    }
    m_rxMode = 0;
    m_rxIndex = m_prescriptions.isEmpty() ? -1 : 0;
    if (selectKey > 0 && m_prescriptions.contains(selectKey))
        m_rxIndex = int(m_prescriptions.indexOf(selectKey));
    showPrescription();
    m_status->showMessage(QStringLiteral("Total de receituário: ") + QString::number(m_prescriptions.size()));
}

void ClinicalTabs::showPrescription()
{
    QString text;
    if (m_rxIndex >= 0 && m_rxIndex < m_prescriptions.size()) {
        try {
            text = Sql::scalar(mainConnection(), QStringLiteral("select Descricao from receituario where Id_Receituario = :r"),
                               {{QStringLiteral("r"), m_prescriptions.at(m_rxIndex)}})
                       .toString();
        } catch (const DbError &e) {
            FormHelpers::showError(e, m_tabs);
        }
    }
    m_text->setPlainText(text);
    m_text->setReadOnly(true);
    updateRxActions();
}

void ClinicalTabs::updateRxActions()
{
    const bool editing = m_rxMode != 0;
    const bool has = m_rxIndex >= 0;
    auto set = [this](const char *n, bool on) {
        if (QAction *a = m_actions.value(QString::fromLatin1(n)))
            a->setEnabled(on);
    };
    set("actRxInsert", !editing);
    set("actRxEdit", !editing && has);
    set("actRxDelete", !editing);
    set("actRxRefresh", !editing);
    set("actRxPost", editing);
    set("actRxCancel", editing);
    set("actRxFirst", !editing && m_rxIndex > 0);
    set("actRxPrior", !editing && m_rxIndex > 0);
    set("actRxNext", !editing && has && m_rxIndex < m_prescriptions.size() - 1);
    set("actRxLast", !editing && has && m_rxIndex < m_prescriptions.size() - 1);
    set("actRxPrint", !editing);
    emit editingChanged(editing);
}

void ClinicalTabs::rxInsert()
{
    const int id = m_attendance();
    if (id <= 0 || m_busy()) {
        Services::messages().information(QStringLiteral("Registro não reconhecido.\rReceituário não pode ser criado."), m_tabs);
        return;
    }
    m_id = id;
    m_rxMode = 1;
    m_text->clear();
    m_text->setReadOnly(false);
    m_text->setFocus();
    updateRxActions();
}

void ClinicalTabs::rxEdit()
{
    if (m_rxIndex < 0)
        return;
    m_rxMode = 2;
    m_text->setReadOnly(false);
    updateRxActions();
}

void ClinicalTabs::rxCancel()
{
    m_rxMode = 0;
    showPrescription();
}

void ClinicalTabs::rxPost()
{
    if (m_rxMode == 0)
        return;
    AttendanceStore store(mainConnection());
    int key = 0;
    try {
        if (m_rxMode == 1) {
            key = store.insertPrescription(m_id, m_text->toPlainText());
        } else {
            key = m_prescriptions.at(m_rxIndex);
            store.updatePrescription(key, m_text->toPlainText());
        }
        loadPrescriptions(key);
    } catch (const DbError &e) {
        FormHelpers::showError(e, m_tabs);
        return;
    }
    Services::messages().information(kSucesso, m_tabs);
}

void ClinicalTabs::rxRefresh()
{
    try {
        m_id = m_attendance();
        loadPrescriptions();
    } catch (const DbError &e) {
        FormHelpers::showError(e, m_tabs);
    }
}

void ClinicalTabs::rxDelete()
{
    if (!Services::messages().confirm(
            QStringLiteral(" Você esta preste a excluir definitivamente um receituario \rDeseja continuar?"), m_tabs))
        return;
    if (m_rxIndex < 0) {
        Services::messages().information(QStringLiteral("Não há registro!"), m_tabs);
        return;
    }
    try {
        AttendanceStore(mainConnection()).removePrescription(m_prescriptions.at(m_rxIndex));
        loadPrescriptions();
    } catch (const DbError &e) {
        FormHelpers::showError(e, m_tabs);
        return;
    }
    Services::messages().information(kSucesso, m_tabs);
}

void ClinicalTabs::rxMove(int index)
{
    if (m_rxMode != 0 || index < 0 || index >= m_prescriptions.size())
        return;
    m_rxIndex = index;
    showPrescription();
}

void ClinicalTabs::rxPrint()
{
    // The form's header (number, date, owner, animal) is the stored
    // attendance's: it must be the one shown, so a new or changed attendance
    // is saved first.
    if (m_attendance() <= 0 || m_busy()) {
        Services::messages().information(QStringLiteral("Grave o atendimento antes de imprimir o receituário."), m_tabs);
        return;
    }
    if (const auto &print = SchedulingHooks::prescriptionPrinter())
        print(m_tabs, m_attendance(), m_text->toPlainText());
}

void ClinicalTabs::insertWeightText()
{
    if (m_rxMode == 0) {
        Services::messages().information(kNotEditing, m_tabs);
        return;
    }
    if (!m_peso->currentId().isValid())
        return;
    try {
        const QString t = Sql::scalar(mainConnection(),
                                      QStringLiteral("select Texto from receituario_texto_peso where Id_Receituario_texto_Peso = :p"),
                                      {{QStringLiteral("p"), m_peso->currentId()}})
                              .toString();
        m_text->setPlainText(t + m_text->toPlainText());
    } catch (const DbError &e) {
        FormHelpers::showError(e, m_tabs);
    }
}

void ClinicalTabs::insertStandardText()
{
    if (m_rxMode == 0) {
        Services::messages().information(kNotEditing, m_tabs);
        return;
    }
    try {
        const QString t = Sql::scalar(mainConnection(),
                                      QStringLiteral("select descricao from receituario_padrao order by Id_Receituario_padrao"))
                              .toString();
        m_text->setPlainText(t + m_text->toPlainText());
    } catch (const DbError &e) {
        FormHelpers::showError(e, m_tabs);
    }
}
