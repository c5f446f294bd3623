#include "app/setupcom.h"
#include "app/focom.h"
#include "app/main.h"
#include "app/setcpm.h"
#include "app/setupini.h"
#include "comm/comport.h"
#include "platform/classes/stringlist.h"
#include "platform/classes/watched.h"

QM_CLASS_OWNED(TSetup_COM, TForm, TComponent)

TSetup_COM* Setup_COM = nullptr;

TSetup_COM::TSetup_COM(TComponent* AOwner) : TForm(AOwner) {
    SetName("Setup_COM");
    SetCaption("Setup");
    SetBorderStyle(bsDialog);
    SetClientWidth(300);
    SetClientHeight(150);
    SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(),
              Height());
    SetupCOM =
        NewControl<TGroupBox>(this, this, "SetupCOM", 8, 8, 284, 134, "SetupCOM (CPM / RXM)");
    ComboBoxDeviceName =
        NewControl<TComboBox>(this, SetupCOM, "ComboBoxDeviceName", 16, 28, 252, 24);
    ComboBoxDeviceName->SetSorted(true);
    ComboBoxDeviceName->SetText("COM1");
    BtSetComPara =
        NewControl<TButton>(this, SetupCOM, "BtSetComPara", 16, 68, 160, 28, "Set Com Parameters");
    BtOK = NewControl<TButton>(this, SetupCOM, "BtOK", 188, 68, 80, 28, "OK");
    ComboBoxDeviceName->OnChange = [this](TObject* s) { ComboBoxDeviceNameChange(s); };
    BtSetComPara->OnClick = [this](TObject* s) { BtSetComParaClick(s); };
    BtOK->OnClick = [this](TObject* s) { BtOKClick(s); };

    TCustomComPort::EnumComDevicesFromRegistry(ComboBoxDeviceName->Items());
    std::vector<AnsiString> problems;
    const int index = ReadComPortIndex(SetupIniPath(), problems);
    // A stored index beyond the list chooses nothing.
    ComboBoxDeviceName->SetItemIndex(index < ComboBoxDeviceName->Items()->Count() ? index : -1);
    if (ComboBoxDeviceName->ItemIndex() < 0) ComboBoxDeviceName->SetText("");
    MainForm->ComPortIndex = index;
    MainForm->ComPortName = ComboBoxDeviceName->Text();
    FoCom->ComPort1->SetDeviceName("\\\\.\\" + MainForm->ComPortName);
    CPMSetup->SetCaption("CHARGE-PLATE Monitor / Port : " + MainForm->ComPortName);
    MainForm->EnableSerialInstruments(IsPortName(FoCom->ComPort1->DeviceName()));
    MainForm->AddSetupProblems(problems);
}

bool TSetup_COM::IsPortName(const AnsiString& DeviceName) {
    // Ports beyond the classic serial ones (USB adapters) are listed by path.
    return DeviceName.Pos("COM") > 0 || DeviceName.Pos("/dev/") > 0;
}

void TSetup_COM::ComboBoxDeviceNameChange(TObject*) {
    TMainForm* m = MainForm;
    const int index = ComboBoxDeviceName->ItemIndex();
    if (index == m->ComPortIndex) return;
    m->ComPortIndex = index;
    TComPort* port = FoCom->ComPort1;
    port->Close();
    m->ComPortName = ComboBoxDeviceName->Text();
    port->SetDeviceName("\\\\.\\" + m->ComPortName);
    AnsiString error;
    if (!WriteComPortIndex(SetupIniPath(), index, error))
        Application->MessageBox("The COM port could not be stored in SETUP.INI: " + error,
                                "SETUP.INI", MB_OK | MB_ICONWARNING);
    if (!IsPortName(port->DeviceName())) {
        // Nothing to open: the instruments stay unreachable until a port is chosen.
        m->EnableSerialInstruments(false);
        Application->MessageBox("COM Port not available, please choose another !",
                                "Missing COM-Port", MB_OK | MB_ICONSTOP);
        return;
    }
    port->Open();
    Application->ProcessMessages();
    m->EnableSerialInstruments(true);
}

void TSetup_COM::BtSetComParaClick(TObject*) {
    ComboBoxDeviceName->SetEnabled(false);
    BtSetComPara->SetEnabled(false);
    BtOK->SetEnabled(false);
    // The window may go while the port's dialog shows.
    TCallOut held{this};
    struct TEnableAgain {
        TSetup_COM* F;
        const TCallOut& Held;
        ~TEnableAgain() {
            if (Held.Gone()) return;
            F->ComboBoxDeviceName->SetEnabled(true);
            F->BtSetComPara->SetEnabled(true);
            F->BtOK->SetEnabled(true);
        }
    } again{this, held};
    FoCom->ComPort1->ConfigDialog();
}

void TSetup_COM::BtOKClick(TObject*) {
    Hide();
}
