// Main window: the chart view and its live measurement loop.
#include "app/focom.h"
#include "app/livereading.h"
#include "app/main.h"
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teecommander.h"
#include "chart/engine/teeaxis.h"
#include "comm/comport.h"
#include "comm/seriell_cpm.h"
#include "comm/usbread.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/floatformat.h"
#include <algorithm>
#include <cmath>

// The current figure after a failed run: the last reading is not current.
const char* const NoCurrentValue = "---";

void TMainForm::ResetBottomAxis() {
    // A zoom or a pan may have left any range; both ends go back together.
    if (Chart1->Zoomed()) Chart1->UndoZoom();
    Chart1->BottomAxis()->SetMinMax(0, ChartWidth);
    Chart1->BottomAxis()->SetMinimumOffset(0);
}

TChartSeries* TMainForm::LiveSeries() {
    if (!Series1) {
        auto* named = dynamic_cast<TChartSeries*>(FindComponent("Series1"));
        if (named && named->ParentChart() == Chart1)
            Series1 = named;
        else if (Chart1->SeriesCount() > 0)
            Series1 = Chart1->Series(0);
        else
            CreateLiveSeries();
    }
    return Series1;
}

void TMainForm::Grafik1Click(TObject*) {
    ImageWallpaper->Hide();
    LiveSeries()->Clear();
    ResetBottomAxis();
    SampleTime = 0;
    ClearChartOnReset = false;
    TeeCommander1->Show();
    ShowLogo();
    GroupBox1->Show();
    Chart1->Show();
    SetupChart(ModelText, DeviceType, RangeCode, RangeFactor, UnitText);
}

namespace {
AnsiString Figure(double Value, const AnsiString& Unit) {
    return FloatToStrF(Value, ffFixed, 4, 2) + Unit;
}
} // namespace

void TMainForm::SetupChart(const AnsiString& Model, int Type, int Code, double& Factor,
                           AnsiString& Unit) {
    View->SetEnabled(false);
    Device->SetEnabled(false);
    if (Type != dtSerialWindow) {
        double minimum = 0, maximum = 0;
        TRangeRow row;
        if (FindRange(Code, row)) {
            GetRangeData(Code, Factor, Unit, minimum, maximum);
            // Together, so a range left by a pan never stands in the way.
            Chart1->LeftAxis()->SetMinMax(minimum * 1.001, maximum * 1.001);
        }
    }
    Chart1->LeftAxis()->Title()->SetCaption(Unit);
    Chart1->BottomAxis()->Title()->SetCaption("Time sek.");
    Chart1->Title()->Text()->Clear();
    Chart1->Title()->Text()->Add("--" + Model + "--");
    Minwert->SetText(Figure(0, Unit));
    Maxwert->SetText(Figure(0, Unit));
}

void TMainForm::EndFailedRun() {
    StopSampling = true;
    ClearChartOnReset = true;
    b_Start->SetEnabled(true);
    FoCom->ComPort1->Close();
    Messwert->SetText(NoCurrentValue);
}

void TMainForm::b_StartClick(TObject*) {
    b_Start->SetEnabled(false);
    try {
        if (DeviceType < dtSerialWindow) {
            if (MainUsb().Open() != TUsbResult::Opened) ConverterMissing(Error_1);
        } else {
            FoCom->ComPort1->Close();
            FoCom->ComPort1->Open();
            SetupChart(ModelText, DeviceType, RangeCode, RangeFactor, UnitText);
            SendLiveSetup(MainCpm(), DeviceType, RangeCode, UnitText);
        }
        StopSampling = false;
        RunMeasureLoop(ModelText, DeviceType, RangeCode, UnitText);
    } catch (const EUnwindToTest&) {
        throw;
    } catch (...) {
        EndFailedRun();
        RethrowNamingPort();
    }
}

void TMainForm::RunMeasureLoop(const AnsiString& Model, int Type, int, AnsiString Unit) {
    StopSampling = false;
    const double dt = Sampling_time_Chart * 0.001;
    const double w = std::trunc(ChartWidth);
    TChartAxis* bottom = Chart1->BottomAxis();
    bottom->SetAutomatic(false);
    bottom->SetAutomaticMaximum(false);
    bottom->SetAutomaticMinimum(false);
    laSampleTime->SetCaption("Sample time = " + AnsiString(Sampling_time_Chart) + " mSek");
    Chart1->Title()->Text()->Clear();
    Chart1->Title()->Text()->Add("--" + Model + "--  Start : " + DateTimeToStr(Now()));

    // Each point stands at the time measured since Start, carried on from
    // where an earlier run stopped: a slow reading moves its point, never the
    // time axis.
    const double base = SampleTime;
    const uint32_t started = GetTickCount();
    TLiveLoop loop{
        .Usb = MainUsb(),
        .Cpm = MainCpm(),
        .DeviceType = Type,
        .RangeFactor = RangeFactor,
        .Period = Sampling_time_Chart,
        .Stopped = [this] { return StopSampling; },
        .PosMax = PosMax,
        .NegMax = NegMax,
        .Wait = TLiveWait::Pumping,
        .ShowReading =
            [&](const TLiveSample& s) {
                const double x = base + (s.Tick - started) * 0.001;
                // The no-value mark is no reading: the curve gets a gap, not a spike.
                if (s.Reading.NoValue)
                    LiveSeries()->AddNullXY(x, 0);
                else
                    LiveSeries()->AddXY(x, s.Value, "", clBlack);
                SampleTime = x + dt;
                if (w <= SampleTime) {
                    // A pan beyond the newest point must not leave the minimum above it.
                    bottom->SetMinMax(std::min(bottom->Minimum(), SampleTime), SampleTime);
                    bottom->SetMinimumOffset(static_cast<int>(10 * std::trunc(w - SampleTime)));
                }
                Messwert->SetText(s.Overflow ? AnsiString("OVERFLOW !") : Figure(s.Value, Unit));
            },
        .ShowMaximum =
            [&](bool Positive, double Maximum, bool Overflow) {
                (Positive ? Maxwert : Minwert)
                    ->SetText(Overflow ? AnsiString("OVERFLOW !") : Figure(Maximum, Unit));
            },
        .Repaint = [this] { Update(); }};
    RunLiveLoop(loop);
}

void TMainForm::b_Stop_Click(TObject*) {
    StopSampling = true;
    ClearChartOnReset = true;
    b_Start->SetEnabled(true);
    FoCom->ComPort1->Close();
}

void TMainForm::b_ResetClick(TObject*) {
    NegMax = NoReading;
    PosMax = -NoReading;
    if (ClearChartOnReset) {
        LiveSeries()->Clear();
        ResetBottomAxis();
        SampleTime = 0;
        ClearChartOnReset = false;
    }
    Minwert->SetText(Figure(0, UnitText));
    Messwert->SetText(Figure(0, UnitText));
    Maxwert->SetText(Figure(0, UnitText));
}

void TMainForm::b_CancelClick(TObject*) {
    View->SetEnabled(true);
    b_Start->SetEnabled(true);
    Device->SetEnabled(true);
    StopSampling = true;
    ShowWallpaper();
    image_Manufac_Logo->Hide();
    Chart1->Hide();
    GroupBox1->Hide();
    TeeCommander1->Hide();
    NegMax = NoReading;
    PosMax = -NoReading;
    LiveSeries()->Clear();
    ResetBottomAxis();
    Minwert->SetText("");
    Messwert->SetText("");
    Maxwert->SetText("");
}
