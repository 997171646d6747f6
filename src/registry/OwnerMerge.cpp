#include "registry/OwnerMerge.h"
#include "db/DataModule.h"
#include "db/Keys.h"
#include "db/OwnerSearch.h"
#include "db/ServerClock.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "registry/StoreValues.h"

#include <QSqlQuery>

namespace {

const QString kCampoPreenchido = QStringLiteral("O campo \"%1\" do proprietário mantido foi preenchido em outra estação "
                                                "enquanto a unificação era preparada. Nada foi gravado.");

QString dateHour(const QVariant &v)
{
    return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm"));
}

QString captionOf(const QString &column)
{
    for (const OwnerMerge::Field &f : OwnerMerge::fillableFields())
        if (f.column == column)
            return f.caption;
    return column;
}

} // namespace

const QList<OwnerMerge::Reference> &OwnerMerge::movedReferences()
{
    // The animals and the ownership history are moved by their own steps
    // (each animal gets an ownership record); the rest by one update each.
    // Exportacao2 is a flat copy rebuilt from the others: its rows follow so
    // that an extraction before the next rebuild does not show the duplicate.
    static const QList<Reference> all{
        {QStringLiteral("animal"), QStringLiteral("Id_Proprietario"), QStringLiteral("Id_Animal")},
        {QStringLiteral("Histo_Muda_Proprietario"), QStringLiteral("Id_Proprietario"), QStringLiteral("Id_Histo_Muda_Proprietario")},
        {QStringLiteral("Histo_Muda_Proprietario"), QStringLiteral("Id_Anterior_Proprietario"),
         QStringLiteral("Id_Histo_Muda_Proprietario")},
        {QStringLiteral("atendimento"), QStringLiteral("Id_Proprietario"), QStringLiteral("Id_Atendimento")},
        {QStringLiteral("agendamento_especial"), QStringLiteral("Id_Proprietario"), QStringLiteral("Id_Agendamento_Especial")},
        {QStringLiteral("Exportacao2"), QStringLiteral("id_prop"), QString()},
    };
    return all;
}

const QList<OwnerMerge::Reference> &OwnerMerge::keptReferences()
{
    static const QList<Reference> all{
        {QStringLiteral("proprietario"), QStringLiteral("Id_Proprietario"), QString()},
        {QStringLiteral("usuario"), QStringLiteral("Id_proprietario"), QString()},
    };
    return all;
}

const QList<OwnerMerge::Field> &OwnerMerge::fillableFields()
{
    static const QList<Field> all{
        {QStringLiteral("Num_CPF_CNPJ"), QStringLiteral("CPF / CNPJ")},
        {QStringLiteral("Num_CI"), QStringLiteral("Identidade")},
        {QStringLiteral("Telefone_Residencial"), QStringLiteral("Telefone residencial")},
        {QStringLiteral("Telefone_Celular"), QStringLiteral("Telefone celular")},
        {QStringLiteral("Telefone_Recado"), QStringLiteral("Telefone recado")},
        {QStringLiteral("Email_Proprietario"), QStringLiteral("E-mail")},
        {QStringLiteral("Id_Endereco"), QStringLiteral("Endereço")},
    };
    return all;
}

QString OwnerPicture::fieldText(const QString &column) const
{
    if (column == QLatin1String("Num_CPF_CNPJ"))
        return cpfCnpj;
    if (column == QLatin1String("Num_CI"))
        return ci;
    if (column == QLatin1String("Telefone_Residencial"))
        return telefoneResidencial;
    if (column == QLatin1String("Telefone_Celular"))
        return telefoneCelular;
    if (column == QLatin1String("Telefone_Recado"))
        return telefoneRecado;
    if (column == QLatin1String("Email_Proprietario"))
        return email;
    if (column == QLatin1String("Id_Endereco"))
        return Sql::text(idEndereco).isEmpty() ? QString() : endereco;
    return {};
}

OwnerMergeStore::OwnerMergeStore(Connection &c) : m_c(c) {}

OwnerMergeStore::OwnerMergeStore() : m_c(mainConnection()) {}

void OwnerMergeStore::step(const QString &name) const
{
    if (afterStep)
        afterStep(name);
}

std::optional<OwnerPicture> OwnerMergeStore::picture(int id) const
{
    const QVariantMap p{{QStringLiteral("id"), id}};
    QSqlQuery q = Sql::exec(m_c,
                            QStringLiteral("select p.Nome, p.Tipo_Pessoa, p.Num_CPF_CNPJ, p.Num_CI, p.Telefone_Residencial, "
                                           "p.Telefone_Celular, p.Telefone_Recado, p.Email_Proprietario, p.Id_Endereco, "
                                           "p.id_usu_web, p.Status_Registro, e.TIP_LOGR, e.NOM_LOGR, e.NUM_IMOV_LOGR, "
                                           "e.DES_CMPL_ENDR, e.NOM_BAIR, e.Id_Endereco from proprietario p "
                                           "left join endereco e on e.Id_Endereco = p.Id_Endereco where p.Id_Proprietario = :id"),
                            p);
    if (!q.next())
        return std::nullopt;
    OwnerPicture o;
    o.id = id;
    o.nome = Sql::text(q.value(0));
    o.tipoPessoa = Sql::text(q.value(1));
    o.cpfCnpj = Sql::text(q.value(2));
    o.ci = Sql::text(q.value(3));
    o.telefoneResidencial = Sql::text(q.value(4));
    o.telefoneCelular = Sql::text(q.value(5));
    o.telefoneRecado = Sql::text(q.value(6));
    o.email = Sql::text(q.value(7));
    o.idEndereco = q.value(8).isNull() ? QVariant() : q.value(8);
    o.idUsuWeb = q.value(9).isNull() ? QVariant() : q.value(9);
    o.active = Sql::text(q.value(10)).compare(QLatin1String("ATIVO"), Qt::CaseInsensitive) == 0;
    if (!q.value(16).isNull())
        o.endereco = OwnerSearch::addressText(Sql::text(q.value(11)), Sql::text(q.value(12)), Sql::text(q.value(13)),
                                              Sql::text(q.value(14)), Sql::text(q.value(15)), true);
    q = QSqlQuery();

    q = Sql::exec(m_c, QStringLiteral("select Id_Animal, Nome, Num_Microchip from animal where Id_Proprietario = :id "
                                      "order by Id_Animal"),
                  p);
    while (q.next()) {
        QString line = QStringLiteral("%1 - %2").arg(q.value(0).toInt()).arg(Sql::text(q.value(1)));
        if (!Sql::text(q.value(2)).isEmpty())
            line += QStringLiteral(" (microchip %1)").arg(Sql::text(q.value(2)));
        o.animals << line;
    }
    q = Sql::exec(m_c,
                  QStringLiteral("select a.Data_Hora_Atendimento, s.Nome, u.Nome, n.Nome from atendimento a "
                                 "left join atendimento_status s on s.Id_Atendimento_Status = a.Id_Atendimento_Status "
                                 "left join unidade_trabalho u on u.Id_Unidade_Trabalho = a.Id_Unidade_Agendada "
                                 "left join animal n on n.Id_Animal = a.Id_Animal "
                                 "where a.Id_Proprietario = :id order by a.Data_Hora_Atendimento desc, a.Id_Atendimento desc"),
                  p);
    while (q.next())
        o.appointments << QStringLiteral("%1 | %2 | %3 | %4")
                              .arg(dateHour(q.value(0)), Sql::text(q.value(1)), Sql::text(q.value(2)), Sql::text(q.value(3)));
    q = Sql::exec(m_c,
                  QStringLiteral("select Qt_Agendamento_Reservado, Inserido_Em from agendamento_especial "
                                 "where Id_Proprietario = :id and Ind_Registro_Excluido = 'FALSE' order by Inserido_Em desc"),
                  p);
    while (q.next())
        o.grants << QStringLiteral("%1 vaga(s) desde %2")
                        .arg(q.value(0).toInt())
                        .arg(q.value(1).toDateTime().toString(QStringLiteral("dd/MM/yyyy")));
    q = Sql::exec(m_c, QStringLiteral("select Login, Bloqueado, Inativo from usuario where Id_proprietario = :id order by Id_Usuario"), p);
    QStringList accounts;
    while (q.next()) {
        QString state = Sql::text(q.value(1));
        if (state.isEmpty())
            state = QStringLiteral("NÃO");
        QString line = QStringLiteral("%1 (bloqueado: %2").arg(Sql::text(q.value(0)), state);
        if (Sql::text(q.value(2)) == QLatin1String("SIM"))
            line += QStringLiteral(", inativo");
        accounts << line + QLatin1Char(')');
    }
    o.webAccount = accounts.join(QStringLiteral("; "));
    return o;
}

QList<OwnerMerge::Field> OwnerMergeStore::fillable(const OwnerPicture &kept, const OwnerPicture &duplicate)
{
    QList<OwnerMerge::Field> out;
    for (const OwnerMerge::Field &f : OwnerMerge::fillableFields())
        if (kept.fieldText(f.column).isEmpty() && !duplicate.fieldText(f.column).isEmpty())
            out << f;
    return out;
}

QStringList OwnerMergeStore::openWebBookings(int duplicate) const
{
    // The web service books under the owner's web account: those rows carry
    // the account as their author. While such a booking is open the citizen
    // follows it on the web under the duplicate's login, which the merge
    // blocks; moving it would take it out of the citizen's sight.
    const QDateTime today(serverNow(m_c).date(), QTime(0, 0));
    QSqlQuery q = Sql::exec(m_c,
                            QStringLiteral("select a.Data_Hora_Atendimento, u.Nome, n.Nome, s.Nome from atendimento a "
                                           "join proprietario p on p.Id_Proprietario = a.Id_Proprietario "
                                           "left join unidade_trabalho u on u.Id_Unidade_Trabalho = a.Id_Unidade_Agendada "
                                           "left join animal n on n.Id_Animal = a.Id_Animal "
                                           "left join atendimento_status s on s.Id_Atendimento_Status = a.Id_Atendimento_Status "
                                           "where a.Id_Proprietario = :id and p.id_usu_web is not null "
                                           "and a.Inserido_Por = p.id_usu_web and a.Id_Atendimento_Status in (1, 2, 5) "
                                           "and a.Data_Hora_Atendimento >= :hoje order by a.Data_Hora_Atendimento, a.Id_Atendimento"),
                            {{QStringLiteral("id"), duplicate}, {QStringLiteral("hoje"), today}});
    QStringList out;
    while (q.next())
        out << QStringLiteral("%1 - %2 - %3 (%4)")
                   .arg(dateHour(q.value(0)), Sql::text(q.value(1)), Sql::text(q.value(2)), Sql::text(q.value(3)));
    return out;
}

QString OwnerMergeStore::refusal(int kept, int duplicate) const
{
    return refusalLocked(kept, duplicate);
}

QString OwnerMergeStore::refusalLocked(int kept, int duplicate) const
{
    if (kept <= 0)
        return QStringLiteral("Falta selecionar o proprietário que fica.");
    if (duplicate <= 0)
        return QStringLiteral("Falta selecionar o proprietário duplicado.");
    if (kept == duplicate)
        return QStringLiteral("O proprietário que fica e o duplicado são o mesmo: não há o que unificar.");
    for (int id : {kept, duplicate}) {
        const QVariant status = Sql::scalar(m_c, QStringLiteral("select Status_Registro from proprietario where Id_Proprietario = :id"),
                                            {{QStringLiteral("id"), id}});
        if (!status.isValid())
            return QStringLiteral("O proprietário %1 não existe mais.").arg(id);
        if (Sql::text(status).compare(QLatin1String("ATIVO"), Qt::CaseInsensitive) != 0)
            return QStringLiteral("O proprietário %1 está inativo (já unificado ou excluído).").arg(id);
    }
    const QStringList open = openWebBookings(duplicate);
    if (!open.isEmpty())
        return QStringLiteral("O proprietário duplicado tem agendamento feito pelo serviço web ainda em aberto, que a "
                              "unificação tiraria da conta web dele:\r%1\rUnifique depois do atendimento ou do seu "
                              "cancelamento.")
            .arg(open.join(QLatin1Char('\r')));
    return {};
}

OwnerMergeStore::Result OwnerMergeStore::merge(int kept, int duplicate, const QStringList &take)
{
    Result r;
    const QVariant user = StoreValues::currentUser();
    Transaction tx(m_c);
    // Taking the record's key first locks merges against each other: two
    // workstations cannot merge the same owners twice.
    r.id = Keys::nextProgramKey(m_c, QStringLiteral("unificacao_proprietario"), QStringLiteral("Id_Unificacao_Proprietario"));
    const QString refused = refusalLocked(kept, duplicate);
    if (!refused.isEmpty())
        throw MergeRefused(refused);
    const QDateTime now = serverNow(m_c);
    const QVariantMap both{{QStringLiteral("kept"), kept}, {QStringLiteral("dup"), duplicate}};
    QList<QPair<OwnerMerge::Reference, int>> items;

    // The duplicate first: only while it is still active, so that a second
    // merge of it elsewhere is refused rather than repeated.
    QSqlQuery u = Sql::exec(m_c,
                            QStringLiteral("update proprietario set Status_Registro = 'INATIVO', Modificado_Por = :por, "
                                           "Modificado_Em = :em where Id_Proprietario = :dup and Status_Registro = 'ATIVO'"),
                            {{QStringLiteral("por"), user}, {QStringLiteral("em"), now}, {QStringLiteral("dup"), duplicate}});
    if (u.numRowsAffected() != 1)
        throw MergeRefused(QStringLiteral("O proprietário duplicado foi alterado em outra estação. Nada foi gravado."));
    u = QSqlQuery();
    step(QStringLiteral("duplicado"));

    // The kept owner's empty fields the clerk ticked, each only while still
    // empty: a value typed meanwhile on another workstation is never replaced.
    QStringList copied;
    for (const OwnerMerge::Field &f : OwnerMerge::fillableFields()) {
        if (!take.contains(f.column))
            continue;
        const QVariant value = Sql::scalar(m_c, QStringLiteral("select %1 from proprietario where Id_Proprietario = :dup").arg(f.column),
                                           {{QStringLiteral("dup"), duplicate}});
        if (Sql::text(value).isEmpty())
            continue;
        const QString empty = f.column == QLatin1String("Id_Endereco")
                                  ? QStringLiteral("Id_Endereco is null")
                                  : QStringLiteral("coalesce(ltrim(rtrim(%1)), '') = ''").arg(f.column);
        u = Sql::exec(m_c,
                      QStringLiteral("update proprietario set %1 = :v, Modificado_Por = :por, Modificado_Em = :em "
                                     "where Id_Proprietario = :kept and %2")
                          .arg(f.column, empty),
                      {{QStringLiteral("v"), value}, {QStringLiteral("por"), user}, {QStringLiteral("em"), now},
                       {QStringLiteral("kept"), kept}});
        if (u.numRowsAffected() != 1)
            throw MergeRefused(kCampoPreenchido.arg(captionOf(f.column)));
        u = QSqlQuery();
        copied << f.column;
    }
    step(QStringLiteral("campos"));

    auto keysOf = [&](const OwnerMerge::Reference &ref) {
        QList<int> keys;
        if (ref.key.isEmpty())
            return keys;
        QSqlQuery q = Sql::exec(m_c, QStringLiteral("select %1 from %2 where %3 = :dup order by %1").arg(ref.key, ref.table, ref.column),
                                {{QStringLiteral("dup"), duplicate}});
        while (q.next())
            keys << q.value(0).toInt();
        return keys;
    };
    auto moveAll = [&](const OwnerMerge::Reference &ref) {
        const QList<int> keys = keysOf(ref);
        for (int k : keys)
            items.append({ref, k});
        Sql::exec(m_c, QStringLiteral("update %1 set %2 = :kept where %2 = :dup").arg(ref.table, ref.column), both);
        return int(keys.size());
    };

    // The ownership history first, so that the records written below for the
    // animals keep the duplicate as the owner the animals came from.
    for (const OwnerMerge::Reference &ref : OwnerMerge::movedReferences()) {
        if (ref.table == QLatin1String("Histo_Muda_Proprietario"))
            r.history += moveAll(ref);
    }
    step(QStringLiteral("historico"));

    // Each animal as a transfer moves it, with its ownership record.
    const OwnerMerge::Reference animalRef = OwnerMerge::movedReferences().first();
    const QList<int> animals = keysOf(animalRef);
    for (int a : animals) {
        u = Sql::exec(m_c, QStringLiteral("update animal set Id_Proprietario = :kept where Id_Animal = :a and Id_Proprietario = :dup"),
                      {{QStringLiteral("kept"), kept}, {QStringLiteral("dup"), duplicate}, {QStringLiteral("a"), a}});
        if (u.numRowsAffected() != 1)
            throw MergeRefused(QStringLiteral("O animal %1 foi alterado em outra estação. Nada foi gravado.").arg(a));
        u = QSqlQuery();
        items.append({animalRef, a});
        const int key = Keys::nextProgramKey(m_c, QStringLiteral("Histo_Muda_Proprietario"), QStringLiteral("Id_Histo_Muda_Proprietario"));
        Sql::exec(m_c,
                  QStringLiteral("insert into histo_muda_proprietario (Id_Histo_Muda_Proprietario, Id_Animal, "
                                 "Id_Anterior_Proprietario, Id_Proprietario, Dt_Muda_Proprietario, Inserido_Por, Inserido_Em) "
                                 "values (:k, :a, :dup, :kept, :dia, :por, :em)"),
                  {{QStringLiteral("k"), key}, {QStringLiteral("a"), a}, {QStringLiteral("dup"), duplicate},
                   {QStringLiteral("kept"), kept}, {QStringLiteral("dia"), now.date()}, {QStringLiteral("por"), user},
                   {QStringLiteral("em"), now}});
        items.append({{QStringLiteral("Histo_Muda_Proprietario"), QStringLiteral("inserido"), QString()}, key});
        ++r.animals;
    }
    step(QStringLiteral("animais"));

    for (const OwnerMerge::Reference &ref : OwnerMerge::movedReferences()) {
        if (ref.table == QLatin1String("Histo_Muda_Proprietario") || ref.table == QLatin1String("animal"))
            continue;
        const int n = moveAll(ref);
        if (ref.table == QLatin1String("atendimento"))
            r.attendances = n;
        else if (ref.table == QLatin1String("agendamento_especial"))
            r.grants = n;
    }
    step(QStringLiteral("referencias"));

    // The web account stays for the web service's records, as after an owner
    // delete: blocked and inactive, it can no longer log in.
    Sql::exec(m_c,
              QStringLiteral("update usuario set Bloqueado = 'SIM', Inativo = 'SIM', Modificado_Por = :por, "
                             "Modificado_Em = :em where Id_proprietario = :dup"),
              {{QStringLiteral("por"), user}, {QStringLiteral("em"), now}, {QStringLiteral("dup"), duplicate}});
    step(QStringLiteral("usuario"));

    Sql::exec(m_c,
              QStringLiteral("insert into unificacao_proprietario (Id_Unificacao_Proprietario, Id_Proprietario_Mantido, "
                             "Id_Proprietario_Duplicado, Campos_Copiados, Qt_Animais, Qt_Atendimentos, Qt_Agendamentos, "
                             "Qt_Historicos, Inserido_Por, Inserido_Em) values (:id, :kept, :dup, :campos, :an, :at, :ag, "
                             ":hi, :por, :em)"),
              {{QStringLiteral("id"), r.id}, {QStringLiteral("kept"), kept}, {QStringLiteral("dup"), duplicate},
               {QStringLiteral("campos"), copied.join(QStringLiteral(", "))}, {QStringLiteral("an"), r.animals},
               {QStringLiteral("at"), r.attendances}, {QStringLiteral("ag"), r.grants}, {QStringLiteral("hi"), r.history},
               {QStringLiteral("por"), user}, {QStringLiteral("em"), now}});
    for (const auto &[ref, key] : items)
        Sql::exec(m_c,
                  QStringLiteral("insert into unificacao_proprietario_item (Id_Unificacao_Proprietario, Tabela, Coluna, Chave) "
                                 "values (:id, :t, :c, :k)"),
                  {{QStringLiteral("id"), r.id}, {QStringLiteral("t"), ref.table}, {QStringLiteral("c"), ref.column},
                   {QStringLiteral("k"), key}});
    step(QStringLiteral("registro"));
    tx.commit();
    return r;
}
