#pragma once
// Editors of the arrow, gantt, bubble and shape series.
#include "chart/control/tooledit.h"
#include "chart/editor/teebinder.h"
#include "chart/editor/teepoiedi.h"
#include "platform/classes/watched.h"

class TArrowSeries;
class TChartShape;
class TGanttSeries;
class TBubbleSeries;
class TMemo;
class TPageControl;
class TRadioGroup;
class TTeeFontEditor;

class TArrowSeriesEditor : public TForm {
    QM_CLASS(TArrowSeriesEditor)
public:
    explicit TArrowSeriesEditor(TComponent* AOwner);

    TEdit* EArrowWidth = nullptr;
    TUpDown* UDArrowWidth = nullptr;
    TEdit* EArrowHeight = nullptr;
    TUpDown* UDArrowHeight = nullptr;
    TButtonColor* BArrowColor = nullptr;
    TButtonPen* BPen = nullptr;
    TButton* BBrush = nullptr;
    TCheckBox* CBColorEach = nullptr;

    void FormShow(TObject* Sender);

private:
    void WireSize(TEdit* E, TUpDown* U, void (*Set)(TArrowSeries*, int));
    TWatched<TArrowSeries> FSeries;
    bool FLoading = false;
};

class TGanttSeriesEditor : public TForm {
    QM_CLASS(TGanttSeriesEditor)
public:
    explicit TGanttSeriesEditor(TComponent* AOwner);

    TEdit* SEPointVertSize = nullptr;
    TUpDown* UDPointVertSize = nullptr;
    TButtonPen* BConnLines = nullptr;
    TButtonColor* BColor = nullptr;
    TCheckBox* CBColorEach = nullptr;

    TSeriesPointerEditor* PointerForm() const { return FPointerForm; }
    void FormShow(TObject* Sender);

private:
    TWatched<TGanttSeries> FSeries;
    TSeriesPointerEditor* FPointerForm = nullptr;
    bool FLoading = false;
};

class TBubbleSeriesEditor : public TSeriesPointerEditor {
    QM_CLASS(TBubbleSeriesEditor)
public:
    explicit TBubbleSeriesEditor(TComponent* AOwner);

    TEdit* ETransp = nullptr;
    TUpDown* UDTransp = nullptr;

    void BubbleShow(TObject* Sender);
};

class TChartShapeEditor : public TForm {
    QM_CLASS(TChartShapeEditor)
public:
    explicit TChartShapeEditor(TComponent* AOwner);

    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabFormat = nullptr;
    TTabSheet* TabFont = nullptr;
    TComboFlat* CBStyle = nullptr;
    TButtonColor* BShapeColor = nullptr;
    TButtonPen* BShapePen = nullptr;
    TButton* BShapeBrush = nullptr;
    TButton* Button1 = nullptr;
    TCheckBox* CBTrans = nullptr;
    TCheckBox* CBRound = nullptr;
    TEdit* SEX0 = nullptr;
    TEdit* SEY0 = nullptr;
    TEdit* SEX1 = nullptr;
    TEdit* SEY1 = nullptr;
    TComboFlat* CBUnits = nullptr;
    TMemo* MemoText = nullptr;
    TRadioGroup* RGAlign = nullptr;
    TRadioGroup* RGVertAlign = nullptr;
    TTeeFontEditor* FontEditor = nullptr;

    void FormShow(TObject* Sender);

private:
    void FillPosition();
    void WireCorner(TEdit* E, double (*Get)(TChartShape*), void (*Set)(TChartShape*, double));
    TWatched<TChartShape> FSeries;
    TControlBinder FBind{[this] { return FSeries != nullptr; }};
};
