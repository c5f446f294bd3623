#pragma once
// A stand-in for libusb 0.1, linked only into the tests: the same usb_*
// functions on the real usb.h structures, simulating busses, devices and the
// converter's vendor request. Tests script it through FakeUsb.
#include <cstdint>
#include <vector>

namespace FakeUsb {

// One scripted answer of usb_control_msg: the result and the bytes copied.
struct TReply {
    int Result;
    std::vector<uint8_t> Bytes;
};

struct TControl {
    int RequestType = -1, Request = -1, Value = -1, Index = -1, Size = -1, Timeout = -1;
};

// What the program asked of the library since the last Reset.
struct TLog {
    int Opens = 0, Controls = 0;
    int LastBus = -1; // bus index of the device opened last
    TControl Last;
};

// Forgets every bus, device, handle and script (handles given out stay valid
// memory, marked closed).
void Reset();
// Adds a bus; returns its index.
int AddBus();
// Adds a device to a bus; by default the converter.
void AddDevice(int bus, int vendor = 0x16C0, int product = 0x2B5C);

void SetConfigurationResult(int result);
void SetClaimResult(int result);
// Replies consumed in order; when none is queued the converter answers with
// the raw count of SetDefaultRaw (8 bytes).
void QueueReply(const TReply& reply);
TReply RawReply(int raw);
void SetDefaultRaw(int raw);

int OpenHandles();
const TLog& Log();

} // namespace FakeUsb
