#pragma once
// Number fields of the editor pages. What the user enters reaches the page
// (OnChange) only as a number within the field's bounds: beyond an up-down's
// range as the nearest bound, anything else not at all. Leaving the field
// shows the value held again, so the field never shows what the chart lacks.
#include "platform/classes/watched.h"
#include "platform/forms/stdctrls.h"
#include <cstdint>
#include <functional>
#include <memory>

class TUpDown;

class TNumberEdit : public TEdit {
public:
    explicit TNumberEdit(TComponent* AOwner);
    ~TNumberEdit() override;

    // Whole numbers within the up-down's range, read at each entry (a page may
    // change the range later).
    void SetUpDown(TUpDown* Value);
    // Whole numbers within Min..Max.
    void SetIntegerRange(int64_t Min, int64_t Max);
    // Finite numbers within Min..Max (any finite number by default).
    void SetFloatRange(double Min, double Max);

    // An entry that reaches the page: the text the field shows for it and the
    // text the page reads; false for one refused.
    bool Bounded(const AnsiString& Text, AnsiString& Shown, AnsiString& ForPage) const;
    // A whole number as the field shows it (as its up-down writes it, so the
    // page reads it back).
    AnsiString WholeText(int64_t Value) const;
    // The last text the page set or an entry reached it as.
    const AnsiString& HeldText() const { return FHeld; }

    // The value held as text, when the page can read it from what it edits;
    // shown whenever the field is left.
    std::function<AnsiString()> HeldValue;

    // For a field whose setter clamps or rescales other values (a limit, a
    // range, a count): what the user types reaches the page only once the
    // figure is whole, on Enter or on leaving the field, so the smaller
    // figures on the way ("2" and "25" of "250") clamp nothing. The up-down's
    // arrows and the page's own text still reach it at once.
    void SetWholeFigures(bool Value) { FWholeFigures = Value; }
    bool WholeFigures() const { return FWholeFigures; }
    // Hands a figure still held back to the page.
    void ApplyFigure();

protected:
    AnsiString GetTextValue() const override;
    void SetTextValue(const AnsiString& Value) override;
    void Change() override;
    void DoExit() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void ApplyHeldEntry() override { ApplyFigure(); }

private:
    // The entry in the field, bounded, to the page.
    void ApplyTyped();
    TWatched<TUpDown> FUpDown;
    bool FInteger = false;
    double FMin, FMax;
    AnsiString FHeld;
    bool FFromCode = false;
    bool FReverting = false;
    bool FWholeFigures = false;
    bool FPending = false; // typed, not yet handed to the page
    // While the page hears an entry beyond the bounds, it reads the bound.
    const AnsiString* FSubstitute = nullptr;
};

// An integer property's range as the chart file reader keeps it (the same
// table), for a field without an up-down; any int when the reader keeps none.
void TeeBoundAsStored(TNumberEdit* Edit, TClass Class, const char* Property);
