#include "db/DbError.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDatabase, "zapo.db")

namespace {

bool has(const QString &text, const char *words) { return text.contains(QLatin1String(words), Qt::CaseInsensitive); }

// The few failures worth a sentence of their own, by the words SQLite,
// PostgreSQL and SQL Server use for them.
QString sentenceFor(const QString &driver)
{
    if (has(driver, "database is locked") || has(driver, "database table is locked") || has(driver, "SQLITE_BUSY")
        || has(driver, "lock timeout") || has(driver, "could not obtain lock") || has(driver, "Lock request time out"))
        return DbError::lockedText();
    if (has(driver, "readonly database") || has(driver, "read-only database") || has(driver, "read only database")
        || has(driver, "unable to open database file"))
        return DbError::readOnlyText();
    if (has(driver, "database or disk is full") || has(driver, "No space left on device") || has(driver, "disk is full")
        || has(driver, "could not extend file") || has(driver, "filegroup is full"))
        return DbError::diskFullText();
    return QString();
}

} // namespace

QString DbError::lockedText()
{
    return QStringLiteral("O banco de dados está ocupado por outra estação de trabalho.\rTente novamente em instantes.");
}

QString DbError::readOnlyText()
{
    return QStringLiteral("O arquivo do banco de dados não pode ser gravado.\r"
                          "Verifique a permissão de gravação do arquivo com o administrador do sistema.");
}

QString DbError::diskFullText()
{
    return QStringLiteral("O disco está cheio.\rLibere espaço em disco e tente novamente.");
}

DbError DbError::from(const QSqlError &e, const QString &statement)
{
    QString text = e.databaseText().trimmed();
    const QString driver = e.driverText().trimmed();
    if (text.isEmpty())
        text = driver;
    else if (!driver.isEmpty() && !text.contains(driver))
        text = driver + QLatin1Char('\n') + text;
    if (text.isEmpty())
        text = QStringLiteral("Erro de banco de dados.");
    qCWarning(lcDatabase).noquote() << "database error:" << text << (statement.isEmpty() ? QString() : QStringLiteral("| ") + statement);
    const QString sentence = sentenceFor(text);
    DbError out(sentence.isEmpty() ? text : sentence, statement);
    out.m_driver = text;
    return out;
}

QString DbError::standardText(const std::exception &e)
{
    const auto *db = dynamic_cast<const DbError *>(&e);
    if (db && !db->onlyDriverText())
        return db->text();
    if (db)
        return QStringLiteral("Erro ao acessar o banco de dados; a operação não foi concluída.\r"
                              "Tente novamente. Se o erro continuar, informe o administrador do sistema.");
    return QStringLiteral("Ocorreu um erro inesperado; a operação não foi concluída.\r"
                          "Tente novamente. Se o erro continuar, informe o administrador do sistema.");
}
