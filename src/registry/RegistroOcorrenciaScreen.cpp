#include "registry/RegistroOcorrenciaScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/Keys.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "ui/Buttons.h"
#include "ui/FormHelpers.h"
#include "reports/OccurrenceReport.h"
#include "reports/engine/Reports.h"
#include "ui/MainMenuHook.h"
#include "ui/PagedPicker.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/Services.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int ClosesRole = Qt::UserRole + 1;
constexpr int DescriptionRole = Qt::UserRole + 2;
const QString Saved = QStringLiteral("operação realizada com sucesso!");
const QString SaveFailed = QStringLiteral("Erro ao gravar!\rOperação cancelada.");

RegistroOcorrenciaScreen::Exporter &exporter()
{
    static RegistroOcorrenciaScreen::Exporter e;
    return e;
}

// A type closes the animal's case when marked "SIM" (the type screen's
// word); "S" is what older rows hold.
bool closingMark(const QString &mark)
{
    const QString m = mark.trimmed().toUpper();
    return m == QLatin1String("SIM") || m == QLatin1String("S");
}

QVariant itemId(const QComboBox *box)
{
    const QVariant v = box->currentIndex() >= 0 ? box->currentData() : QVariant();
    return v.isValid() && !v.isNull() ? v : QVariant();
}

} // namespace

void RegistroOcorrenciaScreen::setExporter(Exporter e)
{
    exporter() = std::move(e);
}

RegistroOcorrenciaScreen::RegistroOcorrenciaScreen(QWidget *parent, Connection *c)
    : QWidget(parent), m_c(c ? *c : mainConnection())
{
    setObjectName(QStringLiteral("frmRegistroOcorrencia"));
    setWindowTitle(QStringLiteral("022 - Registro Ocorrência."));

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tlbOcorrencia"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    FormHelpers::addToolbarActions(
        this, bar,
        {{"actImprimir", QStringLiteral("Imprimir..."), {QKeySequence(Qt::CTRL | Qt::Key_P)}, [this] { imprimir(); }},
         {"actExportar", QStringLiteral("&Exportar dados da intercorrência..."), {}, [this] { exportar(); }},
         {"actSair", QStringLiteral("Sair"), {QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { close(); }}},
        m_actions);
    // Without a table writer there is nothing to export to.
    m_actions.value(QStringLiteral("actExportar"))->setVisible(bool(exporter()));

    auto *tabs = new QTabWidget(this);
    auto *page = new QWidget(tabs);
    page->setObjectName(QStringLiteral("tabPrincipal"));
    tabs->addTab(page, QStringLiteral("Principal"));

    m_ownerCode = new QLineEdit(page);
    m_ownerCode->setObjectName(QStringLiteral("dbeIdProprietario"));
    m_ownerCode->setReadOnly(true);
    FormHelpers::readOnlyGrey(m_ownerCode);
    m_ownerCode->setFocusPolicy(Qt::StrongFocus); // one of the six stops of Enter
    m_owners = new PagedPicker(page);
    m_owners->setObjectName(QStringLiteral("dblProprietario"));
    m_owners->setSource(&m_c, QStringLiteral("proprietario p"), QStringLiteral("p.Id_Proprietario"), QStringLiteral("p.Nome"));
    m_animalCode = new QLineEdit(page);
    m_animalCode->setObjectName(QStringLiteral("dbeIdAnimal"));
    m_animalCode->setReadOnly(true);
    m_animals = new QComboBox(page);
    m_animals->setObjectName(QStringLiteral("dblAnimal"));
    m_types = new QComboBox(page);
    m_types->setObjectName(QStringLiteral("dblOcorrencia"));
    m_date = new DateLineEdit(page);
    m_date->setObjectName(QStringLiteral("dbeDtOcorrencia"));
    m_date->setMaximumWidth(110);

    auto *form = new QGridLayout;
    form->addWidget(FormHelpers::caption(QStringLiteral("Cód. prop.:"), m_ownerCode, page), 0, 0);
    form->addWidget(m_ownerCode, 0, 1);
    form->addWidget(FormHelpers::caption(QStringLiteral("Proprietário:"), m_owners->editor(), page), 0, 2);
    form->addWidget(m_owners, 0, 3);
    form->addWidget(FormHelpers::caption(QStringLiteral("Cód. animal.:"), m_animalCode, page), 1, 0);
    form->addWidget(m_animalCode, 1, 1);
    form->addWidget(FormHelpers::caption(QStringLiteral("Animal:"), m_animals, page), 1, 2);
    form->addWidget(m_animals, 1, 3);
    form->addWidget(FormHelpers::caption(QStringLiteral("Ocorrência:"), m_types, page), 2, 2);
    form->addWidget(m_types, 2, 3);
    form->addWidget(FormHelpers::caption(QStringLiteral("Data ocorrência:"), m_date, page), 3, 2);
    form->addWidget(m_date, 3, 3, Qt::AlignLeft);
    form->setColumnStretch(3, 1);

    auto *buttons = new ButtonRow(page);
    m_incluir = buttons->add(QStringLiteral("&Incluir"), QStringLiteral("bmpIncluir"), this, &RegistroOcorrenciaScreen::incluir);
    m_excluir = buttons->add(QStringLiteral("&Excluir"), QStringLiteral("bmpExcluir"), this, &RegistroOcorrenciaScreen::excluir);
    m_atualizar = buttons->add(QStringLiteral("&Atualizar"), QStringLiteral("bmpAtualizar"), this, &RegistroOcorrenciaScreen::atualizar);
    buttons->stretch();

    m_model = new QStandardItemModel(0, 2, this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("Data ocorrência"), QStringLiteral("Ocorrência")});
    m_grid = makeReadOnlyGrid(page, m_model, QStringLiteral("dbgOcorrencia"), QStringLiteral("Ocorrências do animal"));
    m_grid->horizontalHeader()->setSectionsClickable(false);
    m_grid->setColumnWidth(0, 120);

    auto *pl = new QVBoxLayout(page);
    pl->addLayout(form);
    pl->addLayout(buttons);
    pl->addWidget(m_grid, 1);
    auto *main = new QVBoxLayout(this);
    main->addWidget(bar);
    main->addWidget(tabs, 1);

    connect(m_owners, &PagedPicker::currentChanged, this, &RegistroOcorrenciaScreen::ownerArrived);
    connect(m_animals, &QComboBox::currentIndexChanged, this, [this] { animalArrived(); });
    connect(m_types, &QComboBox::currentIndexChanged, this, [this] { updateTypeToolTip(); });

    // Enter moves on from each of the six entry controls, as Tab does.
    FormHelpers::installEnterAsTab(page);
    resize(640, 480);
}

void RegistroOcorrenciaScreen::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_loaded)
        return;
    m_loaded = true;
    try {
        m_owners->reload();
        loadTypes();
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}

void RegistroOcorrenciaScreen::narrowTo(int idProprietario, int idAnimal)
{
    m_loaded = true;
    m_owners->setFilter(QStringLiteral("p.Id_Proprietario = :owner"), {{QStringLiteral("owner"), idProprietario}});
    m_owners->reload();
    loadTypes();
    const int i = m_animals->findData(idAnimal);
    if (i >= 0)
        m_animals->setCurrentIndex(i);
}

QVariant RegistroOcorrenciaScreen::currentOwnerId() const
{
    return m_owners->currentId();
}

QVariant RegistroOcorrenciaScreen::currentAnimalId() const
{
    return itemId(m_animals);
}

QVariant RegistroOcorrenciaScreen::currentTypeId() const
{
    return itemId(m_types);
}

void RegistroOcorrenciaScreen::ownerArrived(const QVariant &id)
{
    m_ownerCode->setText(id.isValid() ? id.toString() : QString());
    // An owner without animals leaves nothing below it: keeping the previous
    // animal's occurrences would let Excluir delete another owner's row.
    const QSignalBlocker block(m_animals);
    m_animals->clear();
    if (id.isValid()) {
        QSqlQuery q = Sql::exec(m_c, QStringLiteral("select id_animal, nome from animal where id_proprietario = :id order by id_animal"),
                                {{QStringLiteral("id"), id}});
        while (q.next())
            m_animals->addItem(Sql::text(q.value(1)), q.value(0));
    }
    m_animals->setCurrentIndex(m_animals->count() > 0 ? 0 : -1);
    animalArrived();
}

void RegistroOcorrenciaScreen::animalArrived()
{
    const QVariant id = currentAnimalId();
    m_animalCode->setText(id.isValid() ? id.toString() : QString());
    try {
        loadOccurrences(id);
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}

void RegistroOcorrenciaScreen::loadOccurrences(const QVariant &idAnimal)
{
    m_model->removeRows(0, m_model->rowCount());
    if (!idAnimal.isValid())
        return;
    // The type's name comes with the row (one statement, not one per row).
    QSqlQuery q = Sql::exec(m_c,
                            QStringLiteral("select o.Id_Ocorrencia, o.Dt_Ocorrencia, t.nome from ocorrencia o "
                                           "left join tipo_ocorrencia t on (t.Id_Tipo_Ocorrencia = o.Id_Tipo_Ocorrencia) "
                                           "where o.id_animal = :id order by o.Id_Ocorrencia"),
                            {{QStringLiteral("id"), idAnimal}});
    while (q.next()) {
        auto *date = new QStandardItem(Formats::date(q.value(1).toDateTime().date()));
        date->setData(q.value(0), Qt::UserRole);
        m_model->appendRow({date, new QStandardItem(Sql::text(q.value(2)))});
    }
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(m_model->rowCount() - 1, 0));
}

void RegistroOcorrenciaScreen::loadTypes()
{
    const QVariant keep = currentTypeId();
    const QSignalBlocker block(m_types);
    m_types->clear();
    QSqlQuery q = Sql::exec(m_c, QStringLiteral("select id_Tipo_Ocorrencia, nome, ind_finaliza_caso, descricao from Tipo_Ocorrencia "
                                                "order by id_Tipo_Ocorrencia"));
    while (q.next()) {
        m_types->addItem(Sql::text(q.value(1)), q.value(0));
        m_types->setItemData(m_types->count() - 1, closingMark(Sql::text(q.value(2))), ClosesRole);
        m_types->setItemData(m_types->count() - 1, Sql::text(q.value(3)), DescriptionRole);
    }
    const int i = keep.isValid() ? m_types->findData(keep) : -1;
    // No type until the clerk chooses one: the first of the list (a death)
    // would be recorded by a hurried "Incluir".
    m_types->setCurrentIndex(i);
    updateTypeToolTip();
}

bool RegistroOcorrenciaScreen::typeClosesCase(int index) const
{
    return index >= 0 && m_types->itemData(index, ClosesRole).toBool();
}

void RegistroOcorrenciaScreen::updateTypeToolTip()
{
    const int i = m_types->currentIndex();
    if (!currentTypeId().isValid()) {
        m_types->setToolTip(QString());
        return;
    }
    // The first line is empty for a type that does not close the case.
    const QString first = typeClosesCase(i) ? QStringLiteral("Esta ocorrência finaliza o caso.") : QString();
    m_types->setToolTip(first + QLatin1Char('\n') + m_types->itemText(i) + QLatin1Char('\n') + QStringLiteral(" : ")
                        + m_types->itemData(i, DescriptionRole).toString());
}

QString RegistroOcorrenciaScreen::typeToolTip() const
{
    return m_types->toolTip();
}

void RegistroOcorrenciaScreen::incluir()
{
    Messages &msg = Services::messages();
    // A date still being typed is read, or refused by its name, first.
    if (!m_date->check())
        return;
    if (m_date->isBlank()) {
        msg.information(QStringLiteral("Falta digitar a data."), this);
        return;
    }
    const QVariant type = currentTypeId();
    if (!type.isValid()) {
        msg.information(QStringLiteral("Falta selecionar a ocorrência."), this);
        return;
    }
    const QVariant animal = currentAnimalId();
    if (!animal.isValid()) {
        msg.information(QStringLiteral("Falta selecionar o animal"), this);
        return;
    }
    // A date that cannot be one fails before anything is asked.
    const QDate date = m_date->date();
    if (!date.isValid()) {
        msg.error(SaveFailed, this);
        return;
    }
    try {
        const QVariantMap ids{{QStringLiteral("animal"), animal}, {QStringLiteral("type"), type}};
        if (Sql::scalar(m_c, QStringLiteral("select count(*) from ocorrencia where id_animal = :animal and id_tipo_ocorrencia = :type"), ids)
                .toInt()
            > 0) {
            if (!msg.confirm(QStringLiteral("Uma ocorrência identica a esta já foi inserida\rDeseja gravar assim mesmo?"), this))
                return;
        }
        // A case closed on or before the new date takes no more occurrences.
        QSqlQuery closed = Sql::exec(m_c,
                                     QStringLiteral("select a.id_ocorrencia, b.nome, b.ind_finaliza_caso from ocorrencia a "
                                                    "left outer join tipo_ocorrencia b on (a.id_Tipo_ocorrencia = b.id_Tipo_ocorrencia) "
                                                    "where b.ind_finaliza_caso in ('SIM', 'S') and a.id_animal = :animal "
                                                    "and a.dt_ocorrencia <= :date order by a.dt_ocorrencia, a.id_ocorrencia"),
                                     {{QStringLiteral("animal"), animal}, {QStringLiteral("date"), date}});
        if (closed.next()) {
            const QString nome = Sql::text(closed.value(1));
            closed = QSqlQuery();
            msg.information(QStringLiteral("A ocorreência '") + nome + QStringLiteral("'")
                                + QStringLiteral(" impede que outras ocorrências possam ser inserida!"),
                            this);
            return;
        }
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
        return;
    }
    bool ok = false;
    try {
        Transaction tx(m_c);
        const int key = Keys::nextProgramKey(m_c, QStringLiteral("ocorrencia"), QStringLiteral("Id_Ocorrencia"));
        Sql::exec(m_c,
                  QStringLiteral("insert into ocorrencia (Id_Ocorrencia, Id_Animal, Id_Tipo_Ocorrencia, Inserido_Por, Inserido_Em, "
                                 "Modificado_Por, Modificado_Em, Dt_Ocorrencia) values (:Id_Ocorrencia, :Id_Animal, "
                                 ":Id_Tipo_Ocorrencia, :Inserido_Por, :Inserido_Em, :Modificado_Por, :Modificado_Em, :Dt_Ocorrencia)"),
                  {{QStringLiteral("Id_Ocorrencia"), key},
                   {QStringLiteral("Id_Animal"), animal},
                   {QStringLiteral("Id_Tipo_Ocorrencia"), type},
                   {QStringLiteral("Inserido_Por"), usuarioLogado().IdUsuario.toInt()},
                   {QStringLiteral("Inserido_Em"), serverNow(m_c)},
                   {QStringLiteral("Modificado_Por"), QVariant(QMetaType(QMetaType::Int))},
                   {QStringLiteral("Modificado_Em"), QVariant(QMetaType(QMetaType::QDateTime))},
                   {QStringLiteral("Dt_Ocorrencia"), date}});
        tx.commit();
        ok = true;
    } catch (const std::exception &) {
        ok = false;
    }
    if (!ok) {
        msg.error(SaveFailed, this);
        return;
    }
    msg.information(Saved, this);
    animalArrived();
}

void RegistroOcorrenciaScreen::excluir()
{
    Messages &msg = Services::messages();
    const QModelIndex at = m_grid->currentIndex();
    const QVariant key = at.isValid() ? m_model->item(at.row(), 0)->data(Qt::UserRole) : QVariant();
    if (!key.isValid() || key.isNull()) {
        msg.information(QStringLiteral("Registro não encontrado para exclusão."), this);
        return;
    }
    if (!msg.confirm(QStringLiteral("O registro será excluido definitivamente.\rDeseja continuar?"), this))
        return;
    try {
        {
            Transaction tx(m_c);
            Sql::exec(m_c, QStringLiteral("delete from ocorrencia where Id_Ocorrencia = :OLD_Id_Ocorrencia"),
                      {{QStringLiteral("OLD_Id_Ocorrencia"), key}});
            tx.commit();
        }
        msg.information(Saved, this);
        animalArrived();
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}

void RegistroOcorrenciaScreen::atualizar()
{
    try {
        loadTypes();
        m_owners->reload(); // a list narrowed by the register stays narrowed
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}

void RegistroOcorrenciaScreen::imprimir()
{
    const QVariant animal = currentAnimalId();
    const QVariant owner = currentOwnerId();
    if (!animal.isValid() || !owner.isValid()) {
        Services::messages().information(QStringLiteral("Registro não localizado."), this);
        return;
    }
    try {
        if (Sql::scalar(m_c, QStringLiteral("select count(*) from ocorrencia where id_animal = :id"), {{QStringLiteral("id"), animal}})
                .toInt()
            == 0) {
            Services::messages().information(QStringLiteral("Não há intercorrência para este animal."), this);
            return;
        }
        Reports::open(OccurrenceReport::definition(m_c, animal.toInt(), owner.toInt()), this);
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}

void RegistroOcorrenciaScreen::exportar()
{
    if (!exporter())
        return;
    const QString path = Services::fileDialogs().saveFileName(QStringLiteral("Exportar dados da intercorrência"), QString(),
                                                              QStringLiteral("dbf|dbf"), this);
    if (path.isEmpty())
        return;
    exporter()(m_c, OccurrenceReport::selectFromJoins() + QStringLiteral("order by a.Id_Ocorrencia"), path, this);
}

void RegistroOcorrenciaScreen::contextMenuEvent(QContextMenuEvent *event)
{
    // The main menu's own entries, enabled as the profile allows there.
    QMenu menu(this);
    for (const char *name : {"mnu018", "mnu006"})
        if (QAction *a = MainMenuHook::action(QString::fromLatin1(name)))
            menu.addAction(a);
    if (!menu.isEmpty())
        menu.exec(event->globalPos());
}
