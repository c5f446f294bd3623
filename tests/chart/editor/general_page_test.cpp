// The general and paging pages docked as the editor docks them: margins are
// written unless two opposite ones would leave no room, units change the
// ranges, zoom settings and points per page reach the chart and its file.
#include "chart/control/teelegend.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teeedigene.h"
#include "chart/engine/teecontrols.h"
#include "dialogs_fixture.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/graphics/jpeg.h"
#include <cstdlib>

namespace {

void Retype(TWinControl* Edit, const AnsiString& Text) {
    Edit->SetText("");
    SimulateType(Edit, Text);
}

class GeneralPageTest : public DialogsTest {
protected:
    template <typename T> T* Dock(const char* Name) {
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBounds(0, 0, 420, 270);
        Host->Show();
        TClass cls = GetClass(Name);
        EXPECT_NE(cls, nullptr);
        if (!cls) return nullptr;
        auto* page = dynamic_cast<T*>(cls->Factory(Host.get()));
        EXPECT_NE(page, nullptr);
        if (page) AddFormTo(page, Host.get(), Chart.get());
        return page;
    }
    void Shot(const char* Name) {
        const char* dir = std::getenv("QM_SHOTS");
        if (!dir) return;
        TPngImage png;
        GrabControl(Host.get(), png.Bitmap());
        png.SaveToFile(AnsiString(dir) + "/" + Name + ".png");
    }
    std::unique_ptr<TForm> Host;
};

TEST_F(GeneralPageTest, MarginIsWrittenRepaintedAndKeptUnlessItMeetsTheOpposite) {
    auto* page = Dock<TFormTeeGeneral>("TFormTeeGeneral");
    ASSERT_NE(page, nullptr);
    Shot("general");
    EXPECT_EQ(page->SETopMa->Text(), IntToStr(Chart->MarginTop()));
    const auto before = Pixels();
    const int was = Chart->MarginTop();
    Retype(page->SETopMa, "20");
    // A margin takes the figure once it is whole.
    EXPECT_EQ(Chart->MarginTop(), was);
    SimulateKey(page->SETopMa, VK_RETURN);
    EXPECT_EQ(Chart->MarginTop(), 20);
    EXPECT_NE(Pixels(), before);
    EXPECT_EQ(RoundTrip()->MarginTop(), 20);

    Chart->SetMarginBottom(3);
    page->SETopMa->SetText("97");
    EXPECT_EQ(Chart->MarginTop(), 20);
    EXPECT_EQ(page->SETopMa->Text(), "20");

    Choose(page->CBMarUnits, "Pixels");
    EXPECT_EQ(Chart->MarginUnits(), muPixels);
    EXPECT_EQ(page->UDLeftMa->Min(), -2000);
    page->SELeftMa->SetText("-2000");
    EXPECT_EQ(Chart->MarginLeft(), -2000);
}

// Steps beyond the up-down's range: showing them must not write the bound back.
TEST_F(GeneralPageTest, ShowingWritesNothing) {
    Chart->Zoom()->SetAnimatedSteps(500);
    ASSERT_NE(Dock<TFormTeeGeneral>("TFormTeeGeneral"), nullptr);
    EXPECT_EQ(Chart->Zoom()->AnimatedSteps(), 500);
}

// A cursor the mouse shows over a part is not the chart's own: the page offers the stored one.
TEST_F(GeneralPageTest, CursorListShowsTheChartsOwnCursorNotAPartsHoverCursor) {
    Chart->SetCursor(crCross);
    Chart->ShowPartCursor(crHSplit);
    auto* page = Dock<TFormTeeGeneral>("TFormTeeGeneral");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->CBCursor->Text(), "Cross");
    Choose(page->CBCursor, "HandPoint");
    EXPECT_EQ(RoundTrip()->Cursor(), crHandPoint);
}

TEST_F(GeneralPageTest, ZoomControlsFollowAllowAndWriteTheChart) {
    auto* page = Dock<TFormTeeGeneral>("TFormTeeGeneral");
    ASSERT_NE(page, nullptr);
    Choose(page->CBDir, "Vertical");
    Choose(page->CBZoomMouse, "Middle");
    Retype(page->EMinPix, "40");
    SimulateClick(page->CBAllowZoom);
    EXPECT_FALSE(Chart->Zoom()->Allow());
    EXPECT_FALSE(page->CBDir->Enabled());
    page->PageControl1->SelectPageByUser(page->TabScroll);
    SimulateClick(page->RGPanning->Buttons(0));
    EXPECT_EQ(Chart->AllowPanning(), pmNone);
    EXPECT_FALSE(page->CBScrollMouse->Enabled());
    auto saved = RoundTrip();
    EXPECT_EQ(saved->Zoom()->Direction(), tzdVertical);
    EXPECT_EQ(saved->Zoom()->MouseButton(), mbMiddle);
    EXPECT_EQ(saved->Zoom()->MinimumPixels(), 40);
    EXPECT_FALSE(saved->Zoom()->Allow());
    EXPECT_EQ(saved->AllowPanning(), pmNone);
}

TEST_F(GeneralPageTest, PointsPerPagePageThroughTheChart) {
    auto* page = Dock<TFormTeePage>("TFormTeePage");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->LabelPages->Caption(), "Page 1 of 1");
    EXPECT_FALSE(page->ChartPageNavigator1->BNext->Enabled());
    const auto before = Pixels();
    Retype(page->SEPointsPerPage, "3");
    EXPECT_EQ(Chart->MaxPointsPerPage(), 3);
    EXPECT_EQ(page->LabelPages->Caption(), "Page 1 of 4");
    EXPECT_NE(Pixels(), before);
    Shot("paging");
    SimulateClick(page->ChartPageNavigator1->BLast);
    EXPECT_EQ(Chart->Page(), 4);
    EXPECT_EQ(page->LabelPages->Caption(), "Page 4 of 4");
    EXPECT_FALSE(page->ChartPageNavigator1->BNext->Enabled());
    SimulateClick(page->ChartPageNavigator1->BPrior);
    EXPECT_EQ(Chart->Page(), 3);
    SimulateClick(page->CBPageLegend);
    EXPECT_FALSE(Chart->Legend()->CurrentPage());
    auto saved = RoundTrip();
    EXPECT_EQ(saved->MaxPointsPerPage(), 3);
    EXPECT_FALSE(saved->Legend()->CurrentPage());
    Retype(page->SEPointsPerPage, "");
    EXPECT_EQ(Chart->MaxPointsPerPage(), 0);
    EXPECT_EQ(page->LabelPages->Caption(), "Page 1 of 1");
}

} // namespace
