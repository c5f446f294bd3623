// Calendar series: cells, layout of rows and columns, drawing a month,
// picking days, month buttons.
#include "chart/series/teecalendar.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teegeometry.h"
#include "platform/forms/buttons.h"
#include "platform/forms/menus.h"
#include "platform/graphics/gditypes.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/rtlmath.h"
#include <cmath>

QM_CLASS_OWNED(TCalendarCell, TTeeShape, TCalendarSeries)
QM_CLASS_OWNED(TCalendarCellUpper, TCalendarCell, TCalendarSeries)
QM_CLASS_OWNED(TCalendarSeries, TChartSeries, TComponent)

QM_PUBLISHED(TCalendarCell, Prop("Brush", &Self::Brush, &Self::SetBrush),
             Prop("Pen", &Self::Pen, &Self::SetPen),
             Prop("Transparency", &Self::Transparency, &Self::SetTransparency).Default(0),
             Prop("Visible", &Self::Visible, &Self::SetVisible).Default(true));

QM_PUBLISHED(TCalendarCellUpper, Prop("Format", &Self::Format, &Self::SetFormat),
             Prop("UpperCase", &Self::UpperCase, &Self::SetUpperCase).Default(false));

QM_PUBLISHED(
    TCalendarSeries, Prop("Date", &Self::DateValue, &Self::SetDateValue),
    Prop("Days", &Self::Days, &Self::SetDays), Prop("Months", &Self::Months, &Self::SetMonths),
    Prop("NextButtonVisible", &Self::NextButtonVisible, &Self::SetNextButtonVisible).Default(true),
    Prop("OnChange", &Self::OnChange), Prop("Pen", &Self::Pen, &Self::SetPen),
    Prop("PreviousButtonVisible", &Self::PreviousButtonVisible, &Self::SetPreviousButtonVisible)
        .Default(true),
    Prop("ShowInLegend", &Self::ShowInLegend, &Self::SetShowInLegend).Default(false),
    Prop("Sunday", &Self::Sunday, &Self::SetSunday), Prop("Today", &Self::Today, &Self::SetToday),
    Prop("Trailing", &Self::Trailing, &Self::SetTrailing),
    Prop("WeekDays", &Self::WeekDays, &Self::SetWeekDays));

namespace {
// Monday 1 .. Sunday 7.
int IsoWeekDay(TDateTime D) {
    return (DayOfWeek(D) + 5) % 7 + 1;
}
// Any Monday: weekday names are formatted from the days after it.
constexpr int RefYear = 2024, RefMonth = 1, RefMonday = 1;
} // namespace

// ---------------------------------------------------------------------------
// Cells

TCalendarCell::TCalendarCell(TCalendarSeries* ASeries) : TTeeShape(nullptr), FSeries(ASeries) {}

void TCalendarCell::CanvasChanged(TObject* Sender) {
    TTeeShape::CanvasChanged(Sender);
    if (FSeries) FSeries->Repaint();
}

void TCalendarCellUpper::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCalendarCellUpper*>(Source)) {
        FUpperCase = s->FUpperCase;
        FFormat = s->FFormat;
    }
    TCalendarCell::Assign(Source);
}

void TCalendarCellUpper::SetUpperCase(bool Value) {
    FUpperCase = Value;
    if (FSeries) FSeries->Repaint();
}

void TCalendarCellUpper::SetFormat(const AnsiString& Value) {
    FFormat = Value;
    if (FSeries) FSeries->Repaint();
}

AnsiString TCalendarCellUpper::Text(TDateTime Value) const {
    const AnsiString s = FormatDateTime(FFormat, Value);
    return FUpperCase ? s.UpperCase() : s;
}

// ---------------------------------------------------------------------------
// Series

TCalendarSeries::TCalendarSeries(TComponent* AOwner)
    : TChartSeries(AOwner), FDate(::Date()), FDays(std::make_unique<TCalendarCell>(this)),
      FMonths(std::make_unique<TCalendarCellUpper>(this)),
      FSunday(std::make_unique<TCalendarCell>(this)), FToday(std::make_unique<TCalendarCell>(this)),
      FTrailing(std::make_unique<TCalendarCell>(this)),
      FWeekDays(std::make_unique<TCalendarCellUpper>(this)), FFirstWeekDay(FirstDayOfWeek) {
    FDays->SetTransparent(true);
    FMonths->SetTransparent(true);
    FMonths->SetFormat("mmmm, yyyy");
    FSunday->SetColor(255);
    FSunday->Font()->SetColor(clWhite);
    FSunday->Shadow()->SetSize(0);
    FToday->SetColor(0xFF0000);
    FToday->Font()->SetColor(clWhite);
    FToday->Shadow()->SetSize(0);
    FTrailing->SetTransparent(true);
    FTrailing->Font()->SetColor(0x808080);
    FWeekDays->SetFormat("ddd");
    FWeekDays->Pen()->InitVisible(false);
    SetShowInLegend(false);
    // Its cells carry their own colours.
    SetUseSeriesColor(false);
    SetDontSaveData(true);
}

TCalendarSeries::~TCalendarSeries() {
    if (TCustomAxisPanel* chart = ParentChart()) chart->Listeners()->Remove(this);
    // The base class leaves the chart without this class' SetParentChart, and a
    // button left behind would call this series when clicked.
    FreeButtons();
}

void TCalendarSeries::Notification(TComponent* AComponent, TOperation Operation) {
    TChartSeries::Notification(AComponent, Operation);
    if (Operation != opRemove || !AComponent) return;
    if (AComponent == FNextButton) FNextButton = nullptr;
    if (AComponent == FPreviousButton) FPreviousButton = nullptr;
}

void TCalendarSeries::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TCalendarSeries*>(Source)) {
        FDate = s->FDate;
        FDays->Assign(s->FDays.get());
        FMonths->Assign(s->FMonths.get());
        FSunday->Assign(s->FSunday.get());
        FToday->Assign(s->FToday.get());
        FTrailing->Assign(s->FTrailing.get());
        FWeekDays->Assign(s->FWeekDays.get());
        FNextVisible = s->FNextVisible;
        FPreviousVisible = s->FPreviousVisible;
    }
    TChartSeries::Assign(Source);
}

TSpeedButton* TCalendarSeries::MakeButton(const AnsiString& Caption, int Left, bool Visible,
                                          std::function<void()> Action) {
    TCustomAxisPanel* chart = ParentChart();
    auto* b = new TSpeedButton(chart); // owned by the chart
    b->SetFlat(true);
    b->SetCaption(Caption);
    b->SetBounds(Left, 6, 22, 22);
    b->SetVisible(Visible);
    b->OnClick = [Action](TObject*) { Action(); };
    b->SetParent(chart);
    b->FreeNotification(this);
    return b;
}

void TCalendarSeries::FreeButtons() {
    // The chart owns them; freeing one takes it out of the chart's list.
    std::unique_ptr<TSpeedButton> next(FNextButton), previous(FPreviousButton);
    FNextButton = FPreviousButton = nullptr;
}

void TCalendarSeries::SetParentChart(TCustomAxisPanel* Value) {
    if (TCustomAxisPanel* old = ParentChart()) {
        if (old != Value) {
            old->Listeners()->Remove(this);
            FreeButtons();
        }
    }
    TChartSeries::SetParentChart(Value);
    for (TCalendarCell* c :
         {FDays.get(), static_cast<TCalendarCell*>(FMonths.get()), FSunday.get(), FToday.get(),
          FTrailing.get(), static_cast<TCalendarCell*>(FWeekDays.get())})
        c->SetParent(Value);
    if (!Value || FNextButton) return;
    Value->Listeners()->Add(this);
    FNextButton = MakeButton(">", 30, FNextVisible, [this] { NextMonth(); });
    FPreviousButton = MakeButton("<", 6, FPreviousVisible, [this] { PreviousMonth(); });
}

void TCalendarSeries::SetNextButtonVisible(bool Value) {
    FNextVisible = Value;
    if (FNextButton) FNextButton->SetVisible(Value);
}

void TCalendarSeries::SetPreviousButtonVisible(bool Value) {
    FPreviousVisible = Value;
    if (FPreviousButton) FPreviousButton->SetVisible(Value);
}

void TCalendarSeries::SetDate(TDateTime Value) {
    if (OnChange && Value != FDate) {
        // The handler may free the series, the chart or its form.
        TCallOut held{this, ParentChart(), ChartForm()};
        OnChange(this, Value);
        if (held.Gone()) return;
    }
    if (Value == FDate) return;
    FDate = Value;
    Repaint();
}

namespace {
TDateTime AddMonths(TDateTime D, int Delta) {
    int y, m, d;
    DecodeDate(D, y, m, d);
    int index = y * 12 + (m - 1) + Delta;
    y = index / 12;
    m = index % 12 + 1;
    if (y < 1 || y > 9999) return D;
    d = std::min(d, DaysInMonth(y, m));
    return EncodeDate(y, m, d) + (D - std::floor(D));
}
} // namespace

void TCalendarSeries::NextMonth() {
    SetDate(AddMonths(FDate, 1));
}
void TCalendarSeries::PreviousMonth() {
    SetDate(AddMonths(FDate, -1));
}

int TCalendarSeries::Month() const {
    int y, m, d;
    DecodeDate(FDate, y, m, d);
    return m;
}

void TCalendarSeries::ChooseMonth(int AMonth) {
    if (AMonth < 1 || AMonth > 12) return;
    SetDate(AddMonths(FDate, AMonth - Month()));
}

void TCalendarSeries::PopupMonths(int X, int Y) {
    if (!FMonthMenu) {
        FMonthMenu = std::make_unique<TPopupMenu>(nullptr);
        for (int m = 1; m <= 12; ++m) {
            auto* item = new TMenuItem(FMonthMenu.get()); // owned by the menu
            item->SetCaption(LongMonthNames[m]);
            item->OnClick = [this, m](TObject*) { ChooseMonth(m); };
            FMonthMenu->Items()->Add(item);
        }
    }
    TPoint at(X, Y);
    if (TCustomAxisPanel* chart = ParentChart()) at = chart->ClientToScreen(at);
    FMonthMenu->Popup(at.x, at.y);
}

int TCalendarSeries::Rows() const {
    return 8 - (FWeekDays->Visible() ? 0 : 1) - (FMonths->Visible() ? 0 : 1);
}

int TCalendarSeries::XCell(double X) {
    TChartAxis* a = GetHorizAxis();
    return a ? a->IStartPos + SafeInt(std::nearbyint(a->IAxisSize * X / FColumns)) : 0;
}

int TCalendarSeries::YCell(double Y) {
    TChartAxis* a = GetVertAxis();
    return a ? a->IStartPos + SafeInt(std::nearbyint(a->IAxisSize * Y / Rows())) : 0;
}

TRect TCalendarSeries::RectCell(int Column, int Row) {
    return TRect(XCell(Column - 1) + 1, YCell(Row - 1) + 1, XCell(Column) - 1, YCell(Row) - 1);
}

TRect TCalendarSeries::MonthsRect() {
    return TRect(XCell(0) + 1, YCell(0) + 1, XCell(FColumns) - 1, YCell(1) - 1);
}

TRect TCalendarSeries::SeriesRect() {
    return TRect(XCell(0), YCell(0), XCell(FColumns), YCell(Rows()));
}

int TCalendarSeries::StartColumn() const {
    int y, m, d;
    DecodeDate(FDate, y, m, d);
    const int first = IsoWeekDay(EncodeDate(y, m, 1));
    return ((first - FFirstWeekDay + 6) % FColumns) + 1;
}

int TCalendarSeries::StartRow() const {
    return 3 - (FWeekDays->Visible() ? 0 : 1) - (FMonths->Visible() ? 0 : 1);
}

void TCalendarSeries::DrawCell(TCalendarCell* Cell, int Column, int Row, const AnsiString& Text) {
    TCanvas3D* canvas = ParentChart()->Canvas();
    Cell->DrawRectRotated(RectCell(Column, Row), 0, StartZ());
    canvas->AssignFont(Cell->Font());
    canvas->SetBackMode(cbmTransparent);
    canvas->SetTextAlign(TA_CENTER);
    const int x = XCell(Column - 0.5);
    const int y = YCell(Row - 0.5) - canvas->TextHeight(Text) / 2;
    canvas->TextOut(x, y, Text);
}

void TCalendarSeries::DrawAllValues() {
    TCustomAxisPanel* chart = ParentChart();
    if (!chart) return;
    int year, month, day;
    DecodeDate(FDate, year, month, day);
    if (year < 1) return; // not a date
    if (FWeekDays->Visible()) {
        const int row = FMonths->Visible() ? 2 : 1;
        const TDateTime monday = EncodeDate(RefYear, RefMonth, RefMonday);
        for (int c = 0; c < FColumns; ++c)
            DrawCell(FWeekDays.get(), c + 1, row,
                     FWeekDays->Text(monday + (FFirstWeekDay + c) % 7));
    }
    if (FMonths->Visible()) {
        FMonths->DrawRectRotated(MonthsRect(), 0, StartZ());
        TCanvas3D* canvas = chart->Canvas();
        const AnsiString text = FMonths->Text(FDate);
        canvas->AssignFont(FMonths->Font());
        canvas->SetBackMode(cbmTransparent);
        canvas->SetTextAlign(TA_CENTER);
        canvas->TextOut(XCell(FColumns * 0.5), YCell(0.5) - canvas->TextHeight(text) / 2, text);
    }
    int column = StartColumn(), row = StartRow();
    const int rows = Rows();
    const TDateTime first = EncodeDate(year, month, 1);
    if (FTrailing->Visible())
        for (int c = 1; c < column; ++c) {
            int y, m, d;
            DecodeDate(first - (column - c), y, m, d);
            DrawCell(FTrailing.get(), c, row, IntToStr(d));
        }
    const int days = DaysInMonth(year, month);
    for (int d = 1; d <= days; ++d) {
        TCalendarCell* cell = FDays.get();
        if (d == day && FToday->Visible())
            cell = FToday.get();
        else if (DayOfWeek(first + d - 1) == 1)
            cell = FSunday.get();
        DrawCell(cell, column, row, IntToStr(d));
        if (++column > FColumns) {
            column = 1;
            ++row;
        }
    }
    if (FTrailing->Visible())
        for (int d = 1; row <= rows; ++d) {
            DrawCell(FTrailing.get(), column, row, IntToStr(d));
            if (++column > FColumns) {
                column = 1;
                ++row;
            }
        }
    if (Pen()->Visible()) {
        TCanvas3D* canvas = chart->Canvas();
        canvas->AssignVisiblePen(Pen());
        const int h = (FWeekDays->Visible() ? 1 : 0) + (FMonths->Visible() ? 1 : 0);
        const int z = StartZ();
        const bool is3D = chart->View3D();
        for (int c = 0; c <= FColumns; ++c) {
            if (is3D)
                canvas->VertLine3D(XCell(c), YCell(h), YCell(rows), z);
            else
                canvas->DoVertLine(XCell(c), YCell(h), YCell(rows));
        }
        for (int r = h; r <= rows; ++r) {
            if (is3D)
                canvas->HorizLine3D(XCell(0), XCell(FColumns), YCell(r), z);
            else
                canvas->DoHorizLine(XCell(0), XCell(FColumns), YCell(r));
        }
    }
}

int TCalendarSeries::Clicked(int X, int Y) {
    return Active() && PointInRect(SeriesRect(), X, Y) ? 0 : -1;
}

void TCalendarSeries::TeeEvent(TTeeEvent* Event) {
    auto* e = dynamic_cast<TTeeMouseEvent*>(Event);
    if (!e || e->Event != meDown || e->Button != mbLeft || e->Shift.Contains(ssShift)) return;
    if (!Active()) return;
    if (FMonths->Visible() && PointInRect(MonthsRect(), e->X, e->Y)) {
        PopupMonths(e->X, e->Y);
        return;
    }
    if (!PointInRect(SeriesRect(), e->X, e->Y)) return;
    int column = 0, row = 0;
    for (int c = 1; c <= FColumns; ++c)
        if (e->X < XCell(c)) {
            column = c;
            break;
        }
    for (int r = 1; r <= Rows(); ++r)
        if (e->Y < YCell(r)) {
            row = r;
            break;
        }
    // The title row's edges and the weekday row pick nothing.
    if (column == 0 || row < StartRow()) return;
    int y, m, d;
    DecodeDate(FDate, y, m, d);
    const int index = (row - StartRow()) * FColumns + (column - StartColumn());
    SetDate(EncodeDate(y, m, 1) + index + (FDate - std::floor(FDate)));
}

void TCalendarSeries::PrepareForGallery(bool IsEnabled) {
    TChartSeries::PrepareForGallery(IsEnabled);
    Pen()->SetVisible(false);
    FDays->Font()->SetSize(6);
    FMonths->SetVisible(false);
    FWeekDays->Font()->SetSize(5);
    FWeekDays->Shadow()->SetSize(0);
    FSunday->Font()->SetSize(6);
    FToday->Font()->SetSize(6);
    FTrailing->SetVisible(false);
    SetNextButtonVisible(false);
    SetPreviousButtonVisible(false);
}
