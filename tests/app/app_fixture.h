#pragma once
// The whole program's windows, built as the program start builds them, in a
// folder of their own (SETUP.INI, lock, serial ports) with the fake converter,
// virtual time, short serial time-outs, a fixed screen and a strict dialog
// responder.
#include "app/display.h"
#include "app/focom.h"
#include "app/main.h"
#include "app/program.h"
#include "app/setupcom.h"
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/engine/teeaxis.h"
#include "comm/comport.h"
#include "platform/win32/commapi.h"
#include "platform/win32/kernel.h"
#include "support/fake_usb.h"
#include "support/forms_testing.h"
#include "support/full_disk.h"
#include "support/serial_sim.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace fs = std::filesystem;

class AppTest : public ::testing::Test {
protected:
    AppTest() : Screen_(1280, 1024) {
        Dir = fs::temp_directory_path() /
              ("qm_app_" + std::to_string(::getpid()) + "_" + std::to_string(++Counter));
        fs::create_directories(Dir / "ports" / "class");
        fs::create_directories(Dir / "ports" / "dev");
        SetProgramFolderOverride(AnsiString(Dir.string().c_str()));
        SetLockFolderOverride(AnsiString((Dir.string() + "/").c_str()));
        SetSerialPortFolders((Dir / "ports" / "class").string(), (Dir / "ports" / "dev").string());
        char arg0[] = "qmreadout";
        char* argv[] = {arg0, nullptr};
        InitCommandLine(1, argv);
        FakeUsb::Reset();
        ResetApplicationForTest();
        SetSerialTimeoutDivisor(SerialTimeoutDivisor);
    }
    ~AppTest() override {
        FreeProgramWindows();
        ResetApplicationForTest();
        SetSerialTimeoutDivisor(1);
        SetSerialPortFolders("", "");
        SetProgramFolderOverride("");
        SetLockFolderOverride("");
        std::error_code ec;
        fs::remove_all(Dir, ec);
    }

    void WriteIni(const std::string& Text) {
        std::ofstream(Dir / "SETUP.INI", std::ios::binary) << Text;
    }
    std::string ReadIni() {
        std::ifstream in(Dir / "SETUP.INI", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The program folder of a system-wide install from here on: its SETUP.INI
    // cannot be written (nor made). The file's path, as messages name it.
    std::string ReadOnlySetupIni() {
        const std::string folder = ReadOnlyFolder(Dir);
        SetProgramFolderOverride(folder.c_str());
        return folder + "SETUP.INI";
    }
    // A serial port the system lists as COMn, standing for a pseudo-terminal.
    void AddPort(int Number, const std::string& Target) {
        const std::string tty = "ttyS" + std::to_string(Number - 1);
        fs::create_directories(Dir / "ports" / "class" / tty);
        std::ofstream(Dir / "ports" / "class" / tty / "type") << "4\n";
        fs::create_symlink(Target, Dir / "ports" / "dev" / tty);
    }
    // As the message loop does: the windows, then the main one shown.
    void Start() {
        CreateProgramWindows();
        MainForm->Show();
    }
    // The converter on the first bus.
    static void PlugConverter() { FakeUsb::AddDevice(FakeUsb::AddBus()); }
    // One averaged reading of the converter (Average_U = 1): a pair of equal counts.
    static void QueueCounts(int Counts) {
        const int raw = Counts < 0 ? 1024 - Counts : Counts;
        FakeUsb::QueueReply(FakeUsb::RawReply(raw));
        FakeUsb::QueueReply(FakeUsb::RawReply(raw));
    }
    TMenuItem* Item(const char* Name) {
        auto* item = dynamic_cast<TMenuItem*>(MainForm->FindComponent(Name));
        EXPECT_NE(item, nullptr) << Name;
        return item;
    }
    static AnsiString Text(TControl* C) { return C->Text(); }

    // The simulators answer within milliseconds; a silent one then costs a
    // fiftieth of the program's time-outs.
    static constexpr int SerialTimeoutDivisor = 50;
    inline static int Counter = 0;
    fs::path Dir;
    TScreenSizeScope Screen_;
    TStrictResponder Responder;
    TSimClockScope Time;
};
