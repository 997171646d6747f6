#include "registry/PropAnimalScreen.h"
#include "db/RowChange.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "registry/AddressGroup.h"
#include "registry/AnimalPanel.h"
#include "registry/VaccinationPanel.h"
#include "registry/StreetSearchWindow.h"
#include "db/Documents.h"
#include "ui/FormHelpers.h"
#include "ui/FocusFlow.h"
#include "ui/RecordKeys.h"
#include "ui/ScreenCatalog.h"
#include "ui/Toolbar.h"
#include "ui/Services.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QScopedValueRollback>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

using FormHelpers::caption;
using FormHelpers::showError;

namespace {

const QString kFinishFirstTab = QStringLiteral(
    "Você deve gravar ou cancelar a operação em andamento no cadastro do proprietário antes de prosseguir!");
const QString kFinishFirstClose = QStringLiteral(
    "Você deve gravar ou cancelar a operação em andamento no cadastro do proprietário antes de fechar o formulário!");
const QString kDone = QStringLiteral("Operação realizada com sucesso!");
const QString kFinishAnimalFirstTab = QStringLiteral(
    "Você deve gravar ou cancelar a operação em andamento no cadastro do animal antes de prosseguir!");
const QString kFinishAnimalFirstClose = QStringLiteral(
    "Você deve gravar ou cancelar a operação em andamento no cadastro do animal antes de fechar o formulário!");

// The owner's columns the tab shows and writes; the web account's fields
// are read and written by hand.
const QList<MemberColumn<Proprietario>> kColumns = {
    {QStringLiteral("Id_Proprietario"), &Proprietario::Id_Proprietario},
    {QStringLiteral("id_Unidade_Trabalho"), &Proprietario::id_Unidade_Trabalho},
    {QStringLiteral("Nome"), &Proprietario::Nome},
    {QStringLiteral("Telefone_Residencial"), &Proprietario::Telefone_Residencial},
    {QStringLiteral("Telefone_Celular"), &Proprietario::Telefone_Celular},
    {QStringLiteral("Telefone_Recado"), &Proprietario::Telefone_Recado},
    {QStringLiteral("Tipo_Pessoa"), &Proprietario::Tipo_Pessoa},
    {QStringLiteral("Num_CPF_CNPJ"), &Proprietario::Num_CPF_CNPJ},
    {QStringLiteral("Num_CI"), &Proprietario::Num_CI},
    {QStringLiteral("Email_Proprietario"), &Proprietario::Email_Proprietario},
};

} // namespace

PropAnimalScreen::PropAnimalScreen(QWidget *parent)
    : QWidget(parent), m_fields(&mainConnection(), QStringLiteral("proprietario"))
{
    setObjectName(QStringLiteral("frmPropAnimal"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("006 - Cadastro de proprietário e animal."));

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pgcPropAnimal"));
    auto *ownerTab = new QWidget;
    ownerTab->setObjectName(QStringLiteral("tabProprietario"));
    auto *animalTab = new QWidget;
    animalTab->setObjectName(QStringLiteral("tabAnimal"));
    auto *vaccineTab = new QWidget;
    vaccineTab->setObjectName(QStringLiteral("tabVacinas"));
    m_tabs->addTab(ownerTab, QStringLiteral("Proprietário"));
    m_tabs->addTab(animalTab, QStringLiteral("Animal"));
    m_tabs->addTab(vaccineTab, QStringLiteral("Vacinas"));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        // The animal tabs need a saved owner; the animal being typed stays
        // in sight until it is saved or cancelled.
        if (index != 0 && m_mode != Mode::Browsing) {
            m_tabs->setCurrentIndex(0);
            Services::messages().information(kFinishFirstTab, this);
        } else if (index != 1 && m_animal && m_animal->isEditing()) {
            m_tabs->setCurrentIndex(1);
            Services::messages().information(kFinishAnimalFirstTab, this);
        }
    });
    buildOwnerTab(ownerTab);
    m_animal = new AnimalPanel(this, animalTab);
    auto *animalLayout = new QVBoxLayout(animalTab);
    animalLayout->setContentsMargins(0, 0, 0, 0);
    animalLayout->addWidget(m_animal);
    connect(this, &PropAnimalScreen::ownerLoaded, m_animal, &AnimalPanel::showOwnerAnimals);
    connect(m_animal, &AnimalPanel::animalsChanged, this, &PropAnimalScreen::updateCaption);
    // The "..." of either address group, and a street not found, open the
    // street search for that group.
    for (AddressGroup *g : {m_address, m_animal->addressGroup()})
        connect(g, &AddressGroup::streetSearchRequested, this,
                [g](const QString &selection, const QString &text, bool runAtOnce) {
                    StreetSearchWindow::open(g, selection, text, runAtOnce);
                });
    m_vaccines = new VaccinationPanel(vaccineTab);
    m_vaccines->setObjectName(QStringLiteral("pnlVacinas"));
    auto *vaccineLayout = new QVBoxLayout(vaccineTab);
    vaccineLayout->setContentsMargins(0, 0, 0, 0);
    vaccineLayout->addWidget(m_vaccines);
    connect(m_animal, &AnimalPanel::animalChanged, m_vaccines, &VaccinationPanel::setAnimal);

    m_status = new QStatusBar(this);
    m_statusOwner = new QLabel(m_status);
    m_status->addWidget(m_statusOwner, 1);
    m_status->setSizeGripEnabled(false);

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(4, 4, 4, 0);
    lay->addWidget(m_tabs, 1);
    lay->addWidget(m_status);

    FormHelpers::installEnterAsTab(this);
    loadUnits();
    m_address->loadLists();
    clearOwner();
    setWebFieldsEditable(false);
    setMode(Mode::Browsing);
    // Tall enough for the animal tab's two toolbar rows above its record.
    resize(980, 600);
}

PropAnimalScreen::~PropAnimalScreen() = default;

QWidget *PropAnimalScreen::animalTab() const { return m_tabs->widget(1); }
QWidget *PropAnimalScreen::vaccinationTab() const { return m_tabs->widget(2); }
QAction *PropAnimalScreen::action(const QString &name) const { return m_actions.value(name); }

void PropAnimalScreen::loadUnits()
{
    try {
        m_fields.reloadRows();
    } catch (const DbError &e) {
        showError(e, this);
    }
}

void PropAnimalScreen::applyPermissions(bool incluir, bool alterar, bool excluir, bool imprimir)
{
    Toolbar::refuse(m_actions.value(QStringLiteral("actAppend")), incluir);
    Toolbar::refuse(m_actions.value(QStringLiteral("actEdit")), alterar);
    Toolbar::refuse(m_actions.value(QStringLiteral("actDelete")), excluir);
    Toolbar::refuse(m_actions.value(QStringLiteral("actPrint")), imprimir);
    m_animal->applyPermissions(incluir, alterar, excluir);
    updateActions();
}

void PropAnimalScreen::updateActions()
{
    RecordState s;
    s.mode = m_mode == Mode::Browsing ? RecordMode::Browse : m_mode == Mode::Inserting ? RecordMode::Insert : RecordMode::Edit;
    s.row = m_index;
    s.rowCount = int(m_ids.size());
    s.recordShown = m_current.has_value();
    s.oneThingAtATime = true;
    Toolbar::applyRecordState(s, m_actions, kRecordActions);
}

void PropAnimalScreen::setMode(Mode m)
{
    m_mode = m;
    const bool editing = m != Mode::Browsing;
    m_fields.setEditable(editing);
    m_address->setEditing(editing);
    showPhone();
    updateActions();
}

void PropAnimalScreen::showPhone()
{
    // The mask takes eight or ten digits after the area code and shows the
    // two missing ones as blanks: only while typing. Browsing shows the
    // number as stored, "(19)3234-5678" rather than "(19)3234__5678".
    if (m_mode == Mode::Browsing) {
        m_telefone->setInputMask(QString());
        m_telefone->setText(m_telefoneStored.trimmed());
    } else if (m_telefone->inputMask().isEmpty()) {
        m_telefone->setInputMask(Documents::homePhoneMask());
        m_telefone->setText(Documents::homePhoneForMask(m_telefoneStored));
    }
}

void PropAnimalScreen::setWebFieldsEditable(bool on)
{
    m_login->setReadOnly(true); // filled from the tax number only
    m_senha->setReadOnly(!on);
    m_bloquear->setEnabled(on);
}

void PropAnimalScreen::setPasswordRequired(bool on)
{
    // Enabled with the normal colour: a new password must be typed. Grey:
    // the stored digest stays.
    m_passwordRequired = on;
    m_senha->setEnabled(on);
    QPalette p = m_senha->palette();
    p.setColor(QPalette::Base, on ? QApplication::palette().color(QPalette::Base)
                                  : QApplication::palette().color(QPalette::Window));
    m_senha->setPalette(p);
}

void PropAnimalScreen::showBlock(const QString &bloqueado, bool tick)
{
    const QString b = bloqueado.trimmed();
    QString text;
    bool red = true;
    if (b == QLatin1String("WEB"))
        text = QStringLiteral("Bloquear acesso.(Esta bloqueado pela WEB)");
    else if (b == QLatin1String("SIM"))
        text = QStringLiteral("Bloquear acesso.(Esta bloqueado pelo legado)");
    else if (b == QStringLiteral("NÃO"))
        text = QStringLiteral("Bloquear acesso.");
    else if (b.isEmpty()) {
        text = QStringLiteral("Bloquear acesso.");
        red = false;
    } else
        return; // an unknown state leaves the box as it was
    const bool wasEnabled = m_bloquear->isEnabled();
    m_bloquear->setEnabled(false);
    m_bloquear->setText(text);
    QPalette p = m_bloquear->palette();
    p.setColor(QPalette::WindowText, red ? QColor(Qt::red) : QApplication::palette().color(QPalette::WindowText));
    m_bloquear->setPalette(p);
    if (tick) {
        const QString u = b.toUpper();
        if (u == QLatin1String("SIM") || u == QLatin1String("WEB"))
            m_bloquear->setChecked(true);
        else if (u == QStringLiteral("NÃO") || u == QLatin1String("NAO") || u.isEmpty())
            m_bloquear->setChecked(false);
    }
    m_bloquear->setEnabled(wasEnabled);
}

void PropAnimalScreen::clearOwner()
{
    m_current.reset();
    m_idAtual = 0;
    m_fields.clear();
    m_telefoneStored.clear();
    showPhone();
    m_login->clear();
    m_senha->clear();
    m_bloquear->setChecked(false);
    showBlock(QString(), false);
    m_address->clear();
    m_statusOwner->clear();
    if (m_animal)
        m_animal->showOwnerAnimals(0, 0);
}

void PropAnimalScreen::showOwner(const std::optional<OwnerData> &d)
{
    if (!d) {
        clearOwner();
        updateActions();
        m_animal->showOwnerAnimals(0, 0);
        return;
    }
    m_current = d;
    const Proprietario &o = d->owner;
    m_idAtual = o.Id_Proprietario.toInt();
    m_fields.load(toRecord(o, kColumns));
    m_telefoneStored = o.Telefone_Residencial;
    showPhone();
    m_address->setAddress(d->address);
    // The account as the web service has it.
    m_login->setText(d->web ? d->web->Login : QString());
    m_senha->setText(d->web ? d->web->Senha : QString());
    showBlock(d->web ? d->web->Bloqueado : QString(), true);

    m_statusOwner->setText(QStringLiteral("Prop.:") + QString::number(m_idAtual) + QStringLiteral(" - ") + o.Nome);
    updateCaption();
    updateActions();
    emit ownerLoaded(m_idAtual, m_idAnimalLocalizar);
}

void PropAnimalScreen::moveTo(int index)
{
    if (m_mode != Mode::Browsing || index < 0 || index >= m_ids.size())
        return;
    m_index = index;
    try {
        showOwner(OwnerStore().load(m_ids.at(index)));
    } catch (const DbError &e) {
        showError(e, this);
    }
}

void PropAnimalScreen::loadOwner(int idProprietario, int idAnimal)
{
    if (m_mode != Mode::Browsing) {
        Services::messages().information(kFinishFirstTab, this);
        return;
    }
    if (animalBusy(kFinishAnimalFirstTab))
        return;
    m_idAnimalLocalizar = idAnimal;
    m_ids = {idProprietario};
    m_index = 0;
    try {
        showOwner(OwnerStore().load(idProprietario));
    } catch (const DbError &e) {
        showError(e, this);
    }
}

Endereco PropAnimalScreen::ownerAddress() const
{
    return m_address->address();
}

void PropAnimalScreen::novo()
{
    if (m_mode != Mode::Browsing)
        return;
    clearOwner();
    setPasswordRequired(true);
    setWebFieldsEditable(true);
    m_ids.clear();
    m_index = -1;
    setMode(Mode::Inserting);
    m_address->refreshNeighbourhoods();
    m_address->setOfficial(true);
    m_fields.at(QStringLiteral("Tipo_Pessoa"))->load(Documents::pessoaFisica());
    showBlock(QString(), false);
    m_tabs->setCurrentIndex(0);
    m_fields.at(QStringLiteral("id_Unidade_Trabalho"))->focus();
}

void PropAnimalScreen::alterar()
{
    if (m_mode != Mode::Browsing || !m_current)
        return;
    OwnerStore store;
    try {
        if (!Sql::text(m_current->owner.id_usu_web).isEmpty()
            && store.blockState(m_current->owner.id_usu_web) == QLatin1String("WEB")
            && !Services::messages().confirm(
                QStringLiteral("Este tutor está bloqueado pelo sistema WEB deseja continuar com a edição?"), this))
            return;
        setWebFieldsEditable(true);
        setMode(Mode::Editing);
        const bool keepDigest = store.hasWebDigest(m_idAtual);
        setPasswordRequired(!keepDigest);
        if (!keepDigest)
            m_senha->clear();
    } catch (const DbError &e) {
        showError(e, this);
    }
}

OwnerEdit PropAnimalScreen::collect() const
{
    OwnerEdit e;
    if (m_current && m_mode == Mode::Editing) {
        e.owner = m_current->owner;
        e.loadedOwner = m_current->owner;
        e.loadedAddress = m_current->address;
    }
    fromRecord(m_fields.values(), e.owner, kColumns);
    e.owner.Num_CPF_CNPJ = Documents::digitsOnly(m_cpf->text());
    e.address = m_address->address();
    e.password = m_senha->text();
    e.passwordRequired = m_passwordRequired && m_senha->isEnabled();
    e.blockTicked = m_bloquear->isChecked();
    return e;
}

QWidget *PropAnimalScreen::editorFor(OwnerField f) const
{
    switch (f) {
    case OwnerField::Unidade: return m_fields.editor(QStringLiteral("id_Unidade_Trabalho"));
    case OwnerField::Nome: return m_nome;
    case OwnerField::Telefone: return m_telefone;
    case OwnerField::TipoPessoa: return m_fields.editor(QStringLiteral("Tipo_Pessoa"));
    case OwnerField::CpfCnpj: return m_cpf;
    case OwnerField::Email: return m_fields.editor(QStringLiteral("Email_Proprietario"));
    case OwnerField::Senha: return m_senha;
    case OwnerField::Distrito: return m_address->editor(QStringLiteral("Id_Distrito"));
    case OwnerField::TipoLogradouro: return m_address->editor(QStringLiteral("TIP_LOGR"));
    case OwnerField::CodLogradouro: return m_address->editor(QStringLiteral("NUM_LOGR"));
    case OwnerField::Seq: return m_address->editor(QStringLiteral("NUM_SEQU_LOGR"));
    case OwnerField::Logradouro: return m_address->editor(QStringLiteral("NOM_LOGR"));
    case OwnerField::Numero: return m_address->editor(QStringLiteral("NUM_IMOV_LOGR"));
    case OwnerField::Bairro: return m_address->editor(QStringLiteral("NUM_BAIR"));
    case OwnerField::None: break;
    }
    return nullptr;
}

void PropAnimalScreen::refuse(const Refusal &r)
{
    QWidget *w = editorFor(r.field);
    if (r.mark)
        FormHelpers::markRefused(w);
    else if (w)
        w->setFocus(Qt::OtherFocusReason);
    Services::messages().information(r.message, this);
}

void PropAnimalScreen::gravar()
{
    if (m_mode == Mode::Browsing)
        return;
    // Gravar straight from the tax number: the look-up its leave would run
    // comes first, and finding the person shows them instead of saving.
    const QString digits = Documents::digitsOnly(m_cpf->text());
    if (!digits.isEmpty() && digits != m_cpfChecked && cpfLeft())
        return;
    const bool inserting = m_mode == Mode::Inserting;
    OwnerEdit e = collect();
    OwnerStore store;
    try {
        if (const Refusal r = store.validate(e, inserting)) {
            refuse(r);
            return;
        }
    } catch (const DbError &err) {
        showError(err, this);
        return;
    }
    if (inserting) {
        int id = 0;
        try {
            id = store.insert(e);
        } catch (const OwnerRefused &r) {
            // Another desk registered the person a moment ago.
            refuse(r.refusal());
            return;
        } catch (const std::exception &err) {
            showError(err, this);
            return;
        }
        setWebFieldsEditable(false);
        setMode(Mode::Browsing);
        m_idAnimalLocalizar = 0;
        m_ids = {id};
        m_index = 0;
        try {
            showOwner(store.load(id));
        } catch (const DbError &err) {
            showError(err, this);
        }
        Services::messages().information(QStringLiteral("Proprietário cadastrado com sucesso.\rCadastre o(s) animal(s)."), this);
        m_tabs->setCurrentIndex(1);
        return;
    }
    try {
        if (!Sql::text(e.owner.id_usu_web).isEmpty() && store.blockState(e.owner.id_usu_web) == QLatin1String("WEB"))
            e.keepWebBlock = Services::messages().confirm(
                QStringLiteral("Este tutor está bloqueado pelo sistema web. \rDeseja manter este bloqueio?"), this);
        store.update(e);
    } catch (const OwnerRefused &r) {
        refuse(r.refusal());
        return;
    } catch (const StaleRecord &err) {
        // Another workstation changed what the clerk changed: the stored
        // owner is shown, to be changed again on top of it.
        setPasswordRequired(true);
        setWebFieldsEditable(false);
        setMode(Mode::Browsing);
        try {
            showOwner(store.load(m_idAtual));
        } catch (const DbError &reloadError) {
            showError(reloadError, this);
        }
        Services::messages().warning(err.text(), this);
        return;
    } catch (const DbError &err) {
        // Says why, e.g. that the owner was deleted at another desk.
        Services::messages().error(QStringLiteral("Um erro ocorreu ao tentar alterar o registro.\r") + err.text(), this);
        return;
    } catch (const std::exception &) {
        Services::messages().error(QStringLiteral("Um erro ocorreu ao tentar alterar o registro."), this);
        return;
    }
    setWebFieldsEditable(false);
    setMode(Mode::Browsing);
    try {
        showOwner(store.load(m_idAtual));
    } catch (const DbError &err) {
        showError(err, this);
    }
    Services::messages().information(kDone, this);
}

void PropAnimalScreen::cancelar()
{
    if (m_mode == Mode::Browsing)
        return;
    setPasswordRequired(true);
    setWebFieldsEditable(false);
    setMode(Mode::Browsing);
    try {
        showOwner(m_idAtual > 0 ? OwnerStore().load(m_idAtual) : std::nullopt);
    } catch (const DbError &) {
        // The block shown after a cancel is only a courtesy.
    }
}

void PropAnimalScreen::atualizar()
{
    if (m_mode != Mode::Browsing)
        return;
    setPasswordRequired(true);
    try {
        m_ids = OwnerStore().activeOwnerIds();
        m_address->narrowAreasByDistrict();
    } catch (const DbError &e) {
        showError(e, this);
        return;
    }
    m_index = -1;
    if (m_ids.isEmpty())
        showOwner(std::nullopt);
    else
        moveTo(0);
}

void PropAnimalScreen::excluir()
{
    if (m_mode != Mode::Browsing || m_idAtual <= 0)
        return;
    OwnerStore store;
    try {
        if (store.hasAnimals(m_idAtual)) {
            Services::messages().information(
                QStringLiteral("Consta registro de animal(s) para este proprietário!\rO registro não pode ser excluído."), this);
            return;
        }
        if (!Services::messages().confirm(QStringLiteral(" Você irá excluir definitivamente o proprietário ") + m_nome->text()
                                              + QStringLiteral("\r") + QStringLiteral(" deseje continuar?"),
                                          this))
            return;
        store.remove(m_idAtual);
    } catch (const DbError &e) {
        showError(e, this);
        return;
    }
    m_ids.removeAll(m_idAtual);
    m_index = -1;
    showOwner(std::nullopt);
    Services::messages().information(kDone, this);
}

void PropAnimalScreen::pesquisar()
{
    setPasswordRequired(true);
    if (!m_consultation)
        m_consultation = new OwnerConsultation(this, this);
    m_consultation->show();
    FocusFlow::focusFirst(m_consultation);
}

void PropAnimalScreen::imprimir()
{
    if (Sql::text(m_fields.at(QStringLiteral("Id_Proprietario"))->value()).isEmpty()) {
        Services::messages().information(QStringLiteral("Localize um tutor para gerar o relatório."), this);
        return;
    }
    ScreenCatalog::instance().openRecordReport(OwnerReport, m_idAtual, this);
}

void PropAnimalScreen::nameLeft()
{
    if (m_mode != Mode::Inserting || m_nome->text().trimmed().isEmpty())
        return;
    try {
        const std::optional<SameNameOwner> same = OwnerStore().activeOwnerNamed(m_nome->text());
        if (same && Services::messages().confirm(same->question(), this)) {
            setWebFieldsEditable(false);
            setMode(Mode::Browsing);
            loadOwner(same->id, 0);
        }
    } catch (const DbError &e) {
        showError(e, this);
    }
}

bool PropAnimalScreen::cpfLeft()
{
    // One look-up at a time: the box it shows must not let a second one
    // (queued by the same leave) stack another box on top of it.
    if (m_mode == Mode::Browsing || m_cpfChecking)
        return false;
    const QString digits = Documents::digitsOnly(m_cpf->text());
    if (digits.isEmpty())
        return false;
    QScopedValueRollback<bool> busy(m_cpfChecking, true);
    m_cpfChecked = digits;
    try {
        // The owner being altered does not count as already registered.
        const QVariant self = m_mode == Mode::Editing ? QVariant(m_idAtual) : QVariant();
        const std::optional<int> found = OwnerStore().ownerSharingBaseNumber(digits, self);
        if (!found)
            return false;
        Services::messages().information(QStringLiteral("Usuário já cadastrado!"), this);
        setWebFieldsEditable(false);
        setMode(Mode::Browsing);
        loadOwner(*found, 0);
        return true;
    } catch (const DbError &e) {
        showError(e, this);
        return false;
    }
}

bool PropAnimalScreen::eventFilter(QObject *watched, QEvent *event)
{
    // Only a real leave counts: a box or a drop-down taking the focus for a
    // moment is not the clerk leaving the field.
    const auto why = event->type() == QEvent::FocusOut ? static_cast<QFocusEvent *>(event)->reason() : Qt::OtherFocusReason;
    if (event->type() == QEvent::FocusOut && why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason) {
        if (watched == m_nome)
            QMetaObject::invokeMethod(this, [this] { nameLeft(); }, Qt::QueuedConnection);
        else if (watched == m_cpf)
            QMetaObject::invokeMethod(this, [this] { cpfLeft(); }, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void PropAnimalScreen::closeEvent(QCloseEvent *event)
{
    if (animalBusy(kFinishAnimalFirstClose)) {
        event->ignore();
        return;
    }
    if (m_mode != Mode::Browsing) {
        Services::messages().information(kFinishFirstClose, this);
        m_tabs->setCurrentIndex(0);
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

QString PropAnimalScreen::ownerName() const
{
    return m_current ? m_nome->text().trimmed() : QString();
}

void PropAnimalScreen::updateCaption()
{
    if (!m_current)
        return;
    int animals = 0;
    try {
        animals = Sql::scalar(mainConnection(), QStringLiteral("select count(*) from animal where Id_Proprietario = :id"),
                              {{QStringLiteral("id"), m_idAtual}})
                      .toInt();
    } catch (const DbError &e) {
        showError(e, this);
    }
    setWindowTitle(QStringLiteral("Prop.: ") + m_current->owner.Nome + QStringLiteral(" ele tem ") + QLatin1Char('"')
                   + QString::number(animals) + QLatin1Char('"') + QStringLiteral(" animal(s) em seu nome."));
}

bool PropAnimalScreen::animalBusy(const QString &message)
{
    if (!m_animal || !m_animal->isEditing())
        return false;
    // The animal being typed is shown, not the first tab: that is where the
    // pending work can be saved or cancelled.
    m_tabs->setCurrentIndex(1);
    Services::messages().information(message, this);
    return true;
}

QVariant PropAnimalScreen::chosenUnidade() const
{
    const QVariant v = m_fields.at(QStringLiteral("id_Unidade_Trabalho"))->value();
    return v.isValid() && !v.isNull() ? v : QVariant();
}
