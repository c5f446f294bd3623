#include "platform/graphics/graphics.h"
#include <gtest/gtest.h>

TEST(Colors, SystemColoursResolveThroughTheTable) {
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
    EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
    EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFFu);
    EXPECT_EQ(ColorToRGB(clDefault), 0x20000000u);
}
