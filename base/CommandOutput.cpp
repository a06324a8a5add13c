#include "base/CommandOutput.h"

#include <cstdio>

namespace
{
void Print(std::FILE *stream, const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.endsWith('\n'))
        bytes += '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}
} // namespace

void PrintOutput(const QString &text)
{
    Print(stdout, text);
}

void PrintError(const QString &text)
{
    Print(stderr, text);
}
