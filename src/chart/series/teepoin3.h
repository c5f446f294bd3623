#pragma once
// 3D point series (unit TeePoin3): a pointer at each X, Y, Z position, joined
// to the previous point by a 3D line.
#include "chart/series/teesurfa.h"

class TPoint3DSeries;
using TSeriesClickPointer3DEvent =
    std::function<void(TPoint3DSeries* Sender, int ValueIndex, int X, int Y)>;

class TPoint3DSeries : public TCustom3DSeries {
    QM_CLASS(TPoint3DSeries)
public:
    explicit TPoint3DSeries(TComponent* AOwner);
    ~TPoint3DSeries() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TPoint3DSeriesEditor"; }
    void SetParentChart(TCustomAxisPanel* Value) override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) override;
    double MaxZValue() override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    void AddSampleValues(int NumValues) override;
    void PrepareForGallery(bool IsEnabled) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;

    // Start, middle and end depth of the point's pointer.
    void CalcZPositions(int ValueIndex, int& StartZ, int& MiddleZ, int& EndZ);

    double DepthSize() const { return FDepthSize; }
    void SetDepthSize(double Value) { SetDoubleProperty(FDepthSize, Value); }
    TSeriesPointer* Pointer() const { return FPointer.get(); }
    void SetPointer(TSeriesPointer* Value) { FPointer->Assign(Value); }
    TChartPen* LinePen() const { return Pen(); }
    void SetLinePen(TChartPen* Value) { SetPen(Value); }

    TSeriesClickPointer3DEvent OnClickPointer;
    TOnGetPointerStyle OnGetPointerStyle;

private:
    double FDepthSize = 0;
    std::unique_ptr<TSeriesPointer> FPointer;
    int FOldX = 0, FOldY = 0, FOldZ = 0;
    int FFirstDrawn = -1;
};
