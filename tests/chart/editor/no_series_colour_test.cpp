// Series drawn without a series colour (calendar, funnel): the series list
// shows no colour cell for them and a double click there opens nothing, the
// series page shows no swatch, the data grid's column header no colour square;
// a series with a colour keeps them.
#include "chart/control/series.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teegrid.h"
#include "chart/editor/teelisb.h"
#include "chart/series/teecalendar.h"
#include "chart/series/teefunnel.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "support/forms_testing.h"
#include <gtest/gtest.h>

namespace {

class NoSeriesColourTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        Chart = std::make_unique<TChart>();
        Bar = Add(new TBarSeries(Chart.get()), "Bar1");
        Bar->SetSeriesColor(clRed);
        Bar->FillSampleValues(4);
        Calendar = Add(new TCalendarSeries(Chart.get()), "Calendar1");
        Funnel = Add(new TFunnelSeries(Chart.get()), "Funnel1");
        Funnel->FillSampleValues(4);
        Calendar->SetSeriesColor(clRed);
        Funnel->SetSeriesColor(clRed);
    }
    template <class T> T* Add(T* S, const char* Name) {
        S->SetName(Name);
        S->SetParentChart(Chart.get());
        return S;
    }
    std::unique_ptr<TChart> Chart;
    TBarSeries* Bar = nullptr;
    TCalendarSeries* Calendar = nullptr;
    TFunnelSeries* Funnel = nullptr;
};

TEST_F(NoSeriesColourTest, ListShowsNoColourCellAndIgnoresDoubleClicksThere) {
    TForm host(nullptr);
    host.SetBounds(0, 0, 320, 200);
    auto* list = new TChartListBox(&host);
    list->SetParent(&host);
    list->SetBounds(0, 0, 300, 150);
    list->SetChart(Chart.get());
    host.Show();
    int changes = 0;
    list->OnChangeColor = [&](TChartListBox*, TChartSeries*) { ++changes; };
    const int x = list->SectionLeft(TChartListBox::secColor) + 10;
    const TColor blank = ColorToRGB(list->Color());
    // What the colour cell of a row shows other than the list's own colour.
    auto drawn = [&](int Row) {
        TBitmap face(list->Width(), list->Height());
        GrabControl(list, &face);
        int n = 0;
        for (int y = Row * 24 + 5; y < Row * 24 + 19; ++y)
            for (int px = x - 8; px < x + 8; ++px)
                n += ColorToRGB(face.Canvas()->Pixels(px, y)) != blank;
        return n;
    };
    const TChartSeries* const rows[] = {Bar, Calendar, Funnel};
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(rows[row]->Name().c_str());
        const bool colour = row == 0;
        EXPECT_EQ(drawn(row) > 20, colour);
        list->ClearSelection();
        list->SelectSeries(row);
        TStrictResponder responder;
        if (colour) responder.ExpectColor(clBlue);
        SimulateDoubleClick(list, x, row * 24 + 12);
        EXPECT_TRUE(responder.Done());
        EXPECT_EQ(rows[row]->SeriesColor(), colour ? clBlue : clRed);
        EXPECT_EQ(changes, 1);
    }
}

TEST_F(NoSeriesColourTest, SeriesPageShowsTheSwatchOnlyForASeriesColour) {
    TFormTeeSeries page(nullptr);
    for (TChartSeries* s : {static_cast<TChartSeries*>(Calendar), static_cast<TChartSeries*>(Bar),
                            static_cast<TChartSeries*>(Funnel)})
        page.CBSeries->Items()->AddObject(s->Name(), s);
    page.Show();
    for (int i = 0; i < 3; ++i) {
        page.SetTheSeries(static_cast<TChartSeries*>(page.CBSeries->Items()->Objects(i)));
        page.SetCBSeries();
        SCOPED_TRACE(page.TheSeries()->Name().c_str());
        EXPECT_EQ(CanUserReach(page.PaintBox1), page.TheSeries() == Bar);
    }
    page.SetTheSeries(Bar);
    page.SetCBSeries();
    TStrictResponder responder;
    responder.ExpectColor(clLime);
    SimulateClick(page.PaintBox1);
    EXPECT_EQ(Bar->SeriesColor(), clLime);
}

TEST_F(NoSeriesColourTest, GridHeaderShowsTheColourSquareOnlyForASeriesColour) {
    TForm host(nullptr);
    host.SetBounds(0, 0, 640, 200);
    auto* grid = new TChartGrid(&host);
    grid->SetParent(&host);
    grid->SetBounds(0, 0, 620, 180);
    grid->SetChart(Chart.get());
    host.Show();
    TBitmap face(grid->Width(), grid->Height());
    GrabControl(grid, &face);
    std::vector<TChartSeries*> headed;
    for (int col = 0; col < grid->ColCount(); ++col) {
        TChartSeries* s = nullptr;
        TChartValueList* list = nullptr;
        if (!grid->GetSeries(col, s, list) || (!headed.empty() && headed.back() == s)) continue;
        headed.push_back(s);
        SCOPED_TRACE(s->Name().c_str());
        const TRect r = grid->CellRect(col, 0);
        int red = 0;
        for (int y = r.Top + 4; y < r.Top + 16; ++y)
            for (int x = r.Left + 4; x < r.Left + 16; ++x)
                red += face.Canvas()->Pixels(x, y) == clRed;
        EXPECT_EQ(red > 20, s == Bar);
    }
    EXPECT_EQ(headed, (std::vector<TChartSeries*>{Bar, Calendar, Funnel}));
}

} // namespace
