#include "scheduling/AgendamentoEspecialPanel.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/Session.h"
#include "ui/Buttons.h"
#include "ui/FormHelpers.h"
#include "scheduling/MapaDisponibilidadePesquisaScreen.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/Services.h"

#include <QLabel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

using FormHelpers::caption;

AgendamentoEspecialPanel::AgendamentoEspecialPanel(Connection &c, QWidget *parent)
    : QWidget(parent), m_c(c), m_store(c)
{
    setObjectName(QStringLiteral("tabAgendamentoEspecial"));
    auto *v = new QVBoxLayout(this);
    auto *owner = new QGroupBox(QStringLiteral("Proprietário "), this);
    auto *g = new QGridLayout(owner);
    auto line = [owner](const char *name) {
        auto *e = new QLineEdit(owner);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    m_codigo = line("mkeIdProprietario");
    m_nome = line("mkeNomeProprietario");
    m_cpf = line("mkeCPF_CNPJ");
    m_quantidade = line("mkeQuantidadeVaga");
    m_total = line("mkeQuantidadeTotal");
    FormHelpers::readOnlyGrey(m_total);
    g->addWidget(caption(QStringLiteral("Código: "), m_codigo, owner), 0, 0);
    g->addWidget(m_codigo, 0, 1);
    g->addWidget(caption(QStringLiteral("Nome:"), m_nome, owner), 0, 2);
    g->addWidget(m_nome, 0, 3, 1, 3);
    g->addWidget(caption(QStringLiteral("CPF/CNPJ:"), m_cpf, owner), 1, 0);
    g->addWidget(m_cpf, 1, 1);
    g->addWidget(caption(QStringLiteral("Qt. agend.:"), m_quantidade, owner), 1, 2);
    g->addWidget(m_quantidade, 1, 3);
    g->addWidget(caption(QStringLiteral("Total acrecido:"), m_total, owner), 1, 4);
    g->addWidget(m_total, 1, 5);
    auto *buttons = new QHBoxLayout;
    QList<QPushButton *> made;
    for (const auto &[text, name] : {std::pair{QStringLiteral("&Pesquisar proprietário"), "bmpPesquisar"},
                                     std::pair{QStringLiteral("&Incluir"), "bmpIncluir"},
                                     std::pair{QStringLiteral("&Excluir"), "bmpExcluirEspecial"},
                                     std::pair{QStringLiteral("&Limpar"), "bmpLimpar"}}) {
        auto *b = commandButton(text, QString::fromLatin1(name), owner);
        buttons->addWidget(b);
        made << b;
    }
    g->addLayout(buttons, 2, 0, 1, 6);
    v->addWidget(owner);

    auto *infoBox = new QGroupBox(QStringLiteral("Informações adicionais:"), this);
    auto *il = new QVBoxLayout(infoBox);
    m_info = new QPlainTextEdit(infoBox);
    m_info->setObjectName(QStringLiteral("memInformacoes"));
    m_info->setAccessibleName(QStringLiteral("Informações adicionais:"));
    m_info->setReadOnly(true);
    il->addWidget(m_info);
    v->addWidget(infoBox, 1);

    m_model = new QStandardItemModel(0, 4, this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("Código do proprietário"), QStringLiteral("Proprietário"),
                                        QStringLiteral("Qt. acrecido"), QStringLiteral("Data da inserção")});
    m_grid = makeReadOnlyGrid(this, m_model, QStringLiteral("dbgAgendamento"), QStringLiteral("Agendamentos especiais"));
    v->addWidget(m_grid, 1);

    connect(made.at(0), &QPushButton::clicked, this, [this] {
        MapaDisponibilidadePesquisaScreen dlg(m_c, this);
        dlg.exec();
        afterSearch();
    });
    connect(made.at(1), &QPushButton::clicked, this, &AgendamentoEspecialPanel::incluir);
    connect(made.at(2), &QPushButton::clicked, this, &AgendamentoEspecialPanel::excluir);
    connect(made.at(3), &QPushButton::clicked, this, &AgendamentoEspecialPanel::limpar);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &cur) { rowReached(cur.isValid() ? cur.row() : -1); });
    FormHelpers::installEnterAsTab(owner);
    reloadGrid();
}

QString AgendamentoEspecialPanel::summary() const { return m_info->toPlainText(); }

void AgendamentoEspecialPanel::reloadGrid()
{
    try {
        m_rows = m_store.live();
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
        m_rows.clear();
    }
    m_loading = true;
    m_model->removeRows(0, m_model->rowCount());
    for (const Grant &r : m_rows)
        m_model->appendRow({new QStandardItem(QString::number(r.proprietario)), new QStandardItem(r.nome),
                            new QStandardItem(QString::number(r.quantidade)),
                            new QStandardItem(Formats::dateTime(r.inseridoEm))});
    m_loading = false;
    m_grid->resizeColumnsToContents();
    int row = m_rows.isEmpty() ? -1 : 0;
    if (const std::optional<int> code = GrantStore::ownerCode(m_codigo->text())) {
        for (int i = 0; i < m_rows.size(); ++i)
            if (m_rows.at(i).proprietario == *code) {
                row = i;
                break;
            }
    }
    if (row >= 0) {
        m_loading = true;
        m_grid->setCurrentIndex(m_model->index(row, 0));
        m_loading = false;
        rowReached(row);
    }
}

void AgendamentoEspecialPanel::rowReached(int row)
{
    if (m_loading || row < 0 || row >= m_rows.size())
        return;
    m_codigo->setText(QString::number(m_rows.at(row).proprietario));
    m_nome->clear();
    m_cpf->clear();
    m_total->clear();
    m_quantidade->clear();
    ownerSummary();
}

void AgendamentoEspecialPanel::afterSearch()
{
    m_codigo->setText(QString::number(MapaDisponibilidadePesquisaScreen::choice().id));
    m_nome->clear();
    m_cpf->clear();
    ownerSummary();
}

void AgendamentoEspecialPanel::ownerSummary()
{
    try {
        QStringList lines = m_info->toPlainText().isEmpty() ? QStringList() : m_info->toPlainText().split(QLatin1Char('\n'));
        if (!m_codigo->text().trimmed().isEmpty() || !m_nome->text().trimmed().isEmpty()) {
            const QList<GrantOwner> found = m_store.owners(m_codigo->text(), m_nome->text());
            if (found.size() == 1) {
                const GrantOwner &o = found.first();
                m_codigo->setText(QString::number(o.id));
                m_nome->setText(o.nome);
                m_cpf->setText(o.cpfCnpj);
                const QString doc = o.tipoPessoa == QStringLiteral("FÍSICA")     ? QStringLiteral("CPF:")
                                    : o.tipoPessoa == QStringLiteral("JURÍDICA") ? QStringLiteral("CNPJ:")
                                                                                : QStringLiteral("CNPJ/CPF:");
                lines = {QStringLiteral("Proprietário:") + o.nome, doc + o.cpfCnpj,
                         o.email.isEmpty() ? QStringLiteral("E-Mail: Não informado no cadastro de proprietário. ")
                                           : QStringLiteral("E-Mail:") + o.email,
                         QStringLiteral("Registro inserido na data ") + Formats::dateTime(o.inseridoEm)};
            }
        }
        // A code with letters names nobody: no figures.
        if (const std::optional<int> code = GrantStore::ownerCode(m_codigo->text())) {
            for (const auto &[status, n] : m_store.appointmentsByStatus(*code))
                lines << status + QStringLiteral(" = ") + QString::number(n);
            m_total->setText(QString::number(m_store.allowanceTotal(*code)));
            const QList<GrantAppointment> list = m_store.appointments(*code);
            if (!list.isEmpty() && !list.first().animal.isEmpty())
                lines << QStringLiteral("Animal | Status do atendimento | Data do atendimento | Unidade de atendimento");
            for (const GrantAppointment &a : list)
                lines << a.animal + QStringLiteral(" | ") + a.status + QStringLiteral(" | ") + Formats::dateTime(a.dataHora)
                             + QStringLiteral(" | ") + a.unidade;
        }
        m_info->setPlainText(lines.join(QLatin1Char('\n')));
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}

void AgendamentoEspecialPanel::incluir()
{
    Messages &msg = Services::messages();
    auto refuse = [&](QLineEdit *e, const QString &text) {
        msg.information(text, this);
        FormHelpers::markRefused(e);
    };
    if (m_codigo->text().trimmed().isEmpty())
        return refuse(m_codigo, QStringLiteral("Código do proprietário não informado. Por favor, realize uma nova pesquisa."));
    if (m_nome->text().trimmed().isEmpty())
        return refuse(m_nome, QStringLiteral("Falta informa o nome do proprietário."));
    if (m_cpf->text().trimmed().isEmpty())
        return refuse(m_cpf, QStringLiteral("Falta informa o nçumero do CPF/CNPJ."));
    const QString qtText = m_quantidade->text().trimmed();
    bool okQt = !qtText.isEmpty() && qtText.size() <= 6;
    for (QChar ch : qtText)
        okQt = okQt && ch.isDigit() && ch.unicode() < 0x80;
    const int quantity = okQt ? qtText.toInt() : 0;
    if (quantity < 1)
        return refuse(m_quantidade, QStringLiteral("Falta informar a quantidade."));
    try {
        const std::optional<int> code = GrantStore::ownerCode(m_codigo->text());
        const QList<GrantOwner> owner = code ? m_store.owners(QString::number(*code), {}) : QList<GrantOwner>();
        if (owner.isEmpty()) {
            msg.information(QStringLiteral("Código do proprietário não encontrado na base de dados."), this);
            return;
        }
        // The owner the grant goes to, as stored: not a name typed beside
        // another owner's code.
        if (!msg.confirm(QStringLiteral("Você está preste a inserir ") + QString::number(quantity) + QStringLiteral(" vagas para ")
                             + owner.first().nome + QStringLiteral(" deseja continuar?"),
                         this))
            return;
        m_store.grant(*code, quantity, usuarioLogado().IdUsuario);
    } catch (const std::exception &) {
        msg.error(QStringLiteral("Erro ao tentar criar o registro. "), this);
        return;
    }
    reloadGrid();
}

void AgendamentoEspecialPanel::excluir()
{
    const int row = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : -1;
    if (row < 0 || row >= m_rows.size())
        return;
    const Grant grant = m_rows.at(row);
    Messages &msg = Services::messages();
    try {
        const int acrescido = m_store.allowanceTotal(grant.proprietario);
        const int usado = m_store.appointmentsHeld(grant.proprietario);
        if (grant.quantidade < usado - acrescido) {
            msg.information(QStringLiteral("Não é possivel excluir, a quantidade de agendamento já utilizada é maior que a "
                                           "quantidade que esta tentando exclúir."),
                            this);
            return;
        }
        if (!msg.confirm(QStringLiteral("Deseja realmente excluir o registro?"), this))
            return;
        if (!m_store.withdraw(grant.id, grant.proprietario, usuarioLogado().IdUsuario))
            msg.error(QStringLiteral("Erro ao tentar excluir o registro."), this);
    } catch (const std::exception &) {
        msg.error(QStringLiteral("Erro ao tentar excluir o registro."), this);
    }
    reloadGrid();
}

void AgendamentoEspecialPanel::limpar()
{
    reloadGrid();
    for (QLineEdit *e : {m_codigo, m_nome, m_cpf, m_quantidade, m_total})
        e->clear();
    m_info->clear();
}
