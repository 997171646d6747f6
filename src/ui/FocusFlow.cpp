#include "ui/FocusFlow.h"

#include <QAbstractItemView>
#include <QAction>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QToolBar>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>
#include <optional>
#include <utility>

namespace FocusFlow {

namespace {

bool isEnter(const QKeyEvent *k)
{
    return (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
           && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
}

class EnterFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !isEnter(static_cast<QKeyEvent *>(event)))
            return false;
        auto *w = qobject_cast<QWidget *>(watched);
        if (!w || w->property("zapoOwnEnter").toBool())
            return false;
        if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->view() && combo->view()->isVisible())
            return false; // Enter picks from the open list
        if (entersOnward(w)) {
            focusNext(w);
            return true;
        }
        if (auto *button = qobject_cast<QPushButton *>(w)) {
            // A focused button is pressed by Enter, whatever its default
            // setting: the clerk who reached OK with Enter expects it.
            if (button->isEnabled())
                button->click();
            return true;
        }
        return false;
    }
};

EnterFilter *filter()
{
    static EnterFilter *f = new EnterFilter(qApp);
    return f;
}

bool watchable(const QWidget *w)
{
    return entersOnward(w) || qobject_cast<const QPushButton *>(w);
}

using Position = std::pair<int, int>;
using Path = QList<Position>;

Position positionIn(QLayout *l, int index)
{
    if (auto *grid = qobject_cast<QGridLayout *>(l)) {
        int r = 0, c = 0, rs = 0, cs = 0;
        grid->getItemPosition(index, &r, &c, &rs, &cs);
        return {r, c};
    }
    if (auto *form = qobject_cast<QFormLayout *>(l)) {
        int row = 0;
        QFormLayout::ItemRole role = QFormLayout::LabelRole;
        form->getItemPosition(index, &row, &role);
        return {row, role == QFormLayout::LabelRole ? 0 : 1};
    }
    if (auto *box = qobject_cast<QBoxLayout *>(l)) {
        switch (box->direction()) {
        case QBoxLayout::LeftToRight:
            return {0, index};
        case QBoxLayout::RightToLeft:
            return {0, -index};
        case QBoxLayout::BottomToTop:
            return {-index, 0};
        default:
            return {index, 0};
        }
    }
    return {index, 0};
}

bool findInLayout(QLayout *l, const QWidget *w, Path &path)
{
    for (int i = 0; i < l->count(); ++i) {
        QLayoutItem *item = l->itemAt(i);
        if (!item)
            continue;
        path.append(positionIn(l, i));
        if (item->widget() == w)
            return true;
        if (item->layout() && findInLayout(item->layout(), w, path))
            return true;
        path.removeLast();
    }
    return false;
}

// A widget that takes the focus itself and keeps parts of its own (a
// calendar, a list, a spin box): its insides are its own business. Scroll
// areas, tab widgets and group boxes only hold the form's fields.
bool focusableCompound(const QWidget *w)
{
    return w->focusPolicy() & Qt::TabFocus && !qobject_cast<const QScrollArea *>(w)
           && !qobject_cast<const QTabWidget *>(w) && !qobject_cast<const QGroupBox *>(w);
}

bool explicitlyHidden(const QWidget *w)
{
    return w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->testAttribute(Qt::WA_WState_Hidden);
}

// Where `w` stands inside `root`, outermost step first; nothing when some
// step is not placed by a layout (or a stack, splitter, scroll area or tab
// widget) or is hidden on purpose.
std::optional<Path> pathOf(QWidget *w, QWidget *root)
{
    Path path;
    const QWidget *field = w;
    while (w != root) {
        if (w != field && (focusableCompound(w) || qobject_cast<QToolBar *>(w)))
            return std::nullopt;
        QWidget *p = w->parentWidget();
        if (!p)
            return std::nullopt;
        Path step;
        if (auto *stack = qobject_cast<QStackedWidget *>(p)) {
            step.append({stack->indexOf(w), 0}); // a page: hidden while another shows
        } else {
            if (explicitlyHidden(w))
                return std::nullopt;
            if (auto *split = qobject_cast<QSplitter *>(p)) {
                const int i = split->indexOf(w);
                step.append(split->orientation() == Qt::Horizontal ? Position{0, i} : Position{i, 0});
            } else if (qobject_cast<QTabWidget *>(p) && qobject_cast<QStackedWidget *>(w)) {
                step.append({1, 0}); // the pages, below the tab bar
            } else if (auto *area = qobject_cast<QScrollArea *>(p ? p->parentWidget() : nullptr);
                       area && area->viewport() == p && area->widget() == w) {
                step.append({0, 0});
                w = area; // the viewport is the scroll area's own business
                path = step + path;
                continue;
            } else if (!p->layout() || !findInLayout(p->layout(), w, step)) {
                return std::nullopt;
            }
        }
        path = step + path;
        w = p;
    }
    return path;
}

} // namespace

bool entersOnward(const QWidget *w)
{
    if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QComboBox *>(w)
        || qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QCheckBox *>(w)
        || qobject_cast<const QRadioButton *>(w) || qobject_cast<const QToolButton *>(w))
        return true;
    // A "..." button opens a helper window by click or Space; Enter walks on.
    if (auto *b = qobject_cast<const QPushButton *>(w))
        return b->text() == QStringLiteral("...");
    return false;
}

void watch(QWidget *w)
{
    if (w)
        w->installEventFilter(filter());
}

void watchBelow(QWidget *root)
{
    // Fields that take no focus now (read-only until a command opens them)
    // are watched too: Enter must walk on from them once they are editable.
    for (QWidget *w : root->findChildren<QWidget *>())
        if (watchable(w))
            watch(w);
}

void watchButtons(QWidget *root)
{
    for (QPushButton *b : root->findChildren<QPushButton *>())
        if (b->focusPolicy() & Qt::TabFocus)
            watch(b);
}

namespace {
class EnterAction : public QObject {
public:
    EnterAction(QAbstractItemView *list, std::function<void()> act) : QObject(list), m_list(list), m_act(std::move(act)) {}
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A cell being edited has the keys itself; the list sees them only
        // when it has the focus.
        if (watched != m_list || event->type() != QEvent::KeyPress || !isEnter(static_cast<QKeyEvent *>(event)))
            return false;
        m_act();
        return true;
    }

private:
    QAbstractItemView *m_list;
    std::function<void()> m_act;
};
} // namespace

void onEnter(QAbstractItemView *list, std::function<void()> act)
{
    list->installEventFilter(new EnterAction(list, std::move(act)));
}

void tabKeys(QTabWidget *tabs, QWidget *scope)
{
    auto add = [tabs, scope](const char *name, Qt::Key key, int step) {
        auto *a = new QAction(scope);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(QKeySequence(Qt::CTRL | key));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(a, &QAction::triggered, tabs, [tabs, step] {
            const int n = tabs->count();
            for (int i = 1; i < n; ++i) {
                const int next = ((tabs->currentIndex() + step * i) % n + n) % n;
                if (tabs->isTabEnabled(next) && tabs->isTabVisible(next)) {
                    tabs->setCurrentIndex(next);
                    return;
                }
            }
        });
        scope->addAction(a);
    };
    add("actProximaAba", Qt::Key_PageDown, 1);
    add("actAbaAnterior", Qt::Key_PageUp, -1);
}

void closeOnEscape(QWidget *window)
{
    auto *a = new QAction(window);
    a->setObjectName(QStringLiteral("actFecharEsc"));
    a->setShortcut(QKeySequence(Qt::Key_Escape));
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(a, &QAction::triggered, window, &QWidget::close);
    window->addAction(a);
}

void focusNext(QWidget *w)
{
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &tab);
}

QList<QWidget *> layoutOrder(QWidget *root)
{
    QList<std::pair<Path, QWidget *>> placed;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() || w->isWindow())
            continue;
        if (std::optional<Path> p = pathOf(w, root))
            placed.append({*p, w});
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<QWidget *> out;
    for (const auto &p : placed)
        out << p.second;
    return out;
}

namespace {

// Tab and Shift+Tab among the widgets of a screen in reading order. The
// toolkit's own chain is set too, but it cannot be trusted to move
// widgets that hold children of their own (lists, notes): their parts stay
// behind and drag the next field to where the widget used to be.
class TabRing : public QObject {
public:
    TabRing(QWidget *root, const QList<QWidget *> &order) : QObject(root)
    {
        setObjectName(QStringLiteral("zapoTabRing"));
        for (QWidget *w : order) {
            m_order << w;
            w->installEventFilter(this);
        }
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *k = static_cast<QKeyEvent *>(event);
        if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        const bool back = k->key() == Qt::Key_Backtab || (k->key() == Qt::Key_Tab && k->modifiers() & Qt::ShiftModifier);
        if (k->key() != Qt::Key_Tab && !back)
            return false;
        auto *w = static_cast<QWidget *>(watched);
        // A note that takes Tab as a character keeps it.
        if (auto *note = qobject_cast<QPlainTextEdit *>(w); note && !note->tabChangesFocus())
            return false;
        if (auto *note = qobject_cast<QTextEdit *>(w); note && !note->tabChangesFocus())
            return false;
        const qsizetype at = m_order.indexOf(w);
        const qsizetype n = m_order.size();
        if (at < 0)
            return false;
        for (qsizetype step = 1; step < n; ++step) {
            QWidget *c = m_order.at(((back ? at - step : at + step) % n + n) % n);
            if (c && c->isEnabled() && c->isVisible() && c->focusPolicy() & Qt::TabFocus) {
                c->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
                return true;
            }
        }
        return false;
    }

private:
    QList<QPointer<QWidget>> m_order;
};

} // namespace

void orderByLayout(QWidget *root)
{
    const QList<QWidget *> order = layoutOrder(root);
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
    delete root->findChild<TabRing *>(QStringLiteral("zapoTabRing"), Qt::FindDirectChildrenOnly);
    new TabRing(root, order);
}

void centreOn(QWidget *window, QWidget *opener)
{
    if (!window || !opener || !window->isWindow())
        return;
    const QSize size = window->frameGeometry().size().expandedTo(window->sizeHint());
    QRect r(QPoint(), size);
    r.moveCenter(opener->mapToGlobal(opener->rect().center()));
    if (QScreen *s = opener->screen()) {
        const QRect avail = s->availableGeometry();
        r.moveLeft(qBound(avail.left(), r.left(), qMax(avail.left(), avail.right() - r.width())));
        r.moveTop(qBound(avail.top(), r.top(), qMax(avail.top(), avail.bottom() - r.height())));
    }
    window->move(r.topLeft());
}

void focusFirst(QWidget *window)
{
    if (!window)
        return;
    QWidget *now = QApplication::focusWidget();
    if (now && (now == window || window->isAncestorOf(now)) && now != window)
        return;
    auto takes = [window](QWidget *w) {
        return w && window->isAncestorOf(w) && w->focusPolicy() & Qt::TabFocus && w->isEnabled()
               && w->isVisibleTo(window) && !w->focusProxy();
    };
    QWidget *target = window->focusWidget();
    if (!takes(target)) {
        target = nullptr;
        for (QWidget *w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain())
            if (takes(w)) {
                target = w;
                break;
            }
    }
    if (window->isWindow()) {
        window->raise();
        window->activateWindow();
    }
    if (target)
        target->setFocus(Qt::TabFocusReason);
}

} // namespace FocusFlow
