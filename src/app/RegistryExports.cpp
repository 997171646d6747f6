#include "app/RegistryExports.h"
#include "db/DataModule.h"
#include "registry/Endereco_AnimalScreen.h"
#include "registry/RegistroOcorrenciaScreen.h"
#include "ui/Services.h"
#include "utilities/DbaseExport.h"

#include <QStringList>
#include <QWidget>

namespace {

const QString kFailed = QStringLiteral("Erro ao exportar dados, entre em contato com o a QUORIS.");

// One column of an export: its name in the statement and where the schema
// declares it (for the field's type and width).
struct Col {
    const char *name;
    const char *table;
    const char *column;
    DbaseField::DateTimeIs dateTimeIs = DbaseField::DateTimeIs::Moment;
};

QList<Col> addressHistoryColumns()
{
    return {{"Id_Animal", "animal", "Id_Animal"},
            {"nome_raca", "raca", "Nome"},
            {"Nome", "animal", "Nome"},
            {"Sexo", "animal", "Sexo"},
            {"Esterilizado", "animal", "Esterilizado"},
            {"Num_Microchip", "animal", "Num_Microchip"},
            {"Cor", "animal", "Cor"},
            {"Sinais", "animal", "Sinais"},
            {"Num_Pedigree", "animal", "Num_Pedigree"},
            {"Id_Proprietario", "proprietario", "Id_Proprietario"},
            {"nome_Proprietario", "proprietario", "Nome"},
            {"Telefone_Residencial", "proprietario", "Telefone_Residencial"},
            {"Telefone_Celular", "proprietario", "Telefone_Celular"},
            {"Telefone_Recado", "proprietario", "Telefone_Recado"},
            {"Num_CPF_CNPJ", "proprietario", "Num_CPF_CNPJ"},
            {"Num_CI", "proprietario", "Num_CI"}};
}

QList<Col> occurrenceColumns()
{
    using D = DbaseField::DateTimeIs;
    return {{"Dt_Ocorrencia", "ocorrencia", "Dt_Ocorrencia", D::Day},
            {"Id_Animal", "animal", "Id_Animal"},
            {"NomeAnimal", "animal", "Nome"},
            {"Id_Proprietario", "proprietario", "Id_Proprietario"},
            {"nomeProprietario", "proprietario", "Nome"},
            {"Sexo", "animal", "Sexo"},
            {"Data_Nascimento", "animal", "Data_Nascimento", D::Day},
            {"Esterilizado", "animal", "Esterilizado"},
            {"Num_Microchip", "animal", "Num_Microchip"},
            {"nomeRaca", "raca", "Nome"},
            {"nomeEspecie", "especie", "Nome"},
            {"nomePelo", "pelo", "Descricao"},
            {"nomePorte", "porte", "Descricao"},
            {"nomeTipo_ocorrencia", "tipo_ocorrencia", "Nome"},
            {"NUM_LOGR", "endereco", "NUM_LOGR"},
            {"TIP_LOGR", "endereco", "TIP_LOGR"},
            {"NOM_LOGR", "endereco", "NOM_LOGR"},
            {"NUM_IMOV_LOGR", "endereco", "NUM_IMOV_LOGR"},
            {"DES_CMPL_ENDR", "endereco", "DES_CMPL_ENDR"},
            {"NOM_BAIR", "endereco", "NOM_BAIR"},
            {"NUM_CEP", "endereco", "NUM_CEP"}};
}

// The statement's rows counted as they will be written (its ordering left
// out: some servers refuse an ordered subquery).
QString countOf(const QString &select)
{
    QString inner = select;
    const int order = inner.lastIndexOf(QStringLiteral(" order by "), -1, Qt::CaseInsensitive);
    if (order > 0)
        inner.truncate(order);
    return QStringLiteral("select count(*) from (") + inner + QStringLiteral(") zapo_n");
}

void exportTo(const QList<Col> &cols, Connection &c, const QString &select, const QString &chosen, QWidget *parent)
{
    if (!DbaseExport::mayReplace(chosen, true, parent))
        return;
    DbaseExport::Job job;
    QStringList names;
    for (const Col &col : cols)
        names << QString::fromLatin1(col.name);
    QStringList columns;
    try {
        const QStringList fieldNames = dbaseFieldNames(names);
        for (int i = 0; i < cols.size(); ++i) {
            job.fields << DbaseField::forColumn(fieldNames.at(i), QString::fromLatin1(cols.at(i).table),
                                                QString::fromLatin1(cols.at(i).column), cols.at(i).dateTimeIs);
        }
    } catch (const DbaseFailure &e) {
        Services::messages().error(kFailed + QStringLiteral("\r\r") + e.reason(), parent);
        return;
    }
    job.select = select;
    job.count = countOf(select);
    job.tablePath = DbaseExport::tablePath(chosen);
    job.title = parent ? parent->windowTitle() : QString();
    job.parent = parent;
    const DbaseExport::Outcome out = DbaseExport::run(c, job);
    if (out.kind == DbaseExport::Outcome::Kind::Cancelled)
        return;
    if (!out.done()) {
        Services::messages().error(kFailed + QStringLiteral("\r\r") + out.reason, parent);
        return;
    }
    // Names longer than ten characters are shortened: the text file beside
    // the table says which column each field stands for.
    QString reason;
    if (!DbaseExport::writeText(DbaseExport::dictionaryPath(chosen), DbaseExport::nameMap(job.fields, names), &reason)) {
        Services::messages().error(kFailed + QStringLiteral("\r\r") + reason, parent);
        return;
    }
    Services::messages().information(DbaseExport::closingMessage(out), parent);
}

} // namespace

void exportAnimalAddresses(Connection &c, const QString &select, const QString &path, QWidget *parent)
{
    exportTo(addressHistoryColumns(), c, select, path, parent);
}

void exportOccurrences(Connection &c, const QString &select, const QString &path, QWidget *parent)
{
    exportTo(occurrenceColumns(), c, select, path, parent);
}

void installRegistryExports()
{
    Endereco_AnimalScreen::setExporter(exportAnimalAddresses);
    RegistroOcorrenciaScreen::setExporter(exportOccurrences);
}
