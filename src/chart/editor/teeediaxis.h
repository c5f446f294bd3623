#pragma once
// The editor's "Axis" page: the chart's axes on the left and, for the chosen
// one, tabs of its scales, title, labels, ticks, minor ticks and position.
// Every control writes the axis at once; the axis repaints the chart.
#include "chart/editor/teebinder.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include <functional>
#include <memory>

class TButton;
class TButtonPen;
class TCheckBox;
class TComboFlat;
class TEdit;
class TLabel;
class TListBox;
class TPageControl;
class TRadioGroup;
class TTabSheet;
class TUpDown;
class TChartAxis;
class TCustomAxisPanel;
class TStrings;
class TTeeFontEditor;

class TFormTeeAxis : public TForm {
    QM_CLASS(TFormTeeAxis)
public:
    explicit TFormTeeAxis(TComponent* AOwner);
    TFormTeeAxis(TComponent* AOwner, TChartAxis* AAxis);

    TLabel* LAxes = nullptr;
    TListBox* LBAxes = nullptr;
    TCheckBox* CBShow = nullptr;
    TCheckBox* CBAxisBeh = nullptr;
    TButton* BAdd = nullptr;
    TButton* BDelete = nullptr;
    TPageControl* PageAxis = nullptr;
    TTabSheet* TabScales = nullptr;
    TTabSheet* TabTitle = nullptr;
    TTabSheet* TabLabels = nullptr;
    TTabSheet* TabTicks = nullptr;
    TTabSheet* TabMinor = nullptr;
    TTabSheet* TabPosition = nullptr;
    // scales
    TCheckBox* CBVisible = nullptr;
    TCheckBox* CBAutomatic = nullptr;
    TCheckBox* CBAutoMax = nullptr;
    TCheckBox* CBAutoMin = nullptr;
    TLabel* LAxisMax = nullptr;
    TLabel* LAxisMin = nullptr;
    TButton* BAxisMax = nullptr;
    TButton* BAxisMin = nullptr;
    TEdit* EMaxOff = nullptr;
    TUpDown* UDMaxOff = nullptr;
    TEdit* EMinOff = nullptr;
    TUpDown* UDMinOff = nullptr;
    TLabel* LAxisIncre = nullptr;
    TButton* BIncre = nullptr;
    TCheckBox* CBLogarithmic = nullptr;
    TLabel* LLogBase = nullptr;
    TEdit* ELogBase = nullptr;
    TCheckBox* LogE = nullptr;
    TCheckBox* CBInverted = nullptr;
    // title
    TPageControl* PageTitle = nullptr;
    TTabSheet* TabTitleStyle = nullptr;
    TTabSheet* TabTitleFont = nullptr;
    TEdit* ETitle = nullptr;
    TEdit* ETitleAngle = nullptr;
    TUpDown* UDTitleAngle = nullptr;
    TEdit* ETitleSize = nullptr;
    TUpDown* UDTitleSize = nullptr;
    TCheckBox* CBTitleVisible = nullptr;
    // labels
    TPageControl* PageLabels = nullptr;
    TTabSheet* TabLabelsStyle = nullptr;
    TTabSheet* TabLabelsFont = nullptr;
    TCheckBox* CBLabels = nullptr;
    TCheckBox* CBMultiline = nullptr;
    TCheckBox* CBOnAxis = nullptr;
    TCheckBox* CBRoundFirst = nullptr;
    TEdit* ELabelsSize = nullptr;
    TUpDown* UDLabelsSize = nullptr;
    TEdit* ELabelsAngle = nullptr;
    TUpDown* UDLabelsAngle = nullptr;
    TEdit* ESepar = nullptr;
    TUpDown* UDSepar = nullptr;
    TRadioGroup* RGLabelStyle = nullptr;
    TLabel* LabelAxisFormat = nullptr;
    TComboFlat* CBFormat = nullptr;
    TCheckBox* CBExpo = nullptr;
    TCheckBox* CBLabelAlign = nullptr;
    // ticks
    TButtonPen* BAxisPen = nullptr;
    TButtonPen* BTickPen = nullptr;
    TButtonPen* BTickInner = nullptr;
    TButtonPen* BAxisGrid = nullptr;
    TEdit* EAxisTickLength = nullptr;
    TUpDown* UDAxisTickLength = nullptr;
    TEdit* EInnerTicksLength = nullptr;
    TUpDown* UDInnerTicksLength = nullptr;
    TCheckBox* CBTickOnLabels = nullptr;
    TCheckBox* CBGridCentered = nullptr;
    TEdit* EGridZ = nullptr;
    TUpDown* UDGridZ = nullptr;
    // minor
    TButtonPen* BTickMinor = nullptr;
    TButtonPen* BMinorGrid = nullptr;
    TEdit* EAxisMinorTickLen = nullptr;
    TUpDown* UDAxisMinorTickLen = nullptr;
    TEdit* EMinorCount = nullptr;
    TUpDown* UDMinorCount = nullptr;
    // position
    TEdit* EPos = nullptr;
    TUpDown* UDPos = nullptr;
    TEdit* EStart = nullptr;
    TUpDown* UDStart = nullptr;
    TEdit* EEnd = nullptr;
    TUpDown* UDEnd = nullptr;
    TEdit* EZ = nullptr;
    TUpDown* UDZ = nullptr;
    TComboFlat* CBPosUnits = nullptr;
    TCheckBox* CBOtherSide = nullptr;
    TCheckBox* CBHorizAxis = nullptr;

    // Called after CBHorizAxis changes the axis' orientation.
    std::function<void(TChartAxis* Axis)> OnChangeHorizontal;

    TChartAxis* TheAxis() const { return FAxis; }
    TTeeFontEditor* LabelsFontEditor() const { return FLabelsFont; }
    TTeeFontEditor* TitleFontEditor() const { return FTitleFont; }

    void FormShow(TObject* Sender);
    void PageAxisChange(TObject* Sender);
    void LBAxesClick(TObject* Sender);
    void BAddClick(TObject* Sender);
    void BDeleteClick(TObject* Sender);
    void SetAxisIndex();

private:
    void Build();
    void BuildScales();
    void BuildTitle();
    void BuildLabels();
    void BuildTicks();
    void BuildPosition();
    void SetAxisScales();
    void SetAxisTitle();
    void SetAxisLabels();
    void SetAxisPosition();
    void EnableLogBase();
    TCustomAxisPanel* Chart() const;

    // Also held from a tab's leaving until the new tab is refreshed.
    TControlBinder FBind{[this] { return FAxis != nullptr; }};
    std::unique_ptr<TLoadGuard> FTabGuard;
    bool FScaling = false;
    TTeeFontEditor* FLabelsFont = nullptr;
    TTeeFontEditor* FTitleFont = nullptr;
    TWatched<TChartAxis> FAxis;
    TWatched<TCustomAxisPanel> FChart;
};

// Fills Items with the chart's axes: the four sides, the depth axis when
// asked, then "Custom 0", "Custom 1"... for the custom axes.
void TeeAddAxes(TCustomAxisPanel* Chart, TStrings* Items, bool AddDepth);
