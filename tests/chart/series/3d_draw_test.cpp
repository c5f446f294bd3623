// 3D series in pictures (pixels at positions worked out from the axes), every
// type drawn in 2D and 3D, bad data, chart files and the gallery registration.
#include "chart/control/series_fixture.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/series/bar3d.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teepoin3.h"
#include "chart/series/teesurfa.h"
#include "chart/series/teetrisurface.h"
#include "platform/classes/streams.h"
#include <cmath>
#include <functional>
#include <cstring>
#include <limits>

namespace {

class Series3DTest : public SeriesChartTest {
protected:
    Series3DTest() { TeeExtraSeriesStartup(); }
};

// A 3x3 surface with Y = Z seen in 2D: each cell is the rectangle between its
// rows, filled with the colour of its corner on the walk's side.
TEST_F(Series3DTest, SurfaceCellsInPaletteColours2D) {
    auto* s = Add<TSurfaceSeries>();
    s->SetStartColor(0x0000FF);
    s->SetEndColor(0xFF0000);
    s->Pen()->SetVisible(false);
    for (int z = 1; z <= 3; ++z)
        for (int x = 1; x <= 3; ++x)
            s->AddXYZ(x, z, z);
    Ranges(1, 3, 1, 3);
    Render("surface2d");
    // Rows are walked from the back; a cell takes the colour of its corner on
    // the later row: rows 1-2 that of Y = 2 (the middle), rows 2-3 that of Y = 3.
    const int xm = (XPos(1) + XPos(2)) / 2;
    EXPECT_EQ(Pixel(xm, (YPos(1) + YPos(2)) / 2), 0x7F0080);
    EXPECT_EQ(Pixel(xm, (YPos(2) + YPos(3)) / 2), 0x0000FF);
    EXPECT_EQ(Pixel(xm, YPos(3) - 3), clWhite); // nothing above the top row
}

TEST_F(Series3DTest, SurfaceCornerAtItsProjectedPosition3D) {
    Chart->SetView3D(true);
    Chart->View3DOptions()->SetOrthogonal(false);
    Chart->View3DOptions()->SetRotation(345);
    Chart->View3DOptions()->SetElevation(345);
    auto* s = Add<TSurfaceSeries>();
    s->SetUseColorRange(false);
    s->Pen()->SetVisible(false);
    for (int z = 1; z <= 3; ++z)
        for (int x = 1; x <= 3; ++x)
            s->AddXYZ(x, 1 + x * 0.5 + z * 0.25, z);
    Render("surface3d");
    // The middle of the front-left cell, projected from its four corners.
    TCanvas3D* c = Chart->Canvas();
    int sx = 0, sy = 0;
    for (auto [x, z] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
        const int i = z * 3 + x;
        const TPoint p = c->Calculate3DPosition(s->CalcXPos(i), s->CalcYPos(i), s->CalcZPos(i));
        sx += p.x;
        sy += p.y;
    }
    EXPECT_EQ(Pixel(sx / 4, sy / 4), clRed);
    EXPECT_GT(Count(clRed, TRect(0, 0, W, H)), 1000);
}

TEST_F(Series3DTest, ContourOfAPlaneCrossesWhereExpected2D) {
    auto* s = Add<TContourSeries>();
    for (int z = 0; z <= 2; ++z)
        for (int x = 0; x <= 4; ++x)
            s->AddXYZ(x, x, z);
    s->SetNumLevels(4); // 0, 1, 2, 3
    s->SetColorEachPoint(false);
    s->SetUseColorRange(false);
    s->Pen()->SetColor(clBlue);
    Ranges(0, 4, 0, 2);
    Render("contour2d");
    ASSERT_EQ(s->Levels()->Count(), 4);
    for (int i = 1; i < 4; ++i)
        s->Levels()->Get(i)->SetColor(clBlue);
    Render("contour2d");
    for (int level = 1; level <= 3; ++level)
        EXPECT_EQ(Pixel(XPos(level), YPos(1)), clBlue) << level;
    EXPECT_EQ(Pixel(XPos(1.5), YPos(1)), clWhite);
    EXPECT_EQ(s->Clicked(XPos(2), YPos(1)), 2);
    EXPECT_EQ(s->Clicked(XPos(2.5), YPos(1)), -1);
}

// Smoothed, the open line of a plane's level still runs from the grid's first
// row to its last.
TEST_F(Series3DTest, SmoothedContourReachesTheGridsEdge2D) {
    auto* s = Add<TContourSeries>();
    for (int z = 0; z <= 2; ++z)
        for (int x = 0; x <= 4; ++x)
            s->AddXYZ(x, x, z);
    s->SetColorEachPoint(false);
    s->SetUseColorRange(false);
    s->Pen()->SetColor(clBlue);
    s->Levels()->AddLevel()->SetUpToValue(1.5);
    s->Levels()->Get(0)->SetColor(clBlue);
    s->Smoothing()->SetActive(true);
    Ranges(0, 4, 0, 2);
    Render("contour2d_smoothed");
    const int x = XPos(1.5);
    const int from = std::min(YPos(0), YPos(2)), to = std::max(YPos(0), YPos(2));
    for (int y = from + 1; y < to; ++y)
        EXPECT_EQ(Pixel(x, y), clBlue) << y;
}

// A canvas that turns all the way round: it takes a surface in one call and
// notes every node pair it is given.
class TWholeSurfaceCanvas : public TTeeCanvas3D {
public:
    struct TPair {
        TPoint3D P0, P1;
        TColor C0, C1;
    };
    bool GetSupportsFullRotation() override { return true; }
    void Surface3D(TTeeCanvasSurfaceStyle AStyle, bool ASameBrush, int NumX, int NumZ,
                   const TCanvas3DPlaneFunction& CalcPoints) override {
        ++Surfaces;
        Style = AStyle;
        SameBrush = ASameBrush;
        Size = {NumX, NumZ};
        for (int x = 1; x <= NumX; ++x)
            for (int z = 1; z < NumZ; ++z) {
                TPair p{};
                if (CalcPoints(x, z, p.P0, p.P1, p.C0, p.C1)) Pairs.push_back(p);
            }
    }
    void PlaneFour3D(const TFourPoints& Points, int Z0, int Z1) override {
        ++Planes;
        TTeeCanvas3D::PlaneFour3D(Points, Z0, Z1);
    }
    TTeeBlend* BeginBlending(const TRect& R, TTeeTransparency T) override {
        ++Blends;
        return TTeeCanvas3D::BeginBlending(R, T);
    }
    int Surfaces = 0, Planes = 0, Blends = 0;
    TTeeCanvasSurfaceStyle Style = tcsSolid;
    bool SameBrush = true;
    TPoint Size;
    std::vector<TPair> Pairs;
};

TEST_F(Series3DTest, SurfaceOnAFullRotationCanvasIsOneCallForTheWholeGrid) {
    struct TCase {
        const char* Name;
        std::function<void(TSurfaceSeries*)> Set;
        TTeeCanvasSurfaceStyle Style;
        int Blends;
    };
    const TCase cases[] = {
        {"solid", [](TSurfaceSeries*) {}, tcsSolid, 0},
        {"wire", [](TSurfaceSeries* S) { S->SetWireFrame(true); }, tcsWire, 0},
        {"dots", [](TSurfaceSeries* S) { S->SetDotFrame(true); }, tcsDot, 0},
        {"transparent", [](TSurfaceSeries* S) { S->SetTransparency(50); }, tcsSolid, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Chart->FreeAllSeries();
        Chart->SetView3D(true);
        auto owned = std::make_unique<TWholeSurfaceCanvas>();
        TWholeSurfaceCanvas* canvas = owned.get();
        Chart->SetInternalCanvas(std::move(owned));
        auto* s = Add<TSurfaceSeries>();
        // Four columns, three rows; the node (3, 2) has no height to draw.
        for (int z = 1; z <= 3; ++z)
            for (int x = 1; x <= 4; ++x)
                s->AddXYZ(x, x == 3 && z == 2 ? std::nan("") : x + z, z);
        c.Set(s);
        Render(c.Name);
        EXPECT_EQ(canvas->Surfaces, 1);
        EXPECT_EQ(canvas->Planes, 0);
        EXPECT_EQ(canvas->Style, c.Style);
        EXPECT_FALSE(canvas->SameBrush); // palette colours
        EXPECT_EQ(canvas->Blends, c.Blends);
        EXPECT_EQ(canvas->Size, TPoint(4, 3));
        // 4 columns x 2 pairs, less the two that touch the empty node.
        ASSERT_EQ(canvas->Pairs.size(), 6u);
        const auto& first = canvas->Pairs.front(); // column 1, rows 1 and 2
        const int a = s->GridIndex(1, 1), b = s->GridIndex(1, 2);
        EXPECT_EQ(first.P0, (TPoint3D{s->CalcXPos(a), s->CalcYPos(a), s->CalcZPos(a)}));
        EXPECT_EQ(first.P1, (TPoint3D{s->CalcXPos(b), s->CalcYPos(b), s->CalcZPos(b)}));
        EXPECT_EQ(first.C0, s->ValueColor(a));
        EXPECT_EQ(first.C1, s->ValueColor(b));
        EXPECT_NE(first.C0, first.C1);
    }
}

TEST_F(Series3DTest, ColourGridNodesAreCentredPixels) {
    auto* s = Add<TColorGridSeries>();
    s->Pen()->SetVisible(false);
    TBitmap b(3, 2);
    const TColor colours[2][3] = {{clRed, clLime, clBlue}, {clYellow, clFuchsia, clAqua}};
    for (int z = 0; z < 2; ++z)
        for (int x = 0; x < 3; ++x)
            b.Canvas()->SetPixel(x, z, colours[z][x]);
    s->SetBitmap(&b);
    EXPECT_EQ(s->Count(), 6);
    EXPECT_TRUE(s->CenteredPoints());
    Render("colorgrid");
    EXPECT_EQ(s->NumXValues(), 3);
    EXPECT_EQ(s->NumZValues(), 2);
    for (int z = 0; z < 2; ++z)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(Pixel(XPos(x), YPos(z)), colours[z][x]) << x << "," << z;
            EXPECT_EQ(s->Clicked(XPos(x), YPos(z)), x * 2 + z);
        }
}

TEST_F(Series3DTest, TowerStandsOnItsNodeFromTheOrigin) {
    Chart->SetView3D(true);
    Chart->View3DOptions()->SetOrthogonal(true);
    auto* s = Add<TTowerSeries>();
    s->SetUseColorRange(false);
    s->Pen()->SetVisible(false);
    s->SetUseOrigin(true);
    s->SetOrigin(5);
    s->AddXYZ(1, 8, 1);
    s->AddXYZ(2, 2, 1); // below the origin: drawn downwards
    Ranges(0, 3, 0, 10);
    Render("tower");
    const TPoint up = Chart->Canvas()->Calculate3DPosition(XPos(1), YPos(6.5), 0);
    const TPoint down = Chart->Canvas()->Calculate3DPosition(XPos(2), YPos(3.5), 0);
    EXPECT_EQ(Pixel(up.x, up.y), clRed);
    EXPECT_EQ(Pixel(down.x, down.y), clRed);
    const TPoint gap = Chart->Canvas()->Calculate3DPosition(XPos(1), YPos(3.5), 0);
    EXPECT_NE(Pixel(gap.x, gap.y), clRed);
}

TEST_F(Series3DTest, Point3DLineAndBar3DFromItsOffset) {
    auto* b = Add<TBar3DSeries>();
    b->BarPen()->SetVisible(false);
    b->AddBar(1, 3, 6); // offset above the value: from 6 down to 3
    Ranges(0, 2, 0, 10);
    Render("bar3d");
    EXPECT_EQ(Pixel(XPos(1), YPos(4.5)), clRed);
    EXPECT_NE(Pixel(XPos(1), YPos(2)), clRed);
    EXPECT_NE(Pixel(XPos(1), YPos(7)), clRed);
    EXPECT_EQ(b->MaxYValue(), 6);
}

// ---------------------------------------------------------------------------
// Every type: sample values drawn in 2D and 3D, and bad data.

using TMaker = TChartSeries* (*)(TChart*);
template <typename T> TChartSeries* Make(TChart* C) {
    auto* s = new T(C);
    s->SetParentChart(C);
    return s;
}
const std::vector<std::pair<const char*, TMaker>> AllTypes = {
    {"Surface", Make<TSurfaceSeries>},      {"WaterFall", Make<TWaterFallSeries>},
    {"Contour", Make<TContourSeries>},      {"ColorGrid", Make<TColorGridSeries>},
    {"Vector3D", Make<TVector3DSeries>},    {"Tower", Make<TTowerSeries>},
    {"Point3D", Make<TPoint3DSeries>},      {"Bar3D", Make<TBar3DSeries>},
    {"TriSurface", Make<TTriSurfaceSeries>}};

TEST_F(Series3DTest, EveryTypeDrawsItsSampleIn2DAnd3D) {
    for (auto [name, make] : AllTypes)
        for (bool is3D : {false, true}) {
            Chart->FreeAllSeries();
            Chart->SetView3D(is3D);
            TChartSeries* s = make(Chart.get());
            s->SetSeriesColor(clRed);
            s->FillSampleValues();
            ASSERT_GT(s->Count(), 0) << name;
            Render(std::string("sample_") + name + (is3D ? "_3d" : "_2d"));
            const TRect r = Chart->ChartRect();
            EXPECT_GT(W * H - Count(clWhite, TRect(0, 0, W, H)), 50) << name << is3D;
            (void)r;
        }
}

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

TEST_F(Series3DTest, BadDataGivesADrawingOrAClearError) {
    const std::vector<std::pair<const char*, std::vector<std::array<double, 3>>>> sets = {
        {"empty", {}},
        {"nan", {{0, NaN, 0}, {1, 1, 0}, {0, 2, 1}, {1, NaN, 1}, {NaN, 1, 2}, {2, 3, NaN}}},
        {"inf", {{0, Inf, 0}, {1, -Inf, 0}, {0, 2, 1}, {1, 3, 1}}},
        {"row", {{0, 1, 0}, {1, 2, 0}, {2, 3, 0}, {3, 1, 0}}},
        {"column", {{0, 1, 0}, {0, 2, 1}, {0, 3, 2}, {0, 1, 3}}},
        {"wide", {{0, 1, 0}, {1e15, 2, 1e15}, {5, 1, 5}, {3, 2, 1}}}};
    for (auto [name, make] : AllTypes)
        for (const auto& [dataName, points] : sets)
            for (bool is3D : {false, true}) {
                Chart->FreeAllSeries();
                Chart->SetView3D(is3D);
                TChartSeries* s = make(Chart.get());
                for (const auto& p : points) {
                    if (auto* s3 = dynamic_cast<TCustom3DSeries*>(s))
                        s3->AddXYZ(p[0], p[1], p[2]);
                    else
                        s->AddXY(p[0], p[1]);
                }
                try {
                    Render("bad");
                } catch (const ChartException& e) {
                    EXPECT_GT(std::strlen(e.what()), 10u) << name << " " << dataName;
                }
            }
}

TEST_F(Series3DTest, ThousandByThousandSurfaceDraws) {
    Chart->SetView3D(true);
    auto* s = Add<TSurfaceSeries>();
    s->Pen()->SetVisible(false);
    s->OnGetYValue = [](TChartSeries*, int X, int Z) { return std::sin(X * 0.01) + Z * 0.001; };
    s->CreateValues(1000, 1000);
    ASSERT_EQ(s->Count(), 1000000);
    Render("surface1000");
    EXPECT_GT(W * H - Count(clWhite, TRect(0, 0, W, H)), 10000);
}

// ---------------------------------------------------------------------------

TEST_F(Series3DTest, ChartFilesRoundTripByteIdenticalWithData) {
    for (auto [name, make] : AllTypes) {
        auto chart = std::make_unique<TChart>(nullptr);
        chart->SetName("Chart1");
        TChartSeries* s = make(chart.get());
        s->SetName("Series1");
        s->FillSampleValues(6);
        if (auto* c = dynamic_cast<TContourSeries*>(s)) {
            c->SetNumLevels(3);
            c->CreateAutoLevels();
            c->Levels()->Get(1)->SetColor(clGreen); // manual levels are stored
        }
        if (auto* p = dynamic_cast<TCustom3DPaletteSeries*>(s)) p->SetMidColor(clYellow);
        TMemoryStream first;
        SaveChartToStream(chart.get(), &first, true, false);
        first.SetPosition(0);
        TCustomChart* loaded = new TChart(nullptr);
        LoadChartFromStream(loaded, &first);
        std::unique_ptr<TCustomChart> own(loaded);
        ASSERT_EQ(loaded->SeriesCount(), 1) << name;
        TChartSeries* back = loaded->Series(0);
        EXPECT_EQ(back->ClassName(), s->ClassName());
        ASSERT_EQ(back->Count(), s->Count()) << name;
        for (int k = 0; k < back->ValuesList()->Count(); ++k)
            for (int i = 0; i < s->Count(); ++i)
                EXPECT_EQ(back->ValuesList()->Get(k)->Value(i), s->ValuesList()->Get(k)->Value(i))
                    << name << " list " << k;
        TMemoryStream second;
        SaveChartToStream(loaded, &second, true, false);
        ASSERT_EQ(first.Size(), second.Size()) << name;
        EXPECT_EQ(0, std::memcmp(first.Memory(), second.Memory(), size_t(first.Size()))) << name;
    }
}

TEST(Gallery3D, EveryTypeIsRegisteredOnItsPage) {
    TeeExtraSeriesStartup();
    const std::vector<std::tuple<TClass, const char*, const char*>> expected = {
        {&TSurfaceSeries::ClassInfo, "Surface", "3D"},
        {&TContourSeries::ClassInfo, "Contour", "3D"},
        {&TWaterFallSeries::ClassInfo, "Water Fall", "3D"},
        {&TColorGridSeries::ClassInfo, "Color Grid", "3D"},
        {&TVector3DSeries::ClassInfo, "Vector 3D", "3D"},
        {&TTowerSeries::ClassInfo, "Tower", "3D"},
        {&TPoint3DSeries::ClassInfo, "Point 3D", "3D"},
        {&TTriSurfaceSeries::ClassInfo, "Triangle Surf.", "3D"},
        {&TBar3DSeries::ClassInfo, "Bar 3D", "Other"}};
    for (const auto& [cls, name, page] : expected) {
        TTeeSeriesType* t = TeeSeriesTypes().Find(cls);
        ASSERT_NE(t, nullptr) << name;
        EXPECT_EQ(t->DescriptionText(), name);
        EXPECT_EQ(t->GalleryPageText(), page);
        EXPECT_EQ(t->NumGallerySeries, 1);
        EXPECT_EQ(GetClass(cls->Name), cls) << name; // chart files find it by name
    }
}

} // namespace

// Turning the view round the vertical axis brings the left wall from behind the
// series to the front; the surface's own left side follows the chart.
TEST_F(Series3DTest, SurfaceSidesFollowTheChartWalls) {
    Chart->SetView3D(true);
    Chart->SetView3DWalls(false);
    Chart->View3DOptions()->SetOrthogonal(false);
    auto* s = Add<TSurfaceSeries>();
    s->SetUseColorRange(false);
    s->Pen()->SetVisible(false);
    s->SideBrush()->SetStyle(bsSolid);
    s->SideBrush()->SetColor(clLime);
    for (int z = 1; z <= 3; ++z)
        for (int x = 1; x <= 3; ++x)
            s->AddXYZ(x, x == 1 ? 9 : 1, z);
    for (int rotation : {345, 15, 300, 60}) {
        Chart->View3DOptions()->SetRotation(rotation);
        Render("sides");
        // The middle of the left side, halfway between its top edge and the floor.
        TCanvas3D* c = Chart->Canvas();
        const int z = s->CalcZPos(3), top = s->CalcYPos(3), floor = s->CalcYPos(1);
        const TPoint mid = c->Calculate3DPosition(s->CalcXPos(3), (top + floor) / 2, z);
        EXPECT_EQ(Chart->DrawLeftWallFirst(), rotation > 180) << rotation;
        EXPECT_EQ(Chart->DrawRightWallAfter(), rotation > 180) << rotation;
        EXPECT_EQ(Pixel(mid.x, mid.y), clLime) << rotation;
    }
}
