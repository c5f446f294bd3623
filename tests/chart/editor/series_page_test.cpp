// The series page driven as the user would: each control writes its series
// property, the chart draws differently and a chart file keeps the value;
// text that is no number changes nothing; custom axes, random samples and the
// colour swatch.
#include "chart/control/series.h"
#include "chart/control/teestore.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teecontrols.h"
#include "chart/engine/teemarks.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "support/forms_testing.h"
#include <gtest/gtest.h>

namespace {

// The user steps to item I of a drop-down list with the arrow keys.
void Pick(TComboBox* Combo, const AnsiString& Item) {
    const int i = Combo->Items()->IndexOf(Item);
    ASSERT_GE(i, 0) << Item.c_str();
    Combo->SetItemIndex(i > 0 ? i - 1 : 1);
    SimulateKey(Combo, i > 0 ? VK_DOWN : VK_UP);
    ASSERT_EQ(Combo->ItemIndex(), i);
}
void Retype(TWinControl* Edit, const AnsiString& Text) {
    Edit->SetText("");
    SimulateType(Edit, Text);
}

class SeriesPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBevelOuter(bvNone);
        Chart->SetBounds(0, 0, 300, 200);
        Chart->SetView3D(false);
        Line = new TLineSeries(Chart.get());
        Line->SetName("Series1");
        Line->SetParentChart(Chart.get());
        for (int i = 0; i <= 10; ++i)
            Line->AddXY(i, (i * 37) % 100);
        Page = std::make_unique<TFormTeeSeries>(nullptr);
        Page->CBSeries->Items()->AddObject("Series1", Line);
        Page->Show();
        Page->SetTheSeries(Line);
        Page->SetCBSeries();
    }
    void Open(TTabSheet* Tab) { Page->PageSeries->SelectPageByUser(Tab); }
    std::vector<TColor> Pixels() {
        TBitmap b(300, 200);
        Chart->Draw(b.Canvas(), TRect(0, 0, 300, 200));
        std::vector<TColor> v;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                v.push_back(b.Canvas()->Pixels(x, y));
        return v;
    }
    TChartSeries* RoundTrip() {
        TMemoryStream m;
        SaveChartToStream(Chart.get(), &m);
        Loaded = std::make_unique<TChart>();
        TCustomChart* target = Loaded.get();
        m.SetPosition(0);
        LoadChartFromStream(target, &m);
        return Loaded->SeriesCount() > 0 ? Loaded->Series(0) : nullptr;
    }

    std::unique_ptr<TChart> Chart;
    std::unique_ptr<TChart> Loaded;
    TLineSeries* Line = nullptr;
    std::unique_ptr<TFormTeeSeries> Page;
};

struct TControlCase {
    const char* Name;
    std::function<void(TFormTeeSeries*, TChart*)> Prepare; // may be empty
    std::function<void(TFormTeeSeries*)> Act;
    std::function<bool(TChartSeries*)> Holds;
};

class SeriesPageControlTest : public SeriesPageTest,
                              public ::testing::WithParamInterface<TControlCase> {};

TEST_P(SeriesPageControlTest, WritesTheSeriesRepaintsAndSurvivesAChartFile) {
    const TControlCase& c = GetParam();
    if (c.Prepare) c.Prepare(Page.get(), Chart.get());
    const std::vector<TColor> before = Pixels();
    c.Act(Page.get());
    EXPECT_TRUE(c.Holds(Line)) << "property not written";
    EXPECT_NE(Pixels(), before) << "chart drew the same";
    TChartSeries* loaded = RoundTrip();
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(c.Holds(loaded)) << "lost in the chart file";
}

const TControlCase ControlCases[] = {
    {"ShowInLegend",
     [](TFormTeeSeries*, TChart* C) {
         C->Legend()->SetVisible(true);
         (new TBarSeries(C))->SetParentChart(C);
     },
     [](TFormTeeSeries* P) {
         P->PageSeries->SelectPageByUser(P->TabGeneral);
         SimulateClick(P->CBShowInLegend);
     },
     [](TChartSeries* S) { return !S->ShowInLegend(); }},
    {"Depth", [](TFormTeeSeries*, TChart* C) { C->SetView3D(true); },
     [](TFormTeeSeries* P) {
         P->PageSeries->SelectPageByUser(P->TabGeneral);
         Retype(P->EDepth, "40");
     },
     [](TChartSeries* S) { return S->Depth() == 40; }},
    {"RightAxis", nullptr,
     [](TFormTeeSeries* P) {
         P->PageSeries->SelectPageByUser(P->TabGeneral);
         Pick(P->CBVertAxis, "Right");
     },
     [](TChartSeries* S) { return S->VertAxis() == aRightAxis; }},
    {"MarksVisible", nullptr,
     [](TFormTeeSeries* P) {
         P->PageSeries->SelectPageByUser(P->TabMarks);
         SimulateClick(P->CBMarksVisible);
     },
     [](TChartSeries* S) { return S->Marks()->Visible(); }},
    {"MarksStyleXY", [](TFormTeeSeries*, TChart*) {},
     [](TFormTeeSeries* P) {
         P->PageSeries->SelectPageByUser(P->TabMarks);
         SimulateClick(P->CBMarksVisible);
         SimulateClick(P->RGMarkStyle->Buttons(smsXY));
     },
     [](TChartSeries* S) { return S->Marks()->Style() == smsXY && S->Marks()->Visible(); }},
    {"DrawEvery", [](TFormTeeSeries*, TChart*) {},
     [](TFormTeeSeries* P) {
         P->PageSeries->SelectPageByUser(P->TabMarks);
         SimulateClick(P->CBMarksVisible);
         Retype(P->EMarksEvery, "3");
     },
     [](TChartSeries* S) { return S->Marks()->DrawEvery() == 3; }},
    {"ArrowLength", nullptr,
     [](TFormTeeSeries* P) {
         P->PageSeries->SelectPageByUser(P->TabMarks);
         SimulateClick(P->CBMarksVisible);
         P->PageControlMarks->SelectPageByUser(P->TabSheet2);
         Retype(P->SEArrowLength, "30");
     },
     [](TChartSeries* S) { return S->Marks()->ArrowLength() == 30; }},
    {"SortDescending", nullptr,
     [](TFormTeeSeries* P) {
         P->PageSeries->SelectPageByUser(P->TabGeneral);
         Pick(P->CBSort, "Descending");
     },
     [](TChartSeries* S) {
         return S->XValues()->Order() == loDescending && S->XValues()->Value(0) == 10;
     }},
};

INSTANTIATE_TEST_SUITE_P(Controls, SeriesPageControlTest, ::testing::ValuesIn(ControlCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(SeriesPageTest, NumberEditsIgnoreLettersAndKeepToTheirRange) {
    Open(Page->TabGeneral);
    Line->SetDepth(25);
    Retype(Page->EDepth, "abc");
    EXPECT_EQ(Line->Depth(), 25);
    Retype(Page->EDepth, "5000");
    EXPECT_EQ(Line->Depth(), 1200);
    SimulateClick(Page->CBDepth);
    EXPECT_EQ(Line->Depth(), -1);
    Open(Page->TabMarks);
    Retype(Page->EMarksEvery, "0");
    EXPECT_EQ(Line->Marks()->DrawEvery(), 1);
    Retype(Page->SEMarksAngle, "");
    EXPECT_EQ(Line->Marks()->Angle(), 0);
}

TEST_F(SeriesPageTest, CustomAxesAreListedPerOrientationAndChosenByRow) {
    for (bool horizontal : {false, true, false}) {
        auto* a = static_cast<TChartAxis*>(Chart->CustomAxes()->Add());
        a->SetHorizontal(horizontal);
    }
    Open(Page->TabMarks);
    Open(Page->TabGeneral);
    std::vector<AnsiString> vertical;
    for (int i = 0; i < Page->CBVertAxis->Items()->Count(); ++i)
        vertical.push_back(Page->CBVertAxis->Items()->Strings(i));
    EXPECT_EQ(vertical,
              (std::vector<AnsiString>{"Left", "Right", "Left and Right", "Custom 0", "Custom 2"}));
    EXPECT_EQ(Page->CBHorizAxis->Items()->Count(), 4);
    Pick(Page->CBVertAxis, "Custom 2");
    EXPECT_EQ(Line->VertAxis(), aCustomVertAxis);
    EXPECT_EQ(Line->CustomVertAxis(), Chart->CustomAxes()->Get(2));
    // An axis freed while its row shows is not given to the series: the row
    // leaves and the list shows the axis the series keeps.
    TChartAxis* kept = Chart->CustomAxes()->Get(2);
    delete Chart->CustomAxes()->Get(0);
    Pick(Page->CBVertAxis, "Custom 0");
    EXPECT_EQ(Line->CustomVertAxis(), kept);
    EXPECT_EQ(Page->CBVertAxis->Items()->Count(), 4);
    EXPECT_EQ(Page->CBVertAxis->Items()->IndexOfObject(kept), Page->CBVertAxis->ItemIndex());
}

TEST_F(SeriesPageTest, MultiLineIsOfferedOnlyForTwoPartStyles) {
    Open(Page->TabMarks);
    const bool expected[] = {false, false, false, true, true, false, true, true, false, true};
    for (int style = 0; style < 10; ++style) {
        SimulateClick(Page->RGMarkStyle->Buttons(style));
        EXPECT_EQ(Page->CBMultiLine->Enabled(), expected[style]) << style;
    }
}

TEST_F(SeriesPageTest, AllSeriesVisibleSwitchesEveryMarks) {
    auto* bar = new TBarSeries(Chart.get());
    bar->SetParentChart(Chart.get());
    bar->Marks()->SetVisible(false);
    Open(Page->TabMarks);
    EXPECT_FALSE(Page->CBAllVisible->Checked());
    SimulateClick(Page->CBAllVisible);
    EXPECT_TRUE(Line->Marks()->Visible());
    EXPECT_TRUE(bar->Marks()->Visible());
    EXPECT_TRUE(Page->CBMarksVisible->Checked());
}

// A depth below the up-down's range: showing it must not write the bound back.
TEST_F(SeriesPageTest, ShowingEveryTabWritesNothing) {
    Line->SetDepth(-7);
    for (TTabSheet* t : {Page->TabGeneral, Page->TabMarks, Page->TabDataSource, Page->TabGeneral})
        Open(t);
    EXPECT_EQ(Line->Depth(), -7);
}

TEST_F(SeriesPageTest, RandomSamplesFillTheStoredCount) {
    Open(Page->TabDataSource);
    Pick(Page->CBDataSourcestyle, "Random");
    ASSERT_TRUE(Page->Panel4->Visible());
    EXPECT_FALSE(Page->BApplyRandom->Enabled());
    Retype(Page->ESamples, "-3");
    EXPECT_FALSE(Page->BApplyRandom->Enabled());
    Retype(Page->ESamples, "7");
    EXPECT_FALSE(Page->CBSamplesDefault->Checked());
    SimulateClick(Page->BApplyRandom);
    EXPECT_EQ(Line->Count(), 7);
    EXPECT_EQ(Line->SampleCount(), 7);
    SimulateClick(Page->CBSamplesDefault);
    EXPECT_EQ(Page->ESamples->Text(), AnsiString(Line->NumSampleValues()));
}

TEST_F(SeriesPageTest, SwatchOpensTheColourDialogAndCancelKeepsTheColour) {
    auto* bar = new TBarSeries(Chart.get());
    bar->SetName("Series2");
    bar->SetParentChart(Chart.get());
    bar->SetSeriesColor(clRed);
    Page->CBSeries->Items()->AddObject("Series2", bar);
    Pick(Page->CBSeries, "Series2");
    ASSERT_EQ(Page->TheSeries(), bar);
    TStrictResponder responder;
    responder.ExpectCancel(TDialogKind::ColorDialog).ExpectColor(clLime);
    SimulateClick(Page->PaintBox1);
    EXPECT_EQ(bar->SeriesColor(), clRed);
    SimulateClick(Page->PaintBox1);
    EXPECT_EQ(bar->SeriesColor(), clLime);
    EXPECT_TRUE(responder.Done());
    TBitmap face(Page->PaintBox1->Width(), Page->PaintBox1->Height());
    GrabControl(Page->PaintBox1, &face);
    int lime = 0;
    for (int y = 0; y < face.Height(); ++y)
        for (int x = 0; x < face.Width(); ++x)
            lime += face.Canvas()->Pixels(x, y) == clLime;
    EXPECT_GT(lime, 40) << "the swatch shows the legend symbol in the new colour";
}

} // namespace

namespace {
// Two registered source classes, one available for no chart, and the form that
// edits the first.
class TPageTestSource : public TTeeSeriesSource {
    QM_CLASS(TPageTestSource)
public:
    explicit TPageTestSource(TComponent* AOwner) : TTeeSeriesSource(AOwner) {}
    void Load() override {}
    static AnsiString Description() { return "Test points"; }
    static bool HasNew() { return true; }
};
class TPageNowhereSource : public TPageTestSource {
    QM_CLASS(TPageNowhereSource)
public:
    explicit TPageNowhereSource(TComponent* AOwner) : TPageTestSource(AOwner) {}
    static bool Available(TCustomAxisPanel*) { return false; }
    static AnsiString Description() { return "Nowhere"; }
};
class TPageTestSourceEditor : public TForm {
    QM_CLASS(TPageTestSourceEditor)
public:
    explicit TPageTestSourceEditor(TComponent* AOwner) : TForm(AOwner) {}
};
} // namespace
QM_CLASS_OWNED(TPageTestSource, TTeeSeriesSource, TComponent)
QM_CLASS_OWNED(TPageNowhereSource, TPageTestSource, TComponent)
QM_CLASS_OWNED(TPageTestSourceEditor, TForm, TComponent)

// Rows from the fourth on are the registered source classes available for the
// series' chart; choosing one embeds its editor form and, as it keeps items of
// its own, shows the New, Edit and Delete buttons.
TEST_F(SeriesPageTest, DataSourceListOffersTheRegisteredSourceClasses) {
    RegisterClass(&TPageTestSourceEditor::ClassInfo);
    RegisterTeeSource<TPageTestSource>("TPageTestSourceEditor");
    RegisterTeeSource<TPageNowhereSource>("TPageTestSourceEditor");
    struct Unregister {
        ~Unregister() {
            std::erase_if(TeeSources(), [](const TTeeSourceClass& C) {
                return C.Class == &TPageTestSource::ClassInfo ||
                       C.Class == &TPageNowhereSource::ClassInfo;
            });
        }
    } unregister;
    auto* other = new TLineSeries(Chart.get());
    other->SetName("Series2");
    other->SetParentChart(Chart.get());
    Page->CBSeries->Items()->AddObject("Series2", other);
    Page->CBSeries->SetItemIndex(1);
    Page->CBSeriesChange(Page->CBSeries);
    Open(Page->TabDataSource);
    TStrings* rows = Page->CBDataSourcestyle->Items();
    ASSERT_EQ(rows->Count(), 4);
    EXPECT_EQ(rows->Strings(3), "Test points");
    for (TButton* b : {Page->NewDataButton, Page->EditDataButton, Page->DeleteDataButton})
        EXPECT_FALSE(b->Visible());

    Pick(Page->CBDataSourcestyle, "Test points");
    ASSERT_NE(Page->DataSourceForm(), nullptr);
    EXPECT_EQ(Page->DataSourceForm()->ClassName(), "TPageTestSourceEditor");
    for (TButton* b : {Page->NewDataButton, Page->EditDataButton, Page->DeleteDataButton})
        EXPECT_TRUE(b->Visible()) << b->Caption().c_str();
    EXPECT_EQ(Page->NewDataButton->Caption(), "&New...");

    Pick(Page->CBDataSourcestyle, "Manual");
    for (TButton* b : {Page->NewDataButton, Page->EditDataButton, Page->DeleteDataButton})
        EXPECT_FALSE(b->Visible());

    // A series fed by such a source shows its row when the page comes to it.
    auto* source = new TPageTestSource(Chart.get());
    Line->SetDataSource(source);
    Page->CBSeries->SetItemIndex(0);
    Page->CBSeriesChange(Page->CBSeries);
    Open(Page->TabDataSource);
    EXPECT_EQ(Page->CBDataSourcestyle->ItemIndex(), 3);
}
