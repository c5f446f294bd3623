// Parts with a place of their own on every output: the window, the print
// preview (drawn through a metafile and through a bitmap), a printed PDF page
// (rendered back with pdftoppm), the bitmap, metafile and clipboard exports and
// the anti-aliased picture each show a part at the same place relative to the
// chart, and none of them changes what the chart file stores. The parts come
// from the chart's published framed parts and the tool registry, so a new title
// or tool is checked without a new case.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/series_shape.h"
#include "chart/control/tool_bands.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/tool_drag.h"
#include "chart/control/tool_hints.h"
#include "chart/control/tool_series.h"
#include "chart/control/teeedit.h"
#include "chart/control/teeeditorhooks.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teeexportformats.h"
#include "chart/editor/teepreviewpanel.h"
#include "chart/editor/teeprevi.h"
#include "platform/classes/props.h"
#include "platform/classes/streams.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/clipbrd.h"
#include "platform/graphics/jpeg.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printers.h"
#include "support/external_tool.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr TColor PanelColor = 0x00B4E6FA; // a pale yellow no tool uses
constexpr int ChartW = 400, ChartH = 300;

// An RGB picture of one output, as 0xRRGGBB-free TColor values (blue high).
struct TPicturePixels {
    int Width = 0, Height = 0;
    std::vector<TColor> Px;
    TColor At(int X, int Y) const { return Px[size_t(Y) * Width + X]; }
};

TPicturePixels FromCanvas(TCanvas* C, int W, int H) {
    TPicturePixels p{W, H, {}};
    p.Px.reserve(size_t(W) * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            p.Px.push_back(static_cast<TColor>(ColorToRGB(C->Pixels(x, y)) & 0xFFFFFF));
    return p;
}

// Pictures placed on paper come back a little off their colour.
bool Near(TColor A, TColor B) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((A >> shift) & 0xFF) - int((B >> shift) & 0xFF)) > 24) return false;
    return true;
}

// The smallest rectangle holding every pixel of about colour C (empty when none).
TRect Extent(const TPicturePixels& P, TColor C) {
    TRect r(P.Width, P.Height, -1, -1);
    for (int y = 0; y < P.Height; ++y)
        for (int x = 0; x < P.Width; ++x)
            if (Near(P.At(x, y), C)) {
                r.Left = std::min<int>(r.Left, x);
                r.Top = std::min<int>(r.Top, y);
                r.Right = std::max<int>(r.Right, x + 1);
                r.Bottom = std::max<int>(r.Bottom, y + 1);
            }
    return r.Right < 0 ? TRect() : r;
}

// Where a tool lies, as fractions of the chart's own rectangle.
struct TPlace {
    double Left, Top, Right, Bottom;
};

TPlace Relative(const TRect& Tool, const TRect& Chart) {
    const double w = Chart.Width(), h = Chart.Height();
    return {(Tool.Left - Chart.Left) / w, (Tool.Top - Chart.Top) / h, (Tool.Right - Chart.Left) / w,
            (Tool.Bottom - Chart.Top) / h};
}

std::string Text(const TPlace& P) {
    char b[96];
    std::snprintf(b, sizeof b, "(%.3f, %.3f)-(%.3f, %.3f)", P.Left, P.Top, P.Right, P.Bottom);
    return b;
}

// QM_SHOTS=<folder> saves each output as a picture to look at.
void Shot(const TPicturePixels& P, const std::string& Name) {
    const char* dir = std::getenv("QM_SHOTS");
    if (!dir || P.Px.empty()) return;
    TPngImage png;
    TBitmap* b = png.Bitmap();
    b->SetSize(P.Width, P.Height);
    for (int y = 0; y < P.Height; ++y)
        for (int x = 0; x < P.Width; ++x)
            b->Canvas()->SetPixel(x, y, P.At(x, y));
    png.SaveToFile(AnsiString((std::string(dir) + "/" + Name + ".png").c_str()));
}

// A binary PPM (pdftoppm's output).
TPicturePixels ReadPpm(const std::string& File) {
    TPicturePixels p;
    std::ifstream f(File, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    f >> magic >> p.Width >> p.Height >> maxValue;
    f.get();
    if (magic != "P6" || p.Width <= 0 || p.Height <= 0) return {};
    std::vector<unsigned char> bytes(size_t(p.Width) * p.Height * 3);
    f.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    for (size_t i = 0; i + 2 < bytes.size(); i += 3)
        p.Px.push_back(static_cast<TColor>(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16));
    return p;
}

// The smallest rectangle where two pictures of one output differ (empty when
// they are alike): what a part adds to the chart.
TRect Difference(const TPicturePixels& A, const TPicturePixels& B) {
    if (A.Width != B.Width || A.Height != B.Height) return TRect();
    TRect r(A.Width, A.Height, -1, -1);
    for (int y = 0; y < A.Height; ++y)
        for (int x = 0; x < A.Width; ++x)
            if (A.At(x, y) != B.At(x, y)) {
                r.Left = std::min<int>(r.Left, x);
                r.Top = std::min<int>(r.Top, y);
                r.Right = std::max<int>(r.Right, x + 1);
                r.Bottom = std::max<int>(r.Bottom, y + 1);
            }
    return r.Right < 0 ? TRect() : r;
}

// Sets a part up on a chart; Shown false makes the same chart without it (a
// part that moves others shows them moved in both).
using TArrange = std::function<void(TChart*, TChartSeries*, bool Shown)>;

struct TPartCase {
    std::string Name;
    TArrange Arrange;
};

void Annotation(TChart* C, TAnnotationTool* A, TColor Color) {
    A->SetParentChart(C);
    A->Shape()->SetColor(Color);
    A->Shape()->Font()->SetColor(Color);
}

TArrange Only(std::function<void(TChart*, TChartSeries*)> Add) {
    return [Add](TChart* C, TChartSeries* S, bool Shown) {
        if (Shown) Add(C, S);
    };
}

// What a registered tool needs beyond its series or axis before it shows.
const std::map<std::string, std::function<void(TTeeCustomTool*, TChart*, TChartSeries*)>>&
ToolSetUps() {
    static const std::map<std::string, std::function<void(TTeeCustomTool*, TChart*, TChartSeries*)>>
        setUps = {
            {"TAnnotationTool",
             [](TTeeCustomTool* T, TChart*, TChartSeries*) {
                 auto* a = static_cast<TAnnotationTool*>(T);
                 a->SetText("Custom");
                 a->Shape()->SetLeft(150);
                 a->Shape()->SetTop(120);
                 a->Callout()->Arrow()->SetVisible(true);
                 a->Callout()->SetXPosition(250);
                 a->Callout()->SetYPosition(200);
             }},
            {"TChartImageTool",
             [](TTeeCustomTool* T, TChart*, TChartSeries*) {
                 TBitmap b(8, 8);
                 b.Canvas()->Brush()->SetColor(clLime);
                 b.Canvas()->FillRect(TRect(0, 0, 8, 8));
                 static_cast<TChartImageTool*>(T)->Picture()->SetGraphic(&b);
             }},
            {"TColorBandTool",
             [](TTeeCustomTool* T, TChart*, TChartSeries*) {
                 auto* t = static_cast<TColorBandTool*>(T);
                 t->SetStartValue(20);
                 t->SetEndValue(40);
                 t->SetColor(clAqua);
             }},
            {"TColorLineTool",
             [](TTeeCustomTool* T, TChart*, TChartSeries*) {
                 static_cast<TColorLineTool*>(T)->SetValue(60);
             }},
            {"TCursorTool",
             [](TTeeCustomTool* T, TChart* C, TChartSeries*) {
                 C->Draw(); // the axes place the values
                 static_cast<TCursorTool*>(T)->SetXValue(3.5);
                 static_cast<TCursorTool*>(T)->SetYValue(55);
             }},
            {"TNearestTool",
             [](TTeeCustomTool* T, TChart* C, TChartSeries* S) {
                 static_cast<TNearestTool*>(T)->SetStyle(hsNone);
                 C->Draw();
                 SimulateMouse(C, TMouseAction::Move, mbLeft, S->CalcXPos(4) - 40,
                               S->CalcYPos(4) + 30);
             }},
            {"TDrawLineTool",
             [](TTeeCustomTool*, TChart* C, TChartSeries*) {
                 C->Draw();
                 SimulateMouse(C, TMouseAction::Down, mbLeft, 120, 90);
                 SimulateMouse(C, TMouseAction::Move, mbLeft, 200, 160);
                 SimulateMouse(C, TMouseAction::Up, mbLeft, 200, 160);
             }},
        };
    return setUps;
}

// Every registered tool, made from its class and bound to the line series and
// the left axis, as the editor's new-tool dialog would.
std::vector<TPartCase> RegisteredTools() {
    TeeRegisterStandardTools();
    std::vector<TPartCase> cases;
    for (int i = 0; i < TeeToolTypes().Count(); ++i) {
        const TClass tc = TeeToolTypes().Get(i);
        cases.push_back({tc->Name, Only([tc](TChart* C, TChartSeries* S) {
                             auto* t = static_cast<TTeeCustomTool*>(tc->Factory(C));
                             if (auto* ts = dynamic_cast<TTeeCustomToolSeries*>(t))
                                 ts->SetSeries(S);
                             if (auto* ta = dynamic_cast<TTeeCustomToolAxis*>(t))
                                 ta->SetAxis(C->LeftAxis());
                             t->SetParentChart(C);
                             const auto& setUps = ToolSetUps();
                             if (auto s = setUps.find(tc->Name); s != setUps.end())
                                 s->second(t, C, S);
                         })});
    }
    return cases;
}

// The chart's framed parts with a position of their own (titles, legend),
// found among its published properties, each placed at a spot of its own.
std::vector<TPartCase> FramedParts() {
    std::vector<TPartCase> cases;
    int n = 0;
    for (const TPropInfo* p : GetPropList(&TChart::ClassInfo)) {
        if (p->Kind != TPropKind::Object || !p->PropClass ||
            !p->PropClass->InheritsFrom(&TTeeCustomShapePosition::ClassInfo))
            continue;
        const std::string name = p->Name.c_str();
        const int spot = n++;
        cases.push_back({name + "Custom", [name, spot](TChart* C, TChartSeries*, bool Shown) {
                             auto* part = static_cast<TTeeCustomShapePosition*>(
                                 GetPropInfo(C->ClassType(), name.c_str())->GetObj(C));
                             if (auto* title = dynamic_cast<TChartTitle*>(part))
                                 title->SetCaption(name.c_str());
                             part->SetVisible(Shown);
                             part->Font()->SetColor(clNavy);
                             part->SetLeft(151 - 20 * spot);
                             part->SetTop(121 + 25 * spot);
                         }});
    }
    return cases;
}

// The axes are held still: a shape's pixels would otherwise stretch their
// ranges, and the whole plot would differ.
TArrange PixelShape(TRect R) {
    return [R](TChart* C, TChartSeries*, bool Shown) {
        C->BottomAxis()->SetMinMax(0, 10);
        C->LeftAxis()->SetMinMax(0, 100);
        if (!Shown) return;
        auto* s = new TChartShape(C);
        s->SetParentChart(C);
        s->SetStyle(chasRectangle);
        s->SetSeriesColor(clTeal);
        s->SetShapeRectangle(R);
    };
}

std::vector<TPartCase> PartCases() {
    std::vector<TPartCase> cases = FramedParts();
    const std::vector<TPartCase> tools = RegisteredTools();
    cases.insert(cases.end(), tools.begin(), tools.end());
    const TPartCase more[] = {
        {"AnnotationLeftTop", Only([](TChart* C, TChartSeries*) {
             auto* a = new TAnnotationTool(C);
             a->SetText("Left top");
             Annotation(C, a, clBlue);
         })},
        {"AnnotationRightBottom", Only([](TChart* C, TChartSeries*) {
             auto* a = new TAnnotationTool(C);
             a->SetText("Right bottom");
             a->SetPosition(ppRightBottom);
             Annotation(C, a, clBlue);
         })},
        {"AnnotationCustom", Only([](TChart* C, TChartSeries*) {
             auto* a = new TAnnotationTool(C);
             a->SetText("Custom");
             a->Shape()->SetCustomPosition(true);
             a->Shape()->SetLeft(150);
             a->Shape()->SetTop(120);
             Annotation(C, a, clBlue);
         })},
        {"AnnotationCallout", Only([](TChart* C, TChartSeries*) {
             auto* a = new TAnnotationTool(C);
             a->SetText("Callout");
             Annotation(C, a, clBlue);
             a->Callout()->Arrow()->SetVisible(true);
             a->Callout()->Arrow()->SetColor(clRed);
             a->Callout()->Arrow()->SetWidth(2);
             a->Callout()->SetXPosition(250);
             a->Callout()->SetYPosition(200);
         })},
        {"PageNumber", Only([](TChart* C, TChartSeries*) {
             auto* a = new TPageNumTool(C);
             a->SetPosition(ppRightTop);
             Annotation(C, a, clFuchsia);
         })},
        {"CursorLine", Only([](TChart* C, TChartSeries*) {
             auto* t = new TCursorTool(C);
             t->SetStyle(cssVertical);
             t->Pen()->SetColor(clBlue);
             t->SetParentChart(C);
             C->Draw();
             t->SetXValue(3.5);
         })},
        {"NearestPointLine", Only([](TChart* C, TChartSeries* S) {
             auto* t = new TNearestTool(C);
             t->SetSeries(S);
             t->SetStyle(hsNone);
             t->Pen()->SetColor(clPurple);
             t->Pen()->SetWidth(2);
             t->SetParentChart(C);
             C->Draw();
             SimulateMouse(C, TMouseAction::Move, mbLeft, S->CalcXPos(4) - 40, S->CalcYPos(4) + 30);
         })},
        // Both charts show the marks; one has the fourth dragged by the mouse.
        {"DraggedMark",
         [](TChart* C, TChartSeries* S, bool Shown) {
             S->Marks()->SetVisible(true);
             auto* t = new TDragMarksTool(C);
             t->SetParentChart(C);
             C->Draw();
             if (!Shown) return;
             const TSeriesMarkPosition* m = S->Marks()->Positions()->Get(4);
             ASSERT_NE(m, nullptr);
             const int x = m->LeftTop.x + m->Width / 2, y = m->LeftTop.y + m->Height / 2;
             SimulateMouse(C, TMouseAction::Down, mbLeft, x, y);
             SimulateMouse(C, TMouseAction::Move, mbLeft, x - 70, y + 90);
             SimulateMouse(C, TMouseAction::Up, mbLeft, x - 70, y + 90);
         }},
        {"ShapeInPixels", PixelShape(TRect(230, 60, 300, 110))},
        {"SmallShapeInPixels", PixelShape(TRect(60, 40, 68, 46))},
    };
    cases.insert(cases.end(), std::begin(more), std::end(more));
    return cases;
}

std::string ChartFile(TChart* C) {
    TMemoryStream m;
    SaveChartToStream(C, &m, true, true);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

class PartsOnOutputs : public ::testing::TestWithParam<TPartCase> {
protected:
    void SetUp() override {
        TeeRegisterPrintAndExport();
        // The panel's colour on paper too: it shows where the chart lies.
        PrintTeePanel = true;
    }

    static std::unique_ptr<TChart> MakeChart(bool Shown) {
        auto chart = std::make_unique<TChart>();
        chart->SetBevelOuter(bvNone);
        chart->SetBounds(0, 0, ChartW, ChartH);
        chart->SetView3D(false);
        chart->SetColor(PanelColor);
        // The chart keeps its proportions on the page, as its text does.
        chart->SetPrintProportional(true);
        chart->Legend()->SetVisible(false);
        auto* line = new TLineSeries(chart.get());
        line->SetParentChart(chart.get());
        line->SetSeriesColor(clBlack);
        for (int i = 0; i <= 10; ++i)
            line->AddXY(i, (i * 37) % 100);
        GetParam().Arrange(chart.get(), line, Shown);
        return chart;
    }

    static TPicturePixels Window(TChart* C) {
        C->Draw();
        return FromCanvas(C->ControlCanvas(), ChartW, ChartH);
    }
    static TPicturePixels BitmapExport(TChart* C) {
        TBMPExportFormat f;
        f.Panel = C;
        TMemoryStream m;
        f.SaveToStream(&m);
        m.SetPosition(0);
        TBitmap b;
        b.LoadFromStream(&m);
        return FromCanvas(b.Canvas(), b.Width(), b.Height());
    }
    static TPicturePixels MetafileExport(TChart* C) {
        TEMFExportFormat f;
        f.Panel = C;
        TMemoryStream m;
        f.SaveToStream(&m);
        m.SetPosition(0);
        TMetafile meta;
        meta.LoadFromStream(&m);
        TBitmap b(meta.Width(), meta.Height());
        b.Canvas()->Draw(0, 0, &meta);
        return FromCanvas(b.Canvas(), b.Width(), b.Height());
    }
    static TPicturePixels Clipboard(TChart* C) {
        C->CopyToClipboardBitmap();
        TBitmap b;
        b.Assign(::Clipboard());
        return FromCanvas(b.Canvas(), b.Width(), b.Height());
    }
    // The preview window, opened as the commander's and the editor's buttons open it.
    static TPicturePixels Preview(TChart* C) {
        return InPreviewWindow([C] { ChartPreview(nullptr, C); });
    }
    // A previewer that shows the chart without proportional margins.
    static TPicturePixels Previewer(TChart* C) {
        TChartPreviewer previewer(nullptr);
        previewer.SetChart(C);
        previewer.SetOptions(previewer.Options().Exclude(cpoProportional).Include(cpoPrintPanel));
        return InPreviewWindow([&previewer] { previewer.Execute(); });
    }
    // The previewer asked to draw the chart through a bitmap.
    static TPicturePixels PreviewAsBitmap(TChart* C) {
        TChartPreviewer previewer(nullptr);
        previewer.SetChart(C);
        previewer.SetOptions(previewer.Options().Include(cpoAsBitmap).Include(cpoPrintPanel));
        return InPreviewWindow([&previewer] { previewer.Execute(); });
    }
    static TPicturePixels AntiAliased(TChart* C) {
        const std::unique_ptr<TBitmap> b = TeeAntiAlias(C);
        return FromCanvas(b->Canvas(), b->Width(), b->Height());
    }
    static TPicturePixels InPreviewWindow(const std::function<void()>& Open) {
        TPicturePixels p;
        TPumpScript script;
        script.When([] { return dynamic_cast<TChartPreview*>(Screen->ActiveForm()) != nullptr; })
            .Do([] {
                auto* f = dynamic_cast<TChartPreview*>(Screen->ActiveForm());
                // Large enough that a pixel of the sheet is not much of the part.
                f->SetClientWidth(752);
                f->SetClientHeight(598);
                f->ShowMargins->SetChecked(false);
            })
            .After(1)
            .Do([&p] {
                auto* f = dynamic_cast<TChartPreview*>(Screen->ActiveForm());
                TTeePreviewPanel* panel = f->PreviewPanel();
                panel->Draw();
                p = FromCanvas(panel->ControlCanvas(), panel->Width(), panel->Height());
                SimulateClick(f->BClose);
            });
        Open();
        EXPECT_TRUE(script.Done()) << "the preview did not open";
        return p;
    }
    // Printed into a PDF file and rendered back; empty where a real printer is set up.
    static TPicturePixels Paper(TChart* C) {
        TPrinter printer;
        if (printer.Printers()->Count() != 1 || printer.Printers()->Strings(0) != "PDF file")
            return {};
        const auto dir = std::filesystem::temp_directory_path();
        const std::string pdf = (dir / "qm_parts_on_paper.pdf").string();
        const std::string ppm = (dir / "qm_parts_on_paper").string();
        printer.SetPdfOutputPath(pdf.c_str());
        printer.SetOrientation(poLandscape);
        TPrinter* old = SetPrinter(&printer);
        TDialogResponder responder;
        responder.ExpectMessage("The print-out was saved as", IDOK);
        C->Print();
        SetPrinter(old);
        TPicturePixels p;
        if (std::system(("pdftoppm -r 96 -singlefile " + pdf + " " + ppm).c_str()) == 0)
            p = ReadPpm(ppm + ".ppm");
        std::filesystem::remove(pdf);
        std::filesystem::remove(ppm + ".ppm");
        return p;
    }

    void TearDown() override { PrintTeePanel = false; }
};

TEST_P(PartsOnOutputs, LandWhereTheWindowShowsThemAndMoveNothingStored) {
    QM_REQUIRE_TOOL("pdftoppm");
    const TPartCase& c = GetParam();
    const auto with = MakeChart(true);
    const auto without = MakeChart(false);
    const TPicturePixels window = Window(with.get());
    const std::string stored = ChartFile(with.get());
    Shot(window, c.Name + " window");
    const TRect chartOnWindow = Extent(window, PanelColor);
    ASSERT_EQ(chartOnWindow, TRect(0, 0, ChartW, ChartH));
    const TRect partOnWindow = Difference(window, Window(without.get()));
    // A tool that shows nothing by itself (zooming, rotating, tips) has no place to keep.
    if (partOnWindow.IsEmpty()) GTEST_SKIP() << "shows nothing on the window";
    const TPlace want = Relative(partOnWindow, chartOnWindow);
    using TOutput = TPicturePixels (*)(TChart*);
    // Paper first: whatever printing left behind would show in the rest.
    const std::pair<const char*, TOutput> outputs[] = {
        {"printed page", Paper},         {"print preview", Preview},
        {"previewer", Previewer},        {"preview as bitmap", PreviewAsBitmap},
        {"bitmap export", BitmapExport}, {"metafile export", MetafileExport},
        {"clipboard", Clipboard},        {"anti-aliased", AntiAliased},
    };
    for (const auto& [name, make] : outputs) {
        const TPicturePixels out = make(with.get());
        if (out.Px.empty()) continue;
        Shot(out, c.Name + " " + name);
        const TRect chart = Extent(out, PanelColor);
        const TRect part = Difference(out, make(without.get()));
        ASSERT_FALSE(chart.IsEmpty()) << name << ": the chart is missing";
        if (part.IsEmpty()) {
            ADD_FAILURE() << name << ": the part is missing";
            continue;
        }
        const TPlace got = Relative(part, chart);
        // Three pixels of the window and a tenth of the part either way:
        // printer fonts have widths of their own and lay the axes out by them.
        const double tx = (3.0 + 0.1 * partOnWindow.Width()) / ChartW;
        const double ty = (3.0 + 0.1 * partOnWindow.Height()) / ChartH;
        EXPECT_FALSE(std::abs(got.Left - want.Left) > tx || std::abs(got.Right - want.Right) > tx ||
                     std::abs(got.Top - want.Top) > ty || std::abs(got.Bottom - want.Bottom) > ty)
            << name << ": " << Text(got) << ", the window " << Text(want);
    }
    Window(with.get());
    EXPECT_EQ(ChartFile(with.get()), stored) << "an output changed what the chart stores";
}

INSTANTIATE_TEST_SUITE_P(Parts, PartsOnOutputs, ::testing::ValuesIn(PartCases()),
                         [](const auto& Info) { return Info.param.Name; });

// An export larger than the window lays the chart out as a window of that size
// would: what sits at window pixels of its own stays at them, what sits in a
// corner moves with the corner.
TEST(PartsOnALargerExport, KeepWindowPixelsOrFollowTheirCorner) {
    TeeRegisterPrintAndExport();
    constexpr int W = 600, H = 450;
    struct TCase {
        const char* Name;
        TPoint Shift; // from the window's place: none, or the picture's corner
        TColor Mark;  // the colour only the part has, or none: then what it adds
        std::function<void(TChart*, bool)> Arrange;
    };
    const TCase cases[] = {
        {"DraggedMark",
         {0, 0},
         clLime,
         [](TChart* C, bool Shown) {
             auto* s = new TLineSeries(C);
             s->SetParentChart(C);
             s->AddXY(4, 50);
             s->Marks()->SetVisible(true);
             s->Marks()->SetColor(clLime);
             s->Marks()->Arrow()->SetVisible(false);
             (new TDragMarksTool(C))->SetParentChart(C);
             C->Draw();
             if (!Shown) return;
             const TSeriesMarkPosition* m = s->Marks()->Positions()->Get(0);
             ASSERT_NE(m, nullptr);
             const int x = m->LeftTop.x + m->Width / 2, y = m->LeftTop.y + m->Height / 2;
             SimulateMouse(C, TMouseAction::Down, mbLeft, x, y);
             SimulateMouse(C, TMouseAction::Move, mbLeft, x - 70, y + 90);
             SimulateMouse(C, TMouseAction::Up, mbLeft, x - 70, y + 90);
         }},
        {"AnnotationCustom",
         {0, 0},
         clNone,
         [](TChart* C, bool Shown) {
             if (!Shown) return;
             auto* a = new TAnnotationTool(C);
             a->SetText("Custom");
             a->Shape()->SetLeft(150);
             a->Shape()->SetTop(120);
             a->SetParentChart(C);
         }},
        {"AnnotationRightBottom",
         {W - ChartW, H - ChartH},
         clNone,
         [](TChart* C, bool Shown) {
             if (!Shown) return;
             auto* a = new TAnnotationTool(C);
             a->SetText("Right bottom");
             a->SetPosition(ppRightBottom);
             a->SetParentChart(C);
         }},
    };
    auto exported = [](TChart* C) {
        TBMPExportFormat f;
        f.Panel = C;
        f.Width = W;
        f.Height = H;
        TMemoryStream m;
        f.SaveToStream(&m);
        m.SetPosition(0);
        TBitmap b;
        b.LoadFromStream(&m);
        return FromCanvas(b.Canvas(), b.Width(), b.Height());
    };
    for (const TCase& c : cases) {
        TPicturePixels window[2], picture[2];
        for (int shown = 0; shown < 2; ++shown) {
            TChart chart;
            chart.SetBounds(0, 0, ChartW, ChartH);
            chart.SetView3D(false);
            chart.Legend()->SetVisible(false);
            auto* line = new TLineSeries(&chart);
            line->SetParentChart(&chart);
            for (int i = 0; i <= 10; ++i)
                line->AddXY(i, (i * 37) % 100);
            c.Arrange(&chart, shown == 1);
            chart.Draw();
            window[shown] = FromCanvas(chart.ControlCanvas(), ChartW, ChartH);
            picture[shown] = exported(&chart);
        }
        auto place = [&c](const TPicturePixels* P) {
            return c.Mark != clNone ? Extent(P[1], c.Mark) : Difference(P[1], P[0]);
        };
        TRect want = place(window);
        ASSERT_FALSE(want.IsEmpty()) << c.Name;
        OffsetRect(want, c.Shift.x, c.Shift.y);
        EXPECT_EQ(place(picture), want) << c.Name;
    }
}

} // namespace
