#include "FuzzSupport.h"

#include "document/DocumentNumber.h"
#include "print/ArchiveName.h"

// Document numbers and kinds as a page may hold them (typed by hand): the archive file always lies
// directly in the archive folder, under a name of the program's pattern.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList parts = FuzzParts(data, size, 2);
    const QString folder = QStringLiteral("/archive/DB/");
    const int firm = size > 0 ? int(data[0]) - 8 : 1;
    for (const QString &mark : {kOriginalMark, kCopyMark, parts.at(1)}) {
        const QString name = ArchiveFileName(folder, parts.at(1), firm, parts.at(0), mark);
        FUZZ_CHECK(name.startsWith(folder));
        const QString file = name.mid(folder.size());
        FUZZ_CHECK(!file.contains(QLatin1Char('/')) && !file.contains(QLatin1Char('\\')));
        FUZZ_CHECK(file != QLatin1String(".") && file != QLatin1String(".."));
        FUZZ_CHECK(!file.contains(QChar(0)));
        FUZZ_CHECK(file.startsWith(QLatin1String("VInvFirm")) ||
                   file.startsWith(QLatin1String("VProformFirm")));
        FUZZ_CHECK(
            file.endsWith(mark == kCopyMark ? QLatin1String("_copy.bmp") : QLatin1String("_.bmp")));
    }
    const QString safe = FileNameSafe(parts.at(0));
    FUZZ_CHECK(safe.size() == parts.at(0).size());
    FUZZ_CHECK(!safe.contains(QLatin1Char('/')) && !safe.contains(QLatin1Char('\\')));
    return 0;
}
