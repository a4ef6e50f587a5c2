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

// Raised for the server's own errors, with the server's text.
class DbError : public AppError {
public:
    DbError(const QString &text, unsigned code = 0) : AppError(text), m_code(code) {}
    unsigned code() const { return m_code; }

private:
    unsigned m_code;
};

// Raised when a text does not read as a number or a date, or a null value is converted.
class ConversionError : public AppError {
public:
    using AppError::AppError;
};
