// Overlapped transfers, events, parity marks, the device list and the stored
// port defaults.
#include "platform/classes/registry.h"
#include "platform/win32/commapi.h"
#include "platform/win32/events.h"
#include "support/serial_sim.h"
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace {
using Ms = std::chrono::milliseconds;
namespace fs = std::filesystem;

class OverlappedTest : public ::testing::Test {
protected:
    void SetUp() override {
        Port = CreateFileA(Pty.SlavePath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        ASSERT_NE(Port, INVALID_HANDLE_VALUE) << GetLastError();
        Ov.hEvent = Event;
    }
    void TearDown() override {
        if (Port != INVALID_HANDLE_VALUE) CloseHandle(Port);
        CloseHandle(Event);
    }
    void Timeouts(DWORD constant, DWORD wconst = 0) {
        const COMMTIMEOUTS t{0, 0, constant, 0, wconst};
        ASSERT_TRUE(SetCommTimeouts(Port, &t));
    }
    // Starts a read that must go pending.
    void StartPendingRead(char* buf, DWORD n) {
        DWORD got = 99;
        EXPECT_FALSE(ReadFile(Port, buf, n, &got, &Ov));
        EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
        EXPECT_EQ(got, 0u);
        EXPECT_EQ(WaitForSingleObject(Event, 0), WAIT_TIMEOUT);
    }
    // Time-outs pass only when the test moves this clock on.
    TCommClockScope Clock;
    TPtyPair Pty;
    HANDLE Port = INVALID_HANDLE_VALUE;
    HANDLE Event = CreateEventA(nullptr, 1, 1, nullptr);
    OVERLAPPED Ov{};
};
} // namespace

TEST(Events, ManualStaysSetAutoResetEndsOneWait) {
    const HANDLE manual = CreateEventA(nullptr, 1, 0, nullptr);
    const HANDLE automatic = CreateEventA(nullptr, 0, 1, nullptr);
    EXPECT_EQ(WaitForSingleObject(manual, 1), WAIT_TIMEOUT);
    std::thread setter([&] { SetEvent(manual); });
    EXPECT_EQ(WaitForSingleObject(manual, INFINITE), WAIT_OBJECT_0);
    setter.join();
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);
    ResetEvent(manual);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
    CloseHandle(manual);
    CloseHandle(automatic);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(CommApi, ParityMarksAreUndoneAndErrorBytesReplaced) {
    const struct {
        const char* In;
        const char* Out;
    } cases[] = {
        {"41 42", "41 42"},
        {"FF FF", "FF"},                // a received 0xFF
        {"41 FF 00 55 42", "41 3F 42"}, // a byte in error
        {"FF 00 00", "00"},             // a break
        {"FF 41", "FF 41"},             // no mark: both pass
        {"FF 00 FF FF FF", "3F FF"},
    };
    for (const auto& c : cases) {
        TParityMarks marks;
        std::string out;
        // One byte at a time, as marks split between reads arrive.
        for (const char b : Bytes(c.In)) {
            uint8_t bytes[2];
            const int n = FeedParityMarks(marks, static_cast<uint8_t>(b), '?', bytes);
            out.append(reinterpret_cast<const char*>(bytes), n);
        }
        EXPECT_EQ(Hex(out), c.Out) << c.In;
        EXPECT_EQ(marks.Seen, 0) << c.In;
    }
}

TEST_F(OverlappedTest, ReadGoesPendingAndEndsWithTheBytesOrAtItsTimeout) {
    Timeouts(60);
    char buf[4] = {};
    StartPendingRead(buf, 4);
    DWORD count = 0;
    EXPECT_FALSE(GetOverlappedResult(Port, &Ov, &count, 0));
    EXPECT_EQ(GetLastError(), ERROR_IO_INCOMPLETE);
    Pty.Send("abcd");
    ASSERT_TRUE(GetOverlappedResult(Port, &Ov, &count, 1));
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(std::string(buf, 4), "abcd");
    // Short at the time-out: the count tells.
    StartPendingRead(buf, 4);
    Pty.Send("xy");
    while (Pty.PendingForPort() > 0) // taken in by the read
        std::this_thread::sleep_for(Ms(1));
    Clock.Advance(60);
    ASSERT_TRUE(GetOverlappedResult(Port, &Ov, &count, 1));
    EXPECT_EQ(count, 2u);
    // What is there already completes at once, event set.
    Pty.Send("zz");
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(Port, buf, 2, &got, &Ov));
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(WaitForSingleObject(Event, 0), WAIT_OBJECT_0);
}

TEST_F(OverlappedTest, CloseAndAbortEndAPendingReadThatWouldWaitForever) {
    Timeouts(0); // no time-out at all
    char buf[4];
    StartPendingRead(buf, 4);
    PurgeComm(Port, PURGE_RXABORT);
    DWORD count = 0;
    EXPECT_FALSE(GetOverlappedResult(Port, &Ov, &count, 1));
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
    StartPendingRead(buf, 4);
    ASSERT_TRUE(CloseHandle(Port));
    Port = INVALID_HANDLE_VALUE;
    // Ended before the close returned.
    EXPECT_EQ(WaitForSingleObject(Event, 0), WAIT_OBJECT_0);
    EXPECT_FALSE(GetOverlappedResult(Port, &Ov, &count, 1));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(OverlappedTest, PendingWriteSendsTheBytesOfTheCallNotWhatTheBufferHoldsLater) {
    Timeouts(0, 2000);
    std::string data(256 * 1024, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>('a' + i % 26);
    const std::string sent = data;
    DWORD done = 0;
    ASSERT_FALSE(WriteFile(Port, data.data(), static_cast<DWORD>(data.size()), &done, &Ov));
    ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
    std::fill(data.begin(), data.end(), 'X'); // the caller reuses its buffer
    std::string received;
    while (received.size() < sent.size()) {
        const std::string part = Pty.Receive(sent.size() - received.size(), 100);
        // Nothing more comes once the write ended, which only its last byte does.
        if (part.empty() && WaitForSingleObject(Event, 0) == WAIT_OBJECT_0) break;
        received += part;
    }
    DWORD count = 0;
    ASSERT_TRUE(GetOverlappedResult(Port, &Ov, &count, 1));
    EXPECT_EQ(count, sent.size());
    EXPECT_TRUE(received == sent);
}

TEST(CommApi, DeviceListNamesThePortsThenEveryOtherDevice) {
    const fs::path root = fs::temp_directory_path() / ("qm_devs_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "class" / "ttyS0");
    std::ofstream(root / "class" / "ttyS0" / "type") << "4\n";
    fs::create_directories(root / "class" / "ttyS1"); // an unused slot
    fs::create_directories(root / "dev");
    for (const char* name : {"ttyS0", "ttyS1", "null", "zero", "sda"})
        fs::create_symlink("/dev/null", root / "dev" / name);
    std::ofstream(root / "dev" / "plainfile") << "x";
    fs::create_directories(root / "dev" / "folder");
    SetSerialPortFolders((root / "class").string(), (root / "dev").string());
    std::vector<char> buf(4096);
    const DWORD n = QueryDosDeviceA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    char tiny[4];
    EXPECT_EQ(QueryDosDeviceA(nullptr, tiny, sizeof tiny), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    SetSerialPortFolders("", "");
    fs::remove_all(root);
    const std::string dev = (root / "dev").string() + "/";
    const std::string expected = std::string("COM1\0", 5) + dev + "null" + '\0' + dev + "sda" +
                                 '\0' + dev + "zero" + '\0' + '\0';
    EXPECT_EQ(std::string(buf.data(), n), expected);
}

TEST(CommApi, PortDefaultsAreKeptInTheSettingsStore) {
    const fs::path folder =
        fs::temp_directory_path() / ("qm_defaults_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    SetSettingsFolderOverride(folder.string().c_str());
    COMMCONFIG c{};
    DWORD size = sizeof c;
    ASSERT_TRUE(GetDefaultCommConfigA("COM3", &c, &size));
    c.dcb.BaudRate = 2400;
    c.dcb.Parity = EVENPARITY;
    c.dcb.ErrorChar = '\xB1';
    ASSERT_TRUE(SetDefaultCommConfigA("\\\\.\\COM3", &c, size));
    // What another process would find: the store's file.
    std::ifstream in(folder / "registry.ini");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("Serial port defaults\\COM3]"), std::string::npos) << text;
    EXPECT_NE(text.find("BaudRate=dword:00000960"), std::string::npos) << text;
    COMMCONFIG back{};
    ASSERT_TRUE(GetDefaultCommConfigA("COM3", &back, &size));
    EXPECT_EQ(back.dcb.BaudRate, 2400u);
    EXPECT_EQ(back.dcb.Parity, EVENPARITY);
    EXPECT_EQ(back.dcb.ErrorChar, '\xB1');
    COMMCONFIG other{};
    ASSERT_TRUE(GetDefaultCommConfigA("COM4", &other, &size));
    EXPECT_EQ(other.dcb.BaudRate, 9600u);
    // A store that cannot be written says so.
    fs::remove_all(folder);
    std::ofstream(folder.string()) << "a file where the folder should be";
    EXPECT_FALSE(SetDefaultCommConfigA("COM3", &c, size));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    SetSettingsFolderOverride("");
    fs::remove_all(folder);
}
