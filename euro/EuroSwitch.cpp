#include "euro/EuroSwitch.h"

#include "base/Decimal.h"
#include "base/Errors.h"
#include "euro/HomeCurrency.h"
#include "masterdata/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace
{
const QString kPrice = QStringLiteral("Продажна цена");
const QString kArticle = QStringLiteral("Пор. №");
const QString kCode = QStringLiteral("Валута");
const QString kRate = QStringLiteral("Курс");
const QString kEuroCode = QStringLiteral("EUR");
const QString kLevCode = QStringLiteral("BGN");
// The digits a rate keeps once it is in euro.
constexpr int kRateDecimals = 10;

// A table's log files; they belong to the file beside them.
const QStringList kLogSuffixes = {QStringLiteral("-wal"), QStringLiteral("-shm")};

QString Native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// A new folder beside DB for the tables as they are now; one that exists is never written into.
QString MakeBackup(const QString &programFolder, const QString &tables, const QDate &today)
{
    const QString base =
        QDir(programFolder)
            .filePath(QStringLiteral("DB-BGN-") + today.toString(QStringLiteral("yyyyMMdd")));
    QString folder = base;
    for (int n = 2; QFileInfo::exists(folder); ++n)
        folder = base + QLatin1Char('-') + QString::number(n);
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
            if (!QFile::copy(QDir(tables).filePath(part), QDir(folder).filePath(part))) {
                // A backup that lacks a table would only mislead: it goes, and nothing is changed.
                QDir(folder).removeRecursively();
                throw UserError(QStringLiteral("Резервното копие не може да бъде направено: "
                                               "файлът %1 не може да бъде копиран в %2.")
                                    .arg(Native(QDir(tables).filePath(part)), Native(folder)));
            }
        }
    }
    return folder;
}

// Puts a table file back as the backup holds it; the file is replaced whole or not at all.
void RestoreTable(const QString &backup, const QString &tables, const QString &file)
{
    QFile source(QDir(backup).filePath(file));
    if (!source.open(QIODevice::ReadOnly))
        throw UserError(source.errorString());
    const QByteArray bytes = source.readAll();
    // The converted file's log holds the changes being undone.
    for (const QString &suffix : kLogSuffixes)
        QFile::remove(QDir(tables).filePath(file + suffix));
    QSaveFile target(QDir(tables).filePath(file));
    if (!target.open(QIODevice::WriteOnly) || target.write(bytes) != bytes.size() ||
        !target.commit())
        throw UserError(target.errorString());
    const QString log = QDir(backup).filePath(file + QStringLiteral("-wal"));
    if (QFileInfo::exists(log) &&
        !QFile::copy(log, QDir(tables).filePath(file + QStringLiteral("-wal"))))
        throw UserError(QStringLiteral("%1 не може да бъде копиран.").arg(Native(log)));
}

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

QString SwitchToEuro(const QString &programFolder, const QDate &today)
{
    const QString settings = SettingsPath(programFolder);
    if (ReadHomeCurrency(settings) == HomeCurrency::Euro)
        throw UserError(QStringLiteral("Програмата вече работи в евро."));
    const QString tables = QDir(programFolder).filePath(QStringLiteral("DB")) + QLatin1Char('/');
    const QString backup = MakeBackup(programFolder, tables, today);

    QStringList changed;
    // Everything changed so far goes back to what the backup holds, and the setting to leva.
    const auto undo = [&]() -> QString {
        QString problems;
        for (const QString &file : changed) {
            try {
                RestoreTable(backup, tables, file);
            } catch (const UserError &error) {
                problems += QStringLiteral("\nТаблицата %1 не можа да бъде възстановена (%2); "
                                           "копие на предишната е в %3.")
                                .arg(file, error.message(), Native(backup));
            }
        }
        try {
            if (ReadHomeCurrency(settings) != HomeCurrency::Leva)
                WriteHomeCurrency(settings, HomeCurrency::Leva);
        } catch (const UserError &error) {
            problems += QLatin1Char('\n') + error.message();
        }
        return problems;
    };
    try {
        ConvertTable(tables, QStringLiteral("stock.db"), ConvertPrices);
        changed << QStringLiteral("stock.db");
        ConvertTable(tables, QStringLiteral("currency.db"), ConvertRates);
        changed << QStringLiteral("currency.db");
        WriteHomeCurrency(settings, HomeCurrency::Euro);
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
    return backup;
}
