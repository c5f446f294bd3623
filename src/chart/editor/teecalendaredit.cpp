// The calendar series' page: lines, the weekday, month, trailing-day and
// today switches, the two buttons, and one shape page for each kind of cell.
#include "chart/editor/teecalendaredit.h"

#include "chart/control/tooledit.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teeshapeedit.h"
#include "chart/series/teecalendar.h"

QM_CLASS_OWNED(TCalendarSeriesEditor, TTeeSeriesPage, TComponent)

TCalendarSeriesEditor::TCalendarSeriesEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(330);
    SetClientHeight(176);
    PageControl1 = TeeNew<TPageControl>(this, this, "PageControl1", 0, 0, 330, 176);
    PageControl1->SetAlign(alClient);
    TabOptions = TeeNewTab(PageControl1, "TabOptions", "Options");
    TWinControl* o = TabOptions;
    ButtonPen1 = TeeNewButton<TButtonPen>(this, o, "ButtonPen1", "&Lines...", 8, 8, 85);
    CBWeekDays = TeeNewCheck(this, o, "CBWeekDays", "Show &Weekdays", 8, 40, 130);
    CBWeekUpper = TeeNewCheck(this, o, "CBWeekUpper", "&Uppercase", 150, 40, 110);
    CBMonths = TeeNewCheck(this, o, "CBMonths", "Show &Months", 8, 62, 130);
    CBMonthUpper = TeeNewCheck(this, o, "CBMonthUpper", "U&ppercase", 150, 62, 110);
    CBTrailing = TeeNewCheck(this, o, "CBTrailing", "&Trailing days", 8, 84, 130);
    CBToday = TeeNewCheck(this, o, "CBToday", "Show T&oday", 150, 84, 110);
    CBPrevious = TeeNewCheck(this, o, "CBPrevious", "Show Pr&evious Button", 8, 110, 160);
    CBNext = TeeNewCheck(this, o, "CBNext", "Show Ne&xt Button", 8, 132, 160);
    PageControl1->SetActivePage(TabOptions);
    auto cal = [this] { return dynamic_cast<TCalendarSeries*>(FSeries.Get()); };
    OnCheck(CBWeekDays, [cal](bool V) { cal()->WeekDays()->SetVisible(V); });
    OnCheck(CBWeekUpper, [cal](bool V) { cal()->WeekDays()->SetUpperCase(V); });
    OnCheck(CBTrailing, [cal](bool V) { cal()->Trailing()->SetVisible(V); });
    OnCheck(CBToday, [cal](bool V) { cal()->Today()->SetVisible(V); });
    OnCheck(CBMonths, [cal](bool V) { cal()->Months()->SetVisible(V); });
    OnCheck(CBMonthUpper, [cal](bool V) { cal()->Months()->SetUpperCase(V); });
    OnCheck(CBPrevious, [cal](bool V) { cal()->SetPreviousButtonVisible(V); });
    OnCheck(CBNext, [cal](bool V) { cal()->SetNextButtonVisible(V); });
}

void TCalendarSeriesEditor::ShowSeries() {
    auto* c = dynamic_cast<TCalendarSeries*>(FSeries.Get());
    if (!c) return;
    ButtonPen1->LinkPen(c->Pen());
    CBWeekDays->SetChecked(c->WeekDays()->Visible());
    CBWeekUpper->SetChecked(c->WeekDays()->UpperCase());
    CBTrailing->SetChecked(c->Trailing()->Visible());
    CBToday->SetChecked(c->Today()->Visible());
    CBMonths->SetChecked(c->Months()->Visible());
    CBMonthUpper->SetChecked(c->Months()->UpperCase());
    CBPrevious->SetChecked(c->PreviousButtonVisible());
    CBNext->SetChecked(c->NextButtonVisible());
    if (FCellPages) return;
    FCellPages = true;
    const std::pair<const char*, TTeeCustomShape*> cells[] = {
        {"Days", c->Days()},     {"Weekdays", c->WeekDays()}, {"Today", c->Today()},
        {"Sunday", c->Sunday()}, {"Trailing", c->Trailing()}, {"Months", c->Months()}};
    for (const auto& [caption, cell] : cells) {
        auto* tab = new TTabSheet(this);
        tab->SetPageControl(PageControl1);
        tab->SetCaption(caption);
        auto* form = new TFormTeeShape(tab);
        form->SetAlign(alClient);
        // Cells are drawn with neither rounded corners nor bevels.
        form->CBRound->Hide();
        form->CBBevel->Hide();
        form->EBevWidth->Hide();
        form->UDBevW->Hide();
        for (int i = 0; i < form->ComponentCount(); ++i)
            if (auto* l = dynamic_cast<TLabel*>(form->Components(i)))
                if (l->FocusControl() == form->CBBevel || l->FocusControl() == form->EBevWidth)
                    l->Hide();
        AddFormTo(form, tab, nullptr);
        form->RefreshControls(cell);
    }
    PageControl1->SetActivePage(TabOptions);
}
