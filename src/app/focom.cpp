#include "app/focom.h"
#include "app/main.h"
#include "app/setcpm.h"
#include "comm/commhost.h"
#include "comm/comport.h"
#include "comm/comsignal.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include <algorithm>

QM_CLASS_OWNED(TFoCom, TForm, TComponent)

TFoCom* FoCom = nullptr;

namespace {
class TFormsTimer : public TCommTimer {
public:
    TFormsTimer() : FTimer(nullptr) {
        FTimer.SetEnabled(false);
        FTimer.OnTimer = [this](TObject*) {
            if (OnTimer) OnTimer();
        };
    }
    void SetInterval(int ms) override { FTimer.SetInterval(ms < 1 ? 1 : ms); }
    void SetEnabled(bool on) override { FTimer.SetEnabled(on); }
    bool Enabled() const override { return FTimer.Enabled(); }

private:
    TTimer FTimer;
};

// The instrument code's view of the windows.
class TWindowsHost : public TCommHost {
public:
    int Delta_U() override { return MainForm ? MainForm->Delta_U : 200; }
    int Average_U() override { return MainForm ? MainForm->Average_U : 1; }
    bool CPM_Version610() override { return MainForm ? MainForm->CPM_Version610 : true; }
    void SetCPM_Version610(bool v) override {
        if (MainForm) MainForm->CPM_Version610 = v;
    }
    int DeviceType() override { return MainForm ? MainForm->DeviceType : 0; }
    bool TestOutput() override { return MainForm && MainForm->TestOutput; }
    AnsiString CPM_DataDirectory() override {
        return MainForm ? MainForm->CPM_DataDirectory : AnsiString();
    }
    void SetCPM_DataDirectory(const AnsiString& d) override {
        if (MainForm) MainForm->CPM_DataDirectory = d;
    }
    void ReadCPMIdentity() override { ::ReadCPMIdentity(); }
    void SetGroupBoxOffsetCaption(const AnsiString& c) override {
        CpmWindows::SetGroupBoxOffsetCaption(c);
    }
    void SetLabelOffsetCaption(const AnsiString& c) override {
        CpmWindows::SetLabelOffsetCaption(c);
    }
    void ClearMemoDisplay() override { CpmWindows::ClearMemoDisplay(); }
    void SetMemoDisplayFontSize(int size) override { CpmWindows::SetMemoDisplayFontSize(size); }
    void AddMemoDisplayLine(const AnsiString& line) override {
        CpmWindows::AddMemoDisplayLine(line);
    }
    TCommSeriesSink* ChartSeries(int n) override { return CpmWindows::ChartSeries(n); }
    void HideChartWindow() override { CpmWindows::HideChartWindow(); }
    void ProcessMessages() override { Application->ProcessMessages(); }
    TCommBoxResult MessageBox(const AnsiString& text, const AnsiString& caption,
                              TCommBoxButtons buttons, TCommBoxIcon icon) override {
        const int kinds[] = {MB_OK, MB_OKCANCEL, MB_RETRYCANCEL};
        const int icons[] = {0, MB_ICONINFORMATION, MB_ICONEXCLAMATION, MB_ICONSTOP};
        switch (Application->MessageBox(text, caption, kinds[buttons] | icons[icon])) {
        case IDOK:
            return crOK;
        case IDRETRY:
            return crRetry;
        default:
            return crCancel;
        }
    }
    bool ExecuteSaveDialog(const AnsiString& initialDir, AnsiString& fileName) override {
        if (!FoCom) return false;
        TSaveDialog& dialog = *FoCom->SaveDialog1;
        dialog.SetInitialDir(initialDir);
        dialog.SetFileName(fileName);
        if (!dialog.Execute()) return false;
        fileName = dialog.FileName();
        return true;
    }
    TComPort* ComPort() override { return FoCom ? FoCom->ComPort1 : nullptr; }
    std::unique_ptr<TCommTimer> CreateTimer() override { return std::make_unique<TFormsTimer>(); }
    void SetControlColor(TComponent* c, uint32_t colour) override {
        if (auto* control = dynamic_cast<TControl*>(c)) control->SetColor(TColor(colour));
    }
};

TWindowsHost WindowsHost;
int TimeoutDivisor = 1;
} // namespace

int SerialTimeout(int Ms) {
    return Ms <= 0 ? Ms : std::max(1, Ms / TimeoutDivisor);
}

void SetSerialTimeoutDivisor(int Divisor) {
    TimeoutDivisor = std::max(1, Divisor);
}

TFoCom::TFoCom(TComponent* AOwner) : TForm(AOwner) {
    SetName("FoCom");
    SetCaption("Seriell");
    // The signal component's timer comes from the host.
    SetCommHost(&WindowsHost);
    ComPort1 = new TComPort(this);
    ComPort1->SetName("ComPort1");
    ComPort1->SetBaudRate(br2400);
    ComPort1->SetDataBits(db8);
    ComPort1->SetDeviceName("COM2");
    // Instrument cables see both control lines low.
    TFlowControl* flow = ComPort1->FlowControl();
    flow->SetDTR(dcDisable);
    flow->SetRTS(rcDisable);
    flow->SetXOnXOff(xcDisable);
    ComPort1->SetOptions(TOptions());
    TTimeouts* t = ComPort1->Timeouts();
    t->SetReadInterval(SerialTimeout(1000));
    t->SetReadMultiplier(SerialTimeout(1000));
    t->SetReadConstant(SerialTimeout(1000));
    t->SetWriteMultiplier(SerialTimeout(1000));
    t->SetWriteConstant(SerialTimeout(1000));

    ComSignal1 = new TComSignal(this);
    ComSignal1->SetName("ComSignal1");
    ComSignal1->SetDelay(100);
    ComSignal1->SetSignal(siNone);
    MemoTestOutput = new TMemo(this);
    MemoTestOutput->SetName("MemoTestOutput");
    MemoTestOutput->SetParent(this);
    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->SetName("SaveDialog1");
    SaveDialog1->SetDefaultExt(".csv");
    SaveDialog1->SetFilter("CSV|*.csv");
    SaveDialog1->SetTitle("Save Data");
    SaveDialog1->SetOptions(TOpenOptions() << ofHideReadOnly << ofPathMustExist << ofEnableSizing);
}

TFoCom::~TFoCom() {
    if (FoCom != this) return;
    FoCom = nullptr;
    if (&CommHost() == &WindowsHost) SetCommHost(nullptr);
}

AnsiString InstrumentPortName() {
    if (!FoCom) return "";
    const AnsiString device = FoCom->ComPort1->DeviceName();
    const AnsiString prefix = "\\\\.\\";
    return device.Pos(prefix) == 1 ? device.SubString(prefix.Length() + 1, device.Length())
                                   : device;
}

AnsiString PortFailureText(const std::exception& Failure) {
    AnsiString what = Failure.what();
    if (what.IsEmpty()) what = "no answer";
    return "Port " + InstrumentPortName() + " : " + what;
}

void RethrowNamingPort() {
    try {
        throw;
    } catch (const EUnwindToTest&) {
        throw;
    } catch (const EComError& e) {
        throw Exception(PortFailureText(e));
    }
}
