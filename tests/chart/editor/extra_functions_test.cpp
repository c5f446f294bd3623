// The option panels of the further functions, opened from the series page's
// data source tab by the class name each function asks for: a control changed
// and the tab left (answering to apply) writes the function and the chart follows.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/editor/teeedifunc.h"
#include "chart/editor/teeediseri.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teefuncedit_extra.h"
#include "chart/series/candlech.h"
#include "chart/series/curvfitt.h"
#include "chart/series/statchar.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teevolumefunctions.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/graphics.h"
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

enum class TDo { Click, Position, Text, Item };

struct TFuncRow {
    const char* Function;
    const char* Editor;
    bool OnVolumes;
    const char* Control;
    TDo Action;
    int Value;
    const char* Text;
    std::function<double(TTeeFunction*)> Probe;
    double Expected; // NaN: differs from before
    bool CandleOut = false;
};

void PrintTo(const TFuncRow& R, std::ostream* Os) {
    *Os << R.Function << " " << R.Control;
}

template <typename T> std::function<double(TTeeFunction*)> Of(double (*Get)(T*)) {
    return [Get](TTeeFunction* F) { return Get(dynamic_cast<T*>(F)); };
}

class FunctionPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        TeeExtraSeriesStartup();
        Chart = std::make_unique<TChart>();
        Chart->SetBevelOuter(bvNone);
        Chart->SetBounds(0, 0, 400, 300);
        Chart->SetView3D(false);
        Prices = new TCandleSeries(Chart.get());
        Prices->SetName("Prices");
        Prices->SetParentChart(Chart.get());
        Volumes = new TVolumeSeries(Chart.get());
        Volumes->SetName("Volumes");
        Volumes->SetParentChart(Chart.get());
        // Weekly points over most of a year, prices wandering, volumes varying.
        for (int i = 0; i < 40; ++i) {
            const double c = 100 + 20 * std::sin(i * 0.4) + i;
            Prices->AddOHLC(40000 + 7 * i, c - 3 + (i % 3), c + 6, c - 7, c);
            Volumes->AddXY(40000 + 7 * i, 1000 + 300 * ((i * 7) % 5));
        }
        Responder.OnFailure = [](const AnsiString& m) { ADD_FAILURE() << m.c_str(); };
    }
    TTeeFunction* AddOutput(const char* FunctionClass, TChartSeries* Source,
                            bool CandleOut = false) {
        TClass cls = GetClass(FunctionClass);
        EXPECT_NE(cls, nullptr) << FunctionClass;
        if (!cls) return nullptr;
        Out = CandleOut ? static_cast<TChartSeries*>(new TCandleSeries(Chart.get()))
                        : new TLineSeries(Chart.get());
        Out->SetName("Output");
        Out->SetParentChart(Chart.get());
        // An axis of its own, so the output's changes show at any scale.
        Out->SetVertAxis(aRightAxis);
        auto* f = dynamic_cast<TTeeFunction*>(cls->Factory(Chart.get()));
        Out->SetFunction(f);
        f->SetPeriod(5);
        Out->SetDataSource(Source);
        return f;
    }
    // The series page on the output series, its data source tab open.
    TCustomForm* OpenPanel() {
        Page = std::make_unique<TFormTeeSeries>(nullptr);
        Page->SetBounds(0, 0, 460, 340);
        for (int i = 0; i < Chart->SeriesCount(); ++i)
            Page->CBSeries->Items()->AddObject(Chart->Series(i)->Name(), Chart->Series(i));
        Page->Show();
        Page->SetTheSeries(Out);
        Page->SetCBSeries();
        Page->PageSeries->SelectPageByUser(Page->TabDataSource);
        Func = dynamic_cast<TTeeFuncEditor*>(Page->DataSourceForm());
        return Func ? Func->OptionsForm() : nullptr;
    }
    // Leaving the tab with changes asks to apply them first.
    void LeaveTab() {
        if (Func->BApply->Enabled()) Responder.ExpectMessage("Apply Changes ?", IDYES);
        Page->PageSeries->SelectPageByUser(Page->TabGeneral);
    }
    std::vector<TColor> Pixels() {
        TBitmap b(400, 300);
        Chart->Draw(b.Canvas(), TRect(0, 0, 400, 300));
        std::vector<TColor> v;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                v.push_back(b.Canvas()->Pixels(x, y));
        return v;
    }
    static void Perform(TCustomForm* Form, TDo Action, const char* Name, int Value,
                        const char* Text);

    TDialogResponder Responder;
    std::unique_ptr<TChart> Chart;
    TCandleSeries* Prices = nullptr;
    TVolumeSeries* Volumes = nullptr;
    TChartSeries* Out = nullptr;
    std::unique_ptr<TFormTeeSeries> Page;
    TTeeFuncEditor* Func = nullptr;
};

void FunctionPanelTest::Perform(TCustomForm* Form, TDo Action, const char* Name, int Value,
                                const char* Text) {
    TComponent* c = Form->FindComponent(Name);
    ASSERT_NE(c, nullptr) << Name;
    switch (Action) {
    case TDo::Click: {
        auto* box = dynamic_cast<TCheckBox*>(c);
        ASSERT_NE(box, nullptr);
        SimulateClick(box, 6, box->Height() / 2);
        break;
    }
    case TDo::Position:
        dynamic_cast<TUpDown*>(c)->SetPosition(Value);
        break;
    case TDo::Text: {
        auto* e = dynamic_cast<TEdit*>(c);
        e->SetText("");
        SimulateType(e, Text);
        break;
    }
    case TDo::Item: {
        auto* combo = dynamic_cast<TComboBox*>(c);
        combo->SetItemIndex(Value > 0 ? Value - 1 : 1);
        SimulateKey(combo, Value > 0 ? VK_DOWN : VK_UP);
        ASSERT_EQ(combo->ItemIndex(), Value);
        break;
    }
    }
}

class FunctionPanelTable : public FunctionPanelTest,
                           public ::testing::WithParamInterface<TFuncRow> {};

TEST_P(FunctionPanelTable, ControlAppliedOnLeavingTheTabWritesTheFunction) {
    const TFuncRow& r = GetParam();
    TTeeFunction* f = AddOutput(r.Function,
                                r.OnVolumes ? static_cast<TChartSeries*>(Volumes)
                                            : static_cast<TChartSeries*>(Prices),
                                r.CandleOut);
    ASSERT_NE(f, nullptr);
    TCustomForm* panel = OpenPanel();
    ASSERT_NE(panel, nullptr) << "no panel for " << r.Function;
    EXPECT_STREQ(panel->ClassType()->Name, r.Editor);
    const double was = r.Probe(f);
    const auto before = Pixels();
    Perform(panel, r.Action, r.Control, r.Value, r.Text);
    // Nothing is written before the panel is applied.
    EXPECT_EQ(r.Probe(f), was);
    LeaveTab();
    if (std::isnan(r.Expected))
        EXPECT_NE(r.Probe(f), was);
    else
        EXPECT_DOUBLE_EQ(r.Probe(f), r.Expected);
    EXPECT_NE(Pixels(), before) << "the chart did not change";
}

const double Toggled = std::nan("");

// clang-format off
const TFuncRow FunctionRows[] = {
    {"TMovingAverageFunction", "TMovAveFuncEditor", false, "CBStyle", TDo::Item, 1, "", Of<TMovingAverageFunction>([](TMovingAverageFunction* F) { return double(F->Weighted()); }), 1},
    {"TExpAverageFunction", "TExpAveFuncEditor", false, "Edit1", TDo::Text, 0, "0.7", Of<TExpAverageFunction>([](TExpAverageFunction* F) { return F->Weight(); }), 0.7},
    {"TRMSFunction", "TRMSFuncEditor", false, "CBComplete", TDo::Click, 0, "", Of<TStdDeviationFunction>([](TStdDeviationFunction* F) { return double(F->Complete()); }), Toggled},
    {"TStdDeviationFunction", "TRMSFuncEditor", false, "CBComplete", TDo::Click, 0, "", Of<TStdDeviationFunction>([](TStdDeviationFunction* F) { return double(F->Complete()); }), Toggled},
    {"TBollingerFunction", "TBollingerFuncEditor", false, "Edit1", TDo::Text, 0, "1", Of<TBollingerFunction>([](TBollingerFunction* F) { return F->Deviation(); }), 1},
    {"TMACDFunction", "TMACDFuncEditor", false, "UpDown1", TDo::Position, 3, "", Of<TMACDFunction>([](TMACDFunction* F) { return F->Period(); }), 3},
    {"TSmoothingFunction", "TSmoothFuncEditor", false, "CBInterp", TDo::Click, 0, "", Of<TSmoothingFunction>([](TSmoothingFunction* F) { return double(F->Interpolate()); }), Toggled},
    {"TPVOFunction", "TPVOFuncEditor", true, "UDPeriod2", TDo::Position, 9, "", Of<TPVOFunction>([](TPVOFunction* F) { return double(F->Period2()); }), 9},
    {"TCCIFunction", "TCCIFuncEditor", false, "EConst", TDo::Text, 0, "0.03", Of<TCCIFunction>([](TCCIFunction* F) { return F->Constant(); }), 0.03},
    {"TOBVFunction", "TOBVFuncEditor", false, "CBVolume", TDo::Item, 2, "", Of<TOBVFunction>([](TOBVFunction* F) { return double(F->Volume() != nullptr); }), 1},
    {"TCLVFunction", "TCLVFuncEditor", false, "CBAccumulate", TDo::Click, 0, "", Of<TCLVFunction>([](TCLVFunction* F) { return double(F->Accumulate()); }), Toggled},
    {"TCompressFunction", "TCompressFuncEditor", false, "CBPeriod", TDo::Item, 2, "", Of<TCompressFunction>([](TCompressFunction* F) { return double(F->Compress()); }), ocMonth, true},
    {"TADXFunction", "TADXFuncEditor", false, "UDPeriod", TDo::Position, 9, "", Of<TADXFunction>([](TADXFunction* F) { return F->Period(); }), 9},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Functions, FunctionPanelTable, ::testing::ValuesIn(FunctionRows),
                         [](const auto& I) { return std::string(I.param.Function); });

TEST_F(FunctionPanelTest, RefusedWeightIsShownAndTheFunctionStillRecalculates) {
    auto* f = dynamic_cast<TExpAverageFunction*>(AddOutput("TExpAverageFunction", Prices));
    ASSERT_NE(f, nullptr);
    const double weight = f->Weight();
    TCustomForm* panel = OpenPanel();
    ASSERT_NE(panel, nullptr);
    auto* edit = dynamic_cast<TEdit*>(panel->FindComponent("Edit1"));
    edit->SetText("");
    SimulateType(edit, "5");
    const auto before = Pixels();
    Responder.ExpectMessage("Apply Changes ?", IDYES).ExpectMessage("between 0 and 1", mrOk);
    Page->PageSeries->SelectPageByUser(Page->TabGeneral);
    EXPECT_TRUE(Responder.Done());
    EXPECT_EQ(f->Weight(), weight);
    EXPECT_EQ(Pixels(), before);
    // The tab stays, the change still waiting to be applied.
    EXPECT_EQ(Page->PageSeries->ActivePage(), Page->TabDataSource);
    EXPECT_TRUE(Func->BApply->Enabled());
    // The refused apply left the function recalculating as before.
    edit->SetText("");
    SimulateType(edit, "0.9");
    LeaveTab();
    EXPECT_EQ(f->Weight(), 0.9);
    EXPECT_NE(Pixels(), before);
}

TEST_F(FunctionPanelTest, VolumeListOffersTheOtherSeriesAndNone) {
    auto* f = dynamic_cast<TOBVFunction*>(AddOutput("TOBVFunction", Prices));
    f->SetVolume(Volumes);
    TCustomForm* panel = OpenPanel();
    auto* combo = dynamic_cast<TComboBox*>(panel->FindComponent("CBVolume"));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->Items()->Count(), 3);
    EXPECT_EQ(combo->Items()->Strings(0), "(none)");
    EXPECT_EQ(combo->Items()->IndexOf("Output"), -1);
    EXPECT_EQ(combo->Text(), "Volumes");
    Perform(panel, TDo::Item, "CBVolume", 0, "");
    LeaveTab();
    EXPECT_EQ(f->Volume(), nullptr);
}

TEST_F(FunctionPanelTest, CompressionByDatesDropsThePointCount) {
    auto* f = dynamic_cast<TCompressFunction*>(AddOutput("TCompressFunction", Prices, true));
    TCustomForm* panel = OpenPanel();
    auto* byPoints = dynamic_cast<TRadioButton*>(panel->FindComponent("RadioButton2"));
    auto* byDates = dynamic_cast<TRadioButton*>(panel->FindComponent("RadioButton1"));
    ASSERT_TRUE(byPoints->Checked());
    EXPECT_EQ(Out->Count(), 8);
    SimulateClick(byDates, 6, 8);
    LeaveTab();
    EXPECT_EQ(f->Period(), 0);
    EXPECT_EQ(f->Compress(), ocWeek);
    EXPECT_EQ(Out->Count(), 40);
}

TEST_F(FunctionPanelTest, AdxPanelGivesASeriesWithoutFunctionOne) {
    Out = new TLineSeries(Chart.get());
    Out->SetParentChart(Chart.get());
    Out->SetDataSource(Prices);
    TForm host(nullptr);
    host.Show();
    std::unique_ptr<TCustomForm> panel(TeeCreateFormByClass(GetClass("TADXFuncEditor"), nullptr));
    ASSERT_NE(panel, nullptr);
    AddFormTo(panel.get(), &host, Out);
    auto* period = dynamic_cast<TUpDown*>(panel->FindComponent("UDPeriod"));
    period->SetPosition(7);
    EXPECT_TRUE(panel->CloseQuery());
    auto* adx = dynamic_cast<TADXFunction*>(Out->FunctionType());
    ASSERT_NE(adx, nullptr);
    EXPECT_EQ(adx->Period(), 7);
    EXPECT_GT(Out->Count(), 0);
}

} // namespace
