#include "comm/usbread.h"
#include "comm/commhost.h"
#include "platform/rtl/clock.h"
#include <cmath>
#include <cstdlib>
#include <usb.h>

namespace {
usb_dev_handle* SharedHandle = nullptr;

constexpr int SampleRequest = 5;
constexpr int SampleLength = 8;
constexpr int RequestTypeVendorIn = 0xC0;
constexpr int TransferTimeoutMs = 1000;
constexpr double MillivoltsPerCount = 2.148;
constexpr uint32_t PairPauseMs = 20;
constexpr int PairTries = 3;
constexpr int MaxPasses = 21;
constexpr int NoDeviceError = -19; // the library's "no such device"
} // namespace

TUsbResult CAD_wandler::OpenDevice() {
    if (SharedHandle) usb_close(SharedHandle);
    SharedHandle = nullptr;

    usb_init();
    usb_find_busses();
    usb_find_devices();
    usb_bus* busses = usb_get_busses();
    if (!busses) return TUsbResult::NoConverter;

    struct usb_device* found = nullptr;
    for (usb_bus* bus = busses; bus && !found; bus = bus->next)
        for (struct usb_device* dev = bus->devices; dev; dev = dev->next)
            if (dev->descriptor.idVendor == VendorId && dev->descriptor.idProduct == ProductId) {
                found = dev;
                break;
            }
    if (!found) return TUsbResult::NoConverter;

    SharedHandle = usb_open(found);
    if (!SharedHandle) return TUsbResult::NoConverter;
    if (usb_set_configuration(SharedHandle, 1) != 0) return TUsbResult::NoConverter;
    return usb_claim_interface(SharedHandle, 0) == 0 ? TUsbResult::Opened : TUsbResult::NoConverter;
}

int CAD_wandler::ControlRead(int request, int value, int index, char* buffer, int size) {
    // The library dereferences the handle: without an open device there is
    // nothing to ask.
    if (!SharedHandle || !buffer || size < 0) return NoDeviceError;
    return usb_control_msg(SharedHandle, RequestTypeVendorIn, request, value, index, buffer, size,
                           TransferTimeoutMs);
}

double USB::DecodeMillivolts(uint8_t low, uint8_t high) {
    const int raw = low + 256 * high;
    const int counts = raw < 1024 ? raw : 1024 - raw;
    return counts * MillivoltsPerCount;
}

TUsbResult USB::Open() {
    return Wandler.OpenDevice();
}

int USB::ReadOnce(double& millivolts) {
    const TUsbResult opened = Wandler.OpenDevice();
    if (opened != TUsbResult::Opened) return static_cast<int>(opened);
    char buffer[SampleLength] = {};
    const int result = Wandler.ControlRead(SampleRequest, 0, 0, buffer, SampleLength);
    // Fewer than the two value bytes would decode whatever the buffer held.
    if (result < 2) return static_cast<int>(TUsbResult::TransferFailed);
    millivolts = DecodeMillivolts(static_cast<uint8_t>(buffer[0]), static_cast<uint8_t>(buffer[1]));
    return result;
}

int USB::ReadAveraged(double& millivolts) {
    TCommHost& host = CommHost();
    const int pairs = host.Average_U() < 1 ? 1 : host.Average_U();
    const int allowed = host.Delta_U();

    int last = 0;
    millivolts = NoValue;
    for (int pass = 1; pass <= MaxPasses && millivolts == NoValue; ++pass) {
        double sum = 0;
        int good = 0;
        for (int p = 0; p < pairs; ++p) {
            for (int tries = 1;; ++tries) {
                double first = 0, second = 0;
                Sleep(PairPauseMs);
                last = ReadOnce(first);
                if (last < 1) break;
                Sleep(PairPauseMs);
                last = ReadOnce(second);
                if (last < 1) break;
                const double d = std::trunc(first - second);
                if (std::fabs(d) > allowed && tries < PairTries) continue;
                sum += (first + second) * 0.5;
                ++good;
                break;
            }
        }
        // Pairs with a failed read are left out; none at all is no reading.
        millivolts = good > 0 ? sum / good : NoValue;
    }
    return last;
}
