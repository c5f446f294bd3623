// A page docked into a container sits 4 pixels in from the left and at most
// 4 pixels down: a page shorter than its container is not pushed towards the
// middle, and one taller than it is not pushed further down.
#include "chart/control/tooledit.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(DockFormTest, TopIsTheSmallerOfFourAndHalfTheHeightDifference) {
    const struct {
        int ParentHeight, FormHeight, Top;
    } cases[] = {
        {300, 127, 4}, // far shorter than the container
        {138, 119, 4}, // the export dialog's bitmap options
        {100, 96, 2},  {96, 100, 2}, {100, 100, 0}, {101, 100, 0}, {100, 110, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.FormHeight << " in " << c.ParentHeight);
        TForm host(nullptr);
        host.SetBounds(0, 0, 400, 400);
        auto* parent = new TPanel(&host);
        parent->SetParent(&host);
        parent->SetBevelOuter(bvNone);
        parent->SetBounds(0, 0, 300, c.ParentHeight);
        ASSERT_EQ(parent->ClientHeight(), c.ParentHeight);
        auto* form = new TForm(&host);
        // Docking takes the frame away; the heights compared are the borderless ones.
        form->SetBorderStyle(bsNone);
        form->SetClientWidth(200);
        form->SetClientHeight(c.FormHeight);
        AddFormTo(form, parent, parent);
        EXPECT_EQ(form->Left(), 4);
        EXPECT_EQ(form->Top(), c.Top);
        EXPECT_EQ(form->Parent(), parent);
        EXPECT_EQ(form->Subject(), parent);
    }
}

} // namespace
