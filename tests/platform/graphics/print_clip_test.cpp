// Clip regions on printer pages: a PDF print-out rendered back (pdftoppm)
// covers exactly the pixels the same clip covers in a bitmap, and a clip that
// stays the same is written to the page once, however many calls draw in it.
#include "platform/graphics/gdi.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printers.h"
#include "support/external_tool.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string TempPath(const std::string& Name) {
    return (std::filesystem::temp_directory_path() / ("qmclip_" + Name)).string();
}

// Where on the page the compared area lies (device pixels at 600 per inch).
constexpr int X0 = 400, Y0 = 600, W = 1300, H = 1000;

struct TClipCase {
    const char* Name;
    std::vector<TPoint> Polygon; // relative to the compared area
    TRect AndRect;               // also intersected when not empty
};

const std::vector<TClipCase>& ClipCases() {
    static const std::vector<TClipCase> cases = {
        // The projected walls of a rotated 3D plot, as the chart clips them.
        {"rotated cube",
         {{210, 820}, {260, 310}, {520, 240}, {1130, 300}, {1090, 790}, {640, 880}},
         {}},
        {"cube within the printed rectangle",
         {{210, 820}, {260, 310}, {520, 240}, {1130, 300}, {1090, 790}, {640, 880}},
         {300, 200, 1000, 850}},
        // Steep, shallow, horizontal and vertical edges, one a 45 degree diagonal.
        {"star",
         {{650, 20},
          {760, 400},
          {1250, 410},
          {850, 640},
          {1000, 980},
          {650, 760},
          {300, 980},
          {450, 640},
          {50, 410},
          {540, 400}},
         {}},
        {"diagonal", {{100, 100}, {900, 900}, {100, 900}}, {}},
    };
    return cases;
}

// The clip filled black on white; Offset places it on the device.
void PaintClip(TCanvas* C, const TClipCase& Case, TPoint Offset) {
    std::vector<TPoint> p = Case.Polygon;
    for (TPoint& q : p)
        q = {q.x + Offset.x, q.y + Offset.y};
    C->Brush()->SetColor(clWhite);
    C->FillRect(TRect(Offset.x, Offset.y, Offset.x + W, Offset.y + H));
    HRGN r = CreatePolygonRgn(p.data(), int(p.size()), ALTERNATE);
    C->SelectClipRgn(r);
    DeleteObject(r);
    if (!Case.AndRect.IsEmpty())
        C->IntersectClipRect(Case.AndRect.Left + Offset.x, Case.AndRect.Top + Offset.y,
                             Case.AndRect.Right + Offset.x, Case.AndRect.Bottom + Offset.y);
    C->Brush()->SetColor(clBlack);
    // Many calls in the same clip, as a series draws its points.
    for (int i = 0; i < 20; ++i)
        C->FillRect(
            TRect(Offset.x, Offset.y + i * H / 20, Offset.x + W, Offset.y + (i + 1) * H / 20));
    C->SelectClipRgn(nullptr);
}

// A binary PPM (pdftoppm's output) as one black/white flag a pixel.
std::vector<bool> ReadPpm(const std::string& File, int& Width, int& Height) {
    std::ifstream f(File, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    f >> magic >> Width >> Height >> maxValue;
    f.get();
    std::vector<bool> black;
    if (magic != "P6" || Width <= 0 || Height <= 0) return black;
    std::vector<unsigned char> bytes(size_t(Width) * Height * 3);
    f.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    for (size_t i = 0; i + 2 < bytes.size(); i += 3)
        black.push_back(bytes[i] + bytes[i + 1] + bytes[i + 2] < 3 * 128);
    return black;
}

// Prints the case onto a fresh PDF page and renders the compared area back.
std::vector<bool> PrintedPixels(const TClipCase& Case) {
    const std::string pdf = TempPath("page.pdf"), ppm = TempPath("page");
    TPrinter printer;
    printer.SetOutputFile(pdf.c_str());
    printer.BeginDoc();
    PaintClip(printer.Canvas(), Case, TPoint(X0, Y0));
    printer.EndDoc();
    const std::string cmd = "pdftoppm -r 600 -singlefile -x " + std::to_string(X0) + " -y " +
                            std::to_string(Y0) + " -W " + std::to_string(W) + " -H " +
                            std::to_string(H) + " " + pdf + " " + ppm;
    std::vector<bool> page;
    int w = 0, h = 0;
    if (std::system(cmd.c_str()) == 0) page = ReadPpm(ppm + ".ppm", w, h);
    std::remove(pdf.c_str());
    std::remove((ppm + ".ppm").c_str());
    if (w != W || h != H) page.clear();
    return page;
}

class PrintClip : public ::testing::TestWithParam<TClipCase> {};

// The page clips by the clip's shape, rendered smooth: a pixel its edge cuts
// about in half may go either way; every other pixel is the bitmap's.
TEST_P(PrintClip, RenderedPageCoversTheBitmapsPixels) {
    QM_REQUIRE_TOOL("pdftoppm");
    const TClipCase& c = GetParam();
    TBitmap bitmap(W, H);
    PaintClip(bitmap.Canvas(), c, TPoint(0, 0));
    std::vector<bool> want(size_t(W) * H);
    int inked = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            inked += want[size_t(y) * W + x] = bitmap.Canvas()->Pixels(x, y) == clBlack;
    const std::vector<bool> page = PrintedPixels(c);
    ASSERT_EQ(page.size(), want.size());
    const auto at = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < W && y < H && want[size_t(y) * W + x];
    };
    int edge = 0, inside = 0;
    std::string first;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const bool w = at(x, y);
            if (w == page[size_t(y) * W + x]) continue;
            bool onEdge = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    onEdge = onEdge || at(x + dx, y + dy) != w;
            if (onEdge) {
                ++edge;
            } else {
                if (!inside) first = std::to_string(x) + "," + std::to_string(y);
                ++inside;
            }
        }
    EXPECT_GT(inked, W * H / 5);
    EXPECT_EQ(inside, 0) << "first at " << first;
    // Most edge pixels agree too: the shape is not shifted by a pixel.
    EXPECT_LT(edge, 2 * (W + H) / 3);
}

// Drawing many times in one clip writes the clip once: a page of 300 fills
// is not much larger than a page of one.
TEST(PrintClipOnce, ManyCallsInOneClipWriteItOnce) {
    const auto pageBytes = [](int Calls) {
        const std::string pdf = TempPath("calls.pdf");
        TPrinter printer;
        printer.SetOutputFile(pdf.c_str());
        printer.BeginDoc();
        TCanvas* c = printer.Canvas();
        // An ellipse is clipped by its rows: a large clip to write.
        HRGN r = CreateEllipticRgn(300, 300, 2300, 2300);
        c->SelectClipRgn(r);
        DeleteObject(r);
        c->Brush()->SetColor(clRed);
        for (int i = 0; i < Calls; ++i)
            c->FillRect(TRect(300 + i * 6, 300, 306 + i * 6, 2300));
        printer.EndDoc();
        const uintmax_t bytes = std::filesystem::file_size(pdf);
        std::remove(pdf.c_str());
        return bytes;
    };
    const uintmax_t one = pageBytes(1), many = pageBytes(300);
    EXPECT_LT(many, one + 300 * 60) << one;
}

INSTANTIATE_TEST_SUITE_P(Shapes, PrintClip, ::testing::ValuesIn(ClipCases()), [](const auto& Info) {
    std::string n = Info.param.Name;
    for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return n;
});

} // namespace
