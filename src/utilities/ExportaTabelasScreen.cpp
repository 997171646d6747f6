#include "utilities/ExportaTabelasScreen.h"
#include "db/Formats.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/ExportCopy.h"
#include "db/ServerClock.h"
#include "db/schema/Schema.h"
#include "db/Sql.h"
#include "ui/Buttons.h"
#include "ui/LongWork.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/Services.h"
#include "ui/StatusPanels.h"
#include "ui/register/PagedQueryModel.h"
#include "utilities/DbaseExport.h"

#include <QApplication>
#include <QComboBox>
#include "ui/DateEdit.h"
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kWaiting = QStringLiteral("Agrarde a recuperação dos dados...");
const QString kTableName = QStringLiteral("Animal e atendimento");
const QString kKey = QStringLiteral("id_atend");

} // namespace

const QList<ExportaTabelasScreen::Column> &ExportaTabelasScreen::columns()
{
    static const QList<Column> all = [] {
        struct Raw {
            const char *name, *caption;
            int width;
            const char *dictionary;
        };
        static const Raw raw[] = {
            {"id_prop", "Identificador do proprietário", 150, "Id_prop: Identificador do proprietário, serve como chave primário para identificar o proprietário de forma unica."},
            {"tp_pes", "Tp pessoa", 150, "Tp_pes: Identifica se o proprietário é pessoa física ou jurídica."},
            {"CPF_CNPJ", "Nº CPF/CNPJ", 150, "CPF_CNPJ: Número de identificação da pessoa física ou jurídica."},
            {"RG", "Nº RG", 150, "RG: Número da carteira de identidade."},
            {"prop", "Nome proprietário", 150, "Prop: nome do proprietário."},
            {"P_dist", "Dist. prop.", 150, "P_dist: Distrito do proprietário."},
            {"P_CDArea", "cód. área", 150, "P_CDArea: código da área de abrangência."},
            {"P_DSArea", "Desc. área", 150, "P_DSArea: Descrição ou nome da área de abrangência."},
            {"P_DSBair", "Bairro", 150, "P_DSBair: Descrição ou nome do bairro."},
            {"P_CEP", "CEP", 150, "P_CEP: número do CEP do proprietário."},
            {"P_CDLogr", "Cód. Logad.", 150, "P_CDLogr: Código do lougradouro do proprietário."},
            {"P_TPLogr", "Tipo lograd.", 150, "P_TPLogr: Tipo de logradouro do proprietário."},
            {"P_DSLogr", "Logradouro", 150, "P_DSLogr: Descrição do lougradouro no proprietário."},
            {"P_NU_Imov", "Nº imóvel", 150, "P_NU_Imov: Número do imóvel."},
            {"P_Compl", "Complemento", 150, "P_Compl: Complemento do endereço do proprietário."},
            {"P_cooX", "P_cooX", 150, "P_cooX: Coordenadas X do endereço do proprietário."},
            {"P_cooY", "P_cooY", 150, "P_cooY: Coordenadas Y do endereço do proprietário."},
            {"id_animal", "Ident. animal", 150, "Id_animal: Código identificador do animal."},
            {"animal", "Nome do animal", 150, "Animal: Nome do animal."},
            {"sexo", "Sexo", 150, "Sexo: Sexo do animal."},
            {"pelo", "Pelo", 150, "Pelo: Tamanho do pelo do animal."},
            {"porte", "Porte", 150, "Porte: Porte do animal."},
            {"raca", "Raça", 150, "Raca: Raça do animal."},
            {"sinais", "Sinais/caracteristica do animal", 150, "Sinais: Sinais, características do animal."},
            {"cor", "Cor", 150, "Cor: Cor da animal."},
            {"esteril", "Esterilizado?", 150, "Esteril: Informação se o animal é esterilizado ou não."},
            {"especie", "Especie", 150, "Especie: Especie do animal."},
            {"microc", "Nº Microchipe", 150, "Microc: Número do microchip do animal."},
            {"pedigree", "Pedigree", 150, "Pedigree: Número do pedigree do animal."},
            {"A_dist", "Distrito(animal)", 150, "A_dist: Distrito em que o animal reside."},
            {"A_CDArea", "Cód. área(animal)", 150, "A_CDArea: Área de abrangência em que o animal reside."},
            {"A_DSArea", "Área(animal)", 150, "A_DSArea: Descrição da área de abrangência em que o animal reside."},
            {"A_DSBair", "Bairro(animal)", 150, "A_DSBair: Descrição do bairro em que o animal reside."},
            {"A_CEP", "CEP(animal)", 150, "A_CEP: Número do CEF que o animal reside."},
            {"A_CDLogr", "Cód. lograd.(animal)", 150, "A_CDLogr: Código do logradouro em que o animal reside."},
            {"A_TPLogr", "Tipo lograd.(animal)", 150, "A_TPLogr: Tipo de logradouro em que o animal reside."},
            {"A_DSLogr", "Lograd.(animal)", 150, "A_DSLogr: Descrição do logradouro do animal."},
            {"A_NU_Imov", "Nº imovel(animal)", 150, "A_NU_Imov: Número do imóvel."},
            {"A_Compl", "Complemento(animal)", 150, "A_Compl: Complemento do endereço do animal."},
            {"A_cooX", "A_cooX", 150, "A_cooX: Coordenada X do endereço do animal."},
            {"A_cooY", "A_cooY", 150, "A_cooY: Coordenada Y do endereço do animal."},
            {"id_atend", "Id. atendimento", 150, "Id_atend: Número do atendimento."},
            {"st_atend", "Status atendimento", 150, "St_atend: Status do atendimento."},
            {"td_atend", "Data atendimento", 150, "Td_atend: Data do atendimento."},
            {"AnoAtent", "Ano atendimeto", 150, "AnoAtent: Ano do atendimento, baseado na data do atendimento."},
            {"MesAtent", "Mês atendimento", 150, "MesAtent: Mês que ocorreu o atendimento."},
            {"aut_ciru", "Autorização cirurgia", 150, "Aut_ciru: Informa se o proprietário autorizou a cirurgia."},
            {"uni_marc", "Unidade que agendou", 150, "Uni_marc: Unidade que marcou o atendimento."},
            {"uni_real", "Unidade executora", 150, "Uni_real: Unidade que realizou ou irá realizar a cirurgia."},
            {"CUS_inse", "Cód. usuário inseriu reg.", 150, "CUS_inse: Código do usuário que inseriu o registro."},
            {"NUS_inse", "Nome usuário inseriu reg.", 150, "NUS_inse: Nome do usuário que inseriu o registro."},
            {"Dt_inse", "Data da inserção reg.", 150, "Dt_inse: Data de inserção do registro."},
            {"CUS_mod", "Cód. usuário mod. reg.", 150, "CUS_mod: Código do usuário que modificou o registro."},
            {"NUS_mod", "Nome usuário mod. reg.", 150, "NUS_mod: Nome do usuário que modificou o registro."},
            {"DT_mod", "Data última mod.", 150, "DT_mod: Data em que o ultimo usuário alterou o registro."},
            {"profi", "Prof. realiz. atendimento", 250, "Profi: Lista dos profissionais que realizou o atendimento."},
            {"proce", "Proc. realizados", 250, "Proce: Lista dos procedimentos realizados no atendimento"},
            {"Dt_nasc", "", 0, "DT_Nasc: Data de nascimento do animal."},
        };
        QList<Column> out;
        for (const Raw &r : raw)
            out << Column{QString::fromLatin1(r.name), QString::fromUtf8(r.caption), r.width, QString::fromUtf8(r.dictionary)};
        return out;
    }();
    return all;
}

QStringList ExportaTabelasScreen::dictionary()
{
    const QList<Column> &c = columns();
    QStringList out{QStringLiteral("----------------- Dicionário de dados---------------")};
    for (int i = 0; i < c.size(); ++i) {
        if (i == 17)
            out << QStringLiteral("--Dados do animal--");
        else if (i == 41)
            out << QStringLiteral("--Dados do atendimento---");
        out << c.at(i).dictionary;
    }
    return out;
}

QList<DbaseField> ExportaTabelasScreen::fields()
{
    QList<DbaseField> out;
    for (const Column &c : columns())
        // The birth date is a day; the other date-times are moments.
        out << DbaseField::forColumn(c.name, QStringLiteral("Exportacao2"), c.name,
                                     c.name == QLatin1String("Dt_nasc") ? DbaseField::DateTimeIs::Day
                                                                        : DbaseField::DateTimeIs::Moment);
    return out;
}

ExportaTabelasScreen::Search ExportaTabelasScreen::search(bool byAttendance, const QDate &from, const QDate &to,
                                                          const QString &status)
{
    const QString column = byAttendance ? QStringLiteral("td_atend") : QStringLiteral("Dt_inse");
    Search s;
    // Whole days: from the first midnight up to, not including, the midnight
    // after the last day, so no second of the last day is lost.
    s.where = QStringLiteral("%1 >= :dataInicia and %1 < :dataFim").arg(column);
    s.params.insert(QStringLiteral("dataInicia"), from);
    s.params.insert(QStringLiteral("dataFim"), Formats::dayAfter(to));
    if (!status.trimmed().isEmpty()) {
        s.where += QStringLiteral(" and st_atend = :status");
        s.params.insert(QStringLiteral("status"), status.trimmed());
    }
    return s;
}

ExportaTabelasScreen::ExportaTabelasScreen(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmExportaTabelas"));
    setWindowTitle(QStringLiteral("Exportação de tabelas"));
    auto *root = new QVBoxLayout(this);
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("pgcPrincipal"));
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    auto *g = new QGridLayout;
    auto caption = [&](const QString &text, QWidget *w, int row, int col) {
        auto *l = new QLabel(text, page);
        l->setBuddy(w);
        g->addWidget(l, row, col);
        g->addWidget(w, row, col + 1);
    };
    m_table = new QComboBox(page);
    m_table->setObjectName(QStringLiteral("cbxTabela"));
    m_table->addItem(kTableName);
    m_table->setCurrentIndex(-1);
    caption(QStringLiteral("Selecionar tabela:"), m_table, 0, 0);
    // How old the copy searched is: it is made from the register, not read live.
    m_copy = new QLabel(page);
    m_copy->setObjectName(QStringLiteral("lblDadosDe"));
    g->addWidget(m_copy, 0, 2, 1, 2);
    m_from = new DateEdit(QDate(2000, 1, 1), page);
    m_from->setObjectName(QStringLiteral("dtpInicial"));
    m_to = new DateEdit(QDate::currentDate(), page);
    m_to->setObjectName(QStringLiteral("dtpFinal"));
    for (DateEdit *d : {m_from, m_to}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    }
    caption(QStringLiteral("Dt inicial:"), m_from, 1, 0);
    caption(QStringLiteral("Dt final:"), m_to, 1, 2);
    m_byAttendance = new QRadioButton(QStringLiteral("Dt. atendimento."), page);
    m_byAttendance->setObjectName(QStringLiteral("rbtAtendimento"));
    m_byCreation = new QRadioButton(QStringLiteral("Dt. criação do reg."), page);
    m_byCreation->setObjectName(QStringLiteral("rbtCriacao"));
    m_byCreation->setChecked(true);
    g->addWidget(m_byAttendance, 2, 1);
    g->addWidget(m_byCreation, 2, 3);
    m_status = new QComboBox(page);
    m_status->setObjectName(QStringLiteral("cbxStatus"));
    m_status->setEditable(true);
    m_status->setInsertPolicy(QComboBox::NoInsert);
    caption(QStringLiteral("Status do atendimento:"), m_status, 3, 0);
    auto *buttons = new ButtonRow(page);
    buttons->add(QStringLiteral("&Pesquisar"), QStringLiteral("btnPesquisar"), this, &ExportaTabelasScreen::pesquisar);
    m_export = buttons->add(QStringLiteral("&Exportar"), QStringLiteral("btnExportar"), this, &ExportaTabelasScreen::exportar);
    m_export->setEnabled(false);
    buttons->stretch();
    g->addLayout(buttons, 4, 1, 1, 3);
    g->setColumnStretch(4, 1);
    v->addLayout(g);

    m_group = new QGroupBox(QStringLiteral("Dados de tabela"), page);
    m_group->setObjectName(QStringLiteral("grbDados"));
    auto *gv = new QVBoxLayout(m_group);
    m_model = new PagedQueryModel(this);
    m_model->setConnection(&mainConnection());
    m_grid = makeReadOnlyGrid(m_group, m_model, QStringLiteral("dbgDados"), QStringLiteral("Dados de tabela"));
    m_grid->horizontalHeader()->setStretchLastSection(false);
    gv->addWidget(m_grid);
    v->addWidget(m_group, 1);
    tabs->addTab(page, QStringLiteral("Principal"));
    root->addWidget(tabs, 1);

    root->addWidget(makeStatusPanels(this, {{0, 400}, {1, 50}}, m_panels, true));
    resize(900, 600);
}

ExportaTabelasScreen::~ExportaTabelasScreen() = default;

void ExportaTabelasScreen::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_filled || event->spontaneous())
        return;
    m_filled = true;
    m_to->setDate(QDate::currentDate());
    try {
        m_copy->setText(ExportCopy::label(ExportCopy::state(mainConnection())));
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
    m_status->clear();
    m_status->addItem(QString());
    try {
        QSqlQuery q = Sql::exec(mainConnection(), QStringLiteral("select Nome, Descricao from atendimento_status order by Id_Atendimento_Status"));
        while (q.next())
            m_status->addItem(Sql::text(q.value(0)));
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
}

bool ExportaTabelasScreen::bringCopyUpToDate()
{
    Connection &c = mainConnection();
    try {
        const ExportCopy::State st = ExportCopy::state(c);
        bool rebuild = false;
        if (ExportCopy::policy(c) == ExportCopy::Policy::RebuildWhenChanged) {
            rebuild = st.attendancesChanged;
        } else if (!m_askedForCopy && ExportCopy::olderThanADay(st, serverNow(c))) {
            // Asked once per window: a clerk who said no searches the copy as it is.
            m_askedForCopy = true;
            rebuild = Services::messages().confirm(
                QStringLiteral("Os dados desta tabela são de %1.\rDeseja atualizá-los agora? A atualização pode demorar alguns minutos.")
                    .arg(st.madeAt.isValid() ? st.madeAt.toString(QStringLiteral("dd/MM/yyyy HH:mm")) : QStringLiteral("data desconhecida")),
                this);
        }
        if (rebuild) {
            LongWork progress(windowTitle(), QStringLiteral("Atualizando os dados da tabela com os atendimentos..."), this, 0);
            progress.step(0);
            Schema::refreshExportTable(c);
            progress.finish();
        }
        m_copy->setText(ExportCopy::label(rebuild ? ExportCopy::state(c) : st));
    } catch (const DbError &e) {
        Services::messages().error(QStringLiteral("Erro ao atualizar os dados da tabela.\r\r") + e.text(), this);
        return false;
    }
    return true;
}

void ExportaTabelasScreen::pesquisar()
{
    if (!DateEdit::checkAll(this))
        return;
    if (m_table->currentIndex() < 0) {
        Services::messages().information(QStringLiteral("Falta selecionar uma tabela para pesquisa."), this);
        return;
    }
    if (m_to->date() < m_from->date()) {
        Services::messages().information(QStringLiteral("A data inicial não pode ser maior que a data final."), this);
        return;
    }
    if (!bringCopyUpToDate())
        return;
    showInPanel(m_panels[0], kWaiting, QApplication::palette().color(QPalette::Highlight));
    m_group->setTitle(QStringLiteral("Tabela: ") + m_table->currentText());
    m_panels[0]->repaint();
    const Search s = search(m_byAttendance->isChecked(), m_from->date(), m_to->date(), m_status->currentText());
    int count = 0;
    try {
        QList<PagedQueryModel::Column> cols;
        for (const Column &c : columns())
            if (!c.caption.isEmpty())
                cols << PagedQueryModel::Column{c.caption, c.name, false, c.width, {}};
        m_model->setSource(QStringLiteral("Exportacao2"), cols, kKey);
        m_model->setFilter(s.where, s.params);
        m_model->reload();
        count = m_model->rowCount();
    } catch (const DbError &) {
        Services::messages().error(QStringLiteral("Erro ao pesquisar."), this);
        return;
    }
    m_current = s;
    for (int i = 0; i < m_model->columnCount(); ++i)
        m_grid->setColumnWidth(i, m_model->columns().at(i).width);
    showInPanel(m_panels[0], QStringLiteral("Pesquisa realizada com sucesso. %1 registros").arg(count), Qt::green);
    m_export->setEnabled(true);
    if (count > kMaxRows) {
        Services::messages().warning(
            QStringLiteral("ATENÇÃO: A quantidade máxima para exportação é de 120 mil registros e sua pesquisa retornou %1 "
                           "registros, \r é extremamente recomendável refazer a pesquisa para exportação.")
                .arg(count),
            this);
        m_export->setEnabled(false);
    }
}

void ExportaTabelasScreen::exportar()
{
    if (!m_current)
        return;
    const QString chosen = Services::fileDialogs().saveFileName(windowTitle(), QString(), QStringLiteral("dbf (*.dbf)"), this);
    if (chosen.trimmed().isEmpty() || !DbaseExport::mayReplace(chosen, true, this))
        return;
    showInPanel(m_panels[1], kWaiting, QApplication::palette().color(QPalette::Highlight));
    m_panels[1]->repaint();

    // The search as it ran, whatever the criteria hold now, in the grid's order.
    QStringList names;
    for (const Column &c : columns())
        names << c.name;
    DbaseExport::Job job;
    job.fields = fields();
    job.select = QStringLiteral("select %1 from Exportacao2 where %2 order by %3")
                     .arg(names.join(QStringLiteral(", ")), m_current->where, m_model->orderClause());
    job.count = QStringLiteral("select count(*) from Exportacao2 where ") + m_current->where;
    job.params = m_current->params;
    job.tablePath = DbaseExport::tablePath(chosen);
    job.title = windowTitle();
    job.parent = this;
    // The grid must not read pages while the rows stream on the same connection.
    m_grid->setUpdatesEnabled(false);
    const DbaseExport::Outcome out = DbaseExport::run(mainConnection(), job);
    m_grid->setUpdatesEnabled(true);
    if (out.kind == DbaseExport::Outcome::Kind::Cancelled) {
        showInPanel(m_panels[1], QString(), {});
        return;
    }
    if (!out.done()) {
        Services::messages().error(QStringLiteral("Erro ao executar o BatchMove4.\r\r") + out.reason, this);
        return;
    }
    showInPanel(m_panels[1], QStringLiteral("Exportação realizada com sucesso."), Qt::green);
    m_panels[1]->repaint();
    const QString dictionaryPath = DbaseExport::dictionaryPath(chosen);
    if (!DbaseExport::writeText(dictionaryPath, dictionary())) {
        Services::messages().error(QStringLiteral("Erro ao exportar dados, entre em contato com o a QUORIS."), this);
        return;
    }
    Services::messages().information(
        DbaseExport::closingMessage(
            out, QStringLiteral("Exportação concluída.\rUm arquivo com o modelo de dados desta exportação será criado em: ") + dictionaryPath),
        this);
}
