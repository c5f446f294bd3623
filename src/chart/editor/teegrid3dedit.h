#pragma once
// The "Grid 3D" page of the palette and grid series (grid size, depth,
// irregular grid and how points are coloured) and the colour grid page built
// on it.
#include "chart/editor/teeextrapage.h"
#include "chart/engine/teepanel.h"
#include "chart/engine/teeseries.h"
#include "platform/classes/watched.h"

class TCustom3DPaletteSeries;
class TGroupBox;

class TGrid3DSeriesEditor : public TTeeSeriesPage, public ITeeEventListener {
    QM_CLASS(TGrid3DSeriesEditor)
public:
    explicit TGrid3DSeriesEditor(TComponent* AOwner);
    ~TGrid3DSeriesEditor() override;

    TGroupBox* GroupBox2 = nullptr;
    TEdit* SEXGrid = nullptr;
    TUpDown* UDXGrid = nullptr;
    TEdit* SEZGrid = nullptr;
    TUpDown* UDZGrid = nullptr;
    TLabel* LDepth = nullptr;
    TEdit* EDepth = nullptr;
    TUpDown* UDDepth = nullptr;
    TCheckBox* CBIrreg = nullptr;
    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabSingle = nullptr;
    TTabSheet* TabRange = nullptr;
    TTabSheet* TabPalette = nullptr;
    TButtonColor* BColor = nullptr;
    TButton* BRemove = nullptr;
    TButtonColor* BFromColor = nullptr;
    TButtonColor* BMidColor = nullptr;
    TButtonColor* BToColor = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TButton* Button1 = nullptr;
    TEdit* SEPalette = nullptr;
    TUpDown* UDPalette = nullptr;
    TComboFlat* CBPalStyle = nullptr;
    TCheckBox* CBUseMin = nullptr;
    TEdit* EPaletteMin = nullptr;
    TEdit* EPaletteStep = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UDLegendEvery = nullptr;

    TCustom3DPaletteSeries* Grid() const;
    void TeeEvent(TTeeEvent* Event) override;

protected:
    void ShowSeries() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void GridSizeChange();
    void PageChange();
    void ListenTo(TCustomAxisPanel* AChart);
    TWatched<TCustomAxisPanel> FListened;
};

class TColorGridEditor : public TGrid3DSeriesEditor {
    QM_CLASS(TColorGridEditor)
public:
    explicit TColorGridEditor(TComponent* AOwner);

    TButtonPen* BGrid = nullptr;
    TCheckBox* CBCentered = nullptr;
    TButton* Button2 = nullptr;

protected:
    void ShowSeries() override;

private:
    void LoadPicture();
};

// Adds a "Grid 3D" page for ASeries beside the page of AParent's series editor,
// as its second tab.
TGrid3DSeriesEditor* TeeInsertGrid3DForm(TTeeSeriesPage* AParent, TChartSeries* ASeries);
