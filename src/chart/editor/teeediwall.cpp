#include "chart/editor/teeediwall.h"

#include "chart/control/chart.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "platform/classes/watched.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/sysutils.h"

QM_CLASS_OWNED(TFormTeeWall, TForm, TComponent)

TFormTeeWall::TFormTeeWall(TComponent* AOwner, TChartWall* AWall) : TForm(AOwner), FWall(AWall) {
    SetCaption("Walls");
    SetClientWidth(390);
    SetClientHeight(210);
    CBView3dWalls = TeeNewCheck(this, this, "CBView3dWalls", "&Visible Walls", 8, 6, 120);
    TabSubWalls = TeeNew<TTabControl>(this, this, "TabSubWalls", 0, 28, 390, 182);
    TabSubWalls->SetAnchors({akLeft, akTop, akRight, akBottom});
    for (const char* t : {"Left", "Right", "Bottom", "Back"})
        TabSubWalls->Tabs()->Add(t);
    TWinControl* w = TabSubWalls;
    CBVisible = TeeNewCheck(this, w, "CBVisible", "V&isible", 8, 8, 100);
    BWallColor = TeeNewButton<TButtonColor>(this, w, "BWallColor", "&Color...", 8, 32, 85);
    BWallPen = TeeNewButton<TButtonPen>(this, w, "BWallPen", "B&order...", 8, 62, 85);
    BWallBrush = TeeNewButton(this, w, "BWallBrush", "&Pattern...", 8, 92, 85);
    BGradient = TeeNewButton(this, w, "BGradient", "&Gradient...", 8, 122, 85);
    BGradient->SetVisible(false);
    UDWallSize =
        TeeNewUpDown(this, w, "SEWallSize", "UDWallSize", 210, 8, 40, 0, 1000, &SEWallSize);
    TeeNewLabel(this, w, "Siz&e:", 120, 12, SEWallSize);
    UDTransp = TeeNewUpDown(this, w, "Edit1", "UDTransp", 210, 36, 40, 0, 100, &Edit1);
    TeeNewLabel(this, w, "T&ransparency:", 120, 40, Edit1);
    CBTransp = TeeNewCheck(this, w, "CBTransp", "&Transparent", 120, 66, 120);
    CBDark3D = TeeNewCheck(this, w, "CBDark3D", "&Dark 3D", 120, 88, 120);

    CBView3dWalls->OnClick = [this](TObject*) {
        if (!FBind.Loading() && FChart) FChart->SetView3DWalls(CBView3dWalls->Checked());
    };
    TabSubWalls->OnChange = [this](TObject* s) { TabSubWallsChange(s); };
    FBind.Check(
        CBVisible, [this] { return FWall->Visible(); }, [this](bool V) { FWall->SetVisible(V); });
    BWallBrush->OnClick = [this](TObject*) {
        if (FWall) EditChartBrush(this, FWall->Brush());
    };
    FBind.UpDown(
        UDWallSize, [this] { return FWall->Size(); },
        [this](int V) {
            if (V >= 0) FWall->SetSize(V);
        });
    FBind.UpDown(
        UDTransp, [this] { return FWall->Transparency(); },
        [this](int V) {
            if (V >= 0 && V <= 100) FWall->SetTransparency(V);
        });
    FBind.Check(
        CBTransp, [this] { return FWall->Transparent(); },
        [this](bool V) { FWall->SetTransparent(V); });
    FBind.Check(
        CBDark3D, [this] { return FWall->Dark3D(); }, [this](bool V) { FWall->SetDark3D(V); });
    BGradient->OnClick = [this](TObject*) {
        if (!FWall) return;
        TCallOut held{this, FWall};
        EditTeeGradient(this, FWall->Gradient());
        if (held.Gone()) return;
        // A transparent wall would hide the gradient just chosen.
        if (FWall->Gradient()->Visible()) {
            FWall->SetTransparent(false);
            auto guard = FBind.Guard();
            CBTransp->SetChecked(false);
        }
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TChartWall* TFormTeeWall::WallAt(int Index) const {
    switch (Index) {
    case 0:
        return FChart->LeftWall();
    case 1:
        return FChart->RightWall();
    case 2:
        return FChart->BottomWall();
    default:
        return FChart->BackWall();
    }
}

void TFormTeeWall::FormShow(TObject*) {
    if (!FWall) FWall = SubjectAs<TChartWall>();
    if (FWall) FChart = dynamic_cast<TCustomChart*>(FWall->ParentChart());
    if (!FChart) return;
    int tab = 3;
    if (FWall == FChart->LeftWall())
        tab = 0;
    else if (FWall == FChart->RightWall())
        tab = 1;
    else if (FWall == FChart->BottomWall())
        tab = 2;
    TabSubWalls->SetTabIndex(tab);
    {
        auto guard = FBind.Guard();
        CBView3dWalls->SetChecked(FChart->View3DWalls());
    }
    LoadWall();
}

void TFormTeeWall::TabSubWallsChange(TObject*) {
    if (!FChart || TabSubWalls->TabIndex() < 0) return;
    FWall = WallAt(TabSubWalls->TabIndex());
    LoadWall();
}

void TFormTeeWall::LoadWall() {
    if (!FWall) return;
    BWallColor->LinkProperty(FWall, "Color");
    BWallPen->LinkPen(FWall->Pen());
    FBind.Load();
    BGradient->SetVisible(true);
}
