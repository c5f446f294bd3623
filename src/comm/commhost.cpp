#include "comm/commhost.h"
#include "platform/win32/commapi.h"
#include "platform/win32/kernel.h"
#include <atomic>
#include <chrono>
#include <thread>

namespace {
TCommHost DefaultHost;
TCommHost* Installed = nullptr;

// Without the windows' timer: a worker that hands each tick to the main thread.
class TThreadTimer : public TCommTimer {
public:
    ~TThreadTimer() override { SetEnabled(false); }
    void SetInterval(int ms) override { FState->Interval = ms; }
    void SetEnabled(bool on) override {
        if (on == Enabled()) return;
        if (!on) {
            FState->Running = false;
            if (FWorker.joinable()) FWorker.join();
            return;
        }
        FState->Running = true;
        // A tick still queued from before a restart must not count for the new run.
        const unsigned run = ++FState->Run;
        FWorker = std::thread([state = FState, run, this] {
            auto due = std::chrono::steady_clock::now();
            while (state->Running) {
                due += std::chrono::milliseconds(std::max(1, state->Interval.load()));
                while (state->Running && std::chrono::steady_clock::now() < due)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                if (!state->Running) break;
                QueueToMainThread([state, run, this] {
                    if (state->Running && state->Run == run && OnTimer) OnTimer();
                });
            }
        });
    }
    bool Enabled() const override { return FState->Running; }

private:
    struct TState {
        std::atomic<int> Interval{1000};
        std::atomic<bool> Running{false};
        std::atomic<unsigned> Run{0};
    };
    std::shared_ptr<TState> FState = std::make_shared<TState>();
    std::thread FWorker;
};
} // namespace

std::unique_ptr<TCommTimer> TCommHost::CreateTimer() {
    return std::make_unique<TThreadTimer>();
}

TCommBoxResult TCommHost::MessageBox(const AnsiString&, const AnsiString&, TCommBoxButtons,
                                     TCommBoxIcon) {
    return crCancel;
}

bool TCommHost::ExecuteSaveDialog(const AnsiString&, AnsiString&) {
    return false;
}

AnsiString TCommHost::SetupIniPath() {
    return ProgramFolder() + "SETUP.INI";
}

TCommHost& CommHost() {
    return Installed ? *Installed : DefaultHost;
}

TCommHost* SetCommHost(TCommHost* host) {
    TCommHost* previous = Installed;
    Installed = host;
    return previous;
}
