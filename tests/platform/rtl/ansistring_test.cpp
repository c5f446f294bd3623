#include "platform/rtl/ansistring.h"
#include "platform/rtl/exceptions.h"
#include <gtest/gtest.h>

TEST(AnsiString, SubStringClipsLikeThePlatform) {
    const AnsiString s("ABCDEF");
    EXPECT_EQ(s.SubString(2, 3), "BCD");
    EXPECT_EQ(s.SubString(5, 10), "EF");
    // A start before the first character counts from it, the count kept.
    EXPECT_EQ(s.SubString(0, 3), "ABC");
    EXPECT_EQ(s.SubString(-5, 3), "ABC");
    EXPECT_EQ(s.SubString(0, 0), "");
    EXPECT_EQ(s.SubString(7, 1), "");
    EXPECT_EQ(s.SubString(3, 0), "");
}

TEST(AnsiString, PosDeleteInsertAreOneBased) {
    AnsiString s("r2 OVERFLOW");
    EXPECT_EQ(s.Pos("OVER"), 4);
    EXPECT_EQ(s.Pos("x"), 0);
    EXPECT_EQ(s.Pos(""), 0);
    s.Delete(1, 3);
    EXPECT_EQ(s, "OVERFLOW");
    s.Delete(20, 1).Delete(0, 1).Delete(2, 0);
    EXPECT_EQ(s, "OVERFLOW");
    s.Insert("!", 9).Insert("<", 1).Insert(">", 100);
    EXPECT_EQ(s, "<OVERFLOW!>");
}

TEST(AnsiString, IndexOutsideTheStringRaises) {
    AnsiString s("ab");
    EXPECT_EQ(s[1], 'a');
    EXPECT_EQ(s[2], 'b');
    EXPECT_THROW(s[0], ERangeError);
    EXPECT_THROW(s[3], ERangeError);
}

TEST(AnsiString, TrimTakesControlCharactersAndKeepsHighBytes) {
    const AnsiString s("\t\r\n 12\xB0 \x01");
    EXPECT_EQ(s.Trim(), "12\xB0");
    EXPECT_EQ(s.TrimLeft(), "12\xB0 \x01");
    EXPECT_EQ(AnsiString("\xB0x\xBA").UpperCase(), "\xB0X\xBA");
}

TEST(AnsiString, BytesPassThroughIncludingNul) {
    AnsiString s("\x02", 1);
    s += '\0';
    s += "\x03";
    EXPECT_EQ(s.Length(), 3);
    EXPECT_EQ(s[2], '\0');
}

TEST(AnsiString, ComparisonAndCaseInsensitiveHelpers) {
    EXPECT_LT(AnsiString("Abc"), AnsiString("abc"));
    EXPECT_EQ(CompareText("TASK", "task"), 0);
    EXPECT_LT(CompareText("a", "B"), 0);
    EXPECT_GT(CompareText("abc", "ab"), 0);
    EXPECT_EQ(StringReplace("a;b;c", ";", ",", true), "a,b,c");
    EXPECT_EQ(StringReplace("a;b;c", ";", ",", false), "a,b;c");
    EXPECT_EQ(StringReplace("xAx", "a", "-", true, true), "x-x");
}

TEST(AnsiString, ToIntAcceptsDecimalAndHex) {
    EXPECT_EQ(AnsiString("  42").ToInt(), 42);
    EXPECT_EQ(AnsiString("$1F").ToInt(), 31);
    EXPECT_EQ(AnsiString("0x10").ToInt(), 16);
    EXPECT_EQ(AnsiString("-7").ToInt(), -7);
    EXPECT_EQ(AnsiString("12a").ToIntDef(-1), -1);
    EXPECT_EQ(AnsiString("").ToIntDef(5), 5);
    EXPECT_EQ(AnsiString("99999999999").ToIntDef(3), 3);
    EXPECT_THROW(AnsiString("x").ToInt(), EConvertError);
}
