// The pointer editor: 3D offered only for the styles that have it, hiding the
// pointer disables its controls, sizes kept to what a pointer accepts, the
// default colour box, and the dialog on a marks callout.
#include "chart/control/series.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teependlg.h"
#include "chart/editor/teepoiedi.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teepointer.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/stdctrls.h"
#include "support/forms_testing.h"
#include <gtest/gtest.h>

namespace {

class PointerEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBevelOuter(bvNone);
        Chart->SetBounds(0, 0, 300, 200);
        Points = new TPointSeries(Chart.get());
        Points->SetName("Series1");
        Points->SetParentChart(Chart.get());
        Points->FillSampleValues(8);
        Page = std::make_unique<TFormTeeSeries>(nullptr);
        Page->CBSeries->Items()->AddObject("Series1", Points);
        Page->Show();
        Page->SetTheSeries(Points);
        Page->SetCBSeries();
        Editor = dynamic_cast<TSeriesPointerEditor*>(Page->SeriesForm());
        ASSERT_NE(Editor, nullptr);
    }
    void Pick(const AnsiString& Style) {
        TComboBox* c = Editor->CBStyle;
        const int i = c->Items()->IndexOf(Style);
        ASSERT_GE(i, 0);
        c->SetItemIndex(i > 0 ? i - 1 : 1);
        SimulateKey(c, i > 0 ? VK_DOWN : VK_UP);
    }
    std::vector<TColor> Pixels() {
        TBitmap b(300, 200);
        Chart->Draw(b.Canvas(), TRect(0, 0, 300, 200));
        std::vector<TColor> v;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                v.push_back(b.Canvas()->Pixels(x, y));
        return v;
    }
    TStrictResponder Responder;
    std::unique_ptr<TChart> Chart;
    TPointSeries* Points = nullptr;
    std::unique_ptr<TFormTeeSeries> Page;
    TSeriesPointerEditor* Editor = nullptr;
};

TEST_F(PointerEditorTest, ThreeDIsOfferedOnlyForItsStylesInA3DChart) {
    ASSERT_TRUE(Chart->View3D());
    Pick("Triangle");
    EXPECT_EQ(Points->Pointer()->Style(), psTriangle);
    EXPECT_TRUE(Editor->CB3dPoint->Enabled());
    EXPECT_EQ(Editor->CBPoDark->Enabled(), Editor->CB3dPoint->Checked());
    Pick("Nothing");
    EXPECT_EQ(Points->Pointer()->Style(), psNothing);
    EXPECT_FALSE(Editor->CB3dPoint->Enabled());
    EXPECT_FALSE(Editor->CBPoDark->Enabled());
    Pick("Square");
    ASSERT_TRUE(Editor->CB3dPoint->Enabled());
    SimulateClick(Editor->CB3dPoint);
    EXPECT_EQ(Points->Pointer()->Draw3D(), Editor->CB3dPoint->Checked());
    EXPECT_EQ(Editor->CBPoDark->Enabled(), Editor->CB3dPoint->Checked());
    // A flat chart offers no 3D pointers at all.
    Chart->SetView3D(false);
    Editor->Enable3DPoint();
    EXPECT_FALSE(Editor->CB3dPoint->Enabled());
}

TEST_F(PointerEditorTest, HidingThePointerDisablesAllButVisibleAndColourEach) {
    const auto before = Pixels();
    SimulateClick(Editor->CBDrawPoint);
    EXPECT_FALSE(Points->Pointer()->Visible());
    EXPECT_NE(Pixels(), before);
    for (int i = 0; i < Editor->ComponentCount(); ++i) {
        auto* c = dynamic_cast<TWinControl*>(Editor->Components(i));
        if (!c) continue;
        const bool stays = c == Editor->CBDrawPoint || c == Editor->CBColorEach;
        EXPECT_EQ(c->Enabled(), stays) << c->Name().c_str();
    }
    SimulateClick(Editor->CBDrawPoint);
    EXPECT_TRUE(Points->Pointer()->Visible());
    EXPECT_TRUE(Editor->CBStyle->Enabled());
    EXPECT_TRUE(Editor->SEPointHorizSize->Enabled());
}

TEST_F(PointerEditorTest, SizesStayWithinWhatAPointerAcceptsAndDefaultColourSetsBoth) {
    auto type = [](TEdit* E, const AnsiString& Text) {
        E->SetText("");
        SimulateType(E, Text);
    };
    type(Editor->SEPointHorizSize, "9");
    EXPECT_EQ(Points->Pointer()->HorizSize(), 9);
    // Zero would be refused by the pointer itself; letters are no size.
    type(Editor->SEPointHorizSize, "0");
    EXPECT_EQ(Points->Pointer()->HorizSize(), 1);
    type(Editor->SEPointVertSize, "x");
    EXPECT_EQ(Points->Pointer()->VertSize(), 4);
    type(Editor->SEPointVertSize, "5000");
    EXPECT_EQ(Points->Pointer()->VertSize(), 1000);

    ASSERT_FALSE(Editor->CBDefBrushColor->Checked());
    SimulateClick(Editor->CBDefBrushColor);
    EXPECT_EQ(Points->Pointer()->GetColor(), clTeeColor);
    EXPECT_EQ(Points->Pointer()->Pen()->Color(), clTeeColor);
    SimulateClick(Editor->CBDefBrushColor);
    EXPECT_EQ(Points->Pointer()->Pen()->Color(), clBlack);
}

TEST_F(PointerEditorTest, BorderButtonOpensThePenDialogOnceAndRechecksDefault) {
    Points->Pointer()->SetColor(clTeeColor);
    Points->Pointer()->Pen()->SetColor(clTeeColor);
    int dialogs = 0;
    TPumpScript script;
    for (TColor colour : {clRed, clBlue})
        script.When([] { return dynamic_cast<TPenDialog*>(Screen->ActiveForm()); }).Do([&, colour] {
            ++dialogs;
            auto* d = dynamic_cast<TPenDialog*>(Screen->ActiveForm());
            d->ThePen->SetColor(colour);
            SimulateClick(d->BOk);
        });
    SimulateClick(Editor->BPoinPenCol);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(Points->Pointer()->Pen()->Color(), clRed);
    EXPECT_FALSE(Editor->CBDefBrushColor->Checked());
}

TEST_F(PointerEditorTest, MarksCalloutPointerOpensAsADialogWithoutColourEach) {
    TCallout* callout = Points->Marks()->Callout();
    bool colourEachShown = true;
    TPumpScript script;
    script.When([] { return dynamic_cast<TSeriesPointerEditor*>(Screen->ActiveForm()); }).Do([&] {
        auto* d = dynamic_cast<TSeriesPointerEditor*>(Screen->ActiveForm());
        colourEachShown = d->CBColorEach->Visible();
        // A callout comes hidden: its controls wait for the visibility box.
        SimulateClick(d->CBDrawPoint);
        d->CBStyle->SetItemIndex(0);
        SimulateKey(d->CBStyle, VK_DOWN);
        SimulateClick(dynamic_cast<TControl*>(d->FindComponent("BOk")));
    });
    Page->PageSeries->SelectPageByUser(Page->TabMarks);
    Page->PageControlMarks->SelectPageByUser(Page->TabSheet2);
    SimulateClick(Page->BCalloutPointer);
    EXPECT_TRUE(script.Done());
    EXPECT_FALSE(colourEachShown);
    EXPECT_TRUE(callout->Visible());
    EXPECT_EQ(callout->Style(), psCircle);
    EXPECT_EQ(Points->Pointer()->Style(), psRectangle);
}

} // namespace
