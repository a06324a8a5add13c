#include "print/BitmapFile.h"

#include "app/Errors.h"

#include <QDir>
#include <QHash>
#include <QSaveFile>
#include <algorithm>
#include <map>

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

// The fixed palette for pages of many colours: a 6 × 6 × 6 colour cube (black and white among
// its corners) and a ramp of greys for the smoothed edges of text, and the silver of the forms.
class FixedPalette
{
public:
    FixedPalette()
    {
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    colours.push_back(quint32(r * 51) << 16 | quint32(g * 51) << 8 |
                                      quint32(b * 51));
        for (int k = 0; k <= 40 && colours.size() < 256; ++k) {
            const int level = (k * 255 + 20) / 40;
            if (level % 51 != 0)
                greys.push_back(level);
        }
        for (int level : {0xC0, 0xDF})
            if (std::find(greys.begin(), greys.end(), level) == greys.end())
                greys.push_back(level);
        std::sort(greys.begin(), greys.end());
        greys.erase(std::unique(greys.begin(), greys.end()), greys.end());
        while (colours.size() + greys.size() > 256)
            greys.erase(greys.begin() + qsizetype(greys.size() / 2));
        greyBase = int(colours.size());
        for (int level : greys)
            colours.push_back(quint32(level) << 16 | quint32(level) << 8 | quint32(level));
    }

    quint8 nearest(quint32 c) const
    {
        auto step = [](int v) { return (v + 25) / 51; };
        const int cube = step(Red(c)) * 36 + step(Green(c)) * 6 + step(Blue(c));
        int best = cube;
        int bestDistance = Distance(c, colours[size_t(cube)]);
        const int mean = (Red(c) + Green(c) + Blue(c)) / 3;
        const auto it = std::lower_bound(greys.begin(), greys.end(), mean);
        for (auto candidate : {it, it == greys.begin() ? it : it - 1}) {
            if (candidate == greys.end())
                continue;
            const int index = greyBase + int(candidate - greys.begin());
            const int d = Distance(c, colours[size_t(index)]);
            if (d < bestDistance) {
                bestDistance = d;
                best = index;
            }
        }
        return quint8(best);
    }

    std::vector<quint32> colours;

private:
    std::vector<int> greys;
    int greyBase = 0;
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

    // A printed page has few colours; keep them exactly when they fit.
    std::map<quint32, quint8> exact;
    for (quint32 pixel : page.pixels) {
        if (exact.size() > 256)
            break;
        exact.emplace(Rgb(pixel), 0);
    }
    if (exact.size() <= 256) {
        for (auto &[colour, index] : exact) {
            index = quint8(out.palette.size());
            out.palette.push_back(colour);
        }
        QHash<quint32, quint8> lookup;
        for (const auto &[colour, index] : exact)
            lookup.insert(colour, index);
        for (size_t i = 0; i < page.pixels.size(); ++i)
            out.indices[i] = lookup.value(Rgb(page.pixels[i]));
        return out;
    }

    static const FixedPalette fixed;
    out.palette = fixed.colours;
    QHash<quint32, quint8> cache;
    for (size_t i = 0; i < page.pixels.size(); ++i) {
        const quint32 colour = Rgb(page.pixels[i]);
        auto it = cache.constFind(colour);
        if (it == cache.constEnd())
            it = cache.insert(colour, fixed.nearest(colour));
        out.indices[i] = *it;
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

void SaveBitmapFile(const QString &fileName, const IndexedBitmap &image, int bitsPerPixel)
{
    const QByteArray bytes = EncodeBitmap(image, bitsPerPixel);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        file.cancelWriting();
        throw UserError(
            QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(fileName)));
    }
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
