#include "journal/JournalView.h"

#include "document/DocumentNumber.h"
#include "document/InvoiceJson.h"
#include "journal/NumberSeries.h"
#include "print/ArchiveName.h"

#include <QMap>
#include <QTest>

namespace
{
JournalEntry Row(const QString &number, const QString &client, const QString &total,
                 const QString &kind = kKindInvoice)
{
    JournalEntry e;
    e.number = number;
    e.series = kind == kKindProforma ? QStringLiteral("Проформа №") : QStringLiteral("Фактура №");
    e.kind = kind;
    e.clientName = client;
    e.documentDate = QStringLiteral("15.03.2007");
    e.homeCurrency = QStringLiteral("BGL");
    e.taxBase = total;
    e.vat = QStringLiteral("0");
    e.total = total;
    e.foreignCurrency = QStringLiteral("EUR");
    e.foreignTotal = total;
    return e;
}

// "series:number:document" items, "|" between them.
QVector<SeriesItem> Items(const QString &text)
{
    QVector<SeriesItem> items;
    for (const QString &item : text.split(QLatin1Char('|'))) {
        const QStringList parts = item.split(QLatin1Char(':'));
        items.append({parts.value(0), parts.value(1), parts.value(2)});
    }
    return items;
}

// The marks as "gapFrom-gapTo" or "R" (repeated) or "-", "|" between them.
QString Marks(const QVector<SeriesMark> &marks)
{
    QStringList out;
    for (const SeriesMark &m : marks) {
        QString text;
        if (m.hasGap())
            text += QStringLiteral("%1-%2").arg(m.gapFrom).arg(m.gapTo);
        if (m.repeated)
            text += QLatin1Char('R');
        out << (text.isEmpty() ? QStringLiteral("-") : text);
    }
    return out.join(QLatin1Char('|'));
}
} // namespace

// What the journal window makes of the rows: gaps and repeats, the filter, the sums, the CSV.
class TestJournalView : public QObject
{
    Q_OBJECT
private slots:
    void gapsAndRepeats_data();
    void gapsAndRepeats();
    void markText();
    void csvCellsCannotStartFormulas_data();
    void csvCellsCannotStartFormulas();
    void entryOfDocument_data();
    void entryOfDocument();
    void filter_data();
    void filter();
    void sumsCountEachDocumentOnce();
    void csvBytes();
    void archivedPageNames_data();
    void archivedPageNames();
    void journalAgainstCountersAndArchive_data();
    void journalAgainstCountersAndArchive();
};

void TestJournalView::gapsAndRepeats_data()
{
    QTest::addColumn<QString>("items");
    QTest::addColumn<QString>("marks");
    QTest::newRow("a series without gaps") << "i:1:a|i:2:b|i:3:c"
                                           << "-|-|-";
    QTest::newRow("one number missing") << "i:0000000041:a|i:0000000043:b"
                                        << "-|42-42";
    QTest::newRow("several missing, rows in any order") << "i:50:c|i:44:a|i:45:b"
                                                        << "46-49|-|-";
    QTest::newRow("original and copy are one document") << "i:7:a|i:7:a|i:8:b"
                                                        << "-|-|-";
    QTest::newRow("one number for two documents") << "i:7:a|i:7:b|i:8:c"
                                                  << "R|R|-";
    QTest::newRow("a gap and a repeat on one number") << "i:5:a|i:9:b|i:9:c"
                                                      << "-|6-8R|6-8R";
    QTest::newRow("series are apart") << "i:1:a|p:1:b|i:2:c|p:3:d"
                                      << "-|-|-|2-2";
    QTest::newRow("numbers below the first are not missing") << "i:1200:a|i:1201:b"
                                                             << "-|-";
    QTest::newRow("a typed number that is no number takes no part") << "i:1:a|i:12a:b|i:2:c"
                                                                    << "-|-|-";
    QTest::newRow("zero and negatives take no part") << "i:0:a|i:-3:b|i:2:c"
                                                     << "-|-|-";
}

void TestJournalView::gapsAndRepeats()
{
    QFETCH(QString, items);
    QFETCH(QString, marks);
    QCOMPARE(Marks(FindGapsAndRepeats(Items(items))), marks);
}

void TestJournalView::markText()
{
    SeriesMark mark;
    QCOMPARE(MarkText(mark), QString());
    mark.gapFrom = mark.gapTo = 42;
    QCOMPARE(MarkText(mark), QStringLiteral("липсва 0000000042"));
    mark.gapTo = 43;
    mark.repeated = true;
    QCOMPARE(MarkText(mark), QStringLiteral("липсват 0000000042–0000000043; повторен номер"));
}

void TestJournalView::entryOfDocument_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("series");
    QTest::addColumn<QString>("homeCode");
    QTest::newRow("invoice in leva") << "ФАКТУРА / INVOICE"
                                     << ""
                                     << "BGN"
                                     << "Фактура"
                                     << "Фактура №"
                                     << "BGN";
    QTest::newRow("proforma in euro") << "ПРОФОРМА ФАКТУРА / PROFORMA INVOICE"
                                      << ""
                                      << "EUR"
                                      << "Проформа фактура"
                                      << "Проформа №"
                                      << "EUR";
    QTest::newRow("credit note") << "ФАКТУРА / INVOICE"
                                 << "Кредитно известие / Credit note"
                                 << "EUR"
                                 << "Кредитно известие"
                                 << "Фактура №"
                                 << "EUR";
    QTest::newRow("debit note") << "ФАКТУРА / INVOICE"
                                << "Дебитно известие / Debit note"
                                << "BGN"
                                << "Дебитно известие"
                                << "Фактура №"
                                << "BGN";
    QTest::newRow("a typed title is an invoice") << "Фактура"
                                                 << ""
                                                 << "BGL"
                                                 << "Фактура"
                                                 << "Фактура №"
                                                 << "BGN";
}

void TestJournalView::entryOfDocument()
{
    QFETCH(QString, title);
    QFETCH(QString, note);
    QFETCH(QString, home);
    QFETCH(QString, kind);
    QFETCH(QString, series);
    QFETCH(QString, homeCode);
    Invoice doc;
    doc.title = title;
    doc.noteTitle = note;
    doc.homeCurrency = home;
    doc.foreignCurrency = QStringLiteral("BGL");
    doc.number = 42;
    doc.issueDate = QDate(2026, 12, 8);
    doc.supplier.name = QStringLiteral("Ведрина Трейд ООД");
    doc.supplier.name2 = QStringLiteral("Vedrina Trade Ltd");
    doc.recipient.name = QStringLiteral("Зелен хълм ООД");
    doc.home = {Decimal::Amount::FromText("332.00"), Decimal::Amount::FromText("66.40"),
                Decimal::Amount::FromText("398.40")};
    doc.foreign.gross = Decimal::Amount::FromText("203.7");
    InvoiceLine line;
    line.number = 1;
    line.description = {QStringLiteral("Абонаментна поддръжка,"), QStringLiteral("месечна такса")};
    line.unit = QStringLiteral("мес.");
    line.quantity = Decimal::Amount::FromText("2");
    line.value = Decimal::Amount::FromText("640.00");
    doc.lines << line;
    const JournalEntry e =
        EntryOfDocument(doc, {kCopyMark, 24, QStringLiteral("/DB/a.bmp"), QString(), QString()},
                        QDateTime(QDate(2026, 12, 8), QTime(15, 0)));
    QCOMPARE(e.kind, kind);
    QCOMPARE(e.series, series);
    QCOMPARE(e.homeCurrency, homeCode);
    QCOMPARE(e.foreignCurrency, QStringLiteral("BGN")); // never the withdrawn "BGL"
    QCOMPARE(e.number, QStringLiteral("0000000042"));
    QCOMPARE(e.documentDate, QStringLiteral("08.12.2026"));
    QCOMPARE(e.supplierName, QStringLiteral("Ведрина Трейд ООД\nVedrina Trade Ltd"));
    QCOMPARE(e.total, QStringLiteral("398.40"));
    QCOMPARE(e.foreignTotal, QStringLiteral("203.7"));
    QCOMPARE(e.noteReference.isEmpty(), note.isEmpty());
    QVERIFY(e.copy);
    QCOMPARE(e.colourDepth, 24);
    QCOMPARE(e.lines.size(), 1);
    QCOMPARE(e.lines[0].description, QStringLiteral("Абонаментна поддръжка, месечна такса"));
    QCOMPARE(e.lines[0].measure, QStringLiteral("мес."));
    QCOMPARE(InvoiceFromJson(e.document), doc);
}

void TestJournalView::filter_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<bool>("shown");
    const QDate none;
    QTest::newRow("no filter") << ""
                               << "" << none << none << true;
    QTest::newRow("part of the number") << "42"
                                        << "" << none << none << true;
    QTest::newRow("part of the client") << "мак"
                                        << "" << none << none << true;
    QTest::newRow("Cyrillic letter case ignored") << "АЛЕН МАК"
                                                  << "" << none << none << true;
    QTest::newRow("blanks around the search") << "  мак "
                                              << "" << none << none << true;
    QTest::newRow("another client") << "Кристал"
                                    << "" << none << none << false;
    QTest::newRow("a quote is only a character") << "' OR 1=1"
                                                 << "" << none << none << false;
    QTest::newRow("kind matches") << ""
                                  << "Фактура" << none << none << true;
    QTest::newRow("other kind") << ""
                                << "Проформа фактура" << none << none << false;
    QTest::newRow("inside the period") << ""
                                       << "" << QDate(2007, 3, 1) << QDate(2007, 3, 31) << true;
    QTest::newRow("period ends on its day") << ""
                                            << "" << none << QDate(2007, 3, 15) << true;
    QTest::newRow("before the period") << ""
                                       << "" << QDate(2007, 3, 16) << none << false;
}

void TestJournalView::filter()
{
    QFETCH(QString, search);
    QFETCH(QString, kind);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(bool, shown);
    const JournalEntry row =
        Row(QStringLiteral("0000000042"), QStringLiteral("Ален Мак ООД"), QStringLiteral("10.00"));
    QCOMPARE(MatchesFilter(row, {search, from, to, kind}), shown);
}

void TestJournalView::sumsCountEachDocumentOnce()
{
    JournalEntry copy = Row(QStringLiteral("1"), QStringLiteral("А"), QStringLiteral("100.10"));
    copy.copy = true;
    JournalEntry credit =
        Row(QStringLiteral("2"), QStringLiteral("А"), QStringLiteral("-20.05"), kKindCreditNote);
    JournalEntry euro = Row(QStringLiteral("3"), QStringLiteral("Б"), QStringLiteral("50.00"));
    euro.homeCurrency = QStringLiteral("EUR");
    euro.foreignCurrency = QStringLiteral("USD");
    JournalEntry unreadable = Row(QStringLiteral("4"), QStringLiteral("В"), QStringLiteral("abc"));
    const QVector<JournalEntry> rows{
        Row(QStringLiteral("1"), QStringLiteral("А"), QStringLiteral("100.10")), copy, credit, euro,
        unreadable};
    const QVector<CurrencySum> sums = SumsPerCurrency(rows);
    QCOMPARE(SumsText(sums), QStringLiteral("BGL: основа 80.05, ДДС 0.00, общо 80.05 | "
                                            "EUR: основа 50.00, ДДС 0.00, общо 50.00 | "
                                            "във втора валута: общо EUR 80.05, USD 50.00"));
}

void TestJournalView::csvBytes()
{
    JournalEntry row = Row(QStringLiteral("0000000042"), QStringLiteral("Ален; \"Мак\" ООД"),
                           QStringLiteral("398.40"));
    row.clientVat = QStringLiteral("=1+1");
    row.copy = true;
    row.printedAt = QStringLiteral("2007-03-15T10:00:00");
    row.pdfFile = QStringLiteral("/db/a.pdf");
    const QByteArray expected =
        QByteArray("\xEF\xBB\xBF") +
        QStringLiteral("Номер;Вид;Дата;Клиент;ИН по ЗДДС;Данъчна основа;ДДС;Сума за плащане;"
                       "Валута;Сума във валута;Чужда валута;Екземпляр;Отпечатан;Файл PDF\r\n"
                       "0000000042;Фактура;15.03.2007;\"Ален; \"\"Мак\"\" ООД\";'=1+1;398,40;0;"
                       "398,40;BGL;398,40;EUR;Копие;2007-03-15T10:00:00;/db/a.pdf\r\n")
            .toUtf8();
    QCOMPARE(JournalCsv({row}), expected);
    // A line break inside a field keeps the row whole.
    row.clientName = QStringLiteral("А\nБ");
    QVERIFY(JournalCsv({row}).contains(QStringLiteral("\"А\nБ\"").toUtf8()));
}

namespace
{
// The fields of the one data row of a CSV, unquoted as a spreadsheet reads them.
QStringList DataRow(const QByteArray &csv)
{
    const QString text = QString::fromUtf8(csv.mid(3));
    QStringList rows, fields;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                field += text.at(++i);
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                field += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(';')) {
            fields << field;
            field.clear();
        } else if (c == QLatin1Char('\r') && text.mid(i, 2) == QLatin1String("\r\n")) {
            fields << field;
            field.clear();
            rows << fields.join(QChar(0x1F));
            fields.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return rows.value(1).split(QChar(0x1F));
}
} // namespace

void TestJournalView::csvCellsCannotStartFormulas_data()
{
    QTest::addColumn<int>("column"); // of the CSV, 0 = "Номер"
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("cell"); // as the spreadsheet reads the field

    QTest::newRow("equals in the client's name") << 3 << "=HYPERLINK(\"x\")"
                                                 << "'=HYPERLINK(\"x\")";
    QTest::newRow("plus in the VAT number") << 4 << "+359 1+1"
                                            << "'+359 1+1";
    QTest::newRow("at sign in the currency code") << 8 << "@SUM(A1)"
                                                  << "'@SUM(A1)";
    QTest::newRow("minus in the kind") << 1 << "-2+3"
                                       << "'-2+3";
    QTest::newRow("tab in the number") << 0 << "\t=1"
                                       << "'\t=1";
    QTest::newRow("carriage return in the date") << 2 << "\r=1"
                                                 << "'\r=1";
    QTest::newRow("line feed in the PDF's name") << 13 << "\n=1"
                                                 << "'\n=1";
    QTest::newRow("blanks before the sign") << 10 << "  =1+1"
                                            << "'  =1+1";
    QTest::newRow("full-width equals") << 3 << "\uFF1D1+1"
                                       << "'\uFF1D1+1";
    QTest::newRow("a sign inside is harmless") << 3 << "Ален = Мак"
                                               << "Ален = Мак";
    QTest::newRow("credit note's amount stays a number") << 7 << "-12.50"
                                                         << "-12,50";
    QTest::newRow("negative tax base stays a number") << 5 << "-0.5"
                                                      << "-0,5";
    QTest::newRow("amount that is no number is text") << 7 << "-1+cmd|' /C calc'!A0"
                                                      << "'-1+cmd|' /C calc'!A0";
    QTest::newRow("amount with a plus sign is text") << 9 << "+5"
                                                     << "'+5";
}

// Whatever the journal holds, the spreadsheet reads no cell as a formula; amounts stay numbers.
void TestJournalView::csvCellsCannotStartFormulas()
{
    QFETCH(int, column);
    QFETCH(QString, stored);
    QFETCH(QString, cell);

    JournalEntry row =
        Row(QStringLiteral("0000000042"), QStringLiteral("Ален Мак ООД"), QStringLiteral("398.40"));
    QString *const fields[] = {
        &row.number,          &row.kind, &row.documentDate, &row.clientName,   &row.clientVat,
        &row.taxBase,         &row.vat,  &row.total,        &row.homeCurrency, &row.foreignTotal,
        &row.foreignCurrency, nullptr,   &row.printedAt,    &row.pdfFile};
    QVERIFY(fields[column]);
    *fields[column] = stored;
    const QStringList cells = DataRow(JournalCsv({row}));
    QCOMPARE(cells.size(), 14);
    QCOMPARE(cells.at(column), cell);
}

void TestJournalView::archivedPageNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("page"); // "counter/firm/number/copy", or "-" for no page
    QTest::newRow("an invoice's original") << "VInvFirm1_0000000042_.bmp"
                                           << "Фактура №/1/42/0";
    QTest::newRow("a proforma's copy") << "VProformFirm2_0000000008_copy.bmp"
                                       << "Проформа №/2/8/1";
    QTest::newRow("with its folder") << "/a/DB/VInvFirm12_0000001200_.bmp"
                                     << "Фактура №/12/1200/0";
    QTest::newRow("a number that is no number") << "VInvFirm1_12a_.bmp"
                                                << "Фактура №/1/0/0";
    QTest::newRow("the PDF beside it") << "VInvFirm1_0000000042_.pdf"
                                       << "-";
    QTest::newRow("a leftover of a write") << "VInvFirm1_0000000042_.bmp.AbCdEf"
                                           << "-";
    QTest::newRow("another program's bitmap") << "logo.bmp"
                                              << "-";
    QTest::newRow("no own company") << "VInvFirm_0000000042_.bmp"
                                    << "-";
}

void TestJournalView::archivedPageNames()
{
    QFETCH(QString, name);
    QFETCH(QString, page);
    const ArchivedPageName p = ArchivedPageOf(name);
    QCOMPARE(p.valid ? QStringLiteral("%1/%2/%3/%4")
                           .arg(p.counter)
                           .arg(p.firmRecNo)
                           .arg(p.number)
                           .arg(int(p.copy))
                     : QStringLiteral("-"),
             page);
}

void TestJournalView::journalAgainstCountersAndArchive_data()
{
    // The journal: "counter/firm:numbers" with the numbers apart by commas, series by "|"; the
    // counters "counter/firm:value"; the archive's names by "|".
    QTest::addColumn<QString>("journal");
    QTest::addColumn<QString>("counters");
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QString>("findings");
    QTest::newRow("the journal holds every number issued") << "i/1:41,42,43"
                                                           << "i/1:43"
                                                           << "VInvFirm1_0000000043_.bmp"
                                                           << "";
    QTest::newRow("the newest row is missing") << "i/1:41,42,43"
                                               << "i/1:44"
                                               << ""
                                               << "липсва 0000000044 (броячът е на 0000000044)";
    QTest::newRow("several newest rows are missing")
        << "i/1:41,42"
        << "i/1:45"
        << ""
        << "липсват 0000000043–0000000045 (броячът е на 0000000045)";
    QTest::newRow("a number typed beyond the counter") << "i/1:41,42,50"
                                                       << "i/1:42"
                                                       << ""
                                                       << "";
    QTest::newRow("a series the journal never held began before it") << ""
                                                                     << "i/1:41"
                                                                     << "VInvFirm1_0000000041_.bmp"
                                                                     << "";
    QTest::newRow("an archived page the journal lacks is named")
        << "i/1:41,43"
        << "i/1:43"
        << "VInvFirm1_0000000042_.bmp|VInvFirm1_0000000043_.bmp"
        << "в архива без ред в дневника: VInvFirm1_0000000042_.bmp";
    QTest::newRow("the newest missing with its archived original and copy")
        << "i/1:41"
        << "i/1:42"
        << "VInvFirm1_0000000042_copy.bmp|VInvFirm1_0000000042_.bmp"
        << "липсва 0000000042 (броячът е на 0000000042); в архива без ред в дневника: "
           "VInvFirm1_0000000042_.bmp, VInvFirm1_0000000042_copy.bmp";
    QTest::newRow("pages archived before the journal began") << "i/1:41,42"
                                                             << "i/1:42"
                                                             << "VInvFirm1_0000000007_.bmp"
                                                             << "";
    QTest::newRow("proformas are a series of their own")
        << "i/1:41|p/1:8"
        << "i/1:41|p/1:9"
        << "VProformFirm1_0000000009_.bmp"
        << "липсва 0000000009 (броячът е на 0000000009); в архива без ред в дневника: "
           "VProformFirm1_0000000009_.bmp";
    QTest::newRow("two own companies, each named")
        << "i/1:41|i/2:1200"
        << "i/1:42|i/2:1201"
        << ""
        << "Фактура № на фирма 1: липсва 0000000042 (броячът е на 0000000042) | Фактура № на "
           "фирма 2: липсва 0000001201 (броячът е на 0000001201)";
    QTest::newRow("a long list of archived pages is cut")
        << "i/1:1,9"
        << "i/1:9"
        << "VInvFirm1_0000000002_.bmp|VInvFirm1_0000000003_.bmp|VInvFirm1_0000000004_.bmp|"
           "VInvFirm1_0000000005_.bmp|VInvFirm1_0000000006_.bmp"
        << "в архива без ред в дневника: VInvFirm1_0000000002_.bmp, VInvFirm1_0000000003_.bmp, "
           "VInvFirm1_0000000004_.bmp, и още 2";
    QTest::newRow("names that are no archived pages") << "i/1:41"
                                                      << "i/1:41"
                                                      << "logo.bmp|VInvFirm1_0000000050_.pdf"
                                                      << "";
}

void TestJournalView::journalAgainstCountersAndArchive()
{
    QFETCH(QString, journal);
    QFETCH(QString, counters);
    QFETCH(QString, archive);
    QFETCH(QString, findings);
    const auto counterOf = [](const QString &letter) {
        return letter == QLatin1String("p") ? kProformaCounter : kInvoiceCounter;
    };
    // "i/1" -> the invoice counter of own company 1
    const auto seriesOf = [&](const QString &text) {
        const QStringList parts = text.split(QLatin1Char('/'));
        return std::make_pair(counterOf(parts.value(0)), parts.value(1).toInt());
    };
    QMap<std::pair<QString, int>, QList<qint64>> held;
    for (const QString &series : journal.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const QStringList parts = series.split(QLatin1Char(':'));
        for (const QString &number : parts[1].split(QLatin1Char(',')))
            held[seriesOf(parts[0])] << number.toLongLong();
    }
    QVector<JournalSpan> spans;
    for (auto it = held.cbegin(); it != held.cend(); ++it)
        spans.append({it.key().first, it.key().second, *std::min_element(it->begin(), it->end()),
                      *std::max_element(it->begin(), it->end())});
    QVector<StoredCounter> stored;
    for (const QString &counter : counters.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const QStringList parts = counter.split(QLatin1Char(':'));
        stored.append({seriesOf(parts[0]).first, seriesOf(parts[0]).second, parts[1].toLongLong()});
    }
    const QVector<SeriesFinding> found =
        CheckSeries(spans, stored, archive.split(QLatin1Char('|'), Qt::SkipEmptyParts),
                    [&held](const QString &counter, int firmRecNo, qint64 number) {
                        return held.value({counter, firmRecNo}).contains(number);
                    });
    QCOMPARE(FindingsText(found), findings);
}

QTEST_GUILESS_MAIN(TestJournalView)
#include "tst_journalview.moc"
