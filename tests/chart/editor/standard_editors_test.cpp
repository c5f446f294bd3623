// The editors of the standard series, each opened by the series page from
// the class name its series asks for: one control changed writes its
// property and the chart draws differently. Then the further tabs they add.
#include "chart/control/series.h"
#include "chart/control/series_arrow.h"
#include "chart/control/series_bubble.h"
#include "chart/control/series_gantt.h"
#include "chart/control/series_shape.h"
#include "chart/editor/teecustedit.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teepieedit.h"
#include "chart/engine/teepointer.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/graphics/jpeg.h"
#include "support/forms_testing.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

struct EditorCase {
    const char* Name;
    std::function<TChartSeries*(TComponent*)> Make;
    const char* EditorClass;
    const char* Control;
    // "click", "pick:<item>" or "type:<text>"
    const char* Action;
    std::function<bool(TChartSeries*)> Changed;
};

template <typename T> T* As(TChartSeries* S) {
    return dynamic_cast<T*>(S);
}

const EditorCase Cases[] = {
    {"Line", [](TComponent* O) { return new TLineSeries(O); }, "TCustomSeriesEditor", "CBStairs",
     "click", [](TChartSeries* s) { return As<TLineSeries>(s)->Stairs(); }},
    {"Point", [](TComponent* O) { return new TPointSeries(O); }, "TSeriesPointerEditor", "CBStyle",
     "pick:Triangle",
     [](TChartSeries* s) { return As<TPointSeries>(s)->Pointer()->Style() == psTriangle; }},
    {"Area", [](TComponent* O) { return new TAreaSeries(O); }, "TAreaSeriesEditor", "CBStairs",
     "click", [](TChartSeries* s) { return As<TAreaSeries>(s)->Stairs(); }},
    {"FastLine", [](TComponent* O) { return new TFastLineSeries(O); }, "TFastLineSeriesEditor",
     "SEWidth", "type:4", [](TChartSeries* s) { return s->Pen()->Width() == 4; }},
    {"Bar", [](TComponent* O) { return new TBarSeries(O); }, "TBarSeriesEditor", "CBBarStyle",
     "pick:Pyramid", [](TChartSeries* s) { return As<TBarSeries>(s)->BarStyle() == bsPyramid; }},
    {"Pie", [](TComponent* O) { return new TPieSeries(O); }, "TPieSeriesEditor", "EAngleSize",
     "type:180", [](TChartSeries* s) { return As<TPieSeries>(s)->AngleSize() == 180; }},
    {"Arrow", [](TComponent* O) { return new TArrowSeries(O); }, "TArrowSeriesEditor",
     "EArrowWidth", "type:14",
     [](TChartSeries* s) { return As<TArrowSeries>(s)->ArrowWidth() == 14; }},
    {"Gantt", [](TComponent* O) { return new TGanttSeries(O); }, "TGanttSeriesEditor",
     "SEPointVertSize", "type:9",
     [](TChartSeries* s) { return As<TGanttSeries>(s)->Pointer()->VertSize() == 9; }},
    {"Bubble", [](TComponent* O) { return new TBubbleSeries(O); }, "TBubbleSeriesEditor", "ETransp",
     "type:60", [](TChartSeries* s) { return As<TBubbleSeries>(s)->Transparency() == 60; }},
    {"Shape", [](TComponent* O) { return new TChartShape(O); }, "TChartShapeEditor", "CBStyle",
     "pick:Rectangle",
     [](TChartSeries* s) { return As<TChartShape>(s)->Style() == chasRectangle; }},
};

class StandardEditorTest : public ::testing::TestWithParam<EditorCase> {
protected:
    void SetUp() override {
        TeeEditorStartup();
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBevelOuter(bvNone);
        Chart->SetBounds(0, 0, 300, 200);
        Chart->SetView3D(false);
    }
    TChartSeries* AddSeries(TChartSeries* S, const char* Name) {
        S->SetName(Name);
        S->SetParentChart(Chart.get());
        S->FillSampleValues(S->NumSampleValues());
        return S;
    }
    void OpenPage(TChartSeries* S) {
        Page = std::make_unique<TFormTeeSeries>(nullptr);
        Page->SetBounds(0, 0, 420, 300);
        for (int i = 0; i < Chart->SeriesCount(); ++i)
            Page->CBSeries->Items()->AddObject(Chart->Series(i)->Name(), Chart->Series(i));
        Page->Show();
        Page->SetTheSeries(S);
        Page->SetCBSeries();
    }
    // Set QM_SHOTS to a folder to look at the page.
    void Shot(const std::string& Name) {
        const char* dir = std::getenv("QM_SHOTS");
        if (!dir || !Page) return;
        TPngImage png;
        GrabControl(Page.get(), png.Bitmap());
        png.SaveToFile(AnsiString(dir) + "/" + Name.c_str() + ".png");
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
    static void Act(TComponent* Control, const AnsiString& Action) {
        if (Action == "click") {
            SimulateClick(dynamic_cast<TControl*>(Control));
        } else if (Action.Pos("pick:") == 1) {
            auto* combo = dynamic_cast<TComboBox*>(Control);
            ASSERT_NE(combo, nullptr);
            const int i = combo->Items()->IndexOf(Action.SubString(6, Action.Length()));
            ASSERT_GE(i, 0);
            combo->SetItemIndex(i > 0 ? i - 1 : 1);
            SimulateKey(combo, i > 0 ? VK_DOWN : VK_UP);
            ASSERT_EQ(combo->ItemIndex(), i);
        } else {
            auto* edit = dynamic_cast<TWinControl*>(Control);
            ASSERT_NE(edit, nullptr);
            edit->SetText("");
            SimulateType(edit, Action.SubString(6, Action.Length()));
        }
    }
    TStrictResponder Responder;
    std::unique_ptr<TChart> Chart;
    std::unique_ptr<TFormTeeSeries> Page;
};

TEST_P(StandardEditorTest, OpenedByClassNameWritesItsPropertyAndRepaints) {
    const EditorCase& c = GetParam();
    TChartSeries* s = AddSeries(c.Make(Chart.get()), "Series1");
    OpenPage(s);
    TCustomForm* editor = Page->SeriesForm();
    ASSERT_NE(editor, nullptr);
    EXPECT_STREQ(editor->ClassType()->Name, c.EditorClass);
    EXPECT_EQ(Page->PageSeries->ActivePage(), Page->TheTabSheet);
    EXPECT_TRUE(Page->TheTabSheet->TabVisible());
    TComponent* control = editor->FindComponent(c.Control);
    ASSERT_NE(control, nullptr) << c.Control;
    ASSERT_FALSE(c.Changed(s));
    Shot(std::string("editor_") + c.Name);
    const auto before = Pixels();
    Act(control, c.Action);
    EXPECT_TRUE(c.Changed(s));
    EXPECT_NE(Pixels(), before);
}

INSTANTIATE_TEST_SUITE_P(Series, StandardEditorTest, ::testing::ValuesIn(Cases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

class EditorTabsTest : public StandardEditorTest {};

// The tabs an editor adds leave with it, and the open tab is kept by caption
// when the next series offers it too.
TEST_F(EditorTabsTest, AddedTabsGoWithTheSeriesAndTheOpenOneIsKept) {
    TChartSeries* line1 = AddSeries(new TLineSeries(Chart.get()), "Series1");
    TChartSeries* bar = AddSeries(new TBarSeries(Chart.get()), "Series2");
    TChartSeries* line2 = AddSeries(new TLineSeries(Chart.get()), "Series3");
    OpenPage(line1);
    auto captions = [this] {
        std::vector<std::string> v;
        for (int i = 0; i < Page->PageSeries->PageCount(); ++i)
            v.push_back(Page->PageSeries->Pages(i)->Caption().c_str());
        return v;
    };
    const std::vector<std::string> lineTabs = captions();
    EXPECT_EQ(std::count(lineTabs.begin(), lineTabs.end(), "Point"), 1);
    TTabSheet* point = nullptr;
    for (int i = 0; i < Page->PageSeries->PageCount(); ++i)
        if (Page->PageSeries->Pages(i)->Caption() == "Point") point = Page->PageSeries->Pages(i);
    ASSERT_NE(point, nullptr);
    Page->PageSeries->SelectPageByUser(point);

    Page->CBSeries->SetItemIndex(Page->CBSeries->Items()->IndexOfObject(line2));
    Page->CBSeriesChange(Page->CBSeries);
    EXPECT_EQ(captions(), lineTabs);
    ASSERT_NE(Page->PageSeries->ActivePage(), nullptr);
    EXPECT_EQ(Page->PageSeries->ActivePage()->Caption(), "Point");

    Page->CBSeries->SetItemIndex(Page->CBSeries->Items()->IndexOfObject(bar));
    Page->CBSeriesChange(Page->CBSeries);
    const std::vector<std::string> barTabs = captions();
    EXPECT_EQ(std::count(barTabs.begin(), barTabs.end(), "Point"), 0);
    EXPECT_EQ(Page->PageSeries->ActivePage(), Page->TheTabSheet);

    Page->CBSeries->SetItemIndex(Page->CBSeries->Items()->IndexOfObject(line1));
    Page->CBSeriesChange(Page->CBSeries);
    EXPECT_EQ(captions(), lineTabs);
}

TEST_F(EditorTabsTest, PieGroupingEnablesItsFieldsAndCircledTabHidesTheBackground) {
    TChartSeries* pie = AddSeries(new TPieSeries(Chart.get()), "Series1");
    OpenPage(pie);
    auto* editor = dynamic_cast<TPieSeriesEditor*>(Page->SeriesForm());
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->EOtherValue->Enabled());
    EXPECT_FALSE(editor->EOtherLabel->Enabled());
    Act(editor->CBOther, "pick:Below %");
    EXPECT_EQ(As<TPieSeries>(pie)->OtherSlice()->Style(), poBelowPercent);
    EXPECT_TRUE(editor->EOtherValue->Enabled());
    Act(editor->EOtherValue, "type:12.5");
    EXPECT_EQ(As<TPieSeries>(pie)->OtherSlice()->Value(), 12.5);
    // Text that is no number keeps the grouping value.
    Act(editor->EOtherValue, "type:x1");
    EXPECT_EQ(As<TPieSeries>(pie)->OtherSlice()->Value(), 12.5);
    Act(editor->CBOther, "pick:None");
    EXPECT_FALSE(editor->EOtherLabel->Enabled());
    // The "Circled" tab without background, transparency and gradient.
    TCircledSeriesEditor* circled = editor->CircledForm();
    ASSERT_NE(circled, nullptr);
    EXPECT_FALSE(circled->BBack->Visible());
    EXPECT_FALSE(circled->CBTransp->Visible());
    EXPECT_TRUE(circled->CBAutoXR->Checked());
}

TEST_F(EditorTabsTest, AreaOriginAndColourEachEnableTheirControls) {
    TChartSeries* area = AddSeries(new TAreaSeries(Chart.get()), "Series1");
    OpenPage(area);
    auto* editor = dynamic_cast<TAreaSeriesEditor*>(Page->SeriesForm());
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor->GradientForm(), nullptr);
    EXPECT_FALSE(editor->EOrigin->Enabled());
    SimulateClick(editor->CBUseOrigin);
    EXPECT_TRUE(As<TAreaSeries>(area)->UseYOrigin());
    EXPECT_TRUE(editor->EOrigin->Enabled());
    Act(editor->EOrigin, "type:40000");
    EXPECT_EQ(As<TAreaSeries>(area)->YOrigin(), 30000);
    SimulateClick(editor->CBColorEach);
    EXPECT_TRUE(area->ColorEachPoint());
    EXPECT_FALSE(editor->BAreaColor->Enabled());
}

} // namespace
