#pragma once
// The windows as the instrument code sees them, recorded for the tests, and a
// fixture that opens the real TComPort on a simulator's pseudo-terminal under
// the simulator clock.
#include "comm/commhost.h"
#include "comm/comport.h"
#include "platform/win32/commapi.h"
#include "platform/win32/mainthread.h"
#include "support/serial_sim.h"
#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>
#include <vector>

class TFakeSeries : public TCommSeriesSink {
public:
    struct TPoint {
        double X, Y;
        uint32_t Colour;
    };
    std::vector<TPoint> Points;
    void Clear() override { Points.clear(); }
    void AddY(double y, uint32_t colour) override {
        Points.push_back({static_cast<double>(Points.size()), y, colour});
    }
    void AddXY(double x, double y, uint32_t colour) override { Points.push_back({x, y, colour}); }
};

// A timer the test fires by hand.
class TFakeTimer : public TCommTimer {
public:
    int Interval = 0;
    bool On = false;
    int Restarts = 0;
    void SetInterval(int ms) override { Interval = ms; }
    void SetEnabled(bool on) override {
        if (on && !On) ++Restarts;
        On = on;
    }
    bool Enabled() const override { return On; }
    void Fire() {
        if (On && OnTimer) OnTimer();
    }
};

class TFakeCommHost : public TCommHost {
public:
    struct TBox {
        AnsiString Text, Caption;
        TCommBoxButtons Buttons;
        TCommBoxIcon Icon;
    };

    int Average = 1, Device = 0;
    bool Version610 = false, Test = false;
    AnsiString DataDirectory;
    TComPort* Port = nullptr;
    std::vector<TBox> Boxes;
    std::deque<TCommBoxResult> Answers; // crOK when none is queued
    std::vector<AnsiString> DialogFolders;
    AnsiString SaveAs; // empty: the dialog is cancelled
    std::vector<AnsiString> Memo;
    int MemoFontSize = 0;
    std::vector<AnsiString> OffsetCaptions, OffsetLabels;
    TFakeSeries Series[6];
    int ChartHides = 0, Pumps = 0, IdentityReads = 0;
    std::function<void()> OnPump, OnReadIdentity, OnBox;
    AnsiString IniPath = "SETUP.INI";

    int Average_U() override { return Average; }
    bool CPM_Version610() override { return Version610; }
    int DeviceType() override { return Device; }
    bool TestOutput() override { return Test; }
    AnsiString CPM_DataDirectory() override { return DataDirectory; }
    void SetCPM_DataDirectory(const AnsiString& d) override { DataDirectory = d; }
    void ReadCPMIdentity() override {
        ++IdentityReads;
        if (OnReadIdentity) OnReadIdentity();
    }
    void SetGroupBoxOffsetCaption(const AnsiString& c) override { OffsetCaptions.push_back(c); }
    void SetLabelOffsetCaption(const AnsiString& c) override { OffsetLabels.push_back(c); }
    void ClearMemoDisplay() override { Memo.clear(); }
    void SetMemoDisplayFontSize(int size) override { MemoFontSize = size; }
    void AddMemoDisplayLine(const AnsiString& line) override { Memo.push_back(line); }
    TCommSeriesSink* ChartSeries(int n) override {
        return n >= 1 && n <= 6 ? &Series[n - 1] : nullptr;
    }
    void HideChartWindow() override { ++ChartHides; }
    void ProcessMessages() override {
        ++Pumps;
        if (OnPump) OnPump();
    }
    TCommBoxResult MessageBox(const AnsiString& text, const AnsiString& caption,
                              TCommBoxButtons buttons, TCommBoxIcon icon) override {
        Boxes.push_back({text, caption, buttons, icon});
        if (OnBox) OnBox();
        if (Answers.empty()) return crOK;
        const TCommBoxResult r = Answers.front();
        Answers.pop_front();
        return r;
    }
    bool ExecuteSaveDialog(const AnsiString& folder, AnsiString& fileName) override {
        DialogFolders.push_back(folder);
        fileName = SaveAs;
        return !SaveAs.IsEmpty();
    }
    AnsiString SetupIniPath() override { return IniPath; }
    TComPort* ComPort() override { return Port; }
    std::unique_ptr<TCommTimer> CreateTimer() override {
        auto timer = std::make_unique<TFakeTimer>();
        Timers.push_back(timer.get());
        return timer;
    }
    void SetControlColor(TComponent*, uint32_t colour) override { LampColour = colour; }
    std::vector<TFakeTimer*> Timers;
    uint32_t LampColour = 1;
};

// Threads of this process now.
inline int ThreadCount() {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/task"))
        ++n;
    return n;
}

// A joined thread can linger in /proc for a moment after its join returns: the
// count once it reached Expected, or after ten seconds (long enough for a busy
// machine) the count as it stands.
inline int SettledThreadCount(int Expected) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ThreadCount() != Expected && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return ThreadCount();
}

// Runs calls handed to the main thread until cond holds (or ten seconds passed).
template <typename F> bool PumpUntil(F cond) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!cond() && std::chrono::steady_clock::now() < end) {
        CheckSynchronize();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return cond();
}

// A temporary folder for the files a test writes; removed afterwards.
class TTempFolder {
public:
    TTempFolder() {
        static int counter = 0;
        FPath = std::filesystem::temp_directory_path() /
                ("qm_comm_" + std::to_string(::getpid()) + "_" + std::to_string(++counter));
        std::filesystem::create_directories(FPath);
    }
    ~TTempFolder() { std::filesystem::remove_all(FPath); }
    AnsiString File(const std::string& name) const { return (FPath / name).string(); }
    AnsiString Folder() const { return (FPath.string() + "/"); }

private:
    std::filesystem::path FPath;
};

// The real port on the simulator's line, the fake windows and the simulator
// clock (sleeps cost no time but let the simulator answer first).
template <typename TSim> class InstrumentTest : public ::testing::Test {
protected:
    InstrumentTest() {
        Time.Clock.Attach(&Sim);
        Port.SetDeviceName(Sim.Path().c_str());
        Port.SetBaudRate(br2400);
        Port.SetDataBits(db8);
        // Short read time-outs keep a silent instrument cheap in real time.
        Port.Timeouts()->SetReadInterval(100);
        Port.Timeouts()->SetReadConstant(150);
        Port.Timeouts()->SetWriteConstant(1000);
        Port.Open();
        Host.Port = &Port;
        Previous = SetCommHost(&Host);
    }
    ~InstrumentTest() override {
        SetCommHost(Previous);
        Time.Clock.Detach(&Sim);
    }
    template <typename Fn> AnsiString ErrorOf(Fn fn) {
        try {
            fn();
        } catch (const Exception& e) {
            return e.Message;
        }
        return "(no exception)";
    }

    TSim Sim;
    TSimClockScope Time;
    TComPort Port{nullptr};
    TFakeCommHost Host;
    TCommHost* Previous = nullptr;
};
