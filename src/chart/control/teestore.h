#pragma once
// Chart files ("*.tee"): a whole chart with its series, functions and tools,
// optionally with the point data, as a 4-byte header and a binary component
// stream, or as the stream's text form.
#include "chart/control/chart.h"
#include "platform/classes/filer.h"
#include <functional>

class TStream;

// Told about each fault inside a chart file; true ignores it and reading goes on.
using TProcTeeCheckError = std::function<bool(const AnsiString& Message)>;

constexpr uint16_t TeeMagicNumber = 0x3060;
constexpr uint16_t TeeFileVersion = 0x0140;

// Old names of the chart class that files may still carry.
class TChartChart : public TChart {
    QM_CLASS(TChartChart)
public:
    explicit TChartChart(TComponent* AOwner = nullptr) : TChart(AOwner) {}
};

class TODBCChart : public TChartChart {
    QM_CLASS(TODBCChart)
public:
    explicit TODBCChart(TComponent* AOwner = nullptr) : TChartChart(AOwner) {}
};

// The platform reader; faults go to the callback when one is given, else the
// platform's rule holds (unknown names skipped, damage raises).
class TChartReader : public TReader {
    QM_CLASS(TChartReader)
public:
    TChartReader(TStream* Stream, int BufSize, TProcTeeCheckError CheckError);
    // With a callback it decides; without one whatever cannot be read (an unknown
    // property or class, a value this build does not know) is skipped, so a file
    // of another version still opens.
    bool Error(const AnsiString& Message) override;
    // A damaged data block is the stream's own damage: refused unless the callback skips it.
    bool DataError(const AnsiString& Message) override;
    // Without a callback a component of an unknown class goes with all it holds.
    bool ClassError(const AnsiString& Message) override;
    // Settings that reach loops or pixel arithmetic stay within the editor's bounds.
    int64_t BoundInteger(TPersistent* Instance, const TPropInfo* Prop, int64_t Value) override;

protected:
    // Files saved from a form's chart once named a link "Series1.Owner": that
    // is the chart's own Series1.
    TComponent* FindReference(const AnsiString& Name) const override;
};

// The range the reader keeps an integer property of Class in (the editor's
// number fields without an up-down use the same); false when it keeps none.
bool TeeStoredBounds(TClass Class, const AnsiString& Property, int64_t& Min, int64_t& Max);

// The name unchanged when it has an extension, else with ".tee" added.
AnsiString TeeCheckExtension(const AnsiString& FileName);

void SaveChartToStream(TCustomChart* AChart, TStream* AStream, bool IncludeData = true,
                       bool TextFormat = false);
// Builds the whole file first; an existing file is replaced only once the new one is complete.
void SaveChartToFile(TCustomChart* AChart, const AnsiString& FileName, bool IncludeData = true,
                     bool TextFormat = false);

// The stream is read into a fresh chart first; the given chart changes only
// when that succeeded, so a damaged file leaves it exactly as it was. What the
// file tells the user about itself shows in between, once; a message that
// frees the chart or its owner ends the load there (callers read it again).
void LoadChartFromStreamCheck(TCustomChart*& AChart, TStream* AStream,
                              const TProcTeeCheckError& CheckError = nullptr,
                              bool TryReadData = true);
void LoadChartFromStream(TCustomChart*& AChart, TStream* AStream);
void LoadChartFromFileCheck(TCustomChart*& AChart, const AnsiString& FileName,
                            const TProcTeeCheckError& CheckError);
void LoadChartFromFile(TCustomChart*& AChart, const AnsiString& FileName);

void ConvertTeeFileToText(const AnsiString& InputFile, const AnsiString& OutputFile);
void ConvertTeeFileToBinary(const AnsiString& InputFile, const AnsiString& OutputFile);
// The same conversions between streams (from the input's position).
void ConvertTeeToText(TStream* Input, TStream* Output);
void ConvertTeeToBinary(TStream* Input, TStream* Output);
