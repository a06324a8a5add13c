#include "euro/HomeCurrency.h"

#include "base/AtomicFiles.h"
#include "base/Decimal.h"
#include "base/Errors.h"
#include "masterdata/FileNote.h"
#include "masterdata/ServerConnection.h"
#include "masterdata/Table.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

HomeCurrency RunHomeCurrency = HomeCurrency::Leva;

namespace
{
const QString kKey = QStringLiteral("HomeCurrency");
const QString kLeva = QStringLiteral("BGN");
const QString kEuro = QStringLiteral("EUR");
} // namespace

QString SettingsPath(const QString &programFolder)
{
    if (programFolder.endsWith(QLatin1Char('/')))
        return programFolder + QStringLiteral("Vornex.ini");
    return programFolder + QStringLiteral("/Vornex.ini");
}

namespace
{
const QString kNote = QStringLiteral("HomeCurrency");
const QString kCurrencyField = QStringLiteral("Валута");
// A setting file is a few lines; anything much larger is not one.
constexpr qint64 kLargestSetting = 64 * 1024;

QString Native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

CurrencySetting Damaged(const QString &problem)
{
    return {CurrencySetting::Damaged, problem};
}

// Which codes the currency table holds: the lev and the euro, letter case ignored.
TablesCurrency FromCurrencyRecords(const QString &tablesFolder)
{
    bool euro = false;
    bool lev = false;
    try {
        TTable table;
        table.SetDatabaseName(tablesFolder);
        table.SetTableName(QStringLiteral("currency.db"));
        table.Open();
        for (int recNo = 1; recNo <= table.RecordCount(); ++recNo) {
            table.SetRecNo(recNo);
            const QString code = table.FieldByName(kCurrencyField)->AsString().trimmed();
            euro = euro || code.compare(kEuro, Qt::CaseInsensitive) == 0;
            lev = lev || code.compare(kLeva, Qt::CaseInsensitive) == 0;
        }
        table.Close();
    } catch (const UserError &) {
        return {};
    }
    if (euro != lev)
        return {euro ? TablesCurrency::RecordsLeva : TablesCurrency::RecordsEuro, QString()};
    return {};
}

QString SettingSays(const CurrencySetting &setting, const QString &file)
{
    switch (setting.state) {
    case CurrencySetting::Missing:
        return QStringLiteral("Файлът с настройките %1 липсва").arg(Native(file));
    case CurrencySetting::Damaged:
        return QStringLiteral("Файлът с настройките %1 е повреден (%2)")
            .arg(Native(file), setting.problem);
    case CurrencySetting::Leva:
        return QStringLiteral("Файлът с настройките %1 казва BGN").arg(Native(file));
    case CurrencySetting::Euro:
        break;
    }
    return QStringLiteral("Файлът с настройките %1 казва EUR").arg(Native(file));
}

QString Refusal(const QString &why, const QString &file)
{
    return why + QStringLiteral(
                     ".\nОсновната валута не може да бъде определена със сигурност, затова "
                     "документи не се номерират и не се печатат: цени в евро не бива да излязат "
                     "като левове, нито обратно. Таблиците могат да се преглеждат.\n"
                     "Ако програмата е преминала към евро, запишете във файла %1 реда "
                     "HomeCurrency=EUR, иначе HomeCurrency=BGN, и я стартирайте отново.")
                     .arg(Native(file));
}
} // namespace

CurrencySetting ParseCurrencySetting(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return Damaged(QStringLiteral("не е текст"));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QString value;
    bool found = false;
    bool general = true; // entries before any section belong to the general one
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        for (QChar c : line)
            if (c.category() == QChar::Other_Control && c != QLatin1Char('\t'))
                return Damaged(QStringLiteral("не е текст"));
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            general = line.compare(QLatin1String("[General]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return Damaged(QStringLiteral("ред %1 не е настройка").arg(i + 1));
        if (!general || line.left(equals).trimmed().compare(kKey, Qt::CaseInsensitive) != 0)
            continue;
        const QString entry = line.mid(equals + 1).trimmed();
        if (found && entry.compare(value, Qt::CaseInsensitive) != 0)
            return Damaged(QStringLiteral("основната валута е записана два пъти различно"));
        value = entry;
        found = true;
    }
    if (value.isEmpty())
        return {};
    if (value.compare(kLeva, Qt::CaseInsensitive) == 0)
        return {CurrencySetting::Leva, QString()};
    if (value.compare(kEuro, Qt::CaseInsensitive) == 0)
        return {CurrencySetting::Euro, QString()};
    return Damaged(
        QStringLiteral("основна валута „%1“, а се очаква BGN или EUR").arg(value.left(40)));
}

CurrencySetting ReadCurrencySetting(const QString &settingsFile)
{
    const QFileInfo info(settingsFile);
    if (info.isDir())
        return Damaged(QStringLiteral("на мястото му има папка"));
    if (!info.exists())
        return {};
    QFile file(settingsFile);
    if (!file.open(QIODevice::ReadOnly))
        return Damaged(QStringLiteral("не може да бъде прочетен: %1").arg(file.errorString()));
    if (file.size() > kLargestSetting)
        return Damaged(QStringLiteral("твърде голям е за файл с настройки"));
    return ParseCurrencySetting(file.readAll());
}

void WriteHomeCurrency(const QString &settingsFile, HomeCurrency home)
{
    const QString value = home == HomeCurrency::Euro ? kEuro : kLeva;
    WriteFileAtomically(settingsFile,
                        QStringLiteral("[General]\n%1=%2\n").arg(kKey, value).toUtf8());
}

TablesCurrency ReadTablesCurrency(const QString &tablesFolder)
{
    // On a desk of the server the folder's files are not its tables: the server's currency
    // table tells which currency they are in.
    if (Server::ForFile(QDir(tablesFolder).filePath(QStringLiteral("currency.db"))))
        return FromCurrencyRecords(tablesFolder);
    QStringList euro, leva, other;
    for (const char *name : kHomeCurrencyTables) {
        const QString file = QString::fromLatin1(name);
        QString note;
        try {
            note = ReadFileNote(QDir(tablesFolder).filePath(file), kNote);
        } catch (const UserError &) {
            // A table that cannot be read tells nothing; the browser reports it when opened.
            continue;
        }
        if (note.isEmpty())
            leva << file;
        else if (note == kEuro)
            euro << file;
        else
            other << QStringLiteral("%1 е в „%2“").arg(file, note.left(40));
    }
    if (!euro.isEmpty() && leva.isEmpty() && other.isEmpty())
        return {TablesCurrency::Euro, QString()};
    if (euro.isEmpty() && other.isEmpty())
        return FromCurrencyRecords(tablesFolder);
    QStringList detail = other;
    if (!euro.isEmpty())
        detail << QStringLiteral("%1 в евро").arg(euro.join(QStringLiteral(" и ")));
    if (!leva.isEmpty())
        detail << QStringLiteral("%1 в лева").arg(leva.join(QStringLiteral(" и ")));
    return {TablesCurrency::Mixed, detail.join(QStringLiteral(", "))};
}

void MarkTableInEuro(const QString &tableFile)
{
    WriteFileNote(tableFile, kNote, kEuro);
}

bool TableMarkedInEuro(const QString &tableFile)
{
    try {
        return ReadFileNote(tableFile, kNote) == kEuro;
    } catch (const UserError &) {
        return false;
    }
}

HomeCurrencyDecision DecideHomeCurrency(const TablesCurrency &tables,
                                        const CurrencySetting &setting, const QString &settingsFile)
{
    HomeCurrencyDecision decision;
    const bool settingEuro = setting.state == CurrencySetting::Euro;
    const bool settingLeva = setting.state == CurrencySetting::Leva;
    // The tables decide; the setting file is made to say what they say.
    const auto fromTables = [&](HomeCurrency home, bool quietWhenMissing) {
        decision.home = home;
        const bool agrees = home == HomeCurrency::Euro ? settingEuro : settingLeva;
        if (agrees || (quietWhenMissing && setting.state == CurrencySetting::Missing))
            return;
        decision.rewriteSetting = true;
        decision.notice = SettingSays(setting, settingsFile) +
                          QStringLiteral("; основната валута се взема от таблиците: %1.")
                              .arg(home == HomeCurrency::Euro ? kEuro : kLeva);
    };
    switch (tables.state) {
    case TablesCurrency::Euro:
        fromTables(HomeCurrency::Euro, false);
        break;
    case TablesCurrency::Mixed:
        decision.home = settingEuro ? HomeCurrency::Euro : HomeCurrency::Leva;
        decision.refusal = Refusal(
            QStringLiteral("Таблиците не са в една валута (%1): преминаването към евро е било "
                           "прекъснато или таблица е подменена. Възстановете таблиците в лева "
                           "от резервното копие DB-BGN-… и преминете към евро отново")
                .arg(tables.detail),
            settingsFile);
        break;
    case TablesCurrency::RecordsLeva:
        if (settingEuro) {
            decision.refusal = Refusal(
                SettingSays(setting, settingsFile) +
                    QStringLiteral(", но таблиците не са превръщани в евро (във „Валути“ е EUR, "
                                   "а не BGN)"),
                settingsFile);
        } else {
            fromTables(HomeCurrency::Leva, true);
        }
        break;
    case TablesCurrency::RecordsEuro:
        if (settingEuro) {
            // Switched before the tables kept a note of it: the note is added now.
            decision.home = HomeCurrency::Euro;
            decision.markTables = true;
        } else {
            decision.refusal = Refusal(
                SettingSays(setting, settingsFile) +
                    QStringLiteral(", но таблиците изглеждат превърнати в евро (във „Валути“ "
                                   "BGN стои на мястото на EUR)"),
                settingsFile);
        }
        break;
    case TablesCurrency::Unknown:
        if (setting.state == CurrencySetting::Damaged)
            decision.refusal = Refusal(SettingSays(setting, settingsFile) +
                                           QStringLiteral(", а таблиците не показват в каква "
                                                          "валута са"),
                                       settingsFile);
        decision.home = settingEuro ? HomeCurrency::Euro : HomeCurrency::Leva;
        break;
    }
    return decision;
}

HomeCurrencyDecision SettleHomeCurrency(const QString &programFolder)
{
    const QString settingsFile = SettingsPath(programFolder);
    const QString tables = QDir(programFolder).filePath(QStringLiteral("DB")) + QLatin1Char('/');
    HomeCurrencyDecision decision = DecideHomeCurrency(
        ReadTablesCurrency(tables), ReadCurrencySetting(settingsFile), settingsFile);
    if (decision.rewriteSetting) {
        try {
            WriteHomeCurrency(settingsFile, decision.home);
            decision.notice += QStringLiteral(" Файлът е записан отново.");
        } catch (const UserError &error) {
            decision.notice += QLatin1Char('\n') + error.message();
        }
    }
    if (decision.markTables && !Server::ForFile(tables + QStringLiteral("currency.db"))) {
        try {
            for (const char *name : kHomeCurrencyTables)
                MarkTableInEuro(QDir(tables).filePath(QString::fromLatin1(name)));
        } catch (const UserError &) {
            // The setting file still says it; the note is added at a later start.
        }
    }
    return decision;
}

QString HomeCode(HomeCurrency home)
{
    return home == HomeCurrency::Euro ? kEuro : QStringLiteral("BGL");
}

QString StartCurrencyCode(HomeCurrency home)
{
    return home == HomeCurrency::Euro ? kLeva : kEuro;
}

double StartCurrencyRate(HomeCurrency home)
{
    return home == HomeCurrency::Euro ? Decimal::kLevInEuro.toDouble() : 1.95583;
}

bool EuroNoticeDue(HomeCurrency home, const QDate &documentDate)
{
    return home == HomeCurrency::Leva && documentDate.isValid() &&
           documentDate >= QDate(2026, 1, 1);
}
