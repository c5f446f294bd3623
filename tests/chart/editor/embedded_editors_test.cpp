// Every page that docks a shape, pen, brush, gradient, font or shadow editor
// hands it the object it edits: the editor shows the object's value, a change
// made in it reaches the object, the chart draws differently, and a chart
// file saved as text names the property and gives it back when read.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/series_shape.h"
#include "chart/control/series_fastline.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/control/tool_hints.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teecandledit.h"
#include "chart/editor/teecustedit.h"
#include "chart/editor/teeediaxis.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeedilege.h"
#include "chart/editor/teeedipane.h"
#include "chart/editor/teeedititl.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teependlg.h"
#include "chart/editor/teeshapeedit.h"
#include "chart/editor/teetooledit_shape.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teetools.h"
#include "chart/series/candlech.h"
#include "chart/series/teecalendar.h"
#include "chart/series/teeextraseries.h"
#include "platform/classes/streams.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/stdctrls.h"
#include "page_walk.h"
#include "support/forms_testing.h"
#include "platform/graphics/jpeg.h"
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

// The first component of class T owned, however deeply, by Root.
template <class T> T* Owned(TComponent* Root, const std::function<bool(T*)>& Which = {}) {
    for (int i = 0; i < Root->ComponentCount(); ++i) {
        TComponent* c = Root->Components(i);
        if (auto* t = dynamic_cast<T*>(c); t && (!Which || Which(t))) return t;
        if (T* t = Owned<T>(c, Which)) return t;
    }
    return nullptr;
}

void Retype(TEdit* E, const AnsiString& Text) {
    Reach(E);
    E->SetText("");
    SimulateType(E, Text);
}

void Click(TControl* C) {
    Reach(C);
    ASSERT_TRUE(CanUserReach(C)) << C->Name().c_str();
    SimulateClick(C);
}

// Runs Steps on the modal dialog of class T that Button opens.
template <class T> void InDialog(TControl* Button, const std::function<void(T*)>& Steps) {
    TPumpScript script;
    script.When([] { return dynamic_cast<T*>(Screen->ActiveForm()) != nullptr; }).Do([Steps] {
        Steps(dynamic_cast<T*>(Screen->ActiveForm()));
    });
    Click(Button);
    EXPECT_TRUE(script.Done()) << Button->Name().c_str() << " opened no dialog";
}

std::string ChartText(TCustomChart* Chart) {
    TMemoryStream m;
    SaveChartToStream(Chart, &m, true, true);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

struct TFixture;

struct TEmbeddedCase {
    const char* Name;
    // Adds what the case edits to the chart and returns the page the user opens.
    std::function<TComponent*(TFixture&)> Open;
    // The value the editor must show before the change.
    std::function<bool(TComponent* Page, TFixture&)> Shows;
    std::function<void(TComponent* Page, TFixture&)> Change;
    std::function<bool(TCustomChart*)> Holds;
    const char* Stored;
};

void PrintTo(const TEmbeddedCase& C, std::ostream* Os) {
    *Os << C.Name;
}

struct TFixture {
    TStrictResponder Responder;
    std::unique_ptr<TChart> Chart;
    std::unique_ptr<TForm> Host;

    TFixture() {
        TeeExtraSeriesStartup();
        TeeEditorStartup();
        Chart = std::make_unique<TChart>();
        Chart->SetName("Chart1");
        Chart->SetBevelOuter(bvNone);
        Chart->SetBounds(0, 0, 400, 300);
        Chart->SetView3D(false);
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBounds(0, 0, 480, 360);
        Host->Show();
    }
    TChartSeries* Add(TClass Type) {
        TChartSeries* s = CreateNewSeries(Chart.get(), Chart.get(), Type);
        s->FillSampleValues(6);
        return s;
    }
    // The series page on the series, turned to Tab.
    TFormTeeSeries* SeriesPage(TChartSeries* S, TTabSheet* TFormTeeSeries::*Tab) {
        auto* page = new TFormTeeSeries(Host.get());
        page->SetBounds(0, 0, 460, 340);
        page->CBSeries->Items()->AddObject(S->Name(), S);
        page->Show();
        page->SetTheSeries(S);
        page->SetCBSeries();
        page->PageSeries->SelectPageByUser(page->*Tab);
        return page;
    }
    // A chart page docked as the editor docks it.
    TCustomForm* ChartPage(TCustomForm* Page, TPersistent* Object) {
        Page->SetAlign(alClient);
        AddFormTo(Page, Host.get(), Object);
        return Page;
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
};

TComponent* MarksPage(TFixture& F) {
    TChartSeries* s = F.Add(&TLineSeries::ClassInfo);
    s->Marks()->SetVisible(true);
    s->Marks()->SetBevel(bvRaised);
    s->Marks()->Font()->SetColor(clBlack);
    s->Marks()->Shadow()->SetHorizSize(3);
    return F.SeriesPage(s, &TFormTeeSeries::TabMarks);
}

TFormTeeShape* Shape(TComponent* Page) {
    auto* s = Owned<TFormTeeShape>(Page);
    EXPECT_NE(s, nullptr);
    return s;
}

TSeriesMarks* Marks(TCustomChart* C) {
    return C->Series(0)->Marks();
}

// A colour button or swatch opens the colour dialog at the colour held; the
// dialog's answer is Chosen.
void PickColor(TControl* Button, TFixture& F, TColor Held, TColor Chosen) {
    F.Responder.ExpectColor(Chosen);
    Click(Button);
    ASSERT_TRUE(F.Responder.Done()) << Button->Name().c_str() << " opened no colour dialog";
    EXPECT_EQ(F.Responder.Shown().back().Color, Held) << Button->Name().c_str();
}

template <class T> T* Page(TComponent* P) {
    auto* t = dynamic_cast<T*>(P);
    EXPECT_NE(t, nullptr);
    return t;
}

template <class T> T* Series0(TCustomChart* C) {
    return C->SeriesCount() ? dynamic_cast<T*>(C->Series(0)) : nullptr;
}

const TEmbeddedCase Cases[] = {
    {"MarksRoundFrame", MarksPage,
     [](TComponent* P, TFixture&) { return Shape(P)->CBBevel->ItemIndex() == bvRaised; },
     [](TComponent* P, TFixture&) { Click(Shape(P)->CBRound); },
     [](TCustomChart* C) { return Marks(C)->ShapeStyle() == fosRoundRectangle; },
     "Marks.ShapeStyle = fosRoundRectangle"},
    {"MarksTransparent", MarksPage,
     [](TComponent* P, TFixture&) { return !Shape(P)->CBTransparent->Checked(); },
     [](TComponent* P, TFixture&) { Click(Shape(P)->CBTransparent); },
     [](TCustomChart* C) { return Marks(C)->Transparent(); }, "Marks.Transparent = True"},
    {"MarksColor", MarksPage, nullptr,
     [](TComponent* P, TFixture& F) {
         PickColor(Shape(P)->BBackColor, F, Marks(F.Chart.get())->Color(), clRed);
     },
     [](TCustomChart* C) { return Marks(C)->Color() == clRed; }, "Marks.Color = clRed"},
    {"MarksFrame", MarksPage, nullptr,
     [](TComponent* P, TFixture&) {
         InDialog<TPenDialog>(Shape(P)->Button4, [](TPenDialog* D) {
             EXPECT_EQ(D->UDWidth->Position(), 1);
             Retype(D->SEWidth, "3");
             SimulateClick(D->BOk);
         });
     },
     [](TCustomChart* C) { return Marks(C)->Pen()->Width() == 3; }, "Marks.Frame.Width = 3"},
    {"MarksPattern", MarksPage, nullptr,
     [](TComponent* P, TFixture&) {
         InDialog<TBrushDialog>(Shape(P)->Button6, [](TBrushDialog* D) {
             EXPECT_EQ(D->LStyle->ItemIndex(), bsSolid);
             D->LStyle->SetItemIndex(bsCross);
             D->LStyleClick(D->LStyle);
             SimulateClick(D->Button2);
         });
     },
     [](TCustomChart* C) { return Marks(C)->Brush()->Style() == bsCross; },
     "Marks.Brush.Style = bsCross"},
    {"MarksTextColor", MarksPage,
     [](TComponent* P, TFixture&) {
         return Shape(P)->FontEditor()->SHText->Brush()->Color() == clBlack;
     },
     [](TComponent* P, TFixture& F) {
         PickColor(Shape(P)->FontEditor()->SHText, F, clBlack, clBlue);
     },
     [](TCustomChart* C) { return Marks(C)->Font()->Color() == clBlue; },
     "Marks.Font.Color = clBlue"},
    {"MarksTextFont", MarksPage, nullptr,
     [](TComponent* P, TFixture& F) {
         F.Responder.ExpectFont([](TFont* Font) { Font->SetSize(14); });
         Click(Shape(P)->FontEditor()->Button3);
         EXPECT_TRUE(F.Responder.Done()) << "no font dialog";
     },
     [](TCustomChart* C) { return Marks(C)->Font()->Size() == 14; }, "Marks.Font.Height"},
    {"MarksGradient", MarksPage,
     [](TComponent* P, TFixture&) { return !Shape(P)->GradientEditor()->CBVisible->Checked(); },
     [](TComponent* P, TFixture&) { Click(Shape(P)->GradientEditor()->CBVisible); },
     [](TCustomChart* C) { return Marks(C)->Gradient()->Visible(); },
     "Marks.Gradient.Visible = True"},
    {"MarksShadow", MarksPage,
     [](TComponent* P, TFixture&) {
         return Shape(P)->ShadowEditor()->UDShadowSize->Position() == 3;
     },
     [](TComponent* P, TFixture&) { Retype(Shape(P)->ShadowEditor()->Edit1, "8"); },
     [](TCustomChart* C) { return Marks(C)->Shadow()->HorizSize() == 8; },
     "Marks.Shadow.HorizSize = 8"},
    // The page follows the series chosen after it was first filled.
    {"MarksOfTheSeriesChosen",
     [](TFixture& F) -> TComponent* {
         TChartSeries* first = F.Add(&TBarSeries::ClassInfo);
         auto* page = F.SeriesPage(first, &TFormTeeSeries::TabMarks);
         TChartSeries* second = F.Add(&TLineSeries::ClassInfo);
         second->Marks()->SetVisible(true);
         page->CBSeries->Items()->AddObject(second->Name(), second);
         page->SetTheSeries(second);
         page->SetCBSeries();
         return page;
     },
     [](TComponent* P, TFixture&) { return !Shape(P)->CBTransparent->Checked(); },
     [](TComponent* P, TFixture&) { Click(Shape(P)->CBTransparent); },
     [](TCustomChart* C) {
         return C->Series(1)->Marks()->Transparent() && !C->Series(0)->Marks()->Transparent();
     },
     "Marks.Transparent = True"},
    {"TitleText",
     [](TFixture& F) -> TComponent* {
         F.Chart->Title()->SetCaption("Decay");
         F.Chart->Title()->Font()->SetInterCharSize(1);
         return F.ChartPage(new TFormTeeTitle(F.Host.get(), F.Chart.get(), F.Chart->Title()),
                            F.Chart->Title());
     },
     [](TComponent* P, TFixture&) { return Shape(P)->FontEditor()->UDInter->Position() == 1; },
     [](TComponent* P, TFixture&) { Retype(Shape(P)->FontEditor()->Edit2, "6"); },
     [](TCustomChart* C) { return C->Title()->Font()->InterCharSize() == 6; },
     "Title.Font.InterCharSize = 6"},
    {"LegendGradient",
     [](TFixture& F) -> TComponent* {
         F.Add(&TBarSeries::ClassInfo);
         return F.ChartPage(new TFormTeeLegend(F.Host.get(), F.Chart->Legend()), F.Chart->Legend());
     },
     [](TComponent* P, TFixture&) { return !Shape(P)->GradientEditor()->CBVisible->Checked(); },
     [](TComponent* P, TFixture&) { Click(Shape(P)->GradientEditor()->CBVisible); },
     [](TCustomChart* C) { return C->Legend()->Gradient()->Visible(); },
     "Legend.Gradient.Visible = True"},
    {"AnnotationFrame",
     [](TFixture& F) -> TComponent* {
         auto* tool = new TAnnotationTool(F.Chart.get());
         tool->SetName("ChartTool1");
         tool->SetText("Plate 7");
         tool->SetParentChart(F.Chart.get());
         return F.ChartPage(new TAnnotationToolEdit(F.Host.get()), tool);
     },
     [](TComponent* P, TFixture&) { return !Shape(P)->CBRound->Checked(); },
     [](TComponent* P, TFixture&) { Click(Shape(P)->CBRound); },
     [](TCustomChart* C) {
         auto* t =
             C->Tools()->Count() ? dynamic_cast<TAnnotationTool*>(C->Tools()->Get(0)) : nullptr;
         return t && t->Shape()->ShapeStyle() == fosRoundRectangle;
     },
     "Shape.ShapeStyle = fosRoundRectangle"},
    {"CalendarToday",
     [](TFixture& F) -> TComponent* {
         return F.SeriesPage(F.Add(&TCalendarSeries::ClassInfo), &TFormTeeSeries::TheTabSheet);
     },
     nullptr,
     [](TComponent* P, TFixture&) {
         TFormTeeShape* today = Owned<TFormTeeShape>(
             P, [](TFormTeeShape* S) { return S->Parent() && S->Parent()->Caption() == "Today"; });
         ASSERT_NE(today, nullptr);
         Click(today->CBTransparent);
     },
     [](TCustomChart* C) {
         auto* s = Series0<TCalendarSeries>(C);
         return s && s->Today()->Transparent();
     },
     "Today.Transparent = True"},
    {"AxisTitleFont",
     [](TFixture& F) -> TComponent* {
         F.Add(&TLineSeries::ClassInfo);
         F.Chart->LeftAxis()->Title()->SetCaption("Volts");
         F.Chart->LeftAxis()->Title()->Font()->SetInterCharSize(2);
         return F.ChartPage(new TFormTeeAxis(F.Host.get()), F.Chart->LeftAxis());
     },
     [](TComponent* P, TFixture&) {
         return Page<TFormTeeAxis>(P)->TitleFontEditor()->UDInter->Position() == 2;
     },
     [](TComponent* P, TFixture&) { Retype(Page<TFormTeeAxis>(P)->TitleFontEditor()->Edit2, "5"); },
     [](TCustomChart* C) { return C->LeftAxis()->Title()->Font()->InterCharSize() == 5; },
     "LeftAxis.Title.Font.InterCharSize = 5"},
    {"AxisLabelsFont",
     [](TFixture& F) -> TComponent* {
         F.Add(&TLineSeries::ClassInfo);
         F.Chart->LeftAxis()->LabelsFont()->SetColor(clGreen);
         return F.ChartPage(new TFormTeeAxis(F.Host.get()), F.Chart->LeftAxis());
     },
     [](TComponent* P, TFixture&) {
         return Page<TFormTeeAxis>(P)->LabelsFontEditor()->SHText->Brush()->Color() == clGreen;
     },
     [](TComponent* P, TFixture& F) {
         PickColor(Page<TFormTeeAxis>(P)->LabelsFontEditor()->SHText, F, clGreen, clRed);
     },
     [](TCustomChart* C) { return C->LeftAxis()->LabelsFont()->Color() == clRed; },
     "LeftAxis.LabelsFont.Color = clRed"},
    {"PanelGradient",
     [](TFixture& F) -> TComponent* {
         return F.ChartPage(new TFormTeePanel(F.Host.get(), F.Chart.get()), F.Chart.get());
     },
     [](TComponent* P, TFixture&) {
         return !Page<TFormTeePanel>(P)->GradientEditor->CBVisible->Checked();
     },
     [](TComponent* P, TFixture&) { Click(Page<TFormTeePanel>(P)->GradientEditor->CBVisible); },
     [](TCustomChart* C) { return C->Gradient()->Visible(); }, "Gradient.Visible = True"},
    {"PanelShadow",
     [](TFixture& F) -> TComponent* {
         F.Chart->Shadow()->SetVertSize(2);
         return F.ChartPage(new TFormTeePanel(F.Host.get(), F.Chart.get()), F.Chart.get());
     },
     [](TComponent* P, TFixture&) {
         return Page<TFormTeePanel>(P)->ShadowEditor->UDShaVert->Position() == 2;
     },
     [](TComponent* P, TFixture&) { Retype(Page<TFormTeePanel>(P)->ShadowEditor->EVertSize, "9"); },
     [](TCustomChart* C) { return C->Shadow()->VertSize() == 9; }, "Shadow.VertSize = 9"},
    {"AreaGradient",
     [](TFixture& F) -> TComponent* {
         return F.SeriesPage(F.Add(&TAreaSeries::ClassInfo), &TFormTeeSeries::TheTabSheet);
     },
     [](TComponent* P, TFixture&) {
         auto* e = Owned<TAreaSeriesEditor>(P);
         return e && e->GradientForm() && !e->GradientForm()->CBVisible->Checked();
     },
     [](TComponent* P, TFixture&) {
         Click(Owned<TAreaSeriesEditor>(P)->GradientForm()->CBVisible);
     },
     [](TCustomChart* C) {
         auto* s = Series0<TAreaSeries>(C);
         return s && s->Gradient()->Visible();
     },
     "Gradient.Visible = True"},
    {"ShapeSeriesFont",
     [](TFixture& F) -> TComponent* {
         auto* s = dynamic_cast<TChartShape*>(F.Add(&TChartShape::ClassInfo));
         s->Text()->SetText("Plate 7");
         s->Font()->SetColor(clNavy);
         return F.SeriesPage(s, &TFormTeeSeries::TheTabSheet);
     },
     [](TComponent* P, TFixture&) {
         auto* e = Owned<TTeeFontEditor>(P);
         return e && e->SHText->Brush()->Color() == clNavy;
     },
     [](TComponent* P, TFixture& F) {
         PickColor(Owned<TTeeFontEditor>(P)->SHText, F, clNavy, clRed);
     },
     [](TCustomChart* C) {
         auto* s = Series0<TChartShape>(C);
         return s && s->Font()->Color() == clRed;
     },
     "Font.Color = clRed"},
    {"FastLinePen",
     [](TFixture& F) -> TComponent* {
         TChartSeries* s = F.Add(&TFastLineSeries::ClassInfo);
         dynamic_cast<TFastLineSeries*>(s)->LinePen()->SetWidth(2);
         return F.SeriesPage(s, &TFormTeeSeries::TheTabSheet);
     },
     [](TComponent* P, TFixture&) {
         auto* e = Owned<TFastLineSeriesEditor>(P);
         return e && e->UDWidth->Position() == 2;
     },
     [](TComponent* P, TFixture&) { Retype(Owned<TFastLineSeriesEditor>(P)->SEWidth, "4"); },
     [](TCustomChart* C) {
         auto* s = Series0<TFastLineSeries>(C);
         return s && s->LinePen()->Width() == 4;
     },
     "LinePen.Width = 4"},
    {"VolumePen",
     [](TFixture& F) -> TComponent* {
         TChartSeries* s = F.Add(&TVolumeSeries::ClassInfo);
         s->Pen()->SetWidth(2);
         return F.SeriesPage(s, &TFormTeeSeries::TheTabSheet);
     },
     [](TComponent* P, TFixture&) {
         auto* e = Owned<TVolumeSeriesEditor>(P);
         return e && e->UDWidth->Position() == 2;
     },
     [](TComponent* P, TFixture&) { Retype(Owned<TVolumeSeriesEditor>(P)->SEWidth, "5"); },
     [](TCustomChart* C) {
         auto* s = Series0<TVolumeSeries>(C);
         return s && s->Pen()->Width() == 5;
     },
     "Pen.Width = 5"},
};

class EmbeddedEditorTest : public ::testing::TestWithParam<TEmbeddedCase> {};

TEST_P(EmbeddedEditorTest, EditsItsObjectOnScreenAndInTheChartFile) {
    const TEmbeddedCase& c = GetParam();
    TFixture f;
    TComponent* page = c.Open(f);
    ASSERT_NE(page, nullptr);
    if (c.Shows) EXPECT_TRUE(c.Shows(page, f)) << "the editor does not show the value held";
    const auto before = f.Pixels();
    const std::string textBefore = ChartText(f.Chart.get());
    c.Change(page, f);
    EXPECT_TRUE(c.Holds(f.Chart.get())) << "the change did not reach the object";
    EXPECT_NE(f.Pixels(), before) << "the chart draws as before";
    if (const char* dir = std::getenv("QM_SHOTS"))
        if (auto* form = dynamic_cast<TCustomForm*>(page)) {
            TPngImage png;
            GrabControl(form, png.Bitmap());
            png.SaveToFile(AnsiString(dir) + "/embedded_" + c.Name + ".png");
        }
    const std::string text = ChartText(f.Chart.get());
    EXPECT_EQ(textBefore.find(c.Stored), std::string::npos);
    EXPECT_NE(text.find(c.Stored), std::string::npos) << text;
    TMemoryStream m;
    m.WriteBuffer(text.data(), static_cast<int>(text.size()));
    m.SetPosition(0);
    auto loaded = std::make_unique<TChart>();
    TCustomChart* target = loaded.get();
    LoadChartFromStream(target, &m);
    EXPECT_TRUE(c.Holds(loaded.get())) << "the chart file does not give it back";
}

INSTANTIATE_TEST_SUITE_P(Pages, EmbeddedEditorTest, ::testing::ValuesIn(Cases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
