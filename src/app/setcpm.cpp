#include "app/setcpm.h"
#include "app/main.h"
#include "comm/seriell_cpm.h"

QM_CLASS_OWNED(TCPMSetup, TInstrumentForm, TComponent)

TCPMSetup* CPMSetup = nullptr;

namespace {
TCpmIdentity Identity;
}

C_CPM_EF& SetupCpm() {
    static C_CPM_EF cpm;
    return cpm;
}

const TCpmIdentity& CpmIdentity() {
    return Identity;
}

void ReadCPMIdentity() {
    AnsiString version, serial, date;
    SetupCpm().ReadIdentity(version, serial, date);
    if (MainForm) MainForm->CPM_Version610 = version.Pos("6.10") > 0;
    Identity.Version = version;
    Identity.Serial = serial;
    Identity.Date =
        date.SubString(1, 2) + "-" + date.SubString(3, 2) + "-20" + date.SubString(5, 2);
}

TCPMSetup::TCPMSetup(TComponent* AOwner) : TInstrumentForm(AOwner, false) {
    SetName("CPMSetup");
    SetCaption("CHARGE-PLATE Monitor");
    MemoDisplay = NewControl<TMemo>(this, this, "MemoDisplay", 8, 8, 620, 430);
    MemoDisplay->SetReadOnly(true);
}
