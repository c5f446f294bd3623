#pragma once
// The gauge series' page (options, labels, ticks). The pages of the box, donut,
// pyramid, funnel and calendar series have files of their own, included here.
#include "chart/editor/teeboxedit.h"
#include "chart/editor/teecalendaredit.h"
#include "chart/editor/teedonutedit.h"
#include "chart/editor/teeextrapage.h"
#include "chart/editor/teefunneledit.h"
#include "chart/editor/teepyramidedit.h"

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
