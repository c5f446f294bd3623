// The editors of the further series and functions, opened by the class name
// their series or function asks for from the series page: one control changed
// writes its property and the chart draws differently.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teebaredit.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teestatedit.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teecandledit.h"
#include "chart/editor/teeedilege.h"
#include "chart/editor/teegaugeedit.h"
#include "chart/editor/teegrid.h"
#include "chart/editor/teegrid3dedit.h"
#include "chart/editor/teemapedit.h"
#include "chart/editor/teepieedit.h"
#include "chart/editor/teepoiedi.h"
#include "chart/editor/teependlg.h"
#include "chart/editor/teepolaredit.h"
#include "chart/editor/teeshapeedit.h"
#include "chart/editor/teesurfaedit.h"
#include "chart/editor/teelisb.h"
#include "platform/forms/buttons.h"
#include "platform/rtl/rtlmath.h"
#include "chart/engine/teefunction.h"
#include "chart/series/candlech.h"
#include "chart/series/curvfitt.h"
#include "chart/series/errorbar.h"
#include "chart/series/histogram.h"
#include "chart/series/imagebar.h"
#include "chart/series/mypoint.h"
#include "chart/series/statchar.h"
#include "chart/series/teeboxplot.h"
#include "chart/series/teecalendar.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teefunnel.h"
#include "chart/series/teegauges.h"
#include "chart/series/teemapseries.h"
#include "chart/series/teepoin3.h"
#include "chart/series/teepointfigure.h"
#include "chart/series/teepolar.h"
#include "chart/series/teerose.h"
#include "chart/series/teesmith.h"
#include "chart/series/teesurfa.h"
#include "chart/series/teetrisurface.h"
#include "chart/series/teevolumefunctions.h"
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/jpeg.h"
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace {

enum class TDo { Click, Position, Text, Item, PenWidth, Browse };

struct TRow {
    const char* Series;
    const char* Editor;
    const char* Control;
    TDo Action;
    int Value;
    const char* Text;
    std::function<double(TChartSeries*)> Probe;
    double Expected;
};

template <typename T> std::function<double(TChartSeries*)> Of(double (*Get)(T*)) {
    return [Get](TChartSeries* S) { return Get(dynamic_cast<T*>(S)); };
}

void PrintTo(const TRow& R, std::ostream* Os) {
    *Os << R.Series << " " << R.Control;
}

class ExtraPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeEditorStartup();
        TeeExtraSeriesStartup();
        // Sample values are random: a fixed seed keeps each case's data, and so
        // whether a change shows, apart from the tests run before it.
        RandSeed = 0;
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBevelOuter(bvNone);
        Chart->SetBounds(0, 0, 400, 300);
        Responder.OnFailure = [](const AnsiString& m) { ADD_FAILURE() << m.c_str(); };
    }
    TChartSeries* AddSeries(const char* ClassName) {
        TClass cls = GetClass(ClassName);
        EXPECT_NE(cls, nullptr) << ClassName;
        if (!cls) return nullptr;
        auto* s = dynamic_cast<TChartSeries*>(cls->Factory(Chart.get()));
        s->SetName(AnsiString("Series") + IntToStr(Chart->SeriesCount() + 1));
        s->SetParentChart(Chart.get());
        return s;
    }
    void OpenPage(TChartSeries* S) {
        Page = std::make_unique<TFormTeeSeries>(nullptr);
        Page->SetBounds(0, 0, 460, 340);
        for (int i = 0; i < Chart->SeriesCount(); ++i)
            Page->CBSeries->Items()->AddObject(Chart->Series(i)->Name(), Chart->Series(i));
        Page->Show();
        Page->SetTheSeries(S);
        Page->SetCBSeries();
    }
    std::vector<TColor> Pixels() {
        TBitmap b(400, 300);
        Chart->Draw(b.Canvas(), TRect(0, 0, 400, 300));
        std::vector<TColor> v;
        for (int y = 0; y < 300; y += 1)
            for (int x = 0; x < 400; ++x)
                v.push_back(b.Canvas()->Pixels(x, y));
        return v;
    }
    // Set QM_SHOTS to a folder to look at the page.
    void Shot(const AnsiString& Name) {
        const char* dir = std::getenv("QM_SHOTS");
        if (!dir) return;
        TPngImage png;
        GrabControl(Page.get(), png.Bitmap());
        png.SaveToFile(AnsiString(dir) + "/" + Name + ".png");
    }
    void Perform(TCustomForm* Form, const TRow& R);
    // The editor form docked in the series page's tab of that caption.
    template <typename T> T* PageOf(const AnsiString& Caption) {
        for (int i = 0; i < Page->PageSeries->PageCount(); ++i) {
            TTabSheet* tab = Page->PageSeries->Pages(i);
            if (tab->Caption() != Caption) continue;
            for (int j = 0; j < tab->ControlCount(); ++j)
                if (auto* f = dynamic_cast<T*>(tab->Controls(j))) return f;
        }
        return nullptr;
    }
    template <typename T> T* Editor() { return dynamic_cast<T*>(Page->SeriesForm()); }

    TDialogResponder Responder;
    std::unique_ptr<TChart> Chart;
    std::unique_ptr<TFormTeeSeries> Page;
};

void ExtraPagesTest::Perform(TCustomForm* Form, const TRow& R) {
    TComponent* c = Form->FindComponent(R.Control);
    ASSERT_NE(c, nullptr) << R.Control;
    switch (R.Action) {
    case TDo::Click:
        // On the box itself, whatever the length of the caption.
        if (auto* box = dynamic_cast<TCheckBox*>(c))
            SimulateClick(box, 6, box->Height() / 2);
        else
            SimulateClick(dynamic_cast<TControl*>(c));
        break;
    case TDo::Position:
        dynamic_cast<TUpDown*>(c)->SetPosition(R.Value);
        break;
    case TDo::Text: {
        auto* e = dynamic_cast<TEdit*>(c);
        e->SetText("");
        SimulateType(e, R.Text);
        break;
    }
    case TDo::Item:
        if (auto* rg = dynamic_cast<TRadioGroup*>(c)) {
            SimulateClick(rg->Buttons(R.Value));
        } else {
            auto* combo = dynamic_cast<TComboBox*>(c);
            combo->SetItemIndex(R.Value > 0 ? R.Value - 1 : 1);
            SimulateKey(combo, R.Value > 0 ? VK_DOWN : VK_UP);
        }
        break;
    case TDo::PenWidth: {
        TPumpScript script;
        script.When([] { return dynamic_cast<TPenDialog*>(Screen->ActiveForm()) != nullptr; })
            .Do([v = R.Value] {
                auto* d = dynamic_cast<TPenDialog*>(Screen->ActiveForm());
                d->UDWidth->SetPosition(v);
                SimulateClick(d->BOk);
            });
        SimulateClick(dynamic_cast<TControl*>(c));
        EXPECT_TRUE(script.Done());
        break;
    }
    case TDo::Browse: {
        const std::string file =
            (std::filesystem::temp_directory_path() / "qm_extra_editor_image.bmp").string();
        TBitmap bmp(8, 8);
        bmp.Canvas()->Brush()->SetColor(clRed);
        bmp.Canvas()->FillRect(TRect(0, 0, 8, 8));
        bmp.SaveToFile(file.c_str());
        Responder.ExpectOpen(file.c_str());
        SimulateClick(dynamic_cast<TControl*>(c));
        std::filesystem::remove(file);
        break;
    }
    }
}

class ExtraEditorsTest : public ExtraPagesTest, public ::testing::WithParamInterface<TRow> {};

TEST_P(ExtraEditorsTest, OneControlWritesItsPropertyAndTheChartFollows) {
    const TRow& r = GetParam();
    TChartSeries* s = AddSeries(r.Series);
    ASSERT_NE(s, nullptr);
    s->FillSampleValues();
    OpenPage(s);
    TCustomForm* form = Page->SeriesForm();
    ASSERT_NE(form, nullptr) << "no editor for " << r.Series;
    EXPECT_STREQ(form->ClassType()->Name, r.Editor);
    Shot(r.Editor);
    const auto before = Pixels();
    Perform(form, r);
    EXPECT_DOUBLE_EQ(r.Probe(s), r.Expected);
    EXPECT_NE(Pixels(), before) << "the chart did not change";
    EXPECT_TRUE(Responder.Done());
}

double WireFrame(TSurfaceSeries* S) {
    return S->WireFrame();
}

// clang-format off
const TRow SeriesRows[] = {
    {"TSurfaceSeries", "TSurfaceSeriesEditor", "RadioGroup1", TDo::Item, 1, "", Of<TSurfaceSeries>(WireFrame), 1},
    {"TWaterFallSeries", "TWaterFallEditor", "RadioGroup1", TDo::Item, 1, "", Of<TSurfaceSeries>(WireFrame), 1},
    {"TContourSeries", "TContourSeriesEditor", "UDNum", TDo::Position, 3, "", Of<TContourSeries>([](TContourSeries* S) { return double(S->NumLevels()); }), 3},
    {"TColorGridSeries", "TColorGridEditor", "CBCentered", TDo::Click, 0, "", Of<TColorGridSeries>([](TColorGridSeries* S) { return double(S->CenteredPoints()); }), 1},
    {"TVector3DSeries", "TVectorSeriesEditor", "UDHeight", TDo::Position, 16, "", Of<TVector3DSeries>([](TVector3DSeries* S) { return double(S->ArrowHeight() * 1000 + S->ArrowWidth()); }), 16004},
    {"TTowerSeries", "TTowerSeriesEditor", "CBStyle", TDo::Item, 3, "", Of<TTowerSeries>([](TTowerSeries* S) { return double(S->TowerStyle()); }), tsCylinder},
    {"TPoint3DSeries", "TPoint3DSeriesEditor", "CBColorEach", TDo::Click, 0, "", Of<TPoint3DSeries>([](TPoint3DSeries* S) { return double(S->ColorEachPoint()); }), 1},
    {"TTriSurfaceSeries", "TTriSurfaceSeriesEditor", "Button2", TDo::PenWidth, 3, "", Of<TTriSurfaceSeries>([](TTriSurfaceSeries* S) { return double(S->Pen()->Width()); }), 3},
    {"TCandleSeries", "TCandleEditor", "RGStyle", TDo::Item, 1, "", Of<TCandleSeries>([](TCandleSeries* S) { return double(S->CandleStyle()); }), csCandleBar},
    {"TVolumeSeries", "TVolumeSeriesEditor", "UDWidth", TDo::Position, 3, "", Of<TVolumeSeries>([](TVolumeSeries* S) { return double(S->Pen()->Width()); }), 3},
    {"TErrorSeries", "TErrorSeriesEditor", "RGStyle", TDo::Item, 0, "", Of<TErrorSeries>([](TErrorSeries* S) { return double(S->ErrorStyle()); }), essLeft},
    {"TErrorBarSeries", "TErrorSeriesEditor", "UDBarWidth", TDo::Position, 30, "", Of<TErrorBarSeries>([](TErrorBarSeries* S) { return double(S->ErrorWidth()); }), 30},
    {"THighLowSeries", "THighLowEditor", "BHighPen", TDo::PenWidth, 3, "", Of<THighLowSeries>([](THighLowSeries* S) { return double(S->HighPen()->Width()); }), 3},
    {"THistogramSeries", "THistogramSeriesEditor", "UDTransp", TDo::Position, 50, "", Of<THistogramSeries>([](THistogramSeries* S) { return double(S->Transparency()); }), 50},
    {"TPointFigureSeries", "TPointFigureEditor", "EBoxSize", TDo::Text, 0, "2", Of<TPointFigureSeries>([](TPointFigureSeries* S) { return S->BoxSize(); }), 2},
    {"TImageBarSeries", "TImageBarSeriesEditor", "BBrowse", TDo::Click, 0, "", Of<TImageBarSeries>([](TImageBarSeries* S) { return double(S->Image()->Width()); }), 0},
    {"TMyPointSeries", "TLinePointEditor", "BLines", TDo::PenWidth, 4, "", Of<TMyPointSeries>([](TMyPointSeries* S) { return double(S->LinesPen()->Width()); }), 4},
    {"TBarJoinSeries", "TBarJoinEditor", "BJoin", TDo::PenWidth, 4, "", Of<TBarJoinSeries>([](TBarJoinSeries* S) { return double(S->JoinPen()->Width()); }), 4},
    {"TPolarSeries", "TPolarSeriesEditor", "CBClose", TDo::Click, 0, "", Of<TPolarSeries>([](TPolarSeries* S) { return double(S->CloseCircle()); }), 0},
    {"TRadarSeries", "TPolarSeriesEditor", "BPiePen", TDo::PenWidth, 3, "", Of<TRadarSeries>([](TRadarSeries* S) { return double(S->CirclePen()->Width()); }), 3},
    {"TWindRoseSeries", "TWindRoseEditor", "BPiePen", TDo::PenWidth, 3, "", Of<TWindRoseSeries>([](TWindRoseSeries* S) { return double(S->CirclePen()->Width()); }), 3},
    {"TClockSeries", "TClockEditor", "CBRoman", TDo::Click, 0, "", Of<TClockSeries>([](TClockSeries* S) { return double(S->Style()); }), cssDecimal},
    {"TSmithSeries", "TSmithSeriesEdit", "CBC", TDo::Click, 0, "", Of<TSmithSeries>([](TSmithSeries* S) { return double(S->CLabels()); }), 0},
    {"TGaugeSeries", "TGaugeSeriesEditor", "UDValue", TDo::Position, 30, "", Of<TGaugeSeries>([](TGaugeSeries* S) { return S->Value(); }), 30},
    {"TBoxSeries", "TBoxSeriesEditor", "EPos", TDo::Text, 0, "3", Of<TBoxSeries>([](TBoxSeries* S) { return S->Position(); }), 3},
    {"TDonutSeries", "TDonutSeriesEditor", "UDDonut", TDo::Position, 70, "", Of<TDonutSeries>([](TDonutSeries* S) { return double(S->DonutPercent()); }), 70},
    {"TPyramidSeries", "TPyramidSeriesEditor", "UDSize", TDo::Position, 40, "", Of<TPyramidSeries>([](TPyramidSeries* S) { return double(S->SizePercent()); }), 40},
    {"TFunnelSeries", "TFunnelSeriesEditor", "ButtonPen2", TDo::PenWidth, 4, "", Of<TFunnelSeries>([](TFunnelSeries* S) { return double(S->Pen()->Width()); }), 4},
    {"TCalendarSeries", "TCalendarSeriesEditor", "CBMonths", TDo::Click, 0, "", Of<TCalendarSeries>([](TCalendarSeries* S) { return double(S->Months()->Visible()); }), 0},
    {"TMapSeries", "TMapSeriesEditor", "CBGlobalBrush", TDo::Click, 0, "", Of<TMapSeries>([](TMapSeries* S) { return double(S->Shapes()->Get(0)->ParentBrush()); }), 0},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Series, ExtraEditorsTest, ::testing::ValuesIn(SeriesRows),
                         [](const auto& I) { return std::string(I.param.Series); });

// ---------------------------------------------------------------------------
// Edge cases

TEST_F(ExtraPagesTest, Grid3DPageEnablesGridSizeOnlyWhereTheSeriesCanMakeItsValues) {
    auto* map = dynamic_cast<TMapSeries*>(AddSeries("TMapSeries"));
    auto* surface = dynamic_cast<TSurfaceSeries*>(AddSeries("TSurfaceSeries"));
    map->FillSampleValues();
    for (int x = 1; x <= 4; ++x)
        for (int z = 1; z <= 4; ++z)
            surface->AddXYZ(x, x * z, z);
    OpenPage(map);
    auto* grid = PageOf<TGrid3DSeriesEditor>("Grid 3D");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(Page->PageSeries->Pages(1)->Caption(), "Grid 3D");
    EXPECT_FALSE(grid->SEXGrid->Enabled());
    EXPECT_FALSE(grid->UDZGrid->Enabled());
    EXPECT_FALSE(grid->CBIrreg->Visible());

    // Filled by the program: the grid size is not the editor's to change.
    OpenPage(surface);
    grid = PageOf<TGrid3DSeriesEditor>("Grid 3D");
    ASSERT_NE(grid, nullptr);
    EXPECT_TRUE(grid->CBIrreg->Visible());
    EXPECT_FALSE(grid->SEXGrid->Enabled());
    surface->OnGetYValue = [](TChartSeries*, int X, int Z) { return double(X + Z); };
    OpenPage(surface);
    grid = PageOf<TGrid3DSeriesEditor>("Grid 3D");
    ASSERT_TRUE(grid->SEXGrid->Enabled());
    Page->PageSeries->SelectPageByUser(Page->PageSeries->Pages(1));
    grid->UDXGrid->SetPosition(6);
    EXPECT_EQ(surface->NumXValues(), 6);
    EXPECT_EQ(surface->Count(), 6 * surface->NumZValues());
}

TEST_F(ExtraPagesTest, Grid3DPagePaletteFieldsAndColouringPages) {
    auto* surface = dynamic_cast<TSurfaceSeries*>(AddSeries("TSurfaceSeries"));
    surface->FillSampleValues();
    OpenPage(surface);
    auto* grid = PageOf<TGrid3DSeriesEditor>("Grid 3D");
    ASSERT_NE(grid, nullptr);
    Page->PageSeries->SelectPageByUser(Page->PageSeries->Pages(1));
    ASSERT_EQ(grid->PageControl1->ActivePage(), grid->TabRange);
    ASSERT_TRUE(grid->PageControl1->SelectPageByUser(grid->TabPalette));
    EXPECT_TRUE(surface->UsePalette());
    EXPECT_FALSE(surface->UseColorRange());
    Shot("Grid3DPalette");
    SimulateClick(grid->CBUseMin, 6, 8);
    ASSERT_TRUE(grid->EPaletteMin->Enabled());
    grid->EPaletteMin->SetText("");
    SimulateType(grid->EPaletteMin, "2.5");
    EXPECT_EQ(surface->PaletteMin(), 2.5);
    const auto before = Pixels();
    SimulateType(grid->EPaletteMin, "x");
    EXPECT_EQ(surface->PaletteMin(), 2.5);
    EXPECT_EQ(Pixels(), before);
    ASSERT_TRUE(grid->PageControl1->SelectPageByUser(grid->TabSingle));
    EXPECT_FALSE(surface->UsePalette());
    EXPECT_FALSE(surface->UseColorRange());
    EXPECT_NE(Pixels(), before);
}

TEST_F(ExtraPagesTest, ContourLevelsManualDisableTheCountAndAChosenColourEndsAutomatic) {
    auto* contour = dynamic_cast<TContourSeries*>(AddSeries("TContourSeries"));
    contour->FillSampleValues();
    OpenPage(contour);
    auto* page = Editor<TContourSeriesEditor>();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->SENum->Enabled());
    ASSERT_GT(contour->Levels()->Count(), 2);
    page->UDLevel->SetPosition(2);
    Responder.ExpectColor(clRed);
    SimulateClick(page->SHColor);
    EXPECT_EQ(contour->Levels()->Get(2)->Color(), clRed);
    EXPECT_FALSE(contour->AutomaticLevels());
    EXPECT_FALSE(page->CBAutoLevels->Checked());
    EXPECT_FALSE(page->SENum->Enabled());
    EXPECT_FALSE(page->UDNum->Enabled());
    EXPECT_FALSE(page->CBColorEach->Enabled());
    // Opened again on manual levels: the same.
    OpenPage(contour);
    page = Editor<TContourSeriesEditor>();
    EXPECT_FALSE(page->SENum->Enabled());
    EXPECT_FALSE(page->CBColorEach->Enabled());
    page->UDLevel->SetPosition(2);
    EXPECT_EQ(page->SHColor->Brush()->Color(), clRed);
}

// Showing a level changes nothing; unticking "default pen" gives the level a
// pen of its own (which ends automatic levels), ticking it again takes it away.
TEST_F(ExtraPagesTest, ContourLevelPenIsTheLevelsOwnOnlyWhenChosen) {
    auto* contour = dynamic_cast<TContourSeries*>(AddSeries("TContourSeries"));
    contour->FillSampleValues();
    OpenPage(contour);
    auto* page = Editor<TContourSeriesEditor>();
    ASSERT_NE(page, nullptr);
    ASSERT_GT(contour->Levels()->Count(), 2);
    page->UDLevel->SetPosition(2);
    TContourLevel* level = contour->Levels()->Get(2);
    EXPECT_TRUE(contour->AutomaticLevels());
    EXPECT_TRUE(page->cbDefaultPen->Checked());
    SimulateClick(page->cbDefaultPen);
    EXPECT_TRUE(level->IsPenStored());
    EXPECT_FALSE(contour->AutomaticLevels());
    EXPECT_TRUE(page->bLevelPen->Enabled());
    SimulateClick(page->cbDefaultPen);
    EXPECT_FALSE(level->IsPenStored());
    EXPECT_FALSE(page->bLevelPen->Enabled());
}

// Rebuilt levels free the pen the level button shows; painting or clicking
// the button afterwards must not reach the freed pen (ASan tells).
TEST_F(ExtraPagesTest, LevelPenButtonLetsGoOfAPenFreedByRebuiltLevels) {
    auto* contour = dynamic_cast<TContourSeries*>(AddSeries("TContourSeries"));
    contour->FillSampleValues();
    OpenPage(contour);
    auto* page = Editor<TContourSeriesEditor>();
    ASSERT_NE(page, nullptr);
    ASSERT_GT(contour->Levels()->Count(), 2);
    page->UDLevel->SetPosition(1);
    SimulateClick(page->cbDefaultPen); // the level's own pen, shown on the button
    TChartPen* pen = contour->Levels()->Get(1)->PenIfAny();
    ASSERT_NE(pen, nullptr);
    ASSERT_EQ(page->bLevelPen->Pen(), pen);
    contour->SetAutomaticLevels(true);
    contour->CreateAutoLevels();
    EXPECT_EQ(page->bLevelPen->Pen(), nullptr);
    EXPECT_EQ(page->bLevelPen->Instance(), nullptr);
    TBitmap face(80, 25);
    page->bLevelPen->PaintSymbol(face.Canvas());
    SimulateClick(page->bLevelPen);
    // Shown again with a pen of its own, the button takes the new level's pen.
    contour->Levels()->Get(1)->Pen()->SetWidth(2);
    page->SetLevel();
    ASSERT_NE(contour->Levels()->Get(1)->PenIfAny(), nullptr);
    EXPECT_EQ(page->bLevelPen->Pen(), contour->Levels()->Get(1)->PenIfAny());
}

TEST_F(ExtraPagesTest, PagesShowTheSeriesStateTheyOpenOn) {
    auto* surface = dynamic_cast<TSurfaceSeries*>(AddSeries("TSurfaceSeries"));
    surface->FillSampleValues();
    surface->SetWireFrame(true);
    OpenPage(surface);
    EXPECT_EQ(Editor<TSurfaceSeriesEditor>()->RadioGroup1->ItemIndex(), 1);

    TChartSeries* radar = AddSeries("TRadarSeries");
    TChartSeries* polar = AddSeries("TPolarSeries");
    radar->FillSampleValues();
    polar->FillSampleValues();
    OpenPage(radar);
    EXPECT_FALSE(Editor<TPolarSeriesEditor>()->SEAngleInc->Visible());
    EXPECT_TRUE(Editor<TPolarSeriesEditor>()->SERadiusInc->Visible());
    OpenPage(polar);
    EXPECT_TRUE(Editor<TPolarSeriesEditor>()->SEAngleInc->Visible());
}

TEST_F(ExtraPagesTest, CandleStyleEnablesTicksOr3D) {
    auto* candle = dynamic_cast<TCandleSeries*>(AddSeries("TCandleSeries"));
    candle->FillSampleValues();
    OpenPage(candle);
    auto* page = Editor<TCandleEditor>();
    ASSERT_NE(page, nullptr);
    struct {
        int Style;
        bool Ticks, Draw3D, Width, HideColor;
    } const rows[] = {{csCandleBar, true, false, true, true},
                      {csLine, false, false, false, true},
                      {csCandleStick, false, true, true, false}};
    for (const auto& r : rows) {
        SimulateClick(page->RGStyle->Buttons(r.Style));
        EXPECT_EQ(candle->CandleStyle(), r.Style);
        EXPECT_EQ(page->CBShowOpen->Enabled(), r.Ticks) << r.Style;
        EXPECT_EQ(page->CBShowClose->Enabled(), r.Ticks) << r.Style;
        EXPECT_EQ(page->CBDraw3D->Enabled(), r.Draw3D) << r.Style;
        EXPECT_EQ(page->CBDark3D->Enabled(), r.Draw3D) << r.Style;
        EXPECT_EQ(page->SEWidth->Enabled(), r.Width) << r.Style;
        EXPECT_EQ(page->Button1->HideColor(), r.HideColor) << r.Style;
    }
}

TEST_F(ExtraPagesTest, BoxFieldsKeepTheirValueWhileTheTextIsNoNumber) {
    auto* box = dynamic_cast<TBoxSeries*>(AddSeries("TBoxSeries"));
    box->FillSampleValues();
    box->SetPosition(4);
    OpenPage(box);
    auto* page = Editor<TBoxSeriesEditor>();
    ASSERT_NE(page, nullptr);
    page->EPos->SetText("");
    EXPECT_EQ(box->Position(), 4);
    SimulateType(page->EPos, "-");
    EXPECT_EQ(box->Position(), 4);
    SimulateType(page->EPos, "2");
    EXPECT_EQ(box->Position(), -2);
    page->ELength->SetText("abc");
    EXPECT_EQ(box->WhiskerLength(), 1.5);
}

TEST_F(ExtraPagesTest, GaugeMinimumNeverPassesTheMaximum) {
    auto* gauge = dynamic_cast<TGaugeSeries*>(AddSeries("TGaugeSeries"));
    gauge->FillSampleValues();
    gauge->SetMaximum(100);
    gauge->SetMinimum(0);
    OpenPage(gauge);
    auto* page = Editor<TGaugeSeriesEditor>();
    ASSERT_NE(page, nullptr);
    page->Edit9->SetText("150");
    EXPECT_LE(gauge->Minimum(), gauge->Maximum());
    EXPECT_EQ(gauge->Maximum(), 100);
    page->Edit9->SetText("20");
    EXPECT_EQ(gauge->Minimum(), 20);
    page->Edit10->SetText("10");
    EXPECT_EQ(gauge->Maximum(), 20);
    page->Edit10->SetText("80");
    EXPECT_EQ(gauge->Maximum(), 80);
    EXPECT_EQ(gauge->Minimum(), 20);
}

TEST_F(ExtraPagesTest, MapShapesAddAndDelete) {
    auto* map = dynamic_cast<TMapSeries*>(AddSeries("TMapSeries"));
    OpenPage(map);
    auto* page = Editor<TMapSeriesEditor>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->PageControl2->ActivePage(), page->TabGlobal);
    EXPECT_FALSE(page->ChartListBox1->Enabled());
    EXPECT_FALSE(page->EText->Enabled());
    ASSERT_TRUE(page->PageControl2->SelectPageByUser(page->TabShapes));
    SimulateClick(page->SBAdd);
    ASSERT_EQ(map->Shapes()->Count(), 1);
    EXPECT_EQ(map->Shapes()->Get(0)->Text(), "1");
    EXPECT_TRUE(page->EText->Enabled());
    EXPECT_EQ(page->EText->Text(), "1");
    SimulateClick(page->SBAdd);
    SimulateClick(page->SBAdd);
    ASSERT_EQ(page->ChartListBox1->ItemIndex(), 2);
    Shot("MapShapes");
    page->EText->SetText("North");
    EXPECT_EQ(map->Shapes()->Get(2)->Text(), "North");
    EXPECT_EQ(page->ChartListBox1->Items()->Strings(2), "North");
    page->EditZ->SetText("7x");
    EXPECT_EQ(map->Shapes()->Get(2)->Z(), 0);
    page->EditZ->SetText("7");
    EXPECT_EQ(map->Shapes()->Get(2)->Z(), 7);
    // Deleting the last selects the one before it; values stay matched.
    SimulateClick(page->SBDelete);
    EXPECT_EQ(map->Shapes()->Count(), 2);
    EXPECT_EQ(map->Count(), 2);
    EXPECT_EQ(page->ChartListBox1->ItemIndex(), 1);
    EXPECT_EQ(page->EText->Text(), "2");
    page->ChartListBox1->SetItemIndex(0);
    SimulateClick(page->SBDelete);
    EXPECT_EQ(page->ChartListBox1->ItemIndex(), 0);
    EXPECT_EQ(map->Shapes()->Get(0)->Text(), "2");
    SimulateClick(page->SBDelete);
    EXPECT_EQ(map->Shapes()->Count(), 0);
    EXPECT_FALSE(page->EText->Enabled());
    EXPECT_EQ(page->EditZ->Text(), "0");
}

TEST_F(ExtraPagesTest, PicturesThatAreNoPicturesAreRefusedAndChangeNothing) {
    auto* grid = dynamic_cast<TColorGridSeries*>(AddSeries("TColorGridSeries"));
    grid->FillSampleValues();
    const int count = grid->Count();
    OpenPage(grid);
    auto* page = Editor<TColorGridEditor>();
    ASSERT_NE(page, nullptr);
    const std::string file =
        (std::filesystem::temp_directory_path() / "qm_extra_editor_not_a_picture.bmp").string();
    {
        TFileStream f(file.c_str(), fmCreate);
        f.WriteBuffer("BM this is text", 15);
    }
    Responder.ExpectOpen(file.c_str()).ExpectMessage("", mrOk);
    SimulateClick(page->Button2);
    EXPECT_EQ(grid->Count(), count);
    EXPECT_TRUE(Responder.Done());

    // A real picture fills the grid, one point a pixel.
    TBitmap bmp(5, 4);
    bmp.Canvas()->Brush()->SetColor(clLime);
    bmp.Canvas()->FillRect(TRect(0, 0, 5, 4));
    bmp.SaveToFile(file.c_str());
    Responder.ExpectOpen(file.c_str());
    SimulateClick(page->Button2);
    EXPECT_EQ(grid->Count(), 20);
    EXPECT_TRUE(page->BRemove->Enabled());
    std::filesystem::remove(file);
}

TEST_F(ExtraPagesTest, ArrowColourBoxesAndVolumeColourFollowTheSeries) {
    auto* vector = dynamic_cast<TVector3DSeries*>(AddSeries("TVector3DSeries"));
    vector->FillSampleValues(20);
    vector->EndArrow()->SetColor(clBlue);
    OpenPage(vector);
    auto* arrows = Editor<TVectorSeriesEditor>();
    ASSERT_NE(arrows, nullptr);
    EXPECT_TRUE(arrows->CBStart->Checked());
    EXPECT_FALSE(arrows->CBEnd->Checked());
    SimulateClick(arrows->CBStart, 6, 8);
    EXPECT_EQ(vector->StartArrow()->Color(), clBlack);
    SimulateClick(arrows->CBEnd, 6, 8);
    EXPECT_EQ(vector->EndArrow()->Color(), clTeeColor);

    auto* volume = dynamic_cast<TVolumeSeries*>(AddSeries("TVolumeSeries"));
    volume->FillSampleValues(20);
    OpenPage(volume);
    auto* page = Editor<TVolumeSeriesEditor>();
    ASSERT_NE(page, nullptr);
    Responder.ExpectColor(clGreen);
    SimulateClick(page->BColor);
    EXPECT_EQ(volume->Pen()->Color(), clGreen);
    EXPECT_EQ(volume->SeriesColor(), clGreen);
    SimulateClick(page->CBColorEach, 6, 8);
    EXPECT_TRUE(volume->ColorEachPoint());
    EXPECT_FALSE(page->BColor->Enabled());
    EXPECT_FALSE(page->EOrigin->Enabled());
    SimulateClick(page->CBUseOrigin, 6, 8);
    EXPECT_TRUE(page->EOrigin->Enabled());
    page->EOrigin->SetText("12");
    EXPECT_EQ(volume->YOrigin(), 12);
    page->EOrigin->SetText("12,,");
    EXPECT_EQ(volume->YOrigin(), 12);
}

// The error page and its Bar tab each have a "Color Each" box: a click on
// either shows in both, so the next click on the other turns it back.
TEST_F(ExtraPagesTest, BothColorEachBoxesOfAnErrorBarShowTheSeries) {
    TChartSeries* s = AddSeries("TErrorBarSeries");
    s->FillSampleValues(6);
    OpenPage(s);
    auto* error = Editor<TErrorSeriesEditor>();
    auto* bar = PageOf<TBarSeriesEditor>("Bar");
    ASSERT_NE(error, nullptr);
    ASSERT_NE(bar, nullptr);
    auto* boxError = dynamic_cast<TCheckBox*>(error->FindComponent("CBColorEach"));
    auto* boxBar = dynamic_cast<TCheckBox*>(bar->FindComponent("CBColorEach"));
    ASSERT_TRUE(boxError && boxBar);
    bool expected = s->ColorEachPoint();
    for (TCheckBox* box : {boxError, boxBar, boxBar, boxError}) {
        TTabSheet* tab = dynamic_cast<TTabSheet*>(box->Owner() == error ? error->Parent()
                                                                        : bar->Parent());
        ASSERT_NE(tab, nullptr);
        Page->PageSeries->SelectPageByUser(tab);
        SimulateClick(box, 6, box->Height() / 2);
        expected = !expected;
        EXPECT_EQ(s->ColorEachPoint(), expected);
        EXPECT_EQ(boxError->Checked(), expected);
        EXPECT_EQ(boxBar->Checked(), expected);
    }
}

TEST_F(ExtraPagesTest, AddedPagesGoWithTheSeriesEditorWhenAnotherSeriesIsChosen) {
    TChartSeries* surface = AddSeries("TSurfaceSeries");
    TChartSeries* candle = AddSeries("TCandleSeries");
    TChartSeries* tower = AddSeries("TTowerSeries");
    for (TChartSeries* s : {surface, candle, tower})
        s->FillSampleValues();
    OpenPage(surface);
    auto grids = [this] {
        int n = 0;
        for (int i = 0; i < Page->PageSeries->PageCount(); ++i)
            n += Page->PageSeries->Pages(i)->Caption() == "Grid 3D";
        return n;
    };
    EXPECT_EQ(grids(), 1);
    for (TChartSeries* s : {candle, tower, surface, tower}) {
        Page->CBSeries->SetItemIndex(Page->CBSeries->Items()->IndexOfObject(s));
        Page->CBSeriesChange(Page->CBSeries);
        EXPECT_EQ(grids(), s == candle ? 0 : 1) << s->Name().c_str();
    }
    auto* grid = PageOf<TGrid3DSeriesEditor>("Grid 3D");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->EditedSeries(), tower);
}

// ---------------------------------------------------------------------------
// Pages other editors lend

// Counts the repaints asked of it.
class TCountingChart : public TChart {
public:
    int Invalidated = 0;
    void Invalidate() override {
        ++Invalidated;
        TChart::Invalidate();
    }
};

TEST_F(ExtraPagesTest, MapDataTabEditsTheSelectedPolygonsPointsAndTheMapFollows) {
    auto* counting = new TCountingChart;
    Chart.reset(counting);
    Chart->SetBounds(0, 0, 400, 300);
    auto* map = dynamic_cast<TMapSeries*>(AddSeries("TMapSeries"));
    map->FillSampleValues();
    ASSERT_GT(map->Shapes()->Count(), 1);
    OpenPage(map);
    auto* page = Editor<TMapSeriesEditor>();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(page->PageControl2->SelectPageByUser(page->TabShapes));
    ASSERT_TRUE(page->PageControl1->SelectPageByUser(page->TabData));
    page->ChartListBox1->SetItemIndex(1);
    page->ChartListBox1Click();
    TChartGrid* grid = page->ChartGrid1;
    ASSERT_NE(grid, nullptr);
    TPolygonSeries* points = map->Shapes()->Get(1)->Points();
    EXPECT_EQ(grid->Series(), points);
    EXPECT_EQ(page->ChartGridNavigator1->Grid(), grid);
    Shot("MapData");
    const double y = points->YValues()->Value(0);
    // The first point's Y, moved well away.
    int col = -1;
    for (int c = 1; c < grid->ColCount(); ++c) {
        TChartSeries* s = nullptr;
        TChartValueList* list = nullptr;
        if (grid->GetSeries(c, s, list) && list == points->YValues()) col = c;
    }
    ASSERT_GT(col, 0);
    grid->SetCol(col);
    grid->SetRow(grid->FirstRowNum());
    grid->StartEditing();
    ASSERT_TRUE(grid->EditorMode());
    grid->InplaceEditor()->SelectAll();
    counting->Invalidated = 0;
    SimulateType(grid->InplaceEditor(), FloatToStr(y + 40) + "\r");
    EXPECT_EQ(points->YValues()->Value(0), y + 40);
    EXPECT_GT(counting->Invalidated, 0) << "the map was not repainted";
}

TEST_F(ExtraPagesTest, LentPagesEditThePartTheyWereOpenedFor) {
    auto* calendar = dynamic_cast<TCalendarSeries*>(AddSeries("TCalendarSeries"));
    OpenPage(calendar);
    auto* cal = Editor<TCalendarSeriesEditor>();
    ASSERT_NE(cal, nullptr);
    TFormTeeShape* today = nullptr;
    for (int i = 0; i < cal->PageControl1->PageCount(); ++i)
        if (cal->PageControl1->Pages(i)->Caption() == "Today")
            for (int j = 0; j < cal->PageControl1->Pages(i)->ControlCount(); ++j)
                if (auto* f =
                        dynamic_cast<TFormTeeShape*>(cal->PageControl1->Pages(i)->Controls(j)))
                    today = f;
    ASSERT_NE(today, nullptr);
    cal->PageControl1->SelectPageByUser(dynamic_cast<TTabSheet*>(today->Parent()));
    Shot("CalendarToday");
    EXPECT_EQ(today->Shape(), calendar->Today());
    EXPECT_FALSE(today->CBRound->Visible());
    const bool was = calendar->Today()->Transparent();
    SimulateClick(today->CBTransparent, 6, 8);
    EXPECT_NE(calendar->Today()->Transparent(), was);
    EXPECT_EQ(calendar->Days()->Transparent(), true);

    auto* polar = dynamic_cast<TPolarSeries*>(AddSeries("TPolarSeries"));
    OpenPage(polar);
    auto* point = PageOf<TSeriesPointerEditor>("Point");
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->Pointer(), polar->Pointer());

    auto* box = dynamic_cast<TBoxSeries*>(AddSeries("TBoxSeries"));
    OpenPage(box);
    auto* extreme = PageOf<TSeriesPointerEditor>("ExtrOut");
    ASSERT_NE(extreme, nullptr);
    EXPECT_EQ(extreme->Pointer(), box->ExtrOut());

    auto* donut = dynamic_cast<TDonutSeries*>(AddSeries("TDonutSeries"));
    OpenPage(donut);
    auto* pie = PageOf<TPieSeriesEditor>("Pie");
    ASSERT_NE(pie, nullptr);
    // The grouped slices' legend opens as a dialog of its own and closes with OK.
    TPumpScript script;
    script.When([] { return dynamic_cast<TFormTeeLegend*>(Screen->ActiveForm()) != nullptr; })
        .Do([&] {
            auto* dlg = dynamic_cast<TFormTeeLegend*>(Screen->ActiveForm());
            EXPECT_EQ(dlg->Legend(), donut->OtherSlice()->Legend());
            SimulateClick(dlg->CBInverted, 6, 8);
            SimulateClick(dynamic_cast<TButton*>(dlg->FindComponent("BOk")));
        });
    const bool inverted = donut->OtherSlice()->Legend()->Inverted();
    SimulateClick(pie->Button2);
    EXPECT_TRUE(script.Done());
    EXPECT_NE(donut->OtherSlice()->Legend()->Inverted(), inverted);
}

} // namespace
