#pragma once
// Rows the scheduling tests share: two work units, sizes, coats, breeds,
// professionals, medicines, prescription texts, the staff session, and
// helpers for owners, animals and attendances.
#include "db/DataModule.h"
#include "db/Keys.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "mail/MailTransport.h"
#include "scheduling/AttendanceStore.h"

#include <QDateTime>
#include <QTemporaryDir>

namespace SchedulingFixture {

inline void fill(Connection &c)
{
    auto exec = [&c](const char *sql, const QVariantMap &p = {}) { Sql::exec(c, QString::fromUtf8(sql), p); };
    // Fixed rows of our own instead of whatever a new install starts with.
    for (const char *t : {"unidade_trabalho", "porte", "pelo", "raca", "grupo_animal", "endereco", "profissional",
                          "unidade_medida", "medicamento", "receituario_texto_peso", "receituario_padrao"})
        Sql::exec(c, QStringLiteral("delete from ") + QLatin1String(t));
    exec("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Descricao, Ind_Status) values "
         "(1, 'CCZ CENTRO', 'Av. Central, 100 - Centro', 'ATIVO'), (2, 'UBS NORTE', 'Rua Norte, 5', 'ATIVO'), "
         "(3, 'POSTO FECHADO', 'Rua Velha, 1', 'INATIVO')");
    exec("insert into porte (Id_porte, Descricao, Ind_Status) values (1, 'PEQUENO', 'ATIVO')");
    exec("insert into pelo (Id_pelo, Descricao, Ind_Status) values (1, 'CURTO', 'ATIVO')");
    exec("insert into raca (Id_Raca, Nome, Id_Especie, Ind_Status) values (1, 'SRD', 1, 'ATIVO')");
    exec("insert into grupo_animal (Id_Grupo_Animal, Nome, Ind_Status) values (1, 'DOMICILIADO', 'ATIVO')");
    exec("insert into endereco (Id_Endereco, TIP_LOGR, NOM_LOGR, NUM_IMOV_LOGR, DES_CMPL_ENDR, NOM_BAIR, NUM_CEP) values "
         "(1, 'RUA', 'DAS FLORES', 12, 'CASA 2', 'CENTRO', '08000000')");
    exec("insert into profissional (Id_Profissional, Nome, Inativo) values (1, 'DRA. ANA', 'NAO'), (2, 'DR. BRUNO', 'SIM'), "
         "(3, 'DR. CAIO', null)");
    exec("insert into tipo_procedimento (Id_Tipo_Procedimento, Nome, Descricao, Ind_Status) values "
         "(13, 'MICROCHIPAGEM', 'Implante de microchip.', 'INATIVO')");
    exec("insert into unidade_medida (Id_Unidade_Medida, Nome, Ind_Status) values (1, 'ML', 'ATIVO')");
    exec("insert into medicamento (Id_Medicamento, Id_Unidade_Medida, Nome, Ind_Status) values (1, 1, 'DIPIRONA', 'ATIVO'), "
         "(2, 1, 'ANTIGO', 'INATIVO')");
    exec("insert into receituario_texto_peso (Id_Receituario_texto_Peso, Peso, Texto, Ind_Status) values (1, 5, 'A', 'ATIVO')");
    exec("insert into receituario_padrao (Id_Receituario_padrao, descricao) values (1, 'PADRAO ')");
    TUsuarioLogado &s = usuarioLogado();
    s = TUsuarioLogado();
    s.IdUsuario = QStringLiteral("7");
    s.IdPerfil = QStringLiteral("1000");
    s.IdUnidadeTrabalho = QStringLiteral("1");
    s.NomeUsuario = QStringLiteral("ATENDENTE");
}

struct OwnerRow {
    QString nome;
    QString cpf;
    QString status = QStringLiteral("ATIVO");
    QVariant endereco = 1;
    QString residencial = QStringLiteral("(11)3333-4444");
    QString celular;
    QString recado;
    QString ci;
};

inline int owner(Connection &c, const OwnerRow &o)
{
    return Keys::insertReturningKey(
               c,
               QStringLiteral("insert into proprietario (Nome, Num_CPF_CNPJ, Num_CI, Status_Registro, Id_Endereco, "
                              "Telefone_Residencial, Telefone_Celular, Telefone_Recado, Tipo_Pessoa) "
                              "values (:n, :cpf, :ci, :s, :e, :r, :c, :rc, 'FÍSICA')"),
               {{QStringLiteral("n"), o.nome},
                {QStringLiteral("cpf"), o.cpf},
                {QStringLiteral("ci"), o.ci},
                {QStringLiteral("s"), o.status},
                {QStringLiteral("e"), o.endereco},
                {QStringLiteral("r"), o.residencial},
                {QStringLiteral("c"), o.celular},
                {QStringLiteral("rc"), o.recado}},
               QStringLiteral("Id_Proprietario"))
        .toInt();
}

inline int owner(Connection &c, const QString &nome)
{
    OwnerRow o;
    o.nome = nome;
    return owner(c, o);
}

inline int animal(Connection &c, int idProprietario, const QString &nome, const QString &chip = {},
                  const QVariant &pelo = 1)
{
    return Keys::insertReturningKey(
               c,
               QStringLiteral("insert into animal (Id_Proprietario, Nome, Num_Microchip, Id_Especie, Id_Raca, Id_Pelo, "
                              "Id_Porte, Id_Grupo_Animal, Sexo, Esterilizado, Cor, Data_Nascimento) "
                              "values (:p, :n, :m, 1, 1, :pelo, 1, 1, 'F', 'NAO', 'CARAMELO', :nasc)"),
               {{QStringLiteral("p"), idProprietario},
                {QStringLiteral("n"), nome},
                {QStringLiteral("m"), chip},
                {QStringLiteral("pelo"), pelo},
                {QStringLiteral("nasc"), QDate(2020, 5, 17)}},
               QStringLiteral("Id_Animal"))
        .toInt();
}

inline int attendance(Connection &c, int idProprietario, int idAnimal, int unit, const QDateTime &when, int status = 1)
{
    Atendimento a;
    a.Id_Proprietario = idProprietario;
    a.Id_Animal = idAnimal;
    a.Id_Unidade_Trabalho = 1;
    a.Id_Unidade_Agendada = unit;
    a.Data_Hora_Atendimento = when;
    a.Id_Atendimento_Status = status;
    a.Ind_Autoriza_Cirurgia = QStringLiteral("SIM");
    return AttendanceStore(c).insert(a, {}, {});
}

inline int count(Connection &c, const QString &sql, const QVariantMap &p = {})
{
    return Sql::scalar(c, sql, p).toInt();
}

// No [mail] section while it lives: bookings are saved without a notice.
struct NoMail {
    QTemporaryDir dir;
    NoMail() { Mail::setConfigFile(dir.filePath(QStringLiteral("none.ini"))); }
    ~NoMail() { Mail::setConfigFile({}); }
};

} // namespace SchedulingFixture
