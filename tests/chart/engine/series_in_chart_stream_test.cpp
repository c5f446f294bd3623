// Series in component streams: the "Data" block inside a chart, identifier
// and style, custom axes by index, several data sources by name, and the old
// "Multiplier" property of value lists.
#include "axis_fixture.h"
#include "stream_text.h"
#include "support/forms_testing.h"
#include <string>

namespace {

const bool SeriesClassRegistered = (RegisterClass(&TChartSeries::ClassInfo), true);

void Copy(TComponent* From, TComponent* To) {
    TMemoryStream stream;
    WriteComponentToStream(&stream, From);
    stream.SetPosition(0);
    ReadComponentFromStream(&stream, To);
}

class SeriesStreamTest : public AxisPanelTest {
protected:
    TChartSeries* NewSeries(TCustomAxisPanel* Owner, const AnsiString& Name) {
        auto* s = new TChartSeries(Owner); // the chart owns and frees it
        s->SetName(Name);
        s->SetParentChart(Owner);
        return s;
    }
    TChartSeries* Find(TCustomAxisPanel* In, const AnsiString& Name) {
        return dynamic_cast<TChartSeries*>(In->FindComponent(Name));
    }
};

} // namespace

TEST_F(SeriesStreamTest, PointsStyleAndIdentifierTravelWithTheChart) {
    ASSERT_TRUE(SeriesClassRegistered);
    TChartSeries* s = NewSeries(Chart.get(), "Series1");
    s->AddXY(1, 10, "one");
    s->AddXY(2, 20, "", 0x123456);
    s->SetHasDataStored(true);
    s->SetIdentifier("id-7");
    s->SetStyle({tssIsTemplate, tssDenyDelete});
    const std::string text = SaveText(Chart.get());
    EXPECT_NE(text.find("Style = 5"), std::string::npos) << text;
    EXPECT_NE(text.find("Identifier = 'id-7'"), std::string::npos) << text;
    EXPECT_NE(text.find("Data = {"), std::string::npos) << text;

    TAxisTestChart other;
    Copy(Chart.get(), &other);
    TChartSeries* r = Find(&other, "Series1");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->ParentChart(), &other);
    ASSERT_EQ(r->Count(), 2);
    EXPECT_EQ(r->GetXLabel(0), "one");
    EXPECT_EQ(r->InternalColor(1), 0x123456);
    EXPECT_EQ(r->XValues()->Value(1), 2);
    EXPECT_EQ(r->Identifier(), "id-7");
    EXPECT_TRUE(r->Style() == (TChartSeriesStyle{tssIsTemplate, tssDenyDelete}));
    EXPECT_TRUE(r->HasDataStored());
}

TEST_F(SeriesStreamTest, PlainSeriesWriteNeitherStyleIdentifierNorData) {
    TChartSeries* s = NewSeries(Chart.get(), "Series1");
    s->AddY(3); // points added at run time are not the series' own
    const std::string text = SaveText(Chart.get());
    EXPECT_EQ(text.find("Style"), std::string::npos) << text;
    EXPECT_EQ(text.find("Identifier"), std::string::npos) << text;
    EXPECT_EQ(text.find("Data"), std::string::npos) << text;
    s->SetForceSaveData(true);
    EXPECT_NE(SaveText(Chart.get()).find("Data = {"), std::string::npos);
    s->SetForceSaveData(false);
    s->SetHasDataStored(true);
    s->SetDontSaveData(true);
    EXPECT_EQ(SaveText(Chart.get()).find("Data"), std::string::npos);
}

TEST_F(SeriesStreamTest, CustomAxesAreStoredByTheirIndex) {
    Chart->CustomAxes()->Add();
    auto* second = static_cast<TChartAxis*>(Chart->CustomAxes()->Add());
    TChartSeries* s = NewSeries(Chart.get(), "Series1");
    s->SetCustomVertAxis(second);
    EXPECT_NE(SaveText(Chart.get()).find("CustomVertAxis = 1"), std::string::npos);

    TAxisTestChart other;
    Copy(Chart.get(), &other);
    TChartSeries* r = Find(&other, "Series1");
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(other.CustomAxes()->Count(), 2);
    EXPECT_EQ(r->VertAxis(), aCustomVertAxis);
    EXPECT_EQ(r->CustomVertAxis(), other.CustomAxes()->Items(1));
    EXPECT_EQ(r->GetVertAxis(), other.CustomAxes()->Items(1));
}

TEST_F(SeriesStreamTest, SeveralDataSourcesAreStoredByName) {
    TChartSeries* a = NewSeries(Chart.get(), "A");
    TChartSeries* b = NewSeries(Chart.get(), "B");
    TChartSeries* c = NewSeries(Chart.get(), "C");
    a->AddY(1);
    a->SetHasDataStored(true);
    b->AddY(2);
    c->SetDataSource(a);
    c->InternalAddDataSource(b);
    const std::string text = SaveText(Chart.get());
    EXPECT_NE(text.find("DataSources = (\r\n      'A'\r\n      'B')"), std::string::npos) << text;

    TAxisTestChart other;
    Copy(Chart.get(), &other);
    TChartSeries* r = Find(&other, "C");
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->DataSources().size(), 2u);
    EXPECT_EQ(r->DataSources()[0], Find(&other, "A"));
    EXPECT_EQ(r->DataSources()[1], Find(&other, "B"));
    EXPECT_EQ(r->Count(), 1); // filled from its first source once loaded
}

TEST(SeriesStreamMultiplier, AnOldMultiplierOtherThanOneIsReported) {
    TStrictResponder responder;
    TChartSeries one(nullptr);
    LoadText("object Series1: TChartSeries\r\n  XValues.Multiplier = 1.0\r\nend\r\n", &one);
    EXPECT_TRUE(responder.Shown().empty());
    responder.ExpectMessage("Multiplier property is obsolete", 1);
    TChartSeries two(nullptr);
    LoadText("object Series1: TChartSeries\r\n  YValues.Multiplier = 2.5\r\n"
             "  XValues.Order = loNone\r\nend\r\n",
             &two);
    EXPECT_TRUE(responder.Done());
    EXPECT_EQ(responder.Shown().back().Caption, Application->Title());
    EXPECT_FALSE(Application->Title().IsEmpty());
    EXPECT_EQ(two.XValues()->Order(), loNone); // the rest is read on
}
