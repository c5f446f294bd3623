// A calendar added to the live chart stays drawn over the plot area through
// the program's Start, Stop, Reset and the time axis scrolling on.
#include "app_fixture.h"
#include "chart/series/teecalendar.h"
#include "chart/series/teeextraseries.h"
#include "platform/rtl/datetime.h"

namespace {

class LiveChartCalendarTest : public AppTest {
protected:
    void OpenChartWithCalendar() {
        WriteIni("[SetUP_ADC]\nSampling_time_Chart=1000\nSampling_time_Display=1000\n");
        PlugConverter();
        FakeUsb::SetDefaultRaw(10);
        Start();
        Item("N20kVm1")->Click();
        MainForm->Grafik1->Click();
        TeeExtraSeriesStartup();
        Calendar = new TCalendarSeries(MainForm);
        Calendar->SetParentChart(MainForm->Chart1);
        Calendar->SetFirstWeekDay(0);
        // 12 June 2024, a Wednesday: column 3 of the fifth row.
        Calendar->SetDate(EncodeDate(2024, 6, 12));
    }
    // Start, then Stop once the sampling time passed Seconds.
    void RunFor(double Seconds) {
        TPumpScript script;
        script.AdvanceClockPerPump(100);
        script.When([Seconds] { return MainForm->SampleTime > Seconds; }).Click(MainForm->b_Stop_);
        MainForm->b_Start->Click();
        EXPECT_TRUE(script.Done());
    }
    // Pixels of the selected day's colour in its cell, as the chart draws now.
    int SelectedDayPixels() {
        TChart* chart = MainForm->Chart1;
        TBitmap picture(chart->Width(), chart->Height());
        chart->Draw(picture.Canvas(), TRect(0, 0, chart->Width(), chart->Height()));
        const TRect cell = Calendar->RectCell(3, 5);
        int n = 0;
        for (int y = cell.Top; y < cell.Bottom; ++y)
            for (int x = cell.Left; x < cell.Right; ++x)
                n += picture.Canvas()->Pixels(x, y) == Calendar->Today()->Color();
        return n;
    }
    // Most of the cell: the live curve and the day's number cross some of it.
    int MostOfTheCell() {
        const TRect cell = Calendar->RectCell(3, 5);
        return cell.Width() * cell.Height() / 2;
    }

    TCalendarSeries* Calendar = nullptr;
};

TEST_F(LiveChartCalendarTest, StaysDrawnThroughStartResetAndTheScrollingTimeAxis) {
    OpenChartWithCalendar();
    EXPECT_GT(SelectedDayPixels(), MostOfTheCell()) << "drawn on the empty chart";

    RunFor(5);
    ASSERT_GT(MainForm->Series1->Count(), 0);
    EXPECT_GT(SelectedDayPixels(), MostOfTheCell()) << "drawn under the first readings";

    // Past the chart's width the time axis moves on, far from where it began.
    RunFor(75);
    ASSERT_GT(MainForm->Chart1->BottomAxis()->Maximum(), 75);
    EXPECT_GT(SelectedDayPixels(), MostOfTheCell()) << "drawn once the time axis scrolled";

    // Reset clears the chart for the next Start.
    MainForm->b_Reset->Click();
    EXPECT_EQ(MainForm->Series1->Count(), 0);
    EXPECT_GT(SelectedDayPixels(), MostOfTheCell()) << "drawn after Reset cleared the chart";
    RunFor(77);
    EXPECT_GT(SelectedDayPixels(), MostOfTheCell()) << "drawn after the next Start";

    Calendar->SetActive(false);
    EXPECT_EQ(SelectedDayPixels(), 0) << "drawn while inactive";
}

} // namespace
