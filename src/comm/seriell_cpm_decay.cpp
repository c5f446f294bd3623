#include "comm/commhost.h"
#include "comm/comport.h"
#include "comm/seriell_cpm.h"
#include "comm/seriell_link.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"
#include "platform/win32/kernel.h"

namespace {
constexpr int EmptyFrameRetries = 20;
constexpr int ResultFieldsLength = 28;
constexpr int SampleFrameLength = 9; // STX, mark, state byte (2 digits), voltage word (4), ETX

// Puts the group box caption back however the test ends.
class TOffsetCaptionGuard {
public:
    TOffsetCaptionGuard() { CommHost().SetGroupBoxOffsetCaption("Plate voltage"); }
    ~TOffsetCaptionGuard() { CommHost().SetGroupBoxOffsetCaption("Offset"); }
};

TCommSeriesSink* Series(int number) {
    return CommHost().ChartSeries(number);
}
} // namespace

void C_CPM_EF::DecodeResultFields(const AnsiString& text, TResults& r) {
    int word = 0;
    HexWordToInt(text.SubString(5, 4), r.StartVoltage);
    HexWordToInt(text.SubString(9, 4), r.StopVoltage);
    HexWordToInt(text.SubString(13, 4), r.OffsetTime);
    HexWordToInt(text.SubString(17, 4), word);
    r.DecayTimePos = word * 0.1;
    HexWordToInt(text.SubString(21, 4), word);
    r.DecayTimeNeg = word * 0.1;
    // Character 27 marks the sign of the offset voltage.
    AnsiString offset = text.SubString(25, 4);
    const bool negative = offset.Length() >= 3 && offset[3] != '0';
    if (negative) offset[3] = '0';
    HexWordToInt(offset, word);
    r.OffsetVoltage = negative ? -word : word;
}

void C_CPM_EF::MeasureDecay(int& vStart, int& vStop, int& tOffset, double& decayPos,
                            double& decayNeg, double& offsetV, bool& aborted) {
    TCommHost& host = CommHost();
    TResults& r = _struct_results;
    r.SampleVoltages.clear();
    r.SampleBit1.clear();
    r.SampleBit5.clear();
    r.SampleStates.clear();
    aborted = false;

    Transact("w2");
    TComPort& port = InstrumentPort();
    {
        TOffsetCaptionGuard caption;
        for (int s = 1; s <= 6; ++s)
            if (TCommSeriesSink* series = Series(s)) series->Clear();
        host.HideChartWindow();
        bool positiveMarked = false, negativeMarked = false, offsetPhase = false,
             offsetSeen = false, resultReceived = false;
        int points = 0;

        while (!resultReceived && !aborted) {
            AnsiString frame;
            for (int i = 0; i < EmptyFrameRetries && frame.IsEmpty(); ++i) {
                Sleep(1);
                frame = ReadFrame(port, ETX);
                host.ProcessMessages();
            }
            if (frame.Length() >= 2 && frame[2] == DC3) aborted = true;
            if (!frame.IsEmpty() && frame[1] == DC2) {
                const AnsiString fields = frame.SubString(3, frame.Length() - 3);
                if (fields.Length() < ResultFieldsLength) RaiseInvalidReply();
                DecodeResultFields(fields, r);
                vStart = r.StartVoltage;
                vStop = r.StopVoltage;
                tOffset = r.OffsetTime;
                decayPos = r.DecayTimePos;
                decayNeg = r.DecayTimeNeg;
                offsetV = r.OffsetVoltage;
                resultReceived = true;
            }
            // Only sample frames carry a plate voltage: the result and abort
            // frames are not drawn, and a cut-off sample is left out.
            if (resultReceived || aborted || frame.Length() < SampleFrameLength) continue;

            int v = 0;
            HexWordToInt(frame.SubString(5, 4), v);
            const AnsiString state = HexToBits(frame.SubString(3, 2));
            if (state[6] == '1') v = -v;
            host.SetLabelOffsetCaption(IntToStr(v) + " V");

            // The offset phase begins with this sample when its bit says so:
            // from then on no spike, this sample's included.
            const bool inOffsetPhase = state[3] == '1';
            if (inOffsetPhase) offsetSeen = true;
            TCommSeriesSink* curve = Series(1);
            if (v >= 100 && v <= 1200 && v < 1500 && !positiveMarked && !offsetSeen) {
                positiveMarked = true;
                if (curve) curve->AddY(1200, TCommSeriesSink::Red);
            }
            if (v >= -1200 && v <= -100 && v > -1500 && !negativeMarked && !offsetSeen) {
                negativeMarked = true;
                if (curve) curve->AddY(-1200, TCommSeriesSink::Red);
            }
            if (v < 90) positiveMarked = false;
            if (v > 0) negativeMarked = false;
            if (inOffsetPhase) {
                offsetPhase = true;
                positiveMarked = negativeMarked = false;
            } else {
                offsetPhase = false;
            }
            const auto addPoint = [&](uint32_t colour) {
                if (curve) curve->AddY(v, colour);
                ++points;
            };
            if (offsetPhase) addPoint(TCommSeriesSink::Blue);
            if (positiveMarked) addPoint(TCommSeriesSink::Red);
            if (negativeMarked) addPoint(TCommSeriesSink::Red);

            if (host.TestOutput()) {
                r.SampleVoltages.push_back(v);
                r.SampleBit1.push_back(state[7] - '0');
                r.SampleBit5.push_back(state[3] - '0');
                r.SampleStates.push_back(state);
            }
        }

        if (aborted) {
            vStart = vStop = tOffset = 0;
            decayPos = decayNeg = offsetV = 0;
        }
        r.StartVoltage = vStart;
        r.StopVoltage = vStop;
        r.OffsetTime = tOffset;
        r.DecayTimePos = decayPos;
        r.DecayTimeNeg = decayNeg;
        r.OffsetVoltage = offsetV;

        for (int i = 0; i <= points; ++i) {
            const struct {
                int Series;
                double Y;
                uint32_t Colour;
            } lines[] = {{2, double(vStart), TCommSeriesSink::Black},
                         {3, double(vStop), TCommSeriesSink::Black},
                         {4, double(-vStart), TCommSeriesSink::Yellow},
                         {5, double(-vStop), TCommSeriesSink::Yellow},
                         {6, 0.0, TCommSeriesSink::Green}};
            for (const auto& line : lines)
                if (TCommSeriesSink* series = Series(line.Series))
                    series->AddXY(i, line.Y, line.Colour);
        }
    }

    if (host.TestOutput()) {
        TStringList lines;
        lines.Add(DateTimeToStr(Now()));
        for (size_t i = 0; i < r.SampleVoltages.size(); ++i)
            lines.Add(IntToStr(r.SampleVoltages[i]) + ";" + IntToStr(r.SampleBit1[i]) + ";" +
                      IntToStr(r.SampleBit5[i]) + ";" + r.SampleStates[i]);
        // The samples are a by-product: a file that cannot take them never costs the result.
        AnsiString path = "C:\\TestData.TXT";
        try {
            path = MapWindowsPath(path);
            lines.SaveToFile(path);
        } catch (const std::exception& e) {
            const AnsiString reason = e.what();
            host.MessageBox("The test output could not be written" +
                                (reason.Pos(path) > 0 ? AnsiString() : " to " + path) + ": " +
                                reason,
                            "Error", cbOK, ciExclamation);
        }
    }
}
