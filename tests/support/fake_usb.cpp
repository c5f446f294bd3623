#include "support/fake_usb.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>
#include <usb.h>

struct usb_dev_handle {
    struct usb_device* Device = nullptr;
};

struct usb_bus* usb_busses = nullptr;

namespace {
struct TState {
    std::deque<usb_bus> Busses;
    std::deque<struct usb_device> Devices;
    // Open handles; a closed one is freed, and a stale one is told from a live
    // one by this list before it is looked at.
    std::vector<std::unique_ptr<usb_dev_handle>> Handles;
    std::deque<FakeUsb::TReply> Replies;
    int ConfigResult = 0, ClaimResult = 0, DefaultRaw = 0;
    FakeUsb::TLog Log;
};

TState& S() {
    static TState state;
    return state;
}

bool Live(const usb_dev_handle* dev) {
    const auto& h = S().Handles;
    return dev && std::any_of(h.begin(), h.end(), [dev](const auto& p) { return p.get() == dev; });
}
} // namespace

namespace FakeUsb {

void Reset() {
    TState& s = S();
    s.Handles.clear();
    s.Busses.clear();
    s.Devices.clear();
    s.Replies.clear();
    s.ConfigResult = s.ClaimResult = s.DefaultRaw = 0;
    s.Log = {};
    usb_busses = nullptr;
}

int AddBus() {
    TState& s = S();
    usb_bus& bus = s.Busses.emplace_back();
    std::memset(&bus, 0, sizeof bus);
    std::snprintf(bus.dirname, sizeof bus.dirname, "%03d", static_cast<int>(s.Busses.size()));
    bus.location = static_cast<uint32_t>(s.Busses.size());
    if (s.Busses.size() > 1) {
        usb_bus& before = s.Busses[s.Busses.size() - 2];
        before.next = &bus;
        bus.prev = &before;
    }
    return static_cast<int>(s.Busses.size()) - 1;
}

void AddDevice(int busIndex, int vendor, int product) {
    TState& s = S();
    usb_bus& bus = s.Busses.at(busIndex);
    struct usb_device& dev = s.Devices.emplace_back();
    std::memset(&dev, 0, sizeof dev);
    dev.bus = &bus;
    dev.descriptor.idVendor = static_cast<uint16_t>(vendor);
    dev.descriptor.idProduct = static_cast<uint16_t>(product);
    dev.devnum = static_cast<uint8_t>(s.Devices.size());
    struct usb_device** tail = &bus.devices;
    while (*tail) {
        dev.prev = *tail;
        tail = &(*tail)->next;
    }
    *tail = &dev;
}

void SetConfigurationResult(int result) {
    S().ConfigResult = result;
}
void SetClaimResult(int result) {
    S().ClaimResult = result;
}
void QueueReply(const TReply& reply) {
    S().Replies.push_back(reply);
}
TReply RawReply(int raw) {
    return {8,
            {static_cast<uint8_t>(raw & 0xFF), static_cast<uint8_t>((raw >> 8) & 0xFF), 0, 0, 0, 0,
             0, 0}};
}
void SetDefaultRaw(int raw) {
    S().DefaultRaw = raw;
}
int OpenHandles() {
    return static_cast<int>(S().Handles.size());
}
const TLog& Log() {
    return S().Log;
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
    ++s.Log.Opens;
    s.Handles.push_back(std::make_unique<usb_dev_handle>(usb_dev_handle{dev}));
    s.Log.LastBus = -1;
    for (size_t i = 0; i < s.Busses.size(); ++i)
        if (dev && dev->bus == &s.Busses[i]) s.Log.LastBus = static_cast<int>(i);
    return s.Handles.back().get();
}

int usb_close(usb_dev_handle* dev) {
    if (!Live(dev)) return -1;
    auto& h = S().Handles;
    h.erase(std::find_if(h.begin(), h.end(), [dev](const auto& p) { return p.get() == dev; }));
    return 0;
}

int usb_set_configuration(usb_dev_handle* dev, int configuration) {
    if (!Live(dev) || configuration != 1) return -1;
    return S().ConfigResult;
}

int usb_claim_interface(usb_dev_handle* dev, int interface) {
    if (!Live(dev) || interface != 0) return -1;
    return S().ClaimResult;
}

int usb_control_msg(usb_dev_handle* dev, int requesttype, int request, int value, int index,
                    char* bytes, int size, int timeout) {
    TState& s = S();
    ++s.Log.Controls;
    s.Log.Last = {requesttype, request, value, index, size, timeout};
    if (!Live(dev)) return -19;                          // no such device
    if (requesttype != 0xC0 || request != 5) return -32; // stalled: unknown request
    FakeUsb::TReply reply = FakeUsb::RawReply(s.DefaultRaw);
    if (!s.Replies.empty()) {
        reply = s.Replies.front();
        s.Replies.pop_front();
    }
    const int n = std::min<int>(size, static_cast<int>(reply.Bytes.size()));
    if (n > 0) std::memcpy(bytes, reply.Bytes.data(), static_cast<size_t>(n));
    return reply.Result;
}

} // extern "C"
