#include "db/OwnerSearch.h"
#include "db/MicrochipIndex.h"
#include "db/DataModule.h"
#include "db/Sql.h"
#include "db/Documents.h"


namespace OwnerSearch {

namespace {

const QString kConsultationColumns = QStringLiteral(
    "select b.Id_Proprietario, b.Nome, b.Telefone_Residencial, b.Telefone_Celular, b.Telefone_Recado, "
    "b.Num_CPF_CNPJ, b.Num_CI, a.Id_Animal, a.Nome as nome_animal, a.Num_Microchip, c.Id_Endereco, "
    "c.TIP_LOGR, c.NOM_LOGR, c.NUM_IMOV_LOGR, c.DES_CMPL_ENDR, c.NOM_BAIR ");
// Active owners that have an address, with or without animals.
const QString kOwnerJoins = QStringLiteral(
    "from proprietario b join endereco c on (b.Id_Endereco = c.Id_Endereco) "
    "left join animal a on (a.Id_Proprietario = b.Id_Proprietario) ");
// Only owners with at least one animal.
const QString kAnimalJoins = QStringLiteral(
    "from animal a join proprietario b on (a.Id_Proprietario = b.Id_Proprietario) "
    "left join endereco c on (b.Id_Endereco = c.Id_Endereco) ");

std::optional<int> number(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

// A folded prefix match the folded-name indexes serve.
QString foldedPrefix(Connection &c, const QString &column, const QString &text, QVariantMap *p)
{
    return c.dialect().foldedPrefix(column, text.trimmed(), QStringLiteral("f"), *p);
}

} // namespace

QString namePrefixCondition(Connection &c, const QString &column, const QString &text, QVariantMap *params)
{
    return foldedPrefix(c, column, text, params);
}

QStringList consultationFieldCaptions()
{
    return {QStringLiteral("Código prop."), QStringLiteral("Nome prop."), QStringLiteral("CPF / CNPJ"),
            QStringLiteral("C. Identidade"), QStringLiteral("Logradouro"), QStringLiteral("Cód. Animal"),
            QStringLiteral("Nome Animal"), QStringLiteral("Microchip"), QString()};
}

Field consultationField(const QString &caption)
{
    const qsizetype i = consultationFieldCaptions().indexOf(caption);
    return (i < 0 || caption.isEmpty()) ? Field::None : Field(i);
}

QString cpfSearchText(const QString &typed)
{
    return Documents::digitsOnly(typed.trimmed());
}

std::optional<Query> consultation(Connection &c, Field field, const QString &typed)
{
    const QString text = typed.trimmed();
    if (field == Field::None || text.isEmpty())
        return std::nullopt;
    Query q;
    QString joins = kAnimalJoins;
    QString cond;
    switch (field) {
    case Field::CodigoProp: {
        const auto v = number(text);
        if (!v)
            return std::nullopt;
        joins = kOwnerJoins;
        cond = QStringLiteral("b.Id_Proprietario = :v");
        q.params.insert(QStringLiteral("v"), *v);
        break;
    }
    case Field::NomeProp:
        joins = kOwnerJoins;
        cond = foldedPrefix(c, QStringLiteral("b.Nome"), text, &q.params);
        break;
    case Field::CpfCnpj: {
        const QString d = cpfSearchText(text);
        if (d.isEmpty())
            return std::nullopt;
        joins = kOwnerJoins;
        cond = QStringLiteral("b.Num_CPF_CNPJ like :p escape '!'");
        q.params.insert(QStringLiteral("p"), c.dialect().prefixValue(d));
        break;
    }
    case Field::CIdentidade:
        cond = QStringLiteral("b.Num_CI like :p escape '!'");
        q.params.insert(QStringLiteral("p"), c.dialect().prefixValue(text.toUpper()));
        break;
    case Field::Logradouro:
        cond = foldedPrefix(c, QStringLiteral("c.NOM_LOGR"), text, &q.params);
        break;
    case Field::CodAnimal: {
        const auto v = number(text);
        if (!v)
            return std::nullopt;
        cond = QStringLiteral("a.Id_Animal = :v");
        q.params.insert(QStringLiteral("v"), *v);
        break;
    }
    case Field::NomeAnimal:
        cond = foldedPrefix(c, QStringLiteral("a.Nome"), text, &q.params);
        break;
    case Field::Microchip: {
        QString m = text;
        m.remove(QLatin1Char(' '));
        if (m.isEmpty())
            return std::nullopt;
        // The matching animals are found first in the microchip index
        // (the range only skips the animals without one), so that the
        // joins and the order by name are done for them alone.
        if (MicrochipIndex::serves(c.dialect(), m)) {
            cond = MicrochipIndex::condition(c.dialect(), QStringLiteral("a.Id_Animal"), QStringLiteral(":p"));
            q.params.insert(QStringLiteral("p"), MicrochipIndex::value(c.dialect(), m));
            break;
        }
        const QString chip = c.dialect().withoutBlanks(QStringLiteral("m.Num_Microchip"));
        cond = QStringLiteral("a.Id_Animal in (select m.Id_Animal from animal m where %1 > '' and %2)")
                   .arg(chip, c.dialect().containsCondition(chip, QStringLiteral(":p")));
        q.params.insert(QStringLiteral("p"), c.dialect().containsValue(m));
        break;
    }
    case Field::None:
        return std::nullopt;
    }
    q.select = kConsultationColumns + joins + QStringLiteral("where b.Status_Registro = 'ATIVO' and ") + cond;
    // The folded name is the order the name indexes keep: the first page
    // comes straight from the index, without sorting every match.
    q.orderBy = c.dialect().folded(QStringLiteral("b.Nome")) + QStringLiteral(", b.Id_Proprietario, a.Id_Animal");
    q.keyColumns = QStringLiteral("Id_Proprietario, Id_Animal");
    return q;
}

QStringList ownerFieldCaptions()
{
    return {QStringLiteral("Código"), QStringLiteral("Nome"), QStringLiteral("CPF/CNPJ"), QStringLiteral("Logradouro")};
}

std::optional<Query> ownerSearch(Connection &c, OwnerField field, const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    Query q;
    QString cond;
    switch (field) {
    case OwnerField::Codigo: {
        const auto v = number(text);
        if (!v)
            return std::nullopt;
        cond = QStringLiteral("a.Id_Proprietario = :v");
        q.params.insert(QStringLiteral("v"), *v);
        break;
    }
    case OwnerField::Nome:
        cond = foldedPrefix(c, QStringLiteral("a.Nome"), text, &q.params);
        break;
    case OwnerField::CpfCnpj: {
        const QString d = Documents::digitsOnly(text);
        if (d.isEmpty())
            return std::nullopt;
        cond = QStringLiteral("a.Num_CPF_CNPJ = :d");
        q.params.insert(QStringLiteral("d"), d);
        break;
    }
    case OwnerField::Logradouro:
        cond = foldedPrefix(c, QStringLiteral("b.NOM_LOGR"), text, &q.params);
        break;
    }
    q.select = QStringLiteral("select a.Id_Proprietario, a.Nome, a.Num_CPF_CNPJ, a.Num_CI, a.Id_Endereco, "
                              "b.Id_Endereco as endereco_lido, b.TIP_LOGR, b.NOM_LOGR, b.NUM_IMOV_LOGR, b.DES_CMPL_ENDR, b.NOM_BAIR "
                              "from proprietario a left join endereco b on (a.Id_Endereco = b.Id_Endereco) where ")
               + cond;
    q.orderBy = c.dialect().folded(QStringLiteral("a.Nome")) + QStringLiteral(", a.Id_Proprietario");
    q.keyColumns = QStringLiteral("Id_Proprietario");
    return q;
}

QString addressText(const QString &tipLogr, const QString &nomLogr, const QString &numImov, const QString &complemento,
                    const QString &bairro, bool found)
{
    if (!found)
        return QStringLiteral("Endereço não encontrado.");
    QString s;
    if (!tipLogr.isEmpty())
        s += tipLogr + QLatin1Char(' ');
    s += nomLogr;
    if (!numImov.isEmpty())
        s += QStringLiteral(" nº ") + numImov + QStringLiteral("; ");
    s += complemento;
    if (!bairro.isEmpty())
        s += QStringLiteral("Bairro: ") + bairro;
    return s;
}

} // namespace OwnerSearch
