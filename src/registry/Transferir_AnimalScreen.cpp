#include "registry/Transferir_AnimalScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "ui/Buttons.h"
#include "ui/FormHelpers.h"
#include "registry/OwnerWindows.h"
#include "registry/TransferStore.h"
#include "ui/ScreenCatalog.h"
#include "ui/Services.h"

#include "ui/DateEdit.h"
#include "ui/ReadOnlyGrid.h"
#include <QGridLayout>
#include <QHash>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int KeyRole = Qt::UserRole;
// The owner the animal had when its list was read.
constexpr int OwnerRole = Qt::UserRole + 1;

QLineEdit *readOnlyBox(const char *name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    FormHelpers::readOnlyGrey(e);
    return e;
}

} // namespace

Transferir_AnimalScreen::Transferir_AnimalScreen(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmTransferir_Animal"));
    setWindowTitle(QStringLiteral("021 - Transferir animal."));
    auto *tabs = new QTabWidget(this);
    auto *page = new QWidget(tabs);
    tabs->addTab(page, QStringLiteral("Transferir animal"));

    m_date = new DateEdit(QDate::currentDate(), page);
    m_date->setObjectName(QStringLiteral("dtpTransferencia"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    auto *top = new QHBoxLayout;
    top->addWidget(FormHelpers::caption(QStringLiteral("Data da transferência:"), m_date, page));
    top->addWidget(m_date);
    top->addStretch(1);

    m_left = buildSide(QStringLiteral("Proprietário atual:"), QStringLiteral("Localizar proprietário atual..."), "1");
    m_right = buildSide(QStringLiteral("Próximo proprietário:"), QStringLiteral("Localizar próximo proprietário..."), "2");
    connect(m_left.find, &QPushButton::clicked, this, [this] { localizar(1); });
    connect(m_right.find, &QPushButton::clicked, this, [this] { localizar(2); });

    m_left.details->setContextMenuPolicy(Qt::CustomContextMenu);
    m_left.list->setContextMenuPolicy(Qt::CustomContextMenu);
    auto menuAt = [this](QWidget *w, const QPoint &pos) {
        QMenu menu(this);
        for (const QString &mode : {QStringLiteral("Detalhe"), QStringLiteral("Lista"), QStringLiteral("Icone"), QStringLiteral("Lado a lado")})
            menu.addAction(mode, this, [this, mode] { setLeftViewMode(mode); });
        menu.exec(w->mapToGlobal(pos));
    };
    connect(m_left.details, &QWidget::customContextMenuRequested, this, [this, menuAt](const QPoint &p) { menuAt(m_left.details, p); });
    connect(m_left.list, &QWidget::customContextMenuRequested, this, [this, menuAt](const QPoint &p) { menuAt(m_left.list, p); });

    auto *middle = new QVBoxLayout;
    middle->addStretch(1);
    QPushButton *allRight = commandButton(QStringLiteral(">>"), QStringLiteral("bmpTodosDireita"), page);
    QPushButton *oneRight = commandButton(QStringLiteral(">"), QStringLiteral("bmpDireita"), page);
    QPushButton *oneLeft = commandButton(QStringLiteral("<"), QStringLiteral("bmpEsquerda"), page);
    QPushButton *allLeft = commandButton(QStringLiteral("<<"), QStringLiteral("bmpTodosEsquerda"), page);
    allRight->setAccessibleName(QStringLiteral("Transferir todos para a direita"));
    oneRight->setAccessibleName(QStringLiteral("Transferir para a direita"));
    oneLeft->setAccessibleName(QStringLiteral("Transferir para a esquerda"));
    allLeft->setAccessibleName(QStringLiteral("Transferir todos para a esquerda"));
    for (QPushButton *b : {allRight, oneRight, oneLeft, allLeft}) {
        b->setFixedWidth(40);
        middle->addWidget(b);
    }
    middle->addStretch(1);
    connect(allRight, &QPushButton::clicked, this, &Transferir_AnimalScreen::moveAllRight);
    connect(oneRight, &QPushButton::clicked, this, &Transferir_AnimalScreen::moveSelectedRight);
    connect(oneLeft, &QPushButton::clicked, this, &Transferir_AnimalScreen::moveSelectedLeft);
    connect(allLeft, &QPushButton::clicked, this, &Transferir_AnimalScreen::moveAllLeft);

    auto *sides = new QHBoxLayout;
    sides->addWidget(m_left.group, 1);
    sides->addLayout(middle);
    sides->addWidget(m_right.group, 1);

    QPushButton *limparB = commandButton(QStringLiteral("&Limpar"), QStringLiteral("bmpLimpar"), page);
    QPushButton *transferirB = commandButton(QStringLiteral("&Transferir"), QStringLiteral("bmpTransferir"), page);
    QPushButton *sairB = commandButton(QStringLiteral("&Sair"), QStringLiteral("bmpSair"), page);
    QPushButton *relatorioB = commandButton(QStringLiteral("Relatório..."), QStringLiteral("bmpRelatorio"), page);
    relatorioB->hide();
    connect(limparB, &QPushButton::clicked, this, &Transferir_AnimalScreen::limpar);
    connect(transferirB, &QPushButton::clicked, this, &Transferir_AnimalScreen::transferir);
    connect(sairB, &QPushButton::clicked, this, &QWidget::close);
    connect(relatorioB, &QPushButton::clicked, this, &Transferir_AnimalScreen::relatorio);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(relatorioB);
    bottom->addStretch(1);
    bottom->addWidget(limparB);
    bottom->addWidget(transferirB);
    bottom->addWidget(sairB);

    auto *pl = new QVBoxLayout(page);
    pl->addLayout(top);
    pl->addLayout(sides, 1);
    pl->addLayout(bottom);
    auto *main = new QVBoxLayout(this);
    main->addWidget(tabs);
    resize(820, 460);
}

Transferir_AnimalScreen::Side Transferir_AnimalScreen::buildSide(const QString &title, const QString &findCaption, const char *suffix)
{
    Side s;
    s.group = new QGroupBox(title, this);
    s.group->setObjectName(QStringLiteral("grpProprietario") + QLatin1String(suffix));
    s.find = new QPushButton(findCaption, s.group);
    s.find->setObjectName(QStringLiteral("bmpLocalizar") + QLatin1String(suffix));
    s.find->setFlat(true);
    s.find->setAccessibleName(findCaption);
    s.code = readOnlyBox(suffix[0] == '1' ? "edtCodigo1" : "edtCodigo2", s.group);
    s.name = readOnlyBox(suffix[0] == '1' ? "edtNome1" : "edtNome2", s.group);
    s.address = readOnlyBox(suffix[0] == '1' ? "edtEndereco1" : "edtEndereco2", s.group);
    s.model = new QStandardItemModel(0, 3, this);
    s.model->setHorizontalHeaderLabels({QStringLiteral("Animal"), QStringLiteral("Microchipe"), QStringLiteral("Pedigree")});
    s.details = new QTreeView(s.group);
    s.details->setObjectName(QStringLiteral("lvwAnimais") + QLatin1String(suffix));
    s.details->setAccessibleName(title + QStringLiteral(" animais"));
    s.details->setModel(s.model);
    s.details->setRootIsDecorated(false);
    s.details->setEditTriggers(QAbstractItemView::NoEditTriggers);
    s.details->setSelectionBehavior(QAbstractItemView::SelectRows);
    s.details->header()->resizeSection(0, 160);
    ReadOnlyGrid::fitColumns(s.details);
    s.list = new QListView(s.group);
    s.list->setModel(s.model);
    s.list->setSelectionModel(s.details->selectionModel());
    s.list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    s.views = new QStackedWidget(s.group);
    s.views->addWidget(s.details);
    s.views->addWidget(s.list);

    auto *g = new QGridLayout(s.group);
    g->addWidget(s.find, 0, 0, 1, 2);
    g->addWidget(FormHelpers::caption(QStringLiteral("Código:"), s.code, s.group), 1, 0);
    g->addWidget(s.code, 1, 1);
    g->addWidget(FormHelpers::caption(QStringLiteral("Nome:"), s.name, s.group), 2, 0);
    g->addWidget(s.name, 2, 1);
    g->addWidget(FormHelpers::caption(QStringLiteral("Endereço:"), s.address, s.group), 3, 0);
    g->addWidget(s.address, 3, 1);
    g->addWidget(s.views, 4, 0, 1, 2);
    g->setRowStretch(4, 1);
    return s;
}

void Transferir_AnimalScreen::setLeftViewMode(const QString &mode)
{
    m_leftMode = mode;
    if (mode == QLatin1String("Detalhe")) {
        m_left.views->setCurrentWidget(m_left.details);
        return;
    }
    m_left.views->setCurrentWidget(m_left.list);
    if (mode == QLatin1String("Lista")) {
        m_left.list->setViewMode(QListView::ListMode);
        m_left.list->setFlow(QListView::TopToBottom);
        m_left.list->setIconSize(QSize(16, 16));
    } else {
        m_left.list->setViewMode(QListView::IconMode);
        m_left.list->setIconSize(mode == QLatin1String("Icone") ? QSize(32, 32) : QSize(16, 16));
        m_left.list->setGridSize(mode == QLatin1String("Icone") ? QSize(120, 64) : QSize(160, 24));
    }
}

void Transferir_AnimalScreen::localizar(int target)
{
    auto *w = new OwnerSearchWindow(this, target);
    QPointer<Transferir_AnimalScreen> self(this);
    auto fill = [self](int t, int id, const QString &nome, const QString &endereco) {
        if (self)
            self->showOwner(t, id, nome, endereco);
    };
    w->ownerShown = fill;
    w->ownerChosen = fill;
    w->show();
}

void Transferir_AnimalScreen::showOwner(int target, int idProprietario, const QString &nome, const QString &endereco)
{
    Side &s = side(target);
    const bool same = s.code->text() == QString::number(idProprietario);
    s.code->setText(QString::number(idProprietario));
    s.name->setText(nome);
    s.address->setText(endereco);
    if (same && s.model->rowCount() > 0)
        return; // OK on the owner already shown keeps the moves made
    s.model->removeRows(0, s.model->rowCount());
    // An animal the other list holds (moved there already) stays there only.
    const QList<int> onOtherSide = animals(target == 1 ? 2 : 1);
    try {
        QSqlQuery q = Sql::exec(mainConnection(),
                                QStringLiteral("select id_animal, nome, num_microchip, num_pedigree from animal "
                                               "where id_proprietario = :id order by id_animal"),
                                {{QStringLiteral("id"), idProprietario}});
        while (q.next()) {
            if (onOtherSide.contains(q.value(0).toInt()))
                continue;
            auto *caption = new QStandardItem(Sql::text(q.value(0)) + QStringLiteral(" - ") + Sql::text(q.value(1)));
            caption->setData(q.value(0).toInt(), KeyRole);
            caption->setData(idProprietario, OwnerRole);
            s.model->appendRow({caption, new QStandardItem(Sql::text(q.value(2))), new QStandardItem(Sql::text(q.value(3)))});
        }
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}

QList<int> Transferir_AnimalScreen::animals(int target) const
{
    const Side &s = side(target);
    QList<int> l;
    for (int r = 0; r < s.model->rowCount(); ++r)
        l << s.model->item(r, 0)->data(KeyRole).toInt();
    return l;
}

void Transferir_AnimalScreen::selectAnimal(int target, int idAnimal)
{
    const Side &s = side(target);
    for (int r = 0; r < s.model->rowCount(); ++r)
        if (s.model->item(r, 0)->data(KeyRole).toInt() == idAnimal)
            s.details->selectionModel()->setCurrentIndex(s.model->index(r, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int Transferir_AnimalScreen::selectedRow(const Side &s) const
{
    const QModelIndexList rows = s.details->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void Transferir_AnimalScreen::moveRow(Side &from, Side &to, int row)
{
    to.model->appendRow(from.model->takeRow(row));
}

void Transferir_AnimalScreen::moveSelectedRight()
{
    if (m_left.model->rowCount() == 0)
        return;
    const int row = selectedRow(m_left);
    if (row < 0) {
        Services::messages().error(QStringLiteral("Erro ao tentar transferir."), this);
        return;
    }
    moveRow(m_left, m_right, row);
}

void Transferir_AnimalScreen::moveSelectedLeft()
{
    const int row = selectedRow(m_right);
    if (row >= 0)
        moveRow(m_right, m_left, row);
}

// Taken from the last to the first, so they arrive in reverse order.
void Transferir_AnimalScreen::moveAllRight()
{
    for (int r = m_left.model->rowCount() - 1; r >= 0; --r)
        moveRow(m_left, m_right, r);
}

void Transferir_AnimalScreen::moveAllLeft()
{
    for (int r = m_right.model->rowCount() - 1; r >= 0; --r)
        moveRow(m_right, m_left, r);
}

void Transferir_AnimalScreen::limpar()
{
    for (Side *s : {&m_left, &m_right}) {
        s->model->removeRows(0, s->model->rowCount());
        s->code->clear();
        s->name->clear();
        s->address->clear();
    }
}

void Transferir_AnimalScreen::transferir()
{
    Messages &msg = Services::messages();
    const QString l = m_left.code->text().trimmed();
    const QString r = m_right.code->text().trimmed();
    if (l == r && !l.isEmpty()) {
        msg.warning(QStringLiteral("O primeiro e o segundo proprietário selecionado são os mesmos."), this);
        return;
    }
    if (l.isEmpty()) {
        msg.warning(QStringLiteral("Falta selecionar o primeiro proprietário!"), this);
        return;
    }
    if (r.isEmpty()) {
        msg.warning(QStringLiteral("Falta selecionar o segundo proprietário!"), this);
        return;
    }
    if (!m_date->check())
        return;
    // What the clerk moved: the animals now listed under the other owner.
    QStringList toRight, toLeft;
    QHash<int, QString> names;
    for (int target : {1, 2}) {
        const Side &s = side(target);
        const int owner = (target == 1 ? l : r).toInt();
        for (int row = 0; row < s.model->rowCount(); ++row) {
            const QStandardItem *item = s.model->item(row, 0);
            names.insert(item->data(KeyRole).toInt(), item->text());
            if (item->data(OwnerRole).toInt() != owner)
                (target == 2 ? toRight : toLeft) << item->text();
        }
    }
    if (toRight.isEmpty() && toLeft.isEmpty()) {
        msg.information(QStringLiteral("Nenhum animal foi movido de uma lista para a outra."), this);
        return;
    }
    const QString leftName = m_left.name->text().trimmed();
    const QString rightName = m_right.name->text().trimmed();
    QString question;
    if (!toRight.isEmpty())
        question += QStringLiteral("De %1 para %2: %3.\r").arg(leftName, rightName, toRight.join(QStringLiteral(", ")));
    if (!toLeft.isEmpty())
        question += QStringLiteral("De %1 para %2: %3.\r").arg(rightName, leftName, toLeft.join(QStringLiteral(", ")));
    if (!msg.confirm(QStringLiteral("Transferir os animais?\r") + question + QStringLiteral("Deseja continuar?"), this))
        return;
    TransferStore::Result done;
    try {
        done = TransferStore().transfer(l.toInt(), animals(1), r.toInt(), animals(2), m_date->date());
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
        return;
    }
    // Both lists show what the database holds now.
    for (int target : {1, 2}) {
        side(target).model->removeRows(0, side(target).model->rowCount());
        side(target).code->clear();
    }
    showOwner(1, l.toInt(), leftName, m_left.address->text());
    showOwner(2, r.toInt(), rightName, m_right.address->text());
    QString said = QStringLiteral("Operação realizada com sucesso!\r%1 animal(is) transferido(s).").arg(done.moved);
    if (!done.missingAnimals.isEmpty()) {
        QStringList skipped;
        for (int a : done.missingAnimals)
            skipped << names.value(a, QString::number(a));
        said += QStringLiteral("\rNão transferido(s), excluído(s) em outra estação: %1.").arg(skipped.join(QStringLiteral(", ")));
    }
    msg.warning(said, this);
}

void Transferir_AnimalScreen::relatorio()
{
    ScreenCatalog::instance().open(43, this);
}
