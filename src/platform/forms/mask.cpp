// Masked edit boxes on Qt input masks; Text and EditText follow the platform.
#include "platform/forms/mask.h"
#include "platform/forms/formsqt.h"
#include "platform/rtl/formatsettings.h"
#include <QLineEdit>

QM_CLASS_OWNED(TMaskEdit, TCustomEdit, TComponent)

TMaskEdit::TMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

void TMaskEdit::SetEditMask(const AnsiString& Value) {
    const AnsiString old = IsMasked() ? GetTextValue() : TCustomEdit::GetTextValue();
    FEditMask = Value;
    FSlots.clear();
    FSaveLiterals = true;
    FReverse = false;
    FBlank = '_';
    // The fields after the mask: save-literals flag and the blank character.
    const std::string& s = Value.str();
    std::string mask = s;
    size_t semi = std::string::npos;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\') {
            ++i;
            continue;
        }
        if (s[i] == ';') {
            semi = i;
            break;
        }
    }
    if (semi != std::string::npos) {
        mask = s.substr(0, semi);
        const std::string rest = s.substr(semi + 1);
        const size_t semi2 = rest.find(';');
        const std::string save = rest.substr(0, semi2);
        if (!save.empty()) FSaveLiterals = save[0] != '0';
        if (semi2 != std::string::npos && semi2 + 1 < rest.size()) FBlank = rest[semi2 + 1];
    }
    std::string qt;
    auto literal = [&](char c) {
        FSlots.push_back({true, c});
        if (std::string("AaNnXx90DdHhBb><!\\;[]{}").find(c) != std::string::npos) qt += '\\';
        qt += c;
    };
    for (size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        char q = 0;
        switch (c) {
        case '\\':
            if (i + 1 < mask.size()) literal(mask[++i]);
            continue;
        case '!':
            FReverse = true;
            continue;
        case '>':
            if (i + 1 < mask.size() && mask[i + 1] == '<') {
                ++i;
                qt += '!';
            } else {
                qt += '>';
            }
            continue;
        case '<':
            qt += '<';
            continue;
        case '0':
            q = '9';
            break;
        case '9':
            q = '0';
            break;
        case '#':
            q = '#';
            break;
        case 'L':
            q = 'A';
            break;
        case 'l':
            q = 'a';
            break;
        case 'A':
            q = 'N';
            break;
        case 'a':
            q = 'n';
            break;
        case 'C':
            q = 'X';
            break;
        case 'c':
            q = 'x';
            break;
        case '/':
            literal(DateSeparator);
            continue;
        case ':':
            literal(TimeSeparator);
            continue;
        case '_':
            literal(' ');
            continue;
        default:
            literal(c);
            continue;
        }
        FSlots.push_back({false, c});
        qt += q;
    }
    FQtMask = FSlots.empty() ? AnsiString() : AnsiString(qt + ";" + std::string(1, FBlank));
    TCodeChange change;
    LineEdit()->setInputMask(AnsiToQString(FQtMask));
    change.Finish();
    SetTextValue(old);
}

AnsiString TMaskEdit::EditText() const {
    return QStringToAnsi(LineEdit()->displayText());
}

void TMaskEdit::SetEditText(const AnsiString& Value) {
    TCodeChange change;
    LineEdit()->setText(AnsiToQString(Value));
    change.Finish();
}

AnsiString TMaskEdit::GetTextValue() const {
    if (!IsMasked()) return TCustomEdit::GetTextValue();
    const AnsiString shown = EditText();
    std::string out;
    for (size_t i = 0; i < FSlots.size(); ++i) {
        const int pos = static_cast<int>(i) + 1;
        const char c = pos <= shown.Length() ? shown[pos] : FBlank;
        if (FSlots[i].Literal) {
            if (FSaveLiterals) out += FSlots[i].Char;
        } else {
            out += c == FBlank ? ' ' : c;
        }
    }
    return AnsiString(out);
}

void TMaskEdit::SetTextValue(const AnsiString& Value) {
    if (!IsMasked()) {
        TCustomEdit::SetTextValue(Value);
        return;
    }
    // Each character of the text fills the next slot; literal slots take one
    // only when literals are saved. A reversed mask fills from the last slot.
    std::string shown(FSlots.size(), FBlank);
    const int count = static_cast<int>(FSlots.size());
    int next = FReverse ? Value.Length() : 1;
    for (int k = 0; k < count; ++k) {
        const int i = FReverse ? count - 1 - k : k;
        const TSlot& slot = FSlots[size_t(i)];
        const bool takes = !slot.Literal || FSaveLiterals;
        const char c = next >= 1 && next <= Value.Length() ? Value[next] : ' ';
        if (takes) next += FReverse ? -1 : 1;
        if (slot.Literal)
            shown[size_t(i)] = slot.Char;
        else
            shown[size_t(i)] = c == ' ' ? FBlank : c;
    }
    const QString q = AnsiToQString(AnsiString(shown));
    if (q == LineEdit()->displayText()) return;
    SetEditText(AnsiString(shown));
}
