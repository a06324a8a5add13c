#pragma once

#include "base/FolderLock.h"

// The start of a run with windows in ProgramFolder, after its lock was asked for and not refused
// for another run: a lock file that cannot be created leaves the run browsing only, without
// numbering or printing; otherwise the leftovers of killed writes go, and a switch to the euro
// that a killed run left half done is finished or undone before anything reads the tables. Each
// is told in one message.
void PrepareFolderForRun(FolderLock lock);
