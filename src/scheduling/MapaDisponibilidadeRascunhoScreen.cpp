#include "scheduling/MapaDisponibilidadeRascunhoScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/Session.h"
#include "ui/DateEdit.h"
#include "ui/DateLineEdit.h"
#include "ui/FormHelpers.h"
#include "reports/engine/Reports.h"
#include "scheduling/DraftReport.h"
#include "ui/HourEdit.h"
#include "ui/LongWork.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/RecordKeys.h"
#include "ui/Services.h"
#include "ui/register/FieldBinder.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

using FormHelpers::caption;

namespace {

const QString DoneText = QStringLiteral("Operação realizada com sucesso.");

FieldDef lookup(const QString &text, const QString &column, const QString &table, const QString &display,
                const QString &filter)
{
    return lookupField(text, column, {table, column, display, QStringLiteral("Descricao"), filter})
        .name(QStringLiteral("dbl") + column);
}

} // namespace

MapaDisponibilidadeRascunhoScreen::MapaDisponibilidadeRascunhoScreen(Connection &c, QWidget *parent)
    : QWidget(parent, Qt::Window), m_c(c), m_store(c)
{
    setObjectName(QStringLiteral("frmMapaDisponibilidadeRascunho"));
    setWindowTitle(QStringLiteral("Mapa de disponibilidade (Temporário)"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *v = new QVBoxLayout(this);
    auto *bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    using RC = RecordCommand;
    FormHelpers::addToolbarActions(this, bar,
        {{"actNovo", QStringLiteral("Novo"), recordKeys(RC::Novo), [this] { novo(); }},
         {"actAlterar", QStringLiteral("Alterar"), recordKeys(RC::Alterar), [this] { alterar(); }},
         {"actExcluir", QStringLiteral("Excluir"), recordKeys(RC::Excluir), [this] { excluir(); }},
         {"actAtualizar", QStringLiteral("Atualizar"), recordKeys(RC::Atualizar), [this] { atualizar(); }},
         {"actGravar", QStringLiteral("Gravar"), recordKeys(RC::Gravar), [this] { gravar(); }},
         {"actCancelar", QStringLiteral("Cancelar"), recordKeys(RC::Cancelar), [this] { cancelar(); }},
         {},
         {"actPrimeiro", QStringLiteral("Primeiro"), {}, [this] { goToRow(0); }},
         {"actAnterior", QStringLiteral("Anterior"), {}, [this] { goToRow(m_grid->currentIndex().row() - 1); }},
         {"actProximo", QStringLiteral("Próximo"), {}, [this] { goToRow(m_grid->currentIndex().row() + 1); }},
         {"actUltimo", QStringLiteral("Último"), {}, [this] { goToRow(int(m_rows.size()) - 1); }},
         {},
         // The only print of the window: Ctrl+P prints, as wherever there is
         // no search.
         {"actImprimir", QStringLiteral("Imprimir..."), {QKeySequence(Qt::CTRL | Qt::Key_P)}, [this] { imprimir(); }},
         {"actSair", QStringLiteral("Sair"), {QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { sair(); }}},
        m_actions);
    v->addWidget(bar);

    auto *vagas = new QGroupBox(QStringLiteral("Vagas:"), this);
    auto *g = new QGridLayout(vagas);
    m_unidade = FieldBinder::create(lookup(QStringLiteral("Unidade de trabalho:"), QStringLiteral("Id_unidade_trabalho"),
                                           QStringLiteral("unidade_trabalho"), QStringLiteral("upper(Nome)"),
                                           QStringLiteral("Ind_Status = 'ATIVO'")),
                                    &m_c, vagas);
    m_procedimento = FieldBinder::create(lookup(QStringLiteral("Procedimento:"), QStringLiteral("Id_tipo_procedimento"),
                                                QStringLiteral("tipo_procedimento"), QStringLiteral("upper(Nome)"),
                                                QStringLiteral("Ind_Status = 'ATIVO' and Id_Tipo_Procedimento = 12")),
                                         &m_c, vagas);
    m_especie = FieldBinder::create(lookup(QStringLiteral("Espécie:"), QStringLiteral("Id_Especie"), QStringLiteral("especie"),
                                           QStringLiteral("Nome"), QStringLiteral("Ind_Status = 'ATIVO'")),
                                    &m_c, vagas);
    m_data = new DateLineEdit(vagas);
    m_data->setObjectName(QStringLiteral("mkeData"));
    m_hora = new HourEdit(vagas);
    m_hora->setObjectName(QStringLiteral("mkeHora"));
    m_geral = new QLineEdit(vagas);
    m_geral->setObjectName(QStringLiteral("edtVagaGeral"));
    m_femea = new QLineEdit(vagas);
    m_femea->setObjectName(QStringLiteral("edtVagaFemea"));
    int r = 0;
    for (FieldBinder *b : {m_unidade.get(), m_procedimento.get(), m_especie.get()}) {
        g->addWidget(b->label(), r, 0);
        g->addWidget(b->editor(), r++, 1);
    }
    g->addWidget(caption(QStringLiteral("Data:"), m_data, vagas), r, 0);
    g->addWidget(m_data, r++, 1);
    g->addWidget(caption(QStringLiteral("Hora:"), m_hora, vagas), r, 0);
    g->addWidget(m_hora, r++, 1);
    g->addWidget(caption(QStringLiteral("Qt.vaga geral:"), m_geral, vagas), r, 0);
    g->addWidget(m_geral, r++, 1);
    g->addWidget(caption(QStringLiteral("Qt.vaga fêmea grande:"), m_femea, vagas), r, 0);
    g->addWidget(m_femea, r++, 1);
    auto *publish = new QPushButton(QStringLiteral("Tranferir programação para produção"), vagas);
    publish->setObjectName(QStringLiteral("bmpTransferir"));
    publish->setAccessibleName(publish->text());
    QFont bold = publish->font();
    bold.setBold(true);
    publish->setFont(bold);
    g->addWidget(publish, r, 0, 1, 2);
    v->addWidget(vagas);

    auto *listBox = new QGroupBox(QStringLiteral("Disponível para transferencia:"), this);
    auto *lv = new QVBoxLayout(listBox);
    m_model = new QStandardItemModel(0, 8, this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("Unidade"), QStringLiteral("Procedimento"), QStringLiteral("Espécie"),
                                        QStringLiteral("Data/Hora"), QStringLiteral("Qt. vaga geral"),
                                        QStringLiteral("Qt.vaga fêmea grande"), QStringLiteral("Quem inseriu o registro"),
                                        QStringLiteral("Data de criação do registro")});
    m_grid = makeReadOnlyGrid(listBox, m_model, QStringLiteral("dbgRascunho"), QStringLiteral("Disponível para transferencia"));
    lv->addWidget(m_grid);
    v->addWidget(listBox, 1);
    auto *status = new QStatusBar(this);
    for (int i = 0; i < 2; ++i) {
        auto *l = new QLabel(status);
        status->addWidget(l, 1);
        m_panels << l;
    }
    v->addWidget(status);

    connect(publish, &QPushButton::clicked, this, &MapaDisponibilidadeRascunhoScreen::publicar);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &cur) { rowReached(cur.isValid() ? cur.row() : -1); });
    connect(qobject_cast<QComboBox *>(m_especie->editor()), &QComboBox::currentIndexChanged, this, [this] { leaveEspecie(); });
    FormHelpers::installEnterAsTab(vagas);

    try {
        for (FieldBinder *b : {m_unidade.get(), m_procedimento.get(), m_especie.get()})
            b->reloadRows();
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
    setFieldsEnabled(false);
    resize(900, 620);
}

MapaDisponibilidadeRascunhoScreen::~MapaDisponibilidadeRascunhoScreen() = default;

void MapaDisponibilidadeRascunhoScreen::showRows(const QList<Draft> &rows, int keepKey)
{
    m_rows = rows;
    m_loading = true;
    m_model->removeRows(0, m_model->rowCount());
    for (const Draft &d : rows) {
        QList<QStandardItem *> items;
        for (const QString &t : {d.unidadeNome, d.procedimentoNome, d.especieNome, Formats::dateTime(d.dataHora),
                                 QString::number(d.vagaGeral), QString::number(d.vagaFemea), d.inseridoPorNome,
                                 Formats::dateTime(d.inseridoEm)})
            items << new QStandardItem(t);
        m_model->appendRow(items);
    }
    m_loading = false;
    m_grid->resizeColumnsToContents();
    m_panels.at(0)->setText(QStringLiteral(" Total de registro: ") + QString::number(rows.size()));
    if (!rows.isEmpty()) {
        int row = 0;
        for (int i = 0; i < rows.size(); ++i)
            if (rows.at(i).id == keepKey)
                row = i;
        m_grid->setCurrentIndex(m_model->index(row, 0));
        rowReached(row);
    }
}

int MapaDisponibilidadeRascunhoScreen::currentDraftKey() const
{
    const QModelIndex i = m_grid->currentIndex();
    return i.isValid() && i.row() < m_rows.size() ? m_rows.at(i.row()).id : 0;
}

void MapaDisponibilidadeRascunhoScreen::reload(int keepKey)
{
    if (m_state != State::Browsing)
        return;
    try {
        showRows(m_store.planned(), keepKey);
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}

void MapaDisponibilidadeRascunhoScreen::atualizar()
{
    reload(currentDraftKey());
}

void MapaDisponibilidadeRascunhoScreen::rowReached(int row)
{
    if (m_loading || row < 0 || row >= m_rows.size() || m_state != State::Browsing)
        return;
    const Draft &d = m_rows.at(row);
    m_unidade->load(d.unidade);
    m_procedimento->load(d.procedimento);
    m_especie->load(d.especie);
    m_data->setDate(d.dataHora.date());
    m_hora->setTime(d.dataHora.time());
    m_geral->setText(QString::number(d.vagaGeral));
    m_femea->setText(QString::number(d.vagaFemea));
}

void MapaDisponibilidadeRascunhoScreen::goToRow(int to)
{
    if (m_state != State::Browsing || to < 0 || to >= m_rows.size())
        return;
    m_grid->setCurrentIndex(m_model->index(to, 0));
}

void MapaDisponibilidadeRascunhoScreen::clearFields()
{
    m_unidade->load({});
    m_procedimento->load({});
    m_especie->load({});
    m_data->clear();
    m_hora->clear();
    m_geral->clear();
    m_femea->clear();
}

void MapaDisponibilidadeRascunhoScreen::setFieldsEnabled(bool on)
{
    for (FieldBinder *b : {m_unidade.get(), m_procedimento.get(), m_especie.get()}) {
        b->editor()->setEnabled(on);
        b->setEditable(on);
    }
    for (QLineEdit *e : {static_cast<QLineEdit *>(m_data), static_cast<QLineEdit *>(m_hora), m_geral, m_femea}) {
        e->setEnabled(on);
        e->setReadOnly(!on);
    }
    m_grid->setEnabled(!on);
    // Live only while a draft is typed, as every screen's "Gravar": that is
    // also how leaving the program knows there is something to lose.
    if (QAction *a = m_actions.value(QStringLiteral("actGravar")))
        a->setEnabled(on);
}

void MapaDisponibilidadeRascunhoScreen::novo()
{
    if (m_state != State::Browsing)
        return;
    showRows({});
    clearFields();
    m_state = State::New;
    m_editingKey = 0;
    setFieldsEnabled(true);
    // Large-female places wait for the species.
    m_femea->setReadOnly(true);
    m_unidade->focus();
}

void MapaDisponibilidadeRascunhoScreen::alterar()
{
    const int row = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : -1;
    if (m_state != State::Browsing || row < 0 || row >= m_rows.size())
        return;
    rowReached(row);
    m_state = State::Altering;
    m_editingKey = m_rows.at(row).id;
    setFieldsEnabled(true);
    if (m_especie->value().toInt() == 2)
        FormHelpers::readOnlyGrey(m_femea);
    m_unidade->focus();
}

void MapaDisponibilidadeRascunhoScreen::leaveEspecie()
{
    if (m_state == State::Browsing)
        return;
    const bool cat = m_especie->value().toInt() == 2;
    const QString f = m_femea->text().trimmed();
    if (cat && !f.isEmpty() && f != QLatin1String("0"))
        Services::messages().information(QStringLiteral("Para a especie felino a quantidade de fêmea grande não é permitido, o "
                                                        "valor do campo deve ser zero."),
                                         this);
    if (cat) {
        m_femea->setText(QStringLiteral("0"));
        m_femea->setEnabled(false);
        FormHelpers::readOnlyGrey(m_femea);
    } else {
        m_femea->setEnabled(true);
        m_femea->setReadOnly(false);
        m_femea->setFocusPolicy(Qt::StrongFocus);
        m_femea->setPalette(QPalette());
    }
}

void MapaDisponibilidadeRascunhoScreen::gravar()
{
    if (m_state == State::Browsing)
        return;
    // "Gravar" from its key leaves the focus in the field: a date still
    // being typed is read, or refused by its name, before anything else.
    if (!DateEdit::checkAll(this))
        return;
    Messages &msg = Services::messages();
    auto warn = [&](QWidget *field, const QString &text) {
        msg.warning(text, this);
        FormHelpers::markRefused(field);
    };
    auto info = [&](QWidget *field, const QString &text) {
        msg.information(text, this);
        FormHelpers::markRefused(field);
    };
    const QVariant especie = m_especie->value();
    const bool cat = !especie.isNull() && especie.toInt() == 2;
    if (m_unidade->value().isNull())
        return warn(m_unidade->editor(), QStringLiteral("Falta informar a unidade para onde as vagas são destinadas."));
    if (m_procedimento->value().isNull())
        return warn(m_procedimento->editor(), QStringLiteral("Falta informar o procedimento a ser realizado."));
    if (especie.isNull())
        return warn(m_especie->editor(), QStringLiteral("Falta informar a especie."));
    if (m_data->isBlank())
        return warn(m_data, QStringLiteral("Falta informar a data."));
    if (m_hora->isBlank())
        return warn(m_hora, QStringLiteral("Falta informar o horario."));
    const QString g = m_geral->text().trimmed();
    QString f = m_femea->text().trimmed();
    if (g.isEmpty())
        return warn(m_geral, QStringLiteral("Falta informar a quantidade de vaga geral."));
    if (f.isEmpty() && !cat)
        return warn(m_femea, QStringLiteral("Informe a quantidade de vaga para fêmea grande.\rCaso deseje inserir vagas do tipo "
                                            "geral, mantenha o campo de fêmea grande com o valor zero(0)."));
    if (f.isEmpty())
        f = QStringLiteral("0");
    bool okG = false, okF = false;
    const int gv = g.toInt(&okG), fv = f.toInt(&okF);
    // A count that is no whole number stops here; nothing is written.
    for (const auto &[text, ok] : {std::pair{g, okG}, std::pair{f, okF}})
        if (!ok) {
            msg.error(QStringLiteral("'") + text + QStringLiteral("' não é um número inteiro válido."), this);
            return;
        }
    if (gv < 0)
        return info(m_geral, QStringLiteral("Não pode haver valor negativo no campo \"Qt. vagas geral\"."));
    if (fv < 0)
        return info(m_femea, QStringLiteral("Não pode haver valor negativo no campo \"Qt.vaga fêmea grande\"."));
    const QDate day = m_data->date();
    if (!day.isValid())
        return warn(m_data, QStringLiteral("Data invalida ou vazia"));
    int h = -1, mi = -1;
    if (!HourEdit::parse(m_hora->displayText(), &h, &mi) || !((h < 24 && mi < 60) || (h == 24 && mi == 0)))
        return warn(m_hora, QStringLiteral("Hora invalida ou vazia."));
    auto *especieBox = qobject_cast<QComboBox *>(m_especie->editor());
    if (gv != 0 && fv != 0 && especieBox->currentText().toUpper() == QLatin1String("CANINA")) {
        m_femea->setText(QStringLiteral("0"));
        FormHelpers::readOnlyGrey(m_femea);
        msg.information(QStringLiteral("Para vaga de cães fêmeas de porte grande, o registro deve ser criado separadamente."), this);
        return;
    }
    if (cat && fv > 0)
        return info(m_femea, QStringLiteral("No caso de FELINA não pode haver fêmea grande."));
    if (g.size() >= 3)
        return info(m_geral, QStringLiteral("Valor inválido no campo \"Qt. vagas geral\".\rNão deve ultrapassar 99 vagas."));
    if (f.size() >= 3)
        return info(m_femea, QStringLiteral("Valor inválido no campo \"Qt.vaga fêmea grande\".\rNão deve ultrapassar 99 vagas."));
    if (gv == 0 && fv == 0)
        return info(m_geral, QStringLiteral("Pelo menos uma vaga deve ser disponibilizada para gravar o registro."));

    SlotValues v;
    v.unidade = m_unidade->value().toInt();
    v.procedimento = m_procedimento->value().toInt();
    v.especie = especie.toInt();
    v.dataHora = SlotStore::slotDateTime(day, h, mi);
    v.vagaGeral = gv;
    v.vagaFemea = fv;
    const QString user = usuarioLogado().IdUsuario;
    int savedKey = 0;
    try {
        // The duplicate tests run inside the save, under its locks.
        int key = m_editingKey;
        const DraftStore::Saved saved =
            m_state == State::New ? m_store.insert(v, user, &key) : m_store.alter(m_editingKey, v, user);
        switch (saved) {
        case DraftStore::Saved::Done:
            break;
        case DraftStore::Saved::PublishedDuplicate:
            msg.information(QStringLiteral("Já existe um registro com a mesma data, hora, unidade, procedimento e especie "
                                           "cadastrado EM PRODUÇÃO\rSe for preciso um replanejamento, altere a quantidade de "
                                           "vagas do registro já existente."),
                            this);
            return;
        case DraftStore::Saved::DraftDuplicate:
            msg.information(QStringLiteral("Já existe um registro com a mesma data, hora, unidade, procedimento e especie "
                                           "cadastrado.\rSe for preciso um replanejamento, altere a quantidade de vagas do "
                                           "registro já existente."),
                            this);
            return;
        case DraftStore::Saved::Gone:
            // Published or deleted from another workstation meanwhile.
            msg.error(QStringLiteral("Erro ao tentar gravar."), this);
            return;
        }
        savedKey = key;
    } catch (const std::exception &e) {
        FormHelpers::showError(e, this);
        return;
    }
    m_state = State::Browsing;
    m_editingKey = 0;
    setFieldsEnabled(false);
    // The clerk stays on the draft just saved.
    reload(savedKey);
    msg.warning(DoneText, this);
}

void MapaDisponibilidadeRascunhoScreen::cancelar()
{
    m_state = State::Browsing;
    m_editingKey = 0;
    clearFields();
    setFieldsEnabled(false);
}

void MapaDisponibilidadeRascunhoScreen::excluir()
{
    const int row = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : -1;
    if (m_state != State::Browsing || row < 0 || row >= m_rows.size())
        return;
    Messages &msg = Services::messages();
    if (!msg.confirm(QStringLiteral("O registro será excluído.\rConfirma a exclusão?"), this))
        return;
    bool removed = false;
    try {
        removed = m_store.remove(m_rows.at(row).id);
    } catch (const std::exception &e) {
        FormHelpers::showError(e, this);
        return;
    }
    atualizar();
    if (removed)
        msg.warning(DoneText, this);
}

void MapaDisponibilidadeRascunhoScreen::publicar()
{
    Messages &msg = Services::messages();
    if (m_state != State::Browsing) {
        msg.warning(QStringLiteral("Um registro esta sendo editado ou inserido. Finalise a operação para continuar."), this);
        return;
    }
    // The question says what goes out, unit by unit.
    QString plan;
    try {
        for (const DraftStore::UnitPlan &u : m_store.plannedByUnit())
            plan += QStringLiteral("%1: %2 horário(s), %3 vaga(s) geral e %4 vaga(s) fêmea grande\r")
                        .arg(u.unidadeNome)
                        .arg(u.horarios)
                        .arg(u.vagaGeral)
                        .arg(u.vagaFemea);
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
        return;
    }
    if (!msg.confirm(plan + QStringLiteral("Deseja realmente transferir a programação para produção?\rEsta operação será "
                                           "definitiva."),
                     this))
        return;
    DraftStore::PublishResult r;
    try {
        LongWork progress(QStringLiteral("Transferência para produção"), QStringLiteral("Transferindo programação..."), this);
        r = m_store.publish([&progress](int done, int total) {
            progress.setTotal(total);
            return progress.step(done);
        });
    } catch (const std::exception &e) {
        FormHelpers::showError(e, this);
        return;
    }
    if (r.cancelled)
        return;
    atualizar();
    m_data->clear();
    m_hora->clear();
    m_geral->clear();
    m_femea->clear();
    QString done = DoneText;
    if (r.skipped > 0)
        done += QStringLiteral("\r") + QString::number(r.skipped)
                + QStringLiteral(" horário(s) já cadastrado(s) não foram publicados.");
    msg.warning(done, this);
}

void MapaDisponibilidadeRascunhoScreen::imprimir()
{
    Reports::open(DraftReport::definition(m_c), this);
}

bool MapaDisponibilidadeRascunhoScreen::askLeave()
{
    if (m_state == State::Browsing)
        return true;
    if (!Services::messages().confirm(QStringLiteral("Tem registro no modo de edição ou inserção.\rFechar este formulário implica "
                                                     "no cancelamento destas operações.\rDeseja sair assim mesmo?"),
                                      this))
        return false;
    cancelar();
    return true;
}

void MapaDisponibilidadeRascunhoScreen::sair()
{
    if (askLeave()) {
        m_closing = true;
        close();
    }
}

void MapaDisponibilidadeRascunhoScreen::closeEvent(QCloseEvent *e)
{
    // The close box asks the same question as "Sair".
    if (!m_closing && !askLeave()) {
        e->ignore();
        return;
    }
    m_closing = false;
    e->accept();
}
