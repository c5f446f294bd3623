#include "app/setupini.h"
#include "platform/classes/filenames.h"
#include "platform/classes/inifiles.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "platform/win32/kernel.h"
#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <string>

namespace {
const char* const Adc = "SetUP_ADC";
const char* const Menue = "Menue";

// Whether the file can be used at all; the reason when not.
bool CheckFile(const AnsiString& Path, AnsiString& Reason) {
    if (!FileExists(Path)) {
        if (DirectoryExists(Path)) {
            Reason = "SETUP.INI is a folder, not a file.";
            return false;
        }
        return true; // a missing file gives the defaults without a word
    }
    const int64_t size = GetFileSizeByName(Path);
    if (size > MaxSetupIniBytes) {
        Reason = "SETUP.INI is larger than " +
                 AnsiString(static_cast<int>(MaxSetupIniBytes / 1024)) + " KB and was not read.";
        return false;
    }
    try {
        TFileStream probe(Path, fmOpenRead | fmShareDenyNone);
    } catch (const EStreamError&) {
        Reason = "SETUP.INI cannot be read.";
        return false;
    }
    return true;
}

// A data folder on the "drive" of a home folder the program cannot name stays
// unset (its dialogs start where they are), and the start says why.
AnsiString DataFolder(const AnsiString& Stored, std::vector<AnsiString>& Problems) {
    try {
        return MapWindowsPath(Stored);
    } catch (const EFileNameError& e) {
        if (std::find(Problems.begin(), Problems.end(), e.Message) == Problems.end())
            Problems.push_back(e.Message);
        return AnsiString();
    }
}

AnsiString RefusedText(const AnsiString& Section, const AnsiString& Key, const AnsiString& Value) {
    return "[" + Section + "] " + Key + " = \"" + Value + "\"";
}

class TReader {
public:
    TReader(TIniFile& Ini, std::vector<AnsiString>& Problems) : FIni(Ini), FProblems(Problems) {}

    int Integer(const char* Section, const char* Key, int Default, int Min, int Max) {
        return Get(Section).Integer(Key, Default, Min, Max, FProblems);
    }
    double Float(const char* Section, const char* Key) {
        AnsiString s;
        if (!Find(Section, Key, s)) return 0;
        double a = 0;
        if (s.IsEmpty() || !TryStrToFloat(s, a) || !std::isfinite(a) || std::fabs(a) > 1e12)
            return Refuse(Section, Key, s, 0.0);
        return a;
    }
    bool Bool(const char* Section, const char* Key) {
        AnsiString s;
        if (!Find(Section, Key, s)) return false;
        const int a = StrToIntDef(s, 0);
        if (a != StrToIntDef(s, 1)) return Refuse(Section, Key, s, false);
        return a != 0;
    }
    AnsiString String(const char* Section, const char* Key, const AnsiString& Default) {
        AnsiString s;
        return Find(Section, Key, s) ? s : Default;
    }

private:
    const TSetupSection& Get(const char* Section) {
        auto it = FSections.find(Section);
        if (it == FSections.end())
            it = FSections.emplace(Section, TSetupSection(FIni, Section)).first;
        return it->second;
    }
    bool Find(const char* Section, const char* Key, AnsiString& Value) {
        return Get(Section).Find(Key, Value);
    }
    template <class T>
    T Refuse(const char* Section, const char* Key, const AnsiString& Value, T Default) {
        FProblems.push_back(RefusedText(Section, Key, Value));
        return Default;
    }
    TIniFile& FIni;
    std::vector<AnsiString>& FProblems;
    std::map<std::string, TSetupSection> FSections;
};
} // namespace

TSetupSection::TSetupSection(TIniFile& Ini, const AnsiString& Section) : FName(Section) {
    TStringList lines;
    Ini.ReadSectionValues(Section, &lines);
    for (int i = 0; i < lines.Count(); ++i) {
        const AnsiString line = lines[i];
        const int eq = line.Pos("=");
        FValues.emplace_back(line.SubString(1, eq - 1), line.SubString(eq + 1, line.Length() - eq));
    }
}

bool TSetupSection::Find(const AnsiString& Key, AnsiString& Value) const {
    for (const auto& [key, value] : FValues)
        if (CompareText(key, Key) == 0) {
            Value = value;
            return true;
        }
    return false;
}

int TSetupSection::Integer(const AnsiString& Key, int Default, int Min, int Max,
                           std::vector<AnsiString>& Problems) const {
    AnsiString s;
    if (!Find(Key, s)) return Default;
    // A value the reader cannot parse gives back whichever default it was given.
    const int a = StrToIntDef(s, INT_MIN);
    const int b = StrToIntDef(s, INT_MAX);
    if (a == b && a >= Min && a <= Max) return a;
    Problems.push_back(RefusedText(FName, Key, s));
    return Default;
}

AnsiString SetupIniPath() {
    return ProgramFolder() + "SETUP.INI";
}

TSetupValues ReadSetupIni(const AnsiString& Path, std::vector<AnsiString>& Problems) {
    TSetupValues v;
    v.CPM_DataDirectory = DataFolder("C:", Problems);
    v.PGT_DataDirectory = DataFolder("C:", Problems);
    AnsiString reason;
    if (!CheckFile(Path, reason)) {
        Problems.push_back(reason);
        return v;
    }
    TIniFile ini(Path);
    TReader r(ini, Problems);
    v.Delta_U = r.Integer(Adc, "Delta_U", 200, 0, 100000);
    v.Average_U = r.Integer(Adc, "Average_U", 1, 1, 1000);
    v.Sampling_time_Chart = r.Integer(Adc, "Sampling_time_Chart", 10, 1, 3600000);
    v.Sampling_time_Display = r.Integer(Adc, "Sampling_time_Display", 10, 1, 3600000);
    v.Banner = r.String(Menue, "Banner", "Banner.jpg");
    v.Main_1 = r.String(Menue, "Main_1", "Exit");
    v.Main_2 = r.String(Menue, "Main_2", "Device");
    v.Main_3 = r.String(Menue, "Main_3", "View");
    v.Main_4 = r.String(Menue, "Main_4", "?");
    v.Text_Men_Opt_1 = r.String(Menue, "Text_Men_Opt_1", "");
    v.Text_Sub_Men_Opt_1 = r.String(Menue, "Text_Sub_Men_Opt_1", "");
    v.Text_Opt1_Unit = r.String(Menue, "Text_Opt1_Unit", "");
    v.Text_Opt1_2_Unit = r.String(Menue, "Text_Opt1_2_Unit", "");
    v.Text_Men_Opt_2 = r.String(Menue, "Text_Men_Opt_2", "");
    v.Text_Sub_Men_Opt_2 = r.String(Menue, "Text_Sub_Men_Opt_2", "");
    v.Text_Opt2_Unit = r.String(Menue, "Text_Opt2_Unit", "");
    v.Text_Opt2_2_Unit = r.String(Menue, "Text_Opt2_2_Unit", "");
    const char* const groups[4] = {"Opt1", "Opt1_2", "Opt2", "Opt2_2"};
    const char* const parts[3] = {"LeftAxisMin", "LeftAxisMax", "Calc_Factor"};
    for (int g = 0; g < 4; ++g)
        for (int p = 0; p < 3; ++p) {
            const AnsiString key = AnsiString("Value_") + groups[g] + "_" + parts[p];
            v.Opt[g][p] = r.Float(Menue, key.c_str());
        }
    v.CPM_DataDirectory = DataFolder(r.String("CPM", "DataDirectory", "C:"), Problems);
    v.TestOutput = r.Bool("CPM", "TestOutput");
    v.PGT_DataDirectory = DataFolder(r.String("PGT", "DataDirectory", "C:"), Problems);
    return v;
}

TSetupSection ReadSetupSection(const AnsiString& Path, const AnsiString& Section,
                               std::vector<AnsiString>& Problems) {
    AnsiString reason;
    if (!CheckFile(Path, reason)) {
        Problems.push_back(reason);
        return TSetupSection(Section);
    }
    TIniFile ini(Path);
    return TSetupSection(ini, Section);
}

int ReadComPortIndex(const AnsiString& Path, std::vector<AnsiString>& Problems) {
    AnsiString reason;
    if (!CheckFile(Path, reason)) {
        Problems.push_back(reason);
        return 0;
    }
    TIniFile ini(Path);
    return TReader(ini, Problems).Integer("CPM", "ComPortIndex", 0, 0, 255);
}

bool WriteComPortIndex(const AnsiString& Path, int Index, AnsiString& Error) {
    if (!CheckFile(Path, Error)) return false;
    try {
        TIniFile ini(Path);
        ini.WriteInteger("CPM", "ComPortIndex", Index);
    } catch (const std::exception& e) {
        Error = e.what();
        return false;
    }
    return true;
}

AnsiString SetupProblemsText(const std::vector<AnsiString>& Problems) {
    if (Problems.empty()) return "";
    AnsiString text = "Some settings of SETUP.INI could not be used; their defaults apply:";
    for (const AnsiString& p : Problems)
        text += "\r\n" + p;
    return text;
}
