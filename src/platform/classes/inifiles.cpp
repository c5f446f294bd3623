#include "platform/classes/inifiles.h"
#include "platform/classes/filenames.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/sysutils.h"
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QM_CLASS_ABSTRACT(TIniFile, TObject)

namespace {
constexpr size_t npos = std::string::npos;

std::string TrimText(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.substr(b, e - b);
}

bool Same(const std::string& a, const std::string& b) {
    return CompareText(AnsiString(a), AnsiString(b)) == 0;
}

// "[Name]" (anything may follow the bracket); false for any other line.
bool ParseSection(const std::string& line, std::string& name) {
    const std::string t = TrimText(line);
    if (t.empty() || t[0] != '[') return false;
    const size_t close = t.find(']');
    if (close == npos) return false;
    name = TrimText(t.substr(1, close - 1));
    return true;
}

// "key=value"; false for comments, headers and lines without "=" or key.
bool ParseKey(const std::string& line, std::string& key, std::string& value) {
    const std::string t = TrimText(line);
    if (t.empty() || t[0] == ';' || t[0] == '[') return false;
    const size_t eq = t.find('=');
    if (eq == npos) return false;
    key = TrimText(t.substr(0, eq));
    if (key.empty()) return false;
    value = TrimText(t.substr(eq + 1));
    return true;
}

// A line break inside a name or value would start a new line in the file.
std::string OneLine(const AnsiString& s) {
    std::string r = s.str();
    for (char& c : r)
        if (c == '\r' || c == '\n') c = ' ';
    return r;
}

// A section or key name as the file would hold it.
std::string NameOf(const AnsiString& s) {
    return TrimText(OneLine(s));
}

std::string Unquoted(const std::string& v) {
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
        return v.substr(1, v.size() - 2);
    return v;
}

const char* const ByteOrderMark = "\xEF\xBB\xBF";

// Settings files come from Windows, where "setup.ini" and "SETUP.INI" are one
// file: without an exact match, the first name in the folder that differs
// only in letter case is used.
std::string ActualPath(const std::string& Name) {
    struct stat st {};
    if (::stat(SystemFileName(Name).c_str(), &st) == 0) return Name;
    const size_t slash = Name.rfind('/');
    const std::string dir = slash == npos ? std::string() : Name.substr(0, slash + 1);
    const std::string base = slash == npos ? Name : Name.substr(slash + 1);
    DIR* d = base.empty() ? nullptr : ::opendir(dir.empty() ? "." : SystemFileName(dir).c_str());
    if (!d) return Name;
    std::string best;
    while (const dirent* e = ::readdir(d)) {
        // A name the program cannot hold can never be the one it asked for.
        AnsiString entry;
        if (TryProgramFileName(e->d_name, entry) && Same(entry.str(), base) &&
            (best.empty() || entry.str() < best))
            best = entry.str();
    }
    ::closedir(d);
    return best.empty() ? Name : dir + best;
}

bool ReadWholeFile(const std::string& Path, std::string& Out) {
    const int fd = ::open(SystemFileName(Path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ::close(fd);
            return n == 0;
        }
        Out.append(buf, static_cast<size_t>(n));
    }
}
} // namespace

TIniFile::TIniFile(const AnsiString& FileName) : FFileName(FileName) {}

TIniFile::TFileState TIniFile::StateOf(const std::string& Path) {
    TFileState state;
    struct stat st {};
    if (::stat(SystemFileName(Path).c_str(), &st) != 0) return state;
    state.Exists = true;
    state.Inode = static_cast<uint64_t>(st.st_ino);
    state.Size = static_cast<int64_t>(st.st_size);
    state.MTimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return state;
}

void TIniFile::Load() {
    const std::string path = ActualPath(FFileName.str());
    const TFileState state = StateOf(path);
    if (FLoaded && state == FState && path == FPath) return;
    FPath = path;
    FLines.clear();
    FLineBreak = "\r\n";
    FByteOrderMark = false;
    std::string all;
    FUnreadable = state.Exists && !ReadWholeFile(path, all);
    if (state.Exists && !FUnreadable) {
        FByteOrderMark = all.compare(0, 3, ByteOrderMark) == 0;
        if (FByteOrderMark) all.erase(0, 3);
        const size_t firstLf = all.find('\n');
        if (firstLf != npos && (firstLf == 0 || all[firstLf - 1] != '\r')) FLineBreak = "\n";
        size_t start = 0;
        while (start < all.size()) {
            size_t end = all.find('\n', start);
            if (end == npos) end = all.size();
            std::string line = all.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            FLines.push_back(std::move(line));
            start = end + 1;
        }
    }
    FState = state;
    FLoaded = true;
}

void TIniFile::Save() {
    // Lines never read would be lost by writing the rest.
    if (FUnreadable) throw EIniFileException("Unable to write to " + FFileName);
    std::string content = FByteOrderMark ? ByteOrderMark : "";
    for (const std::string& line : FLines)
        content += line + FLineBreak;
    try {
        SaveFileReplacing(AnsiString(FPath), content.data(), static_cast<int64_t>(content.size()));
    } catch (const EStreamError&) {
        FLoaded = false; // the file still holds what it held
        throw EIniFileException("Unable to write to " + FFileName);
    }
    FState = StateOf(FPath);
}

size_t TIniFile::FindSection(const std::string& Section) const {
    std::string name;
    for (size_t i = 0; i < FLines.size(); ++i)
        if (ParseSection(FLines[i], name) && Same(name, Section)) return i;
    return npos;
}

size_t TIniFile::SectionEnd(size_t Header) const {
    std::string name;
    size_t i = Header + 1;
    while (i < FLines.size() && !ParseSection(FLines[i], name))
        ++i;
    return i;
}

std::vector<TIniFile::TKey> TIniFile::Keys(size_t Header) const {
    std::vector<TKey> keys;
    if (Header == npos) return keys;
    const size_t end = SectionEnd(Header);
    for (size_t i = Header + 1; i < end; ++i) {
        TKey k{i, {}, {}};
        if (ParseKey(FLines[i], k.Name, k.Value)) keys.push_back(std::move(k));
    }
    return keys;
}

bool TIniFile::ReadRaw(const AnsiString& Section, const AnsiString& Ident, std::string& Value) {
    Load();
    const std::string ident = NameOf(Ident);
    for (const TKey& k : Keys(FindSection(NameOf(Section))))
        if (Same(k.Name, ident)) {
            Value = k.Value;
            return true;
        }
    return false;
}

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident,
                                const AnsiString& Default) {
    std::string value;
    return ReadRaw(Section, Ident, value) ? AnsiString(Unquoted(value)) : Default;
}

int TIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) {
    return StrToIntDef(ReadString(Section, Ident, AnsiString()), Default);
}

bool TIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(const AnsiString& Section, const AnsiString& Ident, double Default) {
    double value;
    const AnsiString s = ReadString(Section, Ident, AnsiString());
    return !s.IsEmpty() && TryStrToFloat(s, value) ? value : Default;
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident,
                           const AnsiString& Value) {
    Load();
    const std::string section = NameOf(Section);
    const std::string ident = NameOf(Ident);
    const std::string value = OneLine(Value);
    const size_t header = FindSection(section);
    if (header == npos) {
        if (!FLines.empty() && !TrimText(FLines.back()).empty()) FLines.emplace_back();
        FLines.push_back("[" + section + "]");
        FLines.push_back(ident + "=" + value);
    } else {
        bool replaced = false;
        for (const TKey& k : Keys(header))
            if (Same(k.Name, ident)) {
                FLines[k.Line] = k.Name + "=" + value;
                replaced = true;
                break;
            }
        if (!replaced) {
            // After the section's last line that is neither blank nor a comment.
            size_t at = header + 1;
            for (size_t i = header + 1; i < SectionEnd(header); ++i) {
                const std::string t = TrimText(FLines[i]);
                if (!t.empty() && t[0] != ';') at = i + 1;
            }
            FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(at), ident + "=" + value);
        }
    }
    Save();
}

void TIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

void TIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TIniFile::WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value) {
    WriteString(Section, Ident, FloatToStr(Value));
}

void TIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) {
    Load();
    Strings->BeginUpdate();
    try {
        Strings->Clear();
        for (const TKey& k : Keys(FindSection(NameOf(Section))))
            Strings->Add(AnsiString(k.Name));
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}

void TIniFile::ReadSections(TStrings* Strings) {
    Load();
    Strings->BeginUpdate();
    try {
        Strings->Clear();
        std::string name;
        for (const std::string& line : FLines)
            if (ParseSection(line, name) && Strings->IndexOf(AnsiString(name)) < 0)
                Strings->Add(AnsiString(name));
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}

void TIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings) {
    Load();
    Strings->BeginUpdate();
    try {
        Strings->Clear();
        const std::vector<TKey> keys = Keys(FindSection(NameOf(Section)));
        for (const TKey& k : keys) {
            auto first = keys.begin();
            while (!Same(first->Name, k.Name))
                ++first;
            Strings->Add(AnsiString(k.Name + "=" + Unquoted(first->Value)));
        }
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}

bool TIniFile::SectionExists(const AnsiString& Section) {
    Load();
    return !Keys(FindSection(NameOf(Section))).empty();
}

bool TIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) {
    std::string value;
    return ReadRaw(Section, Ident, value);
}

void TIniFile::EraseSection(const AnsiString& Section) {
    Load();
    const std::string section = NameOf(Section);
    bool erased = false;
    for (size_t header; (header = FindSection(section)) != npos; erased = true)
        FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(header),
                     FLines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
    if (erased) Save();
}

void TIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
    Load();
    const std::string ident = NameOf(Ident);
    for (const TKey& k : Keys(FindSection(NameOf(Section))))
        if (Same(k.Name, ident)) {
            FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(k.Line));
            Save();
            return;
        }
}

void TIniFile::AddSection(const AnsiString& Section) {
    Load();
    const std::string section = NameOf(Section);
    if (FindSection(section) != npos) return;
    if (!FLines.empty() && !TrimText(FLines.back()).empty()) FLines.emplace_back();
    FLines.push_back("[" + section + "]");
    Save();
}
