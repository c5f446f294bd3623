#pragma once
// What the instrument code needs of the operator's windows: the main window's
// measurement settings, the plate-monitor windows' memo, labels and six chart
// series, ReadCPMIdentity, message boxes, the save dialog, the message pump and
// the one serial port. The windows install a TCommHost at start-up; tests
// install fakes. comm/ never includes a window or the chart library.
#include "platform/rtl/ansistring.h"
#include <cstdint>
#include <functional>
#include <memory>

class TComPort;
class TComponent;

enum TCommBoxButtons { cbOK, cbOKCancel, cbRetryCancel };
enum TCommBoxIcon { ciNone, ciInformation, ciExclamation, ciStop };
enum TCommBoxResult { crOK, crCancel, crRetry };

// One line series of the plate-monitor chart window, reduced to what the decay
// test does with it. Colours are the platform's BGR colour values.
class TCommSeriesSink {
public:
    static constexpr uint32_t Black = 0x000000;
    static constexpr uint32_t Red = 0x0000FF;
    static constexpr uint32_t Green = 0x008000;
    static constexpr uint32_t Yellow = 0x00FFFF;
    static constexpr uint32_t Blue = 0xFF0000;

    virtual ~TCommSeriesSink() = default;
    virtual void Clear() = 0;
    virtual void AddY(double y, uint32_t colour) = 0;
    virtual void AddXY(double x, double y, uint32_t colour) = 0;
};

// A timer that fires on the user-interface thread (the forms' timer).
class TCommTimer {
public:
    virtual ~TCommTimer() = default;
    virtual void SetInterval(int ms) = 0;
    virtual void SetEnabled(bool on) = 0;
    virtual bool Enabled() const = 0;
    std::function<void()> OnTimer;
};

class TCommHost {
public:
    virtual ~TCommHost() = default;

    // Settings of the main window (TMainForm), read live on every use.
    virtual int Delta_U() { return 200; }
    virtual int Average_U() { return 1; }
    virtual bool CPM_Version610() { return false; }
    virtual void SetCPM_Version610(bool) {}
    virtual int DeviceType() { return 0; }
    virtual bool TestOutput() { return false; }
    virtual AnsiString CPM_DataDirectory() { return ""; }
    virtual void SetCPM_DataDirectory(const AnsiString&) {}

    // The plate-monitor window's identity read ("r0" on that window's object).
    virtual void ReadCPMIdentity() {}
    // Plate-monitor window controls.
    virtual void SetGroupBoxOffsetCaption(const AnsiString&) {}
    virtual void SetLabelOffsetCaption(const AnsiString&) {}
    virtual void ClearMemoDisplay() {}
    virtual void SetMemoDisplayFontSize(int) {}
    virtual void AddMemoDisplayLine(const AnsiString&) {}
    // Series1..Series6 of the decay-chart window; nullptr when there is none.
    virtual TCommSeriesSink* ChartSeries(int) { return nullptr; }
    virtual void HideChartWindow() {}

    // Application services.
    virtual void ProcessMessages() {}
    virtual TCommBoxResult MessageBox(const AnsiString& text, const AnsiString& caption,
                                      TCommBoxButtons buttons, TCommBoxIcon icon);
    // The save dialog of the serial form; false when cancelled.
    virtual bool ExecuteSaveDialog(const AnsiString& initialDir, AnsiString& fileName);
    // SETUP.INI beside the program.
    virtual AnsiString SetupIniPath();

    // ComPort1 of the serial form; nullptr when there is none.
    virtual TComPort* ComPort() { return nullptr; }

    // For the signal component: a timer, and the colour of a control.
    virtual std::unique_ptr<TCommTimer> CreateTimer();
    virtual void SetControlColor(TComponent*, uint32_t) {}
};

// The host in use: the one installed, or a silent default.
TCommHost& CommHost();
// Installs a host (nullptr restores the default); returns the previous one.
TCommHost* SetCommHost(TCommHost* host);
