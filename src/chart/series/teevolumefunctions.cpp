// Price-and-volume functions: CCI, CLV, OBV, PVO and OHLC compression.
#include "chart/series/teevolumefunctions.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/series/candlech.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <cmath>

QM_CLASS_OWNED(TCCIFunction, TTeeFunction, TComponent)
QM_CLASS_ABSTRACT(TVolumeTeeFunction, TTeeFunction)
QM_CLASS_OWNED(TCLVFunction, TVolumeTeeFunction, TComponent)
QM_CLASS_OWNED(TOBVFunction, TVolumeTeeFunction, TComponent)
QM_CLASS_OWNED(TPVOFunction, TTeeFunction, TComponent)
QM_CLASS_OWNED(TCompressFunction, TTeeFunction, TComponent)

QM_PUBLISHED(TCCIFunction,
             Prop("Constant", &Self::Constant, &Self::SetConstant).Stored(&Self::IsConstantStored));
QM_PUBLISHED(TVolumeTeeFunction, Prop("Volume", &Self::Volume, &Self::SetVolume));
QM_PUBLISHED(TCLVFunction,
             Prop("Accumulate", &Self::Accumulate, &Self::SetAccumulate).Default(true));
QM_PUBLISHED(TPVOFunction,
             Prop("Percentage", &Self::Percentage, &Self::SetPercentage).Default(true),
             Prop("Period2", &Self::Period2, &Self::SetPeriod2).Default(26));
QM_PUBLISHED(TCompressFunction,
             Prop("Compress", &Self::Compress, &Self::SetCompress).Default(ocWeek),
             Prop("OnGetDate", &Self::OnGetDate));

namespace {
bool IsOHLC(TChartSeries* S) {
    return dynamic_cast<TOHLCSeries*>(S) != nullptr;
}
} // namespace

// ---------------------------------------------------------------------------
// CCI

TCCIFunction::TCCIFunction(TComponent* AOwner) : TTeeFunction(AOwner) {
    InternalSetPeriod(20);
    FSingleSource = true;
    FHideSourceList = true;
}

void TCCIFunction::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCCIFunction*>(Source)) FConstant = s->FConstant;
    TTeeFunction::Assign(Source);
}

void TCCIFunction::SetConstant(double Value) {
    if (FConstant == Value) return;
    FConstant = Value;
    ReCalculate();
}

bool TCCIFunction::IsValidSource(TChartSeries* Value) {
    return IsOHLC(Value);
}

void TCCIFunction::AddPoints(TChartSeries* Source) {
    TChartSeries* out = ParentSeries();
    if (!out || !Source) return;
    out->Clear();
    const int P = SafeInt(static_cast<double>(Round(Period())));
    if (P <= 0) return;
    TChartValueList* C = Source->GetYValueList("Close");
    TChartValueList* H = Source->GetYValueList("High");
    TChartValueList* L = Source->GetYValueList("Low");
    TChartValueList* X = Source->NotMandatoryValues();
    const int n = Source->Count();
    std::vector<double> tp(size_t(std::max(n, 0)));
    for (int i = 0; i < n; ++i)
        tp[size_t(i)] = (H->Value(i) + L->Value(i) + C->Value(i)) * (1.0 / 3);
    const double c = FConstant == 0 ? 1 : FConstant;
    if (n <= P) return;
    // The mean deviation about the window's average comes from counts and sums
    // of the values below and above it, kept in Fenwick trees over the ranks
    // of the typical prices, so a window costs log(n) whatever the period.
    std::vector<double> sorted(tp);
    std::sort(sorted.begin(), sorted.end());
    const size_t m = sorted.size();
    std::vector<double> cnt(m + 1, 0), sums(m + 1, 0);
    auto rank = [&](double v) {
        return size_t(std::lower_bound(sorted.begin(), sorted.end(), v) - sorted.begin()) + 1;
    };
    auto update = [&](size_t r, double dc, double ds) {
        for (; r <= m; r += r & (~r + 1)) {
            cnt[r] += dc;
            sums[r] += ds;
        }
    };
    auto below = [&](size_t r, double& c0, double& s0) { // ranks 1..r
        c0 = s0 = 0;
        for (; r > 0; r -= r & (~r + 1)) {
            c0 += cnt[r];
            s0 += sums[r];
        }
    };
    double sum = 0;
    for (int i = 0; i < P; ++i) {
        sum += tp[size_t(i)];
        update(rank(tp[size_t(i)]), 1, tp[size_t(i)]);
    }
    for (int i = P; i < n; ++i) {
        sum += tp[size_t(i)];
        update(rank(tp[size_t(i)]), 1, tp[size_t(i)]);
        if (i > P) {
            const double gone = tp[size_t(i - P - 1)];
            sum -= gone;
            update(rank(gone), -1, -gone);
        }
        const double ma = sum / (P + 1);
        double cBelow, sBelow;
        below(size_t(std::upper_bound(sorted.begin(), sorted.end(), ma) - sorted.begin()), cBelow,
              sBelow);
        const double md = (ma * cBelow - sBelow + (sum - sBelow) - ma * (P + 1 - cBelow)) / P;
        // Equal typical prices over the window have no deviation: 0, not a
        // division by zero.
        out->AddXY(X->Value(i), std::fabs(md) < 1e-12 * std::max(1.0, std::fabs(ma))
                                    ? 0
                                    : (tp[size_t(i)] - ma) / (md * c));
    }
}

// ---------------------------------------------------------------------------
// Volume functions

TVolumeTeeFunction::TVolumeTeeFunction(TComponent* AOwner) : TTeeFunction(AOwner) {
    InternalSetPeriod(1);
    FSingleSource = true;
    FHideSourceList = true;
}

TVolumeTeeFunction::~TVolumeTeeFunction() {
    if (FVolume) FVolume->RemoveFreeNotification(this);
}

bool TVolumeTeeFunction::IsValidSource(TChartSeries* Value) {
    return IsOHLC(Value);
}

void TVolumeTeeFunction::SetVolume(TChartSeries* Value) {
    if (FVolume == Value) return;
    if (FVolume) FVolume->RemoveFreeNotification(this);
    FVolume = Value;
    if (FVolume) FVolume->FreeNotification(this);
    ReCalculate();
}

void TVolumeTeeFunction::Notification(TComponent* AComponent, TOperation Operation) {
    TTeeFunction::Notification(AComponent, Operation);
    if (Operation == opRemove && FVolume.Is(AComponent)) FVolume = nullptr;
}

void TCLVFunction::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCLVFunction*>(Source)) FAccumulate = s->FAccumulate;
    TVolumeTeeFunction::Assign(Source);
}

void TCLVFunction::SetAccumulate(bool Value) {
    if (FAccumulate == Value) return;
    FAccumulate = Value;
    ReCalculate();
}

void TCLVFunction::AddPoints(TChartSeries* Source) {
    TChartSeries* out = ParentSeries();
    if (!out || !Source) return;
    out->Clear();
    TChartValueList* C = Source->GetYValueList("Close");
    TChartValueList* H = Source->GetYValueList("High");
    TChartValueList* L = Source->GetYValueList("Low");
    TChartSeries* vol = Volume();
    for (int i = 0; i < Source->Count(); ++i) {
        const double range = H->Value(i) - L->Value(i);
        // A bar without range closes nowhere in particular: 0.
        double v =
            range == 0 ? 0 : ((C->Value(i) - L->Value(i)) - (H->Value(i) - C->Value(i))) / range;
        if (vol && vol->Count() > i) v *= vol->MandatoryValues()->Value(i);
        if (FAccumulate && i >= 1 && out->Count() > 0)
            v += out->MandatoryValues()->Value(out->Count() - 1);
        out->AddXY(Source->XValues()->Value(i), v);
    }
}

void TOBVFunction::AddPoints(TChartSeries* Source) {
    TChartSeries* out = ParentSeries();
    if (!out || !Source) return;
    out->Clear();
    TChartSeries* vol = Volume();
    if (!vol) return;
    TChartValueList* C = Source->GetYValueList("Close");
    TChartValueList* O = Source->GetYValueList("Open");
    TChartValueList* V = vol->MandatoryValues();
    for (int i = 0; i < Source->Count() && i < vol->Count(); ++i) {
        double v = V->Value(i);
        if (i >= 1) {
            const double last = out->MandatoryValues()->Value(out->Count() - 1);
            v = C->Value(i) > O->Value(i) ? last + V->Value(i) : last - V->Value(i);
        }
        out->AddXY(Source->XValues()->Value(i), v);
    }
}

// ---------------------------------------------------------------------------
// PVO

TPVOFunction::TPVOFunction(TComponent* AOwner) : TTeeFunction(AOwner) {
    InternalSetPeriod(12);
    FSingleSource = true;
    FHideSourceList = true;
}

void TPVOFunction::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TPVOFunction*>(Source)) {
        FPeriod2 = s->FPeriod2;
        FPercentage = s->FPercentage;
    }
    TTeeFunction::Assign(Source);
}

void TPVOFunction::SetPeriod2(int Value) {
    if (FPeriod2 == Value) return;
    FPeriod2 = Value;
    ReCalculate();
}

void TPVOFunction::SetPercentage(bool Value) {
    FPercentage = Value;
    ReCalculate();
}

void TPVOFunction::AddPoints(TChartSeries* Source) {
    TChartSeries* out = ParentSeries();
    if (!out || !Source) return;
    out->Clear();
    if (!(Period() > 0)) return;
    TChartValueList* v = Source->MandatoryValues();
    const int n = std::min(Source->Count(), v->Count());
    const std::vector<double> first = TExpMovAveFunction::Compute(v->Data(), n, Period());
    const std::vector<double> second = TExpMovAveFunction::Compute(v->Data(), n, FPeriod2);
    if (first.empty() || second.empty()) return;
    for (int i = 0; i < n; ++i) {
        const double s = first[size_t(i)], l = second[size_t(i)];
        const double r = FPercentage ? (s == 0 ? l : (s - l) / s) : s - l;
        out->AddXY(Source->NotMandatoryValues()->Value(i), 100 * r);
    }
}

// ---------------------------------------------------------------------------
// Compression

TCompressFunction::TCompressFunction(TComponent* AOwner) : TTeeFunction(AOwner) {
    FSingleSource = true;
    FHideSourceList = true;
}

void TCompressFunction::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCompressFunction*>(Source)) FCompress = s->FCompress;
    TTeeFunction::Assign(Source);
}

void TCompressFunction::SetCompress(TCompressionPeriod Value) {
    if (FCompress == Value) return;
    FCompress = Value;
    ReCalculate();
}

void TCompressFunction::AddPoints(TChartSeries* Source) {
    if (auto* dest = dynamic_cast<TOHLCSeries*>(ParentSeries()))
        CompressSeries(Source, dest, nullptr, nullptr);
}

void TCompressFunction::PrepareForGallery(TCustomAxisPanel* Chart) {
    if (!Chart) return;
    Chart->FreeAllSeries(nullptr);
    auto* candle = new TCandleSeries(Chart->Owner());
    candle->SetParentChart(Chart);
    candle->PrepareForGallery(true);
}

namespace {
// The group a date falls in. Weeks are told apart by their Monday and months
// by their year too, so points a whole week or year apart never share a candle.
int64_t GroupKey(TCompressionPeriod Period, double Date) {
    const int64_t day = static_cast<int64_t>(std::floor(Date));
    if (Period == ocDay) return day;
    if (Period == ocWeek) {
        const int64_t mondayBased = ((day + 5) % 7 + 7) % 7; // 0 Monday .. 6 Sunday
        return day - mondayBased;
    }
    int year, month, dayOfMonth;
    DecodeDate(Date, year, month, dayOfMonth);
    switch (Period) {
    case ocMonth:
        return int64_t(year) * 12 + month - 1;
    case ocBiMonth:
        return int64_t(year) * 6 + (month - 1) / 2;
    case ocQuarter:
        return int64_t(year) * 4 + (month - 1) / 3;
    default:
        return year;
    }
}
} // namespace

void TCompressFunction::CompressSeries(TChartSeries* Source, TOHLCSeries* DestOHLC,
                                       TChartSeries* Volume, TChartSeries* DestVolume) {
    if (!Source || !DestOHLC) return;
    DestOHLC->Clear();
    if (DestVolume) DestVolume->Clear();
    const int n = SafeInt(static_cast<double>(Round(Period())));
    auto* ohlc = dynamic_cast<TOHLCSeries*>(Source);
    TChartValueList* values = Source->MandatoryValues();
    int64_t previous = 0;
    for (int i = 0; i < Source->Count(); ++i) {
        double date = Source->XValues()->Value(i);
        bool opens = i == 0;
        if (n != 0) {
            opens = opens || i % n == 0;
        } else {
            if (OnGetDate) OnGetDate(this, Source, date, i);
            const int64_t key = GroupKey(FCompress, date);
            opens = opens || key != previous;
            previous = key;
        }
        const double close = ohlc ? ohlc->CloseValues()->Value(i) : values->Value(i);
        const double open = ohlc ? ohlc->OpenValues()->Value(i) : close;
        const double high = ohlc ? ohlc->HighValues()->Value(i) : close;
        const double low = ohlc ? ohlc->LowValues()->Value(i) : close;
        const AnsiString label = Source->GetXLabel(i);
        const bool hasVolume = Volume && DestVolume && Volume->Count() > i;
        if (opens) {
            const int k = DestOHLC->AddOHLC(date, open, high, low, close);
            if (!label.IsEmpty()) DestOHLC->SetXLabel(k, label);
            if (hasVolume)
                DestVolume->AddXY(Volume->XValues()->Value(i), Volume->MandatoryValues()->Value(i));
            continue;
        }
        const int last = DestOHLC->Count() - 1;
        DestOHLC->CloseValues()->SetValue(last, close);
        DestOHLC->DateValues()->SetValue(last, date);
        if (high > DestOHLC->HighValues()->Value(last))
            DestOHLC->HighValues()->SetValue(last, high);
        if (low < DestOHLC->LowValues()->Value(last)) DestOHLC->LowValues()->SetValue(last, low);
        DestOHLC->SetXLabel(last, label);
        if (hasVolume && DestVolume->Count() > 0) {
            const int lv = DestVolume->Count() - 1;
            DestVolume->MandatoryValues()->SetValue(lv, DestVolume->MandatoryValues()->Value(lv) +
                                                            Volume->MandatoryValues()->Value(i));
            DestVolume->XValues()->SetValue(lv, Volume->XValues()->Value(i));
        }
    }
    if (DestVolume) {
        DestVolume->XValues()->SetModified(true);
        DestVolume->YValues()->SetModified(true);
    }
}
