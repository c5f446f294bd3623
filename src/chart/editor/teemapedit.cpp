#include "chart/editor/teemapedit.h"
#include "platform/classes/watched.h"

#include "chart/editor/teegrid.h"
#include "chart/editor/teegrid3dedit.h"
#include "chart/editor/teelisb.h"
#include "chart/editor/teependlg.h"
#include "chart/series/teemapseries.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/buttons.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"

QM_CLASS_OWNED(TMapSeriesEditor, TTeeSeriesPage, TComponent)

TMapSeriesEditor::TMapSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(400);
    SetClientHeight(210);
    PageControl2 = TeeNew<TPageControl>(this, this, "PageControl2", 0, 0, 400, 210);
    PageControl2->SetAlign(alClient);
    TabGlobal = TeeNewTab(PageControl2, "TabGlobal", "Global");
    TabShapes = TeeNewTab(PageControl2, "TabShapes", "Shapes");
    BMapBrush = TeeNewButton(this, TabGlobal, "BMapBrush", "B&rush...", 8, 8, 85);
    ButtonPen1 = TeeNewButton<TButtonPen>(this, TabGlobal, "ButtonPen1", "&Border...", 8, 40, 85);

    PanelList = TeeNew<TPanel>(this, TabShapes, "PanelList", 0, 0, 130, 180);
    PanelList->SetAlign(alLeft);
    PanelList->SetBevelOuter(bvNone);
    auto* buttons = TeeNew<TPanel>(this, PanelList, "PanelButtons", 0, 0, 130, 26);
    buttons->SetAlign(alTop);
    buttons->SetBevelOuter(bvNone);
    SBAdd = TeeNew<TSpeedButton>(this, buttons, "SBAdd", 2, 2, 22, 22);
    SBAdd->SetCaption("+");
    SBDelete = TeeNew<TSpeedButton>(this, buttons, "SBDelete", 26, 2, 22, 22);
    SBDelete->SetCaption("-");
    ChartListBox1 = TeeNew<TChartListBox>(this, PanelList, "ChartListBox1", 0, 26, 130, 154);
    ChartListBox1->SetAlign(alClient);
    // Polygons are rows of a list, not series to switch on and off or drag.
    ChartListBox1->SetShowActiveCheck(false);
    ChartListBox1->EnableDragSeries = false;
    ChartListBox1->AllowDeleteSeries = false;
    ChartListBox1->AllowAddSeries = false;
    Splitter1 = TeeNew<TSplitter>(this, TabShapes, "Splitter1", 130, 0, 3, 180);
    Splitter1->SetAlign(alLeft);
    PageControl1 = TeeNew<TPageControl>(this, TabShapes, "PageControl1", 133, 0, 259, 180);
    PageControl1->SetAlign(alClient);
    TabFormat = TeeNewTab(PageControl1, "TabFormat", "Format");
    TabData = TeeNewTab(PageControl1, "TabData", "Data");
    TWinControl* f = TabFormat;
    EText = TeeNew<TEdit>(this, f, "EText", 44, 6, 150, 21);
    TeeNewLabel(this, f, "&Text:", 8, 10, EText);
    EditZ = TeeNewNumber(this, f, "EditZ", 44, 34, 70);
    EditZ->SetText("0");
    TeeNewLabel(this, f, "&Z:", 8, 38, EditZ);
    ButtonPen2 = TeeNewButton<TButtonPen>(this, f, "ButtonPen2", "Bord&er...", 8, 64, 85);
    CBGlobalPen = TeeNewCheck(this, f, "CBGlobalPen", "&Global", 100, 68, 80);
    BBrush = TeeNewButton(this, f, "BBrush", "Br&ush...", 8, 94, 85);
    CBGlobalBrush = TeeNewCheck(this, f, "CBGlobalBrush", "Gl&obal", 100, 98, 80);
    ButtonColor1 = TeeNewButton<TButtonColor>(this, f, "ButtonColor1", "&Color...", 8, 124, 85);
    BGradient = TeeNewButton(this, f, "BGradient", "&Gradient...", 100, 124, 85);
    PageControl1->SetActivePage(TabFormat);
    PageControl2->SetActivePage(TabGlobal);

    BMapBrush->OnClick = [this](TObject*) {
        if (FSeries) EditChartBrush(this, FSeries->Brush());
    };
    ChartListBox1->OnClick = [this](TObject*) { ChartListBox1Click(); };
    SBAdd->OnClick = [this](TObject*) { AddShape(); };
    SBDelete->OnClick = [this](TObject*) { DeleteShape(); };
    PageControl2->OnChange = [this](TObject*) { ChartListBox1Click(); };
    // The polygon's controls are read by the selection, under the guard.
    FBind.Text(EText, nullptr, [this](const AnsiString& T) {
        TTeePolygon* p = SelectedShape();
        if (!p || T == p->Text()) return;
        p->SetText(T);
        ChartListBox1->Items()->SetStrings(ChartListBox1->ItemIndex(), T);
    });
    // Text that is no number (yet) keeps the polygon's Z.
    FBind.Text(EditZ, nullptr, [this](const AnsiString& T) {
        TTeePolygon* p = SelectedShape();
        double z;
        if (p && TryStrToFloat(Trim(T), z) && z != p->Z()) p->SetZ(z);
    });
    FBind.Check(CBGlobalPen, nullptr, [this](bool V) {
        if (TTeePolygon* p = SelectedShape()) p->SetParentPen(V);
    });
    FBind.Check(CBGlobalBrush, nullptr, [this](bool V) {
        if (TTeePolygon* p = SelectedShape()) p->SetParentBrush(V);
    });
    BBrush->OnClick = [this](TObject*) {
        if (TTeePolygon* p = SelectedShape()) EditChartBrush(this, p->Brush());
    };
    BGradient->OnClick = [this](TObject*) {
        if (TTeePolygon* p = SelectedShape()) EditTeeGradient(this, p->Gradient());
    };
    auto repaint = [this](TObject*) {
        if (FSeries) FSeries->Repaint();
    };
    ButtonPen2->OnClick = repaint;
    ButtonColor1->OnClick = repaint;
}

TMapSeries* TMapSeriesEditor::Map() const {
    return dynamic_cast<TMapSeries*>(FSeries.Get());
}

void TMapSeriesEditor::CreateGrid() {
    if (ChartGrid1) return;
    ChartGridNavigator1 =
        TeeNew<TChartGridNavigator>(this, TabData, "ChartGridNavigator1", 0, 0, 180, 22);
    ChartGridNavigator1->SetAlign(alTop);
    ChartGrid1 = TeeNew<TChartGrid>(this, TabData, "ChartGrid1", 0, 22, 250, 150);
    ChartGrid1->SetAlign(alClient);
    // The grid moves its selection, which tells its handlers.
    TCallOut held{this};
    ChartGrid1->SetShowFields(false);
    if (held.Gone()) return;
    ChartGridNavigator1->SetGrid(ChartGrid1);
}

void TMapSeriesEditor::ShowSeries() {
    TMapSeries* m = Map();
    if (!m) return;
    ButtonPen1->LinkPen(m->Pen());
    PageControl2->SetActivePage(TabGlobal);
    TCallOut held{this};
    CreateGrid();
    if (held.Gone()) return;
    FillShapes();
    EnableTabs();
    if (ChartListBox1->Items()->Count() > 0) ChartListBox1->SetItemIndex(0);
    ChartListBox1Click();
}

void TMapSeriesEditor::AddPages() {
    TeeInsertGrid3DForm(this, FSeries);
}

void TMapSeriesEditor::FillShapes() {
    TStrings* items = ChartListBox1->Items();
    items->Clear();
    TMapSeries* m = Map();
    if (!m) return;
    for (int i = 0; i < m->Shapes()->Count(); ++i) {
        TTeePolygon* p = m->Shapes()->Get(i);
        // A row draws its points series: it hears when that goes.
        p->Points()->FreeNotification(this);
        items->AddObject(p->Text(), p->Points());
    }
}

// A polygon freed by anyone but this page (the chart's data grid, a caller)
// takes its row with it, so row i stays polygon i. Its points series goes
// only with it.
void TMapSeriesEditor::Notification(TComponent* AComponent, TOperation Operation) {
    TTeeSeriesPage::Notification(AComponent, Operation);
    if (Operation != opRemove || !ChartListBox1 || IsDestroying()) return;
    TStrings* items = ChartListBox1->Items();
    for (int i = items->IndexOfObject(AComponent); i >= 0; i = items->IndexOfObject(AComponent))
        items->Delete(i);
    ChartListBox1->Invalidate();
}

void TMapSeriesEditor::EnableTabs() {
    const bool any = Map() && Map()->Shapes()->Count() > 0;
    for (TControl* c : std::initializer_list<TControl*>{
             ChartListBox1, SBDelete, PageControl1, EText, EditZ, ButtonPen2, CBGlobalPen, BBrush,
             CBGlobalBrush, ButtonColor1, BGradient})
        c->SetEnabled(any);
    if (ChartGrid1) ChartGrid1->SetEnabled(any);
}

TTeePolygon* TMapSeriesEditor::SelectedShape() const {
    TMapSeries* m = Map();
    const int i = ChartListBox1->ItemIndex();
    return m && i >= 0 && i < m->Shapes()->Count() ? m->Shapes()->Get(i) : nullptr;
}

void TMapSeriesEditor::ChartListBox1Click() {
    auto guard = FBind.Guard();
    TTeePolygon* p = SelectedShape();
    if (p) {
        ButtonPen2->LinkPen(p->Pen());
        ButtonColor1->LinkProperty(p->Points(), "SeriesColor");
        EText->SetText(p->Text());
        EditZ->SetText(FloatToStr(p->Z()));
        CBGlobalPen->SetChecked(p->ParentPen());
        CBGlobalBrush->SetChecked(p->ParentBrush());
    } else {
        ButtonPen2->LinkPen(nullptr);
        ButtonColor1->LinkProperty(nullptr, "");
        EText->SetText("");
        EditZ->SetText("0");
    }
    if (ChartGrid1) ChartGrid1->SetSeries(p ? p->Points() : nullptr);
}

void TMapSeriesEditor::AddShape() {
    TMapSeries* m = Map();
    if (!m) return;
    TTeePolygon* p = m->Shapes()->Add();
    p->SetText(IntToStr(m->Count()));
    FillShapes();
    EnableTabs();
    ChartListBox1->SetItemIndex(ChartListBox1->Items()->Count() - 1);
    TCallOut held{this, m};
    ChartListBox1Click();
    if (held.Gone()) return;
    m->Repaint();
}

void TMapSeriesEditor::DeleteShape() {
    TMapSeries* m = Map();
    const int i = ChartListBox1->ItemIndex();
    if (!m || i < 0 || i >= m->Shapes()->Count()) return;
    // The buttons and the grid let go of the polygon's pen and points first.
    ButtonPen2->LinkPen(nullptr);
    ButtonColor1->LinkProperty(nullptr, "");
    if (ChartGrid1) {
        TCallOut held{this, m};
        ChartGrid1->SetSeries(nullptr);
        if (held.Gone()) return;
    }
    // The polygon goes with its value, so polygon i stays value i.
    m->Delete(i);
    FillShapes();
    EnableTabs();
    ChartListBox1->SetItemIndex(std::min(i, ChartListBox1->Items()->Count() - 1));
    ChartListBox1Click();
}
