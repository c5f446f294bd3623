#pragma once
// Point shapes of series and the connectors between marks and points (unit Teengine).
//   TSeriesPointer   the shape drawn at each point (rectangle, circle, triangle...)
//   TPointerSizeKeeper  puts a pointer's sizes back after a drawing sized it
//   TCallout         a connector line or arrow, optionally with a pointer at the point
//   TMarksCallout    the callout every series' marks own
#include "chart/engine/tecanvas.h"
#include "chart/engine/teeprocs.h"
#include "chart/engine/teeseries.h"

class TChartSeries;

enum TSeriesPointerStyle {
    psRectangle,
    psCircle,
    psTriangle,
    psDownTriangle,
    psCross,
    psDiagCross,
    psStar,
    psDiamond,
    psSmallDot,
    psNothing,
    psLeftTriangle,
    psRightTriangle
};
QM_ENUM_NAMES(TSeriesPointerStyle, psRectangle, psCircle, psTriangle, psDownTriangle, psCross,
              psDiagCross, psStar, psDiamond, psSmallDot, psNothing, psLeftTriangle,
              psRightTriangle)

enum TArrowHeadStyle { ahNone, ahLine, ahSolid };
QM_ENUM_NAMES(TArrowHeadStyle, ahNone, ahLine, ahSolid)

// A callout whose arrow would not be seen is drawn in a contrasting colour.
extern bool TeeCheckMarkArrowColor;

class TSeriesPointer : public TTeeCustomShapeBrushPen {
    QM_CLASS(TSeriesPointer)
public:
    explicit TSeriesPointer(TChartSeries* AOwner = nullptr);
    ~TSeriesPointer() override;
    void Assign(TPersistent* Source) override;

    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value);
    bool Draw3D() const { return FDraw3D; }
    void SetDraw3D(bool Value);
    TTeeGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(TTeeGradient* Value);
    int HorizSize() const { return FHorizSize; }
    // Raises ChartException below 1.
    void SetHorizSize(int Value);
    bool InflateMargins() const { return FInflateMargins; }
    void SetInflateMargins(bool Value);
    void SetInflate(bool Value) { SetInflateMargins(Value); }
    TSeriesPointerStyle Style() const { return FStyle; }
    void SetStyle(TSeriesPointerStyle Value);
    int VertSize() const { return FVertSize; }
    // Raises ChartException below 1.
    void SetVertSize(int Value);
    TChartSeries* ParentSeries() const { return FSeries; }
    // The chart it draws on: its series' chart, whichever that is now, else
    // the panel it was given.
    TCustomAxisPanel* Chart() const;

    // The first of the two flags: pointers of series types may be switched off in galleries.
    bool AllowChangeSize = true;
    // Keeps the gradient's EndColor instead of following the point colour.
    bool FixedGradientEnd = false;

    // Store without repainting (series types call them in their constructors).
    void ChangeStyle(TSeriesPointerStyle Value) { FStyle = Value; }
    void ChangeHorizSize(int Value) { FHorizSize = Value; }
    void ChangeVertSize(int Value) { FVertSize = Value; }
    void Change3D(bool Value) { FDraw3D = Value; }
    static void CheckPointerSize(int Size);

    TColor GetColor() const;
    void SetColor(TColor Value);
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) const;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) const;
    int GetStartZ() const;
    int GetMiddleZ() const;
    int GetEndZ() const;

    void PrepareCanvas(TCanvas3D* ACanvas, TColor ColorValue);
    void PrepareCanvas();
    // These do not prepare the canvas; call PrepareCanvas first.
    void Draw(int X, int Y);
    void Draw(const TPoint& P) { Draw(P.x, P.y); }
    void Draw(int X, int Y, TColor ColorValue, TSeriesPointerStyle AStyle);
    void DrawPointer(TCanvas3D* ACanvas, bool Is3D, int px, int py, int tmpHoriz, int tmpVert,
                     TColor ColorValue, TSeriesPointerStyle AStyle);

protected:
    void Repaint();
    TCanvas3D* ChartCanvas() const;
    bool ChartView3D() const;
    TChartSeries* FSeries = nullptr;

private:
    void DrawGradient(TCanvas3D* ACanvas, bool Is3D, int px, int py, int Left, int Top, int Right,
                      int Bottom, TColor ColorValue, TSeriesPointerStyle AStyle, int StartZ);
    bool FDark3D = true;
    bool FDraw3D = true;
    std::unique_ptr<TTeeGradient> FGradient;
    int FHorizSize = 4;
    bool FInflateMargins = true;
    TSeriesPointerStyle FStyle = psRectangle;
    int FVertSize = 4;
};

// The pointer's sizes are settings of its series; a drawing that sizes the
// pointer for one point or picture keeps them in one of these, which puts
// them back, so a chart file does not depend on its last frame.
class TPointerSizeKeeper {
public:
    explicit TPointerSizeKeeper(TSeriesPointer* P) : FP(P), FH(P->HorizSize()), FV(P->VertSize()) {}
    ~TPointerSizeKeeper() {
        FP->ChangeHorizSize(FH);
        FP->ChangeVertSize(FV);
    }
    TPointerSizeKeeper(const TPointerSizeKeeper&) = delete;
    TPointerSizeKeeper& operator=(const TPointerSizeKeeper&) = delete;

private:
    TSeriesPointer* FP;
    int FH, FV;
};

class TCallout : public TSeriesPointer {
    QM_CLASS(TCallout)
public:
    explicit TCallout(TChartSeries* AOwner = nullptr);
    ~TCallout() override;
    void Assign(TPersistent* Source) override;

    TWhitePen* Arrow() const { return FArrow.get(); }
    void SetArrow(TWhitePen* Value);
    TArrowHeadStyle ArrowHead() const { return FArrowHead; }
    void SetArrowHead(TArrowHeadStyle Value);
    int ArrowHeadSize() const { return FArrowHeadSize; }
    void SetArrowHeadSize(int Value);
    int Distance() const { return FDistance; }
    void SetDistance(int Value);

    // From is the series point, To the end at the mark.
    void Draw(TColor AColor, const TPoint& AFrom, const TPoint& ATo, int Z);
    using TSeriesPointer::Draw;

private:
    std::unique_ptr<TWhitePen> FArrow;
    TArrowHeadStyle FArrowHead = ahNone;
    int FArrowHeadSize = 8;
    int FDistance = 0;
};

class TMarksCallout : public TCallout {
    QM_CLASS(TMarksCallout)
public:
    explicit TMarksCallout(TChartSeries* AOwner = nullptr);
    void Assign(TPersistent* Source) override;

    int Length() const { return FLength; }
    void SetLength(int Value);

private:
    int FLength = 8;
};
