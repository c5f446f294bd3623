#pragma once
// Small builders for the editor forms: each makes a named control, parents it
// and places it, so a form's constructor reads like its resource.
#include "chart/control/teenumedit.h"
#include "chart/engine/teecontrols.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include <initializer_list>

template <typename T>
T* TeeNew(TComponent* Owner, TWinControl* Parent, const char* Name, int L, int T_, int W, int H) {
    auto* c = new T(Owner);
    c->SetName(Name);
    c->SetParent(Parent);
    c->SetBounds(L, T_, W, H);
    return c;
}

TLabel* TeeNewLabel(TComponent* Owner, TWinControl* Parent, const AnsiString& Caption, int L, int T,
                    TWinControl* Focus = nullptr);
TCheckBox* TeeNewCheck(TComponent* Owner, TWinControl* Parent, const char* Name,
                       const AnsiString& Caption, int L, int T, int W = 120);
template <typename B = TButton>
B* TeeNewButton(TComponent* Owner, TWinControl* Parent, const char* Name, const AnsiString& Caption,
                int L, int T, int W = 75, int H = 25) {
    auto* b = TeeNew<B>(Owner, Parent, Name, L, T, W, H);
    b->SetCaption(Caption);
    return b;
}
TComboFlat* TeeNewCombo(TComponent* Owner, TWinControl* Parent, const char* Name, int L, int T,
                        int W, std::initializer_list<const char*> Items);
// A number field: any finite number until bounded (TNumberEdit).
TNumberEdit* TeeNewNumber(TComponent* Owner, TWinControl* Parent, const char* Name, int L, int T,
                          int W);
// A number field with its up-down beside it, bounded by the up-down's range.
TUpDown* TeeNewUpDown(TComponent* Owner, TWinControl* Parent, const char* EditName,
                      const char* UpDownName, int L, int T, int W, int Min, int Max,
                      TEdit** Edit = nullptr, int Step = 1);
// Widens the up-down's field to show both ends of its range whole.
void TeeFitToRange(TUpDown* U);
TRadioGroup* TeeNewRadio(TComponent* Owner, TWinControl* Parent, const char* Name,
                         const AnsiString& Caption, int L, int T, int W, int H,
                         std::initializer_list<const char*> Items);
TTabSheet* TeeNewTab(TPageControl* Pages, const char* Name, const AnsiString& Caption);
// The whole number in the edit, kept inside the up-down's range; false for text
// that is no number.
bool UpDownValue(TEdit* E, TUpDown* U, int& V);
// Widens the window holding Root until every page control shown under Root has
// room for all its tabs (within the screen's width): scroll arrows would hide
// pages from the user.
void TeeWidenForTabs(TWinControl* Root);
