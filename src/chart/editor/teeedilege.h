#pragma once
// The editor's "Legend" page: style, position and symbols of the chart legend,
// plus the shape pages of the legend box.
#include "chart/editor/teebinder.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"

class TButtonPen;
class TButton;
class TCheckBox;
class TComboFlat;
class TCustomChartLegend;
class TEdit;
class TFormTeeShape;
class TPageControl;
class TRadioGroup;
class TTabSheet;
class TUpDown;

class TFormTeeLegend : public TForm {
    QM_CLASS(TFormTeeLegend)
public:
    explicit TFormTeeLegend(TComponent* AOwner, TCustomChartLegend* ALegend = nullptr);

    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabStyle = nullptr;
    TTabSheet* TabPosition = nullptr;
    TTabSheet* TabSymbols = nullptr;
    // Style
    TCheckBox* CBShow = nullptr;
    TCheckBox* CBInverted = nullptr;
    TComboFlat* CBLegendStyle = nullptr;
    TComboFlat* CBLegStyle = nullptr;
    TCheckBox* CBBoxes = nullptr;
    TButtonPen* BDivLines = nullptr;
    TEdit* EVertSpacing = nullptr;
    TUpDown* UDVertSpacing = nullptr;
    TCheckBox* CBFontColor = nullptr;
    // Position
    TCheckBox* CBResizeChart = nullptr;
    TEdit* SETopPos = nullptr;
    TUpDown* UDTopPos = nullptr;
    TEdit* SEMargin = nullptr;
    TUpDown* UDMargin = nullptr;
    TRadioGroup* RGPosition = nullptr;
    TCheckBox* CBCustPos = nullptr;
    TEdit* ECustLeft = nullptr;
    TUpDown* UDLeft = nullptr;
    TEdit* ECustTop = nullptr;
    TUpDown* UDTop = nullptr;
    // Symbols
    TEdit* SEColWi = nullptr;
    TUpDown* UDColWi = nullptr;
    TComboFlat* CBColWUnits = nullptr;
    TComboFlat* CBSymbolPos = nullptr;
    TCheckBox* CBContinuous = nullptr;
    TCheckBox* CBVisible = nullptr;
    TCheckBox* CBSymPen = nullptr;
    TButtonPen* BSymPen = nullptr;
    TCheckBox* CBSquared = nullptr;

    TCustomChartLegend* Legend() const { return FLegend; }
    TFormTeeShape* ShapePage() const { return FShape; }

    void FormShow(TObject* Sender);

private:
    void EnableControls();
    TWatched<TCustomChartLegend> FLegend;
    TFormTeeShape* FShape = nullptr;
    TControlBinder FBind{[this] { return FLegend != nullptr; }};
};
