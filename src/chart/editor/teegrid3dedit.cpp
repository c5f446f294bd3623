#include "chart/editor/teegrid3dedit.h"

#include "chart/editor/teependlg.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/series/teesurfa.h"
#include "platform/classes/watched.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/dialogs.h"
#include "platform/graphics/graphics.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"

QM_CLASS_OWNED(TGrid3DSeriesEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TColorGridEditor, TGrid3DSeriesEditor, TComponent)

// ---------------------------------------------------------------------------
// TGrid3DSeriesEditor

TGrid3DSeriesEditor::TGrid3DSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(390);
    SetClientHeight(176);
    GroupBox2 = TeeNew<TGroupBox>(this, this, "GroupBox2", 6, 2, 112, 112);
    GroupBox2->SetCaption("Grid size:");
    UDXGrid = TeeNewUpDown(this, GroupBox2, "SEXGrid", "UDXGrid", 30, 18, 50, 1, 1000, &SEXGrid);
    TeeNewLabel(this, GroupBox2, "&X:", 12, 22, SEXGrid);
    UDZGrid = TeeNewUpDown(this, GroupBox2, "SEZGrid", "UDZGrid", 30, 44, 50, 1, 1000, &SEZGrid);
    TeeNewLabel(this, GroupBox2, "&Z:", 12, 48, SEZGrid);
    CBIrreg = TeeNewCheck(this, GroupBox2, "CBIrreg", "&Irregular", 10, 80, 96);
    UDDepth = TeeNewUpDown(this, this, "EDepth", "UDDepth", 56, 124, 44, 1, 1000, &EDepth);
    LDepth = TeeNewLabel(this, this, "&Depth:", 10, 128, EDepth);

    PageControl1 = TeeNew<TPageControl>(this, this, "PageControl1", 126, 4, 258, 166);
    TabSingle = TeeNewTab(PageControl1, "TabSingle", "Single");
    TabRange = TeeNewTab(PageControl1, "TabRange", "Range");
    TabPalette = TeeNewTab(PageControl1, "TabPalette", "Palette");
    BColor = TeeNewButton<TButtonColor>(this, TabSingle, "BColor", "C&olor...", 8, 10, 110);
    BRemove = TeeNewButton(this, TabSingle, "BRemove", "&Remove custom colors", 8, 44, 160);
    BFromColor = TeeNewButton<TButtonColor>(this, TabRange, "BFromColor", "&Start...", 8, 8, 100);
    BMidColor = TeeNewButton<TButtonColor>(this, TabRange, "BMidColor", "&Middle...", 8, 38, 100);
    BToColor = TeeNewButton<TButtonColor>(this, TabRange, "BToColor", "&End...", 8, 68, 100);
    CheckBox1 = TeeNewCheck(this, TabRange, "CheckBox1", "&No middle", 118, 42, 110);
    Button1 = TeeNewButton(this, TabRange, "Button1", "S&wap", 118, 68, 75);
    UDPalette =
        TeeNewUpDown(this, TabPalette, "SEPalette", "UDPalette", 64, 6, 44, 1, 1000, &SEPalette);
    TeeNewLabel(this, TabPalette, "S&teps:", 8, 10, SEPalette);
    CBPalStyle =
        TeeNewCombo(this, TabPalette, "CBPalStyle", 160, 6, 86, {"Pale", "Strong", "Gray scale"});
    TeeNewLabel(this, TabPalette, "St&yle:", 124, 10, CBPalStyle);
    CBUseMin = TeeNewCheck(this, TabPalette, "CBUseMin", "&Use palette minimum", 8, 38, 160);
    EPaletteMin = TeeNewNumber(this, TabPalette, "EPaletteMin", 64, 60, 64);
    TeeNewLabel(this, TabPalette, "&Minimum:", 8, 64, EPaletteMin);
    EPaletteStep = TeeNewNumber(this, TabPalette, "EPaletteStep", 64, 88, 64);
    TeeNewLabel(this, TabPalette, "&Step:", 8, 92, EPaletteStep);
    UDLegendEvery =
        TeeNewUpDown(this, TabPalette, "Edit1", "UDLegendEvery", 196, 88, 34, 1, 1000, &Edit1);
    TeeNewLabel(this, TabPalette, "Legend:", 150, 92, Edit1);

    FBind.UpDown(UDXGrid, nullptr, [this](int) { GridSizeChange(); });
    FBind.UpDown(UDZGrid, nullptr, [this](int) { GridSizeChange(); });
    OnUpDown(UDPalette, [this](int V) { Grid()->SetPaletteSteps(V); });
    OnUpDown(UDDepth, [this](int V) { Grid()->SetTimesZOrder(V); });
    OnUpDown(UDLegendEvery, [this](int V) { Grid()->SetLegendEvery(V); });
    OnCheck(CBIrreg, [this](bool V) {
        if (auto* g = dynamic_cast<TCustom3DGridSeries*>(FSeries.Get())) g->SetIrregularGrid(V);
    });
    OnIndex(CBPalStyle,
            [this](int I) { Grid()->SetPaletteStyle(static_cast<TTeePaletteStyle>(I)); });
    FBind.Index(PageControl1, nullptr, [this](int) { PageChange(); });
    OnCheck(CBUseMin, [this](bool V) {
        EPaletteMin->SetEnabled(V);
        if (Grid()) Grid()->SetUsePaletteMin(V);
    });
    OnFloat(EPaletteMin, [this](double V) { Grid()->SetPaletteMin(V); });
    OnFloat(EPaletteStep, [this](double V) { Grid()->SetPaletteStep(V); });
    Button1->OnClick = [this](TObject*) {
        TCustom3DPaletteSeries* g = Grid();
        if (!g) return;
        const TColor start = g->StartColor();
        g->SetStartColor(g->EndColor());
        g->SetEndColor(start);
        BFromColor->Invalidate();
        BToColor->Invalidate();
    };
    OnCheck(CheckBox1, [this](bool V) {
        if (Grid()) {
            // Unchecked, the middle takes a colour, as the gradient editor's does.
            if (V)
                Grid()->SetMidColor(clNone);
            else if (Grid()->MidColor() == clNone)
                Grid()->SetMidColor(clWhite);
            BMidColor->Invalidate();
        }
        BMidColor->SetEnabled(!V);
    });
    BMidColor->OnClick = [this](TObject*) {
        if (!Grid()) return;
        CheckBox1->SetChecked(Grid()->MidColor() == clNone);
        BMidColor->SetEnabled(!CheckBox1->Checked());
    };
    BRemove->OnClick = [this](TObject*) {
        if (!FSeries) return;
        for (int i = 0; i < FSeries->Count(); ++i)
            FSeries->SetValueColor(i, clTeeColor);
        BRemove->SetEnabled(false);
    };
}

TGrid3DSeriesEditor::~TGrid3DSeriesEditor() {
    ListenTo(nullptr);
}

TCustom3DPaletteSeries* TGrid3DSeriesEditor::Grid() const {
    return dynamic_cast<TCustom3DPaletteSeries*>(FSeries.Get());
}

void TGrid3DSeriesEditor::ListenTo(TCustomAxisPanel* AChart) {
    if (AChart == FListened) return;
    if (FListened) {
        FListened->RemoveListener(this);
        FListened->RemoveFreeNotification(this);
    }
    FListened = AChart;
    if (FListened) {
        FListened->Listeners()->Add(this);
        FListened->FreeNotification(this);
    }
}

void TGrid3DSeriesEditor::Notification(TComponent* AComponent, TOperation Operation) {
    TTeeSeriesPage::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FListened) FListened = nullptr;
}

void TGrid3DSeriesEditor::TeeEvent(TTeeEvent* Event) {
    auto* e = dynamic_cast<TTeeSeriesEvent*>(Event);
    if (e && e->Event == seChangeColor && !IsDestroying()) BColor->Invalidate();
}

void TGrid3DSeriesEditor::ShowSeries() {
    TCustom3DPaletteSeries* g = Grid();
    if (!g) return;
    if (auto* grid = dynamic_cast<TCustom3DGridSeries*>(g)) {
        UDXGrid->SetPosition(grid->NumXValues());
        UDZGrid->SetPosition(grid->NumZValues());
        CBIrreg->SetChecked(grid->IrregularGrid());
        CBIrreg->Show();
        const bool can = grid->CanCreateValues();
        for (TControl* c : std::initializer_list<TControl*>{SEXGrid, UDXGrid, SEZGrid, UDZGrid})
            c->SetEnabled(can);
    } else {
        for (TControl* c : std::initializer_list<TControl*>{SEXGrid, UDXGrid, SEZGrid, UDZGrid})
            c->SetEnabled(false);
        CBIrreg->Hide();
    }
    UDDepth->SetPosition(g->TimesZOrder());
    UDPalette->SetPosition(g->PaletteSteps());
    CBPalStyle->SetItemIndex(g->PaletteStyle());
    PageControl1->SetActivePage(g->UseColorRange() ? TabRange
                                : g->UsePalette()  ? TabPalette
                                                   : TabSingle);
    CBUseMin->SetChecked(g->UsePaletteMin());
    EPaletteMin->SetText(FloatToStr(g->PaletteMin()));
    EPaletteMin->SetEnabled(g->UsePaletteMin());
    EPaletteStep->SetText(FloatToStr(g->PaletteStep()));
    UDLegendEvery->SetPosition(g->LegendEvery());
    CheckBox1->SetChecked(g->MidColor() == clNone);
    BMidColor->SetEnabled(!CheckBox1->Checked());
    BRemove->SetEnabled(HasColors(g));
    BColor->LinkProperty(g, "SeriesColor");
    BFromColor->LinkProperty(g, "StartColor");
    BMidColor->LinkProperty(g, "MidColor");
    BToColor->LinkProperty(g, "EndColor");
    ListenTo(g->ParentChart());
}

void TGrid3DSeriesEditor::GridSizeChange() {
    auto* grid = dynamic_cast<TCustom3DGridSeries*>(FSeries.Get());
    if (!grid || !Showing()) return;
    const int x = UDXGrid->Position();
    const int z = UDZGrid->Position();
    if (x != grid->NumXValues() || z != grid->NumZValues()) grid->CreateValues(x, z);
}

void TGrid3DSeriesEditor::PageChange() {
    TCustom3DPaletteSeries* g = Grid();
    if (!g) return;
    TTabSheet* page = PageControl1->ActivePage();
    if (page == TabSingle) {
        // Switching colour-each on and off drops the palette colours of the points.
        g->SetColorEachPoint(true);
        g->SetColorEachPoint(false);
        g->SetUseColorRange(false);
        g->SetUsePalette(false);
    } else if (page == TabRange) {
        g->SetUseColorRange(true);
        g->SetUsePalette(false);
    } else {
        g->SetUseColorRange(false);
        g->SetUsePalette(true);
    }
}

TGrid3DSeriesEditor* TeeInsertGrid3DForm(TTeeSeriesPage* AParent, TChartSeries* ASeries) {
    return dynamic_cast<TGrid3DSeriesEditor*>(
        AParent->InsertPage("TGrid3DSeriesEditor", "Grid 3D", ASeries, 1));
}

// ---------------------------------------------------------------------------
// TColorGridEditor

TColorGridEditor::TColorGridEditor(TComponent* AOwner) : TGrid3DSeriesEditor(AOwner) {
    BGrid = TeeNewButton<TButtonPen>(this, this, "BGrid", "&Grid...", 6, 148, 80);
    CBCentered = TeeNewCheck(this, this, "CBCentered", "&Centered", 10, 124, 100);
    Button2 = TeeNewButton(this, GroupBox2, "Button2", "&Load...", 10, 76, 80);
    // The grid has no depth slots; "&Irregular" moves under the load button.
    CBIrreg->SetTop(100);
    GroupBox2->SetHeight(122);
    CBCentered->SetTop(130);
    BGrid->SetTop(150);
    SetClientHeight(180);
    OnCheck(CBCentered, [this](bool V) {
        if (auto* g = dynamic_cast<TColorGridSeries*>(FSeries.Get())) g->SetCenteredPoints(V);
    });
    Button2->OnClick = [this](TObject*) { LoadPicture(); };
}

void TColorGridEditor::ShowSeries() {
    TGrid3DSeriesEditor::ShowSeries();
    for (TControl* c : std::initializer_list<TControl*>{LDepth, EDepth, UDDepth})
        c->Hide();
    auto* g = dynamic_cast<TColorGridSeries*>(FSeries.Get());
    if (!g) return;
    BGrid->LinkPen(g->Pen());
    CBCentered->SetChecked(g->CenteredPoints());
}

void TColorGridEditor::LoadPicture() {
    auto* g = dynamic_cast<TColorGridSeries*>(FSeries.Get());
    if (!g) return;
    TOpenPictureDialog dlg(this);
    TCallOut held{this, g};
    const bool chosen = dlg.Execute();
    if (held.Gone()) return;
    if (!chosen) return;
    // A picture the user picks may be anything: a file that is no picture or
    // one too big for a grid is refused with its message, the series unchanged.
    TPicture picture;
    const bool ok = TeeLoadPictureFile(picture, dlg.FileName());
    if (held.Gone() || !ok) return;
    try {
        TBitmap bitmap;
        bitmap.Assign(picture.Graphic());
        g->SetBitmap(&bitmap);
    } catch (const Exception& E) {
        ShowMessage(E.Message);
        return;
    }
    BRemove->SetEnabled(HasColors(g));
}
