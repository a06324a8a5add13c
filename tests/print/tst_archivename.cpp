#include "print/ArchiveName.h"

#include <QTest>

// The names under which printed pages are archived.
class TestArchiveName : public QObject
{
    Q_OBJECT
private slots:
    void name_data();
    void name();
};

void TestArchiveName::name_data()
{
    const QString invoice = QStringLiteral("ФАКТУРА / INVOICE");
    const QString proforma = QStringLiteral("ПРОФОРМА ФАКТУРА / PROFORMA INVOICE");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("firm");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("expected");
    QTest::newRow("original of an invoice")
        << invoice << 1 << "0000000042" << kOriginalMark << "/a/DB/VInvFirm1_0000000042_.bmp";
    QTest::newRow("copy of an invoice")
        << invoice << 1 << "0000000042" << kCopyMark << "/a/DB/VInvFirm1_0000000042_copy.bmp";
    QTest::newRow("proforma prefix")
        << proforma << 3 << "0000000007" << kOriginalMark << "/a/DB/VProformFirm3_0000000007_.bmp";
    QTest::newRow("proforma test is exact") << proforma + QLatin1Char(' ') << 3 << "0000000007"
                                            << kOriginalMark << "/a/DB/VInvFirm3_0000000007_.bmp";
    QTest::newRow("record number without zeros")
        << invoice << 12 << "0000000001" << kCopyMark << "/a/DB/VInvFirm12_0000000001_copy.bmp";
    QTest::newRow("an unknown mark has no suffix") << invoice << 1 << "0000000042"
                                                   << "Копие"
                                                   << "/a/DB/VInvFirm1_0000000042_.bmp";
    QTest::newRow("manual number goes in as typed")
        << invoice << 1 << "00000A-7 б" << kOriginalMark << "/a/DB/VInvFirm1_00000A-7 б_.bmp";
    QTest::newRow("path separators cannot leave the folder")
        << invoice << 1 << "../../x\\y" << kOriginalMark << "/a/DB/VInvFirm1_.._.._x_y_.bmp";
    QTest::newRow("characters a file name cannot hold")
        << invoice << 1 << "a:b*c?d\"e<f>g|h" << kOriginalMark
        << "/a/DB/VInvFirm1_a_b_c_d_e_f_g_h_.bmp";
    QTest::newRow("control characters") << invoice << 1 << QStringLiteral("1\n2\t3")
                                        << kOriginalMark << "/a/DB/VInvFirm1_1_2_3_.bmp";
}

void TestArchiveName::name()
{
    QFETCH(QString, kind);
    QFETCH(int, firm);
    QFETCH(QString, number);
    QFETCH(QString, mark);
    QFETCH(QString, expected);
    QCOMPARE(ArchiveFileName(QStringLiteral("/a/DB/"), kind, firm, number, mark), expected);
    QCOMPARE(ArchiveFileName(QStringLiteral("/a/DB"), kind, firm, number, mark), expected);
}

QTEST_GUILESS_MAIN(TestArchiveName)
#include "tst_archivename.moc"
