#pragma once
// The device-context calls as free functions on a canvas handle (HDC), with
// the platform's names and argument order; each forwards to the canvas.
#include "platform/graphics/graphics.h"

inline UINT SetTextAlign(HDC dc, UINT Flags) {
    return dc->SetTextAlign(Flags);
}
inline UINT GetTextAlign(HDC dc) {
    return dc->GetTextAlign();
}
inline int SetBkMode(HDC dc, int Mode) {
    return dc->SetBkMode(Mode);
}
inline int GetBkMode(HDC dc) {
    return dc->GetBkMode();
}
inline COLORREF SetBkColor(HDC dc, COLORREF Color) {
    return dc->SetBkColor(Color);
}
inline COLORREF GetBkColor(HDC dc) {
    return dc->GetBkColor();
}
inline COLORREF SetTextColor(HDC dc, COLORREF Color) {
    return dc->SetTextColor(Color);
}
inline COLORREF GetTextColor(HDC dc) {
    return dc->GetTextColor();
}
inline int SetTextCharacterExtra(HDC dc, int Extra) {
    return dc->SetTextCharacterExtra(Extra);
}
inline int GetTextCharacterExtra(HDC dc) {
    return dc->GetTextCharacterExtra();
}
inline int SetROP2(HDC dc, int Rop) {
    return dc->SetROP2(Rop);
}
inline int GetROP2(HDC dc) {
    return dc->GetROP2();
}
inline int SetPolyFillMode(HDC dc, int Mode) {
    return dc->SetPolyFillMode(Mode);
}
inline int GetPolyFillMode(HDC dc) {
    return dc->GetPolyFillMode();
}
inline int SetArcDirection(HDC dc, int Direction) {
    return dc->SetArcDirection(Direction);
}
inline int GetArcDirection(HDC dc) {
    return dc->GetArcDirection();
}
inline int SetStretchBltMode(HDC dc, int Mode) {
    return dc->SetStretchBltMode(Mode);
}
inline COLORREF SetDCPenColor(HDC dc, COLORREF Color) {
    return dc->SetDCPenColor(Color);
}
inline COLORREF SetDCBrushColor(HDC dc, COLORREF Color) {
    return dc->SetDCBrushColor(Color);
}

inline bool MoveToEx(HDC dc, int X, int Y, TPoint* Previous) {
    return dc->MoveToEx(X, Y, Previous);
}
inline bool LineTo(HDC dc, int X, int Y) {
    return dc->LineToDC(X, Y);
}
inline bool Polyline(HDC dc, const TPoint* Points, int Count) {
    return dc->PolylineDC(Points, Count);
}
inline bool Polygon(HDC dc, const TPoint* Points, int Count) {
    return dc->PolygonDC(Points, Count);
}
inline bool PolyPolygon(HDC dc, const TPoint* Points, const int* Counts, int Polygons) {
    return dc->PolyPolygon(Points, Counts, Polygons);
}
inline bool PolyBezier(HDC dc, const TPoint* Points, int Count) {
    return dc->PolyBezierDC(Points, Count);
}
inline bool PolyBezierTo(HDC dc, const TPoint* Points, int Count) {
    return dc->PolyBezierToDC(Points, Count);
}
inline bool Rectangle(HDC dc, int X1, int Y1, int X2, int Y2) {
    return dc->RectangleDC(X1, Y1, X2, Y2);
}
inline bool Ellipse(HDC dc, int X1, int Y1, int X2, int Y2) {
    return dc->EllipseDC(X1, Y1, X2, Y2);
}
inline bool RoundRect(HDC dc, int X1, int Y1, int X2, int Y2, int W, int H) {
    dc->RoundRect(X1, Y1, X2, Y2, W, H);
    return true;
}
inline bool Arc(HDC dc, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    dc->Arc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    return true;
}
inline bool ArcTo(HDC dc, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    dc->ArcTo(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    return true;
}
inline bool Pie(HDC dc, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    dc->Pie(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    return true;
}
inline bool Chord(HDC dc, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    dc->Chord(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    return true;
}
inline COLORREF SetPixel(HDC dc, int X, int Y, COLORREF Color) {
    dc->SetPixel(X, Y, TColor(Color & 0xFFFFFF));
    return Color & 0xFFFFFF;
}
inline bool SetPixelV(HDC dc, int X, int Y, COLORREF Color) {
    dc->SetPixel(X, Y, TColor(Color & 0xFFFFFF));
    return true;
}
inline COLORREF GetPixel(HDC dc, int X, int Y) {
    return dc->GetPixel(X, Y);
}

inline bool TextOutA(HDC dc, int X, int Y, const char* Text, int Count) {
    return dc->TextOutA(X, Y, Text, Count);
}
inline bool ExtTextOutA(HDC dc, int X, int Y, UINT Options, const TRect* R, const char* Text,
                        int Count, const int* Dx) {
    return dc->ExtTextOutA(X, Y, Options, R, Text, Count, Dx);
}
inline int DrawText(HDC dc, const char* Text, int Count, TRect* R, UINT Format) {
    if (!R) return 0;
    return dc->DrawText(Count < 0 ? AnsiString(Text) : AnsiString(Text, Count), *R, Format);
}
inline bool GetTextExtentPoint32(HDC dc, const char* Text, int Count, TSize* Size) {
    return dc->GetTextExtentPoint32(Text, Count, Size);
}
inline bool GetTextMetrics(HDC dc, TEXTMETRIC* Metrics) {
    return dc->GetTextMetrics(Metrics);
}

inline HGDIOBJ SelectObject(HDC dc, HGDIOBJ Object) {
    return dc->SelectObject(Object);
}
inline HGDIOBJ GetCurrentObject(HDC dc, int Type) {
    return dc->GetCurrentObject(Type);
}

inline bool BitBlt(HDC dc, int X, int Y, int W, int H, HDC Source, int XSrc, int YSrc, DWORD Rop) {
    return dc->BitBlt(X, Y, W, H, Source, XSrc, YSrc, Rop);
}
inline bool StretchBlt(HDC dc, int X, int Y, int W, int H, HDC Source, int XSrc, int YSrc, int WSrc,
                       int HSrc, DWORD Rop) {
    return dc->StretchBlt(X, Y, W, H, Source, XSrc, YSrc, WSrc, HSrc, Rop);
}
inline bool TransparentBlt(HDC dc, int X, int Y, int W, int H, HDC Source, int XSrc, int YSrc,
                           int WSrc, int HSrc, UINT Transparent) {
    return dc->TransparentBlt(X, Y, W, H, Source, XSrc, YSrc, WSrc, HSrc, Transparent);
}
inline bool PatBlt(HDC dc, int X, int Y, int W, int H, DWORD Rop) {
    return dc->PatBlt(X, Y, W, H, Rop);
}
// Fills with a brush whatever the mix mode (the platform's FillRect).
inline int FillRect(HDC dc, const TRect* R, HBRUSH Brush) {
    if (!R) return 0;
    HGDIOBJ old = dc->SelectObject(Brush);
    dc->PatBlt(R->Left, R->Top, R->Width(), R->Height(), PATCOPY);
    if (old) dc->SelectObject(old);
    return 1;
}
inline bool InvertRect(HDC dc, const TRect* R) {
    return R && dc->InvertRect(*R);
}
inline bool DrawFocusRect(HDC dc, const TRect* R) {
    if (!R) return false;
    dc->DrawFocusRect(*R);
    return true;
}

inline bool BeginPath(HDC dc) {
    return dc->BeginPath();
}
inline bool EndPath(HDC dc) {
    return dc->EndPath();
}
inline bool AbortPath(HDC dc) {
    return dc->AbortPath();
}
inline bool CloseFigure(HDC dc) {
    return dc->CloseFigure();
}
inline bool StrokePath(HDC dc) {
    return dc->StrokePath();
}
inline bool FillPath(HDC dc) {
    return dc->FillPath();
}
inline bool StrokeAndFillPath(HDC dc) {
    return dc->StrokeAndFillPath();
}
inline bool WidenPath(HDC dc) {
    return dc->WidenPath();
}
inline bool SelectClipPath(HDC dc, int Mode) {
    return dc->SelectClipPath(Mode);
}

inline int SelectClipRgn(HDC dc, HRGN Rgn) {
    return dc->SelectClipRgn(Rgn);
}
inline int ExtSelectClipRgn(HDC dc, HRGN Rgn, int Mode) {
    return dc->ExtSelectClipRgn(Rgn, Mode);
}
inline int GetClipRgn(HDC dc, HRGN Rgn) {
    return dc->GetClipRgn(Rgn);
}
inline int IntersectClipRect(HDC dc, int L, int T, int R, int B) {
    return dc->IntersectClipRect(L, T, R, B);
}
inline int ExcludeClipRect(HDC dc, int L, int T, int R, int B) {
    return dc->ExcludeClipRect(L, T, R, B);
}
inline int GetClipBox(HDC dc, TRect* R) {
    return dc->GetClipBox(R);
}
inline bool FillRgn(HDC dc, HRGN Rgn, HBRUSH Brush) {
    return dc->FillRgn(Rgn, Brush);
}
inline bool FrameRgn(HDC dc, HRGN Rgn, HBRUSH Brush, int W, int H) {
    return dc->FrameRgn(Rgn, Brush, W, H);
}
inline bool PaintRgn(HDC dc, HRGN Rgn) {
    return dc->PaintRgn(Rgn);
}
inline bool InvertRgn(HDC dc, HRGN Rgn) {
    return dc->InvertRgn(Rgn);
}

inline int SaveDC(HDC dc) {
    return dc->SaveDC();
}
inline bool RestoreDC(HDC dc, int Saved) {
    return dc->RestoreDC(Saved);
}

inline int SetMapMode(HDC dc, int Mode) {
    return dc->SetMapMode(Mode);
}
inline int GetMapMode(HDC dc) {
    return dc->GetMapMode();
}
inline bool SetWindowOrgEx(HDC dc, int X, int Y, TPoint* P) {
    return dc->SetWindowOrgEx(X, Y, P);
}
inline bool SetWindowExtEx(HDC dc, int X, int Y, TSize* S) {
    return dc->SetWindowExtEx(X, Y, S);
}
inline bool SetViewportOrgEx(HDC dc, int X, int Y, TPoint* P) {
    return dc->SetViewportOrgEx(X, Y, P);
}
inline bool SetViewportExtEx(HDC dc, int X, int Y, TSize* S) {
    return dc->SetViewportExtEx(X, Y, S);
}
inline bool GetWindowOrgEx(HDC dc, TPoint* P) {
    return dc->GetWindowOrgEx(P);
}
inline bool GetWindowExtEx(HDC dc, TSize* S) {
    return dc->GetWindowExtEx(S);
}
inline bool GetViewportOrgEx(HDC dc, TPoint* P) {
    return dc->GetViewportOrgEx(P);
}
inline bool GetViewportExtEx(HDC dc, TSize* S) {
    return dc->GetViewportExtEx(S);
}
inline bool OffsetWindowOrgEx(HDC dc, int X, int Y, TPoint* P) {
    return dc->OffsetWindowOrgEx(X, Y, P);
}
inline bool OffsetViewportOrgEx(HDC dc, int X, int Y, TPoint* P) {
    return dc->OffsetViewportOrgEx(X, Y, P);
}
inline bool LPtoDP(HDC dc, TPoint* Points, int Count) {
    return dc->LPtoDP(Points, Count);
}
inline bool DPtoLP(HDC dc, TPoint* Points, int Count) {
    return dc->DPtoLP(Points, Count);
}
inline int GetDeviceCaps(HDC dc, int Index) {
    return dc->GetDeviceCaps(Index);
}
