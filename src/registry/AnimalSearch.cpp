#include "registry/AnimalSearch.h"
#include "db/MicrochipIndex.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "ui/Buttons.h"
#include "ui/FormHelpers.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/Services.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace AnimalSearch {

QStringList fieldCaptions()
{
    return {QStringLiteral("Nome animal"), QStringLiteral("Código animal"), QStringLiteral("Nome proprietário"),
            QStringLiteral("Código proprietário"), QStringLiteral("Microchip")};
}

std::optional<OwnerSearch::Query> query(Connection &c, Field field, const QString &typed)
{
    const QString text = typed.trimmed();
    OwnerSearch::Query q;
    QString cond;
    auto number = [&](const QString &column) {
        bool ok = false;
        const int v = text.toInt(&ok);
        if (!ok)
            return false;
        cond = column + QStringLiteral(" = :v");
        q.params.insert(QStringLiteral("v"), v);
        return true;
    };
    auto anywhere = [&](const QString &column) {
        const QString f = c.dialect().folded(column);
        cond = c.dialect().containsCondition(f, QStringLiteral(":p"));
        q.params.insert(QStringLiteral("p"), c.dialect().containsValue(foldText(text)));
    };
    switch (field) {
    case Field::NomeAnimal:
        anywhere(QStringLiteral("a.Nome"));
        break;
    case Field::NomeProprietario:
        anywhere(QStringLiteral("b.Nome"));
        break;
    case Field::CodigoAnimal:
        if (!number(QStringLiteral("a.Id_Animal")))
            return std::nullopt;
        break;
    case Field::CodigoProprietario:
        if (!number(QStringLiteral("a.Id_Proprietario")))
            return std::nullopt;
        break;
    case Field::Microchip: {
        QString m = text;
        m.remove(QLatin1Char(' '));
        if (MicrochipIndex::serves(c.dialect(), m)) {
            cond = MicrochipIndex::condition(c.dialect(), QStringLiteral("a.Id_Animal"), QStringLiteral(":p"));
            q.params.insert(QStringLiteral("p"), MicrochipIndex::value(c.dialect(), m));
            break;
        }
        const QString chip = c.dialect().withoutBlanks(QStringLiteral("a.Num_Microchip"));
        cond = c.dialect().containsCondition(chip, QStringLiteral(":p"));
        q.params.insert(QStringLiteral("p"), c.dialect().containsValue(m));
        break;
    }
    }
    q.select = QStringLiteral(
                   "select a.Id_Animal, c.nome as nome_raca, a.Nome as nome_animal, a.Sexo, a.Esterilizado, a.Num_Microchip, "
                   "a.Cor, a.Sinais, a.Num_Pedigree, b.Id_Proprietario, b.Nome as nome_Proprietario, b.Telefone_Residencial, "
                   "b.Telefone_Celular, b.Telefone_Recado, b.Num_CPF_CNPJ, b.Num_CI from animal a "
                   "left join proprietario b on (a.id_proprietario = b.id_proprietario) "
                   "left join raca c on (a.id_raca = c.id_raca) where ")
               + cond;
    q.orderBy = QStringLiteral("a.Id_Animal");
    q.keyColumns = QStringLiteral("Id_Animal");
    return q;
}

} // namespace AnimalSearch

AnimalSearchWindow::AnimalSearchWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPesquisaAnimal"));
    setWindowTitle(QStringLiteral("Pesquisa"));
    setModal(true);
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("cmbSelecione"));
    m_field->addItems(AnimalSearch::fieldCaptions());
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("edtTexto"));
    auto *top = new QGridLayout;
    const auto [find, okButton] = placeSearchBar(top, this, QStringLiteral("Selecione:"), m_field, m_text,
                                                 QStringLiteral("&Pesquisar"), QStringLiteral("bmpPesquisar"));
    find->setAutoDefault(false);
    okButton->setAutoDefault(false);
    m_model = new SearchResultModel({{QStringLiteral("Cód. Animal"), QStringLiteral("Id_Animal")},
                                     {QStringLiteral("Animal"), QStringLiteral("nome_animal")},
                                     {QStringLiteral("Cód. Prop."), QStringLiteral("Id_Proprietario")},
                                     {QStringLiteral("Proprietário"), QStringLiteral("nome_Proprietario")},
                                     {QStringLiteral("Microchip"), QStringLiteral("Num_Microchip")},
                                     {QStringLiteral("Raça"), QStringLiteral("nome_raca")},
                                     {QStringLiteral("Sexo"), QStringLiteral("Sexo")},
                                     {QStringLiteral("Esterilizado"), QStringLiteral("Esterilizado")},
                                     {QStringLiteral("Cor"), QStringLiteral("Cor")},
                                     {QStringLiteral("Sinais"), QStringLiteral("Sinais")},
                                     {QStringLiteral("Pedigree"), QStringLiteral("Num_Pedigree")},
                                     {QStringLiteral("CPF / CNPJ"), QStringLiteral("Num_CPF_CNPJ")},
                                     {QStringLiteral("RG"), QStringLiteral("Num_CI")},
                                     {QStringLiteral("Tel. Residencial"), QStringLiteral("Telefone_Residencial")},
                                     {QStringLiteral("Tel. Celular"), QStringLiteral("Telefone_Celular")},
                                     {QStringLiteral("Tel. Recado"), QStringLiteral("Telefone_Recado")}},
                                    this);
    m_grid = makeReadOnlyGrid(this, m_model, QStringLiteral("dbgPesquisa"), QStringLiteral("Animais encontrados"));
    m_status = new QStatusBar(this);
    m_status->setSizeGripEnabled(false);

    auto *lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addWidget(m_grid, 1);
    lay->addWidget(m_status);

    connect(find, &QPushButton::clicked, this, &AnimalSearchWindow::pesquisar);
    connect(m_model, &SearchResultModel::totalChanged, this, [this](int rows, bool exact) {
        m_status->showMessage(QStringLiteral("Registro(os) encontrados: ") + QString::number(rows)
                              + (exact ? QString() : QStringLiteral(" ou mais")));
    });
    connect(m_text, &QLineEdit::textEdited, m_model, &SearchResultModel::cancelCount);
    connect(okButton, &QPushButton::clicked, this, &AnimalSearchWindow::ok);
    connect(m_text, &QLineEdit::returnPressed, this, &AnimalSearchWindow::pesquisar);
    connect(m_grid, &QTableView::doubleClicked, this, &AnimalSearchWindow::ok);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &AnimalSearchWindow::sortByColumn);
    resize(820, 420);
}

QString AnimalSearchWindow::statusText() const
{
    return m_status->currentMessage();
}

void AnimalSearchWindow::pesquisar()
{
    try {
        const auto q = AnimalSearch::query(mainConnection(), AnimalSearch::Field(qMax(0, m_field->currentIndex())), m_text->text());
        if (!q)
            throw DbError(QStringLiteral("texto inválido"));
        m_model->setQuery(mainConnection(), q);
    } catch (const DbError &) {
        m_model->setQuery(mainConnection(), std::nullopt);
        Services::messages().information(
            QStringLiteral("Erro ao realizar a pesquisa, reveja os texto se esta digitado corretamente."), this);
        return;
    }
    if (m_model->rowCount() > 0)
        m_grid->selectRow(0);
}

void AnimalSearchWindow::sortByColumn(int column)
{
    if (m_model->rowCount() == 0) {
        Services::messages().information(QStringLiteral("Não há registro a ser ordenado!"), this);
        return;
    }
    try {
        m_model->sortBy(column);
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
        return;
    }
}

void AnimalSearchWindow::ok()
{
    const QModelIndex at = m_grid->currentIndex();
    if (!at.isValid())
        return;
    const QVariant owner = m_model->field(at.row(), QStringLiteral("Id_Proprietario"));
    const QVariant animal = m_model->field(at.row(), QStringLiteral("Id_Animal"));
    if (chosen)
        chosen(owner.toInt(), animal.toInt());
    accept();
}
