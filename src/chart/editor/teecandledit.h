#pragma once
// Pages of the candle series (also the big candle) and of the volume series.
#include "chart/editor/teebinder.h"
#include "chart/editor/teeextrapage.h"
#include "chart/editor/teependlg.h"
#include "platform/classes/watched.h"

class TRadioGroup;

class TCandleEditor : public TTeeSeriesPage {
    QM_CLASS(TCandleEditor)
public:
    explicit TCandleEditor(TComponent* AOwner);

    TRadioGroup* RGStyle = nullptr;
    TButtonColor* BUpColor = nullptr;
    TButtonColor* BDownColor = nullptr;
    TEdit* SEWidth = nullptr;
    TUpDown* UDWidth = nullptr;
    TCheckBox* CBShowOpen = nullptr;
    TCheckBox* CBShowClose = nullptr;
    TButtonPen* Button1 = nullptr;
    TCheckBox* CBDraw3D = nullptr;
    TCheckBox* CBDark3D = nullptr;

protected:
    void ShowSeries() override;

private:
    void EnableStyleControls();
};

// The pen dialog on the volume series' line pen, with colour-each and origin.
class TVolumeSeriesEditor : public TPenDialog {
    QM_CLASS(TVolumeSeriesEditor)
public:
    explicit TVolumeSeriesEditor(TComponent* AOwner);

    TCheckBox* CBColorEach = nullptr;
    TCheckBox* CBUseOrigin = nullptr;
    TEdit* EOrigin = nullptr;

    void VolumeShow(TObject* Sender);

private:
    TWatched<TChartSeries> FVolume;
    TControlBinder FBind{[this] { return FVolume != nullptr; }};
};
