#include "chart/editor/teebaredit.h"
#include "chart/editor/teeediseri.h"

#include "chart/control/series.h"
#include "chart/editor/teeformbuild.h"
#include "chart/engine/teeconst.h"
#include "chart/editor/teependlg.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"

QM_CLASS_OWNED(TStackBarSeriesEditor, TForm, TComponent)
QM_CLASS_OWNED(TBarSeriesEditor, TForm, TComponent)

namespace {
// A tab added beside the one the form is docked in; nullptr when it is not
// docked in a page control.
TTabSheet* AddSiblingTab(TControl* Form, const AnsiString& Caption) {
    if (TFormTeeSeries* series = TeeSeriesPageOf(Form))
        return series->AddSeriesTab(series->ExtraTabPosition(), Caption);
    auto* sheet = dynamic_cast<TTabSheet*>(Form->Parent());
    if (!sheet || !sheet->PageControl()) return nullptr;
    auto* tab = new TTabSheet(sheet->PageControl());
    tab->SetPageControl(sheet->PageControl());
    tab->SetCaption(Caption);
    return tab;
}
} // namespace

// ---------------------------------------------------------------------------
// TStackBarSeriesEditor

TStackBarSeriesEditor::TStackBarSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(300);
    SetClientHeight(150);
    RGMultiBar = TeeNewRadio(this, this, "RGMultiBar", "&Multiple Bar:", 8, 4, 120, 136,
                             {"None", "Side", "Stacked", "Stacked 100%", "Side All", "Self Stack"});
    CBYOrigin = TeeNewCheck(this, this, "CBYOrigin", "Use &Origin:", 140, 12, 90);
    EYOrigin = TeeNewNumber(this, this, "EYOrigin", 232, 10, 60);
    EYOrigin->SetText("0");
    UDGroup = TeeNewUpDown(this, this, "EGroup", "UDGroup", 232, 44, 40, 0, 1000, &EGroup);
    LGroup = TeeNewLabel(this, this, "&Stack Group:", 146, 48, EGroup);
    FBind.Index(
        RGMultiBar, [this] { return static_cast<int>(FBar->MultiBar()); },
        [this](int I) {
            FBar->SetMultiBar(static_cast<TMultiBar>(I));
            EnableGroup();
        });
    CBYOrigin->OnClick = [this](TObject*) {
        EYOrigin->SetEnabled(CBYOrigin->Checked());
        if (FBind.Loading() || !FBar) return;
        FBar->SetUseOrigin(CBYOrigin->Checked());
        if (CBYOrigin->Checked() && Showing()) EYOrigin->SetFocus();
    };
    // Text that is not a number keeps the current origin.
    FBind.Text(
        EYOrigin, [this] { return FloatToStr(FBar->YOrigin()); },
        [this](const AnsiString& T) {
            double v;
            if (TryStrToFloat(T, v)) FBar->SetOrigin(v);
        });
    FBind.UpDown(
        UDGroup, [this] { return FBar->StackGroup(); },
        [this](int V) {
            if (Showing()) FBar->SetStackGroup(V);
        });
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TStackBarSeriesEditor::FormShow(TObject*) {
    FBar = SubjectAs<TCustomBarSeries>();
    if (!FBar) return;
    FBind.Load();
    auto guard = FBind.Guard();
    CBYOrigin->SetChecked(FBar->UseYOrigin());
    EYOrigin->SetEnabled(FBar->UseYOrigin());
    EnableGroup();
}

void TStackBarSeriesEditor::EnableGroup() {
    const bool on = FBar && (FBar->MultiBar() == mbStacked || FBar->MultiBar() == mbStacked100);
    for (TControl* c : std::initializer_list<TControl*>{LGroup, EGroup, UDGroup})
        c->SetEnabled(on);
}

// ---------------------------------------------------------------------------
// TBarSeriesEditor

TBarSeriesEditor::TBarSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(330);
    SetClientHeight(170);
    CBBarStyle = TeeNewCombo(this, this, "CBBarStyle", 90, 6, 110,
                             {"Rectangle", "Pyramid", "Invert. Pyramid", "Cylinder", "Ellipse",
                              "Arrow", "Rect. Gradient", "Cone", "Bevel"});
    TeeNewLabel(this, this, "St&yle:", 8, 10, CBBarStyle);
    UDBarWidth =
        TeeNewUpDown(this, this, "SEBarWidth", "UDBarWidth", 90, 34, 40, 1, 100, &SEBarWidth, 5);
    TeeNewLabel(this, this, "% Bar &Width:", 8, 38, SEBarWidth);
    UDBarOffset = TeeNewUpDown(this, this, "SEBarOffset", "UDBarOffset", 90, 62, 40, -100, 100,
                               &SEBarOffset, 5);
    TeeNewLabel(this, this, "% Bar O&ffset:", 8, 66, SEBarOffset);
    UDBevel = TeeNewUpDown(this, this, "EBevel", "UDBevel", 90, 90, 40, 0, 100, &EBevel);
    LBevel = TeeNewLabel(this, this, "Be&vel size:", 8, 94, EBevel);
    CBDarkBar = TeeNewCheck(this, this, "CBDarkBar", "&Dark Bar 3D Sides", 8, 122, 150);
    CBBarSideMargins =
        TeeNewCheck(this, this, "CBBarSideMargins", "Bar S&ide Margins", 8, 144, 150);
    CBMarksAutoPosition =
        TeeNewCheck(this, this, "CBMarksAutoPosition", "&Auto Mark Position", 164, 144, 160);
    CBColorEach = TeeNewCheck(this, this, "CBColorEach", "Color &Each", 214, 8, 110);
    BBarColor = TeeNewButton<TButtonColor>(this, this, "BBarColor", "&Color...", 214, 30, 100);
    BBarBrush = TeeNewButton(this, this, "BBarBrush", "&Pattern...", 214, 58, 100);
    BBarPen = TeeNewButton<TButtonPen>(this, this, "BBarPen", "&Border...", 214, 86, 100);
    BGradient = TeeNewButton(this, this, "BGradient", "&Gradient...", 214, 114, 100);

    FBind.Index(
        CBBarStyle, [this] { return static_cast<int>(FBar->BarStyle()); },
        [this](int I) {
            FBar->SetBarStyle(static_cast<TBarStyle>(I));
            EnableStyleControls();
        });
    // Percentages reach the bar only while the page is shown (docking shows
    // it before the bar is known).
    FBind.UpDown(
        UDBarWidth, [this] { return FBar->BarWidthPercent(); },
        [this](int V) {
            if (Showing()) FBar->SetBarWidthPercent(V);
        });
    FBind.UpDown(
        UDBarOffset, [this] { return FBar->OffsetPercent(); },
        [this](int V) {
            if (Showing()) FBar->SetOffsetPercent(V);
        });
    FBind.UpDown(
        UDBevel, [this] { return FBar->BevelSize(); },
        [this](int V) {
            if (Showing()) FBar->SetBevelSize(V);
        });
    FBind.Check(
        CBDarkBar, [this] { return FBar->Dark3D(); }, [this](bool V) { FBar->SetDark3D(V); });
    FBind.Check(
        CBBarSideMargins, [this] { return FBar->SideMargins(); },
        [this](bool V) { FBar->SetSideMargins(V); });
    FBind.Check(
        CBMarksAutoPosition, [this] { return FBar->AutoMarkPosition(); },
        [this](bool V) { FBar->SetAutoMarkPosition(V); });
    FBind.Check(
        CBColorEach, [this] { return FBar->ColorEachPoint(); },
        [this](bool V) {
            FBar->SetColorEachPoint(V);
            BBarColor->SetEnabled(!V);
        });
    BBarBrush->OnClick = [this](TObject*) {
        if (FBar) EditChartBrush(this, FBar->BarBrush());
    };
    BGradient->OnClick = [this](TObject*) {
        if (FBar) EditTeeGradient(this, FBar->Gradient());
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TBarSeriesEditor::FormShow(TObject*) {
    FBar = SubjectAs<TCustomBarSeries>();
    if (!FBar) return;
    FBind.Load();
    {
        auto guard = FBind.Guard();
        BBarColor->SetEnabled(!FBar->ColorEachPoint());
        BBarColor->LinkProperty(FBar, "SeriesColor");
        BBarPen->LinkPen(FBar->BarPen());
        EnableStyleControls();
    }
    if (!FStack)
        if (TTabSheet* tab = AddSiblingTab(this, TeeMsg_Stack)) {
            // Docking shows the new tab for a moment; the user stays on this one.
            TTabSheet* current = tab->PageControl()->ActivePage();
            FStack = new TStackBarSeriesEditor(this);
            TeeAddToTab(FStack, tab, FBar);
            tab->PageControl()->SetActivePage(current);
        }
}

void TBarSeriesEditor::EnableStyleControls() {
    BGradient->SetEnabled(FBar->BarStyle() == bsRectGradient);
    const bool bevel = FBar->BarStyle() == bsBevel;
    for (TControl* c : std::initializer_list<TControl*>{LBevel, EBevel, UDBevel})
        c->SetEnabled(bevel);
}
