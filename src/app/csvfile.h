#pragma once
// What the serial instruments' CSV files share: text fields that cannot break
// a row, appends that report what reached the file, and the data folder kept
// in SETUP.INI.
#include "platform/rtl/ansistring.h"

// The text with ";" made "," and line breaks made blanks, so a row stays a row.
AnsiString CsvText(const AnsiString& Text);

// Opens FileName for writing with exclusive sharing (raising the stream
// layer's EFOpenError when it cannot) and appends Data at its end; returns the
// bytes written. A short write is taken back, so no part of Data stays.
int AppendToFile(const AnsiString& FileName, const AnsiString& Data);

// Appends all of Data or nothing: a short write is taken back. False when the
// file cannot be opened or the write fell short.
bool AppendComplete(const AnsiString& FileName, const AnsiString& Data);

// Creates an empty file; false when it cannot be created.
bool CreateEmptyFile(const AnsiString& FileName);

// The folder text of SETUP.INI [Section] DataDirectory (default "C:\").
AnsiString ReadDataDirectory(const AnsiString& Section);
// Writes Folder as the section's DataDirectory.
void WriteDataDirectory(const AnsiString& Section, const AnsiString& Folder);
// Writes the folder of FileName (up to its last delimiter) as the section's
// DataDirectory when it differs from Stored; returns the folder.
AnsiString StoreDataDirectory(const AnsiString& Section, const AnsiString& Stored,
                              const AnsiString& FileName);
