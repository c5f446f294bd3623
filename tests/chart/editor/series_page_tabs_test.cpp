// The series page's further tabs: a series editor's extra pages stand after
// its own page in the order it adds them, a page asked for at a position
// stands there, and they all go when another series is chosen.
#include "chart/control/series.h"
#include "chart/control/teeseriestypes.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/engine/teeconst.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "support/forms_testing.h"
#include <gtest/gtest.h>

namespace {

class SeriesPageTabsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Page = std::make_unique<TFormTeeSeries>(nullptr);
        Page->Show();
    }
    void Choose(TChartSeries* S) {
        if (Page->CBSeries->Items()->IndexOfObject(S) < 0)
            Page->CBSeries->Items()->AddObject(S->Name(), S);
        Page->SetTheSeries(S);
        Page->SetCBSeries();
    }
    TChartSeries* Make(TClass Class, const char* Name) {
        TChartSeries* s = CreateNewSeries(Chart.get(), Chart.get(), Class, nullptr);
        s->SetName(Name);
        return s;
    }
    std::vector<AnsiString> Tabs() const {
        std::vector<AnsiString> t;
        for (int i = 0; i < Page->PageSeries->PageCount(); ++i)
            t.push_back(Page->PageSeries->Pages(i)->Caption());
        return t;
    }

    std::unique_ptr<TChart> Chart;
    std::unique_ptr<TFormTeeSeries> Page;
};

TEST_F(SeriesPageTabsTest, FurtherPagesFollowTheTypesOwnPage) {
    struct TCase {
        TClass Class;
        std::vector<AnsiString> Tabs;
    };
    const TCase cases[] = {
        {&TBarSeries::ClassInfo, {"Format", TeeMsg_Stack, "General", "Marks", "Data Source"}},
        {&TAreaSeries::ClassInfo,
         {"Format", TeeMsg_GalleryPoint, TeeMsg_Gradient, "General", "Marks", "Data Source"}},
        {&TPieSeries::ClassInfo,
         {"Format", TeeMsg_GalleryCircled, "General", "Marks", "Data Source"}},
        {&TLineSeries::ClassInfo,
         {"Format", TeeMsg_GalleryPoint, "General", "Marks", "Data Source"}},
    };
    int n = 0;
    for (const TCase& c : cases) {
        Choose(Make(c.Class, ("S" + std::to_string(++n)).c_str()));
        EXPECT_EQ(Tabs(), c.Tabs) << c.Class->Name;
        EXPECT_EQ(Page->PageSeries->ActivePage(), Page->TheTabSheet) << c.Class->Name;
    }
}

TEST_F(SeriesPageTabsTest, APageAskedForAtAPositionStandsThereAndGoesWithTheSeries) {
    TChartSeries* bar = Make(&TBarSeries::ClassInfo, "Bar");
    Choose(bar);
    struct TCase {
        int Position;
        int Index; // where it lands
    };
    const TCase cases[] = {{0, 0}, {3, 3}, {99, -1}, {-1, -1}};
    for (const TCase& c : cases) {
        TCustomForm* form =
            Page->InsertSeriesForm(GetClass("TStackBarSeriesEditor"), c.Position, "Extra", bar);
        ASSERT_NE(form, nullptr);
        auto* tab = dynamic_cast<TTabSheet*>(form->Parent());
        ASSERT_NE(tab, nullptr);
        EXPECT_EQ(tab->PageControl(), Page->PageSeries);
        const int last = Page->PageSeries->PageCount() - 1;
        EXPECT_EQ(tab->PageIndex(), c.Index < 0 ? last : c.Index) << c.Position;
        EXPECT_EQ(form->Subject(), bar);
        EXPECT_EQ(form->Align(), alClient);
    }
    EXPECT_EQ(Page->InsertSeriesForm(&TChartSeries::ClassInfo, 1, "No form", bar), nullptr);
    Choose(Make(&TLineSeries::ClassInfo, "Line"));
    const std::vector<AnsiString> line = {"Format", TeeMsg_GalleryPoint, "General", "Marks",
                                          "Data Source"};
    EXPECT_EQ(Tabs(), line);
}

} // namespace
