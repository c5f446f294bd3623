#include "chart/editor/teepieedit.h"

#include "chart/control/series.h"
#include "chart/control/teelegend.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeedilege.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/editor/teepoiedi.h"
#include "chart/series/teepolar.h"
#include "chart/engine/teeconst.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/modalwatch.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TCircledSeriesEditor, TForm, TComponent)
QM_CLASS_OWNED(TPieSeriesEditor, TForm, TComponent)

// ---------------------------------------------------------------------------
// TCircledSeriesEditor

TCircledSeriesEditor::TCircledSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(330);
    SetClientHeight(150);
    CBCircled = TeeNewCheck(this, this, "CBCircled", "&Circled", 8, 8, 100);
    CB3D = TeeNewCheck(this, this, "CB3D", "&3 Dimensions", 8, 30, 110);
    UDRot = TeeNewUpDown(this, this, "ERot", "UDRot", 70, 56, 40, 0, 360, &ERot, 5);
    TeeNewLabel(this, this, "&Rotation:", 8, 60, ERot);
    GBRadius = TeeNew<TGroupBox>(this, this, "GBRadius", 130, 4, 190, 76);
    GBRadius->SetCaption("Radius:");
    UDX = TeeNewUpDown(this, GBRadius, "EX", "UDX", 76, 18, 44, 0, 2000, &EX, 5);
    TeeNewLabel(this, GBRadius, "&Horizontal:", 8, 22, EX);
    CBAutoXR = TeeNewCheck(this, GBRadius, "CBAutoXR", "&Auto", 138, 20, 48);
    UDY = TeeNewUpDown(this, GBRadius, "EY", "UDY", 76, 46, 44, 0, 2000, &EY, 5);
    TeeNewLabel(this, GBRadius, "&Vertical:", 8, 50, EY);
    CBAutoYR = TeeNewCheck(this, GBRadius, "CBAutoYR", "A&uto", 138, 48, 48);
    BBack = TeeNewButton<TButtonColor>(this, this, "BBack", "C&olor...", 8, 90, 95);
    CBTransp = TeeNewCheck(this, this, "CBTransp", "&Transparent", 112, 94, 100);
    BGradient = TeeNewButton(this, this, "BGradient", "&Gradient...", 8, 120, 95);

    CBCircled->OnClick = [this](TObject*) {
        if (!FLoading && FSeries) FSeries->SetCircled(CBCircled->Checked());
    };
    CB3D->OnClick = [this](TObject*) {
        if (!FLoading && FSeries && FSeries->ParentChart())
            FSeries->ParentChart()->SetView3D(CB3D->Checked());
    };
    ERot->OnChange = [this](TObject*) {
        int v;
        if (!FLoading && FSeries && Showing() && UpDownValue(ERot, UDRot, v))
            FSeries->SetRotationAngle(v);
    };
    WireRadius(EX, UDX, CBAutoXR, true);
    WireRadius(EY, UDY, CBAutoYR, false);
    CBTransp->OnClick = [this](TObject*) {
        BBack->SetEnabled(!CBTransp->Checked());
        if (FLoading || !FSeries) return;
        if (CBTransp->Checked()) {
            FSeries->SetCircleBackColor(clTeeColor);
            FSeries->CircleGradient()->SetVisible(false);
        } else {
            // Opaque in the colour the circle shows now, so the chart draws the same.
            FSeries->SetCircleBackColor(FSeries->CalcCircleBackColor());
        }
        BBack->Invalidate();
    };
    BGradient->OnClick = [this](TObject*) {
        if (FSeries) EditTeeGradient(this, FSeries->CircleGradient());
    };
    OnShow = [this](TObject* s) { FormShow(s); };
    FRefresh.OnRefresh = [this] { FormShow(this); };
}

// Typing a radius of 0 ticks "Auto"; ticking "Auto" makes the radius automatic.
void TCircledSeriesEditor::WireRadius(TEdit* E, TUpDown* U, TCheckBox* Auto, bool X) {
    E->OnChange = [this, E, U, Auto, X](TObject*) {
        int v;
        if (FLoading || !FSeries || !Showing() || !UpDownValue(E, U, v)) return;
        X ? FSeries->SetCustomXRadius(v) : FSeries->SetCustomYRadius(v);
        const bool was = FLoading;
        FLoading = true;
        Auto->SetChecked(v == 0);
        FLoading = was;
    };
    Auto->OnClick = [this, U, Auto, X](TObject*) {
        if (FLoading || !FSeries) return;
        int v = Auto->Checked() ? 0 : U->Position();
        // A radius of 0 is automatic: "Auto" off keeps the radius drawn now.
        if (!Auto->Checked() && v == 0) v = X ? FSeries->RadiusX() : FSeries->RadiusY();
        X ? FSeries->SetCustomXRadius(v) : FSeries->SetCustomYRadius(v);
        const bool was = FLoading;
        FLoading = true;
        U->SetPosition(v);
        Auto->SetChecked(v == 0);
        FLoading = was;
    };
}

void TCircledSeriesEditor::FormShow(TObject*) {
    FSeries = SubjectAs<TCircledSeries>();
    if (!FSeries) return;
    FLoading = true;
    CBCircled->SetChecked(FSeries->Circled());
    CB3D->SetChecked(FSeries->ParentChart() && FSeries->ParentChart()->View3D());
    UDRot->SetPosition(FSeries->RotationAngle());
    // A radar is always drawn turned to 90 degrees: it holds no rotation to edit.
    const bool turns = !dynamic_cast<TRadarSeries*>(FSeries.Get());
    UDRot->SetEnabled(turns);
    ERot->SetEnabled(turns);
    UDX->SetPosition(FSeries->CustomXRadius());
    UDY->SetPosition(FSeries->CustomYRadius());
    CBAutoXR->SetChecked(FSeries->CustomXRadius() == 0);
    CBAutoYR->SetChecked(FSeries->CustomYRadius() == 0);
    const bool transparent = FSeries->CircleBackColor() == clTeeColor;
    CBTransp->SetChecked(transparent);
    BBack->SetEnabled(!transparent);
    BBack->LinkProperty(FSeries, "CircleBackColor");
    FLoading = false;
    FRefresh.Load();
}

// ---------------------------------------------------------------------------
// TPieSeriesEditor

TPieSeriesEditor::TPieSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(350);
    SetClientHeight(176);
    CBDark3d = TeeNewCheck(this, this, "CBDark3d", "&Dark 3D", 8, 8, 110);
    CBPatterns = TeeNewCheck(this, this, "CBPatterns", "Pa&tterns", 8, 30, 110);
    CBMarksAutoPosition =
        TeeNewCheck(this, this, "CBMarksAutoPosition", "&Auto Mark Position", 8, 52, 140);
    CBDarkBorder = TeeNewCheck(this, this, "CBDarkBorder", "Dark B&order", 8, 74, 110);
    UDExpBig = TeeNewUpDown(this, this, "EExpBig", "UDExpBig", 104, 98, 40, 0, 100, &EExpBig, 5);
    TeeNewLabel(this, this, "&Explode biggest:", 8, 102, EExpBig);
    UDAngleSize =
        TeeNewUpDown(this, this, "EAngleSize", "UDAngleSize", 104, 126, 40, 1, 360, &EAngleSize, 5);
    TeeNewLabel(this, this, "Total angle:", 8, 130, EAngleSize);
    auto* group = TeeNew<TGroupBox>(this, this, "GBOther", 166, 4, 178, 108);
    group->SetCaption("Group slices:");
    CBOther = TeeNewCombo(this, group, "CBOther", 62, 18, 108, {"None", "Below %", "Below Value"});
    TeeNewLabel(this, group, "&Style:", 8, 22, CBOther);
    EOtherValue = TeeNewNumber(this, group, "EOtherValue", 62, 46, 108);
    TeeNewLabel(this, group, "&Value:", 8, 50, EOtherValue);
    EOtherLabel = TeeNew<TEdit>(this, group, "EOtherLabel", 62, 74, 108, 21);
    EOtherLabel->SetText("Other");
    TeeNewLabel(this, group, "&Label:", 8, 78, EOtherLabel);
    Button2 = TeeNewButton(this, this, "Button2", "Le&gend...", 166, 118, 85);
    BPen = TeeNewButton<TButtonPen>(this, this, "BPen", "&Border...", 259, 118, 85);
    BShadow = TeeNewButton(this, this, "BShadow", "S&hadow...", 166, 146, 85);

    WireCheck(
        CBDark3d, [](TPieSeries* O) { return O->Dark3D(); },
        [](TPieSeries* O, bool V) { O->SetDark3D(V); });
    WireCheck(
        CBPatterns, [](TPieSeries* O) { return O->UsePatterns(); },
        [](TPieSeries* O, bool V) { O->SetUsePatterns(V); });
    WireCheck(
        CBMarksAutoPosition, [](TPieSeries* O) { return O->AutoMarkPosition(); },
        [](TPieSeries* O, bool V) { O->SetAutoMarkPosition(V); });
    WireCheck(
        CBDarkBorder, [](TPieSeries* O) { return O->DarkPen(); },
        [](TPieSeries* O, bool V) { O->SetDarkPen(V); });
    FBind.UpDown(
        UDExpBig, [this] { return FSeries->ExplodeBiggest(); },
        [this](int V) {
            if (Showing()) FSeries->SetExplodeBiggest(V);
        });
    FBind.UpDown(
        UDAngleSize, [this] { return FSeries->AngleSize(); },
        [this](int V) {
            if (Showing()) FSeries->SetAngleSize(V);
        });
    FBind.Index(
        CBOther, [this] { return static_cast<int>(FSeries->OtherSlice()->Style()); },
        [this](int I) {
            FSeries->OtherSlice()->SetStyle(static_cast<TPieOtherStyle>(I));
            EnableOther();
        });
    // Text that is no number keeps the grouping value.
    FBind.Text(
        EOtherValue, [this] { return FloatToStr(FSeries->OtherSlice()->Value()); },
        [this](const AnsiString& T) {
            double v;
            if (TryStrToFloat(T.Trim(), v) && std::isfinite(v)) FSeries->OtherSlice()->SetValue(v);
        });
    FBind.Text(
        EOtherLabel, [this] { return FSeries->OtherSlice()->Text(); },
        [this](const AnsiString& T) { FSeries->OtherSlice()->SetText(T); });
    Button2->OnClick = [this](TObject*) {
        if (!FSeries) return;
        // The legend page as a dialog; its changes apply at once.
        auto dlg = TeeCreateDialog<TFormTeeLegend>(this);
        dlg->SetClientHeight(dlg->ClientHeight() + 34);
        auto* bottom =
            TeeNew<TPanel>(dlg.get(), dlg.get(), "PanelOk", 0, 0, dlg->ClientWidth(), 34);
        bottom->SetAlign(alBottom);
        bottom->SetBevelOuter(bvNone);
        auto* ok = TeeNewButton(dlg.get(), bottom, "BOk", "OK", dlg->ClientWidth() - 83, 4, 75);
        ok->SetModalResult(mrOk);
        ok->SetDefault(true);
        ok->SetAnchors({akTop, akRight});
        dlg->SetSubject(FSeries->OtherSlice()->Legend());
        ShowModalWatching(dlg.get(), {FSeries});
    };
    BShadow->OnClick = [this](TObject*) {
        if (FSeries) EditTeeShadow(this, FSeries->Shadow());
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TPieSeriesEditor::WireCheck(TCheckBox* C, bool (*Get)(TPieSeries*),
                                 void (*Set)(TPieSeries*, bool)) {
    FBind.Check(
        C, [this, Get] { return Get(FSeries); }, [this, Set](bool V) { Set(FSeries, V); });
}

void TPieSeriesEditor::EnableOther() {
    const bool on = CBOther->ItemIndex() > 0;
    EOtherValue->SetEnabled(on);
    EOtherLabel->SetEnabled(on);
}

void TPieSeriesEditor::FormShow(TObject*) {
    FSeries = SubjectAs<TPieSeries>();
    if (!FSeries) return;
    FBind.Load();
    {
        auto guard = FBind.Guard();
        BPen->LinkPen(FSeries->PiePen());
        EnableOther();
    }
    if (!FCircled)
        if (TTabSheet* tab = TeeAddEditorTab(this, TeeMsg_GalleryCircled)) {
            TTabSheet* current = tab->PageControl()->ActivePage();
            FCircled = new TCircledSeriesEditor(tab);
            for (TControl* c : std::initializer_list<TControl*>{FCircled->BBack, FCircled->CBTransp,
                                                                FCircled->BGradient})
                c->Hide();
            TeeAddToTab(FCircled, tab, FSeries);
            tab->PageControl()->SetActivePage(current);
        }
}
