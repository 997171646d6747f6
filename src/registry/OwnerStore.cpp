#include "registry/OwnerStore.h"
#include "registry/StoreValues.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Keys.h"
#include "db/RowChange.h"
#include "db/PasswordDigest.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "db/Documents.h"

#include <QSqlRecord>

namespace {

using StoreValues::nullIfEmpty;
using StoreValues::value;
QVariant sessionNumber(const QString &text) { return StoreValues::number(text); }

QString phoneOrEmpty(const QString &p)
{
    return Documents::phoneEmpty(p) ? QString() : p.trimmed();
}

// Names are kept in capitals; QString knows accented letters, the
// databases' upper() does not always.
QString upperName(const QString &s) { return s.trimmed().toUpper(); }

// Accounts of deleted owners are inactive and no longer own their e-mail.
const QString kActiveAccount = QStringLiteral(" and (Inativo is null or Inativo <> 'SIM')");

} // namespace

QString SameNameOwner::question() const
{
    return QStringLiteral("Um Proprietário com o mesmo nome foi localizado. Click em \"SIM\" se o proprietário for o "
                          "mesmo ou \"NÂO\" caso não seja.\rNome: ")
           + nome + QStringLiteral("\r") + QStringLiteral("Telefones: ") + telefoneResidencial + QStringLiteral(" / ")
           + telefoneCelular + QStringLiteral(" / ") + telefoneRecado + QStringLiteral("\r") + QStringLiteral("Endereço: ")
           + tipLogr + QStringLiteral(":") + nomLogr + QStringLiteral(",") + numImovLogr + QStringLiteral(" ") + desCmplEndr;
}

OwnerStore::OwnerStore(Connection &c) : m_c(c) {}
OwnerStore::OwnerStore() : m_c(mainConnection()) {}

void OwnerStore::step(const QString &name) const
{
    if (afterStep)
        afterStep(name);
}

std::optional<OwnerData> OwnerStore::load(int id) const
{
    QSqlQuery q = Sql::exec(m_c, QStringLiteral("select * from proprietario where Id_Proprietario = :id and Status_Registro = 'ATIVO'"),
                            {{QStringLiteral("id"), id}});
    if (!q.next())
        return std::nullopt;
    OwnerData d;
    Proprietario &o = d.owner;
    o.Id_Proprietario = value(q, QStringLiteral("Id_Proprietario"));
    o.id_Unidade_Trabalho = value(q, QStringLiteral("id_Unidade_Trabalho"));
    o.Nome = Sql::text(q, QStringLiteral("Nome"));
    o.Telefone_Residencial = Sql::text(q, QStringLiteral("Telefone_Residencial"));
    o.Telefone_Celular = Sql::text(q, QStringLiteral("Telefone_Celular"));
    o.Telefone_Recado = Sql::text(q, QStringLiteral("Telefone_Recado"));
    o.Tipo_Pessoa = Sql::text(q, QStringLiteral("Tipo_Pessoa"));
    o.Num_CPF_CNPJ = Sql::text(q, QStringLiteral("Num_CPF_CNPJ"));
    o.Num_CI = Sql::text(q, QStringLiteral("Num_CI"));
    o.Email_Proprietario = Sql::text(q, QStringLiteral("Email_Proprietario"));
    o.Id_Endereco = value(q, QStringLiteral("Id_Endereco"));
    o.id_usu_web = value(q, QStringLiteral("id_usu_web"));
    o.Status_Registro = Sql::text(q, QStringLiteral("Status_Registro"));
    o.Inserido_Por = value(q, QStringLiteral("Inserido_Por"));
    o.Inserido_Em = value(q, QStringLiteral("Inserido_Em"));
    o.Modificado_Por = value(q, QStringLiteral("Modificado_Por"));
    o.Modificado_Em = value(q, QStringLiteral("Modificado_Em"));
    q = QSqlQuery();
    if (auto a = AddressStore::load(m_c, o.Id_Endereco))
        d.address = *a;
    d.web = webAccount(id);
    return d;
}

QList<int> OwnerStore::activeOwnerIds() const
{
    QList<int> ids;
    QSqlQuery q = Sql::exec(m_c, QStringLiteral("select Id_Proprietario from proprietario where Status_Registro = 'ATIVO' "
                                                "order by Id_Proprietario"));
    while (q.next())
        ids << q.value(0).toInt();
    return ids;
}

std::optional<ContaWeb> OwnerStore::webAccount(int idProprietario) const
{
    QSqlQuery q = Sql::exec(m_c,
                            QStringLiteral("select Id_Usuario, Id_Unidade_Trabalho, Login, Senha, senha_crip, Bloqueado "
                                           "from usuario where Id_proprietario = :id order by Id_Usuario"),
                            {{QStringLiteral("id"), idProprietario}});
    if (!q.next())
        return std::nullopt;
    ContaWeb w;
    w.Id_Usuario = q.value(0);
    w.Id_Unidade_Trabalho = value(q, QStringLiteral("Id_Unidade_Trabalho"));
    w.Login = Sql::text(q.value(2));
    w.Senha = Sql::text(q.value(3));
    w.senha_crip = Sql::text(q.value(4));
    w.Bloqueado = Sql::text(q.value(5));
    return w;
}

QString OwnerStore::blockState(const QVariant &idUsuario) const
{
    if (Sql::text(idUsuario).isEmpty())
        return {};
    return Sql::text(Sql::scalar(m_c, QStringLiteral("select Bloqueado from usuario where Id_Usuario = :id"),
                                 {{QStringLiteral("id"), idUsuario}}));
}

bool OwnerStore::hasWebDigest(int idProprietario) const
{
    QSqlQuery q = Sql::exec(m_c,
                            QStringLiteral("select senha_crip from usuario where Id_proprietario = :id "
                                           "and Status_Registro = 'ATIVO' and Id_Unidade_Trabalho = 15"),
                            {{QStringLiteral("id"), idProprietario}});
    return q.next() && !Sql::text(q.value(0)).isEmpty();
}

Refusal OwnerStore::validateFields(const OwnerEdit &e)
{
    const Proprietario &o = e.owner;
    const Endereco &a = e.address;
    const QString nome = o.Nome.trimmed();
    if (Sql::text(o.id_Unidade_Trabalho).isEmpty())
        return {OwnerField::Unidade, QStringLiteral("Falta preencher campo unidade.")};
    if (nome.isEmpty())
        return {OwnerField::Nome, QStringLiteral("Falta preencher campo nome do proprietário.")};
    if (!nome.contains(QLatin1Char(' ')))
        return {OwnerField::Nome, QStringLiteral("Falta informar o sobre nome do proprietário.")};
    if (Documents::phoneEmpty(o.Telefone_Residencial))
        return {OwnerField::Telefone, QStringLiteral("Falta informar o número o telefone.")};
    if (o.Tipo_Pessoa.trimmed().isEmpty())
        return {OwnerField::TipoPessoa, QStringLiteral("Falta selecionar o campo CPF/CNPJ.")};
    if (o.Email_Proprietario.trimmed().isEmpty())
        return {OwnerField::Email, QStringLiteral("Falta informar o e-mail. ")};
    if (!Documents::validaEmail(o.Email_Proprietario))
        return {OwnerField::Email, QStringLiteral("E-mail invalido.")};
    if (e.passwordRequired) {
        const QString pw = PasswordDigest::trimmed(e.password);
        if (pw.isEmpty())
            return {OwnerField::Senha, QStringLiteral("Falta informa a senha.")};
        if (pw.size() != 10)
            return {OwnerField::Senha, QStringLiteral("A senha deve ter 10 caracteres.")};
        if (!PasswordDigest::acceptable(pw))
            return {OwnerField::Senha, PasswordDigest::unacceptableMessage()};
    }
    if (Sql::text(a.Id_Distrito).isEmpty())
        return {OwnerField::Distrito, QStringLiteral("Falta preencher campo distrito.")};
    if (a.TIP_LOGR.trimmed().isEmpty())
        return {OwnerField::TipoLogradouro, QStringLiteral("Falta preencher o tipo de logradouro.")};
    if (Sql::text(a.NUM_LOGR).isEmpty())
        return {OwnerField::CodLogradouro, QStringLiteral("Falta preencher o código do logradouro.")};
    if (Sql::text(a.NUM_SEQU_LOGR).isEmpty())
        return {OwnerField::Seq, QStringLiteral("Falta preencher o campo Seq. Reveja o endereço do proprietário.")};
    if (a.NOM_LOGR.trimmed().isEmpty())
        return {OwnerField::Logradouro, QStringLiteral("Falta preencher o campo logradouro.")};
    if (Sql::text(a.NUM_IMOV_LOGR).isEmpty())
        return {OwnerField::Numero, QStringLiteral("Falta preencher o número do imóvel.")};
    if (Sql::text(a.NUM_BAIR).isEmpty())
        return {OwnerField::Bairro, QStringLiteral("Falta preencher o bairro do proprietário.")};
    if (o.Tipo_Pessoa == Documents::pessoaFisica() && !Documents::validaCpf(o.Num_CPF_CNPJ))
        return {OwnerField::CpfCnpj, QStringLiteral("CPF Inválido.")};
    if (o.Tipo_Pessoa == Documents::pessoaJuridica() && !Documents::validaCnpj(o.Num_CPF_CNPJ.trimmed()))
        return {OwnerField::CpfCnpj, QStringLiteral("CNPJ invalido!"), false};
    return {};
}

Refusal OwnerStore::checkDuplicates(const OwnerEdit &e, bool inserting) const
{
    const Proprietario &o = e.owner;
    // While editing, the owner itself (and its own web account) is no
    // duplicate of itself.
    const QVariant self = inserting ? QVariant() : o.Id_Proprietario;
    const bool hasSelf = !Sql::text(self).isEmpty();

    const QString cpf = o.Num_CPF_CNPJ.trimmed();
    if (!cpf.isEmpty()) {
        QVariantMap p{{QStringLiteral("cpf"), cpf}};
        QString sql = QStringLiteral("select Id_Proprietario from proprietario where Num_CPF_CNPJ = :cpf and Status_Registro = 'ATIVO'");
        if (hasSelf) {
            sql += QStringLiteral(" and Id_Proprietario <> :self");
            p.insert(QStringLiteral("self"), self);
        }
        if (Sql::exec(m_c, sql, p).next())
            return {OwnerField::CpfCnpj, QStringLiteral("CPF/CNPJ já cadastrado."), false};
    }

    const QString email = o.Email_Proprietario.trimmed().toLower();
    QVariantMap p{{QStringLiteral("e"), email}};
    QString owners = QStringLiteral("select count(*) from proprietario where lower(ltrim(rtrim(Email_Proprietario))) = :e "
                                    "and Status_Registro = 'ATIVO'");
    QString users = QStringLiteral("select count(*) from usuario where lower(ltrim(rtrim(Email_usu))) = :e "
                                   "and Status_Registro = 'ATIVO'")
                    + kActiveAccount;
    if (hasSelf) {
        owners += QStringLiteral(" and Id_Proprietario <> :self");
        users += QStringLiteral(" and (Id_proprietario is null or Id_proprietario <> :self)");
        p.insert(QStringLiteral("self"), self);
    }
    int count = Sql::scalar(m_c, owners, p).toInt();
    if (count == 0)
        count = Sql::scalar(m_c, users, p).toInt();
    if (count > 0)
        return {OwnerField::Email, QStringLiteral("E-mail já cadastrado na base de dados.")};
    return {};
}

void OwnerStore::checkDuplicatesLocked(const OwnerEdit &e, bool inserting)
{
    // Every save of an owner passes here one at a time: what the other desk
    // committed a moment ago is seen before this one writes.
    Keys::lockTable(m_c, QStringLiteral("proprietario"), QStringLiteral("Id_Proprietario"));
    if (const Refusal r = checkDuplicates(e, inserting))
        throw OwnerRefused(r);
}

Refusal OwnerStore::validate(const OwnerEdit &e, bool inserting) const
{
    if (Refusal r = validateFields(e))
        return r;
    return checkDuplicates(e, inserting);
}

std::optional<int> OwnerStore::ownerSharingBaseNumber(const QString &digits, const QVariant &exceptId) const
{
    const QString d = Documents::digitsOnly(digits);
    int base = 0;
    if (d.size() == 11)
        base = 9;
    else if (d.size() == 14)
        base = 12;
    else
        return std::nullopt;
    QVariantMap p{{QStringLiteral("p"), d.left(base) + QLatin1Char('%')}};
    QString sql = QStringLiteral("select Id_Proprietario from proprietario where Num_CPF_CNPJ like :p and Status_Registro = 'ATIVO'");
    if (!Sql::text(exceptId).isEmpty()) {
        sql += QStringLiteral(" and Id_Proprietario <> :self");
        p.insert(QStringLiteral("self"), exceptId);
    }
    QSqlQuery q = Sql::exec(m_c, sql + QStringLiteral(" order by Id_Proprietario"), p);
    if (q.next())
        return q.value(0).toInt();
    return std::nullopt;
}

std::optional<SameNameOwner> OwnerStore::activeOwnerNamed(const QString &nome) const
{
    const QString n = nome.trimmed();
    if (n.isEmpty())
        return std::nullopt;
    QSqlQuery q = Sql::exec(m_c,
                            QStringLiteral("select a.Id_Proprietario, a.Nome, a.Telefone_Residencial, a.Telefone_Celular, "
                                           "a.Telefone_Recado, b.TIP_LOGR, b.NOM_LOGR, b.NUM_IMOV_LOGR, b.DES_CMPL_ENDR "
                                           "from proprietario a left join endereco b on (a.Id_Endereco = b.Id_Endereco) "
                                           "where a.Nome = :n and a.Status_Registro = 'ATIVO' order by a.Id_Proprietario"),
                            {{QStringLiteral("n"), n}});
    if (!q.next())
        return std::nullopt;
    SameNameOwner s;
    s.id = q.value(0).toInt();
    s.nome = Sql::text(q.value(1));
    s.telefoneResidencial = Sql::text(q.value(2));
    s.telefoneCelular = Sql::text(q.value(3));
    s.telefoneRecado = Sql::text(q.value(4));
    s.tipLogr = Sql::text(q.value(5));
    s.nomLogr = Sql::text(q.value(6));
    s.numImovLogr = Sql::text(q.value(7));
    s.desCmplEndr = Sql::text(q.value(8));
    return s;
}

int OwnerStore::createWebAccount(const OwnerEdit &e, int idProprietario, const QVariant &now)
{
    const TUsuarioLogado &u = usuarioLogado();
    const Proprietario &o = e.owner;
    // The account's telephone: the first one given, mobile first.
    QString phone = phoneOrEmpty(o.Telefone_Celular);
    if (phone.isEmpty())
        phone = phoneOrEmpty(o.Telefone_Residencial);
    if (phone.isEmpty())
        phone = phoneOrEmpty(o.Telefone_Recado);
    const Documents::PhoneParts parts = Documents::splitPhone(phone);
    const QVariantMap p{
        {QStringLiteral("pId_Unidade_Trabalho"), sessionNumber(u.IdUnidadeTrabalho)},
        {QStringLiteral("pId_Perfil"), sessionNumber(u.IdPerfil)},
        {QStringLiteral("pNome"), upperName(o.Nome)},
        {QStringLiteral("pLogin"), o.Num_CPF_CNPJ.trimmed()},
        {QStringLiteral("pSenha_crip"), nullIfEmpty(PasswordDigest::of(e.password))},
        {QStringLiteral("pBloqueado"), e.blockTicked ? QStringLiteral("SIM") : QStringLiteral("NÃO")},
        {QStringLiteral("pInativo"), QStringLiteral("NAO")},
        {QStringLiteral("pId_proprietario"), idProprietario},
        {QStringLiteral("pDDD_TEL_USU"), nullIfEmpty(parts.ddd)},
        {QStringLiteral("pTelefone_usu"), nullIfEmpty(parts.number)},
        {QStringLiteral("pNum_CPF_CNPJ"), o.Num_CPF_CNPJ.trimmed()},
        {QStringLiteral("pInd_solicitacao_nova_senha"), QStringLiteral("N")},
        {QStringLiteral("pEmail_usu"), o.Email_Proprietario.trimmed()},
        {QStringLiteral("pInserido_Por"), sessionNumber(u.IdUsuario)},
        {QStringLiteral("pInserido_Em"), now},
    };
    const int idUsuario =
        Keys::insertReturningKey(m_c,
                                 QStringLiteral("insert into usuario (Id_Unidade_Trabalho, Id_Perfil, Nome, Login, senha_crip, "
                                                "Bloqueado, Inativo, Id_proprietario, DDD_TEL_USU, Telefone_usu, Num_CPF_CNPJ, "
                                                "Ind_solicitacao_nova_senha, Email_usu, Inserido_Por, Inserido_Em) values "
                                                "(:pId_Unidade_Trabalho, :pId_Perfil, :pNome, :pLogin, :pSenha_crip, :pBloqueado, "
                                                ":pInativo, :pId_proprietario, :pDDD_TEL_USU, :pTelefone_usu, :pNum_CPF_CNPJ, "
                                                ":pInd_solicitacao_nova_senha, :pEmail_usu, :pInserido_Por, :pInserido_Em)"),
                                 p, QStringLiteral("Id_Usuario"))
            .toInt();
    step(QStringLiteral("usuario"));
    Sql::exec(m_c, QStringLiteral("update proprietario set id_usu_web = :u where Id_Proprietario = :id"),
              {{QStringLiteral("u"), idUsuario}, {QStringLiteral("id"), idProprietario}});
    step(QStringLiteral("vinculo"));
    return idUsuario;
}

namespace {

QVariantMap ownerParams(const Proprietario &o)
{
    return {
        {QStringLiteral("Nome"), upperName(o.Nome)},
        {QStringLiteral("Telefone_Residencial"), nullIfEmpty(phoneOrEmpty(o.Telefone_Residencial))},
        {QStringLiteral("Telefone_Celular"), nullIfEmpty(phoneOrEmpty(o.Telefone_Celular))},
        {QStringLiteral("Telefone_Recado"), nullIfEmpty(phoneOrEmpty(o.Telefone_Recado))},
        {QStringLiteral("Num_CPF_CNPJ"), nullIfEmpty(o.Num_CPF_CNPJ)},
        {QStringLiteral("Tipo_Pessoa"), nullIfEmpty(o.Tipo_Pessoa)},
        {QStringLiteral("Num_CI"), nullIfEmpty(o.Num_CI.toUpper())},
        {QStringLiteral("id_Unidade_Trabalho"), o.id_Unidade_Trabalho},
        {QStringLiteral("Email_Proprietario"), nullIfEmpty(o.Email_Proprietario)},
    };
}

} // namespace

int OwnerStore::insert(const OwnerEdit &e)
{
    const QVariant now = serverNow(m_c);
    const QVariant user = sessionNumber(usuarioLogado().IdUsuario);
    Transaction tx(m_c);
    checkDuplicatesLocked(e, true);

    Endereco a = e.address;
    a.Inserido_Em = now;
    a.Inserido_Por = user;
    const int idEndereco = AddressStore::insert(m_c, a, AddressStore::Columns::Owner);
    step(QStringLiteral("endereco"));

    QVariantMap p = ownerParams(e.owner);
    p.insert(QStringLiteral("Inserido_Por"), user);
    p.insert(QStringLiteral("Inserido_Em"), now);
    p.insert(QStringLiteral("Id_Endereco"), idEndereco);
    const int id = Keys::insertReturningKey(
                       m_c,
                       QStringLiteral("insert into proprietario (Nome, Telefone_Residencial, Telefone_Celular, Telefone_Recado, "
                                      "Num_CPF_CNPJ, Tipo_Pessoa, Num_CI, Inserido_Por, Inserido_Em, Id_Endereco, "
                                      "id_Unidade_Trabalho, Email_Proprietario) values (:Nome, :Telefone_Residencial, "
                                      ":Telefone_Celular, :Telefone_Recado, :Num_CPF_CNPJ, :Tipo_Pessoa, :Num_CI, :Inserido_Por, "
                                      ":Inserido_Em, :Id_Endereco, :id_Unidade_Trabalho, :Email_Proprietario)"),
                       p, QStringLiteral("Id_Proprietario"))
                       .toInt();
    step(QStringLiteral("proprietario"));

    createWebAccount(e, id, now);
    tx.commit();
    return id;
}

void OwnerStore::update(const OwnerEdit &e)
{
    const Proprietario &o = e.owner;
    if (Sql::text(o.Id_Proprietario).isEmpty())
        throw DbError(QStringLiteral("Proprietário sem código não pode ser alterado."));
    const int id = o.Id_Proprietario.toInt();
    const QVariant now = serverNow(m_c);
    const QVariant user = sessionNumber(usuarioLogado().IdUsuario);
    Transaction tx(m_c);
    checkDuplicatesLocked(e, false);

    Endereco a = e.address;
    a.Modificado_Em = now;
    a.Modificado_Por = user;
    QVariant idEndereco = o.Id_Endereco;
    if (Sql::text(a.Id_Endereco).isEmpty()) {
        // An owner recorded without an address gets one now.
        a.Inserido_Em = now;
        a.Inserido_Por = user;
        idEndereco = AddressStore::insert(m_c, a, AddressStore::Columns::Owner);
    } else {
        AddressStore::update(m_c, a, e.loadedAddress, AddressStore::Columns::Owner);
        idEndereco = a.Id_Endereco;
    }
    step(QStringLiteral("endereco"));

    // Deleted at another desk meanwhile: nothing of this save may stay, least
    // of all an update of the account the deleted owner left behind.
    RowChange change(QStringLiteral("proprietario"), QStringLiteral("Id_Proprietario"), id);
    change.columns(ownerParams(e.loadedOwner), ownerParams(o));
    change.column(QStringLiteral("Id_Endereco"), e.loadedOwner.Id_Endereco, idEndereco);
    change.stamp(QStringLiteral("Modificado_Por"), user);
    change.stamp(QStringLiteral("Modificado_Em"), now);
    change.apply(m_c);
    step(QStringLiteral("proprietario"));

    const std::optional<ContaWeb> web = webAccount(id);
    if (!web) {
        // An owner registered before web accounts existed: an update would
        // touch nothing, so the account is created instead.
        createWebAccount(e, id, now);
        tx.commit();
        return;
    }
    // The account mirrors some of the owner's columns. Only those the clerk
    // changed are written: what the owner changed on the web service since
    // the screen loaded (e-mail, telephone) is not written back unchanged.
    const Proprietario &was = e.loadedOwner;
    QStringList sets;
    QVariantMap u{{QStringLiteral("por"), user}, {QStringLiteral("em"), now}, {QStringLiteral("id"), id}};
    auto set = [&](bool changed, const QString &column, const QString &param, const QVariant &value) {
        if (!changed)
            return;
        sets << column + QStringLiteral(" = :") + param;
        u.insert(param, value);
    };
    set(Sql::text(was.id_Unidade_Trabalho) != Sql::text(o.id_Unidade_Trabalho), QStringLiteral("Id_Unidade_Trabalho"),
        QStringLiteral("unidade"), o.id_Unidade_Trabalho);
    set(upperName(was.Nome) != upperName(o.Nome), QStringLiteral("Nome"), QStringLiteral("nome"), upperName(o.Nome));
    set(was.Num_CPF_CNPJ.trimmed() != o.Num_CPF_CNPJ.trimmed(), QStringLiteral("Login"), QStringLiteral("login"),
        o.Num_CPF_CNPJ.trimmed());
    set(was.Email_Proprietario != o.Email_Proprietario, QStringLiteral("Email_usu"), QStringLiteral("email"),
        nullIfEmpty(o.Email_Proprietario));
    set(e.passwordRequired, QStringLiteral("senha_crip"), QStringLiteral("digest"), PasswordDigest::of(e.password));
    set(!e.keepWebBlock, QStringLiteral("Bloqueado"), QStringLiteral("bloqueado"),
        e.blockTicked ? QStringLiteral("SIM") : QStringLiteral("NÃO"));
    // The account keeps the home telephone, split into area code and number.
    if (phoneOrEmpty(was.Telefone_Residencial) != phoneOrEmpty(o.Telefone_Residencial)) {
        const Documents::PhoneParts parts = Documents::splitPhone(phoneOrEmpty(o.Telefone_Residencial));
        set(!parts.ddd.isEmpty(), QStringLiteral("DDD_TEL_USU"), QStringLiteral("ddd"), parts.ddd);
        set(!parts.number.isEmpty(), QStringLiteral("Telefone_usu"), QStringLiteral("fone"), parts.number);
    }
    if (!sets.isEmpty()) {
        sets << QStringLiteral("Modificado_Por = :por") << QStringLiteral("Modificado_Em = :em");
        Sql::exec(m_c, QStringLiteral("update usuario set %1 where Id_proprietario = :id").arg(sets.join(QStringLiteral(", "))),
                  u);
    }
    step(QStringLiteral("usuario"));
    if (Sql::text(o.id_usu_web).isEmpty()) {
        Sql::exec(m_c, QStringLiteral("update proprietario set id_usu_web = :u where Id_Proprietario = :id"),
                  {{QStringLiteral("u"), web->Id_Usuario}, {QStringLiteral("id"), id}});
        step(QStringLiteral("vinculo"));
    }
    tx.commit();
}

bool OwnerStore::hasAnimals(int id) const
{
    const QVariantMap p{{QStringLiteral("id"), id}};
    if (Sql::exec(m_c, QStringLiteral("select Id_Animal from Histo_Muda_Proprietario where Id_Proprietario = :id"), p).next())
        return true;
    return Sql::exec(m_c, QStringLiteral("select Id_Animal from animal where Id_Proprietario = :id"), p).next();
}

void OwnerStore::remove(int id)
{
    const QVariant idEndereco = Sql::scalar(m_c, QStringLiteral("select Id_Endereco from proprietario where Id_Proprietario = :id"),
                                            {{QStringLiteral("id"), id}});
    const QVariant now = serverNow(m_c);
    Transaction tx(m_c);
    Sql::exec(m_c, QStringLiteral("delete from proprietario where Id_Proprietario = :id"), {{QStringLiteral("id"), id}});
    step(QStringLiteral("proprietario"));
    // The web service honours the block; the inactive mark frees the e-mail
    // and lets a new registration of the person get an account of its own.
    Sql::exec(m_c,
              QStringLiteral("update usuario set Bloqueado = 'SIM', Inativo = 'SIM', Modificado_Por = :por, "
                             "Modificado_Em = :em where Id_proprietario = :id"),
              {{QStringLiteral("por"), sessionNumber(usuarioLogado().IdUsuario)},
               {QStringLiteral("em"), now},
               {QStringLiteral("id"), id}});
    step(QStringLiteral("usuario"));
    if (!Sql::text(idEndereco).isEmpty()) {
        Sql::exec(m_c, QStringLiteral("delete from endereco where Id_Endereco = :id"), {{QStringLiteral("id"), idEndereco}});
        step(QStringLiteral("endereco"));
    }
    tx.commit();
}
