#include "FuzzSupport.h"

#include "lines/MemoryFile.h"

// The memory file's bytes as read from disk: the lines written back read again as the same lines.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = DecodeMemoryText(bytes);
    for (const QString &line : lines)
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
    const QByteArray written = EncodeMemoryText(lines);
    const QStringList again = DecodeMemoryText(written);
    // A byte the code page does not define reads as a replacement once; after that it is stable.
    if (!bytes.contains('\x98'))
        FUZZ_CHECK(again == lines);
    FUZZ_CHECK(EncodeMemoryText(again) == written ||
               DecodeMemoryText(EncodeMemoryText(again)) == again);
    FUZZ_CHECK(written.isEmpty() || written.endsWith("\r\n"));
    return 0;
}
