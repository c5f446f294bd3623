// Typing as the toolkit delivers keys (key code plus text) into every kind of
// text control; what the control holds and what a file of it holds agree, in
// Windows-1252 bytes.
#include "forms_fixture.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/grids.h"
#include "platform/forms/mask.h"
#include "platform/forms/stdctrls.h"
#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWidget>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct TKeyRow {
    std::string What;
    int Key;
    Qt::KeyboardModifiers Mods;
    QString Text;
    std::string Bytes; // what the control keeps; empty: the key is refused
};

// X11 reports the euro key by its character, as there is no named key code.
constexpr int EuroKey = 0x20AC;
constexpr Qt::KeyboardModifiers AltGrX11 = Qt::GroupSwitchModifier;
constexpr Qt::KeyboardModifiers AltGrAsCtrlAlt = Qt::ControlModifier | Qt::AltModifier;

std::vector<TKeyRow> KeyTable() {
    std::vector<TKeyRow> rows;
    // The 95 printable characters of a US layout: the key code is the
    // unshifted key's symbol, Shift is held for the shifted ones.
    const std::string shifted = "~!@#$%^&*()_+{}|:\"<>?";
    for (int c = 0x20; c < 0x7F; ++c) {
        const char ch = char(c);
        const bool shift = (ch >= 'A' && ch <= 'Z') || shifted.find(ch) != std::string::npos;
        const int key = (ch >= 'a' && ch <= 'z') ? ch - 32 : c;
        rows.push_back({std::string("ascii ") + ch, key, shift ? Qt::ShiftModifier : Qt::NoModifier,
                        QString(QChar(c)), std::string(1, ch)});
    }
    const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier;
    const std::vector<TKeyRow> layouts = {
        {"de ä", Qt::Key_Adiaeresis, none, QStringLiteral("ä"), "\xE4"},
        {"de Ä", Qt::Key_Adiaeresis, shift, QStringLiteral("Ä"), "\xC4"},
        {"de ö", Qt::Key_Odiaeresis, none, QStringLiteral("ö"), "\xF6"},
        {"de Ö", Qt::Key_Odiaeresis, shift, QStringLiteral("Ö"), "\xD6"},
        {"de ü", Qt::Key_Udiaeresis, none, QStringLiteral("ü"), "\xFC"},
        {"de Ü", Qt::Key_Udiaeresis, shift, QStringLiteral("Ü"), "\xDC"},
        {"de ß", Qt::Key_ssharp, none, QStringLiteral("ß"), "\xDF"},
        {"de °", Qt::Key_degree, shift, QStringLiteral("°"), "\xB0"},
        {"de §", Qt::Key_section, shift, QStringLiteral("§"), "\xA7"},
        {"de ² AltGr", Qt::Key_twosuperior, AltGrX11, QStringLiteral("²"), "\xB2"},
        {"de € AltGr", EuroKey, AltGrX11, QStringLiteral("€"), "\x80"},
        {"de µ AltGr", Qt::Key_mu, AltGrX11, QStringLiteral("µ"), "\xB5"},
        {"de @ AltGr", Qt::Key_At, AltGrX11, QStringLiteral("@"), "@"},
        {"de { AltGr", Qt::Key_BraceLeft, AltGrX11, QStringLiteral("{"), "{"},
        {"de € Ctrl+Alt", EuroKey, AltGrAsCtrlAlt, QStringLiteral("€"), "\x80"},
        {"de @ Ctrl+Alt", Qt::Key_At, AltGrAsCtrlAlt, QStringLiteral("@"), "@"},
        {"de \\ Ctrl+Alt", Qt::Key_Backslash, AltGrAsCtrlAlt, QStringLiteral("\\"), "\\"},
        {"fr é", Qt::Key_Eacute, none, QStringLiteral("é"), "\xE9"},
        {"fr è", Qt::Key_Egrave, none, QStringLiteral("è"), "\xE8"},
        {"fr à", Qt::Key_Agrave, none, QStringLiteral("à"), "\xE0"},
        {"fr ç", Qt::Key_Ccedilla, none, QStringLiteral("ç"), "\xE7"},
        {"fr ù", Qt::Key_Ugrave, none, QStringLiteral("ù"), "\xF9"},
        {"fr µ", Qt::Key_mu, shift, QStringLiteral("µ"), "\xB5"},
        {"fr ²", Qt::Key_twosuperior, none, QStringLiteral("²"), "\xB2"},
        {"fr °", Qt::Key_degree, shift, QStringLiteral("°"), "\xB0"},
        {"fr §", Qt::Key_section, shift, QStringLiteral("§"), "\xA7"},
        {"fr € AltGr", EuroKey, AltGrX11, QStringLiteral("€"), "\x80"},
        // Characters the code page has no byte for are refused.
        {"pl ł AltGr", 0x141, AltGrX11, QStringLiteral("ł"), ""},
        {"el α", 0x391, none, QStringLiteral("α"), ""},
        {"emoji", Qt::Key_unknown, none, QString::fromUtf8("\xF0\x9F\x98\x80"), ""},
    };
    rows.insert(rows.end(), layouts.begin(), layouts.end());
    return rows;
}

void PressKey(QWidget* Target, const TKeyRow& Row) {
    QKeyEvent press(QEvent::KeyPress, Row.Key, Row.Mods, Row.Text);
    QApplication::sendEvent(Target, &press);
    QKeyEvent release(QEvent::KeyRelease, Row.Key, Row.Mods, Row.Text);
    QApplication::sendEvent(Target, &release);
}

std::string FileBytes(const std::string& Name) {
    std::ifstream in(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct TTextControl {
    const char* Kind;
    TWinControl* Control;
    std::function<AnsiString()> Text;
    std::function<void(const AnsiString&)> Save; // writes the control's text to a file
};

} // namespace

class KeysTest : public FormsTest {
protected:
    KeysTest() { Form->SetBounds(0, 0, 600, 400); }
    ~KeysTest() override { std::remove(FileName.c_str()); }

    // Saves a single text as a one-line list file, as the program writes its rows.
    std::function<void(const AnsiString&)> SaveLine(std::function<AnsiString()> Text) {
        return [Text](const AnsiString& File) {
            TStringList lines;
            lines.Add(Text());
            lines.SaveToFile(File);
        };
    }

    std::string FileName = "keys_test_" + std::to_string(getpid()) + ".txt";
};

TEST_F(KeysTest, EveryTypedCharacterReachesEveryTextControlAndItsFile) {
    auto* edit = Make<TEdit>(0, 0, 200, 21);
    auto* memo = Make<TMemo>(0, 30, 200, 80);
    auto* combo = Make<TComboBox>(0, 120, 200, 21);
    combo->Items()->Add("Lapse");
    auto* number = Make<TEdit>(0, 150, 60, 21);
    auto* updown = Make<TUpDown>(0, 0, 15, 21);
    updown->SetAssociate(number);
    auto* mask = Make<TMaskEdit>(0, 180, 200, 21);
    auto* grid = Make<TStringGrid>(220, 0, 300, 120);
    grid->SetOptions(grid->Options() + TGridOptions{goEditing});
    Form->Show();

    const std::vector<TTextControl> controls = {
        {"edit", edit, [&] { return edit->Text(); }, SaveLine([&] { return edit->Text(); })},
        {"memo", memo, [&] { return memo->Text(); },
         [&](const AnsiString& f) { memo->Lines()->SaveToFile(f); }},
        {"combo box", combo, [&] { return combo->Text(); },
         SaveLine([&] { return combo->Text(); })},
        {"number edit", number, [&] { return number->Text(); },
         SaveLine([&] { return number->Text(); })},
        {"masked edit", mask, [&] { return mask->Text(); }, SaveLine([&] { return mask->Text(); })},
        {"grid cell", grid, [&] { return grid->Cells(1, 1); },
         SaveLine([&] { return grid->Cells(1, 1); })},
    };
    const std::vector<TKeyRow> rows = KeyTable();
    for (const TTextControl& c : controls) {
        SCOPED_TRACE(c.Kind);
        c.Control->SetText("");
        Form->SetActiveControl(c.Control);
        std::string expected;
        for (const TKeyRow& row : rows) {
            // Keys go to the focused widget: the grid's cell editor once it is open.
            PressKey(Form->ActiveControl()->Widget(), row);
            expected += row.Bytes;
            if (c.Text().str() != expected) {
                ADD_FAILURE() << "after key \"" << row.What << "\" the text is \"" << c.Text().str()
                              << "\"";
                break;
            }
        }
        c.Save(AnsiString(FileName));
        EXPECT_EQ(FileBytes(FileName), expected + "\r\n");
    }
}

TEST_F(KeysTest, HandlersSeeTheCharacterOfEveryKeyAndOnlyAZeroSwallowsIt) {
    auto* edit = Make<TEdit>(0, 0, 200, 21);
    std::vector<std::string> log;
    edit->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
        log.push_back("down " + std::to_string(Key));
        if (Key == 'Q') Key = 0;
    };
    edit->OnKeyPress = [&](TObject*, char& Key) {
        log.push_back(std::string("press ") + Key);
        if (Key == 'a') Key = 'b';
        if (Key == 'x') Key = 0;
    };
    Form->Show();
    Form->SetActiveControl(edit);
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const TKeyRow keys[] = {
        {"!", Qt::Key_Exclam, Qt::ShiftModifier, QStringLiteral("!"), ""},
        {"€", EuroKey, AltGrX11, QStringLiteral("€"), ""},
        {"a", Qt::Key_A, none, QStringLiteral("a"), ""},
        {"x", Qt::Key_X, none, QStringLiteral("x"), ""},
        {"q", Qt::Key_Q, none, QStringLiteral("q"), ""},
        {"α", 0x391, none, QStringLiteral("α"), ""},
    };
    for (const TKeyRow& k : keys)
        PressKey(edit->Widget(), k);
    // Text composed by an input method goes the same way.
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("\u00F6\u03B1a"));
    QApplication::sendEvent(edit->Widget(), &composed);
    // Keys without a key code have no KeyDown; a refused character reaches no handler.
    EXPECT_EQ(log,
              (std::vector<std::string>{"press !", "press \x80", "down 65", "press a", "down 88",
                                        "press x", "down 81", "press \xF6", "press a"}));
    EXPECT_EQ(edit->Text(), std::string("!\x80") + "b\xF6" + "b");
}
