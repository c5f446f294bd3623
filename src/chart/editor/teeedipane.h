#pragma once
// The editor's "Panel" page: background colour and picture, borders and
// bevels, gradient and shadow of the chart panel.
#include "chart/editor/teebinder.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"

class TButton;
class TButtonColor;
class TButtonPen;
class TCheckBox;
class TComboFlat;
class TCustomTeePanelExtended;
class TEdit;
class TGroupBox;
class TPageControl;
class TRadioGroup;
class TTabSheet;
class TTeeGradientEditor;
class TTeeShadowEditor;
class TUpDown;

class TFormTeePanel : public TForm {
    QM_CLASS(TFormTeePanel)
public:
    explicit TFormTeePanel(TComponent* AOwner, TCustomTeePanelExtended* APanel = nullptr);

    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabBack = nullptr;
    TTabSheet* TabBorders = nullptr;
    TTabSheet* TabGradient = nullptr;
    TTabSheet* TabShadow = nullptr;
    TButtonColor* BPanelColor = nullptr;
    TCheckBox* CBColorDef = nullptr;
    TGroupBox* GB6 = nullptr;
    TRadioGroup* RGBitmap = nullptr;
    TButton* BBrowseImage = nullptr;
    TCheckBox* CBImageInside = nullptr;
    TCheckBox* CBTransp = nullptr;
    TEdit* SEPanelBor = nullptr;
    TUpDown* UDPanelBor = nullptr;
    TEdit* SEPanelWi = nullptr;
    TUpDown* UDPanelWi = nullptr;
    TEdit* ERound = nullptr;
    TUpDown* UDRound = nullptr;
    TComboFlat* CBInner = nullptr;
    TComboFlat* CBOuter = nullptr;
    TButtonPen* BBorder = nullptr;
    TTeeGradientEditor* GradientEditor = nullptr;
    TTeeShadowEditor* ShadowEditor = nullptr;

    void FormShow(TObject* Sender);

private:
    void CheckImage();
    TWatched<TCustomTeePanelExtended> FPanel;
    TControlBinder FBind{[this] { return FPanel != nullptr; }};
};
