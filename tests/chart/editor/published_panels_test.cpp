// What the print preview panel and the data grid store in a form file: the
// properties they publish, each at its declared default on a new object, so
// an object left as made writes nothing.
#include "chart/editor/teegrid.h"
#include "chart/editor/teepreviewpanel.h"
#include "platform/classes/props.h"
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(PublishedPanels, NewObjectsHoldTheDeclaredDefaultOfEveryListedProperty) {
    struct TCase {
        TClass Class;
        std::vector<const char*> Names;
    };
    const TCase cases[] = {
        {&TTeePreviewPanel::ClassInfo,
         {"AllowResize", "AllowMove", "AsBitmap", "DragImage", "Margins", "Orientation", "Panel",
          "PaperColor", "PaperShadow", "ShowImage", "Title"}},
        {&TChartGrid::ClassInfo, {"Chart", "Series", "ShowColors", "ShowLabels", "ShowXValues"}},
        {&TPreviewChartPen::ClassInfo, {"Style", "SmallDots", "Color"}},
    };
    for (const TCase& c : cases) {
        std::unique_ptr<TObject> made(c.Class->Factory(nullptr));
        for (const char* name : c.Names) {
            const TPropInfo* p = GetPropInfo(c.Class, name);
            ASSERT_NE(p, nullptr) << c.Class->Name << "." << name;
            if (p->Kind != TPropKind::Object)
                EXPECT_TRUE(p->IsDefault(made.get())) << c.Class->Name << "." << name;
        }
    }
}

TEST(PublishedPanels, TheMarginPenDeclaresDottedSmallDots) {
    const TPropInfo* style = GetPropInfo(&TPreviewChartPen::ClassInfo, "Style");
    const TPropInfo* dots = GetPropInfo(&TPreviewChartPen::ClassInfo, "SmallDots");
    ASSERT_TRUE(style && dots);
    EXPECT_EQ(style->DefaultOrd, psDot);
    EXPECT_EQ(dots->DefaultOrd, 1);
    TTeePreviewPanel panel(nullptr);
    EXPECT_EQ(GetPropInfo(&TTeePreviewPanel::ClassInfo, "Margins")->GetObj(&panel),
              panel.Margins());
}

} // namespace
