#include "FuzzSupport.h"

#include "lines/DescriptionWrap.h"

namespace
{
qsizetype Letters(const QStringList &lines)
{
    qsizetype n = 0;
    for (const QString &line : lines)
        for (QChar c : line)
            n += c != QLatin1Char(' ');
    return n;
}
} // namespace

// A description of several lines: every wrapped line fits, and no character but the blanks cut
// at is lost or added.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = FuzzParts(data, size, 1);
    const QStringList wrapped = WrapDescription(lines);
    for (const QString &line : wrapped)
        FUZZ_CHECK(line.size() <= 39);
    FUZZ_CHECK(wrapped.size() >= lines.size());
    FUZZ_CHECK(Letters(wrapped) == Letters(lines));
    return 0;
}
