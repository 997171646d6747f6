#pragma once
#include "ui/register/RegisterDef.h"

#include <QCheckBox>
#include <QComboBox>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <memory>

class Connection;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// A check box that can be made read-only without being greyed out: while
// browsing, clicks and keys leave it as it is.
class ReadOnlyCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;
    void setReadOnly(bool on) { m_readOnly = on; }
    bool isReadOnly() const { return m_readOnly; }

protected:
    bool hitButton(const QPoint &pos) const override { return !m_readOnly && QCheckBox::hitButton(pos); }
    void keyPressEvent(QKeyEvent *e) override;

private:
    bool m_readOnly = false;
};

// The same for drop-downs: while read-only the list does not open and keys
// and the wheel do not change the choice.
class ReadOnlyComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void setReadOnly(bool on) { m_readOnly = on; }
    bool isReadOnly() const { return m_readOnly; }
    void showPopup() override
    {
        if (!m_readOnly)
            QComboBox::showPopup();
    }

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

private:
    bool m_readOnly = false;
};

// One field of a record: its caption label and editor, how a stored value
// is shown and how the edited value is written. Screens built on the
// descriptor get them from RegisterScreen; special screens create their own
// with FieldBinder::create() and lay them out as they like.
class FieldBinder : public QObject {
    Q_OBJECT
public:
    // `lookupConnection` is read for drop-downs of other tables. With `table`,
    // a text editor stops taking characters at its column's declared width.
    static std::unique_ptr<FieldBinder> create(const FieldDef &def, Connection *lookupConnection, QWidget *parent,
                                               const QString &table = {});
    ~FieldBinder() override = default;

    const FieldDef &def() const { return m_def; }
    // The caption label (nullptr for a check box, whose text is its caption).
    QLabel *label() const { return m_label; }
    QWidget *editor() const { return m_editor; }
    bool isSingleLine() const { return m_def.kind != EditorKind::Memo; }

    // Shows a stored value (a null QVariant clears the editor).
    virtual void load(const QVariant &value) = 0;
    // What the statement writes: null for a blank field.
    virtual QVariant value() const = 0;
    // Read-only fields stay read-only.
    virtual void setEditable(bool on) = 0;
    // Drop-downs of other tables read their rows again; throws DbError.
    virtual void reloadRows() {}
    // Drop-downs of other tables: offer only the rows meeting `condition`
    // (with named placeholders) besides the lookup's own filter, and read
    // them again; an empty condition offers them all again. Throws DbError.
    // Whatever the filters, the value the record holds stays shown and is
    // written back unchanged unless another row is picked.
    virtual void setRowCondition(const QString &condition, const QVariantMap &params = {})
    {
        Q_UNUSED(condition);
        Q_UNUSED(params);
    }
    void focus();

    // Editors of single-line fields: Enter moves the focus on, as Tab does.
    static void installEnterAsTab(QWidget *editor);
    // The caption as a screen reader reads it ("Nome:").
    static QString accessibleCaption(const QString &caption);
    // How many characters a text column of the program's schema holds; 0 when
    // the column is unknown or not a sized text.
    static int declaredWidth(const QString &table, const QString &column);

protected:
    FieldBinder(const FieldDef &def) : m_def(def) {}
    void attach(QWidget *editor, QWidget *parent);

    FieldDef m_def;
    QLabel *m_label = nullptr;
    QWidget *m_editor = nullptr;
};

// The editor whose caption (label buddy, check box text or accessible name)
// reads `caption`, searched below `root`; nullptr if none. What an
// accessibility tool does; tests use it to reach fields as a user would.
QWidget *editorByCaption(QWidget *root, const QString &caption);
