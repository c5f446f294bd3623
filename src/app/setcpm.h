#pragma once
// The plate monitor's set-up and decay-test window, and its identity read.
#include "app/instrumentform.h"
#include "platform/forms/stdctrls.h"

class C_CPM_EF;

class TCPMSetup : public TInstrumentForm {
    QM_CLASS(TCPMSetup)
public:
    explicit TCPMSetup(TComponent* AOwner);
    TMemo* MemoDisplay;
};

extern TCPMSetup* CPMSetup;

// The window's own plate-monitor object.
C_CPM_EF& SetupCpm();
// "r0" on the window's object: notes whether the plate monitor runs version
// 6.10 and keeps its version, serial number and calibration date.
void ReadCPMIdentity();
// What the last identity read gave (the date as dd-mm-20yy).
struct TCpmIdentity {
    AnsiString Version, Serial, Date;
};
const TCpmIdentity& CpmIdentity();
