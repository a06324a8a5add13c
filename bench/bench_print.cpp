// Times what one print does before the dialog: capturing the invoice page, reducing it to the
// archive's palette and writing the bitmap file at 8, 24 and 32 bits per pixel.
#include "app/Forms.h"
#include "base/ProgramFolder.h"
#include "document/Document.h"
#include "print/BitmapFile.h"
#include "print/PrintPage.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    VornexApplication app(argc, argv);
    const int rounds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10;

    QTemporaryDir folder;
    ProgramFolder = folder.path();
    ScriptedDialogsGuard guard;
    guard.script.answer(QStringLiteral("20%"));
    CreateForms();

    qint64 best[4] = {-1, -1, -1, -1}; // capture, 8, 24, 32 bits
    auto keep = [](qint64 &slot, qint64 value) {
        if (slot < 0 || value < slot)
            slot = value;
    };
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const IndexedBitmap page = ReduceTo8Bits(CaptureWidget(Doc->Panel1));
        keep(best[0], timer.nsecsElapsed());
        const int depths[3] = {8, 24, 32};
        for (int i = 0; i < 3; ++i) {
            timer.restart();
            SaveBitmapFile(folder.filePath(QStringLiteral("page.bmp")), page, depths[i]);
            keep(best[i + 1], timer.nsecsElapsed());
        }
    }
    std::printf("bench_print: %d rounds, best: capture and reduce %.1f ms, write 8 bits %.1f ms, "
                "24 bits %.1f ms, 32 bits %.1f ms\n",
                rounds, best[0] / 1e6, best[1] / 1e6, best[2] / 1e6, best[3] / 1e6);
    DestroyForms();
    return 0;
}
