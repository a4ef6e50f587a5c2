#pragma once
// The one exception type of the program. Every error that a command does not catch
// reaches the general error box, which shows text() with an OK button.
#include <QString>
#include <stdexcept>

class AppError : public std::runtime_error {
public:
    explicit AppError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

// Raised for the server's own errors. text() is what the user reads: the server's text,
// or, when the connection was refused or lost, one Italian sentence followed by the
// client's text on its own line, labelled "Messaggio del server:". serverText() is
// the server's text alone and statement() the statement that failed (empty when none),
// for tests and diagnostics.
class DbError : public AppError {
public:
    DbError(const QString &text, unsigned code = 0, const QString &statement = {}, const QString &serverText = {})
        : AppError(text), m_code(code), m_statement(statement), m_serverText(serverText.isNull() ? text : serverText)
    {
    }
    unsigned code() const { return m_code; }
    const QString &statement() const { return m_statement; }
    const QString &serverText() const { return m_serverText; }
    // The connection was refused, lost or timed out (the next command connects anew).
    bool isConnectionError() const;

private:
    unsigned m_code;
    QString m_statement;
    QString m_serverText;
};

// Raised when a text does not read as a number or a date, or a null value is converted.
class ConversionError : public AppError {
public:
    using AppError::AppError;
};

// The text an error shows: text() for the program's own errors, else what().
inline QString errorText(const std::exception &e)
{
    if (const auto *app = dynamic_cast<const AppError *>(&e))
        return app->text();
    return QString::fromUtf8(e.what());
}
