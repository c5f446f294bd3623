#include "chart/editor/teegally.h"
#include "platform/classes/watched.h"
#include "chart/control/teeseriestypes.h"
#include "chart/editor/teelisb.h"
#include "chart/engine/teeconst.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/modalwatch.h"
#include "platform/forms/stdctrls.h"
#include <algorithm>

QM_CLASS_OWNED(TTeeGallery, TForm, TComponent)

TTeeGallery::TTeeGallery(TComponent* AOwner) : TForm(AOwner) {
    SetName("TeeGallery");
    SetCaption("Chart Gallery");
    SetPosition(poScreenCenter);
    SetClientWidth(468);
    SetClientHeight(330);
    P1 = NewControl<TPanel>(this, this, "P1", 0, 296, 468, 34);
    P1->SetAlign(alBottom);
    P1->SetBevelOuter(bvNone);
    CB3D = NewControl<TCheckBox>(this, P1, "CB3D", 8, 9, 60, 17, "&3D");
    CB3D->SetChecked(true);
    BOk = NewControl<TButton>(this, P1, "BOk", 300, 4, 75, 25, "OK");
    BOk->SetDefault(true);
    BOk->SetModalResult(mrOk);
    BCancel = NewControl<TButton>(this, P1, "BCancel", 384, 4, 75, 25, "Cancel");
    BCancel->SetCancel(true);
    BCancel->SetModalResult(mrCancel);
    TabTypes = NewControl<TTabControl>(this, this, "TabTypes", 0, 0, 468, 296);
    TabTypes->SetAlign(alClient);
    TabTypes->Tabs()->Add("Series");
    TabTypes->Tabs()->Add(TeeMsg_GalleryFunctions);
    TabPages = NewControl<TTabControl>(this, TabTypes, "TabPages", 4, 4, 460, 264);
    TabPages->SetAlign(alClient);
    ChartGalleryPanel1 =
        NewControl<TChartGalleryPanel>(this, TabPages, "ChartGalleryPanel1", 4, 4, 452, 232);
    ChartGalleryPanel1->SetAlign(alClient);
    ChartGalleryPanel1->OnSelectedChart = [this](TObject*) { SetModalResult(mrOk); };
    TabTypes->OnChange = [this](TObject* s) { TabTypesChange(s); };
    TabPages->OnChange = [this](TObject* s) { TabPagesChange(s); };
    CB3D->OnClick = [this](TObject*) { ChartGalleryPanel1->SetView3D(CB3D->Checked()); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TTeeGallery::HideFunctions() {
    const int index = TabTypes->Tabs()->IndexOf(TeeMsg_GalleryFunctions);
    if (index >= 0) TabTypes->Tabs()->Delete(index);
    ChartGalleryPanel1->FunctionsVisible = false;
}

void TTeeGallery::FormShow(TObject*) {
    TabTypes->SetTabIndex(0);
    TabTypesChange(TabTypes);
}

void TTeeGallery::TabTypesChange(TObject*) {
    const bool functions =
        TabTypes->TabIndex() >= 0 &&
        TabTypes->Tabs()->Strings(TabTypes->TabIndex()) == TeeMsg_GalleryFunctions;
    TStrings* tabs = TabPages->Tabs();
    tabs->Clear();
    const TTeeSeriesTypes& types = TeeSeriesTypes();
    for (int i = 0; i < types.Count(); ++i) {
        const TTeeSeriesType* t = types[i];
        if (t->NumGallerySeries < 1 || (t->FunctionClass != nullptr) != functions) continue;
        if (tabs->IndexOf(t->GalleryPageText()) < 0) tabs->Add(t->GalleryPageText());
    }
    const int standard = tabs->IndexOf(TeeMsg_GalleryStandard);
    if (standard > 0) tabs->Move(standard, 0);
    TabPages->SetTabIndex(tabs->Count() > 0 ? 0 : -1);
    TabPagesChange(TabPages);
}

void TTeeGallery::TabPagesChange(TObject*) {
    ChartGalleryPanel1->FunctionsVisible =
        TabTypes->TabIndex() >= 0 &&
        TabTypes->Tabs()->Strings(TabTypes->TabIndex()) == TeeMsg_GalleryFunctions;
    // The gallery's charts change, which tells its handlers.
    TCallOut held{this};
    ChartGalleryPanel1->SetView3D(CB3D->Checked());
    if (held.Gone()) return;
    if (TabPages->TabIndex() >= 0)
        ChartGalleryPanel1->CreateGalleryPage(TabPages->Tabs()->Strings(TabPages->TabIndex()));
    else
        ChartGalleryPanel1->Clear();
}

namespace {
// The gallery about a chart (where the series chosen goes) and the series it changes.
bool ChooseInGallery(TComponent* AOwner, TCustomAxisPanel* AChart, TChartSeries* OldSeries,
                     bool ShowFunctions, bool ChangeMode, TClass& SeriesClass, bool& Check3D,
                     TClass& FunctionClass, int& SubIndex) {
    TTeeGallery dialog(nullptr);
    if (dynamic_cast<TCustomForm*>(AOwner)) dialog.SetPosition(poOwnerFormCenter);
    dialog.CB3D->SetChecked(Check3D);
    dialog.ChartGalleryPanel1->ChangingSeries = OldSeries;
    dialog.ChartGalleryPanel1->ChangeMode = ChangeMode;
    if (!ShowFunctions) dialog.HideFunctions();
    if (!ShowModalWatching(&dialog, {AChart, OldSeries}).Ok()) return false;
    if (!dialog.ChartGalleryPanel1->GetSeriesClass(SeriesClass, FunctionClass, SubIndex))
        return false;
    TGalleryChart* chosen = dialog.ChartGalleryPanel1->SelectedChart();
    Check3D = dialog.CB3D->Checked() && chosen->View3D();
    return true;
}
} // namespace

bool GetChartGalleryClass(TComponent* AOwner, TChartSeries* OldSeries, bool ShowFunctions,
                          bool ChangeMode, TClass& SeriesClass, bool& Check3D,
                          TClass& FunctionClass, int& SubIndex) {
    return ChooseInGallery(AOwner, OldSeries ? OldSeries->ParentChart() : nullptr, OldSeries,
                           ShowFunctions, ChangeMode, SeriesClass, Check3D, FunctionClass,
                           SubIndex);
}

TChartSeries* CreateNewSeriesGallery(TComponent* AOwner, TChartSeries* OldSeries,
                                     TCustomChart* AChart, bool AllowFunctions, bool ChangeMode,
                                     int& SubIndex) {
    if (!AChart) return nullptr;
    bool view3D = AChart->View3D();
    TClass seriesClass = nullptr;
    TClass functionClass = nullptr;
    SubIndex = 0;
    TCallOut held{AChart, OldSeries};
    if (!ChooseInGallery(AOwner, AChart, OldSeries, AllowFunctions, ChangeMode, seriesClass, view3D,
                         functionClass, SubIndex) ||
        held.Gone())
        return nullptr;
    AChart->SetView3D(view3D);
    TComponent* owner = OldSeries ? OldSeries->Owner() : AChart->Owner();
    TChartSeries* s = CreateNewSeries(owner, AChart, seriesClass, functionClass);
    if (SubIndex > 0) s->SetSubGallery(s, SubIndex);
    return s;
}

void ChangeSeriesTypeGallery(TComponent* AOwner, TChartSeries*& ASeries) {
    if (!ASeries) return;
    auto* chart = dynamic_cast<TCustomChart*>(ASeries->ParentChart());
    int sub = 0;
    TCallOut held{ASeries, chart};
    TChartSeries* s = CreateNewSeriesGallery(AOwner, ASeries, chart, false, true, sub);
    if (!s || held.Gone()) return;
    AssignSeries(ASeries, s);
    ASeries = s;
    if (sub > 0) s->SetSubGallery(s, sub);
}

void ChangeAllSeriesGallery(TComponent* AOwner, TCustomChart* AChart) {
    if (!AChart || AChart->SeriesCount() == 0) return;
    TChartSeries* first = AChart->Series(0);
    int sub = 0;
    TCallOut held{first, AChart};
    TChartSeries* s = CreateNewSeriesGallery(AOwner, first, AChart, false, true, sub);
    if (!s || held.Gone()) return;
    AssignSeries(first, s);
    ChangeAllSeriesType(AChart, s->ClassType());
}

void TeeInstallGalleryHooks(bool Install) {
    if (!Install) {
        TeeAddGalleryProc = nullptr;
        TeeChangeGalleryProc = nullptr;
        return;
    }
    TeeAddGalleryProc = [](TComponent* Owner, TCustomChart* Chart,
                           TChartSeries* Series) -> TChartSeries* {
        int sub = 0;
        return Chart ? CreateNewSeriesGallery(Owner, Series, Chart, true, false, sub) : nullptr;
    };
    TeeChangeGalleryProc = [](TComponent* Owner, TChartSeries*& Series) -> TClass {
        TChartSeries* before = Series;
        ChangeSeriesTypeGallery(Owner, Series);
        return Series != before && Series ? Series->ClassType() : nullptr;
    };
}
