#include "tables/RolvexPrincipalScreen.h"
#include "ui/register/FieldBinder.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace {

RegisterDef baseDef()
{
    RegisterDef d;
    d.formId = 50;
    d.caption = QStringLiteral("Tabelas auxiliares");
    d.objectName = QStringLiteral("frmRolvexPrincipal");
    d.ownWindow = true;
    d.hasPrint = false;
    d.hasSearch = false;
    d.listBelowRecord = true;
    d.listCaption = QStringLiteral("Histórico:");
    d.optimisticConcurrency = true;
    d.reloadAllAfterInsert = true;
    d.audit.insertedBy = QStringLiteral("Inserido_por");
    d.audit.insertedAt = QStringLiteral("Inserido_em");
    d.audit.modifiedBy = QStringLiteral("Modificado_por");
    d.audit.modifiedAt = QStringLiteral("Modificado_em");
    return d;
}

} // namespace

QStringList RolvexPrincipalScreen::choices()
{
    return {QStringLiteral("Tipo de Vacina."), QStringLiteral("Motivo da não vacinação."), QStringLiteral("Intercorrência vacinal.")};
}

RegisterDef RolvexPrincipalScreen::tableDef(int index)
{
    RegisterDef d = baseDef();
    const bool chosen = index >= 0 && index < choices().size();
    // Before a choice the controls are shown (as for vaccine types) but work on nothing.
    if (!chosen)
        index = 0;
    static const char *const tables[] = {"tipo_vacina", "tipo_motivo_nao_vacina", "tipo_vacina_ocorrencia"};
    static const char *const keys[] = {"Id_tipo_vacina", "Id_tipo_motivo_nao_vacina", "Id_tipo_vacina_ocorrencia"};
    d.caption = choices().at(index);
    d.table = QLatin1String(tables[index]);
    d.keyColumn = QLatin1String(keys[index]);
    // Vaccine types are numbered by the server; the other two by the program.
    d.keySource = index == 0 ? KeySource::Server : KeySource::Program;
    d.fields = {keyField(d.keyColumn),
                text(QStringLiteral("Nome:"), QStringLiteral("Nome"), 100),
                choice(QStringLiteral("Ativo/Inativo:"), QStringLiteral("Ind_registro_ativo"),
                       {QStringLiteral("ATIVO"), QStringLiteral("INATIVO")}),
                memo(QStringLiteral("Descrição:"), QStringLiteral("Descricao"), 250)};
    d.grid = {gridColumn(QStringLiteral("Código"), d.keyColumn, 60),
              gridColumn(QStringLiteral("Ativo/Inativo:"), QStringLiteral("Ind_registro_ativo"), 90),
              gridColumn(QStringLiteral("Nome:"), QStringLiteral("Nome"), 220),
              gridColumn(QStringLiteral("Descição:"), QStringLiteral("Descricao"), 300)};
    d.defaults = {{QStringLiteral("Ind_registro_ativo"), QStringLiteral("ATIVO")}};
    d.checks = {required(QStringLiteral("Nome"), index == 1 ? QStringLiteral("Falta digitar o nome do motivo da não vacinação!")
                                                            : QStringLiteral("Falta digitar o nome da vacina!"))};
    d.usedBy = {{QStringLiteral("vacina"), d.keyColumn, QStringLiteral("O registro não pode ser excluído.\rEle está sendo usado.")}};
    if (!chosen) {
        d.caption = baseDef().caption;
        d.table.clear();
    }
    return d;
}

RolvexPrincipalScreen::RolvexPrincipalScreen(QWidget *parent, Connection *connection)
    : RegisterScreen(tableDef(-1), parent, connection)
{
    auto *row = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("Selecione uma tabela:"), this);
    m_choice = new QComboBox(this);
    m_choice->setObjectName(QStringLiteral("cbbTabela"));
    m_choice->setAccessibleName(QStringLiteral("Selecione uma tabela:"));
    m_choice->addItems(choices());
    m_choice->setCurrentIndex(-1);
    label->setBuddy(m_choice);
    FieldBinder::installEnterAsTab(m_choice);
    row->addWidget(label);
    row->addWidget(m_choice);
    row->addStretch(1);
    recordTop()->addLayout(row);
    fitRecordAboveList();
    // Opens in the middle of the main window's area (see the main window's openScreen).
    setProperty("centred", true);
    // Nothing to work on until a table is chosen.
    setReady(false);
    connect(m_choice, &QComboBox::currentIndexChanged, this, &RolvexPrincipalScreen::choose);
}

void RolvexPrincipalScreen::choose(int index)
{
    // Changing the table abandons a record being typed, as closing its data set always did.
    setDefinition(tableDef(index));
    setWindowTitle(index >= 0 ? m_choice->itemText(index) : QStringLiteral("Tabelas auxiliares"));
    setReady(index >= 0);
    if (index >= 0)
        refresh();
}

void RolvexPrincipalScreen::showEvent(QShowEvent *e)
{
    RegisterScreen::showEvent(e);
    if (!m_centred && isWindow()) {
        m_centred = true;
        if (QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen())
            move(s->availableGeometry().center() - rect().center());
    }
}
