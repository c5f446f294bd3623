// Calendar day cells for known months, rows without the title rows, month
// changes and picking a day.
#include "chart/control/series_fixture.h"
#include "chart/series/teecalendar.h"
#include "chart/series/teeextraseries.h"
#include "platform/forms/menus.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"

namespace {

class StatCalendarTest : public SeriesChartTest {
protected:
    StatCalendarTest() { TeeExtraSeriesStartup(); }
    TCalendarSeries* Calendar(int Y, int M, int D) {
        auto* s = Add<TCalendarSeries>();
        s->SetFirstWeekDay(0); // Monday
        s->SetDate(EncodeDate(Y, M, D));
        return s;
    }
    // A left press as the chart tells its listeners.
    void Press(TCalendarSeries* S, int X, int Y) {
        TTeeMouseEvent e;
        e.Sender = Chart.get();
        e.X = X;
        e.Y = Y;
        S->TeeEvent(&e);
    }
    // A corner of the cell, clear of its centred text.
    TColor CellColour(TCalendarSeries* S, int Column, int Row) {
        const TRect r = S->RectCell(Column, Row);
        return Pixel(r.Left + 2, r.Top + 2);
    }
};

// June 2024 starts on a Saturday: with Monday first, day 1 is column 6, row 3.
TEST_F(StatCalendarTest, DayCellsOfAKnownMonth) {
    auto* s = Calendar(2024, 6, 12);
    Render("calendar");
    EXPECT_EQ(s->StartColumn(), 6);
    EXPECT_EQ(s->StartRow(), 3);
    EXPECT_EQ(s->Rows(), 8);
    EXPECT_EQ(CellColour(s, 7, 3), clRed);   // Sunday 2 June
    EXPECT_EQ(CellColour(s, 7, 4), clRed);   // Sunday 9 June
    EXPECT_EQ(CellColour(s, 3, 5), clBlue);  // the selected day, Wednesday 12 June
    EXPECT_EQ(CellColour(s, 6, 3), clWhite); // Saturday 1 June: transparent day cell
    EXPECT_EQ(CellColour(s, 1, 3), clWhite); // trailing day of May
    EXPECT_EQ(CellColour(s, 7, 7), clRed);   // Sunday 30 June, last day
    // Grid lines of the series pen along the cell boundaries.
    EXPECT_EQ(Pixel(s->XCell(3), (s->YCell(4) + s->YCell(5)) / 2), clBlack);
}

TEST_F(StatCalendarTest, MonthStartingOnTheFirstWeekdayHasNoLeadingDays) {
    auto* s = Calendar(2021, 3, 20); // 1 March 2021 is a Monday
    EXPECT_EQ(s->StartColumn(), 1);
    s->SetFirstWeekDay(6); // Sunday first: Monday moves to column 2
    EXPECT_EQ(s->StartColumn(), 2);
    s->WeekDays()->SetVisible(false);
    s->Months()->SetVisible(false);
    EXPECT_EQ(s->Rows(), 6);
    EXPECT_EQ(s->StartRow(), 1);
}

TEST_F(StatCalendarTest, MonthChangesClampTheDay) {
    auto* s = Calendar(2024, 1, 31);
    s->ChooseMonth(2);
    EXPECT_EQ(s->Date(), EncodeDate(2024, 2, 29));
    s->NextMonth();
    EXPECT_EQ(s->Date(), EncodeDate(2024, 3, 29));
    s->SetDate(EncodeDate(2024, 3, 31));
    s->PreviousMonth();
    EXPECT_EQ(s->Date(), EncodeDate(2024, 2, 29));
    EXPECT_EQ(s->Month(), 2);
    // A change handler may redirect the new date.
    s->OnChange = [](TCalendarSeries*, TDateTime& D) { D = EncodeDate(2000, 1, 1); };
    s->NextMonth();
    EXPECT_EQ(s->Date(), EncodeDate(2000, 1, 1));
}

TEST_F(StatCalendarTest, TitleRowOffersTheMonthsAndTheChoiceClampsTheDay) {
    auto* s = Calendar(2024, 1, 31);
    Render("calendar_menu");
    EXPECT_EQ(s->MonthMenu(), nullptr);
    const TRect title = s->MonthsRect();
    Press(s, title.Left + 5, title.Top + 3);
    TPopupMenu* menu = s->MonthMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->PopupCount(), 1);
    ASSERT_EQ(menu->Items()->Count(), 12);
    EXPECT_EQ(menu->Items()->Items(0)->Caption(), "January");
    EXPECT_EQ(menu->Items()->Items(11)->Caption(), "December");
    EXPECT_EQ(s->Date(), EncodeDate(2024, 1, 31)); // opening the menu picks no day
    menu->Items()->Items(1)->Click();
    EXPECT_EQ(s->Date(), EncodeDate(2024, 2, 29));
    // Without the title row the same spot is a day cell, never the menu.
    s->Months()->SetVisible(false);
    Press(s, title.Left + 5, title.Top + 3);
    EXPECT_EQ(menu->PopupCount(), 1);
}

TEST_F(StatCalendarTest, FirstWeekdayComesFromTheLocale) {
    const int saved = FirstDayOfWeek;
    for (int day : {6, 0, 2}) {
        FirstDayOfWeek = day;
        TCalendarSeries s(nullptr);
        EXPECT_EQ(s.FirstWeekDay(), day);
    }
    FirstDayOfWeek = saved;
}

TEST_F(StatCalendarTest, ClickingACellPicksItsDateTrailingCellsIncluded) {
    auto* s = Calendar(2024, 6, 12);
    Render("calendar_click");
    const TRect sat = s->RectCell(6, 7); // Saturday 29 June
    Press(s, sat.Left + 3, sat.Top + 3);
    EXPECT_EQ(s->Date(), EncodeDate(2024, 6, 29));
    const TRect may = s->RectCell(1, 3); // Monday 27 May, a trailing cell
    Press(s, may.Left + 3, may.Top + 3);
    EXPECT_EQ(s->Date(), EncodeDate(2024, 5, 27));
    EXPECT_EQ(s->Clicked(may.Left + 3, may.Top + 3), 0);
    EXPECT_EQ(s->Clicked(W + 10, 0), -1);
}

} // namespace
