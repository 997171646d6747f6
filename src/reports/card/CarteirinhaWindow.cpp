#include "reports/card/CarteirinhaWindow.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "ui/Buttons.h"
#include "ui/FormHelpers.h"
#include "db/OwnerSearch.h"
#include "reports/agenda/AgendaWindows.h"
#include "reports/engine/Reports.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/ScreenCatalog.h"
#include "ui/Services.h"
#include "ui/register/PagedQueryModel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString NomeProprietario = QStringLiteral("Nome proprietário");
const QString CodProprietario = QStringLiteral("Cód. proprietário");
// Hidden columns after the ten shown.
constexpr int ColIdProprietario = 10, ColIdAnimal = 11, ColNome = 1;

} // namespace

CarteirinhaWindow::CarteirinhaWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmSelRelCarteirinha"));
    setWindowTitle(QStringLiteral("Impressão de carteira de identificação..."));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *outer = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("cmbSelecione"));
    m_field->addItems({QString(), NomeProprietario, CodProprietario});
    form->addRow(FormHelpers::caption(QStringLiteral("Selecione:"), m_field, this), m_field);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("edtTexto"));
    FormHelpers::upperCase(m_text);
    form->addRow(FormHelpers::caption(QStringLiteral("Texto:"), m_text, this), m_text);
    outer->addLayout(form);
    // The buttons in a row under the criteria, so that Tab runs from the
    // typed text straight on to them and then to the list.
    auto *buttons = new ButtonRow(this);
    buttons->stretch();
    QPushButton *horizontal = buttons->add(QStringLiteral("Imp. &Horizontal..."), QStringLiteral("btnImpHorizontal"));
    QPushButton *vertical = buttons->add(QStringLiteral("&Imp. &Verdical..."), QStringLiteral("btnImpVertical"));
    QPushButton *localizar = buttons->add(QStringLiteral("&Localizar"), QStringLiteral("btnLocalizar"));
    QPushButton *sair = buttons->add(QStringLiteral("&Sair"), QStringLiteral("btnSair"));
    outer->addLayout(buttons);

    m_model = new PagedQueryModel(this);
    m_model->setConnection(&mainConnection());
    m_model->setSource(QStringLiteral("proprietario a left join animal b on (a.Id_Proprietario = b.Id_Proprietario) "
                                      "left join endereco c on (a.Id_Endereco = c.Id_Endereco)"),
                       {{QStringLiteral("Animal"), QStringLiteral("b.Nome"), false},
                        {QStringLiteral("Proprietário"), QStringLiteral("a.Nome"), false},
                        {QStringLiteral("Tipo"), QStringLiteral("c.TIP_LOGR"), false},
                        {QStringLiteral("Logradouro"), QStringLiteral("c.NOM_LOGR"), false},
                        {QStringLiteral("Nº"), QStringLiteral("c.NUM_IMOV_LOGR"), false},
                        {QStringLiteral("Complemento"), QStringLiteral("c.DES_CMPL_ENDR"), false},
                        {QStringLiteral("Bairro"), QStringLiteral("c.NOM_BAIR"), false},
                        {QStringLiteral("Identidade"), QStringLiteral("a.Num_CI"), false},
                        {QStringLiteral("CPF / CNPJ"), QStringLiteral("a.Num_CPF_CNPJ"), false},
                        {QStringLiteral("CEP"), QStringLiteral("c.NUM_CEP"), false},
                        {QStringLiteral("Id_Proprietario"), QStringLiteral("a.Id_Proprietario"), false},
                        {QStringLiteral("Id_Animal"), QStringLiteral("b.Id_Animal"), false},
                        {QStringLiteral("Id_Endereco"), QStringLiteral("a.Id_Endereco"), false}},
                       // One row per owner and animal; an owner without animals has one row.
                       QStringLiteral("coalesce(b.Id_Animal, -a.Id_Proprietario)"));
    m_model->setDefaultOrder(QStringLiteral("a.Nome, a.Id_Proprietario, b.Nome"));
    m_grid = makeReadOnlyGrid(this, m_model, QStringLiteral("grdSelecao"), QStringLiteral("Proprietários e animais"));
    for (int c = ColIdProprietario; c < m_model->columnCount(); ++c)
        m_grid->setColumnHidden(c, true);
    outer->addWidget(m_grid, 1);

    connect(localizar, &QPushButton::clicked, this, &CarteirinhaWindow::localizar);
    connect(horizontal, &QPushButton::clicked, this, [this] { imprimir(CardReport::Variant::Portrait); });
    connect(vertical, &QPushButton::clicked, this, [this] { imprimir(CardReport::Variant::Landscape); });
    connect(sair, &QPushButton::clicked, this, [this] { AgendaWindows::closeWindow(this); });
    resize(820, 420);
}

void CarteirinhaWindow::localizar()
{
    const QString field = m_field->currentText();
    if (field.isEmpty()) {
        Services::messages().information(QStringLiteral("Falta selecionar o tipo de consulta!"), this);
        m_field->setFocus();
        return;
    }
    const QString text = m_text->text().trimmed();
    if (text.isEmpty()) {
        Services::messages().information(QStringLiteral("Falta digitar o texto a ser consultado!"), this);
        m_text->setFocus();
        return;
    }
    static const QRegularExpression digits(QStringLiteral("^\\d{1,9}$"));
    bool found = false;
    try {
        if (field == CodProprietario) {
            // A code holds digits only; anything else finds nobody.
            if (digits.match(text).hasMatch()) {
                m_model->setFilter(QStringLiteral("a.Id_Proprietario = :id"), {{QStringLiteral("id"), text.toInt()}});
                m_model->reload();
                found = m_model->rowCount() > 0;
            }
        } else {
            QVariantMap params;
            const QString condition = OwnerSearch::namePrefixCondition(mainConnection(), QStringLiteral("a.Nome"), text, &params);
            m_model->setFilter(condition, params);
            m_model->reload();
            found = m_model->rowCount() > 0;
        }
    } catch (const DbError &) {
        found = false;
    }
    if (!found) {
        m_model->clear();
        Services::messages().information(QStringLiteral("Proprietário não encontrado!"), this);
        return;
    }
    m_grid->setCurrentIndex(m_model->index(0, 0));
}

void CarteirinhaWindow::imprimir(CardReport::Variant v)
{
    const int row = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : -1;
    const QVariant animal = row >= 0 ? m_model->rawValue(row, ColIdAnimal) : QVariant();
    if (animal.isNull() || !animal.isValid() || animal.toString().trimmed().isEmpty()) {
        Services::messages().information(QStringLiteral("Animal não encontrado."), this);
        return;
    }
    const QString owner = PagedQueryModel::displayText(m_model->rawValue(row, ColNome));
    Connection &c = mainConnection();
    try {
        const ReportDefinition def = CardReport::definition(c, v, animal.toInt(), owner, CardReport::currentIssue(c));
        if (Reports::open(def, this))
            AgendaWindows::closeWindow(this);
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
}

void registerCardScreens(ScreenCatalog &catalog)
{
    catalog.add(41, [](QWidget *parent) -> QWidget * { return new CarteirinhaWindow(parent); });
}
