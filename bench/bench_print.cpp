// Times the print step of one page ("Отпечатай" up to the stored number, the print dialog
// answered with a cancel) against its bare parts measured in the same run: the toolkit's grab of
// the page converted to 8 bits and saved as a bitmap, a plain QPdfWriter render of the same page,
// and one SQLite commit of one row. Then the program's own parts of the step one by one: the
// capture and palette reduction, the archived bitmap, the PDF, and the journal with the counter.
//
//   bench_print [--rounds N]
#include "app/Forms.h"
#include "app/Menu.h"
#include "base/Clock.h"
#include "base/ProgramFolder.h"
#include "document/CurrentDocument.h"
#include "document/Document.h"
#include "document/DocumentNumber.h"
#include "document/Numbering.h"
#include "journal/JournalRecord.h"
#include "journal/JournalStore.h"
#include "masterdata/Table.h"
#include "masterdata/Unit4.h"
#include "print/ArchiveName.h"
#include "print/BitmapFile.h"
#include "print/PdfFile.h"
#include "print/Pr.h"
#include "print/PrintPage.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QThread>
#include <QToolButton>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
struct Samples {
    std::vector<double> ms;
    void add(const QElapsedTimer &timer) { ms.push_back(timer.nsecsElapsed() / 1e6); }
    double median()
    {
        std::sort(ms.begin(), ms.end());
        return ms.empty() ? 0.0 : ms[ms.size() / 2];
    }
};

bool CopySample(const QString &to)
{
    const QString sample =
        qEnvironmentVariable("VORNEX_SAMPLE_DB", QStringLiteral(VORNEX_SAMPLE_DB_DIR));
    QDir().mkpath(to);
    for (const QString &file : QDir(sample).entryList(QDir::Files)) {
        if (!QFile::copy(sample + QLatin1Char('/') + file, to + QLatin1Char('/') + file))
            return false;
        QFile::setPermissions(to + QLatin1Char('/') + file, QFile::ReadOwner | QFile::WriteOwner);
    }
    return true;
}
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    VornexApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int roundsAt = int(args.indexOf(QStringLiteral("--rounds")));
    const int rounds =
        roundsAt > 0 && roundsAt + 1 < args.size() ? std::max(1, args[roundsAt + 1].toInt()) : 20;

    QTemporaryDir folder;
    ProgramFolder = folder.path();
    const QString bare = folder.filePath(QStringLiteral("bare"));
    const QString parts = folder.filePath(QStringLiteral("parts"));
    if (!CopySample(folder.filePath(QStringLiteral("DB"))) || !QDir().mkpath(bare) ||
        !CopySample(parts)) {
        std::fprintf(stderr, "bench_print: the sample tables cannot be copied\n");
        return 1;
    }
    ScriptedDialogsGuard guard;
    ScriptedDialogs &script = guard.script;
    // A day of the lev, so that the sample tables print as they are.
    FixToday(QDate(2025, 12, 15));
    script.answer(QStringLiteral("20%"));
    CreateForms();
    // A client and a line, as a print needs them.
    Main->SpeedButton7Click();
    Form4->SpeedButton2->click();
    script.answer(QStringLiteral("1"));
    Main->SpeedButton3Click();
    Form4->Table1->SetRecNo(3);
    Form4->SpeedButton2->click();

    sqlite3 *commitDb = nullptr;
    sqlite3_open(QDir(bare).filePath(QStringLiteral("commit.db")).toUtf8().constData(), &commitDb);
    sqlite3_exec(commitDb, "CREATE TABLE t (x TEXT)", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(commitDb, "INSERT INTO t VALUES (?)", -1, &insert, nullptr);

    QMap<QString, Samples> results;
    QStringList order;
    auto add = [&](const QString &name, const QElapsedTimer &timer) {
        if (!order.contains(name))
            order << name;
        results[name].add(timer);
    };
    const Invoice sample = TheDocument();
    for (int round = -1; round < rounds; ++round) {
        // The print step as the user runs it; the first round warms the caches and is not kept.
        Main->SpeedButton4->click();
        script.printAnswers.push(false);
        QElapsedTimer timer;
        timer.start();
        PrintOptionsForm->SpeedButton1->click();
        if (round >= 0)
            add(QStringLiteral("print step"), timer);
        if (!script.errors.isEmpty()) {
            std::fprintf(stderr, "bench_print: %s\n", qPrintable(script.errors.join('\n')));
            return 1;
        }
        if (round < 0)
            continue;

        // The bare parts.
        timer.restart();
        const QImage grabbed = Doc->Panel1->grab().toImage().convertToFormat(
            QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
        grabbed.save(QDir(bare).filePath(QStringLiteral("page%1.bmp").arg(round)), "BMP");
        add(QStringLiteral("bare: grab, 8 bits, BMP save"), timer);
        timer.restart();
        {
            QPdfWriter writer(QDir(bare).filePath(QStringLiteral("page%1.pdf").arg(round)));
            writer.setPageSize(QPageSize(QPageSize::A4));
            QPainter painter(&writer);
            const double scale = double(writer.width()) / Doc->Panel1->width();
            painter.scale(scale, scale);
            Doc->Panel1->render(&painter);
        }
        add(QStringLiteral("bare: QPdfWriter render"), timer);
        timer.restart();
        const QByteArray row = QByteArray::number(round);
        sqlite3_bind_text(insert, 1, row.constData(), int(row.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
        add(QStringLiteral("bare: SQLite commit of a row"), timer);

        // The program's own parts, on their own files.
        timer.restart();
        const PageBitmap captured = CaptureWidget(Doc->Panel1);
        add(QStringLiteral("part: capture"), timer);
        timer.restart();
        const IndexedBitmap reduced = ReduceTo8Bits(captured);
        add(QStringLiteral("part: palette reduction"), timer);
        const QString bitmap =
            ArchiveFileName(parts, sample.title, 1, TenDigits(1000 + round), kOriginalMark);
        timer.restart();
        SaveNewBitmapFile(bitmap, reduced, 8);
        add(QStringLiteral("part: archived bitmap"), timer);
        timer.restart();
        SavePagePdf(PdfFileNameFor(bitmap), Doc->Panel1, QStringLiteral("Фактура"));
        add(QStringLiteral("part: PDF"), timer);
        Invoice doc = sample;
        doc.number = 1000 + round;
        timer.restart();
        const JournalEntry entry =
            EntryOfDocument(doc, {kOriginalMark, 8, bitmap, PdfFileNameFor(bitmap), QString()},
                            QDateTime::currentDateTime());
        add(QStringLiteral("part: journal entry"), timer);
        IssueRequest request;
        request.tablesFolder = parts;
        request.counterField = kInvoiceCounter;
        request.number = doc.number;
        request.prepared = true;
        timer.restart();
        {
            IssueTransaction issue(request);
            issue.commit(&entry);
        }
        add(QStringLiteral("part: journal and counter"), timer);
    }
    sqlite3_finalize(insert);
    sqlite3_close(commitDb);

    std::printf("bench_print: %d rounds, %d cores; times in ms, median [min-max]\n\n", rounds,
                QThread::idealThreadCount());
    for (const QString &name : std::as_const(order)) {
        Samples &s = results[name];
        const double median = s.median();
        std::printf("%-32s %8.1f [%6.1f-%6.1f]\n", qPrintable(name), median, s.ms.front(),
                    s.ms.back());
    }
    const double bareSum = results[QStringLiteral("bare: grab, 8 bits, BMP save")].median() +
                           results[QStringLiteral("bare: QPdfWriter render")].median() +
                           results[QStringLiteral("bare: SQLite commit of a row")].median();
    const double step = results[QStringLiteral("print step")].median();
    std::printf("\nprint step / sum of the bare parts: %.1f / %.1f = x%.2f (goal <= 1.5)\n", step,
                bareSum, step / bareSum);
    std::printf("journal and counter / SQLite commit of a row: x%.2f\n",
                results[QStringLiteral("part: journal and counter")].median() /
                    results[QStringLiteral("bare: SQLite commit of a row")].median());
    DestroyForms();
    return 0;
}
