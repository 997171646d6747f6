#include "scheduling/ProfissionalScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "scheduling/IntervalPanel.h"
#include "ui/Services.h"
#include "ui/register/FieldBinder.h"

#include <QAction>
#include <QDateTime>
#include <QGroupBox>
#include <QTabWidget>

namespace {

const QString kConfirm = QStringLiteral("O registro será excluído definitivamente.\r Deseja continuar?");
const QString kAttended = QStringLiteral("O profissional realizou atendimento e não poderá ser excluído!");
const QString kPhoneMask = QStringLiteral("(99)99999-9999;_");

QVariant currentUser()
{
    bool ok = false;
    const int id = usuarioLogado().IdUsuario.trimmed().toInt(&ok);
    return ok ? QVariant(id) : QVariant();
}

} // namespace

RegisterDef ProfissionalScreen::definition()
{
    const LookupDef units{QStringLiteral("unidade_trabalho"), QStringLiteral("Id_Unidade_Trabalho"), QStringLiteral("Nome"), {},
                          QStringLiteral("ind_status = 'ATIVO'")};
    RegisterDef d;
    d.formId = 7;
    d.caption = QStringLiteral("007 - Profissional.");
    d.objectName = QStringLiteral("frmProfissional");
    d.table = QStringLiteral("profissional");
    d.keyColumn = QStringLiteral("Id_Profissional");
    d.fields = {keyField(QStringLiteral("Id_Profissional"), QStringLiteral("Cód.:")),
                lookupField(QStringLiteral("Unidade de origem:"), QStringLiteral("Id_Unidade_Trabalho"), units)
                    .name(QStringLiteral("dblUnidadeOrigem")),
                text(QStringLiteral("Nome do profissional:"), QStringLiteral("Nome"), 100).upper(),
                text(QStringLiteral("Tel.residencial:"), QStringLiteral("Telefone_residencial"), 15).mask(kPhoneMask).widthPx(130),
                text(QStringLiteral("Tel. celular:"), QStringLiteral("Telefone_celular"), 15).mask(kPhoneMask).widthPx(130),
                text(QStringLiteral("Tel. recado:"), QStringLiteral("Telefone_Recado"), 15).mask(kPhoneMask).widthPx(130),
                text(QStringLiteral("E-mail:"), QStringLiteral("Email"), 60).lower(),
                yesNoCheck(QStringLiteral("Inativo"), QStringLiteral("Inativo")),
                yesNoCheck(QStringLiteral("Bloqueado"), QStringLiteral("Bloqueado"))};
    d.grid = {gridColumn(QStringLiteral("Código"), QStringLiteral("Id_Profissional"), 60),
              gridColumn(QStringLiteral("Nome"), QStringLiteral("Nome"), 300),
              gridColumn(QStringLiteral("E-mail"), QStringLiteral("Email"), 200),
              gridColumn(QStringLiteral("Inativo"), QStringLiteral("Inativo"), 60),
              gridColumn(QStringLiteral("Bloqueado"), QStringLiteral("Bloqueado"), 60)};
    d.defaults = {{QStringLiteral("Inativo"), QStringLiteral("NAO")}, {QStringLiteral("Bloqueado"), QStringLiteral("NAO")}};
    d.focusOnNew = QStringLiteral("Id_Unidade_Trabalho");
    // Asked first, then refused when the professional has attendances (mayDelete).
    d.confirmDelete = false;
    d.loadAllWhenShown = false;
    d.listReport = 42;

    SearchDef s;
    s.title = QStringLiteral("Pesquisa profissional.");
    s.objectName = QStringLiteral("frmProfissionalPesquisa");
    s.table = d.table;
    s.keyColumn = d.keyColumn;
    s.columns = {gridColumn(QStringLiteral("Código"), QStringLiteral("Id_Profissional"), 60),
                 gridColumn(QStringLiteral("Nome"), QStringLiteral("Nome"), 300)};
    s.criteria = {{QStringLiteral("Código"), QStringLiteral("Id_Profissional"), Match::Equals},
                  {QStringLiteral("Nome"), QStringLiteral("Nome"), Match::Prefix}};
    s.searchCaption = QStringLiteral("&Pesquisa");
    s.noCriterionMessage = QStringLiteral("Falta selecionar o tipo de procura!");
    s.noTextMessage = QStringLiteral("Falta digitar o texto para realizar a procura!");
    d.search = s;
    return d;
}

ProfissionalScreen::ProfissionalScreen(QWidget *parent, Connection *connection)
    : RegisterScreen(definition(), parent, connection)
{
    const QStringList captions{QStringLiteral("Dias/Hora do atendimento"), QStringLiteral("Horários impedido de trabalhar."),
                               QStringLiteral("Horários extras de trabalho.")};
    const IntervalKind kinds[] = {IntervalKind::WorkingHours, IntervalKind::Impediment, IntervalKind::ExtraHours};
    const char *names[] = {"tbsAtendimento", "tbsImpedimento", "tbsHorasExtras"};
    QDateTime now = QDateTime::currentDateTime();
    try {
        now = serverNow(RegisterScreen::connection());
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
    for (int i = 0; i < 3; ++i) {
        auto *p = new IntervalPanel(kinds[i], tabs());
        p->setObjectName(QLatin1String(names[i]));
        p->setChangeAllowed([this] { return mode() != RecordMode::Browse; });
        p->setPickers(now);
        m_panels[i] = p;
        tabs()->insertTab(1 + i, p, captions.at(i));
    }
    reloadUnits();
    // "Atualizar" also reads the units again.
    connect(actRefresh, &QAction::triggered, this, [this] { reloadUnits(); });
    stateChanged();
}

void ProfissionalScreen::reloadUnits()
{
    try {
        for (IntervalPanel *p : m_panels)
            p->fillUnits(connection());
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
}

void ProfissionalScreen::stateChanged()
{
    const bool editing = mode() != RecordMode::Browse;
    for (IntervalPanel *p : m_panels)
        if (p)
            p->setEditing(editing);
}

void ProfissionalScreen::recordShown()
{
    if (!m_panels[0])
        return;
    const QVariant key = currentKey();
    QString name;
    if (FieldBinder *b = binder(QStringLiteral("Nome")))
        name = Sql::text(b->value());
    for (IntervalPanel *p : m_panels)
        p->setProfessionalName(name);
    // A new record starts with empty lists; otherwise the lists are what the
    // tables hold (so a cancelled edit shows the stored intervals again).
    for (QList<WorkInterval> &l : m_loaded)
        l.clear();
    if (mode() == RecordMode::Insert || !key.isValid() || key.isNull()) {
        for (IntervalPanel *p : m_panels)
            p->setRows({});
        return;
    }
    try {
        for (int i = 0; i < 3; ++i)
            m_loaded[i] = WorkIntervals::load(connection(), m_panels[i]->kind(), key);
        for (int i = 0; i < 3; ++i)
            m_panels[i]->setRows(m_loaded[i]);
    } catch (const DbError &e) {
        for (QList<WorkInterval> &l : m_loaded)
            l.clear();
        for (IntervalPanel *p : m_panels)
            p->setRows({});
        Services::messages().error(e.text(), this);
    }
}

void ProfissionalScreen::afterWrite(const QVariant &key, bool inserting, Connection &c)
{
    const QVariant user = currentUser();
    // An alteration touches only the intervals the clerk added or took
    // away, so that another workstation's new interval survives.
    for (int i = 0; i < 3; ++i) {
        if (inserting)
            WorkIntervals::replace(c, m_panels[i]->kind(), key, m_panels[i]->rows(), user);
        else
            WorkIntervals::apply(c, m_panels[i]->kind(), key, m_loaded[i], m_panels[i]->rows(), user);
    }
}

bool ProfissionalScreen::mayDelete(const QVariant &key)
{
    if (!Services::messages().confirm(kConfirm, this))
        return false;
    const QVariant found = Sql::scalar(connection(),
                                       QStringLiteral("select Id_Profissional from atendimento_profissional where Id_Profissional = :p"),
                                       {{QStringLiteral("p"), key}});
    if (found.isValid()) {
        Services::messages().information(kAttended, this);
        return false;
    }
    return true;
}

void ProfissionalScreen::beforeDelete(const QVariant &key, Connection &c)
{
    WorkIntervals::removeAll(c, key);
}
