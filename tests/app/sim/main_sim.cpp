// The program against simulated instruments: the converter of the fake
// libusb shows a slow sine wave, the plate monitor answers on a
// pseudo-terminal that the port list offers as COM1. With QM_SCREENSHOT
// naming a PNG file, it picks EFM 640B "±20kV/m", opens the chart, starts,
// saves a picture of the main window after 150 points and ends.
#include "app/main.h"
#include "app/program.h"
#include "chart/control/series.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/jpeg.h"
#include "platform/win32/commapi.h"
#include "platform/win32/kernel.h"
#include "support/cpm_sim.h"
#include "support/fake_usb.h"
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
fs::path Ports;

// Converter counts of a sine of 0.6 V and a period of 200 readings.
void QueueSine() {
    FakeUsb::AddDevice(FakeUsb::AddBus());
    for (int i = 0; i < 200000; ++i) {
        const int counts = static_cast<int>(std::lround(280 * std::sin(i * 3.14159265 / 100)));
        const int raw = counts < 0 ? 1024 - counts : counts;
        FakeUsb::QueueReply(FakeUsb::RawReply(raw));
    }
}

std::string CpmDisplay(double volts) {
    char line2[17];
    std::snprintf(line2, sizeof line2, "%13.1f V ", volts);
    std::string s = line2;
    for (char& c : s)
        if (c == '.') c = ',';
    return std::string("V-METER     ") + '\0' + "400" + s;
}

void DriveToScreenshot(TPumpScript& Script, const std::string& File) {
    Script.SetMaxIdlePumps(10000000);
    Script.Do([] {
        dynamic_cast<TMenuItem*>(MainForm->FindComponent("N20kVm1"))->Click();
        MainForm->Grafik1->Click();
    });
    // The windows exist only once the program runs.
    Script.Do([] { MainForm->b_Start->Click(); });
    Script.When([] { return MainForm->Series1->Count() >= 150; }).Do([File] {
        TBitmap shot;
        GrabControl(MainForm, &shot);
        TPngImage png;
        png.Assign(&shot);
        png.SaveToFile(File.c_str());
        std::printf("main window saved to %s\n", File.c_str());
        fs::remove_all(Ports);
        Halt(0);
    });
}
} // namespace

int main(int argc, char** argv) {
    InitCommandLine(argc, argv);
    QueueSine();

    TCpmSimulator cpm;
    std::atomic<bool> stop{false};
    std::thread wave([&] {
        for (int i = 0; !stop; ++i) {
            cpm.Change([&] { cpm.Display = CpmDisplay(250 * std::sin(i * 0.05)); });
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });

    const fs::path& ports = Ports =
        fs::temp_directory_path() / ("qmreadout_sim_" + std::to_string(::getpid()));
    fs::create_directories(ports / "class" / "ttyS0");
    fs::create_directories(ports / "dev");
    std::ofstream(ports / "class" / "ttyS0" / "type") << "4\n";
    fs::create_symlink(cpm.Path(), ports / "dev" / "ttyS0");
    SetSerialPortFolders((ports / "class").string(), (ports / "dev").string());
    std::printf("simulated plate monitor on COM1 (%s)\n", cpm.Path().c_str());

    std::unique_ptr<TPumpScript> script;
    if (const char* file = std::getenv("QM_SCREENSHOT"); file && *file) {
        script = std::make_unique<TPumpScript>();
        DriveToScreenshot(*script, file);
    }
    const int code = RunProgram();
    stop = true;
    wave.join();
    fs::remove_all(ports);
    return code;
}
