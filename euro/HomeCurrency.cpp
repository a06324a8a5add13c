#include "euro/HomeCurrency.h"

#include "base/Decimal.h"
#include "base/Errors.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

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

HomeCurrency ReadHomeCurrency(const QString &settingsFile)
{
    if (!QFileInfo::exists(settingsFile))
        return HomeCurrency::Leva;
    const QSettings settings(settingsFile, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        throw UserError(QStringLiteral("Файлът с настройките %1 не може да бъде прочетен.")
                            .arg(QDir::toNativeSeparators(settingsFile)));
    const QString value = settings.value(kKey).toString().trimmed();
    if (value.isEmpty() || value.compare(kLeva, Qt::CaseInsensitive) == 0)
        return HomeCurrency::Leva;
    if (value.compare(kEuro, Qt::CaseInsensitive) == 0)
        return HomeCurrency::Euro;
    // Prices in euro read as leva would be wrong on every invoice: the user must know.
    throw UserError(QStringLiteral("Непозната основна валута '%1' във файла %2 (очаква се BGN "
                                   "или EUR).")
                        .arg(value, QDir::toNativeSeparators(settingsFile)));
}

void WriteHomeCurrency(const QString &settingsFile, HomeCurrency home)
{
    const QString value = home == HomeCurrency::Euro ? kEuro : kLeva;
    QSettings::Status status = QSettings::NoError;
    {
        QSettings settings(settingsFile, QSettings::IniFormat);
        settings.setValue(kKey, value);
        settings.sync();
        status = settings.status();
    }
    // Read back: the setting decides how every stored price is read, so it must really be there.
    bool stored = false;
    if (status == QSettings::NoError) {
        const QSettings check(settingsFile, QSettings::IniFormat);
        stored = check.status() == QSettings::NoError && check.value(kKey).toString() == value;
    }
    if (!stored)
        throw UserError(QStringLiteral("Настройката не може да бъде записана във файла %1.")
                            .arg(QDir::toNativeSeparators(settingsFile)));
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
