#include "scheduling/MapaDisponibilidadeScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/Session.h"
#include "ui/FormHelpers.h"
#include "scheduling/MapaDisponibilidadeCloneScreen.h"
#include "scheduling/AgendamentoEspecialPanel.h"
#include "scheduling/MapaDisponibilidadeInformacaoScreen.h"
#include "scheduling/MapaDisponibilidadeRascunhoScreen.h"
#include "scheduling/SchedulingWidgets.h"
#include "scheduling/VagasAreaAbrangenciaScreen.h"
#include "scheduling/WeekNumberColumn.h"
#include "ui/HourEdit.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/Services.h"
#include "ui/register/FieldBinder.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

using FormHelpers::caption;

namespace {

const QString Novo = QStringLiteral("novo");
const QString Alterar = QStringLiteral("alterar");
const QString Done = QStringLiteral("Operação realizada com sucesso.");
const QString SaveFailed = QStringLiteral("Erro ao tentar gravar.");
const QString AreasCaption = QStringLiteral("Associar vagas a áreas de abrangências");
const QString Duplicate = QStringLiteral(
    "Já existe um registro com a mesma data, hora, unidade, procedimento e especie cadastrado.\rSe for preciso um "
    "replanejamento, altere a quantidade de vagas do registro já existente.");
const QString GeneralBelow = QStringLiteral(
    "A quantidade de vagas de uso geral replanejada é inferior a que já foi utilizada.\rA operação não poderá ser "
    "concluída. ");
const QString FemaleBelow = QStringLiteral(
    "A quantidade de vagas para fêmeas grandes que está sendo replanejada é inferior a que já foi utilizada.\rA "
    "operação não poderá ser concluída. ");
const QString HourTaken = QStringLiteral("A hora da vaga não pode ser alterada por ter sido usada em um agendamento.");
const QString KeysTaken = QStringLiteral(
    "A vaga já tem lugares ocupados: unidade, espécie, procedimento e área não podem ser alterados.");
const QString Stale = QStringLiteral(
    "A vaga foi alterada em outra estação de trabalho depois de ser lida e já tem lugares ocupados.\rConfira os dados "
    "atuais e refaça a alteração.");

QString dayMoveQuestion(int taken)
{
    return QStringLiteral("Esta vaga tem %1 lugar(es) ocupado(s) pela web. Os proprietários agendados precisam ser avisados "
                          "da mudança de dia. Deseja continuar?")
        .arg(taken);
}

FieldDef lookup(const QString &captionText, const QString &name, const QString &table, const QString &key,
                const QString &filter)
{
    return lookupField(captionText, key, {table, key, QStringLiteral("upper(Nome)"), {}, filter}).name(name);
}

QString slotTimeText(const QDateTime &t)
{
    // Midnight is shown with its zeros, as every other hour.
    return Formats::date(t.date()) + QLatin1Char(' ') + t.time().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

MapaDisponibilidadeScreen::MapaDisponibilidadeScreen(Connection &c, QWidget *parent)
    : QWidget(parent), m_c(c), m_store(c)
{
    setObjectName(QStringLiteral("frmMapaDisponibilidade"));
    setWindowTitle(QStringLiteral("48 - Mapa disponibilidade"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(buildPrincipal(), QStringLiteral("Principal"));
    m_tabs->addTab(buildMailTab(), QStringLiteral("Envio de e-mail"));
    auto *special = new AgendamentoEspecialPanel(c, this);
    const int t = m_tabs->addTab(special, QStringLiteral("Agendamento especial"));
    m_tabs->setTabToolTip(t, QStringLiteral("Usuário especial"));
    layout->addWidget(m_tabs);
    auto *bar = new QStatusBar(this);
    for (int i = 0; i < 3; ++i) {
        auto *l = new QLabel(bar);
        l->setObjectName(QStringLiteral("pnlStatus%1").arg(i));
        bar->addWidget(l, i == 0 ? 2 : 1);
        m_panels << l;
    }
    layout->addWidget(bar);

    for (FieldBinder *b : {m_unidade.get(), m_procedimento.get(), m_especie.get()})
        b->reloadRows();
    m_loading = true;
    m_calendar->setSelectedDate(QDate::currentDate());
    m_loading = false;
    clearFields();
    setFieldsEditable(false, false);
    setButtons(true);
    m_alterar->setEnabled(false);
    m_excluir->setEnabled(false);
    FormHelpers::installEnterAsTab(m_tabs->widget(0));
    resize(980, 640);
}

MapaDisponibilidadeScreen::~MapaDisponibilidadeScreen()
{
    if (m_areaDialog)
        m_areaDialog->close();
}

QWidget *MapaDisponibilidadeScreen::buildPrincipal()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("tabPrincipal"));
    auto *v = new QVBoxLayout(page);

    auto *top = new QHBoxLayout;
    auto *lookups = new QGridLayout;
    m_unidade = FieldBinder::create(lookup(QStringLiteral("Unidade de trabalho:"), QStringLiteral("dblUnidade_trabalho"),
                                           QStringLiteral("unidade_trabalho"), QStringLiteral("Id_Unidade_Trabalho"),
                                           QStringLiteral("Ind_Status = 'ATIVO'")),
                                    &m_c, page);
    m_procedimento = FieldBinder::create(lookup(QStringLiteral("Procedimento médico / Clínico:"),
                                                QStringLiteral("dblProcedimento"), QStringLiteral("tipo_procedimento"),
                                                QStringLiteral("Id_Tipo_Procedimento"),
                                                QStringLiteral("Ind_Status = 'ATIVO' and Id_Tipo_Procedimento = 12")),
                                         &m_c, page);
    lookups->addWidget(m_unidade->label(), 0, 0);
    lookups->addWidget(m_unidade->editor(), 1, 0);
    lookups->addWidget(m_procedimento->label(), 2, 0);
    lookups->addWidget(m_procedimento->editor(), 3, 0);
    m_areasButton = new QPushButton(AreasCaption, page);
    m_areasButton->setObjectName(QStringLiteral("bmpAreas"));
    m_areasButton->setAccessibleName(AreasCaption);
    lookups->addWidget(m_areasButton, 4, 0);
    m_resumo = new QLabel(page);
    m_resumo->setObjectName(QStringLiteral("lblResumo"));
    m_resumo->setWordWrap(true);
    lookups->addWidget(m_resumo, 5, 0);
    auto *info = new QPushButton(QStringLiteral("Informação"), page);
    info->setObjectName(QStringLiteral("bmpInformacao"));
    info->setAccessibleName(QStringLiteral("Informação"));
    lookups->addWidget(info, 6, 0);
    lookups->setRowStretch(7, 1);
    top->addLayout(lookups, 1);

    m_calendar = new QCalendarWidget(page);
    m_calendar->setObjectName(QStringLiteral("mtcData"));
    m_calendar->setAccessibleName(QStringLiteral("Data"));
    m_calendar->setGridVisible(true);
    top->addWidget(WeekNumberColumn::besideCalendar(m_calendar, &m_c, page), 0, Qt::AlignTop);

    auto *quadro = new QGroupBox(QStringLiteral("Quadro de horário"), page);
    quadro->setObjectName(QStringLiteral("grbQuadro"));
    auto *q = new QGridLayout(quadro);
    auto button = [quadro](const QString &text, const char *name) {
        auto *b = new QPushButton(text, quadro);
        b->setObjectName(QString::fromLatin1(name));
        b->setAccessibleName(text);
        // Pressing a button leaves the field being typed as it is, so the
        // save's own checks judge it (not the leave-field check).
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    m_nova = button(QStringLiteral("Novas vagas"), "bmpNovaVaga");
    m_alterar = button(QStringLiteral("Alterar"), "bmpAlterar");
    m_gravar = button(QStringLiteral("Gravar"), "bmpGravar");
    m_excluir = button(QStringLiteral("Excluir"), "bmpExcluir");
    m_cancelar = button(QStringLiteral("Cancelar"), "bmpCancelar");
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_nova, m_alterar, m_gravar, m_excluir, m_cancelar})
        buttons->addWidget(b);
    q->addLayout(buttons, 0, 0, 1, 2);
    m_hora = new HourEdit(quadro);
    m_hora->setObjectName(QStringLiteral("mkeHora"));
    m_geral = new QLineEdit(quadro);
    m_geral->setObjectName(QStringLiteral("mkeVagaGeral"));
    m_femea = new QLineEdit(quadro);
    m_femea->setObjectName(QStringLiteral("mkeVagaFemea"));
    for (QLineEdit *e : {m_geral, m_femea}) {
        // Digits only; Backspace and Delete still edit.
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
        e->installEventFilter(this);
    }
    m_hora->installEventFilter(this);
    m_especie = FieldBinder::create(lookupField(QStringLiteral("Espécie:"), QStringLiteral("Id_Especie"),
                                                {QStringLiteral("especie"), QStringLiteral("Id_Especie"),
                                                 QStringLiteral("upper(Nome)"), {}, {}})
                                        .name(QStringLiteral("dblEspecie")),
                                    &m_c, quadro);
    q->addWidget(caption(QStringLiteral("Hora:"), m_hora, quadro), 1, 0);
    q->addWidget(m_hora, 1, 1);
    q->addWidget(caption(QStringLiteral("Qt.vaga geral:"), m_geral, quadro), 2, 0);
    q->addWidget(m_geral, 2, 1);
    q->addWidget(caption(QStringLiteral("Qt.vaga fêmea grande:"), m_femea, quadro), 3, 0);
    q->addWidget(m_femea, 3, 1);
    q->addWidget(m_especie->label(), 4, 0);
    q->addWidget(m_especie->editor(), 4, 1);
    auto *clone = button(QStringLiteral("&Clonar agenda"), "bmpClonar");
    clone->setFocusPolicy(Qt::StrongFocus);
    auto *rascunho = button(QStringLiteral("Criar rascunho..."), "bmpRascunho");
    rascunho->setFocusPolicy(Qt::StrongFocus);
    QFont bold = rascunho->font();
    bold.setBold(true);
    rascunho->setFont(bold);
    auto *more = new QHBoxLayout;
    more->addWidget(clone);
    more->addWidget(rascunho);
    q->addLayout(more, 5, 0, 1, 2);
    top->addWidget(quadro);
    v->addLayout(top);

    m_model = new QStandardItemModel(0, 9, page);
    m_model->setHorizontalHeaderLabels({QStringLiteral("Unidade"), QStringLiteral("Procedimento"),
                                        QStringLiteral("Data / hora"), QStringLiteral("Qt.vaga geral"),
                                        QStringLiteral("Qt.vaga fêmea grande"), QStringLiteral("Qt.vaga geral usada"),
                                        QStringLiteral("Qt.vaga fêmea grande usada"), QStringLiteral("Especie"),
                                        QStringLiteral("Área de abrangência")});
    m_grid = makeReadOnlyGrid(page, m_model, QStringLiteral("dbgResume"), QStringLiteral("Vagas do dia"));
    v->addWidget(m_grid, 1);

    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &cur) { rowSelected(cur.isValid() ? cur.row() : -1); });
    connect(m_calendar, &QCalendarWidget::selectionChanged, this, [this] {
        if (!m_loading)
            dayFilter();
    });
    for (FieldBinder *b : {m_unidade.get(), m_procedimento.get()})
        connect(qobject_cast<QComboBox *>(b->editor()), &QComboBox::activated, this, [this] { dayFilter(); });
    connect(m_nova, &QPushButton::clicked, this, [this] { novaVaga(); });
    connect(m_alterar, &QPushButton::clicked, this, [this] { alterar(); });
    connect(m_gravar, &QPushButton::clicked, this, [this] { gravar(); });
    connect(m_excluir, &QPushButton::clicked, this, [this] { excluir(); });
    connect(m_cancelar, &QPushButton::clicked, this, [this] { cancelar(); });
    connect(m_areasButton, &QPushButton::clicked, this, [this] { openAreas(); });
    connect(info, &QPushButton::clicked, this, [this] { openInformacao(); });
    connect(clone, &QPushButton::clicked, this, [this] { openClone(); });
    connect(rascunho, &QPushButton::clicked, this, [this] { openRascunho(); });
    return page;
}

QWidget *MapaDisponibilidadeScreen::buildMailTab()
{
    // Kept as the staff know it, and never enabled.
    QWidget *page = buildInertMailPage(this);
    page->setEnabled(false);
    return page;
}

QString MapaDisponibilidadeScreen::status() const { return m_panels.value(0) ? m_panels.at(0)->text() : QString(); }

void MapaDisponibilidadeScreen::setStatus(const QString &text) { m_panels.at(0)->setText(text); }

void MapaDisponibilidadeScreen::showDay(const QDate &d)
{
    m_calendar->setSelectedDate(d); // refilters unless a slot is being typed
}

void MapaDisponibilidadeScreen::refresh()
{
    const QString keep = m_mode;
    m_mode.clear();
    dayFilter();
    m_mode = keep;
}

void MapaDisponibilidadeScreen::dayFilter()
{
    if (m_mode == Novo || m_mode == Alterar)
        return;
    setStatus({});
    try {
        m_rows = m_store.day(m_calendar->selectedDate());
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
        m_rows.clear();
    }
    m_loading = true;
    m_model->removeRows(0, m_model->rowCount());
    for (const Slot &s : m_rows) {
        QList<QStandardItem *> items;
        for (const QString &t : {s.unidadeNome, s.procedimentoNome, slotTimeText(s.dataHora),
                                 QString::number(s.vagaGeral), QString::number(s.vagaFemea),
                                 QString::number(s.usadaGeral), QString::number(s.usadaFemea), s.especieNome,
                                 s.area.isNull() ? QString() : s.area.toString()})
            items << new QStandardItem(t);
        m_model->appendRow(items);
    }
    m_loading = false;
    m_grid->resizeColumnsToContents();
    if (!m_rows.isEmpty()) {
        setStatus(QStringLiteral(" Total de registro: ") + QString::number(m_rows.size()));
        m_grid->setCurrentIndex(m_model->index(0, 0));
        rowSelected(0);
    } else {
        setStatus(QStringLiteral("Nenhum registro que atende aos critérios informados foi encontrado!"));
        clearFields();
    }
    m_alterar->setEnabled(!m_rows.isEmpty());
    m_excluir->setEnabled(!m_rows.isEmpty());
}

std::optional<Slot> MapaDisponibilidadeScreen::currentSlot() const
{
    const int row = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : -1;
    if (row < 0 || row >= m_rows.size())
        return std::nullopt;
    return m_rows.at(row);
}

void MapaDisponibilidadeScreen::rowSelected(int row)
{
    if (m_loading || row < 0 || row >= m_rows.size())
        return;
    showSlot(m_rows.at(row));
    setFieldsEditable(false, false);
    m_excluir->setEnabled(true);
    m_alterar->setEnabled(true);
    m_nova->setEnabled(true);
    m_gravar->setEnabled(false);
    m_areasButton->setEnabled(false);
}

void MapaDisponibilidadeScreen::showSlot(const Slot &s)
{
    m_loading = true;
    m_calendar->setSelectedDate(s.dataHora.date());
    m_loading = false;
    m_hora->setTime(s.dataHora.time());
    m_geral->setText(QString::number(s.vagaGeral));
    m_femea->setText(QString::number(s.vagaFemea));
    m_unidade->load(s.unidade);
    m_procedimento->load(s.procedimento);
    m_especie->load(s.especie);
}

void MapaDisponibilidadeScreen::clearFields()
{
    m_hora->clear();
    m_geral->clear();
    m_femea->clear();
    m_unidade->load({});
    m_procedimento->load({});
    m_especie->load({});
}

void MapaDisponibilidadeScreen::setFieldsEditable(bool on, bool hourEditable)
{
    auto set = [](QLineEdit *e, bool editable) {
        if (editable) {
            e->setReadOnly(false);
            e->setFocusPolicy(Qt::StrongFocus);
            e->setPalette(QPalette());
        } else {
            FormHelpers::readOnlyGrey(e);
        }
    };
    set(m_hora, on && hourEditable);
    set(m_geral, on);
    set(m_femea, on);
    m_especie->setEditable(on);
    // Unit and procedure stay usable: in the idle state they refilter.
    m_unidade->setEditable(true);
    m_procedimento->setEditable(true);
}

void MapaDisponibilidadeScreen::setButtons(bool idle)
{
    m_nova->setEnabled(idle);
    m_alterar->setEnabled(idle && !m_rows.isEmpty());
    m_excluir->setEnabled(idle && !m_rows.isEmpty());
    m_gravar->setEnabled(!idle);
    m_areasButton->setEnabled(!idle);
    m_cancelar->setEnabled(true);
    // The grid's cursor would copy another slot into the fields being typed.
    m_grid->setEnabled(idle);
}

void MapaDisponibilidadeScreen::novaVaga()
{
    setButtons(false);
    clearFields();
    setFieldsEditable(true, true);
    m_mode = Novo;
    m_resumo->setEnabled(false);
    m_hora->setFocus();
}

void MapaDisponibilidadeScreen::alterar()
{
    const std::optional<Slot> s = currentSlot();
    if (!s)
        return;
    m_mode = Alterar;
    m_editing = *s;
    showSlot(*s);
    const bool taken = s->usadaGeral > 0 || s->usadaFemea > 0;
    setFieldsEditable(true, !taken);
    setButtons(false);
    m_hora->setFocus();
}

bool MapaDisponibilidadeScreen::leaveCount(QLineEdit *e)
{
    const QString t = e->text().trimmed();
    if (t.isEmpty())
        return true;
    bool ok = false;
    const int n = t.toInt(&ok);
    if (ok && n >= 0 && t.size() <= 3)
        return true;
    Services::messages().information(QStringLiteral("Valor inválido.\rEste campo permite valores entre 1 a 999."), this);
    if (ok)
        e->clear();
    e->setFocus();
    return false;
}

bool MapaDisponibilidadeScreen::leaveHour()
{
    if ((m_mode != Novo && m_mode != Alterar) || m_hora->isBlank())
        return true;
    int h = -1, m = -1;
    if (HourEdit::parse(m_hora->displayText(), &h, &m) && ((h < 24 && m < 60) || (h == 24 && m == 0)))
        return true;
    Services::messages().information(QStringLiteral("A data ") + m_hora->displayText()
                                         + QStringLiteral(" não está em um formato válido."),
                                     this);
    m_hora->setFocus();
    return false;
}

bool MapaDisponibilidadeScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && !m_loading) {
        auto *e = qobject_cast<QLineEdit *>(watched);
        if (e && !e->isReadOnly()) {
            // The message box itself takes the focus; check once per leave.
            m_loading = true;
            if (e == m_hora)
                leaveHour();
            else
                leaveCount(e);
            m_loading = false;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// The checks of Gravar, in the order the staff know; false ends the save
// with the edit open.
bool MapaDisponibilidadeScreen::checkCounts()
{
    Messages &msg = Services::messages();
    if (m_geral->text().trimmed().isEmpty())
        m_geral->setText(QStringLiteral("0"));
    if (m_femea->text().trimmed().isEmpty())
        m_femea->setText(QStringLiteral("0"));
    const QString g = m_geral->text().trimmed(), f = m_femea->text().trimmed();
    auto *especieBox = qobject_cast<QComboBox *>(m_especie->editor());
    const QVariant especie = m_especie->value();
    if (g != QLatin1String("0") && f != QLatin1String("0") && especieBox->currentText() == QLatin1String("CANINA")) {
        m_femea->setText(QStringLiteral("0"));
        FormHelpers::readOnlyGrey(m_femea);
        msg.information(QStringLiteral("Para vaga de cães fêmeas de porte grande, o registro deve ser criado separadamente."), this);
        return false;
    }
    bool okG = false, okF = false;
    const int gv = g.toInt(&okG), fv = f.toInt(&okF);
    if (!especie.isNull() && especie.toInt() == 2 && okF && fv > 0) {
        msg.information(QStringLiteral("No caso de FELINO não pode haver fêmea grande."), this);
        return false;
    }
    if (m_unidade->value().isNull()) {
        msg.information(QStringLiteral("O preenchimento do campo \"Unidade\" é obrigatório."), this);
        return false;
    }
    if (m_procedimento->value().isNull()) {
        msg.information(QStringLiteral("O preenchimento do campo \"Procedimento\" é obrigatório."), this);
        return false;
    }
    if (m_hora->isBlank()) {
        msg.information(QStringLiteral("O preenchimento do campo \"Hora\" é obrigatório."), this);
        return false;
    }
    if (especie.isNull()) {
        msg.information(QStringLiteral("Falta elecione a espécie."), this);
        return false;
    }
    if (!okG) {
        m_geral->setFocus();
        msg.information(QStringLiteral("Valor inválido no campo \"Qt. vagas geral\"."), this);
        return false;
    }
    if (!okF) {
        m_femea->setFocus();
        msg.information(QStringLiteral("Valor inválido no campo \"Qt.vaga fêmea grande\"."), this);
        return false;
    }
    if (g.size() >= 4) {
        msg.information(QStringLiteral("Valor inválido no campo \"Qt. vagas geral\".\rNão deve ultrapassar 999 vagas."), this);
        return false;
    }
    if (f.size() >= 4) {
        msg.information(QStringLiteral("Valor inválido no campo \"Qt.vaga fêmea grande\".\rNão deve ultrapassar 999 vagas."),
                        this);
        return false;
    }
    if (gv == 0 && fv == 0) {
        msg.information(QStringLiteral("Pelo menos uma vaga deve ser disponibilizada para gravar o registro."), this);
        return false;
    }
    int h = -1, m = -1;
    if (!HourEdit::parse(m_hora->displayText(), &h, &m) || !((h < 24 && m < 60) || (h == 24 && m == 0))) {
        m_hora->setFocus();
        msg.information(QStringLiteral("A data ") + m_hora->displayText() + QStringLiteral(" não está em um formato válido."),
                        this);
        return false;
    }
    return true;
}

void MapaDisponibilidadeScreen::gravar()
{
    if (m_mode != Novo && m_mode != Alterar)
        return;
    if (!checkCounts())
        return;
    Messages &msg = Services::messages();
    SlotValues v;
    v.unidade = m_unidade->value().toInt();
    v.procedimento = m_procedimento->value().toInt();
    v.especie = m_especie->value().toInt();
    v.vagaGeral = m_geral->text().trimmed().toInt();
    v.vagaFemea = m_femea->text().trimmed().toInt();
    v.dataHora = SlotStore::slotDateTime(m_calendar->selectedDate(), m_hora->hours(), m_hora->minutes());
    const QString user = usuarioLogado().IdUsuario;
    try {
        if (m_mode == Novo) {
            const QList<int> keys = m_store.insert(v, m_areas, user);
            if (keys.isEmpty()) {
                msg.information(Duplicate, this);
                return;
            }
            if (!m_areas.isEmpty())
                m_mode = QStringLiteral("novoComArea");
            msg.information(Done, this);
        } else {
            const Slot &was = m_editing;
            const bool keysChanged = v.unidade != was.unidade || v.especie != was.especie
                                     || v.dataHora != was.dataHora || v.procedimento != was.procedimento;
            if (keysChanged && m_store.duplicate(v, was.id)) {
                msg.information(Duplicate, this);
                return;
            }
            // The counters as they are now, not as the grid read them (the
            // write below checks them again).
            const std::optional<Slot> now = m_store.read(was.id);
            const int taken = now ? now->usadaGeral + now->usadaFemea : 0;
            if (now && v.vagaGeral < now->usadaGeral) {
                msg.information(GeneralBelow, this);
                return;
            }
            if (now && v.vagaFemea < now->usadaFemea) {
                msg.information(FemaleBelow, this);
                return;
            }
            if (taken > 0 && SlotStore::changesBookedKeys(v, was)) {
                msg.information(KeysTaken, this);
                return;
            }
            // Owners booked on the web keep their place when the day moves,
            // but somebody has to tell them: the clerk decides knowing how many.
            const bool dayMoves = taken > 0 && v.dataHora.date() != was.dataHora.date();
            const bool go = dayMoves ? msg.confirm(dayMoveQuestion(taken), this)
                                     : msg.confirm(QStringLiteral("Deseja realmente alterar o registro?"), this);
            if (go) {
                switch (m_store.alter(was.id, v, was, user)) {
                case SlotStore::Outcome::Done:
                    msg.information(Done, this);
                    break;
                case SlotStore::Outcome::Duplicate:
                    msg.information(Duplicate, this);
                    return;
                case SlotStore::Outcome::GeneralBelowTaken:
                    msg.information(GeneralBelow, this);
                    return;
                case SlotStore::Outcome::FemaleBelowTaken:
                    msg.information(FemaleBelow, this);
                    return;
                case SlotStore::Outcome::HourTaken:
                    msg.information(HourTaken, this);
                    return;
                case SlotStore::Outcome::KeysTaken:
                    msg.information(KeysTaken, this);
                    return;
                case SlotStore::Outcome::Stale:
                    // The copy on screen is no longer the slot: show it anew.
                    msg.information(Stale, this);
                    break;
                default:
                    msg.error(SaveFailed, this);
                    break;
                }
            }
        }
    } catch (const std::exception &) {
        msg.error(SaveFailed, this);
    }
    finishEdit();
}

void MapaDisponibilidadeScreen::finishEdit()
{
    setFieldsEditable(false, false);
    m_excluir->setEnabled(true);
    m_alterar->setEnabled(true);
    m_nova->setEnabled(true);
    cancelar();
    m_mode.clear();
    m_gravar->setEnabled(false);
    m_areasButton->setEnabled(false);
}

void MapaDisponibilidadeScreen::excluir()
{
    const std::optional<Slot> s = currentSlot();
    if (!s)
        return;
    Messages &msg = Services::messages();
    if (msg.confirm(QStringLiteral("Tem certeza que deseja excluir?"), this)) {
        try {
            switch (m_store.remove(s->id)) {
            case SlotStore::Outcome::Done:
                msg.information(QStringLiteral("Registro excluído com sucesso!"), this);
                break;
            case SlotStore::Outcome::Taken:
                msg.information(QStringLiteral("O registro não pode ser excluído por ter sido usado em um agendamento."), this);
                break;
            default:
                break; // already gone: the refresh shows it
            }
        } catch (const DbError &e) {
            FormHelpers::showError(e, this);
        }
    }
    setFieldsEditable(false, false);
    cancelar();
}

void MapaDisponibilidadeScreen::cancelar()
{
    setFieldsEditable(false, false);
    m_mode = QStringLiteral("cancelar");
    setButtons(true);
    m_gravar->setEnabled(false);
    m_areasButton->setEnabled(false);
    m_areasButton->setText(AreasCaption);
    m_areasButton->setPalette(QPalette());
    clearFields();
    m_areas.clear();
    m_resumo->clear();
    m_resumo->setEnabled(true);
    dayFilter();
}

void MapaDisponibilidadeScreen::openAreas()
{
    if (m_mode == Alterar) {
        Services::messages().information(QStringLiteral("Não é permitido fazer alteração vinculando áreas de abrangências"), this);
        return;
    }
    if (m_areaDialog && m_areaDialog->isVisible()) {
        m_areaDialog->raise();
        return;
    }
    m_areaDialog = new VagasAreaAbrangenciaScreen(m_c, this);
    connect(m_areaDialog, &VagasAreaAbrangenciaScreen::concluded, this, &MapaDisponibilidadeScreen::areasChosen);
    m_areaDialog->show();
}

void MapaDisponibilidadeScreen::areasChosen(const QList<int> &codes)
{
    // A dialog left open across a cancel or a save must not reserve the next
    // new slot for its areas.
    if (m_mode != Novo)
        return;
    m_areas = codes;
    QString resumo = QStringLiteral("Resumo:");
    for (int code : codes)
        resumo += QStringLiteral(" [") + QString::number(code) + QLatin1Char(']');
    m_areasButton->setText(QStringLiteral("* Áreas de abrangência selecionada."));
    QPalette p = m_areasButton->palette();
    p.setColor(QPalette::ButtonText, Qt::darkGreen);
    m_areasButton->setPalette(p);
    m_resumo->setText(resumo);
    m_resumo->setEnabled(true);
}

void MapaDisponibilidadeScreen::openClone()
{
    const std::optional<Slot> s = currentSlot();
    if (!s) {
        Services::messages().information(QStringLiteral("É preciso ter um agenda cadastrada para poder clonar."), this);
        return;
    }
    MapaDisponibilidadeCloneScreen dlg(m_c, *s, this);
    dlg.exec();
    if (dlg.generated())
        refresh();
}

void MapaDisponibilidadeScreen::openInformacao()
{
    auto *w = new MapaDisponibilidadeInformacaoScreen(m_c, this);
    w->show();
}

void MapaDisponibilidadeScreen::openRascunho()
{
    auto *w = new MapaDisponibilidadeRascunhoScreen(m_c, this);
    w->show();
}
