// Tool pictures: each registered tool class has one of its own, and the tools
// list and the tools gallery show it at the start of each row.
#include "chart/control/series.h"
#include "chart/control/teeseriestypes.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teeedittools.h"
#include "chart/editor/teetoolicon.h"
#include "chart/engine/teetools.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/graphics/jpeg.h"
#include "support/forms_testing.h"
#include "tools_page.h"
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>

namespace {

std::vector<TColor> PixelsOf(TBitmap* B, int X, int Y, int W, int H) {
    std::vector<TColor> v;
    for (int y = Y; y < Y + H; ++y)
        for (int x = X; x < X + W; ++x)
            v.push_back(ColorToRGB(B->Canvas()->Pixels(x, y)));
    return v;
}

std::vector<TColor> IconPixels(TClass C) {
    TBitmap* icon = TeeToolIcon(C);
    return icon ? PixelsOf(icon, 0, 0, TeeToolIconSize, TeeToolIconSize) : std::vector<TColor>{};
}

void Shot(TControl* C, const char* Name) {
    const char* dir = std::getenv("QM_SHOTS");
    if (!dir) return;
    TPngImage png;
    GrabControl(C, png.Bitmap());
    png.SaveToFile(AnsiString(dir) + "/" + Name + ".png");
}

// Every row of a list shows the picture of its class at (2, 1) from its corner.
void ExpectIconsInRows(TListBox* List, const std::function<TClass(int)>& ClassOf) {
    TBitmap shown;
    GrabControl(List, &shown);
    const int h = List->ItemHeight();
    // The rows start inside the list's frame.
    const int inset = (List->Width() - List->ClientWidth()) / 2;
    for (int i = 0; i < List->Items()->Count() && (i + 1) * h <= List->ClientHeight(); ++i)
        EXPECT_EQ(PixelsOf(&shown, inset + 2, inset + i * h + 1, TeeToolIconSize, TeeToolIconSize),
                  IconPixels(ClassOf(i)))
            << List->Items()->Strings(i).c_str();
}

class ToolIconsTest : public ::testing::Test {
protected:
    void SetUp() override { TeeEditorStartup(); }
};

TEST_F(ToolIconsTest, EveryRegisteredToolClassHasAPictureOfItsOwn) {
    ASSERT_GT(TeeToolTypes().Count(), 10);
    const std::vector<TColor> general = IconPixels(&TTeeCustomTool::ClassInfo);
    ASSERT_FALSE(general.empty());
    std::map<std::vector<TColor>, AnsiString> seen;
    for (int i = 0; i < TeeToolTypes().Count(); ++i) {
        TClass c = TeeToolTypes().Get(i);
        const std::vector<TColor> p = IconPixels(c);
        ASSERT_FALSE(p.empty()) << c->Name;
        EXPECT_NE(p, general) << c->Name << " shows the general picture";
        const auto [it, fresh] = seen.emplace(p, c->Name);
        EXPECT_TRUE(fresh) << c->Name << " looks like " << it->second.c_str();
    }
    EXPECT_EQ(TeeToolIcon(&TLineSeries::ClassInfo), nullptr);
}

TEST_F(ToolIconsTest, ToolsListAndGalleryDrawThePictureBeforeEachName) {
    TChart chart;
    chart.SetName("Chart1");
    for (int i = 0; i < 4; ++i) {
        auto* t = static_cast<TTeeCustomTool*>(TeeToolTypes().Get(i)->Factory(&chart));
        t->SetParentChart(&chart);
    }
    TForm host(nullptr);
    TFormTeeTools* page = ShowToolsPage(host, &chart, 420, 300);
    ASSERT_EQ(page->LBTools->Items()->Count(), 4);
    ExpectIconsInRows(page->LBTools, [&](int i) { return chart.Tools()->Get(i)->ClassType(); });
    Shot(page, "tools_page");

    TTeeToolsGallery gallery(nullptr);
    gallery.SetClientHeight(24 * 18 + 60);
    gallery.Show();
    for (int tab = 0; tab < 3; ++tab) {
        gallery.TabControl1->SelectTabByUser(tab);
        ASSERT_GT(gallery.LBTool->Items()->Count(), 0) << tab;
        ExpectIconsInRows(gallery.LBTool, [&](int i) {
            return reinterpret_cast<TClass>(gallery.LBTool->Items()->Objects(i));
        });
        Shot(&gallery, ("tools_gallery_" + std::to_string(tab)).c_str());
    }
}

} // namespace
