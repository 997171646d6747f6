#include "access/AccessScreens.h"
#include "access/PerfilScreen.h"
#include "db/PasswordDigest.h"
#include "db/Sql.h"
#include "ui/ScreenCatalog.h"
#include "ui/Services.h"
#include "ui/register/FieldBinder.h"
#include "ui/register/RegisterScreen.h"

#include <QLineEdit>

namespace {

const QString kUnitInUse =
    QStringLiteral("A unidade de trabalho não pode ser excluída, ela esta sendo usado pelo sistema.");

const QString kSenha = QStringLiteral("senha_crip");

// Names listed in upper case, whatever case they were stored in.
const LookupDef kUnidades{QStringLiteral("unidade_trabalho"), QStringLiteral("Id_Unidade_Trabalho"), QStringLiteral("Nome"),
                          QStringLiteral("Descricao"), QStringLiteral("Ind_Status = 'ATIVO'"), true};
const LookupDef kTodasUnidades{QStringLiteral("unidade_trabalho"), QStringLiteral("Id_Unidade_Trabalho"), QStringLiteral("Nome"), {}, {}};
const LookupDef kPerfis{QStringLiteral("perfil"), QStringLiteral("Id_Perfil"), QStringLiteral("Nome"), QStringLiteral("Descricao"), {}, true};

// The password box never shows the stored digest: an alteration that leaves
// it blank keeps the password, a typed one replaces it.
class UsuarioScreen : public RegisterScreen {
public:
    explicit UsuarioScreen(QWidget *parent)
        : RegisterScreen(AccessScreens::usuario(), parent)
    {
        if (auto *e = qobject_cast<QLineEdit *>(binder(kSenha)->editor()))
            e->setEchoMode(QLineEdit::Password);
    }

protected:
    bool validate(const Record &values) override
    {
        const QString typed = values.value(kSenha).toString();
        if (!PasswordDigest::acceptable(typed)) {
            Services::messages().information(PasswordDigest::unacceptableMessage(), this);
            binder(kSenha)->focus();
            return false;
        }
        return true;
    }
    void beforeWrite(Record &values, bool inserting, Connection &) override
    {
        const QString typed = PasswordDigest::trimmed(values.value(kSenha).toString());
        if (typed.isEmpty() && !inserting)
            values.remove(kSenha);
        else
            values.insert(kSenha, PasswordDigest::of(typed));
    }
    void recordShown() override { binder(kSenha)->load(QVariant()); }
    // A web account picked through Consultar may be deleted here: its
    // owner must not keep pointing at it.
    void beforeDelete(const QVariant &key, Connection &c) override
    {
        Sql::exec(c, QStringLiteral("update proprietario set id_usu_web = null where id_usu_web = :k"), {{QStringLiteral("k"), key}});
    }
};

} // namespace

namespace AccessScreens {

RegisterDef unidade()
{
    RegisterDef d;
    d.formId = 1;
    d.caption = QStringLiteral("001 - Cadastro de unidade de trabalho.");
    d.objectName = QStringLiteral("frmUnidade");
    d.table = QStringLiteral("unidade_trabalho");
    d.keyColumn = QStringLiteral("Id_Unidade_Trabalho");
    d.keySource = KeySource::Program;
    d.fields = {keyField(d.keyColumn), text(QStringLiteral("Nome:"), QStringLiteral("Nome"), 100).upper(),
                memo(QStringLiteral("Descrição:"), QStringLiteral("Descricao"), 250), statusCheck()};
    d.grid = {gridColumn(QStringLiteral("Código"), d.keyColumn, 60), gridColumn(QStringLiteral("Nome"), QStringLiteral("Nome"), 250),
              gridColumn(QStringLiteral("Status"), QStringLiteral("Ind_Status"), 70),
              gridColumn(QStringLiteral("Descrição"), QStringLiteral("Descricao"), 300)};
    d.defaults = {{QStringLiteral("Ind_Status"), QStringLiteral("ATIVO")}};
    d.loadAllWhenShown = false;
    d.checks = {required(QStringLiteral("Nome"), QStringLiteral("Falta preencher o nome da unidade!"))};
    // Everything that belongs to a unit; the refusal does not say which.
    for (const char *table : {"unidade_trabalho_profissional", "atendimento", "jornada_trabalho", "impedimento",
                              "profissional", "usuario", "jornada_trabalho_execao"})
        d.usedBy.append({QString::fromLatin1(table), QStringLiteral("Id_Unidade_Trabalho"), kUnitInUse});
    d.confirmText = confirmWithKey(QStringLiteral("Você esta preste a deletar a unidade nº: "));
    // Any other reference the database knows of.
    d.deleteFailedMessage = QStringLiteral("O registro esta sendo usado pelo sistema e não pode ser excluído!");
    d.search.title = QStringLiteral("Consultar");
    d.search.objectName = QStringLiteral("frmUnidadeConsultar");
    d.search.table = d.table;
    d.search.keyColumn = d.keyColumn;
    d.search.columns = {gridColumn(QStringLiteral("Código"), d.keyColumn, 60), gridColumn(QStringLiteral("Nome"), QStringLiteral("Nome"), 300)};
    d.search.criteria = {{QStringLiteral("Código"), d.keyColumn, Match::Equals}, {QStringLiteral("Nome"), QStringLiteral("Nome"), Match::Prefix}};
    d.search.initialCriterion = 1;
    d.search.loadAllWhenShown = true;
    d.search.locateWhileTyping = true;
    d.search.followCurrentRow = true;
    d.search.closeOnOk = false;
    d.search.sortable = true;
    d.listReport = 25;
    d.sortable = true;
    return d;
}

RegisterDef usuario()
{
    RegisterDef d;
    d.formId = 3;
    d.caption = QStringLiteral("003 - Cadastro de Usuário.");
    d.objectName = QStringLiteral("frmUsuario");
    d.table = QStringLiteral("usuario");
    d.keyColumn = QStringLiteral("Id_Usuario");
    d.keySource = KeySource::Server;
    // The same table holds the owners' web accounts; this screen keeps the staff.
    d.rowFilter = QStringLiteral("t.Id_proprietario is null");
    d.fields = {lookupField(QStringLiteral("Unidade de trabalho:"), QStringLiteral("Id_Unidade_Trabalho"), kUnidades)
                    .name(QStringLiteral("dblUnidade")),
                keyField(d.keyColumn),
                text(QStringLiteral("Nome:"), QStringLiteral("Nome"), 50).upper(),
                lookupField(QStringLiteral("Perfil:"), QStringLiteral("Id_Perfil"), kPerfis).name(QStringLiteral("dblPerfil")),
                text(QStringLiteral("Login:"), QStringLiteral("Login"), 50).upper(),
                text(QStringLiteral("Senha:"), kSenha, 50).upper().name(QStringLiteral("dbeSenha")),
                yesNoCheck(QStringLiteral("Bloqueado."), QStringLiteral("Bloqueado")),
                yesNoCheck(QStringLiteral("Inativo."), QStringLiteral("Inativo"))};
    d.grid = {gridColumn(QStringLiteral("Usuário"), d.keyColumn, 60), gridColumn(QStringLiteral("Nome"), QStringLiteral("Nome"), 200),
              gridColumn(QStringLiteral("Usuário bloqueado"), QStringLiteral("Bloqueado"), 90),
              gridColumn(QStringLiteral("Usuário inativo"), QStringLiteral("Inativo"), 90),
              gridLookup(QStringLiteral("Grupo de usuário"), QStringLiteral("Id_Perfil"), kPerfis, 150).sortedByKey(),
              gridLookup(QStringLiteral("Unidade"), QStringLiteral("Id_Unidade_Trabalho"), kTodasUnidades, 150).sortedByKey()};
    d.defaults = {{QStringLiteral("Inativo"), QStringLiteral("NAO")}, {QStringLiteral("Bloqueado"), QStringLiteral("NAO")}};
    d.focusOnNew = QStringLiteral("Id_Unidade_Trabalho");
    d.loadAllWhenShown = false;
    d.editNeedsRow = true;
    d.reloadAllAfterCancel = true;
    d.unique = {{{QStringLiteral("Nome")}, QStringLiteral("Já existe um usuário cadastrado com este nome."), true,
                 QStringLiteral("Id_proprietario is null")}};
    d.confirmText = confirmWithKey(QStringLiteral("Você esta preste a deletar a definitivamento o usuário nº: "));
    d.search.title = QStringLiteral("Consultar");
    d.search.objectName = QStringLiteral("frmUsuarioConsultar");
    d.search.table = d.table;
    d.search.keyColumn = d.keyColumn;
    d.search.columns = {gridColumn(QStringLiteral("Código"), d.keyColumn, 60), gridColumn(QStringLiteral("Nome"), QStringLiteral("Nome"), 200),
                        gridColumn(QStringLiteral("Login"), QStringLiteral("Login"), 120),
                        gridColumn(QStringLiteral("Bloqueado"), QStringLiteral("Bloqueado"), 70),
                        gridColumn(QStringLiteral("Inativo"), QStringLiteral("Inativo"), 70)};
    d.search.criteria = {{QStringLiteral("Código"), d.keyColumn, Match::Equals}, {QStringLiteral("Nome"), QStringLiteral("Nome"), Match::Prefix}};
    d.search.searchCaption = QStringLiteral("&Localizar");
    d.search.noCriterionMessage = QStringLiteral("Falta selecionar o campo ou o texto para a pesquisa. ");
    d.search.noTextMessage = d.search.noCriterionMessage;
    d.search.nothingPickedMessage = QStringLiteral("Nenhum registro localizado!");
    d.listReport = 27;
    d.sortable = true;
    return d;
}

RegisterDef formSistema()
{
    RegisterDef d;
    d.formId = 47;
    d.caption = QStringLiteral("047 - Formulário do sistema ");
    d.objectName = QStringLiteral("frmFrmSistema");
    d.table = QStringLiteral("form");
    d.keyColumn = QStringLiteral("Id_Form");
    d.keySource = KeySource::Program;
    d.ownWindow = true;
    d.hasPrint = false;
    d.hasSearch = false;
    d.fields = {keyField(d.keyColumn), text(QStringLiteral("Nome:"), QStringLiteral("Nome"), 80),
                memo(QStringLiteral("Descrição:"), QStringLiteral("Descricao"), 250),
                integerField(QStringLiteral("Tag:"), QStringLiteral("Tag")),
                choice(QStringLiteral("Tipo formul.:"), QStringLiteral("Tipo_Form"), {QStringLiteral("F"), QStringLiteral("R")}),
                statusCheck()};
    d.grid = {gridColumn(QStringLiteral("Nome"), QStringLiteral("Nome"), 200), gridColumn(QStringLiteral("Tag"), QStringLiteral("Tag"), 60),
              gridColumn(QStringLiteral("Tipo formulário"), QStringLiteral("Tipo_Form"), 90),
              gridColumn(QStringLiteral("Status"), QStringLiteral("Ind_Status"), 70),
              gridColumn(QStringLiteral("Descrição"), QStringLiteral("Descricao"), 300)};
    d.loadAllWhenShown = false;
    d.checks = {required(QStringLiteral("Nome"), QStringLiteral("Falta preencher o nome do formulário!"))};
    d.confirmDelete = false;
    // A later form may get the same key (greatest plus one): it must not
    // inherit the grants of the one deleted.
    d.deletedWith = {{QStringLiteral("perfil_form"), QStringLiteral("Id_Form")}};
    return d;
}

} // namespace AccessScreens

void registerAccessScreens(ScreenCatalog &catalog)
{
    catalog.add(1, [](QWidget *parent) -> QWidget * { return new RegisterScreen(AccessScreens::unidade(), parent); });
    catalog.add(2, [](QWidget *parent) -> QWidget * { return new PerfilScreen(parent); });
    catalog.add(47, [](QWidget *parent) -> QWidget * { return new RegisterScreen(AccessScreens::formSistema(), parent); });
    catalog.add(3, [](QWidget *parent) -> QWidget * { return new UsuarioScreen(parent); });
}
