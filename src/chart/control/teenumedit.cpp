#include "chart/control/teenumedit.h"
#include "chart/control/teestore.h"
#include "platform/forms/comctrls.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

TNumberEdit::TNumberEdit(TComponent* AOwner)
    : TEdit(AOwner), FMin(-std::numeric_limits<double>::max()),
      FMax(std::numeric_limits<double>::max()) {}

TNumberEdit::~TNumberEdit() = default;

void TNumberEdit::SetUpDown(TUpDown* Value) {
    FUpDown = Value;
    FInteger = true;
}

void TNumberEdit::SetIntegerRange(int64_t Min, int64_t Max) {
    FUpDown = nullptr;
    FInteger = true;
    FMin = static_cast<double>(Min);
    FMax = static_cast<double>(Max);
}

void TNumberEdit::SetFloatRange(double Min, double Max) {
    FUpDown = nullptr;
    FInteger = false;
    FMin = Min;
    FMax = Max;
}

bool TNumberEdit::Bounded(const AnsiString& Text, AnsiString& Shown, AnsiString& ForPage) const {
    double lo = FMin, hi = FMax;
    AnsiString t = Trim(Text);
    if (FUpDown) {
        lo = std::min(FUpDown->Min(), FUpDown->Max());
        hi = std::max(FUpDown->Min(), FUpDown->Max());
        // The up-down writes its numbers with thousands separators.
        if (FUpDown->Thousands() && ThousandSeparator)
            t = StringReplace(t, AnsiString(ThousandSeparator), "");
    }
    double v;
    if (FInteger) {
        // Digits only: a number too long for an int still ends at the bound.
        const std::string& d = t.str();
        const size_t first = !d.empty() && (d[0] == '-' || d[0] == '+') ? 1 : 0;
        if (first == d.size() || d.find_first_not_of("0123456789", first) != std::string::npos)
            return false;
        v = std::strtod(d.c_str(), nullptr);
    } else if (!TryStrToFloat(t, v) || !std::isfinite(v)) {
        return false;
    }
    const bool inside = v >= lo && v <= hi;
    // Only an up-down's range takes a number beyond it as its bound, as its
    // arrows would; other fields refuse it, as their property would.
    if (!inside && !FUpDown) return false;
    const double bounded = inside ? v : v < lo ? lo : hi;
    if (FInteger) {
        Shown = inside ? Text : WholeText(static_cast<int64_t>(bounded));
        // Plain digits, which every page's reading takes.
        ForPage = IntToStr(static_cast<int64_t>(bounded));
    } else {
        Shown = inside ? Text : FloatToStr(bounded);
        ForPage = Shown;
    }
    return true;
}

AnsiString TNumberEdit::WholeText(int64_t Value) const {
    AnsiString digits = IntToStr(Value < 0 ? -Value : Value);
    if (FUpDown && FUpDown->Thousands() && ThousandSeparator)
        for (int i = digits.Length() - 3; i > 0; i -= 3)
            digits.Insert(AnsiString(ThousandSeparator), i + 1);
    return Value < 0 ? "-" + digits : digits;
}

AnsiString TNumberEdit::GetTextValue() const {
    return FSubstitute ? *FSubstitute : TEdit::GetTextValue();
}

void TNumberEdit::SetTextValue(const AnsiString& Value) {
    // Text set by the page is what it reads from now on.
    FSubstitute = nullptr;
    if (!FReverting) FPending = false;
    const bool old = FFromCode;
    FFromCode = true;
    // The page's handler of the change may free this field.
    TCallOut held{this};
    try {
        TEdit::SetTextValue(Value);
    } catch (...) {
        if (held.Live()) FFromCode = old;
        throw;
    }
    if (held.Gone()) return;
    FFromCode = old;
    // What the page shows is the value held, even one beyond the bounds.
    if (!FReverting) FHeld = TEdit::GetTextValue();
}

// Text the page sets passes as before; only the user's entries are bounded.
void TNumberEdit::Change() {
    if (FReverting) return;
    if (FFromCode) {
        TEdit::Change();
        return;
    }
    if (FWholeFigures) {
        FPending = true;
        return;
    }
    ApplyTyped();
}

void TNumberEdit::ApplyFigure() {
    if (!FPending) return;
    FPending = false;
    ApplyTyped();
}

void TNumberEdit::ApplyTyped() {
    AnsiString shown, forPage;
    if (!Bounded(TEdit::GetTextValue(), shown, forPage)) return;
    FHeld = shown;
    const AnsiString* old = FSubstitute;
    FSubstitute = &forPage;
    TCallOut held{this};
    try {
        TEdit::Change();
    } catch (...) {
        if (held.Live()) FSubstitute = old;
        throw;
    }
    if (held.Gone()) return;
    FSubstitute = old;
}

void TNumberEdit::KeyDown(WORD& Key, TShiftState Shift) {
    // Enter says the figure is whole (and may then close the dialog).
    if (Key == VK_RETURN) {
        TCallOut held{this};
        ApplyFigure();
        if (held.Gone()) return;
    }
    TEdit::KeyDown(Key, Shift);
}

void TNumberEdit::DoExit() {
    TCallOut held{this};
    ApplyFigure();
    if (held.Gone()) return;
    // The page's own reading of the value wins: its setter may keep less.
    if (HeldValue) FHeld = HeldValue();
    if (TEdit::GetTextValue() != FHeld) {
        FReverting = true;
        try {
            TEdit::SetTextValue(FHeld);
        } catch (...) {
            if (held.Live()) FReverting = false;
            throw;
        }
        if (held.Gone()) return;
        FReverting = false;
    }
    TEdit::DoExit();
}

void TeeBoundAsStored(TNumberEdit* Edit, TClass Class, const char* Property) {
    int64_t lo, hi;
    if (!TeeStoredBounds(Class, Property, lo, hi)) {
        lo = std::numeric_limits<int>::min();
        hi = std::numeric_limits<int>::max();
    }
    Edit->SetIntegerRange(lo, hi);
}
