#pragma once
// Pages of the gauge, box, donut, pyramid and funnel series (bodies in
// teegaugeedit.cpp); the calendar's page is in teecalendaredit.h / .cpp.
#include "chart/editor/teecalendaredit.h"
#include "chart/editor/teeextrapage.h"

class TGroupBox;

class TGaugeSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TGaugeSeriesEditor)
public:
    explicit TGaugeSeriesEditor(TComponent* AOwner);

    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabOptions = nullptr;
    TTabSheet* TabLabels = nullptr;
    TTabSheet* TabTicks = nullptr;
    TEdit* Edit6 = nullptr;
    TUpDown* UDAngle = nullptr;
    TEdit* Edit7 = nullptr;
    TUpDown* UDDist = nullptr;
    TEdit* Edit8 = nullptr;
    TUpDown* UDValue = nullptr;
    TButtonPen* BLine = nullptr;
    TButtonPen* BAxis = nullptr;
    TCheckBox* CheckBox4 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button3 = nullptr;
    TComboFlat* ComboBox1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TButton* Button2 = nullptr;
    TEdit* Edit1 = nullptr;
    TCheckBox* CBInside = nullptr;
    TEdit* Edit9 = nullptr;
    TUpDown* UDMin = nullptr;
    TEdit* Edit10 = nullptr;
    TUpDown* UDMax = nullptr;
    TButtonPen* BTicks = nullptr;
    TButtonPen* BMinor = nullptr;
    TEdit* Edit2 = nullptr;
    TUpDown* UpDown1 = nullptr;
    TEdit* Edit4 = nullptr;
    TUpDown* UpDown3 = nullptr;
    TEdit* Edit3 = nullptr;
    TUpDown* UpDown2 = nullptr;
    TEdit* Edit5 = nullptr;
    TUpDown* UpDown4 = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;
};

class TBoxSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TBoxSeriesEditor)
public:
    explicit TBoxSeriesEditor(TComponent* AOwner);

    TEdit* EPos = nullptr;
    TEdit* ELength = nullptr;
    TButtonPen* BMedian = nullptr;
    TButtonPen* BWhisker = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;
};

class TDonutSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TDonutSeriesEditor)
public:
    explicit TDonutSeriesEditor(TComponent* AOwner);

    TEdit* EDonut = nullptr;
    TUpDown* UDDonut = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;
};

class TPyramidSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TPyramidSeriesEditor)
public:
    explicit TPyramidSeriesEditor(TComponent* AOwner);

    TEdit* Edit1 = nullptr;
    TUpDown* UDSize = nullptr;
    TButtonPen* BPen = nullptr;
    TCheckBox* CBColorEach = nullptr;
    TButtonColor* BColor = nullptr;
    TButton* Button1 = nullptr;

protected:
    void ShowSeries() override;
};

class TFunnelSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TFunnelSeriesEditor)
public:
    explicit TFunnelSeriesEditor(TComponent* AOwner);

    TEdit* Edit1 = nullptr;
    TUpDown* DifLimit = nullptr;
    TButtonPen* ButtonPen1 = nullptr;
    TButtonPen* ButtonPen2 = nullptr;
    TButton* Button1 = nullptr;
    TButtonColor* AboveColor = nullptr;
    TButtonColor* WithinColor = nullptr;
    TButtonColor* BelowColor = nullptr;

protected:
    void ShowSeries() override;
};
