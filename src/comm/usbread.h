#pragma once
// The USB analogue-to-digital converter of the field meters: CAD_wandler finds,
// opens and reads the device through libusb 0.1; USB takes single and averaged
// samples in millivolts. All converter objects share one device handle.
#include <cstdint>

// What the converter's operations return. A sample that was read returns its
// byte count (2 to 8) instead.
enum class TUsbResult : int {
    NoConverter = 0, // not found, or its configuration or interface refused
    Opened = 1,
    TransferFailed = -2, // the control read failed or was too short to decode
};

class CAD_wandler {
public:
    static constexpr int VendorId = 0x16C0;
    static constexpr int ProductId = 0x2B5C;

    virtual ~CAD_wandler() = default;
    // Opened when the converter was found, configured and claimed.
    TUsbResult OpenDevice();
    // Vendor control read on the shared handle: bytes read, or a negative error
    // (also when no device is open).
    int ControlRead(int request, int value, int index, char* buffer, int size);
};

class USB {
public:
    // Value marking "no reading" (and overflow) for the windows.
    static constexpr double NoValue = 9999.0;

    int State = 0;
    CAD_wandler Wandler;

    TUsbResult Open();
    // One sample: its byte count; NoConverter or TransferFailed with the
    // output untouched.
    int ReadOnce(double& millivolts);
    // Mean of Average_U pairs of samples (Delta_U bounds a pair's difference);
    // NoValue when no pair could be read. Returns the last ReadOnce result.
    int ReadAveraged(double& millivolts);

    // Decoding of the two reply bytes: sign-and-magnitude 10-bit counts.
    static double DecodeMillivolts(uint8_t low, uint8_t high);
};
