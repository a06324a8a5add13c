#include "base/Errors.h"

UserError::UserError(const QString &message) : std::runtime_error(message.toUtf8().toStdString()) {}

ConversionError InvalidFloat(const QString &text)
{
    return ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

ConversionError InvalidInteger(const QString &text)
{
    return ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}
