#pragma once
// SETUP.INI beside the program: the main window's settings with their
// defaults, and the one value the program writes back. The file is the
// user's: it is refused as a whole when it is too large or cannot be read,
// and a value that is no number or lies outside its sensible range gives the
// key's default; each such case is reported in words, never a crash.
#include "platform/rtl/ansistring.h"
#include <utility>
#include <vector>

class TIniFile;

struct TSetupValues {
    int Delta_U = 200;
    int Average_U = 1;
    int Sampling_time_Chart = 10;
    int Sampling_time_Display = 10;
    AnsiString Banner = "Banner.jpg";
    AnsiString Main_1 = "Exit", Main_2 = "Device", Main_3 = "View", Main_4 = "?";
    AnsiString Text_Men_Opt_1, Text_Sub_Men_Opt_1, Text_Opt1_Unit, Text_Opt1_2_Unit;
    AnsiString Text_Men_Opt_2, Text_Sub_Men_Opt_2, Text_Opt2_Unit, Text_Opt2_2_Unit;
    // Axis minimum, maximum and factor of Opt1, Opt1_2, Opt2 and Opt2_2, in that order.
    double Opt[4][3] = {};
    AnsiString CPM_DataDirectory;
    bool TestOutput = false;
    AnsiString PGT_DataDirectory;
};

// The keys of one section as one reading of the file gave them: values read
// together stay consistent, and the file is looked up once, not per key.
class TSetupSection {
public:
    // A section without keys (a file that cannot be used).
    explicit TSetupSection(const AnsiString& Section) : FName(Section) {}
    TSetupSection(TIniFile& Ini, const AnsiString& Section);
    const AnsiString& Name() const { return FName; }
    // The value the file's reader would give; false when the key is absent.
    bool Find(const AnsiString& Key, AnsiString& Value) const;
    // A whole number in Min..Max; Default when the key is absent, and Default
    // with a line naming the key in Problems when its value is none.
    int Integer(const AnsiString& Key, int Default, int Min, int Max,
                std::vector<AnsiString>& Problems) const;

private:
    AnsiString FName;
    std::vector<std::pair<AnsiString, AnsiString>> FValues;
};

// Largest SETUP.INI read or rewritten.
constexpr long long MaxSetupIniBytes = 1 << 20;

// The file's full path (in the program's folder).
AnsiString SetupIniPath();
// Reads every key; Problems gets one line for each value refused (or one for
// the whole file).
TSetupValues ReadSetupIni(const AnsiString& Path, std::vector<AnsiString>& Problems);
// One section of the file at Path; without keys, and the reason in Problems,
// when the file cannot be used (a missing file gives no problem).
TSetupSection ReadSetupSection(const AnsiString& Path, const AnsiString& Section,
                               std::vector<AnsiString>& Problems);
// [CPM] ComPortIndex (0 when absent or refused, with the problem noted).
int ReadComPortIndex(const AnsiString& Path, std::vector<AnsiString>& Problems);
// Writes [CPM] ComPortIndex and keeps every other byte of the file. False with
// the reason when the file cannot safely take it.
bool WriteComPortIndex(const AnsiString& Path, int Index, AnsiString& Error);
// The problems as one message, or "" when there are none.
AnsiString SetupProblemsText(const std::vector<AnsiString>& Problems);
