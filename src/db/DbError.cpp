#include "db/DbError.h"

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
    return DbError(text, statement);
}
