#pragma once
// The editor's "Titles" page: one of the chart's four title blocks with its
// style, text and position, plus the shape pages of the block.
#include "chart/editor/teebinder.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"

class TCheckBox;
class TChartTitle;
class TComboFlat;
class TCustomChart;
class TEdit;
class TFormTeeShape;
class TMemo;
class TPageControl;
class TRadioGroup;
class TTabSheet;
class TUpDown;

class TFormTeeTitle : public TForm {
    QM_CLASS(TFormTeeTitle)
public:
    explicit TFormTeeTitle(TComponent* AOwner, TCustomChart* AChart = nullptr,
                           TChartTitle* ATitle = nullptr);

    TComboFlat* CBTitles = nullptr;
    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabStyle = nullptr;
    TTabSheet* TabPosition = nullptr;
    TCheckBox* CBVisible = nullptr;
    TCheckBox* CBAdjust = nullptr;
    TRadioGroup* RGAlign = nullptr;
    TMemo* MText = nullptr;
    TCheckBox* CBCustPos = nullptr;
    TEdit* ECustLeft = nullptr;
    TUpDown* UDLeft = nullptr;
    TEdit* ECustTop = nullptr;
    TUpDown* UDTop = nullptr;

    TChartTitle* Title() const { return FTitle; }
    TFormTeeShape* ShapePage() const { return FShape; }

    void FormShow(TObject* Sender);
    // Turns the page to another title of the chart.
    void SelectTitle(TChartTitle* ATitle);
    void CBTitlesChange(TObject* Sender);

private:
    TChartTitle* TitleAt(int Index) const;
    void LoadTitle();
    void EnablePosition();
    TWatched<TCustomChart> FChart;
    TWatched<TChartTitle> FTitle;
    TFormTeeShape* FShape = nullptr;
    TControlBinder FBind{[this] { return FTitle != nullptr; }};
};
