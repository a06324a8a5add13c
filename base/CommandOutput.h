#pragma once

#include <QString>

// What a command prints: UTF-8 whatever the terminal's locale, a line break added when missing.

// A line (or lines) on standard output.
void PrintOutput(const QString &text);
// A reason on standard error.
void PrintError(const QString &text);
