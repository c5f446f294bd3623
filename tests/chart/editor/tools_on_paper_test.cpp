// Tools on every output: the window, the print preview, a printed PDF page
// (rendered back with pdftoppm) and the bitmap and metafile exports each show
// a tool at the same place relative to the chart.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/tool_bands.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/tool_hints.h"
#include "chart/control/tool_series.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teeexportformats.h"
#include "chart/editor/teepreviewpanel.h"
#include "platform/classes/streams.h"
#include "platform/forms/testhooks.h"
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

struct TToolCase {
    const char* Name;
    TColor Mark; // the colour only the tool draws
    // The edges compared: a box around text has the size of its text, which
    // printer fonts draw a little narrower than the screen's, and the window's
    // exclusive-or cursor line takes other colours over the plot's frame.
    const char* Edges;
    std::function<void(TChart*, TChartSeries*)> Add;
};

void Annotation(TChart* C, TAnnotationTool* A, TColor Color) {
    A->SetParentChart(C);
    A->Shape()->SetColor(Color);
    A->Shape()->Font()->SetColor(Color);
}

const TToolCase ToolCases[] = {
    {"AnnotationLeftTop", clBlue, "LTB",
     [](TChart* C, TChartSeries*) {
         auto* a = new TAnnotationTool(C);
         a->SetText("Left top");
         Annotation(C, a, clBlue);
     }},
    {"AnnotationRightBottom", clBlue, "RTB",
     [](TChart* C, TChartSeries*) {
         auto* a = new TAnnotationTool(C);
         a->SetText("Right bottom");
         a->SetPosition(ppRightBottom);
         Annotation(C, a, clBlue);
     }},
    {"AnnotationCustom", clBlue, "LTB",
     [](TChart* C, TChartSeries*) {
         auto* a = new TAnnotationTool(C);
         a->SetText("Custom");
         a->Shape()->SetCustomPosition(true);
         a->Shape()->SetLeft(150);
         a->Shape()->SetTop(120);
         Annotation(C, a, clBlue);
     }},
    {"AnnotationCallout", clRed, "RB",
     [](TChart* C, TChartSeries*) {
         auto* a = new TAnnotationTool(C);
         a->SetText("Callout");
         Annotation(C, a, clBlue);
         a->Callout()->Arrow()->SetVisible(true);
         a->Callout()->Arrow()->SetColor(clRed);
         a->Callout()->Arrow()->SetWidth(2);
         a->Callout()->SetXPosition(250);
         a->Callout()->SetYPosition(200);
     }},
    {"PageNumber", clFuchsia, "RTB",
     [](TChart* C, TChartSeries*) {
         auto* a = new TPageNumTool(C);
         a->SetPosition(ppRightTop);
         Annotation(C, a, clFuchsia);
     }},
    {"Image", clLime, "LTRB",
     [](TChart* C, TChartSeries*) {
         auto* t = new TChartImageTool(C);
         TBitmap b(8, 8);
         b.Canvas()->Brush()->SetColor(clLime);
         b.Canvas()->FillRect(TRect(0, 0, 8, 8));
         t->Picture()->SetGraphic(&b);
         t->SetParentChart(C);
     }},
    {"ColorBand", clAqua, "LTRB",
     [](TChart* C, TChartSeries*) {
         auto* t = new TColorBandTool(C);
         t->SetAxis(C->LeftAxis());
         t->SetStartValue(20);
         t->SetEndValue(40);
         t->SetColor(clAqua);
     }},
    {"CursorLine", clBlue, "LR",
     [](TChart* C, TChartSeries*) {
         auto* t = new TCursorTool(C);
         t->SetStyle(cssVertical);
         t->Pen()->SetColor(clBlue);
         t->SetParentChart(C);
         C->Draw(); // the axes place the value
         t->SetXValue(3.5);
     }},
    {"NearestPointLine", clPurple, "LTRB",
     [](TChart* C, TChartSeries* S) {
         auto* t = new TNearestTool(C);
         t->SetSeries(S);
         t->SetStyle(hsNone);
         t->Pen()->SetColor(clPurple);
         t->Pen()->SetWidth(2);
         t->SetParentChart(C);
         C->Draw();
         SimulateMouse(C, TMouseAction::Move, mbLeft, S->CalcXPos(4) - 40, S->CalcYPos(4) + 30);
     }},
};

class ToolsOnOutputs : public ::testing::TestWithParam<TToolCase> {
protected:
    void SetUp() override {
        TeeRegisterPrintAndExport();
        // The panel's colour on paper too: it shows where the chart lies.
        PrintTeePanel = true;
        Chart = std::make_unique<TChart>();
        Chart->SetBevelOuter(bvNone);
        Chart->SetBounds(0, 0, ChartW, ChartH);
        Chart->SetView3D(false);
        Chart->SetColor(PanelColor);
        // The chart keeps its proportions on the page, as its text does.
        Chart->SetPrintProportional(true);
        Chart->Legend()->SetVisible(false);
        auto* line = new TLineSeries(Chart.get());
        line->SetParentChart(Chart.get());
        line->SetSeriesColor(clBlack);
        for (int i = 0; i <= 10; ++i)
            line->AddXY(i, (i * 37) % 100);
        GetParam().Add(Chart.get(), line);
    }

    TPicturePixels Window() {
        Chart->Draw();
        return FromCanvas(Chart->ControlCanvas(), ChartW, ChartH);
    }
    TPicturePixels BitmapExport() {
        TBMPExportFormat f;
        f.Panel = Chart.get();
        TMemoryStream m;
        f.SaveToStream(&m);
        m.SetPosition(0);
        TBitmap b;
        b.LoadFromStream(&m);
        return FromCanvas(b.Canvas(), b.Width(), b.Height());
    }
    TPicturePixels MetafileExport() {
        TEMFExportFormat f;
        f.Panel = Chart.get();
        TMemoryStream m;
        f.SaveToStream(&m);
        m.SetPosition(0);
        TMetafile meta;
        meta.LoadFromStream(&m);
        TBitmap b(meta.Width(), meta.Height());
        b.Canvas()->Draw(0, 0, &meta);
        return FromCanvas(b.Canvas(), b.Width(), b.Height());
    }
    TPicturePixels Preview() {
        TForm host(nullptr);
        host.SetBounds(0, 0, 700, 600);
        auto* p = new TTeePreviewPanel(&host);
        p->SetParent(&host);
        p->SetBevelOuter(bvNone);
        p->SetBounds(0, 0, 640, 560);
        p->Margins()->SetVisible(false);
        p->SetPanel(Chart.get());
        host.Show();
        p->Draw();
        return FromCanvas(p->ControlCanvas(), 640, 560);
    }
    // Printed into a PDF file and rendered back; empty where a real printer is set up.
    TPicturePixels Paper() {
        TPrinter printer;
        if (printer.Printers()->Count() != 1 || printer.Printers()->Strings(0) != "PDF file")
            return {};
        const auto dir = std::filesystem::temp_directory_path();
        const std::string pdf = (dir / "qm_tools_on_paper.pdf").string();
        const std::string ppm = (dir / "qm_tools_on_paper").string();
        printer.SetPdfOutputPath(pdf.c_str());
        printer.SetOrientation(poLandscape);
        TPrinter* old = SetPrinter(&printer);
        TDialogResponder responder;
        responder.ExpectMessage("The print-out was saved as", IDOK);
        Chart->Print();
        SetPrinter(old);
        TPicturePixels p;
        if (std::system(("pdftoppm -r 96 -singlefile " + pdf + " " + ppm).c_str()) == 0)
            p = ReadPpm(ppm + ".ppm");
        std::filesystem::remove(pdf);
        std::filesystem::remove(ppm + ".ppm");
        return p;
    }

    void TearDown() override { PrintTeePanel = false; }

    std::unique_ptr<TChart> Chart;
};

TEST_P(ToolsOnOutputs, LandsWhereTheWindowShowsIt) {
    QM_REQUIRE_TOOL("pdftoppm");
    const TToolCase& c = GetParam();
    const TPicturePixels window = Window();
    Shot(window, std::string(c.Name) + " window");
    const TRect chartOnWindow = Extent(window, PanelColor);
    ASSERT_EQ(chartOnWindow, TRect(0, 0, ChartW, ChartH));
    const TRect toolOnWindow = Extent(window, c.Mark);
    ASSERT_FALSE(toolOnWindow.IsEmpty()) << "the tool is not on the window";
    const TPlace want = Relative(toolOnWindow, chartOnWindow);
    const std::pair<const char*, std::function<TPicturePixels()>> outputs[] = {
        {"bitmap export", [&] { return BitmapExport(); }},
        {"metafile export", [&] { return MetafileExport(); }},
        {"print preview", [&] { return Preview(); }},
        {"printed page", [&] { return Paper(); }},
    };
    for (const auto& [name, make] : outputs) {
        const TPicturePixels out = make();
        if (out.Px.empty()) continue;
        Shot(out, std::string(c.Name) + " " + name);
        const TRect chart = Extent(out, PanelColor);
        const TRect tool = Extent(out, c.Mark);
        ASSERT_FALSE(chart.IsEmpty()) << name << ": the chart is missing";
        if (tool.IsEmpty()) {
            ADD_FAILURE() << name << ": the tool is missing";
            continue;
        }
        const TPlace got = Relative(tool, chart);
        // Two pixels of the smaller picture either way: printer fonts lay the
        // axes out a little differently.
        const double tx = 2.0 / std::min(chart.Width(), ChartW);
        const double ty = 2.0 / std::min(chart.Height(), ChartH);
        const std::string edges = c.Edges;
        const auto off = [&](char Edge, double Got, double Want, double Tolerance) {
            return edges.find(Edge) != std::string::npos && std::abs(Got - Want) > Tolerance;
        };
        EXPECT_FALSE(off('L', got.Left, want.Left, tx) || off('R', got.Right, want.Right, tx) ||
                     off('T', got.Top, want.Top, ty) || off('B', got.Bottom, want.Bottom, ty))
            << name << ": " << Text(got) << ", the window " << Text(want);
    }
}

INSTANTIATE_TEST_SUITE_P(Tools, ToolsOnOutputs, ::testing::ValuesIn(ToolCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
