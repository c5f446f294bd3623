#include "streaming_fixtures.h"
#include "platform/classes/objtext.h"
#include "platform/classes/streams.h"
#include "platform/rtl/exceptions.h"
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace {

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b)
        s += static_cast<char>(c);
    return s;
}
std::string Short(const std::string& s) {
    return static_cast<char>(s.size()) + s;
}
template <typename T> std::string Le(T v) {
    std::string s(sizeof v, '\0');
    std::memcpy(s.data(), &v, sizeof v);
    return s;
}
std::string Repeat(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i)
        r += s;
    return r;
}
// A stream holding one property V with the given tag and bytes.
std::string WithValue(const std::string& Value) {
    return "TPF0" + Short("TFxPanel") + Short("P") + Short("V") + Value + Bytes({0, 0});
}
std::string TextWithValue(const std::string& Value) {
    return "object P: TFxPanel\r\n  V = " + Value + "\r\nend\r\n";
}

} // namespace

TEST(StreamingText, TextOfASmallComponent) {
    TFxPanel p(nullptr);
    p.SetName("Panel1");
    p.SetWidth(250);
    p.SetCaption("Don't");
    p.SetOptions({foItalic});
    p.Lines()->Add("a");
    auto* child = new TFxPanel(&p);
    child->SetParentPanel(&p);
    EXPECT_EQ(SaveText(&p), "object Panel1: TFxPanel\r\n"
                            "  Width = 250\r\n"
                            "  Caption = 'Don'#39't'\r\n"
                            "  Options = [foItalic]\r\n"
                            "  Lines.Strings = (\r\n"
                            "    'a')\r\n"
                            "  object TFxPanel\r\n"
                            "  end\r\n"
                            "end\r\n");
}

TEST(StreamingText, SampleTreeConvertsBothWaysByteForByte) {
    auto tree = MakeSampleTree();
    const std::string binary = SaveBinary(tree.get());
    const std::string text = BinaryToText(binary);
    EXPECT_EQ(TextToBinary(text), binary);
    EXPECT_EQ(BinaryToText(TextToBinary(text)), text);
}

TEST(StreamingText, EveryValueKindHasATextThatConvertsBackExactly) {
    struct Case {
        std::string Binary;
        std::string Text;
    };
    const std::vector<Case> cases = {
        {Bytes({vaInt8, 0x80}), "-128"},
        {Bytes({vaInt16, 0x80, 0}), "128"},
        {Bytes({vaInt32}) + Le<int32_t>(INT32_MIN), "-2147483648"},
        {Bytes({vaInt64}) + Le<int64_t>(INT64_MIN), "-9223372036854775808"},
        {Bytes({vaExtended, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}), "1.0"},
        {Bytes({vaExtended, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}), "-0.0"},
        {Bytes({vaExtended, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}), "INF"},
        {Bytes({vaExtended, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}), "-INF"},
        {Bytes({vaExtended, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}), "NAN"},
        {Bytes({vaSingle}) + Le<float>(1.5f), "1.5s"},
        {Bytes({vaSingle}) + Le<float>(0.1f), "0.1s"},
        {Bytes({vaCurrency}) + Le<int64_t>(125000), "12.5c"},
        {Bytes({vaCurrency}) + Le<int64_t>(-1), "-0.0001c"},
        {Bytes({vaCurrency}) + Le<int64_t>(30000), "3.0c"},
        {Bytes({vaDate}) + Le<double>(45000.25), "45000.25d"},
        {Bytes({vaString, 0}), "''"},
        {Bytes({vaString, 4}) + "a'\x80\t", "'a'#39#128#9"},
        {Bytes({vaWString, 2, 0, 0, 0}) + Le<char16_t>(u'A') + Le<char16_t>(0x20AC), "'A'#8364"},
        {Bytes({vaIdent}) + Short("Form1.Button1"), "Form1.Button1"},
        {Bytes({vaFalse}), "False"},
        {Bytes({vaTrue}), "True"},
        {Bytes({vaNil}), "nil"},
        {Bytes({vaNull}), "Null"},
        {Bytes({vaSet, 0}), "[]"},
        {Bytes({vaSet}) + Short("a") + Short("b") + Bytes({0}), "[a, b]"},
        {Bytes({vaList, 0}), "()"},
        {Bytes({vaList, vaList, vaInt8, 1, 0, vaTrue, 0}), "(\r\n    (\r\n      1)\r\n    True)"},
        {Bytes({vaBinary, 0, 0, 0, 0}), "{}"},
        {Bytes({vaBinary, 33, 0, 0, 0}) + std::string(32, '\xAB') + "\x01",
         "{\r\n    " + Repeat("AB", 32) + "\r\n    01}"},
        {Bytes({vaCollection, 0}), "<>"},
        {Bytes({vaCollection, vaInt8, 3, vaList}) + Short("X") +
             Bytes({vaInt8, 1, 0, vaList, 0, 0}),
         "<\r\n    item [3]\r\n      X = 1\r\n    end\r\n    item\r\n    end>"},
    };
    for (const Case& c : cases) {
        const std::string text = TextWithValue(c.Text);
        EXPECT_EQ(BinaryToText(WithValue(c.Binary)), text) << c.Text;
        EXPECT_EQ(TextToBinary(text), WithValue(c.Binary)) << c.Text;
    }
}

TEST(StreamingText, FloatsNoDoubleHoldsConvertBothWaysByteForByte) {
    struct Case {
        uint16_t SignExp;
        uint64_t Mant;
        const char* Text;
    };
    const Case cases[] = {
        {0x3FFB, 0xCCCCCCCCCCCCCCCD, "0.100000000000000000"}, // 0.1 to the nearest extended
        {0x3FFF, 0x8000000000000001, "1.0000000000000000001"},
        {0xC000, 0xC90FDAA22168C235, "-3.1415926535897932385"},
        {0x7FFE, 0xFFFFFFFFFFFFFFFF, "1.189731495357231765E4932"},
        {0x0001, 0x8000000000000000, "3.3621031431120935063E-4932"},
        {0x0000, 0x0000000000000001, "3.64519953188247460E-4951"},
        {0x0000, 0x7FFFFFFFFFFFFFFF, "3.362103143112093506E-4932"},
        {0xFFFF, 0xC000000000000000, "-NAN"},
        // Encodings no number has: NaN payloads, pseudo-infinity, unnormal, pseudo-denormal.
        {0x7FFF, 0xC000000000000001, "$7FFF.C000000000000001"},
        {0xFFFF, 0x8000000000000001, "$FFFF.8000000000000001"},
        {0x7FFF, 0x0000000000000000, "$7FFF.0000000000000000"},
        {0x3FFF, 0x4000000000000000, "$3FFF.4000000000000000"},
        {0x0000, 0x8000000000000000, "$0000.8000000000000000"},
    };
    for (const Case& c : cases) {
        const std::string binary =
            WithValue(Bytes({vaExtended}) + Le<uint64_t>(c.Mant) + Le<uint16_t>(c.SignExp));
        const std::string text = TextWithValue(c.Text);
        EXPECT_EQ(BinaryToText(binary), text) << c.Text;
        EXPECT_EQ(TextToBinary(text), binary) << c.Text;
    }
    // Infinities and NaN of singles and dates keep their kind.
    const std::pair<std::string, const char*> others[] = {
        {Bytes({vaSingle}) + Le<float>(-HUGE_VALF), "-INFs"},
        {Bytes({vaSingle}) + Le<float>(NAN), "NANs"},
        {Bytes({vaDate}) + Le<double>(HUGE_VAL), "INFd"},
    };
    for (const auto& [value, shown] : others) {
        EXPECT_EQ(BinaryToText(WithValue(value)), TextWithValue(shown));
        EXPECT_EQ(TextToBinary(TextWithValue(shown)), WithValue(value)) << shown;
    }
}

TEST(StreamingText, FloatsUseTheShortestDigitsThatReadBackExactly) {
    const double values[] = {0.1, 1.0 / 3, 1e20, 1e-5, 123456789012345678.0, 5e-324, -2.5};
    for (double v : values) {
        TFxPanel p(nullptr);
        p.SetRatio(v);
        const std::string binary = SaveBinary(&p);
        const std::string text = BinaryToText(binary);
        EXPECT_EQ(TextToBinary(text), binary) << text;
        EXPECT_EQ(LoadBinary(binary)->Ratio(), v);
    }
    TFxPanel p(nullptr);
    p.SetRatio(1e20);
    EXPECT_NE(SaveText(&p).find("Ratio = 1E20\r\n"), std::string::npos);
}

TEST(StreamingText, LongStringsBreakIntoLinesAndJoinAgain) {
    TFxPanel p(nullptr);
    std::string caption(70, 'x');
    caption[66] = '\n';
    p.SetCaption(caption);
    const std::string text = SaveText(&p);
    EXPECT_NE(
        text.find("  Caption = \r\n    '" + std::string(64, 'x') + "' +\r\n    'xx'#10'xxx'\r\n"),
        std::string::npos)
        << text;
    EXPECT_EQ(TextToBinary(text), SaveBinary(&p));
}

TEST(StreamingText, PropertiesNamedLikeKeywordsStayProperties) {
    const std::string binary = "TPF0" + Short("TFxPanel") + Short("") + Short("end") +
                               Bytes({vaInt8, 1}) + Short("object.item") + Bytes({vaInt8, 2}) +
                               Short("Items") + Bytes({vaCollection, vaList}) + Short("end") +
                               Bytes({vaInt8, 3, 0, 0}) + Bytes({0, 0});
    const std::string text = BinaryToText(binary);
    EXPECT_EQ(text, "object TFxPanel\r\n  end = 1\r\n  object.item = 2\r\n  Items = <\r\n"
                    "    item\r\n      end = 3\r\n    end>\r\nend\r\n");
    EXPECT_EQ(TextToBinary(text), binary);
}

TEST(StreamingText, HandWrittenTextIsAccepted) {
    // LF line ends, other cases, '+' joins, hex numbers, a whole float, flags.
    const std::string text = "OBJECT Root: TFxPanel\n"
                             "  width = $FF\n"
                             "  Ratio = 2\n"
                             "  Caption = 'ab' +\n   'c'#$41\n"
                             "  Color=fxRed\n"
                             "  inherited PanelA: TFxPanel [1]\n"
                             "  END\n"
                             "End";
    const std::string binary = TextToBinary(text);
    const std::string expected =
        "TPF0" + Short("TFxPanel") + Short("Root") + Short("width") + Bytes({vaInt16, 0xFF, 0}) +
        Short("Ratio") + Bytes({vaInt8, 2}) + Short("Caption") + Bytes({vaString, 4}) + "abcA" +
        Short("Color") + Bytes({vaIdent}) + Short("fxRed") + Bytes({0}) + Bytes({0xF3, vaInt8, 1}) +
        Short("TFxPanel") + Short("PanelA") + Bytes({0, 0}) + Bytes({0});
    EXPECT_EQ(binary, expected);
    TFxPanel root(nullptr);
    TStringStream in(TextToBinary("object R: TFxPanel\n Ratio = 2\n Caption = 'ab' + 'c'\nend"));
    TReader(&in).ReadRootComponent(&root);
    EXPECT_EQ(root.Ratio(), 2.0);
    EXPECT_EQ(root.Caption(), "abc");
}

TEST(StreamingText, SyntaxErrorsNameTheLine) {
    struct Case {
        const char* Text;
        const char* Message;
    };
    const Case cases[] = {
        {"", "Line 1: 'object' expected"},
        {"thing X: TFxPanel\nend", "Line 1: 'object' expected"},
        {"object X: TFxPanel\n  Width = 1\n", "Line 3: 'end' expected"},
        {"object X: TFxPanel\n  Caption = 'abc\nend", "Line 2: unterminated string"},
        {"object X: TFxPanel\n\n  Data = {ABC}\nend", "Line 3: odd number of hex digits"},
        {"object X: TFxPanel\n  Width = 99999999999999999999\nend", "Line 2: number too large"},
        {"object X: TFxPanel\n  Width = 12ab\nend", "Line 2: invalid number"},
        {"object X: TFxPanel\n  Width = @\nend", "Line 2: value expected"},
        {"object X: TFxPanel\n  Caption = #70000\nend", "Line 2: character code out of range"},
        {"object X: TFxPanel\n  Items = <\n    thing\n  >\nend", "Line 3: 'item' expected"},
        {"object X: TFxPanel\n  Width 5\nend", "Line 2: '=' expected"},
        // The binary list would end at it and read what follows as properties.
        {"object X: TFxPanel\n  V = (\n    1\n    Null\n    2)\nend", "Line 4: Null inside a list"},
        {"object X: TFxPanel\n  V = ((nULL))\nend", "Line 2: Null inside a list"},
    };
    for (const Case& c : cases) {
        try {
            TextToBinary(c.Text);
            ADD_FAILURE() << "no error for: " << c.Text;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message, c.Message) << c.Text;
        }
    }
}

TEST(StreamingText, BinaryThatHasNoTextIsRefused) {
    // Names that the text form could not read back are damage, not text.
    const std::string bad[] = {
        "TPF0" + Short("T Fx") + Short("") + Bytes({0, 0}),
        "TPF0" + Short("TFxPanel") + Short("1abc") + Bytes({0, 0}),
        "TPF0" + Short("TFxPanel") + Short("") + Short("a..b") + Bytes({vaInt8, 1, 0, 0}),
        "TPF0" + Short("TFxPanel") + Short("") + Short("V") + Bytes({vaIdent}) + Short("x y") +
            Bytes({0, 0}),
    };
    for (const std::string& b : bad)
        EXPECT_THROW(BinaryToText(b), EReadError);
}
