#include "ui/register/FieldBinder.h"
#include "ui/DateLineEdit.h"
#include "ui/FocusFlow.h"

#include <algorithm>
#include "db/DataModule.h"
#include "db/Formats.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/schema/SchemaModel.h"
#include "ui/register/PagedQueryModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QValidator>

void ReadOnlyCheckBox::keyPressEvent(QKeyEvent *e)
{
    if (m_readOnly && (e->key() == Qt::Key_Space || e->key() == Qt::Key_Select)) {
        e->accept();
        return;
    }
    QCheckBox::keyPressEvent(e);
}

void ReadOnlyComboBox::keyPressEvent(QKeyEvent *e)
{
    if (m_readOnly) {
        switch (e->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            e->ignore();
            return;
        default:
            e->accept();
            return;
        }
    }
    QComboBox::keyPressEvent(e);
}

void ReadOnlyComboBox::wheelEvent(QWheelEvent *e)
{
    if (m_readOnly) {
        e->ignore();
        return;
    }
    QComboBox::wheelEvent(e);
}

namespace {

// Turns letters into upper case as they are typed or pasted.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

// The same towards lower case (e-mail addresses).
class LowerCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toLower();
        return Acceptable;
    }
};

class LineBinder : public FieldBinder {
public:
    LineBinder(const FieldDef &def, QWidget *parent) : FieldBinder(def)
    {
        // A date is typed whole and read as every date field reads it.
        if (def.kind == EditorKind::Date)
            m_edit = m_date = new DateLineEdit(parent);
        else
            m_edit = new QLineEdit(parent);
        if (def.maxLength > 0)
            m_edit->setMaxLength(def.maxLength);
        if (!def.inputMask.isEmpty() && !m_date)
            m_edit->setInputMask(def.inputMask);
        if (def.upperCase)
            m_edit->setValidator(new UpperCaseValidator(m_edit));
        else if (def.lowerCase)
            m_edit->setValidator(new LowerCaseValidator(m_edit));
        if (def.kind == EditorKind::Key) {
            // The user never types a key: shaded like the grid's key column.
            QPalette p = m_edit->palette();
            p.setBrush(QPalette::Base, p.brush(QPalette::Button));
            m_edit->setPalette(p);
            m_edit->setFocusPolicy(Qt::ClickFocus);
        }
        if (def.kind == EditorKind::Number)
            m_edit->setAlignment(Qt::AlignRight);
        if (def.kind == EditorKind::Number && def.wholeNumber)
            m_edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]{0,9}")), m_edit));
        attach(m_edit, parent);
    }

    void load(const QVariant &v) override
    {
        QString t;
        if (!v.isNull() && v.isValid()) {
            switch (m_def.kind) {
            case EditorKind::Date: {
                QDate d = v.toDate();
                if (!d.isValid())
                    d = QDateTime::fromString(v.toString(), Qt::ISODate).date();
                t = Formats::date(d);
                break;
            }
            case EditorKind::Number:
                t = m_def.wholeNumber ? QString::number(qRound64(v.toDouble())) : Formats::number(v.toDouble());
                break;
            default:
                t = PagedQueryModel::displayText(v);
            }
        }
        m_edit->setText(t);
        m_edit->setCursorPosition(0);
    }

    QVariant value() const override
    {
        const QString t = m_edit->text();
        switch (m_def.kind) {
        case EditorKind::Key: {
            bool ok = false;
            const int k = t.trimmed().toInt(&ok);
            return ok ? QVariant(k) : QVariant();
        }
        case EditorKind::Date: {
            // Shown with its four-digit year, a stored date reads back as
            // it was; what is no date was refused when the field was left
            // (and by the save's check of every date field).
            const QDate d = m_date->date();
            return d.isValid() ? QVariant(d) : QVariant();
        }
        case EditorKind::Number: {
            bool ok = false;
            if (m_def.wholeNumber) {
                const int n = t.trimmed().toInt(&ok);
                return ok ? QVariant(n) : QVariant();
            }
            const double n = Formats::parseNumber(t, &ok);
            return ok ? QVariant(n) : QVariant();
        }
        default: {
            // A masked field left blank still holds the mask's literals
            // ("()-"): nothing was typed, so nothing is stored.
            if (!m_def.inputMask.isEmpty() && !std::any_of(t.cbegin(), t.cend(), [](QChar ch) { return ch.isLetterOrNumber(); }))
                return QVariant();
            // Stored without surrounding blanks, as the stores and the
            // searches treat it: " X " could never be found again.
            const QString v = t.trimmed();
            return v.isEmpty() ? QVariant() : QVariant(v);
        }
        }
    }

    void setEditable(bool on) override { m_edit->setReadOnly(!on || m_def.readOnly); }

private:
    QLineEdit *m_edit;
    DateLineEdit *m_date = nullptr;
};

class MemoBinder : public FieldBinder {
public:
    MemoBinder(const FieldDef &def, QWidget *parent) : FieldBinder(def)
    {
        m_edit = new QPlainTextEdit(parent);
        m_edit->setTabChangesFocus(true);
        // A note is read over several lines, however little room the list
        // below leaves it.
        m_edit->setMinimumHeight(m_edit->fontMetrics().lineSpacing() * 3 + 2 * m_edit->frameWidth() + 8);
        if (def.maxLength > 0) {
            QObject::connect(m_edit, &QPlainTextEdit::textChanged, m_edit, [this] {
                const QString t = m_edit->toPlainText();
                if (t.size() > m_def.maxLength) {
                    QTextCursor c = m_edit->textCursor();
                    const int pos = qMin(c.position(), m_def.maxLength);
                    m_edit->setPlainText(t.left(m_def.maxLength));
                    c = m_edit->textCursor();
                    c.setPosition(pos);
                    m_edit->setTextCursor(c);
                }
            });
        }
        attach(m_edit, parent);
    }
    void load(const QVariant &v) override { m_edit->setPlainText(v.isNull() ? QString() : v.toString().trimmed()); }
    QVariant value() const override
    {
        const QString t = m_edit->toPlainText().trimmed();
        return t.isEmpty() ? QVariant() : QVariant(t);
    }
    void setEditable(bool on) override { m_edit->setReadOnly(!on || m_def.readOnly); }

private:
    QPlainTextEdit *m_edit;
};

class CheckBinder : public FieldBinder {
public:
    CheckBinder(const FieldDef &def, QWidget *parent) : FieldBinder(def)
    {
        m_box = new ReadOnlyCheckBox(def.caption, parent);
        attach(m_box, parent);
    }
    void load(const QVariant &v) override
    {
        m_stored = v.isNull() ? QString() : Sql::text(v);
        m_box->setChecked(!v.isNull() && m_stored.compare(m_def.checkedValue, Qt::CaseInsensitive) == 0);
        m_storedChecked = m_box->isChecked();
    }
    // An untouched box writes back what it read: a third word stored there
    // (a web account's "WEB" block) is not turned into the unchecked one.
    QVariant value() const override
    {
        if (!m_stored.isEmpty() && m_box->isChecked() == m_storedChecked)
            return m_stored;
        return m_box->isChecked() ? m_def.checkedValue : m_def.uncheckedValue;
    }
    void setEditable(bool on) override { m_box->setReadOnly(!on || m_def.readOnly); }

private:
    ReadOnlyCheckBox *m_box;
    QString m_stored;
    bool m_storedChecked = false;
};

// A drop-down of fixed words or of another table's rows. Only the rows on
// offer can be picked anew, but a record holding a value that is not on
// offer (a unit made inactive since, a word no longer listed) shows it as an
// extra line of its own and writes it back unchanged: filtering the list
// must never wipe what is stored.
class ComboBinder : public FieldBinder {
public:
    ComboBinder(const FieldDef &def, Connection *conn, QWidget *parent) : FieldBinder(def), m_conn(conn)
    {
        m_combo = new ReadOnlyComboBox(parent);
        m_combo->setEditable(false);
        // As wide as its longest entry (never narrower than twenty letters),
        // so that a chosen unit or breed is read whole.
        m_combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        m_combo->setMinimumContentsLength(20);
        if (def.blankEntry)
            m_combo->addItem(QString());
        if (def.kind == EditorKind::Choice) {
            for (const QString &c : def.choices)
                m_combo->addItem(c, c);
        }
        m_combo->setCurrentIndex(def.blankEntry ? 0 : -1);
        QObject::connect(m_combo, &QComboBox::currentIndexChanged, m_combo, [this](int i) {
            m_combo->setToolTip(i >= 0 ? m_combo->itemData(i, Qt::ToolTipRole).toString() : QString());
        });
        attach(m_combo, parent);
    }

    void reloadRows() override
    {
        if (m_def.kind != EditorKind::Lookup || !m_conn)
            return;
        const LookupDef &l = m_def.lookup;
        const QVariant keep = value();
        QString sql = QStringLiteral("select %1, %2%3 from %4").arg(l.keyColumn, l.displayColumn,
                                                                    l.hintColumn.isEmpty() ? QString() : QStringLiteral(", ") + l.hintColumn,
                                                                    l.table);
        QStringList where;
        if (!l.filter.isEmpty())
            where << QLatin1Char('(') + l.filter + QLatin1Char(')');
        if (!m_condition.isEmpty())
            where << QLatin1Char('(') + m_condition + QLatin1Char(')');
        if (!where.isEmpty())
            sql += QStringLiteral(" where ") + where.join(QStringLiteral(" and "));
        sql += QStringLiteral(" order by ") + (l.orderColumn.isEmpty() ? l.displayColumn : l.orderColumn);
        QSqlQuery q = Sql::exec(*m_conn, sql, m_params);
        const QSignalBlocker block(m_combo);
        m_combo->clear();
        if (m_def.blankEntry)
            m_combo->addItem(QString());
        while (q.next()) {
            m_combo->addItem(shown(q.value(1)), q.value(0));
            if (!l.hintColumn.isEmpty())
                m_combo->setItemData(m_combo->count() - 1, Sql::text(q.value(2)), Qt::ToolTipRole);
        }
        offerStored();
        select(keep);
    }

    void setRowCondition(const QString &condition, const QVariantMap &params) override
    {
        m_condition = condition;
        m_params = params;
        reloadRows();
    }

    void load(const QVariant &v) override
    {
        m_stored = v;
        offerStored();
        select(v);
    }

    QVariant value() const override
    {
        const int i = m_combo->currentIndex();
        return i < 0 ? QVariant() : m_combo->itemData(i);
    }

    void setEditable(bool on) override
    {
        if (m_def.greyWhenLocked)
            m_combo->setEnabled(on && !m_def.readOnly);
        else
            m_combo->setReadOnly(!on || m_def.readOnly);
    }

private:
    static constexpr int ExtraRole = Qt::UserRole + 1;

    int indexOf(const QVariant &v) const
    {
        const QString want = Sql::text(v);
        if (v.isNull() || !v.isValid() || want.isEmpty())
            return -1;
        for (int i = 0; i < m_combo->count(); ++i)
            if (Sql::text(m_combo->itemData(i)).compare(want, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }

    // The value the record holds keeps a line of its own when the list does
    // not offer it; a previous record's extra line goes.
    void offerStored()
    {
        const QSignalBlocker block(m_combo);
        for (int i = m_combo->count() - 1; i >= 0; --i)
            if (m_combo->itemData(i, ExtraRole).toBool())
                m_combo->removeItem(i);
        if (!Sql::text(m_stored).isEmpty() && indexOf(m_stored) < 0)
            addExtra(m_stored);
    }

    QString shown(const QVariant &display) const
    {
        const QString t = Sql::text(display);
        return m_def.lookup.upperText ? t.toUpper() : t;
    }

    // A new pick the list no longer offers is not kept: only the stored
    // value outlives a narrower list.
    void select(const QVariant &v)
    {
        int found = indexOf(v);
        if (found < 0 && m_def.blankEntry)
            found = 0;
        m_combo->setCurrentIndex(found);
        m_combo->setToolTip(found >= 0 ? m_combo->itemData(found, Qt::ToolTipRole).toString() : QString());
    }

    // The stored value's own line: its row's text read without the filters,
    // or the value itself when no row has it.
    void addExtra(const QVariant &v)
    {
        QString text = Sql::text(v);
        QString hint;
        const LookupDef &l = m_def.lookup;
        if (m_def.kind == EditorKind::Lookup && m_conn) {
            try {
                QSqlQuery q = Sql::exec(*m_conn,
                                        QStringLiteral("select %1%2 from %3 where %4 = :zapo_stored")
                                            .arg(l.displayColumn, l.hintColumn.isEmpty() ? QString() : QStringLiteral(", ") + l.hintColumn,
                                                 l.table, l.keyColumn),
                                        {{QStringLiteral("zapo_stored"), v}});
                if (q.next()) {
                    text = shown(q.value(0));
                    if (!l.hintColumn.isEmpty())
                        hint = Sql::text(q.value(1));
                }
            } catch (const DbError &) {
                // The key itself still shows, and is still written back.
            }
        }
        m_combo->addItem(text, v);
        const int i = m_combo->count() - 1;
        m_combo->setItemData(i, true, ExtraRole);
        if (!hint.isEmpty())
            m_combo->setItemData(i, hint, Qt::ToolTipRole);
    }

    Connection *m_conn;
    ReadOnlyComboBox *m_combo;
    QVariant m_stored; // what the record holds, offered whatever the filters
    QString m_condition;
    QVariantMap m_params;
};

} // namespace

std::unique_ptr<FieldBinder> FieldBinder::create(const FieldDef &given, Connection *conn, QWidget *parent, const QString &table)
{
    FieldDef def = given;
    if (!table.isEmpty() && (def.kind == EditorKind::Text || def.kind == EditorKind::Memo)) {
        const int width = declaredWidth(table, def.column);
        if (width > 0 && (def.maxLength <= 0 || def.maxLength > width))
            def.maxLength = width;
    }
    std::unique_ptr<FieldBinder> b;
    switch (def.kind) {
    case EditorKind::Memo:
        b = std::make_unique<MemoBinder>(def, parent);
        break;
    case EditorKind::Check:
        b = std::make_unique<CheckBinder>(def, parent);
        break;
    case EditorKind::Lookup:
    case EditorKind::Choice:
        b = std::make_unique<ComboBinder>(def, conn, parent);
        break;
    default:
        b = std::make_unique<LineBinder>(def, parent);
    }
    return b;
}

void FieldBinder::attach(QWidget *editor, QWidget *parent)
{
    m_editor = editor;
    editor->setObjectName(m_def.objectName.isEmpty() ? QStringLiteral("dbe") + m_def.column : m_def.objectName);
    editor->setAccessibleName(accessibleCaption(m_def.caption));
    if (m_def.width > 0)
        editor->setFixedWidth(m_def.width);
    if (m_def.kind != EditorKind::Check) {
        m_label = new QLabel(m_def.caption, parent);
        m_label->setObjectName(QStringLiteral("lbl") + m_def.column);
        m_label->setBuddy(editor);
    }
    if (isSingleLine())
        installEnterAsTab(editor);
}

void FieldBinder::focus()
{
    if (m_editor)
        m_editor->setFocus(Qt::OtherFocusReason);
}

void FieldBinder::installEnterAsTab(QWidget *editor)
{
    FocusFlow::watch(editor);
}

QString FieldBinder::accessibleCaption(const QString &caption)
{
    QString t = caption;
    t.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    t.remove(QLatin1Char('&'));
    t.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return t;
}

int FieldBinder::declaredWidth(const QString &table, const QString &column)
{
    const Schema::Table *t = Schema::findTable(table);
    if (!t)
        return 0;
    for (const Schema::Column &c : t->columns)
        if (c.name.compare(column, Qt::CaseInsensitive) == 0)
            return c.type == Schema::ColType::Char || c.type == Schema::ColType::VarChar ? c.width : 0;
    return 0;
}

QWidget *editorByCaption(QWidget *root, const QString &caption)
{
    const QString want = FieldBinder::accessibleCaption(caption);
    for (QLabel *l : root->findChildren<QLabel *>())
        if (l->buddy() && FieldBinder::accessibleCaption(l->text()) == want)
            return l->buddy();
    for (QAbstractButton *b : root->findChildren<QAbstractButton *>())
        if (qobject_cast<QCheckBox *>(b) && FieldBinder::accessibleCaption(b->text()) == want)
            return b;
    for (QWidget *w : root->findChildren<QWidget *>())
        if (w->accessibleName() == want)
            return w;
    return nullptr;
}
