// The walls of the chart and the room they take; titles and legend around them.
#include "chart/control/chart.h"
#include "chart/engine/teegeometry.h"
#include <cstdlib>

namespace {

// Which side walls go in front of the series: decided by the way their plane faces.
bool WallCulled(TCustomChart* C, int X) {
    TCanvas3D* canvas = C->Canvas();
    const TRect r = C->ChartRect();
    const int bottom = r.Bottom + C->CalcWallSize(C->BottomAxis());
    const TPoint p0 = canvas->Calculate3DPosition(X, r.Top, 0);
    const TPoint p1 = canvas->Calculate3DPosition(X, bottom, 0);
    const TPoint p2 = canvas->Calculate3DPosition(X, bottom, C->BackWall()->Size() + C->Width3D());
    return TeeCull(p0, p1, p2);
}

bool RightWallAfter(TCustomChart* C) {
    return !WallCulled(C, C->ChartRect().Right);
}

bool LeftWallAfter(TCustomChart* C) {
    return WallCulled(C, C->ChartRect().Left);
}

class TWallPaint {
public:
    TWallPaint(TCustomChart* C, TCustomChartWall* W, const TFourPoints* Corners) : FC(C), FW(W) {
        TCanvas3D* canvas = C->Canvas();
        canvas->AssignVisiblePen(W->Pen());
        if (W->Transparent()) {
            canvas->Brush()->SetStyle(bsClear);
            return;
        }
        canvas->AssignBrush(W->Brush(), W->Color());
        if (!Corners) return;
        if (W->Transparency() > 0) {
            TRect b = PolygonBounds(*Corners);
            FBlend = canvas->BeginBlending(b, W->Transparency());
        }
        if (TTeeGradient* g = W->GradientIfAny(); g && g->Visible()) {
            g->Draw(canvas, *Corners);
            canvas->Brush()->SetStyle(bsClear);
        }
    }
    ~TWallPaint() {
        if (FBlend) FC->Canvas()->EndBlending(FBlend);
    }
    bool Dark() const {
        return FW->Dark3D() && FC->Canvas()->Brush()->Style() != bsClear &&
               !(FW->Brush()->Bitmap() && !FW->Brush()->Bitmap()->Empty());
    }

private:
    static TRect PolygonBounds(const TFourPoints& P) {
        TRect r(P[0].x, P[0].y, P[0].x, P[0].y);
        for (const TPoint& p : P) {
            r.Left = std::min(r.Left, p.x);
            r.Top = std::min(r.Top, p.y);
            r.Right = std::max(r.Right, p.x);
            r.Bottom = std::max(r.Bottom, p.y);
        }
        return r;
    }
    TCustomChart* FC;
    TCustomChartWall* FW;
    TTeeBlend* FBlend = nullptr;
};

TFourPoints Projected(TCanvas3D* Canvas, const TPoint3D (&P)[4]) {
    TFourPoints r;
    for (int i = 0; i < 4; ++i)
        r[i] = Canvas->Calculate3DPosition(P[i].x, P[i].y, P[i].z);
    return r;
}

void DrawLeftWall(TCustomChart* C) {
    TCanvas3D* canvas = C->Canvas();
    TChartWall* w = C->LeftWall();
    const TRect r = C->ChartRect();
    const int bottom = r.Bottom + C->CalcWallSize(C->BottomAxis());
    const TPoint3D corners[4] = {{r.Left, r.Top, 0},
                                 {r.Left, r.Top, C->Width3D()},
                                 {r.Left, bottom, C->Width3D()},
                                 {r.Left, bottom, 0}};
    const TFourPoints p = Projected(canvas, corners);
    TWallPaint paint(C, w, &p);
    if (w->Size() < 1)
        canvas->RectangleZ(r.Left, r.Top, bottom, 0, C->Width3D());
    else
        canvas->Cube(r.Left - w->Size(), r.Left, r.Top, bottom, 0, C->Width3D(), paint.Dark());
}

void DrawRightWall(TCustomChart* C) {
    TCanvas3D* canvas = C->Canvas();
    TChartRightWall* w = C->RightWall();
    const TRect r = C->ChartRect();
    const int bottom = r.Bottom + C->CalcWallSize(C->BottomAxis());
    const TPoint3D corners[4] = {{r.Right, r.Top, 0},
                                 {r.Right, r.Top, C->Width3D()},
                                 {r.Right, bottom, C->Width3D()},
                                 {r.Right, bottom, 0}};
    const TFourPoints p = Projected(canvas, corners);
    TWallPaint paint(C, w, &p);
    if (w->Size() < 1)
        canvas->RectangleZ(r.Right + 1, r.Top, bottom, 0, C->Width3D());
    else
        canvas->Cube(r.Right, r.Right + w->Size(), r.Top, bottom, 0,
                     C->Width3D() + C->BackWall()->Size(), paint.Dark());
}

void DrawBottomWall(TCustomChart* C) {
    TCanvas3D* canvas = C->Canvas();
    TChartWall* w = C->BottomWall();
    const TRect r = C->ChartRect();
    int y = r.Bottom;
    if (canvas->SupportsFullRotation()) ++y;
    const TPoint3D corners[4] = {
        {r.Left, y, 0}, {r.Left, y, C->Width3D()}, {r.Right, y, C->Width3D()}, {r.Right, y, 0}};
    const TFourPoints p = Projected(canvas, corners);
    TWallPaint paint(C, w, &p);
    if (w->Size() < 1)
        canvas->RectangleY(r.Left, y, r.Right, 0, C->Width3D());
    else
        canvas->Cube(r.Left, r.Right, y, y + w->Size(), 0, C->Width3D(), paint.Dark());
}

void DrawBackWall(TCustomChart* C) {
    TCanvas3D* canvas = C->Canvas();
    TChartBackWall* w = C->BackWall();
    const TRect r = C->ChartRect();
    if (!C->View3D()) {
        const TRect back(r.Left, r.Top, r.Right + 1, r.Bottom + 1);
        TWallPaint paint(C, w, nullptr);
        TTeeBlend* blend =
            w->Transparency() > 0 ? canvas->BeginBlending(back, w->Transparency()) : nullptr;
        if (!w->Transparent())
            if (TTeeGradient* g = w->GradientIfAny(); g && g->Visible()) {
                g->Draw(canvas, back);
                canvas->Brush()->SetStyle(bsClear);
            }
        canvas->Rectangle(back);
        if (blend) canvas->EndBlending(blend);
    } else if (C->View3DWalls()) {
        TRect wall = r;
        if (w->Size() >= 1) {
            wall.Left -= C->CalcWallSize(C->LeftAxis());
            wall.Bottom += C->CalcWallSize(C->BottomAxis());
        }
        const int z = C->Width3D();
        const TFourPoints p = canvas->FourPointsFromRect(wall, z);
        TWallPaint paint(C, w, &p);
        if (w->Size() < 1)
            canvas->RectangleWithZ(wall, z);
        else
            canvas->Cube(wall, z, z < 0 ? z - w->Size() : z + w->Size(), paint.Dark());
    }
    if (C->HasBackImage() && C->BackImageInside()) {
        TRect inside = r;
        if (w->Pen()->Visible()) inside = TRect(r.Left + 1, r.Top + 1, r.Right, r.Bottom);
        C->DrawBitmap(inside, C->Width3D());
    }
}

void RedrawAxisOverWall(TCustomChart* C, TChartAxis* Axis) {
    if (!Axis->Visible()) return;
    Axis->Draw(false);
}

} // namespace

int TCustomChart::CalcWallSize(TChartAxis* Axis) {
    if (!View3D() || !View3DWalls()) return 0;
    TCustomChartWall* w = BackWall();
    if (Axis == LeftAxis())
        w = LeftWall();
    else if (Axis == BottomAxis())
        w = BottomWall();
    else if (Axis == RightAxis())
        w = RightWall();
    return w->Visible() ? w->Size() : 0;
}

void TCustomChart::CalcWallsRect() {
    CalcSize3DWalls();
    if (!View3D() || !View3DOptions()->Orthogonal()) return;
    const int b = ActiveSeriesUseAxis() ? BackWall()->Size() : 0;
    const int s = std::abs(Width3D()) + b;
    TRect r = ChartRect();
    if (View3DOptions()->OrthoAngle() <= 90) {
        r.Right -= s;
        if (RightWall()->Visible()) r.Right -= RightWall()->Size() + 1;
    } else {
        r.Left += s;
        if (LeftWall()->Visible()) r.Left += LeftWall()->Size() + 1;
    }
    r.Top += b + std::abs(Height3D());
    SetChartRect(r);
    ReCalcWidthHeight();
}

bool TCustomChart::DrawLeftWallFirst() {
    return !LeftWallAfter(this);
}

bool TCustomChart::DrawRightWallAfter() {
    return RightWallAfter(this);
}

void TCustomChart::DrawWalls() {
    if (!ActiveSeriesUseAxis()) return;
    if (RightWall()->Visible() && !RightWallAfter(this)) DrawRightWall(this);
    if (BackWall()->Visible()) DrawBackWall(this);
    if (View3D() && View3DWalls()) {
        if (LeftWall()->Visible() && !LeftWallAfter(this)) DrawLeftWall(this);
        if (BottomWall()->Visible()) DrawBottomWall(this);
    }
}

void TCustomChart::DrawTitlesAndLegend(bool BeforeSeries) {
    TCanvas3D* canvas = Canvas();
    canvas->FrontPlaneBegin();
    {
        TTeeFinally end([canvas] { canvas->FrontPlaneEnd(); });
        TChartTitle* titles[4] = {FTitle.get(), FSubTitle.get(), FFoot.get(), FSubFoot.get()};
        const auto drawTitles = [&](bool Custom) {
            for (TChartTitle* t : titles)
                if (t->CustomPosition() == Custom) t->DrawTitle();
        };
        if (BeforeSeries) {
            if (!FLegend->CustomPosition() && FLegend->ShouldDraw()) {
                if (FLegend->Vertical()) {
                    FLegend->DrawLegend();
                    drawTitles(false);
                } else {
                    drawTitles(false);
                    FLegend->DrawLegend();
                }
            } else {
                drawTitles(false);
            }
        } else {
            if (FLegend->CustomPosition() && FLegend->ShouldDraw()) FLegend->DrawLegend();
            drawTitles(true);
        }
    }
    if (BeforeSeries || !ActiveSeriesUseAxis() || !View3D() || !View3DWalls()) return;
    if (RightWall()->Visible() && RightWallAfter(this)) {
        DrawRightWall(this);
        RedrawAxisOverWall(this, RightAxis());
    }
    if (LeftWall()->Visible() && LeftWallAfter(this)) {
        DrawLeftWall(this);
        RedrawAxisOverWall(this, LeftAxis());
    }
}
