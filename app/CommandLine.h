#pragma once

#include <QStringList>

// The program's commands for scripts: "Vornex2007 --verb [arguments]" runs in the program
// folder (the current directory) without a window or a display, takes the folder's lock as a
// normal run does, prints one summary line on standard output and ends with 0; a refusal is
// printed in Bulgarian on standard error and ends with a non-zero status.

// Whether the arguments name a command rather than a normal start.
bool IsCommandLine(int argc, char **argv);
// Runs the command the arguments name; returns the exit status.
int RunCommandLine(int argc, char **argv);
