#include "app/portsettings.h"
#include "platform/rtl/sysutils.h"
#include "platform/win32/commapi.h"

QM_CLASS_OWNED(TPortSettingsDialog, TForm, TComponent)

namespace {
const int Speeds[] = {110, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
const char* const Parities[] = {"None", "Odd", "Even", "Mark", "Space"};
const char* const Flows[] = {"None", "Xon / Xoff", "Hardware (RTS/CTS)"};
enum { flowNone, flowXonXoff, flowHardware };

TComboBox* Row(TPortSettingsDialog* Form, int Top, const AnsiString& Name,
               const AnsiString& Label) {
    NewControl<TLabel>(Form, Form, "", 12, Top + 4, 110, 20, Label);
    auto* box = NewControl<TComboBox>(Form, Form, Name, 128, Top, 170, 24);
    box->SetStyle(csDropDownList);
    return box;
}
} // namespace

TPortSettingsDialog::TPortSettingsDialog(TComponent* AOwner) : TForm(AOwner) {
    SetName("PortSettingsDialog");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(312);
    SetClientHeight(214);
    ComboBoxSpeed = Row(this, 12, "ComboBoxSpeed", "Bits per second:");
    ComboBoxDataBits = Row(this, 44, "ComboBoxDataBits", "Data bits:");
    ComboBoxParity = Row(this, 76, "ComboBoxParity", "Parity:");
    ComboBoxStopBits = Row(this, 108, "ComboBoxStopBits", "Stop bits:");
    ComboBoxFlow = Row(this, 140, "ComboBoxFlow", "Flow control:");
    for (int s : Speeds)
        ComboBoxSpeed->Items()->Add(IntToStr(s));
    for (int b = 5; b <= 8; ++b)
        ComboBoxDataBits->Items()->Add(IntToStr(b));
    for (const char* p : Parities)
        ComboBoxParity->Items()->Add(p);
    ComboBoxStopBits->Items()->Add("1");
    ComboBoxStopBits->Items()->Add("2");
    for (const char* f : Flows)
        ComboBoxFlow->Items()->Add(f);
    ButtonOK = NewControl<TButton>(this, this, "ButtonOK", 128, 176, 80, 28, "OK");
    ButtonOK->SetDefault(true);
    ButtonOK->SetModalResult(mrOk);
    ButtonCancel = NewControl<TButton>(this, this, "ButtonCancel", 218, 176, 80, 28, "Cancel");
    ButtonCancel->SetCancel(true);
    ButtonCancel->SetModalResult(mrCancel);
}

void TPortSettingsDialog::Load(const DCB& Dcb) {
    ComboBoxSpeed->SetItemIndex(ComboBoxSpeed->Items()->IndexOf(IntToStr(Dcb.BaudRate)));
    ComboBoxDataBits->SetItemIndex(Dcb.ByteSize >= 5 && Dcb.ByteSize <= 8 ? Dcb.ByteSize - 5 : 3);
    ComboBoxParity->SetItemIndex(Dcb.Parity <= SPACEPARITY ? Dcb.Parity : 0);
    ComboBoxStopBits->SetItemIndex(Dcb.StopBits == TWOSTOPBITS ? 1 : 0);
    int flow = flowNone;
    if ((Dcb.Flags & fRtsControlMask) == RTS_CONTROL_HANDSHAKE && (Dcb.Flags & fOutxCtsFlow))
        flow = flowHardware;
    else if (Dcb.Flags & (fOutX | fInX))
        flow = flowXonXoff;
    ComboBoxFlow->SetItemIndex(flow);
}

void TPortSettingsDialog::Store(DCB& Dcb) const {
    if (ComboBoxSpeed->ItemIndex() >= 0) Dcb.BaudRate = Speeds[ComboBoxSpeed->ItemIndex()];
    Dcb.ByteSize = static_cast<uint8_t>(5 + ComboBoxDataBits->ItemIndex());
    Dcb.Parity = static_cast<uint8_t>(ComboBoxParity->ItemIndex());
    if (Dcb.Parity == NOPARITY)
        Dcb.Flags &= ~fParity;
    else
        Dcb.Flags |= fParity;
    Dcb.StopBits = ComboBoxStopBits->ItemIndex() == 1 ? TWOSTOPBITS : ONESTOPBIT;
    Dcb.Flags &= ~(fOutX | fInX | fOutxCtsFlow | fOutxDsrFlow | fRtsControlMask | fDtrControlMask);
    Dcb.Flags |= DTR_CONTROL_ENABLE;
    switch (ComboBoxFlow->ItemIndex()) {
    case flowXonXoff:
        // The system's XOn/XOff input never holds back our own sending; asked
        // to, the port would refuse to open.
        Dcb.Flags |= fOutX | fInX | fTXContinueOnXoff | RTS_CONTROL_ENABLE;
        break;
    case flowHardware:
        Dcb.Flags |= fOutxCtsFlow | RTS_CONTROL_HANDSHAKE;
        break;
    default:
        Dcb.Flags |= RTS_CONTROL_ENABLE;
    }
}

bool TPortSettingsDialog::Execute(const AnsiString& PortName, DCB& Dcb) {
    SetCaption("Port settings " + PortName);
    Load(Dcb);
    if (ShowModal() != mrOk) return false;
    Store(Dcb);
    return true;
}

void InstallPortSettingsDialog() {
    SetCommConfigDialogHook([](const std::string& name, COMMCONFIG& config) {
        TPortSettingsDialog dialog(nullptr);
        return dialog.Execute(name.c_str(), config.dcb);
    });
}
