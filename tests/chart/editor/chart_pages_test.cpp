// The chart sub-pages (titles, legend, panel, walls, 3D, paging) driven inside
// the editor opened from the commander: each control writes its property, the
// chart repaints and a chart file keeps the change. Then the pages' own rules:
// the title or wall clicked opens its page, equal text is not rewritten, the
// enabling of dependent controls, rotation bar positions.
#include "chart/control/chart.h"
#include "chart/control/chartparts.h"
#include "chart/control/series.h"
#include "chart/control/teecommander.h"
#include "chart/control/teeedit.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teelegend.h"
#include "chart/control/teestore.h"
#include "chart/control/tool_bands.h"
#include "chart/control/tool_series.h"
#include "chart/control/tooledit.h"
#include "chart/editor/editchar.h"
#include "chart/editor/teeedi3d.h"
#include "chart/editor/teeediaxis.h"
#include "chart/editor/teeedigene.h"
#include "chart/editor/teeedilege.h"
#include "chart/editor/teeedipane.h"
#include "chart/editor/teeedititl.h"
#include "chart/editor/teeediwall.h"
#include "chart/editor/teeedittools.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teeshapeedit.h"
#include "chart/engine/teetools.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/graphics/jpeg.h"
#include "support/forms_testing.h"
#include "page_walk.h"
#include "support/recording_printer.h"
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

template <class T> T* OpenForm() {
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (auto* f = dynamic_cast<T*>(Screen->Forms(i)); f && f->Visible()) return f;
    return nullptr;
}

void Retype(TWinControl* Edit, const AnsiString& Text) {
    Edit->SetText("");
    SimulateType(Edit, Text);
}

void Choose(TComboBox* Combo, const AnsiString& Item) {
    const int i = Combo->Items()->IndexOf(Item);
    ASSERT_GE(i, 0) << Item.c_str();
    Combo->SetItemIndex(i > 0 ? i - 1 : 1);
    SimulateKey(Combo, i > 0 ? VK_DOWN : VK_UP);
    ASSERT_EQ(Combo->ItemIndex(), i);
}

void Shot(TControl* Control, const char* Name) {
    const char* dir = std::getenv("QM_SHOTS");
    if (!dir) return;
    TPngImage png;
    GrabControl(Control, png.Bitmap());
    png.SaveToFile(AnsiString(dir) + "/" + Name + ".png");
}

class ChartPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBounds(0, 0, 400, 300);
        Chart->Title()->SetCaption("Decay");
        auto* line = new TLineSeries(Chart.get());
        line->SetName("Series1");
        line->SetParentChart(Chart.get());
        auto* bar = new TBarSeries(Chart.get());
        bar->SetName("Series2");
        bar->SetParentChart(Chart.get());
        for (int i = 0; i < 8; ++i) {
            line->AddXY(i, (i * 37) % 100);
            bar->AddXY(i, (i * 53) % 100);
        }
    }
    std::vector<TColor> Pixels() {
        Chart->Draw();
        std::vector<TColor> v;
        TCanvas* c = Chart->ControlCanvas();
        for (int y = 0; y < Chart->Height(); ++y)
            for (int x = 0; x < Chart->Width(); ++x)
                v.push_back(c->Pixels(x, y));
        return v;
    }
    std::unique_ptr<TChart> RoundTrip() {
        TMemoryStream m;
        SaveChartToStream(Chart.get(), &m);
        auto fresh = std::make_unique<TChart>();
        TCustomChart* target = fresh.get();
        m.SetPosition(0);
        LoadChartFromStream(target, &m);
        return fresh;
    }
    // Opens the editor with the commander's Edit button, runs Steps on it, closes it.
    void RunFromCommander(const std::function<void(TChartEditForm*)>& Steps) {
        TTeeCommander commander(nullptr);
        commander.SetPanel(Chart.get());
        TPumpScript script;
        script.When([] { return OpenForm<TChartEditForm>() != nullptr; }).Do([&] {
            TChartEditForm* f = OpenForm<TChartEditForm>();
            Steps(f);
            SimulateClick(f->BClose);
        });
        SimulateClick(commander.ButtonEdit());
        EXPECT_TRUE(script.Done());
    }
    // Runs an entry routine; Steps see the editor once it shows.
    void RunEditor(const std::function<void()>& Open,
                   const std::function<void(TChartEditForm*)>& Steps) {
        TPumpScript script;
        script.When([] { return OpenForm<TChartEditForm>() != nullptr; }).Do([&] {
            TChartEditForm* f = OpenForm<TChartEditForm>();
            Steps(f);
            SimulateClick(f->BClose);
        });
        Open();
        EXPECT_TRUE(script.Done());
    }
    TStrictResponder Responder;
    std::unique_ptr<TChart> Chart;
};

// ---------------------------------------------------------------------------
// One control of each page, through the editor window.

struct PageCase {
    const char* Name;
    TTabSheet* TChartEditForm::*Tab;
    std::function<void(TCustomForm* Page)> Change;
    std::function<bool(TCustomChart* Chart)> Holds;
};

void PrintTo(const PageCase& C, std::ostream* Os) {
    *Os << C.Name;
}

template <class T> T* As(TCustomForm* F) {
    auto* p = dynamic_cast<T*>(F);
    EXPECT_NE(p, nullptr);
    return p;
}

const PageCase PageCases[] = {
    {"TitleText", &TChartEditForm::TabTitle,
     [](TCustomForm* F) {
         auto* p = As<TFormTeeTitle>(F);
         Choose(p->CBTitles, "Foot");
         Retype(p->MText, "Plate 7");
     },
     [](TCustomChart* C) {
         return C->Foot()->Caption() == "Plate 7" && C->Title()->Caption() == "Decay";
     }},
    {"TitleFrameRound", &TChartEditForm::TabTitle,
     [](TCustomForm* F) {
         auto* p = As<TFormTeeTitle>(F);
         p->ShapePage()->CBTransparent->SetChecked(false);
         p->PageControl1->SelectPageByUser(p->ShapePage()->TabFormat);
         Choose(p->ShapePage()->CBBevel, "Raised");
     },
     [](TCustomChart* C) { return C->Title()->Bevel() == bvRaised; }},
    {"LegendPosition", &TChartEditForm::TabLegend,
     [](TCustomForm* F) {
         auto* p = As<TFormTeeLegend>(F);
         p->PageControl1->SelectPageByUser(p->TabPosition);
         SimulateClick(p->RGPosition->Buttons(3));
     },
     [](TCustomChart* C) { return C->Legend()->Alignment() == laBottom; }},
    {"LegendShapeColor", &TChartEditForm::TabLegend,
     [](TCustomForm* F) {
         auto* p = As<TFormTeeLegend>(F);
         p->PageControl1->SelectPageByUser(p->ShapePage()->TabFormat);
         SimulateClick(p->ShapePage()->CBRound);
     },
     [](TCustomChart* C) { return C->Legend()->ShapeStyle() == fosRoundRectangle; }},
    {"PanelBevel", &TChartEditForm::TabPanel,
     [](TCustomForm* F) {
         auto* p = As<TFormTeePanel>(F);
         p->PageControl1->SelectPageByUser(p->TabBorders);
         Choose(p->CBOuter, "Lowered");
         Retype(p->SEPanelWi, "4");
     },
     [](TCustomChart* C) { return C->BevelOuter() == bvLowered && C->BevelWidth() == 4; }},
    {"WallOfAnotherTab", &TChartEditForm::TabWalls,
     [](TCustomForm* F) {
         auto* p = As<TFormTeeWall>(F);
         EXPECT_EQ(p->TabSubWalls->TabIndex(), 0);
         p->TabSubWalls->SelectTabByUser(2);
         Retype(p->SEWallSize, "9");
     },
     [](TCustomChart* C) { return C->BottomWall()->Size() == 9 && C->LeftWall()->Size() == 0; }},
    {"View3D", &TChartEditForm::Tab3D,
     [](TCustomForm* F) { SimulateClick(As<TFormTee3D>(F)->CBView3d); },
     [](TCustomChart* C) { return !C->View3D(); }},
    {"PageNumber", &TChartEditForm::TabPaging,
     [](TCustomForm* F) {
         auto* p = As<TFormTeePage>(F);
         EXPECT_TRUE(p->CBPageNum->Visible());
         SimulateClick(p->CBPageNum);
     },
     [](TCustomChart* C) {
         return C->Tools()->Count() == 1 &&
                C->Tools()->Get(0)->ClassType() == &TPageNumTool::ClassInfo &&
                C->Tools()->Get(0)->Active();
     }},
};

class ChartPageControlTest : public ChartPagesTest,
                             public ::testing::WithParamInterface<PageCase> {};

TEST_P(ChartPageControlTest, WritesThePropertyRepaintsAndSurvivesTheChartFile) {
    const PageCase& c = GetParam();
    const auto before = Pixels();
    ASSERT_FALSE(c.Holds(Chart.get()));
    RunFromCommander([&](TChartEditForm* f) {
        TTabSheet* tab = f->*c.Tab;
        ASSERT_TRUE(f->SubPage->SelectPageByUser(tab));
        TCustomForm* page = f->PageForm(tab);
        ASSERT_NE(page, nullptr);
        c.Change(page);
        Shot(f, (AnsiString("page_") + c.Name).c_str());
    });
    EXPECT_TRUE(c.Holds(Chart.get()));
    EXPECT_NE(Pixels(), before);
    EXPECT_TRUE(c.Holds(RoundTrip().get()));
}

INSTANTIATE_TEST_SUITE_P(Pages, ChartPageControlTest, ::testing::ValuesIn(PageCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// ---------------------------------------------------------------------------
// The pages' own rules.

TEST_F(ChartPagesTest, ClickedTitleOrWallOpensItsPageOnIt) {
    Chart->Foot()->SetCaption("Operator");
    Chart->Draw();
    const TRect r = Chart->Foot()->ShapeBounds();
    TChartClickedPart part;
    Chart->CalcClickedPart(TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), part);
    ASSERT_EQ(part.Part, cpFoot);
    AnsiString shown;
    RunEditor([&] { EditChartPart(nullptr, Chart.get(), part); },
              [&](TChartEditForm* f) {
                  EXPECT_EQ(f->SubPage->ActivePage(), f->TabTitle);
                  auto* page = dynamic_cast<TFormTeeTitle*>(f->PageForm(f->TabTitle));
                  ASSERT_NE(page, nullptr);
                  shown = page->CBTitles->Text();
                  EXPECT_EQ(page->MText->Lines()->Strings(0), "Operator");
              });
    EXPECT_EQ(shown, "Foot");

    int wallTab = -1;
    RunEditor([&] { EditChartWall(nullptr, Chart->BottomWall()); },
              [&](TChartEditForm* f) {
                  auto* page = dynamic_cast<TFormTeeWall*>(f->PageForm(f->TabWalls));
                  ASSERT_NE(page, nullptr);
                  wallTab = page->TabSubWalls->TabIndex();
                  EXPECT_EQ(page->Wall(), Chart->BottomWall());
              });
    EXPECT_EQ(wallTab, 2);
}

TEST_F(ChartPagesTest, EditorPanelTurnsItsOpenPagesToThePartClicked) {
    TChartEditorPanel panel(nullptr);
    panel.SetChart(Chart.get());
    auto* editor = dynamic_cast<TChartEditForm*>(panel.Editor());
    ASSERT_NE(editor, nullptr);
    TChartClickedPart part;
    part.Part = cpTitle;
    TeeEditorHooks().ShowPanelPart(editor, part);
    part.Part = cpFoot;
    TeeEditorHooks().ShowPanelPart(editor, part);
    auto* page = dynamic_cast<TFormTeeTitle*>(editor->PageForm(editor->TabTitle));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->CBTitles->Text(), "Foot");
    EXPECT_EQ(page->Title(), Chart->Foot());
    part.Part = cpAxis;
    part.AAxis = Chart->LeftAxis();
    TeeEditorHooks().ShowPanelPart(editor, part);
    part.AAxis = Chart->BottomAxis();
    TeeEditorHooks().ShowPanelPart(editor, part);
    auto* axis = dynamic_cast<TFormTeeAxis*>(editor->PageForm(editor->TabAxis));
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->TheAxis(), Chart->BottomAxis());
    part.Part = cpLegend;
    TeeEditorHooks().ShowPanelPart(editor, part);
    EXPECT_EQ(editor->SubPage->ActivePage(), editor->TabLegend);
}

// Given another chart, the editor panel edits that chart on every page it
// opened before, the one showing at once and the others when turned to; the
// tools page's Delete takes the new chart's tool.
TEST_F(ChartPagesTest, EditorPanelGivenAnotherChartEditsItOnEveryPage) {
    auto* kept = new TRotateTool(Chart.get());
    kept->SetParentChart(Chart.get());
    TChart other;
    other.SetName("Chart2");
    auto* tool = new TRotateTool(&other);
    tool->SetParentChart(&other);
    TChartEditorPanel panel(nullptr);
    panel.SetChart(Chart.get());
    auto* editor = dynamic_cast<TChartEditForm*>(panel.Editor());
    ASSERT_NE(editor, nullptr);
    OpenEveryTab(editor);
    editor->MainPage->SelectPageByUser(editor->TabChart);
    editor->SubPage->SelectPageByUser(editor->TabLegend);
    panel.SetChart(&other);

    const auto page = [editor](TTabSheet* Tab) {
        if (Tab->PageControl() == editor->SubPage)
            editor->MainPage->SelectPageByUser(editor->TabChart);
        Tab->PageControl()->SelectPageByUser(Tab);
        return editor->PageForm(Tab);
    };
    auto* legend = dynamic_cast<TFormTeeLegend*>(editor->PageForm(editor->TabLegend));
    ASSERT_NE(legend, nullptr);
    EXPECT_EQ(legend->Legend(), other.Legend());
    auto* title = dynamic_cast<TFormTeeTitle*>(page(editor->TabTitle));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->Title(), other.Title());
    auto* wall = dynamic_cast<TFormTeeWall*>(page(editor->TabWalls));
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(wall->Wall(), other.LeftWall());
    auto* axis = dynamic_cast<TFormTeeAxis*>(page(editor->TabAxis));
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->TheAxis(), other.LeftAxis());
    for (TTabSheet* t : {editor->TabGeneral, editor->TabPanel, editor->TabPaging, editor->Tab3D})
        EXPECT_EQ(page(t)->Subject(), &other) << t->Caption().c_str();
    for (TTabSheet* t : {editor->TabData, editor->TabExport, editor->TabPrint})
        EXPECT_EQ(page(t)->Subject(), &other) << t->Caption().c_str();

    auto* tools = dynamic_cast<TFormTeeTools*>(page(editor->TabTools));
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->Chart(), &other);
    ASSERT_EQ(tools->LBTools->Items()->Count(), 1);
    tools->LBTools->SetItemIndex(0);
    tools->LBToolsClick(tools->LBTools);
    TDialogResponder responder;
    responder.ExpectMessage("Delete", mrYes);
    SimulateClick(tools->BDelete);
    EXPECT_TRUE(responder.Done());
    EXPECT_EQ(other.Tools()->Count(), 0);
    ASSERT_EQ(Chart->Tools()->Count(), 1);
    EXPECT_EQ(Chart->Tools()->Get(0), kept);
}

TEST_F(ChartPagesTest, EqualMemoLinesLeaveTheTitleTextAlone) {
    TFormTeeTitle page(nullptr, Chart.get(), Chart->Title());
    page.Show();
    auto* text = dynamic_cast<TStringList*>(Chart->Title()->Text());
    ASSERT_NE(text, nullptr);
    int writes = 0;
    TNotifyEvent repaint = text->OnChange;
    text->OnChange = [&](TObject* s) {
        ++writes;
        if (repaint) repaint(s);
    };
    page.MText->SetText("Decay");
    EXPECT_EQ(writes, 0);
    page.MText->SetSelStart(5);
    SimulateType(page.MText, "s");
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(Chart->Title()->Caption(), "Decays");
}

TEST_F(ChartPagesTest, DependentControlsFollowTheirSwitch) {
    TFormTeeLegend legend(nullptr, Chart->Legend());
    legend.Show();
    Shot(&legend, "legend_style");
    legend.PageControl1->SelectPageByUser(legend.TabSymbols);
    ASSERT_TRUE(legend.CBSymPen->Checked());
    EXPECT_FALSE(legend.BSymPen->Enabled());
    SimulateClick(legend.CBSymPen);
    EXPECT_FALSE(Chart->Legend()->Symbol()->DefaultPen());
    EXPECT_TRUE(legend.BSymPen->Enabled());
    SimulateClick(legend.CBSymPen);
    EXPECT_FALSE(legend.BSymPen->Enabled());
    SimulateClick(legend.CBSquared);
    EXPECT_FALSE(legend.SEColWi->Enabled());
    Shot(&legend, "legend_symbols");

    TFormTeePanel panel(nullptr, Chart.get());
    Chart->SetColor(clRed);
    panel.Show();
    EXPECT_FALSE(panel.CBColorDef->Checked());
    EXPECT_FALSE(panel.CBTransp->Enabled());
    EXPECT_EQ(panel.BBrowseImage->Caption(), "B&rowse...");
    SimulateClick(panel.CBColorDef);
    EXPECT_EQ(Chart->Color(), clBtnFace);
    SimulateClick(panel.CBColorDef);
    EXPECT_TRUE(panel.CBColorDef->Checked());
    EXPECT_EQ(Chart->Color(), clBtnFace);
    Shot(&panel, "panel_background");

    TFormTee3D view(nullptr, Chart.get());
    view.Show();
    SimulateClick(view.CBOrthogonal);
    Shot(&view, "view3d");
    EXPECT_TRUE(view.SBRotation->Enabled());
    EXPECT_FALSE(view.EOrthoAngle->Enabled());
    SimulateClick(view.CBView3d);
    for (TControl* c : std::initializer_list<TControl*>{view.SE3d, view.SBZoom, view.SBRotation,
                                                        view.CBOrthogonal, view.CBZoomText})
        EXPECT_FALSE(c->Enabled()) << c->Name().c_str();
}

TEST_F(ChartPagesTest, RotationBarOnACanvasWithoutFullRotation) {
    ASSERT_FALSE(Chart->Canvas()->SupportsFullRotation());
    Chart->View3DOptions()->SetOrthogonal(false);
    Chart->View3DOptions()->SetRotation(345);
    TFormTee3D view(nullptr, Chart.get());
    view.Show();
    EXPECT_EQ(view.SBRotation->Position(), 255);
    EXPECT_EQ(view.LRotation->Caption(), "255");
    view.SBRotation->SetPosition(360);
    EXPECT_EQ(Chart->View3DOptions()->Rotation(), 90);
    view.SBRotation->SetPosition(200);
    EXPECT_EQ(Chart->View3DOptions()->Rotation(), 290);
}

TEST_F(ChartPagesTest, PageNavigatorFollowsTheChartAndPrintsItsPages) {
    Chart->SetMaxPointsPerPage(3);
    ASSERT_EQ(Chart->NumPages(), 3);
    TChartPageNavigator nav(nullptr);
    nav.SetChart(Chart.get());
    Chart->SetPage(3);
    EXPECT_FALSE(nav.BNext->Enabled());
    EXPECT_TRUE(nav.BPrior->Enabled());
    TChartSeries* line = Chart->Series(0);
    line->BeginUpdate();
    for (int i = 8; i < 12; ++i)
        line->AddXY(i, i);
    line->EndUpdate();
    ASSERT_EQ(Chart->NumPages(), 4);
    EXPECT_TRUE(nav.BNext->Enabled());

    TRecordingPrinter printer;
    printer.Install();
    Responder.ExpectPrintPages(2, 3);
    nav.Print();
    EXPECT_TRUE(Responder.Done());
    EXPECT_EQ(printer.PageCount(), 2);
    EXPECT_EQ(Chart->Page(), 3);

    Chart->SetMaxPointsPerPage(0);
    TRecordingPrinter single;
    single.Install();
    nav.Print(); // one page: no dialog (the strict responder fails on any)
    EXPECT_EQ(single.PageCount(), 1);
}

} // namespace
