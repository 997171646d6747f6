#include "utilities/AdvancedSearch.h"
#include "db/Formats.h"
#include "db/MicrochipIndex.h"
#include "db/Dialect.h"

namespace AdvancedSearch {

namespace {

const QString kOwnerJoin = QStringLiteral("animal a left outer join proprietario b on (a.Id_Proprietario = b.Id_Proprietario)");
// The latest address and group are found by their greatest keys: an
// address linked twice to the same animal still gives one row.
const QString kAddressJoin = QStringLiteral(
    " left outer join endereco j on (j.Id_Endereco = (select max(z.Id_Endereco) from endereco_animal z"
    " where z.Id_Animal = a.Id_Animal))");
const QString kOtherJoins = QStringLiteral(
    " left outer join Grupo_Animal_Animal d on (d.Id_Grupo_Animal_Animal = (select max(y.Id_Grupo_Animal_Animal)"
    " from Grupo_Animal_Animal y where y.Id_Animal = a.Id_Animal))"
    " left outer join especie e on (a.Id_Especie = e.Id_Especie)"
    " left outer join raca f on (a.Id_Raca = f.Id_Raca)"
    " left outer join pelo g on (a.Id_Pelo = g.Id_pelo)"
    " left outer join porte h on (a.Id_Porte = h.Id_porte)");
const QString kDistrictJoin = QStringLiteral(" left outer join distrito l on (j.Id_Distrito = l.Id_Distrito)");

class Builder {
public:
    Builder(const Dialect &d, Query &q) : m_d(d), m_q(q) {}

    void equal(const QString &column, const QString &name, const QVariant &value)
    {
        add(QStringLiteral("%1 = :%2").arg(column, name), name, value);
    }
    void id(const QString &column, const QString &name, const QVariant &value)
    {
        if (value.isValid() && !value.isNull())
            equal(column, name, value);
    }
    void digits(const QString &column, const QString &name, const QString &text)
    {
        if (text.trimmed().isEmpty())
            return;
        bool ok = false;
        const qlonglong v = text.trimmed().toLongLong(&ok);
        if (ok)
            equal(column, name, v);
        else
            m_where << QStringLiteral("1 = 0"); // no stored number reads like that
    }
    void text(const QString &column, const QString &name, const QString &text)
    {
        if (!text.trimmed().isEmpty())
            equal(column, name, text.trimmed());
    }
    // Start of the text, without regard to case or accents; %, _ and quotes literal.
    void prefix(const QString &column, const QString &name, const QString &text)
    {
        if (text.trimmed().isEmpty())
            return;
        add(QStringLiteral("%1 like :%2 escape '!'").arg(m_d.folded(column), name), name, m_d.prefixValue(foldText(text.trimmed())));
    }
    // Anywhere in the text, without regard to case or accents.
    void contains(const QString &column, const QString &name, const QString &text)
    {
        if (text.trimmed().isEmpty())
            return;
        add(m_d.containsCondition(m_d.folded(column), QLatin1Char(':') + name), name, m_d.containsValue(foldText(text.trimmed())));
    }
    void raw(const QString &condition) { m_where << condition; }
    void add(const QString &condition, const QString &name, const QVariant &value)
    {
        m_where << condition;
        m_q.params.insert(name, value);
    }
    QString where() const { return m_where.join(QStringLiteral(" and ")); }

private:
    const Dialect &m_d;
    Query &m_q;
    QStringList m_where;
};

bool blank(const QString &s) { return s.trimmed().isEmpty(); }
bool blank(const QVariant &v) { return !v.isValid() || v.isNull(); }

} // namespace

Query build(const Dialect &d, const Criteria &c)
{
    Query q;
    Builder b(d, q);
    // The status is the owner's: animals without an owner are never found.
    b.equal(QStringLiteral("b.Status_Registro"), QStringLiteral("status"),
            c.activeOwners ? QStringLiteral("ATIVO") : QStringLiteral("INATIVO"));
    if (!blank(c.sterilized))
        b.text(QStringLiteral("a.Esterilizado"), QStringLiteral("esterilizado"), c.sterilized);
    b.id(QStringLiteral("j.Id_Distrito"), QStringLiteral("distrito"), c.district);
    b.id(QStringLiteral("j.COD_AREA_ABRN"), QStringLiteral("area"), c.area);
    b.id(QStringLiteral("j.NUM_BAIR"), QStringLiteral("bairro"), c.neighbourhood);
    b.prefix(QStringLiteral("j.NOM_LOGR"), QStringLiteral("logradouro"), c.street);
    b.digits(QStringLiteral("j.NUM_IMOV_LOGR"), QStringLiteral("numero"), c.houseNumber);
    b.contains(QStringLiteral("j.DES_CMPL_ENDR"), QStringLiteral("complemento"), c.complement);
    b.digits(QStringLiteral("a.Id_Animal"), QStringLiteral("animal"), c.animalId);
    b.prefix(QStringLiteral("a.Nome"), QStringLiteral("nomeAnimal"), c.animalName);
    b.id(QStringLiteral("a.Id_Grupo_Animal"), QStringLiteral("grupo"), c.group);
    b.id(QStringLiteral("a.Id_Especie"), QStringLiteral("especie"), c.species);
    b.id(QStringLiteral("a.Id_Raca"), QStringLiteral("raca"), c.breed);
    b.id(QStringLiteral("a.Id_Porte"), QStringLiteral("porte"), c.size);
    b.id(QStringLiteral("a.Id_Pelo"), QStringLiteral("pelo"), c.coat);
    b.prefix(QStringLiteral("a.Cor"), QStringLiteral("cor"), c.colour);
    if (!blank(c.sex))
        b.add(d.containsCondition(QStringLiteral("a.Sexo"), QStringLiteral(":sexo")), QStringLiteral("sexo"),
              d.containsValue(c.sex.trimmed()));
    b.text(QStringLiteral("a.Num_Pedigree"), QStringLiteral("pedigree"), c.pedigree);
    QString chip = c.microchip;
    chip.remove(QLatin1Char(' '));
    if (MicrochipIndex::serves(d, chip))
        b.add(MicrochipIndex::condition(d, QStringLiteral("a.Id_Animal"), QStringLiteral(":chip")), QStringLiteral("chip"),
              MicrochipIndex::value(d, chip));
    else if (!chip.isEmpty())
        b.add(d.containsCondition(d.withoutBlanks(QStringLiteral("a.Num_Microchip")), QStringLiteral(":chip")),
              QStringLiteral("chip"), d.containsValue(chip));
    b.contains(QStringLiteral("a.Sinais"), QStringLiteral("sinais"), c.marks);
    b.digits(QStringLiteral("b.Id_Proprietario"), QStringLiteral("proprietario"), c.ownerId);
    b.prefix(QStringLiteral("b.Nome"), QStringLiteral("nomeProp"), c.ownerName);
    b.text(QStringLiteral("b.Tipo_Pessoa"), QStringLiteral("tipoPessoa"), c.personType);
    b.text(QStringLiteral("b.Num_CPF_CNPJ"), QStringLiteral("cpf"), c.cpfCnpj);
    b.text(QStringLiteral("b.Num_CI"), QStringLiteral("ci"), c.identity);
    // Without a microchip: none at all, or only blanks.
    const QString chipColumn = d.withoutBlanks(QStringLiteral("a.Num_Microchip"));
    if (c.microchipped.trimmed() == QStringLiteral("NAO"))
        b.raw(QStringLiteral("coalesce(%1, '') = ''").arg(chipColumn));
    else if (c.microchipped.trimmed() == QStringLiteral("SIM"))
        b.raw(QStringLiteral("%1 <> ''").arg(chipColumn));
    if (c.useBirth) {
        // Every moment of the last day counts, whatever hour was stored.
        b.add(QStringLiteral("a.Data_Nascimento >= :nascDe"), QStringLiteral("nascDe"), c.bornFrom);
        // Up to 31/12/9999, the last day the engines bind, there is no end.
        if (c.bornTo.isValid() && c.bornTo < QDate(9999, 12, 31))
            b.add(QStringLiteral("a.Data_Nascimento < :nascAte"), QStringLiteral("nascAte"), Formats::dayAfter(c.bornTo));
    }

    const bool address = !blank(c.district) || !blank(c.area) || !blank(c.neighbourhood) || !blank(c.street)
                         || !blank(c.houseNumber) || !blank(c.complement);
    q.source = kOwnerJoin + kOtherJoins + kAddressJoin + kDistrictJoin;
    q.countSource = kOwnerJoin + (address ? kAddressJoin : QString());
    q.where = b.where();
    return q;
}

Query none()
{
    Query q;
    q.source = kOwnerJoin + kOtherJoins + kAddressJoin + kDistrictJoin;
    q.countSource = kOwnerJoin;
    q.where = QStringLiteral("1 = 0");
    return q;
}

QString keyExpression() { return QStringLiteral("a.Id_Animal"); }
QString defaultOrder() { return QStringLiteral("a.Id_Proprietario"); }

QList<PagedQueryModel::Column> gridColumns()
{
    auto col = [](const char *title, const char *expression) {
        PagedQueryModel::Column c;
        c.title = QString::fromUtf8(title);
        c.expression = QString::fromLatin1(expression);
        return c;
    };
    return {col("Situação registro.", "b.Status_Registro"), col("Especie", "e.Nome"), col("Raça", "f.Nome"),
            col("Animal", "a.Nome"), col("Cód. prop.", "a.Id_Proprietario"), col("Proprietário", "b.Nome"),
            col("Pelo", "g.Descricao"), col("Sexo", "a.Sexo"), col("Dt. nasc.", "a.Data_Nascimento"),
            col("Esterilizado", "a.Esterilizado"), col("Porte", "h.Descricao"), col("Microchip", "a.Num_Microchip"),
            col("Cor", "a.Cor"), col("Sinais", "a.Sinais"), col("Pedigree", "a.Num_Pedigree"),
            col("Obs animal", "a.OBS"), col("End. mesmo prop.", "a.Ind_End_Animal_Prop"),
            col("Tel. residencial", "b.Telefone_Residencial"), col("Tel. celular", "b.Telefone_Celular"),
            col("Tel. recado", "b.Telefone_Recado"), col("Tipo pessoa", "b.Tipo_Pessoa"),
            col("CPF / CNPJ", "b.Num_CPF_CNPJ"), col("Identidade", "b.Num_CI"),
            col("Dt. entrada grupo", "d.Dt_Entrada_Grupo"), col("Área", "j.COD_AREA_ABRN"),
            col("Localidade", "j.nom_locl"), col("Distrito de origem", "l.Nome"), col("Núm. lograd.", "j.NUM_LOGR"),
            col("Tipo lograd.", "j.TIP_LOGR"), col("Logradouro", "j.NOM_LOGR"), col("Núm. Imóvel", "j.NUM_IMOV_LOGR"),
            col("Complemento", "j.DES_CMPL_ENDR"), col("Bairro", "j.NOM_BAIR"), col("CEP", "j.NUM_CEP")};
}

int ownerColumn() { return 4; }

QList<ExportColumn> exportColumns()
{
    using D = DbaseField::DateTimeIs;
    auto c = [](const char *field, const char *expression, const char *table, const char *column, D dt = D::Moment) {
        return ExportColumn{DbaseField::forColumn(QString::fromLatin1(field), QString::fromLatin1(table),
                                                  QString::fromLatin1(column), dt),
                            QString::fromLatin1(expression)};
    };
    return {c("stRegist", "b.Status_Registro", "proprietario", "Status_Registro"),
            c("Id_Animal", "a.Id_Animal", "animal", "Id_Animal"),
            c("IdProp", "a.Id_Proprietario", "animal", "Id_Proprietario"),
            c("IdEspecie", "a.Id_Especie", "animal", "Id_Especie"),
            c("IdRaca", "a.Id_Raca", "animal", "Id_Raca"),
            c("IdGrupoAni", "a.Id_Grupo_Animal", "animal", "Id_Grupo_Animal"),
            c("NomeAnimal", "a.Nome", "animal", "Nome"),
            c("IdPelo", "a.Id_Pelo", "animal", "Id_Pelo"),
            c("Sexo", "a.Sexo", "animal", "Sexo"),
            c("DataNasc", "a.Data_Nascimento", "animal", "Data_Nascimento", D::Day),
            c("Esteril", "a.Esterilizado", "animal", "Esterilizado"),
            c("IdPorte", "a.Id_Porte", "animal", "Id_Porte"),
            c("Microchip", "a.Num_Microchip", "animal", "Num_Microchip"),
            c("Cor", "a.Cor", "animal", "Cor"),
            c("Sinais", "a.Sinais", "animal", "Sinais"),
            c("Pedigree", "a.Num_Pedigree", "animal", "Num_Pedigree"),
            c("ObsAni", "a.OBS", "animal", "OBS"),
            c("IndEnd", "a.Ind_End_Animal_Prop", "animal", "Ind_End_Animal_Prop"),
            c("NomeProp", "b.Nome", "proprietario", "Nome"),
            c("TelRes", "b.Telefone_Residencial", "proprietario", "Telefone_Residencial"),
            c("TelCel", "b.Telefone_Celular", "proprietario", "Telefone_Celular"),
            c("TelRec", "b.Telefone_Recado", "proprietario", "Telefone_Recado"),
            c("CpfCnpj", "b.Num_CPF_CNPJ", "proprietario", "Num_CPF_CNPJ"),
            c("TpPessoa", "b.Tipo_Pessoa", "proprietario", "Tipo_Pessoa"),
            c("Num_CI", "b.Num_CI", "proprietario", "Num_CI"),
            c("DtEntGrup", "d.Dt_Entrada_Grupo", "Grupo_Animal_Animal", "Dt_Entrada_Grupo", D::Day),
            c("Especie", "e.Nome", "especie", "Nome"),
            c("Raca", "f.Nome", "raca", "Nome"),
            c("Pelo", "g.Descricao", "pelo", "Descricao"),
            c("Porte", "h.Descricao", "porte", "Descricao"),
            c("IdEnd", "j.Id_Endereco", "endereco", "Id_Endereco"),
            c("IdDist", "j.Id_Distrito", "endereco", "Id_Distrito"),
            c("AreaAbran", "j.COD_AREA_ABRN", "endereco", "COD_AREA_ABRN"),
            c("NumLograd", "j.NUM_LOGR", "endereco", "NUM_LOGR"),
            c("SeqLograd", "j.NUM_SEQU_LOGR", "endereco", "NUM_SEQU_LOGR"),
            c("TipoLograd", "j.TIP_LOGR", "endereco", "TIP_LOGR"),
            c("NomLograd", "j.NOM_LOGR", "endereco", "NOM_LOGR"),
            c("NumImov", "j.NUM_IMOV_LOGR", "endereco", "NUM_IMOV_LOGR"),
            c("Complem", "j.DES_CMPL_ENDR", "endereco", "DES_CMPL_ENDR"),
            c("NUM_BAIR", "j.NUM_BAIR", "endereco", "NUM_BAIR"),
            c("NOM_BAIR", "j.NOM_BAIR", "endereco", "NOM_BAIR"),
            c("NUM_CEP", "j.NUM_CEP", "endereco", "NUM_CEP"),
            c("num_locl", "j.num_locl", "endereco", "num_locl"),
            c("nom_locl", "j.nom_locl", "endereco", "nom_locl"),
            c("Distrito", "l.Nome", "distrito", "Nome")};
}

QStringList dictionary()
{
    return {
        QStringLiteral("----------------- Dicionário de dados---------------"),
        QStringLiteral("stRegist: Status do registro no banco de dados. Pode ser ATIVO ou INATIVO. "),
        QStringLiteral("Id_Animal: Código identificador do animal."),
        QStringLiteral("IdProp: Identificador do proprietário, serve como chave primário para identificar o proprietário de forma única."),
        QStringLiteral("IdEspecie: Identificador da espécie, um número único para cada registro."),
        QStringLiteral("IdRaca: Número identificador da raça do animal."),
        QStringLiteral("IdGrupoAni:  Número identificador do grupo atual do animal."),
        QStringLiteral("NomeAnimal: Nome do animal."),
        QStringLiteral("IdPelo:  Número identificador do pelo do animal."),
        QStringLiteral("Sexo: Sexo do animal."),
        QStringLiteral("DataNasc: Data de nascimento do animal."),
        QStringLiteral("Esteril: Informação se o animal é esterilizado ou não."),
        QStringLiteral("IdPorte: Número identificador do porte do animal."),
        QStringLiteral("Microchip: Número do microchip do animal."),
        QStringLiteral("Cor: Cor do animal."),
        QStringLiteral("Sinais: Sinais, características do animal."),
        QStringLiteral("Pedigree: Número do pedigree do animal."),
        QStringLiteral("ObsAni: Observação atribuída ao animal."),
        QStringLiteral("IndEnd: Informação se o endereço do tutor é o mesmo do animal."),
        QStringLiteral("NomeProp: Nome completo do tutor do animal."),
        QStringLiteral("TelRes: Número do telefone residencial do tutor."),
        QStringLiteral("TelCel: Número do telefone celular do tutor."),
        QStringLiteral("TelRec: Número do telefone de recado do tutor."),
        QStringLiteral("CpfCnpj: Número de identificação da pessoa física ou jurídica."),
        QStringLiteral("TpPessoa: Identifica se o proprietário é pessoa física ou jurídica."),
        QStringLiteral("Num_CI: Número da carteira de identidade."),
        QStringLiteral("DtEntGrup: Data de entrada no de animal."),
        QStringLiteral("Especie: Espécie do animal."),
        QStringLiteral("Raca: Raça do animal."),
        QStringLiteral("Pelo: Tamanho do pelo do animal."),
        QStringLiteral("Porte: Porte do animal."),
        QStringLiteral("IdEnd: Número identificador do endereço do tutor."),
        QStringLiteral("IdDist: Número identificador do distrito do tutor."),
        QStringLiteral("AreaAbran: Código da área de abrangência."),
        QStringLiteral("NumLograd: Código do logradouro do proprietário."),
        QStringLiteral("SeqLograd: Código de identificação da sequência de nomes do logradouro."),
        QStringLiteral("TipoLograd: Tipo de logradouro do proprietário."),
        QStringLiteral("NomLograd: Descrição do logradouro no proprietário."),
        QStringLiteral("NumImov: Número do imóvel."),
        QStringLiteral("Complem: Complemento do endereço do proprietário."),
        QStringLiteral("NUM_BAIR: Código de identificação do bairro do tutor."),
        QStringLiteral("NOM_BAIR: Descrição ou nome do bairro do tutor."),
        QStringLiteral("NUM_CEP: número do CEP do proprietário."),
        QStringLiteral("num_locl: Código da localidade do tutor."),
        QStringLiteral("nom_locl: Descrição ou nome da localidade do tutor."),
        QStringLiteral("Distrito: Distrito do tutor."),
    };
}

} // namespace AdvancedSearch
