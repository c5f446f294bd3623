// Clipping: every clip takes one level of the chart canvas's own stack and every
// unclip gives exactly that level back, so nested clips and several canvases
// never disturb each other.
#include "chart/engine/tecanvas.h"
#include <vector>

void TTeeCanvas::PushClipRegion(HRGN Region) {
    TCanvas* c = FCanvas;
    if (!c) {
        if (Region) DeleteObject(Region);
        FClipStack.push_back(nullptr);
        return;
    }
    HRGN saved = CreateRectRgn(0, 0, 0, 0);
    const bool hadClip = saved && c->GetClipRgn(saved) == 1;
    if (!hadClip && saved) {
        DeleteObject(saved);
        saved = nullptr;
    }
    FClipStack.push_back(saved);
    if (Region) {
        if (hadClip)
            c->ExtSelectClipRgn(Region, RGN_AND);
        else
            c->SelectClipRgn(Region);
        DeleteObject(Region);
    }
}

void TTeeCanvas::PopClipRegion() {
    HRGN saved = nullptr;
    if (!FClipStack.empty()) {
        saved = FClipStack.back();
        FClipStack.pop_back();
    }
    if (FCanvas) FCanvas->SelectClipRgn(saved);
    if (saved) DeleteObject(saved);
}

namespace {

// Regions are made from normalised device rectangles, whatever the mapping.
TRect ToDevice(TTeeCanvas* ACanvas, const TRect& Rect) {
    TPoint p[2] = {Rect.TopLeft(), Rect.BottomRight()};
    if (TCanvas* c = ACanvas->PlatformCanvas()) c->LPtoDP(p, 2);
    return OrientRectangle(TRect(p[0], p[1]));
}

} // namespace

void ClipCanvas(TTeeCanvas* ACanvas, const TRect& Rect) {
    const TRect r = ToDevice(ACanvas, Rect);
    ACanvas->PushClipRegion(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
}

void UnClipCanvas(TTeeCanvas* ACanvas) {
    ACanvas->PopClipRegion();
}

void ClipEllipse(TTeeCanvas* ACanvas, const TRect& Rect) {
    ACanvas->PushClipRegion(CreateEllipticRgnIndirect(ToDevice(ACanvas, Rect)));
}

void ClipRoundRectangle(TTeeCanvas* ACanvas, const TRect& Rect, int RoundSize) {
    const TRect r = ToDevice(ACanvas, Rect);
    ACanvas->PushClipRegion(
        CreateRoundRectRgn(r.Left, r.Top, r.Right, r.Bottom, RoundSize, RoundSize));
}

void ClipPolygon(TTeeCanvas* ACanvas, const TPoint* Points, int NumPoints) {
    if (!Points || NumPoints < 1) {
        ACanvas->PushClipRegion(nullptr);
        return;
    }
    std::vector<TPoint> device(Points, Points + NumPoints);
    if (TCanvas* c = ACanvas->PlatformCanvas()) c->LPtoDP(device.data(), NumPoints);
    ACanvas->PushClipRegion(CreatePolygonRgn(device.data(), NumPoints, ALTERNATE));
}

void TTeeCanvas3D::ClipRectangle(const TRect& Rect) {
    ClipCanvas(this, Rect);
}

void TTeeCanvas3D::UnClipRectangle() {
    UnClipCanvas(this);
}

void TTeeCanvas3D::ClipCube(const TRect& Rect, int MinZ, int MaxZ) {
    if (!FIs3D) {
        ClipCanvas(this, TRect(Rect.Left + 1, Rect.Top + 1, Rect.Right, Rect.Bottom - 1));
        return;
    }
    const int elevation = FView3DOptions ? FView3DOptions->Elevation() : 0;
    const int rotation = FView3DOptions ? FView3DOptions->Rotation() : 0;
    const int orthoAngle = FView3DOptions ? FView3DOptions->OrthoAngle() : 45;
    auto at = [this](int X, int Y, int Z) { return Calculate3DPosition(X, Y, Z); };

    if (elevation == 270 && (rotation == 270 || rotation == 360)) {
        const TPoint a = at(Rect.Left, Rect.Top, MinZ);
        const TPoint b = at(Rect.Right, Rect.Top, MaxZ);
        ClipCanvas(this, TRect(a.x, a.y, b.x, b.y));
        return;
    }
    if (FIsOrthogonal && orthoAngle > 90) {
        const TPoint p[6] = {at(Rect.Left, Rect.Bottom, MinZ), at(Rect.Left, Rect.Bottom, MaxZ),
                             at(Rect.Left, Rect.Top, MaxZ),    at(Rect.Right, Rect.Top, MaxZ),
                             at(Rect.Right, Rect.Top, MinZ),   at(Rect.Right, Rect.Bottom, MinZ)};
        ClipPolygon(this, p, 6);
        return;
    }
    if (FIsOrthogonal || rotation >= 270) {
        const TPoint b = at(Rect.Left, Rect.Top, MaxZ);
        const TPoint c = at(Rect.Right, Rect.Top, MinZ);
        const TPoint d = at(Rect.Right, Rect.Bottom, MaxZ);
        TPoint p[6];
        p[0] = at(Rect.Left, Rect.Bottom, MinZ);
        p[1] = at(Rect.Left, Rect.Top, MinZ);
        p[2] = c.y < b.y ? c : b;
        p[3] = at(Rect.Right, Rect.Top, MaxZ);
        p[4] = c.x > d.x ? c : d;
        p[5] = at(Rect.Right, Rect.Bottom, MinZ);
        if (p[5].x < p[0].x) {
            p[0].x = p[5].x;
            if (c.y < p[0].y) p[0].y = c.y;
        }
        ClipPolygon(this, p, 6);
        return;
    }
    // Views turned the other way are not clipped; the level is still taken so
    // that the caller's unclip pairs with it.
    PushClipRegion(nullptr);
}
