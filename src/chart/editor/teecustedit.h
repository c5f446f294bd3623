#pragma once
// Editors of the connected-point series: line and its relatives, fast line
// and area. Line and area pages add a "Point" tab for the pointer.
#include "chart/control/tooledit.h"
#include "chart/editor/teebinder.h"
#include "chart/editor/teependlg.h"
#include "platform/classes/watched.h"

class TAreaSeries;
class TCustomSeries;
class TFastLineSeries;
class TGroupBox;
class TRadioGroup;
class TSeriesPointerEditor;

class TCustomSeriesEditor : public TForm {
    QM_CLASS(TCustomSeriesEditor)
public:
    explicit TCustomSeriesEditor(TComponent* AOwner);

    TGroupBox* GBLineMode = nullptr;
    TCheckBox* CBStairs = nullptr;
    TCheckBox* CBInvStairs = nullptr;
    TCheckBox* CBColorEach = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TCheckBox* CBDark3D = nullptr;
    TComboFlat* CBStack = nullptr;
    TLabel* LHeight = nullptr;
    TEdit* EHeight = nullptr;
    TUpDown* UDHeight = nullptr;
    TCheckBox* CBClick = nullptr;
    TButtonColor* BLineColor = nullptr;
    TButtonPen* BLineBorder = nullptr;
    TButtonPen* BOutline = nullptr;
    TButton* BBrush = nullptr;

    TSeriesPointerEditor* PointerForm() const { return FPointerForm; }
    void FormShow(TObject* Sender);

private:
    TWatched<TCustomSeries> FSeries;
    TSeriesPointerEditor* FPointerForm = nullptr;
    TControlBinder FBind{[this] { return FSeries != nullptr; }};
};

class TFastLineSeriesEditor : public TPenDialog {
    QM_CLASS(TFastLineSeriesEditor)
public:
    explicit TFastLineSeriesEditor(TComponent* AOwner);

    TCheckBox* CBDrawAll = nullptr;
    TCheckBox* CBStairs = nullptr;
    TCheckBox* CBInvStairs = nullptr;
    TCheckBox* CBNulls = nullptr;

    void FastLineShow(TObject* Sender);

private:
    TWatched<TFastLineSeries> FSeries;
    TControlBinder FBind{[this] { return FSeries != nullptr; }};
};

class TAreaSeriesEditor : public TForm {
    QM_CLASS(TAreaSeriesEditor)
public:
    explicit TAreaSeriesEditor(TComponent* AOwner);

    TRadioGroup* RGMultiArea = nullptr;
    TCheckBox* CBStairs = nullptr;
    TCheckBox* CBInvStairs = nullptr;
    TCheckBox* CBColorEach = nullptr;
    TButtonColor* BAreaColor = nullptr;
    TCheckBox* CBUseOrigin = nullptr;
    TEdit* EOrigin = nullptr;
    TUpDown* UDOrigin = nullptr;
    TButtonPen* BAreaLinesPen = nullptr;
    TButtonPen* BAreaLinePen = nullptr;
    TButton* BPattern = nullptr;
    TButton* Button1 = nullptr;
    TEdit* ETransp = nullptr;
    TUpDown* UDTransp = nullptr;

    TSeriesPointerEditor* PointerForm() const { return FPointerForm; }
    TTeeGradientEditor* GradientForm() const { return FGradientForm; }
    void FormShow(TObject* Sender);

private:
    TWatched<TAreaSeries> FSeries;
    TSeriesPointerEditor* FPointerForm = nullptr;
    TTeeGradientEditor* FGradientForm = nullptr;
    TControlBinder FBind{[this] { return FSeries != nullptr; }};
};
