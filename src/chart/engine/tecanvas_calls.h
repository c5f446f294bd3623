#pragma once
// The drawing calls of the chart canvas, listed once: the 3D canvas declares
// its overrides from this list and the tests' recording canvas logs every one,
// so a call added here reaches both.
//
//   TEE_CANVAS_CALLS(X) expands X(Kind, Return, Name, (Parameters), (Arguments))
//   for each call, where Kind is
//     Paint   draws, or sets how the next drawing looks; the 3D canvas implements it
//     Frame   prepares, frames or shows a paint; the 3D canvas implements it
//     Common  the base canvas implements it once for every canvas
//   Parameters give defaults as TEE_CANVAS_DEFAULT(value). Arguments name the
//   parameters in order, colours marked TEE_CANVAS_COLOR(x) and objects the
//   call only hands on (pictures, canvases, options, callbacks) marked
//   TEE_CANVAS_OBJECT(x); a user of the arguments defines both marks.

#define TEE_CANVAS_DEFAULT(Value) = Value

// For X: declares an override of the call.
#define TEE_CANVAS_DECLARE(Kind, Return, Name, Parameters, Arguments)                              \
    Return Name Parameters override;
// For X: declares an override of a call the 3D canvas implements (not Common).
#define TEE_CANVAS_DECLARE_IMPLEMENTED(Kind, Return, Name, Parameters, Arguments)                  \
    TEE_CANVAS_DECLARE_##Kind(Return, Name, Parameters)
#define TEE_CANVAS_DECLARE_Paint(Return, Name, Parameters) Return Name Parameters override;
#define TEE_CANVAS_DECLARE_Frame(Return, Name, Parameters) Return Name Parameters override;
#define TEE_CANVAS_DECLARE_Common(Return, Name, Parameters)

// clang-format off
#define TEE_CANVAS_CALLS(X)                                                                        \
    /* TTeeCanvas */                                                                               \
    X(Common, void, SetBackColor, (TColor Color), (TEE_CANVAS_COLOR(Color)))                       \
    X(Common, void, SetBackMode, (TCanvasBackMode Mode), (Mode))                                   \
    X(Frame, void, SetMonochrome, (bool Value), (Value))                                           \
    X(Paint, void, SetPixel, (int X, int Y, TColor Value), (X, Y, TEE_CANVAS_COLOR(Value)))        \
    X(Paint, void, SetTextAlign, (UINT Align), (Align))                                            \
    X(Frame, void, SetUseBuffer, (bool Value), (Value))                                            \
    X(Paint, void, Arc, (int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4),          \
      (X1, Y1, X2, Y2, X3, Y3, X4, Y4))                                                            \
    X(Paint, void, Donut,                                                                          \
      (int XCenter, int YCenter, int RadiusX, int RadiusY, double StartAngle, double EndAngle,     \
       double HolePercent),                                                                        \
      (XCenter, YCenter, RadiusX, RadiusY, StartAngle, EndAngle, HolePercent))                     \
    X(Paint, void, Draw, (int X, int Y, TGraphic* Graphic), (X, Y, TEE_CANVAS_OBJECT(Graphic)))    \
    X(Paint, void, Ellipse, (int X1, int Y1, int X2, int Y2), (X1, Y1, X2, Y2))                    \
    X(Paint, void, FillRect, (const TRect& Rect), (Rect))                                          \
    X(Paint, void, Frame3D, (TRect& Rect, TColor TopColor, TColor BottomColor, int Width),         \
      (Rect, TEE_CANVAS_COLOR(TopColor), TEE_CANVAS_COLOR(BottomColor), Width))                    \
    X(Paint, void, LineTo, (int X, int Y), (X, Y))                                                 \
    X(Paint, void, MoveTo, (int X, int Y), (X, Y))                                                 \
    X(Paint, void, Pie, (int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4),          \
      (X1, Y1, X2, Y2, X3, Y3, X4, Y4))                                                            \
    X(Paint, void, Rectangle, (int X0, int Y0, int X1, int Y1), (X0, Y0, X1, Y1))                  \
    X(Paint, void, RoundRect, (int X1, int Y1, int X2, int Y2, int X3, int Y3),                    \
      (X1, Y1, X2, Y2, X3, Y3))                                                                    \
    X(Paint, void, StretchDraw, (const TRect& Rect, TGraphic* Graphic),                            \
      (Rect, TEE_CANVAS_OBJECT(Graphic)))                                                          \
    X(Paint, void, TextOut, (int X, int Y, const AnsiString& Text), (X, Y, Text))                  \
    X(Paint, void, ClipRectangle, (const TRect& Rect), (Rect))                                     \
    X(Paint, void, DoHorizLine, (int X0, int X1, int Y), (X0, X1, Y))                              \
    X(Paint, void, DoVertLine, (int X, int Y0, int Y1), (X, Y0, Y1))                               \
    X(Paint, void, EraseBackground, (const TRect& Rect), (Rect))                                   \
    X(Paint, void, GradientFill,                                                                   \
      (const TRect& Rect, TColor StartColor, TColor EndColor, TGradientDirection Direction,        \
       int Balance TEE_CANVAS_DEFAULT(50)),                                                        \
      (Rect, TEE_CANVAS_COLOR(StartColor), TEE_CANVAS_COLOR(EndColor), Direction, Balance))        \
    X(Frame, void, Invalidate, (), ())                                                             \
    X(Paint, void, Line, (int X0, int Y0, int X1, int Y1), (X0, Y0, X1, Y1))                       \
    X(Paint, void, Polyline, (const TPoint* Points, int High), (Points, High))                     \
    X(Paint, void, Polygon, (const TPoint* Points, int High), (Points, High))                      \
    X(Paint, void, RotateLabel, (int X, int Y, const AnsiString& Text, double RotDegree),          \
      (X, Y, Text, RotDegree))                                                                     \
    X(Paint, void, UnClipRectangle, (), ())                                                        \
    /* TCanvas3D */                                                                                \
    X(Paint, void, SetPixel3D, (int X, int Y, int Z, TColor Value),                                \
      (X, Y, Z, TEE_CANVAS_COLOR(Value)))                                                          \
    X(Frame, TRect, InitWindow,                                                                    \
      (TCanvas* DestCanvas, TView3DOptions* A3DOptions, TColor ABackColor, bool Is3D,              \
       const TRect& UserRect),                                                                     \
      (TEE_CANVAS_OBJECT(DestCanvas), TEE_CANVAS_OBJECT(A3DOptions),                               \
       TEE_CANVAS_COLOR(ABackColor), Is3D, UserRect))                                              \
    X(Frame, void, Projection, (int MaxDepth, const TRect& ABounds, const TRect& ARect),           \
      (MaxDepth, ABounds, ARect))                                                                  \
    X(Frame, void, ShowImage, (TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect),\
      (TEE_CANVAS_OBJECT(DestCanvas), TEE_CANVAS_OBJECT(DefaultCanvas), UserRect))                 \
    X(Paint, void, Arrow,                                                                          \
      (bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int ArrowWidth,                \
       int ArrowHeight, int Z),                                                                    \
      (Filled, FromPoint, ToPoint, ArrowWidth, ArrowHeight, Z))                                    \
    X(Paint, void, ClipCube, (const TRect& Rect, int MinZ, int MaxZ), (Rect, MinZ, MaxZ))          \
    X(Paint, void, Cone,                                                                           \
      (bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool Dark3D,       \
       int ConePercent),                                                                           \
      (Vertical, Left, Top, Right, Bottom, Z0, Z1, Dark3D, ConePercent))                           \
    X(Paint, void, Cube,                                                                           \
      (int Left, int Right, int Top, int Bottom, int Z0, int Z1,                                   \
       bool DarkSides TEE_CANVAS_DEFAULT(true)),                                                   \
      (Left, Right, Top, Bottom, Z0, Z1, DarkSides))                                               \
    X(Paint, void, Cylinder,                                                                       \
      (bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool Dark3D),      \
      (Vertical, Left, Top, Right, Bottom, Z0, Z1, Dark3D))                                        \
    X(Paint, void, HorizLine3D, (int Left, int Right, int Y, int Z), (Left, Right, Y, Z))          \
    X(Paint, void, VertLine3D, (int X, int Top, int Bottom, int Z), (X, Top, Bottom, Z))           \
    X(Paint, void, ZLine3D, (int X, int Y, int Z0, int Z1), (X, Y, Z0, Z1))                        \
    X(Paint, void, EllipseWithZ, (int X1, int Y1, int X2, int Y2, int Z), (X1, Y1, X2, Y2, Z))     \
    X(Frame, void, FrontPlaneBegin, (), ())                                                        \
    X(Frame, void, FrontPlaneEnd, (), ())                                                          \
    X(Paint, void, LineWithZ, (int X0, int Y0, int X1, int Y1, int Z), (X0, Y0, X1, Y1, Z))        \
    X(Paint, void, MoveTo3D, (int X, int Y, int Z), (X, Y, Z))                                     \
    X(Paint, void, LineTo3D, (int X, int Y, int Z), (X, Y, Z))                                     \
    X(Paint, void, Pie3D,                                                                          \
      (int XCenter, int YCenter, int RadiusX, int RadiusY, int Z0, int Z1, double StartAngle,      \
       double EndAngle, bool DarkSides, bool DrawSides, int DonutPercent TEE_CANVAS_DEFAULT(0)),   \
      (XCenter, YCenter, RadiusX, RadiusY, Z0, Z1, StartAngle, EndAngle, DarkSides, DrawSides,     \
       DonutPercent))                                                                              \
    X(Paint, void, Plane3D, (const TPoint& A, const TPoint& B, int Z0, int Z1), (A, B, Z0, Z1))    \
    X(Paint, void, PlaneWithZ,                                                                     \
      (const TPoint& P1, const TPoint& P2, const TPoint& P3, const TPoint& P4, int Z),             \
      (P1, P2, P3, P4, Z))                                                                         \
    X(Paint, void, PlaneFour3D, (const TFourPoints& Points, int Z0, int Z1), (Points, Z0, Z1))     \
    X(Paint, void, PolygonWithZ, (const TPoint* Points, int High, int Z), (Points, High, Z))       \
    X(Paint, void, Polyline, (const TPoint* Points, int High, int Z), (Points, High, Z))           \
    X(Paint, void, Pyramid,                                                                        \
      (bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkSides),   \
      (Vertical, Left, Top, Right, Bottom, Z0, Z1, DarkSides))                                     \
    X(Paint, void, PyramidTrunc, (const TRect& R, int StartZ, int EndZ, int TruncX, int TruncZ),   \
      (R, StartZ, EndZ, TruncX, TruncZ))                                                           \
    X(Paint, void, RectangleWithZ, (const TRect& Rect, int Z), (Rect, Z))                          \
    X(Paint, void, RectangleY, (int Left, int Top, int Right, int Z0, int Z1),                     \
      (Left, Top, Right, Z0, Z1))                                                                  \
    X(Paint, void, RectangleZ, (int Left, int Top, int Bottom, int Z0, int Z1),                    \
      (Left, Top, Bottom, Z0, Z1))                                                                 \
    X(Paint, void, RotateLabel3D, (int X, int Y, int Z, const AnsiString& Text, double RotDegree),  \
      (X, Y, Z, Text, RotDegree))                                                                  \
    X(Paint, void, Sphere, (int X, int Y, int Z, double Radius), (X, Y, Z, Radius))                \
    X(Paint, void, Surface3D,                                                                      \
      (TTeeCanvasSurfaceStyle Style, bool SameBrush, int NumXValues, int NumZValues,               \
       const TCanvas3DPlaneFunction& CalcPoints),                                                  \
      (Style, SameBrush, NumXValues, NumZValues, TEE_CANVAS_OBJECT(CalcPoints)))                   \
    X(Paint, void, TextOut3D, (int X, int Y, int Z, const AnsiString& Text), (X, Y, Z, Text))      \
    X(Paint, void, Triangle3D, (const TTrianglePoints3D& Points, const TTriangleColors3D& Colors), \
      (Points, TEE_CANVAS_COLOR(Colors)))                                                          \
    X(Paint, void, TriangleWithZ, (const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z),   \
      (P1, P2, P3, Z))
// clang-format on
