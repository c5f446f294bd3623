#pragma once
// The calendar series' page: its options and a page for each kind of cell.
#include "chart/editor/teeextrapage.h"

class TCalendarSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TCalendarSeriesEditor)
public:
    explicit TCalendarSeriesEditor(TComponent* AOwner);

    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabOptions = nullptr;
    TButtonPen* ButtonPen1 = nullptr;
    TCheckBox* CBWeekDays = nullptr;
    TCheckBox* CBWeekUpper = nullptr;
    TCheckBox* CBTrailing = nullptr;
    TCheckBox* CBToday = nullptr;
    TCheckBox* CBMonths = nullptr;
    TCheckBox* CBMonthUpper = nullptr;
    TCheckBox* CBPrevious = nullptr;
    TCheckBox* CBNext = nullptr;

protected:
    void ShowSeries() override;

private:
    bool FCellPages = false;
};
