// Times the program's start, from the process's start to the menu's first paint, on the sample
// folder and on the same folder with 5 000 archived pages (10 000 files in "DB"), against a bare
// program of five windows in the same fonts started by the same executable. Each start is a
// process of its own; the starts of the three kinds take turns.
//
//   bench_startup [--rounds N] [--pages N]
#include "app/Forms.h"
#include "app/Menu.h"
#include "base/FolderLock.h"
#include "base/ProgramFolder.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Look.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
// Ends the event loop at the first paint of the window it watches.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(QWidget *window) { window->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return QObject::eventFilter(watched, event);
    }
};

// The program's start as main() runs it, up to the menu's first paint.
int StartProgram(int argc, char *argv[], const QString &folder)
{
    QDir::setCurrent(folder);
    TakeProgramFolder();
    VornexApplication app(argc, argv);
    if (LockProgramFolder(0) == FolderLock::InUse)
        return 1;
    RemoveProgramLeftovers();
    ScriptedDialogsGuard guard;
    guard.script.answer(QStringLiteral("20%"));
    CreateForms();
    FirstPaint painted(Main);
    Main->show();
    app.exec();
    DestroyForms();
    UnlockProgramFolder();
    return 0;
}

// Five windows of labels in the program's fonts, the first shown: what any such program costs.
int StartBare(int argc, char *argv[])
{
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    const char *const families[] = {"MS Sans Serif", "Arial", "Times New Roman"};
    std::vector<std::unique_ptr<QWidget>> windows;
    for (int w = 0; w < 5; ++w) {
        windows.push_back(std::make_unique<QWidget>());
        for (int i = 0; i < 40; ++i) {
            auto *label =
                new QLabel(QStringLiteral("Етикет %1 / Label").arg(i), windows.back().get());
            label->setFont(
                PixelFont(QString::fromLatin1(families[i % 3]), 11 + i % 10, i % 4 == 0));
            label->move(8 + (i % 4) * 200, 8 + (i / 4) * 24);
        }
        windows.back()->resize(820, 260);
    }
    FirstPaint painted(windows.front().get());
    windows.front()->show();
    return app.exec();
}

bool PrepareFolder(const QString &folder, int pages)
{
    const QString sample =
        qEnvironmentVariable("VORNEX_SAMPLE_DB", QStringLiteral(VORNEX_SAMPLE_DB_DIR));
    const QString db = folder + QStringLiteral("/DB");
    if (!QDir().mkpath(db))
        return false;
    for (const QString &file : QDir(sample).entryList(QDir::Files)) {
        if (!QFile::copy(sample + QLatin1Char('/') + file, db + QLatin1Char('/') + file))
            return false;
        QFile::setPermissions(db + QLatin1Char('/') + file, QFile::ReadOwner | QFile::WriteOwner);
    }
    // The archived pages as the print leaves them: a bitmap and its PDF each.
    for (int page = 1; page <= pages; ++page) {
        for (const char *suffix : {".bmp", ".pdf"}) {
            QFile file(db + QStringLiteral("/VInvFirm1_%1_%2")
                                .arg(page, 10, 10, QLatin1Char('0'))
                                .arg(QLatin1String(suffix)));
            if (!file.open(QIODevice::WriteOnly))
                return false;
            file.write("BM");
        }
    }
    return true;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 3 && qstrcmp(argv[1], "--program") == 0)
        return StartProgram(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc >= 2 && qstrcmp(argv[1], "--bare") == 0)
        return StartBare(argc, argv);

    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&args](const char *name, int fallback) {
        const int at = int(args.indexOf(QLatin1String(name)));
        return at > 0 && at + 1 < args.size() ? std::max(0, args[at + 1].toInt()) : fallback;
    };
    const int rounds = std::max(1, option("--rounds", 20));
    const int pages = option("--pages", 5000);
    QTemporaryDir root;
    const QString empty = root.filePath(QStringLiteral("none"));
    const QString full = root.filePath(QStringLiteral("archive"));
    if (!PrepareFolder(empty, 0) || !PrepareFolder(full, pages)) {
        std::fprintf(stderr, "bench_startup: the folders cannot be prepared\n");
        return 1;
    }

    const QString none = QStringLiteral("program, no archive");
    const QString archive = QStringLiteral("program, %1 archived pages").arg(pages);
    const QString bare = QStringLiteral("bare five windows");
    const QList<std::pair<QString, QStringList>> kinds{
        {bare, {QStringLiteral("--bare")}},
        {none, {QStringLiteral("--program"), empty}},
        {archive, {QStringLiteral("--program"), full}}};
    QMap<QString, std::vector<double>> times;
    for (int round = -1; round < rounds; ++round) {
        for (const auto &[name, arguments] : kinds) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            QElapsedTimer timer;
            timer.start();
            child.start(QCoreApplication::applicationFilePath(), arguments);
            child.waitForFinished(-1);
            const double ms = timer.nsecsElapsed() / 1e6;
            if (child.exitCode() != 0) {
                std::fprintf(stderr, "bench_startup: the start \"%s\" failed\n", qPrintable(name));
                return 1;
            }
            // The first round warms the disk's caches and is not kept.
            if (round >= 0)
                times[name].push_back(ms);
        }
    }
    std::printf("bench_startup: %d rounds, %d cores; from the process's start to the first paint, "
                "ms, median [min-max]\n\n",
                rounds, QThread::idealThreadCount());
    QMap<QString, double> median;
    for (const auto &kind : kinds) {
        std::vector<double> &ms = times[kind.first];
        std::sort(ms.begin(), ms.end());
        median[kind.first] = ms[ms.size() / 2];
        std::printf("%-32s %7.1f [%6.1f-%6.1f]\n", qPrintable(kind.first), ms[ms.size() / 2],
                    ms.front(), ms.back());
    }
    std::printf("\nwith the archive / without: x%.2f (goal <= 1.1)\n",
                median[archive] / median[none]);
    std::printf("program / bare program: x%.2f, with the archive x%.2f (goal <= 1.3)\n",
                median[none] / median[bare], median[archive] / median[bare]);
    return 0;
}
