#pragma once
// What the serial instruments' CSV files share: the record writer with its
// text fields that cannot break a row, and the data folder kept in SETUP.INI.
#include "comm/recordfile.h"
#include "platform/rtl/ansistring.h"

// The folder text of SETUP.INI [Section] DataDirectory (default "C:\").
AnsiString ReadDataDirectory(const AnsiString& Section);
// The folder a DataDirectory text stands for ("C:\" is the home folder);
// empty, so the dialog starts where it is, when that lies in a home folder
// whose name the program cannot hold (the start said so).
AnsiString DataFolderPath(const AnsiString& Stored);
// Writes Folder as the section's DataDirectory. A SETUP.INI that cannot take
// it (a read-only program folder) gives one message; false then.
bool RememberDataFolder(const AnsiString& Section, const AnsiString& Folder);
// Writes the folder of FileName (up to its last delimiter) as the section's
// DataDirectory when it differs from Stored, as RememberDataFolder does.
// Called once the data are written, so a settings file never costs a save.
void RememberDataDirectory(const AnsiString& Section, const AnsiString& Stored,
                           const AnsiString& FileName);
