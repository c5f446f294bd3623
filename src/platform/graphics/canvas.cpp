// Provisional canvas: state only, drawing follows.
#include "platform/graphics/gdiobj.h"
#include "platform/graphics/qtbridge.h"

QM_CLASS_PLAIN(TCanvas, TPersistent)

class TCanvasPrivate {
public:
    QImage* Image = nullptr;
    TPoint Pos;
    UINT TextAlign = 0;
    int BkMode = OPAQUE;
    COLORREF BkColor = 0xFFFFFF, TextColor = 0;
    int Extra = 0, Rop2 = R2_COPYPEN, FillMode = ALTERNATE, ArcDir = AD_COUNTERCLOCKWISE;
    int MapMode = MM_TEXT;
};

TCanvas::TCanvas()
    : D(std::make_unique<TCanvasPrivate>()), FPen(std::make_unique<TPen>()),
      FBrush(std::make_unique<TBrush>()), FFont(std::make_unique<TFont>()) {}
TCanvas::~TCanvas() = default;

void TCanvas::AttachImage(QImage* Image) {
    D->Image = Image;
}
QImage* TCanvas::AttachedImage() const {
    return D->Image;
}
bool TCanvas::HandleAllocated() const {
    return D->Image != nullptr;
}
HDC TCanvas::Handle() {
    return this;
}
TPoint TCanvas::PenPos() {
    return D->Pos;
}
TRect TCanvas::ClipRect() {
    return D->Image ? TRect(0, 0, D->Image->width(), D->Image->height()) : TRect();
}
TColor TCanvas::Pixels(int X, int Y) {
    return TColor(GetPixel(X, Y));
}
void TCanvas::SetPixel(int X, int Y, TColor Color) {
    if (D->Image && D->Image->rect().contains(X, Y))
        D->Image->setPixel(X, Y, ToQColor(Color).rgb());
}
COLORREF TCanvas::GetPixel(int X, int Y) {
    if (!D->Image || !D->Image->rect().contains(X, Y)) return CLR_INVALID;
    return FromQColor(QColor(D->Image->pixel(X, Y)));
}
void TCanvas::MoveTo(int X, int Y) {
    D->Pos = {X, Y};
}
void TCanvas::LineTo(int X, int Y) {
    D->Pos = {X, Y};
}
void TCanvas::Polyline(const TPoint*, int) {}
void TCanvas::Polygon(const TPoint*, int) {}
void TCanvas::PolyBezier(const TPoint*, int) {}
void TCanvas::PolyBezierTo(const TPoint*, int) {}
void TCanvas::Rectangle(int, int, int, int) {}
void TCanvas::RoundRect(int, int, int, int, int, int) {}
void TCanvas::Ellipse(int, int, int, int) {}
void TCanvas::Arc(int, int, int, int, int, int, int, int) {}
void TCanvas::ArcTo(int, int, int, int, int, int, int, int) {}
void TCanvas::Pie(int, int, int, int, int, int, int, int) {}
void TCanvas::Chord(int, int, int, int, int, int, int, int) {}
void TCanvas::FillRect(const TRect&) {}
void TCanvas::FrameRect(const TRect&) {}
void TCanvas::DrawFocusRect(const TRect&) {}
void TCanvas::FloodFill(int, int, TColor, bool) {}
void TCanvas::TextOut(int X, int Y, const AnsiString&) {
    D->Pos = {X, Y};
}
void TCanvas::TextRect(const TRect&, int, int, const AnsiString&) {}
TSize TCanvas::TextExtent(const AnsiString& Text) {
    return {Text.Length() * 6, 13};
}
int TCanvas::TextWidth(const AnsiString& Text) {
    return TextExtent(Text).cx;
}
int TCanvas::TextHeight(const AnsiString& Text) {
    return TextExtent(Text).cy;
}
void TCanvas::Draw(int, int, TGraphic*) {}
void TCanvas::StretchDraw(const TRect&, TGraphic*) {}
void TCanvas::CopyRect(const TRect&, TCanvas*, const TRect&) {}
void TCanvas::Refresh() {}
UINT TCanvas::SetTextAlign(UINT Flags) {
    return std::exchange(D->TextAlign, Flags);
}
UINT TCanvas::GetTextAlign() {
    return D->TextAlign;
}
int TCanvas::SetBkMode(int Mode) {
    return std::exchange(D->BkMode, Mode);
}
int TCanvas::GetBkMode() {
    return D->BkMode;
}
COLORREF TCanvas::SetBkColor(COLORREF Color) {
    return std::exchange(D->BkColor, Color);
}
COLORREF TCanvas::GetBkColor() {
    return D->BkColor;
}
COLORREF TCanvas::SetTextColor(COLORREF Color) {
    return std::exchange(D->TextColor, Color);
}
COLORREF TCanvas::GetTextColor() {
    return D->TextColor;
}
int TCanvas::SetTextCharacterExtra(int Extra) {
    return std::exchange(D->Extra, Extra);
}
int TCanvas::GetTextCharacterExtra() {
    return D->Extra;
}
int TCanvas::SetROP2(int Rop) {
    return std::exchange(D->Rop2, Rop);
}
int TCanvas::GetROP2() {
    return D->Rop2;
}
int TCanvas::SetPolyFillMode(int Mode) {
    return std::exchange(D->FillMode, Mode);
}
int TCanvas::GetPolyFillMode() {
    return D->FillMode;
}
int TCanvas::SetArcDirection(int Direction) {
    return std::exchange(D->ArcDir, Direction);
}
int TCanvas::GetArcDirection() {
    return D->ArcDir;
}
int TCanvas::SetStretchBltMode(int) {
    return COLORONCOLOR;
}
COLORREF TCanvas::SetDCPenColor(COLORREF) {
    return 0;
}
COLORREF TCanvas::SetDCBrushColor(COLORREF) {
    return 0;
}
bool TCanvas::MoveToEx(int X, int Y, TPoint* Previous) {
    if (Previous) *Previous = D->Pos;
    D->Pos = {X, Y};
    return true;
}
bool TCanvas::LineToDC(int X, int Y) {
    D->Pos = {X, Y};
    return true;
}
bool TCanvas::PolylineDC(const TPoint*, int) {
    return true;
}
bool TCanvas::PolygonDC(const TPoint*, int) {
    return true;
}
bool TCanvas::PolyPolygon(const TPoint*, const int*, int) {
    return true;
}
bool TCanvas::PolyBezierDC(const TPoint*, int) {
    return true;
}
bool TCanvas::PolyBezierToDC(const TPoint*, int) {
    return true;
}
bool TCanvas::RectangleDC(int, int, int, int) {
    return true;
}
bool TCanvas::EllipseDC(int, int, int, int) {
    return true;
}
bool TCanvas::TextOutA(int, int, const char*, int) {
    return true;
}
bool TCanvas::ExtTextOutA(int, int, UINT, const TRect*, const char*, int, const int*) {
    return true;
}
int TCanvas::DrawText(const AnsiString&, TRect&, UINT) {
    return 13;
}
bool TCanvas::GetTextExtentPoint32(const char*, int Count, TSize* Size) {
    if (Size) *Size = {Count * 6, 13};
    return true;
}
bool TCanvas::GetTextMetrics(TEXTMETRIC* Metrics) {
    if (Metrics) {
        *Metrics = TEXTMETRIC();
        Metrics->tmHeight = 13;
        Metrics->tmAscent = 11;
        Metrics->tmDescent = 2;
    }
    return true;
}
HGDIOBJ TCanvas::SelectObject(HGDIOBJ) {
    return nullptr;
}
HGDIOBJ TCanvas::GetCurrentObject(int) {
    return nullptr;
}
bool TCanvas::BitBlt(int, int, int, int, HDC, int, int, DWORD) {
    return true;
}
bool TCanvas::StretchBlt(int, int, int, int, HDC, int, int, int, int, DWORD) {
    return true;
}
bool TCanvas::PatBlt(int, int, int, int, DWORD) {
    return true;
}
bool TCanvas::InvertRect(const TRect&) {
    return true;
}
bool TCanvas::BeginPath() {
    return true;
}
bool TCanvas::EndPath() {
    return true;
}
bool TCanvas::AbortPath() {
    return true;
}
bool TCanvas::CloseFigure() {
    return true;
}
bool TCanvas::StrokePath() {
    return true;
}
bool TCanvas::FillPath() {
    return true;
}
bool TCanvas::StrokeAndFillPath() {
    return true;
}
bool TCanvas::WidenPath() {
    return true;
}
bool TCanvas::SelectClipPath(int) {
    return true;
}
int TCanvas::SelectClipRgn(HRGN) {
    return SIMPLEREGION;
}
int TCanvas::ExtSelectClipRgn(HRGN, int) {
    return SIMPLEREGION;
}
int TCanvas::GetClipRgn(HRGN) {
    return 0;
}
int TCanvas::IntersectClipRect(int, int, int, int) {
    return SIMPLEREGION;
}
int TCanvas::ExcludeClipRect(int, int, int, int) {
    return SIMPLEREGION;
}
int TCanvas::GetClipBox(TRect* R) {
    if (R) *R = ClipRect();
    return SIMPLEREGION;
}
bool TCanvas::FillRgn(HRGN, HBRUSH) {
    return true;
}
bool TCanvas::FrameRgn(HRGN, HBRUSH, int, int) {
    return true;
}
bool TCanvas::PaintRgn(HRGN) {
    return true;
}
bool TCanvas::InvertRgn(HRGN) {
    return true;
}
int TCanvas::SaveDC() {
    return 1;
}
bool TCanvas::RestoreDC(int) {
    return true;
}
int TCanvas::SetMapMode(int Mode) {
    return std::exchange(D->MapMode, Mode);
}
int TCanvas::GetMapMode() {
    return D->MapMode;
}
bool TCanvas::SetWindowOrgEx(int, int, TPoint* P) {
    if (P) *P = {};
    return true;
}
bool TCanvas::GetWindowOrgEx(TPoint* P) {
    if (P) *P = {};
    return true;
}
bool TCanvas::SetWindowExtEx(int, int, TSize* S) {
    if (S) *S = {1, 1};
    return true;
}
bool TCanvas::GetWindowExtEx(TSize* S) {
    if (S) *S = {1, 1};
    return true;
}
bool TCanvas::SetViewportOrgEx(int, int, TPoint* P) {
    if (P) *P = {};
    return true;
}
bool TCanvas::GetViewportOrgEx(TPoint* P) {
    if (P) *P = {};
    return true;
}
bool TCanvas::SetViewportExtEx(int, int, TSize* S) {
    if (S) *S = {1, 1};
    return true;
}
bool TCanvas::GetViewportExtEx(TSize* S) {
    if (S) *S = {1, 1};
    return true;
}
bool TCanvas::OffsetWindowOrgEx(int, int, TPoint* P) {
    if (P) *P = {};
    return true;
}
bool TCanvas::OffsetViewportOrgEx(int, int, TPoint* P) {
    if (P) *P = {};
    return true;
}
bool TCanvas::LPtoDP(TPoint*, int) {
    return true;
}
bool TCanvas::DPtoLP(TPoint*, int) {
    return true;
}
int TCanvas::GetDeviceCaps(int Index) {
    return Index == LOGPIXELSX || Index == LOGPIXELSY ? 96 : 0;
}
void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}
void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}
void TCanvas::RequiredState(bool, bool, bool) {}

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom) {
    auto r = std::make_unique<TGdiRegion>();
    r->Region = QRegion(QRect(QPoint(Left, Top), QPoint(Right - 1, Bottom - 1)));
    return AddGdiObject(std::move(r));
}
HRGN CreateRectRgnIndirect(const TRect& R) {
    return CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
}
HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom) {
    return CreateRectRgn(Left, Top, Right, Bottom);
}
HRGN CreateEllipticRgnIndirect(const TRect& R) {
    return CreateRectRgnIndirect(R);
}
HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int, int) {
    return CreateRectRgn(Left, Top, Right, Bottom);
}
HRGN CreatePolygonRgn(const TPoint*, int, int) {
    return CreateRectRgn(0, 0, 0, 0);
}
int CombineRgn(HRGN, HRGN, HRGN, int) {
    return SIMPLEREGION;
}
int OffsetRgn(HRGN, int, int) {
    return SIMPLEREGION;
}
bool PtInRegion(HRGN, int, int) {
    return false;
}
bool RectInRegion(HRGN, const TRect&) {
    return false;
}
int GetRgnBox(HRGN, TRect* R) {
    if (R) *R = {};
    return NULLREGION;
}
bool EqualRgn(HRGN, HRGN) {
    return false;
}
bool SetRectRgn(HRGN, int, int, int, int) {
    return true;
}
