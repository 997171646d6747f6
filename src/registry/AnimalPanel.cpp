#include "registry/AnimalPanel.h"
#include "db/RowChange.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/Reconnect.h"
#include "db/Sql.h"
#include "registry/AddressGroup.h"
#include "registry/AgeCalculator.h"
#include "ui/DateLineEdit.h"
#include "ui/FormHelpers.h"
#include "registry/PropAnimalScreen.h"
#include "ui/MarcacaoAtendimento.h"
#include "ui/Toolbar.h"
#include "ui/register/FieldSet.h"
#include "ui/Services.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using FormHelpers::showError;

namespace {

const QString kDone = QStringLiteral("Operação realizada com sucesso!");
const QString kNoAnimal = QStringLiteral("Falta localizar o animal!");
const QString kSaveFailed = QStringLiteral("Erro ao tentar gravar registro, saia e faça novamente o login.");
const QString kScrollFailed = QStringLiteral("Verifique se todos os dados do animal está preenchido.");
const QString kDateMask = QStringLiteral("99/99/99;_");

std::function<void(QWidget *)> &appointmentOpener()
{
    static std::function<void(QWidget *)> f;
    return f;
}

std::function<void(QWidget *, int, int)> &occurrenceOpener()
{
    static std::function<void(QWidget *, int, int)> f;
    return f;
}

const RecordActionNames kRecordActions = {"actAnimalNovo",   "actAnimalAlterar", "actAnimalExcluir", "actAnimalAtualizar",
                                          "actAnimalGravar", "actAnimalCancelar", "DataSetFirst1",   "DataSetPrior1",
                                          "DataSetNext1",    "DataSetLast1"};

// The columns of an animal the tab shows and writes.
const QList<MemberColumn<Animal>> kColumns = {
    {QStringLiteral("Id_Animal"), &Animal::Id_Animal},         {QStringLiteral("Nome"), &Animal::Nome},
    {QStringLiteral("Id_Grupo_Animal"), &Animal::Id_Grupo_Animal}, {QStringLiteral("Id_Especie"), &Animal::Id_Especie},
    {QStringLiteral("Id_Raca"), &Animal::Id_Raca},             {QStringLiteral("Id_Porte"), &Animal::Id_Porte},
    {QStringLiteral("Id_Pelo"), &Animal::Id_Pelo},             {QStringLiteral("Cor"), &Animal::Cor},
    {QStringLiteral("Num_Pedigree"), &Animal::Num_Pedigree},   {QStringLiteral("Sinais"), &Animal::Sinais},
    {QStringLiteral("OBS"), &Animal::OBS},                     {QStringLiteral("Num_Microchip"), &Animal::Num_Microchip},
    {QStringLiteral("Sexo"), &Animal::Sexo},                   {QStringLiteral("Esterilizado"), &Animal::Esterilizado},
    {QStringLiteral("Data_Nascimento"), &Animal::Data_Nascimento},
};

// A drop-down of another table, "nothing chosen" first, greyed while browsing.
FieldDef list(const QString &caption, const QString &column, const char *name, LookupDef lookup)
{
    return lookupField(caption, column, lookup).name(QString::fromLatin1(name)).withBlank().greyedWhenLocked();
}

// The default of a new animal: the entry of that name, whatever its case;
// nothing when the list has no such entry.
void selectDefault(QComboBox *c, const QString &name)
{
    for (int i = 1; i < c->count(); ++i)
        if (c->itemText(i).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
            c->setCurrentIndex(i);
            return;
        }
}

} // namespace

void AnimalPanel::setNewAppointmentOpener(std::function<void(QWidget *)> opener)
{
    appointmentOpener() = std::move(opener);
}

void AnimalPanel::setOccurrenceOpener(std::function<void(QWidget *, int, int)> opener)
{
    occurrenceOpener() = std::move(opener);
}

AnimalPanel::AnimalPanel(PropAnimalScreen *screen, QWidget *parent)
    : QWidget(parent), m_screen(screen), m_fields(&mainConnection(), QStringLiteral("animal"))
{
    setObjectName(QStringLiteral("pnlAnimal"));
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tlbAnimal"));
    // The same keys as the owner's toolbar: each acts on its own tab only.
    Toolbar::addActions(this, bar, Toolbar::recordEntries(kRecordActions, Toolbar::recordCommandsOf(this, [this] {
                                                              return std::pair{m_index, int(m_animals.size())};
                                                          })),
                        m_actions);
    // A second row says whose animals these are and holds what else can be
    // done with the one shown: one row would fold them out of sight at the
    // screen's width.
    auto *more = new QToolBar(this);
    more->setObjectName(QStringLiteral("tlbAnimalAcoes"));
    m_ownerName = new QLabel(more);
    m_ownerName->setObjectName(QStringLiteral("lblProprietario"));
    QFont bold = m_ownerName->font();
    bold.setBold(true);
    m_ownerName->setFont(bold);
    m_ownerName->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    more->addWidget(m_ownerName);
    Toolbar::addActions(this, more,
                        {{"actInformacao", QStringLiteral("&Informação..."), {}, [this] { informacao(); }},
                         {"actMarcaAtendimento", QStringLiteral("&Marca atendimento..."), {}, [this] { marcaAtendimento(); }},
                         {"actOcorrencia", QStringLiteral("Ocorrencias..."), {}, [this] { ocorrencia(); }}},
                        m_actions);
    more->setToolButtonStyle(Qt::ToolButtonTextOnly);

    auto *area = new QWidget(this);
    buildRecord(area);

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(bar);
    lay->addWidget(more);
    lay->addWidget(area, 1);

    try {
        loadLists();
        m_address->loadLists();
    } catch (const DbError &e) {
        showError(e, this);
    }
    clearFields();
    setMode(Mode::Browsing);
}

AnimalPanel::~AnimalPanel() = default;

void AnimalPanel::buildRecord(QWidget *area)
{
    auto *group = new QGroupBox(QStringLiteral(" Animal "), area);
    group->setObjectName(QStringLiteral("grpAnimal"));
    const auto add = [&](const FieldDef &def) { return m_fields.add(def, group)->editor(); };
    FormHelpers::readOnlyGrey(qobject_cast<QLineEdit *>(add(keyField(QStringLiteral("Id_Animal")).name(QStringLiteral("dbeId_Animal")))));
    m_nome = qobject_cast<QLineEdit *>(add(text(QStringLiteral("Nome:"), QStringLiteral("Nome")).upper().name(QStringLiteral("dbeNome_Animal"))));
    add(list(QStringLiteral("Grupo:"), QStringLiteral("Id_Grupo_Animal"), "dblGrupo",
             {QStringLiteral("grupo_animal"), QStringLiteral("Id_Grupo_Animal"), QStringLiteral("Nome")}));
    m_especie = qobject_cast<QComboBox *>(add(list(QStringLiteral("Especie:"), QStringLiteral("Id_Especie"), "dblEspecie",
                                                   {QStringLiteral("especie"), QStringLiteral("Id_Especie"), QStringLiteral("Nome")})));
    m_raca = qobject_cast<QComboBox *>(add(list(QStringLiteral("Raça:"), QStringLiteral("Id_Raca"), "dblRaca",
                                                {QStringLiteral("raca"), QStringLiteral("Id_Raca"), QStringLiteral("Nome")})));
    // Sizes and coats are listed in their own order, smallest first.
    add(list(QStringLiteral("Porte:"), QStringLiteral("Id_Porte"), "dblPorte",
             {QStringLiteral("porte"), QStringLiteral("Id_porte"), QStringLiteral("Descricao"), {}, {}, false, QStringLiteral("Id_porte")}));
    add(list(QStringLiteral("Pelo:"), QStringLiteral("Id_Pelo"), "dblPelo",
             {QStringLiteral("pelo"), QStringLiteral("Id_pelo"), QStringLiteral("Descricao"), {}, {}, false, QStringLiteral("Id_pelo")}));
    add(text(QStringLiteral("Cor:"), QStringLiteral("Cor")).upper());
    add(text(QStringLiteral("Pedigree:"), QStringLiteral("Num_Pedigree")));
    add(text(QStringLiteral("Sinais:"), QStringLiteral("Sinais")));
    QWidget *obs = add(memo(QStringLiteral("OBS:"), QStringLiteral("OBS")).name(QStringLiteral("dbmOBS")));
    obs->setFixedHeight(obs->fontMetrics().lineSpacing() * 3 + 12);
    add(text(QStringLiteral("Nº microchip:"), QStringLiteral("Num_Microchip")));
    for (const char *column : {"Sexo", "Esterilizado"})
        add(choice(QLatin1String(column) + QLatin1Char(':'), QLatin1String(column),
                   column[0] == 'S' ? QStringList{QStringLiteral("M"), QStringLiteral("F")}
                                    : QStringList{QStringLiteral("SIM"), QStringLiteral("NAO")})
                .name(QStringLiteral("cmb") + QLatin1String(column)).withBlank().greyedWhenLocked());
    m_nascimento = qobject_cast<DateLineEdit *>(add(dateField(QStringLiteral("Data nasc.:"), QStringLiteral("Data_Nascimento"))));
    for (QComboBox *c : group->findChildren<QComboBox *>())
        c->setMaxVisibleItems(20);
    m_calcula = new QToolButton(group);
    m_calcula->setObjectName(QStringLiteral("btnCalculaIdade"));
    m_calcula->setText(QStringLiteral("..."));
    m_calcula->setToolTip(QStringLiteral("Calcula a data de nascimento pela idade."));
    m_calcula->setAccessibleName(QStringLiteral("Calcula Idade"));
    connect(m_calcula, &QToolButton::clicked, this, &AnimalPanel::openAgeCalculator);

    auto *birth = new QWidget(group);
    auto *bl = new QHBoxLayout(birth);
    bl->setContentsMargins(0, 0, 0, 0);
    bl->addWidget(m_nascimento, 1);
    bl->addWidget(m_calcula);
    // Three captions and editors a row, as the clerk reads the record.
    const struct {
        const char *column;
        int row, col, span;
    } places[] = {{"Id_Animal", 0, 0, 1},       {"Id_Grupo_Animal", 0, 1, 1}, {"Num_Microchip", 0, 2, 1},
                  {"Nome", 1, 0, 3},            {"Num_Pedigree", 1, 2, 1},    {"Id_Especie", 2, 0, 1},
                  {"Id_Raca", 2, 1, 1},         {"Sexo", 2, 2, 1},            {"Id_Porte", 3, 0, 1},
                  {"Id_Pelo", 3, 1, 1},         {"Esterilizado", 3, 2, 1},    {"Cor", 4, 0, 1},
                  {"Data_Nascimento", 4, 1, 1}, {"Sinais", 5, 0, 5},          {"OBS", 6, 0, 5}};
    auto *g = new QGridLayout(group);
    for (const auto &p : places) {
        FieldBinder *b = m_fields.at(QLatin1String(p.column));
        g->addWidget(b->label(), p.row, p.col * 2);
        g->addWidget(b->editor() == m_nascimento ? birth : b->editor(), p.row, p.col * 2 + 1, 1, p.span);
    }
    for (int c : {1, 3, 5})
        g->setColumnStretch(c, 1);

    m_address = new AddressGroup(AddressGroup::Kind::Animal, area);
    m_address->setObjectName(QStringLiteral("grpEnderecoAnimal"));
    m_mesmoEndereco = new QCheckBox(QStringLiteral("End. mesmo do propietário."), area);
    m_mesmoEndereco->setObjectName(QStringLiteral("chkEndMesmoProp"));
    connect(m_mesmoEndereco, &QCheckBox::clicked, this, &AnimalPanel::sameAddressClicked);

    auto *lay = new QVBoxLayout(area);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(group);
    lay->addWidget(m_address);
    lay->addWidget(m_mesmoEndereco);
    lay->addStretch(1);

    m_raca->installEventFilter(this);
    connect(m_especie, &QComboBox::activated, this, [this] {
        // A breed of another species is no longer offered.
        if (isEditing())
            narrowBreeds();
    });
}

void AnimalPanel::loadLists()
{
    widenBreeds();
    m_fields.reloadRows();
}

void AnimalPanel::narrowBreeds()
{
    // Only the species' active breeds are offered; the breed the animal
    // holds stays on offer for it (the binder keeps the stored value).
    m_breedsNarrowed = true;
    const QVariant species = m_fields.at(QStringLiteral("Id_Especie"))->value();
    try {
        if (species.isValid())
            m_fields.at(QStringLiteral("Id_Raca"))
                ->setRowCondition(QStringLiteral("Id_Especie = :e and Ind_Status = 'ATIVO'"), {{QStringLiteral("e"), species}});
        else
            m_fields.at(QStringLiteral("Id_Raca"))->setRowCondition(QStringLiteral("Ind_Status = 'ATIVO'"));
    } catch (const DbError &) {
        Services::messages().error(QStringLiteral("Erro ao carregar a lista de raça."), this);
    }
}

void AnimalPanel::widenBreeds()
{
    if (m_breedsNarrowed)
        m_fields.at(QStringLiteral("Id_Raca"))->setRowCondition(QString());
    m_breedsNarrowed = false;
}

void AnimalPanel::breedLeft()
{
    const QVariant breed = m_fields.at(QStringLiteral("Id_Raca"))->value();
    if (!isEditing() || !breed.isValid())
        return;
    try {
        const AnimalStore::BreedDefaults d = AnimalStore().breedDefaults(breed);
        if (!Sql::text(d.idPorte).isEmpty())
            m_fields.at(QStringLiteral("Id_Porte"))->load(d.idPorte);
        if (!Sql::text(d.idPelo).isEmpty())
            m_fields.at(QStringLiteral("Id_Pelo"))->load(d.idPelo);
    } catch (const DbError &e) {
        showError(e, this);
    }
}

bool AnimalPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_raca) {
        if (event->type() == QEvent::FocusIn && isEditing() && m_fields.at(QStringLiteral("Id_Especie"))->value().isValid())
            narrowBreeds();
        else if (event->type() == QEvent::FocusOut)
            QMetaObject::invokeMethod(this, [this] { breedLeft(); }, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

int AnimalPanel::idAnimal() const
{
    if (m_mode == Mode::Inserting || m_index < 0 || m_index >= m_animals.size())
        return 0;
    return m_animals.at(m_index).Id_Animal.toInt();
}

QString AnimalPanel::animalName() const { return m_nome->text().trimmed(); }

void AnimalPanel::setBirthDate(const QDate &date)
{
    if (isEditing() && date.isValid())
        m_fields.at(QStringLiteral("Data_Nascimento"))->load(date);
}

QDate AnimalPanel::birthDate() const
{
    return m_fields.at(QStringLiteral("Data_Nascimento"))->value().toDate();
}

void AnimalPanel::applyPermissions(bool incluir, bool alterar, bool excluir)
{
    Toolbar::refuse(m_actions.value(QStringLiteral("actAnimalNovo")), incluir);
    Toolbar::refuse(m_actions.value(QStringLiteral("actAnimalAlterar")), alterar);
    Toolbar::refuse(m_actions.value(QStringLiteral("actAnimalExcluir")), excluir);
    updateActions();
}

void AnimalPanel::updateActions()
{
    RecordState s;
    s.mode = m_mode == Mode::Browsing ? RecordMode::Browse : m_mode == Mode::Inserting ? RecordMode::Insert : RecordMode::Edit;
    s.row = m_index;
    s.rowCount = int(m_animals.size());
    s.recordShown = idAnimal() > 0;
    s.oneThingAtATime = true;
    Toolbar::applyRecordState(s, m_actions, kRecordActions);
    for (const char *name : {"actInformacao", "actMarcaAtendimento", "actOcorrencia"})
        Toolbar::enable(m_actions.value(QLatin1String(name)), !isEditing());
}

void AnimalPanel::setMode(Mode m)
{
    m_mode = m;
    const bool editing = m != Mode::Browsing;
    m_fields.setEditable(editing);
    m_calcula->setEnabled(editing);
    m_mesmoEndereco->setEnabled(editing);
    if (!editing) {
        m_mesmoEndereco->setChecked(false);
        m_address->setEnabled(true);
    }
    m_address->setEditing(editing);
    updateActions();
    emit modeChanged();
}

void AnimalPanel::clearFields()
{
    m_fields.clear();
    m_loadedAddress.reset();
    m_address->clear();
}

void AnimalPanel::showOwnerAnimals(int idProprietario, int idAnimal)
{
    if (isEditing())
        return;
    m_idProprietario = idProprietario;
    const QString owner = idProprietario > 0 && m_screen ? m_screen->ownerName() : QString();
    m_ownerName->setText(owner.isEmpty() ? QString() : QStringLiteral("Proprietário: ") + owner);
    reload(idAnimal);
}

void AnimalPanel::reload(int idAnimalToSelect)
{
    m_animals.clear();
    m_index = -1;
    try {
        if (m_idProprietario > 0)
            m_animals = AnimalStore().ofOwner(m_idProprietario);
    } catch (const DbError &e) {
        showError(e, this);
    }
    if (!m_animals.isEmpty()) {
        m_index = 0;
        for (int i = 0; i < m_animals.size(); ++i)
            if (m_animals.at(i).Id_Animal.toInt() == idAnimalToSelect)
                m_index = i;
    }
    showCurrent();
}

void AnimalPanel::moveTo(int index)
{
    if (isEditing() || index < 0 || index >= m_animals.size() || index == m_index)
        return;
    m_index = index;
    showCurrent();
}

void AnimalPanel::showCurrent()
{
    // The breed list offers every breed while browsing, so that any stored
    // breed shows; it is read again only after it was narrowed.
    try {
        widenBreeds();
    } catch (const DbError &) {
    }
    clearFields();
    if (m_index >= 0 && m_index < m_animals.size()) {
        const Animal &a = m_animals.at(m_index);
        m_fields.load(toRecord(a, kColumns));
        try {
            m_loadedAddress = AnimalStore().currentAddress(a.Id_Animal.toInt());
            m_address->setAddress(m_loadedAddress ? *m_loadedAddress : Endereco());
        } catch (const DbError &) {
            Services::messages().warning(kScrollFailed, this);
        }
    }
    updateActions();
    emit animalChanged(idAnimal());
}

void AnimalPanel::applyDefaults()
{
    selectDefault(m_fields.editorAs<QComboBox>(QStringLiteral("Id_Grupo_Animal")), QStringLiteral("DOMICILIADO"));
    selectDefault(m_especie, QStringLiteral("CANINA"));
    // The default breed is looked up among the default species' breeds.
    if (m_fields.at(QStringLiteral("Id_Especie"))->value().isValid())
        narrowBreeds();
    selectDefault(m_raca, QStringLiteral("SEM RAÇA DEFINIDA - SRD"));
    selectDefault(m_fields.editorAs<QComboBox>(QStringLiteral("Id_Porte")), QStringLiteral("PEQUENO"));
    selectDefault(m_fields.editorAs<QComboBox>(QStringLiteral("Id_Pelo")), QStringLiteral("CURTO"));
}

void AnimalPanel::novo()
{
    if (isEditing())
        return;
    if (!m_screen || m_screen->ownerName().isEmpty() || m_idProprietario <= 0) {
        Services::messages().information(QStringLiteral("Você deve localizar o proprietário para inserir um novo animal!"), this);
        return;
    }
    clearFields();
    setMode(Mode::Inserting);
    applyDefaults();
    m_mesmoEndereco->setChecked(true);
    sameAddressClicked();
    emit animalChanged(0);
    m_nome->setFocus();
}

void AnimalPanel::alterar()
{
    if (isEditing())
        return;
    if (idAnimal() <= 0) {
        Services::messages().information(kNoAnimal, this);
        return;
    }
    setMode(Mode::Editing);
    if (m_fields.at(QStringLiteral("Id_Especie"))->value().isValid())
        narrowBreeds();
    m_nome->setFocus();
}

void AnimalPanel::sameAddressClicked()
{
    if (!isEditing())
        return;
    if (m_mesmoEndereco->isChecked()) {
        const Endereco owner = m_screen ? m_screen->ownerAddress() : Endereco();
        if (Sql::text(owner.NUM_IMOV_LOGR).isEmpty())
            return; // nothing to copy: the group stays open for typing
        m_address->copyLocationFrom(owner);
        m_address->setEnabled(false);
        m_address->refreshNeighbourhoods();
    } else {
        m_address->setEnabled(true);
    }
}

AnimalEdit AnimalPanel::collect() const
{
    AnimalEdit e;
    if (m_mode == Mode::Editing && m_index >= 0 && m_index < m_animals.size()) {
        e.animal = m_animals.at(m_index);
        e.loadedAnimal = e.animal;
        e.loadedAddress = m_loadedAddress ? *m_loadedAddress : Endereco();
    }
    if (m_mode == Mode::Inserting)
        e.animal.Id_Proprietario = m_idProprietario;
    fromRecord(m_fields.values(), e.animal, kColumns);
    e.birthDateText = m_nascimento->text();
    e.address = m_address->address();
    return e;
}

QWidget *AnimalPanel::editorFor(AnimalField f) const
{
    switch (f) {
    case AnimalField::Nome: return m_nome;
    case AnimalField::Grupo: return m_fields.editor(QStringLiteral("Id_Grupo_Animal"));
    case AnimalField::Especie: return m_especie;
    case AnimalField::Raca: return m_raca;
    case AnimalField::Porte: return m_fields.editor(QStringLiteral("Id_Porte"));
    case AnimalField::Pelo: return m_fields.editor(QStringLiteral("Id_Pelo"));
    case AnimalField::DataNascimento: return m_nascimento;
    case AnimalField::Sexo: return m_fields.editor(QStringLiteral("Sexo"));
    case AnimalField::Esterilizado: return m_fields.editor(QStringLiteral("Esterilizado"));
    case AnimalField::Distrito: return m_address->editor(QStringLiteral("Id_Distrito"));
    case AnimalField::Bairro: return m_address->editor(QStringLiteral("NUM_BAIR"));
    case AnimalField::TipoLogradouro: return m_address->editor(QStringLiteral("TIP_LOGR"));
    case AnimalField::Logradouro: return m_address->editor(QStringLiteral("NOM_LOGR"));
    case AnimalField::Numero: return m_address->editor(QStringLiteral("NUM_IMOV_LOGR"));
    case AnimalField::None: break;
    }
    return nullptr;
}

void AnimalPanel::gravar()
{
    if (!isEditing())
        return;
    // A birth date still being typed is read, or refused by its name, first.
    if (!m_nascimento->check())
        return;
    const AnimalEdit e = collect();
    if (const AnimalRefusal r = AnimalStore::validate(e)) {
        QWidget *w = editorFor(r.field);
        // A refused address field may sit in the group closed by the copy
        // of the owner's address: open it so the field can be mended.
        if (w && !w->isEnabled() && m_address->isAncestorOf(w)) {
            m_mesmoEndereco->setChecked(false);
            m_address->setEnabled(true);
        }
        FormHelpers::markRefused(w);
        Services::messages().information(r.message, this);
        return;
    }
    AnimalStore store;
    int id = 0;
    if (m_mode == Mode::Inserting) {
        try {
            id = store.insert(e);
        } catch (const ConnectionLost &err) {
            // A lost connection is opened again by itself: the clerk only
            // needs to save again, not to log in again.
            Services::messages().information(err.text(), this);
            return;
        } catch (const std::exception &) {
            // Nothing of the animal was kept; the typed record stays on screen.
            Services::messages().information(kSaveFailed, this);
            return;
        }
    } else {
        if (!Services::messages().confirm(
                QStringLiteral("Esta alteração não vale para mudança de endereço e/ou novo grupo do animal.\r"
                               "Voce deve ir em \"Mudar o endereço do animal\" ou \"\"\r"
                               "Deseja continuar assim mesmo?"),
                this))
            return;
        try {
            store.update(e);
        } catch (const ConnectionLost &err) {
            Services::messages().information(err.text(), this);
            return;
        } catch (const StaleRecord &err) {
            // Another workstation changed what the clerk changed: its values
            // are shown, to be changed again on top of them.
            setMode(Mode::Browsing);
            reload(e.animal.Id_Animal.toInt());
            Services::messages().warning(err.text(), this);
            return;
        } catch (const DbError &err) {
            Services::messages().information(kSaveFailed + QStringLiteral("\r") + err.text(), this);
            return;
        } catch (const std::exception &) {
            Services::messages().information(kSaveFailed, this);
            return;
        }
        id = e.animal.Id_Animal.toInt();
    }
    setMode(Mode::Browsing);
    reload(id);
    emit animalsChanged();
    Services::messages().information(kDone, this);
}

void AnimalPanel::cancelar()
{
    if (!isEditing())
        return;
    const int keep = m_mode == Mode::Editing ? idAnimal() : 0;
    setMode(Mode::Browsing);
    reload(keep);
}

void AnimalPanel::atualizar()
{
    if (isEditing())
        return;
    const int keep = idAnimal();
    try {
        loadLists();
    } catch (const DbError &e) {
        showError(e, this);
    }
    reload(keep);
    m_address->refreshNeighbourhoods();
}

void AnimalPanel::excluir()
{
    const int id = idAnimal();
    if (isEditing() || id <= 0)
        return;
    AnimalStore store;
    try {
        if (const QString refusal = store.deleteRefusal(id); !refusal.isEmpty()) {
            Services::messages().information(refusal, this);
            return;
        }
        if (!Services::messages().confirm(
                QStringLiteral("O registro será excluído definitivamente e todo histórico do animal será perdido alterando "
                               "analises realizada anteriormente.\rDeseja continuar?"),
                this))
            return;
        store.remove(id);
    } catch (const DbError &e) {
        showError(e, this);
        return;
    }
    reload(0);
    emit animalsChanged();
    Services::messages().information(kDone, this);
}

void AnimalPanel::informacao()
{
    const int id = idAnimal();
    if (id <= 0) {
        // Without an animal there is nobody to report (the query would
        // otherwise have answered for some other animal).
        Services::messages().information(kNoAnimal, this);
        return;
    }
    QString text;
    try {
        text = AnimalStore().information(id);
    } catch (const DbError &e) {
        showError(e, this);
        return;
    }
    Services::messages().information(text.isEmpty() ? QStringLiteral("Sem informação.") : text, this);
}

void AnimalPanel::marcaAtendimento()
{
    TMarcacaoAtendimento &m = marcacaoAtendimento();
    m.clear();
    if (!m_screen || m_screen->ownerName().isEmpty() || animalName().isEmpty() || idAnimal() <= 0) {
        Services::messages().error(QStringLiteral("É preciso que o animal esteja cadastrado."), this);
        return;
    }
    m.IdAnimal = QString::number(idAnimal());
    m.Origem = 1;
    m.IdProprietario = QString::number(m_idProprietario);
    if (appointmentOpener())
        appointmentOpener()(m_screen);
}

void AnimalPanel::ocorrencia()
{
    if (occurrenceOpener())
        occurrenceOpener()(m_screen, m_idProprietario, idAnimal());
}

void AnimalPanel::openAgeCalculator()
{
    // Every click opens a calculator of its own, bound to this record: it
    // writes only while the animal is being typed, and nothing once this
    // screen is gone.
    QPointer<AnimalPanel> self(this);
    auto *w = new CalculaIdadeScreen(
        this, [self] { return self && self->isEditing(); },
        [self](const QDate &d) {
            if (self)
                self->setBirthDate(d);
        },
        nullptr);
    w->show();
}
