#pragma once
// TMaskEdit: an edit box that takes characters only where its mask allows.
// Masks have the platform's form "mask;save literals;blank": 0 a digit,
// 9 an optional digit, # a digit or sign, L/l a letter, A/a a letter or digit,
// C/c any character (upper case required, lower case optional), > < <> case
// conversion, \ a literal, / and : the date and time separators; ! fills a
// short text in from the right (missing characters are leading blanks).
// Text holds the literals when the second field is 1, and blanks as spaces.
#include "platform/forms/stdctrls.h"
#include <vector>

class TMaskEdit : public TCustomEdit {
    QM_CLASS(TMaskEdit)
public:
    explicit TMaskEdit(TComponent* AOwner);
    AnsiString EditMask() const { return FEditMask; }
    void SetEditMask(const AnsiString& Value);
    // The text as shown, blanks included.
    AnsiString EditText() const;
    void SetEditText(const AnsiString& Value);
    bool IsMasked() const { return !FSlots.empty(); }
    // The mask in Qt's notation (platform code and tests).
    AnsiString QtMask() const { return FQtMask; }

protected:
    AnsiString GetTextValue() const override;
    void SetTextValue(const AnsiString& Value) override;

private:
    struct TSlot {
        bool Literal;
        char Char; // the literal, or the mask character
    };
    std::vector<TSlot> FSlots;
    AnsiString FEditMask;
    AnsiString FQtMask;
    bool FSaveLiterals = true;
    bool FReverse = false;
    char FBlank = '_';
};
