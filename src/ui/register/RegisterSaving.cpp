// Saving and deleting a record: what "Gravar" and "Excluir" do, each in one
// transaction. No message box is shown while the transaction is open: a
// refusal found inside it is rolled back first and shown afterwards, so no
// other workstation waits on a clerk reading a box.
#include "ui/register/RegisterScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/EngineText.h"
#include "db/Keys.h"
#include "db/RowChange.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "ui/DateEdit.h"
#include "ui/Services.h"
#include "ui/register/FieldBinder.h"
#include "ui/register/PagedQueryModel.h"

#include <QTableView>
#include <optional>

namespace {

const QString kSuccess = QStringLiteral("Operação realizada com sucesso!");
const QString kChangedMeanwhile = QStringLiteral("O registro foi alterado ou excluído por outro usuário. Atualize a lista e tente novamente.");

QVariant userId()
{
    bool ok = false;
    const int id = usuarioLogado().IdUsuario.trimmed().toInt(&ok);
    return ok ? QVariant(id) : QVariant();
}

bool sameColumn(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

std::optional<QVariant> storedValue(const Record &stored, const QString &column)
{
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        if (sameColumn(it.key(), column))
            return it.value();
    return std::nullopt;
}

} // namespace

bool RegisterScreen::validate(const Record &)
{
    return true;
}

void RegisterScreen::beforeWrite(Record &, bool, Connection &) {}

void RegisterScreen::afterWrite(const QVariant &, bool, Connection &) {}

bool RegisterScreen::post()
{
    if (!m_state.ready || m_state.mode == RecordMode::Browse)
        return false;
    // "Gravar" from the toolbar or its key leaves the focus where it was: a
    // date still being typed is read (or refused) before anything else.
    if (!DateEdit::checkAll(this))
        return false;
    Record values = collect();
    for (const Check &c : m_def.checks) {
        if (c.ok && !c.ok(values)) {
            Services::messages().information(c.message, this);
            if (FieldBinder *b = binder(c.column))
                b->focus();
            return false;
        }
    }
    if (!validate(values))
        return false;

    const bool inserting = m_state.mode == RecordMode::Insert;
    QVariant key;
    Refusal refusal;
    try {
        if (!writeRecord(values, key, refusal)) {
            // Rolled back already: nobody waits while the clerk reads this.
            Services::messages().information(refusal.message, this);
            if (FieldBinder *b = binder(refusal.column))
                b->focus();
            return false;
        }
    } catch (const StaleRecord &e) {
        // Rolled back. What the other workstation stored is shown, so that
        // the clerk makes the change again on top of it.
        setEditable(false);
        m_state.mode = RecordMode::Browse;
        try {
            if (e.deleted()) {
                loadList(QString());
            } else {
                m_model->refreshRow(currentRow());
                loadCurrentRecord();
            }
        } catch (const DbError &reloadError) {
            Services::messages().error(reloadError.text(), this);
        }
        updateActions();
        Services::messages().warning(e.text(), this);
        return false;
    } catch (const DbError &e) {
        // Rolled back; the record stays in insert or edit mode with what was typed.
        Services::messages().error(e.text(), this);
        return false;
    }

    setEditable(false);
    m_state.mode = RecordMode::Browse;
    try {
        if (inserting) {
            if (m_def.reloadAllAfterInsert) {
                loadList(QString());
                m_model->ensureCount();
                setCurrentRow(m_model->rowCount() - 1);
            } else {
                loadList(QStringLiteral("t.") + m_def.keyColumn + QStringLiteral(" = :zapo_shown"),
                         {{QStringLiteral("zapo_shown"), key}});
            }
        } else if (m_def.reloadAllAfterEdit) {
            loadList(QString());
            setCurrentRow(m_model->rowOf(QStringLiteral("t.") + m_def.keyColumn + QStringLiteral(" = :zapo_saved"),
                                         {{QStringLiteral("zapo_saved"), key}}));
        } else {
            m_model->refreshRow(currentRow());
            loadCurrentRecord();
        }
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
    updateActions();
    emit recordSaved(key, inserting);
    Services::messages().information(kSuccess, this);
    return true;
}

QString RegisterScreen::rowIdentity(const Record &old, QVariantMap &params) const
{
    QString where = m_def.keyColumn + QStringLiteral(" = :zapo_old_key");
    params.insert(QStringLiteral("zapo_old_key"), old.value(m_def.keyColumn, currentKey()));
    if (!m_def.optimisticConcurrency)
        return where;
    // Every column must still hold what was read; a column that was empty
    // must still be empty (a comparison with null would never match).
    int i = 0;
    for (auto it = old.cbegin(); it != old.cend(); ++it, ++i) {
        if (sameColumn(it.key(), m_def.keyColumn))
            continue;
        if (it.value().isNull()) {
            where += QStringLiteral(" and %1 is null").arg(it.key());
        } else {
            const QString p = QStringLiteral("zapo_old_%1").arg(i);
            where += QStringLiteral(" and ") + EngineText::equalsParameter(m_conn->dialect(), it.key(), QLatin1Char(':') + p, it.value());
            params.insert(p, it.value());
        }
    }
    return where;
}

bool RegisterScreen::writeRecord(Record &values, QVariant &key, Refusal &refusal)
{
    Transaction tx(*m_conn);
    const bool inserting = m_state.mode == RecordMode::Insert;

    for (const UniqueCheck &u : m_def.unique) {
        if (u.onInsertOnly && !inserting)
            continue;
        QStringList cond;
        QVariantMap params;
        for (int i = 0; i < u.columns.size(); ++i) {
            const QString p = QStringLiteral("u%1").arg(i);
            const QVariant v = values.value(u.columns.at(i));
            if (v.isNull()) {
                cond << u.columns.at(i) + QStringLiteral(" is null");
            } else {
                cond << QStringLiteral("%1 = :%2").arg(m_conn->dialect().folded(u.columns.at(i)), p);
                params.insert(p, foldText(v.toString().trimmed()));
            }
        }
        if (!inserting) {
            cond << m_def.keyColumn + QStringLiteral(" <> :ukey");
            params.insert(QStringLiteral("ukey"), currentKey());
        }
        if (!u.condition.isEmpty())
            cond << QLatin1Char('(') + u.condition + QLatin1Char(')');
        const int n = Sql::scalar(*m_conn, QStringLiteral("select count(*) from %1 where %2").arg(m_def.table, cond.join(QStringLiteral(" and "))),
                                  params).toInt();
        if (n > 0) {
            refusal = {u.message, u.columns.value(0)};
            return false;
        }
    }

    const QDateTime now = serverNow(*m_conn);
    const AuditColumns &a = m_def.audit;
    if (inserting) {
        if (a.enabled) {
            values.insert(a.insertedBy, userId());
            values.insert(a.insertedAt, now);
        }
        if (m_def.keySource == KeySource::Program)
            values.insert(m_def.keyColumn, Keys::nextProgramKey(*m_conn, m_def.table, m_def.keyColumn));
    } else if (a.enabled) {
        values.insert(a.modifiedBy, userId());
        values.insert(a.modifiedAt, now);
    }
    beforeWrite(values, inserting, *m_conn);
    if (!fitsColumns(values, refusal))
        return false;

    QStringList cols;
    QStringList holders;
    QVariantMap params;
    int i = 0;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (!inserting && sameColumn(it.key(), m_def.keyColumn))
            continue;
        const FieldDef *f = m_def.field(it.key());
        if (f && f->readOnly && f->kind != EditorKind::Key)
            continue;
        const QString p = QStringLiteral("c%1").arg(i++);
        cols << it.key();
        holders << QLatin1Char(':') + p;
        params.insert(p, it.value());
    }

    if (inserting) {
        const QString sql = QStringLiteral("insert into %1 (%2) values (%3)")
                                .arg(m_def.table, cols.join(QStringLiteral(", ")), holders.join(QStringLiteral(", ")));
        if (m_def.keySource == KeySource::Server)
            key = Keys::insertReturningKey(*m_conn, sql, params, m_def.keyColumn);
        else {
            Sql::exec(*m_conn, sql, params);
            key = values.value(m_def.keyColumn);
        }
    } else {
        // Only what the clerk changed is written, and only while it still
        // holds what was loaded; the stamps and any column the screen fills
        // in itself go along.
        RowChange change(m_def.table, m_def.keyColumn, m_stored.value(m_def.keyColumn, currentKey()));
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            if (sameColumn(it.key(), m_def.keyColumn))
                continue;
            const FieldDef *f = m_def.field(it.key());
            if (f && f->readOnly && f->kind != EditorKind::Key)
                continue;
            const bool stamp = a.enabled && (sameColumn(it.key(), a.modifiedBy) || sameColumn(it.key(), a.modifiedAt));
            const auto loaded = storedValue(m_stored, it.key());
            if (stamp || !loaded)
                change.stamp(it.key(), it.value());
            else
                change.column(it.key(), *loaded, it.value());
        }
        change.apply(*m_conn);
        key = currentKey();
    }
    afterWrite(key, inserting, *m_conn);
    tx.commit();
    if (FieldBinder *kb = binder(m_def.keyColumn))
        kb->load(key);
    return true;
}


bool RegisterScreen::fitsColumns(const Record &values, Refusal &refusal) const
{
    // One engine refuses what another silently keeps whole: say which field
    // is too long instead of passing on the driver's text.
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.value().typeId() != QMetaType::QString)
            continue;
        const int width = FieldBinder::declaredWidth(m_def.table, it.key());
        if (width <= 0 || it.value().toString().size() <= width)
            continue;
        const FieldDef *f = m_def.field(it.key());
        QString name = f ? FieldBinder::accessibleCaption(f->caption).trimmed() : it.key();
        while (name.endsWith(QLatin1Char(':')) || name.endsWith(QLatin1Char('.')))
            name.chop(1);
        refusal = {QStringLiteral("O campo \"%1\" aceita no máximo %2 caracteres.").arg(name).arg(width), it.key()};
        return false;
    }
    return true;
}

bool RegisterScreen::mayDelete(const QVariant &)
{
    return true;
}

void RegisterScreen::beforeDelete(const QVariant &, Connection &)
{
}

bool RegisterScreen::remove()
{
    if (!m_state.ready || m_state.mode == RecordMode::Insert)
        return false;
    const QVariant key = currentKey();
    if (!key.isValid() || key.isNull())
        return false;
    try {
        for (const UsageCheck &u : m_def.usedBy) {
            const int n = Sql::scalar(*m_conn, QStringLiteral("select count(*) from %1 where %2 = :k").arg(u.table, u.column),
                                      {{QStringLiteral("k"), key}}).toInt();
            if (n > 0) {
                Services::messages().information(u.message, this);
                return false;
            }
        }
        if (!mayDelete(key))
            return false;
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
        return false;
    }
    if (m_def.confirmDelete) {
        const QString question = m_def.confirmText ? m_def.confirmText(keyText()) : defaultConfirmText(keyText());
        if (!Services::messages().confirm(question, this))
            return false;
    }
    try {
        if (m_state.mode == RecordMode::Browse && m_stored.isEmpty())
            loadCurrentRecord();
        Transaction tx(*m_conn);
        for (const ChildRows &child : m_def.deletedWith)
            Sql::exec(*m_conn, QStringLiteral("delete from %1 where %2 = :k").arg(child.table, child.column), {{QStringLiteral("k"), key}});
        beforeDelete(key, *m_conn);
        QVariantMap params;
        const QString where = rowIdentity(m_stored.isEmpty() ? Record{{m_def.keyColumn, key}} : m_stored, params);
        QSqlQuery q = Sql::exec(*m_conn, QStringLiteral("delete from %1 where %2").arg(m_def.table, where), params);
        if (q.numRowsAffected() != 1)
            throw DbError(kChangedMeanwhile);
        tx.commit();
    } catch (const DbError &e) {
        if (!m_def.deleteFailedMessage.isEmpty())
            Services::messages().information(m_def.deleteFailedMessage, this);
        else
            Services::messages().error(e.text(), this);
        return false;
    }
    try {
        loadList(QString());
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
    updateActions();
    emit recordDeleted(key);
    Services::messages().information(kSuccess, this);
    return true;
}

