#include "ui/PagedPicker.h"
#include "db/BackgroundCount.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/register/PagedQueryModel.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

PagedPicker::PagedPicker(QWidget *parent) : QWidget(parent)
{
    m_model = new PagedQueryModel(this);
    m_model->setBackgroundCount(true);
    m_model->setSeekable(true);
    m_position = new BackgroundCount(this);
    connect(m_position, &BackgroundCount::counted, this, [this](qint64 rows) { placeAt(rows); });
    connect(m_position, &BackgroundCount::failed, this, [this] {
        try {
            placeNow(); // counted here instead
        } catch (const DbError &) {
            // Neither connection can count: the picker goes back to the row it knew.
            stopPlacing();
            emit currentChanged(currentId());
        }
    });
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("edtPicker"));
    m_button = new QToolButton(this);
    m_button->setArrowType(Qt::DownArrow);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setAccessibleName(QStringLiteral("Abrir lista"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_edit, 1);
    row->addWidget(m_button);
    setFocusProxy(m_edit);

    m_popup = new QFrame(this, Qt::Popup);
    m_popup->setFrameShape(QFrame::Box);
    m_view = makeReadOnlyGrid(m_popup, m_model, QStringLiteral("grdPicker"));
    m_view->horizontalHeader()->hide();
    m_view->setFocusPolicy(Qt::StrongFocus);
    auto *pl = new QVBoxLayout(m_popup);
    pl->setContentsMargins(0, 0, 0, 0);
    pl->addWidget(m_view);
    m_view->installEventFilter(this);
    m_edit->installEventFilter(this);
    m_popup->installEventFilter(this);

    connect(m_button, &QToolButton::clicked, this, [this] { listVisible() ? hideList() : showList(); });
    connect(m_edit, &QLineEdit::textEdited, this, &PagedPicker::typed);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &i) {
                if (listVisible() && i.isValid())
                    setCurrentRow(i.row());
            });
    connect(m_view, &QTableView::clicked, this, [this](const QModelIndex &i) {
        setCurrentRow(i.row());
        hideList();
    });
}

void PagedPicker::setSource(Connection *c, const QString &source, const QString &key, const QString &name)
{
    m_conn = c;
    m_source = source;
    m_key = key;
    m_name = name;
    m_model->setConnection(c);
    PagedQueryModel::Column nameColumn, keyColumn;
    nameColumn.title = QStringLiteral("Nome");
    nameColumn.expression = name;
    keyColumn.title = QStringLiteral("Código");
    keyColumn.expression = key;
    m_model->setSource(source, {nameColumn, keyColumn}, key);
    m_model->sortBy(0);
}

void PagedPicker::setFilter(const QString &condition, const QVariantMap &params)
{
    m_filter = condition;
    m_params = params;
}

QString PagedPicker::where(const QString &extra) const
{
    QStringList parts{m_name + QStringLiteral(" is not null")};
    if (!m_filter.isEmpty())
        parts << QStringLiteral("(") + m_filter + QStringLiteral(")");
    if (!extra.isEmpty())
        parts << extra;
    return parts.join(QStringLiteral(" and "));
}

void PagedPicker::reload()
{
    stopPlacing();
    m_model->setFilter(where({}), m_params);
    m_model->sortBy(0);
    m_model->reload();
    m_row = -1;
    setCurrentRow(0);
    if (m_row < 0) {
        m_edit->clear();
        emit currentChanged(QVariant());
    }
}

int PagedPicker::rowCount() const
{
    return m_model->rowCount();
}

QVariant PagedPicker::currentId() const
{
    if (m_placing)
        return m_found.first().last();
    return m_row >= 0 ? m_model->key(m_row) : QVariant();
}

QString PagedPicker::currentName() const
{
    if (m_placing)
        return PagedQueryModel::displayText(m_found.first().first());
    return m_row >= 0 ? PagedQueryModel::displayText(m_model->rawValue(m_row, 0)) : QString();
}

int PagedPicker::currentRow() const
{
    if (m_placing)
        const_cast<PagedPicker *>(this)->placeNow();
    return m_row;
}

void PagedPicker::setCurrentRow(int row)
{
    // Moving from a row whose number is still being counted: counted now,
    // so that the move starts from it.
    placeNow();
    if (row >= rowCount() && !m_model->countExact()) {
        try {
            m_model->ensureCount(); // a row beyond the pages read so far
        } catch (const DbError &) {
            return; // the picker stays where it was
        }
    }
    if (row < 0 || row >= rowCount())
        return;
    const bool moved = row != m_row;
    m_row = row;
    m_view->setCurrentIndex(m_model->index(row, 0));
    m_view->scrollTo(m_model->index(row, 0), QAbstractItemView::PositionAtTop);
    // While the list is open the box keeps what is being typed.
    if (!listVisible())
        showCurrentName();
    if (moved)
        emit currentChanged(currentId());
}

void PagedPicker::showCurrentName()
{
    m_edit->setText(currentName());
    m_edit->setCursorPosition(0);
}

void PagedPicker::findText(const QString &text)
{
    if (!m_conn || rowCount() == 0)
        return;
    const QString find = text.toUpper();
    // The names from the text on, in the list's own order (name, then key),
    // read through the name index: the first is the one to stand on.
    const QVector<QVector<QVariant>> rows = m_model->rowsFrom(find, {}, m_model->pageSize());
    if (rows.isEmpty()) {
        // Every name is below the text: the last row.
        stopPlacing();
        m_model->ensureCount();
        setCurrentRow(rowCount() - 1);
        return;
    }
    QVariantMap p = m_params;
    p.insert(QStringLiteral("zapo_find"), find);
    standOnFound(rows, m_name + QStringLiteral(" < :zapo_find"), p);
}

bool PagedPicker::selectId(const QVariant &id)
{
    if (!m_conn || !id.isValid() || id.isNull())
        return false;
    QVariantMap p = m_params;
    p.insert(QStringLiteral("zapo_id"), id);
    QSqlQuery q = Sql::exec(*m_conn, QStringLiteral("select %1 from %2 where %3")
                                         .arg(m_name, m_source, where(m_key + QStringLiteral(" = :zapo_id"))),
                            p);
    if (!q.next())
        return false;
    const QVariant name = q.value(0);
    p.insert(QStringLiteral("zapo_name"), name);
    q = QSqlQuery();
    const QVector<QVector<QVariant>> rows = m_model->rowsFrom(name, id, m_model->pageSize());
    if (rows.isEmpty())
        return false;
    standOnFound(rows,
                 QStringLiteral("(%1 < :zapo_name or (%1 = :zapo_name and %2 < :zapo_id))").arg(m_name, m_key), p);
    return true;
}

void PagedPicker::standOnFound(const QVector<QVector<QVariant>> &rows, const QString &beforeCondition,
                               const QVariantMap &params)
{
    const QVariant was = currentId();
    stopPlacing();
    m_found = rows;
    m_beforeSql = QStringLiteral("select count(*) from %1 where %2").arg(m_source, where(beforeCondition));
    m_beforeParams = params;
    m_placing = true;
    // While the list is open the box keeps what is being typed.
    if (!listVisible())
        showCurrentName();
    if (!m_position->start(*m_conn, m_beforeSql, m_beforeParams))
        placeNow(); // no second connection to count on: counted here
    const QVariant now = currentId();
    if (now != was)
        emit currentChanged(now);
}

void PagedPicker::placeAt(qint64 row)
{
    if (!m_placing)
        return;
    m_placing = false;
    const QVector<QVector<QVariant>> rows = std::exchange(m_found, {});
    // The rows read from the name are the list's rows from that number on,
    // so the list shows them without reading them again.
    m_model->placeRows(int(row), rows, rows.size() < m_model->pageSize());
    if (row >= rowCount())
        m_model->ensureCount();
    m_row = int(qMin<qint64>(row, rowCount() - 1));
    m_view->setCurrentIndex(m_model->index(m_row, 0));
    m_view->scrollTo(m_model->index(m_row, 0), QAbstractItemView::PositionAtTop);
}

void PagedPicker::placeNow()
{
    if (!m_placing)
        return;
    m_position->cancel();
    placeAt(Sql::scalar(*m_conn, m_beforeSql, m_beforeParams).toLongLong());
}

void PagedPicker::stopPlacing()
{
    if (m_position->busy())
        m_position->cancel();
    m_placing = false;
    m_found.clear();
}

void PagedPicker::typed(const QString &text)
{
    if (text.isEmpty())
        return;
    if (!listVisible())
        showList();
    findText(text);
}

void PagedPicker::showList()
{
    if (rowCount() == 0)
        return;
    const QPoint at = mapToGlobal(QPoint(0, height()));
    const int rowsShown = qMin(12, rowCount());
    m_popup->resize(qMax(width(), 240), m_view->verticalHeader()->defaultSectionSize() * rowsShown + 4);
    m_popup->move(at);
    m_popup->show();
    if (m_row >= 0)
        m_view->scrollTo(m_model->index(m_row, 0), QAbstractItemView::PositionAtTop);
    m_view->setFocus();
}

void PagedPicker::hideList()
{
    m_popup->hide();
    showCurrentName();
    m_edit->setFocus();
}

bool PagedPicker::listVisible() const
{
    return m_popup->isVisible();
}

bool PagedPicker::eventFilter(QObject *watched, QEvent *event)
{
    // A click outside closes the list: the box shows the row stood on again.
    if (watched == m_popup && event->type() == QEvent::Hide) {
        showCurrentName();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *k = static_cast<QKeyEvent *>(event);
    if (watched == m_edit) {
        const bool open = k->key() == Qt::Key_F4 || (k->key() == Qt::Key_Down && (k->modifiers() & Qt::AltModifier));
        if (open) {
            showList();
            return true;
        }
        // Arrows step through the list without opening it, as a drop-down does.
        if (k->key() == Qt::Key_Down || k->key() == Qt::Key_Up) {
            setCurrentRow(currentRow() + (k->key() == Qt::Key_Down ? 1 : -1));
            return true;
        }
        // The first letter typed starts a new search instead of being
        // added to the name shown.
        if (!listVisible() && !k->text().isEmpty() && k->text().at(0).isPrint())
            m_edit->clear();
        return false;
    }
    if (watched == m_view) {
        // Keys that move or choose act from the row found, so its number
        // is counted now if it is still being counted.
        if (k->text().isEmpty() || !k->text().at(0).isPrint())
            placeNow();
        switch (k->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
            setCurrentRow(m_view->currentIndex().row());
            hideList();
            return true;
        case Qt::Key_Escape:
            hideList();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            return false; // the list moves; currentRowChanged follows it
        default:
            // Typing goes on in the text box while the list is open.
            QApplication::sendEvent(m_edit, event);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
