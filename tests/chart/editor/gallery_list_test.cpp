// The gallery's page layout and sub-styles, the series list's colour column,
// and tab highlighting in the editor window.
#include "chart/control/series.h"
#include "chart/control/teeseriestypes.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teegallerypanel.h"
#include "chart/editor/teelisb.h"
#include "chart/editor/teeseriesicon.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/graphics/jpeg.h"
#include "support/forms_testing.h"
#include "platform/classes/props.h"
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

const AnsiString TestPage = "Test page";

// Registers Count line-series entries on the test page for one test.
class TTestPageScope {
public:
    explicit TTestPageScope(int Count) {
        for (int i = 0; i < Count; ++i) {
            auto t = std::make_unique<TTeeSeriesType>();
            t->SeriesClass = &TLineSeries::ClassInfo;
            t->GalleryPage = &TestPage;
            TeeSeriesTypes().Append(std::move(t));
        }
    }
    ~TTestPageScope() {
        TeeSeriesTypes().RemoveIf(
            [](const TTeeSeriesType& t) { return t.GalleryPage == &TestPage; });
    }
};

class GalleryTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBounds(0, 0, 460, 260);
        Panel = new TChartGalleryPanel(Host.get());
        Panel->SetParent(Host.get());
        Panel->SetBounds(0, 0, 452, 232);
        Host->Show();
    }
    std::unique_ptr<TForm> Host;
    TChartGalleryPanel* Panel = nullptr;
};

TEST_F(GalleryTest, ThirteenTypesLayOutInFourRowsAndFiveKeepThree) {
    const struct { int Types, Rows; } cases[] = {{13, 4}, {5, 3}, {12, 3}, {17, 5}};
    for (const auto& c : cases) {
        TTestPageScope scope(c.Types);
        Panel->CreateGalleryPage(TestPage);
        ASSERT_EQ(static_cast<int>(Panel->Charts().size()), c.Types);
        EXPECT_EQ(Panel->NumRows(), c.Rows) << c.Types;
        // The last chart sits in the last row, and every chart inside the panel.
        TGalleryChart* last = Panel->Charts().back();
        const int cellH = (Panel->Height() - Panel->BorderWidth() - Panel->BevelWidth()) / c.Rows;
        EXPECT_EQ(last->Top() / cellH, (c.Types - 1) / 4) << c.Types;
        EXPECT_LE(last->Top() + last->Height(), Panel->Height()) << c.Types;
    }
    // A stored grid too large to count in an int still holds five types in three rows.
    TTestPageScope scope(5);
    Panel->SetNumRows(1 << 30);
    Panel->CreateGalleryPage(TestPage);
    EXPECT_EQ(Panel->NumRows(), 3);
}

TEST_F(GalleryTest, SubGalleryChoiceStylesTheSelectedChartAndEscapeKeepsIt) {
    Panel->CreateGalleryPage("Standard");
    TGalleryChart* bar = nullptr;
    for (TGalleryChart* c : Panel->Charts())
        if (c->Series(0)->ClassType() == &TBarSeries::ClassInfo) bar = c;
    ASSERT_NE(bar, nullptr);
    Panel->SelectChart(bar);
    int offered = 0;
    {
        TPumpScript script;
        script.When([] { return dynamic_cast<TTeeSubGallery*>(Screen->ActiveForm()); }).Do([&] {
            auto* w = dynamic_cast<TTeeSubGallery*>(Screen->ActiveForm());
            offered = static_cast<int>(w->Gallery->Charts().size());
            SimulateKey(w->Gallery, VK_ESCAPE);
        });
        EXPECT_FALSE(Panel->ShowSubGallery());
    }
    EXPECT_GT(offered, 2);
    EXPECT_EQ(bar->Tag(), 0);
    {
        TPumpScript script;
        script.When([] { return dynamic_cast<TTeeSubGallery*>(Screen->ActiveForm()); }).Do([] {
            auto* w = dynamic_cast<TTeeSubGallery*>(Screen->ActiveForm());
            w->Gallery->SelectChart(w->Gallery->Charts()[2]);
            SimulateKey(w->Gallery, VK_RETURN);
        });
        // The triangle corner of the selected chart opens it.
        SimulateMouse(bar, TMouseAction::Down, mbLeft, 3, bar->Height() - 3);
        SimulateMouse(bar, TMouseAction::Up, mbLeft, 3, bar->Height() - 3);
        EXPECT_TRUE(script.Done());
    }
    TClass seriesClass = nullptr, functionClass = nullptr;
    int sub = -1;
    ASSERT_TRUE(Panel->GetSeriesClass(seriesClass, functionClass, sub));
    EXPECT_EQ(seriesClass, &TBarSeries::ClassInfo);
    EXPECT_EQ(sub, 2);
    EXPECT_EQ(static_cast<TBarSeries*>(bar->Series(0))->BarStyle(), bsPyramid);
}

class ListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        Build();
    }
    // A fresh chart with one bar series and its list, row 0 current.
    void Build() {
        Host.reset();
        Chart = std::make_unique<TChart>();
        Bar = new TBarSeries(Chart.get());
        Bar->SetName("Series1");
        Bar->SetParentChart(Chart.get());
        Bar->SetSeriesColor(clRed);
        Bar->FillSampleValues(4);
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBounds(0, 0, 320, 200);
        List = new TChartListBox(Host.get());
        List->SetParent(Host.get());
        List->SetBounds(0, 0, 300, 150);
        List->SetChart(Chart.get());
        Host->Show();
    }
    int Count(TColor Colour, int Left, int Right) {
        TBitmap face(List->Width(), List->Height());
        GrabControl(List, &face);
        int n = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = Left; x < Right; ++x)
                n += face.Canvas()->Pixels(x, y) == Colour;
        return n;
    }
    std::unique_ptr<TChart> Chart;
    TBarSeries* Bar = nullptr;
    std::unique_ptr<TForm> Host;
    TChartListBox* List = nullptr;
};

TEST_F(ListBoxTest, ColourColumnDoubleClickEditsTheColourAndCancelKeepsIt) {
    const int x = List->SectionLeft(TChartListBox::secColor) + 10;
    EXPECT_GT(Count(clRed, x - 8, x + 8), 20) << "legend symbol in the series colour";
    Bar->SetColorEachPoint(true);
    TStrictResponder responder;
    responder.ExpectCancel(TDialogKind::ColorDialog).ExpectColor(clBlue);
    TChartSeries* changed = nullptr;
    List->OnChangeColor = [&](TChartListBox*, TChartSeries* S) { changed = S; };
    SimulateDoubleClick(List, x, 12);
    EXPECT_EQ(Bar->SeriesColor(), clRed);
    EXPECT_TRUE(Bar->ColorEachPoint());
    EXPECT_EQ(changed, nullptr);
    SimulateDoubleClick(List, x, 12);
    EXPECT_EQ(Bar->SeriesColor(), clBlue);
    EXPECT_FALSE(Bar->ColorEachPoint());
    EXPECT_EQ(changed, Bar);
    EXPECT_TRUE(responder.Done());
    EXPECT_GT(Count(clBlue, x - 8, x + 8), 20);
    // The icon column shows the type's picture: not a blank cell.
    EXPECT_LT(Count(clWhite, 0, 24) + Count(clWindow, 0, 24), 24 * 24);
}

// Each switch, set through its published property, turns its act off.
TEST_F(ListBoxTest, SwitchesTurnOffWhatTheyGate) {
    struct THooksKept {
        TTeeAddGalleryProc Add = TeeAddGalleryProc;
        TTeeChangeGalleryProc Change = TeeChangeGalleryProc;
        ~THooksKept() {
            TeeAddGalleryProc = Add;
            TeeChangeGalleryProc = Change;
        }
    } kept;
    int galleryCalls = 0;
    TeeAddGalleryProc = [&](TComponent*, TCustomChart*, TChartSeries*) -> TChartSeries* {
        ++galleryCalls;
        return nullptr;
    };
    TeeChangeGalleryProc = [&](TComponent*, TChartSeries*&) -> TClass {
        ++galleryCalls;
        return nullptr;
    };
    const int iconX = 10, checkX = List->SectionLeft(TChartListBox::secActive) + 6;
    const int colourX = List->SectionLeft(TChartListBox::secColor) + 10;
    const struct {
        const char* Switch;
        std::function<bool()> Acts; // does the act, tells whether it happened
    } cases[] = {
        {"AllowAddSeries",
         [&] {
             SimulateKey(List, VK_INSERT);
             return galleryCalls > 0;
         }},
        {"AllowDeleteSeries",
         [&] {
             List->AskDelete = false;
             SimulateKey(List, VK_DELETE);
             return Chart->SeriesCount() == 0;
         }},
        {"AskDelete",
         [&] {
             TStrictResponder responder;
             if (List->AskDelete) responder.ExpectMessage("Delete Series1 ?", mrNo);
             SimulateKey(List, VK_DELETE);
             return Chart->SeriesCount() == 1;
         }},
        {"EnableChangeType",
         [&] {
             SimulateDoubleClick(List, iconX, 12);
             return galleryCalls > 0;
         }},
        {"EnableChangeColor",
         [&] {
             TStrictResponder responder;
             if (List->EnableChangeColor) responder.ExpectColor(clBlue);
             SimulateDoubleClick(List, colourX, 12);
             return Bar->SeriesColor() == clBlue;
         }},
        {"EnableDragSeries",
         [&] {
             bool accept = false;
             List->DragOver(List, 100, 12, dsDragMove, accept);
             return accept;
         }},
        {"ShowActiveCheck",
         [&] {
             SimulateMouse(List, TMouseAction::Down, mbLeft, checkX, 12);
             SimulateMouse(List, TMouseAction::Up, mbLeft, checkX, 12);
             return !Bar->Active();
         }},
    };
    for (const auto& c : cases)
        for (bool on : {true, false}) {
            Build();
            galleryCalls = 0;
            const TPropInfo* p = GetPropInfo(List->ClassType(), c.Switch);
            ASSERT_NE(p, nullptr) << c.Switch;
            p->SetOrd(List, on);
            EXPECT_EQ(c.Acts(), on) << c.Switch << (on ? " on" : " off");
        }
}

// The type's icon stands at the row's top-left corner, pixel for pixel.
TEST_F(ListBoxTest, TheIconSitsAtTheRowsTop) {
    List->SetBorderStyle(bsNone);
    List->ClearSelection();
    TBitmap face;
    GrabControl(List, &face);
    TBitmap* icon = TeeSeriesIcon(&TBarSeries::ClassInfo);
    ASSERT_NE(icon, nullptr);
    int differ = 0;
    // Inside the current row's focus frame.
    for (int y = 1; y < TeeSeriesIconSize; ++y)
        for (int x = 1; x < TeeSeriesIconSize; ++x)
            differ += face.Canvas()->Pixels(x, y) != icon->Canvas()->Pixels(x, y);
    EXPECT_EQ(differ, 0);
}

// A hidden column draws nothing and the columns after it move left by its width.
TEST_F(ListBoxTest, HiddenColumnsDrawNothingAndTheRestMoveLeft) {
    List->SetBorderStyle(bsNone);
    List->ClearSelection();
    // Row 0 inside the current row's focus frame.
    constexpr int W = 298, H = 22;
    auto row = [&] {
        TBitmap face;
        GrabControl(List, &face);
        std::vector<TColor> r;
        for (int y = 1; y <= H; ++y)
            for (int x = 1; x <= W; ++x)
                r.push_back(ColorToRGB(face.Canvas()->Pixels(x, y)));
        return r;
    };
    const std::vector<TColor> all = row();
    List->SetShowSeriesIcon(false);
    const std::vector<TColor> noIcon = row();
    int moved = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x + 26 < W; ++x)
            moved += noIcon[y * W + x] == all[y * W + x + 26];
    EXPECT_EQ(moved, H * (W - 26));
    EXPECT_EQ(List->SectionLeft(TChartListBox::secTitle), 16 + 26);
    const char* const shows[] = {"ShowSeriesIcon", "ShowActiveCheck", "ShowSeriesColor",
                                 "ShowSeriesTitle"};
    const TColor blank = ColorToRGB(List->Color());
    for (const char* only : shows) {
        for (const char* name : shows)
            GetPropInfo(List->ClassType(), name)->SetOrd(List, name == only);
        const std::vector<TColor> one = row();
        EXPECT_GT(std::count_if(one.begin(), one.end(), [&](TColor c) { return c != blank; }), 10)
            << only;
    }
    for (const char* name : shows)
        GetPropInfo(List->ClassType(), name)->SetOrd(List, 0);
    const std::vector<TColor> none = row();
    EXPECT_EQ(std::count(none.begin(), none.end(), blank), W * H);
}

TEST(EditorTabs, HighlightFollowsTheActiveTab) {
    TeeEditorStartup();
    TChart chart;
    TChartEditForm form(nullptr);
    form.SetChart(&chart);
    form.HighLightTabs = true;
    form.Show();
    form.SubPage->SelectPageByUser(form.TabLegend);
    EXPECT_TRUE(form.TabLegend->Highlighted());
    form.SubPage->SelectPageByUser(form.TabPanel);
    EXPECT_FALSE(form.TabLegend->Highlighted());
    EXPECT_TRUE(form.TabPanel->Highlighted());
    form.MainPage->SelectPageByUser(form.TabData);
    EXPECT_TRUE(form.TabData->Highlighted());
    form.MainPage->SelectPageByUser(form.TabChart);
    EXPECT_FALSE(form.TabData->Highlighted());
}

} // namespace

namespace {

TEST_F(GalleryTest, PointerOverASampleFramesItLeavingErasesItAndRefusingChartsGetNone) {
    TChart owner;
    auto* line = new TLineSeries(&owner);
    line->SetParentChart(&owner);
    Panel->ChangeMode = true;
    Panel->ChangingSeries = line;
    Panel->CreateGalleryPage("Standard");
    TGalleryChart* open = nullptr;
    TGalleryChart* refused = nullptr;
    for (TGalleryChart* c : Panel->Charts()) {
        if (c->Cursor() == crNo && !refused) refused = c;
        if (c->Cursor() != crNo && c != Panel->SelectedChart() && !open) open = c;
    }
    ASSERT_TRUE(open && refused);
    struct TEdge {
        const char* Name;
        int X, Y;   // in the chart; -1: the far edge, -2: the middle
        TColor Lit; // under the pointer
    };
    const TEdge edges[] = {{"left", 0, -2, clWhite},
                           {"top", -2, 0, clWhite},
                           {"right", -1, -2, clGray},
                           {"bottom", -2, -1, clGray}};
    auto at = [](TBitmap& B, const TEdge& E, int W, int H) {
        const int x = E.X == -1 ? W - 1 : E.X == -2 ? W / 2 : E.X;
        const int y = E.Y == -1 ? H - 1 : E.Y == -2 ? H / 2 : E.Y;
        return ColorToRGB(B.Canvas()->Pixels(x, y));
    };
    for (TGalleryChart* c : {open, refused}) {
        const int w = c->Width(), h = c->Height();
        TBitmap before, entered, left;
        GrabControl(c, &before);
        SimulateMouseEnter(c);
        GrabControl(c, &entered);
        SimulateMouseLeave(c);
        GrabControl(c, &left);
        if (const char* dir = std::getenv("QM_SHOTS")) {
            TPngImage png;
            png.Bitmap()->Assign(&entered);
            png.SaveToFile(AnsiString(dir) + "/gallery_frame_" + (c == open ? "open" : "refused") +
                           ".png");
        }
        for (const TEdge& e : edges) {
            if (c == open) {
                EXPECT_EQ(at(entered, e, w, h), ColorToRGB(e.Lit)) << e.Name;
                EXPECT_EQ(at(left, e, w, h), ColorToRGB(clBtnFace)) << e.Name;
            } else {
                EXPECT_EQ(at(entered, e, w, h), at(before, e, w, h)) << "refused " << e.Name;
            }
        }
    }
}

} // namespace
