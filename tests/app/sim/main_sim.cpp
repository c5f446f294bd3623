// The program against simulated instruments: the converter of the fake
// libusb shows a slow sine wave; the plate monitor, the resistance meter and
// the grounding tester answer on pseudo-terminals that the port list offers as
// COM1, COM2 and COM3. Opening an instrument's window (or a plate-monitor
// range) points the port at that instrument, as an operator would by choosing
// its COM port.
//
// With QM_SCREENSHOT naming a PNG file, it opens one window with data, saves
// a picture of it and ends. QM_SCREENSHOT_WINDOW picks the window: main (the
// chart of EFM 640B "±20kV/m", the default), cpm (set-up window after a decay
// test), decay (its chart window), display (the large figures of the
// converter), rxm, cali (needs the "calibrate" argument) or pgt.
#include "app/chartcpm.h"
#include "app/display.h"
#include "app/focom.h"
#include "app/main.h"
#include "app/pgt300.h"
#include "app/program.h"
#include "app/rxm850.h"
#include "app/rxmcalimenu.h"
#include "app/setcpm.h"
#include "chart/control/series.h"
#include "comm/comport.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/menus.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/jpeg.h"
#include "platform/win32/commapi.h"
#include "platform/win32/kernel.h"
#include "support/cpm_sim.h"
#include "support/fake_usb.h"
#include "support/pgt_sim.h"
#include "support/rxm_sim.h"
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
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

// A decay test: the plate charged to +1000 V and to -1000 V, each falling
// below 100 V, then an offset of -12 V; three stored results.
void ScriptPlateMonitor(TCpmSimulator& Cpm) {
    std::vector<std::string> frames;
    for (int sign = 0; sign < 2; ++sign)
        for (int i = 0;; ++i) {
            const int volts =
                static_cast<int>(std::lround(1000 * std::exp(-i / (sign ? 40.0 : 25.0))));
            if (volts < 90) break;
            frames.push_back(TCpmSimulator::SampleFrame(sign ? 0x04 : 0x00, volts));
        }
    for (int i = 0; i < 40; ++i)
        frames.push_back(TCpmSimulator::SampleFrame(0x24, 12));
    frames.push_back(TCpmSimulator::ResultFrame(1000, 100, 20, 58, 92, -12));
    Cpm.Change([&] {
        Cpm.DecayFrames = frames;
        Cpm.SetupFields = "000000001009050204";
        for (int n = 1; n <= 3; ++n)
            Cpm.StoredFiles[n] =
                TCpmSimulator::StoredFile(n, n == 2 ? 0x21 : 0x10, 1000, 100, 10 * n, 20 + 7 * n,
                                          30 + 5 * n, n == 3 ? -40 : 25);
    });
}

// What the port list left on disk, removed again by a signal that ends the
// program: only unlink and rmdir, which a signal handler may call.
std::vector<std::string> PortFiles;

void RemovePortFiles() {
    for (const std::string& f : PortFiles)
        if (::unlink(f.c_str()) != 0) ::rmdir(f.c_str());
}

void EndBySignal(int Signal) {
    RemovePortFiles();
    std::signal(Signal, SIG_DFL);
    std::raise(Signal);
}

void RemoveOnSignals(size_t Ports_) {
    // Deepest first, so each folder is empty when its turn comes.
    for (size_t i = 0; i < Ports_; ++i) {
        const std::string tty = "ttyS" + std::to_string(i);
        PortFiles.push_back((Ports / "dev" / tty).string());
        PortFiles.push_back((Ports / "class" / tty / "type").string());
        PortFiles.push_back((Ports / "class" / tty).string());
    }
    for (const char* f : {"dev", "class"})
        PortFiles.push_back((Ports / f).string());
    PortFiles.push_back(Ports.string());
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        std::signal(s, EndBySignal);
}

// The port list: COMn stands for the n-th pseudo-terminal.
void OfferPorts(const std::vector<std::string>& Paths) {
    // A folder of an earlier run that ended without removing it (its process
    // id now ours) is stale: it goes.
    std::error_code ec;
    fs::remove_all(Ports, ec);
    // Before the first file: a signal may come at any moment from now on.
    RemoveOnSignals(Paths.size());
    fs::create_directories(Ports / "dev");
    for (size_t i = 0; i < Paths.size(); ++i) {
        const std::string tty = "ttyS" + std::to_string(i);
        fs::create_directories(Ports / "class" / tty);
        std::ofstream(Ports / "class" / tty / "type") << "4\n";
        fs::create_symlink(Paths[i], Ports / "dev" / tty);
    }
    SetSerialPortFolders((Ports / "class").string(), (Ports / "dev").string());
}

void UsePort(int Number) {
    MainForm->ComPortIndex = Number - 1;
    MainForm->ComPortName = "COM" + AnsiString(Number);
    // The port settings window leaves the port open on the operator's choice;
    // it stays open, on the instrument's port.
    TComPort* port = FoCom->ComPort1;
    const AnsiString name = "\\\\.\\" + MainForm->ComPortName;
    if (port->DeviceName() == name) return;
    const bool open = port->Active();
    port->Close();
    port->SetDeviceName(name);
    if (open) port->Open();
}

// Each instrument's menu items first point the port at it.
void RoutePorts() {
    const struct {
        const char* Item;
        int Port;
    } routes[] = {
        {"CPM_Start", 1}, {"RXM_850_Start", 2}, {"RXM_Calibrate", 2}, {"Start_PGT300", 3}};
    for (const auto& r : routes)
        if (auto* item = dynamic_cast<TMenuItem*>(MainForm->FindComponent(r.Item))) {
            auto previous = item->OnClick;
            const int port = r.Port;
            item->OnClick = [previous, port](TObject* Sender) {
                UsePort(port);
                if (previous) previous(Sender);
            };
        }
    // The plate monitor's live modes (types 101 to 103) are ranges of the menu.
    for (int i = 0; i < MainForm->ComponentCount(); ++i)
        if (auto* item = dynamic_cast<TMenuItem*>(MainForm->Components(i)); item && item->OnClick) {
            auto previous = item->OnClick;
            item->OnClick = [previous](TObject* Sender) {
                previous(Sender);
                if (MainForm->DeviceType > 100) UsePort(1);
            };
        }
}

void Save(TControl* Control, const std::string& File) {
    TBitmap shot;
    GrabControl(Control, &shot);
    TPngImage png;
    png.Assign(&shot);
    png.SaveToFile(File.c_str());
    std::printf("%s saved to %s\n", Control->Name().c_str(), File.c_str());
    Halt(0);
}

TMenuItem* Item(const char* Name) {
    return dynamic_cast<TMenuItem*>(MainForm->FindComponent(Name));
}

void DriveToScreenshot(TPumpScript& S, const std::string& Window, const std::string& File) {
    S.Do(RoutePorts);
    if (Window == "cpm" || Window == "decay") {
        S.Do([] { Item("CPM_Start")->Click(); });
        S.Do([] {
            CPMSetup->SelectMode->SetItemIndex(0);
            CPMSetup->BitBtnStart->Click();
        });
        S.When([] { return CPMSetup->MemoDisplay->Text().Pos("successful") > 0; });
        if (Window == "decay") S.Do([] { CPMSetup->BitBtnChart->Click(); });
        S.After(20).Do([Window, File] {
            Save(Window == "decay" ? static_cast<TControl*>(FormChartCPM) : CPMSetup, File);
        });
    } else if (Window == "rxm") {
        S.Do([] { Item("RXM_850_Start")->Click(); });
        S.Do([] { FormRXM850->BitBtn_init->Click(); });
        S.When([] { return FormRXM850->MemoInfo->Text().Pos("SW version") > 0; }).Do([] {
            FormRXM850->BitBtn_start->Click();
        });
        S.When([] { return FormRXM850->Label_RXM_Me->Caption().Pos("Ohm") > 0; });
        S.After(20).Do([File] { Save(FormRXM850, File); });
    } else if (Window == "cali") {
        S.Do([] { Item("RXM_Calibrate")->Click(); });
        S.Do([] {
            FormRXMCali->BitBtn_read_cali_data->Click();
            FormRXMCali->BitBtn_read_para->Click();
            FormRXMCali->BitBtn_read_meas_data->Click();
        });
        S.After(20).Do([File] { Save(FormRXMCali, File); });
    } else if (Window == "pgt") {
        static TDialogResponder answers;
        answers.ExpectMessage("Press the plate", IDOK);
        S.Do([] { Item("Start_PGT300")->Click(); });
        S.Do([] { FormPGT300->BitBtn_Start->Click(); });
        S.After(20).Do([File] { Save(FormPGT300, File); });
    } else if (Window == "display") {
        S.Do([] { Item("N20kVm1")->Click(); });
        S.Do([] { MainForm->Display->Click(); }); // modal: the next steps run in its loop
        S.Do([] { FormDisplay->b_Start->Click(); });
        S.After(200).Do([File] { Save(FormDisplay, File); });
    } else {
        S.Do([] {
            Item("N20kVm1")->Click();
            MainForm->Grafik1->Click();
        });
        // The loop runs inside Start's handler; the next steps run in its pumps.
        S.Do([] { MainForm->b_Start->Click(); });
        S.When([] { return MainForm->Series1->Count() >= 150; }).Do([File] {
            Save(MainForm, File);
        });
    }
}
} // namespace

int main(int argc, char** argv) {
    InitCommandLine(argc, argv);
    QueueSine();

    TCpmSimulator cpm;
    TRxmSimulator rxm;
    TPgtSimulator pgt;
    ScriptPlateMonitor(cpm);
    pgt.Change([&] {
        pgt.Measurements = 26;
        pgt.HGBBelow = 3;
        pgt.HGBAbove = 1;
        pgt.ShoeBelow = 0;
        pgt.ShoeAbove = 2;
    });
    std::atomic<bool> stop{false};
    std::thread wave([&] {
        for (int i = 0; !stop; ++i) {
            cpm.Change([&] { cpm.Display = CpmDisplay(250 * std::sin(i * 0.05)); });
            rxm.Change([&] { rxm.Mantissa = 1234 + static_cast<int>(300 * std::sin(i * 0.01)); });
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });

    Ports = fs::temp_directory_path() / ("qmreadout_sim_" + std::to_string(::getpid()));
    OfferPorts({cpm.Path(), rxm.Path(), pgt.Path()});
    std::printf("simulated plate monitor on COM1 (%s)\n"
                "simulated resistance meter on COM2 (%s)\n"
                "simulated grounding tester on COM3 (%s)\n",
                cpm.Path().c_str(), rxm.Path().c_str(), pgt.Path().c_str());

    std::unique_ptr<TPumpScript> script;
    // A person at the program: the loop waits for events, so the ports are
    // routed by a timer once the windows exist rather than by a pump script.
    TTimer route(nullptr);
    if (const char* file = std::getenv("QM_SCREENSHOT"); file && *file) {
        route.SetEnabled(false);
        script = std::make_unique<TPumpScript>();
        script->SetMaxIdlePumps(std::numeric_limits<long>::max());
        const char* window = std::getenv("QM_SCREENSHOT_WINDOW");
        DriveToScreenshot(*script, window ? window : "main", file);
    } else {
        route.SetInterval(1);
        route.OnTimer = [&route](TObject*) {
            if (!MainForm) return;
            route.SetEnabled(false);
            RoutePorts();
        };
        route.SetEnabled(true);
    }
    // Exit and the main window's close box end the process at once: the
    // port list goes first.
    SetExitHook([](int) { RemovePortFiles(); });
    const int code = RunProgram();
    SetExitHook(nullptr);
    stop = true;
    wave.join();
    fs::remove_all(Ports);
    return code;
}
