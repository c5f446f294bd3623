#pragma once
// The print preview window: printer choice and set-up, orientation, margins
// in percent, detail, proportional margins, the preview panel and printing.
#include "platform/forms/forms.h"

class TButton;
class TCustomTeeNavigator;
class TCheckBox;
class TComboFlat;
class TCustomTeePanel;
class TEdit;
class TGroupBox;
class TLabel;
class TPanel;
class TPrinterSetupDialog;
class TRadioGroup;
class TTeePreviewPanel;
class TTrackBar;
class TUpDown;

// The window switches the printer to landscape when it opens.
extern bool TeeChangePaperOrientation;

class TChartPreview : public TForm {
    QM_CLASS(TChartPreview)
public:
    explicit TChartPreview(TComponent* AOwner);
    ~TChartPreview() override;

    TPanel* Panel1 = nullptr;
    TComboFlat* CBPrinters = nullptr;
    TButton* BSetupPrinter = nullptr;
    TButton* BPrint = nullptr;
    TButton* BClose = nullptr;
    TPanel* Panel2 = nullptr;
    TRadioGroup* Orientation = nullptr;
    TGroupBox* GBMargins = nullptr;
    TEdit* SETopMa = nullptr;
    TEdit* SELeftMa = nullptr;
    TEdit* SEBotMa = nullptr;
    TEdit* SERightMa = nullptr;
    TUpDown* UDTopMa = nullptr;
    TUpDown* UDLeftMa = nullptr;
    TUpDown* UDBotMa = nullptr;
    TUpDown* UDRightMa = nullptr;
    TPanel* PanelMargins = nullptr;
    TButton* BReset = nullptr;
    TCheckBox* ShowMargins = nullptr;
    TGroupBox* ChangeDetailGroup = nullptr;
    TTrackBar* Resolution = nullptr;
    TPanel* Panel4 = nullptr;
    TCheckBox* CBProp = nullptr;
    TTeePreviewPanel* TeePreviewPanel1 = nullptr;

    // Set by the editor's print page before showing: the class of a page navigator.
    TClass PageNavigatorClass = nullptr;
    TCustomTeeNavigator* PageNavigator() const { return FNavigator; }

    TTeePreviewPanel* PreviewPanel() const { return TeePreviewPanel1; }

    void FormShow(TObject* Sender);
    void ResetMargins();
    void TeePreviewPanel1ChangeMargins(TObject* Sender, bool DisableProportional,
                                       const TRect& NewMargins);
    void BPrintClick(TObject* Sender);
    void BSetupPrinterClick(TObject* Sender);
    void CBPrintersChange(TObject* Sender);
    void OrientationClick(TObject* Sender);
    void BResetClick(TObject* Sender);
    void CBPropClick(TObject* Sender);

private:
    TCustomTeePanel* ShownPanel() const;
    void MarginChange(TUpDown* Field, TUpDown* Opposite, int Side);
    void OrientationFromPrinter();
    void FillPrinters();
    TCustomTeeNavigator* FNavigator = nullptr;
    TPrinterSetupDialog* FSetupDialog = nullptr;
    TRect FOldMargins;
    TRect FShownMargins; // in the fields; proportional ones are not the chart's
    bool FChangingMargins = true;
    bool FChangingProp = false;
};

// Shows the preview of a panel modally, then repaints the panel.
// NavigatorClass, when given, adds a bar that moves between the panel's pages.
void TeePreview(TComponent* Owner, TCustomTeePanel* Panel, TClass NavigatorClass = nullptr);
