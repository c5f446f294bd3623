#pragma once
// A stand-in for libusb 0.1, linked only into the tests: the same usb_*
// functions on the real usb.h structures, simulating busses, devices and the
// converter's vendor request. Tests script it through FakeUsb.
#include <cstdint>
#include <deque>
#include <vector>

namespace FakeUsb {

// One scripted answer of usb_control_msg: the result and the bytes copied.
struct TReply {
    int Result;
    std::vector<uint8_t> Bytes;
};

struct TLastControl {
    int RequestType = -1, Request = -1, Value = -1, Index = -1, Size = -1, Timeout = -1;
};

// Forgets every bus, device, handle and script (handles given out stay valid
// memory, marked closed).
void Reset();
// Adds a bus; returns its index.
int AddBus();
// Adds a device with the given identity to a bus.
void AddDevice(int bus, int vendor, int product);
// The converter on a bus (vendor 0x16C0, product 0x2B5C).
void AddConverter(int bus);

void SetConfigurationResult(int result);
void SetClaimResult(int result);
// Replies consumed in order; when none is queued the converter answers with
// the raw count of SetDefaultRaw (8 bytes).
void QueueReply(int result, std::vector<uint8_t> bytes);
void QueueRaw(int raw);
void SetDefaultRaw(int raw);

int OpenCount();
int CloseCount();
int ControlCount();
int OpenHandles();
// Bus index of the device opened last, -1 when none.
int LastOpenedBus();
TLastControl LastControl();

} // namespace FakeUsb
