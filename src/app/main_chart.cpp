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
#include <cmath>

void TMainForm::ResetBottomAxis() {
    Chart1->BottomAxis()->SetMaximum(ChartWidth);
    Chart1->BottomAxis()->SetMinimumOffset(0);
}

void TMainForm::Grafik1Click(TObject*) {
    ImageWallpaper->Hide();
    Series1->Clear();
    ResetBottomAxis();
    SampleTime = 0;
    ClearChartOnReset = false;
    TeeCommander1->Show();
    image_Manufac_Logo->Show();
    GroupBox1->Show();
    Chart1->Show();
    SetupChart(ModelText, DeviceType, RangeCode, RangeFactor, UnitText);
}

void TMainForm::SetupChart(const AnsiString& Model, int Type, int Code, double& Factor,
                           AnsiString& Unit) {
    View->SetEnabled(false);
    Device->SetEnabled(false);
    if (Type != dtSerialWindow) {
        double minimum = 0, maximum = 0;
        TRangeRow row;
        if (FindRange(Code, row)) {
            GetRangeData(Code, Factor, Unit, minimum, maximum);
            Chart1->LeftAxis()->SetMinimum(minimum * 1.001);
            Chart1->LeftAxis()->SetMaximum(maximum * 1.001);
        }
    }
    Chart1->LeftAxis()->Title()->SetCaption(Unit);
    Chart1->BottomAxis()->Title()->SetCaption("Time sek.");
    Chart1->Title()->Text()->Clear();
    Chart1->Title()->Text()->Add("--" + Model + "--");
    Minwert->SetText("0.00" + Unit);
    Maxwert->SetText("0.00" + Unit);
}

void TMainForm::b_StartClick(TObject*) {
    b_Start->SetEnabled(false);
    if (DeviceType < dtSerialWindow) {
        if (MainUsb().Open() != TUsbResult::Opened) ConverterMissing(Error_1);
    } else {
        FoCom->ComPort1->Close();
        FoCom->ComPort1->Open();
        SetupChart(ModelText, DeviceType, RangeCode, RangeFactor, UnitText);
        C_CPM_EF& cpm = MainCpm();
        FillLiveSetup(cpm, DeviceType, RangeCode);
        cpm.WriteSetup();
        Sleep(500);
        double value = 0;
        cpm.ReadDisplay(value, UnitText);
    }
    StopSampling = false;
    RunMeasureLoop(ModelText, DeviceType, RangeCode, UnitText);
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

    auto figure = [&Unit](double v) { return FloatToStrF(v, ffFixed, 4, 2) + Unit; };
    while (!StopSampling) {
        const uint32_t t0 = GetTickCount();
        const TLiveReading r = TakeLiveReading(MainUsb(), MainCpm(), Type);
        const double value = r.Raw * RangeFactor;
        // The no-value mark is no reading: the curve gets a gap, not a spike.
        if (r.NoValue)
            Series1->AddNullXY(SampleTime, 0);
        else
            Series1->AddXY(SampleTime, value, "", clBlack);
        SampleTime += dt;
        if (w <= SampleTime) {
            bottom->SetMaximum(SampleTime);
            bottom->SetMinimumOffset(static_cast<int>(10 * std::trunc(w - SampleTime)));
        }
        if (value > PosMax && value > 0) {
            PosMax = value;
            Maxwert->SetText(r.Raw > r.Threshold ? AnsiString("OVERFLOW !") : figure(PosMax));
        }
        if (value < NegMax && value < 0) {
            NegMax = value;
            Minwert->SetText(r.Raw < -r.Threshold ? AnsiString("OVERFLOW !") : figure(NegMax));
        }
        Messwert->SetText(r.Raw < -r.Threshold || r.Raw > r.Threshold ? AnsiString("OVERFLOW !")
                                                                      : figure(value));
        Update();
        for (;;) {
            const uint32_t elapsed = GetTickCount() - t0;
            Application->ProcessMessages();
            Sleep(1);
            if (elapsed >= static_cast<uint32_t>(Sampling_time_Chart)) break;
        }
    }
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
        Series1->Clear();
        ResetBottomAxis();
        SampleTime = 0;
        ClearChartOnReset = false;
    }
    Minwert->SetText("0.00" + UnitText);
    Messwert->SetText("0.00" + UnitText);
    Maxwert->SetText("0.00" + UnitText);
}

void TMainForm::b_CancelClick(TObject*) {
    View->SetEnabled(true);
    b_Start->SetEnabled(true);
    Device->SetEnabled(true);
    StopSampling = true;
    ImageWallpaper->Show();
    image_Manufac_Logo->Hide();
    Chart1->Hide();
    GroupBox1->Hide();
    TeeCommander1->Hide();
    NegMax = NoReading;
    PosMax = -NoReading;
    Series1->Clear();
    ResetBottomAxis();
    Minwert->SetText("");
    Messwert->SetText("");
    Maxwert->SetText("");
}
