#include "comm/commhost.h"

namespace {
TCommHost DefaultHost;
TCommHost* Installed = nullptr;
} // namespace

TCommBoxResult TCommHost::MessageBox(const AnsiString&, const AnsiString&, TCommBoxButtons,
                                     TCommBoxIcon) {
    return crCancel;
}

bool TCommHost::ExecuteSaveDialog(const AnsiString&, AnsiString&) {
    return false;
}

AnsiString TCommHost::SetupIniPath() {
    return "SETUP.INI";
}

TCommHost& CommHost() {
    return Installed ? *Installed : DefaultHost;
}

TCommHost* SetCommHost(TCommHost* host) {
    TCommHost* previous = Installed;
    Installed = host;
    return previous;
}
