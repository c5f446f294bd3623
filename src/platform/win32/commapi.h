#pragma once
// The Win32 communication calls on Linux terminal devices (termios, poll,
// flock). Handles are kernel handles of kernel.h. A transfer given an event
// runs on while the call returns (overlapped); the Windows time-outs
// (interval, multiplier, constant) are kept exactly against a deadline on the
// steady clock (or one a test installs).
// "COMn" stands for /dev/ttyS(n-1); an absolute path is used as given.
#include "platform/win32/kernel.h"
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr DWORD ERROR_INVALID_FUNCTION = 1;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_OPERATION_ABORTED = 995;
constexpr DWORD ERROR_IO_INCOMPLETE = 996;
constexpr DWORD ERROR_IO_PENDING = 997;
constexpr DWORD ERROR_DEVICE_NOT_CONNECTED = 1167;
constexpr DWORD ERROR_CANCELLED = 1223;

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000;

// Device control block; Flags holds the bit fields at their platform places.
struct DCB {
    DWORD DCBlength;
    DWORD BaudRate;
    DWORD Flags;
    WORD wReserved;
    WORD XonLim;
    WORD XoffLim;
    uint8_t ByteSize;
    uint8_t Parity;
    uint8_t StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    WORD wReserved1;
};
static_assert(sizeof(DCB) == 28);

constexpr DWORD fBinary = 0x1, fParity = 0x2, fOutxCtsFlow = 0x4, fOutxDsrFlow = 0x8,
                fDtrControlMask = 0x30, fDsrSensitivity = 0x40, fTXContinueOnXoff = 0x80,
                fOutX = 0x100, fInX = 0x200, fErrorChar = 0x400, fNull = 0x800,
                fRtsControlMask = 0x3000, fAbortOnError = 0x4000;
constexpr DWORD DTR_CONTROL_DISABLE = 0x00, DTR_CONTROL_ENABLE = 0x10, DTR_CONTROL_HANDSHAKE = 0x20;
constexpr DWORD RTS_CONTROL_DISABLE = 0x0000, RTS_CONTROL_ENABLE = 0x1000,
                RTS_CONTROL_HANDSHAKE = 0x2000, RTS_CONTROL_TOGGLE = 0x3000;
constexpr uint8_t NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3, SPACEPARITY = 4;
constexpr uint8_t ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2;

struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
    DWORD ReadTotalTimeoutMultiplier;
    DWORD ReadTotalTimeoutConstant;
    DWORD WriteTotalTimeoutMultiplier;
    DWORD WriteTotalTimeoutConstant;
};
constexpr DWORD MAXDWORD = 0xFFFFFFFF;

struct COMSTAT {
    DWORD Flags;
    DWORD cbInQue;
    DWORD cbOutQue;
};

struct COMMCONFIG {
    DWORD dwSize;
    WORD wVersion;
    WORD wReserved;
    DCB dcb;
    DWORD dwProviderSubType;
    DWORD dwProviderOffset;
    DWORD dwProviderSize;
    wchar_t wcProviderData[1];
};

constexpr DWORD PURGE_TXABORT = 0x1, PURGE_RXABORT = 0x2, PURGE_TXCLEAR = 0x4, PURGE_RXCLEAR = 0x8;
constexpr DWORD SETXOFF = 1, SETXON = 2, SETRTS = 3, CLRRTS = 4, SETDTR = 5, CLRDTR = 6,
                RESETDEV = 7, SETBREAK = 8, CLRBREAK = 9;
constexpr DWORD MS_CTS_ON = 0x10, MS_DSR_ON = 0x20, MS_RING_ON = 0x40, MS_RLSD_ON = 0x80;
constexpr DWORD CE_RXOVER = 0x1, CE_OVERRUN = 0x2, CE_RXPARITY = 0x4, CE_FRAME = 0x8,
                CE_BREAK = 0x10, CE_TXFULL = 0x100, CE_PTO = 0x200, CE_IOE = 0x400, CE_DNS = 0x800,
                CE_OOP = 0x1000, CE_MODE = 0x8000;
constexpr DWORD EV_RXCHAR = 0x1, EV_RXFLAG = 0x2, EV_TXEMPTY = 0x4, EV_CTS = 0x8, EV_DSR = 0x10,
                EV_RLSD = 0x20, EV_BREAK = 0x40, EV_ERR = 0x80, EV_RING = 0x100, EV_PERR = 0x200,
                EV_RX80FULL = 0x400, EV_EVENT1 = 0x800, EV_EVENT2 = 0x1000;

// Opens a serial device ("\\.\" prefix optional) exclusively, in raw mode, 8N1.
// INVALID_HANDLE_VALUE with the last error set on failure; ERROR_ACCESS_DENIED
// when another handle holds the port.
HANDLE CreateFileA(const char* lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   void* lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
// The device path a port name stands for; empty when the name is no port name.
std::string CommDevicePath(const std::string& portName);

BOOL GetCommState(HANDLE hFile, DCB* lpDCB);
// Settings Linux cannot express fail with ERROR_NOT_SUPPORTED; CommStateProblem
// names the first of them beforehand (empty when the block can be applied).
BOOL SetCommState(HANDLE hFile, const DCB* lpDCB);
std::string CommStateProblem(const DCB& dcb);
BOOL SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue);
BOOL GetCommTimeouts(HANDLE hFile, COMMTIMEOUTS* lpCommTimeouts);
BOOL SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts);

// Transfers bounded by the port's time-outs; fewer bytes than asked is no
// failure (the count tells). A hang-up or I/O error fails with
// ERROR_DEVICE_NOT_CONNECTED or ERROR_GEN_FAILURE. Without an overlapped
// record, or with one without an event, the call returns when the transfer
// ended. With an event the transfer is overlapped: what completes at once
// returns TRUE with the event set; otherwise the call fails with
// ERROR_IO_PENDING at once, the transfer runs on, and the event is set when it
// ends (GetOverlappedResult then gives its count and result). A write's bytes
// are taken at the call, so the caller may reuse its buffer; a read's buffer
// must stay until the read ended. Closing the handle or an abort purge ends
// the transfers in progress.
constexpr uintptr_t STATUS_PENDING = 0x103;
struct OVERLAPPED {
    uintptr_t Internal;     // STATUS_PENDING, then 0 or the transfer's error code
    uintptr_t InternalHigh; // bytes moved, once ended
    DWORD Offset;
    DWORD OffsetHigh;
    HANDLE hEvent;
};
BOOL ReadFile(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, DWORD* lpNumberOfBytesRead,
              OVERLAPPED* lpOverlapped);
BOOL WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
               DWORD* lpNumberOfBytesWritten, OVERLAPPED* lpOverlapped);
// The count and result of an overlapped transfer; with bWait it waits for the
// end, else it fails with ERROR_IO_INCOMPLETE while the transfer runs.
BOOL GetOverlappedResult(HANDLE hFile, OVERLAPPED* lpOverlapped, DWORD* lpNumberOfBytesTransferred,
                         BOOL bWait);
BOOL FlushFileBuffers(HANDLE hFile);

BOOL PurgeComm(HANDLE hFile, DWORD dwFlags);
BOOL ClearCommError(HANDLE hFile, DWORD* lpErrors, COMSTAT* lpStat);
BOOL EscapeCommFunction(HANDLE hFile, DWORD dwFunc);
BOOL SetCommBreak(HANDLE hFile);
BOOL ClearCommBreak(HANDLE hFile);
BOOL TransmitCommChar(HANDLE hFile, char cChar);
// A device without modem lines (a pseudo-terminal) reports none.
BOOL GetCommModemStatus(HANDLE hFile, DWORD* lpModemStat);

// Setting the mask makes a wait in progress return with an empty mask.
BOOL SetCommMask(HANDLE hFile, DWORD dwEvtMask);
BOOL GetCommMask(HANDLE hFile, DWORD* lpEvtMask);
// Waits until one of the masked events happens (or the mask changes, or the
// handle is closed: then it fails with ERROR_INVALID_HANDLE).
BOOL WaitCommEvent(HANDLE hFile, DWORD* lpEvtMask, OVERLAPPED* lpOverlapped);

// Default configuration per port name, kept in the settings store
// (TRegistry), so it outlasts the process; a store that cannot be written
// fails with ERROR_ACCESS_DENIED.
BOOL GetDefaultCommConfigA(const char* lpszName, COMMCONFIG* lpCC, DWORD* lpdwSize);
BOOL SetDefaultCommConfigA(const char* lpszName, const COMMCONFIG* lpCC, DWORD dwSize);
// The port settings dialog: runs the installed hook; without one it fails
// with ERROR_NOT_SUPPORTED.
BOOL CommConfigDialogA(const char* lpszName, void* hWnd, COMMCONFIG* lpCC);
using TCommConfigDialogHook = std::function<bool(const std::string& name, COMMCONFIG& config)>;
void SetCommConfigDialogHook(TCommConfigDialogHook hook);

// The serial ports of the machine from /sys/class/tty: "COMn" for every ttyS
// with a real UART, the device path for ttyUSB and ttyACM ports.
std::vector<std::string> EnumSerialPorts();
// Tests point the class folder and the device folder elsewhere ("" restores).
void SetSerialPortFolders(const std::string& classFolder, const std::string& deviceFolder);

// Every device name of the machine, NUL-separated and ended by a second NUL
// (lpDeviceName must be null): the serial ports as EnumSerialPorts names them,
// then every other character or block device of the device folder by its path.
// The count of characters stored; 0 with ERROR_INSUFFICIENT_BUFFER when they
// do not fit.
DWORD QueryDosDeviceA(const char* lpDeviceName, char* lpTargetPath, DWORD ucchMax);

// Modem-control and RS-485 requests (TIOCMGET, TIOCMSET, TIOCMBIS, TIOCMBIC,
// TIOCGRS485, TIOCSRS485) pass through this seam, so a test can stand in for a
// UART where a pseudo-terminal has no lines. The hook answers as ioctl does
// (-1 with errno set); none installed: the kernel answers.
using TModemControlHook =
    std::function<int(const std::string& device, unsigned long request, void* arg)>;
void SetModemControlHook(TModemControlHook hook);

// The clock the transfers' time-outs run on, in milliseconds: the system's
// steady clock unless a test installed another (nullptr restores it). Read
// from transfer threads too. Waits still poll the device in short real
// slices, so time-outs end within a slice of the clock passing them.
class TCommClock {
public:
    virtual ~TCommClock() = default;
    virtual int64_t NowMs() = 0;
};
void SetCommClock(TCommClock* clock);

// The kernel marks bytes received with a parity or framing error (PARMRK):
// 0xFF 0xFF is a received 0xFF, 0xFF 0x00 c a byte received in error, replaced
// by errorChar, and 0xFF 0x00 0x00 a break, kept as the 0x00 it reads as
// unmarked. The state carries a mark split between two reads. Returns how
// many bytes of out (0 to 2) the input byte gives.
struct TParityMarks {
    int Seen = 0; // bytes of a mark seen so far
};
int FeedParityMarks(TParityMarks& marks, uint8_t in, char errorChar, uint8_t out[2]);

// The system's message text for an error code.
std::string CommErrorMessage(DWORD code);
