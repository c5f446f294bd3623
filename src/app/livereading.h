#pragma once
// What the chart view and the large-figure display share of a live reading:
// the plate monitor's set-up for its live modes, one reading with its retry,
// the sampling loop with the maxima, and the notice when the converter is
// missing.
#include "platform/rtl/ansistring.h"
#include <cstdint>
#include <functional>

class USB;
class C_CPM_EF;
class TMemo;

// Thresholds of an unscaled reading: volts of the converter (1 V is full
// scale) and the plate monitor's display (9999 marks overflow).
constexpr double ConverterThreshold = 1.02;
constexpr double CpmThreshold = 9998.0;

struct TLiveReading {
    double Raw = 0;
    double Threshold = 0;
    // The instrument's no-value mark: nothing to draw.
    bool NoValue = false;
};

// Set-up words 3..11 of the plate monitor for the live mode of a device type
// (101 to 103) and range code (40 to 63).
void FillLiveSetup(C_CPM_EF& Cpm, int DeviceType, int RangeCode);
// The live set-up sent, 500 ms for the instrument to take it, and one display
// read whose unit becomes Unit.
void SendLiveSetup(C_CPM_EF& Cpm, int DeviceType, int RangeCode, AnsiString& Unit);
// One reading of the converter (device type below 100) or the plate monitor;
// a reading whose whole part lies beyond the threshold is taken once more
// after 10 ms, and the second one is used whatever it is.
TLiveReading TakeLiveReading(USB& Usb, C_CPM_EF& Cpm, int DeviceType);

// One cycle's reading as a window shows it.
struct TLiveSample {
    uint32_t Tick = 0; // the tick count when the cycle began
    TLiveReading Reading;
    double Value = 0; // scaled by the range's factor
    // The current figure reads "OVERFLOW !".
    bool Overflow = false;
};

// How a window ends a cycle once its figures are set.
enum class TLiveWait {
    // Repaint, then wait until the period has passed, the messages handled
    // every millisecond (the chart).
    Pumping,
    // Messages handled once, a wait until more than the period has passed
    // with none handled, then messages, repaint, messages (the display).
    Holding,
};

// A window's sampling loop: what it reads, how it waits and shows.
struct TLiveLoop {
    USB& Usb;
    C_CPM_EF& Cpm;
    int DeviceType;
    const double& RangeFactor;
    const int& Period;             // milliseconds
    std::function<bool()> Stopped; // asked before every cycle
    double& PosMax;
    double& NegMax;
    TLiveWait Wait;
    // The plate monitor's figure reads "OVERFLOW !" only for its no-value
    // mark, not for any reading beyond the threshold.
    bool OverflowOnlyAtMark = false;
    std::function<void(const TLiveSample&)> ShowReading;
    // A new maximum; Overflow when its reading lay beyond the threshold.
    std::function<void(bool Positive, double Maximum, bool Overflow)> ShowMaximum;
    std::function<void()> Repaint;
};

// Reads, shows and waits until the window says it has stopped.
void RunLiveLoop(const TLiveLoop& Loop);

// Shows the notice, lets it be drawn, waits 5 s and ends the process with -1.
[[noreturn]] void ConverterMissing(TMemo* Notice);
// The notice's lines.
void FillConverterNotice(TMemo* Notice);
