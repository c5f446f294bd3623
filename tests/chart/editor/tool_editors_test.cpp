// Every tool's editor, opened by the class name the tool asks for from the
// chart editor's tools page: one control changed by the user writes the
// tool's property, and a visible property repaints the chart.
#include "chart/control/tool_bands.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/tool_drag.h"
#include "chart/control/tool_hints.h"
#include "chart/editor/teeedittools.h"
#include "chart/editor/teeshapeedit.h"
#include "chart/editor/teetooledit_axis.h"
#include "chart/editor/teetooledit_series.h"
#include "chart/editor/teetooledit_shape.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teemarks.h"
#include "dialogs_fixture.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/graphics/jpeg.h"
#include "platform/graphics/metafile.h"
#include "support/temp_folder.h"
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <cstdlib>
#include <unistd.h>

namespace {

struct ToolCase {
    const char* Name;
    std::function<TTeeCustomTool*(TChart*, TChartSeries*)> Make;
    // The user changes one control of the editor.
    std::function<void(TCustomForm*, TDialogResponder&)> Change;
    std::function<bool(TTeeCustomTool*)> Changed;
    bool Visible;
};

template <typename T> T* As(TCustomForm* F) {
    auto* f = dynamic_cast<T*>(F);
    EXPECT_NE(f, nullptr);
    return f;
}

// The user steps to an item of a drop-down list with the arrow keys.
void Pick(TComboBox* Combo, const AnsiString& Item) {
    const int i = Combo->Items()->IndexOf(Item);
    ASSERT_GE(i, 0) << Item;
    Combo->SetItemIndex(i > 0 ? i - 1 : 1);
    SimulateKey(Combo, i > 0 ? VK_DOWN : VK_UP);
    ASSERT_EQ(Combo->ItemIndex(), i);
}

void Retype(TEdit* E, const AnsiString& Text) {
    E->SelectAll();
    SimulateType(E, Text);
}

template <typename T> TTeeCustomTool* Make(TChart* C, std::function<void(T*)> Setup = nullptr) {
    auto* t = new T(C);
    t->SetParentChart(C);
    if (Setup) Setup(t);
    return t;
}

std::string PictureFile() {
    const std::string name = MakeTempFile("toolpic", ".bmp");
    TBitmap b(16, 16);
    b.Canvas()->Brush()->SetColor(clBlue);
    b.Canvas()->FillRect(TRect(0, 0, 16, 16));
    b.SaveToFile(name.c_str());
    return name;
}

const ToolCase Cases[] = {
    {"ColorBand",
     [](TChart* C, TChartSeries*) {
         return Make<TColorBandTool>(C, [C](TColorBandTool* t) {
             t->SetAxis(C->LeftAxis());
             t->SetColor(clYellow);
             t->SetStartValue(20);
         });
     },
     [](TCustomForm* F, TDialogResponder&) { Retype(As<TColorBandToolEditor>(F)->EEnd, "60"); },
     [](TTeeCustomTool* t) { return static_cast<TColorBandTool*>(t)->EndValue() == 60; }, true},
    {"ColorLine",
     [](TChart* C, TChartSeries*) {
         return Make<TColorLineTool>(
             C, [C](TColorLineTool* t) { t->SetAxis(C->BottomAxis()), t->SetValue(2); });
     },
     [](TCustomForm* F, TDialogResponder&) {
         auto* e = As<TColorLineToolEditor>(F);
         Pick(e->CBStyle, "Axis Center");
         EXPECT_FALSE(e->EValue->Enabled());
     },
     [](TTeeCustomTool* t) { return static_cast<TColorLineTool*>(t)->Style() == clCenter; }, true},
    {"AxisArrow",
     [](TChart* C, TChartSeries*) {
         return Make<TAxisArrowTool>(C, [C](TAxisArrowTool* t) { t->SetAxis(C->BottomAxis()); });
     },
     [](TCustomForm* F, TDialogResponder&) { Pick(As<TAxisArrowToolEditor>(F)->CBPos, "Start"); },
     [](TTeeCustomTool* t) { return static_cast<TAxisArrowTool*>(t)->Position() == aaStart; },
     true},
    {"GridBand",
     [](TChart* C, TChartSeries*) {
         return Make<TGridBandTool>(C, [C](TGridBandTool* t) {
             t->SetAxis(C->LeftAxis());
             t->Band1()->SetColor(clNavy);
         });
     },
     [](TCustomForm* F, TDialogResponder&) { Retype(As<TGridBandToolEdit>(F)->Edit1, "50"); },
     [](TTeeCustomTool* t) {
         return static_cast<TGridBandTool*>(t)->Band1()->Transparency() == 50;
     },
     true},
    {"Cursor", [](TChart* C, TChartSeries*) { return Make<TCursorTool>(C); },
     [](TCustomForm* F, TDialogResponder&) {
         Pick(As<TCursorToolEditor>(F)->CBStyle, "Horizontal");
     },
     [](TTeeCustomTool* t) { return static_cast<TCursorTool*>(t)->Style() == cssHorizontal; },
     true},
    {"DrawLine", [](TChart* C, TChartSeries*) { return Make<TDrawLineTool>(C); },
     [](TCustomForm* F, TDialogResponder&) { Pick(As<TDrawLineEdit>(F)->CBButton, "Middle"); },
     [](TTeeCustomTool* t) { return static_cast<TDrawLineTool*>(t)->Button() == mbMiddle; }, false},
    {"Image", [](TChart* C, TChartSeries*) { return Make<TChartImageTool>(C); },
     [](TCustomForm* F, TDialogResponder& R) {
         auto* e = As<TChartImageToolEditor>(F);
         EXPECT_FALSE(e->BSave->Enabled());
         const std::string file = PictureFile();
         R.ExpectOpen(file.c_str());
         SimulateClick(e->Button1);
         std::remove(file.c_str());
         EXPECT_TRUE(e->BSave->Enabled());
         EXPECT_EQ(e->Button1->Caption(), TeeMsg_ClearImage);
     },
     [](TTeeCustomTool* t) { return static_cast<TChartImageTool*>(t)->Picture()->Width() == 16; },
     true},
    {"Nearest", [](TChart* C, TChartSeries*) { return Make<TNearestTool>(C); },
     [](TCustomForm* F, TDialogResponder&) { Pick(As<TNearestToolEdit>(F)->CBStyle, "Diamond"); },
     [](TTeeCustomTool* t) { return static_cast<TNearestTool*>(t)->Style() == hsDiamond; }, false},
    {"DragMarks",
     [](TChart* C, TChartSeries* S) {
         S->Marks()->SetVisible(true);
         C->Draw();
         S->Marks()->Positions()->Get(3)->Custom = true;
         S->Marks()->Positions()->Get(3)->LeftTop.x += 40;
         return Make<TDragMarksTool>(C);
     },
     [](TCustomForm* F, TDialogResponder&) { SimulateClick(As<TDragMarksToolEditor>(F)->Button1); },
     [](TTeeCustomTool* t) {
         return !t->ParentChart()->Series(0)->Marks()->Positions()->ExistCustom();
     },
     true},
    {"MarksTip", [](TChart* C, TChartSeries*) { return Make<TMarksTipTool>(C); },
     [](TCustomForm* F, TDialogResponder&) {
         auto* e = As<TMarksTipToolEdit>(F);
         EXPECT_EQ(e->CBSeries->Items()->Strings(0), TeeMsg_All);
         SimulateClick(e->RGMouseAction->Buttons(1));
     },
     [](TTeeCustomTool* t) { return static_cast<TMarksTipTool*>(t)->MouseAction() == mtmClick; },
     false},
    {"SeriesAnimation", [](TChart* C, TChartSeries*) { return Make<TSeriesAnimationTool>(C); },
     [](TCustomForm* F, TDialogResponder&) {
         auto* e = As<TSeriesAnimToolEditor>(F);
         EXPECT_FALSE(e->Button1->Enabled());
         SimulateClick(e->CBStartMin);
         EXPECT_TRUE(e->EStart->Enabled());
     },
     [](TTeeCustomTool* t) { return !static_cast<TSeriesAnimationTool*>(t)->StartAtMin(); }, false},
    {"Annotation", [](TChart* C, TChartSeries*) { return Make<TAnnotationTool>(C); },
     [](TCustomForm* F, TDialogResponder&) {
         auto* e = As<TAnnotationToolEdit>(F);
         SimulateType(e->MemoText, "Hello");
         // The shape's own pages follow the tool's.
         TFormTeeShape* shape = nullptr;
         for (int i = 0; i < e->ComponentCount(); ++i)
             if (auto* s = dynamic_cast<TFormTeeShape*>(e->Components(i))) shape = s;
         ASSERT_NE(shape, nullptr);
         EXPECT_EQ(shape->TabFormat->PageControl(), e->PageControl1);
         e->PageControl1->SelectPageByUser(shape->TabFormat);
         SimulateClick(shape->CBRound, 6, 8);
     },
     [](TTeeCustomTool* t) {
         auto* a = static_cast<TAnnotationTool*>(t);
         return a->Text() == "Hello" && a->Shape()->ShapeStyle() == fosRoundRectangle;
     },
     true},
    {"Rotate", [](TChart* C, TChartSeries*) { return Make<TRotateTool>(C); },
     [](TCustomForm* F, TDialogResponder&) { Pick(As<TRotateToolEditor>(F)->CBButton, "Middle"); },
     [](TTeeCustomTool* t) { return static_cast<TRotateTool*>(t)->Button() == mbMiddle; }, false},
};

class ToolEditorTest : public DialogsTest, public ::testing::WithParamInterface<ToolCase> {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        TeeEditorStartup();
        Host = std::make_unique<TForm>(nullptr);
        Host->SetBounds(0, 0, 420, 280);
        Page = new TFormTeeTools(Host.get());
        Page->SetSubject(Chart.get());
        Page->SetParent(Host.get());
        Page->SetAlign(alClient);
    }
    std::unique_ptr<TForm> Host;
    TFormTeeTools* Page = nullptr;
};

TEST_P(ToolEditorTest, OneControlWritesTheToolAndRepaints) {
    const ToolCase& c = GetParam();
    TTeeCustomTool* tool = c.Make(Chart.get(), Line);
    Host->Show();
    Page->Show();
    ASSERT_EQ(Page->LBTools->Items()->Count(), 1);
    TCustomForm* editor = Page->ToolForm();
    ASSERT_NE(editor, nullptr) << tool->GetEditorClass();
    EXPECT_EQ(editor->ClassName(), tool->GetEditorClass());
    const auto before = Pixels();
    c.Change(editor, Responder);
    EXPECT_TRUE(Responder.Done());
    EXPECT_TRUE(c.Changed(tool));
    if (c.Visible) EXPECT_NE(Pixels(), before);
    if (const char* dir = std::getenv("QM_SHOTS")) {
        TPngImage png;
        GrabControl(Host.get(), png.Bitmap());
        png.SaveToFile(AnsiString(dir) + "/tool_" + c.Name + ".png");
    }
}

INSTANTIATE_TEST_SUITE_P(Tools, ToolEditorTest, ::testing::ValuesIn(Cases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

class ToolEditorEdges : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        TeeEditorStartup();
    }
    template <typename F> std::unique_ptr<F> Open(TTeeCustomTool* Tool) {
        auto form = std::make_unique<F>(nullptr);
        form->SetSubject(Tool);
        form->Show();
        return form;
    }
};

TEST_F(ToolEditorEdges, NumberEditThatDoesNotParseLeavesThePropertyAlone) {
    auto* band = new TColorBandTool(Chart.get());
    band->SetParentChart(Chart.get());
    band->SetAxis(Chart->LeftAxis());
    band->SetEndValue(40);
    auto form = Open<TColorBandToolEditor>(band);
    EXPECT_EQ(form->CBAxis->ItemIndex(), 0);
    Retype(form->EEnd, "x4");
    EXPECT_EQ(band->EndValue(), 40);
}

TEST_F(ToolEditorEdges, RotateMiddleButtonIsStoredAndShownAgain) {
    auto* rotate = new TRotateTool(Chart.get());
    rotate->SetParentChart(Chart.get());
    {
        auto form = Open<TRotateToolEditor>(rotate);
        Choose(form->CBButton, "Middle");
    }
    EXPECT_EQ(rotate->Button(), mbMiddle);
    auto again = Open<TRotateToolEditor>(rotate);
    EXPECT_EQ(again->CBButton->Text(), "Middle");
    Choose(again->CBButton, "Right");
    EXPECT_EQ(rotate->Button(), mbRight);
}

TEST_F(ToolEditorEdges, SeriesChoiceDisabledWithoutSeriesAndResetReachesEverySeries) {
    TChart empty;
    auto* cursor = new TCursorTool(&empty);
    cursor->SetParentChart(&empty);
    EXPECT_FALSE(Open<TCursorToolEditor>(cursor)->CBSeries->Enabled());

    auto* bar = new TBarSeries(Chart.get());
    bar->SetParentChart(Chart.get());
    for (int i = 0; i < 3; ++i)
        bar->Add(i + 1);
    Chart->Draw();
    for (TChartSeries* s : {static_cast<TChartSeries*>(Line), static_cast<TChartSeries*>(bar)}) {
        s->Marks()->SetVisible(true);
        Chart->Draw();
        s->Marks()->Positions()->Get(1)->Custom = true;
    }
    auto* drag = new TDragMarksTool(Chart.get());
    drag->SetParentChart(Chart.get());
    SimulateClick(Open<TDragMarksToolEditor>(drag)->Button1);
    EXPECT_FALSE(Line->Marks()->Positions()->ExistCustom());
    EXPECT_FALSE(bar->Marks()->Positions()->ExistCustom());
}

// The picture's own format is offered, and the file holds the format its
// name says, so the program reads it back.
struct SaveCase {
    const char* Name;
    std::function<std::unique_ptr<TGraphic>()> Make;
    const char* Answer; // the name typed in the save dialog
    const char* Filter;
    const char* DefaultExt;
    const char* Written; // the file that comes out
    std::string Magic;   // its first bytes
};

template <typename G> std::unique_ptr<TGraphic> Raster() {
    TBitmap b(16, 16);
    b.Canvas()->Brush()->SetColor(clBlue);
    b.Canvas()->FillRect(TRect(0, 0, 16, 16));
    auto g = std::make_unique<G>();
    g->Assign(&b);
    return g;
}

std::unique_ptr<TGraphic> Meta(bool Enhanced) {
    auto m = std::make_unique<TMetafile>();
    m->SetWidth(16);
    m->SetHeight(16);
    {
        TMetafileCanvas c(m.get(), nullptr);
        c.Brush()->SetColor(clBlue);
        c.FillRect(TRect(0, 0, 16, 16));
    }
    m->SetEnhanced(Enhanced);
    return m;
}

const SaveCase SaveCases[] = {
    {"PngBareName", Raster<TPngImage>, "pic", "Portable Network Graphics (*.png)|*.png", "png",
     "pic.png", "\x89PNG"},
    {"PngNamedBmp", Raster<TPngImage>, "pic.bmp", "Portable Network Graphics (*.png)|*.png", "png",
     "pic.bmp", "BM"},
    {"JpegBareName", Raster<TJPEGImage>, "pic",
     "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg", "jpg", "pic.jpg", "\xFF\xD8"},
    {"EnhancedMetafileNamedWmf", [] { return Meta(true); }, "pic.wmf",
     "Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf", "emf", "pic.wmf",
     "\xD7\xCD\xC6\x9A"},
    {"OldMetafileBareName", [] { return Meta(false); }, "pic",
     "Metafiles (*.wmf)|*.wmf|Enhanced Metafiles (*.emf)|*.emf", "wmf", "pic.wmf",
     "\xD7\xCD\xC6\x9A"},
    {"BitmapNamedPng", Raster<TBitmap>, "pic.png", "Bitmaps (*.bmp)|*.bmp", "bmp", "pic.png",
     "\x89PNG"},
};

class ImageToolSave : public ToolEditorEdges, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(ImageToolSave, OffersItsOwnFormatAndWritesWhatTheNameSays) {
    const SaveCase& c = GetParam();
    const auto dir = std::filesystem::temp_directory_path() / "qm_image_tool_save";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    auto* tool = new TChartImageTool(Chart.get());
    tool->SetParentChart(Chart.get());
    std::unique_ptr<TGraphic> g = c.Make();
    tool->Picture()->SetGraphic(g.get());
    auto form = Open<TChartImageToolEditor>(tool);
    Responder.ExpectSave((dir / c.Answer).c_str());
    SimulateClick(form->BSave);
    ASSERT_TRUE(Responder.Done());
    const TDialogRequest& shown = Responder.Shown().back();
    EXPECT_EQ(shown.Filter, c.Filter);
    EXPECT_EQ(shown.FilterIndex, 1);
    EXPECT_EQ(shown.DefaultExt, c.DefaultExt);
    const std::filesystem::path written = dir / c.Written;
    std::ifstream f(written, std::ios::binary);
    std::string head(c.Magic.size(), '\0');
    f.read(head.data(), std::streamsize(head.size()));
    EXPECT_EQ(head, c.Magic) << written;
    TPicture back;
    EXPECT_NO_THROW(back.LoadFromFile(written.c_str()));
    EXPECT_EQ(back.Width(), 16);
    std::filesystem::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Formats, ImageToolSave, ::testing::ValuesIn(SaveCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(ToolEditorEdges, ImageToolSaveNamesAnExtensionNoPictureHas) {
    auto* tool = new TChartImageTool(Chart.get());
    tool->SetParentChart(Chart.get());
    tool->Picture()->SetGraphic(Raster<TPngImage>().get());
    auto form = Open<TChartImageToolEditor>(tool);
    const auto file = std::filesystem::temp_directory_path() / "qm_image_tool.txt";
    std::filesystem::remove(file);
    Responder.ExpectSave(file.c_str()).ExpectMessage("(.txt)", IDOK);
    SimulateClick(form->BSave);
    EXPECT_TRUE(Responder.Done());
    EXPECT_FALSE(std::filesystem::exists(file));
}

} // namespace
