#include "registry/Endereco_AnimalScreen.h"
#include "db/RowChange.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "registry/AddressGroup.h"
#include "registry/AnimalSearch.h"
#include "ui/DateLineEdit.h"
#include "ui/FormHelpers.h"
#include "registry/StreetDirectory.h"
#include "registry/StreetSearchWindow.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/RecordKeys.h"
#include "ui/Services.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

Endereco_AnimalScreen::Exporter &exporter()
{
    static Endereco_AnimalScreen::Exporter e;
    return e;
}

const QString Saved = QStringLiteral("Operação realizada com sucesso!");

struct HistoryColumn {
    const char *title;
    const char *field;
};
const HistoryColumn kHistory[] = {
    {"Data inicial do endereço", "data_inicial_end"}, {"Código", "Id_Endereco"}, {"Cód. área", "COD_AREA_ABRN"},
    {"Nº Lograd.", "NUM_LOGR"}, {"Seg.", "NUM_SEQU_LOGR"}, {"Tipo lograd.", "TIP_LOGR"}, {"Logradouro", "NOM_LOGR"},
    {"Nº Imóvel", "NUM_IMOV_LOGR"}, {"Complemento", "DES_CMPL_ENDR"}, {"Bairro", "NOM_BAIR"}, {"CEP", "NUM_CEP"},
    {"Localidade", "nom_locl"},
};
constexpr int kHistoryColumns = int(sizeof(kHistory) / sizeof(kHistory[0]));

const QString kNewestFirst = QStringLiteral(
    "case when b.data_inicial_end is null then 1 else 0 end, b.data_inicial_end desc, a.id_endereco desc");

// Dates may come back as text (SQLite): read them as dates.
QString cellText(const QVariant &v, bool isDate)
{
    if (v.isNull() || !v.isValid())
        return {};
    if (isDate) {
        const QDateTime t = v.toDateTime();
        return t.isValid() ? Formats::date(t.date()) : Sql::text(v);
    }
    return Sql::text(v);
}

bool isRefused(QAction *a)
{
    return a->property("zapoRefused").toBool();
}

} // namespace

void Endereco_AnimalScreen::setExporter(Exporter e)
{
    exporter() = std::move(e);
}

QString Endereco_AnimalScreen::exportStatement()
{
    return QStringLiteral(
        "select a.Id_Animal, c.nome as nome_raca, a.Nome, a.Sexo, a.Esterilizado, a.Num_Microchip, a.Cor, a.Sinais, "
        "a.Num_Pedigree, b.Id_Proprietario, b.Nome as nome_Proprietario, b.Telefone_Residencial, b.Telefone_Celular, "
        "b.Telefone_Recado, b.Num_CPF_CNPJ, b.Num_CI from animal a "
        "join proprietario b on (a.id_proprietario = b.id_proprietario) "
        "left join raca c on (a.id_raca = c.id_raca) order by a.Id_Animal");
}

Endereco_AnimalScreen::Endereco_AnimalScreen(QWidget *parent, Connection *c) : QWidget(parent), m_c(c ? *c : mainConnection())
{
    setObjectName(QStringLiteral("frmEndereco_Animal"));
    setWindowTitle(QStringLiteral("024 - Endereço do animal."));
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pgcEndereco"));
    auto *animalTab = new QWidget(m_tabs);
    animalTab->setObjectName(QStringLiteral("tabAnimal"));
    auto *historyTab = new QWidget(m_tabs);
    historyTab->setObjectName(QStringLiteral("tabHistorico"));
    m_tabs->addTab(animalTab, QStringLiteral("Animal"));
    m_tabs->addTab(historyTab, QStringLiteral("Histórico de endereços do animal."));

    auto *bar = new QToolBar(animalTab);
    bar->setObjectName(QStringLiteral("tlbEndereco"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    using R = RecordCommand;
    FormHelpers::addToolbarActions(
        this, bar,
        {{"actAppend", QStringLiteral("Novo"), recordKeys(R::Novo), [this] { novo(); }},
         {"actEdit", QStringLiteral("Alterar"), recordKeys(R::Alterar), [this] { alterar(); }},
         {"actDelete", QStringLiteral("Excluir"), recordKeys(R::Excluir), [this] { excluir(); }},
         {"actRefresh", QStringLiteral("Atualizar"), recordKeys(R::Atualizar), [this] { atualizar(); }},
         {"actPost", QStringLiteral("Gravar"), recordKeys(R::Gravar), [this] { gravar(); }},
         {"actCancel", QStringLiteral("Cancelar"), recordKeys(R::Cancelar), [this] { cancelar(); }},
         {},
         {"actPesquisar", QStringLiteral("&Pesquisar..."), {}, [this] { pesquisar(); }},
         {"actExportacao", QStringLiteral("Exportação"), {}, [this] { exportar(); }}},
        m_actions);
    // Atualizar answers its keys only; its button is not shown.
    bar->removeAction(m_actions.value(QStringLiteral("actRefresh")));
    m_actions.value(QStringLiteral("actExportacao"))->setVisible(bool(exporter()));

    m_ownerCode = new QLineEdit(animalTab);
    m_ownerCode->setObjectName(QStringLiteral("dbeIdProprietario"));
    m_ownerName = new QLineEdit(animalTab);
    m_ownerName->setObjectName(QStringLiteral("dbeProprietario"));
    m_animalCode = new QLineEdit(animalTab);
    m_animalCode->setObjectName(QStringLiteral("dbeIdAnimal"));
    for (QLineEdit *e : {m_ownerCode, m_ownerName, m_animalCode}) {
        e->setReadOnly(true);
        FormHelpers::readOnlyGrey(e);
    }
    auto *find = new QToolButton(animalTab);
    find->setObjectName(QStringLiteral("bmpPesquisaAnimal"));
    find->setText(QStringLiteral("..."));
    find->setAccessibleName(QStringLiteral("Pesquisar animal"));
    connect(find, &QToolButton::clicked, this, &Endereco_AnimalScreen::pesquisar);
    m_animals = new QComboBox(animalTab);
    m_animals->setObjectName(QStringLiteral("dblAnimal"));
    connect(m_animals, &QComboBox::currentIndexChanged, this, [this] { animalChosen(); });

    m_group = new AddressGroup(AddressGroup::Kind::History, animalTab);
    connect(m_group, &AddressGroup::streetSearchRequested, this, &Endereco_AnimalScreen::openStreetSearch);
    m_date = new DateLineEdit(animalTab);
    m_date->setObjectName(QStringLiteral("dbeDataInicialEnd"));
    m_date->setMaximumWidth(110);

    auto *top = new QGridLayout;
    top->addWidget(FormHelpers::caption(QStringLiteral("Cód. prop.:"), m_ownerCode, animalTab), 0, 0);
    top->addWidget(m_ownerCode, 0, 1);
    top->addWidget(FormHelpers::caption(QStringLiteral("Proprietário:"), m_ownerName, animalTab), 0, 2);
    top->addWidget(m_ownerName, 0, 3);
    top->addWidget(find, 0, 4);
    top->addWidget(FormHelpers::caption(QStringLiteral("Cód. animal:"), m_animalCode, animalTab), 1, 0);
    top->addWidget(m_animalCode, 1, 1);
    top->addWidget(FormHelpers::caption(QStringLiteral("Animal:"), m_animals, animalTab), 1, 2);
    top->addWidget(m_animals, 1, 3);
    top->setColumnStretch(3, 1);
    auto *dateRow = new QHBoxLayout;
    dateRow->addWidget(FormHelpers::caption(QStringLiteral("Data:"), m_date, animalTab));
    dateRow->addWidget(m_date);
    dateRow->addStretch(1);
    auto *al = new QVBoxLayout(animalTab);
    al->addLayout(top);
    al->addWidget(bar);
    al->addWidget(m_group);
    al->addLayout(dateRow);
    al->addStretch(1);

    m_model = new QStandardItemModel(0, kHistoryColumns, this);
    for (int i = 0; i < kHistoryColumns; ++i)
        m_model->setHeaderData(i, Qt::Horizontal, QString::fromUtf8(kHistory[i].title));
    m_grid = makeReadOnlyGrid(historyTab, m_model, QStringLiteral("dbgHistorico"), QStringLiteral("Histórico de endereços do animal."));
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &Endereco_AnimalScreen::sortHistory);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &i) {
        if (m_state == State::Browsing && i.isValid()) {
            m_selectedKey = m_model->item(i.row(), 1)->data(Qt::UserRole);
            showHistoryRow(i.row());
        }
    });
    auto *hl = new QVBoxLayout(historyTab);
    hl->addWidget(m_grid);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        if (m_state == State::Browsing && currentAnimalId().isValid())
            reloadHistory(m_historyOrder);
    });

    auto *status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(status);
        m_panels[i]->setObjectName(QStringLiteral("stbPainel%1").arg(i));
        status->addWidget(m_panels[i], i == 0 ? 2 : 1);
    }
    auto *main = new QVBoxLayout(this);
    main->addWidget(m_tabs, 1);
    main->addWidget(status);

    try {
        m_group->loadLists();
    } catch (const std::exception &e) {
        FormHelpers::showError(e, this);
    }
    setState(State::Browsing);
    resize(820, 520);
}

QString Endereco_AnimalScreen::statusText(int panel) const
{
    return panel >= 0 && panel < 3 ? m_panels[panel]->text() : QString();
}

QVariant Endereco_AnimalScreen::currentAnimalId() const
{
    const QVariant v = m_animals->currentIndex() >= 0 ? m_animals->currentData() : QVariant();
    return v.isValid() && !v.isNull() ? v : QVariant();
}

void Endereco_AnimalScreen::setState(State s)
{
    m_state = s;
    const bool browsing = s == State::Browsing;
    const bool current = browsing && m_model->rowCount() > 0;
    auto set = [this](const char *name, bool on) {
        QAction *a = m_actions.value(QString::fromLatin1(name));
        if (a && !isRefused(a))
            a->setEnabled(on);
    };
    set("actAppend", browsing);
    set("actEdit", current);
    set("actDelete", current);
    set("actRefresh", browsing);
    set("actPost", !browsing);
    set("actCancel", !browsing);
    set("actPesquisar", browsing);
    m_group->setEditing(!browsing);
    m_date->setReadOnly(browsing);
    m_animals->setEnabled(browsing);
}

void Endereco_AnimalScreen::pesquisar()
{
    AnimalSearchWindow w(this);
    w.chosen = [this](int owner, int animal) {
        loadOwner(owner, animal);
        novo();
    };
    w.exec();
}

void Endereco_AnimalScreen::loadOwner(int idProprietario, int idAnimal)
{
    try {
        m_idProprietario = idProprietario;
        m_ownerCode->setText(QString::number(idProprietario));
        m_ownerName->setText(Sql::text(Sql::scalar(m_c, QStringLiteral("select nome from proprietario where id_proprietario = :id"),
                                                   {{QStringLiteral("id"), idProprietario}})));
        const QSignalBlocker block(m_animals);
        m_animals->clear();
        QSqlQuery q = Sql::exec(m_c, QStringLiteral("select id_animal, nome from animal where id_proprietario = :id order by id_animal"),
                                {{QStringLiteral("id"), idProprietario}});
        while (q.next())
            m_animals->addItem(Sql::text(q.value(1)), q.value(0));
        q = QSqlQuery();
        const int i = m_animals->findData(idAnimal);
        m_animals->setCurrentIndex(i >= 0 ? i : (m_animals->count() ? 0 : -1));
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
    animalChosen();
}

void Endereco_AnimalScreen::animalChosen()
{
    const QVariant id = currentAnimalId();
    m_animalCode->setText(id.isValid() ? id.toString() : QString());
    m_selectedKey = QVariant();
    reloadHistory();
}

void Endereco_AnimalScreen::reloadHistory(const QString &orderBy)
{
    m_model->removeRows(0, m_model->rowCount());
    const QVariant animal = currentAnimalId();
    if (animal.isValid()) {
        QStringList cols;
        for (const HistoryColumn &h : kHistory)
            cols << QStringLiteral("b.") + QString::fromLatin1(h.field);
        // Newest first, in time; addresses recorded without a date after
        // the dated ones, by key.
        QSqlQuery q = Sql::exec(m_c,
                                QStringLiteral("select %1 from endereco_animal a join endereco b on (a.id_endereco = b.id_endereco) "
                                               "where a.id_animal = :a order by %2")
                                    .arg(cols.join(QStringLiteral(", ")),
                                         orderBy.isEmpty() ? kNewestFirst : orderBy + QStringLiteral(", a.id_endereco desc")),
                                {{QStringLiteral("a"), animal}});
        while (q.next()) {
            QList<QStandardItem *> row;
            for (int i = 0; i < kHistoryColumns; ++i) {
                auto *item = new QStandardItem(cellText(q.value(i), i == 0));
                if (i == 1)
                    item->setData(q.value(1), Qt::UserRole);
                row << item;
            }
            m_model->appendRow(row);
        }
    }
    m_panels[0]->setText(QString::number(m_model->rowCount()));
    if (m_model->rowCount() > 0) {
        int row = rowOfKey(m_selectedKey);
        if (row < 0)
            row = 0;
        m_selectedKey = m_model->item(row, 1)->data(Qt::UserRole);
        {
            // Standing on the row again is no new choice of the clerk's.
            const QSignalBlocker block(m_grid->selectionModel());
            m_grid->setCurrentIndex(m_model->index(row, 0));
        }
        showHistoryRow(row);
    } else {
        m_selectedKey = QVariant();
        m_shown = Endereco();
        m_group->clear();
        m_date->clear();
    }
    setState(m_state);
}

int Endereco_AnimalScreen::rowOfKey(const QVariant &key) const
{
    if (!key.isValid() || key.isNull())
        return -1;
    for (int r = 0; r < m_model->rowCount(); ++r)
        if (m_model->item(r, 1)->data(Qt::UserRole).toInt() == key.toInt())
            return r;
    return -1;
}

void Endereco_AnimalScreen::showHistoryRow(int row)
{
    const QVariant id = m_model->item(row, 1)->data(Qt::UserRole);
    try {
        const std::optional<Endereco> e = AddressStore::load(m_c, id);
        m_shown = e.value_or(Endereco());
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
        return;
    }
    m_group->setAddress(m_shown);
    const QDateTime d = m_shown.data_inicial_end.toDateTime();
    m_date->setDate(m_shown.data_inicial_end.isNull() ? QDate() : d.date());
}

void Endereco_AnimalScreen::sortHistory(int column)
{
    if (column < 0 || column >= kHistoryColumns)
        return;
    try {
        m_historyOrder = QStringLiteral("b.") + QString::fromLatin1(kHistory[column].field);
        reloadHistory(m_historyOrder);
    } catch (const DbError &) {
        m_historyOrder.clear();
        Services::messages().information(QStringLiteral("Não foi possível ordenar por este campo."), this);
        try {
            reloadHistory();
        } catch (const DbError &) {
        }
    }
}

void Endereco_AnimalScreen::novo()
{
    m_shown = Endereco();
    m_group->clear();
    m_date->clear();
    setState(State::Inserting);
    m_tabs->setCurrentIndex(0);
    focusAddress();
}

void Endereco_AnimalScreen::alterar()
{
    if (m_model->rowCount() == 0)
        return;
    setState(State::Editing);
    m_tabs->setCurrentIndex(0);
    focusAddress();
}

void Endereco_AnimalScreen::focusAddress()
{
    // The clerk types the street code next, whether Novo came from the
    // toolbar or from the animal search.
    if (QWidget *first = m_group->editor(QStringLiteral("NUM_LOGR")))
        first->setFocus(Qt::OtherFocusReason);
}

void Endereco_AnimalScreen::cancelar()
{
    setState(State::Browsing);
    reloadHistory(m_historyOrder);
}

bool Endereco_AnimalScreen::checkInteger(const QString &column, QVariant *out)
{
    auto *e = qobject_cast<QLineEdit *>(m_group->editor(column));
    const QString text = e ? e->text().trimmed() : QString();
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok) {
        Services::messages().error(QStringLiteral("'") + text + QStringLiteral("' não é um valor inteiro válido."), this);
        FormHelpers::markRefused(e);
        return false;
    }
    *out = v;
    return true;
}

void Endereco_AnimalScreen::gravar()
{
    if (m_state == State::Browsing)
        return;
    // "Gravar" from its key leaves the focus in the field: a date still
    // being typed is read, or refused by its name, before anything else.
    if (!m_date->check())
        return;
    const QVariant animal = currentAnimalId();
    if (!animal.isValid()) {
        Services::messages().information(QStringLiteral("Falta selecionar o animal"), this);
        return;
    }
    QVariant numLogr, numImov;
    if (!checkInteger(QStringLiteral("NUM_LOGR"), &numLogr) || !checkInteger(QStringLiteral("NUM_IMOV_LOGR"), &numImov))
        return;
    // The starting date may stay blank: null, typed as a date for the
    // engines that want to know.
    QVariant dataInicial(QMetaType(QMetaType::QDate));
    if (!m_date->isBlank()) {
        const QDate d = m_date->date();
        if (!d.isValid()) {
            Services::messages().error(QStringLiteral("'") + m_date->text() + QStringLiteral("' não é uma data válida."), this);
            FormHelpers::markRefused(m_date);
            return;
        }
        dataInicial = d;
    }
    Endereco e = m_group->address();
    e.NUM_LOGR = numLogr;
    e.NUM_IMOV_LOGR = numImov;
    e.data_inicial_end = dataInicial;
    const bool inserting = m_state == State::Inserting;
    // The position follows the street and house; an alteration of anything
    // else leaves it as stored. It never stops a save: anything wrong gives 0, 0.
    if (inserting || numLogr.toInt() != m_shown.NUM_LOGR.toInt() || numImov.toInt() != m_shown.NUM_IMOV_LOGR.toInt()
        || m_shown.NUM_LOGR.isNull() || m_shown.NUM_IMOV_LOGR.isNull()) {
        QPointF at(0, 0);
        try {
            at = StreetDirectory(m_c).houseCoordinates(numLogr.toInt(), numImov.toInt());
        } catch (const std::exception &) {
        }
        e.End_X = at.x();
        e.End_Y = at.y();
    } else {
        e.End_X = m_shown.End_X;
        e.End_Y = m_shown.End_Y;
    }
    const QVariant user = usuarioLogado().IdUsuario.toInt();
    QVariant newKey;
    try {
        Transaction tx(m_c);
        const QDateTime now = serverNow(m_c);
        if (inserting) {
            e.Id_Endereco = QVariant();
            e.Inserido_Por = user;
            e.Inserido_Em = now;
            const int key = AddressStore::insert(m_c, e, AddressStore::Columns::Animal);
            Sql::exec(m_c, QStringLiteral("insert into endereco_animal (id_animal, id_endereco) values (:a, :e)"),
                      {{QStringLiteral("a"), animal}, {QStringLiteral("e"), key}});
            newKey = key;
        } else {
            e.Modificado_Por = user;
            e.Modificado_Em = now;
            AddressStore::update(m_c, e, m_shown, AddressStore::Columns::Animal);
        }
        tx.commit();
    } catch (const StaleRecord &err) {
        // Another workstation changed what the clerk changed: the stored
        // address is shown, to be changed again on top of it.
        setState(State::Browsing);
        try {
            reloadHistory(m_historyOrder);
        } catch (const DbError &reloadError) {
            FormHelpers::showError(reloadError, this);
        }
        Services::messages().warning(err.text(), this);
        return;
    } catch (const DbError &err) {
        FormHelpers::showError(err, this);
        return;
    }
    if (newKey.isValid())
        m_selectedKey = newKey;
    setState(State::Browsing);
    reloadHistory(m_historyOrder);
    Services::messages().information(Saved, this);
}

void Endereco_AnimalScreen::excluir()
{
    const QVariant animal = currentAnimalId();
    Messages &msg = Services::messages();
    const int at = rowOfKey(m_selectedKey);
    try {
        const int links = animal.isValid() ? Sql::scalar(m_c, QStringLiteral("select count(*) from endereco_animal where id_animal = :a"),
                                                         {{QStringLiteral("a"), animal}})
                                                 .toInt()
                                           : 0;
        if (links == 0 || at < 0) {
            msg.information(QStringLiteral("Não há registro de endereço."), this);
            return;
        }
        if (links == 1) {
            msg.information(QStringLiteral("O animal só tem um endereço e este não pode ser excluído!"), this);
            return;
        }
        // The address itself is named, so that the clerk sees which one goes.
        const auto cell = [this, at](int column) { return m_model->item(at, column)->text(); };
        QString address = cell(5) + QLatin1Char(' ') + cell(6) + QStringLiteral(", ") + cell(7);
        if (!cell(0).isEmpty())
            address += QStringLiteral(", desde ") + cell(0);
        if (!msg.confirm(QStringLiteral("Você esta preste a deletar o endereço do ") + m_animals->currentText() + QStringLiteral("\r")
                             + address.trimmed() + QStringLiteral("\r") + QStringLiteral("Deseje continuar?"),
                         this))
            return;
        const QVariant id = m_selectedKey;
        {
            const QVariantMap p{{QStringLiteral("e"), id}, {QStringLiteral("a"), animal}};
            Transaction tx(m_c);
            Sql::exec(m_c, QStringLiteral("delete from endereco_animal where id_endereco = :e and id_animal = :a"), p);
            // The address itself goes only when nothing else names it.
            Sql::exec(m_c,
                      QStringLiteral("delete from endereco where id_endereco = :e "
                                     "and not exists (select 1 from endereco_animal x where x.id_endereco = :e) "
                                     "and not exists (select 1 from proprietario y where y.id_endereco = :e)"),
                      {{QStringLiteral("e"), id}});
            tx.commit();
        }
        reloadHistory(m_historyOrder);
        msg.information(Saved, this);
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}

void Endereco_AnimalScreen::atualizar()
{
    try {
        reloadHistory(m_historyOrder);
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
        return;
    }
    m_panels[0]->setText(m_animals->currentText() + QStringLiteral(" já teve ") + QString::number(m_model->rowCount())
                         + QStringLiteral(" endereço."));
}

void Endereco_AnimalScreen::openStreetSearch(const QString &selection, const QString &text, bool runAtOnce)
{
    StreetSearchWindow *w = StreetSearchWindow::open(m_group, selection, text, runAtOnce);
    // From the street code it is answered before anything else.
    if (w && selection == QLatin1String("Núm lograd.")) {
        w->hide();
        w->setWindowModality(Qt::ApplicationModal);
        w->show();
    }
}

void Endereco_AnimalScreen::exportar()
{
    if (!exporter())
        return;
    const QString path = Services::fileDialogs().saveFileName(QStringLiteral("Exportação do endereço do animal."), QString(),
                                                              QStringLiteral("dbf|dbf"), this);
    if (path.isEmpty())
        return;
    exporter()(m_c, exportStatement(), path, this);
}
