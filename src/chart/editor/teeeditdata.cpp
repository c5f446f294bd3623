#include "chart/editor/teeeditdata.h"
#include "platform/classes/watched.h"

#include "chart/control/chart.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teegrid.h"
#include "chart/engine/teeseries.h"
#include "platform/forms/buttons.h"
#include "platform/forms/menus.h"
#include <cstdint>

QM_CLASS_OWNED(TFormTeeData, TForm, TComponent)

namespace {

TSpeedButton* Toggle(TFormTeeData* F, TWinControl* Parent, const char* Name, const char* Caption,
                     const char* Hint, int Left, int Group) {
    auto* b = TeeNew<TSpeedButton>(F, Parent, Name, Left, 2, 34, 22);
    b->SetCaption(Caption);
    b->SetHint(Hint);
    b->SetFlat(true);
    b->SetGroupIndex(Group);
    b->SetAllowAllUp(true);
    return b;
}

} // namespace

TFormTeeData::TFormTeeData(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(400);
    SetClientHeight(250);
    SetColor(clBtnFace);
    SetParentFont(true);
    SetShowHint(true);
    SetHelpContext(1473);
    PanelTop = TeeNew<TPanel>(this, this, "PanelTop", 0, 0, 400, 27);
    PanelTop->SetAlign(alTop);
    PanelTop->SetBevelOuter(bvNone);
    ChartGridNavigator1 =
        TeeNew<TChartGridNavigator>(this, PanelTop, "ChartGridNavigator1", 2, 2, 180, 22);
    ChartGridNavigator1->SetHelpContext(1924);
    SBGridText = Toggle(this, PanelTop, "SBGridText", "Abc", "Show labels", 190, 1);
    SBGridCol = Toggle(this, PanelTop, "SBGridCol", "Col", "Show colors", 226, 2);
    SBGrid3D = Toggle(this, PanelTop, "SBGrid3D", "XYZ", "XYZ series", 262, 3);
    SBGridX = Toggle(this, PanelTop, "SBGridX", "X", "Show X values", 298, 4);
    ChartGrid1 = TeeNew<TChartGrid>(this, this, "ChartGrid1", 0, 27, 400, 223);
    ChartGrid1->SetAlign(alClient);
    ChartGrid1->SetHelpContext(1473);
    ChartGridNavigator1->SetGrid(ChartGrid1);
    PopupData = new TPopupMenu(this);
    PopupData->SetName("PopupData");
    Deleterow1 = new TMenuItem(this);
    Deleterow1->SetName("Deleterow1");
    Deleterow1->SetCaption("&Delete row");
    PopupData->Items()->Add(Deleterow1);
    ChartGrid1->SetPopupMenu(PopupData);

    FBind.Down(
        SBGridText, [this] { return ChartGrid1->ShowLabels(); },
        [this](bool V) { ChartGrid1->SetShowLabels(V); });
    FBind.Down(
        SBGridCol, [this] { return ChartGrid1->ShowColors(); },
        [this](bool V) { ChartGrid1->SetShowColors(V); });
    FBind.Down(
        SBGrid3D, [this] { return ChartGrid1->Grid3DMode(); },
        [this](bool V) { ChartGrid1->SetGrid3DMode(V); });
    // Down when the chart's first series has X values of its own.
    FBind.Down(
        SBGridX,
        [this] {
            TCustomChart* c = Chart();
            return c && c->SeriesCount() > 0 && HasNoMandatoryValues(c->Series(0));
        },
        [this](bool V) { ChartGrid1->SetShowXValues(V ? cgsYes : cgsNo); });
    Deleterow1->OnClick = [this](TObject*) { ChartGrid1->Delete(); };
    ChartGrid1->OnMouseDown = [this](TObject*, TMouseButton Button, TShiftState Shift, int, int) {
        // Alt and the right button switch a chart of XYZ points to its table.
        TCustomChart* c = Chart();
        if (Button == mbRight && Shift.Contains(ssAlt) && c && c->SeriesCount() > 0 &&
            c->Series(0)->HasZValues()) {
            // The grid moves its selection, which tells its handlers.
            TCallOut held{this};
            ChartGrid1->SetGrid3DMode(!ChartGrid1->Grid3DMode());
            if (held.Gone()) return;
            SBGrid3D->SetDown(ChartGrid1->Grid3DMode());
        }
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TComponent* TFormTeeData::Bound() const {
    return SubjectAs<TComponent>();
}

TCustomChart* TFormTeeData::Chart() const {
    if (TChartSeries* s = Series()) return dynamic_cast<TCustomChart*>(s->ParentChart());
    return dynamic_cast<TCustomChart*>(Bound());
}

TChartSeries* TFormTeeData::Series() const {
    return dynamic_cast<TChartSeries*>(Bound());
}

void TFormTeeData::FormShow(TObject*) {
    TCustomChart* c = Chart();
    // The grid moves its selection as it is bound, which tells its handlers.
    TCallOut held{this, c};
    ChartGrid1->SetChart(c);
    if (held.Gone()) return;
    if (TChartSeries* s = Series()) {
        // The series page edits one series; the switches belong to the chart's page.
        ChartGrid1->SetSeries(s);
        if (held.Gone()) return;
        for (TSpeedButton* b : {SBGridText, SBGridCol, SBGrid3D, SBGridX})
            b->SetVisible(false);
        return;
    }
    TChartSeries* first = c && c->SeriesCount() > 0 ? c->Series(0) : nullptr;
    TCallOut series{first};
    ChartGrid1->SetShowColors(first && TeeGridSeriesHasColors(c));
    if (held.Gone() || series.Gone()) return;
    ChartGrid1->RecalcDimensions();
    if (held.Gone() || series.Gone()) return;
    FBind.Load();
    SBGrid3D->SetEnabled(first && first->HasZValues());
    if (ChartGrid1->CanFocus()) ChartGrid1->SetFocus();
}
