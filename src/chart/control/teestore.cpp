// Chart files: header test, saving, loading (validated in a fresh chart before
// the real one changes), old trailing point data, the two converters.
#include "chart/control/teestore.h"
#include "chart/control/teeseriestypes.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teegeometry.h"
#include "chart/engine/teeheldmessages.h"
#include "chart/engine/teesources.h"
#include "platform/classes/objtext.h"
#include "platform/classes/streams.h"
#include "platform/win32/kernel.h"
#include <algorithm>
#include <cstring>
#include <memory>

QM_CLASS_OWNED(TChartChart, TChart, TComponent)
QM_CLASS_OWNED(TODBCChart, TChartChart, TComponent)
QM_CLASS_ABSTRACT(TChartReader, TReader)

namespace {

const bool AliasesRegistered = [] {
    TeeAddStartup([] {
        RegisterClass(&TChart::ClassInfo);
        RegisterClass(&TChartChart::ClassInfo);
        RegisterClass(&TODBCChart::ClassInfo);
    });
    return true;
}();

// Integer settings that drive loops or pixel arithmetic, kept at load within
// what the editor lets a user enter (or, with no editor field, what a screen
// can use), so a file can neither overflow every paint nor make it run for
// minutes. Sizes the editor gives no field stay within +-10000 pixels.
struct TLoadBound {
    const char* Class;
    const char* Property;
    int64_t Min, Max;
};
constexpr int64_t Px = 10000;
constexpr TLoadBound LoadBounds[] = {
    // Chart and panel
    {"TCustomTeePanel", "MarginLeft", -2000, 2000},
    {"TCustomTeePanel", "MarginTop", -2000, 2000},
    {"TCustomTeePanel", "MarginRight", -2000, 2000},
    {"TCustomTeePanel", "MarginBottom", -2000, 2000},
    {"TCustomPanel", "BevelWidth", 1, 1000},
    {"TCustomTeePanel", "BorderRound", 0, 10000},
    {"TCustomAxisPanel", "Chart3DPercent", 1, 100},
    {"TView3DOptions", "Zoom", 1, 500},
    {"TView3DOptions", "HorizOffset", -1500, 1500},
    {"TView3DOptions", "VertOffset", -1500, 1500},
    {"TView3DOptions", "Perspective", 0, 100},
    // Pens, fonts, shadows, shapes
    {"TPen", "Width", 0, 1000},
    {"TTeeFont", "InterCharSize", -100, 1000},
    {"TTeeFont", "Height", -1000, 1000},
    {"TTeeShadow", "HorizSize", -100, 1000},
    {"TTeeShadow", "VertSize", -100, 1000},
    {"TTeeCustomShape", "BevelWidth", 0, 100},
    {"TTeeCustomShapePosition", "Left", -Px, Px},
    {"TTeeCustomShapePosition", "Top", -Px, Px},
    {"TChartWall", "Size", 0, 1000},
    // Axes
    {"TChartAxis", "MinorTickCount", 0, 1000},
    {"TChartAxis", "MinorTickLength", 0, 1000},
    {"TChartAxis", "TickLength", 0, 1000},
    {"TChartAxis", "TickInnerLength", 0, 1000},
    {"TChartAxis", "TitleSize", 0, 1000},
    {"TChartAxis", "LabelsSize", 0, 1000},
    {"TChartAxis", "LabelsSeparation", 0, 1000},
    {"TChartAxis", "MaximumOffset", -10000, 10000},
    {"TChartAxis", "MinimumOffset", -10000, 10000},
    // Legend
    {"TCustomChartLegend", "HorizMargin", -1000, 1000},
    {"TCustomChartLegend", "VertMargin", -1000, 1000},
    {"TCustomChartLegend", "TopPos", -100, 100},
    {"TCustomChartLegend", "VertSpacing", -10, 100},
    {"TCustomChartLegend", "ColorWidth", 0, 1000},
    {"TLegendSymbol", "Width", 1, 1000},
    // Series, pointers and marks
    {"TSeriesPointer", "HorizSize", 0, 1000},
    {"TSeriesPointer", "VertSize", 0, 1000},
    {"TSeriesMarks", "ArrowLength", -1000, 1000},
    {"TSeriesMarks", "DrawEvery", 1, 5000},
    {"TMarksCallout", "Length", -1000, 1000},
    {"TCallout", "Distance", -1000, 1000},
    {"TCallout", "ArrowHeadSize", -1000, 1000},
    {"TAnnotationCallout", "XPosition", -Px, Px},
    {"TAnnotationCallout", "YPosition", -Px, Px},
    {"TAnnotationCallout", "ZPosition", -Px, Px},
    {"TCustomBarSeries", "BarWidthPercent", 1, 100},
    {"TCustomBarSeries", "OffsetPercent", -100, 100},
    {"TCustomBarSeries", "CustomBarWidth", 0, 1000},
    {"TCustomBarSeries", "BevelSize", 0, 100},
    {"THorizBarSeries", "CustomBarHeight", 0, 1000},
    {"TCustomErrorSeries", "ErrorWidth", 0, 1000},
    {"TBigCandleSeries", "HorizGap", -Px, Px},
    {"TBigCandleSeries", "VertGap", -Px, Px},
    {"TCircledSeries", "CustomXRadius", 0, Px},
    {"TCircledSeries", "CustomYRadius", 0, Px},
    {"TPieSeries", "ExplodeBiggest", 0, 100},
    {"TPyramidSeries", "SizePercent", 0, 100},
    {"TBezierSeries", "NumBezierPoints", 2, 1000},
    // Point counts: a function's own points, and the random points the series
    // page asks for (no file holds that count; the page keeps to this bound).
    {"TCustomTeeFunction", "NumPoints", 0, 1000000},
    {"TChartSeries", "SampleCount", 1, 1000000},
    // Functions whose output grows with a factor
    {"TCustomFittingFunction", "Factor", 1, 1000},
    {"TSmoothingFunction", "Factor", 1, 1000},
};

bool ClassIsOrInherits(TClass C, const char* Name) {
    for (; C; C = C->Parent)
        if (std::strcmp(C->Name, Name) == 0) return true;
    return false;
}

enum class TTeeKind { None, Binary, Text };

// Looks at the first bytes and goes back.
TTeeKind HeaderKind(TStream* S) {
    const int64_t pos = S->Position();
    uint8_t b[4] = {0, 0, 0, 0};
    const int n = S->Read(b, 4);
    S->SetPosition(pos);
    if (n >= 2 && (b[0] | (b[1] << 8)) == TeeMagicNumber) return TTeeKind::Binary;
    if (n >= 1 && (b[0] == 'O' || b[0] == 'o')) return TTeeKind::Text;
    return TTeeKind::None;
}

void WriteHeader(TStream* S) {
    const uint8_t h[4] = {TeeMagicNumber & 0xFF, TeeMagicNumber >> 8, TeeFileVersion & 0xFF,
                          TeeFileVersion >> 8};
    S->WriteBuffer(h, 4);
}

// The binary form of a chart file (header included) from either form.
void ToBinary(TStream* Input, TStream* Output) {
    switch (HeaderKind(Input)) {
    case TTeeKind::Binary:
        Output->CopyFrom(Input, Input->Size() - Input->Position());
        break;
    case TTeeKind::Text:
        WriteHeader(Output);
        ObjectTextToBinary(Input, Output);
        break;
    default:
        throw ChartException(TeeMsg_WrongTeeFileFormat);
    }
}

// The length of one series' point block at the stream's position (mask, count,
// records), checked against what is left before anything is read.
int64_t PointBlockSize(TMemoryStream& S, int Lists) {
    const int64_t start = S.Position();
    const int64_t left = S.Size() - start;
    const auto* p = static_cast<const uint8_t*>(S.Memory()) + start;
    if (left < 5) throw EReadError("Stream read error");
    const uint8_t mask = p[0];
    int32_t count;
    std::memcpy(&count, p + 1, 4);
    if (count < 0) throw EReadError("Stream read error");
    int64_t fixed = 8 + (mask & 1 ? 8 : 0) + (mask & 2 ? 4 : 0) + (mask & 8 ? 34 : 0) +
                    8 * std::max(0, Lists - 2);
    int64_t at = 5;
    for (int32_t i = 0; i < count; ++i) {
        if (at + fixed > left) throw EReadError("Stream read error");
        if (mask & 4) {
            // The label's length byte sits after the values, colour first.
            const int64_t labelAt = at + 8 + (mask & 1 ? 8 : 0) + (mask & 2 ? 4 : 0);
            if (labelAt + 1 > left) throw EReadError("Stream read error");
            at += 1 + p[labelAt];
        }
        at += fixed;
    }
    if (at > left) throw EReadError("Stream read error");
    return at;
}

// Reads the chart body (behind the header) into AChart, then old point data;
// true when there were old point data.
// Handlers are named from MethodRoot, and bound only with BindMethods.
bool ReadChartBody(TCustomChart* AChart, TMemoryStream& Body, const TProcTeeCheckError& Check,
                   bool TryReadData, TComponent* MethodRoot, bool BindMethods) {
    Body.SetPosition(4);
    {
        TChartReader reader(&Body, 4096, Check);
        reader.SetMethodRoot(MethodRoot);
        reader.SetBindMethods(BindMethods);
        const AnsiString name = AChart->Name();
        reader.ReadRootComponent(AChart);
        if (!name.IsEmpty()) AChart->SetName(name);
    }
    if (!TryReadData || Body.Position() >= Body.Size()) return false;
    for (int i = 0; i < AChart->SeriesCount(); ++i) {
        TChartSeries* s = AChart->GetSeries(i);
        TMemoryStream block;
        block.CopyFrom(&Body, PointBlockSize(Body, s->ValuesList()->Count()));
        block.SetPosition(0);
        s->ReadData(&block);
    }
    return true;
}

} // namespace

TChartReader::TChartReader(TStream* Stream, int BufSize, TProcTeeCheckError CheckError)
    : TReader(Stream, BufSize) {
    OnError = std::move(CheckError);
}

bool TChartReader::Error(const AnsiString& Message) {
    return OnError ? OnError(Message) : true;
}

bool TChartReader::DataError(const AnsiString& Message) {
    return OnError ? OnError(Message) : false;
}

bool TChartReader::ClassError(const AnsiString& Message) {
    return OnError ? OnError(Message) : true;
}

TComponent* TChartReader::FindReference(const AnsiString& Name) const {
    static const AnsiString owner = ".Owner";
    if (Name.Length() > owner.Length() &&
        SameText(Name.SubString(Name.Length() - owner.Length() + 1, owner.Length()), owner)) {
        TComponent* c = TReader::FindReference(Name.SubString(1, Name.Length() - owner.Length()));
        if (c && c->Owner() == Root()) return c;
    }
    return TReader::FindReference(Name);
}

int64_t TChartReader::BoundInteger(TPersistent* Instance, const TPropInfo* Prop, int64_t Value) {
    int64_t lo, hi;
    return TeeStoredBounds(Instance->ClassType(), Prop->Name, lo, hi) ? std::clamp(Value, lo, hi)
                                                                      : Value;
}

bool TeeStoredBounds(TClass Class, const AnsiString& Property, int64_t& Min, int64_t& Max) {
    for (const TLoadBound& b : LoadBounds)
        if (SameText(Property, b.Property) && ClassIsOrInherits(Class, b.Class)) {
            Min = b.Min;
            Max = b.Max;
            return true;
        }
    return false;
}

AnsiString TeeCheckExtension(const AnsiString& FileName) {
    if (!ExtractFileExt(FileName).IsEmpty()) return FileName;
    return FileName + ".tee";
}

// ---------------------------------------------------------------------------
// Saving.

void SaveChartToStream(TCustomChart* AChart, TStream* AStream, bool IncludeData, bool TextFormat) {
    (void)AliasesRegistered;
    TMemoryStream binary;
    WriteHeader(&binary);
    {
        const AnsiString name = AChart->Name();
        const bool designing = AChart->ComponentState().Contains(csDesigning);
        if (!designing) AChart->SetName("");
        struct TFlags {
            TChartSeries* Series;
            bool Force, Dont;
        };
        std::vector<TFlags> flags;
        TTeeFinally restore([&] {
            for (const TFlags& f : flags) {
                f.Series->SetForceSaveData(f.Force);
                f.Series->SetDontSaveData(f.Dont);
            }
            if (!designing) AChart->SetName(name);
        });
        for (int i = 0; i < AChart->SeriesCount(); ++i) {
            TChartSeries* s = AChart->GetSeries(i);
            flags.push_back({s, s->ForceSaveData(), s->DontSaveData()});
            s->SetForceSaveData(IncludeData);
            s->SetDontSaveData(!IncludeData);
        }
        TWriter writer(&binary, 4096);
        writer.SetAgainstConstructed(true);
        writer.SetRoot(AChart->Owner() ? AChart->Owner() : AChart);
        // The file is read into the chart: what the chart owns (series and
        // tools of an earlier load) is named as the form's own are.
        writer.SetLocalOwner(AChart);
        writer.WriteSignature();
        writer.WriteComponent(AChart);
        writer.FlushBuffer();
    }
    binary.SetPosition(0);
    if (TextFormat) {
        binary.SetPosition(4);
        ObjectBinaryToText(&binary, AStream);
    } else {
        AStream->CopyFrom(&binary, binary.Size());
    }
}

void SaveChartToFile(TCustomChart* AChart, const AnsiString& FileName, bool IncludeData,
                     bool TextFormat) {
    TMemoryStream content;
    SaveChartToStream(AChart, &content, IncludeData, TextFormat);
    content.SaveToFile(TeeCheckExtension(FileName));
}

// ---------------------------------------------------------------------------
// Loading.

void LoadChartFromStreamCheck(TCustomChart*& AChart, TStream* AStream,
                              const TProcTeeCheckError& CheckError, bool TryReadData) {
    (void)AliasesRegistered;
    TeeStartRegistries();
    if (AStream->Size() - AStream->Position() <= 0) throw ChartException(TeeMsg_EmptyTeeFile);
    if (HeaderKind(AStream) == TTeeKind::None) throw ChartException(TeeMsg_WrongTeeFileFormat);
    if (!AChart) throw ChartException(TeeMsg_InvalidTeeFile);
    // Read once: the caller's variable may lie in what a message below frees.
    TCustomChart* const chart = AChart;

    TMemoryStream body;
    ToBinary(AStream, &body);
    if (body.Size() < 4) throw ChartException(TeeMsg_WrongTeeFileFormat);

    // First into a fresh chart of the same class: any fault ends here, with the
    // given chart untouched. The caller's answers are kept for the second pass,
    // and the fresh chart with them: the second pass takes its parsed points.
    std::vector<bool> answers;
    std::unique_ptr<TObject> made(chart->ClassType()->Factory ? chart->ClassType()->Factory(nullptr)
                                                              : TChart::ClassInfo.Factory(nullptr));
    auto* fresh = dynamic_cast<TCustomChart*>(made.get());
    if (!fresh) throw ChartException(TeeMsg_InvalidTeeFile);
    // Handlers are named from the root the chart was written with; the trial
    // read checks their names without binding them to a chart that goes.
    TComponent* const methodRoot = chart->Owner() ? chart->Owner() : chart;
    std::vector<TChartSeries*> filled;
    // What the file tells the user about what it holds, from the trial read only.
    std::vector<AnsiString> told;
    TCallOut held{chart, methodRoot, fresh};
    {
        TProcTeeCheckError record;
        if (CheckError)
            record = [&](const AnsiString& Message) {
                answers.push_back(CheckError(Message));
                return answers.back();
            };
        bool oldData;
        {
            TTeeHeldMessages trial;
            TChartSeries::TPointHandOver note(filled, false);
            oldData = ReadChartBody(fresh, body, record, TryReadData, methodRoot, false);
            told = trial.Messages();
        }
        if (oldData) {
            // Old point data come after the series' own checks at load: the
            // chart they make must load as well once saved the way this system
            // saves it, or the file is refused here.
            TTeeHeldMessages quiet;
            TMemoryStream saved;
            SaveChartToStream(fresh, &saved);
            std::unique_ptr<TObject> again(made->ClassType()->Factory(nullptr));
            ReadChartBody(static_cast<TCustomChart*>(again.get()), saved, nullptr, false,
                          methodRoot, false);
        }
    }
    if (held.Gone()) return;
    // Told before the chart changes, so a message that frees the chart or its
    // form leaves nothing half read.
    for (const AnsiString& message : told) {
        ShowMessageUser(message);
        if (held.Gone()) return;
    }
    // Only series the fresh chart still holds give their points.
    for (TChartSeries*& s : filled)
        if (s) {
            bool kept = false;
            for (int i = 0; i < fresh->SeriesCount() && !kept; ++i)
                kept = fresh->GetSeries(i) == s;
            if (!kept) s = nullptr;
        }

    const bool repaint = chart->AutoRepaint();
    chart->SetAutoRepaint(false);
    TTeeFinally again([&] {
        chart->SetAutoRepaint(repaint);
        chart->Invalidate();
    });
    chart->FreeAllSeries();
    chart->Tools()->Clear();
    size_t next = 0;
    TProcTeeCheckError replay;
    if (CheckError)
        replay = [&](const AnsiString&) { return next < answers.size() && answers[next++]; };
    TTeeHeldMessages toldAlready;
    TChartSeries::TPointHandOver take(filled, true);
    ReadChartBody(chart, body, replay, TryReadData, methodRoot, true);
}

void LoadChartFromStream(TCustomChart*& AChart, TStream* AStream) {
    LoadChartFromStreamCheck(AChart, AStream, nullptr, true);
}

void LoadChartFromFileCheck(TCustomChart*& AChart, const AnsiString& FileName,
                            const TProcTeeCheckError& CheckError) {
    TFileStream file(TeeCheckExtension(FileName), fmOpenRead | fmShareDenyWrite);
    LoadChartFromStreamCheck(AChart, &file, CheckError, true);
}

void LoadChartFromFile(TCustomChart*& AChart, const AnsiString& FileName) {
    LoadChartFromFileCheck(AChart, FileName, nullptr);
}

// ---------------------------------------------------------------------------
// Converters.

void ConvertTeeToText(TStream* Input, TStream* Output) {
    switch (HeaderKind(Input)) {
    case TTeeKind::Binary:
        Input->Seek(4, soFromCurrent);
        ObjectBinaryToText(Input, Output);
        break;
    case TTeeKind::Text:
        Output->CopyFrom(Input, Input->Size() - Input->Position());
        break;
    default:
        throw ChartException(TeeMsg_WrongTeeFileFormat);
    }
}

void ConvertTeeToBinary(TStream* Input, TStream* Output) {
    ToBinary(Input, Output);
}

void ConvertTeeFileToText(const AnsiString& InputFile, const AnsiString& OutputFile) {
    TFileStream in(InputFile, fmOpenRead | fmShareDenyWrite);
    TMemoryStream out;
    ConvertTeeToText(&in, &out);
    out.SaveToFile(OutputFile);
}

void ConvertTeeFileToBinary(const AnsiString& InputFile, const AnsiString& OutputFile) {
    TFileStream in(InputFile, fmOpenRead | fmShareDenyWrite);
    TMemoryStream out;
    ConvertTeeToBinary(&in, &out);
    out.SaveToFile(OutputFile);
}
