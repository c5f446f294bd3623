#include "chart/editor/teeedipane.h"

#include "chart/control/tooledit.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/editor/teeshapeedit.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teepanel.h"
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
        if (!FLoading && FPanel) CBColorDef->SetChecked(FPanel->Color() == clBtnFace);
    };
    CBColorDef->OnClick = [this](TObject*) {
        if (FLoading || !FPanel) return;
        if (CBColorDef->Checked()) {
            FPanel->SetColor(clBtnFace);
            BPanelColor->Invalidate();
        } else if (FPanel->Color() == clBtnFace) {
            // Only the colour button can take the panel off the default colour.
            FLoading = true;
            CBColorDef->SetChecked(true);
            FLoading = false;
        }
    };
    RGBitmap->OnClick = [this](TObject*) {
        if (!FLoading && FPanel && RGBitmap->ItemIndex() >= 0)
            FPanel->SetBackImageMode(static_cast<TTeeBackImageMode>(RGBitmap->ItemIndex()));
    };
    BBrowseImage->OnClick = [this](TObject*) {
        if (!FPanel) return;
        TeeLoadClearImage(this, FPanel->BackImage());
        CheckImage();
    };
    CBImageInside->OnClick = [this](TObject*) {
        if (!FLoading && FPanel) FPanel->SetBackImageInside(CBImageInside->Checked());
    };
    CBTransp->OnClick = [this](TObject*) {
        if (!FLoading && FPanel) FPanel->SetBackImageTransp(CBTransp->Checked());
    };
    SEPanelBor->OnChange = [this](TObject*) {
        int v;
        if (!FLoading && FPanel && TryStrToInt(SEPanelBor->Text(), v) && v >= 0 &&
            v != FPanel->BorderWidth())
            FPanel->SetBorderWidth(v);
    };
    SEPanelWi->OnChange = [this](TObject*) {
        int v;
        if (!FLoading && FPanel && TryStrToInt(SEPanelWi->Text(), v) && v >= 1 &&
            v != FPanel->BevelWidth())
            FPanel->SetBevelWidth(v);
    };
    ERound->OnChange = [this](TObject*) {
        int v;
        if (!FLoading && FPanel && TryStrToInt(ERound->Text(), v) && v >= 0 && v <= 10000)
            FPanel->SetBorderRound(v);
    };
    CBInner->OnChange = [this](TObject*) {
        const auto v = static_cast<TPanelBevel>(CBInner->ItemIndex());
        if (!FLoading && FPanel && CBInner->ItemIndex() >= 0 && v != FPanel->BevelInner())
            FPanel->SetBevelInner(v);
    };
    CBOuter->OnChange = [this](TObject*) {
        const auto v = static_cast<TPanelBevel>(CBOuter->ItemIndex());
        if (!FLoading && FPanel && CBOuter->ItemIndex() >= 0 && v != FPanel->BevelOuter())
            FPanel->SetBevelOuter(v);
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TFormTeePanel::FormShow(TObject*) {
    if (!FPanel) FPanel = dynamic_cast<TCustomTeePanelExtended*>(reinterpret_cast<TObject*>(Tag()));
    if (!FPanel) return;
    FLoading = true;
    BPanelColor->LinkProperty(FPanel, "Color");
    CBColorDef->SetChecked(FPanel->Color() == clBtnFace);
    RGBitmap->SetItemIndex(FPanel->BackImageMode());
    CBImageInside->SetChecked(FPanel->BackImageInside());
    UDPanelBor->SetPosition(FPanel->BorderWidth());
    UDPanelWi->SetPosition(FPanel->BevelWidth());
    UDRound->SetPosition(FPanel->BorderRound());
    CBInner->SetItemIndex(FPanel->BevelInner() <= bvRaised ? FPanel->BevelInner() : 0);
    CBOuter->SetItemIndex(FPanel->BevelOuter() <= bvRaised ? FPanel->BevelOuter() : 0);
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
    FLoading = false;
}

void TFormTeePanel::CheckImage() {
    const bool has = FPanel && FPanel->HasBackImage();
    RGBitmap->SetEnabled(has);
    CBImageInside->SetEnabled(has);
    CBTransp->SetEnabled(has);
    BBrowseImage->SetCaption(has ? TeeMsg_ClearImage : TeeMsg_BrowseImage);
    const bool old = FLoading;
    FLoading = true;
    CBTransp->SetChecked(has && FPanel->BackImageTransp());
    FLoading = old;
}
