// What the legend answers when asked is what a paint would use: the same
// before the chart's first paint as after it, and after a change at once.
#include "series_fixture.h"
#include <tuple>

namespace {

class LegendQueriesTest : public SeriesChartTest {
protected:
    auto Ask() {
        TCustomChartLegend* l = Chart->Legend();
        return std::make_tuple(Chart->FormattedLegend(1), l->LegendStyleUsed(), l->HasCheckBoxes(),
                               l->CalcItemHeight());
    }
};

TEST_F(LegendQueriesTest, AnswersAreTheSameBeforeAndAfterAPaint) {
    Chart->Legend()->SetVisible(true);
    Chart->Legend()->Font()->SetSize(20);
    auto* a = Add<TBarSeries>();
    a->Add(1);
    a->Add(2);
    const auto first = Ask();
    EXPECT_EQ(std::get<0>(first), "2");
    EXPECT_EQ(std::get<1>(first), lsValues);
    Render("legend_first");
    EXPECT_EQ(Ask(), first);

    // A second series lists the series; check boxes list them too, with boxes.
    auto* b = Add<TBarSeries>();
    b->SetTitle("Second");
    EXPECT_EQ(Ask(), std::make_tuple(AnsiString("Second"), lsSeries, false, std::get<3>(first)));
    Render("legend_two");
    b->SetActive(false);
    EXPECT_EQ(Ask(), first);
    Chart->Legend()->SetCheckBoxes(true);
    const auto boxes = Ask();
    EXPECT_EQ(std::get<1>(boxes), lsSeries);
    EXPECT_TRUE(std::get<2>(boxes));
    Render("legend_boxes");
    EXPECT_EQ(Ask(), boxes);
}

} // namespace
