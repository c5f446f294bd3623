#include "platform/classes/stringlist.h"
#include "platform/classes/streams.h"
#include "platform/rtl/exceptions.h"
#include "support/temp_folder.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace {
std::vector<AnsiString> Lines(const TStrings& s) {
    std::vector<AnsiString> out;
    for (int i = 0; i < s.Count(); ++i)
        out.push_back(s.Strings(i));
    return out;
}
using V = std::vector<AnsiString>;

// Takes every line of its component out of a list as the component goes.
class TLineRemover : public TComponent {
public:
    TLineRemover(TComponent* Watched, TStrings* Lines) : TComponent(nullptr), FLines(Lines) {
        Watched->FreeNotification(this);
    }
    std::vector<int> Found;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation != opRemove) return;
        for (int i; (i = FLines->IndexOfObject(AComponent)) >= 0;) {
            Found.push_back(i);
            FLines->Delete(i);
        }
    }

private:
    TStrings* FLines;
};
} // namespace

TEST(StringList, TextSplitsAtEveryLineBreakAndJoinsWithCrLf) {
    struct Row {
        const char* text;
        V lines;
    } rows[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"\r\n", {""}},
        {" x ", {" x "}},
    };
    TStringList l;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        l.SetText(r.text);
        EXPECT_EQ(Lines(l), r.lines);
    }
    l.SetText("a\nb");
    EXPECT_EQ(l.Text(), "a\r\nb\r\n");
}

TEST(StringList, CommaTextQuotesLikeThePlatform) {
    struct Row {
        V lines;
        const char* comma;
    } rows[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"a", "b"}, "a,b"},
        {{"a b", "c"}, "\"a b\",c"},
        {{"x,y", "say \"hi\""}, "\"x,y\",\"say \"\"hi\"\"\""},
        {{"", "a", ""}, ",a,"},
        {{"tab\there"}, "\"tab\there\""},
    };
    TStringList l;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.comma);
        l.Clear();
        for (const AnsiString& s : r.lines)
            l.Add(s);
        EXPECT_EQ(l.CommaText(), r.comma);
    }
}

TEST(StringList, SettingCommaTextSplitsAtCommasAndBlanks) {
    struct Row {
        const char* comma;
        V lines;
    } rows[] = {
        {"", {}},
        {"a,b", {"a", "b"}},
        {"a b,c", {"a", "b", "c"}},
        {"  a , b  ", {"a", "b"}},
        {"\"a b\",\"x\"\"y\"", {"a b", "x\"y"}},
        {"a,", {"a", ""}},
        {",a", {"", "a"}},
        {"a, ", {"a"}},
        {"\"ab\"cd", {"ab", "cd"}},
        {"\"open", {"open"}},
        {"\"\"", {""}},
    };
    TStringList l;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.comma);
        l.SetCommaText(r.comma);
        EXPECT_EQ(Lines(l), r.lines);
    }
}

TEST(StringList, DelimitedTextUsesDelimiterAndQuoteChar) {
    TStringList l;
    l.SetDelimiter(';');
    l.SetQuoteChar('\'');
    l.SetDelimitedText("a;'b;c';'it''s'");
    EXPECT_EQ(Lines(l), (V{"a", "b;c", "it's"}));
    EXPECT_EQ(l.DelimitedText(), "a;'b;c';'it''s'");
    EXPECT_EQ(l.CommaText(), "a,b;c,it's"); // CommaText keeps ',' and '"'
}

TEST(StringList, NamesAndValues) {
    TStringList l;
    l.SetText("Left=10\nTop=20\nno equals\nKey=a=b");
    EXPECT_EQ(l.Names(0), "Left");
    EXPECT_EQ(l.Names(2), "");
    EXPECT_EQ(l.Values("top"), "20"); // names ignore case
    EXPECT_EQ(l.Values("Key"), "a=b");
    EXPECT_EQ(l.Values("none"), "");
    EXPECT_EQ(l.IndexOfName("KEY"), 3);
    l.SetValue("Top", "30");
    l.SetValue("Width", "5");
    l.SetValue("Left", "");
    EXPECT_EQ(Lines(l), (V{"Top=30", "no equals", "Key=a=b", "Width=5"}));
}

TEST(StringList, SortedListsAndDuplicates) {
    TStringList l;
    l.SetText("pear\napple\nFig");
    l.SetSorted(true);
    EXPECT_EQ(Lines(l), (V{"apple", "Fig", "pear"})); // without regard to case
    EXPECT_EQ(l.Add("APPLE"), 0);                     // dupIgnore keeps the old one
    EXPECT_EQ(l.Count(), 3);
    EXPECT_EQ(l.Add("banana"), 1);
    EXPECT_EQ(l.IndexOf("PEAR"), 3);
    int index = -1;
    EXPECT_FALSE(l.Find("cherry", index));
    EXPECT_EQ(index, 2);
    l.SetDuplicates(dupAccept);
    EXPECT_EQ(l.Add("fig"), 2); // before the equal one
    EXPECT_TRUE(l.Find("FIG", index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(l.Count(), 5);
    l.SetDuplicates(dupError);
    EXPECT_THROW(l.Add("Pear"), EStringListError);
    EXPECT_THROW(l.Insert(0, "x"), EStringListError);
    EXPECT_THROW(l.SetStrings(0, "x"), EStringListError);
    EXPECT_THROW(l.Move(0, 1), EStringListError);
    EXPECT_EQ(l.Count(), 5); // the refused move lost nothing
    l.SetValue("date", "1"); // goes to its place, no stray empty line
    EXPECT_EQ(Lines(l), (V{"apple", "banana", "date=1", "fig", "Fig", "pear"}));
}

TEST(StringList, CustomSortAndExchange) {
    TStringList l;
    l.SetText("bb\na\nccc\ndd");
    l.CustomSort([](TStringList* list, int i, int j) {
        return list->Strings(i).Length() - list->Strings(j).Length();
    });
    EXPECT_EQ(Lines(l), (V{"a", "bb", "dd", "ccc"})); // stable among equals
    l.Exchange(0, 3);
    l.Move(3, 1);
    EXPECT_EQ(Lines(l), (V{"ccc", "a", "bb", "dd"}));
}

TEST(StringList, IndexErrorsNameTheIndexAndLoseNothing) {
    TStringList l;
    l.Add("x");
    try {
        l.Move(0, 4);
        ADD_FAILURE();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message, "List index out of bounds (4)");
    }
    EXPECT_THROW(l.Insert(2, "y"), EStringListError);
    EXPECT_EQ(Lines(l), (V{"x"}));
}

TEST(StringList, ChangeEventsWaitForTheOutermostUpdate) {
    TStringList l;
    int changing = 0, changed = 0;
    l.OnChanging = [&](TObject*) { ++changing; };
    l.OnChange = [&](TObject*) { ++changed; };
    l.Add("a");
    l.BeginUpdate();
    l.Add("b");
    l.BeginUpdate();
    l.Delete(0);
    l.EndUpdate();
    EXPECT_EQ(changed, 1);
    l.EndUpdate();
    l.SetText("x\ny"); // one notification for the whole text
    EXPECT_EQ(changing, 3);
    EXPECT_EQ(changed, 3);
}

TEST(StringList, AssignAndAddStringsCopyObjectsAndSurviveThemselves) {
    TObject b;
    TStringList src;
    src.Add("one");
    src.AddObject("two", &b);
    src.SetDelimiter(';');
    TStringList dst;
    dst.Add("old");
    dst.Assign(&src);
    EXPECT_EQ(dst.IndexOfObject(&b), 1);
    EXPECT_EQ(dst.Delimiter(), ';');
    dst.Assign(&dst);
    dst.AddStrings(&dst);
    EXPECT_EQ(Lines(dst), (V{"one", "two", "one", "two"}));
    TPersistent other;
    EXPECT_THROW(dst.Assign(&other), EConvertError);
}

// A library object in a list is read through a handle: once it is freed the
// entry reads empty, wherever the line went since (sorted in, moved, copied to
// another list). Any other object is kept as given.
TEST(StringList, AnEntryOfAFreedObjectReadsEmptyWhereverItWent) {
    auto* gone = new TComponent(nullptr);
    auto* stays = new TPersistent;
    TObject plain;
    TStringList list;
    list.SetSorted(true);
    list.AddObject("b", gone);
    list.AddObject("a", stays);
    list.AddObject("c", &plain);
    TStringList copy, one;
    copy.Assign(&list);
    one.AddItemOf(&list, list.IndexOf("b"));
    TStringList unsorted;
    unsorted.AddStrings(&list);
    unsorted.InsertObject(0, "first", gone);
    unsorted.Move(1, 3);
    // While it goes, its entries read empty but are still found by it, so a
    // listener can take its lines out.
    TLineRemover remover(gone, &unsorted);
    delete gone;
    EXPECT_EQ(remover.Found, (std::vector<int>{0, 0}));
    EXPECT_EQ(Lines(unsorted), (V{"c", "a"}));
    for (TStrings* s : std::vector<TStrings*>{&list, &copy, &one}) {
        SCOPED_TRACE(s->Text().c_str());
        const int b = s->IndexOf("b");
        ASSERT_GE(b, 0);
        EXPECT_EQ(s->Objects(b), nullptr);
    }
    EXPECT_EQ(list.Objects(list.IndexOf("a")), stays);
    EXPECT_EQ(list.Objects(list.IndexOf("c")), &plain);
    // An object put over a watched one is kept as given.
    const int a = copy.IndexOf("a");
    copy.SetObjects(a, &plain);
    EXPECT_EQ(copy.Objects(a), &plain);
    delete stays;
    EXPECT_EQ(list.Objects(list.IndexOf("a")), nullptr);
}

TEST(StringList, FileAndStreamRoundTrip) {
    const std::string dir = MakeTempFolder("qm_strings_");
    const AnsiString file = AnsiString(dir + "/lines.txt");
    TStringList l;
    l.SetText("Temp\xB0"
              "C;12,5\nsecond");
    l.SaveToFile(file);
    std::ifstream in(file.c_str(), std::ios::binary);
    std::stringstream raw;
    raw << in.rdbuf();
    EXPECT_EQ(raw.str(), "Temp\xB0"
                         "C;12,5\r\nsecond\r\n");
    EXPECT_THROW(l.LoadFromFile(AnsiString(dir + "/missing")), EFOpenError);
    EXPECT_EQ(l.Count(), 2);
    std::system(("rm -rf '" + dir + "'").c_str());

    TStringStream s("skip|a\nb");
    s.SetPosition(5);
    l.LoadFromStream(&s); // from the position on
    EXPECT_EQ(Lines(l), (V{"a", "b"}));
}
