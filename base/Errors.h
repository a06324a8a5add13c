#pragma once

#include <QString>
#include <stdexcept>

// An error the user reads: what() is the message, in UTF-8. Handlers throw it; the application's
// one error handler shows it in a message box titled with the program's title.
class UserError : public std::runtime_error
{
public:
    explicit UserError(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};

// The framework's conversion errors, with their exact wording.
class ConversionError : public UserError
{
public:
    using UserError::UserError;
};

// "'<text>' is not a valid floating point value"
ConversionError InvalidFloat(const QString &text);
// "'<text>' is not a valid integer value"
ConversionError InvalidInteger(const QString &text);
