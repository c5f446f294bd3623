#pragma once
// Editors of the tools bound to an axis: the common axis choice and border
// button, and the colour band, colour line, axis arrow and grid band editors.
#include "chart/control/tooledit.h"
#include "chart/editor/teebinder.h"
#include "platform/forms/forms.h"

class TButton;
class TButtonColor;
class TCheckBox;
class TComboFlat;
class TEdit;
class TLabel;
class TPageControl;
class TShape;
class TTabSheet;
class TTeeCustomToolAxis;
class TUpDown;
class TPaintBox;

class TAxisToolEditor : public TForm {
    QM_CLASS(TAxisToolEditor)
public:
    explicit TAxisToolEditor(TComponent* AOwner);
    TLabel* Label1 = nullptr;
    TComboFlat* CBAxis = nullptr;
    TButtonPen* BPen = nullptr;
    void FormShow(TObject* Sender);
    void CBAxisChange(TObject* Sender);
    TTeeCustomToolAxis* Tool() const { return FTool; }

protected:
    TWatched<TTeeCustomToolAxis> FTool;
};

class TColorBandToolEditor : public TAxisToolEditor {
    QM_CLASS(TColorBandToolEditor)
public:
    explicit TColorBandToolEditor(TComponent* AOwner);
    TEdit* EStart = nullptr;
    TEdit* EEnd = nullptr;
    TButtonColor* ButtonColor1 = nullptr;
    TButton* BPattern = nullptr;
    TButton* BGradient = nullptr;
    TEdit* ETrans = nullptr;
    TUpDown* UDTrans = nullptr;
    TCheckBox* CBDrawBehind = nullptr;
    void FormShow(TObject* Sender);

private:
    TControlBinder FBind{[this] { return FTool != nullptr; }};
};

class TColorLineToolEditor : public TAxisToolEditor {
    QM_CLASS(TColorLineToolEditor)
public:
    explicit TColorLineToolEditor(TComponent* AOwner);
    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabValue = nullptr;
    TTabSheet* TabOptions = nullptr;
    TEdit* EValue = nullptr;
    TComboFlat* CBStyle = nullptr;
    TCheckBox* CBAllowDrag = nullptr;
    TCheckBox* CBDragRepaint = nullptr;
    TCheckBox* CBNoLimitDrag = nullptr;
    TCheckBox* CBDrawBehind = nullptr;
    TCheckBox* CBDraw3D = nullptr;
    void FormShow(TObject* Sender);

private:
    TControlBinder FBind{[this] { return FTool != nullptr; }};
};

class TAxisArrowToolEditor : public TAxisToolEditor {
    QM_CLASS(TAxisArrowToolEditor)
public:
    explicit TAxisArrowToolEditor(TComponent* AOwner);
    TButton* Button1 = nullptr;
    TEdit* ELength = nullptr;
    TUpDown* UDLength = nullptr;
    TComboFlat* CBPos = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UDScroll = nullptr;
    TCheckBox* CBInv = nullptr;
    void FormShow(TObject* Sender);
};

class TGridBandToolEdit : public TAxisToolEditor {
    QM_CLASS(TGridBandToolEdit)
public:
    explicit TGridBandToolEdit(TComponent* AOwner);
    TButton* BBand1 = nullptr;
    TButton* BBand2 = nullptr;
    TPaintBox* Draw3D1 = nullptr;
    TPaintBox* Draw3D2 = nullptr;
    TButtonColor* ButtonColor1 = nullptr;
    TButtonColor* ButtonColor2 = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UpDown1 = nullptr;
    TEdit* Edit2 = nullptr;
    TUpDown* UpDown2 = nullptr;
    void FormShow(TObject* Sender);
};

// Registers the forms above with the class registry.
void TeeRegisterAxisToolEditors();
