#pragma once
// A chart canvas that logs every drawing call with its arguments, then (unless
// Forward is off) draws it for real on its own bitmap. Calls the canvas makes
// itself while drawing (the faces of a cube, the lines of a frame) are logged
// one level deeper, so tests can look at the caller's calls or at the pieces.
//
//   TRecordingCanvas c;              // draws on a 400 x 300 bitmap
//   c.Cube(10, 50, 10, 50, 0, 20);
//   EXPECT_EQ(c.Text(), "Cube(10,50,10,50,0,20,true)");
//   EXPECT_EQ(c.Count("PolygonFour", 1), 3);
//
// Arguments print as plain integers, doubles with %g, booleans as true/false,
// texts in double quotes, points as (x,y) and colours as 0xBBGGRR.
#include "chart/engine/tecanvas.h"
#include <memory>
#include <string>
#include <vector>

struct TRecordedCall {
    std::string Name;           // "Rectangle"
    std::string Text;           // "Rectangle(1,2,3,4)"
    int Depth = 0;              // 0: called from outside; 1+: made by the canvas itself
    std::vector<TPoint> Points; // of Polygon, Polyline, PolygonWithZ and PolygonFour
    // Drawing state when the call was made.
    TColor PenColor = clBlack;
    TPenStyle PenStyle = psSolid;
    int PenWidth = 1;
    TColor BrushColor = clWhite;
    TBrushStyle BrushStyle = bsSolid;
};

class TRecordingCanvas : public TTeeCanvas3D {
public:
    using TTeeCanvas3D::Calculate3DPosition;
    using TTeeCanvas3D::Cube;
    using TTeeCanvas3D::Ellipse;
    using TTeeCanvas3D::Line;
    using TTeeCanvas3D::LineWithZ;
    using TTeeCanvas3D::PlaneWithZ;
    using TTeeCanvas3D::Polyline;
    using TTeeCanvas3D::Rectangle;
    using TTeeCanvas3D::RoundRect;
    using TTeeCanvas3D::StretchDraw;

    explicit TRecordingCanvas(int Width = 400, int Height = 300);
    ~TRecordingCanvas() override;

    // Pass each call on to the real canvas after logging it (default on).
    bool Forward = true;

    const std::vector<TRecordedCall>& Calls() const { return FCalls; }
    // Texts of the calls made at depth MaxDepth or less.
    std::vector<std::string> Log(int MaxDepth = 0) const;
    std::vector<std::string> Names(int MaxDepth = 0) const;
    // Log joined with newlines.
    std::string Text(int MaxDepth = 0) const;
    int Count(const std::string& Name, int MaxDepth = 0) const;
    // The calls of one name (at any depth up to MaxDepth), in order.
    std::vector<TRecordedCall> Find(const std::string& Name, int MaxDepth = 99) const;
    void Clear() { FCalls.clear(); }

    // The bitmap the canvas draws on until an InitWindow says otherwise.
    TBitmap* Surface() const { return FSurface.get(); }

    // TTeeCanvas
    void SetBackColor(TColor Color) override;
    void SetBackMode(TCanvasBackMode Mode) override;
    void SetMonochrome(bool Value) override;
    void SetPixel(int X, int Y, TColor Value) override;
    void SetTextAlign(UINT Align) override;
    void SetUseBuffer(bool Value) override;
    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override;
    void Donut(int XCenter, int YCenter, int RadiusX, int RadiusY, double StartAngle,
               double EndAngle, double HolePercent) override;
    void Draw(int X, int Y, TGraphic* Graphic) override;
    void Ellipse(int X1, int Y1, int X2, int Y2) override;
    void FillRect(const TRect& Rect) override;
    void Frame3D(TRect& Rect, TColor TopColor, TColor BottomColor, int Width) override;
    void LineTo(int X, int Y) override;
    void MoveTo(int X, int Y) override;
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override;
    void Rectangle(int X0, int Y0, int X1, int Y1) override;
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) override;
    void StretchDraw(const TRect& Rect, TGraphic* Graphic) override;
    void TextOut(int X, int Y, const AnsiString& Text) override;
    void ClipRectangle(const TRect& Rect) override;
    void DoHorizLine(int X0, int X1, int Y) override;
    void DoVertLine(int X, int Y0, int Y1) override;
    void EraseBackground(const TRect& Rect) override;
    void GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor,
                      TGradientDirection Direction, int Balance = 50) override;
    void Invalidate() override;
    void Line(int X0, int Y0, int X1, int Y1) override;
    void Polyline(const TPoint* Points, int High) override;
    void Polygon(const TPoint* Points, int High) override;
    void RotateLabel(int X, int Y, const AnsiString& Text, double RotDegree) override;
    void UnClipRectangle() override;

    // TCanvas3D
    void SetPixel3D(int X, int Y, int Z, TColor Value) override;
    TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* A3DOptions, TColor ABackColor, bool Is3D,
                     const TRect& UserRect) override;
    void Projection(int MaxDepth, const TRect& ABounds, const TRect& ARect) override;
    void ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect) override;
    void Arrow(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int ArrowWidth,
               int ArrowHeight, int Z) override;
    void ClipCube(const TRect& Rect, int MinZ, int MaxZ) override;
    void Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool Dark3D,
              int ConePercent) override;
    void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1,
              bool DarkSides = true) override;
    void Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                  bool Dark3D) override;
    void HorizLine3D(int Left, int Right, int Y, int Z) override;
    void VertLine3D(int X, int Top, int Bottom, int Z) override;
    void ZLine3D(int X, int Y, int Z0, int Z1) override;
    void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) override;
    void FrontPlaneBegin() override;
    void FrontPlaneEnd() override;
    void LineWithZ(int X0, int Y0, int X1, int Y1, int Z) override;
    void MoveTo3D(int X, int Y, int Z) override;
    void LineTo3D(int X, int Y, int Z) override;
    void Pie3D(int XCenter, int YCenter, int RadiusX, int RadiusY, int Z0, int Z1,
               double StartAngle, double EndAngle, bool DarkSides, bool DrawSides,
               int DonutPercent = 0) override;
    void Plane3D(const TPoint& A, const TPoint& B, int Z0, int Z1) override;
    void PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, const TPoint& P4,
                    int Z) override;
    void PlaneFour3D(const TFourPoints& Points, int Z0, int Z1) override;
    void PolygonWithZ(const TPoint* Points, int High, int Z) override;
    void Polyline(const TPoint* Points, int High, int Z) override;
    void Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                 bool DarkSides) override;
    void PyramidTrunc(const TRect& R, int StartZ, int EndZ, int TruncX, int TruncZ) override;
    void RectangleWithZ(const TRect& Rect, int Z) override;
    void RectangleY(int Left, int Top, int Right, int Z0, int Z1) override;
    void RectangleZ(int Left, int Top, int Bottom, int Z0, int Z1) override;
    void RotateLabel3D(int X, int Y, int Z, const AnsiString& Text, double RotDegree) override;
    void Sphere(int X, int Y, int Z, double Radius) override;
    void Surface3D(TTeeCanvasSurfaceStyle Style, bool SameBrush, int NumXValues, int NumZValues,
                   const TCanvas3DPlaneFunction& CalcPoints) override;
    void TextOut3D(int X, int Y, int Z, const AnsiString& Text) override;
    void Triangle3D(const TTrianglePoints3D& Points, const TTriangleColors3D& Colors) override;
    void TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z) override;

    // TTeeCanvas3D
    void PolygonFour() override;

    class TScope; // one logged call, open while the real canvas draws it

private:
    void KeepPoints(const TPoint* Points, int High);
    std::unique_ptr<TBitmap> FSurface;
    std::vector<TRecordedCall> FCalls;
    int FDepth = 0;
};
