#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A property every input must keep; a broken one stops the fuzzer with the input saved.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// The input as UTF-8 text.
inline QString FuzzText(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The input's text cut at line feeds into at least `count` parts (missing ones empty).
inline QStringList FuzzParts(const uint8_t *data, size_t size, int count)
{
    QStringList parts = FuzzText(data, size).split(QLatin1Char('\n'));
    while (parts.size() < count)
        parts << QString();
    return parts;
}
