#include "axis_fixture.h"
#include "stream_text.h"

namespace {
// A series type a stream can name.
class TAxisStreamSeries : public TAxisTestSeries {
    QM_CLASS(TAxisStreamSeries)
public:
    explicit TAxisStreamSeries(TComponent* AOwner) : TAxisTestSeries(AOwner) {}
};
QM_CLASS_OWNED(TAxisStreamSeries, TChartSeries, TComponent)

// The chart as a root component, with its series owned by it.
class AxisPanelStreamTest : public AxisPanelTest {
protected:
    AxisPanelStreamTest() { RegisterClass(&TAxisStreamSeries::ClassInfo); }
    ~AxisPanelStreamTest() override { UnRegisterClass(&TAxisStreamSeries::ClassInfo); }
};
} // namespace

TEST_F(AxisPanelStreamTest, CustomAxesAndTheSeriesOnThemRoundTrip) {
    Chart->SetName("Chart1");
    TChartAxis* first = static_cast<TChartAxis*>(Chart->CustomAxes()->Add());
    TChartAxis* second = static_cast<TChartAxis*>(Chart->CustomAxes()->Add());
    second->SetOtherSide(true);
    first->SetHorizontal(true);
    second->SetMinMax(-5, 5);
    second->Title()->SetCaption("Volts");
    first->SetStartPosition(50);
    Chart->LeftAxis()->SetLabelsAngle(90);
    Chart->SetMaxPointsPerPage(10);
    auto* s = new TAxisStreamSeries(Chart.get());
    s->SetName("Series1");
    s->SetParentChart(Chart.get());
    s->SetCustomVertAxis(second);
    for (int i = 0; i < 30; ++i)
        s->AddXY(i, i);
    s->SetHasDataStored(true);
    Chart->SetPage(3);
    EXPECT_EQ(Chart->Page(), 3);

    const std::string text = SaveText(Chart.get());
    EXPECT_NE(text.find("CustomAxes = <"), std::string::npos) << text;
    EXPECT_NE(text.find("Horizontal = True"), std::string::npos) << text;
    EXPECT_NE(text.find("LeftAxis.LabelsAngle = 90"), std::string::npos) << text;
    EXPECT_EQ(text.find("BottomAxis."), std::string::npos) << text;
    EXPECT_NE(text.find("CustomVertAxis = 1"), std::string::npos) << text;

    TAxisTestChart copy;
    LoadText(text, &copy);
    ASSERT_EQ(copy.CustomAxes()->Count(), 2);
    EXPECT_EQ(copy.Axes()->Count(), 7);
    TChartAxis* a = copy.CustomAxes()->Get(1);
    EXPECT_FALSE(a->Horizontal());
    EXPECT_TRUE(a->OtherSide());
    EXPECT_TRUE(copy.CustomAxes()->Get(0)->Horizontal());
    EXPECT_EQ(a->Minimum(), -5);
    EXPECT_EQ(a->Maximum(), 5);
    EXPECT_FALSE(a->Automatic());
    EXPECT_EQ(a->Title()->Caption(), "Volts");
    EXPECT_EQ(copy.CustomAxes()->Get(0)->StartPosition(), 50);
    EXPECT_EQ(copy.LeftAxis()->LabelsAngle(), 90);
    EXPECT_EQ(copy.MaxPointsPerPage(), 10);
    EXPECT_EQ(copy.Page(), 3);
    ASSERT_EQ(copy.SeriesCount(), 1);
    EXPECT_EQ(copy.GetSeries(0)->GetVertAxis(), a);
    EXPECT_EQ(copy.GetSeries(0)->VertAxis(), aCustomVertAxis);
    EXPECT_EQ(copy.GetSeries(0)->Count(), 30);
    // The stream of the copy is the same stream.
    EXPECT_EQ(SaveText(&copy), text);
    copy.FreeAllSeries();
    Chart->FreeAllSeries();
}

TEST_F(AxisPanelStreamTest, DefaultChartWritesNoAxisOrShadowProperties) {
    auto* s = new TAxisStreamSeries(Chart.get());
    s->SetName("Series1");
    s->SetParentChart(Chart.get());
    s->AddXY(1, 2, "", 0x123456);
    s->SetHasDataStored(true);
    const std::string text = SaveText(Chart.get());
    EXPECT_EQ(text.find("Axis."), std::string::npos) << text;
    EXPECT_EQ(text.find("Axes"), std::string::npos) << text;
    EXPECT_EQ(text.find("Page"), std::string::npos) << text;
    // The marks' grey one-pixel shadow is their default, not a setting.
    EXPECT_EQ(text.find("Shadow"), std::string::npos) << text;
    TMemoryStream item;
    {
        TWriter writer(&item);
        writer.WriteProperties(s->Marks()->Items()->Get(0));
    }
    const std::string itemBytes(static_cast<const char*>(item.Memory()),
                                static_cast<size_t>(item.Size()));
    EXPECT_EQ(itemBytes.find("Shadow"), std::string::npos);
    s->Marks()->Shadow()->SetColor(clRed);
    const std::string changed = SaveText(Chart.get());
    EXPECT_NE(changed.find("Marks.Shadow.Color = clRed"), std::string::npos) << changed;
    EXPECT_EQ(changed.find("HorizSize"), std::string::npos) << changed;
}

namespace {
// Holds one custom axis label so streams can carry it.
class TAxisItemHolder : public TComponent {
    QM_CLASS(TAxisItemHolder)
public:
    explicit TAxisItemHolder(TComponent* AOwner) : TComponent(AOwner) {}
    TAxisItem* Item() { return &FItem; }
    TAxisItem FItem;
};
} // namespace

QM_CLASS_OWNED(TAxisItemHolder, TComponent, TComponent)
QM_PUBLISHED(TAxisItemHolder, Prop("Item", &Self::Item));

TEST(AxisItemStreaming, TheLookOfACustomLabelRoundTrips) {
    RegisterClass(&TAxisItemHolder::ClassInfo);
    TAxisItemHolder holder(nullptr);
    EXPECT_EQ(SaveText(&holder), "object TAxisItemHolder\r\nend\r\n");
    TAxisItem* item = holder.Item();
    item->SetBevel(bvRaised);
    item->SetColor(clYellow);
    item->Gradient()->SetVisible(true);
    item->Shadow()->SetSize(5);
    item->SetShapeStyle(fosRoundRectangle);
    item->SetTransparency(40);
    item->SetTransparent(false);
    item->SetText("limit");
    const std::string text = SaveText(&holder);
    for (const char* p : {"Item.Bevel = bvRaised", "Item.Shadow.", "Item.Transparency = 40",
                          "Item.Transparent = False", "Item.Gradient.Visible = True"})
        EXPECT_NE(text.find(p), std::string::npos) << p << "\n" << text;
    TAxisItemHolder copy(nullptr);
    LoadText(text, &copy);
    EXPECT_EQ(SaveText(&copy), text);
    EXPECT_EQ(copy.Item()->ShapeStyle(), fosRoundRectangle);
    UnRegisterClass(&TAxisItemHolder::ClassInfo);
}
