#pragma once
// Pages of the polar and radar series and of the wind-rose, clock and Smith
// series; they add the "Circled" page (and the polar ones the "Point" page).
#include "chart/editor/teeextrapage.h"

class TGroupBox;

class TPolarSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TPolarSeriesEditor)
public:
    explicit TPolarSeriesEditor(TComponent* AOwner);

    TCheckBox* CBClose = nullptr;
    TLabel* LAngleInc = nullptr;
    TEdit* SEAngleInc = nullptr;
    TUpDown* UDAngleInc = nullptr;
    TLabel* LRadiusInc = nullptr;
    TEdit* SERadiusInc = nullptr;
    TUpDown* UDRadiusInc = nullptr;
    TButtonPen* BPen = nullptr;
    TButtonPen* BPiePen = nullptr;
    TButton* BBrush = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TCheckBox* CBAngleLabels = nullptr;
    TButton* BFont = nullptr;
    TCheckBox* CBLabelsRot = nullptr;
    TCheckBox* CBClockWise = nullptr;
    TCheckBox* CBInside = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UDTransp = nullptr;
    TButtonColor* BColor = nullptr;
    TCheckBox* CBColorEach = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;

private:
    void EnableLabels();
};

class TWindRoseEditor : public TPolarSeriesEditor {
    QM_CLASS(TWindRoseEditor)
public:
    explicit TWindRoseEditor(TComponent* AOwner);
};

class TClockEditor : public TPolarSeriesEditor {
    QM_CLASS(TClockEditor)
public:
    explicit TClockEditor(TComponent* AOwner);

    TCheckBox* CBRoman = nullptr;
    TButtonPen* BHour = nullptr;
    TButtonPen* BMinute = nullptr;
    TButtonPen* BSecond = nullptr;
    TButtonPen* BRadius = nullptr;

protected:
    void ShowSeries() override;
};

class TSmithSeriesEdit : public TTeeSeriesPage {
    QM_CLASS(TSmithSeriesEdit)
public:
    explicit TSmithSeriesEdit(TComponent* AOwner);

    TCheckBox* CBC = nullptr;
    TCheckBox* CBR = nullptr;
    TButtonPen* BCPen = nullptr;
    TButtonPen* BRPen = nullptr;
    TButtonPen* BCircle = nullptr;
    TButtonPen* BBorder = nullptr;
    TCheckBox* CBColorEach = nullptr;
    TButton* BCFont = nullptr;
    TButton* BRFont = nullptr;
    TEdit* EImag = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;
};
