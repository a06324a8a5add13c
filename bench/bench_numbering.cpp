// Numbers issued on the server by two desks at once: each desk is a process of its own that
// takes the next number under the counter's lock and journals a page with it, one document after
// the other. Prints the median and the worst time of one issue (allocation plus journal insert)
// per desk and for both, and checks that the numbers are consecutive and each journalled once.
//
//   build-release/bench/bench_numbering --server HOST/PORT/DATABASE [--documents N]
//
// HOST may be the folder of a local socket; the user is PGUSER or the system user. The database
// is emptied and filled with the sample's tables first.
#include "base/Errors.h"
#include "document/DocumentNumber.h"
#include "journal/CopyToServer.h"
#include "journal/JournalStore.h"
#include "masterdata/ServerConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace
{
ServerSettings Parse(const QString &given)
{
    const qsizetype last = given.lastIndexOf(QLatin1Char('/'));
    const qsizetype port = given.lastIndexOf(QLatin1Char('/'), last - 1);
    ServerSettings settings;
    settings.host = given.left(port);
    settings.port = given.mid(port + 1, last - port - 1).toInt();
    settings.database = given.mid(last + 1);
    settings.user = qEnvironmentVariable("PGUSER");
    return settings;
}

// One desk: issues `count` documents, printing the microseconds of each.
int Desk(const ServerSettings &settings, const QString &folder, int count, int desk)
{
    Server::Use(settings, folder);
    for (int i = 0; i < count; ++i) {
        QElapsedTimer timer;
        timer.start();
        IssueRequest request;
        request.tablesFolder = folder;
        request.counterField = kInvoiceCounter;
        request.next = true;
        IssueTransaction issue(request);
        JournalEntry entry;
        entry.number = TenDigits(issue.number());
        entry.series = kInvoiceCounter;
        entry.kind = kKindInvoice;
        entry.supplierVat = QStringLiteral("175402918");
        entry.clientName = QStringLiteral("Бюро %1").arg(desk);
        entry.printedAt = QStringLiteral("2026-12-08T15:00:00");
        entry.lines.resize(3);
        for (int line = 0; line < 3; ++line) {
            entry.lines[line].position = line + 1;
            entry.lines[line].description = QStringLiteral("Стока %1").arg(line + 1);
        }
        issue.commit(&entry);
        std::printf("%lld %s\n", static_cast<long long>(timer.nsecsElapsed() / 1000),
                    qPrintable(entry.number));
    }
    return 0;
}

double Median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? double(values[n / 2]) : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments();
    if (arguments.size() == 6 && arguments[1] == QLatin1String("--desk"))
        return Desk(Parse(arguments[2]), arguments[3], arguments[4].toInt(), arguments[5].toInt());
    const qsizetype serverAt = arguments.indexOf(QStringLiteral("--server"));
    if (serverAt < 0 || serverAt + 1 >= arguments.size()) {
        std::fprintf(stderr, "bench_numbering --server HOST/PORT/DATABASE [--documents N]\n");
        return 2;
    }
    const QString given = arguments[serverAt + 1];
    const qsizetype documentsAt = arguments.indexOf(QStringLiteral("--documents"));
    const int documents = documentsAt > 0 ? arguments.value(documentsAt + 1).toInt() : 500;
    const ServerSettings settings = Parse(given);
    QTemporaryDir folder;
    try {
        {
            const ServerConnection server(settings);
            server.runPlain(QStringLiteral("DROP SCHEMA public CASCADE"), QString());
            server.runPlain(QStringLiteral("CREATE SCHEMA public"), QString());
        }
        CopyFolderToServer(settings, QStringLiteral(VORNEX_SAMPLE_DB_DIR));
    } catch (const UserError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }

    QProcess desks[2];
    QElapsedTimer wall;
    wall.start();
    for (int i = 0; i < 2; ++i)
        desks[i].start(app.applicationFilePath(),
                       {QStringLiteral("--desk"), given, folder.path(), QString::number(documents),
                        QString::number(i + 1)});
    std::vector<qint64> both;
    std::vector<qint64> numbers;
    for (int i = 0; i < 2; ++i) {
        desks[i].waitForFinished(-1);
        if (desks[i].exitCode() != 0) {
            std::fprintf(stderr, "desk %d: %s\n", i + 1,
                         desks[i].readAllStandardError().constData());
            return 1;
        }
        std::vector<qint64> times;
        for (const QByteArray &line : desks[i].readAllStandardOutput().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() != 2)
                continue;
            times.push_back(parts[0].toLongLong());
            numbers.push_back(parts[1].toLongLong());
        }
        std::printf("desk %d: %zu documents, median %.2f ms, worst %.2f ms\n", i + 1, times.size(),
                    Median(times) / 1000, *std::max_element(times.begin(), times.end()) / 1000.0);
        both.insert(both.end(), times.begin(), times.end());
    }
    const double seconds = wall.nsecsElapsed() / 1e9;
    std::sort(numbers.begin(), numbers.end());
    bool consecutive = true;
    for (size_t i = 0; i < numbers.size(); ++i)
        consecutive = consecutive && numbers[i] == 42 + qint64(i);
    std::printf("both desks: %zu documents in %.2f s (%.0f a second), median %.2f ms, worst %.2f "
                "ms; numbers %s\n",
                both.size(), seconds, both.size() / seconds, Median(both) / 1000,
                *std::max_element(both.begin(), both.end()) / 1000.0,
                consecutive ? "42 onwards, each once" : "NOT CONSECUTIVE");
    return consecutive ? 0 : 1;
}
