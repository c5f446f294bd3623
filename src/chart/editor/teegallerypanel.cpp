// Gallery of sample charts.
//   sample charts   TGalleryChart and one chart a registered type
//   layout          rows, columns and the cell of each chart
//   selection       focus look, keys, the chosen classes
//   sub-gallery     the sub-styles of a type in a window of their own
#include "chart/editor/teegallerypanel.h"
#include "chart/editor/teefieldprop.h"
#include "platform/forms/extctrls.h"
#include "chart/control/teeseriestypes.h"
#include "chart/engine/teeaxis.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/modalwatch.h"
#include <algorithm>

QM_CLASS_OWNED(TGalleryChart, TCustomChart, TComponent)
QM_CLASS_OWNED(TChartGalleryPanel, TCustomPanelNoCaption, TComponent)

QM_PUBLISHED(TChartGalleryPanel, FieldProp("DisplaySub", &Self::DisplaySub).Default(true),
             Prop("NumRows", &Self::NumRows, &Self::SetNumRows).Default(3),
             Prop("NumCols", &Self::NumCols, &Self::SetNumCols).Default(4),
             Prop("View3D", &Self::View3D, &Self::SetView3D).Default(true),
             Prop("OnSelectedChart", &Self::OnSelectedChart),
             Prop("OnChangeChart", &Self::OnChangeChart),
             Prop("OnSubSelected", &Self::OnSubSelected),
             // The sample charts cover the panel: it hears the mouse only through them.
             Prop("OnEnter", &Self::OnEnter), Prop("OnExit", &Self::OnExit),
             Prop("OnKeyDown", &Self::OnKeyDown), Prop("OnKeyPress", &Self::OnKeyPress),
             Prop("OnKeyUp", &Self::OnKeyUp));
QM_CLASS_OWNED(TTeeSubGallery, TForm, TComponent)

TColor clTeeGallery = clWhite;
bool TeeGalleryCheckMaximize = true;

namespace {
constexpr TColor clGalleryNavy = static_cast<TColor>(0x800000);
constexpr TColor clGalleryGrey = static_cast<TColor>(0x808080);
constexpr TColor clGallerySilver = static_cast<TColor>(0xC0C0C0);

// The frame under the pointer, drawn over the chart's edge outside a paint;
// a chart that refuses the series gets none.
void FrameChart(TGalleryChart* Chart, TColor Top, TColor Bottom) {
    if (Chart->Cursor() == crNo) return;
    TRect r(0, 0, Chart->Width(), Chart->Height());
    Frame3D(static_cast<TCustomControl*>(Chart)->Canvas(), r, Top, Bottom, 1);
}
} // namespace

TGalleryChart::TGalleryChart(TComponent* AOwner) : TCustomChart(AOwner) {
    Legend()->SetVisible(false);
    LeftAxis()->SetLabels(false);
    BottomAxis()->SetLabels(false);
    Title()->Font()->SetColor(clGalleryNavy);
    TView3DOptions* v = View3DOptions();
    v->SetOrthogonal(false);
    v->PresetSample(90);
    v->SetPerspective(55);
    v->SetRotation(335);
    v->SetElevation(350);
    SetChart3DPercent(100);
    SetClipPoints(false);
    Frame()->SetVisible(false);
    SetBevelWidth(2);
    SetBevelOuter(bvNone);
    for (TChartWall* w : {LeftWall(), BottomWall()}) {
        w->SetColor(clWhite);
        w->SetSize(4);
        w->Pen()->SetColor(clGalleryGrey);
    }
}

TChartGalleryPanel::TChartGalleryPanel(TComponent* AOwner) : TCustomPanelNoCaption(AOwner) {
    SetTabStop(true);
}

TChartGalleryPanel::~TChartGalleryPanel() {
    Clear();
}

void TChartGalleryPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomPanelNoCaption::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    std::erase(FCharts, AComponent);
    if (AComponent == FSelectedChart) FSelectedChart = nullptr;
    if (ChangingSeries.Is(AComponent)) ChangingSeries = nullptr;
}

void TChartGalleryPanel::Clear() {
    FSelectedChart = nullptr;
    std::vector<TGalleryChart*> charts;
    charts.swap(FCharts);
    for (TGalleryChart* c : charts)
        delete c;
}

void TChartGalleryPanel::SetNumRows(int Value) {
    FNumRows = Value;
    ResizeCharts();
}

void TChartGalleryPanel::SetNumCols(int Value) {
    FNumCols = Value;
    ResizeCharts();
}

void TChartGalleryPanel::Resize() {
    TCustomPanelNoCaption::Resize();
    ResizeCharts();
}

void TChartGalleryPanel::ResizeCharts() {
    const int b = BorderWidth() + BevelWidth();
    const int h = FNumRows < 1 ? 0 : (Height() - b) / FNumRows;
    const int w = FNumCols < 1 ? 0 : (Width() - b) / FNumCols;
    for (size_t i = 0; i < FCharts.size(); ++i) {
        const int col = FNumCols < 1 ? 0 : static_cast<int>(i) % FNumCols;
        const int row = FNumCols < 1 ? 0 : static_cast<int>(i) / FNumCols;
        FCharts[i]->SetBounds(b + col * w, b + row * h, std::min(w, Width() - b),
                              std::min(h, Height() - b));
    }
}

void TChartGalleryPanel::SetMargins(TGalleryChart* Chart) {
    const int m = FView3D ? 4 : 5;
    Chart->SetMarginLeft(m);
    Chart->SetMarginTop(m);
    Chart->SetMarginRight(m);
    Chart->SetMarginBottom(m);
}

void TChartGalleryPanel::SetView3D(bool Value) {
    if (Value == FView3D) return;
    FView3D = Value;
    for (TGalleryChart* c : FCharts) {
        c->SetView3D(Value);
        if (c->SeriesCount() > 0) c->Series(0)->GalleryChanged3D(Value);
        SetMargins(c);
    }
}

TGalleryChart* TChartGalleryPanel::CreateSampleChart(TClass SeriesClass, TClass FunctionClass,
                                                     const AnsiString& Description, int NumSeries) {
    auto* chart = new TGalleryChart(this);
    FCharts.push_back(chart);
    chart->FreeNotification(this);
    chart->SetName("TeeGalleryChart" + AnsiString(static_cast<int>(FCharts.size())));
    auto lines = std::make_unique<TStringList>();
    lines->SetText(Description);
    chart->Title()->SetText(lines.get());
    chart->SetView3D(FView3D);
    const bool labels = !TeeGalleryCheckMaximize;
    chart->LeftAxis()->SetLabels(labels);
    chart->BottomAxis()->SetLabels(labels);
    for (int i = 0; i < std::max(1, NumSeries); ++i) {
        TChartSeries* s = CreateNewSeries(chart, chart, SeriesClass, FunctionClass);
        s->PrepareForGallery(true);
    }
    SetMargins(chart);
    if (ChangeMode && ChangingSeries && chart->SeriesCount() > 0 &&
        !chart->Series(0)->IsValidSourceOf(ChangingSeries)) {
        chart->Enabled3D = false;
        chart->SetCursor(crNo);
        chart->Title()->Font()->SetColor(clGray);
        chart->LeftWall()->Pen()->SetColor(clGray);
        chart->BottomWall()->Pen()->SetColor(clGray);
    } else {
        chart->SetCursor(crHandPoint);
        chart->OnClick = [this, chart](TObject*) { SelectChart(chart); };
        // Selecting calls OnChangeChart, whose handler may free the panel or its form.
        chart->OnMouseDown = [this, chart](TObject*, TMouseButton Button, TShiftState, int X,
                                           int Y) {
            if (Button != mbLeft) return;
            TCallOut held{this, chart, GetParentForm(this)};
            SelectChart(chart);
            if (held.Gone()) return;
            if (DisplaySub && chart == FSelectedChart && X < 12 && Y >= chart->Height() - 12)
                ShowSubGallery();
        };
        chart->OnDblClick = [this, chart](TObject*) {
            TCallOut held{this, chart, GetParentForm(this)};
            SelectChart(chart);
            if (held.Gone()) return;
            if (OnSelectedChart) OnSelectedChart(this);
        };
        chart->OnMouseEnter = [chart](TObject*) { FrameChart(chart, clWhite, clGalleryGrey); };
        chart->OnMouseLeave = [chart](TObject*) { FrameChart(chart, clBtnFace, clBtnFace); };
    }
    chart->OnAfterDraw = [this, chart](TObject*) {
        if (chart != FSelectedChart || !DisplaySub) return;
        TCanvas* c = chart->Canvas()->PlatformCanvas();
        if (!c) return;
        const int h = chart->Height();
        c->Brush()->SetColor(clBlack);
        c->Pen()->SetColor(clBlack);
        const TPoint p[3] = {TPoint(4, h - 8), TPoint(11, h - 8), TPoint(7, h - 4)};
        c->Polygon(p, 3);
    };
    chart->SetParent(this);
    return chart;
}

void TChartGalleryPanel::CreateChartList(const std::vector<std::pair<TClass, TClass>>& Classes) {
    Clear();
    for (const auto& [seriesClass, functionClass] : Classes) {
        const TTeeSeriesType* t = TeeSeriesTypes().FindPair(seriesClass, functionClass);
        CreateSampleChart(seriesClass, functionClass, t ? t->DescriptionText() : AnsiString(),
                          t ? t->NumGallerySeries : 1);
    }
    ResizeCharts();
    FindSelectedChart();
    ShowSelectedChart();
}

void TChartGalleryPanel::CreateGalleryPage(const AnsiString& Page) {
    std::vector<const TTeeSeriesType*> valid;
    const TTeeSeriesTypes& types = TeeSeriesTypes();
    for (int i = 0; i < types.Count(); ++i) {
        const TTeeSeriesType* t = types[i];
        if (t->GalleryPageText() == Page && (t->FunctionClass != nullptr) == FunctionsVisible &&
            t->NumGallerySeries > 0)
            valid.push_back(t);
    }
    const int n = static_cast<int>(valid.size());
    // Rows and columns may come from a stored form: their product must not overflow.
    const int64_t cells = static_cast<int64_t>(FNumRows) * FNumCols;
    FNumRows = (FNumCols > 0 && n > cells) ? (n - 1) / FNumCols + 1 : 3;
    Clear();
    for (const TTeeSeriesType* t : valid) {
        // A function's sample needs a series to draw it with.
        TClass seriesClass = t->SeriesClass;
        if (!seriesClass) seriesClass = GetClass("TLineSeries");
        CreateSampleChart(seriesClass, t->FunctionClass, t->DescriptionText(), t->NumGallerySeries);
    }
    ResizeCharts();
    FindSelectedChart();
    ShowSelectedChart();
}

void TChartGalleryPanel::FindSelectedChart() {
    if (!ChangeMode || !ChangingSeries) return;
    for (TGalleryChart* c : FCharts)
        if (c->SeriesCount() > 0 && c->Series(0)->ClassType() == ChangingSeries->ClassType() &&
            !c->Series(0)->FunctionType()) {
            FSelectedChart = c;
            return;
        }
}

void TChartGalleryPanel::FocusChart(TGalleryChart* Chart, bool Focused) {
    TTeeGradient* g = Chart->Gradient();
    g->SetVisible(Focused);
    TFont* f = Chart->Title()->Font();
    if (Focused) {
        g->SetDirection(gdFromTopLeft);
        g->SetStartColor(clGallerySilver);
        g->SetEndColor(clTeeGallery);
        Chart->View3DOptions()->SetRotation(345);
        f->SetStyle({fsBold});
        f->SetColor(clBlack);
        f->SetSize(9);
        Chart->SetBevelOuter(bvLowered);
    } else {
        Chart->View3DOptions()->SetRotation(335);
        f->SetStyle({});
        f->SetColor(Chart->Enabled3D ? clGalleryNavy : clGray);
        f->SetSize(8);
        Chart->SetBevelOuter(bvNone);
    }
}

void TChartGalleryPanel::ShowSelectedChart() {
    if (!FSelectedChart)
        for (TGalleryChart* c : FCharts)
            if (c->Enabled3D) {
                FSelectedChart = c;
                break;
            }
    for (TGalleryChart* c : FCharts)
        FocusChart(c, c == FSelectedChart);
    if (OnChangeChart) OnChangeChart(this);
}

void TChartGalleryPanel::SelectChart(TGalleryChart* Chart) {
    if (!Chart || !Chart->Enabled3D) return;
    FSelectedChart = Chart;
    ShowSelectedChart();
}

void TChartGalleryPanel::MoveSelection(int DCol, int DRow) {
    if (!FSelectedChart || FNumCols < 1) return;
    const auto it = std::find(FCharts.begin(), FCharts.end(), FSelectedChart);
    const int index = static_cast<int>(it - FCharts.begin());
    const int col = index % FNumCols + DCol;
    const int row = index / FNumCols + DRow;
    if (col < 0 || row < 0 || col >= FNumCols) return;
    const int target = row * FNumCols + col;
    if (target < static_cast<int>(FCharts.size()) && FCharts[target]->Enabled3D)
        SelectChart(FCharts[target]);
}

void TChartGalleryPanel::KeyDown(WORD& Key, TShiftState Shift) {
    TCallOut held{this, GetParentForm(this)};
    TCustomPanelNoCaption::KeyDown(Key, Shift);
    if (held.Gone()) return;
    switch (Key) {
    case VK_LEFT:
        MoveSelection(-1, 0);
        break;
    case VK_RIGHT:
        MoveSelection(1, 0);
        break;
    case VK_UP:
        MoveSelection(0, -1);
        break;
    case VK_DOWN:
        if (Shift.Contains(ssAlt) && DisplaySub)
            ShowSubGallery();
        else
            MoveSelection(0, 1);
        break;
    case VK_RETURN:
        if (FSelectedChart && OnSelectedChart) OnSelectedChart(this);
        break;
    default:
        break;
    }
}

bool TChartGalleryPanel::GetSeriesClass(TClass& SeriesClass, TClass& FunctionClass,
                                        int& SubIndex) const {
    if (!FSelectedChart || FSelectedChart->SeriesCount() == 0) return false;
    TChartSeries* s = FSelectedChart->Series(0);
    SeriesClass = s->ClassType();
    FunctionClass = s->FunctionType() ? s->FunctionType()->ClassType() : nullptr;
    SubIndex = static_cast<int>(FSelectedChart->Tag());
    return true;
}

// ---------------------------------------------------------------------------
// Sub-gallery

TTeeSubGallery::TTeeSubGallery(TComponent* AOwner) : TForm(AOwner) {
    SetName("TeeSubGallery");
    SetBorderStyle(bsNone);
    SetPosition(poDesigned);
    SetKeyPreview(true);
    Strip = NewControl<TPaintBox>(this, this, "Strip", 0, 0, 100, 12);
    Strip->SetAlign(alTop);
    Strip->OnPaint = [this](TObject*) {
        TCanvas* c = Strip->Canvas();
        c->Brush()->SetColor(clBlack);
        c->Pen()->SetColor(clBlack);
        const TPoint p[3] = {TPoint(0, 8), TPoint(4, 0), TPoint(9, 8)};
        c->Polygon(p, 3);
    };
    Strip->OnClick = [this](TObject*) { SetModalResult(mrOk); };
    Gallery = NewControl<TChartGalleryPanel>(this, this, "Gallery", 0, 12, 100, 100);
    Gallery->SetAlign(alClient);
    Gallery->DisplaySub = false;
    Gallery->OnSelectedChart = [this](TObject*) { SetModalResult(mrOk); };
    OnKeyDown = [this](TObject*, WORD& Key, TShiftState) {
        if (Key == VK_ESCAPE) SetModalResult(mrCancel);
    };
}

void TChartGalleryPanel::CreateSubCharts(TClass SeriesClass, TClass FunctionClass) {
    Clear();
    std::unique_ptr<TChart> scratch = std::make_unique<TChart>();
    TChartSeries* probe = CreateNewSeries(scratch.get(), scratch.get(), SeriesClass, nullptr);
    probe->CreateSubGallery([&](const AnsiString& Name) {
        TGalleryChart* c = CreateSampleChart(SeriesClass, FunctionClass, Name, 1);
        const int index = static_cast<int>(FCharts.size()) - 1;
        c->SetTag(index);
        if (index > 0 && c->SeriesCount() > 0) {
            c->Series(0)->SetSubGallery(c->Series(0), index);
            // A sub-style may add series of its own: they look like the sample's.
            for (int i = 1; i < c->SeriesCount(); ++i)
                c->Series(i)->PrepareForGallery(true);
        }
    });
    ResizeCharts();
    ShowSelectedChart();
}

void TChartGalleryPanel::ApplySubStyle(TGalleryChart* Chart, int Index) {
    Chart->SetTag(Index);
    const int count = Chart->SeriesCount();
    if (count == 0) return;
    if (Index == 0) {
        // The plain type: the series afresh, as the page made them.
        TChartSeries* first = Chart->Series(0);
        const TClass seriesClass = first->ClassType();
        const TClass functionClass =
            first->FunctionType() ? first->FunctionType()->ClassType() : nullptr;
        while (Chart->SeriesCount() > 0)
            delete Chart->Series(0);
        for (int i = 0; i < count; ++i) {
            TChartSeries* s = CreateNewSeries(Chart, Chart, seriesClass, functionClass);
            s->GalleryChanged3D(FView3D);
            s->PrepareForGallery(true);
        }
        return;
    }
    for (int i = 0; i < count; ++i)
        Chart->Series(i)->SetSubGallery(Chart->Series(i), Index);
    for (int i = count; i < Chart->SeriesCount(); ++i)
        Chart->Series(i)->PrepareForGallery(true);
}

bool TChartGalleryPanel::ShowSubGallery() {
    if (!FSelectedChart || FSelectedChart->SeriesCount() == 0 || FNumCols < 1 || FNumRows < 1)
        return false;
    TChartSeries* first = FSelectedChart->Series(0);
    TTeeSubGallery window(nullptr);
    window.Gallery->SetView3D(FView3D);
    const int b = BorderWidth() + BevelWidth();
    const int cellW = (Width() - b) / FNumCols;
    const int cellH = (Height() - b) / FNumRows;
    TCallOut held{this, GetParentForm(this)};
    window.Gallery->CreateSubCharts(
        first->ClassType(), first->FunctionType() ? first->FunctionType()->ClassType() : nullptr);
    if (held.Gone()) return false;
    const int n = static_cast<int>(window.Gallery->Charts().size());
    const int cols = std::clamp(n, 1, FNumCols);
    const int rows = (n + cols - 1) / cols;
    window.Gallery->SetNumCols(cols);
    window.Gallery->SetNumRows(std::max(1, rows));
    window.SetWidth(cols * cellW + 8);
    window.SetHeight(rows * cellH + 8);
    TPoint p = FSelectedChart->ClientToScreen(TPoint(0, 0));
    if (p.x + window.Width() > Screen->Width()) p.x = Screen->Width() - window.Width() - 2;
    if (p.y + window.Height() > Screen->Height()) p.y = Screen->Height() - window.Height() - 2;
    window.SetLeft(std::max(0, p.x));
    window.SetTop(std::max(0, p.y));
    if (!ShowModalWatching(&window, {this, FSelectedChart}).Ok() || held.Gone()) return false;
    TGalleryChart* chosen = window.Gallery->SelectedChart();
    const int index = chosen ? static_cast<int>(chosen->Tag()) : 0;
    ApplySubStyle(FSelectedChart, index);
    ShowSelectedChart();
    if (held.Gone()) return false;
    if (OnSubSelected) OnSubSelected(this);
    return true;
}
