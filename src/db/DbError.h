#pragma once
#include <QSqlError>
#include <QString>
#include <stdexcept>

// A failed statement. Carries the driver's text (never connection
// parameters, so it is safe to show to the user).
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &text, const QString &statement = {})
        : std::runtime_error(text.toStdString()), m_text(text), m_statement(statement) {}
    static DbError from(const QSqlError &e, const QString &statement = {});
    const QString &text() const { return m_text; }
    const QString &statement() const { return m_statement; }

private:
    QString m_text;
    QString m_statement;
};
