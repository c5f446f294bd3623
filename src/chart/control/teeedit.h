#pragma once
// Components that open the chart editor and the print preview with chosen
// settings, a panel that embeds the editor, a picture whose content is a chart,
// and the save dialog for chart files and pictures. The forms themselves belong
// to the chart editor, which fills TeeEditorHooks() when it starts; until
// then Execute shows nothing.
#include "chart/control/chart.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include "platform/rtl/sets.h"
#include <functional>
#include <memory>

class TCustomChartEditor;
class TChartPreviewer;
class TChartEditorPanel;
class TStream;

enum TChartEditorTab {
    cetMain,
    cetGeneral,
    cetAxis,
    cetTitles,
    cetLegend,
    cetPanel,
    cetPaging,
    cetWalls,
    cet3D,
    cetSeriesGeneral,
    cetSeriesMarks,
    cetAllSeries,
    cetSeriesData,
    cetExport,
    cetTools,
    cetPrintPreview
};
QM_ENUM_NAMES(TChartEditorTab, cetMain, cetGeneral, cetAxis, cetTitles, cetLegend, cetPanel,
              cetPaging, cetWalls, cet3D, cetSeriesGeneral, cetSeriesMarks, cetAllSeries,
              cetSeriesData, cetExport, cetTools, cetPrintPreview)
using TChartEditorHiddenTabs = TSet<TChartEditorTab>;

enum TChartEditorOption { ceAdd, ceDelete, ceChange, ceClone, ceDataSource, ceTitle, ceHelp };
QM_ENUM_NAMES(TChartEditorOption, ceAdd, ceDelete, ceChange, ceClone, ceDataSource, ceTitle, ceHelp)
using TChartEditorOptions = TSet<TChartEditorOption>;

enum TChartPreviewOption {
    cpoChangePrinter,
    cpoSetupPrinter,
    cpoResizeChart,
    cpoMoveChart,
    cpoChangeDetail,
    cpoChangePaperOrientation,
    cpoChangeMargins,
    cpoProportional,
    cpoDragChart,
    cpoPrintPanel,
    cpoAsBitmap
};
QM_ENUM_NAMES(TChartPreviewOption, cpoChangePrinter, cpoSetupPrinter, cpoResizeChart, cpoMoveChart,
              cpoChangeDetail, cpoChangePaperOrientation, cpoChangeMargins, cpoProportional,
              cpoDragChart, cpoPrintPanel, cpoAsBitmap)
using TChartPreviewOptions = TSet<TChartPreviewOption>;

// The user swapped two series in the editor's list.
using TChangeOrderEvent =
    std::function<void(TObject* Sender, TChartSeries* Series1, TChartSeries* Series2)>;

// What TChartEditor hands the editor form; the form takes them in field order.
struct TChartEditorSettings {
    bool RememberPosition = false;
    AnsiString Title;
    TWatched<TCustomChart> Chart;
    TChartEditorOptions Options;
    bool HighLightTabs = false;
    TWatched<TChartSeries> Series;
    TChartEditorTab DefaultTab = cetMain;
    TChartEditorHiddenTabs HideTabs;
    TChangeOrderEvent OnChangeSeriesOrder;
};

// A picture format the editor offers in the save dialog.
class ITeeExportFormat {
public:
    virtual ~ITeeExportFormat() = default;
    virtual bool WantsFilterIndex(int Index) = 0;
    // Raises an exception with a message text when the format cannot write.
    virtual void SaveToFile(const AnsiString& FileName) = 0;
};

class TCustomChartEditor : public TComponent {
    QM_CLASS(TCustomChartEditor)
public:
    explicit TCustomChartEditor(TComponent* AOwner) : TComponent(AOwner) {}
    ~TCustomChartEditor() override;
    virtual void SetChart(TCustomChart* Value);
    virtual void Execute() = 0;

    TCustomChart* Chart() const { return FChart; }
    AnsiString Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value) { FTitle = Value; }

    TNotifyEvent OnClose;
    TNotifyEvent OnShow;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TWatched<TCustomChart> FChart;
    AnsiString FTitle;
};

class TChartEditor : public TCustomChartEditor {
    QM_CLASS(TChartEditor)
public:
    explicit TChartEditor(TComponent* AOwner);
    ~TChartEditor() override;
    void SetChart(TCustomChart* Value) override;
    void Execute() override;

    bool AutoRepaint() const { return FAutoRepaint; }
    void SetAutoRepaint(bool Value) { FAutoRepaint = Value; }
    TChartEditorTab DefaultTab() const { return FDefaultTab; }
    void SetDefaultTab(TChartEditorTab Value) { FDefaultTab = Value; }
    TChartEditorHiddenTabs HideTabs() const { return FHideTabs; }
    void SetHideTabs(TChartEditorHiddenTabs Value) { FHideTabs = Value; }
    bool HighLightTabs() const { return FHighLightTabs; }
    void SetHighLightTabs(bool Value) { FHighLightTabs = Value; }
    TChartEditorOptions Options() const { return FOptions; }
    void SetOptions(TChartEditorOptions Value) { FOptions = Value; }
    bool RememberPosition() const { return FRememberPosition; }
    void SetRememberPosition(bool Value) { FRememberPosition = Value; }
    TChartSeries* Series() const { return FSeries; }
    void SetSeries(TChartSeries* Value);

    TChangeOrderEvent OnChangeSeriesOrder;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool FAutoRepaint = true;
    TChartEditorTab FDefaultTab = cetMain;
    TChartEditorHiddenTabs FHideTabs;
    bool FHighLightTabs = false;
    TChartEditorOptions FOptions;
    bool FRememberPosition = false;
    TWatched<TChartSeries> FSeries;
};

class TChartPreviewer : public TCustomChartEditor {
    QM_CLASS(TChartPreviewer)
public:
    explicit TChartPreviewer(TComponent* AOwner);
    void Execute() override;

    TChartPreviewOptions Options() const { return FOptions; }
    void SetOptions(TChartPreviewOptions Value) { FOptions = Value; }
    TColor PaperColor() const { return FPaperColor; }
    void SetPaperColor(TColor Value) { FPaperColor = Value; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value) { FWindowState = Value; }
    // The preview form while it is shown.
    TCustomForm* GetPreview() const { return FForm; }

    TNotifyEvent OnAfterDraw;

private:
    TChartPreviewOptions FOptions;
    TColor FPaperColor = clWhite;
    TWindowState FWindowState = wsNormal;
    TWatched<TCustomForm> FForm;
};

class TChartEditorPanel : public TCustomPanelNoCaption {
    QM_CLASS(TChartEditorPanel)
public:
    explicit TChartEditorPanel(TComponent* AOwner);
    ~TChartEditorPanel() override;
    TCustomChart* Chart() const { return FChart; }
    void SetChart(TCustomChart* Value);
    // Turns the editor to the part of the chart under the mouse.
    void SelectUnderMouse();
    TCustomForm* Editor() const { return FEditor; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TWatched<TCustomChart> FChart;
    TCustomForm* FEditor = nullptr; // owned
};

// A picture whose content is a chart; "*.tee" files load as one.
class TChartImage : public TGraphic {
    QM_CLASS(TChartImage)
public:
    TChartImage();
    ~TChartImage() override;
    void Assign(TPersistent* Source) override;

    // Created (and owned) on first use.
    TCustomChart* Chart() const;
    // Shows AChart without owning it.
    void SetChart(TCustomChart* AChart);
    // Frees an owned chart; a chart set from outside is left alone.
    void Clear();

    bool Empty() const override { return !FOwnedChart && !FShownChart; }
    int Width() const override;
    int Height() const override;
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    void SetTransparent(bool) override {}
    void LoadFromBytes(const std::vector<uint8_t>& Data) override;
    std::vector<uint8_t> SaveToBytes() const override;
    void Draw(TCanvas* ACanvas, const TRect& R) override;

private:
    mutable std::unique_ptr<TCustomChart> FOwnedChart;
    // A chart shown from outside; once freed the image is empty again.
    TWatched<TCustomChart> FShownChart;
};

// Saves a chart as a chart file (with its data) or a registered picture; the
// chosen file name, empty when cancelled.
AnsiString SaveChartDialog(TCustomChart* AChart);
// The editor form of one series, modal.
void EditOneSeries(TControl* AOwner, TChartSeries* ASeries);
