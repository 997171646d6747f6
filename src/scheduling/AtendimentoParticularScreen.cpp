#include "scheduling/AtendimentoParticularScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Keys.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "ui/Buttons.h"
#include "ui/IdNameCombo.h"
#include "ui/MainMenuHook.h"
#include "ui/PagedPicker.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/Services.h"
#include "ui/register/FieldBinder.h"
#include "ui/register/PagedQueryModel.h"

#include <QAction>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kSaveFailed = QStringLiteral("Erro ao gravar!\rOperação cancelada.");

QLabel *captioned(const QString &caption, QWidget *editor, QWidget *parent)
{
    auto *l = new QLabel(caption, parent);
    l->setBuddy(editor);
    editor->setAccessibleName(FieldBinder::accessibleCaption(caption));
    return l;
}

QLineEdit *readOnlyLine(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    QPalette p = e->palette();
    p.setBrush(QPalette::Base, p.brush(QPalette::Button));
    e->setPalette(p);
    e->setFixedWidth(80);
    return e;
}

} // namespace

AtendimentoParticularScreen::AtendimentoParticularScreen(QWidget *parent, Connection *connection)
    : QWidget(parent), m_conn(connection ? connection : &mainConnection())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmAtendimentoParticular"));
    setWindowTitle(QStringLiteral("008 - Atendimento particular."));
    auto *outer = new QVBoxLayout(this);

    auto *upper = new QGroupBox(this);
    auto *ug = new QGridLayout(upper);
    m_ownerId = readOnlyLine(upper, "dbeId_Proprietario");
    m_owner = new PagedPicker(upper);
    m_owner->setObjectName(QStringLiteral("dblProprietario"));
    m_owner->setSource(m_conn, QStringLiteral("proprietario p"), QStringLiteral("p.Id_Proprietario"), QStringLiteral("p.Nome"));
    m_animalId = readOnlyLine(upper, "dbeId_Animal");
    m_animal = new IdNameCombo(upper);
    m_animal->setObjectName(QStringLiteral("dblAnimal"));
    m_animal->setMinimumWidth(260);
    ug->addWidget(captioned(QStringLiteral("Cód. prop.:"), m_ownerId, upper), 0, 0);
    ug->addWidget(m_ownerId, 0, 1);
    ug->addWidget(captioned(QStringLiteral("Proprietário:"), m_owner->editor(), upper), 0, 2);
    ug->addWidget(m_owner, 0, 3);
    ug->addWidget(captioned(QStringLiteral("Cód. animal.:"), m_animalId, upper), 1, 0);
    ug->addWidget(m_animalId, 1, 1);
    ug->addWidget(captioned(QStringLiteral("Animal:"), m_animal, upper), 1, 2);
    ug->addWidget(m_animal, 1, 3, Qt::AlignLeft);
    ug->setColumnStretch(3, 1);
    outer->addWidget(upper);

    auto *lower = new QGroupBox(this);
    auto *lg = new QGridLayout(lower);
    m_procedure = new IdNameCombo(lower);
    m_procedure->setObjectName(QStringLiteral("dblProcedimento"));
    m_procedure->setMinimumWidth(260);
    m_atualiza = new QPushButton(QStringLiteral("&Atualiza"), lower);
    m_atualiza->setObjectName(QStringLiteral("bmpAtualiza"));
    m_date = new DateLineEdit(lower);
    m_date->setObjectName(QStringLiteral("mskData"));
    m_date->setFixedWidth(100);
    lg->addWidget(captioned(QStringLiteral("Procedimento:"), m_procedure, lower), 0, 0);
    lg->addWidget(m_procedure, 0, 1, Qt::AlignLeft);
    lg->addWidget(m_atualiza, 0, 2, Qt::AlignLeft);
    lg->addWidget(captioned(QStringLiteral("Data  realização:"), m_date, lower), 1, 0);
    lg->addWidget(m_date, 1, 1, Qt::AlignLeft);
    auto *buttons = new ButtonRow(lower);
    m_incluir = buttons->add(QStringLiteral("&Incluir"), QStringLiteral("bmpIncluir"));
    m_excluir = buttons->add(QStringLiteral("&Excluir"), QStringLiteral("bmpExcluir"));
    buttons->stretch();
    m_sair = buttons->add(QStringLiteral("&Sair"), QStringLiteral("bmpSair"));
    lg->addLayout(buttons, 2, 0, 1, 3);
    lg->setColumnStretch(2, 1);
    outer->addWidget(lower);

    m_model = new PagedQueryModel(this);
    m_model->setConnection(m_conn);
    QList<PagedQueryModel::Column> cols(3);
    cols[0].title = QStringLiteral("Código");
    cols[0].expression = QStringLiteral("a.Id_Atendimento_Particular");
    cols[1].title = QStringLiteral("Data");
    cols[1].expression = QStringLiteral("a.dt_Atendimento");
    cols[2].title = QStringLiteral("Atendimento");
    cols[2].expression = QStringLiteral("t.Nome");
    m_model->setSource(QStringLiteral("atendimento_particular a left join tipo_procedimento t "
                                      "on (t.Id_Tipo_Procedimento = a.Id_Tipo_Procedimento)"),
                       cols, QStringLiteral("a.Id_Atendimento_Particular"));
    m_model->setShadedColumn(0);
    m_model->setFilter(QStringLiteral("1=2"));
    m_grid = makeReadOnlyGrid(this, m_model, QStringLiteral("dbgAtendimentoParticular"), QStringLiteral("Atendimentos particulares"));
    m_grid->setColumnWidth(0, 70);
    m_grid->setColumnWidth(1, 90);
    outer->addWidget(m_grid, 1);

    // Enter moves on as Tab does, in every field.
    const QList<QWidget *> fields{m_ownerId, m_owner->editor(), m_animalId, m_animal, m_procedure, m_date};
    for (QWidget *w : fields)
        FieldBinder::installEnterAsTab(w);

    // The procedure register, as the main menu opens it.
    setContextMenuPolicy(Qt::ActionsContextMenu);
    if (QAction *a = MainMenuHook::action(QStringLiteral("mnu017")))
        addAction(a);

    connect(m_owner, &PagedPicker::currentChanged, this, &AtendimentoParticularScreen::ownerChanged);
    connect(m_animal, &QComboBox::currentIndexChanged, this, [this] { animalChanged(); });
    connect(m_atualiza, &QPushButton::clicked, this, &AtendimentoParticularScreen::reloadProcedures);
    connect(m_incluir, &QPushButton::clicked, this, [this] { include(); });
    connect(m_excluir, &QPushButton::clicked, this, [this] { exclude(); });
    connect(m_sair, &QPushButton::clicked, this, [this] {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
            sub->close();
        else
            close();
    });
    resize(720, 480);
}

void AtendimentoParticularScreen::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (m_opened)
        return;
    m_opened = true;
    try {
        m_owner->reload();
    } catch (const DbError &err) {
        Services::messages().error(err.text(), this);
    }
    reloadProcedures();
    m_ownerId->setFocus();
}

void AtendimentoParticularScreen::reloadProcedures()
{
    IdNameCombo::Options o;
    o.text = [](const QVariant &, const QString &name) { return name; };
    try {
        m_procedure->fill(*m_conn, QStringLiteral("select Id_Tipo_Procedimento, Nome from tipo_procedimento order by Nome"), {}, o);
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
}

void AtendimentoParticularScreen::ownerChanged(const QVariant &id)
{
    m_ownerId->setText(id.isValid() ? Sql::text(id) : QString());
    IdNameCombo::Options o;
    o.text = [](const QVariant &, const QString &name) { return name; };
    try {
        if (id.isValid())
            m_animal->fill(*m_conn, QStringLiteral("select Id_Animal, Nome from animal where Id_Proprietario = :p order by Nome"),
                           {{QStringLiteral("p"), id}}, o);
        else
            m_animal->clear();
    } catch (const DbError &e) {
        m_animal->clear();
        Services::messages().error(e.text(), this);
    }
    // fill() keeps signals quiet: show the animal it stands on (or none).
    animalChanged();
}

void AtendimentoParticularScreen::animalChanged()
{
    const QVariant id = m_animal->currentId();
    m_animalId->setText(id.isValid() ? Sql::text(id) : QString());
    loadGrid();
}

void AtendimentoParticularScreen::loadGrid()
{
    const QVariant id = m_animal->currentId();
    // Without an animal the grid is empty, so Excluir cannot reach rows of
    // an animal that is no longer shown.
    if (id.isValid())
        m_model->setFilter(QStringLiteral("a.Id_Animal = :animal"), {{QStringLiteral("animal"), id}});
    else
        m_model->setFilter(QStringLiteral("1=2"));
    try {
        m_model->reload();
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 0));
}

bool AtendimentoParticularScreen::include()
{
    // A date still being typed is read, or refused by its name, first.
    if (!m_date->check())
        return false;
    const QVariant animal = m_animal->currentId();
    const QVariant procedure = m_procedure->currentId();
    const QDate date = m_date->date();
    if (!animal.isValid() || !procedure.isValid() || !date.isValid()) {
        Services::messages().error(kSaveFailed, this);
        return false;
    }
    QVariant key;
    try {
        Transaction tx(*m_conn);
        bool ok = false;
        const int user = usuarioLogado().IdUsuario.trimmed().toInt(&ok);
        key = Keys::nextProgramKey(*m_conn, QStringLiteral("atendimento_particular"), QStringLiteral("Id_Atendimento_Particular"));
        Sql::exec(*m_conn,
                  QStringLiteral("insert into atendimento_particular (Id_Atendimento_Particular, Id_Animal, Id_Tipo_Procedimento, "
                                 "dt_Atendimento, Inserido_Por, Inserido_Em) values (:k, :a, :t, :d, :por, :em)"),
                  {{QStringLiteral("k"), key},
                   {QStringLiteral("a"), animal},
                   {QStringLiteral("t"), procedure},
                   {QStringLiteral("d"), date},
                   {QStringLiteral("por"), ok ? QVariant(user) : QVariant()},
                   {QStringLiteral("em"), serverNow(*m_conn)}});
        tx.commit();
    } catch (const DbError &) {
        Services::messages().error(kSaveFailed, this);
        return false;
    }
    loadGrid();
    for (int r = 0; r < m_model->rowCount(); ++r)
        if (m_model->key(r).toString() == key.toString())
            m_grid->setCurrentIndex(m_model->index(r, 0));
    Services::messages().information(QStringLiteral("operação realizada com sucesso!"), this);
    return true;
}

bool AtendimentoParticularScreen::exclude()
{
    const QModelIndex i = m_grid->currentIndex();
    if (!i.isValid()) {
        Services::messages().information(QStringLiteral("Registro não encontrado para exclusão."), this);
        return false;
    }
    const QVariant key = m_model->key(i.row());
    if (!Services::messages().confirm(QStringLiteral("O registro será excluido definitivamente.\rDeseja continuar?"), this))
        return false;
    try {
        Transaction tx(*m_conn);
        Sql::exec(*m_conn, QStringLiteral("delete from atendimento_particular where Id_Atendimento_Particular = :k"),
                  {{QStringLiteral("k"), key}});
        tx.commit();
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
        return false;
    }
    loadGrid();
    return true;
}
