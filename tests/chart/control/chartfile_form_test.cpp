// A chart that a form owns, saved and read back and saved again: the links
// between its series and tools (a function's source, a tool's series) come
// back each time, and the points the file stores come back even when the
// form's handler refuses points added later.
#include "chart/control/series.h"
#include "chart/control/teefunci.h"
#include "chart/control/teestore.h"
#include "chart/control/tool_hints.h"
#include "platform/classes/props.h"
#include "platform/classes/streams.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

class TLinkForm : public TComponent {
    QM_CLASS(TLinkForm)
public:
    using TComponent::TComponent;
    bool RefusePoints(TChartSeries*) { return false; }
};

} // namespace

QM_CLASS_OWNED(TLinkForm, TComponent, TComponent)
QM_PUBLISHED_METHODS(TLinkForm, Method("RefusePoints", &Self::RefusePoints));

namespace {

// A form with its chart; the series and the tool belong to the form, as a
// designer makes them.
struct TFormWithChart {
    TFormWithChart() {
        Form.SetName("Form1");
        Chart->SetName("Chart1");
    }
    void Design() {
        auto* source = new TLineSeries(&Form);
        source->SetName("Source");
        source->SetParentChart(Chart);
        source->AddXY(1, 10, "first"); // a label: the points go in one by one
        source->AddXY(2, 30);
        auto* sum = new TLineSeries(&Form);
        sum->SetName("Sum");
        sum->SetParentChart(Chart);
        sum->SetFunction(new TAddTeeFunction(&Form));
        sum->SetDataSource(source);
        auto* tips = new TMarksTipTool(&Form);
        tips->SetName("Tips");
        tips->SetParentChart(Chart);
        tips->SetSeries(source);
    }
    TChartSeries* Series(const char* Name) const {
        for (int i = 0; i < Chart->SeriesCount(); ++i)
            if (Chart->GetSeries(i)->Name() == Name) return Chart->GetSeries(i);
        return nullptr;
    }
    TLinkForm Form{nullptr};
    TChart* Chart = new TChart(&Form);
};

std::string Save(TCustomChart* Chart, bool Text) {
    TMemoryStream m;
    SaveChartToStream(Chart, &m, true, Text);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

void Load(TCustomChart* Chart, const std::string& Data) {
    TStringStream in(Data);
    TCustomChart* target = Chart;
    LoadChartFromStream(target, &in);
}

void ExpectLinked(const TFormWithChart& F, const std::string& When) {
    SCOPED_TRACE(When);
    TChartSeries* source = F.Series("Source");
    TChartSeries* sum = F.Series("Sum");
    ASSERT_TRUE(source && sum);
    EXPECT_EQ(sum->DataSource(), source);
    ASSERT_EQ(F.Chart->Tools()->Count(), 1);
    auto* tips = dynamic_cast<TMarksTipTool*>(F.Chart->Tools()->Get(0));
    ASSERT_TRUE(tips);
    EXPECT_EQ(tips->Series(), source);
}

TEST(ChartFileForm, LinksComeBackThroughEverySaveOfAFormsChart) {
    for (bool text : {false, true}) {
        SCOPED_TRACE(text ? "text" : "binary");
        TFormWithChart first;
        first.Design();
        std::string saved = Save(first.Chart, text);
        for (int round = 1; round <= 3; ++round) {
            TFormWithChart next;
            Load(next.Chart, saved);
            ExpectLinked(next, "round " + std::to_string(round));
            const std::string again = Save(next.Chart, text);
            EXPECT_EQ(again.find(".Owner"), std::string::npos);
            if (round > 1) EXPECT_EQ(again, saved);
            saved = again;
        }
        // The function follows its source again.
        TFormWithChart last;
        Load(last.Chart, saved);
        last.Series("Source")->AddXY(3, 5);
        TChartSeries* sum = last.Series("Sum");
        sum->CheckDataSource();
        ASSERT_GT(sum->Count(), 0);
        EXPECT_EQ(sum->YValues()->Value(sum->Count() - 1), 45);
    }
}

// Files saved while the links were written against the form's root name
// their targets "Source.Owner"; they read back linked.
TEST(ChartFileForm, LinksWrittenAgainstTheOwnersNameComeBack) {
    TFormWithChart first;
    first.Design();
    std::string text = Save(first.Chart, true);
    for (const char* ref : {"DataSource = Source", "Series = Source"}) {
        const size_t at = text.find(ref);
        ASSERT_NE(at, std::string::npos) << ref << "\n" << text;
        text.insert(at + std::string(ref).size(), ".Owner");
    }
    TFormWithChart next;
    Load(next.Chart, text);
    ExpectLinked(next, "old file");
}

TEST(ChartFileForm, StoredPointsComeBackPastAHandlerThatRefusesAdding) {
    for (bool text : {false, true}) {
        SCOPED_TRACE(text ? "text" : "binary");
        TFormWithChart first;
        first.Design();
        TChartSeries* source = first.Series("Source");
        GetPropInfo(source->ClassType(), "OnBeforeAdd")
            ->SetMethod(source, MethodOf(&first.Form, "RefusePoints"));
        EXPECT_EQ(source->AddXY(3, 50), -1);
        TFormWithChart next;
        Load(next.Chart, Save(first.Chart, text));
        TChartSeries* back = next.Series("Source");
        ASSERT_TRUE(back && back->OnBeforeAdd);
        ASSERT_EQ(back->Count(), 2);
        EXPECT_EQ(back->YValues()->Value(1), 30);
        // What is added afterwards still passes the handler.
        EXPECT_EQ(back->AddXY(3, 50), -1);
        EXPECT_EQ(back->Count(), 2);
    }
}

} // namespace
