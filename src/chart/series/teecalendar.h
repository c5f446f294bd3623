#pragma once
// Calendar series (unit Teecalendar): one month drawn over the plot area, a
// title row, a weekday row and the day grid, with month buttons and day picking.
//   TCalendarCell, TCalendarCellUpper   styled cells
//   TCalendarSeries                     layout, drawing, clicks, month changes
#include "chart/control/series.h"
#include "chart/engine/teepanel.h"
#include "chart/engine/teeshape.h"
#include <functional>
#include <memory>

class TCalendarSeries;
class TPopupMenu;
class TSpeedButton;

class TCalendarCell : public TTeeShape {
    QM_CLASS(TCalendarCell)
public:
    explicit TCalendarCell(TCalendarSeries* ASeries = nullptr);
    void CanvasChanged(TObject* Sender) override;

protected:
    TCalendarSeries* FSeries;
};

class TCalendarCellUpper : public TCalendarCell {
    QM_CLASS(TCalendarCellUpper)
public:
    explicit TCalendarCellUpper(TCalendarSeries* ASeries = nullptr) : TCalendarCell(ASeries) {}
    void Assign(TPersistent* Source) override;
    bool UpperCase() const { return FUpperCase; }
    void SetUpperCase(bool Value);
    const AnsiString& Format() const { return FFormat; }
    void SetFormat(const AnsiString& Value);
    // Value formatted with Format, upper-cased when asked.
    AnsiString Text(TDateTime Value) const;

private:
    bool FUpperCase = false;
    AnsiString FFormat;
};

using TCalendarChangeEvent = std::function<void(TCalendarSeries* Sender, TDateTime& NewDate)>;

class TCalendarSeries : public TChartSeries, public ITeeEventListener {
    QM_CLASS(TCalendarSeries)
public:
    explicit TCalendarSeries(TComponent* AOwner);
    ~TCalendarSeries() override;

    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TCalendarSeriesEditor"; }
    void SetParentChart(TCustomAxisPanel* Value) override;
    void DrawAllValues() override;
    bool UseAxis() override { return false; }
    bool DrawsWithoutValues() override { return true; }
    int NumSampleValues() override { return 1; }
    void AddSampleValues(int) override {}
    int Clicked(int X, int Y) override;
    using TChartSeries::Clicked;
    void PrepareForGallery(bool IsEnabled) override;
    void TeeEvent(TTeeEvent* Event) override;

    TDateTime Date() const { return FDate; }
    void SetDate(TDateTime Value);
    double DateValue() const { return FDate; }
    void SetDateValue(double Value) { SetDate(TDateTime(Value)); }
    void NextMonth();
    void PreviousMonth();
    int Month() const;
    // The month menu's choice: keeps the day, clamped to the month's length.
    void ChooseMonth(int AMonth);
    // Opens the month menu (made on first use) at a point of the chart.
    void PopupMonths(int X, int Y);
    // The month menu, nullptr until it is first opened.
    TPopupMenu* MonthMenu() const { return FMonthMenu.get(); }

    int Rows() const;
    int Columns() const { return FColumns; }
    int XCell(double X);
    int YCell(double Y);
    TRect RectCell(int Column, int Row);
    TRect SeriesRect();
    // The month title row.
    TRect MonthsRect();
    // Column and row (from 1) of day 1 in the last drawing.
    int StartColumn() const;
    int StartRow() const;
    // 0 Monday .. 6 Sunday.
    int FirstWeekDay() const { return FFirstWeekDay; }
    void SetFirstWeekDay(int Value) { SetIntegerProperty(FFirstWeekDay, ((Value % 7) + 7) % 7); }

    TCalendarCell* Days() const { return FDays.get(); }
    void SetDays(TCalendarCell* Value) { FDays->Assign(Value); }
    TCalendarCellUpper* Months() const { return FMonths.get(); }
    void SetMonths(TCalendarCellUpper* Value) { FMonths->Assign(Value); }
    TCalendarCell* Sunday() const { return FSunday.get(); }
    void SetSunday(TCalendarCell* Value) { FSunday->Assign(Value); }
    TCalendarCell* Today() const { return FToday.get(); }
    void SetToday(TCalendarCell* Value) { FToday->Assign(Value); }
    TCalendarCell* Trailing() const { return FTrailing.get(); }
    void SetTrailing(TCalendarCell* Value) { FTrailing->Assign(Value); }
    TCalendarCellUpper* WeekDays() const { return FWeekDays.get(); }
    void SetWeekDays(TCalendarCellUpper* Value) { FWeekDays->Assign(Value); }
    bool NextButtonVisible() const { return FNextVisible; }
    void SetNextButtonVisible(bool Value);
    bool PreviousButtonVisible() const { return FPreviousVisible; }
    void SetPreviousButtonVisible(bool Value);
    TSpeedButton* NextButton() const { return FNextButton; }
    TSpeedButton* PreviousButton() const { return FPreviousButton; }

    TCalendarChangeEvent OnChange;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void DrawCell(TCalendarCell* Cell, int Column, int Row, const AnsiString& Text);
    void FreeButtons();
    TSpeedButton* MakeButton(const AnsiString& Caption, int Left, bool Visible,
                             std::function<void()> Action);

    TDateTime FDate;
    std::unique_ptr<TCalendarCell> FDays;
    std::unique_ptr<TCalendarCellUpper> FMonths;
    std::unique_ptr<TCalendarCell> FSunday;
    std::unique_ptr<TCalendarCell> FToday;
    std::unique_ptr<TCalendarCell> FTrailing;
    std::unique_ptr<TCalendarCellUpper> FWeekDays;
    bool FNextVisible = true;
    bool FPreviousVisible = true;
    TSpeedButton* FNextButton = nullptr;     // owned by the chart
    TSpeedButton* FPreviousButton = nullptr; // owned by the chart
    int FColumns = 7;
    int FFirstWeekDay;
    std::unique_ptr<TPopupMenu> FMonthMenu;
};
