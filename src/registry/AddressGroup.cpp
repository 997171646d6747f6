#include "registry/AddressGroup.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/Documents.h"
#include "ui/FormHelpers.h"
#include "registry/StreetDirectory.h"
#include "ui/Services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using FormHelpers::caption;
using FormHelpers::showError;

namespace {

QVariant intOrNull(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? QVariant(v) : QVariant();
}

QString intText(const QVariant &v)
{
    return v.isNull() ? QString() : QString::number(v.toLongLong());
}

} // namespace

AddressGroup::AddressGroup(Kind kind, QWidget *parent)
    : QGroupBox(kind == Kind::Owner ? QStringLiteral("Endereço") : QStringLiteral("Endereço do animal"), parent),
      m_kind(kind)
{
    setObjectName(kind == Kind::Owner ? QStringLiteral("grpEndereco") : QStringLiteral("grpEnderecoAnimal"));
    auto edit = [this](const char *name, int maxLength = 0) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        if (maxLength > 0)
            e->setMaxLength(maxLength);
        return e;
    };
    auto combo = [this](const char *name) {
        auto *c = new QComboBox(this);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    m_numLogr = edit("dbeNUM_LOGR");
    m_numLogr->setValidator(new QIntValidator(0, 999999999, m_numLogr));
    m_numLogr->setProperty("zapoOwnEnter", true);
    m_tipLogr = combo("dblTIP_LOGR");
    m_nomLogr = edit("dbeNOM_LOGR", 80);
    FormHelpers::upperCase(m_nomLogr);
    m_search = new QToolButton(this);
    m_search->setObjectName(QStringLiteral("bmpLocalizarLogradouro"));
    m_search->setText(QStringLiteral("..."));
    m_search->setToolTip(QStringLiteral("Localizar logradouro."));
    m_search->setAccessibleName(QStringLiteral("Localizar logradouro."));
    m_numImov = edit("dbeNUM_IMOV_LOGR");
    m_numImov->setValidator(new QIntValidator(0, 99999999, m_numImov));
    m_complemento = edit("dbeDES_CMPL_ENDR", 80);
    FormHelpers::upperCase(m_complemento);
    m_bairro = combo("dblNUM_BAIR");
    m_bairro->setMaxVisibleItems(kind == Kind::Owner ? 15 : 20);
    m_cep = edit("dbeNUM_CEP");
    m_cep->setInputMask(Documents::cepMask());
    // The whole postcode stays in sight when the window is narrowed.
    m_cep->setMinimumWidth(m_cep->fontMetrics().horizontalAdvance(QStringLiteral("00000-000")) + 16);
    if (kind == Kind::Owner)
        m_cep->setProperty("zapoOwnEnter", true);
    m_seq = edit("dbeNUM_SEQU_LOGR");
    FormHelpers::readOnlyGrey(m_seq);
    m_distrito = combo("dblId_Distrito");
    m_areaCode = edit("dbeCOD_AREA_ABRN");
    m_areaCode->setValidator(new QIntValidator(0, 9999, m_areaCode));
    m_area = combo("dblCOD_AREA_ABRN");
    m_area->setMaxVisibleItems(50);

    auto *g = new QGridLayout(this);
    g->addWidget(caption(QStringLiteral("Cód. Lograd.:"), m_numLogr, this), 0, 0);
    g->addWidget(m_numLogr, 0, 1);
    g->addWidget(caption(QStringLiteral("Tipo:"), m_tipLogr, this), 0, 2);
    g->addWidget(m_tipLogr, 0, 3);
    g->addWidget(caption(QStringLiteral("Logradouro:"), m_nomLogr, this), 0, 4);
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(m_nomLogr, 1);
    nameRow->addWidget(m_search);
    g->addLayout(nameRow, 0, 5);
    g->addWidget(caption(QStringLiteral("Número:"), m_numImov, this), 1, 0);
    g->addWidget(m_numImov, 1, 1);
    g->addWidget(caption(QStringLiteral("Complemento:"), m_complemento, this), 1, 2);
    g->addWidget(m_complemento, 1, 3);
    g->addWidget(caption(QStringLiteral("Bairro:"), m_bairro, this), 1, 4);
    g->addWidget(m_bairro, 1, 5);
    g->addWidget(caption(QStringLiteral("CEP:"), m_cep, this), 2, 0);
    g->addWidget(m_cep, 2, 1);
    g->addWidget(caption(QStringLiteral("Seq.:"), m_seq, this), 2, 2);
    g->addWidget(m_seq, 2, 3);
    g->addWidget(caption(QStringLiteral("Distrito:"), m_distrito, this), 2, 4);
    g->addWidget(m_distrito, 2, 5);
    g->addWidget(caption(QStringLiteral("Área:"), m_areaCode, this), 3, 0);
    g->addWidget(m_areaCode, 3, 1);
    g->addWidget(caption(QStringLiteral("Desc.:área:"), m_area, this), 3, 2);
    g->addWidget(m_area, 3, 3);
    if (kind == Kind::Owner) {
        m_oficial = new QCheckBox(QStringLiteral("Endereço oficial."), this);
        m_oficial->setObjectName(QStringLiteral("chkEnderecoOficial"));
        g->addWidget(m_oficial, 3, 5);
    }
    g->setColumnStretch(5, 1);
    g->setColumnStretch(3, 1);

    for (QWidget *w : {static_cast<QWidget *>(m_numLogr), static_cast<QWidget *>(m_nomLogr),
                       static_cast<QWidget *>(m_numImov), static_cast<QWidget *>(m_cep),
                       static_cast<QWidget *>(m_distrito), static_cast<QWidget *>(m_areaCode)})
        w->installEventFilter(this);

    connect(m_nomLogr, &QLineEdit::textEdited, this, [this] {
        m_nameTyped = true;
        // A name typed by hand carries no street until a lookup fills it.
        if (m_kind != Kind::Animal && m_editing) {
            m_numLogr->setText(QStringLiteral("0"));
            m_seq->setText(QStringLiteral("0"));
        }
    });
    connect(m_search, &QToolButton::clicked, this, [this] {
        emit streetSearchRequested(QStringLiteral("Logradouro"), m_nomLogr->text().trimmed(), false);
    });
    connect(m_distrito, &QComboBox::activated, this, [this] { narrowAreasByDistrict(); });
    connect(m_area, &QComboBox::activated, this, [this] {
        m_areaCode->setText(intText(m_area->currentData()));
    });
    // A street code typed by hand narrows the neighbourhoods once it is left.
    connect(m_numLogr, &QLineEdit::editingFinished, this, [this] {
        if (m_editing && !m_filling && m_kind == Kind::Owner && m_numLogr->isModified()) {
            m_numLogr->setModified(false);
            refreshNeighbourhoods();
        }
    });
    setEditing(false);
}

void AddressGroup::reportError(const std::exception &e)
{
    const auto *db = dynamic_cast<const DbError *>(&e);
    Services::messages().error(db ? db->text() : QString::fromLocal8Bit(e.what()), this);
}

void AddressGroup::loadLists()
{
    StreetDirectory dir;
    const QString type = m_tipLogr->currentData().toString();
    m_tipLogr->clear();
    m_tipLogr->addItem(QString(), QString());
    try {
        for (const auto &t : dir.streetTypes())
            m_tipLogr->addItem(t.description, t.code);
    } catch (const DbError &) {
        // A street database without its type list still lets people work.
    }
    setStreetType(type);

    const QVariant district = m_distrito->currentData();
    m_distrito->clear();
    m_distrito->addItem(QString(), QVariant());
    try {
        QSqlQuery q = Sql::exec(mainConnection(),
                                QStringLiteral("select Id_Distrito, Nome from distrito where ind_status = 'ATIVO' order by Nome"));
        while (q.next())
            m_distrito->addItem(Sql::text(q.value(1)), q.value(0));
    } catch (const DbError &e) {
        reportError(e);
    }
    setDistrict(district);
    refreshNeighbourhoods();
    narrowAreasByDistrict();
}

void AddressGroup::setStreetType(const QString &code)
{
    // Case-insensitive, as the street database spells types either way; a
    // type the list lacks leaves the box empty rather than showing another.
    int found = 0;
    for (int i = 1; i < m_tipLogr->count(); ++i)
        if (m_tipLogr->itemData(i).toString().compare(code.trimmed(), Qt::CaseInsensitive) == 0) {
            found = i;
            break;
        }
    m_tipLogr->setCurrentIndex(found);
}

void AddressGroup::setDistrict(const QVariant &id)
{
    // The list offers the active districts; a stored one that is inactive
    // today is shown (and kept) while its address is, and offered to no other.
    constexpr int kStoredOnly = Qt::UserRole + 1;
    for (int i = m_distrito->count() - 1; i > 0; --i)
        if (m_distrito->itemData(i, kStoredOnly).toBool())
            m_distrito->removeItem(i);
    int found = 0;
    for (int i = 1; i < m_distrito->count(); ++i)
        if (!id.isNull() && m_distrito->itemData(i).toString() == id.toString())
            found = i;
    if (found == 0 && id.isValid() && !id.isNull() && !Sql::text(id).isEmpty()) {
        QString name;
        try {
            name = Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Nome from distrito where Id_Distrito = :d"),
                                         {{QStringLiteral("d"), id}}));
        } catch (const DbError &) {
        }
        m_distrito->addItem(name.isEmpty() ? Sql::text(id) : name, id);
        found = m_distrito->count() - 1;
        m_distrito->setItemData(found, true, kStoredOnly);
    }
    m_distrito->setCurrentIndex(found);
}

void AddressGroup::selectNeighbourhood(const QVariant &num, const QString &name)
{
    if (num.isNull() || Sql::text(num).isEmpty()) {
        m_bairro->setCurrentIndex(0);
        return;
    }
    int i = m_bairro->findData(num.toInt());
    if (i < 0) {
        // Not among the street's neighbourhoods: still show what is stored.
        m_bairro->addItem(name.isEmpty() ? QString::number(num.toInt()) : name, num.toInt());
        i = m_bairro->count() - 1;
    }
    m_bairro->setCurrentIndex(i);
}

void AddressGroup::selectArea(const QVariant &code)
{
    m_areaCode->setText(intText(code));
    const int i = code.isNull() ? -1 : m_area->findData(code.toInt());
    m_area->setCurrentIndex(i < 0 ? 0 : i);
}

void AddressGroup::refreshNeighbourhoods()
{
    const QVariant current = m_bairro->currentData();
    const QString currentName = m_bairro->currentText();
    m_bairro->clear();
    m_bairro->addItem(QString(), QVariant());
    try {
        for (const auto &n : StreetDirectory().neighbourhoodsOfStreet(intOrNull(m_numLogr->text())))
            m_bairro->addItem(n.name, n.num);
    } catch (const DbError &e) {
        reportError(e);
    }
    selectNeighbourhood(current, currentName);
}

void AddressGroup::narrowAreasByDistrict()
{
    const QVariant code = intOrNull(m_areaCode->text());
    m_area->clear();
    m_area->addItem(QString(), QVariant());
    try {
        for (const auto &a : StreetDirectory().coverageAreas(m_distrito->currentData()))
            m_area->addItem(a.description, a.code);
    } catch (const DbError &e) {
        reportError(e);
    }
    const int i = code.isNull() ? -1 : m_area->findData(code.toInt());
    m_area->setCurrentIndex(i < 0 ? 0 : i);
}

void AddressGroup::setAddress(const Endereco &e)
{
    m_filling = true;
    m_loaded = e;
    m_numLogr->setText(intText(e.NUM_LOGR));
    setStreetType(e.TIP_LOGR);
    m_nomLogr->setText(e.NOM_LOGR);
    m_numImov->setText(intText(e.NUM_IMOV_LOGR));
    m_complemento->setText(e.DES_CMPL_ENDR);
    m_cep->setText(e.NUM_CEP);
    m_seq->setText(intText(e.NUM_SEQU_LOGR));
    setDistrict(e.Id_Distrito);
    m_filling = false;
    refreshNeighbourhoods();
    selectNeighbourhood(e.NUM_BAIR, e.NOM_BAIR);
    m_areaCode->setText(intText(e.COD_AREA_ABRN));
    narrowAreasByDistrict();
    if (m_oficial)
        m_oficial->setChecked(e.Ind_Endereco_Informado == QLatin1String("SIM"));
    m_nameTyped = false;
}

Endereco AddressGroup::address() const
{
    Endereco e = m_loaded;
    e.NUM_LOGR = intOrNull(m_numLogr->text());
    e.TIP_LOGR = m_tipLogr->currentData().toString();
    e.NOM_LOGR = m_nomLogr->text().trimmed();
    e.NUM_IMOV_LOGR = intOrNull(m_numImov->text());
    e.DES_CMPL_ENDR = m_complemento->text().trimmed();
    e.NUM_BAIR = m_bairro->currentData().isNull() ? QVariant() : QVariant(m_bairro->currentData().toInt());
    if (!e.NUM_BAIR.isNull())
        e.NOM_BAIR = m_bairro->currentText();
    e.NUM_CEP = Documents::digitsOnly(m_cep->text());
    e.NUM_SEQU_LOGR = intOrNull(m_seq->text());
    e.Id_Distrito = m_distrito->currentData().isNull() ? QVariant() : QVariant(m_distrito->currentData().toInt());
    e.COD_AREA_ABRN = intOrNull(m_areaCode->text());
    if (m_oficial)
        e.Ind_Endereco_Informado = m_oficial->isChecked() ? QStringLiteral("SIM") : QStringLiteral("NAO");
    return e;
}

void AddressGroup::clear()
{
    setAddress(Endereco());
}

void AddressGroup::setEditing(bool on)
{
    m_editing = on;
    for (QLineEdit *e : {m_numLogr, m_nomLogr, m_numImov, m_complemento, m_cep, m_areaCode})
        e->setReadOnly(!on);
    for (QComboBox *c : {m_tipLogr, m_bairro, m_distrito, m_area})
        c->setEnabled(on);
    m_search->setEnabled(on);
    if (m_oficial)
        m_oficial->setEnabled(on);
}

void AddressGroup::setOfficial(bool on)
{
    if (m_oficial)
        m_oficial->setChecked(on);
}

bool AddressGroup::isOfficial() const
{
    return m_oficial && m_oficial->isChecked();
}

void AddressGroup::copyLocationFrom(const Endereco &o)
{
    Endereco e = address();
    e.Id_Distrito = o.Id_Distrito;
    e.COD_AREA_ABRN = o.COD_AREA_ABRN;
    e.NUM_LOGR = o.NUM_LOGR;
    e.NUM_SEQU_LOGR = o.NUM_SEQU_LOGR;
    e.TIP_LOGR = o.TIP_LOGR;
    e.NOM_LOGR = o.NOM_LOGR;
    e.NUM_IMOV_LOGR = o.NUM_IMOV_LOGR;
    e.DES_CMPL_ENDR = o.DES_CMPL_ENDR;
    e.NUM_BAIR = o.NUM_BAIR;
    e.NOM_BAIR = o.NOM_BAIR;
    e.NUM_CEP = o.NUM_CEP;
    e.num_locl = o.num_locl;
    e.nom_locl = o.nom_locl;
    e.End_X = o.End_X;
    e.End_Y = o.End_Y;
    setAddress(e);
}

void AddressGroup::applyStreet(int numLogr, const QString &nomLogr, const QString &tipLogr, int seq,
                               const QVariant &numBair, const QString &nomBair)
{
    if (!m_editing)
        return;
    m_filling = true;
    m_numLogr->setText(QString::number(numLogr));
    m_nomLogr->setText(nomLogr);
    setStreetType(tipLogr);
    m_seq->setText(QString::number(seq));
    m_filling = false;
    refreshNeighbourhoods();
    if (!Sql::text(numBair).isEmpty())
        selectNeighbourhood(numBair, nomBair);
    m_nameTyped = false;
}

QWidget *AddressGroup::editor(const QString &column) const
{
    const QString c = column.toUpper();
    if (c == QLatin1String("NUM_LOGR")) return m_numLogr;
    if (c == QLatin1String("TIP_LOGR")) return m_tipLogr;
    if (c == QLatin1String("NOM_LOGR")) return m_nomLogr;
    if (c == QLatin1String("NUM_IMOV_LOGR")) return m_numImov;
    if (c == QLatin1String("DES_CMPL_ENDR")) return m_complemento;
    if (c == QLatin1String("NUM_BAIR")) return m_bairro;
    if (c == QLatin1String("NUM_CEP")) return m_cep;
    if (c == QLatin1String("NUM_SEQU_LOGR")) return m_seq;
    if (c == QLatin1String("ID_DISTRITO")) return m_distrito;
    if (c == QLatin1String("COD_AREA_ABRN")) return m_areaCode;
    if (c == QLatin1String("IND_ENDERECO_INFORMADO")) return m_oficial;
    return nullptr;
}

void AddressGroup::lookupStreetCode()
{
    const QVariant code = intOrNull(m_numLogr->text());
    if (!m_editing || code.isNull())
        return;
    try {
        const QList<StreetDirectory::Street> found = StreetDirectory().streetsByCode(code.toInt());
        if (found.size() == 1) {
            m_filling = true;
            m_numLogr->setText(QString::number(found.first().numLogr));
            m_seq->setText(QStringLiteral("1"));
            m_nomLogr->setText(found.first().name);
            // The street's type and neighbourhood come along, so that the
            // address is complete without retyping the name.
            const auto details = StreetDirectory().streetDetails(found.first().numLogr, found.first().name);
            if (details)
                setStreetType(details->type);
            m_filling = false;
            m_nameTyped = false;
            refreshNeighbourhoods();
            if (details)
                selectNeighbourhood(details->numBair, details->nomBair);
            if (m_kind == Kind::Owner)
                m_nomLogr->setFocus();
        } else {
            emit streetSearchRequested(QStringLiteral("Núm lograd."), m_numLogr->text().trimmed(), true);
        }
    } catch (const DbError &e) {
        reportError(e);
    }
}

void AddressGroup::lookupStreetName()
{
    const QString name = m_nomLogr->text().trimmed();
    if (!m_editing || name.isEmpty() || !m_nameTyped)
        return;
    m_nameTyped = false;
    try {
        const std::optional<StreetDirectory::Street> s = StreetDirectory().streetByName(name);
        if (!s) {
            emit streetSearchRequested(QStringLiteral("Logradouro"), name, true);
            return;
        }
        m_filling = true;
        m_numLogr->setText(QString::number(s->numLogr));
        m_seq->setText(QString::number(s->seq));
        setStreetType(s->type);
        m_filling = false;
        refreshNeighbourhoods();
        selectNeighbourhood(s->numBair, s->nomBair);
    } catch (const DbError &e) {
        reportError(e);
    }
}

void AddressGroup::lookupPostalCodeOfHouse()
{
    const QVariant street = intOrNull(m_numLogr->text());
    const QVariant house = intOrNull(m_numImov->text());
    if (!m_editing || street.isNull() || house.isNull())
        return;
    try {
        m_cep->setText(StreetDirectory().postalCodeFor(street.toInt(), house.toInt()));
    } catch (const DbError &e) {
        reportError(e);
    }
}

void AddressGroup::lookupPostalCode()
{
    if (!m_editing)
        return;
    const QString digits = Documents::digitsOnly(m_cep->text());
    if (digits.isEmpty())
        return;
    if (digits.size() != 8) {
        Services::messages().information(QStringLiteral("CEP invalido!"), this);
        return;
    }
    try {
        StreetDirectory dir;
        const std::optional<StreetDirectory::Stretch> stretch = dir.stretchByPostalCode(digits);
        if (!stretch) {
            Services::messages().information(QStringLiteral("CEP não encontrado: ") + m_cep->text(), this);
            m_cep->clear();
            return;
        }
        if (!Services::messages().confirm(
                QStringLiteral("Endereço do CEP correspondente localizado.\rDeseja preencher os campos?"), this))
            return;
        const std::optional<StreetDirectory::Street> s = dir.currentName(stretch->numLogr);
        if (!s) {
            Services::messages().information(QStringLiteral("Logradouro não encontrado!"), this);
            return;
        }
        m_filling = true;
        setStreetType(s->type);
        m_numLogr->setText(QString::number(s->numLogr));
        m_seq->setText(QString::number(s->seq));
        m_nomLogr->setText(s->name);
        m_filling = false;
        m_nameTyped = false;
        refreshNeighbourhoods();
    } catch (const DbError &e) {
        reportError(e);
    }
}

void AddressGroup::checkTypedArea()
{
    if (!m_editing || m_kind != Kind::Owner)
        return;
    const QVariant code = intOrNull(m_areaCode->text());
    if (code.isNull())
        return;
    const int i = m_area->findData(code.toInt());
    if (i > 0) {
        m_area->setCurrentIndex(i);
        return;
    }
    m_area->setCurrentIndex(0);
    Services::messages().information(
        m_distrito->currentData().isNull()
            ? QStringLiteral("Área não encontrada!")
            : QStringLiteral("Área não encontrada!\rVerifica o a regional selecionada contem esta área."),
        this);
}

bool AddressGroup::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(event);
        const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        if (enter && watched == m_numLogr && m_kind == Kind::History) {
            emit streetSearchRequested(QStringLiteral("Núm lograd."), m_numLogr->text().trimmed(), true);
            return true;
        }
        if (enter && watched == m_numLogr) {
            lookupStreetCode();
            if (!m_nomLogr->hasFocus())
                FormHelpers::focusNext(m_numLogr);
            return true;
        }
        if (enter && watched == m_cep && m_kind != Kind::Animal) {
            lookupPostalCode();
            FormHelpers::focusNext(m_cep);
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        if (watched == m_nomLogr)
            lookupStreetName();
        else if (watched == m_numImov && m_kind != Kind::History)
            lookupPostalCodeOfHouse();
        else if (watched == m_cep && m_kind == Kind::Animal)
            lookupPostalCode();
        else if (watched == m_areaCode)
            checkTypedArea();
    }
    return QGroupBox::eventFilter(watched, event);
}
