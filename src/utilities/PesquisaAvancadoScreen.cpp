#include "utilities/PesquisaAvancadoScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "ui/Buttons.h"
#include "ui/IdNameCombo.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/LongWork.h"
#include "ui/Services.h"
#include "ui/StatusPanels.h"
#include "ui/register/FieldBinder.h"
#include "ui/register/PagedQueryModel.h"
#include "utilities/DbaseExport.h"

#include <QApplication>
#include <QCheckBox>
#include <QRegularExpression>
#include "ui/DateEdit.h"
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

PesquisaAvancadoScreen::RegisterOpener &registerOpener()
{
    static PesquisaAvancadoScreen::RegisterOpener opener;
    return opener;
}

const QString kSearching = QStringLiteral("A pesquisa pode levar alguns minutos, aguarde...");
const QString kDone = QStringLiteral("Operação concluída.");
const QString kSearchFailed = QStringLiteral("Erro ao tentar pesquisar, entre em contato com o administrador do sistema.");
const QString kSortFailed = QStringLiteral("Erro ao ordenar registros!");
const QString kNotFound = QStringLiteral("Registro não encontrado!");
const QString kNothingToExport = QStringLiteral("Não há registro para ser exportado.\rDeseja continuar a operação? ");
const QString kDictionaryFailed = QStringLiteral("Erro ao exportar dados, entre em contato com o a QUORIS.");

QLineEdit *line(const char *name, QWidget *parent, bool digitsOnly = false)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    if (digitsOnly) // ids and house numbers: a letter could never match
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), e));
    return e;
}

QComboBox *fixedChoice(const char *name, const QStringList &items, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->addItem(QString());
    c->addItems(items);
    return c;
}

IdNameCombo *idChoice(const char *name, QWidget *parent)
{
    auto *c = new IdNameCombo(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(14);
    return c;
}

// A caption and its editor, side by side in a grid.
void put(QGridLayout *g, int row, int col, const QString &caption, QWidget *editor, int span = 1)
{
    auto *l = new QLabel(caption, editor->parentWidget());
    l->setBuddy(editor);
    editor->setAccessibleName(FieldBinder::accessibleCaption(caption));
    g->addWidget(l, row, col * 2);
    g->addWidget(editor, row, col * 2 + 1, 1, span);
    FieldBinder::installEnterAsTab(editor);
}

QString comboText(const QComboBox *c) { return c->currentText().trimmed(); }

} // namespace

void PesquisaAvancadoScreen::setRegisterOpener(RegisterOpener opener)
{
    registerOpener() = std::move(opener);
}

PesquisaAvancadoScreen::PesquisaAvancadoScreen(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmPesquisaAvancado"));
    setWindowTitle(QStringLiteral("046 - Pesquisa Avançada."));
    auto *root = new QVBoxLayout(this);

    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("pgcPrincipal"));
    tabs->addTab(buildCriteria(), QStringLiteral("Principal"));
    root->addWidget(tabs);

    m_model = new PagedQueryModel(this);
    m_model->setConnection(&mainConnection());
    m_model->setSource(AdvancedSearch::none().source, AdvancedSearch::gridColumns(), AdvancedSearch::keyExpression());
    m_grid = makeReadOnlyGrid(this, m_model, QStringLiteral("dbgPesquisa"), QStringLiteral("Resultado da pesquisa"));
    m_grid->horizontalHeader()->setStretchLastSection(false);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &PesquisaAvancadoScreen::sortByColumn);
    root->addWidget(m_grid, 1);

    auto *buttons = new ButtonRow(this);
    buttons->add(QStringLiteral("&Pesquisar"), QStringLiteral("btnPesquisar"), this, &PesquisaAvancadoScreen::pesquisar)->setDefault(true);
    buttons->add(QStringLiteral("&Exportar..."), QStringLiteral("btnExportar"), this, &PesquisaAvancadoScreen::exportar);
    buttons->add(QStringLiteral("Ir para cadastro..."), QStringLiteral("btnIrCadastro"), this, &PesquisaAvancadoScreen::irParaCadastro);
    buttons->stretch();
    buttons->add(QStringLiteral("&Sair"), QStringLiteral("btnSair"), this, &QWidget::close);
    root->addLayout(buttons);

    root->addWidget(makeStatusPanels(this, {{3}, {1}, {1}}, m_panels, true));
    statusChanged();
    resize(1000, 700);
}

PesquisaAvancadoScreen::~PesquisaAvancadoScreen() = default;

QWidget *PesquisaAvancadoScreen::buildCriteria()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    auto *top = new QHBoxLayout;

    auto *owner = new QGroupBox(QStringLiteral(" Dados do proprietário: "), page);
    auto *og = new QGridLayout(owner);
    m_ownerId = line("edtCodigoProprietario", owner, true);
    m_ownerName = line("edtNomeProprietario", owner);
    m_cpf = line("edtCpfCnpj", owner);
    m_identity = line("edtIdentidade", owner);
    m_personType = fixedChoice("cmbTipoPessoa", {QStringLiteral("FÍSICA"), QStringLiteral("JURÍDICA")}, owner);
    put(og, 0, 0, QStringLiteral("Código:"), m_ownerId);
    put(og, 1, 0, QStringLiteral("Nome:"), m_ownerName);
    put(og, 2, 0, QStringLiteral("CPF / CNPJ:"), m_cpf);
    put(og, 3, 0, QStringLiteral("Cart. Identidade:"), m_identity);
    put(og, 4, 0, QStringLiteral("Tipo pessoa:"), m_personType);
    top->addWidget(owner);

    auto *address = new QGroupBox(QStringLiteral("Endereço do animal: "), page);
    auto *ag = new QGridLayout(address);
    m_street = line("edtLogradouro", address);
    m_number = line("edtNumero", address, true);
    m_complement = line("edtComplemento", address);
    m_district = idChoice("cmbDistrito", address);
    m_area = idChoice("cmbArea", address);
    m_neighbourhood = idChoice("cmbBairro", address);
    put(ag, 0, 0, QStringLiteral("Logradouro:"), m_street);
    put(ag, 1, 0, QStringLiteral("Número:"), m_number);
    put(ag, 2, 0, QStringLiteral("Complemento:"), m_complement);
    put(ag, 3, 0, QStringLiteral("Distrito:"), m_district);
    put(ag, 4, 0, QStringLiteral("Desc.:área:"), m_area);
    put(ag, 5, 0, QStringLiteral("Bairro:"), m_neighbourhood);
    top->addWidget(address);

    auto *animal = new QGroupBox(QStringLiteral(" Dados do animal: "), page);
    auto *ng = new QGridLayout(animal);
    m_animalId = line("edtCodigoAnimal", animal, true);
    m_animalName = line("edtNomeAnimal", animal);
    m_species = idChoice("cmbEspecie", animal);
    m_breed = idChoice("cmbRaca", animal);
    m_group = idChoice("cmbGrupo", animal);
    m_size = idChoice("cmbPorte", animal);
    m_coat = idChoice("cmbPelo", animal);
    m_colour = line("edtCor", animal);
    m_sex = fixedChoice("cmbSexo", {QStringLiteral("M"), QStringLiteral("F")}, animal);
    m_sterilized = fixedChoice("cmbEsterilizado", {QStringLiteral("SIM"), QStringLiteral("NAO")}, animal);
    m_microchipped = fixedChoice("cmbMicrochipado", {QStringLiteral("SIM"), QStringLiteral("NAO")}, animal);
    m_microchip = line("edtMicrochip", animal);
    m_pedigree = line("edtPedigree", animal);
    m_marks = line("edtSinais", animal);
    put(ng, 0, 0, QStringLiteral("Código:"), m_animalId);
    put(ng, 1, 0, QStringLiteral("Nome:"), m_animalName);
    put(ng, 2, 0, QStringLiteral("Especie:"), m_species);
    put(ng, 3, 0, QStringLiteral("Raça:"), m_breed);
    put(ng, 4, 0, QStringLiteral("Grupo:"), m_group);
    put(ng, 5, 0, QStringLiteral("Porte:"), m_size);
    put(ng, 0, 1, QStringLiteral("Pelo:"), m_coat);
    put(ng, 1, 1, QStringLiteral("Cor:"), m_colour);
    put(ng, 2, 1, QStringLiteral("Sexo:"), m_sex);
    put(ng, 3, 1, QStringLiteral("Esterilizado:"), m_sterilized);
    put(ng, 4, 1, QStringLiteral("Microchipado:"), m_microchipped);
    put(ng, 5, 1, QStringLiteral("Nº microchip:"), m_microchip);
    put(ng, 6, 0, QStringLiteral("Pedigree:"), m_pedigree);
    put(ng, 6, 1, QStringLiteral("Sinais:"), m_marks);
    top->addWidget(animal, 1);
    v->addLayout(top);

    auto *bottom = new QHBoxLayout;
    auto *born = new QLabel(QStringLiteral("Nascido entre :"), page);
    bottom->addWidget(born);
    auto date = [&](const char *name, const QDate &d) {
        auto *e = new DateEdit(d, page);
        e->setObjectName(QString::fromLatin1(name));
        e->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        e->setCalendarPopup(true);
        FieldBinder::installEnterAsTab(e);
        return e;
    };
    m_bornFrom = date("dtpDe", QDate(1990, 1, 1));
    m_bornTo = date("dtpAte", QDate(2030, 12, 31));
    auto *de = new QLabel(QStringLiteral("De"), page);
    de->setBuddy(m_bornFrom);
    m_bornFrom->setAccessibleName(QStringLiteral("Nascido entre: De"));
    auto *a = new QLabel(QStringLiteral("a"), page);
    a->setBuddy(m_bornTo);
    m_bornTo->setAccessibleName(QStringLiteral("Nascido entre: a"));
    born->setBuddy(m_bornFrom);
    bottom->addWidget(de);
    bottom->addWidget(m_bornFrom);
    bottom->addWidget(a);
    bottom->addWidget(m_bornTo);
    m_ignoreBirth = new QCheckBox(QStringLiteral("Ignorar DT."), page);
    m_ignoreBirth->setObjectName(QStringLiteral("chkIgnorarDt"));
    m_ignoreBirth->setChecked(true);
    auto pickers = [this](bool ignore) {
        m_bornFrom->setEnabled(!ignore);
        m_bornTo->setEnabled(!ignore);
    };
    connect(m_ignoreBirth, &QCheckBox::toggled, this, pickers);
    pickers(true);
    bottom->addWidget(m_ignoreBirth);
    bottom->addSpacing(30);
    m_active = new QRadioButton(QStringLiteral("Regtros ativos."), page);
    m_active->setObjectName(QStringLiteral("rbAtivos"));
    m_inactive = new QRadioButton(QStringLiteral("Regitros inativos."), page);
    m_inactive->setObjectName(QStringLiteral("rbInativos"));
    m_active->setChecked(true);
    connect(m_active, &QRadioButton::toggled, this, [this] { statusChanged(); });
    bottom->addWidget(m_active);
    bottom->addWidget(m_inactive);
    bottom->addStretch(1);
    v->addLayout(bottom);
    return page;
}

void PesquisaAvancadoScreen::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_listsFilled) {
        m_listsFilled = true;
        fillLists();
    }
}

void PesquisaAvancadoScreen::fillLists()
{
    Connection &c = mainConnection();
    IdNameCombo::Options opt;
    opt.emptyFirst = true;
    try {
        IdNameCombo::Options district = opt;
        // The whole id (ids of two digits included) and the name without the
        // "DISTRITO n - " it begins with, which would only repeat the id.
        district.text = [](const QVariant &id, const QString &name) {
            static const QRegularExpression numbered(QStringLiteral("^\\s*DISTRITO\\s+\\d+\\s*-\\s*"),
                                                     QRegularExpression::CaseInsensitiveOption);
            QString shown = name.trimmed();
            shown.remove(numbered);
            return Sql::text(id) + QStringLiteral(" - ") + (shown.isEmpty() ? name.trimmed() : shown);
        };
        m_district->fill(c, QStringLiteral("select Id_Distrito, Nome from distrito order by Id_Distrito"), {}, district);
        m_area->fill(c, QStringLiteral("select COD_AREA_ABRN, DES_AREA_ABRN from %1 order by COD_AREA_ABRN")
                            .arg(c.dialect().addressTable(QStringLiteral("AreaAbrang"))), {}, opt);
        m_neighbourhood->fill(c, QStringLiteral("select NUM_BAIR, NOM_BAIR from %1 order by NUM_BAIR")
                                     .arg(c.dialect().addressTable(QStringLiteral("Bairro"))), {}, opt);
        m_group->fill(c, QStringLiteral("select Id_Grupo_Animal, Nome from grupo_animal order by Id_Grupo_Animal"), {}, opt);
        m_species->fill(c, QStringLiteral("select Id_Especie, Nome from especie order by Id_Especie"), {}, opt);
        m_breed->fill(c, QStringLiteral("select Id_Raca, Nome from raca order by Id_Raca"), {}, opt);
        m_size->fill(c, QStringLiteral("select Id_porte, Descricao from porte order by Id_porte"), {}, opt);
        m_coat->fill(c, QStringLiteral("select Id_pelo, Descricao from pelo order by Id_pelo"), {}, opt);
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
}

AdvancedSearch::Criteria PesquisaAvancadoScreen::criteria() const
{
    AdvancedSearch::Criteria c;
    c.ownerId = m_ownerId->text();
    c.ownerName = m_ownerName->text();
    c.cpfCnpj = m_cpf->text();
    c.identity = m_identity->text();
    c.personType = comboText(m_personType);
    c.street = m_street->text();
    c.houseNumber = m_number->text();
    c.complement = m_complement->text();
    c.district = m_district->currentId();
    c.area = m_area->currentId();
    c.neighbourhood = m_neighbourhood->currentId();
    c.animalId = m_animalId->text();
    c.animalName = m_animalName->text();
    c.species = m_species->currentId();
    c.breed = m_breed->currentId();
    c.group = m_group->currentId();
    c.size = m_size->currentId();
    c.coat = m_coat->currentId();
    c.colour = m_colour->text();
    c.sex = comboText(m_sex);
    c.sterilized = comboText(m_sterilized);
    c.microchipped = comboText(m_microchipped);
    c.microchip = m_microchip->text();
    c.pedigree = m_pedigree->text();
    c.marks = m_marks->text();
    c.useBirth = !m_ignoreBirth->isChecked();
    c.bornFrom = m_bornFrom->date();
    c.bornTo = m_bornTo->date();
    c.activeOwners = m_active->isChecked();
    return c;
}

void PesquisaAvancadoScreen::pesquisar()
{
    if (!DateEdit::checkAll(this))
        return;
    showInPanel(m_panels[0], kSearching, Qt::yellow);
    m_panels[0]->repaint();
    try {
        // A search over the whole city takes seconds: a second click on
        // "Pesquisar" meanwhile must not search again.
        LongWork work(windowTitle(), kSearching, this);
        const AdvancedSearch::Query q = AdvancedSearch::build(mainConnection().dialect(), criteria());
        m_current.reset();
        m_model->setSource(q.source, AdvancedSearch::gridColumns(), AdvancedSearch::keyExpression());
        m_model->setCountSource(q.countSource);
        m_model->setDefaultOrder(AdvancedSearch::defaultOrder());
        m_model->setFilter(q.where, q.params);
        m_model->reload();
        work.finish();
        m_current = q;
        showInPanel(m_panels[2], QStringLiteral("Total de registro: %1").arg(m_model->rowCount()));
        if (m_model->rowCount() == 0)
            Services::messages().warning(kNotFound, this);
        else
            m_grid->selectRow(0);
    } catch (const DbError &) {
        showInPanel(m_panels[0], QStringLiteral("Erro na pesquisa."), Qt::red);
        Services::messages().error(kSearchFailed, this);
    }
    showInPanel(m_panels[0], kDone);
}

void PesquisaAvancadoScreen::statusChanged()
{
    QPalette p = m_grid->palette();
    p.setColor(QPalette::Base, m_active->isChecked() ? QColor(Qt::white) : QColor(0xC0, 0xC0, 0xC0));
    m_grid->setPalette(p);
    // The result belonged to the other status: the next search uses this one.
    const AdvancedSearch::Query q = AdvancedSearch::none();
    m_model->setSource(q.source, AdvancedSearch::gridColumns(), AdvancedSearch::keyExpression());
    m_model->setCountSource(q.countSource);
    m_model->setFilter(q.where);
    m_model->clear();
    m_current.reset();
    for (int i = 0; i < 3; ++i)
        showInPanel(m_panels[i], QString());
}

void PesquisaAvancadoScreen::sortByColumn(int column)
{
    if (!m_current)
        return;
    bool failed = false;
    auto conn = connect(m_model, &PagedQueryModel::readFailed, this, [&failed] { failed = true; });
    try {
        m_model->sortBy(column);
        m_model->reload();
        m_model->rawValue(0, 0); // reads the first page in the new order
    } catch (const DbError &) {
        failed = true;
    }
    disconnect(conn);
    if (!failed)
        return;
    try {
        m_model->sortBy(-1);
        m_model->reload();
    } catch (const DbError &) {
    }
    Services::messages().error(kSortFailed, this);
}

void PesquisaAvancadoScreen::exportar()
{
    const QModelIndex cur = m_grid->currentIndex();
    const int row = cur.isValid() ? cur.row() : (m_model->rowCount() > 0 ? 0 : -1);
    const QVariant owner = row >= 0 ? m_model->rawValue(row, AdvancedSearch::ownerColumn()) : QVariant();
    if ((owner.isNull() || !owner.isValid()) && !Services::messages().confirm(kNothingToExport, this))
        return;
    const QString chosen = Services::fileDialogs().saveFileName(QStringLiteral("Exportar"), QString(),
                                                               QStringLiteral("Texto (*.txt);;DBF (*.dbf)"), this);
    if (chosen.isEmpty() || !DbaseExport::mayReplace(chosen, true, this))
        return;

    // Before any search (or after the status changed) the table is empty.
    const AdvancedSearch::Query q = m_current ? *m_current : AdvancedSearch::none();
    const QList<AdvancedSearch::ExportColumn> columns = AdvancedSearch::exportColumns();
    QStringList expressions;
    DbaseExport::Job job;
    for (const AdvancedSearch::ExportColumn &c : columns) {
        expressions << c.expression;
        job.fields << c.field;
    }
    // The grid's rows, in the grid's order.
    job.select = QStringLiteral("select %1 from %2 where %3 order by %4")
                     .arg(expressions.join(QStringLiteral(", ")), q.source, q.where,
                          m_current ? m_model->orderClause() : AdvancedSearch::keyExpression());
    job.count = QStringLiteral("select count(*) from %1 where %2").arg(q.countSource, q.where);
    job.params = q.params;
    job.tablePath = DbaseExport::tablePath(chosen);
    job.title = windowTitle();
    job.parent = this;

    // The grid must not read pages while the rows stream on the same connection.
    m_grid->setUpdatesEnabled(false);
    const DbaseExport::Outcome out = DbaseExport::run(mainConnection(), job);
    m_grid->setUpdatesEnabled(true);
    if (out.kind == DbaseExport::Outcome::Kind::Cancelled)
        return;
    if (!out.done()) {
        const QFileInfo fi(job.tablePath);
        Services::messages().error(QStringLiteral("Erro ao exportar dados para ") + fi.absolutePath() + QLatin1Char('/')
                                       + fi.completeBaseName() + QStringLiteral(".\rEntre em contato com o administrador do sistema.")
                                       + QStringLiteral("\r\r") + out.reason,
                                   this);
        return;
    }
    if (!DbaseExport::writeText(DbaseExport::dictionaryPath(chosen), AdvancedSearch::dictionary())) {
        Services::messages().error(kDictionaryFailed, this);
        return;
    }
    Services::messages().information(
        DbaseExport::closingMessage(out, QStringLiteral("Exportação concluída.\rUm arquivo com o modelo de dados desta exportação será criado em: ")
                                             + DbaseExport::dictionaryPath(chosen)),
        this);
}

void PesquisaAvancadoScreen::irParaCadastro()
{
    int owner = 0;
    int animal = 0;
    if (m_model->rowCount() > 0) {
        const QModelIndex cur = m_grid->currentIndex();
        const int row = cur.isValid() ? cur.row() : 0;
        owner = m_model->rawValue(row, AdvancedSearch::ownerColumn()).toInt();
        animal = m_model->key(row).toInt();
    }
    if (registerOpener())
        registerOpener()(owner, animal);
}
