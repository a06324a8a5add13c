// Times the journal window on generated journals of 10 000, 100 000 and 1 000 000 pages: opening
// it, search keystrokes of growing prefixes of a client and of a number, the kind and period
// filters, the sums of the list, and the CSV of every page, driven through the real window
// offscreen. Each size runs in a process of its own so that its peak memory is its own; the
// smallest is the yardstick of the others.
//
//   bench_journal [--rounds N] [--sizes 10000,100000,1000000] [--folder DIR]
#include "app/Forms.h"
#include "app/Menu.h"
#include "base/ProgramFolder.h"
#include "document/DocumentNumber.h"
#include "journal/Journal.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalModel.h"
#include "journal/JournalReader.h"
#include "journal/JournalStore.h"
#include "print/ArchiveName.h"
#include "print/PdfFile.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Look.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QToolButton>

#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
// ---- generated journals ----

const char16_t *const kNames[] = {
    u"Зелен",  u"Арго",   u"Мирела", u"Пирин",  u"Рила",  u"Балкан", u"Дунав",      u"Витоша",
    u"Тракия", u"Родопи", u"Струма", u"Марица", u"Искър", u"Янтра",  u"Черноморец", u"Огоста"};
const char16_t *const kTrades[] = {u"Строй", u"Консулт", u"Фрут",     u"Софт",
                                   u"Трейд", u"Транс",   u"Агро",     u"Мед",
                                   u"Тех",   u"Инвест",  u"Логистик", u"Дизайн"};
const char16_t *const kForms[] = {u"ООД", u"ЕООД", u"АД", u"ЕТ"};
const char16_t *const kGoods[] = {u"Офисен стол",       u"Копирна хартия А4, 80 г/м2",
                                  u"Тонер касета",      u"Кабел UTP категория 6",
                                  u"Монитор 24\"",      u"Абонаментна поддръжка",
                                  u"Монтаж на мрежа",   u"Консултация, час",
                                  u"Доставка до адрес", u"Лазерен принтер"};

template <size_t N> QString Pick(QRandomGenerator &random, const char16_t *const (&list)[N])
{
    return QString::fromUtf16(list[random.bounded(quint32(N))]);
}

void Exec(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "bench_journal: %s\n", error ? error : "SQLite error");
        std::exit(1);
    }
}

void Bind(sqlite3_stmt *statement, int index, const QVariant &value)
{
    if (value.isNull())
        sqlite3_bind_null(statement, index);
    else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong)
        sqlite3_bind_int64(statement, index, value.toLongLong());
    else {
        const QString text = value.toString();
        sqlite3_bind_text16(statement, index, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
    }
}

Decimal::Amount Cents(qint64 cents)
{
    return Decimal::Amount::Cents(cents * 100);
}

// A document as the print would journal it: 1 to 4 lines, one of 3 000 clients, ten years of
// dates up to today, leva before the last tenth and euro after.
Invoice MakeDocument(QRandomGenerator &random, int index, int count, qint64 number,
                     const QString &title, const QString &note,
                     const QVector<std::pair<QString, QString>> &clients)
{
    Invoice doc;
    doc.title = title;
    doc.noteTitle = note;
    doc.number = number;
    const int days = 3650 - int(qint64(index) * 3650 / count);
    doc.issueDate = doc.taxEventDate = QDate::currentDate().addDays(-days);
    doc.supplier.name = QStringLiteral("Ведрина Трейд ООД");
    doc.supplier.name2 = QStringLiteral("Vedrina Trade Ltd");
    doc.supplier.vatNumber = QStringLiteral("175402918");
    doc.supplier.id = QStringLiteral("175402918");
    const auto &client = clients[int(random.bounded(quint32(clients.size())))];
    doc.recipient.name = client.first;
    doc.recipient.vatNumber = QStringLiteral("BG") + client.second;
    doc.recipient.id = client.second;
    doc.recipient.address = QStringLiteral("гр. София, ул. Витоша № 12");
    const bool euro = index > count * 9 / 10;
    doc.homeCurrency = euro ? QStringLiteral("EUR") : QStringLiteral("BGN");
    doc.foreignCurrency = euro ? QStringLiteral("BGN") : QStringLiteral("EUR");
    doc.foreignRate = euro ? 0.5112918812 : 1.95583;
    qint64 net = 0;
    const int lines = 1 + int(random.bounded(4));
    for (int l = 0; l < lines; ++l) {
        InvoiceLine line;
        line.number = l + 1;
        line.description = {Pick(random, kGoods)};
        line.unit = QStringLiteral("бр.");
        const qint64 quantity = 1 + random.bounded(20);
        const qint64 price = 100 + random.bounded(50000);
        line.quantity = Decimal::Amount{quantity * 10000, 0};
        line.unitPrice = Cents(price);
        line.value = Cents(price * quantity);
        line.unitPriceForeign = Cents(price / 2);
        line.valueForeign = Cents(price * quantity / 2);
        net += price * quantity;
        doc.lines << line;
    }
    const qint64 sign = note == kCreditNoteTitle ? -1 : 1;
    doc.home = {Cents(sign * net), Cents(sign * net / 5), Cents(sign * (net + net / 5))};
    doc.foreign.gross = Cents(sign * (net + net / 5) / 2);
    doc.words = QStringLiteral("Словом: ... лева");
    return doc;
}

// The journal of `pages` pages in the tables folder: the first issued through the print's own
// transaction (which lays the journal out), the others written as a run of years would have
// written them, then made ready for the window as an older journal would be.
void GenerateJournal(const QString &db, int pages, quint32 seed)
{
    QRandomGenerator random(seed);
    QVector<std::pair<QString, QString>> clients;
    for (int i = 0; i < 3000; ++i)
        clients.append({Pick(random, kNames) + QLatin1Char(' ') + Pick(random, kTrades) +
                            QLatin1Char(' ') + QString::number(i) + QLatin1Char(' ') +
                            Pick(random, kForms),
                        QString::number(100000000 + random.bounded(899999999))});

    const QString journal = JournalFileName(db);
    qint64 invoices = 0, proformas = 0;
    {
        IssueRequest request;
        request.tablesFolder = db;
        request.counterField = kInvoiceCounter;
        request.number = ++invoices;
        const Invoice doc =
            MakeDocument(random, 0, pages, invoices, kInvoiceTitle, QString(), clients);
        IssueTransaction issue(request);
        const JournalEntry entry = EntryOfDocument(
            doc,
            {kOriginalMark, 8, ArchiveFileName(db, doc.title, 1, doc.numberText(), kOriginalMark),
             QString(), QString()},
            QDateTime(doc.issueDate, QTime(10, 0)));
        issue.commit(&entry);
    }

    sqlite3 *handle = nullptr;
    sqlite3_open(journal.toUtf8().constData(), &handle);
    Exec(handle, "PRAGMA synchronous=OFF");
    Exec(handle, "BEGIN");
    sqlite3_stmt *page = nullptr, *line = nullptr;
    const QStringList columns = JournalColumns();
    const QByteArray pageSql =
        QStringLiteral("INSERT INTO Journal (Id, %1) VALUES (?%2)")
            .arg(columns.join(", "), QStringLiteral(", ?").repeated(int(columns.size())))
            .toUtf8();
    sqlite3_prepare_v2(handle, pageSql.constData(), -1, &page, nullptr);
    sqlite3_prepare_v2(handle,
                       "INSERT INTO JournalLine (JournalId, Position, Number, LineNumber, "
                       "Description, Measure, Quantity, UnitPrice, ForeignUnitPrice, Value, "
                       "ForeignValue) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &line, nullptr);
    qint64 id = 1;
    auto insert = [&](const JournalEntry &entry) {
        ++id;
        sqlite3_bind_int64(page, 1, id);
        const QVariantList values = JournalValues(entry);
        for (int i = 0; i < values.size(); ++i)
            Bind(page, i + 2, values[i]);
        sqlite3_step(page);
        sqlite3_reset(page);
        for (const JournalLine &l : entry.lines) {
            const QVariantList lineValues{
                id,         l.position,  entry.number,       l.lineNumber, l.description, l.measure,
                l.quantity, l.unitPrice, l.foreignUnitPrice, l.value,      l.foreignValue};
            for (int i = 0; i < lineValues.size(); ++i)
                Bind(line, i + 1, lineValues[i]);
            sqlite3_step(line);
            sqlite3_reset(line);
        }
    };
    for (int index = 1; index < pages;) {
        const quint32 roll = random.bounded(100);
        QString title = kInvoiceTitle, note;
        if (roll < 8)
            title = kProformaTitle;
        else if (roll < 13)
            note = kCreditNoteTitle;
        else if (roll < 15)
            note = kDebitNoteTitle;
        const qint64 number = title == kProformaTitle ? ++proformas : ++invoices;
        const Invoice doc = MakeDocument(random, index, pages, number, title, note, clients);
        const QDateTime printedAt(doc.issueDate, QTime(10, 0));
        // A fifth of the documents also have a copy.
        const bool copy = random.bounded(5) == 0 && index + 1 < pages;
        for (const QString &mark :
             copy ? QStringList{kOriginalMark, kCopyMark} : QStringList{kOriginalMark}) {
            const QString bitmap = ArchiveFileName(db, doc.title, 1, doc.numberText(), mark);
            insert(EntryOfDocument(doc, {mark, 8, bitmap, PdfFileNameFor(bitmap), QString()},
                                   printedAt));
            ++index;
        }
        if (index % 100000 < 2)
            std::fprintf(stderr, "bench_journal: %d pages written\n", index);
    }
    sqlite3_finalize(page);
    sqlite3_finalize(line);
    Exec(handle, "COMMIT");
    sqlite3_close(handle);

    // The counters stand at the last numbers, as after the last print.
    sqlite3 *firm = nullptr;
    sqlite3_open(QDir(db).filePath(QStringLiteral("Firm.db")).toUtf8().constData(), &firm);
    const QByteArray counters =
        QStringLiteral("UPDATE Firm SET \"Фактура №\" = '%1', \"Проформа №\" = '%2' WHERE rowid "
                       "= (SELECT MIN(rowid) FROM Firm)")
            .arg(TenDigits(invoices), TenDigits(proformas))
            .toUtf8();
    Exec(firm, counters.constData());
    sqlite3_close(firm);

    QElapsedTimer timer;
    timer.start();
    qint64 told = 0;
    PrepareJournalForReading(journal, QString(), [&told](qint64 done, qint64 total) {
        if (done - told >= total / 10) {
            std::fprintf(stderr, "bench_journal: the keys of %lld of %lld pages\n", done, total);
            told = done;
        }
        return true;
    });
    std::fprintf(stderr, "bench_journal: the keys of %d pages took %.1f s\n", pages,
                 timer.elapsed() / 1000.0);
}

// ---- measuring, in the child ----

struct Samples {
    std::vector<double> ms;
    void add(const QElapsedTimer &timer) { ms.push_back(timer.nsecsElapsed() / 1e6); }
};

// The events the step caused, and the window painted with the rows it shows.
void Settle(TJournal *window)
{
    QCoreApplication::processEvents();
    window->repaint();
}

double ResidentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double PeakMiB()
{
    struct rusage usage {
    };
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

const QString kSumming = QStringLiteral("Сумите се изчисляват…");

// Waits for the sums of the list in force; the time since the filter was set.
void WaitForSums(TJournal *window, Samples &samples, const QElapsedTimer &since)
{
    while (window->Label1->caption() == kSumming) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    samples.add(since);
}

int Child(const QString &folder, int rounds)
{
    // The offscreen platform's remark on every window shown says nothing here.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &message) {
        if (!message.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    ProgramFolder = folder;
    ScriptedDialogsGuard guard;
    guard.script.answer(QStringLiteral("20%"));
    CreateForms();
    QMap<QString, Samples> results;
    TJournal *window = JournalWindow(Main);
    JournalModel *model = window->Model();

    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        window->show();
        Settle(window);
        results[QStringLiteral("open")].add(timer);
        WaitForSums(window, results[QStringLiteral("sums: all pages")], timer);
        if (i + 1 < rounds)
            window->hide();
    }

    // Prefixes of a client's name and of a number, from the middle and the end of the list.
    QStringList targets;
    const JournalReader &reader = *model->reader();
    for (int i = 0; i < rounds; ++i) {
        const qint64 id = model->idAt(std::min(model->rowCount() - 1, i * 37));
        const JournalEntry entry = reader.entry(id);
        targets << entry.clientName.left(12).toLower() << entry.number.right(6);
    }
    Samples &keys = results[QStringLiteral("keystroke")];
    for (const QString &target : std::as_const(targets)) {
        for (int length = 1; length <= target.size(); ++length) {
            QElapsedTimer timer;
            timer.start();
            window->Edit1->setText(target.left(length));
            Settle(window);
            keys.add(timer);
            if (qEnvironmentVariableIsSet("BENCH_JOURNAL_VERBOSE"))
                std::fprintf(stderr, "keystroke %s: %.1f ms\n", qPrintable(target.left(length)),
                             keys.ms.back());
        }
        QElapsedTimer timer;
        timer.start();
        window->Edit1->clear();
        Settle(window);
        keys.add(timer);
    }
    // The sums of a search that finds a part of all the pages.
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        window->Edit1->setText(QStringLiteral("трейд"));
        Settle(window);
        WaitForSums(window, results[QStringLiteral("sums: a search")], timer);
        window->Edit1->clear();
        Settle(window);
    }

    // The kinds one after the other, the period of this month, and a month ten years ago.
    Samples &filters = results[QStringLiteral("filter")];
    Samples &filterSums = results[QStringLiteral("sums: a filter")];
    auto timed = [&](const std::function<void()> &step) {
        QElapsedTimer timer;
        timer.start();
        step();
        Settle(window);
        filters.add(timer);
        WaitForSums(window, filterSums, timer);
    };
    for (int i = 0; i < rounds; ++i) {
        for (int kind = 1; kind <= window->ComboBox1->count(); ++kind)
            timed([&] { window->ComboBox1->setCurrentIndex(kind % window->ComboBox1->count()); });
        timed([&] { window->CheckBox1->setChecked(true); });
        const QDate old = QDate::currentDate().addYears(-9);
        timed([&] {
            window->DateEdit1->setDate(QDate(old.year(), old.month(), 1));
            window->DateEdit2->setDate(QDate(old.year(), old.month(), 1).addMonths(1).addDays(-1));
        });
        window->DateEdit1->setDate(QDate::currentDate().addDays(1 - QDate::currentDate().day()));
        window->DateEdit2->setDate(QDate::currentDate());
        timed([&] { window->CheckBox1->setChecked(false); });
    }
    if (!guard.script.errors.isEmpty())
        std::fprintf(stderr, "bench_journal: %s\n",
                     qPrintable(guard.script.errors.join(QLatin1Char('\n'))));
    const double peak = PeakMiB();

    // The CSV of every page: its time, and the memory it took beyond what was in use.
    const double before = ResidentMiB();
    QTemporaryDir csvFolder;
    guard.script.saveAnswers.push(csvFolder.filePath(QStringLiteral("journal.csv")));
    QElapsedTimer csv;
    csv.start();
    window->SpeedButton3->click();
    results[QStringLiteral("CSV of all pages")].add(csv);
    const double csvGrowth = PeakMiB() > peak ? PeakMiB() - before : 0.0;

    for (auto it = results.begin(); it != results.end(); ++it) {
        std::vector<double> &ms = it->ms;
        std::sort(ms.begin(), ms.end());
        std::printf("%s\t%.3f\t%.3f\t%.3f\t%zu\n", qPrintable(it.key()), ms[ms.size() / 2],
                    ms.front(), ms.back(), ms.size());
    }
    std::printf("peak RSS (MiB)\t%.1f\t%.1f\t%.1f\t1\n", peak, peak, peak);
    std::printf("CSV: RSS above the list (MiB)\t%.1f\t%.1f\t%.1f\t1\n", csvGrowth, csvGrowth,
                csvGrowth);
    window->hide();
    DestroyForms();
    return 0;
}

struct Figure {
    double median = 0, min = 0, max = 0;
};

// The goals of the issue, per step and size (0: none).
double Goal(const QString &step, int size)
{
    const bool million = size >= 1000000, hundred = size == 100000;
    if (step == QLatin1String("open"))
        return million ? 300 : hundred ? 100 : 0;
    if (step == QLatin1String("keystroke"))
        return million ? 50 : hundred ? 20 : 0;
    if (step == QLatin1String("filter"))
        return million ? 100 : 0;
    if (step.startsWith(QLatin1String("sums")))
        return million ? 300 : 0;
    if (step.startsWith(QLatin1String("peak RSS")))
        return million ? 300 : 0;
    return 0;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    VornexApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&args](const char *name) {
        const int at = int(args.indexOf(QLatin1String(name)));
        return at > 0 && at + 1 < args.size() ? args[at + 1] : QString();
    };
    const int rounds = std::max(1, option("--rounds").isEmpty() ? 5 : option("--rounds").toInt());
    if (!option("--child").isEmpty())
        return Child(option("--child"), rounds);

    std::vector<int> sizes{10000, 100000, 1000000};
    if (!option("--sizes").isEmpty()) {
        sizes.clear();
        for (const QString &size : option("--sizes").split(QLatin1Char(',')))
            sizes.push_back(size.toInt());
    }
    const QString sampleDb =
        qEnvironmentVariable("VORNEX_SAMPLE_DB", QStringLiteral(VORNEX_SAMPLE_DB_DIR));
    // --folder DIR keeps the generated journals in DIR and takes them again next time.
    QTemporaryDir temporary;
    const QString rootPath = option("--folder").isEmpty() ? temporary.path() : option("--folder");
    QMap<int, QMap<QString, Figure>> figures;
    QMap<int, double> fileMiB;
    QStringList steps;
    for (const int size : sizes) {
        const QString folder = QDir(rootPath).filePath(QString::number(size));
        const QString db = folder + QStringLiteral("/DB");
        if (!QFile::exists(JournalFileName(db))) {
            QDir().mkpath(db);
            for (const QString &file : QDir(sampleDb).entryList(QDir::Files)) {
                QFile::remove(db + QLatin1Char('/') + file);
                QFile::copy(sampleDb + QLatin1Char('/') + file, db + QLatin1Char('/') + file);
                QFile::setPermissions(db + QLatin1Char('/') + file,
                                      QFile::ReadOwner | QFile::WriteOwner);
            }
            std::fprintf(stderr, "bench_journal: generating a journal of %d pages...\n", size);
            GenerateJournal(db, size, quint32(size));
        }
        fileMiB[size] = QFileInfo(JournalFileName(db)).size() / (1024.0 * 1024.0);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--child"), folder, QStringLiteral("--rounds"),
                     QString::number(rounds)});
        child.waitForFinished(-1);
        for (const QString &line :
             QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'))) {
            const QStringList parts = line.split(QLatin1Char('\t'));
            if (parts.size() < 4)
                continue;
            if (!steps.contains(parts[0]))
                steps.append(parts[0]);
            figures[size][parts[0]] = {parts[1].toDouble(), parts[2].toDouble(),
                                       parts[3].toDouble()};
        }
        if (child.exitCode() != 0 || figures[size].isEmpty()) {
            std::fprintf(stderr, "bench_journal: the run on %s failed\n", qPrintable(folder));
            return 1;
        }
    }

    std::printf("bench_journal: %d rounds, %d cores; times in ms (median [min-max]), x = median "
                "against %d pages, goal in brackets\n\n",
                rounds, QThread::idealThreadCount(), sizes.front());
    std::printf("%-30s", "pages");
    for (const int size : sizes)
        std::printf(" | %34d", size);
    std::printf("\n%-30s", "journal file (MiB)");
    for (const int size : sizes)
        std::printf(" | %34.0f", fileMiB[size]);
    std::printf("\n");
    for (const QString &step : std::as_const(steps)) {
        std::printf("%-30s", qPrintable(step));
        for (const int size : sizes) {
            const Figure f = figures[size].value(step);
            const double base = figures[sizes.front()].value(step).median;
            const double goal = Goal(step, size);
            const QString goalText =
                goal > 0 ? QStringLiteral("(%1%2)").arg(f.median <= goal ? "<=" : "> ").arg(goal)
                         : QString();
            std::printf(" | %8.1f [%7.1f-%8.1f] x%-5.1f%-11s", f.median, f.min, f.max,
                        base > 0 ? f.median / base : 0.0, qPrintable(goalText));
        }
        std::printf("\n");
    }
    return 0;
}
