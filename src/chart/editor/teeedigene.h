#pragma once
// The editor's "General" page (margins, zoom, scroll, cursor, print preview)
// and "Paging" page (points per page and a page navigator).
#include "chart/editor/teebinder.h"
#include "chart/editor/teenavigator.h"
#include "chart/engine/teepanel.h"
#include "platform/classes/watched.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"

class TButton;
class TButtonPen;
class TCheckBox;
class TComboFlat;
class TCustomChart;
class TEdit;
class TGroupBox;
class TLabel;
class TPageControl;
class TPanel;
class TRadioGroup;
class TSpeedButton;
class TTabSheet;
class TTeeCustomTool;
class TUpDown;

class TFormTeeGeneral : public TForm {
    QM_CLASS(TFormTeeGeneral)
public:
    explicit TFormTeeGeneral(TComponent* AOwner, TCustomChart* AChart = nullptr);

    TButton* BPrint = nullptr;
    TGroupBox* GBMargins = nullptr;
    TEdit* SETopMa = nullptr;
    TUpDown* UDTopMa = nullptr;
    TEdit* SELeftMa = nullptr;
    TUpDown* UDLeftMa = nullptr;
    TEdit* SEBotMa = nullptr;
    TUpDown* UDBotMa = nullptr;
    TEdit* SERightMa = nullptr;
    TUpDown* UDRightMa = nullptr;
    TComboFlat* CBMarUnits = nullptr;
    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabZoom = nullptr;
    TTabSheet* TabScroll = nullptr;
    TCheckBox* CBAllowZoom = nullptr;
    TCheckBox* CBAnimatedZoom = nullptr;
    TEdit* SEAniZoomSteps = nullptr;
    TUpDown* UDAniZoomSteps = nullptr;
    TButtonPen* BZoomPen = nullptr;
    TButton* BZoomColor = nullptr;
    TEdit* EMinPix = nullptr;
    TUpDown* UDMinPix = nullptr;
    TComboFlat* CBDir = nullptr;
    TComboFlat* CBZoomMouse = nullptr;
    TRadioGroup* RGPanning = nullptr;
    TComboFlat* CBScrollMouse = nullptr;
    TComboFlat* CBCursor = nullptr;

    void FormShow(TObject* Sender);

private:
    void SetMarginRanges();
    void EnableZoom();
    // Writes margin Index unless, in percent, it would meet the opposite one.
    void MarginChange(TUpDown* UD, int Index);
    TWatched<TCustomChart> FChart;
    TControlBinder FBind{[this] { return FChart != nullptr; }};
};

// Four buttons that page a chart: first, prior, next, last. They follow the
// chart's page changes and its series' data changes.
// Moves a chart between its pages; its chart is the panel it is bound to.
class TChartPageNavigator : public TCustomTeeNavigator {
    QM_CLASS(TChartPageNavigator)
public:
    explicit TChartPageNavigator(TComponent* AOwner);
    TTeeNavButton* BFirst = nullptr;
    TTeeNavButton* BPrior = nullptr;
    TTeeNavButton* BNext = nullptr;
    TTeeNavButton* BLast = nullptr;
    TCustomChart* Chart() const;
    void SetChart(TCustomChart* Value);
    void EnableButtons() override;
    int PageCount() override;
    // Prints the chart's pages: one page at once, several through the print dialog's range.
    void Print() override;

protected:
    void BtnClick(TTeeNavigateBtn Index) override;
    void DoTeeEvent(TTeeEvent* Event) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
};

class TFormTeePage : public TForm {
    QM_CLASS(TFormTeePage)
public:
    explicit TFormTeePage(TComponent* AOwner, TCustomChart* AChart = nullptr);

    TEdit* SEPointsPerPage = nullptr;
    TUpDown* UDPointsPerPage = nullptr;
    TCheckBox* CBScaleLast = nullptr;
    TCheckBox* CBPageLegend = nullptr;
    TCheckBox* CBPageNum = nullptr;
    TLabel* LabelPages = nullptr;
    TChartPageNavigator* ChartPageNavigator1 = nullptr;

    void FormShow(TObject* Sender);
    void RefreshLabel();
    void CBPageNumClick(TObject* Sender);

private:
    // The chart's first page-number tool, or nullptr.
    TTeeCustomTool* PageNumTool() const;
    TWatched<TCustomChart> FChart;
    TControlBinder FBind{[this] { return FChart != nullptr; }};
};
