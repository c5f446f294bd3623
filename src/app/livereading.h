#pragma once
// What the chart view and the large-figure display share of a live reading:
// the plate monitor's set-up for its live modes, one reading with its retry,
// and the notice when the converter is missing.
#include "platform/rtl/ansistring.h"

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
// One reading of the converter (device type below 100) or the plate monitor;
// a reading whose whole part lies beyond the threshold is taken once more
// after 10 ms, and the second one is used whatever it is.
TLiveReading TakeLiveReading(USB& Usb, C_CPM_EF& Cpm, int DeviceType);
// Shows the notice, lets it be drawn, waits 5 s and ends the process with -1.
[[noreturn]] void ConverterMissing(TMemo* Notice);
// The notice's lines.
void FillConverterNotice(TMemo* Notice);
