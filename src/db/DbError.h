#pragma once
#include <QSqlError>
#include <QString>
#include <stdexcept>

// A failed statement. text() is what the clerk is shown: for the failures a
// clerk can act on (another workstation holding the database, a file that
// cannot be written, a full disk) a short Portuguese sentence saying what
// to do; driverText() is what the driver said, for the log. Neither carries
// connection parameters.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &text, const QString &statement = {})
        : std::runtime_error(text.toStdString()), m_text(text), m_statement(statement) {}
    // Logs the driver's text.
    static DbError from(const QSqlError &e, const QString &statement = {});
    const QString &text() const { return m_text; }
    const QString &statement() const { return m_statement; }
    // Empty when the text is our own.
    const QString &driverText() const { return m_driver; }
    // True when text() is only the driver's words, which mean nothing to a
    // clerk: the standard box then says what happened in Portuguese.
    bool onlyDriverText() const { return !m_driver.isEmpty() && m_driver == m_text; }

    // What the standard error box says for an error no screen handled.
    static QString standardText(const std::exception &e);

    // The Portuguese sentences for the failures a clerk can act on.
    static QString lockedText();
    static QString readOnlyText();
    static QString diskFullText();

private:
    QString m_text;
    QString m_statement;
    QString m_driver;
};
