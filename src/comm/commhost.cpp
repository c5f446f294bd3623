#include "comm/commhost.h"
#include "platform/win32/kernel.h"
#include "platform/win32/mainthread.h"
#include <algorithm>

namespace {
TCommHost DefaultHost;
TCommHost* Installed = nullptr;

// Without the windows' timer: each tick is a call posted to the main thread
// for when the interval has passed on the platform clock. Stopping (or
// freeing) the timer withdraws the tick still waiting, so a restart never
// sees a tick of the run before.
class TQueuedTimer : public TCommTimer {
public:
    ~TQueuedTimer() override { RemoveQueuedCalls(this); }
    void SetInterval(int ms) override {
        FInterval = std::max(1, ms);
        if (FEnabled) Schedule();
    }
    void SetEnabled(bool on) override {
        if (on == FEnabled) return;
        FEnabled = on;
        if (on)
            Schedule();
        else
            RemoveQueuedCalls(this);
    }
    bool Enabled() const override { return FEnabled; }

private:
    void Schedule() {
        RemoveQueuedCalls(this);
        PostToMainThread(
            [this] {
                Schedule(); // before the handler, which may stop or free the timer
                if (OnTimer) OnTimer();
            },
            this, static_cast<uint32_t>(FInterval));
    }
    int FInterval = 1000;
    bool FEnabled = false;
};
} // namespace

std::unique_ptr<TCommTimer> TCommHost::CreateTimer() {
    return std::make_unique<TQueuedTimer>();
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
