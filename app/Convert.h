#pragma once

#include <QString>

// Number conversions of the program. They always use "." as the decimal separator, whatever the
// user's locale, and throw ConversionError with the framework's wording on a text that is not a
// number. Blanks around the number are accepted, as the framework accepts them.

// Text to double; throws "'%s' is not a valid floating point value".
double StrToFloat(const QString &text);
// Text to a 32-bit integer; throws "'%s' is not a valid integer value".
int StrToInt(const QString &text);
// Text to a 64-bit integer; throws "'%s' is not a valid integer value".
qint64 StrToInt64(const QString &text);
// Double to the shortest text that reads back as the same value, "." as separator, no exponent
// for ordinary amounts ("0.2", "1.95583", "12").
QString FloatToStr(double value);
