#include "journal/CommandArguments.h"

#include "base/Errors.h"

CommandArguments ParseCommandArguments(const QStringList &arguments, const QStringList &valued,
                                       const QStringList &flags, const QString &usage)
{
    const auto refuse = [&usage](const QString &why) {
        return UserError(why + QStringLiteral("\nУпотреба: Vornex2007 ") + usage);
    };
    CommandArguments result;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (valued.contains(argument)) {
            if (i + 1 >= arguments.size())
                throw refuse(QStringLiteral("След %1 липсва стойност.").arg(argument));
            result.options.insert(argument, arguments.at(++i));
        } else if (flags.contains(argument)) {
            result.options.insert(argument, QStringLiteral(""));
        } else if (argument.startsWith(QLatin1String("--"))) {
            throw refuse(QStringLiteral("Непозната възможност „%1“.").arg(argument));
        } else if (!result.value.isNull()) {
            throw refuse(QStringLiteral("Излишен аргумент „%1“.").arg(argument));
        } else {
            result.value = argument;
        }
    }
    if (result.value.isEmpty())
        throw refuse(QStringLiteral("Липсва аргумент."));
    return result;
}
