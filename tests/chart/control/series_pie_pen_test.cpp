// A pie on a box that is not round, outlined with a wide pen: each slice's
// outline runs along the edges its fill has (as the pie tool's outline must).
#include "chart/control/series_pie.h"
#include "series_fixture.h"
#include <numbers>

class PieWidePen : public SeriesChartTest, public ::testing::WithParamInterface<int> {};

TEST_P(PieWidePen, RadiiRunTowardTheSliceEnds) {
    auto* p = Add<TPieSeries>();
    p->Add(30, "a", clRed);
    p->Add(30, "b", clLime);
    p->Add(40, "c", clBlue);
    p->Pen()->SetWidth(GetParam());
    p->Pen()->SetColor(clYellow);
    Render("pie_wide_pen_" + std::to_string(GetParam()));
    ASSERT_NE(p->RadiusX(), p->RadiusY());
    const int cx = p->CircleCenterX(), cy = p->CircleCenterY();
    for (double degrees : {108.0, 216.0}) {
        int ex = 0, ey = 0;
        p->AngleToPos(degrees * std::numbers::pi / 180, p->RadiusX(), p->RadiusY(), ex, ey);
        for (double t : {0.2, 0.4, 0.6, 0.8}) {
            const int x = int(std::lround(cx + t * (ex - cx))),
                      y = int(std::lround(cy + t * (ey - cy)));
            EXPECT_EQ(Pixel(x, y), clYellow)
                << degrees << " at " << t << " (" << x << ", " << y << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, PieWidePen, ::testing::Values(3, 4));
