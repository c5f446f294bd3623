#include "app/livereading.h"
#include "comm/seriell_cpm.h"
#include "comm/usbread.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/sysutils.h"
#include <cmath>

void FillLiveSetup(C_CPM_EF& Cpm, int DeviceType, int RangeCode) {
    const int index = RangeCode >= 60   ? RangeCode - 60
                      : RangeCode >= 50 ? RangeCode - 50
                      : RangeCode >= 40 ? RangeCode - 40
                                        : RangeCode;
    auto& w = Cpm._struct_setup;
    w[7] = "50";
    w[8] = "9";
    w[9] = w[10] = w[11] = "1";
    if (DeviceType == 103) {
        w[3] = "2";
        w[4] = "0";
    } else {
        w[3] = "1";
        w[4] = DeviceType == 101 ? "1" : "0";
    }
    w[5] = w[6] = IntToStr(index);
}

void SendLiveSetup(C_CPM_EF& Cpm, int DeviceType, int RangeCode, AnsiString& Unit) {
    FillLiveSetup(Cpm, DeviceType, RangeCode);
    Cpm.WriteSetup();
    Sleep(500);
    double value = 0;
    Cpm.ReadDisplay(value, Unit);
}

namespace {
void ReadOnce(USB& Usb, C_CPM_EF& Cpm, int DeviceType, TLiveReading& r) {
    if (DeviceType < 100) {
        double mv = USB::NoValue;
        Usb.ReadAveraged(mv);
        r.NoValue = mv == USB::NoValue;
        r.Raw = mv * 0.001;
    } else {
        AnsiString unit;
        double value = C_CPM_EF::NoValue;
        Cpm.ReadDisplay(value, unit);
        r.NoValue = value == C_CPM_EF::NoValue;
        r.Raw = value;
    }
}
} // namespace

TLiveReading TakeLiveReading(USB& Usb, C_CPM_EF& Cpm, int DeviceType) {
    TLiveReading r;
    r.Threshold = DeviceType < 100 ? ConverterThreshold : CpmThreshold;
    ReadOnce(Usb, Cpm, DeviceType, r);
    if (std::fabs(std::trunc(r.Raw)) > r.Threshold) {
        Sleep(10);
        ReadOnce(Usb, Cpm, DeviceType, r);
    }
    return r;
}

namespace {
void EndCycle(const TLiveLoop& Loop, uint32_t Started) {
    const uint32_t period = static_cast<uint32_t>(Loop.Period);
    if (Loop.Wait == TLiveWait::Pumping) {
        Loop.Repaint();
        for (;;) {
            const uint32_t elapsed = GetTickCount() - Started;
            Application->ProcessMessages();
            Sleep(1);
            if (elapsed >= period) break;
        }
        return;
    }
    Application->ProcessMessages();
    // Sleeps rather than spins: the end condition is what counts.
    while (GetTickCount() - Started <= period)
        Sleep(1);
    Application->ProcessMessages();
    Loop.Repaint();
    Application->ProcessMessages();
}
} // namespace

void RunLiveLoop(const TLiveLoop& Loop) {
    while (!Loop.Stopped()) {
        TLiveSample s;
        s.Tick = GetTickCount();
        s.Reading = TakeLiveReading(Loop.Usb, Loop.Cpm, Loop.DeviceType);
        const TLiveReading& r = s.Reading;
        s.Value = r.Raw * Loop.RangeFactor;
        s.Overflow =
            Loop.OverflowOnlyAtMark ? r.NoValue : r.Raw < -r.Threshold || r.Raw > r.Threshold;
        Loop.ShowReading(s);
        if (s.Value > Loop.PosMax && s.Value > 0) {
            Loop.PosMax = s.Value;
            Loop.ShowMaximum(true, s.Value, r.Raw > r.Threshold);
        }
        if (s.Value < Loop.NegMax && s.Value < 0) {
            Loop.NegMax = s.Value;
            Loop.ShowMaximum(false, s.Value, r.Raw < -r.Threshold);
        }
        EndCycle(Loop, s.Tick);
    }
}

void FillConverterNotice(TMemo* Notice) {
    Notice->Lines()->Clear();
    Notice->Lines()->Add("Error occurred :");
    Notice->Lines()->Add("");
    Notice->Lines()->Add("USB ADC device not found !");
    Notice->Lines()->Add("Program aborted");
}

void ConverterMissing(TMemo* Notice) {
    Notice->Show();
    Notice->SetEnabled(true);
    Notice->BringToFront();
    Application->ProcessMessages();
    Sleep(5000);
    Halt(-1);
}
