#include "registry/StreetSearchWindow.h"
#include "ui/FocusFlow.h"
#include "db/DbError.h"
#include "registry/AddressGroup.h"
#include "ui/FormHelpers.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/Services.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QStringList kSelections = {QStringLiteral("Núm lograd."), QStringLiteral("Logradouro"), QStringLiteral("Núm. bairro"),
                                 QStringLiteral("Bairro")};

} // namespace

StreetSearchWindow::StreetSearchWindow(AddressGroup *target, QWidget *parent)
    : QWidget(parent, Qt::Window), m_target(target)
{
    setObjectName(QStringLiteral("frmPesquisaEndereco"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Pesquisa endereço."));
    FocusFlow::closeOnEscape(this);

    m_selecione = new QComboBox(this);
    m_selecione->setObjectName(QStringLiteral("cmbSelecione"));
    m_selecione->addItems(kSelections);
    m_selecione->setCurrentIndex(1);
    m_texto = new QLineEdit(this);
    m_texto->setObjectName(QStringLiteral("edtTexto"));
    FormHelpers::upperCase(m_texto);
    m_texto->setProperty("zapoOwnEnter", true);
    auto *pesquisar = new QPushButton(QStringLiteral("&Pesquisar"), this);
    pesquisar->setObjectName(QStringLiteral("btnPesquisar"));
    auto *okButton = new QPushButton(QStringLiteral("&OK"), this);
    okButton->setObjectName(QStringLiteral("btnOK"));
    connect(pesquisar, &QPushButton::clicked, this, &StreetSearchWindow::pesquisar);
    connect(okButton, &QPushButton::clicked, this, &StreetSearchWindow::ok);
    connect(m_texto, &QLineEdit::returnPressed, this, &StreetSearchWindow::pesquisar);

    m_model = new QStandardItemModel(0, 4, this);
    m_model->setHorizontalHeaderLabels(
        {QStringLiteral("Núm. lograd."), QStringLiteral("Tipo lograd."), QStringLiteral("Lograd."), QStringLiteral("Bairro")});
    m_grid = makeReadOnlyGrid(this, m_model, QStringLiteral("grdLogradouros"), QStringLiteral("Logradouros"));
    FocusFlow::onEnter(m_grid, [this] { ok(); });
    connect(m_grid, &QTableView::doubleClicked, this, &StreetSearchWindow::ok);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_model->sort(column);
    });

    auto *status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    m_count = new QLabel(status);
    m_what = new QLabel(status);
    status->addWidget(m_count, 1);
    status->addWidget(m_what, 2);

    auto *top = new QGridLayout;
    auto *l1 = new QLabel(QStringLiteral("Selecione:"), this);
    l1->setBuddy(m_selecione);
    m_selecione->setAccessibleName(l1->text());
    auto *l2 = new QLabel(QStringLiteral("Texto:"), this);
    l2->setBuddy(m_texto);
    m_texto->setAccessibleName(l2->text());
    top->addWidget(l1, 0, 0);
    top->addWidget(l2, 0, 1);
    top->addWidget(m_selecione, 1, 0);
    top->addWidget(m_texto, 1, 1);
    top->addWidget(pesquisar, 1, 2);
    top->addWidget(okButton, 1, 3);
    top->setColumnStretch(1, 1);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addWidget(m_grid, 1);
    lay->addWidget(status);
    resize(720, 420);
}

StreetSearchWindow *StreetSearchWindow::open(AddressGroup *target, const QString &selection, const QString &text,
                                             bool runAtOnce)
{
    auto *w = new StreetSearchWindow(target, target ? target->window() : nullptr);
    w->setSelection(selection);
    w->setText(text);
    if (runAtOnce)
        w->pesquisar();
    // Found streets are taken with Enter on the first one; otherwise the
    // clerk types another search.
    if (w->rowCount() > 0)
        w->m_grid->setFocus();
    else
        w->m_texto->setFocus();
    FocusFlow::centreOn(w, target);
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

void StreetSearchWindow::setSelection(const QString &selection)
{
    const int i = m_selecione->findText(selection);
    if (i >= 0)
        m_selecione->setCurrentIndex(i);
}

void StreetSearchWindow::setText(const QString &text) { m_texto->setText(text.toUpper()); }
int StreetSearchWindow::rowCount() const { return int(m_rows.size()); }

void StreetSearchWindow::selectRow(int row)
{
    if (row >= 0 && row < m_model->rowCount())
        m_grid->selectRow(row);
}

void StreetSearchWindow::pesquisar()
{
    using By = StreetDirectory::SearchBy;
    const By by = std::array{By::StreetCode, By::StreetName, By::NeighbourhoodCode, By::NeighbourhoodName}
        [std::max(0, m_selecione->currentIndex())];
    try {
        m_rows = StreetDirectory().search(by, m_texto->text());
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
        return;
    }
    m_model->removeRows(0, m_model->rowCount());
    for (int i = 0; i < m_rows.size(); ++i) {
        const StreetDirectory::Street &s = m_rows.at(i);
        auto *code = new QStandardItem;
        code->setData(s.numLogr, Qt::DisplayRole);
        code->setData(i, Qt::UserRole); // the row behind it, whatever the sorting
        m_model->appendRow({code, new QStandardItem(s.type), new QStandardItem(s.name), new QStandardItem(s.nomBair)});
    }
    m_grid->resizeColumnsToContents();
    if (!m_rows.isEmpty())
        m_grid->selectRow(0);
    m_count->setText(QStringLiteral("Qt. registro: ") + QString::number(m_rows.size()));
    m_what->setText(m_selecione->currentText() + QStringLiteral(" - ") + m_texto->text().trimmed());
}

void StreetSearchWindow::ok()
{
    const QModelIndex current = m_grid->currentIndex();
    if (current.isValid() && m_target) {
        const int i = m_model->index(current.row(), 0).data(Qt::UserRole).toInt();
        if (i >= 0 && i < m_rows.size()) {
            const StreetDirectory::Street &s = m_rows.at(i);
            // The group writes only while its address is being typed.
            m_target->applyStreet(s.numLogr, s.name, s.type, s.seq, s.numBair, s.nomBair);
        }
    }
    close();
}

