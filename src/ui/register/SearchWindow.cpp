#include "ui/register/SearchWindow.h"
#include "ui/Buttons.h"
#include "ui/FocusFlow.h"
#include "ui/ReadOnlyGrid.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "ui/Services.h"
#include "ui/register/FieldBinder.h"
#include "ui/register/PagedQueryModel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QValidator>
#include <QVBoxLayout>

namespace {

class UpperCase : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};


} // namespace

SearchWindow::SearchWindow(const SearchDef &def, Connection &connection, QWidget *opener, Pick pick)
    : QWidget(opener, Qt::Window), m_def(def), m_conn(connection), m_pick(std::move(pick))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(def.objectName);
    setWindowTitle(def.title);
    FocusFlow::closeOnEscape(this);

    auto *outer = new QVBoxLayout(this);
    auto *top = new QGridLayout;
    m_criterion = new QComboBox(this);
    m_criterion->setObjectName(QStringLiteral("cbbCampo"));
    for (const SearchCriterion &c : def.criteria)
        m_criterion->addItem(c.caption);
    m_criterion->setCurrentIndex(def.initialCriterion);

    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("edtTexto"));
    if (def.upperCaseText)
        m_text->setValidator(new UpperCase(m_text));

    const SearchBarButtons buttons = placeSearchBar(top, this, QStringLiteral("Selecione:"), m_criterion, m_text,
                                                    def.searchCaption, QStringLiteral("bmpPesquisar"), def.okCaption);
    m_searchButton = buttons.find;
    m_okButton = buttons.ok;
    outer->addLayout(top);

    m_model = new PagedQueryModel(this);
    m_model->setConnection(&m_conn);
    m_model->setBackgroundCount(true);
    QList<PagedQueryModel::Column> cols;
    int shaded = -1;
    for (const GridColumn &g : def.columns) {
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
        if (g.column.compare(def.keyColumn, Qt::CaseInsensitive) == 0)
            shaded = cols.size();
        cols << c;
    }
    m_model->setSource(def.table + QStringLiteral(" t"), cols, QStringLiteral("t.") + def.keyColumn);
    m_model->setShadedColumn(shaded);
    connect(m_model, &PagedQueryModel::readFailed, this, [this](const QString &t) { Services::messages().error(t, this); },
            Qt::QueuedConnection);

    m_grid = makeReadOnlyGrid(this, m_model, QStringLiteral("dbgPesquisa"), QStringLiteral("Resultado"));
    for (int i = 0; i < cols.size(); ++i)
        if (cols.at(i).width > 0)
            m_grid->setColumnWidth(i, cols.at(i).width);
    FocusFlow::onEnter(m_grid, [this] { ok(); });
    outer->addWidget(m_grid, 1);

    auto *status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    m_count = new QLabel(status);
    m_count->setObjectName(QStringLiteral("lblTotal"));
    status->addWidget(m_count, 1);
    outer->addWidget(status);

    connect(m_searchButton, &QPushButton::clicked, this, [this] { runSearch(); });
    connect(m_okButton, &QPushButton::clicked, this, &SearchWindow::ok);
    connect(m_grid, &QTableView::doubleClicked, this, &SearchWindow::ok);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &SearchWindow::sortByColumn);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { rowMoved(); });
    m_text->setProperty("zapoOwnEnter", true); // Enter searches
    connect(m_text, &QLineEdit::returnPressed, this, [this] { runSearch(); });
    if (def.locateWhileTyping)
        connect(m_text, &QLineEdit::textEdited, this, [this] { locate(); });
    else // a new search is being typed: the old one's total is no longer wanted
        connect(m_text, &QLineEdit::textEdited, m_model, &PagedQueryModel::cancelCount);
    connect(m_model, &PagedQueryModel::countChanged, this, &SearchWindow::showCount);
    resize(520, 380);
}

void SearchWindow::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_shownOnce) {
        m_shownOnce = true;
        if (m_def.loadAllWhenShown)
            load(QString(), {});
        FocusFlow::centreOn(this, parentWidget());
        m_text->setFocus();
        FocusFlow::focusFirst(this);
    }
}

bool SearchWindow::load(const QString &condition, const QVariantMap &params)
{
    m_model->setFilter(condition, params);
    try {
        m_model->reload();
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
        return false;
    }
    showCount(m_model->rowCount(), m_model->countExact());
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 0));
    return true;
}

void SearchWindow::showCount(int rows, bool exact)
{
    // Until the total arrives the line says how many rows there are at least.
    m_count->setText(exact ? QString::number(rows) + m_def.countSuffix
                           : QString::number(rows) + QStringLiteral(" ou mais") + m_def.countSuffix);
}

bool SearchWindow::runSearch()
{
    const int c = m_criterion->currentIndex();
    if (c < 0 || c >= m_def.criteria.size()) {
        if (!m_def.noCriterionMessage.isEmpty()) {
            Services::messages().information(m_def.noCriterionMessage, this);
            m_criterion->setFocus();
        }
        return false;
    }
    const QString text = m_text->text().trimmed();
    if (text.isEmpty() && !m_def.noTextMessage.isEmpty()) {
        Services::messages().information(m_def.noTextMessage, this);
        m_criterion->setFocus();
        return false;
    }
    const SearchCriterion &crit = m_def.criteria.at(c);
    if (crit.match == Match::Equals) {
        bool ok = false;
        const qlonglong n = text.toLongLong(&ok);
        // A code that is no number matches nothing (rather than a database error).
        if (!ok)
            return load(QStringLiteral("1=2"), {});
        return load(QStringLiteral("t.%1 = :code").arg(crit.column), {{QStringLiteral("code"), n}});
    }
    return load(QStringLiteral("%1 like :prefix escape '!'").arg(m_conn.dialect().folded(QStringLiteral("t.") + crit.column)),
                {{QStringLiteral("prefix"), m_conn.dialect().prefixValue(foldText(text))}});
}

void SearchWindow::locate()
{
    const int c = m_criterion->currentIndex();
    const QString text = m_text->text().trimmed();
    if (c < 0 || c >= m_def.criteria.size() || text.isEmpty())
        return;
    const SearchCriterion &crit = m_def.criteria.at(c);
    QString match;
    if (crit.match == Match::Equals)
        match = QStringLiteral("cast(t.%1 as varchar(20)) like :zapo_loc escape '!'").arg(crit.column);
    else
        match = QStringLiteral("%1 like :zapo_loc escape '!'").arg(m_conn.dialect().folded(QStringLiteral("t.") + crit.column));
    try {
        // The first matching row as the grid lists it now (sorted or not).
        const int row = m_model->rowOf(match, {{QStringLiteral("zapo_loc"), m_conn.dialect().prefixValue(foldText(text))}});
        if (row >= m_model->rowCount())
            m_model->ensureCount(); // the row lies beyond the pages read so far
        if (row >= 0 && row < m_model->rowCount()) {
            m_grid->setCurrentIndex(m_model->index(row, 0));
            m_grid->scrollTo(m_model->index(row, 0));
        }
    } catch (const DbError &) {
        // Locating while typing is a convenience; a failure leaves the cursor where it was.
    }
}

void SearchWindow::rowMoved()
{
    if (!m_def.followCurrentRow || m_picking)
        return;
    const QModelIndex i = m_grid->currentIndex();
    if (!i.isValid())
        return;
    const QVariant key = m_model->key(i.row());
    if (key.isValid() && !key.isNull() && m_pick) {
        m_picking = true;
        m_pick(key);
        m_picking = false;
    }
}

void SearchWindow::ok()
{
    const QModelIndex i = m_grid->currentIndex();
    const QVariant key = i.isValid() ? m_model->key(i.row()) : QVariant();
    if (key.isValid() && !key.isNull()) {
        if (m_pick)
            m_pick(key);
    } else if (!m_def.nothingPickedMessage.isEmpty()) {
        Services::messages().information(m_def.nothingPickedMessage, this);
    }
    if (m_def.closeOnOk)
        close();
}

void SearchWindow::sortByColumn(int column)
{
    if (!m_def.sortable)
        return;
    const int before = m_model->sortColumn();
    if (!m_model->sortBy(column))
        return;
    try {
        m_model->reload();
    } catch (const DbError &) {
        m_model->sortBy(before);
        try {
            m_model->reload();
        } catch (const DbError &) {
        }
    }
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 0));
}

