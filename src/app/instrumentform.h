#pragma once
// What every serial instrument's window does when it is closed: the port is
// closed and the main window given back.
#include "platform/forms/forms.h"

class TInstrumentForm : public TForm {
    QM_CLASS(TInstrumentForm)
public:
    // EnableView: whether the main window's View menu is enabled afterwards.
    TInstrumentForm(TComponent* AOwner, bool EnableView);

protected:
    void DoClose(TCloseAction& Action) override;

private:
    bool FEnableView;
};
