// Chart pens, brushes, fonts, view options, gradient and shadow settings:
// defaults, change notifications, assignment and what is stored.
#include "chart/engine/tecanvas.h"
#include "platform/classes/props.h"
#include "platform/rtl/rtlmath.h"
#include <cmath>
#include <cstdlib>
#include <string>
#include <gtest/gtest.h>

namespace {

struct Counter {
    int Count = 0;
    TNotifyEvent Event() {
        return [this](TObject*) { ++Count; };
    }
};

// Whether a writer would put the property into a form file.
bool IsStored(TObject* Object, const char* Name) {
    const TPropInfo* p = GetPropInfo(Object->ClassType(), Name);
    EXPECT_NE(p, nullptr) << Name;
    return p && p->IsStored(Object) && !p->IsDefault(Object);
}

} // namespace

TEST(ChartPen, FamilyDefaultsAndStorage) {
    TChartHiddenPen hidden;
    EXPECT_FALSE(hidden.Visible());
    EXPECT_FALSE(IsStored(&hidden, "Visible"));
    hidden.SetVisible(true);
    EXPECT_TRUE(IsStored(&hidden, "Visible"));

    TChartPen pen;
    EXPECT_FALSE(IsStored(&pen, "Visible"));
    pen.SetVisible(false);
    EXPECT_TRUE(IsStored(&pen, "Visible"));

    TDottedGrayPen dotted;
    EXPECT_EQ(dotted.Color(), 8421504);
    EXPECT_EQ(dotted.Style(), psDot);
    EXPECT_FALSE(IsStored(&dotted, "Color"));
    EXPECT_EQ(TDarkGrayPen().Color(), clGray);
    EXPECT_EQ(TChartAxisPen().Width(), 2);
    EXPECT_EQ(TWhitePen().Color(), 16777215);
}

TEST(ChartBrush, ImageIsLazyOwnedAndCopied) {
    TChartBrush brush;
    EXPECT_EQ(brush.Color(), clDefault);
    EXPECT_EQ(brush.ImageIfAny(), nullptr);
    TBitmap bitmap(2, 2);
    brush.Image()->SetGraphic(&bitmap);
    ASSERT_NE(brush.ImageIfAny(), nullptr);

    TChartBrush copy;
    copy.Assign(&brush);
    ASSERT_NE(copy.ImageIfAny(), nullptr);
    EXPECT_NE(copy.ImageIfAny(), brush.ImageIfAny());
    EXPECT_EQ(copy.ImageIfAny()->Width(), 2);
    copy.SetImage(nullptr);
    EXPECT_EQ(copy.ImageIfAny(), nullptr);
}

TEST(TeeFont, DefaultsAndStorage) {
    TTeeFont font;
    EXPECT_EQ(font.Color(), clBlack);
    EXPECT_EQ(font.Name(), GetDefaultFontName());
    EXPECT_EQ(font.Size(), GetDefaultFontSize());
    EXPECT_EQ(GetDefaultFontName(), "Arial");
    EXPECT_EQ(GetDefaultFontSize(), 8);
    EXPECT_FALSE(IsStored(&font, "Height"));
    EXPECT_FALSE(IsStored(&font, "Name"));
    EXPECT_FALSE(IsStored(&font, "Color"));
    font.SetSize(12);
    font.SetColor(clRed);
    EXPECT_TRUE(IsStored(&font, "Height"));
    EXPECT_TRUE(IsStored(&font, "Color"));
}

TEST(TeeFont, SubObjectsAreLazyAndOutlineStartsHidden) {
    Counter changes;
    TTeeFont font(changes.Event());
    EXPECT_EQ(font.OutLineIfAny(), nullptr);
    EXPECT_EQ(font.ShadowIfAny(), nullptr);
    EXPECT_FALSE(font.OutLine()->Visible());
    font.Shadow()->SetHorizSize(2);
    EXPECT_EQ(changes.Count, 1); // sub-objects notify through the font's event

    TTeeFont other;
    other.Assign(&font);
    ASSERT_NE(other.ShadowIfAny(), nullptr);
    EXPECT_EQ(other.ShadowIfAny()->HorizSize(), 2);
    TTeeFont plain;
    font.Assign(&plain); // a source without sub-objects frees ours
    EXPECT_EQ(font.ShadowIfAny(), nullptr);
    EXPECT_EQ(font.OutLineIfAny(), nullptr);
}

namespace {
class CountingOptions : public TView3DOptions {
public:
    int Repaints = 0;
    void Repaint() override { ++Repaints; }
};
} // namespace

TEST(View3DOptions, RepaintOnlyOnChange) {
    CountingOptions o;
    o.SetElevation(345);
    o.SetZoom(100);
    o.SetOrthogonal(true);
    EXPECT_EQ(o.Repaints, 0);
    o.SetTilt(10);
    o.SetZoomText(false);
    EXPECT_EQ(o.Repaints, 2);
}

TEST(View3DOptions, ZoomAndScrollEventsSeeTheRightValues) {
    CountingOptions o;
    int zoomSeen = 0, argSeen = 0;
    o.OnChangedZoom = [&](int z) {
        zoomSeen = o.Zoom();
        argSeen = z;
    };
    o.SetZoom(150);
    EXPECT_EQ(zoomSeen, 100);
    EXPECT_EQ(argSeen, 150);
    EXPECT_EQ(o.Zoom(), 150);

    std::vector<std::pair<bool, int>> scrolls;
    o.OnScrolled = [&](bool horiz) {
        scrolls.push_back({horiz, horiz ? o.HorizOffset() : o.VertOffset()});
    };
    o.SetHorizOffset(5);
    o.SetVertOffset(-3);
    o.SetVertOffset(-3);
    ASSERT_EQ(scrolls.size(), 2u);
    EXPECT_EQ(scrolls[0], std::make_pair(true, 5));
    EXPECT_EQ(scrolls[1], std::make_pair(false, -3));
}

TEST(View3DOptions, OrthoRatio) {
    TView3DOptions o;
    EXPECT_NEAR(o.CalcOrthoRatio(), 1.0, 1e-12);
    o.SetOrthoAngle(135);
    EXPECT_NEAR(o.CalcOrthoRatio(), 1.0, 1e-12);
    o.SetOrthoAngle(60);
    EXPECT_NEAR(o.CalcOrthoRatio(), std::sqrt(3.0), 1e-12);
    o.SetOrthoAngle(90);
    EXPECT_GT(o.CalcOrthoRatio(), 1e10);
    o.SetOrthogonal(false);
    EXPECT_EQ(o.CalcOrthoRatio(), 1.0);
}

TEST(Gradient, MidColorSwitchesUseOnAndOff) {
    Counter changes;
    TTeeGradient g(changes.Event());
    EXPECT_EQ(g.MidColor(), clNone);
    g.SetMidColor(clNone);
    EXPECT_EQ(changes.Count, 0);
    g.SetMidColor(clRed);
    EXPECT_TRUE(g.UseMiddle());
    EXPECT_EQ(g.MidColor(), clRed);
    g.SetMidColor(clRed);
    EXPECT_EQ(changes.Count, 1);
    g.SetMidColor(clNone);
    EXPECT_FALSE(g.UseMiddle());
    EXPECT_EQ(g.MidColor(), clNone);
    EXPECT_EQ(changes.Count, 2);
}

TEST(Shadow, SizeTransparencyAndStorage) {
    TTeeShadow s;
    EXPECT_EQ(s.Color(), clSilver);
    EXPECT_FALSE(IsStored(&s, "Color"));
    EXPECT_FALSE(IsStored(&s, "HorizSize"));
    s.SetHorizSize(3);
    s.SetVertSize(5);
    EXPECT_EQ(s.Size(), 5);
    s.SetSize(2);
    EXPECT_EQ(s.HorizSize(), 2);
    EXPECT_EQ(s.VertSize(), 2);
    EXPECT_TRUE(IsStored(&s, "HorizSize"));
    s.SetTransparency(150);
    EXPECT_EQ(s.Transparency(), 100);
    s.SetTransparency(-5);
    EXPECT_EQ(s.Transparency(), 0);
}

// The defaults are taken once, when the unit starts: each language is checked
// in a program started afresh under that locale.
TEST(TeeFontDeathTest, DefaultsFollowAJapaneseSystem) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* old = std::getenv("LC_ALL");
    const std::string saved = old ? old : "";
    const auto defaultsUnder = [](const char* Locale) {
        setenv("LC_ALL", Locale, 1);
        return std::string(GetDefaultFontName().c_str()) + " " +
               std::to_string(GetDefaultFontSize());
    };
    // The platform's default font: its name and its size in points.
    TFont platform;
    const std::string japanese = std::string(platform.Name().c_str()) + " " +
                                 std::to_string(-MulDiv(platform.Height(), 72, 96));
    EXPECT_EXIT(std::exit(defaultsUnder("ja_JP.UTF-8") == japanese ? 0 : 1),
                ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(std::exit(defaultsUnder("en_US.UTF-8") == "Arial 8" ? 0 : 1),
                ::testing::ExitedWithCode(0), "");
    if (old)
        setenv("LC_ALL", saved.c_str(), 1);
    else
        unsetenv("LC_ALL");
}
