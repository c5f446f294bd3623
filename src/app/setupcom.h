#pragma once
// The COM port window: which port the serial instruments use, remembered in
// SETUP.INI, and the port's settings dialog.
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"

class TSetup_COM : public TForm {
    QM_CLASS(TSetup_COM)
public:
    explicit TSetup_COM(TComponent* AOwner);

    TGroupBox* SetupCOM;
    TComboBox* ComboBoxDeviceName;
    TButton *BtSetComPara, *BtOK;

    void ComboBoxDeviceNameChange(TObject* Sender);
    void BtSetComParaClick(TObject* Sender);
    void BtOKClick(TObject* Sender);

    // Whether a port name from the list names a serial port the instruments can use.
    static bool IsPortName(const AnsiString& DeviceName);
};

extern TSetup_COM* Setup_COM;
