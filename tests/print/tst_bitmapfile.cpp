#include "base/Errors.h"
#include "print/BitmapFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The archived page's bitmap: the colour reduction and the file at each depth.
class TestBitmapFile : public QObject
{
    Q_OBJECT
private slots:
    void choice_data();
    void choice();
    void header_data();
    void header();
    void pixelsRoundTrip_data();
    void pixelsRoundTrip();
    void manyColoursKeepWhite();
    void gradientKeepsHue();
    void replacesFileOfSameName();
    void failureLeavesNoFile();
};

namespace
{
// A small page: white with a black frame, a silver field and a run of greys.
PageBitmap SamplePage(int width, int height)
{
    PageBitmap page;
    page.width = width;
    page.height = height;
    page.pixels.assign(size_t(width * height), 0xFFFFFFFFu);
    for (int x = 0; x < width; ++x) {
        page.pixels[size_t(x)] = 0xFF000000u;
        page.pixels[size_t((height - 1) * width + x)] = 0xFF000000u;
    }
    page.pixels[size_t(width + 1)] = 0xFFC0C0C0u;
    page.pixels[size_t(width + 2)] = 0xFF123456u;
    return page;
}

// The pixel at (x, y) of a bitmap file, as 0xRRGGBB, reading the format directly.
quint32 PixelAt(const QByteArray &file, int x, int y)
{
    const BitmapHeader header = ReadBitmapHeader(file);
    auto byte = [&](qsizetype i) { return quint32(quint8(file[i])); };
    const quint32 offset = byte(10) | byte(11) << 8 | byte(12) << 16 | byte(13) << 24;
    const int bytes = header.bitsPerPixel / 8;
    const int rowSize = (header.width * bytes + 3) / 4 * 4;
    const qsizetype at = offset + qsizetype(rowSize) * (header.height - 1 - y) + x * bytes;
    if (header.bitsPerPixel == 8) {
        const qsizetype entry = 54 + byte(at) * 4;
        return byte(entry + 2) << 16 | byte(entry + 1) << 8 | byte(entry);
    }
    return byte(at + 2) << 16 | byte(at + 1) << 8 | byte(at);
}
} // namespace

void TestBitmapFile::choice_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bits");
    QTest::newRow("8 bits") << "8 бита цвят" << 8;
    QTest::newRow("24 bits") << "24 бита цвят" << 24;
    QTest::newRow("32 bits") << "32 бита цвят" << 32;
    QTest::newRow("typed with an extra blank keeps 8") << "24 бита цвят " << 8;
    QTest::newRow("anything else keeps 8") << "32" << 8;
}

void TestBitmapFile::choice()
{
    QFETCH(QString, text);
    QFETCH(int, bits);
    QCOMPARE(BitsPerPixelForChoice(text), bits);
}

void TestBitmapFile::header_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("expectedBits");
    QTest::addColumn<qsizetype>("expectedSize");
    // Rows are padded to whole 4-byte words; the 8-bit file carries its palette of 4 colours.
    QTest::newRow("8 bits with palette") << 8 << 5 << 8 << qsizetype(54 + 4 * 4 + 8 * 4);
    QTest::newRow("24 bits padded rows") << 24 << 5 << 24 << qsizetype(54 + 16 * 4);
    QTest::newRow("32 bits really 32") << 32 << 5 << 32 << qsizetype(54 + 20 * 4);
    QTest::newRow("unknown depth is 8") << 16 << 5 << 8 << qsizetype(54 + 4 * 4 + 8 * 4);
}

void TestBitmapFile::header()
{
    QFETCH(int, bits);
    QFETCH(int, width);
    QFETCH(int, expectedBits);
    QFETCH(qsizetype, expectedSize);
    const QByteArray file = EncodeBitmap(ReduceTo8Bits(SamplePage(width, 4)), bits);
    const BitmapHeader header = ReadBitmapHeader(file);
    QVERIFY(header.valid);
    QCOMPARE(header.width, width);
    QCOMPARE(header.height, 4);
    QCOMPARE(header.bitsPerPixel, expectedBits);
    QCOMPARE(file.size(), expectedSize);
}

void TestBitmapFile::pixelsRoundTrip_data()
{
    QTest::addColumn<int>("bits");
    QTest::newRow("8") << 8;
    QTest::newRow("24") << 24;
    QTest::newRow("32") << 32;
}

void TestBitmapFile::pixelsRoundTrip()
{
    QFETCH(int, bits);
    const PageBitmap page = SamplePage(7, 5);
    const QByteArray file = EncodeBitmap(ReduceTo8Bits(page), bits);
    // Top row is black, the last row too, and the page keeps its few colours exactly.
    QCOMPARE(PixelAt(file, 3, 0), 0x000000u);
    QCOMPARE(PixelAt(file, 3, 4), 0x000000u);
    QCOMPARE(PixelAt(file, 1, 1), 0xC0C0C0u);
    QCOMPARE(PixelAt(file, 2, 1), 0x123456u);
    QCOMPARE(PixelAt(file, 6, 2), 0xFFFFFFu);
}

void TestBitmapFile::manyColoursKeepWhite()
{
    // A page of more colours than a palette holds: white, black, silver and the most used colours
    // stay exact, the rest take a near colour.
    PageBitmap page;
    page.width = 64;
    page.height = 64;
    for (int i = 0; i < 64 * 64; ++i)
        page.pixels.push_back(0xFF000000u | quint32(i * 4099 % 0xFFFFFF));
    page.pixels[0] = 0xFFFFFFFFu;
    page.pixels[1] = 0xFF000000u;
    page.pixels[2] = 0xFFC0C0C0u;
    page.pixels[3] = 0xFF7F7F7Fu;
    // A logo colour used widely on the page.
    for (int i = 100; i < 600; ++i)
        page.pixels[size_t(i)] = 0xFF2A5CAAu;
    const IndexedBitmap reduced = ReduceTo8Bits(page);
    QCOMPARE(reduced.palette.size(), size_t(256));
    QCOMPARE(reduced.palette[reduced.indices[100]], 0x2A5CAAu);
    QVERIFY(reduced.palette.size() <= 256);
    QCOMPARE(reduced.palette[reduced.indices[0]], 0xFFFFFFu);
    QCOMPARE(reduced.palette[reduced.indices[1]], 0x000000u);
    QCOMPARE(reduced.palette[reduced.indices[2]], 0xC0C0C0u);
    const quint32 grey = reduced.palette[reduced.indices[3]];
    QVERIFY(qAbs(int(grey & 0xFF) - 0x7F) <= 4);
    QCOMPARE(grey, (grey & 0xFF) * 0x010101u);
}

void TestBitmapFile::gradientKeepsHue()
{
    // A white page with a logo bar fading in 600 steps from orange to a pale orange: every step
    // takes a palette colour close to its own, not a grey or a coarse cube corner.
    PageBitmap page;
    page.width = 600;
    page.height = 20;
    page.pixels.assign(size_t(600 * 20), 0xFFFFFFFFu);
    auto step = [](int x) {
        auto mix = [x](int from, int to) { return quint32(from + (to - from) * x / 599); };
        return 0xFF000000u | mix(0xE6, 0xFA) << 16 | mix(0x78, 0xC8) << 8 | mix(0x14, 0x96);
    };
    for (int x = 0; x < 600; ++x)
        page.pixels[size_t(600 * 10 + x)] = step(x);
    const IndexedBitmap reduced = ReduceTo8Bits(page);
    for (int x = 0; x < 600; x += 37) {
        const quint32 want = step(x), got = reduced.palette[reduced.indices[size_t(6000 + x)]];
        for (int shift : {0, 8, 16})
            QVERIFY2(qAbs(int(want >> shift & 0xFF) - int(got >> shift & 0xFF)) <= 8,
                     qPrintable(QString::number(got, 16)));
    }
    QCOMPARE(reduced.palette[reduced.indices[0]], 0xFFFFFFu);
}

void TestBitmapFile::replacesFileOfSameName()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("VInvFirm1_0000000001_.bmp"));
    const IndexedBitmap image = ReduceTo8Bits(SamplePage(9, 3));
    SaveBitmapFile(name, image, 32);
    SaveBitmapFile(name, image, 24);
    QFile file(name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(ReadBitmapHeader(file.readAll()).bitsPerPixel, 24);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"VInvFirm1_0000000001_.bmp"});
}

void TestBitmapFile::failureLeavesNoFile()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("missing/VInvFirm1_0000000001_.bmp"));
    try {
        SaveBitmapFile(name, ReduceTo8Bits(SamplePage(4, 4)), 8);
        QFAIL("a file was written into a folder that does not exist");
    } catch (const UserError &error) {
        QCOMPARE(error.message(),
                 QStringLiteral("Cannot create file %1\nФайлът VInvFirm1_0000000001_.bmp не може "
                                "да бъде записан: папката не съществува.")
                     .arg(QDir::toNativeSeparators(name)));
    }
    QVERIFY(!QFile::exists(name));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(TestBitmapFile)
#include "tst_bitmapfile.moc"
