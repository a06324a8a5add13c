#pragma once

#include <QString>

// Whether this run may issue documents: give them numbers, archive and print them. A run that
// could not take its folder's lock, or that cannot tell its home currency, may only browse.
namespace Issuing
{
enum class Stop { FolderLock, InterruptedSwitch, HomeCurrency };

// Stops issuing for the reason given; an empty reason lifts that stop.
void SetStop(Stop which, const QString &reason);
// Whether that stop is in force.
bool IsStopped(Stop which);
// The reasons in force, one after the other; empty while documents may be issued.
QString Stopped();
// Throws a UserError with the reasons when issuing is stopped.
void Require();
} // namespace Issuing
