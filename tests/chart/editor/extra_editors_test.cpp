// The editors of the further series and functions, opened by the class name
// their series or function asks for from the series page: one control changed
// writes its property and the chart draws differently.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teependlg.h"
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

class ExtraEditorsTest : public ::testing::TestWithParam<TRow> {
protected:
    void SetUp() override {
        TeeEditorStartup();
        TeeExtraSeriesStartup();
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

    TDialogResponder Responder;
    std::unique_ptr<TChart> Chart;
    std::unique_ptr<TFormTeeSeries> Page;
};

void ExtraEditorsTest::Perform(TCustomForm* Form, const TRow& R) {
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
    {"TWindRoseSeries", "TWindRoseEditor", "CBClose", TDo::Click, 0, "", Of<TWindRoseSeries>([](TWindRoseSeries* S) { return double(S->CloseCircle()); }), 0},
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

} // namespace
