#include "registry/VaccinationPanel.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/Keys.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "ui/FormHelpers.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/Services.h"

#include <QComboBox>
#include "ui/DateEdit.h"
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

const QString VaccinationPanel::NaoSeAplica = QStringLiteral("Não se aplica");

using FormHelpers::caption;
using FormHelpers::showError;

namespace {

const QString kDone = QStringLiteral("Operação realizada com sucesso!");

// One of the active rows of a kind table, listed in key order as the tables
// have always returned them; nothing is chosen until the user chooses.
FieldDef kindList(const QString &caption, const QString &table, const QString &key, const char *name)
{
    return lookupField(caption, key, {table, key, QStringLiteral("Nome"), {}, QStringLiteral("Ind_registro_ativo = 'ATIVO'"), false, key})
        .name(QString::fromLatin1(name));
}

} // namespace

VaccinationPanel::VaccinationPanel(QWidget *parent) : QWidget(parent), m_lists(&mainConnection())
{
    build();
}

VaccinationPanel::VaccinationPanel(Connection &connection, QWidget *parent)
    : QWidget(parent), m_connection(&connection), m_lists(&connection)
{
    build();
}

Connection &VaccinationPanel::conn() const
{
    return m_connection ? *m_connection : mainConnection();
}

void VaccinationPanel::build()
{
    setObjectName(QStringLiteral("tabVacinas"));

    const auto add = [this](const FieldDef &def) { return qobject_cast<QComboBox *>(m_lists.add(def, this)->editor()); };
    m_vacina = add(kindList(QStringLiteral("Vacina:"), QStringLiteral("Tipo_vacina"), QStringLiteral("Id_tipo_vacina"), "cbxVacina"));
    m_motivo = add(kindList(QStringLiteral("Motivo de não vacinar:"), QStringLiteral("tipo_motivo_nao_vacina"),
                            QStringLiteral("Id_tipo_motivo_nao_vacina"), "cbxMotivo"));
    m_ocorrencia = add(kindList(QStringLiteral("Intercorrências vacinais:"), QStringLiteral("tipo_vacina_ocorrencia"),
                                QStringLiteral("Id_tipo_vacina_ocorrencia"), "cbxOcorrencia"));
    for (QComboBox *c : {m_vacina, m_motivo, m_ocorrencia}) {
        c->setMinimumContentsLength(30);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }
    m_data = new DateEdit(this);
    m_data->setObjectName(QStringLiteral("dtpData"));
    m_data->setCalendarPopup(true);
    m_data->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    m_inserir = new QPushButton(QStringLiteral("&Inserir"), this);
    m_inserir->setObjectName(QStringLiteral("btnInserir"));
    m_excluir = new QPushButton(QStringLiteral("&Excluir"), this);
    m_excluir->setObjectName(QStringLiteral("btnExcluir"));

    m_model = new QStandardItemModel(0, 5, this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("Nome animal"), QStringLiteral("Data da atividade"),
                                        QStringLiteral("Vacina"), QStringLiteral("Ocorrência"),
                                        QStringLiteral("Motivo da não vacinação")});
    m_grid = makeReadOnlyGrid(this, m_model, QStringLiteral("grdHistorico"), QStringLiteral("Histórico:"));
    m_grid->horizontalHeader()->setSectionsClickable(false);
    auto *lblHistorico = new QLabel(QStringLiteral("Histórico:"), this);
    lblHistorico->setBuddy(m_grid);

    auto *form = new QGridLayout;
    int row = 0;
    for (const char *column : {"Id_tipo_vacina", "Id_tipo_motivo_nao_vacina", "Id_tipo_vacina_ocorrencia"}) {
        const FieldBinder *b = m_lists.at(QLatin1String(column));
        form->addWidget(b->label(), row, 0);
        form->addWidget(b->editor(), row++, 1);
    }
    form->addWidget(caption(QStringLiteral("Data:"), m_data, this), 3, 0);
    auto *dateRow = new QHBoxLayout;
    dateRow->addWidget(m_data);
    dateRow->addStretch(1);
    dateRow->addWidget(m_inserir);
    dateRow->addWidget(m_excluir);
    form->addLayout(dateRow, 3, 1);
    form->setColumnStretch(2, 1);

    auto *main = new QVBoxLayout(this);
    main->addLayout(form);
    main->addSpacing(6);
    main->addWidget(lblHistorico);
    main->addWidget(m_grid, 1);

    setTabOrder(m_vacina, m_motivo);
    setTabOrder(m_motivo, m_ocorrencia);
    setTabOrder(m_ocorrencia, m_data);
    setTabOrder(m_data, m_inserir);
    setTabOrder(m_inserir, m_excluir);
    setTabOrder(m_excluir, m_grid);
    FormHelpers::installEnterAsTab(this);

    connect(m_inserir, &QPushButton::clicked, this, &VaccinationPanel::inserir);
    connect(m_excluir, &QPushButton::clicked, this, &VaccinationPanel::excluir);

    // The activity is dated by the server's calendar, like every stamp.
    QDate today = QDate::currentDate();
    try {
        today = serverNow(conn()).date();
    } catch (const DbError &) {
        // Without the server the lists below report the failure.
    }
    m_data->setDate(today);
    reloadLists();
    refreshHistory();
}

void VaccinationPanel::reloadLists()
{
    try {
        m_lists.reloadRows();
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
}

void VaccinationPanel::setAnimal(int idAnimal)
{
    m_idAnimal = idAnimal > 0 ? idAnimal : 0;
    refreshHistory();
}

void VaccinationPanel::refreshHistory()
{
    m_model->removeRows(0, m_model->rowCount());
    if (m_idAnimal <= 0) {
        m_grid->resizeColumnsToContents();
        return;
    }
    try {
        QSqlQuery q = Sql::exec(
            conn(),
            QStringLiteral("select vac.Id_vacina, ani.Nome as nomeAnimal, vac.Data_atividade, tv.Nome as nomeTipoVacina, "
                           "tvo.Nome as NomeOcorrencia, mnv.Nome as NomeMotivoNaoVacina "
                           "from vacina vac "
                           "left join Tipo_vacina tv on (vac.Id_tipo_vacina = tv.Id_tipo_vacina) "
                           "left join Tipo_vacina_ocorrencia tvo on (vac.Id_tipo_vacina_ocorrencia = tvo.Id_tipo_vacina_ocorrencia) "
                           "left join Tipo_motivo_nao_vacina mnv on (vac.Id_tipo_motivo_nao_vacina = mnv.Id_tipo_motivo_nao_vacina) "
                           "left join animal ani on (vac.Id_Animal = ani.Id_Animal) "
                           "where vac.Id_Animal = :id "
                           "order by vac.Data_atividade, vac.Id_vacina"),
            {{QStringLiteral("id"), m_idAnimal}});
        while (q.next()) {
            const QVariant when = q.value(2);
            QDateTime t = when.toDateTime();
            if (!t.isValid())
                t = QDateTime::fromString(when.toString(), Qt::ISODate);
            // Upper-cased here, not by the server: accented letters too, on every engine.
            const QStringList cells{Sql::text(q.value(1)), t.isValid() ? Formats::date(t.date()) : QString(),
                                    Sql::text(q.value(3)).toUpper(), Sql::text(q.value(4)).toUpper(),
                                    Sql::text(q.value(5)).toUpper()};
            QList<QStandardItem *> row;
            for (const QString &c : cells) {
                auto *item = new QStandardItem(c);
                item->setEditable(false);
                row.append(item);
            }
            row.first()->setData(q.value(0).toInt(), Qt::UserRole);
            m_model->appendRow(row);
        }
    } catch (const DbError &) {
        m_model->removeRows(0, m_model->rowCount());
        Services::messages().error(QStringLiteral("Erro ao localizar as vacinas."), this);
        return;
    }
    m_grid->resizeColumnsToContents();
    // The first row is the current one, as after opening any list.
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 0));
}

void VaccinationPanel::inserir()
{
    Messages &msg = Services::messages();
    if (m_idAnimal <= 0) {
        msg.information(QStringLiteral("Falta selecionar o animal."), this);
        return;
    }
    if (m_vacina->currentIndex() < 0) {
        msg.information(QStringLiteral("Falta selecionar a vacina."), this);
        m_vacina->setFocus();
        return;
    }
    if (m_motivo->currentIndex() < 0) {
        msg.information(QStringLiteral("Falta selecionar o motivo de não vacinar.\r"
                                       "Caso não tenho motivo selecione \"Não se aplica.\"."),
                        this);
        m_motivo->setFocus();
        return;
    }
    if (m_ocorrencia->currentIndex() < 0) {
        msg.information(QStringLiteral("Falta selecionar a intercorrência\r"
                                       "Caso não tenho intercorrência selecione \"Não se aplica.\"."),
                        this);
        m_ocorrencia->setFocus();
        return;
    }
    // A row records one thing only: the other two lists must say "Não se aplica".
    int real = 0;
    for (const QComboBox *c : {m_vacina, m_motivo, m_ocorrencia})
        if (c->currentText().trimmed() != NaoSeAplica)
            ++real;
    if (real != 1) {
        msg.information(QStringLiteral("Inconsistência nas opções selecionadas."), this);
        m_vacina->setFocus();
        return;
    }

    if (!m_data->check())
        return;
    const QDate day = m_data->date();
    QVariantMap keys = m_lists.values();
    keys.insert(QStringLiteral("Id_Animal"), m_idAnimal);

    // The same activity twice on one day is usually a double click; ask.
    // The day is a range of bound date-times, so any time of day matches.
    bool identical = false;
    try {
        QVariantMap p = keys;
        p.insert(QStringLiteral("desde"), QDateTime(day, QTime(0, 0)));
        p.insert(QStringLiteral("ate"), QDateTime(Formats::dayAfter(day), QTime(0, 0)));
        identical = Sql::scalar(conn(),
                                QStringLiteral("select count(*) from vacina where Id_Animal = :Id_Animal "
                                               "and Id_tipo_vacina = :Id_tipo_vacina "
                                               "and Id_tipo_vacina_ocorrencia = :Id_tipo_vacina_ocorrencia "
                                               "and Id_tipo_motivo_nao_vacina = :Id_tipo_motivo_nao_vacina "
                                               "and Data_atividade >= :desde and Data_atividade < :ate"),
                                p)
                        .toInt()
                    > 0;
    } catch (const DbError &) {
        // Only a warning against a double entry: a failed look-up does not stop the entry.
    }
    if (identical
        && !msg.confirm(QStringLiteral("Um registro idêntico já foi encontrado, deseja gravar um segundo registro?"),
                        this)) {
        msg.information(QStringLiteral("Operação cancelada pelo usuário."), this);
        return;
    }

    try {
        Connection &c = conn();
        Transaction tx(c);
        // Allocated under the table's key lock, so two workstations never share a key.
        QVariantMap p = keys;
        p.insert(QStringLiteral("Id_vacina"), Keys::nextProgramKey(c, QStringLiteral("vacina"), QStringLiteral("Id_vacina")));
        bool isNumber = false;
        const int user = usuarioLogado().IdUsuario.toInt(&isNumber);
        p.insert(QStringLiteral("Inserido_por"), isNumber ? QVariant(user) : QVariant(QMetaType(QMetaType::Int)));
        p.insert(QStringLiteral("Inserido_em"), serverNow(c));
        p.insert(QStringLiteral("Data_atividade"), day);
        Sql::exec(c,
                  QStringLiteral("insert into vacina (Id_vacina, Id_Animal, Id_tipo_vacina, Id_tipo_vacina_ocorrencia, "
                                 "Inserido_por, Inserido_em, Data_atividade, Id_tipo_motivo_nao_vacina) "
                                 "values (:Id_vacina, :Id_Animal, :Id_tipo_vacina, :Id_tipo_vacina_ocorrencia, "
                                 ":Inserido_por, :Inserido_em, :Data_atividade, :Id_tipo_motivo_nao_vacina)"),
                  p);
        tx.commit();
    } catch (const DbError &e) {
        msg.error(e.text(), this);
        return;
    }
    refreshHistory();
    msg.information(kDone, this);
}

void VaccinationPanel::excluir()
{
    Messages &msg = Services::messages();
    const QModelIndex current = m_grid->currentIndex();
    const QVariant id = current.isValid() ? m_model->index(current.row(), 0).data(Qt::UserRole) : QVariant();
    if (!id.isValid() || id.toInt() <= 0) {
        msg.information(QStringLiteral("Não há registro para ser excluído."), this);
        return;
    }
    if (msg.confirm(QStringLiteral("Deseja realmente excluir o registro?"), this)) {
        try {
            Sql::exec(conn(), QStringLiteral("delete from vacina where Id_vacina = :id"), {{QStringLiteral("id"), id}});
        } catch (const DbError &e) {
            msg.error(e.text(), this);
        }
    }
    refreshHistory();
}
