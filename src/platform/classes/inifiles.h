#pragma once
// TIniFile: sections of "key=value" lines in a text file, read and written in
// place. Sections and keys compare without regard to case (the file name too,
// when no file has the exact name); names and values are trimmed, and a value
// enclosed in a pair of ' or " is read without them. Every other line (";"
// comments, blank lines, lines with no "=" or no closing "]") is kept as it is
// and ignored for lookup; so is a leading UTF-8 byte-order mark. Where a key
// or section occurs twice, the first one counts. A missing file reads as
// empty. Every write goes to the file at once and replaces it as a whole, so a
// failed write never loses it; a file that exists but cannot be read reads as
// empty and refuses writes.
#include "platform/classes/classinfo.h"
#include "platform/rtl/exceptions.h"
#include <cstdint>
#include <string>
#include <vector>

class TStrings;

QM_DECLARE_EXCEPTION(EIniFileException, Exception)

class TIniFile : public TObject {
    QM_CLASS(TIniFile)
public:
    explicit TIniFile(const AnsiString& FileName);

    const AnsiString& FileName() const { return FFileName; }

    // Default when the key is absent; "" for a key with an empty value.
    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident,
                          const AnsiString& Default);
    // Decimal or hex ("0x1F", "$1F"); anything else gives Default.
    int ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default);
    // A number other than 0 is true; a non-number gives Default.
    bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
    // With the current decimal separator; a non-number gives Default.
    double ReadFloat(const AnsiString& Section, const AnsiString& Ident, double Default);

    // An existing key keeps its line (and spelling); a new key goes after the
    // last entry of its section; a new section goes at the end of the file.
    // Line breaks in the texts become blanks. A failed write raises
    // EIniFileException "Unable to write to <file>".
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
    void WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value);
    void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);
    void WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value);

    // The key names of a section / the section names / "key=value" lines, each
    // with the value ReadString gives for that key.
    void ReadSection(const AnsiString& Section, TStrings* Strings);
    void ReadSections(TStrings* Strings);
    void ReadSectionValues(const AnsiString& Section, TStrings* Strings);
    // As the platform answers it: true when the section holds at least one key.
    bool SectionExists(const AnsiString& Section);
    bool ValueExists(const AnsiString& Section, const AnsiString& Ident);
    // Removes the section with its keys and comments (every occurrence).
    void EraseSection(const AnsiString& Section);
    void DeleteKey(const AnsiString& Section, const AnsiString& Ident);
    // Writes happen at once, so there is nothing left to flush.
    void UpdateFile() {}

private:
    friend class TRegistry;
    struct TFileState {
        bool Exists = false;
        uint64_t Inode = 0;
        int64_t Size = 0;
        int64_t MTimeNs = 0;
        bool operator==(const TFileState&) const = default;
    };
    struct TKey {
        size_t Line;
        std::string Name, Value;
    };

    // Reads the file again when it changed since it was last read or written.
    void Load();
    void Save();
    static TFileState StateOf(const std::string& Path);
    // The value as the file holds it (quotes kept); false when the key is absent.
    bool ReadRaw(const AnsiString& Section, const AnsiString& Ident, std::string& Value);
    // Line index of the first header of Section; npos when absent.
    size_t FindSection(const std::string& Section) const;
    // End (exclusive) of the section whose header is at Header.
    size_t SectionEnd(size_t Header) const;
    std::vector<TKey> Keys(size_t Header) const;
    // Adds an empty section at the end of the file when there is none yet.
    void AddSection(const AnsiString& Section);

    AnsiString FFileName;
    std::string FPath; // the file in use, FFileName or its case-insensitive match
    std::vector<std::string> FLines;
    std::string FLineBreak = "\r\n";
    TFileState FState;
    bool FLoaded = false;
    bool FByteOrderMark = false;
    bool FUnreadable = false;
};
