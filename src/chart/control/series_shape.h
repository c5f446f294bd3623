#pragma once
// Shape series (series_shape.cpp): one geometric shape between two corner
// points, in axis values or pixels, with text lines inside.
#include "chart/control/chartparts.h"
#include "chart/engine/teengine.h"
#include <memory>

class TStrings;

enum TChartShapeStyle {
    chasRectangle,
    chasCircle,
    chasVertLine,
    chasHorizLine,
    chasTriangle,
    chasInvertTriangle,
    chasLine,
    chasDiamond,
    chasCube,
    chasCross,
    chasDiagCross,
    chasStar,
    chasPyramid,
    chasInvertPyramid
};
QM_ENUM_NAMES(TChartShapeStyle, chasRectangle, chasCircle, chasVertLine, chasHorizLine,
              chasTriangle, chasInvertTriangle, chasLine, chasDiamond, chasCube, chasCross,
              chasDiagCross, chasStar, chasPyramid, chasInvertPyramid)
enum TChartShapeXYStyle { xysPixels, xysAxis, xysAxisOrigin };
QM_ENUM_NAMES(TChartShapeXYStyle, xysPixels, xysAxis, xysAxisOrigin)
enum TTeeVertAlign { vaTop, vaCenter, vaBottom };
QM_ENUM_NAMES(TTeeVertAlign, vaTop, vaCenter, vaBottom)

class TChartShape : public TChartSeries {
    QM_CLASS(TChartShape)
public:
    explicit TChartShape(TComponent* AOwner);
    ~TChartShape() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TChartShapeEditor"; }
    void SetSeriesColor(TColor Value) override;
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(TChartSeries* Series, int Index) override;
    void PrepareForGallery(bool IsEnabled) override;
    void AddSampleValues(int NumValues) override;
    bool IsValidSourceOf(TChartSeries* Value) override;
    bool UseAxis() override { return FXYStyle != xysPixels; }
    void CalcZOrder() override;
    bool MoreSameZOrder() override { return false; }
    void DrawValue(int ValueIndex) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;

    // The two corners in pixels, as given (not ordered).
    TRect GetShapeRectangle();
    // Ordered, and at least one pixel each way.
    TRect GetAdjustedRectangle();
    // Switches to pixels and takes the rectangle's corners.
    void SetShapeRectangle(const TRect& Rect);
    void DrawShape(bool Is3D, const TRect& R);

    // --- properties ---
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTeeFont* Font() const { return FFont.get(); }
    void SetFont(TTeeFont* Value) { FFont->Assign(Value); }
    TTeeGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(TTeeGradient* Value) { FGradient->Assign(Value); }
    TStrings* Text() const { return FText.get(); }
    void SetText(TStrings* Value);
    bool RoundRectangle() const { return FRoundRectangle; }
    void SetRoundRectangle(bool Value) { SetBooleanProperty(FRoundRectangle, Value); }
    TChartShapeStyle Style() const { return FStyle; }
    void SetStyle(TChartShapeStyle Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { SetBooleanProperty(FTransparent, Value); }
    TTeeVertAlign VertAlign() const { return FVertAlign; }
    void SetVertAlign(TTeeVertAlign Value);
    TChartShapeXYStyle XYStyle() const { return FXYStyle; }
    void SetXYStyle(TChartShapeXYStyle Value);
    // Entry 0 and 1 of the X and Y values; 0 when the series lacks the point.
    double X0() const { return Corner(XValues(), 0); }
    void SetX0(double Value) { SetCorner(XValues(), 0, Value); }
    double Y0() const { return Corner(YValues(), 0); }
    void SetY0(double Value) { SetCorner(YValues(), 0, Value); }
    double X1() const { return Corner(XValues(), 1); }
    void SetX1(double Value) { SetCorner(XValues(), 1, Value); }
    double Y1() const { return Corner(YValues(), 1); }
    void SetY1(double Value) { SetCorner(YValues(), 1, Value); }

private:
    static double Corner(TChartValueList* List, int Index);
    void SetCorner(TChartValueList* List, int Index, double Value);
    void DrawText(const TRect& R);
    // In 3D when drawn in 3D: a shape in pixels is drawn flat in any view.
    bool Drawn3D();
    bool InPlot(const TRect& R);
    bool HitShape(const TPoint& P, const TRect& R);

    TAlignment FAlignment = taCenter;
    std::unique_ptr<TTeeFont> FFont;
    std::unique_ptr<TTeeGradient> FGradient;
    std::unique_ptr<TStrings> FText;
    bool FRoundRectangle = false;
    TChartShapeStyle FStyle = chasCircle;
    bool FTransparent = false;
    TTeeVertAlign FVertAlign = vaCenter;
    TChartShapeXYStyle FXYStyle = xysAxis;
};
