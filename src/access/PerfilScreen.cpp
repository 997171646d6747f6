#include "access/PerfilScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "ui/Services.h"
#include "ui/register/FieldBinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kKey = QStringLiteral("Id_Perfil");
const char *const kFlagColumns[5] = {"Visualizar", "Incluir", "Alterar", "Excluir", "Imprimir"};
enum Col { ColCodigo, ColTipo, ColNome, ColFlag0, ColDescricao = ColFlag0 + 5 };

QString typeText(const QString &tipo)
{
    if (tipo == QLatin1String("F"))
        return QStringLiteral("Formulário");
    if (tipo == QLatin1String("R"))
        return QStringLiteral("Relatório");
    return {};
}

QString flagText(const QString &v)
{
    return v == QLatin1String("S") || v == QLatin1String("N") ? v : QString();
}

RegisterDef perfilDef()
{
    RegisterDef d;
    d.formId = 2;
    d.caption = QStringLiteral("002 - Perfil de usuário");
    d.objectName = QStringLiteral("frmGrupo");
    d.table = QStringLiteral("perfil");
    d.keyColumn = kKey;
    d.keySource = KeySource::Program;
    d.ownWindow = true;
    d.fields = {keyField(kKey), text(QStringLiteral("Nome:"), QStringLiteral("Nome"), 50).upper(),
                memo(QStringLiteral("Descrição:"), QStringLiteral("Descricao"))};
    d.grid = {gridColumn(QStringLiteral("Nome"), QStringLiteral("Nome"), 200),
              gridColumn(QStringLiteral("Descrição"), QStringLiteral("Descricao"), 400)};
    d.loadAllWhenShown = false;
    d.editNeedsRow = true;
    d.reloadAllAfterEdit = true;
    d.unique = {{{QStringLiteral("Nome")}, QStringLiteral("Já existe um perfil com este nome."), true, {}}};
    d.confirmText = confirmWithKey(QStringLiteral("Você esta preste a deletar o registro nº: "));
    d.deleteFailedMessage = QStringLiteral("Erro ao tentar excluir registro, entre em contato com administrador! ");
    d.search.title = QStringLiteral("Pesquisa");
    d.search.objectName = QStringLiteral("frmPerfilUsuarioPesquisa");
    d.search.table = d.table;
    d.search.keyColumn = kKey;
    d.search.columns = {gridColumn(QStringLiteral("Códico"), kKey, 60), gridColumn(QStringLiteral("Nome"), QStringLiteral("Nome"), 200),
                        gridColumn(QStringLiteral("Descrição"), QStringLiteral("Descricao"), 300)};
    d.search.criteria = {{QStringLiteral("Código"), kKey, Match::Equals}, {QStringLiteral("Nome"), QStringLiteral("Nome"), Match::Prefix}};
    d.search.searchCaption = QStringLiteral("&Localizar");
    d.search.noCriterionMessage = QStringLiteral("Falta selecionar o campo ou o texto para a pesquisa. ");
    d.search.noTextMessage = d.search.noCriterionMessage;
    d.search.nothingPickedMessage = QStringLiteral("Nenhum registro localizado!");
    d.listReport = 26;
    return d;
}

} // namespace

PerfilScreen::PerfilScreen(QWidget *parent)
    : RegisterScreen(perfilDef(), parent)
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    m_name = new QLabel;
    m_name->setObjectName(QStringLiteral("lblPerfil"));
    m_name->setAlignment(Qt::AlignCenter);
    v->addWidget(m_name);

    auto *form = new QFormLayout;
    m_selection = new QComboBox;
    m_selection->setObjectName(QStringLiteral("cbbForm_Rel"));
    m_selection->addItems({QStringLiteral("Formulário"), QStringLiteral("Relatório")});
    m_selection->setCurrentIndex(-1);
    m_forms = new QComboBox;
    m_forms->setObjectName(QStringLiteral("dblFormulario"));
    auto *l1 = new QLabel(QStringLiteral("Seleção:"));
    l1->setBuddy(m_selection);
    auto *l2 = new QLabel(QStringLiteral("Formulário / Relatório:"));
    l2->setBuddy(m_forms);
    form->addRow(l1, m_selection);
    form->addRow(l2, m_forms);
    FieldBinder::installEnterAsTab(m_selection);
    FieldBinder::installEnterAsTab(m_forms);
    v->addLayout(form);

    auto *flags = new QHBoxLayout;
    const QString captions[5] = {QStringLiteral("Visualização."), QStringLiteral("Inclusão."), QStringLiteral("Alterar"),
                                 QStringLiteral("Exclusão."), QStringLiteral("Impressão")};
    for (int i = 0; i < 5; ++i) {
        m_flags[i] = new QCheckBox(captions[i]);
        m_flags[i]->setObjectName(QStringLiteral("chk") + QLatin1String(kFlagColumns[i]));
        m_flags[i]->setChecked(true);
        flags->addWidget(m_flags[i]);
    }
    auto *add = new QPushButton(QStringLiteral("&Incluir"));
    add->setObjectName(QStringLiteral("btnIncluir"));
    auto *del = new QPushButton(QStringLiteral("&Excluir"));
    del->setObjectName(QStringLiteral("btnExcluir"));
    flags->addStretch();
    flags->addWidget(add);
    flags->addWidget(del);
    v->addLayout(flags);

    m_list = new QTreeWidget;
    m_list->setObjectName(QStringLiteral("lvwFormulario"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels({QStringLiteral("Código"), QStringLiteral("Tipo"), QStringLiteral("Nome"), QStringLiteral("Visualização"),
                             QStringLiteral("Inclusão"), QStringLiteral("Alterar"), QStringLiteral("Exclusão"),
                             QStringLiteral("Impressão"), QStringLiteral("Descrição")});
    m_list->setAccessibleName(QStringLiteral("Formulário / Relatório"));
    v->addWidget(m_list, 1);
    tabs()->insertTab(1, page, QStringLiteral("Formulário / Relatório"));

    if (auto *nome = qobject_cast<QLineEdit *>(binder(QStringLiteral("Nome"))->editor()))
        connect(nome, &QLineEdit::textChanged, m_name, &QLabel::setText);
    connect(m_selection, &QComboBox::currentIndexChanged, this, [this] { loadForms(); });
    connect(add, &QPushButton::clicked, this, &PerfilScreen::addLine);
    connect(del, &QPushButton::clicked, this, &PerfilScreen::removeLine);
}

bool PerfilScreen::editing() const
{
    return mode() == RecordMode::Insert || mode() == RecordMode::Edit;
}

void PerfilScreen::loadForms()
{
    m_forms->clear();
    const QString sel = m_selection->currentText();
    QString tipo;
    if (sel.contains(QStringLiteral("Relatório")))
        tipo = QStringLiteral("R");
    else if (sel.contains(QStringLiteral("Formulário")))
        tipo = QStringLiteral("F");
    if (tipo.isEmpty())
        return;
    try {
        QSqlQuery q = Sql::exec(connection(), QStringLiteral("select Id_Form, Nome, Descricao from form where Tipo_Form = :t order by Nome"),
                                {{QStringLiteral("t"), tipo}});
        while (q.next())
            m_forms->addItem(Sql::text(q.value(1)), QVariantList{q.value(0), Sql::text(q.value(2))});
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
    m_forms->setCurrentIndex(-1);
}

void PerfilScreen::recordShown()
{
    m_name->setText(binder(QStringLiteral("Nome"))->value().toString());
    loadPermissions();
}

void PerfilScreen::loadPermissions()
{
    m_list->clear();
    const QVariant key = binder(kKey)->value();
    if (editing() || key.isNull() || key.toString().trimmed().isEmpty())
        return;
    try {
        QSqlQuery q = Sql::exec(connection(),
                                QStringLiteral("select a.Id_Form, b.Tipo_Form, b.Nome, a.Visualizar, a.Incluir, a.Alterar, a.Excluir, "
                                               "a.Imprimir, b.Descricao from perfil_form a left join form b on (a.Id_Form = b.Id_Form) "
                                               "where a.Id_Perfil = :p order by a.Id_Form"),
                                {{QStringLiteral("p"), key}});
        while (q.next()) {
            auto *item = new QTreeWidgetItem(m_list);
            item->setText(ColCodigo, q.value(0).toString());
            item->setText(ColTipo, typeText(Sql::text(q.value(1))));
            item->setText(ColNome, Sql::text(q.value(2)));
            for (int i = 0; i < 5; ++i) {
                item->setText(ColFlag0 + i, flagText(Sql::text(q.value(3 + i))));
                m_flags[i]->setChecked(item->text(ColFlag0 + i) == QLatin1String("S"));
            }
            item->setText(ColDescricao, Sql::text(q.value(8)));
        }
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
}

void PerfilScreen::addLine()
{
    if (!editing()) {
        Services::messages().information(QStringLiteral("É necessário que o arquivo esteja no modo de inserção ou edição para incluir ou excluir um novo formulário ou relatório."), this);
        return;
    }
    if (m_selection->currentText().trimmed().isEmpty()) {
        Services::messages().information(QStringLiteral("Selecione o formulário/relatório!"), this);
        return;
    }
    if (m_forms->currentIndex() < 0) {
        Services::messages().information(QStringLiteral("Falta selecinar o formulário/relatório!"), this);
        return;
    }
    const QVariantList data = m_forms->currentData().toList();
    const QString id = data.value(0).toString();
    // A form has one permission row per profile: adding it again replaces its flags.
    QTreeWidgetItem *item = nullptr;
    for (int i = 0; i < m_list->topLevelItemCount() && !item; ++i)
        if (m_list->topLevelItem(i)->text(ColCodigo) == id)
            item = m_list->topLevelItem(i);
    if (!item)
        item = new QTreeWidgetItem(m_list);
    item->setText(ColCodigo, id);
    item->setText(ColTipo, m_selection->currentText());
    item->setText(ColNome, m_forms->currentText());
    for (int i = 0; i < 5; ++i)
        item->setText(ColFlag0 + i, m_flags[i]->isChecked() ? QStringLiteral("S") : QStringLiteral("N"));
    item->setText(ColDescricao, data.value(1).toString());
}

void PerfilScreen::removeLine()
{
    if (!editing()) {
        Services::messages().information(QStringLiteral("É necessário que o arquivo esteja no modo de inserção ou edição para incluir ou excluir um novo formulário ou relatório."), this);
        return;
    }
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item) {
        Services::messages().information(QStringLiteral("Erro na tentativa de exclusão!"), this);
        return;
    }
    delete item;
}

bool PerfilScreen::validate(const Record &)
{
    if (m_list->topLevelItemCount() == 0) {
        Services::messages().information(QStringLiteral("Falta selecionar os formulários e relatórios deste perfil."), this);
        return false;
    }
    return true;
}

void PerfilScreen::afterWrite(const QVariant &key, bool, Connection &c)
{
    // Same transaction as the profile: a failure keeps the old rows.
    Sql::exec(c, QStringLiteral("delete from perfil_form where Id_Perfil = :p"), {{QStringLiteral("p"), key}});
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_list->topLevelItem(i);
        QVariantMap v{{QStringLiteral("p"), key}, {QStringLiteral("f"), item->text(ColCodigo).toInt()}};
        for (int j = 0; j < 5; ++j)
            v.insert(QStringLiteral("v%1").arg(j), item->text(ColFlag0 + j));
        Sql::exec(c, QStringLiteral("insert into perfil_form (Id_Perfil, Id_Form, Visualizar, Incluir, Alterar, Excluir, Imprimir) "
                                    "values (:p, :f, :v0, :v1, :v2, :v3, :v4)"),
                  v);
    }
}

bool PerfilScreen::mayDelete(const QVariant &key)
{
    QSqlQuery q = Sql::exec(connection(), QStringLiteral("select Nome from usuario where Id_Perfil = :p"), {{QStringLiteral("p"), key}});
    if (!q.next())
        return true;
    Services::messages().information(QStringLiteral("Você não pode excluir este perfil.\rEle esta sendo usado pelo usuário.")
                                         + Sql::text(q.value(0)),
                                     this);
    return false;
}

void PerfilScreen::beforeDelete(const QVariant &key, Connection &c)
{
    Sql::exec(c, QStringLiteral("delete from perfil_form where Id_Perfil = :p"), {{QStringLiteral("p"), key}});
}
