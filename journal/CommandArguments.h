#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The arguments after a command's verb: one value and options, each "--name value" or a flag
// "--name" alone.
struct CommandArguments {
    QString value;
    QHash<QString, QString> options; // a flag given holds an empty, non-null text
};

// Reads the arguments; throws a UserError that shows the usage on an unknown option, an option
// without its value, a second value or no value at all.
CommandArguments ParseCommandArguments(const QStringList &arguments, const QStringList &valued,
                                       const QStringList &flags, const QString &usage);
