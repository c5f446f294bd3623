// The function page of the series page's data-source tab: a function added
// through the gallery gets its source and options there; "Copy" and "Manual"
// remove the function; unapplied changes ask before the tab is left; a series
// is never its own source, directly or through others.
#include "chart/control/series.h"
#include "chart/control/teefunci.h"
#include "chart/editor/teeaxisincr.h"
#include "chart/editor/teeediperi.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeedifunc.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teegallerypanel.h"
#include "chart/editor/teegally.h"
#include "chart/engine/teecontrols.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/graphics/jpeg.h"
#include "support/forms_testing.h"
#include <gtest/gtest.h>
#include <cstdlib>

namespace {

void Pick(TComboBox* Combo, const AnsiString& Item) {
    const int i = Combo->Items()->IndexOf(Item);
    ASSERT_GE(i, 0) << Item.c_str();
    Combo->SetItemIndex(i > 0 ? i - 1 : 1);
    SimulateKey(Combo, i > 0 ? VK_DOWN : VK_UP);
    ASSERT_EQ(Combo->ItemIndex(), i);
}

class FunctionPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBevelOuter(bvNone);
        Chart->SetBounds(0, 0, 300, 200);
        Chart->SetView3D(false);
        Source = new TLineSeries(Chart.get());
        Source->SetName("Series1");
        Source->SetParentChart(Chart.get());
        for (int i = 0; i < 6; ++i)
            Source->AddXY(i, i * 10);
    }
    // Opens the series page on S at its data-source tab.
    TTeeFuncEditor* OpenFunctionPage(TChartSeries* S) {
        Page = std::make_unique<TFormTeeSeries>(nullptr);
        Page->SetBounds(0, 0, 420, 320);
        for (int i = 0; i < Chart->SeriesCount(); ++i)
            Page->CBSeries->Items()->AddObject(Chart->Series(i)->Name(), Chart->Series(i));
        Page->Show();
        Page->SetTheSeries(S);
        Page->SetCBSeries();
        Page->PageSeries->SelectPageByUser(Page->TabDataSource);
        if (Page->CBDataSourcestyle->ItemIndex() != 2) Pick(Page->CBDataSourcestyle, "Function");
        return dynamic_cast<TTeeFuncEditor*>(Page->DataSourceForm());
    }
    static void MoveToSelected(TTeeFuncEditor* F, TChartSeries* S) {
        TListBox* from = F->Picker()->FromList;
        const int i = from->Items()->IndexOfObject(S);
        ASSERT_GE(i, 0);
        from->SetSelected(i, true);
        SimulateClick(F->Picker()->BRightOne);
    }
    // Set QM_SHOTS to a folder to look at the page.
    void Shot(const char* Name) {
        const char* dir = std::getenv("QM_SHOTS");
        if (!dir || !Page) return;
        TPngImage png;
        GrabControl(Page.get(), png.Bitmap());
        png.SaveToFile(AnsiString(dir) + "/" + Name + ".png");
    }
    std::vector<TColor> Pixels() {
        TBitmap b(300, 200);
        Chart->Draw(b.Canvas(), TRect(0, 0, 300, 200));
        std::vector<TColor> v;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                v.push_back(b.Canvas()->Pixels(x, y));
        return v;
    }
    TStrictResponder Responder;
    std::unique_ptr<TChart> Chart;
    TLineSeries* Source = nullptr;
    std::unique_ptr<TFormTeeSeries> Page;
};

TEST_F(FunctionPageTest, FunctionFromTheGalleryTakesItsSourceAndPeriodOnTheDataSourceTab) {
    TPumpScript script;
    script.When([] { return dynamic_cast<TTeeGallery*>(Screen->ActiveForm()); }).Do([] {
        auto* g = dynamic_cast<TTeeGallery*>(Screen->ActiveForm());
        g->TabTypes->SelectTabByUser(g->TabTypes->Tabs()->IndexOf("Functions"));
        for (TGalleryChart* c : g->ChartGalleryPanel1->Charts())
            if (c->SeriesCount() > 0 &&
                dynamic_cast<TAverageTeeFunction*>(c->Series(c->SeriesCount() - 1)->FunctionType()))
                g->ChartGalleryPanel1->SelectChart(c);
        SimulateClick(g->BOk);
    });
    int sub = 0;
    TChartSeries* avg = CreateNewSeriesGallery(nullptr, nullptr, Chart.get(), true, false, sub);
    ASSERT_TRUE(script.Done());
    ASSERT_NE(avg, nullptr);
    ASSERT_NE(dynamic_cast<TAverageTeeFunction*>(avg->FunctionType()), nullptr);

    TTeeFuncEditor* f = OpenFunctionPage(avg);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->CBSources->Text(), "Average");
    EXPECT_TRUE(f->TabOptions->TabVisible());
    auto* options = dynamic_cast<TAverageFuncEditor*>(f->OptionsForm());
    ASSERT_NE(options, nullptr);
    // The series itself is never offered as its own source.
    EXPECT_LT(f->Picker()->FromList->Items()->IndexOfObject(avg), 0);
    MoveToSelected(f, Source);
    Shot("function_source");
    EXPECT_TRUE(f->BApply->Enabled());
    Pick(options->CBStyle, "Every number of points");
    options->ENum->SetText("3");
    f->PageControl1->SelectPageByUser(f->TabOptions);
    Shot("function_options");
    const auto before = Pixels();
    SimulateClick(f->BApply);
    EXPECT_FALSE(f->BApply->Enabled());
    ASSERT_EQ(avg->DataSources().size(), 1u);
    EXPECT_EQ(avg->DataSource(), Source);
    EXPECT_EQ(avg->FunctionType()->Period(), 3);
    // Averages of 0,10,20 and 30,40,50.
    ASSERT_EQ(avg->Count(), 2);
    EXPECT_EQ(avg->YValues()->Value(0), 10);
    EXPECT_EQ(avg->YValues()->Value(1), 40);
    EXPECT_NE(Pixels(), before);
    // The options page, docked on a tab not shown, hands its changes to Apply.
    SimulateClick(options->CBNulls);
    EXPECT_TRUE(f->BApply->Enabled());
    SimulateClick(options->CBNulls);

    // A negative period is refused and changes nothing.
    options->ENum->SetText("-2");
    Responder.ExpectMessage("Function Period should be >= 0", IDOK);
    SimulateClick(f->BApply);
    EXPECT_TRUE(Responder.Done());
    EXPECT_EQ(avg->FunctionType()->Period(), 3);
    EXPECT_EQ(avg->FunctionType()->PeriodStyle(), psNumPoints);
}

TEST_F(FunctionPageTest, CopyRemovesTheFunctionAndManualBindsTheSeriesData) {
    auto* copy = new TLineSeries(Chart.get());
    copy->SetName("Series2");
    copy->SetParentChart(Chart.get());
    auto* high = new THighTeeFunction(Chart.get());
    copy->SetFunction(high);
    copy->SetDataSource(Source);
    TTeeFuncEditor* f = OpenFunctionPage(copy);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->CBSources->Text(), "High");
    EXPECT_TRUE(f->TabOptions->TabVisible());
    Pick(f->CBSources, "Copy");
    EXPECT_EQ(copy->FunctionType(), nullptr);
    EXPECT_FALSE(f->TabOptions->TabVisible());

    copy->SetFunction(new TLowTeeFunction(Chart.get()));
    Responder.ExpectMessage("Apply Changes ?", IDNO);
    Pick(Page->CBDataSourcestyle, "Manual");
    EXPECT_TRUE(Responder.Done());
    EXPECT_EQ(copy->FunctionType(), nullptr);
    EXPECT_EQ(copy->DataSource(), nullptr);
    EXPECT_TRUE(copy->HasDataStored());
}

TEST_F(FunctionPageTest, UnappliedChangesAskBeforeTheTabIsLeft) {
    auto* sum = new TLineSeries(Chart.get());
    sum->SetName("Series2");
    sum->SetParentChart(Chart.get());
    sum->SetFunction(new TAddTeeFunction(Chart.get()));
    TTeeFuncEditor* f = OpenFunctionPage(sum);
    ASSERT_NE(f, nullptr);
    MoveToSelected(f, Source);
    ASSERT_TRUE(f->BApply->Enabled());
    Responder.ExpectMessage("Apply Changes ?", IDCANCEL);
    Page->PageSeries->SelectPageByUser(Page->TabGeneral);
    EXPECT_EQ(Page->PageSeries->ActivePage(), Page->TabDataSource);
    EXPECT_EQ(sum->DataSource(), nullptr);
    Responder.ExpectMessage("Apply Changes ?", IDYES);
    Page->PageSeries->SelectPageByUser(Page->TabGeneral);
    EXPECT_TRUE(Responder.Done());
    EXPECT_EQ(Page->PageSeries->ActivePage(), Page->TabGeneral);
    EXPECT_EQ(sum->DataSource(), Source);
    EXPECT_NE(sum->FunctionType(), nullptr);
    EXPECT_GT(sum->Count(), 0);
}

TEST_F(FunctionPageTest, ACycleOfSourcesIsRefusedAndTheSourcesStay) {
    auto* avg = new TLineSeries(Chart.get());
    avg->SetName("Series2");
    avg->SetParentChart(Chart.get());
    avg->SetFunction(new TAverageTeeFunction(Chart.get()));
    avg->SetDataSource(Source);
    TTeeFuncEditor* f = OpenFunctionPage(Source);
    ASSERT_NE(f, nullptr);
    Pick(f->CBSources, "Add");
    MoveToSelected(f, avg);
    Responder.ExpectMessage("Circular Series dependences are not allowed", IDOK);
    SimulateClick(f->BApply);
    EXPECT_TRUE(Responder.Done());
    EXPECT_TRUE(Source->DataSources().empty());
    EXPECT_TRUE(avg->LinkedSeries().empty());
    EXPECT_EQ(Source->Count(), 6);
    EXPECT_EQ(avg->DataSource(), Source);
}

TEST_F(FunctionPageTest, CustomFunctionNeedsNoSourceAndKeepsItsPointCountBounded) {
    auto* custom = new TLineSeries(Chart.get());
    custom->SetName("Series2");
    custom->SetParentChart(Chart.get());
    custom->SetFunction(new TLowTeeFunction(Chart.get()));
    TTeeFuncEditor* f = OpenFunctionPage(custom);
    ASSERT_NE(f, nullptr);
    Pick(f->CBSources, "y = f(x)");
    ASSERT_NE(dynamic_cast<TCustomTeeFunction*>(custom->FunctionType()), nullptr);
    EXPECT_FALSE(f->TabSource->TabVisible());
    EXPECT_EQ(f->PageControl1->ActivePage(), f->TabOptions);
    auto* options = dynamic_cast<TCustomFunctionEditor*>(f->OptionsForm());
    ASSERT_NE(options, nullptr);
    static_cast<TCustomTeeFunction*>(custom->FunctionType())->OnCalculate =
        [](TCustomTeeFunction*, double X, double& Y) { Y = X * X; };
    options->EStart->SetText("2");
    options->EStep->SetText("0.5");
    options->ENum->SetText("7");
    SimulateClick(f->BApply);
    auto* fn = static_cast<TCustomTeeFunction*>(custom->FunctionType());
    EXPECT_EQ(fn->StartX(), 2);
    EXPECT_EQ(fn->Period(), 0.5);
    EXPECT_EQ(fn->NumPoints(), 7);
    ASSERT_EQ(custom->Count(), 7);
    EXPECT_EQ(custom->XValues()->Value(6), 5);
    EXPECT_FALSE(f->BApply->Enabled());
    options->EStep->SetText("0.25");
    EXPECT_TRUE(f->BApply->Enabled());
    // A slip of the keyboard cannot ask for a billion points.
    options->ENum->SetText("1000000000");
    options->EStep->SetText("step");
    SimulateClick(f->BApply);
    EXPECT_EQ(fn->NumPoints(), 7);
    EXPECT_EQ(fn->Period(), 0.5);
}

TEST_F(FunctionPageTest, ASeriesRemovedFromTheChartLeavesThePickerLists) {
    auto* sum = new TLineSeries(Chart.get());
    sum->SetName("Series2");
    sum->SetParentChart(Chart.get());
    sum->SetFunction(new TAddTeeFunction(Chart.get()));
    auto* other = new TLineSeries(Chart.get());
    other->SetName("Series3");
    other->SetParentChart(Chart.get());
    TTeeFuncEditor* f = OpenFunctionPage(sum);
    ASSERT_NE(f, nullptr);
    TStrings* from = f->Picker()->FromList->Items();
    TStrings* to = f->Picker()->ToList->Items();
    MoveToSelected(f, Source);
    ASSERT_GE(from->IndexOfObject(other), 0);
    delete other;
    // The lists are filled again from the series' sources, without the one leaving.
    EXPECT_LT(from->IndexOfObject(other), 0);
    EXPECT_EQ(from->Count(), 1);
    EXPECT_EQ(to->Count(), 0);
    MoveToSelected(f, Source);
    delete Source;
    Source = nullptr;
    EXPECT_EQ(to->Count(), 0);
    EXPECT_EQ(from->Count(), 0);
    SimulateClick(f->BApply);
    EXPECT_EQ(sum->DataSource(), nullptr);
}

TEST_F(FunctionPageTest, RangePeriodIsChosenInTheIncrementDialog) {
    auto* avg = new TLineSeries(Chart.get());
    avg->SetName("Series2");
    avg->SetParentChart(Chart.get());
    avg->SetFunction(new TAverageTeeFunction(Chart.get()));
    avg->SetDataSource(Source);
    TTeeFuncEditor* f = OpenFunctionPage(avg);
    ASSERT_NE(f, nullptr);
    auto* options = dynamic_cast<TTeeFunctionEditor*>(f->OptionsForm());
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(options->ENum->Enabled());
    EXPECT_FALSE(options->BChange->Enabled());
    Pick(options->CBStyle, "Every range");
    EXPECT_TRUE(options->ENum->Enabled());
    ASSERT_TRUE(options->BChange->Enabled());
    AnsiString caption;
    TPumpScript script;
    script.When([] { return dynamic_cast<TAxisIncrement*>(Screen->ActiveForm()); }).Do([&] {
        auto* d = dynamic_cast<TAxisIncrement*>(Screen->ActiveForm());
        caption = d->Caption();
        d->ECustom->SetText("2.5");
        SimulateClick(d->BOk);
    });
    SimulateClick(options->BChange);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(caption, "Period range");
    EXPECT_EQ(options->ENum->Text(), "2.5");
    SimulateClick(f->BApply);
    EXPECT_EQ(avg->FunctionType()->PeriodStyle(), psRange);
    EXPECT_EQ(avg->FunctionType()->Period(), 2.5);
    // Averages of x in [0, 2.5) and [2.5, 5): 0,10,20 then 30,40 then 50.
    EXPECT_EQ(avg->Count(), 3);
}

} // namespace
