#pragma once

#include <QString>

// The working directory at start-up, without a trailing separator: the folder of "Vmem.txt" and
// the parent of "DB". Taken once before any form exists and then only read.
extern QString ProgramFolder;

// Takes ProgramFolder from the current directory.
void TakeProgramFolder();
// ProgramFolder + "/" + name.
QString ProgramPath(const QString &name);
// The master-data folder: ProgramFolder + "/DB/".
QString TablesFolder();
// Removes what runs killed while writing left of the program's own files: temporary files of
// "Vmem.txt" in ProgramFolder and of archived pages in the tables' and the archive's folder.
// Only while this run has the folder, so that no other run is writing them.
void RemoveProgramLeftovers();

// The archive folder: the installation's data folder where it exists (Windows), otherwise the
// program's own data folder, with a trailing "/".
QString ArchiveFolder(const QString &dataFolder);
