// Map polygons filled in their palette colours, own brushes, ranges, clicks,
// deleting values with their polygons, sample shapes and chart files.
#include "chart/control/series_fixture.h"
#include "chart/control/teestore.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teemapseries.h"
#include "platform/classes/streams.h"
#include <cstring>
#include <functional>
#include <string>

namespace {

class StatMapTest : public SeriesChartTest {
protected:
    StatMapTest() { TeeExtraSeriesStartup(); }
    // A square of side 2 with its lower left corner at (X, Y).
    TTeePolygon* Square(TMapSeries* S, double X, double Y, double Z) {
        TTeePolygon* p = S->Shapes()->Add();
        p->AddXY(X, Y);
        p->AddXY(X + 2, Y);
        p->AddXY(X + 2, Y + 2);
        p->AddXY(X, Y + 2);
        p->SetZ(Z);
        return p;
    }
};

TEST_F(StatMapTest, PolygonsFilledInTheirPaletteColours) {
    auto* s = Add<TMapSeries>();
    s->SetEndColor(clYellow);
    s->SetStartColor(clBlue);
    Square(s, 0, 0, 0);
    Square(s, 3, 0, 1);
    Square(s, 6, 0, 0.5);
    ASSERT_EQ(s->Count(), 3);
    EXPECT_EQ(s->MinXValue(), 0);
    EXPECT_EQ(s->MaxXValue(), 8);
    EXPECT_EQ(s->MaxYValue(), 2);
    Ranges(-1, 9, -1, 3);
    Render("map");
    EXPECT_EQ(Pixel(XPos(1), YPos(1)), clYellow); // lowest Z: end colour
    EXPECT_EQ(Pixel(XPos(4), YPos(1)), clBlue);   // highest Z: start colour
    const TColor mid = Pixel(XPos(7), YPos(1));
    EXPECT_EQ(mid, s->ValueColor(2));
    EXPECT_NE(mid, clYellow);
    EXPECT_NE(mid, clBlue);
    EXPECT_EQ(Pixel(XPos(2.5), YPos(1)), clWhite); // between the shapes
    EXPECT_EQ(s->Clicked(XPos(4), YPos(1)), 1);
    EXPECT_EQ(s->Clicked(XPos(2.5), YPos(1)), -1);
}

TEST_F(StatMapTest, OwnBrushSurvivesSeriesBrushChanges) {
    auto* s = Add<TMapSeries>();
    TTeePolygon* p = Square(s, 0, 0, 0);
    p->SetParentBrush(false);
    p->Brush()->SetColor(clGreen);
    s->Brush()->SetStyle(bsClear);
    Ranges(-1, 3, -1, 3);
    Render("map_own_brush");
    EXPECT_EQ(Pixel(XPos(1), YPos(1)), clGreen);
}

// A triangle's gradient in 3D fills the triangle where it lands at its depth,
// not its bounding rectangle and not its flat position.
TEST_F(StatMapTest, GradientIn3DFillsTheProjectedPolygonOnly) {
    Chart->SetView3D(true);
    auto* s = Add<TMapSeries>();
    TTeePolygon* p = s->Shapes()->Add();
    for (auto [x, y] : {std::pair{0.0, 0.0}, {4.0, 0.0}, {0.0, 4.0}})
        p->AddXY(x, y);
    p->Gradient()->SetVisible(true);
    p->Gradient()->SetStartColor(clLime);
    p->Gradient()->SetEndColor(clLime);
    Ranges(-1, 5, -1, 5);
    Render("map_gradient_3d");
    const int z = s->CalcZPos(0);
    const auto at = [&](double X, double Y) {
        const TPoint q = Chart->Canvas()->Calculate3DPosition(XPos(X), YPos(Y), z);
        return Pixel(q.x, q.y);
    };
    EXPECT_EQ(at(1, 1), clLime);
    EXPECT_EQ(at(0.3, 3.3), clLime);
    EXPECT_EQ(at(3, 3), clWhite); // inside the bounds, outside the triangle
    EXPECT_EQ(at(-0.5, 2), clWhite);
}

TEST_F(StatMapTest, DeletingAValueFreesItsPolygon) {
    auto* s = Add<TMapSeries>();
    EXPECT_EQ(s->MinXValue(), 0);
    EXPECT_EQ(s->MaxYValue(), 0);
    Render("map_empty");
    for (int i = 0; i < 5; ++i)
        Square(s, i * 3, 0, i);
    TTeePolygon* fifth = s->Shapes()->Get(4);
    s->Delete(3);
    ASSERT_EQ(s->Shapes()->Count(), 4);
    EXPECT_EQ(s->Count(), 4);
    EXPECT_EQ(s->Shapes()->Get(3), fifth);
    EXPECT_EQ(fifth->Z(), 4);
    EXPECT_THROW(s->Shapes()->Get(4), EListError);
    s->Clear();
    EXPECT_EQ(s->Shapes()->Count(), 0);
}

// However polygons go or move, each one left keeps its own text, Z and colour:
// their values go with them.
TEST_F(StatMapTest, PolygonsRemovedOrMovedAnyWayTakeTheirValuesAlong) {
    const TColor colours[] = {clRed, clLime, clBlue, clYellow, clFuchsia};
    const struct {
        const char* Way;
        std::function<void(TMapSeries*)> Remove;
        const char* Left; // texts of the polygons left
    } ways[] = {
        {"list range", [](TMapSeries* S) { S->Shapes()->Delete(1, 2); }, "ADE"},
        {"list range past the end", [](TMapSeries* S) { S->Shapes()->Delete(3, 9); }, "ABC"},
        {"list one", [](TMapSeries* S) { S->Shapes()->Delete(1); }, "ACDE"},
        {"freeing one", [](TMapSeries* S) { delete S->Shapes()->Get(1); }, "ACDE"},
        {"series range", [](TMapSeries* S) { S->Delete(1, 2); }, "ADE"},
        {"list clear", [](TMapSeries* S) { S->Shapes()->Clear(); }, ""},
        {"list swap", [](TMapSeries* S) { S->Shapes()->Swap(0, 1); }, "BACDE"},
        {"list swap back to front", [](TMapSeries* S) { S->Shapes()->Swap(4, 1); }, "AECDB"},
        {"series swap", [](TMapSeries* S) { S->SwapValueIndex(2, 3); }, "ABDCE"},
    };
    for (const auto& way : ways) {
        auto* s = Add<TMapSeries>();
        for (int i = 0; i < 5; ++i) {
            TTeePolygon* p = Square(s, i * 3, 0, i);
            p->SetText(AnsiString(char('A' + i)));
            p->SetColor(colours[i]);
        }
        way.Remove(s);
        const std::string left = way.Left;
        ASSERT_EQ(s->Shapes()->Count(), int(left.size())) << way.Way;
        EXPECT_EQ(s->Count(), int(left.size())) << way.Way;
        Ranges(-1, 15, -1, 3);
        Render("map_removed");
        for (int i = 0; i < int(left.size()); ++i) {
            const int was = left[size_t(i)] - 'A';
            TTeePolygon* p = s->Shapes()->Get(i);
            EXPECT_EQ(p->Text(), AnsiString(left.substr(size_t(i), 1))) << way.Way;
            EXPECT_EQ(p->Z(), was) << way.Way;
            EXPECT_EQ(p->Color(), colours[was]) << way.Way;
            EXPECT_EQ(Pixel(XPos(was * 3 + 1), YPos(1)), colours[was]) << way.Way << " " << i;
        }
        TComponent::Free(s);
    }
}

// Values added without polygons are taken by the next polygons in order; a
// polygon beyond them brings its own value. Polygon i keeps value i.
TEST_F(StatMapTest, APolygonAddedTakesTheFirstValueWithoutOne) {
    const struct {
        const char* Case;
        const char* Steps; // p: a polygon added, a letter: a value added with that text
        const char* Texts; // of the values, '.' for none; the polygons are the first
        int Polygons;
    } rows[] = {
        {"values, then fewer polygons", "abcpp", "abc", 2},
        {"values, then as many polygons", "abpp", "ab", 2},
        {"values, then more polygons", "abpppp", "ab..", 4},
        {"polygons, a value, a polygon", "ppcp", "..c", 3},
        {"polygons, values, a polygon", "pcdp", ".cd", 2},
        {"polygons only", "ppp", "...", 3},
    };
    for (const auto& row : rows) {
        auto* s = Add<TMapSeries>();
        int polygons = 0;
        for (const char* c = row.Steps; *c; ++c)
            if (*c == 'p') {
                TTeePolygon* p = Square(s, polygons * 3, 0, 10 + polygons);
                EXPECT_EQ(p->Index(), polygons) << row.Case;
                ++polygons;
            } else {
                s->AddXYZ(s->Count(), 0, 0, AnsiString(c, 1), clTeeColor);
            }
        const std::string texts = row.Texts;
        ASSERT_EQ(s->Count(), int(texts.size())) << row.Case;
        ASSERT_EQ(s->Shapes()->Count(), row.Polygons) << row.Case;
        for (int i = 0; i < s->Count(); ++i) {
            const std::string want = texts[size_t(i)] == '.' ? "" : texts.substr(size_t(i), 1);
            EXPECT_EQ(s->GetXLabel(i), AnsiString(want.c_str())) << row.Case << " " << i;
            if (i >= row.Polygons) continue;
            TTeePolygon* p = s->Shapes()->Get(i);
            EXPECT_EQ(p->Text(), AnsiString(want.c_str())) << row.Case << " " << i;
            EXPECT_EQ(p->Z(), 10 + i) << row.Case << " " << i;
            EXPECT_EQ(s->ZValue(i), 10 + i) << row.Case << " " << i;
        }
        TComponent::Free(s);
    }
}

TEST_F(StatMapTest, SampleShapesAndChartFiles) {
    auto chart = std::make_unique<TChart>(nullptr);
    chart->SetName("Chart1");
    auto* s = new TMapSeries(chart.get());
    s->SetName("Series1");
    s->SetParentChart(chart.get());
    s->FillSampleValues();
    ASSERT_EQ(s->Shapes()->Count(), 12);
    EXPECT_EQ(s->Shapes()->Get(0)->Text(), "A");
    EXPECT_EQ(s->Shapes()->Get(11)->Text(), "L");
    EXPECT_EQ(s->Shapes()->Get(2)->Points()->Count(), 15);
    EXPECT_EQ(s->Shapes()->Get(1)->Color(), TColor(0x0000FF));
    TMemoryStream first;
    SaveChartToStream(chart.get(), &first, true, false);
    first.SetPosition(0);
    TCustomChart* loaded = new TChart(nullptr);
    std::unique_ptr<TCustomChart> own(loaded);
    LoadChartFromStream(loaded, &first);
    ASSERT_EQ(loaded->SeriesCount(), 1);
    EXPECT_EQ(loaded->Series(0)->Count(), 12);
    TMemoryStream second;
    SaveChartToStream(loaded, &second, true, false);
    ASSERT_EQ(first.Size(), second.Size());
    EXPECT_EQ(0, std::memcmp(first.Memory(), second.Memory(), size_t(first.Size())));
}

// The polygons travel in the chart file: vertices, own brush and pen, gradient
// and switches come back in both forms, with and without point data, and a
// polygon added afterwards pairs with a new value.
TEST_F(StatMapTest, PolygonsComeBackFromChartFiles) {
    for (const bool text : {false, true})
        for (const bool data : {true, false}) {
            SCOPED_TRACE(std::string(text ? "text" : "binary") + (data ? " with data" : ""));
            TChart chart(nullptr);
            auto* s = new TMapSeries(&chart);
            s->SetName("Series1");
            s->SetParentChart(&chart);
            Square(s, 0, 0, 0.25)->SetText("north");
            TTeePolygon* own = Square(s, 3, 1, 0.75);
            own->SetParentBrush(false);
            own->Brush()->SetColor(clRed);
            own->Brush()->SetStyle(bsCross);
            own->SetParentPen(false);
            own->Pen()->SetWidth(3);
            own->Gradient()->SetVisible(true);
            own->Gradient()->SetStartColor(clLime);
            own->Points()->AddXY(3.5, 2.5);
            TMemoryStream m;
            SaveChartToStream(&chart, &m, data, text);
            m.SetPosition(0);
            TCustomChart* back = new TChart(nullptr);
            std::unique_ptr<TCustomChart> keep(back);
            LoadChartFromStream(back, &m);
            auto* r = dynamic_cast<TMapSeries*>(back->Series(0));
            ASSERT_NE(r, nullptr);
            ASSERT_EQ(r->Shapes()->Count(), 2);
            ASSERT_EQ(r->Count(), 2);
            TTeePolygon* p = r->Shapes()->Get(1);
            ASSERT_EQ(p->Points()->Count(), 5);
            EXPECT_EQ(p->Points()->XValues()->Value(4), 3.5);
            EXPECT_EQ(p->Points()->YValues()->Value(4), 2.5);
            EXPECT_FALSE(p->ParentBrush());
            EXPECT_EQ(p->Brush()->Color(), clRed);
            EXPECT_EQ(p->Brush()->Style(), bsCross);
            EXPECT_FALSE(p->ParentPen());
            EXPECT_EQ(p->Pen()->Width(), 3);
            EXPECT_TRUE(p->Gradient()->Visible());
            EXPECT_EQ(p->Gradient()->StartColor(), clLime);
            EXPECT_TRUE(r->Shapes()->Get(0)->ParentBrush());
            if (data) {
                EXPECT_EQ(r->Shapes()->Get(0)->Text(), "north");
                EXPECT_EQ(p->Z(), 0.75);
            }
            Square(r, 6, 0, 1);
            EXPECT_EQ(r->Shapes()->Count(), 3);
            EXPECT_EQ(r->Count(), 3);
        }
}

TEST_F(StatMapTest, APolygonCountBeyondTheBlockIsRefused) {
    TChart chart(nullptr);
    auto* s = new TMapSeries(&chart);
    s->SetName("Series1");
    s->SetParentChart(&chart);
    Square(s, 0, 0, 0);
    TMemoryStream m;
    SaveChartToStream(&chart, &m, false, true);
    std::string file(static_cast<const char*>(m.Memory()), size_t(m.Size()));
    // The block starts with the polygon count, 1, as four little-endian bytes.
    const size_t at = file.find("Polygons = {");
    ASSERT_NE(at, std::string::npos);
    const size_t hex = file.find_first_of("0123456789ABCDEF", at + 12);
    file.replace(hex, 8, "FFFFFF7F");
    ExpectRefused(file);
}

// Settings polygons gained later follow the block only when a polygon uses
// one: other maps keep the bytes older files have, and older files still read.
TEST_F(StatMapTest, LaterPolygonSettingsFollowTheBlockOnlyWhenUsed) {
    TChart chart(nullptr);
    auto* s = new TMapSeries(&chart);
    s->SetName("Series1");
    s->SetParentChart(&chart);
    Square(s, 0, 0, 0);
    Square(s, 3, 0, 1);
    const auto blockSize = [&chart] {
        TMemoryStream m;
        SaveChartToStream(&chart, &m, true, false);
        const std::string file(static_cast<const char*>(m.Memory()), size_t(m.Size()));
        const size_t at = file.find("\x08Polygons\x0A");
        int32_t n = -1;
        if (at != std::string::npos) std::memcpy(&n, file.data() + at + 10, 4);
        return n;
    };
    // A count, then each polygon's 16 fields, vertex count and 4 vertices.
    const int32_t old = 4 + 2 * (17 * 4 + 4 * 16);
    EXPECT_EQ(blockSize(), old);
    TTeePolygon* p = s->Shapes()->Get(1);
    p->Pen()->SetEndStyle(esFlat);
    p->Gradient()->SetRadialY(7);
    EXPECT_EQ(blockSize(), old + 4 + 2 * 4 * 4);
    TMemoryStream m;
    SaveChartToStream(&chart, &m, true, false);
    m.SetPosition(0);
    TCustomChart* back = new TChart(nullptr);
    std::unique_ptr<TCustomChart> keep(back);
    LoadChartFromStream(back, &m);
    auto* r = dynamic_cast<TMapSeries*>(back->Series(0));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Shapes()->Get(1)->Pen()->EndStyle(), esFlat);
    EXPECT_EQ(r->Shapes()->Get(1)->Gradient()->RadialY(), 7);
    EXPECT_EQ(r->Shapes()->Get(0)->Pen()->EndStyle(), s->Shapes()->Get(0)->Pen()->EndStyle());
    EXPECT_EQ(r->Shapes()->Get(0)->Gradient()->RadialY(), 0);
}

// Putting a polygon at index i gives polygon i the other one's shape and settings,
// and value i its text, Z and colour; the other polygons and values stay.
TEST_F(StatMapTest, PuttingAPolygonSetsItsValueToo) {
    auto* s = Add<TMapSeries>();
    for (int i = 0; i < 3; ++i)
        Square(s, i * 3, 0, i)->SetText(AnsiString(char('A' + i)));
    auto* other = Add<TMapSeries>();
    TTeePolygon* from = Square(other, 3, 0, 7);
    from->SetText("X");
    from->SetColor(clFuchsia);
    from->SetParentBrush(false);
    from->Brush()->SetStyle(bsCross);
    from->AddXY(4, 3); // five vertices
    TTeePolygon* same = s->Shapes()->Get(1);
    s->Shapes()->Put(1, from);
    ASSERT_EQ(s->Shapes()->Count(), 3);
    ASSERT_EQ(s->Count(), 3);
    EXPECT_EQ(s->Shapes()->Get(1), same);
    EXPECT_EQ(same->Text(), "X");
    EXPECT_EQ(same->Z(), 7);
    EXPECT_EQ(same->Color(), clFuchsia);
    EXPECT_FALSE(same->ParentBrush());
    EXPECT_EQ(same->Brush()->Style(), bsCross);
    EXPECT_EQ(same->Points()->Count(), 5);
    EXPECT_EQ(other->Shapes()->Get(0)->Text(), "X");
    for (int i : {0, 2}) {
        EXPECT_EQ(s->Shapes()->Get(i)->Text(), AnsiString(char('A' + i)));
        EXPECT_EQ(s->Shapes()->Get(i)->Z(), i);
    }
    // From the same map: polygon 0 becomes a copy of polygon 2.
    s->Shapes()->Put(0, s->Shapes()->Get(2));
    EXPECT_EQ(s->Shapes()->Get(0)->Text(), "C");
    EXPECT_EQ(s->Shapes()->Get(0)->Z(), 2);
    EXPECT_EQ(s->Shapes()->Get(0)->Points()->XValues()->Value(0), 6);
    EXPECT_THROW(s->Shapes()->Put(3, from), EListError);
}

} // namespace
