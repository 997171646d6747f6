#include "ui/register/RegisterScreen.h"
#include <QScopeGuard>
#include "ui/RecordKeys.h"
#include "ui/Toolbar.h"
#include "ui/ReadOnlyGrid.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Keys.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "ui/ScreenCatalog.h"
#include "ui/Services.h"
#include "ui/register/FieldBinder.h"
#include "ui/register/PagedQueryModel.h"
#include "ui/register/SearchWindow.h"

#include <QAction>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kSortFailed = QStringLiteral("Não foi possível ordenar por este campo.");

bool sameColumn(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

void appendUnique(QStringList &list, const QString &column)
{
    if (column.isEmpty())
        return;
    for (const QString &c : list)
        if (sameColumn(c, column))
            return;
    list << column;
}

} // namespace

RegisterScreen::RegisterScreen(const RegisterDef &def, QWidget *parent, Connection *connection)
    : QWidget(parent), m_def(def), m_conn(connection ? connection : &mainConnection())
{
    setAttribute(Qt::WA_DeleteOnClose);
    if (m_def.ownWindow)
        setWindowFlag(Qt::Window);
    setObjectName(m_def.objectName);
    setWindowTitle(m_def.caption);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("tlbPrincipal"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setIconSize(QSize(16, 16));
    outer->addWidget(m_toolBar);
    buildActions();

    m_recordPage = new QWidget(this);
    m_recordPage->setObjectName(QStringLiteral("tbsPrincipal"));
    auto *recordLayout = new QVBoxLayout(m_recordPage);
    m_recordTop = new QVBoxLayout;
    recordLayout->addLayout(m_recordTop);
    m_fieldsBox = new QWidget(m_recordPage);
    recordLayout->addWidget(m_fieldsBox, 1);

    m_model = new PagedQueryModel(this);
    m_model->setConnection(m_conn);
    // A big table's list shows its first page without waiting for its total.
    m_model->setBackgroundCount(true);
    connect(m_model, &PagedQueryModel::countChanged, this, [this] { updateActions(); });
    connect(m_model, &PagedQueryModel::readFailed, this, [this](const QString &t) { Services::messages().error(t, this); },
            Qt::QueuedConnection);

    m_grid = makeReadOnlyGrid(this, m_model, QStringLiteral("dbgPrincipal"), QStringLiteral("Geral"));
    m_grid->setAlternatingRowColors(false);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->installEventFilter(this);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &RegisterScreen::sortByColumn);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { currentRowChanged(); });

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pgcPrincipal"));
    if (m_def.listBelowRecord) {
        auto *split = new QSplitter(Qt::Vertical, m_tabs);
        m_splitter = split;
        split->setObjectName(QStringLiteral("splHistorico"));
        split->setChildrenCollapsible(false);
        split->addWidget(m_recordPage);
        auto *below = new QWidget(split);
        auto *bl = new QVBoxLayout(below);
        bl->setContentsMargins(6, 0, 6, 6);
        m_listCaption = new QLabel(m_def.listCaption, below);
        m_listCaption->setBuddy(m_grid);
        m_grid->setAccessibleName(FieldBinder::accessibleCaption(m_def.listCaption));
        bl->addWidget(m_listCaption);
        bl->addWidget(m_grid);
        split->addWidget(below);
        split->setStretchFactor(0, 0);
        split->setStretchFactor(1, 1);
        m_tabs->addTab(split, QStringLiteral("Principal"));
    } else {
        m_tabs->addTab(m_recordPage, QStringLiteral("Principal"));
        auto *listPage = new QWidget(m_tabs);
        listPage->setObjectName(QStringLiteral("tbsGeral"));
        auto *ll = new QVBoxLayout(listPage);
        ll->addWidget(m_grid);
        m_tabs->addTab(listPage, QStringLiteral("Geral"));
    }
    outer->addWidget(m_tabs, 1);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("stbPrincipal"));
    m_statusBar->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        auto *panel = new QLabel(m_statusBar);
        panel->setObjectName(QStringLiteral("stbPanel%1").arg(i + 1));
        panel->setMinimumWidth(120);
        m_statusBar->addWidget(panel, i == 2 ? 1 : 0);
    }
    outer->addWidget(m_statusBar);

    buildFields();
    configureModel();
    setEditable(false);
    resize(860, 520);
    fitRecordAboveList();
    updateActions();
}

void RegisterScreen::fitRecordAboveList()
{
    // The record keeps the height its fields need; the list takes the rest.
    if (!m_splitter)
        return;
    if (m_recordPage->layout())
        m_recordPage->layout()->activate();
    const int record = m_recordPage->sizeHint().height();
    m_splitter->setSizes({record, qMax(200, m_splitter->height() - record)});
}

RegisterScreen::~RegisterScreen() = default;

void RegisterScreen::buildActions()
{
    struct Spec {
        QAction **slot;
        const char *name;
        QString caption;
        QList<QKeySequence> keys;
        QStyle::StandardPixmap icon;
        std::function<void()> handler;
    };
    const Spec specs[] = {
        {&actAppend, "actAppend", QStringLiteral("Novo"), recordKeys(RecordCommand::Novo), QStyle::SP_FileIcon, [this] { append(); }},
        {&actEdit, "actEdit", QStringLiteral("Alterar"), recordKeys(RecordCommand::Alterar), QStyle::SP_FileDialogDetailedView, [this] { edit(); }},
        {&actDelete, "actDelete", QStringLiteral("Excluir"), recordKeys(RecordCommand::Excluir), QStyle::SP_TrashIcon, [this] { remove(); }},
        {&actRefresh, "actRefresh", QStringLiteral("Atualizar"), recordKeys(RecordCommand::Atualizar), QStyle::SP_BrowserReload, [this] { refresh(); }},
        {&actPost, "actPost", QStringLiteral("Gravar"),
         recordKeys(RecordCommand::Gravar),
         QStyle::SP_DialogSaveButton, [this] { post(); }},
        {&actCancel, "actCancel", QStringLiteral("Cancelar"), recordKeys(RecordCommand::Cancelar), QStyle::SP_DialogCancelButton, [this] { cancel(); }},
        {&actFirst, "actFirst", QStringLiteral("Primeiro"), recordKeys(RecordCommand::Primeiro), QStyle::SP_MediaSkipBackward, [this] { first(); }},
        {&actPrior, "actPrior", QStringLiteral("Anterior"), recordKeys(RecordCommand::Anterior), QStyle::SP_MediaSeekBackward, [this] { prior(); }},
        {&actNext, "actNext", QStringLiteral("Próximo"), recordKeys(RecordCommand::Proximo), QStyle::SP_MediaSeekForward, [this] { next(); }},
        {&actLast, "actLast", QStringLiteral("Último"), recordKeys(RecordCommand::Ultimo), QStyle::SP_MediaSkipForward, [this] { last(); }},
        // Ctrl+P belongs to "Pesquisar"; giving it to both would make the key
        // ambiguous. A screen without a search prints with it.
        {&actPrint, "actPrint", QStringLiteral("Imprimir..."),
         m_def.hasSearch ? QList<QKeySequence>{} : QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_P)},
         QStyle::SP_FileDialogContentsView, [this] { print(); }},
        {&actPesquisar, "actPesquisar", QStringLiteral("Pesquisar"), {QKeySequence(Qt::CTRL | Qt::Key_P)}, QStyle::SP_FileDialogInfoView, [this] { search(); }},
        {&actSair, "actSair", QStringLiteral("Sair"), {QKeySequence(Qt::CTRL | Qt::Key_S)}, QStyle::SP_DialogCloseButton, [this] { leave(); }},
    };
    Toolbar::commandKeysFirst();
    for (const Spec &s : specs) {
        auto *a = new QAction(style()->standardIcon(s.icon), s.caption, this);
        a->setObjectName(QLatin1String(s.name));
        a->setShortcuts(s.keys);
        // Several screens are open at once: a key acts on the screen that has the focus.
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        a->setToolTip(Toolbar::hint(s.caption, s.keys));
        a->setStatusTip(Toolbar::hint(s.caption, {}));
        a->setIconText(s.caption);
        addAction(a);
        *s.slot = a;
        connect(a, &QAction::triggered, this, s.handler);
    }

    const QList<QList<QAction *>> groups = {{actAppend, actEdit, actDelete, actRefresh},
                                            {actPost, actCancel},
                                            {actFirst, actPrior, actNext, actLast},
                                            {actPrint, actPesquisar},
                                            {actSair}};
    bool firstGroup = true;
    for (const auto &g : groups) {
        QList<QAction *> shown;
        for (QAction *a : g) {
            if ((a == actPrint && !m_def.hasPrint) || (a == actPesquisar && !m_def.hasSearch)) {
                a->setVisible(false);
                a->setEnabled(false);
                continue;
            }
            shown << a;
        }
        if (shown.isEmpty())
            continue;
        if (!firstGroup)
            m_toolBar->addSeparator();
        firstGroup = false;
        for (QAction *a : shown) {
            m_toolBar->addAction(a);
            if (QWidget *b = m_toolBar->widgetForAction(a))
                b->setAccessibleName(a->text());
        }
    }
}

void RegisterScreen::buildFields()
{
    m_binders.clear();
    delete m_fieldsBox->layout();
    qDeleteAll(m_fieldsBox->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly));

    auto *grid = new QGridLayout(m_fieldsBox);
    grid->setColumnStretch(1, 1);
    int row = 0;
    bool hasMemo = false;
    for (const FieldDef &f : m_def.fields) {
        auto b = FieldBinder::create(f, m_conn, m_fieldsBox, m_def.table);
        b->editor()->installEventFilter(this);
        if (f.kind == EditorKind::Memo) {
            if (m_def.listBelowRecord)
                b->editor()->setMaximumHeight(b->editor()->fontMetrics().height() * 4 + 12);
            grid->addWidget(b->label(), row++, 0, 1, 2, Qt::AlignLeft | Qt::AlignBottom);
            grid->addWidget(b->editor(), row, 0, 1, 2);
            grid->setRowStretch(row++, 1);
            hasMemo = true;
        } else if (f.kind == EditorKind::Check) {
            grid->addWidget(b->editor(), row++, 1, Qt::AlignLeft);
        } else {
            grid->addWidget(b->label(), row, 0, Qt::AlignLeft | Qt::AlignVCenter);
            const bool narrow = f.kind == EditorKind::Key || f.kind == EditorKind::Date || f.kind == EditorKind::Number
                                || (f.maxLength > 0 && f.maxLength <= 15);
            if (narrow && f.width == 0)
                b->editor()->setFixedWidth(f.kind == EditorKind::Date ? 100 : 80);
            grid->addWidget(b->editor(), row++, 1, narrow || f.kind == EditorKind::Lookup || f.kind == EditorKind::Choice
                                                       ? Qt::AlignLeft : Qt::Alignment());
        }
        m_binders.push_back(std::move(b));
    }
    if (!hasMemo)
        grid->setRowStretch(row, 1);
    // Widgets added to a window already on screen stay hidden unless told.
    for (QWidget *w : m_fieldsBox->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        w->setVisible(true);
}

void RegisterScreen::configureModel()
{
    QList<PagedQueryModel::Column> cols;
    int shaded = -1;
    for (const GridColumn &g : m_def.gridColumns()) {
        PagedQueryModel::Column c;
        c.title = g.title;
        c.width = g.width;
        if (g.isLookup()) {
            c.expression = QStringLiteral("(select lk.%1 from %2 lk where lk.%3 = t.%4)")
                               .arg(g.lookup.displayColumn, g.lookup.table, g.lookup.keyColumn, g.column);
            c.sortable = g.sortByKey;
            c.sortExpression = QStringLiteral("t.") + g.column;
        } else {
            c.expression = QStringLiteral("t.") + g.column;
        }
        if (sameColumn(g.column, m_def.keyColumn) && !g.isLookup())
            shaded = cols.size();
        cols << c;
    }
    m_model->setSource(m_def.table.isEmpty() ? QString() : m_def.table + QStringLiteral(" t"), cols,
                       QStringLiteral("t.") + m_def.keyColumn);
    m_model->setShadedColumn(shaded);
    for (int i = 0; i < cols.size(); ++i)
        if (cols.at(i).width > 0)
            m_grid->setColumnWidth(i, cols.at(i).width);
}

void RegisterScreen::setDefinition(const RegisterDef &def)
{
    if (m_search)
        m_search->close();
    m_def = def;
    setWindowTitle(def.caption);
    if (m_listCaption)
        m_listCaption->setText(def.listCaption);
    m_state.mode = RecordMode::Browse;
    m_stored.clear();
    buildFields();
    configureModel();
    setEditable(false);
    fitRecordAboveList();
    updateActions();
}

void RegisterScreen::setReady(bool ready)
{
    m_state.ready = ready;
    updateActions();
}

RecordState RegisterScreen::state() const
{
    RecordState s = m_state;
    s.row = currentRow();
    s.rowCount = m_model->rowCount();
    s.editNeedsRow = m_def.editNeedsRow;
    return s;
}

void RegisterScreen::updateActions()
{
    const RecordState s = state();
    // The permission gate marks what the profile may not do; no rule undoes it.
    Toolbar::applyRecordState(s, {actAppend, actEdit, actDelete, actRefresh, actPost, actCancel, actFirst, actPrior, actNext, actLast});
    Toolbar::enable(actPrint, m_def.hasPrint);
    // A screen whose search has no criteria offers "Pesquisar" disabled
    // rather than a command that does nothing.
    Toolbar::enable(actPesquisar, m_def.hasSearch && !m_def.search.isEmpty());
    Toolbar::enable(actSair, true);
    // While a record is typed the list stays where it is (see RecordState).
    m_grid->setEnabled(!s.editing());
    stateChanged();
}

FieldBinder *RegisterScreen::binder(const QString &column) const
{
    for (const auto &b : m_binders)
        if (sameColumn(b->def().column, column))
            return b.get();
    return nullptr;
}

int RegisterScreen::currentRow() const
{
    const QModelIndex i = m_grid->currentIndex();
    return i.isValid() ? i.row() : -1;
}

QVariant RegisterScreen::currentKey() const
{
    const int r = currentRow();
    return r < 0 ? QVariant() : m_model->key(r);
}

QString RegisterScreen::keyText() const
{
    return Sql::text(currentKey());
}

void RegisterScreen::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_opened)
        open();
}

void RegisterScreen::open()
{
    m_opened = true;
    if (!m_state.ready || m_def.table.isEmpty())
        return;
    try {
        reloadLookups();
        loadList(m_def.loadAllWhenShown ? QString() : QStringLiteral("1=2"));
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
}

void RegisterScreen::reloadLookups()
{
    for (const auto &b : m_binders)
        b->reloadRows();
}

void RegisterScreen::loadList(const QString &condition, const QVariantMap &params)
{
    m_state.mode = RecordMode::Browse;
    setEditable(false);
    QString where = condition;
    if (!m_def.rowFilter.isEmpty() && m_applyRowFilter)
        where = condition.isEmpty() ? m_def.rowFilter
                                    : QStringLiteral("(%1) and (%2)").arg(m_def.rowFilter, condition);
    m_model->setFilter(where, params);
    m_model->reload();
    if (m_model->rowCount() > 0)
        setCurrentRow(0);
    else
        currentRowChanged();
}

void RegisterScreen::setCurrentRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex idx = m_model->index(row, 0);
    if (m_grid->currentIndex().row() == row) {
        currentRowChanged();
        return;
    }
    m_grid->setCurrentIndex(idx);
    m_grid->scrollTo(idx);
}

void RegisterScreen::currentRowChanged()
{
    if (m_state.mode == RecordMode::Browse)
        loadCurrentRecord();
    updateActions();
}

QStringList RegisterScreen::recordColumns() const
{
    QStringList cols;
    appendUnique(cols, m_def.keyColumn);
    for (const FieldDef &f : m_def.fields)
        appendUnique(cols, f.column);
    if (m_def.audit.enabled) {
        appendUnique(cols, m_def.audit.insertedBy);
        appendUnique(cols, m_def.audit.insertedAt);
        appendUnique(cols, m_def.audit.modifiedBy);
        appendUnique(cols, m_def.audit.modifiedAt);
    }
    return cols;
}

void RegisterScreen::loadCurrentRecord()
{
    m_stored.clear();
    const QVariant key = currentKey();
    if (key.isValid() && !key.isNull()) {
        const QStringList cols = recordColumns();
        try {
            QSqlQuery q = Sql::exec(*m_conn, QStringLiteral("select %1 from %2 where %3 = :zapo_key")
                                                 .arg(cols.join(QStringLiteral(", ")), m_def.table, m_def.keyColumn),
                                    {{QStringLiteral("zapo_key"), key}});
            if (q.next())
                for (int i = 0; i < cols.size(); ++i)
                    m_stored.insert(cols.at(i), q.value(i));
        } catch (const DbError &e) {
            Services::messages().error(e.text(), this);
        }
    }
    showRecord(m_stored);
}

void RegisterScreen::showRecord(const Record &values)
{
    for (const auto &b : m_binders) {
        QVariant v;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            if (sameColumn(it.key(), b->def().column)) {
                v = it.value();
                break;
            }
        b->load(v);
    }
    recordShown();
}

void RegisterScreen::setEditable(bool on)
{
    for (const auto &b : m_binders)
        b->setEditable(on);
}

void RegisterScreen::focusFirstEditable()
{
    m_tabs->setCurrentIndex(0);
    if (!m_def.focusOnNew.isEmpty()) {
        if (FieldBinder *b = binder(m_def.focusOnNew)) {
            b->focus();
            return;
        }
    }
    for (const auto &b : m_binders)
        if (!b->def().readOnly) {
            b->focus();
            return;
        }
}

Record RegisterScreen::collect() const
{
    Record r;
    for (const auto &b : m_binders)
        if (b->def().kind != EditorKind::Key)
            r.insert(b->def().column, b->value());
    return r;
}

// ---- actions ---------------------------------------------------------------

void RegisterScreen::append()
{
    if (!m_state.ready)
        return;
    try {
        reloadLookups();
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
    // The list shows only the new record until "Atualizar" or a search.
    m_model->setFilter(QStringLiteral("1=2"));
    m_model->clear();
    m_state.mode = RecordMode::Insert;
    m_stored.clear();
    showRecord(m_def.defaults);
    setEditable(true);
    updateActions();
    focusFirstEditable();
}

void RegisterScreen::edit()
{
    if (!m_state.ready || m_state.mode != RecordMode::Browse)
        return;
    if (currentRow() < 0) {
        if (m_def.editNeedsRow)
            return;
        // An empty list: a new record, without the defaults.
        m_state.mode = RecordMode::Insert;
        m_stored.clear();
        showRecord({});
    } else {
        m_state.mode = RecordMode::Edit;
    }
    setEditable(true);
    updateActions();
    focusFirstEditable();
}

void RegisterScreen::cancel()
{
    if (!m_state.ready || m_state.mode == RecordMode::Browse)
        return;
    m_state.mode = RecordMode::Browse;
    setEditable(false);
    if (m_def.reloadAllAfterCancel) {
        try {
            loadList(QString());
        } catch (const DbError &e) {
            Services::messages().error(e.text(), this);
        }
        updateActions();
        return;
    }
    // A new record disappears (the list stays as "Novo" left it); an edited
    // row shows its stored values again.
    loadCurrentRecord();
    updateActions();
}

void RegisterScreen::refresh()
{
    if (!m_state.ready)
        return;
    try {
        reloadLookups();
        loadList(QString());
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
    updateActions();
}

void RegisterScreen::first()
{
    if (state().canGoBack())
        setCurrentRow(0);
}

void RegisterScreen::prior()
{
    if (state().canGoBack())
        setCurrentRow(currentRow() - 1);
}

void RegisterScreen::next()
{
    if (state().canGoForward())
        setCurrentRow(currentRow() + 1);
}

void RegisterScreen::last()
{
    if (!state().canGoForward())
        return;
    try {
        m_model->ensureCount();
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
    setCurrentRow(m_model->rowCount() - 1);
}

void RegisterScreen::print()
{
    if (!m_def.hasPrint || m_def.listReport <= 0)
        return;
    try {
        if (QWidget *w = ScreenCatalog::instance().open(m_def.listReport, window())) {
            w->setAttribute(Qt::WA_DeleteOnClose);
            w->show();
        }
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
}

void RegisterScreen::search()
{
    if (!m_def.hasSearch || m_def.search.isEmpty())
        return;
    if (!m_search) {
        QPointer<RegisterScreen> self(this);
        m_search = new SearchWindow(m_def.search, *m_conn, this, [self](const QVariant &key) {
            if (self)
                self->showKey(key);
        });
    }
    m_search->show();
    m_search->raise();
    m_search->activateWindow();
}

void RegisterScreen::leave()
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->close();
    else
        close();
}

void RegisterScreen::showKey(const QVariant &key)
{
    if (!m_state.ready)
        return;
    try {
        // A key picked in the search window shows its row even outside the
        // screen's usual rows (the search lists them all).
        m_applyRowFilter = false;
        const auto restore = qScopeGuard([this] { m_applyRowFilter = true; });
        loadList(QStringLiteral("t.") + m_def.keyColumn + QStringLiteral(" = :zapo_shown"), {{QStringLiteral("zapo_shown"), key}});
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
    updateActions();
}

void RegisterScreen::sortByColumn(int column)
{
    if (!m_def.sortable || m_state.mode != RecordMode::Browse)
        return;
    const int before = m_model->sortColumn();
    if (!m_model->sortBy(column)) {
        Services::messages().information(kSortFailed, this);
        return;
    }
    try {
        m_model->reload();
    } catch (const DbError &) {
        m_model->sortBy(before);
        Services::messages().information(kSortFailed, this);
        try {
            m_model->reload();
        } catch (const DbError &) {
        }
    }
    if (m_model->rowCount() > 0)
        setCurrentRow(0);
    else
        currentRowChanged();
    m_grid->viewport()->update();
}

bool RegisterScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // The toolbar's keys win over the editors' own uses of them (Ctrl+A,
        // Ctrl+Home, Ctrl+Left...), as long as the action can run.
        auto *k = static_cast<QKeyEvent *>(event);
        const QKeySequence seq(k->keyCombination());
        for (QAction *a : actions()) {
            if (!a->isEnabled() || !a->isVisible())
                continue;
            for (const QKeySequence &s : a->shortcuts())
                if (s.matches(seq) == QKeySequence::ExactMatch) {
                    event->ignore();
                    return true;
                }
        }
    }
    return QWidget::eventFilter(watched, event);
}
