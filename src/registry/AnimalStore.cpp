#include "registry/AnimalStore.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/Keys.h"
#include "db/RowChange.h"
#include "db/ServerClock.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "registry/StoreValues.h"

#include <QSqlQuery>

using StoreValues::nullIfEmpty;
using StoreValues::value;

namespace {

QDate dateOf(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return {};
    const QDateTime t = v.toDateTime();
    return t.isValid() ? t.date() : v.toDate();
}

Animal animalFrom(const QSqlQuery &q)
{
    Animal a;
    a.Id_Animal = value(q, QStringLiteral("Id_Animal"));
    a.Id_Proprietario = value(q, QStringLiteral("Id_Proprietario"));
    a.Id_Especie = value(q, QStringLiteral("Id_Especie"));
    a.Id_Raca = value(q, QStringLiteral("Id_Raca"));
    a.Id_Grupo_Animal = value(q, QStringLiteral("Id_Grupo_Animal"));
    a.Id_Pelo = value(q, QStringLiteral("Id_Pelo"));
    a.Id_Porte = value(q, QStringLiteral("Id_Porte"));
    a.Nome = Sql::text(q, QStringLiteral("Nome"));
    a.Sexo = Sql::text(q, QStringLiteral("Sexo"));
    a.Data_Nascimento = dateOf(q.value(QStringLiteral("Data_Nascimento")));
    a.Esterilizado = Sql::text(q, QStringLiteral("Esterilizado"));
    a.Num_Microchip = Sql::text(q, QStringLiteral("Num_Microchip"));
    a.Cor = Sql::text(q, QStringLiteral("Cor"));
    a.Sinais = Sql::text(q, QStringLiteral("Sinais"));
    a.Num_Pedigree = Sql::text(q, QStringLiteral("Num_Pedigree"));
    a.OBS = Sql::text(q, QStringLiteral("OBS"));
    a.Ind_End_Animal_Prop = Sql::text(q, QStringLiteral("Ind_End_Animal_Prop"));
    a.Inserido_Por = value(q, QStringLiteral("Inserido_Por"));
    a.Inserido_Em = value(q, QStringLiteral("Inserido_Em"));
    a.Modificado_por = value(q, QStringLiteral("Modificado_por"));
    a.Modificado_Em = value(q, QStringLiteral("Modificado_Em"));
    return a;
}

// The columns the animal tab owns, as bound values. Name and colour are kept
// in capitals, upper-cased here (the databases' upper() misses accents).
QVariantMap animalParams(const Animal &a)
{
    return {
        {QStringLiteral("Id_Proprietario"), a.Id_Proprietario},
        {QStringLiteral("Id_Especie"), a.Id_Especie},
        {QStringLiteral("Id_Raca"), a.Id_Raca},
        {QStringLiteral("Id_Grupo_Animal"), a.Id_Grupo_Animal},
        {QStringLiteral("Nome"), a.Nome.trimmed().toUpper()},
        {QStringLiteral("Id_Pelo"), a.Id_Pelo},
        {QStringLiteral("Sexo"), nullIfEmpty(a.Sexo)},
        {QStringLiteral("Data_Nascimento"), a.Data_Nascimento.isValid() ? QVariant(a.Data_Nascimento) : QVariant()},
        {QStringLiteral("Esterilizado"), nullIfEmpty(a.Esterilizado)},
        {QStringLiteral("Id_Porte"), a.Id_Porte},
        {QStringLiteral("Num_Microchip"), nullIfEmpty(a.Num_Microchip)},
        {QStringLiteral("Cor"), nullIfEmpty(a.Cor.toUpper())},
        {QStringLiteral("Sinais"), nullIfEmpty(a.Sinais)},
        {QStringLiteral("Num_Pedigree"), nullIfEmpty(a.Num_Pedigree)},
        {QStringLiteral("OBS"), nullIfEmpty(a.OBS)},
    };
}

bool empty(const QVariant &v) { return Sql::text(v).isEmpty(); }

// A birth date box left as its mask ("  /  /  ") holds no date.
bool blankDate(const QString &text)
{
    QString t = text;
    t.remove(QLatin1Char('_'));
    t.remove(QLatin1Char(' '));
    return t == QLatin1String("//") || t.isEmpty();
}

} // namespace

AnimalStore::AnimalStore(Connection &c) : m_c(c) {}
AnimalStore::AnimalStore() : m_c(mainConnection()) {}

void AnimalStore::step(const QString &name) const
{
    if (afterStep)
        afterStep(name);
}

QList<Animal> AnimalStore::ofOwner(int idProprietario) const
{
    QSqlQuery q = Sql::exec(m_c, QStringLiteral("select * from animal where Id_Proprietario = :id order by Id_Animal"),
                            {{QStringLiteral("id"), idProprietario}});
    QList<Animal> list;
    while (q.next())
        list << animalFrom(q);
    return list;
}

std::optional<Animal> AnimalStore::load(int idAnimal) const
{
    QSqlQuery q = Sql::exec(m_c, QStringLiteral("select * from animal where Id_Animal = :id"),
                            {{QStringLiteral("id"), idAnimal}});
    if (!q.next())
        return std::nullopt;
    return animalFrom(q);
}

std::optional<Endereco> AnimalStore::currentAddress(int idAnimal) const
{
    const QVariant id = Sql::scalar(m_c, QStringLiteral("select max(Id_Endereco) from endereco_animal where Id_Animal = :id"),
                                    {{QStringLiteral("id"), idAnimal}});
    if (id.isNull() || !id.isValid())
        return std::nullopt;
    return AddressStore::load(m_c, id);
}

AnimalStore::BreedDefaults AnimalStore::breedDefaults(const QVariant &idRaca) const
{
    BreedDefaults d;
    if (empty(idRaca))
        return d;
    QSqlQuery q = Sql::exec(m_c, QStringLiteral("select id_porte, id_pelo from raca where id_raca = :id"),
                            {{QStringLiteral("id"), idRaca}});
    if (q.next()) {
        d.idPorte = value(q, QStringLiteral("id_porte"));
        d.idPelo = value(q, QStringLiteral("id_pelo"));
    }
    return d;
}

AnimalRefusal AnimalStore::validate(const AnimalEdit &e)
{
    const Animal &a = e.animal;
    const Endereco &d = e.address;
    using F = AnimalField;
    if (a.Nome.trimmed().isEmpty())
        return {F::Nome, QStringLiteral("Falta digitar o nome do animal.")};
    if (empty(a.Id_Grupo_Animal))
        return {F::Grupo, QStringLiteral("Selecione o grupo de animal.")};
    if (empty(a.Id_Especie))
        return {F::Especie, QStringLiteral("Selecione a espécie do animal.")};
    if (empty(a.Id_Raca))
        return {F::Raca, QStringLiteral("Selecione a raça do animal.")};
    if (empty(a.Id_Porte))
        return {F::Porte, QStringLiteral("Selecione o porte do animal.")};
    if (empty(a.Id_Pelo))
        return {F::Pelo, QStringLiteral("Selecione o pelo do animal.")};
    if (blankDate(e.birthDateText))
        return {F::DataNascimento, QStringLiteral("Falta informar a data de nascimento do animal.")};
    // A date that does not exist (31/02) used to stop the save with the
    // conversion's own error; it is refused at its field instead.
    if (!a.Data_Nascimento.isValid())
        return {F::DataNascimento, QStringLiteral("Data de nascimento inválida.")};
    if (a.Sexo.trimmed().isEmpty())
        return {F::Sexo, QStringLiteral("Falta informar o sexo do animal.")};
    if (a.Esterilizado.trimmed().isEmpty())
        return {F::Esterilizado, QStringLiteral("Falta informar se o animal foi esterilizado.")};
    if (empty(d.Id_Distrito))
        return {F::Distrito, QStringLiteral("Selecione o distrito onde o animal reside.")};
    if (empty(d.NUM_BAIR))
        return {F::Bairro, QStringLiteral("Falta informar o bairro onde o animal reside.")};
    if (d.TIP_LOGR.trimmed().isEmpty())
        return {F::TipoLogradouro, QStringLiteral("Falta informar o tipo de logradouro.")};
    if (d.NOM_LOGR.trimmed().isEmpty())
        return {F::Logradouro, QStringLiteral("Falta informar o logradouro.")};
    if (empty(d.NUM_IMOV_LOGR))
        return {F::Numero, QStringLiteral("Falta informar o número do imóvel.")};
    return {};
}

int AnimalStore::insert(const AnimalEdit &e)
{
    if (empty(e.animal.Id_Proprietario))
        throw DbError(QStringLiteral("Animal sem proprietário não pode ser gravado."));
    const QDateTime now = serverNow(m_c);
    const QVariant user = StoreValues::currentUser();
    Transaction tx(m_c);

    // A new animal's address starts as typed or copied; the coordinates are
    // found again from the street database, not taken from the owner's.
    Endereco addr = e.address;
    addr.Id_Endereco = QVariant();
    addr.End_X = QVariant();
    addr.End_Y = QVariant();
    addr.Inserido_Por = user;
    addr.Inserido_Em = now;
    addr.Modificado_Por = addr.Modificado_Em = QVariant();
    const int idEndereco = AddressStore::insert(m_c, addr, AddressStore::Columns::Animal);
    step(QStringLiteral("endereco"));

    QVariantMap p = animalParams(e.animal);
    p.insert(QStringLiteral("Inserido_Por"), user);
    p.insert(QStringLiteral("Inserido_Em"), now);
    const int idAnimal =
        Keys::insertReturningKey(
            m_c,
            QStringLiteral("insert into animal (Id_Proprietario, Id_Especie, Id_Raca, Id_Grupo_Animal, Nome, Id_Pelo, Sexo, "
                           "Data_Nascimento, Esterilizado, Id_Porte, Num_Microchip, Cor, Sinais, Num_Pedigree, OBS, "
                           "Id_faixa_peso_animal, Inserido_Por, Inserido_Em) values (:Id_Proprietario, :Id_Especie, :Id_Raca, "
                           ":Id_Grupo_Animal, :Nome, :Id_Pelo, :Sexo, :Data_Nascimento, :Esterilizado, :Id_Porte, "
                           ":Num_Microchip, :Cor, :Sinais, :Num_Pedigree, :OBS, 1, :Inserido_Por, :Inserido_Em)"),
            p, QStringLiteral("Id_Animal"))
            .toInt();
    step(QStringLiteral("animal"));

    Sql::exec(m_c, QStringLiteral("insert into endereco_animal (Id_Animal, Id_Endereco) values (:a, :e)"),
              {{QStringLiteral("a"), idAnimal}, {QStringLiteral("e"), idEndereco}});
    step(QStringLiteral("endereco_animal"));

    Sql::exec(m_c,
              QStringLiteral("insert into Grupo_Animal_Animal (Id_Grupo_Animal, Id_Animal, Dt_Entrada_Grupo) "
                             "values (:g, :a, :d)"),
              {{QStringLiteral("g"), e.animal.Id_Grupo_Animal}, {QStringLiteral("a"), idAnimal}, {QStringLiteral("d"), now}});
    step(QStringLiteral("Grupo_Animal_Animal"));

    // The registration is the first entry of the animal's owners.
    const int idHisto = Keys::nextProgramKey(m_c, QStringLiteral("Histo_Muda_Proprietario"),
                                             QStringLiteral("Id_Histo_Muda_Proprietario"));
    Sql::exec(m_c,
              QStringLiteral("insert into Histo_Muda_Proprietario (Id_Histo_Muda_Proprietario, Id_Animal, "
                             "Id_Anterior_Proprietario, Id_Proprietario, Dt_Muda_Proprietario, Inserido_Por, Inserido_Em) "
                             "values (:h, :a, null, :p, null, :u, :d)"),
              {{QStringLiteral("h"), idHisto},
               {QStringLiteral("a"), idAnimal},
               {QStringLiteral("p"), e.animal.Id_Proprietario},
               {QStringLiteral("u"), user},
               {QStringLiteral("d"), now}});
    step(QStringLiteral("Histo_Muda_Proprietario"));

    tx.commit();
    return idAnimal;
}

void AnimalStore::update(const AnimalEdit &e)
{
    if (empty(e.animal.Id_Animal))
        throw DbError(QStringLiteral("Animal sem código não pode ser alterado."));
    const int idAnimal = e.animal.Id_Animal.toInt();
    const QDateTime now = serverNow(m_c);
    const QVariant user = StoreValues::currentUser();
    Transaction tx(m_c);

    Endereco addr = e.address;
    addr.Modificado_Por = user;
    addr.Modificado_Em = now;
    if (empty(addr.Id_Endereco)) {
        // An animal recorded without an address gets one now.
        addr.Inserido_Por = user;
        addr.Inserido_Em = now;
        const int idEndereco = AddressStore::insert(m_c, addr, AddressStore::Columns::Animal);
        Sql::exec(m_c, QStringLiteral("insert into endereco_animal (Id_Animal, Id_Endereco) values (:a, :e)"),
                  {{QStringLiteral("a"), idAnimal}, {QStringLiteral("e"), idEndereco}});
    } else {
        // The address's own dates (set where the animal moves) stay as read.
        AddressStore::update(m_c, addr, e.loadedAddress, AddressStore::Columns::Animal);
    }
    step(QStringLiteral("endereco"));

    RowChange change(QStringLiteral("animal"), QStringLiteral("Id_Animal"), idAnimal);
    change.columns(animalParams(e.loadedAnimal), animalParams(e.animal));
    change.stamp(QStringLiteral("Modificado_por"), user);
    change.stamp(QStringLiteral("Modificado_Em"), now);
    change.apply(m_c);
    step(QStringLiteral("animal"));
    tx.commit();
}

QString AnimalStore::deleteRefusal(int idAnimal) const
{
    const QVariantMap id{{QStringLiteral("id"), idAnimal}};
    if (Sql::scalar(m_c, QStringLiteral("select count(Id_Histo_Muda_Proprietario) from Histo_Muda_Proprietario where Id_Animal = :id"), id)
            .toInt()
        >= 2)
        return QStringLiteral("Animal com histórico de dono anterior.\rRegistro não pode ser excluído!");
    if (Sql::scalar(m_c, QStringLiteral("select count(*) from atendimento_particular where Id_Animal = :id"), id).toInt() > 0)
        return QStringLiteral("Animal com registro de atendimento particular.\rRegistro não pode ser excluído!");
    if (Sql::scalar(m_c, QStringLiteral("select count(*) from atendimento where Id_Animal = :id"), id).toInt() > 0)
        return QStringLiteral("Animal com registro de atendimento.\rRegistro não pode ser excluído!");
    return {};
}

void AnimalStore::remove(int idAnimal)
{
    const QVariantMap id{{QStringLiteral("id"), idAnimal}};
    Transaction tx(m_c);
    // Asked again inside the transaction: the web booking service may have
    // booked the animal since the user was asked.
    if (const QString refusal = deleteRefusal(idAnimal); !refusal.isEmpty())
        throw DbError(refusal);

    QList<QVariant> addresses;
    {
        QSqlQuery q = Sql::exec(m_c, QStringLiteral("select Id_Endereco from endereco_animal where Id_Animal = :id"), id);
        while (q.next())
            addresses << q.value(0);
    }
    Sql::exec(m_c, QStringLiteral("delete from endereco_animal where Id_Animal = :id"), id);
    step(QStringLiteral("endereco_animal"));
    // Every address the animal ever had goes, unless something else still
    // points at it.
    for (const QVariant &e : addresses)
        Sql::exec(m_c,
                  QStringLiteral("delete from endereco where Id_Endereco = :e1 "
                                 "and not exists (select 1 from endereco_animal l where l.Id_Endereco = :e2) "
                                 "and not exists (select 1 from proprietario p where p.Id_Endereco = :e3)"),
                  {{QStringLiteral("e1"), e}, {QStringLiteral("e2"), e}, {QStringLiteral("e3"), e}});
    step(QStringLiteral("endereco"));
    Sql::exec(m_c, QStringLiteral("delete from Grupo_Animal_Animal where Id_Animal = :id"), id);
    Sql::exec(m_c, QStringLiteral("delete from Histo_Muda_Proprietario where Id_Animal = :id"), id);
    step(QStringLiteral("Histo_Muda_Proprietario"));
    Sql::exec(m_c, QStringLiteral("delete from animal where Id_Animal = :id"), id);
    step(QStringLiteral("animal"));
    tx.commit();
}

QString AnimalStore::information(int idAnimal) const
{
    QSqlQuery q = Sql::exec(m_c,
                            QStringLiteral("select b.Nome as Nome_inseriu, c.Nome as Nome_alterou, a.Inserido_Em, a.Modificado_Em, "
                                           "a.Modificado_por from animal a "
                                           "left join usuario b on (a.Inserido_Por = b.Id_Usuario) "
                                           "left join usuario c on (a.Modificado_por = c.Id_Usuario) "
                                           "where b.Nome is not null and a.Id_Animal = :id"),
                            {{QStringLiteral("id"), idAnimal}});
    if (!q.next())
        return {};
    auto when = [&q](const char *column) {
        const QDateTime t = q.value(QString::fromLatin1(column)).toDateTime();
        return t.isValid() ? Formats::dateTime(t) : QString();
    };
    QString text = QStringLiteral("Usuário que inseriu o registro:") + Sql::text(q, QStringLiteral("Nome_inseriu"))
                   + QStringLiteral("Data da inserção:") + when("Inserido_Em") + QStringLiteral("\r");
    if (!Sql::text(q.value(QStringLiteral("Modificado_por"))).isEmpty())
        text += QStringLiteral("Usuário que Modificou o registro:") + Sql::text(q, QStringLiteral("Nome_alterou"))
                + QStringLiteral("Data de modificação:") + when("Modificado_Em");
    return text;
}
