#include "streaming_fixtures.h"
#include "platform/classes/streams.h"
#include "platform/rtl/exceptions.h"
#include <bit>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

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

// Signature, header and the two list ends around Props.
std::string Stream(const std::string& Props, const std::string& Name = "P") {
    return "TPF0" + Short("TFxPanel") + Short(Name) + Props + Bytes({0, 0});
}

} // namespace

TEST(StreamingBinary, FixedBytesOfASmallComponent) {
    TFxPanel p(nullptr);
    p.SetName("P");
    p.SetWidth(5);
    p.SetCaption("Hi");
    EXPECT_EQ(SaveBinary(&p), Stream(Short("Width") + Bytes({vaInt8, 5}) + Short("Caption") +
                                     Bytes({vaString, 2}) + "Hi"));
}

TEST(StreamingBinary, FixedBytesOfEveryValueKind) {
    struct Case {
        const char* What;
        std::function<void(TFxPanel&)> Set;
        std::string Expected;
    };
    const std::vector<Case> cases = {
        {"int16", [](TFxPanel& p) { p.SetWidth(300); },
         Short("Width") + Bytes({vaInt16, 0x2C, 0x01})},
        {"int32", [](TFxPanel& p) { p.SetWidth(-70000); },
         Short("Width") + Bytes({vaInt32, 0x90, 0xEE, 0xFE, 0xFF})},
        {"int64", [](TFxPanel& p) { p.SetBig(int64_t(1) << 40); },
         Short("Big") + Bytes({vaInt64, 0, 0, 0, 0, 0, 1, 0, 0})},
        {"false", [](TFxPanel& p) { p.SetEnabled(false); }, Short("Enabled") + Bytes({vaFalse})},
        {"extended 1.0", [](TFxPanel& p) { p.SetRatio(1.0); },
         Short("Ratio") + Bytes({vaExtended, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F})},
        {"extended -0.5", [](TFxPanel& p) { p.SetRatio(-0.5); },
         Short("Ratio") + Bytes({vaExtended, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0xBF})},
        {"enum", [](TFxPanel& p) { p.SetShape(fsSquare); },
         Short("Shape") + Bytes({vaIdent}) + Short("fsSquare")},
        {"set",
         [](TFxPanel& p) {
             p.SetOptions({foShadow, foBold});
         },
         Short("Options") + Bytes({vaSet}) + Short("foBold") + Short("foShadow") + Bytes({0})},
        {"colour ident", [](TFxPanel& p) { p.SetColor(fxBlue); },
         Short("Color") + Bytes({vaIdent}) + Short("fxBlue")},
        {"colour without ident", [](TFxPanel& p) { p.SetColor(7); },
         Short("Color") + Bytes({vaInt8, 7})},
        {"long string", [](TFxPanel& p) { p.SetCaption(std::string(256, 'a')); },
         Short("Caption") + Bytes({vaLString, 0, 1, 0, 0}) + std::string(256, 'a')},
        {"sub-object", [](TFxPanel& p) { p.Title()->Font()->SetSize(12); },
         Short("Title.Font.Size") + Bytes({vaInt8, 12})},
        {"strings", [](TFxPanel& p) { p.Lines()->Add("a"); },
         Short("Lines.Strings") + Bytes({vaList, vaString, 1, 'a', 0})},
        {"collection", [](TFxPanel& p) { static_cast<TFxItem*>(p.Items()->Add())->SetText("t"); },
         Short("Items") + Bytes({vaCollection, vaList}) + Short("Text") +
             Bytes({vaString, 1, 't', 0, 0})},
        {"binary", [](TFxPanel& p) { p.Data = "\x01\x02"; },
         Short("Data") + Bytes({vaBinary, 2, 0, 0, 0, 1, 2})},
        {"defined list", [](TFxPanel& p) { p.Marks = {1}; },
         Short("Marks") + Bytes({vaList, vaInt8, 1, 0})},
        {"tag", [](TFxPanel& p) { p.SetTag(-1); }, Short("Tag") + Bytes({vaInt8, 0xFF})},
    };
    for (const Case& c : cases) {
        TFxPanel p(nullptr);
        p.SetName("P");
        c.Set(p);
        EXPECT_EQ(SaveBinary(&p), Stream(c.Expected)) << c.What;
        // Reading the hand-made bytes gives the same component back.
        EXPECT_EQ(SaveBinary(LoadBinary(Stream(c.Expected)).get()), Stream(c.Expected)) << c.What;
    }
}

TEST(StreamingBinary, DefaultsAndUnstoredValuesAreNotWritten) {
    TFxPanel p(nullptr);
    EXPECT_EQ(SaveBinary(&p), Stream("", ""));
    p.SetHint("none"); // the stored test says no
    p.SetWidth(100);
    p.Title()->Font()->SetName("Arial");
    EXPECT_EQ(SaveBinary(&p), Stream("", ""));
}

TEST(StreamingBinary, SampleTreeRoundTripsWithEveryPropertyKind) {
    auto tree = MakeSampleTree();
    const std::string bytes = SaveBinary(tree.get());
    auto copy = LoadBinary(bytes);
    EXPECT_EQ(SaveBinary(copy.get()), bytes);

    EXPECT_EQ(copy->Name(), "Root");
    EXPECT_EQ(copy->Width(), -300);
    EXPECT_FALSE(copy->Enabled());
    EXPECT_EQ(copy->Ratio(), 0.1);
    EXPECT_EQ(copy->Caption(), tree->Caption());
    EXPECT_EQ(copy->Shape(), fsTriangle);
    EXPECT_TRUE(copy->Options() == (TFxOptions{foBold, foShadow}));
    EXPECT_EQ(copy->Color(), fxBlue);
    EXPECT_EQ(copy->Big(), int64_t(1) << 40);
    EXPECT_EQ(copy->Small(), -2);
    EXPECT_EQ(copy->Hint(), "shown");
    EXPECT_EQ(copy->Title()->Font()->Name(), "Courier New");
    EXPECT_EQ(copy->Title()->Font()->Color(), 0x123456);
    ASSERT_EQ(copy->Title()->Text()->Count(), 2);
    EXPECT_EQ(copy->Title()->Text()->Strings(1), "");
    EXPECT_FALSE(copy->Title()->Visible());
    EXPECT_EQ(copy->Data, tree->Data);
    EXPECT_EQ(copy->Marks, tree->Marks);
    ASSERT_EQ(copy->Items()->Count(), 2);
    EXPECT_EQ(static_cast<TFxItem*>(copy->Items()->Items(0))->Value(), 2.5);

    ASSERT_EQ(copy->ComponentCount(), 3);
    auto* a = dynamic_cast<TFxPanel*>(copy->FindComponent("PanelA"));
    auto* b = dynamic_cast<TFxPanel*>(copy->FindComponent("PanelB"));
    auto* c = dynamic_cast<TFxPanel*>(copy->FindComponent("PanelC"));
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(a->ParentPanel(), copy.get());
    EXPECT_EQ(c->ParentPanel(), a);
    EXPECT_EQ(c->Ratio(), -1.5e-300);
    EXPECT_EQ(a->Caption().Length(), 300);
}

TEST(StreamingBinary, ReferencesAreFixedAfterTheWholeTreeIsRead) {
    auto tree = MakeSampleTree();
    // PanelB refers to PanelA, read before it; the item refers to PanelC, read
    // after the root's properties; PanelC refers to the root ("Owner").
    auto copy = LoadBinary(SaveBinary(tree.get()));
    auto* a = copy->FindComponent("PanelA");
    auto* b = dynamic_cast<TFxPanel*>(copy->FindComponent("PanelB"));
    auto* c = dynamic_cast<TFxPanel*>(copy->FindComponent("PanelC"));
    EXPECT_EQ(b->Buddy(), a);
    EXPECT_EQ(c->Buddy(), copy.get());
    EXPECT_EQ(static_cast<TFxItem*>(copy->Items()->Items(0))->Link(), c);
}

TEST(StreamingBinary, SettersSeeTheLoadingStateAndLoadedRunsOnceInReadingOrder) {
    auto tree = MakeSampleTree();
    const std::string bytes = SaveBinary(tree.get());
    std::vector<AnsiString> log;
    TFxPanel::LoadedLog = &log;
    auto copy = LoadBinary(bytes);
    TFxPanel::LoadedLog = nullptr;
    EXPECT_TRUE(copy->WidthSetWhileLoading);
    EXPECT_EQ(log, (std::vector<AnsiString>{"Root", "PanelA", "PanelC", "PanelB"}));
    const TComponentState loading{csLoading, csReading};
    for (int i = 0; i < copy->ComponentCount(); ++i)
        EXPECT_TRUE((copy->Components(i)->ComponentState() * loading).Empty());
    EXPECT_TRUE((copy->ComponentState() * loading).Empty());
}

TEST(StreamingBinary, ReadsIntoANewRootOfTheStoredClass) {
    auto tree = MakeSampleTree();
    TMemoryStream s;
    WriteComponentToStream(&s, tree.get());
    s.SetPosition(0);
    std::unique_ptr<TComponent> root(ReadComponentFromStream(&s, nullptr));
    ASSERT_TRUE(dynamic_cast<TFxPanel*>(root.get()));
    EXPECT_EQ(root->ComponentCount(), 3);
    EXPECT_EQ(s.Position(), s.Size());
}

TEST(StreamingBinary, ReaderLeavesTheStreamJustBehindTheComponent) {
    TFxPanel p(nullptr);
    std::string bytes = SaveBinary(&p) + "tail";
    TStringStream s(bytes);
    {
        TReader reader(&s, 4096);
        TFxPanel q(nullptr);
        reader.ReadRootComponent(&q);
    }
    EXPECT_EQ(s.Position(), static_cast<int64_t>(bytes.size() - 4));
}

TEST(StreamingBinary, UnknownPropertiesAreSkippedOrGoToTheHook) {
    const std::string bytes =
        Stream(Short("NonsenseWithAVeryLongName") + Bytes({vaList, vaInt8, 1, 0}) + Short("Width") +
               Bytes({vaInt8, 7}));
    EXPECT_EQ(LoadBinary(bytes)->Width(), 7);

    std::vector<AnsiString> messages;
    auto p = LoadBinary(bytes, [&](const AnsiString& m) {
        messages.push_back(m);
        return true;
    });
    EXPECT_EQ(p->Width(), 7);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Error reading P.NonsenseWithAVeryLongName: Property "
                           "NonsenseWithAVeryLongName does not exist");
    EXPECT_THROW(LoadBinary(bytes, [](const AnsiString&) { return false; }), EReadError);
}

TEST(StreamingBinary, WrongValuesRaiseUnlessTheHookSkipsThem) {
    struct Case {
        const char* What;
        std::string Props;
    };
    const std::vector<Case> cases = {
        {"string for integer", Short("Width") + Bytes({vaString, 1, 'x'})},
        {"unknown enum ident", Short("Shape") + Bytes({vaIdent}) + Short("fsHexagon")},
        {"unknown set element", Short("Options") + Bytes({vaSet}) + Short("foNone") + Bytes({0})},
        {"out of range for short", Short("Small") + Bytes({vaInt32, 0, 0, 1, 0})},
        {"unknown colour", Short("Color") + Bytes({vaIdent}) + Short("fxPink")},
        {"int64 for a defined int list",
         Short("Marks") + Bytes({vaList, vaInt64, 0, 0, 0, 0, 0, 0, 0, 1, 0})},
        {"list for a sub-object", Short("Title") + Bytes({vaList, 0})},
        {"missing reference", Short("Buddy") + Bytes({vaIdent}) + Short("Nobody")},
        {"string for binary", Short("Data") + Bytes({vaString, 0})},
    };
    for (const Case& c : cases) {
        const std::string bytes = Stream(c.Props + Short("Width") + Bytes({vaInt8, 9}));
        EXPECT_THROW(LoadBinary(bytes), EReadError) << c.What;
        int calls = 0;
        auto p = LoadBinary(bytes, [&](const AnsiString&) { return ++calls > 0; });
        EXPECT_EQ(calls, 1) << c.What;
        EXPECT_EQ(p->Width(), 9) << c.What; // still in step behind the bad value
    }
}

TEST(StreamingBinary, OldPropertyNamesAreReadButNeverWritten) {
    auto p = LoadBinary(Stream(Short("OldWidth") + Bytes({vaInt8, 42})));
    EXPECT_EQ(p->Width(), 42);
    EXPECT_EQ(SaveBinary(p.get()), Stream(Short("Width") + Bytes({vaInt8, 42})));
}

TEST(StreamingBinary, FailedReadFreesWhatItCreatedAndLeavesNoLoadingState) {
    auto tree = MakeSampleTree();
    std::string bytes = SaveBinary(tree.get());
    bytes.resize(bytes.size() - 3);
    TFxPanel root(nullptr);
    TStringStream s(bytes);
    TReader reader(&s);
    EXPECT_THROW(reader.ReadRootComponent(&root), EReadError);
    EXPECT_FALSE(root.IsLoading());
    for (int i = 0; i < root.ComponentCount(); ++i)
        EXPECT_FALSE(root.Components(i)->IsLoading());
}

TEST(StreamingBinary, ExtendedConversionIsExact) {
    const double values[] = {0.0,
                             -0.0,
                             1.0,
                             0.1,
                             -123.456,
                             1e300,
                             4.9406564584124654e-324,
                             2.2250738585072014e-308,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::infinity()};
    for (double v : values) {
        uint8_t ext[10];
        DoubleToExtended(v, ext);
        EXPECT_EQ(std::bit_cast<uint64_t>(ExtendedToDouble(ext)), std::bit_cast<uint64_t>(v)) << v;
    }
    uint8_t nan[10];
    DoubleToExtended(std::numeric_limits<double>::quiet_NaN(), nan);
    EXPECT_TRUE(std::isnan(ExtendedToDouble(nan)));

    auto ext = [](uint64_t mant, uint16_t se) {
        uint8_t b[10];
        std::memcpy(b, &mant, 8);
        std::memcpy(b + 8, &se, 2);
        return ExtendedToDouble(b);
    };
    // 1 + 2^-53 is a tie and rounds to even (1); 1 + 3*2^-54 rounds up.
    EXPECT_EQ(ext(0x8000000000000400ull, 0x3FFF), 1.0);
    EXPECT_EQ(ext(0x8000000000000600ull, 0x3FFF), 1.0 + std::ldexp(1.0, -52));
    // Far beyond the double range: infinity and zero.
    EXPECT_EQ(ext(0x8000000000000000ull, 0x7000), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ext(0x8000000000000000ull, 0x8001), -0.0);
    // Rounding up the largest subnormal gives the smallest normal.
    EXPECT_EQ(ext(0xFFFFFFFFFFFFFFFFull, 0x3C00), std::numeric_limits<double>::min());
}

TEST(StreamingBinary, InheritedChildrenAreReadIntoTheExistingComponent) {
    TFxPanel root(nullptr);
    auto* existing = new TFxPanel(&root);
    existing->SetName("PanelA");
    const std::string bytes = "TPF0" + Short("TFxPanel") + Short("R") + Bytes({0, 0xF1}) +
                              Short("TFxPanel") + Short("PanelA") + Short("Width") +
                              Bytes({vaInt8, 3, 0, 0, 0});
    TStringStream s(bytes);
    TReader(&s).ReadRootComponent(&root);
    EXPECT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(existing->Width(), 3);

    const std::string missing = "TPF0" + Short("TFxPanel") + Short("R") + Bytes({0, 0xF1}) +
                                Short("TFxPanel") + Short("Nobody") + Bytes({0, 0, 0});
    TStringStream m(missing);
    EXPECT_THROW(TReader(&m).ReadRootComponent(&root), EReadError);
}

// A class may keep its own records inside a binary property with a writer and
// a reader of their own: a count, then each object's properties as a list.
TEST(StreamingBinary, NestedWriterAndReaderStorePropertiesOfLooseObjects) {
    TFxFont fonts[2];
    fonts[0].SetSize(14);
    fonts[1].SetName("Courier New");
    fonts[1].SetColor(fxRed);
    TMemoryStream data;
    {
        TWriter w(&data, 1024);
        const int32_t n = 2;
        w.Write(&n, 4);
        for (TFxFont& f : fonts) {
            w.WriteListBegin();
            w.WriteProperties(&f);
            w.WriteListEnd();
        }
    }
    data.SetPosition(0);
    TFxFont copies[2];
    TReader r(&data, 1024);
    int32_t n = 0;
    r.Read(&n, 4);
    ASSERT_EQ(n, 2);
    for (TFxFont& f : copies) {
        r.ReadListBegin();
        while (!r.EndOfList())
            r.ReadProperty(&f);
        r.ReadListEnd();
    }
    EXPECT_EQ(copies[0].Size(), 14);
    EXPECT_EQ(copies[1].Name(), "Courier New");
    EXPECT_EQ(copies[1].Color(), fxRed);
    EXPECT_EQ(r.Position(), data.Size());
}

TEST(StreamingBinary, TagHoldsAPointerAndWidensTo64Bits) {
    TFxPanel p(nullptr);
    p.SetName("P");
    int probe = 0;
    p.SetTag(reinterpret_cast<intptr_t>(&probe));
    EXPECT_EQ(reinterpret_cast<int*>(p.Tag()), &probe);
    p.SetTag(intptr_t(1) << 40);
    const std::string saved = SaveBinary(&p);
    EXPECT_NE(saved.find(Bytes({vaInt64})), std::string::npos);
    EXPECT_EQ(LoadBinary(saved)->Tag(), intptr_t(1) << 40);
}

TEST(StreamingBinary, NamesSharedByClassesAndSpelledInOtherCasesReachTheirOwnProperty) {
    // "Color" of the panel and of its title's font, "Text" of a collection item,
    // then the same names again in other cases on a second panel.
    const std::string binary = "TPF0" + Short("TFxPanel") + Short("P") + Short("Color") +
                               Bytes({vaInt8, 5}) + Short("Title.Font.Color") + Bytes({vaInt8, 3}) +
                               Short("Items") + Bytes({vaCollection, vaList}) + Short("Text") +
                               Bytes({vaString, 1}) + "x" + Bytes({0, 0}) + Bytes({0}) +
                               Short("TFxPanel") + Short("C") + Short("COLOR") +
                               Bytes({vaInt8, 7}) + Short("Title.Font.color") + Bytes({vaInt8, 4}) +
                               Short("color") + Bytes({vaInt8, 9}) + Bytes({0, 0}) + Bytes({0});
    const auto root = LoadBinary(binary);
    EXPECT_EQ(root->Color(), 5);
    EXPECT_EQ(root->Title()->Font()->Color(), 3);
    ASSERT_EQ(root->Items()->Count(), 1);
    EXPECT_EQ(static_cast<TFxItem*>(root->Items()->Items(0))->Text(), "x");
    auto* child = static_cast<TFxPanel*>(root->FindComponent("C"));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->Color(), 9);
    EXPECT_EQ(child->Title()->Font()->Color(), 4);
}

TEST(StreamingBinary, BinaryDataFromMemoryComesInPlaceWithTheReaderInStepBehind) {
    // Lengths on both sides of the reader's buffer, behind captions that move
    // the block off any boundary.
    for (const size_t n : {size_t(0), size_t(1), size_t(4095), size_t(4097), size_t(100000)}) {
        TFxPanel p(nullptr);
        p.SetName("P");
        p.SetCaption(std::string(n % 7, 'c'));
        p.Data.resize(n);
        for (size_t i = 0; i < n; ++i)
            p.Data[i] = static_cast<char>(i * 31 + 7);
        p.Marks = {5, 6};
        const std::string bytes = SaveBinary(&p);
        TMemoryStream memory;
        memory.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
        memory.SetPosition(0);
        TFxPanel q(nullptr);
        {
            TReader reader(&memory);
            reader.ReadRootComponent(&q);
        }
        EXPECT_EQ(q.Data, p.Data) << n;
        EXPECT_EQ(q.Marks, p.Marks) << n;
        EXPECT_EQ(memory.Position(), memory.Size()) << n;
    }
}
