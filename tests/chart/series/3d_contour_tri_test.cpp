// Contour levels and segments worked out by hand, and triangulations of point
// sets with known answers.
#include "chart/series/teesurfa.h"
#include "chart/control/chart.h"
#include "chart/series/teetrisurface.h"
#include "platform/graphics/graphics.h"
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <set>

namespace {

// Heights Y = X on X 0..4, Z 0..2.
void FillPlane(TContourSeries& S) {
    for (int z = 0; z <= 2; ++z)
        for (int x = 0; x <= 4; ++x)
            S.AddXYZ(x, x, z);
    S.FillGridIndex();
}

void SetLevels(TContourSeries& S, std::initializer_list<double> Values) {
    S.Levels()->Clear();
    for (double v : Values)
        S.Levels()->AddLevel()->SetUpToValue(v);
}

TEST(Contour, PlaneCrossingIsOneStraightChainedSegment) {
    for (double level : {1.5, 2.0, 0.25}) {
        TContourSeries s(nullptr);
        FillPlane(s);
        SetLevels(s, {level});
        EXPECT_FALSE(s.AutomaticLevels());
        s.ContourLevels();
        TContourLevel* l = s.Levels()->Get(0);
        ASSERT_EQ(l->SegmentCount(), 1) << level;
        double minZ = 99, maxZ = -99;
        for (const TContourPoint& p : l->Segments[0]) {
            EXPECT_NEAR(p.X, level, 1e-12);
            minZ = std::min(minZ, p.Z);
            maxZ = std::max(maxZ, p.Z);
        }
        EXPECT_EQ(minZ, 0) << level;
        EXPECT_EQ(maxZ, 2) << level;
        if (level == 2.0) continue; // along the nodes both cells give the same lines
        // A chain never doubles back: its Z values run one way.
        const auto& seg = l->Segments[0];
        const bool up = seg.back().Z > seg.front().Z;
        for (size_t i = 1; i < seg.size(); ++i)
            EXPECT_EQ(seg[i].Z >= seg[i - 1].Z, up) << level;
    }
}

TEST(Contour, LevelsOutsideTheHeightsGiveNoSegment) {
    TContourSeries s(nullptr);
    FillPlane(s);
    SetLevels(s, {-1, 9});
    s.ContourLevels();
    EXPECT_EQ(s.Levels()->Get(0)->SegmentCount(), 0);
    EXPECT_EQ(s.Levels()->Get(1)->SegmentCount(), 0);
}

TEST(Contour, ClosedRingAroundAPeakEndsWhereItBegan) {
    TContourSeries s(nullptr);
    for (int z = 0; z <= 2; ++z)
        for (int x = 0; x <= 2; ++x)
            s.AddXYZ(x, x == 1 && z == 1 ? 4 : 0, z);
    s.FillGridIndex();
    SetLevels(s, {1});
    s.ContourLevels();
    const TContourLevel* l = s.Levels()->Get(0);
    ASSERT_EQ(l->SegmentCount(), 1);
    const auto& seg = l->Segments[0];
    EXPECT_NEAR(seg.front().X, seg.back().X, 1e-9);
    EXPECT_NEAR(seg.front().Z, seg.back().Z, 1e-9);
    for (const TContourPoint& p : seg) { // between the cell centres and 3/4 of each edge
        const double d = std::max(std::abs(p.X - 1), std::abs(p.Z - 1));
        EXPECT_GE(d, 0.5 - 1e-12);
        EXPECT_LE(d, 0.75 + 1e-12);
    }
    EXPECT_GE(seg.size(), 9u);
}

// Smoothing gives factor x count + 1 points of the library's B-spline: a closed
// ring still ends where it begins, an open line keeps its two ends, and with
// interpolation the curve passes through the middle point.
TEST(Contour, SmoothingKeepsEndsAndGivesFactorTimesCountPlusOnePoints) {
    struct TCase {
        const char* Name;
        bool Interpolate;
        std::vector<TPoint> Points;
        size_t Count;
        std::vector<std::pair<size_t, TPoint>> Expected; // index, point
    };
    const std::vector<TCase> cases = {
        {"closed square",
         false,
         {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}},
         21,
         {{0, {0, 0}}, {20, {0, 0}}}},
        {"closed square through",
         true,
         {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}},
         21,
         {{0, {0, 0}}, {5, {100, 0}}, {10, {100, 100}}, {20, {0, 0}}}},
        {"open arch", false, {{0, 0}, {100, 50}, {200, 0}}, 13, {{0, {0, 0}}, {12, {200, 0}}}},
        {"open arch through",
         true,
         {{0, 0}, {100, 50}, {200, 0}},
         13,
         {{0, {0, 0}}, {6, {100, 50}}, {12, {200, 0}}}},
        {"two points",
         false,
         {{0, 0}, {80, 40}},
         9,
         {{0, {0, 0}}, {1, {10, 5}}, {4, {40, 20}}, {8, {80, 40}}}},
        {"one point", false, {{7, 7}}, 1, {{0, {7, 7}}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSmoothPoints smooth;
        smooth.SetInterpolate(c.Interpolate);
        const std::vector<TPoint> out = smooth.Calculate(c.Points);
        ASSERT_EQ(out.size(), c.Count);
        for (const auto& [i, p] : c.Expected) {
            EXPECT_EQ(out[i].x, p.x) << i;
            EXPECT_EQ(out[i].y, p.y) << i;
        }
    }
}

// The joining rule read literally: every polyline searched in order, points
// inserted in place.
std::vector<TContourSegment>
JoinLiterally(const std::vector<std::pair<TContourPoint, TContourPoint>>& Pieces) {
    const auto manhattan = [](TContourPoint A, TContourPoint B) {
        return std::abs(A.X - B.X) + std::abs(A.Z - B.Z);
    };
    const auto near = [](TContourPoint A, TContourPoint B) {
        return std::abs(A.X - B.X) <= 0.001 && std::abs(A.Z - B.Z) <= 0.001;
    };
    std::vector<TContourSegment> segs;
    for (const auto& [a, b] : Pieces) {
        size_t i = 0;
        int hit = -1;
        for (; i < segs.size() && hit < 0; ++i) {
            const double d[4] = {manhattan(segs[i].front(), b), manhattan(segs[i].front(), a),
                                 manhattan(segs[i].back(), b), manhattan(segs[i].back(), a)};
            for (int k = 0; k < 4; ++k)
                if (d[k] <= 0.001 && d[k] <= *std::min_element(d, d + 4)) hit = k;
        }
        if (hit < 0) {
            segs.push_back({a, b});
            continue;
        }
        TContourSegment& s = segs[--i];
        const bool atFront = hit < 2;
        const TContourPoint p = hit == 0 || hit == 2 ? a : b;
        s.insert(atFront ? s.begin() : s.end(), p);
        for (size_t k = 0; k < segs.size(); ++k) {
            if (k == i) continue;
            const bool first = near(p, segs[k].front());
            if (!first && !near(p, segs[k].back())) continue;
            TContourSegment o = segs[k];
            if (first == atFront) std::reverse(o.begin(), o.end());
            if (atFront)
                s.insert(s.begin(), o.begin(), o.end() - 1);
            else
                s.insert(s.end(), o.begin() + 1, o.end());
            segs.erase(segs.begin() + static_cast<std::ptrdiff_t>(k));
            break;
        }
    }
    return segs;
}

// Points crowded round a bucket side at spacings around the tolerance, so
// near-but-unequal ends, ties and branchings are common.
TEST(Contour, ChainsJoinAsTheRuleReadLiterally) {
    std::mt19937 rng(2024);
    const double steps[] = {0.0004, 0.0007, 0.001, 0.0013, 0.03};
    for (int round = 0; round < 300; ++round) {
        const double step = steps[round % 5], base = round % 2 ? 0.02 : -0.02;
        std::uniform_int_distribution<int> q(0, 8);
        const auto point = [&] {
            return TContourPoint{base + (q(rng) - 4) * step, (q(rng) - 4) * step};
        };
        std::vector<std::pair<TContourPoint, TContourPoint>> pieces;
        TContourChains chains;
        for (int i = 0; i < 40; ++i) {
            pieces.emplace_back(point(), point());
            chains.AddLine(pieces.back().first, pieces.back().second);
        }
        const std::vector<TContourSegment> got = chains.TakeSegments(),
                                           want = JoinLiterally(pieces);
        ASSERT_EQ(got.size(), want.size()) << round;
        for (size_t s = 0; s < want.size(); ++s) {
            ASSERT_EQ(got[s].size(), want[s].size()) << round << " " << s;
            for (size_t k = 0; k < want[s].size(); ++k) {
                EXPECT_EQ(got[s][k].X, want[s][k].X) << round << " " << s << " " << k;
                EXPECT_EQ(got[s][k].Z, want[s][k].Z) << round << " " << s << " " << k;
            }
        }
    }
}

TEST(Contour, AutomaticLevelsAndTheSwitchOff) {
    TContourSeries s(nullptr);
    FillPlane(s);
    s.SetNumLevels(4);
    s.CreateAutoLevels();
    ASSERT_EQ(s.Levels()->Count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(s.Levels()->Get(i)->UpToValue(), i);
    EXPECT_TRUE(s.AutomaticLevels());
    s.SetNumLevels(6);
    EXPECT_TRUE(s.AutomaticLevels());
    s.CreateAutoLevels();
    s.Levels()->Get(2)->SetColor(clRed);
    EXPECT_FALSE(s.AutomaticLevels());
    EXPECT_EQ(s.NumLevels(), 6);
    EXPECT_EQ(s.LegendString(0, ltsPlain), "3.333"); // highest level first
    EXPECT_THROW(s.SetNumLevels(-1), ChartException);
}

// Reading a level's pen, or giving it the level's colour, makes it neither
// stored nor drawn and keeps automatic levels; any change to it does.
TEST(Contour, ALevelsPenIsItsOwnOnlyOnceChanged) {
    TChartPen other;
    other.SetWidth(3);
    const struct {
        const char* Name;
        std::function<void(TContourLevel*)> Change;
    } changes[] = {
        {"width", [](TContourLevel* l) { l->Pen()->SetWidth(2); }},
        {"style", [](TContourLevel* l) { l->Pen()->SetStyle(psDash); }},
        {"visible", [](TContourLevel* l) { l->Pen()->SetVisible(false); }},
        {"colour", [](TContourLevel* l) { l->Pen()->SetColor(clBlue); }},
        {"set", [&](TContourLevel* l) { l->SetPen(&other); }},
    };
    for (const auto& c : changes) {
        TContourSeries s(nullptr);
        FillPlane(s);
        s.CreateAutoLevels();
        TContourLevel* l = s.Levels()->Get(1);
        l->Pen()->Width();
        EXPECT_TRUE(s.AutomaticLevels()) << c.Name;
        EXPECT_FALSE(l->IsPenStored()) << c.Name;
        EXPECT_EQ(l->InternalPen(), s.Pen()) << c.Name;
        EXPECT_EQ(l->Pen()->Color(), l->Color()) << c.Name;
        EXPECT_EQ(l->PenIfAny(), nullptr) << c.Name;
        c.Change(l);
        EXPECT_FALSE(s.AutomaticLevels()) << c.Name;
        EXPECT_TRUE(l->IsPenStored()) << c.Name;
        EXPECT_EQ(l->InternalPen(), l->Pen()) << c.Name;
        l->SetPen(nullptr);
        EXPECT_FALSE(l->IsPenStored()) << c.Name;
        EXPECT_EQ(l->InternalPen(), s.Pen()) << c.Name;
    }
    // A level's colour reaches a pen only read, which stays not its own.
    TContourSeries s(nullptr);
    SetLevels(s, {1});
    TContourLevel* l = s.Levels()->Get(0);
    l->Pen();
    l->SetColor(clGreen);
    EXPECT_EQ(l->Pen()->Color(), clGreen);
    EXPECT_FALSE(l->IsPenStored());
}

TEST(Contour, MoreLevelsThanPointsAndMissingHeightsAreSafe) {
    TContourSeries s(nullptr);
    s.AddXYZ(0, 0, 0);
    s.AddXYZ(1, std::numeric_limits<double>::quiet_NaN(), 0);
    s.AddXYZ(0, 1, 1);
    s.AddXYZ(1, 2, 1);
    s.FillGridIndex();
    s.SetNumLevels(50);
    s.CreateAutoLevels(); // level colours of points that do not exist
    EXPECT_EQ(s.Levels()->Count(), 50);
    s.ContourLevels();
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(s.Levels()->Get(i)->SegmentCount(), 0);
}

// ---------------------------------------------------------------------------

struct TriCase {
    const char* Name;
    std::vector<std::array<double, 2>> Points;
    int Triangles;
    int Borders;
    const char* Error; // nullptr: no error
};

class TriangulationTest : public ::testing::TestWithParam<TriCase> {};

TEST_P(TriangulationTest, CountsOrError) {
    const TriCase& c = GetParam();
    std::vector<double> x, z;
    for (const auto& p : c.Points) {
        x.push_back(p[0]);
        z.push_back(p[1]);
    }
    if (c.Error) {
        try {
            TeeTriangulate(x, z);
            FAIL() << "no error";
        } catch (const ETriSurfaceException& e) {
            EXPECT_STREQ(e.what(), c.Error);
        }
        return;
    }
    const TTriangulation t = TeeTriangulate(x, z);
    EXPECT_EQ(t.NumTriangles(), c.Triangles);
    EXPECT_EQ(t.NumBorders(), c.Borders);
    // Every triangle counter-clockwise, every point used, the areas fill the hull.
    std::set<int> used;
    double area = 0;
    for (int i = 0; i < t.NumTriangles(); ++i) {
        const int a = t.Triangles[3 * i], b = t.Triangles[3 * i + 1], d = t.Triangles[3 * i + 2];
        const double cross = (x[b] - x[a]) * (z[d] - z[a]) - (z[b] - z[a]) * (x[d] - x[a]);
        EXPECT_GT(cross, 0);
        area += cross / 2;
        used.insert({a, b, d});
    }
    EXPECT_EQ(used.size(), c.Points.size());
    double hull = 0;
    for (int i = 0; i < t.NumBorders(); ++i) {
        const int a = t.Borders[3 * i], b = t.Borders[3 * i + 1];
        hull += (x[a] * z[b] - x[b] * z[a]) / 2;
    }
    EXPECT_NEAR(area, hull, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TriangulationTest,
    ::testing::Values(
        TriCase{"Square", {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 2, 4, nullptr},
        TriCase{"SquareWithCentre", {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5, 0.5}}, 4, 4, nullptr},
        TriCase{"ThinQuadPicksTheShortDiagonal", {{0, 0}, {10, 0}, {5, 1}, {5, -1}}, 2, 4, nullptr},
        TriCase{"PointOnTheBorder", {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 0}}, 3, 5, nullptr},
        TriCase{"FewerThanFour", {{0, 0}, {1, 0}, {0, 1}}, 0, 0, "Number of points must be >= 4"},
        TriCase{"Duplicated",
                {{0, 0}, {1, 0}, {1, 1}, {1, 0}},
                0,
                0,
                "Similar points - cannot execute"},
        TriCase{"Collinear",
                {{0, 0}, {1, 1}, {2, 2}, {5, 5}, {3, 3}},
                0,
                0,
                "All colinear data points"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Triangulation, ThinQuadUsesTheShortDiagonal) {
    const TTriangulation t = TeeTriangulate({0, 10, 5, 5}, {0, 0, 1, -1});
    for (int i = 0; i < 2; ++i) {
        std::set<int> tri(t.Triangles.begin() + 3 * i, t.Triangles.begin() + 3 * i + 3);
        EXPECT_TRUE(tri.count(2) && tri.count(3)); // both triangles share 5,1 - 5,-1
    }
}

TEST(Triangulation, SeriesRaisesBeforeDrawingAndKeepsItsPoints) {
    TTriSurfaceSeries s(nullptr);
    s.AddXYZ(0, 1, 0);
    s.AddXYZ(1, 2, 0);
    s.AddXYZ(1, 3, 0); // same X and Z as the point before
    s.AddXYZ(0, 4, 1);
    EXPECT_THROW(s.DoBeforeDrawValues(), ETriSurfaceException);
    EXPECT_EQ(s.Count(), 4);
    EXPECT_EQ(s.NumTriangles(), 0);
    s.SetYValue(2, 3);
    s.SetXValue(2, 2);
    s.DoBeforeDrawValues();
    EXPECT_TRUE(s.Triangulated());
    EXPECT_EQ(s.NumTriangles(), 2);
    s.Clear();
    EXPECT_FALSE(s.Triangulated());
}

// The border is part of the surface: with neither its lines nor its fill
// there is nothing to outline.
TEST(Triangulation, TheBorderDrawsOnlyWithTheSurface) {
    for (bool lines : {false, true}) {
        TChart chart(nullptr);
        chart.SetView3D(false);
        auto* s = new TTriSurfaceSeries(&chart);
        s->SetParentChart(&chart);
        for (auto [x, z] : {std::pair{0, 0}, {4, 0}, {4, 4}, {0, 4}, {2, 1}})
            s->AddXYZ(x, x + z, z);
        s->Brush()->SetStyle(bsClear);
        s->Pen()->SetVisible(lines);
        s->Pen()->SetColor(clBlue);
        s->Border()->SetVisible(true);
        s->Border()->SetColor(clRed);
        TBitmap b(300, 200);
        chart.Draw(b.Canvas(), TRect(0, 0, 300, 200));
        int red = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                red += b.Canvas()->Pixels(x, y) == clRed;
        EXPECT_EQ(red > 0, lines) << red;
    }
}

} // namespace
