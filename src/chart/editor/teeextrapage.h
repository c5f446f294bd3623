#pragma once
// What the pages of the further series share: the series is taken from the
// form's tag when shown, the binder's loading guard keeps the change handlers
// quiet meanwhile, small wiring helpers write one property per control through
// the binder, and further pages are added beside the tab the form is docked in.
#include "chart/control/tooledit.h"
#include "chart/editor/teebinder.h"
#include "chart/editor/teeformbuild.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"
#include <functional>

class TChartSeries;

class TTeeSeriesPage : public TForm {
    QM_CLASS(TTeeSeriesPage)
public:
    explicit TTeeSeriesPage(TComponent* AOwner);

    TChartSeries* EditedSeries() const { return FSeries; }
    bool Filling() const { return FBind.Loading(); }
    void FormShow(TObject* Sender);

    // A tab captioned Caption beside the one this form is docked in (at
    // Position; for -1 after the series page's own page and the pages added
    // before, or last elsewhere), holding a form of the class registered as
    // ClassName for Subject. The tab goes with this form. nullptr when the form
    // is not docked in pages or the class is unknown.
    TCustomForm* InsertPage(const AnsiString& ClassName, const AnsiString& Caption,
                            TPersistent* Subject, int Position = -1);

protected:
    // Reads the edited series into the controls, the filling guard set.
    virtual void ShowSeries() {}
    // Adds further pages; called once, after the first ShowSeries.
    virtual void AddPages() {}
    bool CanWrite() const { return !FBind.Loading() && FSeries; }

    // Each writes through Set when the user changes the control; numbers only
    // after the page has been shown and only when the text is one.
    void OnCheck(TCheckBox* C, std::function<void(bool)> Set);
    void OnUpDown(TUpDown* U, std::function<void(int)> Set);
    void OnFloat(TEdit* E, std::function<void(double)> Set);
    void OnIndex(TComboBox* C, std::function<void(int)> Set);
    void OnIndex(TRadioGroup* R, std::function<void(int)> Set);

    TWatched<TChartSeries> FSeries;
    TControlBinder FBind{[this] { return FSeries != nullptr; }};

private:
    bool FPagesAdded = false;
};

// Hides the named controls of a form (those it has).
void TeeHideNamed(TComponent* Form, std::initializer_list<const char*> Names);
