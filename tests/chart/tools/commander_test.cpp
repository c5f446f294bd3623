// The commander toolbar under the forms layer's mouse: its layout, the drag
// modes and the label, the 3D toggle, copy, save, edit and print, and its link
// to the chart through chart files and the chart's life.
#include "chart/control/series.h"
#include "chart/control/teecommander.h"
#include "chart/control/teedraw3d.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teeproco.h"
#include "chart/control/teestore.h"
#include "platform/classes/streams.h"
#include "platform/forms/buttons.h"
#include "platform/graphics/clipbrd.h"
#include "platform/rtl/format.h"
#include "platform/rtl/sysutils.h"
#include "platform/win32/kernel.h"
#include <cmath>
#include "support/forms_testing.h"
#include <cstdio>
#include <gtest/gtest.h>

namespace {

// A canvas that may turn all the way round.
class TFullRotationCanvas : public TTeeCanvas3D {
public:
    bool GetSupportsFullRotation() override { return true; }
};

class CommanderTest : public ::testing::Test {
protected:
    void SetUp() override {
        Chart = std::make_unique<TChart>();
        Chart->SetBevelOuter(bvNone);
        Chart->SetBounds(0, 0, 400, 300);
        Series = new TLineSeries(Chart.get());
        Series->SetParentChart(Chart.get());
        for (int i = 0; i <= 10; ++i)
            Series->AddXY(i, i * 10);
        Commander = std::make_unique<TTeeCommander>(nullptr);
        Commander->SetPanel(Chart.get());
        Draw();
    }
    void Draw() {
        TBitmap picture(400, 300);
        Chart->Draw(picture.Canvas(), TRect(0, 0, 400, 300));
    }
    void Drag(TMouseButton B, int X0, int Y0, std::initializer_list<TPoint> Moves) {
        SimulateMouse(Chart.get(), TMouseAction::Down, B, X0, Y0);
        TPoint last(X0, Y0);
        for (const TPoint& p : Moves) {
            SimulateMouse(Chart.get(), TMouseAction::Move, B, p.x, p.y);
            last = p;
        }
        SimulateMouse(Chart.get(), TMouseAction::Up, B, last.x, last.y);
    }
    TView3DOptions* View() { return Chart->View3DOptions(); }
    AnsiString LabelText() { return Commander->Label()->Caption(); }

    std::unique_ptr<TChart> Chart;
    TLineSeries* Series = nullptr;
    std::unique_ptr<TTeeCommander> Commander;
};

TEST_F(CommanderTest, ButtonsSitInOrderWithTheirHintsGlyphsAndGroups) {
    struct TRow {
        TSpeedButton* Button;
        int Left;
        const char* Hint;
        int Group;
    };
    const TRow rows[] = {
        {Commander->ButtonNormal(), 4, "Normal", 1}, {Commander->ButtonRotate(), 39, "Rotate", 1},
        {Commander->ButtonMove(), 68, "Move", 1},    {Commander->ButtonZoom(), 97, "Zoom", 1},
        {Commander->ButtonDepth(), 126, "Depth", 1}, {Commander->Button3D(), 155, "3D", 2},
        {Commander->ButtonEdit(), 190, "Edit", 0},   {Commander->ButtonPrint(), 219, "Print", 0},
        {Commander->ButtonCopy(), 248, "Copy", 0},   {Commander->ButtonSave(), 277, "Save", 0},
    };
    for (const TRow& r : rows) {
        ASSERT_NE(r.Button, nullptr) << r.Hint;
        EXPECT_EQ(r.Button->BoundsRect(), TRect(r.Left, 4, r.Left + 25, 29)) << r.Hint;
        EXPECT_EQ(r.Button->Hint(), r.Hint);
        EXPECT_EQ(r.Button->GroupIndex(), r.Group) << r.Hint;
        EXPECT_FALSE(r.Button->Glyph()->Empty()) << r.Hint;
        EXPECT_TRUE(r.Button->Enabled()) << r.Hint;
    }
    EXPECT_EQ(Commander->Label()->Left(), 306);
    EXPECT_EQ(Commander->Label()->Top(), 12);
    EXPECT_TRUE(Commander->ButtonNormal()->Down());
    SimulateClick(Commander->ButtonZoom());
    EXPECT_TRUE(Commander->ButtonZoom()->Down());
    EXPECT_FALSE(Commander->ButtonNormal()->Down());
    EXPECT_EQ(LabelText(), "Drag Chart to Zoom");
}

TEST_F(CommanderTest, EnablingFollowsTheKindOfPanelBound) {
    TTeeCommander loose(nullptr);
    EXPECT_FALSE(loose.ButtonNormal()->Enabled());
    TDraw3D plain(nullptr);
    loose.SetPanel(&plain);
    EXPECT_TRUE(loose.ButtonRotate()->Enabled());
    EXPECT_TRUE(loose.ButtonCopy()->Enabled());
    EXPECT_FALSE(loose.ButtonDepth()->Enabled());
    EXPECT_FALSE(loose.ButtonEdit()->Enabled());
    EXPECT_FALSE(loose.ButtonSave()->Enabled());
    SimulateClick(loose.ButtonMove());
    EXPECT_EQ(loose.Label()->Caption(), "Drag Panel to Move");
}

// Each mode's drag, the view values it leaves and what the label shows.
struct TModeCase {
    const char* Name;
    TSpeedButton* (TTeeCommander::*Button)() const;
    TMouseButton Mouse;
    bool FullRotation;
    int X0, Y0;
    std::vector<TPoint> Moves;
    std::function<void(TView3DOptions*)> Before;
    std::function<void(TChart*)> Expect;
    const char* Label;
};

class CommanderModeTest : public CommanderTest, public ::testing::WithParamInterface<TModeCase> {};

TEST_P(CommanderModeTest, DragChangesTheViewAndTheLabelShowsIt) {
    const TModeCase& c = GetParam();
    if (c.FullRotation) Chart->SetInternalCanvas(std::make_unique<TFullRotationCanvas>());
    Chart->SetView3D(false);
    if (c.Before) c.Before(View());
    SimulateClick((Commander.get()->*c.Button)());
    SimulateMouse(Chart.get(), TMouseAction::Down, c.Mouse, c.X0, c.Y0);
    for (const TPoint& p : c.Moves)
        SimulateMouse(Chart.get(), TMouseAction::Move, c.Mouse, p.x, p.y);
    EXPECT_EQ(LabelText(), c.Label);
    SimulateMouse(Chart.get(), TMouseAction::Up, c.Mouse, c.Moves.back().x, c.Moves.back().y);
    EXPECT_TRUE(Chart->View3D());
    EXPECT_TRUE(Commander->Button3D()->Down());
    c.Expect(Chart.get());
    // The chart's own zoom and scroll stayed out of it.
    EXPECT_TRUE(Chart->BottomAxis()->Automatic());
    EXPECT_FALSE(Commander->Dragging());
}

const TModeCase ModeCases[] = {
    // 40 px of 400 is 9 degrees; without full rotation 345 + 9 stays below 360.
    {"Rotate",
     &TTeeCommander::ButtonRotate,
     mbLeft,
     false,
     200,
     150,
     {{240, 120}},
     nullptr,
     [](TChart* C) {
         EXPECT_EQ(C->View3DOptions()->Rotation(), 354);
         EXPECT_EQ(C->View3DOptions()->Elevation(), 354);
         EXPECT_FALSE(C->View3DOptions()->Orthogonal());
     },
     "Rotation: 354\xB0 Elevation: 354\xB0"},
    // Steps add up move by move; the limits hold without full rotation.
    {"RotateLimited",
     &TTeeCommander::ButtonRotate,
     mbLeft,
     false,
     0,
     150,
     {{200, 150}, {400, 0}, {600, 0}},
     nullptr,
     [](TChart* C) {
         EXPECT_EQ(C->View3DOptions()->Rotation(), 90);
         EXPECT_EQ(C->View3DOptions()->Elevation(), 360);
     },
     "Rotation: 90\xB0 Elevation: 360\xB0"},
    {"RotateFull",
     &TTeeCommander::ButtonRotate,
     mbLeft,
     true,
     0,
     100,
     {{400, 100}},
     [](TView3DOptions* V) { V->SetRotation(300); },
     [](TChart* C) { EXPECT_EQ(C->View3DOptions()->Rotation(), 30); },
     "Rotation: 30\xB0 Elevation: 345\xB0"},
    {"Move",
     &TTeeCommander::ButtonMove,
     mbLeft,
     false,
     100,
     100,
     {{130, 190}, {180, 200}},
     nullptr,
     [](TChart* C) {
         EXPECT_EQ(C->View3DOptions()->HorizOffset(), 80);
         EXPECT_EQ(C->View3DOptions()->VertOffset(), 100);
     },
     "Horiz.Offset: 80 Vert.Offset: 100"},
    // Outside normal mode the right button moves whatever mode is down.
    {"RightMoves",
     &TTeeCommander::ButtonZoom,
     mbRight,
     false,
     100,
     100,
     {{90, 120}},
     nullptr,
     [](TChart* C) {
         EXPECT_EQ(C->View3DOptions()->HorizOffset(), -10);
         EXPECT_EQ(C->View3DOptions()->VertOffset(), 20);
         EXPECT_EQ(C->View3DOptions()->Zoom(), 100);
     },
     "Zoom: 100 %"},
    // Every move adds a step measured from the button-down point, at least 1.
    {"Zoom",
     &TTeeCommander::ButtonZoom,
     mbLeft,
     false,
     200,
     250,
     {{200, 200}, {200, 200}},
     nullptr,
     [](TChart* C) { EXPECT_EQ(C->View3DOptions()->Zoom(), 102); },
     "Zoom: 102 %"},
    {"ZoomFloor",
     &TTeeCommander::ButtonZoom,
     mbLeft,
     false,
     200,
     0,
     {{200, 300}, {200, 300}},
     [](TView3DOptions* V) { V->SetZoom(6); },
     [](TChart* C) { EXPECT_EQ(C->View3DOptions()->Zoom(), 5); },
     "Zoom: 5 %"},
};

INSTANTIATE_TEST_SUITE_P(Modes, CommanderModeTest, ::testing::ValuesIn(ModeCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(CommanderTest, DepthFollowsTheDistanceFromTheButtonDownPoint) {
    const double d = std::hypot(Chart->ChartWidth(), Chart->ChartHeight());
    ASSERT_GT(d, 300);
    SimulateClick(Commander->ButtonDepth());
    SimulateMouse(Chart.get(), TMouseAction::Down, mbLeft, 300, 200);
    SimulateMouse(Chart.get(), TMouseAction::Move, mbLeft, 100, 200);
    SimulateMouse(Chart.get(), TMouseAction::Move, mbLeft, 330, 160); // 50 px away, any way
    const int p = static_cast<int>(std::nearbyint(50 * 200 / d));
    EXPECT_EQ(Chart->Chart3DPercent(), p);
    EXPECT_EQ(LabelText(), "3D: " + IntToStr(p) + " %");
    SimulateMouse(Chart.get(), TMouseAction::Move, mbLeft, 1300, 1200);
    EXPECT_EQ(Chart->Chart3DPercent(), 100);
    SimulateMouse(Chart.get(), TMouseAction::Up, mbLeft, 1300, 1200);
    // On a panel without axes the depth stays put.
    TDraw3D plain(nullptr);
    plain.SetBounds(0, 0, 200, 200);
    Commander->SetPanel(&plain);
    SimulateClick(Commander->ButtonDepth());
    SimulateMouse(&plain, TMouseAction::Down, mbLeft, 10, 10);
    SimulateMouse(&plain, TMouseAction::Move, mbLeft, 150, 150);
    EXPECT_EQ(LabelText(), "");
    SimulateMouse(&plain, TMouseAction::Up, mbLeft, 150, 150);
    Commander->SetPanel(Chart.get());
}

TEST_F(CommanderTest, NormalModeLeavesTheDragToTheChartWhichZooms) {
    const TRect r = Chart->ChartRect();
    int zooms = 0;
    Chart->OnZoom = [&](TObject*) { ++zooms; };
    Drag(mbLeft, r.Left + 20, r.Top + 20, {{r.Left + 120, r.Top + 120}});
    EXPECT_EQ(zooms, 1);
    EXPECT_FALSE(Chart->BottomAxis()->Automatic());
    EXPECT_FALSE(Commander->Dragging());
    EXPECT_EQ(View()->Zoom(), 100);
}

TEST_F(CommanderTest, NormalModeDragExplodesThePieSliceUnderTheMouse) {
    Chart->RemoveAllSeries();
    auto* pie = new TPieSeries(Chart.get());
    pie->SetParentChart(Chart.get());
    pie->AddPie(10, "a");
    pie->AddPie(30, "b");
    Chart->SetView3D(false);
    Draw();
    SimulateClick(Commander->ButtonNormal());
    EXPECT_EQ(LabelText(), "Drag a Pie Slice to Explode it");
    const int x = pie->CircleCenterX(), y = pie->CircleCenterY() + pie->CircleSizeY() / 4;
    const int slice = pie->Clicked(x, y);
    ASSERT_GE(slice, 0);
    const int dy = pie->CircleSizeY() / 5;
    SimulateMouse(Chart.get(), TMouseAction::Down, mbLeft, x, y);
    SimulateMouse(Chart.get(), TMouseAction::Move, mbLeft, x, y + dy);
    const int e = static_cast<int>(
        std::nearbyint(dy * 100.0 / std::hypot(pie->CircleSizeX(), pie->CircleSizeY())));
    EXPECT_EQ(pie->ExplodedSlice()->Get(slice), e);
    EXPECT_EQ(LabelText(), Format("Slice: %d Exploded: %d %%", {slice, e}));
    SimulateMouse(Chart.get(), TMouseAction::Up, mbLeft, x, y + dy);
    EXPECT_TRUE(Chart->BottomAxis()->Automatic());

    // Without exploding, the pie is rotated like any chart and keeps its slices.
    Commander->SetEnablePieExploding(false);
    View()->SetRotation(345);
    SimulateClick(Commander->ButtonRotate());
    Drag(mbLeft, 100, 100, {{140, 100}});
    EXPECT_EQ(View()->Rotation(), 354);
    EXPECT_EQ(pie->ExplodedSlice()->Get(slice), e);
}

TEST_F(CommanderTest, ThreeDButtonSwitchesTheViewAndFollowsIt) {
    ASSERT_TRUE(Commander->Button3D()->Down());
    SimulateClick(Commander->Button3D());
    EXPECT_FALSE(Chart->View3D());
    SimulateClick(Commander->Button3D());
    EXPECT_TRUE(Chart->View3D());
    Chart->SetView3D(false); // changed elsewhere: the button follows
    EXPECT_FALSE(Commander->Button3D()->Down());
}

TEST_F(CommanderTest, CopyPutsABitmapOfTheChartOnTheClipboard) {
    Clipboard()->Clear();
    Chart->Title()->SetCaption("Copied");
    SimulateClick(Commander->ButtonCopy());
    ASSERT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    TBitmap got;
    got.Assign(Clipboard());
    ASSERT_EQ(got.Width(), 400);
    ASSERT_EQ(got.Height(), 300);
    auto own = Chart->TeeCreateBitmap(Chart->Color(), TRect(0, 0, 400, 300));
    EXPECT_EQ(got.SaveToBytes(), own->SaveToBytes());
}

class CommanderFileTest : public CommanderTest {
protected:
    void TearDown() override { std::remove(Path.c_str()); }
    static std::vector<uint8_t> Bytes(TCustomChart* C) {
        TMemoryStream s;
        SaveChartToStream(C, &s);
        const auto* p = static_cast<const uint8_t*>(s.Memory());
        return {p, p + s.Size()};
    }
    AnsiString Path = AnsiString(::testing::TempDir().c_str()) + "commander_saved.tee";
};

TEST_F(CommanderFileTest, SaveWritesAChartFileThatLoadsBackEqual) {
    Chart->Title()->SetCaption("Saved");
    View()->SetRotation(20);
    TStrictResponder responder;
    responder.ExpectSave(Path);
    SimulateClick(Commander->ButtonSave());
    ASSERT_TRUE(responder.Done());
    const TDialogRequest& shown = responder.Shown().front();
    EXPECT_EQ(shown.Filter, "Chart files (*.tee)|*.tee");
    EXPECT_EQ(shown.DefaultExt, "tee");
    TCustomChart* other = new TChart(nullptr);
    std::unique_ptr<TCustomChart> owner(other);
    LoadChartFromFile(other, Path);
    EXPECT_EQ(other->SeriesCount(), 1);
    EXPECT_EQ(other->GetSeries(0)->Count(), 11);
    EXPECT_EQ(Bytes(other), Bytes(Chart.get()));

    responder.ExpectCancel(TDialogKind::SaveDialog);
    std::remove(Path.c_str());
    SimulateClick(Commander->ButtonSave());
    EXPECT_FALSE(FileExists(Path));
}

// The commander stays bound to the chart that a chart file is loaded into, and
// keeps working; its button follows the loaded 3D switch.
TEST_F(CommanderFileTest, CommanderSurvivesAChartFileLoadedIntoItsChart) {
    TChart flat(nullptr);
    flat.SetView3D(false);
    SaveChartToFile(&flat, Path);
    TCustomChart* chart = Chart.get();
    LoadChartFromFile(chart, Path);
    ASSERT_EQ(chart, Chart.get());
    EXPECT_EQ(Commander->Panel(), Chart.get());
    EXPECT_FALSE(Commander->Button3D()->Down());
    Draw();
    SimulateClick(Commander->ButtonMove());
    Drag(mbLeft, 100, 100, {{110, 100}});
    EXPECT_EQ(View()->HorizOffset(), 10);
}

// A window that stores the components it owns, as a form resource does.
class TStoredForm : public TForm {
public:
    explicit TStoredForm(TComponent* AOwner) : TForm(AOwner) {}
    void GetChildren(const TGetChildProc& Proc, TComponent*) override {
        for (int i = 0; i < ComponentCount(); ++i)
            Proc(Components(i));
    }
};

// The Panel reference is stored by name and found again among the window's components.
TEST_F(CommanderFileTest, PanelReferenceIsStoredByName) {
    TStoredForm form(nullptr);
    auto* chart = new TChart(&form);
    chart->SetName("Chart1");
    auto* commander = new TTeeCommander(&form);
    commander->SetName("Commander1");
    commander->SetPanel(chart);
    commander->SetLabelValues(false);
    TMemoryStream stream;
    TWriter(&stream, 4096).WriteRootComponent(&form);
    TStoredForm again(nullptr);
    stream.SetPosition(0);
    TReader(&stream, 4096).ReadRootComponent(&again);
    auto* chart2 = dynamic_cast<TChart*>(again.FindComponent("Chart1"));
    auto* commander2 = dynamic_cast<TTeeCommander*>(again.FindComponent("Commander1"));
    ASSERT_NE(chart2, nullptr);
    ASSERT_NE(commander2, nullptr);
    EXPECT_EQ(commander2->Panel(), chart2);
    EXPECT_FALSE(commander2->LabelValues());
    EXPECT_EQ(chart2->Listeners()->IndexOf(commander2), 0);
    EXPECT_TRUE(commander2->ButtonRotate()->Enabled());
}

TEST_F(CommanderTest, EditAndPrintRunTheEditorEntriesOrNothing) {
    // No editor yet: nothing shows and nothing is raised.
    SimulateClick(Commander->ButtonEdit());
    SimulateClick(Commander->ButtonPrint());
    int edits = 0, previews = 0, edited = 0;
    TeeEditorHooks().EditChart = [&](TComponent*, TCustomChart* C) {
        ++edits;
        C->SetView3D(false);
    };
    TeeEditorHooks().ChartPreview = [&](TComponent*, TCustomTeePanel* P) {
        previews += P == Chart.get();
    };
    Commander->OnEditedChart = [&](TTeeCommander*, TCustomChart* C) { edited += C == Chart.get(); };
    SimulateClick(Commander->ButtonEdit());
    SimulateClick(Commander->ButtonPrint());
    TeeEditorHooks() = TTeeEditorHooks();
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(edited, 1);
    EXPECT_EQ(previews, 1);
    EXPECT_FALSE(Commander->Button3D()->Down());
}

TEST_F(CommanderTest, EitherMayBeFreedFirst) {
    Commander.reset();
    EXPECT_EQ(Chart->Listeners()->Count(), 0);
    SimulateMouse(Chart.get(), TMouseAction::Down, mbLeft, 100, 100);
    SimulateMouse(Chart.get(), TMouseAction::Up, mbLeft, 100, 100);

    Commander = std::make_unique<TTeeCommander>(nullptr);
    Commander->SetPanel(Chart.get());
    Chart.reset();
    EXPECT_EQ(Commander->Panel(), nullptr);
    EXPECT_FALSE(Commander->ButtonRotate()->Enabled());
    SimulateClick(Commander->ButtonCopy());
}

// A label handler that frees the commander ends its drag: the rest of the
// drag is the chart's, which neither zooms nor turns the view.
TEST_F(CommanderTest, ALabelHandlerFreeingTheCommanderEndsItsDrag) {
    SimulateClick(Commander->ButtonRotate());
    int labels = 0;
    Commander->OnSetLabel = [&](TTeeCommander*, AnsiString&) {
        if (++labels == 1) Commander.reset();
    };
    Drag(mbLeft, 200, 150, {{240, 120}, {280, 90}});
    EXPECT_EQ(labels, 1);
    EXPECT_EQ(Chart->Listeners()->Count(), 0);
    EXPECT_EQ(View()->Rotation(), 354);
    EXPECT_TRUE(Chart->BottomAxis()->Automatic());
    Draw();
}

TEST_F(CommanderTest, VerticalBarStacksItsControlsAndHidesTheLabel) {
    Commander->SetAlign(alTop);
    Commander->SetVertical(true);
    EXPECT_EQ(Commander->Align(), alLeft);
    EXPECT_EQ(Commander->ButtonNormal()->Top(), 4);
    EXPECT_EQ(Commander->ButtonRotate()->Top(), 39);
    EXPECT_EQ(Commander->ButtonRotate()->Left(), 4);
    SimulateClick(Commander->ButtonRotate());
    EXPECT_FALSE(Commander->Label()->Visible());
}

TEST_F(CommanderTest, EnglishSwitchRestoresTheTextsTheLabelUses) {
    TeeCommanMsg_ZoomLabel = "Ziehen %s";
    TeeCommanMsg_Zooming = "Z %d";
    TeeMsg_AxisLogBase = "Basis";
    TeeSetEnglish();
    EXPECT_EQ(TeeMsg_AxisLogBase, "Axis Logarithmic Base should be >= 2");
    SimulateClick(Commander->ButtonZoom());
    EXPECT_EQ(LabelText(), "Drag Chart to Zoom");
    Drag(mbLeft, 200, 250, {{200, 200}});
    EXPECT_EQ(LabelText(), "Zoom: 101 %");
    EXPECT_EQ(TeeMsg_GalleryHorizBoxPlot, "Horizontal\rBoxPlot");
    EXPECT_EQ(TeeMsg_FunnelWithin, " within quota");
}

} // namespace
