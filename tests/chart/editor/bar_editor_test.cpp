// The bar series editor, created by the name the bar series asks for and
// docked in a tab: each control writes the series, the chart repaints and the
// value survives a chart file.
#include "chart/editor/teebaredit.h"
#include "chart/editor/teependlg.h"
#include "dialogs_fixture.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"

namespace {

class BarEditorTest : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        Bar = new TBarSeries(Chart.get());
        Bar->SetName("Series2");
        Bar->SetParentChart(Chart.get());
        for (int i = 0; i < 5; ++i)
            Bar->Add(10 + i * 15);
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBounds(0, 0, 360, 240);
        Pages = new TPageControl(Host.get());
        Pages->SetParent(Host.get());
        Pages->SetAlign(alClient);
        Tab = new TTabSheet(Host.get());
        Tab->SetPageControl(Pages);
        Tab->SetCaption("Format");
        Pages->SetActivePage(Tab);
        Host->Show();
        TClass cls = GetClass(Bar->GetEditorClass());
        ASSERT_NE(cls, nullptr);
        Editor = dynamic_cast<TBarSeriesEditor*>(cls->Factory(Host.get()));
        ASSERT_NE(Editor, nullptr);
        AddFormTo(Editor, Tab, Bar);
    }
    TBarSeries* SavedBar(TChart* C) { return dynamic_cast<TBarSeries*>(C->GetSeries(1)); }
    TBarSeries* Bar = nullptr;
    std::unique_ptr<TForm> Host;
    TPageControl* Pages = nullptr;
    TTabSheet* Tab = nullptr;
    TBarSeriesEditor* Editor = nullptr;
};

TEST_F(BarEditorTest, StyleEnablesGradientOrBevelAndIsKeptInTheFile) {
    EXPECT_FALSE(Editor->BGradient->Enabled());
    EXPECT_FALSE(Editor->EBevel->Enabled());
    const auto before = Pixels();
    Choose(Editor->CBBarStyle, "Rect. Gradient");
    EXPECT_EQ(Bar->BarStyle(), bsRectGradient);
    EXPECT_TRUE(Editor->BGradient->Enabled());
    EXPECT_FALSE(Editor->EBevel->Enabled());
    Choose(Editor->CBBarStyle, "Bevel");
    EXPECT_FALSE(Editor->BGradient->Enabled());
    EXPECT_TRUE(Editor->EBevel->Enabled());
    EXPECT_TRUE(Editor->UDBevel->Enabled());
    Choose(Editor->CBBarStyle, "Pyramid");
    EXPECT_NE(Pixels(), before);
    auto saved = RoundTrip();
    ASSERT_NE(SavedBar(saved.get()), nullptr);
    EXPECT_EQ(SavedBar(saved.get())->BarStyle(), bsPyramid);
}

TEST_F(BarEditorTest, WidthAndSideMarginsWriteOnlyTheirProperty) {
    const int offset = Bar->OffsetPercent();
    const auto before = Pixels();
    Editor->UDBarWidth->SetPosition(40);
    EXPECT_EQ(Bar->BarWidthPercent(), 40);
    EXPECT_EQ(Bar->OffsetPercent(), offset);
    SimulateClick(Editor->CBBarSideMargins);
    EXPECT_EQ(Bar->SideMargins(), Editor->CBBarSideMargins->Checked());
    EXPECT_NE(Pixels(), before);
    auto saved = RoundTrip();
    EXPECT_EQ(SavedBar(saved.get())->BarWidthPercent(), 40);
    EXPECT_EQ(SavedBar(saved.get())->SideMargins(), Bar->SideMargins());
}

TEST_F(BarEditorTest, ColorEachDisablesTheColourButton) {
    SimulateClick(Editor->CBColorEach);
    EXPECT_TRUE(Bar->ColorEachPoint());
    EXPECT_FALSE(Editor->BBarColor->Enabled());
    SimulateClick(Editor->CBColorEach);
    EXPECT_FALSE(Bar->ColorEachPoint());
    EXPECT_TRUE(Editor->BBarColor->Enabled());
}

TEST_F(BarEditorTest, StackTabEnablesGroupForStackedOnlyAndKeepsOriginOnBadText) {
    ASSERT_EQ(Pages->PageCount(), 2);
    TStackBarSeriesEditor* stack = Editor->StackEditor();
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(Pages->ActivePage(), Tab);
    Pages->SetActivePage(Pages->Pages(1));
    EXPECT_FALSE(stack->EGroup->Enabled());
    SimulateClick(stack->RGMultiBar->Buttons(3));
    EXPECT_EQ(Bar->MultiBar(), mbStacked100);
    EXPECT_TRUE(stack->EGroup->Enabled());
    SimulateClick(stack->RGMultiBar->Buttons(1));
    EXPECT_FALSE(stack->EGroup->Enabled());

    ASSERT_TRUE(Bar->UseYOrigin());
    SimulateClick(stack->CBYOrigin);
    EXPECT_FALSE(Bar->UseYOrigin());
    EXPECT_FALSE(stack->EYOrigin->Enabled());
    SimulateClick(stack->CBYOrigin);
    EXPECT_TRUE(Bar->UseYOrigin());
    EXPECT_TRUE(stack->EYOrigin->Enabled());
    stack->EYOrigin->SetText("12.5");
    EXPECT_EQ(Bar->YOrigin(), 12.5);
    stack->EYOrigin->SetText("12.5x");
    EXPECT_EQ(Bar->YOrigin(), 12.5);
    auto saved = RoundTrip();
    EXPECT_EQ(SavedBar(saved.get())->YOrigin(), 12.5);
    EXPECT_EQ(SavedBar(saved.get())->MultiBar(), mbSide);
}

} // namespace
