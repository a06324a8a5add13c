#include "euro/EuroSwitch.h"

#include "base/AtomicFiles.h"
#include "base/CommandOutput.h"
#include "base/Decimal.h"
#include "base/Errors.h"
#include "base/ProgramFolder.h"
#include "euro/HomeCurrency.h"
#include "masterdata/ServerConnection.h"
#include "masterdata/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{
const QString kPrice = QStringLiteral("Продажна цена");
const QString kArticle = QStringLiteral("Пор. №");
const QString kCode = QStringLiteral("Валута");
const QString kRate = QStringLiteral("Курс");
const QString kEuroCode = QStringLiteral("EUR");
const QString kLevCode = QStringLiteral("BGN");
const QString kBackupPrefix = QStringLiteral("DB-BGN-");
// The digits a rate keeps once it is in euro.
constexpr int kRateDecimals = 10;

// A table's journal and log files; they belong to the file beside them.
const QStringList kLogSuffixes = {QStringLiteral("-journal"), QStringLiteral("-wal"),
                                  QStringLiteral("-shm")};

QString Native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString TablesOf(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("DB")) + QLatin1Char('/');
}

QStringList HomeCurrencyTables()
{
    QStringList files;
    for (const char *name : kHomeCurrencyTables)
        files << QString::fromLatin1(name);
    return files;
}

// ---- The marker of a switch under way ---------------------------------------------------------

// What the marker says: the step reached ("backup" while the copy is made, "tables" from then
// on), the backup folder's name beside DB, and the tables the switch changes.
struct Marker {
    QString step;
    QString backup;
    QStringList tables;
};

const QString kStepBackup = QStringLiteral("backup");
const QString kStepTables = QStringLiteral("tables");

void WriteMarker(const QString &programFolder, const Marker &marker)
{
    const QString text =
        QStringLiteral("# Преминаване към евро в ход; при следващото стартиране програмата го "
                       "довършва или отменя.\nStep=%1\nBackup=%2\nTables=%3\nSetting=%4\n")
            .arg(marker.step, marker.backup, marker.tables.join(QLatin1Char(' ')),
                 QFileInfo(SettingsPath(programFolder)).fileName());
    WriteFileAtomically(SwitchMarkerPath(programFolder), text.toUtf8());
}

// A backup name is one folder beside DB that the switch made; nothing else is ever removed or
// read as one.
bool IsBackupName(const QString &name)
{
    return name.startsWith(kBackupPrefix) && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\')) && !name.contains(QLatin1String(".."));
}

Marker ReadMarker(const QString &programFolder)
{
    const QString path = SwitchMarkerPath(programFolder);
    QFile file(path);
    Marker marker;
    if (file.open(QIODevice::ReadOnly)) {
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        for (const QString &line : lines) {
            const QString key = line.section(QLatin1Char('='), 0, 0).trimmed();
            const QString value = line.section(QLatin1Char('='), 1).trimmed();
            if (key == QLatin1String("Step"))
                marker.step = value;
            else if (key == QLatin1String("Backup"))
                marker.backup = value;
            else if (key == QLatin1String("Tables"))
                marker.tables = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        }
    }
    bool known = (marker.step == kStepBackup || marker.step == kStepTables) &&
                 IsBackupName(marker.backup) && !marker.tables.isEmpty();
    for (const QString &table : marker.tables)
        known = known && HomeCurrencyTables().contains(table);
    if (!known)
        throw UserError(QStringLiteral("Файлът %1 показва, че преминаването към евро е било "
                                       "прекъснато, но не може да бъде прочетен. Проверете "
                                       "таблиците и го изтрийте.")
                            .arg(Native(path)));
    return marker;
}

// ---- The backup -------------------------------------------------------------------------------

// A name for a new folder beside DB; one that exists is never written into.
QString FreeBackupName(const QString &programFolder, const QDate &today)
{
    const QString base = kBackupPrefix + today.toString(QStringLiteral("yyyyMMdd"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(QDir(programFolder).filePath(name)); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    return name;
}

QByteArray ReadWhole(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("Файлът %1 не може да бъде прочетен: %2")
                            .arg(Native(fileName), file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw UserError(QStringLiteral("Файлът %1 не може да бъде прочетен: %2")
                            .arg(Native(fileName), file.errorString()));
    return bytes;
}

// Copies the tables into the new folder, each file flushed to the disk.
void MakeBackup(const QString &tables, const QString &folder)
{
    if (!QDir().mkdir(folder))
        throw UserError(QStringLiteral("Папката за резервно копие %1 не може да бъде създадена.")
                            .arg(Native(folder)));
    for (const char *name : kTableFiles) {
        const QString file = QString::fromLatin1(name);
        QStringList parts = {file};
        // Changes not yet moved from its log into the file are part of the table.
        if (QFileInfo::exists(QDir(tables).filePath(file + QStringLiteral("-wal"))))
            parts << file + QStringLiteral("-wal");
        for (const QString &part : parts) {
            QString reason;
            const QString source = QDir(tables).filePath(part);
            const QString copy = QDir(folder).filePath(part);
            try {
                if (WriteNewFile(copy, ReadWhole(source), &reason) != NewFileResult::Written)
                    throw UserError(CannotWriteMessage(copy, reason));
            } catch (const UserError &error) {
                throw UserError(QStringLiteral("Резервното копие не може да бъде направено: %1")
                                    .arg(error.message()));
            }
        }
    }
}

// Puts a table file back as the backup holds it; the file is replaced whole or not at all.
void RestoreTable(const QString &backup, const QString &tables, const QString &file)
{
    const QByteArray bytes = ReadWhole(QDir(backup).filePath(file));
    // The converted file's journal and log hold the changes being undone: they must not be
    // played onto the restored file.
    for (const QString &suffix : kLogSuffixes) {
        const QString log = QDir(tables).filePath(file + suffix);
        if (QFileInfo::exists(log) && !QFile::remove(log))
            throw UserError(QStringLiteral("Файлът %1 не може да бъде изтрит.").arg(Native(log)));
    }
    WriteFileAtomically(QDir(tables).filePath(file), bytes);
    const QString log = QDir(backup).filePath(file + QStringLiteral("-wal"));
    if (QFileInfo::exists(log))
        WriteFileAtomically(QDir(tables).filePath(file + QStringLiteral("-wal")), ReadWhole(log));
}

// Everything the marker names goes back to what the backup holds, the setting to leva, and the
// marker goes. Throws a UserError listing what could not be put back; the marker then stays.
void UndoSwitch(const QString &programFolder, const Marker &marker)
{
    const QString backup = QDir(programFolder).filePath(marker.backup);
    const QString tables = TablesOf(programFolder);
    QString problems;
    for (const QString &file : marker.tables) {
        try {
            RestoreTable(backup, tables, file);
        } catch (const UserError &error) {
            problems += QStringLiteral("\nТаблицата %1 не можа да бъде възстановена (%2); копие "
                                       "на предишната е в %3.")
                            .arg(file, error.message(), Native(backup));
        }
    }
    const QString settings = SettingsPath(programFolder);
    const CurrencySetting setting = ReadCurrencySetting(settings);
    if (setting.state == CurrencySetting::Euro || setting.state == CurrencySetting::Damaged) {
        try {
            WriteHomeCurrency(settings, HomeCurrency::Leva);
        } catch (const UserError &error) {
            problems += QLatin1Char('\n') + error.message();
        }
    }
    if (!problems.isEmpty())
        throw UserError(problems.mid(1));
    QFile::remove(SwitchMarkerPath(programFolder));
}

// ---- The conversion ---------------------------------------------------------------------------

// A record's value that is no number is reported with the record it is in.
[[noreturn]] void FailAt(const QString &file, const QString &record, const UserError &error)
{
    throw UserError(QStringLiteral("%1, %2: %3").arg(file, record, error.message()));
}

void ConvertPrices(TTable &table)
{
    for (int recNo = 1; recNo <= table.RecordCount(); ++recNo) {
        table.SetRecNo(recNo);
        TField *price = table.FieldByName(kPrice);
        const QString leva = price->AsString();
        if (leva.trimmed().isEmpty())
            continue;
        try {
            price->SetAsString(Decimal::LevaToEuro(leva));
        } catch (const UserError &error) {
            const TField *article = table.FindField(kArticle);
            FailAt(table.TableName(),
                   article ? QStringLiteral("стока № %1").arg(article->AsString())
                           : QStringLiteral("запис %1").arg(recNo),
                   error);
        }
        table.Post();
    }
}

void ConvertRates(TTable &table)
{
    bool levFound = false;
    for (int recNo = 1; recNo <= table.RecordCount(); ++recNo) {
        table.SetRecNo(recNo);
        TField *code = table.FieldByName(kCode);
        TField *rate = table.FieldByName(kRate);
        const QString currency = code->AsString().trimmed();
        if (currency.compare(kEuroCode, Qt::CaseInsensitive) == 0) {
            // The euro becomes the home currency; the lev takes its place as the one beside it.
            code->SetAsString(kLevCode);
            rate->SetAsString(Decimal::kLevInEuro);
            levFound = true;
        } else {
            levFound = levFound || currency.compare(kLevCode, Qt::CaseInsensitive) == 0;
            const QString leva = rate->AsString();
            if (leva.trimmed().isEmpty())
                continue;
            try {
                rate->SetAsString(Decimal::LevaToEuroRounded(leva, kRateDecimals));
            } catch (const UserError &error) {
                FailAt(table.TableName(), QStringLiteral("валута %1").arg(currency), error);
            }
        }
        table.Post();
    }
    if (!levFound) {
        table.Insert();
        table.FieldByName(kCode)->SetAsString(kLevCode);
        table.FieldByName(kRate)->SetAsString(Decimal::kLevInEuro);
        table.Post();
    }
}

// One table converted in one transaction: all of it or, on any error, none of it.
void ConvertTable(const QString &tables, const QString &file, void (*convert)(TTable &))
{
    TTable table;
    table.setObjectName(QStringLiteral("Table1"));
    table.SetDatabaseName(tables);
    table.SetTableName(file);
    table.Open();
    try {
        table.StartTransaction();
        convert(table);
        table.Commit();
    } catch (...) {
        table.Rollback();
        try {
            table.Close();
        } catch (const UserError &) {
            // The error that stopped the conversion is the one the user needs to read.
        }
        throw;
    }
    table.Close();
}
} // namespace

QString SwitchMarkerPath(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("Vornex-EuroSwitch.txt"));
}

QString SwitchToEuro(const QString &programFolder, const QDate &today)
{
    if (QFileInfo::exists(SwitchMarkerPath(programFolder)))
        throw UserError(QStringLiteral("Преминаване към евро вече е започнато (файлът %1); "
                                       "стартирайте програмата отново, за да бъде довършено "
                                       "или отменено.")
                            .arg(Native(SwitchMarkerPath(programFolder))));
    // The switch copies and rewrites the folder's table files; the server's tables are the
    // desks' common ones, which one desk may not change behind the others' backs.
    if (const std::optional<ServerSettings> server =
            Server::ForFile(TablesOf(programFolder) + QStringLiteral("currency.db")))
        throw UserError(QStringLiteral(
            "Таблиците на това работно място са на сървъра (групата [Server] във Vornex.ini): "
            "преминаването към евро се прави върху таблиците в папка DB на едно работно място, "
            "преди те да бъдат копирани в празна база данни на сървъра с --copy-to-server."));
    const HomeCurrencyDecision now = SettleHomeCurrency(programFolder);
    if (!now.refusal.isEmpty())
        throw UserError(now.refusal);
    if (now.home == HomeCurrency::Euro)
        throw UserError(QStringLiteral("Програмата вече работи в евро."));

    const QString tables = TablesOf(programFolder);
    Marker marker{kStepBackup, FreeBackupName(programFolder, today), HomeCurrencyTables()};
    const QString backup = QDir(programFolder).filePath(marker.backup);
    WriteMarker(programFolder, marker);
    try {
        MakeBackup(tables, backup);
        marker.step = kStepTables;
        WriteMarker(programFolder, marker);
    } catch (const UserError &) {
        // A backup that lacks a table would only mislead: it goes, and nothing is changed.
        QDir(backup).removeRecursively();
        QFile::remove(SwitchMarkerPath(programFolder));
        throw;
    }

    const auto undo = [&]() -> QString {
        try {
            UndoSwitch(programFolder, marker);
            return QString();
        } catch (const UserError &error) {
            return error.message();
        }
    };
    try {
        ConvertTable(tables, QStringLiteral("stock.db"), ConvertPrices);
        MarkTableInEuro(tables + QStringLiteral("stock.db"));
        ConvertTable(tables, QStringLiteral("currency.db"), ConvertRates);
        MarkTableInEuro(tables + QStringLiteral("currency.db"));
        WriteHomeCurrency(SettingsPath(programFolder), HomeCurrency::Euro);
    } catch (const UserError &error) {
        const QString problems = undo();
        throw UserError(
            QStringLiteral("Преминаването към евро не е извършено:\n%1\n").arg(error.message()) +
            (problems.isEmpty()
                 ? QStringLiteral("Таблиците и настройката са както преди; резервното "
                                  "копие остава в %1.")
                       .arg(Native(backup))
                 : problems));
    } catch (...) {
        undo();
        throw;
    }
    // A marker that cannot be removed only makes the next start see that the switch is done.
    QFile::remove(SwitchMarkerPath(programFolder));
    return backup;
}

SwitchRepair RepairInterruptedSwitch(const QString &programFolder)
{
    if (!QFileInfo::exists(SwitchMarkerPath(programFolder)))
        return {};
    const Marker marker = ReadMarker(programFolder);
    const QString backup = QDir(programFolder).filePath(marker.backup);
    const QString failed = QStringLiteral(
        "Прекъснатото преминаване към евро не можа нито да бъде довършено, нито отменено:\n%1\n"
        "Документи не се номерират и не се печатат; програмата ще опита отново при следващото "
        "стартиране.");
    if (marker.step == kStepBackup) {
        // Killed while copying: no table was changed yet, and the copy is not whole.
        if (QFileInfo(backup).isDir() && !QDir(backup).removeRecursively())
            throw UserError(failed.arg(QStringLiteral("непълното копие %1 не може да бъде "
                                                      "премахнато.")
                                           .arg(Native(backup))));
        if (!QFile::remove(SwitchMarkerPath(programFolder)))
            throw UserError(failed.arg(QStringLiteral("файлът %1 не може да бъде изтрит.")
                                           .arg(Native(SwitchMarkerPath(programFolder)))));
        return {SwitchRepair::Undone,
                QStringLiteral("Преминаването към евро беше прекъснато, преди да бъде променена "
                               "таблица, и е отменено. Програмата работи в лева.")};
    }
    // Every table read first: reading also rolls back what a killed write left in its journal.
    bool converted = true;
    for (const QString &file : marker.tables)
        converted = TableMarkedInEuro(TablesOf(programFolder) + file) && converted;
    try {
        if (converted) {
            // Only the setting and the marker were left: the switch is finished.
            WriteHomeCurrency(SettingsPath(programFolder), HomeCurrency::Euro);
            QFile::remove(SwitchMarkerPath(programFolder));
            return {SwitchRepair::Completed,
                    QStringLiteral("Преминаването към евро беше прекъснато след превръщането на "
                                   "таблиците и сега е довършено: програмата работи в евро. "
                                   "Копие на таблиците в лева е в папка %1.")
                        .arg(Native(backup))};
        }
        UndoSwitch(programFolder, marker);
    } catch (const UserError &error) {
        throw UserError(failed.arg(error.message()));
    }
    return {SwitchRepair::Undone,
            QStringLiteral("Преминаването към евро беше прекъснато и е отменено: таблиците %1 са "
                           "възстановени в лева от копието в папка %2. Програмата работи в лева; "
                           "преминаването може да бъде направено отново.")
                .arg(marker.tables.join(QStringLiteral(" и ")), Native(backup))};
}

int SwitchToEuroVerb(const QStringList &arguments)
{
    if (!arguments.isEmpty())
        throw UserError(QStringLiteral("Командата --switch-to-euro е без аргументи."));
    const HomeCurrencyDecision now = SettleHomeCurrency(ProgramFolder);
    if (!now.refusal.isEmpty())
        throw UserError(now.refusal);
    if (now.home == HomeCurrency::Euro) {
        PrintOutput(QStringLiteral("Програмата вече работи в евро; нищо не е променено."));
        return 0;
    }
    const QString backup = SwitchToEuro(ProgramFolder, QDate::currentDate());
    PrintOutput(QStringLiteral("Програмата премина към евро: цените и курсовете са в евро, "
                               "копие на таблиците в лева е в папка %1.")
                    .arg(Native(backup)));
    return 0;
}

int HomeCurrencyVerb(const QStringList &arguments)
{
    if (!arguments.isEmpty())
        throw UserError(QStringLiteral("Командата --home-currency е без аргументи."));
    const HomeCurrencyDecision now = SettleHomeCurrency(ProgramFolder);
    if (!now.refusal.isEmpty())
        throw UserError(now.refusal);
    // What was set right is said beside the answer, which a script reads alone.
    if (!now.notice.isEmpty())
        PrintError(now.notice);
    PrintOutput(now.home == HomeCurrency::Euro ? kEuroCode : kLevCode);
    return 0;
}
