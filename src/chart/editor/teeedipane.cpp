#include "chart/editor/teeedipane.h"

#include "chart/control/tooledit.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/editor/teeshapeedit.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teepanel.h"
#include "platform/classes/watched.h"
#include "platform/rtl/sysutils.h"

QM_CLASS_OWNED(TFormTeePanel, TForm, TComponent)

TFormTeePanel::TFormTeePanel(TComponent* AOwner, TCustomTeePanelExtended* APanel)
    : TForm(AOwner), FPanel(APanel) {
    SetCaption("Panel Editor");
    SetClientWidth(390);
    SetClientHeight(230);
    PageControl1 = TeeNew<TPageControl>(this, this, "PageControl1", 0, 0, 390, 230);
    PageControl1->SetAlign(alClient);
    TabBack = TeeNewTab(PageControl1, "TabBack", "Background");
    TabBorders = TeeNewTab(PageControl1, "TabBorders", "Borders");
    TabGradient = TeeNewTab(PageControl1, "TabGradient", "Gradient");
    TabShadow = TeeNewTab(PageControl1, "TabShadow", "Shadow");
    PageControl1->SetActivePage(TabBack);

    TWinControl* b = TabBack;
    BPanelColor = TeeNewButton<TButtonColor>(this, b, "BPanelColor", "&Color...", 8, 8, 85);
    CBColorDef = TeeNewCheck(this, b, "CBColorDef", "&Default", 8, 40, 85);
    GB6 = TeeNew<TGroupBox>(this, b, "GB6", 110, 4, 260, 150);
    GB6->SetCaption("Back Image:");
    RGBitmap =
        TeeNewRadio(this, GB6, "RGBitmap", "St&yle", 8, 18, 100, 90, {"Stretch", "Tile", "Center"});
    BBrowseImage = TeeNewButton(this, GB6, "BBrowseImage", "B&rowse...", 124, 22, 85);
    CBImageInside = TeeNewCheck(this, GB6, "CBImageInside", "I&nside", 124, 60, 110);
    CBTransp = TeeNewCheck(this, GB6, "CBTransp", "&Transparent", 124, 84, 110);

    TWinControl* r = TabBorders;
    UDPanelBor =
        TeeNewUpDown(this, r, "SEPanelBor", "UDPanelBor", 110, 8, 40, 0, 1000, &SEPanelBor);
    TeeNewLabel(this, r, "&Separation:", 8, 12, SEPanelBor);
    UDPanelWi = TeeNewUpDown(this, r, "SEPanelWi", "UDPanelWi", 110, 36, 40, 1, 1000, &SEPanelWi);
    TeeNewLabel(this, r, "Widt&h:", 8, 40, SEPanelWi);
    UDRound = TeeNewUpDown(this, r, "ERound", "UDRound", 110, 64, 50, 0, 10000, &ERound);
    TeeNewLabel(this, r, "&Round border:", 8, 68, ERound);
    CBInner = TeeNewCombo(this, r, "CBInner", 290, 8, 85, {"None", "Lowered", "Raised"});
    TeeNewLabel(this, r, "Bevel &inner:", 200, 12, CBInner);
    CBOuter = TeeNewCombo(this, r, "CBOuter", 290, 36, 85, {"None", "Lowered", "Raised"});
    TeeNewLabel(this, r, "Bevel &outer:", 200, 40, CBOuter);
    BBorder = TeeNewButton<TButtonPen>(this, r, "BBorder", "&Border...", 200, 66, 85);

    BPanelColor->OnClick = [this](TObject*) {
        if (!FBind.Loading() && FPanel) CBColorDef->SetChecked(FPanel->Color() == clBtnFace);
    };
    FBind.Check(
        CBColorDef, [this] { return FPanel->Color() == clBtnFace; },
        [this](bool V) {
            if (V) {
                FPanel->SetColor(clBtnFace);
                BPanelColor->Invalidate();
            } else if (FPanel->Color() == clBtnFace) {
                // Only the colour button can take the panel off the default colour.
                auto guard = FBind.Guard();
                CBColorDef->SetChecked(true);
            }
        });
    FBind.Index(
        RGBitmap, [this] { return static_cast<int>(FPanel->BackImageMode()); },
        [this](int I) { FPanel->SetBackImageMode(static_cast<TTeeBackImageMode>(I)); });
    BBrowseImage->OnClick = [this](TObject*) {
        if (!FPanel) return;
        TCallOut held{this, FPanel};
        TeeLoadClearImage(this, FPanel->BackImage());
        if (held.Gone()) return;
        CheckImage();
    };
    FBind.Check(
        CBImageInside, [this] { return FPanel->BackImageInside(); },
        [this](bool V) { FPanel->SetBackImageInside(V); });
    FBind.Check(
        CBTransp, [this] { return FPanel->HasBackImage() && FPanel->BackImageTransp(); },
        [this](bool V) { FPanel->SetBackImageTransp(V); });
    FBind.UpDown(
        UDPanelBor, [this] { return FPanel->BorderWidth(); },
        [this](int V) {
            if (V >= 0 && V != FPanel->BorderWidth()) FPanel->SetBorderWidth(V);
        });
    FBind.UpDown(
        UDPanelWi, [this] { return FPanel->BevelWidth(); },
        [this](int V) {
            if (V >= 1 && V != FPanel->BevelWidth()) FPanel->SetBevelWidth(V);
        });
    FBind.UpDown(
        UDRound, [this] { return FPanel->BorderRound(); },
        [this](int V) {
            if (V >= 0 && V <= 10000) FPanel->SetBorderRound(V);
        });
    // The combos list no bevel beyond raised; another style shows as the first.
    const auto shown = [](TPanelBevel B) { return B <= bvRaised ? static_cast<int>(B) : 0; };
    FBind.Index(
        CBInner, [this, shown] { return shown(FPanel->BevelInner()); },
        [this](int I) {
            if (static_cast<TPanelBevel>(I) != FPanel->BevelInner())
                FPanel->SetBevelInner(static_cast<TPanelBevel>(I));
        });
    FBind.Index(
        CBOuter, [this, shown] { return shown(FPanel->BevelOuter()); },
        [this](int I) {
            if (static_cast<TPanelBevel>(I) != FPanel->BevelOuter())
                FPanel->SetBevelOuter(static_cast<TPanelBevel>(I));
        });
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TFormTeePanel::FormShow(TObject*) {
    if (!FPanel) FPanel = SubjectAs<TCustomTeePanelExtended>();
    if (!FPanel) return;
    BPanelColor->LinkProperty(FPanel, "Color");
    FBind.Load();
    auto guard = FBind.Guard();
    BBorder->LinkPen(FPanel->Border());
    if (!GradientEditor) {
        GradientEditor = new TTeeGradientEditor(this, FPanel->Gradient());
        AddFormTo(GradientEditor, TabGradient, nullptr);
    } else {
        GradientEditor->RefreshGradient(FPanel->Gradient());
    }
    if (!ShadowEditor) ShadowEditor = InsertTeeShadowEditor(TabShadow);
    ShadowEditor->RefreshControls(FPanel->Shadow());
    CheckImage();
}

void TFormTeePanel::CheckImage() {
    const bool has = FPanel && FPanel->HasBackImage();
    RGBitmap->SetEnabled(has);
    CBImageInside->SetEnabled(has);
    CBTransp->SetEnabled(has);
    BBrowseImage->SetCaption(has ? TeeMsg_ClearImage : TeeMsg_BrowseImage);
    auto guard = FBind.Guard();
    CBTransp->SetChecked(has && FPanel->BackImageTransp());
}
