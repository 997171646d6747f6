#include "registry/OwnerWindows.h"
#include "ui/Buttons.h"
#include "ui/FocusFlow.h"
#include "ui/FormHelpers.h"
#include "ui/WindowPlacement.h"
#include "ui/ReadOnlyGrid.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "ui/SearchResultModel.h"
#include "ui/Services.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QTableView *makeGrid(QWidget *parent, SearchResultModel *model, const QString &name)
{
    auto *g = makeReadOnlyGrid(parent, model, name);
    g->horizontalHeader()->setStretchLastSection(false);
    return g;
}

QString joinAddress(const QVariantMap &r, const char *a, const char *b, const char *c, const char *d)
{
    auto v = [&](const char *k) {
        for (auto it = r.cbegin(); it != r.cend(); ++it)
            if (it.key().compare(QLatin1String(k), Qt::CaseInsensitive) == 0)
                return Sql::text(it.value());
        return QString();
    };
    return v(a) + QLatin1Char(' ') + v(b) + QLatin1Char(' ') + v(c) + QStringLiteral("  ") + v(d);
}

} // namespace

OwnerConsultation::OwnerConsultation(QWidget *opener, OwnerLoader *loader)
    : QWidget(opener, Qt::Window | Qt::WindowStaysOnTopHint), m_loader(loader)
{
    // A child of its opener: closing the register screen takes it along.
    setObjectName(QStringLiteral("frmConsultaProprietario"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Consulta proprietário."));
    FocusFlow::closeOnEscape(this);

    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("cmbCampo"));
    m_field->addItems(OwnerSearch::consultationFieldCaptions());
    // The clerk searches by name far more than by anything else.
    m_field->setCurrentIndex(int(OwnerSearch::consultationFieldCaptions().indexOf(QStringLiteral("Nome prop."))));
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("edtTexto"));
    FormHelpers::upperCase(m_text);
    auto *top = new QGridLayout;
    const auto [find, okButton] = placeSearchBar(top, this, QStringLiteral("Selecione:"), m_field, m_text,
                                                 QStringLiteral("&Localizar"), QStringLiteral("bmpLocalizar"));

    m_model = new SearchResultModel(
        {{QStringLiteral("Cód. Prop."), QStringLiteral("Id_Proprietario")},
         {QStringLiteral("Proprietario"), QStringLiteral("Nome")},
         {QStringLiteral("Cód. Animal"), QStringLiteral("Id_Animal")},
         {QStringLiteral("Animal"), QStringLiteral("nome_animal")},
         {QStringLiteral("Microchip"), QStringLiteral("Num_Microchip")},
         {QStringLiteral("Tel. Residencial"), QStringLiteral("Telefone_Residencial")},
         {QStringLiteral("Tel. Celular"), QStringLiteral("Telefone_Celular")},
         {QStringLiteral("Tel. Recado"), QStringLiteral("Telefone_Recado")},
         {QStringLiteral("CPF/CNPJ"), QStringLiteral("Num_CPF_CNPJ")},
         {QStringLiteral("Carteira IdentidadeI."), QStringLiteral("Num_CI")},
         {QStringLiteral("Endereco prop.:"), QString()}},
        this);
    m_model->computed = [](const QVariantMap &r) {
        return joinAddress(r, "TIP_LOGR", "NOM_LOGR", "NUM_IMOV_LOGR", "DES_CMPL_ENDR");
    };
    m_grid = makeGrid(this, m_model, QStringLiteral("dbgConsulta"));
    m_grid->installEventFilter(this);
    m_status = new QLabel(this);
    auto *status = new QStatusBar(this);
    status->addWidget(m_status, 1);

    auto *lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addWidget(m_grid, 1);
    lay->addWidget(status);

    connect(find, &QPushButton::clicked, this, &OwnerConsultation::localizar);
    // The number shown first is what was read; the exact one follows when
    // counted. A new search being typed no longer wants the old total.
    connect(m_model, &SearchResultModel::totalChanged, this, [this](int rows, bool exact) {
        m_status->setText(QString::number(rows) + (exact ? QString() : QStringLiteral(" ou mais"))
                          + QStringLiteral(" registros encontrado."));
    });
    connect(m_text, &QLineEdit::textEdited, m_model, &SearchResultModel::cancelCount);
    connect(okButton, &QPushButton::clicked, this, &OwnerConsultation::ok);
    m_text->setProperty("zapoOwnEnter", true); // Enter searches
    connect(m_text, &QLineEdit::returnPressed, this, &OwnerConsultation::localizar);
    connect(m_grid, &QTableView::doubleClicked, this, &OwnerConsultation::ok);
    FocusFlow::watchButtons(this);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        try {
            m_model->sortBy(section);
        } catch (const DbError &e) {
            Services::messages().error(e.text(), this);
        }
    });

    resize(900, 420);
    // The field to search by is preselected: the clerk types the text at once.
    m_text->setFocus();
    WindowPlacement::centreOver(this, opener);
}

QString OwnerConsultation::statusText() const
{
    return m_status->text();
}

void OwnerConsultation::localizar()
{
    const OwnerSearch::Field field = OwnerSearch::consultationField(m_field->currentText());
    if (field == OwnerSearch::Field::None || m_text->text().trimmed().isEmpty()) {
        Services::messages().information(QStringLiteral("Falta selecionar o campo ou o texto para a pesquisa. "), this);
        return;
    }
    if (field == OwnerSearch::Field::CpfCnpj)
        m_text->setText(OwnerSearch::cpfSearchText(m_text->text()));
    try {
        m_model->setQuery(mainConnection(), OwnerSearch::consultation(mainConnection(), field, m_text->text()));
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
        return;
    }
    if (field == OwnerSearch::Field::Microchip && m_loader) {
        const bool hasOwner = !Sql::text(m_model->field(0, QStringLiteral("Id_Proprietario"))).isEmpty();
        m_loader->setAnimalToLocate(hasOwner ? m_model->field(0, QStringLiteral("Id_Animal")).toInt() : 0);
    }
    if (m_model->rowCount() > 0)
        m_grid->selectRow(0);
}

void OwnerConsultation::ok()
{
    const int row = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : 0;
    const QVariant owner = m_model->field(row, QStringLiteral("Id_Proprietario"));
    if (!Sql::text(owner).isEmpty() && m_loader) {
        m_loader->loadOwner(owner.toInt(), m_model->field(row, QStringLiteral("Id_Animal")).toInt());
    } else {
        Services::messages().information(QStringLiteral("Nenhum registro localizado!"), this);
    }
    close();
}

bool OwnerConsultation::eventFilter(QObject *watched, QEvent *event)
{
    // Typing any character in the grid confirms the row, as it always has.
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter
            || (!k->text().isEmpty() && k->text().at(0).isPrint())) {
            ok();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

OwnerSearchWindow::OwnerSearchWindow(QWidget *opener, int target)
    : QWidget(opener, Qt::Window), m_target(target)
{
    setObjectName(QStringLiteral("frmPesquisaProprietario"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Pesquisa prorietário."));
    FocusFlow::closeOnEscape(this);
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("cmbCampo"));
    m_field->setEditable(true);
    m_field->addItems(OwnerSearch::ownerFieldCaptions());
    // Owners are looked for by name far more than by anything else.
    m_field->setCurrentIndex(int(OwnerSearch::ownerFieldCaptions().indexOf(QStringLiteral("Nome"))));
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("edtTexto"));
    FormHelpers::upperCase(m_text);
    auto *top = new QGridLayout;
    const auto [find, okButton] = placeSearchBar(top, this, QStringLiteral("Selcione:"), m_field, m_text,
                                                 QStringLiteral("&Pesquisar"), QStringLiteral("bmpPesquisar"));
    m_model = new SearchResultModel({{QStringLiteral("Cód. prop."), QStringLiteral("Id_Proprietario")},
                                     {QStringLiteral("Nome"), QStringLiteral("Nome")},
                                     {QStringLiteral("Identidade"), QStringLiteral("Num_CI")},
                                     {QStringLiteral("Endereço"), QString()}},
                                    this);
    m_model->computed = [](const QVariantMap &r) {
        auto v = [&](const char *k) {
            for (auto it = r.cbegin(); it != r.cend(); ++it)
                if (it.key().compare(QLatin1String(k), Qt::CaseInsensitive) == 0)
                    return Sql::text(it.value());
            return QString();
        };
        return OwnerSearch::addressText(v("TIP_LOGR"), v("NOM_LOGR"), v("NUM_IMOV_LOGR"), v("DES_CMPL_ENDR"),
                                        v("NOM_BAIR"), !v("endereco_lido").isEmpty());
    };
    m_grid = makeGrid(this, m_model, QStringLiteral("dbgPesquisa"));

    auto *lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addWidget(m_grid, 1);

    connect(find, &QPushButton::clicked, this, &OwnerSearchWindow::pesquisar);
    connect(okButton, &QPushButton::clicked, this, &OwnerSearchWindow::ok);
    m_text->setProperty("zapoOwnEnter", true); // Enter searches
    connect(m_text, &QLineEdit::returnPressed, this, &OwnerSearchWindow::pesquisar);
    connect(m_grid, &QTableView::doubleClicked, this, &OwnerSearchWindow::ok);
    FocusFlow::onEnter(m_grid, [this] { ok(); });
    FocusFlow::watchButtons(this);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    tell(current.row(), false);
            });
    resize(700, 380);
}

void OwnerSearchWindow::pesquisar()
{
    const qsizetype i = OwnerSearch::ownerFieldCaptions().indexOf(m_field->currentText().trimmed());
    if (m_field->currentText().trimmed().isEmpty()) {
        Services::messages().information(QStringLiteral("Selecione o campo a ser pesquisado."), this);
        m_field->setFocus();
        return;
    }
    if (m_text->text().trimmed().isEmpty()) {
        Services::messages().information(QStringLiteral("Digite o texto à ser pesquisado."), this);
        m_field->setFocus();
        return;
    }
    if (i < 0) // a field typed by hand that is none of the list's
        return;
    try {
        m_model->setQuery(mainConnection(),
                          OwnerSearch::ownerSearch(mainConnection(), OwnerSearch::OwnerField(i), m_text->text()));
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
        return;
    }
    if (m_model->rowCount() > 0)
        m_grid->selectRow(0);
}

void OwnerSearchWindow::tell(int row, bool chosen)
{
    const QVariant id = m_model->field(row, QStringLiteral("Id_Proprietario"));
    if (Sql::text(id).isEmpty())
        return;
    const QString nome = Sql::text(m_model->field(row, QStringLiteral("Nome")));
    const QString endereco = m_model->data(m_model->index(row, 3), Qt::DisplayRole).toString();
    const auto &f = chosen ? ownerChosen : ownerShown;
    if (f)
        f(m_target, id.toInt(), nome, endereco);
}

void OwnerSearchWindow::ok()
{
    if (m_grid->currentIndex().isValid())
        tell(m_grid->currentIndex().row(), true);
    close();
}
