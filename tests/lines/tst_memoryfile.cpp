#include "base/Errors.h"
#include "lines/MemoryFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestMemoryFile : public QObject
{
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void encodeWritesWindows1251WithCrLf();
    void writeThenReadKeepsEveryLine();
    void writeReplacesEarlierFile();
    void writeToMissingFolderIsReportedAndLeavesNoFile();
};

void TestMemoryFile::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF") << QByteArray("20%\r\nA\r\n\r\nB\r\n")
                           << QStringList{"20%", "A", "", "B"};
    QTest::newRow("LF") << QByteArray("20%\nA\n\nB\n") << QStringList{"20%", "A", "", "B"};
    QTest::newRow("CR") << QByteArray("20%\rA\r\rB\r") << QStringList{"20%", "A", "", "B"};
    QTest::newRow("mixed line ends")
        << QByteArray("1\r\n2\n3\r4") << QStringList{"1", "2", "3", "4"};
    QTest::newRow("last line without line end") << QByteArray("9%\r\nX") << QStringList{"9%", "X"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("Windows-1251 letters")
        << QByteArray("\xd4\xc0\xca\xd2\xd3\xd0\xc0 / INVOICE\r\n")
        << QStringList{QStringLiteral("ФАКТУРА / INVOICE")};
}

void TestMemoryFile::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(DecodeMemoryText(bytes), lines);
}

void TestMemoryFile::encodeWritesWindows1251WithCrLf()
{
    const QStringList lines = {QStringLiteral("20%"), QStringLiteral("ФАКТУРА / INVOICE"),
                               QString(), QStringLiteral("чл. 113, ал. 9")};
    QCOMPARE(EncodeMemoryText(lines),
             QByteArray("20%\r\n\xd4\xc0\xca\xd2\xd3\xd0\xc0 / INVOICE\r\n\r\n"
                        "\xf7\xeb. 113, \xe0\xeb. 9\r\n"));
}

void TestMemoryFile::writeThenReadKeepsEveryLine()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vmem.txt"));
    const QStringList lines = {QStringLiteral("9%"),
                               QStringLiteral("ПРОФОРМА ФАКТУРА / PROFORMA INVOICE"),
                               QStringLiteral("Кредитно известие / Credit note"), QString(76, '.')};
    WriteMemoryFile(path, lines);
    QCOMPARE(ReadMemoryFile(path), lines);
}

void TestMemoryFile::writeReplacesEarlierFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vmem.txt"));
    WriteMemoryFile(path, {"1", "2", "3", "4", "5", "6"});
    WriteMemoryFile(path, {"20%"});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("20%\r\n"));
}

void TestMemoryFile::writeToMissingFolderIsReportedAndLeavesNoFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/Vmem.txt"));
    try {
        WriteMemoryFile(path, {"20%"});
        QFAIL("no error");
    } catch (const UserError &error) {
        QCOMPARE(error.message(),
                 QStringLiteral("Cannot create file %1\nФайлът Vmem.txt не може да бъде записан: "
                                "папката не съществува.")
                     .arg(QDir::toNativeSeparators(path)));
    }
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestMemoryFile)
#include "tst_memoryfile.moc"
