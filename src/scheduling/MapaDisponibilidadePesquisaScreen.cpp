#include "scheduling/MapaDisponibilidadePesquisaScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "ui/FormHelpers.h"
#include "ui/SearchResultModel.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/Services.h"

#include <QLabel>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace {
MapaDisponibilidadePesquisaScreen::Choice g_choice;
}

MapaDisponibilidadePesquisaScreen::Choice MapaDisponibilidadePesquisaScreen::choice() { return g_choice; }
void MapaDisponibilidadePesquisaScreen::resetChoice() { g_choice = Choice(); }

MapaDisponibilidadePesquisaScreen::MapaDisponibilidadePesquisaScreen(Connection &c, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_c(c)
{
    setObjectName(QStringLiteral("MapaDisponibilidadePesquisa"));
    setWindowTitle(QStringLiteral("Pesquisa"));
    setModal(true);
    auto *g = new QGridLayout(this);
    m_selecao = new QComboBox(this);
    m_selecao->setObjectName(QStringLiteral("cbbSelecao"));
    m_selecao->addItems({QStringLiteral("CPF/CNPJ"), QStringLiteral("Nome")});
    m_selecao->setCurrentIndex(-1);
    m_dados = new QLineEdit(this);
    m_dados->setObjectName(QStringLiteral("edtDados"));
    g->addWidget(FormHelpers::caption(QStringLiteral("Selecione:"), m_selecao, this), 0, 0);
    g->addWidget(m_selecao, 0, 1);
    g->addWidget(FormHelpers::caption(QStringLiteral("Dados:"), m_dados, this), 0, 2);
    g->addWidget(m_dados, 0, 3);
    auto *pesquisarButton = new QPushButton(QStringLiteral("&Pesquisar"), this);
    pesquisarButton->setObjectName(QStringLiteral("bmpPesquisar"));
    pesquisarButton->setAccessibleName(QStringLiteral("Pesquisar"));
    auto *okButton = new QPushButton(QStringLiteral("&OK"), this);
    okButton->setObjectName(QStringLiteral("bmpOK"));
    okButton->setAccessibleName(QStringLiteral("OK"));
    g->addWidget(pesquisarButton, 0, 4);
    g->addWidget(okButton, 0, 5);
    m_model = new SearchResultModel({{QStringLiteral("Nome"), QStringLiteral("Nome")},
                                     {QStringLiteral("Tipo pessoa"), QStringLiteral("Tipo_Pessoa")},
                                     {QStringLiteral("CPF/CNPJ"), QStringLiteral("Num_CPF_CNPJ")},
                                     {QStringLiteral("E-mail"), QStringLiteral("Email_Proprietario")}},
                                    this);
    m_grid = makeReadOnlyGrid(this, m_model, QStringLiteral("dbgPesquisa"), QStringLiteral("Proprietários encontrados"));
    g->addWidget(m_grid, 1, 0, 1, 6);
    connect(pesquisarButton, &QPushButton::clicked, this, &MapaDisponibilidadePesquisaScreen::pesquisar);
    connect(okButton, &QPushButton::clicked, this, &MapaDisponibilidadePesquisaScreen::ok);
    connect(m_grid, &QTableView::doubleClicked, this, &MapaDisponibilidadePesquisaScreen::ok);
    resize(720, 420);
}

void MapaDisponibilidadePesquisaScreen::pesquisar()
{
    const QString option = m_selecao->currentText();
    if (option.isEmpty()) {
        Services::messages().information(QStringLiteral("Falta selecionar uma opção de pesquisa."), this);
        FormHelpers::markRefused(m_selecao);
        return;
    }
    const QString dados = m_dados->text().trimmed();
    if (dados.isEmpty()) {
        Services::messages().information(QStringLiteral("Falta digitar o ") + option + QStringLiteral("."), this);
        return;
    }
    OwnerSearch::Query q;
    q.select = QStringLiteral("select Nome, Num_CPF_CNPJ, Tipo_Pessoa, Email_Proprietario, Id_Proprietario from proprietario "
                              "where 1 = 1");
    if (option == QLatin1String("CPF/CNPJ")) {
        q.select += QStringLiteral(" and Num_CPF_CNPJ = :dados");
        q.params.insert(QStringLiteral("dados"), dados);
    } else {
        q.select += QStringLiteral(" and ") + m_c.dialect().containsCondition(QStringLiteral("Nome"), QStringLiteral(":dados"));
        q.params.insert(QStringLiteral("dados"), m_c.dialect().containsValue(dados));
    }
    q.orderBy = QStringLiteral("Nome, Id_Proprietario");
    q.keyColumns = QStringLiteral("Id_Proprietario");
    try {
        m_model->setQuery(m_c, q);
        m_searched = true;
        if (m_model->rowCount() > 0)
            m_grid->setCurrentIndex(m_model->index(0, 0));
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}

void MapaDisponibilidadePesquisaScreen::ok()
{
    const QModelIndex cur = m_grid->currentIndex();
    if (m_searched && cur.isValid()) {
        g_choice.id = m_model->field(cur.row(), QStringLiteral("Id_Proprietario")).toInt();
        g_choice.nome = Sql::text(m_model->field(cur.row(), QStringLiteral("Nome")));
        g_choice.cpfCnpj = Sql::text(m_model->field(cur.row(), QStringLiteral("Num_CPF_CNPJ")));
    }
    accept();
}
