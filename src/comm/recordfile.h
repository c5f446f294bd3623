#pragma once
// The record files of the instruments and their windows (CSV, comment and
// result files). The content is built first and goes out in one write, so a
// file only ever holds whole rows: a new file gets its heading and rows
// together or is removed again, an existing one gets the rows appended whole
// or not at all, on a line of their own when a kill tore its last row. Every
// append of the program goes through here.
#include "platform/rtl/ansistring.h"

// The text with ";" made "," and line breaks made blanks, so a field stays
// one field of one row.
AnsiString CsvText(const AnsiString& Text);

// The one message after a save whose folder SETUP.INI could not take; Reason
// names the file. The data are saved by then.
AnsiString FolderNotRememberedText(const AnsiString& Reason);
extern const char* const FolderNotRememberedCaption;

enum class TRecordWrite {
    Written,
    NotCreated, // a new file could not be made
    NotOpened,  // an existing file could not be opened (another program holds it)
    Short,      // fewer bytes went out than the content holds; none of them stayed
};

class TRecordFile {
public:
    // Notes whether the file exists now: only a new one takes a heading.
    explicit TRecordFile(const AnsiString& FileName);

    const AnsiString& FileName() const { return FFileName; }
    bool IsNew() const { return FNew; }
    // Text for a new file only; ignored when the file exists.
    void AddHeading(const AnsiString& Text);
    void Add(const AnsiString& Text);
    const AnsiString& Content() const { return FContent; }

    // A new file is created, an existing one opened for writing, both with
    // exclusive sharing; the content goes out in one write at the end. A short
    // write is taken back, and a file made for it removed, so the next save
    // starts it with its heading again.
    TRecordWrite Write();
    // Bytes of the content the last write put out (the line break that ends a
    // torn row not counted), all of them taken back when it fell short.
    int Written() const { return FWritten; }
    // The stream layer's message when the file could not be made or opened.
    const AnsiString& Error() const { return FError; }

private:
    AnsiString FFileName;
    AnsiString FContent;
    AnsiString FError;
    bool FNew;
    int FWritten = 0;
};
