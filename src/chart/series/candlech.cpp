// Price series: OHLC lists, candle drawing and hit test, big-candle marks and
// the volume lines.
//   TOHLCSeries        lists, adding, extremes, sample values
//   TCandleSeries      colours, geometry, drawing, hit test, gallery
//   TBigCandleSeries   four marks around each candle
//   TVolumeSeries      lines from the origin, legend, gallery
#include "chart/series/candlech.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teevaluelist.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeprocs.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <bit>
#include <climits>
#include <limits>
#include <cmath>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <span>
#include <utility>
#include <vector>

QM_CLASS_OWNED(TOHLCSeries, TCustomSeries, TComponent)
QM_CLASS_OWNED(TCandleSeries, TOHLCSeries, TComponent)
QM_CLASS_OWNED(TBigCandleSeries, TCandleSeries, TComponent)
QM_CLASS_OWNED(TVolumeSeries, TCustomSeries, TComponent)

QM_PUBLISHED(TOHLCSeries, Prop("CloseValues", &Self::CloseValues, &Self::SetCloseValues),
             Prop("DateValues", &Self::DateValues, &Self::SetDateValues),
             Prop("HighValues", &Self::HighValues, &Self::SetHighValues),
             Prop("LowValues", &Self::LowValues, &Self::SetLowValues),
             Prop("OpenValues", &Self::OpenValues, &Self::SetOpenValues));

QM_PUBLISHED(TCandleSeries,
             Prop("CandleStyle", &Self::CandleStyle, &Self::SetCandleStyle).Default(csCandleStick),
             Prop("CandleWidth", &Self::CandleWidth, &Self::SetCandleWidth).Default(4),
             Prop("Draw3D", &Self::CandleDraw3D, &Self::SetCandleDraw3D).Default(false),
             Prop("Dark3D", &Self::CandleDark3D, &Self::SetCandleDark3D).Default(true),
             Prop("DownCloseColor", &Self::DownCloseColor, &Self::SetDownCloseColor)
                 .Default(clRed)
                 .Idents("TColor"),
             Prop("Pen", &Self::CandlePen),
             Prop("ShowCloseTick", &Self::ShowCloseTick, &Self::SetShowCloseTick).Default(true),
             Prop("ShowOpenTick", &Self::ShowOpenTick, &Self::SetShowOpenTick).Default(true),
             Prop("UpCloseColor", &Self::UpCloseColor, &Self::SetUpCloseColor)
                 .Default(clWhite)
                 .Idents("TColor"));

QM_PUBLISHED(TBigCandleSeries, Prop("HorizGap", &Self::HorizGap, &Self::SetHorizGap),
             Prop("VertGap", &Self::VertGap, &Self::SetVertGap));

QM_PUBLISHED(TVolumeSeries, Prop("LinePen", &Self::LinePen),
             Prop("UseYOrigin", &Self::UseYOrigin, &Self::SetUseYOrigin).Default(false),
             Prop("VolumeValues", &Self::VolumeValues, &Self::SetVolumeValues),
             Prop("YOrigin", &Self::YOrigin, &Self::SetYOrigin));

// ---------------------------------------------------------------------------
// TOHLCSeries

TOHLCSeries::TOHLCSeries(TComponent* AOwner) : TCustomSeries(AOwner) {
    XValues()->SetName("Date");
    XValues()->InitDateTime(true);
    YValues()->SetName("Close");
    FHighValues = new TChartValueList(this, "High");
    FLowValues = new TChartValueList(this, "Low");
    FOpenValues = new TChartValueList(this, "Open");
}

int TOHLCSeries::AddOHLC(double ADate, double AOpen, double AHigh, double ALow, double AClose) {
    FHighValues->SetTempValue(AHigh);
    FLowValues->SetTempValue(ALow);
    FOpenValues->SetTempValue(AOpen);
    return AddXY(ADate, AClose, "", clAutoColor);
}

int TOHLCSeries::AddOHLC(double AOpen, double AHigh, double ALow, double AClose) {
    XValues()->SetDateTime(false);
    FHighValues->SetTempValue(AHigh);
    FLowValues->SetTempValue(ALow);
    FOpenValues->SetTempValue(AOpen);
    return Add(AClose, "", clAutoColor);
}

bool TOHLCSeries::IsValidSourceOf(TChartSeries* Value) {
    return dynamic_cast<TOHLCSeries*>(Value) != nullptr;
}

double TOHLCSeries::MaxYValue() {
    if (Count() == 0) return 0;
    return std::max({YValues()->MaxValue(), FHighValues->MaxValue(), FLowValues->MaxValue(),
                     FOpenValues->MaxValue()});
}

double TOHLCSeries::MinYValue() {
    if (Count() == 0) return 0;
    return std::min({YValues()->MinValue(), FHighValues->MinValue(), FLowValues->MinValue(),
                     FOpenValues->MinValue()});
}

void TOHLCSeries::AddSampleValues(int NumValues) {
    const TRandomBounds b = RandomBounds(NumValues);
    const double range = b.DifY;
    double date = b.tmpX;
    double open = b.MinY + Random(SafeInt(std::nearbyint(range)));
    for (int i = 0; i < NumValues; ++i) {
        const double close = open + Random(SafeInt(std::nearbyint(range / 25))) - range / 50;
        const double d = 3 * std::nearbyint(std::fabs(close - open) / 10);
        const int t = std::abs(SafeInt(std::nearbyint(range / 400)));
        double high, low;
        if (close > open) {
            high = close + d + Random(t);
            low = open - d - Random(t);
        } else {
            high = open + d + Random(t);
            low = close - d - Random(t);
        }
        AddOHLC(date, open, high, low, close);
        date += b.StepX;
        open = close + Random(10) - 5;
    }
}

// ---------------------------------------------------------------------------
// TCandleSeries

TCandleSeries::TCandleSeries(TComponent* AOwner) : TOHLCSeries(AOwner) {
    Pointer()->Change3D(false);
}

void TCandleSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCandleSeries*>(Source)) {
        FCandleWidth = s->FCandleWidth;
        FCandleStyle = s->FCandleStyle;
        FUpCloseColor = s->FUpCloseColor;
        FDownCloseColor = s->FDownCloseColor;
        FShowOpenTick = s->FShowOpenTick;
        FShowCloseTick = s->FShowCloseTick;
    }
    TOHLCSeries::Assign(Source);
}

void TCandleSeries::SetCandleStyle(TCandleStyle Value) {
    FCandleStyle = Value;
    Pointer()->SetVisible(Value != csLine);
    Repaint();
}

TColor TCandleSeries::CandleColor(int ValueIndex) {
    // Walks back over flat candles without recursion, so a long flat run
    // cannot exhaust the stack.
    for (int i = ValueIndex; i >= 0; --i) {
        const TColor own = GetValueColor(i);
        if (own != SeriesColor()) return own;
        const double open = OpenValues()->Value(i), close = CloseValues()->Value(i);
        if (close < open) return FDownCloseColor;
        if (close > open || i == 0) return FUpCloseColor;
        const double prev = CloseValues()->Value(i - 1);
        if (close > prev) return FUpCloseColor;
        if (close < prev) return FDownCloseColor;
        // Equal to the previous close: the previous point's colour as reported.
        const TColor before = GetValueColor(i - 1);
        if (before != SeriesColor()) return before;
    }
    return FUpCloseColor;
}

TColor TCandleSeries::LegendItemColor(int LegendIndex) {
    const int i = LegendToValueIndex(LegendIndex);
    if (i < 0 || i >= Count()) return SeriesColor();
    return CandleColor(i);
}

double TCandleSeries::MaxYValue() {
    if (FCandleStyle == csLine) return Count() ? CloseValues()->MaxValue() : 0;
    return TOHLCSeries::MaxYValue();
}

double TCandleSeries::MinYValue() {
    if (FCandleStyle == csLine) return Count() ? CloseValues()->MinValue() : 0;
    return TOHLCSeries::MinYValue();
}

TCandleSeries::TCandleGeometry TCandleSeries::Geometry(int ValueIndex) {
    TCandleGeometry g;
    g.X = CalcXPos(ValueIndex);
    g.Open = CalcYPosValue(OpenValues()->Value(ValueIndex));
    g.Close = CalcYPosValue(CloseValues()->Value(ValueIndex));
    g.High = CalcYPosValue(HighValues()->Value(ValueIndex));
    g.Low = CalcYPosValue(LowValues()->Value(ValueIndex));
    g.Left = FCandleWidth / 2;
    g.Right = FCandleWidth - g.Left;
    return g;
}

TRect TCandleSeries::FlatBody(TCandleGeometry G) const {
    return FlatBody(G, CandlePen()->Visible());
}

TRect TCandleSeries::FlatBody(TCandleGeometry G, bool PenShown) {
    if (G.Open == G.Close) --G.Close;
    if (!PenShown) {
        if (G.Open < G.Close)
            --G.Open;
        else
            --G.Close;
    }
    return TRect(G.X - G.Left, G.Open, G.X + G.Right + 1, G.Close);
}

namespace {

// The prices of a candle.
struct TPrices {
    const double *Dates, *Opens, *Closes, *Highs, *Lows;
};

// A candle's colour from its prices alone, as CandleColor works it out for a
// series whose points have no colours of their own.
TColor PriceColor(const TPrices& P, int I, TColor Up, TColor Down) {
    for (; I >= 0; --I) {
        const double open = P.Opens[I], close = P.Closes[I];
        if (close < open) return Down;
        if (close > open || I == 0) return Up;
        const double prev = P.Closes[I - 1];
        if (close > prev) return Up;
        if (close < prev) return Down;
    }
    return Up;
}

// Where a candle's pixels go when candles are painted last drawn first, each
// pixel by the first candle that reaches it: its box's outline and inside,
// and its wick, in the pixels of a rising or a falling candle's pen and brush.
struct TCandleInk {
    uint32_t* Origin;
    ptrdiff_t Stride;
    uint32_t Pens[2], Fills[2]; // rising, falling
    const TPrices* Prices;
    TColor Up, Down;
    // The candle at hand: its box's outer pixels (both included), whether
    // the box is too thin for an inside, its index and (once asked) colour.
    int Left = 0, Right = 0, Top = 0, Bottom = 0;
    bool AllOutline = false;
    int Index = 0;
    int Falling = -1;

    void Candle(int I, int BoxLeft, int BoxRight, int BoxTop, int BoxBottom) {
        Index = I;
        Falling = -1;
        Left = BoxLeft;
        Right = BoxRight;
        Top = BoxTop;
        Bottom = BoxBottom;
        AllOutline = BoxRight - BoxLeft < 2 || BoxBottom - BoxTop < 2;
    }
    int Colour() {
        if (Falling < 0) {
            // Most candles rise or fall: no need to look further back.
            const double open = Prices->Opens[Index], close = Prices->Closes[Index];
            Falling = close < open                                 ? 1
                      : close > open                               ? 0
                      : PriceColor(*Prices, Index, Up, Down) == Up ? 0
                                                                   : 1;
        }
        return Falling;
    }
    // The box's pixels of column X in Rows (bit b of word W: row RowTop + W * 64 + b).
    void Box(int X, int RowTop, int W, uint64_t Rows) {
        if (!Rows) return;
        const int k = Colour();
        const uint32_t pen = Pens[k], fill = Fills[k];
        const int y0 = RowTop + W * 64;
        // The outline's rows among these: all of a side, else the top and bottom.
        const uint64_t outline = AllOutline || X == Left || X == Right
                                     ? ~uint64_t(0)
                                     : RowBit(Top - y0) | RowBit(Bottom - y0);
        uint32_t* const p = Origin + ptrdiff_t(y0) * Stride + X;
        for (; Rows; Rows &= Rows - 1) {
            const int b = std::countr_zero(Rows);
            p[b * Stride] = outline >> b & 1 ? pen : fill;
        }
    }
    // Box for columns X0 .. X1 - 1 at once, in the rows of one word (bit b:
    // row Y0 + b): the rows of each column's word (Step words on from the
    // last) not yet in it. Those words take in Rows.
    void Boxes(int X0, int X1, int Y0, uint64_t Rows, uint64_t* Words, ptrdiff_t Step) {
        const uint64_t inside = AllOutline ? ~uint64_t(0) : RowBit(Top - Y0) | RowBit(Bottom - Y0);
        uint32_t* p = Origin + ptrdiff_t(Y0) * Stride + X0;
        int k = -1;
        for (int x = X0; x < X1; ++x, ++p, Words += Step) {
            uint64_t fresh = Rows & ~*Words;
            *Words |= Rows;
            if (!fresh) continue;
            if (k < 0) k = Colour();
            const uint32_t pen = Pens[k], fill = Fills[k];
            const uint64_t outline = x == Left || x == Right ? ~uint64_t(0) : inside;
            for (; fresh; fresh &= fresh - 1) {
                const int b = std::countr_zero(fresh);
                p[b * Stride] = outline >> b & 1 ? pen : fill;
            }
        }
    }
    void Wick(int X, int RowTop, int W, uint64_t Rows) {
        if (!Rows) return;
        const uint32_t pen = Pens[Colour()];
        uint32_t* const p = Origin + ptrdiff_t(RowTop + W * 64) * Stride + X;
        for (; Rows; Rows &= Rows - 1)
            p[std::countr_zero(Rows) * Stride] = pen;
    }
    static uint64_t RowBit(int B) { return unsigned(B) < 64 ? uint64_t(1) << B : 0; }
};

// The pixels of the clip box that candles drawn later paint, a bit each,
// column by column. Pixels outside the box are never painted: covered.
// Candles of one X share their body's columns (a group): the rows painted
// in all of them are kept as well, so a body is looked up once, not per column
// (those a wick paints later in its column are left out: fewer rows known).
// Painted rows stay painted, so a run of rows known painted in the group (and
// in one column) answers most questions without looking at the bits.
class TColumnCover {
public:
    explicit TColumnCover(const TRect& Clip)
        : FLeft(Clip.Left), FTop(Clip.Top), FWidth(std::max(Clip.Right - Clip.Left, 0)),
          FHeight(std::max(Clip.Bottom - Clip.Top, 0)), FWords((FHeight + 63) / 64),
          FBits(static_cast<size_t>(FWidth) * static_cast<size_t>(FWords)), FGroupX0(FLeft),
          FGroupX1(FLeft), FGroup(static_cast<size_t>(FWords), ~uint64_t(0)) {}

    // The rows known painted in the group, and in column X (none for another).
    std::pair<int, int> GroupRows() const { return {FGroupRun.Lo, FGroupRun.Hi}; }
    std::pair<int, int> ColumnRows(int X) const {
        return X == FColumnX ? std::pair<int, int>{FColumnRun.Lo, FColumnRun.Hi}
                             : std::pair<int, int>{1, 0};
    }
    // Paints rows Lo..Hi (both included) of column X unless they are painted
    // already: whether some were not.
    // With Ink, its wick's pixels of those rows not painted yet are.
    bool PaintColumn(int X, int Lo, int Hi, TCandleInk* Ink = nullptr) {
        if (KnownColumn(X, Lo, Hi)) return false;
        uint64_t* c = Column(X);
        int lo, hi;
        if (!c || !Rows(Lo, Hi, lo, hi)) return false;
        const int w = lo >> 6;
        if (w == hi >> 6) {
            const uint64_t rows = WordMask(lo, hi), fresh = rows & ~c[w];
            if (!fresh) {
                FColumnX = X;
                FColumnRun = Around(c, lo, hi);
                return false;
            }
            if (Ink) Ink->Wick(X, FTop, w, fresh);
            c[w] |= rows;
        } else {
            if (Has(c, lo, hi)) {
                FColumnX = X;
                FColumnRun = Around(c, lo, hi);
                return false;
            }
            if (Ink)
                for (int v = w; v <= hi >> 6; ++v)
                    Ink->Wick(X, FTop, v, Mask(v, lo, hi) & ~c[v]);
            Set(c, lo, hi);
        }
        if (X == FColumnX) FColumnRun.Widen(Lo, Hi);
        return true;
    }
    // Makes columns X0 .. X1 - 1 the group (those inside the box).
    void SetGroup(int X0, int X1) {
        if (X0 == FKeyX0 && X1 == FKeyX1) return;
        FKeyX0 = X0;
        FKeyX1 = X1;
        FGroupX0 = int(std::clamp<int64_t>(X0, FLeft, int64_t(FLeft) + FWidth));
        FGroupX1 = int(std::clamp<int64_t>(X1, FGroupX0, int64_t(FLeft) + FWidth));
        std::fill(FGroup.begin(), FGroup.end(), ~uint64_t(0));
        const uint64_t* g = GroupColumns();
        for (int x = FGroupX0; x < FGroupX1; ++x, g += FWords)
            for (int w = 0; w < FWords; ++w)
                FGroup[static_cast<size_t>(w)] &= g[w];
        FGroupRun = TRun();
    }
    // Paints rows Lo..Hi in every column of the group unless they are
    // painted there already: whether some were not.
    // With Ink, its box's pixels of those rows not painted yet are.
    bool PaintGroup(int Lo, int Hi, TCandleInk* Ink = nullptr) {
        if (FGroupRun.Holds(Lo, Hi)) return false;
        int lo, hi;
        if (!Rows(Lo, Hi, lo, hi)) return false;
        uint64_t* g = GroupColumns();
        if (lo >> 6 == hi >> 6) {
            // Rows within one word (most bodies): one mask for every column.
            const int w = lo >> 6;
            const uint64_t rows = WordMask(lo, hi);
            uint64_t& group = FGroup[static_cast<size_t>(w)];
            if ((group & rows) == rows) {
                FGroupRun = Around(FGroup.data(), lo, hi);
                return false;
            }
            if (Ink)
                Ink->Boxes(FGroupX0, FGroupX1, FTop + w * 64, rows, g + w, FWords);
            else
                for (int x = FGroupX0; x < FGroupX1; ++x, g += FWords)
                    g[w] |= rows;
            group |= rows;
        } else {
            if (Has(FGroup.data(), lo, hi)) {
                FGroupRun = Around(FGroup.data(), lo, hi);
                return false;
            }
            for (int x = FGroupX0; x < FGroupX1; ++x, g += FWords) {
                if (Ink)
                    for (int w = lo >> 6; w <= hi >> 6; ++w)
                        Ink->Box(x, FTop, w, Mask(w, lo, hi) & ~g[w]);
                Set(g, lo, hi);
            }
            Set(FGroup.data(), lo, hi);
        }
        FGroupRun.Widen(Lo, Hi);
        if (FColumnX >= FGroupX0 && FColumnX < FGroupX1) FColumnRun.Widen(Lo, Hi);
        return true;
    }

private:
    // A quick answer from the run alone: true when the rows are painted in
    // column X, false when unknown.
    bool KnownColumn(int X, int Lo, int Hi) const {
        return X == FColumnX && FColumnRun.Holds(Lo, Hi);
    }
    // Rows painted, both ends included (none when Lo > Hi); the box's first
    // and last rows stand for all rows beyond.
    struct TRun {
        int Lo = 1, Hi = 0;
        bool Holds(int A, int B) const { return A >= Lo && B <= Hi; }
        // Takes in rows A..B just painted when they touch the run.
        void Widen(int A, int B) {
            if (Lo > Hi) {
                Lo = A;
                Hi = B;
            } else if (int64_t(A) <= int64_t(Hi) + 1 && int64_t(B) + 1 >= int64_t(Lo)) {
                Lo = std::min(Lo, A);
                Hi = std::max(Hi, B);
            }
        }
    };
    // Rows Lo..Hi inside the box, from its top; false when none are.
    bool Rows(int Lo, int Hi, int& A, int& B) const {
        const int64_t a = std::max<int64_t>(int64_t(Lo) - FTop, 0);
        const int64_t b = std::min<int64_t>(int64_t(Hi) - FTop, FHeight - 1);
        A = int(a);
        B = int(b);
        return a <= b;
    }
    // The painted run of C through rows Lo..Hi (painted, inside the box).
    TRun Around(const uint64_t* C, int Lo, int Hi) const {
        int w = Lo >> 6;
        uint64_t gaps = ~C[w] & ((uint64_t(1) << (Lo & 63)) - 1);
        while (!gaps && w > 0)
            gaps = ~C[--w];
        const int a = gaps ? w * 64 + 64 - std::countl_zero(gaps) : 0;
        w = Hi >> 6;
        gaps = (Hi & 63) == 63 ? 0 : ~C[w] & (~uint64_t(0) << ((Hi & 63) + 1));
        while (!gaps && w + 1 < FWords)
            gaps = ~C[++w];
        const int b =
            gaps ? std::min(w * 64 + std::countr_zero(gaps) - 1, FHeight - 1) : FHeight - 1;
        return {a == 0 ? INT_MIN : FTop + a, b == FHeight - 1 ? INT_MAX : FTop + b};
    }
    // The bits of rows Lo..Hi, both in one word.
    static uint64_t WordMask(int Lo, int Hi) {
        return (~uint64_t(0) << (Lo & 63)) & (~uint64_t(0) >> (63 - (Hi & 63)));
    }
    // The bits of rows Lo..Hi in word W.
    static uint64_t Mask(int W, int Lo, int Hi) {
        const uint64_t first = W == Lo >> 6 ? ~uint64_t(0) << (Lo & 63) : ~uint64_t(0);
        const uint64_t last = W == Hi >> 6 ? ~uint64_t(0) >> (63 - (Hi & 63)) : ~uint64_t(0);
        return first & last;
    }
    static bool Has(const uint64_t* C, int Lo, int Hi) {
        const int w0 = Lo >> 6, w1 = Hi >> 6;
        const uint64_t first = ~uint64_t(0) << (Lo & 63), last = ~uint64_t(0) >> (63 - (Hi & 63));
        if (w0 == w1) return (C[w0] & first & last) == (first & last);
        if ((C[w0] & first) != first || (C[w1] & last) != last) return false;
        for (int w = w0 + 1; w < w1; ++w)
            if (C[w] != ~uint64_t(0)) return false;
        return true;
    }
    static void Set(uint64_t* C, int Lo, int Hi) {
        const int w0 = Lo >> 6, w1 = Hi >> 6;
        const uint64_t first = ~uint64_t(0) << (Lo & 63), last = ~uint64_t(0) >> (63 - (Hi & 63));
        if (w0 == w1) {
            C[w0] |= first & last;
            return;
        }
        C[w0] |= first;
        C[w1] |= last;
        for (int w = w0 + 1; w < w1; ++w)
            C[w] = ~uint64_t(0);
    }
    uint64_t* Column(int X) {
        const int64_t x = int64_t(X) - FLeft;
        if (x < 0 || x >= FWidth) return nullptr;
        return FBits.data() + static_cast<size_t>(x) * static_cast<size_t>(FWords);
    }
    // The first column of the group (the others follow, FWords apart).
    uint64_t* GroupColumns() {
        return FBits.data() + static_cast<size_t>(FGroupX0 - FLeft) * static_cast<size_t>(FWords);
    }
    int FLeft, FTop, FWidth, FHeight, FWords;
    std::vector<uint64_t> FBits;
    // The group's columns within the box, the rows painted in all of them,
    // and the columns it was asked for.
    int FGroupX0, FGroupX1;
    std::vector<uint64_t> FGroup;
    int FKeyX0 = 0, FKeyX1 = 0;
    TRun FGroupRun, FColumnRun;
    int FColumnX = INT_MIN;
};

// Values between Lo and Hi (none when Lo > Hi or either is NaN).
struct TValueRange {
    double Lo = 1, Hi = 0;
    bool Holds(double V) const { return V >= Lo && V <= Hi; }
};

// The dates of a candle group and the prices that place a candle of it on
// rows known painted: its body's (open and close), and its wick's high and low.
struct TKnownPrices {
    TValueRange Dates, Body, High, Low;
};

// How many candles from I on (by Step, Count at most) Known places on rows
// painted; with Wick their highs and lows count as well. The tests of a
// candle end in one branch: which of them fails is not foreseeable.
template <bool Wick>
int PassOver(const TPrices& P, int I, int Step, int Count, const TKnownPrices& Known) {
    const double dateLo = Known.Dates.Lo, dateHi = Known.Dates.Hi;
    int k = 0;
#if defined(__SSE2__)
    const __m128d bodyLo = _mm_set1_pd(Known.Body.Lo), bodyHi = _mm_set1_pd(Known.Body.Hi);
    const __m128d wickLo = _mm_set_pd(Known.Low.Lo, Known.High.Lo);
    const __m128d wickHi = _mm_set_pd(Known.Low.Hi, Known.High.Hi);
    for (; k < Count; ++k, I += Step) {
        const double date = P.Dates[I];
        const __m128d body = _mm_set_pd(P.Closes[I], P.Opens[I]);
        __m128d in = _mm_and_pd(_mm_cmpge_pd(body, bodyLo), _mm_cmple_pd(body, bodyHi));
        if constexpr (Wick) {
            const __m128d wick = _mm_set_pd(P.Lows[I], P.Highs[I]);
            in = _mm_and_pd(in, _mm_and_pd(_mm_cmpge_pd(wick, wickLo), _mm_cmple_pd(wick, wickHi)));
        }
        if (!((date >= dateLo) & (date <= dateHi) & (_mm_movemask_pd(in) == 3))) break;
    }
#else
    for (; k < Count; ++k, I += Step) {
        if (!Known.Dates.Holds(P.Dates[I]) || !Known.Body.Holds(P.Opens[I]) ||
            !Known.Body.Holds(P.Closes[I]))
            break;
        if (Wick && (!Known.High.Holds(P.Highs[I]) || !Known.Low.Holds(P.Lows[I]))) break;
    }
#endif
    return k;
}

// A value's pixel on an axis, as CalcXPosValue (Horizontal) or CalcYPosValue
// gives it, with a linear axis' scale looked up once; 0 without an axis.
class TPixelMap {
public:
    TPixelMap(const TChartAxis* Axis, bool Horizontal)
        : FAxis(Axis), FHorizontal(Horizontal), FLimit(TeeMaxPixelPos) {
        if (Axis)
            FLinear = Horizontal ? Axis->LinearXMap(FMinimum, FScale, FOrigin)
                                 : Axis->LinearYMap(FMinimum, FScale, FOrigin);
        if (FLinear) FInverse = 1 / FScale;
    }
    int operator()(double Value) const {
        if (FLinear) return PixelPos(FOrigin + (Value - FMinimum) * FScale, FLimit);
        if (!FAxis) return 0;
        return FHorizontal ? FAxis->CalcXPosValue(Value) : FAxis->CalcYPosValue(Value);
    }
    // Two values at once, the same pixels as one at a time.
    void operator()(double A, double B, int& PA, int& PB) const {
#if defined(__SSE2__)
        if (FLinear) {
            const __m128d limit = _mm_set1_pd(FLimit);
            __m128d q = _mm_add_pd(_mm_set1_pd(FOrigin),
                                   _mm_mul_pd(_mm_sub_pd(_mm_set_pd(B, A), _mm_set1_pd(FMinimum)),
                                              _mm_set1_pd(FScale)));
            q = _mm_and_pd(q, _mm_cmpord_pd(q, q)); // NaN gives 0
            const __m128i p = _mm_cvtpd_epi32(
                _mm_min_pd(_mm_max_pd(q, _mm_sub_pd(_mm_setzero_pd(), limit)), limit));
            PA = _mm_cvtsi128_si32(p);
            PB = _mm_cvtsi128_si32(_mm_shuffle_epi32(p, 1));
            return;
        }
#endif
        PA = (*this)(A);
        PB = (*this)(B);
    }
    // Whether higher values go to higher pixels.
    bool Rising() const {
        return FScale > 0;
    }
    // Values this map places on pixels A..B (INT_MIN and INT_MAX reaching as
    // far as values go). A linear map never turns back, so the range is worked
    // out from its ends and each end is placed to make sure; none when that
    // fails or the axis is not linear.
    TValueRange Values(int A, int B) const {
        if (!FLinear || A > B) return {};
        // Nearly to the pixels' edges, or less far where rounding misses them.
        for (const double edge : {0.4999, 0.49}) {
            constexpr double far = std::numeric_limits<double>::infinity();
            const double a = A == INT_MIN ? -far : A - edge, b = B == INT_MAX ? far : B + edge;
            const double va = FMinimum + (a - FOrigin) * FInverse;
            const double vb = FMinimum + (b - FOrigin) * FInverse;
            const double lo = std::min(va, vb), hi = std::max(va, vb);
            const auto on = [&](double V) {
                const int p = (*this)(V);
                return p >= A && p <= B;
            };
            if (lo <= hi && on(lo) && on(hi)) return {lo, hi};
        }
        return {};
    }

private:
    const TChartAxis* FAxis;
    bool FHorizontal;
    bool FLinear = false;
    double FMinimum = 0, FScale = 0, FOrigin = 0, FInverse = 0;
    int FLimit;
};

// TPixelMap::Values for rows Top..Bottom, looked up from each row's lowest
// and highest value, worked out once into Table (NaN where the map does not
// place them back on their row); other rows are worked out as they come.
class TRowValues {
public:
    TRowValues(const TPixelMap& Map, int Top, int Bottom, std::vector<double>& Table)
        : FMap(Map), FTop(Top), FRising(Map.Rising()) {
        const TValueRange probe = Map.Values(Top, Top);
        if (probe.Lo > probe.Hi || Bottom < Top) return;
        FBottom = Bottom;
        const size_t rows = static_cast<size_t>(Bottom - Top + 1);
        Table.resize(2 * rows);
        double *low = Table.data(), *high = low + rows;
        constexpr double nan = std::numeric_limits<double>::quiet_NaN();
        for (int r = Top; r <= Bottom; ++r) {
            const TValueRange v = Map.Values(r, r);
            const bool on = v.Lo <= v.Hi;
            low[r - Top] = on ? v.Lo : nan;
            high[r - Top] = on ? v.Hi : nan;
        }
        FLow = low;
        FHigh = high;
    }
    TValueRange operator()(int A, int B) const {
        if (A < FTop || B > FBottom || A > B) [[unlikely]]
            return FMap.Values(A, B);
        // The lowest value is at the top row of a rising map, else at the bottom.
        const int lo = (FRising ? A : B) - FTop, hi = (FRising ? B : A) - FTop;
        TValueRange r{FLow[lo], FHigh[hi]};
        if (!(r.Lo <= r.Hi)) r = TValueRange();
        return r;
    }

private:
    const TPixelMap& FMap;
    int FTop, FBottom = INT_MIN;
    bool FRising;
    const double *FLow = nullptr, *FHigh = nullptr;
};

} // namespace

// Dense candles mostly hide one another: a candle whose every pixel a later
// candle paints over changes nothing in the picture. Only for flat candle
// sticks and open-close boxes drawn straight onto image pixels with a thin
// solid pen (or none) and a solid brush, where what each candle paints is
// known exactly, and with no per-point handler that would miss its calls.
bool TCandleSeries::DrawUncoveredCandles() {
    if (ClassType() != &TCandleSeries::ClassInfo && ClassType() != &TBigCandleSeries::ClassInfo)
        return false;
    TCustomAxisPanel* chart = ParentChart();
    if (!chart || chart->View3D() || OnGetPointerStyle || OutLine()->Visible()) return false;
    if (FCandleStyle != csCandleStick && FCandleStyle != csOpenClose) return false;
    const int first = FirstVisibleIndex(), last = std::min(LastVisibleIndex(), Count() - 1);
    if (first < 0 || last - first < 2 || FCandleWidth < 0) return false;
    for (const TChartValueList* list :
         {XValues(), OpenValues(), CloseValues(), HighValues(), LowValues()})
        if (list->Count() <= last) return false;
    TCanvas3D* canvas = chart->Canvas();
    TCanvas* target = canvas ? canvas->PlatformCanvas() : nullptr;
    if (!target || canvas->Metafiling() || !target->PaintsImagePixels()) return false;
    const TChartPen* pen = CandlePen();
    const bool penShown = pen->Visible();
    if (penShown &&
        (pen->SmallDots() || pen->Width() >= 2 || pen->Style() != psSolid || pen->Mode() != pmCopy))
        return false;
    const TChartBrush* brush = Pointer()->Brush();
    if (brush->Style() != bsSolid || brush->ImageIfAny()) return false;

    TColumnCover cover(target->ClipRect());
    const bool stick = FCandleStyle == csCandleStick && penShown;
    const bool forward = DrawValuesForward();
    const int n = last - first + 1;
    // Without a pen the box paints one pixel less each way.
    const int inset = penShown ? 0 : 1;
    // The list is kept from one repaint to the next: a dense chart then
    // allocates nothing while it draws.
    std::vector<TCanvas::TColumnBox>& shown = FMarks; // from the last candle drawn back
    std::vector<int>& shownIndex = FShownIndex;
    shown.clear();
    shownIndex.clear();
    const int halfLeft = FCandleWidth / 2, halfRight = FCandleWidth - halfLeft;
    const TPixelMap mapX(GetHorizAxis(), true), mapY(GetVertAxis(), false);
    const TRect clip = target->ClipRect();
    const TRowValues rowValues(mapY, clip.Top - 3, clip.Bottom + 3, FRowValues);
    // Stacked sideways, a candle's X is its stacked position (as CalcXPos says).
    const bool stackedX =
        !IsVerticalSeries() && (Stacked() == cssStack || Stacked() == cssStack100);
    const TPrices prices{XValues()->Data(), OpenValues()->Data(), CloseValues()->Data(),
                         HighValues()->Data(), LowValues()->Data()};
    // The prices that place a candle on the rows known painted, for its X
    // group's columns and for its wick's column: most candles are passed over
    // on their prices alone. A body lies within its open and close rows moved
    // up one (two without a pen); a wick's rows leave out High's.
    const auto beyond = [](int Row, int By) {
        return Row == INT_MIN || Row == INT_MAX ? Row : Row + By;
    };
    // Candles with a pen whose colours come from their prices are painted
    // here straight onto the image, where the canvas lets its pixels be
    // written so: each pixel by the first candle (from the last drawn back)
    // that reaches it, as the canvas would leave it drawing them in order.
    const bool ownColors = HasColorList() || ColorEachPoint();
    TCandleInk ink{nullptr, 0, {}, {}, &prices, FUpCloseColor, FDownCloseColor};
    bool direct = penShown && !ownColors;
    for (int k = 0; k < 2 && direct; ++k) {
        const TColor color = k ? FDownCloseColor : FUpCloseColor;
        Pointer()->PrepareCanvas(canvas, color);
        canvas->Brush()->SetColor(color);
        TCanvas::TDirectPixels pixels;
        direct = target->DirectPixels(pixels) && pixels.Clip == target->ClipRect() &&
                 (!k || (pixels.Origin == ink.Origin && pixels.Stride == ink.Stride));
        ink.Origin = pixels.Origin;
        ink.Stride = pixels.Stride;
        ink.Pens[k] = pixels.Pen;
        ink.Fills[k] = pixels.Brush;
    }
    int frontShown = -1, frontWick = -1; // the first candles painted, and with a wick
    TPoint frontWickEnd;
    int groupX = 0;
    cover.SetGroup(groupX - halfLeft, groupX + halfRight + 1 - inset);
    TKnownPrices known;
    std::pair<int, int> bodyRows{1, 0}, wickRows{1, 0};
    const int step = forward ? -1 : 1;
    for (int k = n - 1, i = forward ? last : first; k >= 0; --k, i += step) {
        const int passed = stick ? PassOver<true>(prices, i, step, k + 1, known)
                                 : PassOver<false>(prices, i, step, k + 1, known);
        k -= passed;
        i += passed * step;
        if (k < 0) break;
        // A date in the group's range needs no placing.
        const double date = prices.Dates[i];
        const int x = known.Dates.Holds(date) ? groupX : stackedX ? CalcXPos(i) : mapX(date);
        if (x != groupX) {
            cover.SetGroup(x - halfLeft, x + halfRight + 1 - inset);
            groupX = x;
            // The prices known painted were those of the last group's rows.
            known = TKnownPrices();
            if (!stackedX) known.Dates = mapX.Values(x, x);
            bodyRows = wickRows = {1, 0};
        }
        TCandleGeometry g{x, 0, 0, 0, 0, halfLeft, halfRight};
        mapY(prices.Opens[i], prices.Closes[i], g.Open, g.Close);
        mapY(prices.Highs[i], prices.Lows[i], g.High, g.Low);
        // The rows of FlatBody's box (one more above a flat body, one less
        // each way without a pen), and the rows the wick's line paints (from
        // Low up to, not including, High).
        const int bodyLo = std::min(g.Open, g.Close) - inset - (g.Open == g.Close);
        const int bodyHi = std::max(g.Open, g.Close) - 1 - inset;
        const bool wick = stick && g.High != g.Low;
        const int wickLo = std::min(g.High, g.Low) + (g.High < g.Low);
        const int wickHi = std::max(g.High, g.Low) - (g.High > g.Low);
        // A hidden part would add no pixel that is not covered already. The
        // wick goes under its own body: against the body and later candles.
        if (direct) ink.Candle(i, x - halfLeft, x + halfRight, bodyLo, bodyHi);
        TCandleInk* const paint = direct ? &ink : nullptr;
        const bool bodyShown = cover.PaintGroup(bodyLo, bodyHi, paint);
        const bool wickShown = wick && cover.PaintColumn(x, wickLo, wickHi, paint);
        if (bodyShown || wickShown) {
            if (!direct) {
                shown.push_back({FlatBody(g, penShown), x, g.Low, g.High, wickShown, bodyShown});
                shownIndex.push_back(i);
            } else {
                if (frontShown < 0) frontShown = i;
                if (wickShown && frontWick < 0) {
                    frontWick = i;
                    frontWickEnd = TPoint(x, g.High);
                }
            }
        }
        if (cover.GroupRows() != bodyRows) {
            bodyRows = cover.GroupRows();
            known.Body =
                rowValues(beyond(bodyRows.first, 1 + inset), beyond(bodyRows.second, 1 + inset));
        }
        if (cover.ColumnRows(x) != wickRows) {
            wickRows = cover.ColumnRows(x);
            known.High = rowValues(beyond(wickRows.first, -1), beyond(wickRows.second, 1));
            known.Low = rowValues(wickRows.first, wickRows.second);
        }
    }
    if (direct) {
        // The canvas is left as drawing the candles in order would leave it.
        if (frontShown >= 0) {
            const TColor color = PriceColor(prices, frontShown, FUpCloseColor, FDownCloseColor);
            Pointer()->PrepareCanvas(canvas, color);
            canvas->Brush()->SetColor(color);
        }
        if (frontWick >= 0) target->MoveTo(frontWickEnd.x, frontWickEnd.y);
        return true;
    }
    // Only these calls change the canvas here, first candle first: the pen and
    // brush a colour was prepared with stay until the colour changes, so the
    // candles of one colour go to the canvas together where it can take them.
    std::reverse(shown.begin(), shown.end());
    std::reverse(shownIndex.begin(), shownIndex.end());
    const auto colorOf = [&](size_t K) {
        const int i = shownIndex[K];
        return ownColors ? CandleColor(i) : PriceColor(prices, i, FUpCloseColor, FDownCloseColor);
    };
    TColor next = shown.empty() ? clNone : colorOf(0);
    for (size_t from = 0, to = 0; from < shown.size(); from = to) {
        const TColor color = next;
        for (to = from + 1; to < shown.size() && (next = colorOf(to)) == color; ++to) {
        }
        const std::span<const TCanvas::TColumnBox> marks(shown.data() + from, to - from);
        Pointer()->PrepareCanvas(canvas, color);
        canvas->Brush()->SetColor(color);
        if (target->ColumnsAndBoxes(marks)) continue;
        for (const TCanvas::TColumnBox& m : marks) {
            if (m.HasColumn) canvas->DoVertLine(m.X, m.Y0, m.Y1);
            if (m.HasBox) canvas->Rectangle(m.Box);
        }
    }
    return true;
}

void TCandleSeries::DrawAllValues() {
    FFirstDrawn = DrawValuesForward() ? FirstVisibleIndex() : LastVisibleIndex();
    if (!DrawUncoveredCandles()) TOHLCSeries::DrawAllValues();
}

void TCandleSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    if (OnGetPointerStyle) OnGetPointerStyle(this, ValueIndex);
    const TColor color = CandleColor(ValueIndex);
    Pointer()->PrepareCanvas(canvas, color);
    const bool is3D = chart->View3D();
    const int z = MiddleZ();
    TCandleGeometry g = Geometry(ValueIndex);

    if (FCandleStyle == csLine || FCandleStyle == csCandleBar) {
        canvas->AssignVisiblePenColor(CandlePen(), color);
        canvas->SetBackMode(cbmTransparent);
    }
    switch (FCandleStyle) {
    case csLine: {
        if (ValueIndex != FFirstDrawn && !IsNull(ValueIndex)) {
            if (is3D) {
                canvas->MoveTo3D(FLastLineEnd.x, FLastLineEnd.y, z);
                canvas->LineTo3D(g.X, g.Close, z);
            } else {
                canvas->Line(FLastLineEnd.x, FLastLineEnd.y, g.X, g.Close);
            }
        }
        FLastLineEnd = TPoint(g.X, g.Close);
        break;
    }
    case csCandleBar:
        if (is3D) {
            canvas->VertLine3D(g.X, g.Low, g.High, z);
            if (FShowOpenTick) canvas->HorizLine3D(g.X, g.X - g.Left - 1, g.Open, z);
            if (FShowCloseTick) canvas->HorizLine3D(g.X, g.X + g.Right + 1, g.Close, z);
        } else {
            canvas->DoVertLine(g.X, g.Low, g.High);
            if (FShowOpenTick) canvas->DoHorizLine(g.X, g.X - g.Left - 1, g.Open);
            if (FShowCloseTick) canvas->DoHorizLine(g.X, g.X + g.Right + 1, g.Close);
        }
        break;
    default: {
        const bool stick = FCandleStyle == csCandleStick;
        if (is3D && CandleDraw3D()) {
            const int top = std::min(g.Open, g.Close), bottom = std::max(g.Open, g.Close);
            if (stick) canvas->VertLine3D(g.X, bottom, g.Low, z);
            canvas->Brush()->SetColor(color);
            if (g.Open == g.Close) canvas->Pen()->SetColor(color);
            canvas->Cube(g.X - g.Left, g.X + g.Right, top, bottom, StartZ(), EndZ(),
                         CandleDark3D());
            if (stick) {
                canvas->AssignVisiblePen(CandlePen());
                canvas->VertLine3D(g.X, top, g.High, z);
            }
            break;
        }
        if (stick) {
            if (is3D)
                canvas->VertLine3D(g.X, g.Low, g.High, z);
            else
                canvas->DoVertLine(g.X, g.Low, g.High);
        }
        canvas->Brush()->SetColor(color);
        if (is3D) {
            if (g.Open == g.Close) --g.Close;
            canvas->RectangleWithZ(TRect(g.X - g.Left, g.Open, g.X + g.Right, g.Close), z);
        } else {
            canvas->Rectangle(FlatBody(g));
        }
    }
    }
}

bool TCandleSeries::ClickedCandle(int ValueIndex, const TPoint& P, const TPoint& PrevEnd) {
    const TCandleGeometry g = Geometry(ValueIndex);
    if (FCandleStyle == csLine)
        return ValueIndex > FirstVisibleIndex() && PointInLine(P, PrevEnd, TPoint(g.X, g.Close));
    if (FCandleStyle != csOpenClose && PointInLine(P, g.X, g.Low, g.X, g.High)) return true;
    if (FCandleStyle == csCandleBar)
        return (FShowOpenTick && PointInLine(P, g.X - g.Left - 1, g.Open, g.X, g.Open)) ||
               (FShowCloseTick && PointInLine(P, g.X, g.Close, g.X + g.Right + 1, g.Close));
    const TRect box(g.X - g.Left, std::min(g.Open, g.Close), g.X + g.Right + 1,
                    std::max(g.Open, g.Close) + 1);
    return PointInRect(box, P.x, P.y);
}

int TCandleSeries::Clicked(int X, int Y) {
    if (FirstVisibleIndex() < 0 || Count() == 0) return -1;
    if (TCustomAxisPanel* chart = ParentChart())
        chart->Canvas()->Calculate2DPosition(X, Y, StartZ());
    const TPoint p(X, Y);
    TPoint prev(0, 0);
    const int last = std::min(LastVisibleIndex(), Count() - 1);
    for (int i = FirstVisibleIndex(); i <= last; ++i) {
        if (ClickedCandle(i, p, prev)) return i;
        prev = TPoint(CalcXPos(i), CalcYPosValue(CloseValues()->Value(i)));
    }
    return -1;
}

void TCandleSeries::PrepareForGallery(bool IsEnabled) {
    TOHLCSeries::PrepareForGallery(IsEnabled);
    FillSampleValues(4);
    SetColorEachPoint(IsEnabled);
    if (IsEnabled) {
        FUpCloseColor = clBlue;
    } else {
        FUpCloseColor = clSilver;
        FDownCloseColor = clGray;
        CandlePen()->SetColor(clGray);
    }
    CandlePen()->SetWidth(2);
    FCandleWidth = 12;
}

void TCandleSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TOHLCSeries::CreateSubGallery(AddSubChart);
    if (!AddSubChart) return;
    for (const char* name : {"Bar", "No Open", "No Close", "No Border", "Line"})
        AddSubChart(name);
}

void TCandleSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TCandleSeries*>(Series);
    if (!s) return;
    switch (Index) {
    case 1:
        s->SetCandleStyle(csCandleBar);
        break;
    case 2:
        s->CandlePen()->SetVisible(true);
        s->SetCandleStyle(csCandleBar);
        s->SetShowOpenTick(false);
        break;
    case 3:
        s->CandlePen()->SetVisible(true);
        s->SetCandleStyle(csCandleBar);
        s->SetShowCloseTick(false);
        break;
    case 4:
        s->SetCandleStyle(csCandleStick);
        s->CandlePen()->SetVisible(false);
        break;
    case 5:
        s->SetCandleStyle(csLine);
        break;
    default:
        TOHLCSeries::SetSubGallery(Series, Index);
    }
}

// ---------------------------------------------------------------------------
// TBigCandleSeries

TBigCandleSeries::TBigCandleSeries(TComponent* AOwner) : TCandleSeries(AOwner) {
    Marks()->SetVisible(true);
    Marks()->Callout()->SetLength(0);
}

void TBigCandleSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TBigCandleSeries*>(Source)) {
        FHorizGap = s->FHorizGap;
        FVertGap = s->FVertGap;
    }
    TCandleSeries::Assign(Source);
}

void TBigCandleSeries::DrawMark(int ValueIndex, const AnsiString& St,
                                TSeriesMarkPosition* APosition) {
    (void)St;
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    const TColor color = GetValueColor(ValueIndex);
    const double prices[4] = {OpenValues()->Value(ValueIndex), CloseValues()->Value(ValueIndex),
                              HighValues()->Value(ValueIndex), LowValues()->Value(ValueIndex)};
    for (int k = 0; k < 4; ++k) {
        const AnsiString text = FormatFloat(ValueFormat(), prices[k]);
        TSeriesMarkPosition p;
        p.Assign(*APosition);
        p.Width = canvas->TextWidth(text) + canvas->TextWidth("W");
        const int y = CalcYPosValue(prices[k]);
        const int x = APosition->ArrowTo.x;
        switch (k) {
        case 0: // open: to the left, centred on its price
            p.LeftTop = TPoint(x - p.Width / 2 - p.Width / 2 - FHorizGap, y - p.Height / 2);
            break;
        case 1: // close: to the right
            p.LeftTop = TPoint(x - p.Width / 2 + p.Width / 2 + FHorizGap, y - p.Height / 2);
            break;
        case 2: // high: above
            p.LeftTop = TPoint(x - p.Width / 2, y - p.Height - FVertGap);
            break;
        default: // low: below
            p.LeftTop = TPoint(x - p.Width / 2, y + FVertGap);
        }
        p.ArrowFrom = p.ArrowTo = TPoint(x, y);
        Marks()->InternalDraw(ValueIndex, color, text, p);
    }
}

// ---------------------------------------------------------------------------
// TVolumeSeries

TVolumeSeries::TVolumeSeries(TComponent* AOwner) : TCustomSeries(AOwner) {
    FDrawArea = false;
    Pointer()->SetVisible(false);
    FUseYOrigin = false;
}

void TVolumeSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TVolumeSeries*>(Source)) {
        FUseYOrigin = s->FUseYOrigin;
        FYOrigin = s->FYOrigin;
    }
    TCustomSeries::Assign(Source);
}

void TVolumeSeries::SetSeriesColor(TColor Value) {
    TCustomSeries::SetSeriesColor(Value);
    LinePen()->SetColor(Value);
}

void TVolumeSeries::AddSampleValues(int NumValues) {
    const TRandomBounds b = RandomBounds(NumValues);
    double x = b.tmpX;
    const int top = SafeInt(std::nearbyint(b.DifY)) / 15;
    for (int i = 0; i < NumValues; ++i) {
        AddXY(x, Random(top));
        x += b.StepX;
    }
}

int TVolumeSeries::OriginY() {
    if (FUseYOrigin) return CalcYPosValue(FYOrigin);
    TChartAxis* axis = GetVertAxis();
    if (!axis) return 0;
    return axis->Inverted() ? axis->IStartPos : axis->IEndPos;
}

void TVolumeSeries::DrawValue(int ValueIndex) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    const TColor color = GetValueColor(ValueIndex);
    if (color != FLastColor || ValueIndex == FirstVisibleIndex()) {
        canvas->AssignVisiblePenColor(LinePen(), color);
        canvas->SetBackMode(cbmTransparent);
        FLastColor = color;
    }
    const int x = CalcXPos(ValueIndex), y = CalcYPos(ValueIndex);
    if (chart->View3D())
        canvas->VertLine3D(x, y, OriginY(), MiddleZ());
    else
        canvas->DoVertLine(x, y, OriginY());
}

void TVolumeSeries::DrawLegendShape(int ValueIndex, const TRect& Rect) {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    TCanvas3D* canvas = chart->Canvas();
    const TColor color = ValueIndex == -1 ? SeriesColor() : GetValueColor(ValueIndex);
    canvas->AssignVisiblePenColor(LinePen(), color);
    canvas->DoHorizLine(Rect.Left, Rect.Right, (Rect.Top + Rect.Bottom) / 2);
}

int TVolumeSeries::Clicked(int X, int Y) {
    if (FirstVisibleIndex() < 0 || Count() == 0) return -1;
    if (TCustomAxisPanel* chart = ParentChart())
        chart->Canvas()->Calculate2DPosition(X, Y, StartZ());
    const TPoint p(X, Y);
    const int origin = OriginY();
    const int last = std::min(LastVisibleIndex(), Count() - 1);
    for (int i = FirstVisibleIndex(); i <= last; ++i)
        if (PointInLine(p, CalcXPos(i), CalcYPos(i), CalcXPos(i), origin)) return i;
    return -1;
}

void TVolumeSeries::PrepareForGallery(bool IsEnabled) {
    TCustomSeries::PrepareForGallery(IsEnabled);
    FillSampleValues(26);
    Pointer()->SetInflateMargins(true);
}

void TVolumeSeries::CreateSubGallery(const TChartSubGalleryProc& AddSubChart) {
    TCustomSeries::CreateSubGallery(AddSubChart);
    if (!AddSubChart) return;
    for (const char* name : {"Dotted", "Colors", "Origin"})
        AddSubChart(name);
}

void TVolumeSeries::SetSubGallery(TChartSeries* Series, int Index) {
    auto* s = dynamic_cast<TVolumeSeries*>(Series);
    if (!s) return;
    switch (Index) {
    case 1:
        s->LinePen()->SetSmallDots(true);
        break;
    case 2:
        s->SetColorEachPoint(true);
        break;
    case 3:
        s->SetUseYOrigin(true);
        break;
    default:
        TCustomSeries::SetSubGallery(Series, Index);
    }
}
