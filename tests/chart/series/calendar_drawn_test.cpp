// A calendar holds no values of its own: it is drawn over the plot area
// whenever it is active, whatever points the chart's series hold and wherever
// the axes are, and it takes no part in the axes' ranges.
#include "chart/control/series_fixture.h"
#include "chart/control/tool_hints.h"
#include "chart/series/teecalendar.h"
#include "chart/series/teeextraseries.h"
#include "platform/rtl/datetime.h"

namespace {

class CalendarDrawnTest : public SeriesChartTest {
protected:
    CalendarDrawnTest() {
        TeeExtraSeriesStartup();
        // Readings of 1990, far from the calendar's date and from zero.
        Line = Add<TLineSeries>();
        Line->SetSeriesColor(clGreen);
        for (int i = 0; i < 10; ++i)
            Line->AddXY(EncodeDate(1990, 3, 1) + i, 5000 + 10 * i);
        Calendar = Add<TCalendarSeries>();
        Calendar->SetFirstWeekDay(0);
        Calendar->SetDate(EncodeDate(2024, 6, 12));
    }
    // Pixels of Colour in a cell (column and row from 1).
    int InCell(int Column, int Row, TColor Colour) {
        return Count(Colour, Calendar->RectCell(Column, Row));
    }
    // The selected day (Wednesday 12 June) and a Sunday (2 June) in their colours.
    void ExpectCellsDrawn(const char* When) {
        const TRect cell = Calendar->RectCell(3, 5);
        const int most = cell.Width() * cell.Height() / 2;
        EXPECT_GT(InCell(3, 5, clBlue), most) << "selected day not drawn " << When;
        EXPECT_GT(InCell(7, 3, clRed), most) << "Sunday not drawn " << When;
    }

    TLineSeries* Line = nullptr;
    TCalendarSeries* Calendar = nullptr;
};

TEST_F(CalendarDrawnTest, DrawnWhateverThePointsAndTheAxes) {
    Render("calendar_over_readings");
    ExpectCellsDrawn("over readings, automatic axes");
    EXPECT_DOUBLE_EQ(Chart->BottomAxis()->Minimum(), EncodeDate(1990, 3, 1))
        << "the calendar stretched the time axis";
    EXPECT_DOUBLE_EQ(Chart->LeftAxis()->Minimum(), 5000) << "the calendar stretched the value axis";
    EXPECT_EQ(Calendar->Count(), 0);

    Ranges(EncodeDate(1990, 3, 3), EncodeDate(1990, 3, 6), 5020, 5060);
    Render("calendar_fixed_axes");
    ExpectCellsDrawn("with the axes fixed to the readings");

    Chart->BottomAxis()->SetAutomatic(true);
    Chart->LeftAxis()->SetAutomatic(true);
    for (int i = 0; i < Chart->SeriesCount(); ++i)
        Chart->Series(i)->Clear();
    Render("calendar_cleared");
    ExpectCellsDrawn("with every series cleared");

    // Points given to it by code change nothing of that.
    Calendar->AddXY(-1e6, -1e6);
    Ranges(0, 10, 0, 10);
    Render("calendar_point_outside");
    ExpectCellsDrawn("with a point of its own outside the axes");

    Chart->SetView3D(true);
    Line->AddXY(5, 5);
    Render("calendar_3d");
    ExpectCellsDrawn("in 3D");

    Calendar->SetActive(false);
    Render("calendar_inactive");
    EXPECT_EQ(Count(clBlue, TRect(0, 0, W, H)), 0) << "drawn while inactive";
    EXPECT_EQ(Count(clRed, TRect(0, 0, W, H)), 0) << "drawn while inactive";
}

// The series is hit over the plot area but has no point to tell of: a marks
// tip over it shows nothing (and raises nothing).
TEST_F(CalendarDrawnTest, MarksTipOverItShowsNoPoint) {
    Line->Clear();
    auto* tip = new TMarksTipTool(Chart.get());
    tip->SetParentChart(Chart.get());
    Render("calendar_tip");
    const TRect cell = Calendar->RectCell(3, 5);
    ASSERT_EQ(Calendar->Clicked(cell.Left + 2, cell.Top + 2), 0);
    EXPECT_NO_THROW(tip->ChartMouseEvent(cmeMove, mbLeft, {}, cell.Left + 2, cell.Top + 2));
    EXPECT_EQ(Chart->Hint(), "") << "a marks tip told of a point the calendar does not hold";
}

} // namespace
