#include "utilities/ExportarDadosScreen.h"
#include "db/DataModule.h"
#include "ui/Buttons.h"
#include "ui/Services.h"
#include "utilities/DbaseExport.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSet>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <iterator>

namespace {

const QString kFailed = QStringLiteral(
    "Um erro ocorreu durante a tentativa de exportação.'Verifique se tem algum campo selecionada para ser exportado "
    "ou entre em contato com a equipe de  desenvolvimento de sistema da Quoris.");

// The joins an entry may need, in the order the statement names them.
struct Join {
    QString alias;
    QString text;
};
const QList<Join> &joins()
{
    static const QList<Join> all{
        {QStringLiteral("b"), QStringLiteral(" left join proprietario b on (a.Id_Proprietario = b.Id_Proprietario)")},
        {QStringLiteral("c"), QStringLiteral(" left join especie c on (a.Id_Especie = c.Id_Especie)")},
        {QStringLiteral("d"), QStringLiteral(" left join raca d on (a.Id_Raca = d.Id_Raca)")},
        {QStringLiteral("e"), QStringLiteral(" left join pelo e on (a.Id_Pelo = e.Id_pelo)")},
        {QStringLiteral("f"), QStringLiteral(" left join porte f on (a.Id_Porte = f.Id_porte)")},
        // The latest address by its greatest key: an address linked twice
        // never doubles the animal.
        {QStringLiteral("h"), QStringLiteral(" left join endereco h on (h.Id_Endereco = (select max(w.Id_Endereco) "
                                             "from endereco_animal w where w.Id_Animal = a.Id_Animal))")},
        // The name of the animal's latest group membership (greatest key),
        // which may differ from the group id the animal row carries.
        {QStringLiteral("j"), QStringLiteral(" left join Grupo_Animal_Animal i on (i.Id_Grupo_Animal_Animal = (select "
                                             "max(y.Id_Grupo_Animal_Animal) from Grupo_Animal_Animal y where y.Id_Animal = a.Id_Animal))"
                                             " left join grupo_animal j on (i.Id_Grupo_Animal = j.Id_Grupo_Animal)")},
    };
    return all;
}

} // namespace

QList<ExportarDadosScreen::Entry> ExportarDadosScreen::entries()
{
    using D = DbaseField::DateTimeIs;
    struct Raw {
        const char *campo, *descricao, *expression, *column, *table, *tableColumn;
        D dt = D::Moment;
    };
    static const Raw raw[] = {
        {"id_Proprietario", "Código do Proprietário.", "a.Id_Proprietario", "id_Proprietario", "animal", "Id_Proprietario"},
        {"Nome_Proprietario", "Nome do proprietário.", "b.Nome", "nome_Prop", "proprietario", "Nome"},
        {"Telefone_Residencial", "Número do telefone residencial.", "b.Telefone_Residencial", "Telefone_Residencial", "proprietario", "Telefone_Residencial"},
        {"Telefone_Celular", "Número do telefone celular.", "b.Telefone_Celular", "Telefone_Celular", "proprietario", "Telefone_Celular"},
        {"Telefone_Recado", "Número do  telefone para recado.", "b.Telefone_Recado", "Telefone_Recado", "proprietario", "Telefone_Recado"},
        {"Num_CPF_CNPJ", "Número do CPF ou CNPJ.", "b.Num_CPF_CNPJ", "Num_CPF_CNPJ", "proprietario", "Num_CPF_CNPJ"},
        {"Tipo_Pessoa", "Tipo de pessoa, física ou jurídica.", "b.Tipo_Pessoa", "Tipo_Pessoa", "proprietario", "Tipo_Pessoa"},
        {"Num_CI", "Número da carteira de identidade.", "b.Num_CI", "Num_CI", "proprietario", "Num_CI"},
        {"End_X", "Coordenada X.", "h.End_X", "End_X", "endereco", "End_X"},
        {"End_Y", "Coordenada Y.", "h.End_Y", "End_Y", "endereco", "End_Y"},
        {"NUM_LOGR", "Código do logradouro.", "h.NUM_LOGR", "NUM_LOGR", "endereco", "NUM_LOGR"},
        {"NUM_SEQU_LOGR", "Seqüência do logradouro.", "h.NUM_SEQU_LOGR", "NUM_SEQU_LOGR", "endereco", "NUM_SEQU_LOGR"},
        {"TIP_LOGR", "Tipo do logradouro.", "h.TIP_LOGR", "TIP_LOGR", "endereco", "TIP_LOGR"},
        {"NOM_LOGR", "Descrição do logradouro.", "h.NOM_LOGR", "NOM_LOGR", "endereco", "NOM_LOGR"},
        {"NUM_IMOV_LOGR", "Número do imóvel.", "h.NUM_IMOV_LOGR", "NUM_IMOV_LOGR", "endereco", "NUM_IMOV_LOGR"},
        {"DES_CMPL_ENDR", "Complemento do imóvel.", "h.DES_CMPL_ENDR", "DES_CMPL_ENDR", "endereco", "DES_CMPL_ENDR"},
        {"NUM_BAIR", "Código do bairro.", "h.NUM_BAIR", "NUM_BAIR", "endereco", "NUM_BAIR"},
        {"NOM_BAIR", "Descrição do bairro. ", "h.NOM_BAIR", "NOM_BAIR", "endereco", "NOM_BAIR"},
        {"NUM_CEP", "Número do CEP.", "h.NUM_CEP", "NUM_CEP", "endereco", "NUM_CEP"},
        {"Id_Animal", "Código do animal.", "a.Id_Animal", "Id_Animal", "animal", "Id_Animal"},
        {"Id_Especie", "Código da espécie. ", "a.Id_Especie", "Id_Especie", "animal", "Id_Especie"},
        {"Espécie", "Espécie", "c.Nome", "nome_especie", "especie", "Nome"},
        {"Id_Raca", "Código da  raça.", "a.Id_Raca", "Id_Raca", "animal", "Id_Raca"},
        {"Raca", "Raça", "d.Nome", "nome_raca", "raca", "Nome"},
        {"Id_Grupo_Animais", "Código da categoria.", "a.Id_Grupo_Animal", "Id_Grupo_Animal", "animal", "Id_Grupo_Animal"},
        {"Grupo_Animal", "Grupo do animal.", "j.Nome", "nome_grupo", "grupo_animal", "Nome"},
        {"Nome_Animal", "Nome do animal.", "a.Nome", "nome_animal", "animal", "Nome"},
        {"Id_Pelo", "Código do tipo do pelo do animal.", "a.Id_Pelo", "Id_Pelo", "animal", "Id_Pelo"},
        {"Pelo", "Pelo", "e.Descricao", "desc_pelo", "pelo", "Descricao"},
        {"Sexo", "Sexo do animal, F para feminino ou M para masculino.", "a.Sexo", "Sexo", "animal", "Sexo"},
        {"Data_Nascimento", "Data de nascimento do animal.", "a.Data_Nascimento", "Data_Nascimento", "animal", "Data_Nascimento", D::Day},
        {"Esterilizado", "Informação que indica se o animal foi esterilizado ou não, SIM para esterilizado ou NAO para não esterilizado.",
         "a.Esterilizado", "Esterilizado", "animal", "Esterilizado"},
        {"Id_Porte", "Código do porte do animal.", "a.Id_Porte", "Id_Porte", "animal", "Id_Porte"},
        {"Porte", "Porte do animal", "f.Descricao", "nome_porte", "porte", "Descricao"},
        {"Num_Microchip", "Número do microchip.", "a.Num_Microchip", "Num_Microchip", "animal", "Num_Microchip"},
        {"Cor", "Descrição da cor do animal.", "a.Cor", "Cor", "animal", "Cor"},
        {"Sinais", "Características fisicas que podem ajudar a identificar o animal.", "a.Sinais", "Sinais", "animal", "Sinais"},
        {"Num_Pedigree", "Número do pedigree do animal.", "a.Num_Pedigree", "Num_Pedigree", "animal", "Num_Pedigree"},
        {"OBS", "Observação atribuída ao animal.", "a.OBS", "Obs_animal", "animal", "OBS"},
    };
    QStringList columns;
    for (const Raw &r : raw)
        columns << QString::fromLatin1(r.column);
    const QStringList names = dbaseFieldNames(columns);
    QList<Entry> out;
    for (int i = 0; i < int(std::size(raw)); ++i) {
        const Raw &r = raw[i];
        const QString expression = QString::fromLatin1(r.expression);
        out << Entry{QString::fromUtf8(r.campo), QString::fromUtf8(r.descricao), expression, expression.left(1),
                     DbaseField::forColumn(names.at(i), QString::fromLatin1(r.table), QString::fromLatin1(r.tableColumn), r.dt)};
    }
    return out;
}

QString ExportarDadosScreen::statement(const QList<Entry> &chosen)
{
    QStringList select;
    QSet<QString> aliases;
    for (const Entry &e : chosen) {
        select << e.expression;
        aliases.insert(e.alias);
    }
    QString from = QStringLiteral("animal a");
    for (const Join &j : joins())
        if (aliases.contains(j.alias))
            from += j.text;
    return QStringLiteral("select %1 from %2 order by a.Id_Animal").arg(select.join(QStringLiteral(", ")), from);
}

ExportarDadosScreen::ExportarDadosScreen(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmExportarDados"));
    setWindowTitle(QStringLiteral("044 - Exportação de dados."));
    auto *v = new QVBoxLayout(this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lstCampos"));
    m_list->setAccessibleName(QStringLiteral("Campos"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Campo"), QStringLiteral("Descrição")});
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    v->addWidget(m_list, 1);
    m_all = new QCheckBox(QStringLiteral("Selecionar todos."), this);
    m_all->setObjectName(QStringLiteral("chkSelecionarTodos"));
    connect(m_all, &QCheckBox::toggled, this, &ExportarDadosScreen::selectAll);
    v->addWidget(m_all);
    auto *buttons = new ButtonRow(this);
    buttons->stretch();
    buttons->add(QStringLiteral("&Exportar dados..."), QStringLiteral("btnExportar"), this, &ExportarDadosScreen::exportar);
    buttons->add(QStringLiteral("&Fechar"), QStringLiteral("btnFechar"), this, &QWidget::close);
    v->addLayout(buttons);
    resize(720, 560);
}

void ExportarDadosScreen::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        rebuildList();
}

void ExportarDadosScreen::rebuildList()
{
    m_list->clear();
    for (const Entry &e : entries()) {
        auto *item = new QTreeWidgetItem(m_list, {e.campo, e.descricao});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
    }
    QSignalBlocker block(m_all);
    m_all->setChecked(false);
}

void ExportarDadosScreen::selectAll(bool on)
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        m_list->topLevelItem(i)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

QList<ExportarDadosScreen::Entry> ExportarDadosScreen::chosen() const
{
    const QList<Entry> all = entries();
    QList<Entry> out;
    for (int i = 0; i < m_list->topLevelItemCount() && i < all.size(); ++i)
        if (m_list->topLevelItem(i)->checkState(0) == Qt::Checked)
            out << all.at(i);
    return out;
}

void ExportarDadosScreen::exportar()
{
    const QList<Entry> fields = chosen();
    if (fields.isEmpty()) {
        Services::messages().error(kFailed, this);
        return;
    }
    const QString chosenName = Services::fileDialogs().saveFileName(QStringLiteral("Exportar dados"), QString(),
                                                                   QStringLiteral("Texto (*.txt);;DBF (*.dbf)"), this);
    if (chosenName.isEmpty() || !DbaseExport::mayReplace(chosenName, true, this))
        return;
    DbaseExport::Job job;
    QStringList map;
    for (const Entry &e : fields) {
        job.fields << e.field;
        map << e.campo + QStringLiteral(" - ") + e.descricao;
    }
    job.select = statement(fields);
    job.count = QStringLiteral("select count(*) from animal");
    job.tablePath = DbaseExport::tablePath(chosenName);
    job.title = windowTitle();
    job.parent = this;
    const DbaseExport::Outcome out = DbaseExport::run(mainConnection(), job);
    if (out.kind == DbaseExport::Outcome::Kind::Cancelled)
        return;
    if (!out.done()) {
        Services::messages().error(kFailed + QStringLiteral("\r\r") + out.reason, this);
        return;
    }
    // Which column each short field name stands for.
    QString reason;
    if (!DbaseExport::writeText(DbaseExport::dictionaryPath(chosenName), DbaseExport::nameMap(job.fields, map), &reason)) {
        Services::messages().error(kFailed + QStringLiteral("\r\r") + reason, this);
        return;
    }
    Services::messages().information(DbaseExport::closingMessage(out), this);
}
