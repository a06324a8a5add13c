#pragma once

#include "ui/Application.h"
#include "ui/Dialogs.h"

#include <QDate>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The day a test's run takes as today: before the euro, so that the sample tables in leva issue
// documents the law allows.
inline const QDate kTestDay(2025, 12, 8);

// A test's own program run: a temporary ProgramFolder holding a copy of the sample "DB" folder,
// the scripted dialogs installed, and (after start()) the five forms created in order.
class ProgramRun
{
public:
    // withTables: copy the sample tables into the folder's "DB".
    explicit ProgramRun(bool withTables = true);
    ~ProgramRun();

    // Creates the forms as the program's start does; answer the VAT prompt before calling it.
    void start();
    // Ends the run as closing the menu would (writes "Vmem.txt").
    void closeMenu();

    QString folder() const { return m_dir.path(); }
    QString path(const QString &name) const;
    ScriptedDialogs &script() { return m_guard.script; }

private:
    QTemporaryDir m_dir;
    QString m_oldFolder;
    ScriptedDialogsGuard m_guard;
    bool m_started = false;
};

// Puts a client and one line onto the invoice as the user would: record 1 of "Клиенти" and one
// piece of record 1 of "Стоки и Услуги". The transfer is still to be run.
void TakeClientAndLine(ScriptedDialogs &script);

// Runs one statement on the run's own-company table file as another program would, and gives
// the first value it returns.
QString OnFirmTable(const ProgramRun &run, const QString &sql);
// The stored invoice counter of the first own-company record.
QString InvoiceCounter(const ProgramRun &run);

// What a real QR decoder (zbar) reads from a picture file; empty when it finds no code or the
// decoder is missing.
QByteArray DecodedQrCode(const QString &pictureFile);
// The first page of a PDF rendered to a PNG file at the given resolution (poppler's pdftoppm);
// the PNG's name, or empty when it could not be rendered.
QString RenderedPdfPage(const QString &pdfFile, int dpi);
// Validates every e-invoice (*.xml) of a folder in one run of the script VORNEX_EINVOICE_VALIDATE
// names (tests/einvoice/validate.sh): the test fails on any failed rule. Without the script's
// tools it says so and passes, as the script allows outside CI. Call it at a test's top level and
// return when QTest::currentTestFailed().
void ValidateEInvoices(const QString &folder);

// Copies a folder's files (not recursively) into another, creating it.
bool CopyFolder(const QString &from, const QString &to);

// A test main for form tests: the program's own application object, offscreen.
#define VORNEX_TEST_MAIN(TestObject)                                                               \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                   \
        VornexApplication app(argc, argv);                                                         \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
