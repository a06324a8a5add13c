#include "FuzzSupport.h"

#include "base/Errors.h"
#include "document/DocumentNumber.h"

#include <limits>

// Stored counters and typed document numbers: a number handed out is ten digits, one past a
// counter from 0 up, and reads back as that number.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = FuzzText(data, size);
    const QString ten = TenDigits(text);
    FUZZ_CHECK(ten.size() >= 10 && ten.endsWith(text));

    try {
        const int stored = CounterValue(text, kInvoiceCounter);
        FUZZ_CHECK(stored >= 0 && stored < std::numeric_limits<int>::max());
        const QString next = NextDocumentNumber(text, kInvoiceCounter);
        FUZZ_CHECK(next.size() == 10);
        FUZZ_CHECK(ManualDocumentNumber(next) == stored + 1);
    } catch (const UserError &error) {
        // The user learns which counter to mend.
        FUZZ_CHECK(error.message().contains(kInvoiceCounter));
    }

    try {
        const qint64 number = ManualDocumentNumber(text);
        FUZZ_CHECK(number >= 1);
        FUZZ_CHECK(ManualDocumentNumber(TenDigits(number)) == number);
    } catch (const UserError &) {
    }
    return 0;
}
