#include "scheduling/AgendaLocalizarPropWindow.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "ui/Buttons.h"
#include "ui/FormHelpers.h"
#include "ui/SearchResultModel.h"
#include "scheduling/AgendaStore.h"
#include "ui/FocusFlow.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/Services.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

AgendaLocalizarPropWindow::AgendaLocalizarPropWindow(QWidget *opener, std::function<void(int)> pick)
    : QWidget(opener, Qt::Window), m_pick(std::move(pick))
{
    setObjectName(QStringLiteral("frmAgendaLocalizarProp"));
    setWindowTitle(QStringLiteral("Localizar"));
    setAttribute(Qt::WA_DeleteOnClose);
    FocusFlow::closeOnEscape(this);
    auto *g = new QGridLayout(this);
    m_selecao = new QComboBox(this);
    m_selecao->setObjectName(QStringLiteral("cbbSelecao"));
    m_selecao->addItems(Agenda::searchCaptions());
    m_selecao->setCurrentIndex(0);
    m_texto = new QLineEdit(this);
    m_texto->setObjectName(QStringLiteral("edtTexto"));
    m_texto->setProperty("zapoOwnEnter", true);
    connect(m_texto, &QLineEdit::returnPressed, this, &AgendaLocalizarPropWindow::pesquisar);
    const auto [pesq, okButton] = placeSearchBar(g, this, QStringLiteral("Selecione:"), m_selecao, m_texto,
                                                 QStringLiteral("&Pesquisar"), QStringLiteral("bmpPesquisar"));
    connect(pesq, &QPushButton::clicked, this, &AgendaLocalizarPropWindow::pesquisar);
    connect(okButton, &QPushButton::clicked, this, &AgendaLocalizarPropWindow::ok);

    m_model = new SearchResultModel({{QStringLiteral("Nº Atendimento"), QStringLiteral("id_atendimento")},
                                     {QStringLiteral("Proprietário"), QStringLiteral("nome_proprietario")},
                                     {QStringLiteral("Cód.Prop."), QStringLiteral("id_proprietario")},
                                     {QStringLiteral("Animal"), QStringLiteral("nome_animal")},
                                     {QStringLiteral("Cód.Animal"), QStringLiteral("id_animal")},
                                     {QStringLiteral("CPF / CNPJ"), QStringLiteral("Num_CPF_CNPJ")},
                                     {QStringLiteral("Identidade"), QStringLiteral("Num_CI")},
                                     {QStringLiteral("Microchip"), QStringLiteral("Num_Microchip")}},
                                    this);
    m_grid = makeReadOnlyGrid(this, m_model, QStringLiteral("dbgLocalizar"), QStringLiteral("Atendimentos encontrados"));
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableView::doubleClicked, this, &AgendaLocalizarPropWindow::ok);
    FocusFlow::onEnter(m_grid, [this] { ok(); });
    FocusFlow::watchButtons(this);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int col) {
        try {
            m_model->sortBy(col);
        } catch (const DbError &e) {
            FormHelpers::showError(e, this);
        }
    });
    g->addWidget(m_grid, 2, 0, 1, 4);
    resize(820, 420);
}

void AgendaLocalizarPropWindow::pesquisar()
{
    const QString option = m_selecao->currentText();
    const QString text = m_texto->text().trimmed();
    if (option.isEmpty() || text.isEmpty()) {
        Services::messages().information(
            QStringLiteral("Falta selecionar o campo de pesquisa ou digitar o texto a ser localizado."), this);
        return;
    }
    const auto q = Agenda::search(mainConnection(), option, text);
    if (!q) {
        m_model->setQuery(mainConnection(), std::nullopt);
        Services::messages().information(
            QStringLiteral("Um erro ocorreu durante a execução da consulta, verifique o texto digitado!"), this);
        return;
    }
    try {
        m_model->setQuery(mainConnection(), q);
    } catch (const DbError &) {
        m_model->setQuery(mainConnection(), std::nullopt);
        Services::messages().information(
            QStringLiteral("Um erro ocorreu durante a execução da consulta, verifique o texto digitado!"), this);
        return;
    }
    if (m_model->totalRows() == 0) {
        Services::messages().information(
            QStringLiteral("Nenhum atendimento encontrado na pesquisa: ") + option + QStringLiteral(" = ") + text, this);
        return;
    }
    m_grid->setCurrentIndex(m_model->index(0, 0));
}

void AgendaLocalizarPropWindow::ok()
{
    if (m_model->rowCount() == 0)
        return;
    const int row = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : 0;
    const int id = m_model->field(row, QStringLiteral("id_atendimento")).toInt();
    if (m_pick)
        m_pick(id);
    close();
}

bool AgendaLocalizarPropWindow::eventFilter(QObject *o, QEvent *e)
{
    if (o == m_grid && e->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent *>(e)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            ok();
            return true;
        }
    }
    return QWidget::eventFilter(o, e);
}
