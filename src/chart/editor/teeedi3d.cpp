#include "chart/editor/teeedi3d.h"
#include "platform/classes/watched.h"

#include "chart/control/chart.h"
#include "chart/editor/teeformbuild.h"
#include "platform/rtl/sysutils.h"
#include <cmath>

QM_CLASS_OWNED(TFormTee3D, TForm, TComponent)

namespace {
TTrackBar* NewBar(TFormTee3D* F, TWinControl* Parent, const char* Name, const char* Caption,
                  const char* LabelName, int Top, int Min, int Max, TLabel** Value) {
    auto* bar = TeeNew<TTrackBar>(F, Parent, Name, 240, Top, 110, 24);
    bar->SetMin(Min);
    bar->SetMax(Max);
    TeeNewLabel(F, Parent, Caption, 160, Top + 4, bar);
    *Value = TeeNewLabel(F, Parent, "", 352, Top + 4);
    (*Value)->SetName(LabelName);
    return bar;
}
} // namespace

int TFormTee3D::RotationToBar(int Rotation) {
    return Rotation < 270 ? Rotation + 270 : Rotation - 90;
}

int TFormTee3D::BarToRotation(int Position) {
    return Position < 271 ? Position + 90 : Position - 270;
}

TFormTee3D::TFormTee3D(TComponent* AOwner, TCustomChart* AChart) : TForm(AOwner), FChart(AChart) {
    SetCaption("3D");
    SetClientWidth(390);
    SetClientHeight(236);
    GB3D = TeeNew<TGroupBox>(this, this, "GB3D", 4, 0, 382, 232);
    TWinControl* g = GB3D;
    CBView3d = TeeNewCheck(this, g, "CBView3d", "&3 Dimensions", 8, 16, 120);
    CBView3d->SetChecked(true);
    UD3D = TeeNewUpDown(this, g, "SE3d", "UD3D", 90, 40, 40, 1, 100, &SE3d, 5);
    UD3D->SetPosition(15);
    TeeNewLabel(this, g, "3&D %:", 8, 44, SE3d);
    CBOrthogonal = TeeNewCheck(this, g, "CBOrthogonal", "&Orthogonal", 8, 70, 120);
    UDOrthoAngle =
        TeeNewUpDown(this, g, "EOrthoAngle", "UDOrthoAngle", 90, 94, 40, 0, 180, &EOrthoAngle, 5);
    UDOrthoAngle->SetPosition(45);
    TeeNewLabel(this, g, "&Angle:", 24, 98, EOrthoAngle);
    CBZoomText = TeeNewCheck(this, g, "CBZoomText", "Zoom &Text", 8, 124, 120);
    CBClipPoints = TeeNewCheck(this, g, "CBClipPoints", "&Clip Points", 8, 146, 120);
    UDTextSize =
        TeeNewUpDown(this, g, "ETextSize", "UDTextSize", 90, 172, 44, 1, 1000, &ETextSize, 5);
    UDTextSize->SetPosition(100);
    LTextSize = TeeNewLabel(this, g, "%", 152, 176);

    SBZoom = NewBar(this, g, "SBZoom", "&Zoom:", "LZoom", 12, 1, 500, &LZoom);
    SBRotation = NewBar(this, g, "SBRotation", "&Rotation:", "LRotation", 42, 180, 360, &LRotation);
    SBElevation =
        NewBar(this, g, "SBElevation", "E&levation:", "LElevation", 72, 270, 360, &LElevation);
    SBHOffset =
        NewBar(this, g, "SBHOffset", "&Horiz. Offset:", "LHOffset", 102, -1500, 1500, &LHOffset);
    SBVOffset =
        NewBar(this, g, "SBVOffset", "&Vert. Offset:", "LVOffset", 132, -1500, 1500, &LVOffset);
    SBPerspec = NewBar(this, g, "SBPerspec", "&Perspective:", "LPerspec", 162, 0, 100, &LPerspec);

    FBind.Check(
        CBView3d, [this] { return FChart->View3D(); },
        [this](bool V) {
            FChart->SetView3D(V);
            EnableControls();
        });
    FBind.UpDown(
        UD3D, [this] { return FChart->Chart3DPercent(); },
        [this](int V) {
            if (V >= 1 && V <= 100) FChart->SetChart3DPercent(V);
        });
    FBind.Check(
        CBOrthogonal, [this] { return FChart->View3DOptions()->Orthogonal(); },
        [this](bool V) {
            FChart->View3DOptions()->SetOrthogonal(V);
            EnableControls();
        });
    FBind.UpDown(
        UDOrthoAngle, [this] { return FChart->View3DOptions()->OrthoAngle(); },
        [this](int V) {
            if (V >= 0 && V <= 180) FChart->View3DOptions()->SetOrthoAngle(V);
        });
    FBind.Check(
        CBZoomText, [this] { return FChart->View3DOptions()->ZoomText(); },
        [this](bool V) { FChart->View3DOptions()->SetZoomText(V); });
    FBind.Check(
        CBClipPoints, [this] { return FChart->ClipPoints(); },
        [this](bool V) { FChart->SetClipPoints(V); });
    // Shows the canvas' own size, so a refresh after another control's write
    // does not show 100 over a size still in use.
    FBind.UpDown(
        UDTextSize, [this] { return static_cast<int>(std::lround(FChart->Canvas()->FontZoom())); },
        [this](int V) {
            if (V < 1 || V > 1000) return;
            FChart->Canvas()->SetFontZoom(V);
            FChart->Invalidate();
        });
    // The label shows the bar's place before the view is told: the view's
    // handlers may free the chart and this page with it.
    auto bar = [this](TTrackBar* Bar, TLabel* Label, const char* Unit,
                      std::function<void(int)> Set) {
        Bar->OnChange = [this, Bar, Label, Unit, Set](TObject*) {
            Label->SetCaption(IntToStr(Bar->Position()) + Unit);
            if (!FBind.Loading() && FChart) Set(Bar->Position());
        };
    };
    bar(SBZoom, LZoom, "%", [this](int v) { FChart->View3DOptions()->SetZoom(v); });
    bar(SBRotation, LRotation, "", [this](int v) {
        FChart->View3DOptions()->SetRotation(FullRotation() ? v : BarToRotation(v));
    });
    bar(SBElevation, LElevation, "", [this](int v) { FChart->View3DOptions()->SetElevation(v); });
    bar(SBHOffset, LHOffset, "", [this](int v) { FChart->View3DOptions()->SetHorizOffset(v); });
    bar(SBVOffset, LVOffset, "", [this](int v) { FChart->View3DOptions()->SetVertOffset(v); });
    bar(SBPerspec, LPerspec, "", [this](int v) { FChart->View3DOptions()->SetPerspective(v); });
    OnShow = [this](TObject* s) { FormShow(s); };
}

bool TFormTee3D::FullRotation() const {
    return FChart && FChart->Canvas()->SupportsFullRotation();
}

void TFormTee3D::FormShow(TObject*) {
    if (!FChart) FChart = SubjectAs<TCustomChart>();
    if (!FChart) return;
    TView3DOptions* o = FChart->View3DOptions();
    const bool full = FullRotation();
    FBind.Load();
    auto guard = FBind.Guard();
    SBRotation->SetMin(full ? 0 : 180);
    SBElevation->SetMin(full ? 0 : 270);
    SBRotation->SetFrequency(full ? 20 : 10);
    SBElevation->SetFrequency(full ? 20 : 10);
    SBZoom->SetPosition(o->Zoom());
    SBRotation->SetPosition(full ? o->Rotation() : RotationToBar(o->Rotation()));
    SBElevation->SetPosition(o->Elevation());
    SBHOffset->SetPosition(o->HorizOffset());
    SBVOffset->SetPosition(o->VertOffset());
    SBPerspec->SetPosition(o->Perspective());
    TCallOut held{this};
    for (TTrackBar* b : {SBZoom, SBRotation, SBElevation, SBHOffset, SBVOffset, SBPerspec}) {
        if (b->OnChange) b->OnChange(b);
        if (held.Gone()) return;
    }
    EnableControls();
}

void TFormTee3D::CheckRotation() {
    EnableControls();
}

void TFormTee3D::EnableControls() {
    const bool on = CBView3d->Checked();
    const bool ortho = CBOrthogonal->Checked();
    for (TControl* c :
         std::initializer_list<TControl*>{SE3d, UD3D, SBZoom, SBHOffset, SBVOffset, CBZoomText})
        c->SetEnabled(on);
    CBOrthogonal->SetEnabled(on && AllowRotation);
    SBRotation->SetEnabled(on && !ortho && AllowRotation);
    SBElevation->SetEnabled(on && !ortho);
    SBPerspec->SetEnabled(on && !ortho);
    EOrthoAngle->SetEnabled(ortho);
    UDOrthoAngle->SetEnabled(ortho);
}
