#include "axis_fixture.h"
#include "platform/classes/stringlist.h"

namespace {
// A source that adds three points on every load.
class TThreePointSource : public TTeeSeriesSource {
public:
    using TTeeSeriesSource::TTeeSeriesSource;
    int Loads = 0;
    void Load() override {
        ++Loads;
        if (!Series()) return;
        Series()->Clear();
        for (int i = 0; i < 3; ++i)
            Series()->AddXY(i, i * 10);
    }
};
} // namespace

using SourcesTest = AxisPanelTest;

TEST(LabelsListTest, InsertSetDeleteAndFind) {
    TLabelsList l;
    l.InsertLabel(0, "");
    EXPECT_EQ(l.Count(), 0);
    l.InsertLabel(5, "a");
    ASSERT_EQ(l.Count(), 6);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(l.GetLabel(i), "");
    EXPECT_EQ(l.GetLabel(5), "a");
    EXPECT_EQ(l.GetLabel(99), "");
    l.InsertLabel(0, "");
    EXPECT_EQ(l.Count(), 7);
    EXPECT_EQ(l.GetLabel(6), "a");

    l.SetLabel(9, "abc");
    EXPECT_EQ(l.Count(), 10);
    l.SetLabel(20, "");
    EXPECT_EQ(l.Count(), 10);
    l.SetLabel(6, "");
    EXPECT_EQ(l.GetLabel(6), "");
    EXPECT_THROW(l.SetLabel(-1, "x"), EListError);

    EXPECT_EQ(l.IndexOfLabel("ABC", false), 9);
    EXPECT_EQ(l.IndexOfLabel("ABC", true), -1);
    l.DeleteLabel(0);
    EXPECT_EQ(l.IndexOfLabel("abc"), 8);
    EXPECT_THROW(l.DeleteLabel(50), EListError);

    TLabelsList copy;
    copy.Assign(&l);
    EXPECT_EQ(copy.Count(), l.Count());
    EXPECT_EQ(copy.GetLabel(8), "abc");
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(copy.GetLabel(8), "abc");
}

TEST_F(SourcesTest, SeriesTitleOrName) {
    TAxisTestSeries* a = AddSeries();
    AddSeries();
    TAxisTestSeries* c = AddSeries();
    EXPECT_EQ(SeriesTitleOrName(c), "Series3");
    c->SetName("Voltage");
    EXPECT_EQ(SeriesTitleOrName(c), "Voltage");
    c->SetTitle("U");
    EXPECT_EQ(SeriesTitleOrName(c), "U");
    a->SetInternalUse(true);
    TStringList items;
    FillSeriesItems(&items, Chart.get());
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(items[0], "Series2");
    EXPECT_EQ(items.Objects(1), c);
}

TEST_F(SourcesTest, ActiveSourceFillsAndClosingClears) {
    TAxisTestSeries* s = AddSeries();
    TThreePointSource source(nullptr);
    source.SetSeries(s);
    EXPECT_EQ(s->DataSource(), &source);
    EXPECT_EQ(source.Loads, 0);
    source.Open();
    EXPECT_TRUE(source.Active());
    EXPECT_EQ(s->Count(), 3);
    Chart->CheckDatasource(s);
    EXPECT_EQ(source.Loads, 2);
    source.SetActive(false);
    EXPECT_EQ(s->Count(), 0);
    EXPECT_TRUE(source.HasSeries(s));
    EXPECT_TRUE(Chart->IsValidDataSource(s, &source));
    source.SetSeries(nullptr);
    EXPECT_EQ(s->DataSource(), nullptr);
}

TEST_F(SourcesTest, FreedSourceLeavesTheSeries) {
    TAxisTestSeries* s = AddSeries();
    {
        TThreePointSource source(nullptr);
        source.SetSeries(s);
        source.Open();
        EXPECT_EQ(s->Count(), 3);
    }
    EXPECT_EQ(s->DataSource(), nullptr);
}

TEST_F(SourcesTest, FreedSeriesLeavesADependentOffTheChart) {
    auto a = std::make_unique<TAxisTestSeries>();
    auto b = std::make_unique<TAxisTestSeries>();
    a->SetParentChart(Chart.get());
    b->SetParentChart(Chart.get());
    b->SetDataSource(a.get());
    b->SetParentChart(nullptr); // no longer in a's dependents
    a.reset();
    EXPECT_TRUE(b->DataSources().empty());
    b.reset(); // touches nothing freed
}

TEST_F(SourcesTest, SeriesFreedAfterLeavingItsSourceComponent) {
    TThreePointSource source(nullptr);
    auto s = std::make_unique<TAxisTestSeries>();
    TAxisTestSeries* other = AddSeries();
    s->SetParentChart(Chart.get());
    source.SetSeries(s.get());
    s->SetDataSource(other); // the source still names s
    s.reset();
    EXPECT_EQ(source.Series(), nullptr);
}

TEST_F(SourcesTest, SourceMovedToAnotherSeriesIsForgottenByBothWhenFreed) {
    TAxisTestSeries* first = AddSeries();
    TAxisTestSeries* second = AddSeries();
    {
        TThreePointSource source(nullptr);
        source.SetSeries(first);
        second->SetDataSource(&source);
        EXPECT_EQ(source.Series(), second);
    }
    EXPECT_TRUE(first->DataSources().empty());
    EXPECT_TRUE(second->DataSources().empty());
}
