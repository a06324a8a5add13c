#include "base/ServerSettings.h"

#include "base/Errors.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace
{
const QString kGroup = QStringLiteral("Server");

[[noreturn]] void Refuse(const QString &settingsFile, const QString &why)
{
    throw UserError(QStringLiteral("Групата [Server] във файла %1: %2.")
                        .arg(QDir::toNativeSeparators(settingsFile), why));
}
} // namespace

QString ServerSettings::describe() const
{
    const QString where = host.isEmpty() ? QStringLiteral("localhost") : host;
    return QStringLiteral("%1:%2/%3").arg(where).arg(port).arg(database);
}

QString ServerSettings::connectOptions() const
{
    // The password is never among them: the client library looks for it itself.
    QString options = QStringLiteral("connect_timeout=5");
    if (!sslMode.isEmpty())
        options += QStringLiteral(";sslmode=") + sslMode;
    return options;
}

std::optional<ServerSettings> ReadServerSettings(const QString &settingsFile)
{
    if (!QFileInfo(settingsFile).isFile())
        return std::nullopt;
    QSettings file(settingsFile, QSettings::IniFormat);
    if (file.status() != QSettings::NoError)
        Refuse(settingsFile, QStringLiteral("файлът не може да бъде прочетен"));
    if (!file.childGroups().contains(kGroup, Qt::CaseInsensitive))
        return std::nullopt;
    for (const QString &group : file.childGroups())
        if (group.compare(kGroup, Qt::CaseInsensitive) == 0)
            file.beginGroup(group);
    auto text = [&file](const char *key) {
        for (const QString &name : file.childKeys())
            if (name.compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
                return file.value(name).toString().trimmed();
        return QString();
    };
    ServerSettings settings;
    const QString driver = text("Driver");
    if (!driver.isEmpty() && driver.compare(settings.driver, Qt::CaseInsensitive) != 0)
        Refuse(settingsFile, QStringLiteral("драйверът „%1“ не се поддържа; поддържа се QPSQL "
                                            "(PostgreSQL)")
                                 .arg(driver));
    if (!text("Password").isEmpty())
        Refuse(settingsFile, QStringLiteral("паролата не се пише във файла с настройките; "
                                            "задайте я в ~/.pgpass или в PGPASSWORD"));
    settings.host = text("Host");
    const QString port = text("Port");
    if (!port.isEmpty()) {
        bool ok = false;
        settings.port = port.toInt(&ok);
        if (!ok || settings.port < 1 || settings.port > 65535)
            Refuse(settingsFile, QStringLiteral("портът „%1“ не е число от 1 до 65535").arg(port));
    }
    settings.database = text("Database");
    if (settings.database.isEmpty())
        Refuse(settingsFile, QStringLiteral("липсва базата данни (Database=)"));
    settings.user = text("User");
    settings.sslMode = text("SslMode");
    return settings;
}
