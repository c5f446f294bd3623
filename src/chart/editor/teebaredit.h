#pragma once
// The bar series editor and its "Stack" tab: style, width, offset, 3D sides,
// colours, pens and brush, multiple bars, origin and stack group.
#include "chart/control/tooledit.h"
#include "chart/editor/teebinder.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"

class TCheckBox;
class TComboFlat;
class TEdit;
class TLabel;
class TRadioGroup;
class TUpDown;
class TCustomBarSeries;

class TStackBarSeriesEditor : public TForm {
    QM_CLASS(TStackBarSeriesEditor)
public:
    explicit TStackBarSeriesEditor(TComponent* AOwner);

    TRadioGroup* RGMultiBar = nullptr;
    TCheckBox* CBYOrigin = nullptr;
    TEdit* EYOrigin = nullptr;
    TEdit* EGroup = nullptr;
    TUpDown* UDGroup = nullptr;
    TLabel* LGroup = nullptr;

    void FormShow(TObject* Sender);

private:
    void EnableGroup();
    TWatched<TCustomBarSeries> FBar;
    TControlBinder FBind{[this] { return FBar != nullptr; }};
};

class TBarSeriesEditor : public TForm {
    QM_CLASS(TBarSeriesEditor)
public:
    explicit TBarSeriesEditor(TComponent* AOwner);

    TComboFlat* CBBarStyle = nullptr;
    TEdit* SEBarWidth = nullptr;
    TUpDown* UDBarWidth = nullptr;
    TEdit* SEBarOffset = nullptr;
    TUpDown* UDBarOffset = nullptr;
    TCheckBox* CBDarkBar = nullptr;
    TCheckBox* CBBarSideMargins = nullptr;
    TCheckBox* CBMarksAutoPosition = nullptr;
    TCheckBox* CBColorEach = nullptr;
    TButtonColor* BBarColor = nullptr;
    TButton* BBarBrush = nullptr;
    TButtonPen* BBarPen = nullptr;
    TButton* BGradient = nullptr;
    TLabel* LBevel = nullptr;
    TEdit* EBevel = nullptr;
    TUpDown* UDBevel = nullptr;

    // The "Stack" page, when the form is docked where tabs can be added.
    TStackBarSeriesEditor* StackEditor() const { return FStack; }
    void FormShow(TObject* Sender);

private:
    void EnableStyleControls();
    TWatched<TCustomBarSeries> FBar;
    TStackBarSeriesEditor* FStack = nullptr;
    TControlBinder FBind{[this] { return FBar != nullptr; }};
};
