#include "streaming_fixtures.h"
#include "platform/classes/streams.h"
#include <gtest/gtest.h>

namespace {

enum TFxGap { fgLow = 1, fgHigh = 10, fgNegative = -3 };
QM_ENUM_NAMES(TFxGap, fgLow, fgHigh, fgNegative)

// Redeclares Width with another default and adds properties with declared
// float and string defaults and one that is never stored.
class TFxWide : public TFxPanel {
    QM_CLASS(TFxWide)
public:
    explicit TFxWide(TComponent* AOwner) : TFxPanel(AOwner) { SetWidth(200); }
    double Scale() const { return FScale; }
    void SetScale(double V) { FScale = V; }
    AnsiString Unit() const { return FUnit; }
    void SetUnit(const AnsiString& V) { FUnit = V; }
    TFxGap Gap() const { return FGap; }
    void SetGap(TFxGap V) { FGap = V; }

private:
    double FScale = 1.5;
    AnsiString FUnit = "mm";
    TFxGap FGap = fgLow;
};

} // namespace

QM_PUBLISHED(TFxWide, Prop("Scale", &Self::Scale, &Self::SetScale).Default(1.5),
             Prop("Width", &Self::Width, &Self::SetWidth).Default(200),
             Prop("Unit", &Self::Unit, &Self::SetUnit).Default("mm"),
             Prop("Gap", &Self::Gap, &Self::SetGap).Stored(false));
QM_CLASS_OWNED(TFxWide, TFxPanel, TComponent)

TEST(StreamingProps, BaseClassesComeFirstAndRedeclaredPropertiesKeepTheirPlace) {
    std::vector<std::string> names;
    for (const TPropInfo* p : GetPropList(&TFxWide::ClassInfo))
        names.push_back(p->Name.str());
    const std::vector<std::string> expected = {
        "Tag",   "Width", "Enabled", "Ratio", "Caption", "Shape", "Options", "Color", "Big",
        "Small", "Hint",  "Title",   "Items", "Lines",   "Buddy", "Scale",   "Unit",  "Gap"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(GetPropInfo(&TFxWide::ClassInfo, "WIDTH")->DefaultOrd, 200);
    EXPECT_EQ(GetPropInfo(&TFxPanel::ClassInfo, "width")->DefaultOrd, 100);
    EXPECT_EQ(GetPropInfo(&TFxPanel::ClassInfo, "Scale"), nullptr);
}

TEST(StreamingProps, KindsFollowTheGetterType) {
    struct Case {
        const char* Name;
        TPropKind Kind;
    };
    const Case cases[] = {{"Width", TPropKind::Integer},     {"Enabled", TPropKind::Boolean},
                          {"Ratio", TPropKind::Float},       {"Caption", TPropKind::String},
                          {"Shape", TPropKind::Enumeration}, {"Options", TPropKind::Set},
                          {"Title", TPropKind::Object},      {"Items", TPropKind::Object},
                          {"Buddy", TPropKind::Component}};
    for (const Case& c : cases)
        EXPECT_EQ(GetPropInfo(&TFxPanel::ClassInfo, c.Name)->Kind, c.Kind) << c.Name;
    EXPECT_EQ(GetPropInfo(&TFxPanel::ClassInfo, "Small")->MinValue, -32768);
    EXPECT_EQ(GetPropInfo(&TFxPanel::ClassInfo, "Buddy")->PropClass, &TFxPanel::ClassInfo);
}

TEST(StreamingProps, DeclaredDefaultsOfEveryKindAreNotWritten) {
    TFxWide w(nullptr);
    EXPECT_EQ(SaveBinary(&w), std::string("TPF0\x07TFxWide\0\0\0", 15));
    w.SetScale(0);
    w.SetUnit("");
    w.SetWidth(100);
    w.SetGap(fgHigh);
    const std::string text = SaveText(&w);
    EXPECT_NE(text.find("Scale = 0.0"), std::string::npos);
    EXPECT_NE(text.find("Unit = ''"), std::string::npos);
    EXPECT_NE(text.find("Width = 100"), std::string::npos);
    EXPECT_EQ(text.find("Gap"), std::string::npos);
}

TEST(StreamingProps, EnumerationNamesMapBothWaysWithoutRegardToCase) {
    const TEnumNames& names = EnumNames(TFxGap{});
    ASSERT_EQ(names.Count(), 3);
    EXPECT_EQ(*names.NameOf(fgNegative), "fgNegative");
    EXPECT_EQ(names.NameOf(2), nullptr);
    int64_t v = 0;
    EXPECT_TRUE(names.ValueOf("FGHIGH", v));
    EXPECT_EQ(v, fgHigh);
    EXPECT_FALSE(names.ValueOf("fgMiddle", v));
}

TEST(StreamingProps, IntegerIdentTablesAreLookedUpByTypeName) {
    AnsiString ident;
    EXPECT_TRUE(IntegerToIdent("tfxcolor", fxBlue, ident));
    EXPECT_EQ(ident, "fxBlue");
    EXPECT_FALSE(IntegerToIdent("TFxColor", 12, ident));
    EXPECT_FALSE(IntegerToIdent("TFxColor", int64_t(1) << 40 | fxRed, ident));
    EXPECT_FALSE(IntegerToIdent("TNoColor", fxBlue, ident));
    int64_t v = 0;
    EXPECT_TRUE(IdentToInteger("TFxColor", "FXRED", v));
    EXPECT_EQ(v, fxRed);

    UnRegisterIntegerIdents("TFxColor");
    TFxPanel p(nullptr);
    p.SetColor(fxBlue);
    const std::string numeric = SaveText(&p);
    RegisterFxColors();
    EXPECT_NE(numeric.find("Color = 16711680"), std::string::npos);
    EXPECT_NE(SaveText(&p).find("Color = fxBlue"), std::string::npos);
}

namespace {
// An owner that sets its sub-object up otherwise than the sub-object's class
// declares, and one property that changes another.
class TFxStyled : public TFxPanel {
    QM_CLASS(TFxStyled)
public:
    explicit TFxStyled(TComponent* AOwner) : TFxPanel(AOwner) {
        Title()->Font()->SetSize(12);
        SetWidth(300);
    }
    bool Framed() const { return FFramed; }
    void SetFramed(bool V) {
        FFramed = V;
        Title()->SetVisible(V);
    }

private:
    bool FFramed = true;
};
} // namespace

QM_PUBLISHED(TFxStyled, Prop("Framed", &Self::Framed, &Self::SetFramed).Default(true));
QM_CLASS_OWNED(TFxStyled, TFxPanel, TComponent)

namespace {
std::string WriteAgainstConstructed(TComponent* C) {
    TMemoryStream m;
    TWriter w(&m);
    w.SetAgainstConstructed(true);
    w.WriteRootComponent(C);
    w.FlushBuffer();
    return std::string(static_cast<const char*>(m.Memory()), size_t(m.Size()));
}

void ReadInto(const std::string& Bytes, TComponent* C) {
    TMemoryStream m;
    m.WriteBuffer(Bytes.data(), int(Bytes.size()));
    m.SetPosition(0);
    ReadComponentFromStream(&m, C);
}
} // namespace

// Written against a fresh instance, values that equal the declared defaults
// but not what the constructor set come back, and so does a property that an
// earlier one changes as a side effect; an untouched instance writes nothing
// more than its declarations would.
TEST(StreamingProps, WritingAgainstTheConstructedInstanceKeepsWhatWasSet) {
    TFxStyled s(nullptr);
    s.SetName("S");
    s.Title()->Font()->SetSize(8);
    s.SetWidth(100);
    s.SetFramed(false);
    s.Title()->SetVisible(true);
    TFxStyled back(nullptr);
    ReadInto(WriteAgainstConstructed(&s), &back);
    EXPECT_EQ(back.Title()->Font()->Size(), 8);
    EXPECT_EQ(back.Width(), 100);
    EXPECT_FALSE(back.Framed());
    EXPECT_TRUE(back.Title()->Visible());

    TFxPanel plain(nullptr);
    plain.SetName("P");
    EXPECT_EQ(WriteAgainstConstructed(&plain), SaveBinary(&plain));
}
