#include "support/fake_usb.h"
#include <algorithm>
#include <cstring>
#include <cstdio>
#include <usb.h>

struct usb_dev_handle {
    struct usb_device* Device = nullptr;
    bool Open = false;
};

struct usb_bus* usb_busses = nullptr;

namespace {
struct TState {
    std::deque<usb_bus> Busses;
    std::deque<struct usb_device> Devices;
    std::deque<usb_dev_handle> Handles; // never freed, so stale handles stay readable
    std::deque<FakeUsb::TReply> Replies;
    int ConfigResult = 0, ClaimResult = 0, DefaultRaw = 0;
    int Opens = 0, Closes = 0, Controls = 0, LastBus = -1;
    FakeUsb::TLastControl Last;
};

TState& S() {
    static TState state;
    return state;
}

void Relink() {
    TState& s = S();
    usb_bus* prev = nullptr;
    for (auto& bus : s.Busses) {
        bus.prev = prev;
        bus.next = nullptr;
        if (prev) prev->next = &bus;
        prev = &bus;
    }
}
} // namespace

namespace FakeUsb {

void Reset() {
    TState& s = S();
    for (auto& h : s.Handles)
        h.Open = false;
    s.Busses.clear();
    s.Devices.clear();
    s.Replies.clear();
    s.ConfigResult = s.ClaimResult = s.DefaultRaw = 0;
    s.Opens = s.Closes = s.Controls = 0;
    s.LastBus = -1;
    s.Last = {};
    usb_busses = nullptr;
}

int AddBus() {
    TState& s = S();
    s.Busses.emplace_back();
    usb_bus& bus = s.Busses.back();
    std::memset(&bus, 0, sizeof bus);
    std::snprintf(bus.dirname, sizeof bus.dirname, "%03d", static_cast<int>(s.Busses.size()));
    bus.location = static_cast<uint32_t>(s.Busses.size());
    Relink();
    return static_cast<int>(s.Busses.size()) - 1;
}

void AddDevice(int busIndex, int vendor, int product) {
    TState& s = S();
    usb_bus& bus = s.Busses.at(busIndex);
    s.Devices.emplace_back();
    struct usb_device& dev = s.Devices.back();
    std::memset(&dev, 0, sizeof dev);
    dev.bus = &bus;
    dev.descriptor.idVendor = static_cast<uint16_t>(vendor);
    dev.descriptor.idProduct = static_cast<uint16_t>(product);
    dev.devnum = static_cast<uint8_t>(s.Devices.size());
    struct usb_device** tail = &bus.devices;
    struct usb_device* prev = nullptr;
    while (*tail) {
        prev = *tail;
        tail = &(*tail)->next;
    }
    dev.prev = prev;
    *tail = &dev;
}

void AddConverter(int bus) {
    AddDevice(bus, 0x16C0, 0x2B5C);
}
void SetConfigurationResult(int result) {
    S().ConfigResult = result;
}
void SetClaimResult(int result) {
    S().ClaimResult = result;
}
void QueueReply(int result, std::vector<uint8_t> bytes) {
    S().Replies.push_back({result, std::move(bytes)});
}
void QueueRaw(int raw) {
    QueueReply(8, {static_cast<uint8_t>(raw & 0xFF), static_cast<uint8_t>((raw >> 8) & 0xFF), 0, 0,
                   0, 0, 0, 0});
}
void SetDefaultRaw(int raw) {
    S().DefaultRaw = raw;
}
int OpenCount() {
    return S().Opens;
}
int CloseCount() {
    return S().Closes;
}
int ControlCount() {
    return S().Controls;
}
int OpenHandles() {
    return static_cast<int>(std::count_if(S().Handles.begin(), S().Handles.end(),
                                          [](const usb_dev_handle& h) { return h.Open; }));
}
int LastOpenedBus() {
    return S().LastBus;
}
TLastControl LastControl() {
    return S().Last;
}

} // namespace FakeUsb

extern "C" {

void usb_init(void) {}

int usb_find_busses(void) {
    usb_busses = S().Busses.empty() ? nullptr : &S().Busses.front();
    return static_cast<int>(S().Busses.size());
}

int usb_find_devices(void) {
    return static_cast<int>(S().Devices.size());
}

struct usb_bus* usb_get_busses(void) {
    return usb_busses;
}

usb_dev_handle* usb_open(struct usb_device* dev) {
    TState& s = S();
    ++s.Opens;
    s.Handles.emplace_back();
    s.Handles.back().Device = dev;
    s.Handles.back().Open = true;
    s.LastBus = -1;
    for (size_t i = 0; i < s.Busses.size(); ++i)
        if (dev && dev->bus == &s.Busses[i]) s.LastBus = static_cast<int>(i);
    return &s.Handles.back();
}

int usb_close(usb_dev_handle* dev) {
    ++S().Closes;
    if (!dev || !dev->Open) return -1;
    dev->Open = false;
    return 0;
}

int usb_set_configuration(usb_dev_handle* dev, int configuration) {
    if (!dev || !dev->Open || configuration != 1) return -1;
    return S().ConfigResult;
}

int usb_claim_interface(usb_dev_handle* dev, int interface) {
    if (!dev || !dev->Open || interface != 0) return -1;
    return S().ClaimResult;
}

int usb_control_msg(usb_dev_handle* dev, int requesttype, int request, int value, int index,
                    char* bytes, int size, int timeout) {
    TState& s = S();
    ++s.Controls;
    s.Last = {requesttype, request, value, index, size, timeout};
    if (!dev || !dev->Open) return -19;                  // no such device
    if (requesttype != 0xC0 || request != 5) return -32; // stalled: unknown request
    FakeUsb::TReply reply{8, {}};
    if (!s.Replies.empty()) {
        reply = s.Replies.front();
        s.Replies.pop_front();
    } else {
        reply.Bytes = {static_cast<uint8_t>(s.DefaultRaw & 0xFF),
                       static_cast<uint8_t>((s.DefaultRaw >> 8) & 0xFF),
                       0,
                       0,
                       0,
                       0,
                       0,
                       0};
    }
    const int n = std::min<int>(size, static_cast<int>(reply.Bytes.size()));
    if (n > 0) std::memcpy(bytes, reply.Bytes.data(), static_cast<size_t>(n));
    return reply.Result;
}

} // extern "C"
