#include "support/recording_canvas.h"
#include <cstdio>

namespace {

// A colour argument printed as 0xBBGGRR.
struct TColorArg {
    TColor Value;
};
// Points[0..High].
struct TPointsArg {
    const TPoint* Points;
    int High;
};

void Put(std::string& s, int v) {
    s += std::to_string(v);
}
void Put(std::string& s, bool v) {
    s += v ? "true" : "false";
}
void Put(std::string& s, double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    s += buf;
}
void Put(std::string& s, const AnsiString& v) {
    s += '"';
    s += v.c_str();
    s += '"';
}
void Put(std::string& s, const TPoint& p) {
    s += '(';
    Put(s, p.x);
    s += ',';
    Put(s, p.y);
    s += ')';
}
void Put(std::string& s, const TPoint3D& p) {
    s += '(';
    Put(s, p.x);
    s += ',';
    Put(s, p.y);
    s += ',';
    Put(s, p.z);
    s += ')';
}
void Put(std::string& s, const TRect& r) {
    Put(s, r.Left);
    s += ',';
    Put(s, r.Top);
    s += ',';
    Put(s, r.Right);
    s += ',';
    Put(s, r.Bottom);
}
void Put(std::string& s, TColorArg c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%06X", unsigned(c.Value) & 0xFFFFFFu);
    s += buf;
}
void Put(std::string& s, TPointsArg p) {
    for (int i = 0; i <= p.High; ++i) {
        if (i) s += ',';
        Put(s, p.Points[i]);
    }
}
void Put(std::string& s, const TFourPoints& p) {
    Put(s, TPointsArg{p.data(), 3});
}

template <typename... A> std::string Args(const A&... a) {
    std::string s;
    bool first = true;
    ((s += first ? "" : ",", first = false, Put(s, a)), ...);
    return s;
}

} // namespace

class TRecordingCanvas::TScope {
public:
    TScope(TRecordingCanvas* C, const char* Name, const std::string& Arguments) : FCanvas(C) {
        TRecordedCall call;
        call.Name = Name;
        call.Text = std::string(Name) + "(" + Arguments + ")";
        call.Depth = C->FDepth;
        if (C->Pen()) {
            call.PenColor = C->Pen()->Color();
            call.PenStyle = C->Pen()->Style();
            call.PenWidth = C->Pen()->Width();
        }
        if (C->Brush()) {
            call.BrushColor = C->Brush()->Color();
            call.BrushStyle = C->Brush()->Style();
        }
        C->FCalls.push_back(std::move(call));
        ++C->FDepth;
    }
    ~TScope() { --FCanvas->FDepth; }
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

private:
    TRecordingCanvas* FCanvas;
};

#define REC(Name, ...) TScope scope_(this, #Name, Args(__VA_ARGS__))
#define REC0(Name) TScope scope_(this, #Name, std::string())

TRecordingCanvas::TRecordingCanvas(int Width, int Height)
    : FSurface(std::make_unique<TBitmap>(Width, Height)) {
    SetCanvas(FSurface->Canvas());
}

TRecordingCanvas::~TRecordingCanvas() {
    // The base destructor must not see a canvas freed before it.
    if (PlatformCanvas() == FSurface->Canvas()) SetCanvas(nullptr);
}

void TRecordingCanvas::KeepPoints(const TPoint* Points, int High) {
    // The scope of the call being logged has just pushed its entry.
    if (Points && High >= 0) FCalls.back().Points.assign(Points, Points + High + 1);
}

std::vector<std::string> TRecordingCanvas::Log(int MaxDepth) const {
    std::vector<std::string> result;
    for (const auto& c : FCalls)
        if (c.Depth <= MaxDepth) result.push_back(c.Text);
    return result;
}

std::vector<std::string> TRecordingCanvas::Names(int MaxDepth) const {
    std::vector<std::string> result;
    for (const auto& c : FCalls)
        if (c.Depth <= MaxDepth) result.push_back(c.Name);
    return result;
}

std::string TRecordingCanvas::Text(int MaxDepth) const {
    std::string result;
    for (const auto& line : Log(MaxDepth)) {
        if (!result.empty()) result += '\n';
        result += line;
    }
    return result;
}

int TRecordingCanvas::Count(const std::string& Name, int MaxDepth) const {
    int n = 0;
    for (const auto& c : FCalls)
        if (c.Depth <= MaxDepth && c.Name == Name) ++n;
    return n;
}

std::vector<TRecordedCall> TRecordingCanvas::Find(const std::string& Name, int MaxDepth) const {
    std::vector<TRecordedCall> result;
    for (const auto& c : FCalls)
        if (c.Depth <= MaxDepth && c.Name == Name) result.push_back(c);
    return result;
}

// --- TTeeCanvas ---------------------------------------------------------------------

void TRecordingCanvas::SetBackColor(TColor Color) {
    REC(SetBackColor, TColorArg{Color});
    if (Forward) TTeeCanvas3D::SetBackColor(Color);
}
void TRecordingCanvas::SetBackMode(TCanvasBackMode Mode) {
    REC(SetBackMode, int(Mode));
    if (Forward) TTeeCanvas3D::SetBackMode(Mode);
}
void TRecordingCanvas::SetMonochrome(bool Value) {
    REC(SetMonochrome, Value);
    TTeeCanvas3D::SetMonochrome(Value);
}
void TRecordingCanvas::SetPixel(int X, int Y, TColor Value) {
    REC(SetPixel, X, Y, TColorArg{Value});
    if (Forward) TTeeCanvas3D::SetPixel(X, Y, Value);
}
void TRecordingCanvas::SetTextAlign(UINT Align) {
    REC(SetTextAlign, int(Align));
    if (Forward) TTeeCanvas3D::SetTextAlign(Align);
}
void TRecordingCanvas::SetUseBuffer(bool Value) {
    REC(SetUseBuffer, Value);
    TTeeCanvas3D::SetUseBuffer(Value);
}
void TRecordingCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    REC(Arc, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    if (Forward) TTeeCanvas3D::Arc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}
void TRecordingCanvas::Donut(int XCenter, int YCenter, int RadiusX, int RadiusY, double StartAngle,
                             double EndAngle, double HolePercent) {
    REC(Donut, XCenter, YCenter, RadiusX, RadiusY, StartAngle, EndAngle, HolePercent);
    if (Forward)
        TTeeCanvas3D::Donut(XCenter, YCenter, RadiusX, RadiusY, StartAngle, EndAngle, HolePercent);
}
void TRecordingCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    REC(Draw, X, Y);
    if (Forward) TTeeCanvas3D::Draw(X, Y, Graphic);
}
void TRecordingCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    REC(Ellipse, X1, Y1, X2, Y2);
    if (Forward) TTeeCanvas3D::Ellipse(X1, Y1, X2, Y2);
}
void TRecordingCanvas::FillRect(const TRect& Rect) {
    REC(FillRect, Rect);
    if (Forward) TTeeCanvas3D::FillRect(Rect);
}
void TRecordingCanvas::Frame3D(TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    REC(Frame3D, Rect, TColorArg{TopColor}, TColorArg{BottomColor}, Width);
    if (Forward) TTeeCanvas3D::Frame3D(Rect, TopColor, BottomColor, Width);
}
void TRecordingCanvas::LineTo(int X, int Y) {
    REC(LineTo, X, Y);
    if (Forward) TTeeCanvas3D::LineTo(X, Y);
}
void TRecordingCanvas::MoveTo(int X, int Y) {
    REC(MoveTo, X, Y);
    if (Forward) TTeeCanvas3D::MoveTo(X, Y);
}
void TRecordingCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    REC(Pie, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    if (Forward) TTeeCanvas3D::Pie(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}
void TRecordingCanvas::Rectangle(int X0, int Y0, int X1, int Y1) {
    REC(Rectangle, X0, Y0, X1, Y1);
    if (Forward) TTeeCanvas3D::Rectangle(X0, Y0, X1, Y1);
}
void TRecordingCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    REC(RoundRect, X1, Y1, X2, Y2, X3, Y3);
    if (Forward) TTeeCanvas3D::RoundRect(X1, Y1, X2, Y2, X3, Y3);
}
void TRecordingCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
    REC(StretchDraw, Rect);
    if (Forward) TTeeCanvas3D::StretchDraw(Rect, Graphic);
}
void TRecordingCanvas::TextOut(int X, int Y, const AnsiString& Text) {
    REC(TextOut, X, Y, Text);
    if (Forward) TTeeCanvas3D::TextOut(X, Y, Text);
}
void TRecordingCanvas::ClipRectangle(const TRect& Rect) {
    REC(ClipRectangle, Rect);
    if (Forward) TTeeCanvas3D::ClipRectangle(Rect);
}
void TRecordingCanvas::DoHorizLine(int X0, int X1, int Y) {
    REC(DoHorizLine, X0, X1, Y);
    if (Forward) TTeeCanvas3D::DoHorizLine(X0, X1, Y);
}
void TRecordingCanvas::DoVertLine(int X, int Y0, int Y1) {
    REC(DoVertLine, X, Y0, Y1);
    if (Forward) TTeeCanvas3D::DoVertLine(X, Y0, Y1);
}
void TRecordingCanvas::EraseBackground(const TRect& Rect) {
    REC(EraseBackground, Rect);
    if (Forward) TTeeCanvas3D::EraseBackground(Rect);
}
void TRecordingCanvas::GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor,
                                    TGradientDirection Direction, int Balance) {
    REC(GradientFill, Rect, TColorArg{StartColor}, TColorArg{EndColor}, int(Direction), Balance);
    if (Forward) TTeeCanvas3D::GradientFill(Rect, StartColor, EndColor, Direction, Balance);
}
void TRecordingCanvas::Invalidate() {
    REC0(Invalidate);
    TTeeCanvas3D::Invalidate();
}
void TRecordingCanvas::Line(int X0, int Y0, int X1, int Y1) {
    REC(Line, X0, Y0, X1, Y1);
    if (Forward) TTeeCanvas3D::Line(X0, Y0, X1, Y1);
}
void TRecordingCanvas::Polyline(const TPoint* Points, int High) {
    REC(Polyline, TPointsArg{Points, High});
    KeepPoints(Points, High);
    if (Forward) TTeeCanvas3D::Polyline(Points, High);
}
void TRecordingCanvas::Polygon(const TPoint* Points, int High) {
    REC(Polygon, TPointsArg{Points, High});
    KeepPoints(Points, High);
    if (Forward) TTeeCanvas3D::Polygon(Points, High);
}
void TRecordingCanvas::RotateLabel(int X, int Y, const AnsiString& Text, double RotDegree) {
    REC(RotateLabel, X, Y, Text, RotDegree);
    if (Forward) TTeeCanvas3D::RotateLabel(X, Y, Text, RotDegree);
}
void TRecordingCanvas::UnClipRectangle() {
    REC0(UnClipRectangle);
    if (Forward) TTeeCanvas3D::UnClipRectangle();
}

// --- TCanvas3D ----------------------------------------------------------------------

void TRecordingCanvas::SetPixel3D(int X, int Y, int Z, TColor Value) {
    REC(SetPixel3D, X, Y, Z, TColorArg{Value});
    if (Forward) TTeeCanvas3D::SetPixel3D(X, Y, Z, Value);
}
TRect TRecordingCanvas::InitWindow(TCanvas* DestCanvas, TView3DOptions* A3DOptions,
                                   TColor ABackColor, bool Is3D, const TRect& UserRect) {
    REC(InitWindow, TColorArg{ABackColor}, Is3D, UserRect);
    return TTeeCanvas3D::InitWindow(DestCanvas, A3DOptions, ABackColor, Is3D, UserRect);
}
void TRecordingCanvas::Projection(int MaxDepth, const TRect& ABounds, const TRect& ARect) {
    REC(Projection, MaxDepth, ABounds, ARect);
    TTeeCanvas3D::Projection(MaxDepth, ABounds, ARect);
}
void TRecordingCanvas::ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas,
                                 const TRect& UserRect) {
    REC(ShowImage, UserRect);
    TTeeCanvas3D::ShowImage(DestCanvas, DefaultCanvas, UserRect);
}
void TRecordingCanvas::Arrow(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint,
                             int ArrowWidth, int ArrowHeight, int Z) {
    REC(Arrow, Filled, FromPoint, ToPoint, ArrowWidth, ArrowHeight, Z);
    if (Forward) TTeeCanvas3D::Arrow(Filled, FromPoint, ToPoint, ArrowWidth, ArrowHeight, Z);
}
void TRecordingCanvas::ClipCube(const TRect& Rect, int MinZ, int MaxZ) {
    REC(ClipCube, Rect, MinZ, MaxZ);
    if (Forward) TTeeCanvas3D::ClipCube(Rect, MinZ, MaxZ);
}
void TRecordingCanvas::Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                            bool Dark3D, int ConePercent) {
    REC(Cone, Vertical, Left, Top, Right, Bottom, Z0, Z1, Dark3D, ConePercent);
    if (Forward)
        TTeeCanvas3D::Cone(Vertical, Left, Top, Right, Bottom, Z0, Z1, Dark3D, ConePercent);
}
void TRecordingCanvas::Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1,
                            bool DarkSides) {
    REC(Cube, Left, Right, Top, Bottom, Z0, Z1, DarkSides);
    if (Forward) TTeeCanvas3D::Cube(Left, Right, Top, Bottom, Z0, Z1, DarkSides);
}
void TRecordingCanvas::Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0,
                                int Z1, bool Dark3D) {
    REC(Cylinder, Vertical, Left, Top, Right, Bottom, Z0, Z1, Dark3D);
    if (Forward) TTeeCanvas3D::Cylinder(Vertical, Left, Top, Right, Bottom, Z0, Z1, Dark3D);
}
void TRecordingCanvas::HorizLine3D(int Left, int Right, int Y, int Z) {
    REC(HorizLine3D, Left, Right, Y, Z);
    if (Forward) TTeeCanvas3D::HorizLine3D(Left, Right, Y, Z);
}
void TRecordingCanvas::VertLine3D(int X, int Top, int Bottom, int Z) {
    REC(VertLine3D, X, Top, Bottom, Z);
    if (Forward) TTeeCanvas3D::VertLine3D(X, Top, Bottom, Z);
}
void TRecordingCanvas::ZLine3D(int X, int Y, int Z0, int Z1) {
    REC(ZLine3D, X, Y, Z0, Z1);
    if (Forward) TTeeCanvas3D::ZLine3D(X, Y, Z0, Z1);
}
void TRecordingCanvas::EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) {
    REC(EllipseWithZ, X1, Y1, X2, Y2, Z);
    if (Forward) TTeeCanvas3D::EllipseWithZ(X1, Y1, X2, Y2, Z);
}
void TRecordingCanvas::FrontPlaneBegin() {
    REC0(FrontPlaneBegin);
    TTeeCanvas3D::FrontPlaneBegin();
}
void TRecordingCanvas::FrontPlaneEnd() {
    REC0(FrontPlaneEnd);
    TTeeCanvas3D::FrontPlaneEnd();
}
void TRecordingCanvas::LineWithZ(int X0, int Y0, int X1, int Y1, int Z) {
    REC(LineWithZ, X0, Y0, X1, Y1, Z);
    if (Forward) TTeeCanvas3D::LineWithZ(X0, Y0, X1, Y1, Z);
}
void TRecordingCanvas::MoveTo3D(int X, int Y, int Z) {
    REC(MoveTo3D, X, Y, Z);
    if (Forward) TTeeCanvas3D::MoveTo3D(X, Y, Z);
}
void TRecordingCanvas::LineTo3D(int X, int Y, int Z) {
    REC(LineTo3D, X, Y, Z);
    if (Forward) TTeeCanvas3D::LineTo3D(X, Y, Z);
}
void TRecordingCanvas::Pie3D(int XCenter, int YCenter, int RadiusX, int RadiusY, int Z0, int Z1,
                             double StartAngle, double EndAngle, bool DarkSides, bool DrawSides,
                             int DonutPercent) {
    REC(Pie3D, XCenter, YCenter, RadiusX, RadiusY, Z0, Z1, StartAngle, EndAngle, DarkSides,
        DrawSides, DonutPercent);
    if (Forward)
        TTeeCanvas3D::Pie3D(XCenter, YCenter, RadiusX, RadiusY, Z0, Z1, StartAngle, EndAngle,
                            DarkSides, DrawSides, DonutPercent);
}
void TRecordingCanvas::Plane3D(const TPoint& A, const TPoint& B, int Z0, int Z1) {
    REC(Plane3D, A, B, Z0, Z1);
    if (Forward) TTeeCanvas3D::Plane3D(A, B, Z0, Z1);
}
void TRecordingCanvas::PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3,
                                  const TPoint& P4, int Z) {
    REC(PlaneWithZ, P1, P2, P3, P4, Z);
    if (Forward) TTeeCanvas3D::PlaneWithZ(P1, P2, P3, P4, Z);
}
void TRecordingCanvas::PlaneFour3D(const TFourPoints& Points, int Z0, int Z1) {
    REC(PlaneFour3D, Points, Z0, Z1);
    if (Forward) TTeeCanvas3D::PlaneFour3D(Points, Z0, Z1);
}
void TRecordingCanvas::PolygonWithZ(const TPoint* Points, int High, int Z) {
    REC(PolygonWithZ, TPointsArg{Points, High}, Z);
    KeepPoints(Points, High);
    if (Forward) TTeeCanvas3D::PolygonWithZ(Points, High, Z);
}
void TRecordingCanvas::Polyline(const TPoint* Points, int High, int Z) {
    REC(Polyline, TPointsArg{Points, High}, Z);
    KeepPoints(Points, High);
    if (Forward) TTeeCanvas3D::Polyline(Points, High, Z);
}
void TRecordingCanvas::Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0,
                               int Z1, bool DarkSides) {
    REC(Pyramid, Vertical, Left, Top, Right, Bottom, Z0, Z1, DarkSides);
    if (Forward) TTeeCanvas3D::Pyramid(Vertical, Left, Top, Right, Bottom, Z0, Z1, DarkSides);
}
void TRecordingCanvas::PyramidTrunc(const TRect& R, int StartZ, int EndZ, int TruncX, int TruncZ) {
    REC(PyramidTrunc, R, StartZ, EndZ, TruncX, TruncZ);
    if (Forward) TTeeCanvas3D::PyramidTrunc(R, StartZ, EndZ, TruncX, TruncZ);
}
void TRecordingCanvas::RectangleWithZ(const TRect& Rect, int Z) {
    REC(RectangleWithZ, Rect, Z);
    if (Forward) TTeeCanvas3D::RectangleWithZ(Rect, Z);
}
void TRecordingCanvas::RectangleY(int Left, int Top, int Right, int Z0, int Z1) {
    REC(RectangleY, Left, Top, Right, Z0, Z1);
    if (Forward) TTeeCanvas3D::RectangleY(Left, Top, Right, Z0, Z1);
}
void TRecordingCanvas::RectangleZ(int Left, int Top, int Bottom, int Z0, int Z1) {
    REC(RectangleZ, Left, Top, Bottom, Z0, Z1);
    if (Forward) TTeeCanvas3D::RectangleZ(Left, Top, Bottom, Z0, Z1);
}
void TRecordingCanvas::RotateLabel3D(int X, int Y, int Z, const AnsiString& Text,
                                     double RotDegree) {
    REC(RotateLabel3D, X, Y, Z, Text, RotDegree);
    if (Forward) TTeeCanvas3D::RotateLabel3D(X, Y, Z, Text, RotDegree);
}
void TRecordingCanvas::Sphere(int X, int Y, int Z, double Radius) {
    REC(Sphere, X, Y, Z, Radius);
    if (Forward) TTeeCanvas3D::Sphere(X, Y, Z, Radius);
}
void TRecordingCanvas::Surface3D(TTeeCanvasSurfaceStyle Style, bool SameBrush, int NumXValues,
                                 int NumZValues, const TCanvas3DPlaneFunction& CalcPoints) {
    REC(Surface3D, int(Style), SameBrush, NumXValues, NumZValues);
    if (Forward) TTeeCanvas3D::Surface3D(Style, SameBrush, NumXValues, NumZValues, CalcPoints);
}
void TRecordingCanvas::TextOut3D(int X, int Y, int Z, const AnsiString& Text) {
    REC(TextOut3D, X, Y, Z, Text);
    if (Forward) TTeeCanvas3D::TextOut3D(X, Y, Z, Text);
}
void TRecordingCanvas::Triangle3D(const TTrianglePoints3D& Points,
                                  const TTriangleColors3D& Colors) {
    REC(Triangle3D, Points[0], Points[1], Points[2], TColorArg{Colors[0]}, TColorArg{Colors[1]},
        TColorArg{Colors[2]});
    if (Forward) TTeeCanvas3D::Triangle3D(Points, Colors);
}
void TRecordingCanvas::TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z) {
    REC(TriangleWithZ, P1, P2, P3, Z);
    if (Forward) TTeeCanvas3D::TriangleWithZ(P1, P2, P3, Z);
}

void TRecordingCanvas::PolygonFour() {
    REC(PolygonFour, FourPoints());
    KeepPoints(FourPoints().data(), 3);
    if (Forward) TTeeCanvas3D::PolygonFour();
}
