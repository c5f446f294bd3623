// The axis panel's series list, data-source checks, pages and printing of
// pages.
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teefunction.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeseries.h"
#include "chart/engine/teesources.h"
#include "chart/engine/teetools.h"
#include "platform/graphics/printers.h"
#include "platform/graphics/printjob.h"
#include <algorithm>
#include <memory>

int TCustomAxisPanel::CountActiveSeries() const {
    int result = 0;
    for (int i = 0; i < SeriesCount(); ++i)
        if (GetSeries(i)->Active()) ++result;
    return result;
}

TChartSeries* TCustomAxisPanel::AddSeries(TChartSeries* ASeries) {
    ASeries->SetParentChart(this);
    return ASeries;
}

TChartSeries* TCustomAxisPanel::AddSeries(TClass SeriesClass) {
    if (!SeriesClass || !SeriesClass->Factory ||
        !SeriesClass->InheritsFrom(&TChartSeries::ClassInfo))
        return nullptr;
    auto* series = dynamic_cast<TChartSeries*>(SeriesClass->Factory(Owner()));
    if (!series) return nullptr;
    return AddSeries(series);
}

void TCustomAxisPanel::InternalAddSeries(TChartSeries* ASeries) {
    if (FSeriesList->IndexOf(ASeries) != -1) return;
    ASeries->Added();
    FSeriesList->Add(ASeries);
    BroadcastSeriesEvent(ASeries, seAdd);
    Invalidate();
}

void TCustomAxisPanel::RemoveSeries(TChartSeries* ASeries) {
    const int index = FSeriesList->IndexOf(ASeries);
    if (index == -1) return;
    BroadcastSeriesEvent(ASeries, seRemove);
    ASeries->Removed();
    FSeriesList->Remove(ASeries);
    Invalidate();
}

void TCustomAxisPanel::FreeAllSeries(TClass SeriesClass) {
    int i = 0;
    while (i < SeriesCount()) {
        TChartSeries* s = GetSeries(i);
        if (SeriesClass && !s->InheritsFrom(SeriesClass)) {
            ++i;
            continue;
        }
        s->SetParentChart(nullptr);
        TComponent::Free(s);
    }
}

void TCustomAxisPanel::ExchangeSeries(int a, int b) {
    TChartSeries* s1 = GetSeries(a);
    TChartSeries* s2 = GetSeries(b);
    FSeriesList->Exchange(a, b);
    // The form stores the series in their new order.
    if (s1->Owner() && s1->Owner() == s2->Owner()) {
        const int i1 = s1->ComponentIndex();
        const int i2 = s2->ComponentIndex();
        s1->SetComponentIndex(i2);
        s2->SetComponentIndex(i1);
    }
    BroadcastSeriesEvent(nullptr, seSwap);
    Invalidate();
}

void TCustomAxisPanel::ExchangeSeries(TChartSeries* Series1, TChartSeries* Series2) {
    ExchangeSeries(FSeriesList->IndexOf(Series1), FSeriesList->IndexOf(Series2));
}

void TCustomAxisPanel::BroadcastSeriesEvent(TChartSeries* ASeries, TChartSeriesEvent Event) {
    TTeeSeriesEvent event;
    event.Event = Event;
    event.Series = ASeries;
    BroadcastTeeEvent(&event);
}

void TCustomAxisPanel::BroadcastTeeEventClass(TClass EventClass) {
    if (!EventClass || !EventClass->Factory) return;
    std::unique_ptr<TObject> made(EventClass->Factory(nullptr));
    if (auto* event = dynamic_cast<TTeeEvent*>(made.get())) BroadcastTeeEvent(event);
}

void TCustomAxisPanel::BroadcastToolEvent(TChartToolEvent AEvent) {
    for (int i = 0; i < FTools->Count(); ++i) {
        TTeeCustomTool* tool = FTools->Get(i);
        if (tool->Active()) tool->ChartEvent(AEvent);
    }
}

void TCustomAxisPanel::NotifyAxisFreed(TChartAxis* Axis) {
    for (int i = 0; i < SeriesCount(); ++i)
        GetSeries(i)->AxisFreed(Axis);
    if (FTools)
        for (int i = 0; i < FTools->Count(); ++i)
            FTools->Get(i)->AxisFreed(Axis);
}

bool TCustomAxisPanel::CheckMouseSeries(int X, int Y) {
    // A series' handler may free it, the chart or its form: a freed chart
    // counts as claimed, so nothing more is done with it.
    TCallOut held{this, GetParentForm(this)};
    for (int i = SeriesCount() - 1; i >= 0; --i) {
        if (i >= SeriesCount()) continue;
        TChartSeries* s = GetSeries(i);
        const bool claimed = s->Active() && s->CheckMouse(X, Y);
        if (held.Gone()) return true;
        if (claimed) return true;
    }
    return false;
}

int TCustomAxisPanel::GetMaxValuesCount() const {
    int result = 0;
    for (int i = 0; i < SeriesCount(); ++i)
        if (GetSeries(i)->Active()) result = std::max(result, GetSeries(i)->Count());
    return result;
}

TChartSeries* TCustomAxisPanel::SeriesLegend(int ItemIndex, bool OnlyActive) {
    int n = 0;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = GetSeries(i);
        if (!s->ShowInLegend() || (OnlyActive && !s->Active())) continue;
        if (n == ItemIndex) return s;
        ++n;
    }
    return nullptr;
}

AnsiString TCustomAxisPanel::SeriesTitleLegend(int ItemIndex, bool OnlyActive) {
    TChartSeries* s = SeriesLegend(ItemIndex, OnlyActive);
    return s ? SeriesTitleOrName(s) : AnsiString();
}

int TCustomAxisPanel::MultiLineTextWidth(const AnsiString& Text, int& NumLines) {
    NumLines = 0;
    if (Text.IsEmpty()) return 0;
    int result = 0;
    const std::string& s = Text.str();
    size_t start = 0;
    for (;;) {
        const size_t end = s.find(TeeLineSeparator, start);
        const AnsiString part(s.substr(start, end == std::string::npos ? end : end - start));
        result = std::max(result, Canvas()->TextWidth(part));
        ++NumLines;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return result;
}

int TCustomAxisPanel::MaxTextWidth() {
    int result = 0;
    for (int i = 0; i < SeriesCount(); ++i) {
        TLabelsList* labels = GetSeries(i)->Labels();
        for (int k = 0; k < labels->Count(); ++k) {
            int lines = 0;
            result = std::max(result, MultiLineTextWidth(labels->GetLabel(k), lines));
        }
    }
    return result;
}

int TCustomAxisPanel::MaxMarkWidth() {
    int result = 0;
    for (int i = 0; i < SeriesCount(); ++i)
        if (GetSeries(i)->Active()) result = std::max(result, GetSeries(i)->MaxMarkWidth());
    return result;
}

TColor TCustomAxisPanel::GetFreeSeriesColor(bool CheckBackground) {
    const int n = static_cast<int>(ColorPalette.size()) - 1;
    for (int i = 0; i < n; ++i) {
        const TColor c = GetDefaultColor(i);
        if (IsFreeSeriesColor(c, CheckBackground)) return c;
    }
    return GetDefaultColor(n);
}

bool TCustomAxisPanel::NoActiveSeries(TChartAxis* Axis) {
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = GetSeries(i);
        if (s->Active() && s->AssociatedToAxis(Axis)) return false;
    }
    return true;
}

TChartSeries* TCustomAxisPanel::GetAxisSeries(TChartAxis* Axis) {
    const bool noActive = NoActiveSeries(Axis);
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = GetSeries(i);
        if ((s->Active() || noActive) && s->AssociatedToAxis(Axis)) return s;
    }
    return nullptr;
}

TChartSeries* TCustomAxisPanel::GetAxisSeriesMaxPoints(TChartAxis* Axis) {
    const bool noActive = NoActiveSeries(Axis);
    TChartSeries* result = nullptr;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = GetSeries(i);
        if (!(s->Active() || noActive) || !s->AssociatedToAxis(Axis) || s->Count() == 0) continue;
        if (!result || s->Count() > result->Count()) result = s;
    }
    return result;
}

void TCustomAxisPanel::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    TCustomTeePanelExtended::GetChildren(Proc, Root);
    for (int i = 0; i < SeriesCount(); ++i)
        if (!GetSeries(i)->InternalUse()) Proc(GetSeries(i));
}

// ---------------------------------------------------------------------------
// Data sources

void TCustomAxisPanel::CheckDatasource(TChartSeries* ASeries) {
    if (ASeries->IsLoading()) return;
    if (TComponent* source = ASeries->DataSource()) {
        if (auto* series = dynamic_cast<TChartSeries*>(source))
            ASeries->AddValues(series);
        else if (auto* seriesSource = dynamic_cast<TTeeSeriesSource*>(source))
            seriesSource->Refresh();
        return;
    }
    TTeeFunction* function = ASeries->FunctionType();
    if (!function) {
        if (!ASeries->HasDataStored() && ASeries->CanAddRandomPoints())
            ASeries->FillSampleValues(ASeries->NumSampleValues());
    } else if (function->NoSourceRequired()) {
        ASeries->BeginUpdate();
        TTeeFinally end([ASeries] { ASeries->EndUpdate(); });
        ASeries->Clear();
        function->AddPoints(nullptr);
    }
}

bool TCustomAxisPanel::IsValidDataSource(TChartSeries* ASeries, TComponent* AComponent) {
    if (auto* series = dynamic_cast<TChartSeries*>(AComponent))
        return series != ASeries && ASeries->IsValidSeriesSource(series);
    if (auto* source = dynamic_cast<TTeeSeriesSource*>(AComponent)) return source->Available(this);
    return false;
}

void TCustomAxisPanel::RemovedDataSource(TChartSeries* ASeries, TComponent* AComponent) {
    if (auto* source = dynamic_cast<TTeeSeriesSource*>(AComponent))
        if (ASeries->DataSource() == source) source->SetSeries(nullptr);
}

void TCustomAxisPanel::CheckOtherSeriesFrom(TChartSeries* ASeries, TChartSeries* Source,
                                            std::vector<TChartSeries*>& Visited) {
    if (std::find(Visited.begin(), Visited.end(), Source) != Visited.end()) return;
    Visited.push_back(Source);
    // Every source counts, not only the first: a cycle may run through any of
    // them.
    for (TComponent* c : Source->DataSources()) {
        auto* s = dynamic_cast<TChartSeries*>(c);
        if (!s) continue;
        if (s == ASeries) throw ChartException(TeeMsg_CircularSeries);
        CheckOtherSeriesFrom(ASeries, s, Visited);
    }
}

void TCustomAxisPanel::CheckOtherSeries(TChartSeries* ASeries, TChartSeries* Source) {
    std::vector<TChartSeries*> visited;
    CheckOtherSeriesFrom(ASeries, Source, visited);
}

// ---------------------------------------------------------------------------
// Pages

int TCustomAxisPanel::AxisPageCount(TChartAxis* Axis) {
    int m = 0;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* s = GetSeries(i);
        if (s->Active() && s->AssociatedToAxis(Axis)) m = std::max(m, s->Count());
    }
    if (m < 1) return 1;
    return m / FMaxPointsPerPage + (m % FMaxPointsPerPage ? 1 : 0);
}

int TCustomAxisPanel::NumPages() {
    if (FMaxPointsPerPage < 1 || SeriesCount() == 0) return 1;
    if (!GetSeries(0)->YIsMandatory())
        return std::max(AxisPageCount(FLeftAxis), AxisPageCount(FRightAxis));
    return std::max(AxisPageCount(FTopAxis), AxisPageCount(FBottomAxis));
}

void TCustomAxisPanel::SetPage(int Value) {
    // A stored page is taken as it is: the series are not read yet.
    if (IsLoading()) {
        FPage = std::max(1, Value);
        return;
    }
    Value = std::max(1, std::min(Value, NumPages()));
    if (Value == FPage) return;
    SetIntegerProperty(FPage, Value);
    TChartChangePage event;
    TCallOut held{this, GetParentForm(this)};
    BroadcastTeeEvent(&event);
    if (held.Gone()) return;
    if (OnPageChange) OnPageChange(this);
}

void TCustomAxisPanel::SetMaxPointsPerPage(int Value) {
    if (Value < 0) throw ChartException(TeeMsg_MaxPointsPerPage);
    SetIntegerProperty(FMaxPointsPerPage, Value);
    if (IsLoading()) return;
    // OnPageChange may free the chart or its form.
    TCallOut held{this, GetParentForm(this)};
    if (NumPages() < FPage) SetPage(NumPages());
    if (held.Gone()) return;
    TChartChangePage event;
    BroadcastTeeEvent(&event);
}

void TCustomAxisPanel::PrintPages(int FromPage, int ToPage) {
    TPrinter* printer = Printer();
    if (!Name().IsEmpty()) printer->SetTitle(Name());
    if (FromPage <= 0) FromPage = 1;
    if (ToPage <= 0) ToPage = NumPages();
    const int oldPage = FPage;
    // OnPageChange may free the chart or its form: the job is then dropped
    // unfinished, and nothing more of the chart is read.
    TCallOut held{this, GetParentForm(this)};
    try {
        TPrintJob job(printer);
        const TRect r = ChartPrintRect();
        for (int p = FromPage; p <= ToPage; ++p) {
            SetPage(p);
            if (held.Gone()) return;
            PrintPartial(r);
            if (p < ToPage) job.NewPage();
        }
        SetPage(oldPage);
        if (held.Gone()) return;
        job.Finish();
    } catch (...) {
        // The chart shows its page again before the error goes on.
        if (held.Live()) SetPage(oldPage);
        throw;
    }
}
