// Marks kept clear of each other land where comparing each mark with every
// earlier one puts them: on bar and pie charts, flat and in 3D, with frames
// and shadows of every side, marks of many sizes, marks dragged to a place of
// their own, and marks left from an earlier drawing that this one skips.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/engine/teemarks.h"
#include "platform/graphics/graphics.h"
#include <gtest/gtest.h>
#include <functional>
#include <map>
#include <memory>

namespace {
using TPositions = std::map<int, TSeriesMarkPosition>;

// The series as the chart draws it, noting the depth each mark was placed at.
template <class S> class TDepthNoted : public S {
public:
    using S::S;
    void DrawMark(int ValueIndex, const AnsiString& St, TSeriesMarkPosition* APosition) override {
        S::DrawMark(ValueIndex, St, APosition);
        Depths[ValueIndex] = this->Marks()->ZPosition;
    }
    std::map<int, int> Depths;
};

// The rectangle a mark keeps others out of, at depth Z.
TRect OverlapRect(TSeriesMarks* M, const TSeriesMarkPosition& P, int Z) {
    TRect r = P.Bounds();
    if (M->Pen()->Visible()) {
        r.Right += M->Pen()->Width();
        r.Bottom += M->Pen()->Width();
    }
    const int h = M->Shadow()->HorizSize(), v = M->Shadow()->VertSize();
    (h > 0 ? r.Right : r.Left) += h;
    (v > 0 ? r.Bottom : r.Top) += v;
    M->ZPosition = Z;
    TPoint moved = r.TopLeft();
    M->ConvertTo2D(P, moved);
    return TRect(moved.x, moved.y, moved.x + r.Width(), moved.y + r.Height());
}

// The reference: each mark of Base (where the series put it before keeping it
// clear) compared with every earlier stored one, in index order.
TPositions PlacedOneByOne(TSeriesMarks* M, int First, const TPositions& Base,
                          const std::map<int, int>& Depths, TPositions Stored) {
    for (const auto& [i, base] : Base) {
        TSeriesMarkPosition p = base;
        if (!base.Custom) {
            const int z = Depths.at(i);
            const TRect r = OverlapRect(M, base, z);
            for (const auto& [k, other] : Stored) {
                if (k < First || k >= i) continue;
                const TRect rk = OverlapRect(M, other, z);
                if (!(r.Left < rk.Right && rk.Left < r.Right && r.Top < rk.Bottom &&
                      rk.Top < r.Bottom))
                    continue;
                const int d = rk.Top > r.Top ? r.Bottom - rk.Top : r.Top - rk.Bottom;
                p.LeftTop.y -= d;
                p.ArrowTo.y -= d;
            }
        }
        Stored[i] = p;
    }
    return Stored;
}

struct TPlacementCase {
    const char* Name;
    bool Pie;
    bool View3D;
    int Count;
    std::function<void(TChartSeries*)> Setup;
};

const TPlacementCase Cases[] = {
    {"BarsFlat", false, false, 300, nullptr},
    {"Bars3D", false, true, 200, nullptr},
    {"BarsThickFrameShadowLeftDown", false, false, 250,
     [](TChartSeries* S) {
         S->Marks()->Pen()->SetWidth(3);
         S->Marks()->Shadow()->SetHorizSize(-4);
         S->Marks()->Shadow()->SetVertSize(5);
     }},
    {"BarsNoFrameShadowLeftUp", false, true, 250,
     [](TChartSeries* S) {
         S->Marks()->Pen()->SetVisible(false);
         S->Marks()->Shadow()->SetHorizSize(-3);
         S->Marks()->Shadow()->SetVertSize(-3);
     }},
    {"BarsOfManySizesAndDraggedMarks", false, false, 300,
     [](TChartSeries* S) {
         S->Marks()->SetStyle(smsLabelValue);
         S->Marks()->Callout()->SetLength(-6);
     }},
    {"BarsDense", false, false, 2000, nullptr},
    {"PieFlat", true, false, 90, nullptr},
    {"Pie3D", true, true, 90, nullptr},
};

void PrintTo(const TPlacementCase& c, std::ostream* os) {
    *os << c.Name;
}

class MarksPlacement : public ::testing::TestWithParam<TPlacementCase> {};
} // namespace

TEST_P(MarksPlacement, IsWhereComparingWithEveryEarlierMarkPutsIt) {
    const TPlacementCase& c = GetParam();
    constexpr int W = 600, H = 400;
    TChart chart(nullptr);
    chart.SetBounds(0, 0, W, H);
    chart.SetView3D(c.View3D);
    chart.Legend()->SetVisible(false);
    TChartSeries* s;
    std::map<int, int>* depths;
    std::function<void(bool)> setAuto;
    if (c.Pie) {
        auto* pie = new TDepthNoted<TPieSeries>(&chart);
        depths = &pie->Depths;
        setAuto = [pie](bool On) { pie->SetAutoMarkPosition(On); };
        s = pie;
    } else {
        auto* bar = new TDepthNoted<TBarSeries>(&chart);
        depths = &bar->Depths;
        setAuto = [bar](bool On) { bar->SetAutoMarkPosition(On); };
        s = bar;
    }
    s->SetParentChart(&chart);
    s->Marks()->SetVisible(true);
    uint32_t seed = 12345;
    const auto next = [&seed](int Range) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % uint32_t(Range));
    };
    for (int i = 0; i < c.Count; ++i) {
        // Runs of equal and near values crowd the marks; a few below zero.
        const double value = c.Pie ? 1 + next(i % 7 == 0 ? 200 : 8) : next(150) - 20 + (i % 11);
        s->Add(value, AnsiString(std::string(size_t(1 + next(6)), 'W').c_str()));
    }
    if (c.Setup) c.Setup(s);
    TSeriesMarks* marks = s->Marks();
    // Two marks dragged where the user wanted them, in the crowd.
    std::map<int, TSeriesMarkPosition> dragged;
    if (std::string(c.Name) == "BarsOfManySizesAndDraggedMarks") {
        for (int i : {40, 41}) {
            TSeriesMarkPosition p;
            p.LeftTop = TPoint(60 + i, 150);
            p.Width = 50;
            p.Height = 30;
            p.ArrowTo = p.ArrowFrom = TPoint(85 + i, 180);
            dragged[i] = p;
        }
    }
    TBitmap picture(W, H);
    const auto draw = [&](bool Auto, int Every, bool Fresh) {
        setAuto(Auto);
        marks->SetDrawEvery(Every);
        if (Fresh) {
            marks->Positions()->Clear();
            for (const auto& [i, p] : dragged)
                marks->Positions()->Put(i, p);
        }
        depths->clear();
        chart.Draw(picture.Canvas(), TRect(0, 0, W, H));
        TPositions stored;
        for (int i = 0; i < marks->Positions()->Count(); ++i)
            if (const TSeriesMarkPosition* p = marks->Positions()->Get(i)) stored[i] = *p;
        return stored;
    };
    // Where the series puts each mark before keeping it clear: every mark,
    // then every second one.
    const TPositions base1 = draw(false, 1, true), base2 = draw(false, 2, true);
    // Kept clear: the second drawing skips every odd mark, whose place from
    // the first still counts.
    const TPositions placed1 = draw(true, 1, true);
    const std::map<int, int> depths1 = *depths;
    const TPositions placed2 = draw(true, 2, false);
    const int first = s->FirstVisibleIndex();
    ASSERT_GE(first, 0);
    const TPositions expected1 = PlacedOneByOne(marks, first, base1, depths1, {});
    const TPositions expected2 = PlacedOneByOne(marks, first, base2, *depths, expected1);

    int moved = 0;
    for (const auto& [i, p] : expected1)
        moved += p.LeftTop.y != base1.at(i).LeftTop.y;
    EXPECT_GT(moved, c.Count / 10) << "too few marks overlap to tell";
    for (const auto& [name, placed, expected] :
         {std::tuple("first drawing", &placed1, &expected1),
          std::tuple("second drawing", &placed2, &expected2)}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(placed->size(), expected->size());
        int wrong = 0;
        for (const auto& [i, p] : *expected) {
            const TSeriesMarkPosition& q = placed->at(i);
            if (q.Bounds() == p.Bounds() && q.ArrowTo == p.ArrowTo) continue;
            if (++wrong <= 3)
                ADD_FAILURE() << "mark " << i << " at " << q.LeftTop.x << "," << q.LeftTop.y
                              << ", not " << p.LeftTop.x << "," << p.LeftTop.y;
        }
        EXPECT_EQ(wrong, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Charts, MarksPlacement, ::testing::ValuesIn(Cases),
                         [](const auto& i) { return std::string(i.param.Name); });
