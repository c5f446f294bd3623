#pragma once
// The serial port's settings dialog: speed, data bits, parity, stop bits and
// flow control, as far as the system's serial driver can carry them out. It
// stands behind the serial port component's ConfigDialog.
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"

struct DCB;

class TPortSettingsDialog : public TForm {
    QM_CLASS(TPortSettingsDialog)
public:
    explicit TPortSettingsDialog(TComponent* AOwner);

    TComboBox *ComboBoxSpeed, *ComboBoxDataBits, *ComboBoxParity, *ComboBoxStopBits, *ComboBoxFlow;
    TButton *ButtonOK, *ButtonCancel;

    // Shows the settings of Dcb; on OK writes them back and returns true.
    bool Execute(const AnsiString& PortName, DCB& Dcb);

private:
    void Load(const DCB& Dcb);
    void Store(DCB& Dcb) const;
};

// Makes the dialog the one the serial port component opens.
void InstallPortSettingsDialog();
