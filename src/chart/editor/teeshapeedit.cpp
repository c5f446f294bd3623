#include "chart/editor/teeshapeedit.h"

#include "chart/control/tooledit.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teeshape.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/modalwatch.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/sysutils.h"
#include <vector>

QM_CLASS_OWNED(TFormTeeShape, TForm, TComponent)

TFormTeeShape::TFormTeeShape(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Shape");
    SetClientWidth(272);
    SetClientHeight(205);
    PageControl1 = TeeNew<TPageControl>(this, this, "PageControl1", 0, 0, 272, 205);
    PageControl1->SetAlign(alClient);
    TabFormat = TeeNewTab(PageControl1, "TabFormat", "Format");
    TabText = TeeNewTab(PageControl1, "TabText", "Text");
    TabGradient = TeeNewTab(PageControl1, "TabGradient", "Gradient");
    TabShadow = TeeNewTab(PageControl1, "TabShadow", "Shadow");
    PageControl1->SetActivePage(TabFormat);

    TWinControl* f = TabFormat;
    BBackColor = TeeNewButton<TButtonColor>(this, f, "BBackColor", "&Color...", 8, 8, 85);
    Button4 = TeeNewButton<TButtonPen>(this, f, "Button4", "&Frame...", 8, 40, 85);
    Button6 = TeeNewButton(this, f, "Button6", "&Pattern...", 8, 72, 85);
    CBRound = TeeNewCheck(this, f, "CBRound", "&Round Frame", 108, 12, 140);
    CBTransparent = TeeNewCheck(this, f, "CBTransparent", "&Transparent", 108, 36, 140);
    CBBevel = TeeNewCombo(this, f, "CBBevel", 160, 62, 90, {"None", "Lowered", "Raised"});
    TeeNewLabel(this, f, "&Bevel:", 108, 66, CBBevel);
    UDBevW = TeeNewUpDown(this, f, "EBevWidth", "UDBevW", 160, 90, 40, 1, 100, &EBevWidth);
    TeeNewLabel(this, f, "Siz&e:", 108, 94, EBevWidth);
    UDShadowTransp = TeeNewUpDown(this, f, "EShadowTransp", "UDShadowTransp", 108, 124, 40, 0, 100,
                                  &EShadowTransp);
    TeeNewLabel(this, f, "&Transparency:", 8, 128, EShadowTransp);

    FFontEditor = InsertTeeFontEditor(TabText);
    FShadowEditor = InsertTeeShadowEditor(TabShadow);

    Button6->OnClick = [this](TObject*) {
        if (FShape) EditChartBrush(this, FShape->Brush());
    };
    FBind.Check(
        CBRound, [this] { return FShape->ShapeStyle() == fosRoundRectangle; },
        [this](bool V) { FShape->SetShapeStyle(V ? fosRoundRectangle : fosRectangle); });
    FBind.Check(
        CBTransparent, [this] { return FShape->Transparent(); },
        [this](bool V) { FShape->SetTransparent(V); });
    FBind.Index(
        CBBevel,
        [this] { return FShape->Bevel() <= bvRaised ? static_cast<int>(FShape->Bevel()) : 0; },
        [this](int I) {
            FShape->SetBevel(static_cast<TPanelBevel>(I));
            EnableBevelWidth();
        });
    FBind.UpDown(
        UDBevW, [this] { return FShape->BevelWidth(); },
        [this](int V) { FShape->SetBevelWidth(V); });
    FBind.UpDown(
        UDShadowTransp, [this] { return FShape->Transparency(); },
        [this](int V) { FShape->SetTransparency(V); });
}

void TFormTeeShape::EnableBevelWidth() {
    EBevWidth->SetEnabled(FShape->Bevel() != bvNone);
    UDBevW->SetEnabled(FShape->Bevel() != bvNone);
}

void TFormTeeShape::RefreshControls(TTeeCustomShape* AShape) {
    FShape = AShape;
    if (!FShape) return;
    FBind.Load();
    auto guard = FBind.Guard();
    EnableBevelWidth();
    if (!FGradientEditor) {
        FGradientEditor = new TTeeGradientEditor(this, FShape->Gradient());
        AddFormTo(FGradientEditor, TabGradient, nullptr);
    } else {
        FGradientEditor->RefreshGradient(FShape->Gradient());
    }
    FFontEditor->RefreshControls(FShape->Font());
    FShadowEditor->RefreshControls(FShape->Shadow());
    Button4->LinkPen(FShape->Pen());
    BBackColor->LinkProperty(FShape, "Color");
}

// ---------------------------------------------------------------------------
// Docking and the dialog

void EditTeeCustomShape(TComponent* AOwner, TTeeCustomShape* AShape) {
    auto dlg = TeeCreateDialog<TFormTeeShape>(AOwner);
    dlg->SetClientHeight(dlg->ClientHeight() + 30);
    auto* bottom = TeeNew<TPanel>(dlg.get(), dlg.get(), "PanelOk", 0, 0, dlg->ClientWidth(), 34);
    bottom->SetAlign(alBottom);
    bottom->SetBevelOuter(bvNone);
    auto* ok = TeeNewButton(dlg.get(), bottom, "BOk", "OK", dlg->ClientWidth() - 98, 4, 75);
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    ok->SetAnchors({akTop, akRight});
    dlg->RefreshControls(AShape);
    ShowModalWatching(dlg.get(), {}, AOwner);
}

TFormTeeShape* InsertTeeObjectForm(TPageControl* APageControl, TTeeCustomShape* AShape) {
    TComponent* owner = APageControl->Owner() ? APageControl->Owner() : APageControl;
    auto* form = new TFormTeeShape(owner);
    form->SetBorderStyle(bsNone);
    form->RefreshControls(AShape);
    std::vector<TTabSheet*> tabs;
    for (int i = 0; i < form->PageControl1->PageCount(); ++i)
        tabs.push_back(form->PageControl1->Pages(i));
    for (TTabSheet* t : tabs)
        t->SetPageControl(APageControl);
    return form;
}

TTeeFontEditor* InsertTeeFontEditor(TWinControl* ATab) {
    auto* page = new TTeeFontEditor(ATab->Owner() ? ATab->Owner() : ATab);
    AddFormTo(page, ATab, nullptr);
    return page;
}

TTeeShadowEditor* InsertTeeShadowEditor(TWinControl* ATab) {
    auto* page = new TTeeShadowEditor(ATab->Owner() ? ATab->Owner() : ATab);
    AddFormTo(page, ATab, nullptr);
    return page;
}
