#include "print/BitmapFile.h"

#include "base/AtomicFiles.h"
#include "base/Errors.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <algorithm>

namespace
{
constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

quint32 Rgb(quint32 pixel)
{
    return pixel & 0x00FFFFFFu;
}

int Red(quint32 c)
{
    return int((c >> 16) & 0xFF);
}
int Green(quint32 c)
{
    return int((c >> 8) & 0xFF);
}
int Blue(quint32 c)
{
    return int(c & 0xFF);
}

int Distance(quint32 a, quint32 b)
{
    const int r = Red(a) - Red(b), g = Green(a) - Green(b), bl = Blue(a) - Blue(b);
    return r * r + g * g + bl * bl;
}

// The colours every reduced page can show exactly, whatever else it holds: black, white and the
// greys of the forms and of smoothed text edges.
std::vector<quint32> BaseColours()
{
    std::vector<quint32> colours;
    for (int level : {0x00, 0x20, 0x40, 0x60, 0x80, 0xA0, 0xC0, 0xDF, 0xE0, 0xFF})
        colours.push_back(quint32(level) * 0x010101u);
    return colours;
}

int Channel(quint32 c, int channel)
{
    return channel == 0 ? Red(c) : channel == 1 ? Green(c) : Blue(c);
}

struct Use {
    quint32 colour;
    qint64 count;
};

// Median cut: splits the colours, weighted by use, into at most `size` boxes along their widest
// channel and gives each box's average colour, so the palette follows the colours of the page.
std::vector<quint32> MedianCut(std::vector<Use> uses, size_t size)
{
    struct Box {
        size_t begin, end;
        int channel, range;
    };
    auto measure = [&uses](size_t begin, size_t end) {
        Box box{begin, end, 0, -1};
        for (int channel = 0; channel < 3; ++channel) {
            int low = 255, high = 0;
            for (size_t i = begin; i < end; ++i) {
                low = std::min(low, Channel(uses[i].colour, channel));
                high = std::max(high, Channel(uses[i].colour, channel));
            }
            if (high - low > box.range) {
                box.range = high - low;
                box.channel = channel;
            }
        }
        return box;
    };
    std::vector<Box> boxes;
    if (!uses.empty())
        boxes.push_back(measure(0, uses.size()));
    while (boxes.size() < size) {
        auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box &a, const Box &b) {
            return a.range < b.range;
        });
        if (widest == boxes.end() || widest->range <= 0)
            break;
        const Box box = *widest;
        std::sort(uses.begin() + qsizetype(box.begin), uses.begin() + qsizetype(box.end),
                  [&box](const Use &a, const Use &b) {
                      return Channel(a.colour, box.channel) < Channel(b.colour, box.channel);
                  });
        qint64 total = 0;
        for (size_t i = box.begin; i < box.end; ++i)
            total += uses[i].count;
        size_t split = box.begin + 1;
        for (qint64 sum = uses[box.begin].count; split < box.end - 1 && sum * 2 < total; ++split)
            sum += uses[split].count;
        *widest = measure(box.begin, split);
        boxes.push_back(measure(split, box.end));
    }
    std::vector<quint32> palette;
    for (const Box &box : boxes) {
        qint64 total = 0, r = 0, g = 0, b = 0;
        for (size_t i = box.begin; i < box.end; ++i) {
            const qint64 n = uses[i].count;
            total += n;
            r += n * Red(uses[i].colour);
            g += n * Green(uses[i].colour);
            b += n * Blue(uses[i].colour);
        }
        palette.push_back(quint32((r + total / 2) / total) << 16 |
                          quint32((g + total / 2) / total) << 8 | quint32((b + total / 2) / total));
    }
    return palette;
}

quint8 Nearest(const std::vector<quint32> &palette, quint32 colour)
{
    size_t best = 0;
    int bestDistance = Distance(colour, palette[0]);
    for (size_t i = 1; i < palette.size() && bestDistance > 0; ++i) {
        const int d = Distance(colour, palette[i]);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return quint8(best);
}

// A number for each colour of a page, looked up once for every change of colour along its million
// pixels: open addressing over a table kept at most half full, far quicker than a general hash.
class ColourTable
{
public:
    // The number of the colour, 0 for a colour not met before.
    qint64 &operator[](quint32 colour)
    {
        if ((m_size + 1) * 2 > m_keys.size())
            grow();
        size_t slot = find(colour);
        if (m_keys[slot] == kNone) {
            m_keys[slot] = colour;
            m_values[slot] = 0;
            ++m_size;
        }
        return m_values[slot];
    }
    // The number of a colour that is in the table.
    qint64 value(quint32 colour) const { return m_values[find(colour)]; }
    size_t size() const { return m_size; }
    template <typename F> void forEach(F &&f)
    {
        for (size_t i = 0; i < m_keys.size(); ++i)
            if (m_keys[i] != kNone)
                f(m_keys[i], m_values[i]);
    }

private:
    static constexpr quint32 kNone = 0xFFFFFFFFu; // no colour of 24 bits
    size_t find(quint32 colour) const
    {
        const size_t mask = m_keys.size() - 1;
        size_t slot = (colour * 0x9E3779B1u) & mask;
        while (m_keys[slot] != kNone && m_keys[slot] != colour)
            slot = (slot + 1) & mask;
        return slot;
    }
    void grow()
    {
        std::vector<quint32> keys(std::max<size_t>(1024, m_keys.size() * 2), kNone);
        std::vector<qint64> values(keys.size(), 0);
        keys.swap(m_keys);
        values.swap(m_values);
        for (size_t i = 0; i < keys.size(); ++i)
            if (keys[i] != kNone) {
                const size_t slot = find(keys[i]);
                m_keys[slot] = keys[i];
                m_values[slot] = values[i];
            }
    }

    std::vector<quint32> m_keys;
    std::vector<qint64> m_values;
    size_t m_size = 0;
};

void Put16(QByteArray &out, int offset, quint16 value)
{
    out[offset] = char(value & 0xFF);
    out[offset + 1] = char(value >> 8);
}

void Put32(QByteArray &out, int offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out[offset + i] = char((value >> (8 * i)) & 0xFF);
}

quint32 Get32(const QByteArray &in, int offset)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | quint8(in[offset + i]);
    return value;
}

quint16 Get16(const QByteArray &in, int offset)
{
    return quint16(quint8(in[offset]) | quint8(in[offset + 1]) << 8);
}
} // namespace

int BitsPerPixelForChoice(const QString &choice)
{
    if (choice == QStringLiteral("24 бита цвят"))
        return 24;
    if (choice == QStringLiteral("32 бита цвят"))
        return 32;
    return 8;
}

IndexedBitmap ReduceTo8Bits(const PageBitmap &page)
{
    IndexedBitmap out;
    out.width = page.width;
    out.height = page.height;
    out.indices.resize(page.pixels.size());

    ColourTable counts;
    quint32 last = 0xFFFFFFFFu;
    qint64 *lastCount = nullptr;
    for (quint32 pixel : page.pixels) {
        const quint32 colour = Rgb(pixel);
        if (colour != last || !lastCount) {
            lastCount = &counts[colour];
            last = colour;
        }
        ++*lastCount;
    }

    if (counts.size() <= 256) {
        // A printed page has few colours; keep them exactly when they fit.
        counts.forEach([&out](quint32 colour, qint64) { out.palette.push_back(colour); });
        std::sort(out.palette.begin(), out.palette.end());
    } else {
        // Otherwise the base greys, the page's most used colours exactly, and for the rest the
        // average colours of a median cut over everything else the page shows.
        out.palette = BaseColours();
        std::vector<std::pair<qint64, quint32>> byUse;
        counts.forEach(
            [&byUse](quint32 colour, qint64 count) { byUse.emplace_back(-count, colour); });
        std::sort(byUse.begin(), byUse.end());
        constexpr size_t kExactColours = 64;
        std::vector<Use> rest;
        for (const auto &[use, colour] : byUse) {
            if (std::find(out.palette.begin(), out.palette.end(), colour) != out.palette.end())
                continue;
            if (out.palette.size() < kExactColours)
                out.palette.push_back(colour);
            else
                rest.push_back(Use{colour, -use});
        }
        for (quint32 colour : MedianCut(std::move(rest), 256 - out.palette.size()))
            out.palette.push_back(colour);
    }

    // From here on each colour's number is its place in the palette.
    counts.forEach(
        [&out](quint32 colour, qint64 &number) { number = Nearest(out.palette, colour); });
    last = 0xFFFFFFFFu;
    quint8 lastIndex = 0;
    for (size_t i = 0; i < page.pixels.size(); ++i) {
        const quint32 colour = Rgb(page.pixels[i]);
        if (colour != last) {
            last = colour;
            lastIndex = quint8(counts.value(colour));
        }
        out.indices[i] = lastIndex;
    }
    return out;
}

QByteArray EncodeBitmap(const IndexedBitmap &image, int bitsPerPixel)
{
    if (bitsPerPixel != 24 && bitsPerPixel != 32)
        bitsPerPixel = 8;
    const int bytesPerPixel = bitsPerPixel / 8;
    const int rowSize = (image.width * bytesPerPixel + 3) / 4 * 4;
    const int paletteEntries = bitsPerPixel == 8 ? int(image.palette.size()) : 0;
    const int pixelOffset = kFileHeaderSize + kInfoHeaderSize + paletteEntries * 4;
    const qsizetype fileSize = qsizetype(pixelOffset) + qsizetype(rowSize) * image.height;

    QByteArray out(fileSize, '\0');
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, quint32(fileSize));
    Put32(out, 10, quint32(pixelOffset));
    Put32(out, 14, kInfoHeaderSize);
    Put32(out, 18, quint32(image.width));
    Put32(out, 22, quint32(image.height)); // positive: rows bottom to top
    Put16(out, 26, 1);
    Put16(out, 28, quint16(bitsPerPixel));
    Put32(out, 30, 0); // no compression
    Put32(out, 34, quint32(qsizetype(rowSize) * image.height));
    Put32(out, 38, 3780); // 96 pixels per inch
    Put32(out, 42, 3780);
    Put32(out, 46, quint32(paletteEntries));
    Put32(out, 50, 0);

    char *data = out.data();
    for (int i = 0; i < paletteEntries; ++i) {
        const quint32 c = image.palette[size_t(i)];
        char *entry = data + kFileHeaderSize + kInfoHeaderSize + i * 4;
        entry[0] = char(Blue(c));
        entry[1] = char(Green(c));
        entry[2] = char(Red(c));
        entry[3] = 0;
    }

    for (int y = 0; y < image.height; ++y) {
        char *row = data + pixelOffset + qsizetype(rowSize) * (image.height - 1 - y);
        const quint8 *source = image.indices.data() + qsizetype(y) * image.width;
        if (bitsPerPixel == 8) {
            std::copy(source, source + image.width, reinterpret_cast<quint8 *>(row));
            continue;
        }
        for (int x = 0; x < image.width; ++x) {
            const quint32 c = image.palette[source[x]];
            char *pixel = row + x * bytesPerPixel;
            pixel[0] = char(Blue(c));
            pixel[1] = char(Green(c));
            pixel[2] = char(Red(c));
            if (bytesPerPixel == 4)
                pixel[3] = char(0xFF); // opaque for readers that take the fourth byte as alpha
        }
    }
    return out;
}

namespace
{
UserError CannotCreate(const QString &fileName, const QString &reason)
{
    return UserError(
        QStringLiteral("Cannot create file %1\n").arg(QDir::toNativeSeparators(fileName)) +
        CannotWriteMessage(QFileInfo(fileName).fileName(), reason));
}
} // namespace

void SaveBitmapFile(const QString &fileName, const IndexedBitmap &image, int bitsPerPixel)
{
    const QString reason = TryWriteFileAtomically(fileName, EncodeBitmap(image, bitsPerPixel));
    if (!reason.isEmpty())
        throw CannotCreate(fileName, reason);
}

QString ArchivedPageExists(const QString &fileName)
{
    return QStringLiteral("Страницата вече е в архива като %1; архивираната страница не се "
                          "презаписва.\nНищо не е отпечатано. Проверете номера на документа.")
        .arg(QDir::toNativeSeparators(fileName));
}

void SaveNewBitmapFile(const QString &fileName, const IndexedBitmap &image, int bitsPerPixel)
{
    QString reason;
    switch (WriteNewFile(fileName, EncodeBitmap(image, bitsPerPixel), &reason)) {
    case NewFileResult::Written:
        return;
    case NewFileResult::Exists:
        throw UserError(ArchivedPageExists(fileName));
    case NewFileResult::Failed:
        break;
    }
    throw CannotCreate(fileName, reason);
}

BitmapHeader ReadBitmapHeader(const QByteArray &file)
{
    BitmapHeader header;
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M')
        return header;
    header.width = int(Get32(file, 18));
    header.height = int(Get32(file, 22));
    header.bitsPerPixel = Get16(file, 28);
    header.paletteSize = Get32(file, 46);
    header.valid = true;
    return header;
}
