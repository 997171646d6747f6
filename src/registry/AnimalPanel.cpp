#include "registry/AnimalPanel.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/Reconnect.h"
#include "db/Sql.h"
#include "registry/AddressGroup.h"
#include "registry/AgeCalculator.h"
#include "ui/FormHelpers.h"
#include "registry/PropAnimalScreen.h"
#include "ui/MarcacaoAtendimento.h"
#include "ui/RecordKeys.h"
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

using FormHelpers::caption;
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

// A drop-down of keys showing names; the first entry is "nothing chosen".
void fill(QComboBox *c, const QString &sql, const QVariantMap &params = {})
{
    const QVariant keep = c->currentData();
    QSignalBlocker block(c);
    c->clear();
    c->addItem(QString());
    QSqlQuery q = Sql::exec(mainConnection(), sql, params);
    while (q.next())
        c->addItem(Sql::text(q.value(1)), q.value(0).toInt());
    const int i = keep.isValid() ? c->findData(keep) : -1;
    c->setCurrentIndex(i < 0 ? 0 : i);
}

void select(QComboBox *c, const QVariant &key)
{
    const int i = Sql::text(key).isEmpty() ? -1 : c->findData(key.toInt());
    c->setCurrentIndex(i < 0 ? 0 : i);
}

void selectText(QComboBox *c, const QString &text)
{
    const int i = text.trimmed().isEmpty() ? -1 : c->findText(text.trimmed());
    c->setCurrentIndex(i < 0 ? 0 : i);
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

QVariant key(const QComboBox *c)
{
    const QVariant v = c->currentData();
    return v.isValid() ? v : QVariant();
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

AnimalPanel::AnimalPanel(PropAnimalScreen *screen, QWidget *parent) : QWidget(parent), m_screen(screen)
{
    setObjectName(QStringLiteral("pnlAnimal"));
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tlbAnimal"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // The same keys as the owner's toolbar: each acts on its own tab only.
    using R = RecordCommand;
    FormHelpers::addToolbarActions(
        this, bar,
        {{"actAnimalNovo", QStringLiteral("Novo"), recordKeys(R::Novo), [this] { novo(); }},
         {"actAnimalAlterar", QStringLiteral("Alterar"), recordKeys(R::Alterar), [this] { alterar(); }},
         {"actAnimalExcluir", QStringLiteral("Excluir"), recordKeys(R::Excluir), [this] { excluir(); }},
         {"actAnimalAtualizar", QStringLiteral("Atualizar"), recordKeys(R::Atualizar), [this] { atualizar(); }},
         {"actAnimalGravar", QStringLiteral("Gravar"), recordKeys(R::Gravar), [this] { gravar(); }},
         {"actAnimalCancelar", QStringLiteral("Cancelar"), recordKeys(R::Cancelar), [this] { cancelar(); }},
         {},
         {"DataSetFirst1", QStringLiteral("Primeiro"), recordKeys(R::Primeiro), [this] { moveTo(0); }},
         {"DataSetPrior1", QStringLiteral("Anterior"), recordKeys(R::Anterior), [this] { moveTo(m_index - 1); }},
         {"DataSetNext1", QStringLiteral("Próximo"), recordKeys(R::Proximo), [this] { moveTo(m_index + 1); }},
         {"DataSetLast1", QStringLiteral("Último"), recordKeys(R::Ultimo), [this] { moveTo(int(m_animals.size()) - 1); }},
         {},
         {"actInformacao", QStringLiteral("&Informação..."), {}, [this] { informacao(); }},
         {"actMarcaAtendimento", QStringLiteral("&Marca atendimento..."), {}, [this] { marcaAtendimento(); }},
         {"actOcorrencia", QStringLiteral("Ocorrencias..."), {}, [this] { ocorrencia(); }}},
        m_actions);
    bar->addSeparator();
    m_ownerName = new QLabel(bar);
    m_ownerName->setObjectName(QStringLiteral("lblProprietario"));
    QFont bold = m_ownerName->font();
    bold.setBold(true);
    m_ownerName->setFont(bold);
    bar->addWidget(m_ownerName);

    auto *area = new QWidget(this);
    buildRecord(area);

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(bar);
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
    auto edit = [group](const char *name, int maxLength) {
        auto *e = new QLineEdit(group);
        e->setObjectName(QString::fromLatin1(name));
        if (maxLength > 0)
            e->setMaxLength(maxLength);
        return e;
    };
    auto combo = [group](const char *name) {
        auto *c = new QComboBox(group);
        c->setObjectName(QString::fromLatin1(name));
        c->setMaxVisibleItems(20);
        return c;
    };
    m_codigo = edit("dbeId_Animal", 0);
    FormHelpers::readOnlyGrey(m_codigo);
    m_nome = edit("dbeNome_Animal", 100);
    FormHelpers::upperCase(m_nome);
    m_grupo = combo("dblGrupo");
    m_especie = combo("dblEspecie");
    m_raca = combo("dblRaca");
    m_porte = combo("dblPorte");
    m_pelo = combo("dblPelo");
    m_cor = edit("dbeCor", 100);
    FormHelpers::upperCase(m_cor);
    m_pedigree = edit("dbeNum_Pedigree", 50);
    m_sinais = edit("dbeSinais", 250);
    m_obs = new QPlainTextEdit(group);
    m_obs->setObjectName(QStringLiteral("dbmOBS"));
    m_obs->setTabChangesFocus(true);
    m_obs->setFixedHeight(m_obs->fontMetrics().lineSpacing() * 3 + 12);
    connect(m_obs, &QPlainTextEdit::textChanged, this, [this] {
        // The column holds 250 characters.
        const QString t = m_obs->toPlainText();
        if (t.size() > 250) {
            QSignalBlocker block(m_obs);
            m_obs->setPlainText(t.left(250));
            m_obs->moveCursor(QTextCursor::End);
        }
    });
    m_microchip = edit("dbeNum_Microchip", 20);
    m_sexo = combo("cmbSexo");
    m_sexo->addItems({QString(), QStringLiteral("M"), QStringLiteral("F")});
    m_esterilizado = combo("cmbEsterilizado");
    m_esterilizado->addItems({QString(), QStringLiteral("SIM"), QStringLiteral("NAO")});
    m_nascimento = edit("dbeData_Nascimento", 0);
    m_nascimento->setInputMask(kDateMask);
    m_calcula = new QToolButton(group);
    m_calcula->setObjectName(QStringLiteral("btnCalculaIdade"));
    m_calcula->setText(QStringLiteral("..."));
    m_calcula->setToolTip(QStringLiteral("Calcula a data de nascimento pela idade."));
    m_calcula->setAccessibleName(QStringLiteral("Calcula Idade"));
    connect(m_calcula, &QToolButton::clicked, this, &AnimalPanel::openAgeCalculator);

    auto *g = new QGridLayout(group);
    int r = 0;
    auto row = [&](const QString &label, QWidget *w, int col, int span = 1) {
        g->addWidget(caption(label, w, group), r, col * 2);
        g->addWidget(w, r, col * 2 + 1, 1, span);
    };
    row(QStringLiteral("Código:"), m_codigo, 0);
    row(QStringLiteral("Grupo:"), m_grupo, 1);
    row(QStringLiteral("Nº microchip:"), m_microchip, 2);
    ++r;
    row(QStringLiteral("Nome:"), m_nome, 0, 3);
    row(QStringLiteral("Pedigree:"), m_pedigree, 2);
    ++r;
    row(QStringLiteral("Especie:"), m_especie, 0);
    row(QStringLiteral("Raça:"), m_raca, 1);
    row(QStringLiteral("Sexo:"), m_sexo, 2);
    ++r;
    row(QStringLiteral("Porte:"), m_porte, 0);
    row(QStringLiteral("Pelo:"), m_pelo, 1);
    row(QStringLiteral("Esterilizado:"), m_esterilizado, 2);
    ++r;
    row(QStringLiteral("Cor:"), m_cor, 0);
    auto *birth = new QWidget(group);
    auto *bl = new QHBoxLayout(birth);
    bl->setContentsMargins(0, 0, 0, 0);
    bl->addWidget(m_nascimento, 1);
    bl->addWidget(m_calcula);
    g->addWidget(caption(QStringLiteral("Data nasc.:"), m_nascimento, group), r, 2);
    g->addWidget(birth, r, 3);
    ++r;
    row(QStringLiteral("Sinais:"), m_sinais, 0, 5);
    ++r;
    row(QStringLiteral("OBS:"), m_obs, 0, 5);
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
    m_breedsNarrowed = false;
    fill(m_grupo, QStringLiteral("select Id_Grupo_Animal, Nome from grupo_animal order by Nome"));
    fill(m_especie, QStringLiteral("select Id_Especie, Nome from especie order by Nome"));
    fill(m_raca, QStringLiteral("select Id_Raca, Nome from raca order by Nome"));
    fill(m_porte, QStringLiteral("select Id_porte, Descricao from porte order by Id_porte"));
    fill(m_pelo, QStringLiteral("select Id_pelo, Descricao from pelo order by Id_pelo"));
}

void AnimalPanel::narrowBreeds()
{
    m_breedsNarrowed = true;
    const QVariant chosen = key(m_raca);
    try {
        const QVariant species = key(m_especie);
        if (species.isValid())
            fill(m_raca,
                 QStringLiteral("select Id_Raca, Nome from raca where Id_Especie = :e and Ind_Status = 'ATIVO' order by Nome"),
                 {{QStringLiteral("e"), species}});
        else
            fill(m_raca, QStringLiteral("select Id_Raca, Nome from raca where Ind_Status = 'ATIVO' order by Nome"));
    } catch (const DbError &) {
        Services::messages().error(QStringLiteral("Erro ao carregar a lista de raça."), this);
    }
    // Only new choices are limited to the narrowed list: the stored breed
    // stays on offer for this animal, and chosen while it was.
    if (m_mode == Mode::Editing && m_storedBreed.isValid() && m_raca->findData(m_storedBreed) < 0) {
        QSignalBlocker block(m_raca);
        m_raca->insertItem(1, m_storedBreedName, m_storedBreed);
        if (chosen == m_storedBreed)
            m_raca->setCurrentIndex(1);
    }
}

void AnimalPanel::breedLeft()
{
    const QVariant breed = key(m_raca);
    if (!isEditing() || !breed.isValid())
        return;
    try {
        const AnimalStore::BreedDefaults d = AnimalStore().breedDefaults(breed);
        if (!Sql::text(d.idPorte).isEmpty())
            select(m_porte, d.idPorte);
        if (!Sql::text(d.idPelo).isEmpty())
            select(m_pelo, d.idPelo);
    } catch (const DbError &e) {
        showError(e, this);
    }
}

bool AnimalPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_raca) {
        if (event->type() == QEvent::FocusIn && isEditing() && key(m_especie).isValid())
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
    if (!isEditing() || !date.isValid())
        return;
    m_birthDate = date;
    m_birthShown = date.toString(QStringLiteral("dd/MM/yy"));
    m_nascimento->setText(m_birthShown);
}

QDate AnimalPanel::birthDate() const
{
    // A date shown as it was read or calculated keeps its century; only a
    // typed one goes through the two-digit year rule.
    if (m_birthDate.isValid() && m_nascimento->text() == m_birthShown)
        return m_birthDate;
    return Formats::parseDate(m_nascimento->text());
}

void AnimalPanel::applyPermissions(bool incluir, bool alterar, bool excluir)
{
    auto refuse = [this](const char *name, bool allowed) {
        QAction *a = m_actions.value(QString::fromLatin1(name));
        a->setVisible(allowed);
        a->setProperty("zapoRefused", !allowed);
    };
    refuse("actAnimalNovo", incluir);
    refuse("actAnimalAlterar", alterar);
    refuse("actAnimalExcluir", excluir);
    updateActions();
}

void AnimalPanel::updateActions()
{
    const bool browsing = m_mode == Mode::Browsing;
    const bool current = idAnimal() > 0;
    auto set = [this](const char *name, bool on) {
        QAction *a = m_actions.value(QString::fromLatin1(name));
        a->setEnabled(on && !a->property("zapoRefused").toBool());
    };
    set("actAnimalNovo", browsing);
    set("actAnimalAlterar", browsing && current);
    set("actAnimalExcluir", browsing && current);
    set("actAnimalAtualizar", browsing);
    set("actAnimalGravar", !browsing);
    set("actAnimalCancelar", !browsing);
    set("DataSetFirst1", browsing && m_index > 0);
    set("DataSetPrior1", browsing && m_index > 0);
    set("DataSetNext1", browsing && m_index >= 0 && m_index < m_animals.size() - 1);
    set("DataSetLast1", browsing && m_index >= 0 && m_index < m_animals.size() - 1);
    set("actInformacao", browsing);
    set("actMarcaAtendimento", browsing);
    set("actOcorrencia", browsing);
}

void AnimalPanel::setMode(Mode m)
{
    m_mode = m;
    if (m != Mode::Editing) {
        m_storedBreed = QVariant();
        m_storedBreedName.clear();
    }
    const bool editing = m != Mode::Browsing;
    for (QLineEdit *e : {m_nome, m_cor, m_pedigree, m_sinais, m_microchip, m_nascimento})
        e->setReadOnly(!editing);
    m_obs->setReadOnly(!editing);
    for (QComboBox *c : {m_grupo, m_especie, m_raca, m_porte, m_pelo, m_sexo, m_esterilizado})
        c->setEnabled(editing);
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
    m_codigo->clear();
    m_nome->clear();
    for (QComboBox *c : {m_grupo, m_especie, m_raca, m_porte, m_pelo, m_sexo, m_esterilizado})
        c->setCurrentIndex(0);
    for (QLineEdit *e : {m_cor, m_pedigree, m_sinais, m_microchip, m_nascimento})
        e->clear();
    m_obs->clear();
    m_birthDate = QDate();
    m_birthShown.clear();
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
    if (m_breedsNarrowed) {
        try {
            fill(m_raca, QStringLiteral("select Id_Raca, Nome from raca order by Nome"));
            m_breedsNarrowed = false;
        } catch (const DbError &) {
        }
    }
    clearFields();
    if (m_index >= 0 && m_index < m_animals.size()) {
        const Animal &a = m_animals.at(m_index);
        m_codigo->setText(Sql::text(a.Id_Animal));
        m_nome->setText(a.Nome);
        select(m_grupo, a.Id_Grupo_Animal);
        select(m_especie, a.Id_Especie);
        select(m_raca, a.Id_Raca);
        select(m_porte, a.Id_Porte);
        select(m_pelo, a.Id_Pelo);
        m_cor->setText(a.Cor);
        m_pedigree->setText(a.Num_Pedigree);
        m_sinais->setText(a.Sinais);
        m_obs->setPlainText(a.OBS);
        m_microchip->setText(a.Num_Microchip);
        selectText(m_sexo, a.Sexo);
        selectText(m_esterilizado, a.Esterilizado);
        m_birthDate = a.Data_Nascimento;
        m_birthShown = a.Data_Nascimento.isValid() ? a.Data_Nascimento.toString(QStringLiteral("dd/MM/yy")) : QString();
        m_nascimento->setText(m_birthShown);
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
    selectDefault(m_grupo, QStringLiteral("DOMICILIADO"));
    selectDefault(m_especie, QStringLiteral("CANINA"));
    // The default breed is looked up among the default species' breeds.
    if (key(m_especie).isValid())
        narrowBreeds();
    selectDefault(m_raca, QStringLiteral("SEM RAÇA DEFINIDA - SRD"));
    selectDefault(m_porte, QStringLiteral("PEQUENO"));
    selectDefault(m_pelo, QStringLiteral("CURTO"));
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
    // The list still holds every breed here, the stored one among them.
    m_storedBreed = key(m_raca);
    m_storedBreedName = m_raca->currentText();
    setMode(Mode::Editing);
    if (key(m_especie).isValid())
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
    if (m_mode == Mode::Editing && m_index >= 0 && m_index < m_animals.size())
        e.animal = m_animals.at(m_index);
    Animal &a = e.animal;
    if (m_mode == Mode::Inserting)
        a.Id_Proprietario = m_idProprietario;
    a.Nome = m_nome->text().trimmed();
    a.Id_Grupo_Animal = key(m_grupo);
    a.Id_Especie = key(m_especie);
    a.Id_Raca = key(m_raca);
    a.Id_Porte = key(m_porte);
    a.Id_Pelo = key(m_pelo);
    a.Cor = m_cor->text().trimmed();
    a.Num_Pedigree = m_pedigree->text().trimmed();
    a.Sinais = m_sinais->text().trimmed();
    a.OBS = m_obs->toPlainText().trimmed();
    a.Num_Microchip = m_microchip->text().trimmed();
    a.Sexo = m_sexo->currentText();
    a.Esterilizado = m_esterilizado->currentText();
    a.Data_Nascimento = birthDate();
    e.birthDateText = m_nascimento->text();
    e.address = m_address->address();
    return e;
}

QWidget *AnimalPanel::editorFor(AnimalField f) const
{
    switch (f) {
    case AnimalField::Nome: return m_nome;
    case AnimalField::Grupo: return m_grupo;
    case AnimalField::Especie: return m_especie;
    case AnimalField::Raca: return m_raca;
    case AnimalField::Porte: return m_porte;
    case AnimalField::Pelo: return m_pelo;
    case AnimalField::DataNascimento: return m_nascimento;
    case AnimalField::Sexo: return m_sexo;
    case AnimalField::Esterilizado: return m_esterilizado;
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
