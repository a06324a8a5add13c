#include "FuzzSupport.h"

#include "print/BitmapFile.h"

#include <set>

namespace
{
quint32 Get32(const QByteArray &b, qsizetype at)
{
    return quint8(b[at]) | quint8(b[at + 1]) << 8 | quint8(b[at + 2]) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}

// The colour of pixel (x, y) as a written file of 24 or 32 bits keeps it, rows bottom to top.
quint32 PixelOfFile(const QByteArray &file, const BitmapHeader &h, int x, int y)
{
    const int bytes = h.bitsPerPixel / 8;
    const int stride = (h.width * bytes + 3) / 4 * 4;
    const qsizetype at = Get32(file, 10) + qsizetype(h.height - 1 - y) * stride + x * bytes;
    return quint8(file[at]) | quint8(file[at + 1]) << 8 | quint32(quint8(file[at + 2])) << 16;
}
} // namespace

// A small page of any colours: reduced to a palette and written at each depth, the file says what
// it holds, its size is the one declared, and a page of few colours keeps every pixel exactly.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ReadBitmapHeader(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (size < 3)
        return 0;
    PageBitmap page;
    page.width = data[0] % 24 + 1;
    page.height = data[1] % 24 + 1;
    const size_t colours = size - 2;
    std::set<quint32> distinct;
    for (int i = 0; i < page.width * page.height; ++i) {
        const size_t at = 2 + (size_t(i) * 3) % colours;
        quint32 c = 0xFF000000u | quint32(data[at]) << 16;
        if (at + 1 < size)
            c |= quint32(data[at + 1]) << 8;
        if (at + 2 < size)
            c |= data[at + 2];
        page.pixels.push_back(c);
        distinct.insert(c & 0xFFFFFFu);
    }
    const IndexedBitmap reduced = ReduceTo8Bits(page);
    FUZZ_CHECK(reduced.width == page.width && reduced.height == page.height);
    FUZZ_CHECK(!reduced.palette.empty() && reduced.palette.size() <= 256);
    FUZZ_CHECK(reduced.indices.size() == page.pixels.size());
    for (quint8 index : reduced.indices)
        FUZZ_CHECK(index < reduced.palette.size());
    if (distinct.size() <= 256)
        for (size_t i = 0; i < page.pixels.size(); ++i)
            FUZZ_CHECK(reduced.palette[reduced.indices[i]] == (page.pixels[i] & 0xFFFFFFu));

    for (int depth : {8, 24, 32}) {
        const QByteArray file = EncodeBitmap(reduced, depth);
        const BitmapHeader header = ReadBitmapHeader(file);
        FUZZ_CHECK(header.valid && header.width == page.width && header.height == page.height);
        FUZZ_CHECK(header.bitsPerPixel == depth);
        FUZZ_CHECK(Get32(file, 2) == quint32(file.size()));
        if (depth != 8)
            for (int y = 0; y < page.height; ++y)
                for (int x = 0; x < page.width; ++x)
                    FUZZ_CHECK(PixelOfFile(file, header, x, y) ==
                               reduced.palette[reduced.indices[size_t(y) * page.width + x]]);
    }
    return 0;
}
