// Print-outs of charts into PDF files: a chart clipped to its projected walls
// prints about as lean as the same chart in 2D (the clip is written as its
// shape, once, not as rows of pixels before every call); a proportional print
// has the chart's proportions; a file that cannot be written is named.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/series_pie.h"
#include "platform/graphics/printers.h"
#include "support/external_tool.h"
#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

struct TView {
    const char* Name;
    bool Orthogonal;
    int Rotation, Elevation, Perspective;
};

uintmax_t PrintedBytes(const TView* View) {
    TChart chart(nullptr);
    chart.SetBounds(0, 0, 600, 400);
    chart.SetView3D(View != nullptr);
    if (View) {
        chart.View3DOptions()->SetOrthogonal(View->Orthogonal);
        chart.View3DOptions()->SetRotation(View->Rotation);
        chart.View3DOptions()->SetElevation(View->Elevation);
        chart.View3DOptions()->SetPerspective(View->Perspective);
    }
    auto* s = new TLineSeries(&chart);
    s->SetParentChart(&chart);
    for (int i = 0; i < 230; ++i)
        s->AddXY(i, 100 * std::exp(-i / 80.0) + 5 * std::sin(i * 0.3));
    // One name a process: test runs side by side must not print into each other's file.
    const std::string pdf = (std::filesystem::temp_directory_path() /
                             ("qm_chart_print_" + std::to_string(getpid()) + ".pdf"))
                                .string();
    TPrinter printer;
    printer.SetOutputFile(pdf.c_str());
    TPrinter* old = SetPrinter(&printer);
    chart.Print();
    SetPrinter(old);
    const uintmax_t bytes = std::filesystem::file_size(pdf);
    std::filesystem::remove(pdf);
    return bytes;
}

class ChartPrint3D : public ::testing::TestWithParam<TView> {};

TEST_P(ChartPrint3D, PrintsWithinTwiceTheFlatChartsSize) {
    const uintmax_t flat = PrintedBytes(nullptr);
    const TView view = GetParam();
    EXPECT_LT(PrintedBytes(&view), 2 * flat) << "flat " << flat;
}

INSTANTIATE_TEST_SUITE_P(Views, ChartPrint3D,
                         ::testing::Values(TView{"Rotated", false, 330, 340, 15},
                                           TView{"TurnedFar", false, 290, 350, 40},
                                           TView{"Orthogonal", true, 345, 345, 15}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// A job that cannot put its file in place says so and why, not that no job runs.
TEST(ChartPrint, AFileThatCannotBeWrittenIsNamed) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("qm_chart_print_dir_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    TChart chart(nullptr);
    chart.SetBounds(0, 0, 200, 100);
    TPrinter printer;
    printer.SetOutputFile(dir.string().c_str());
    TPrinter* old = SetPrinter(&printer);
    std::string message;
    try {
        chart.Print();
    } catch (const std::exception& e) {
        message = e.what();
    }
    SetPrinter(old);
    EXPECT_FALSE(printer.Printing());
    std::filesystem::remove_all(dir);
    EXPECT_EQ(message, "Cannot create file \"" + dir.string() + "\". Is a directory");
}

// A folder that does not exist is refused before the job starts, as every
// other writer refuses it, and none is made.
TEST(ChartPrint, AFileInAFolderThatDoesNotExistIsRefusedNamingIt) {
    const auto dir = std::filesystem::temp_directory_path() / "qm_no_such_folder";
    std::filesystem::remove_all(dir);
    const std::string pdf = (dir / "run.pdf").string();
    TChart chart(nullptr);
    chart.SetBounds(0, 0, 200, 100);
    TPrinter printer;
    printer.SetOutputFile(pdf.c_str());
    TPrinter* old = SetPrinter(&printer);
    std::string message;
    try {
        chart.Print();
    } catch (const std::exception& e) {
        message = e.what();
    }
    SetPrinter(old);
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(message, "Cannot create file \"" + pdf + "\". No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(dir));
}

// The printed page rendered back at 72 pixels an inch: the smallest rectangle
// of pixels of about one colour (blue in the high byte, as TColor).
struct TPage {
    int Width = 0, Height = 0;
    std::vector<unsigned char> Rgb;
    TRect Extent(TColor C) const {
        TRect r(Width, Height, -1, -1);
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                const unsigned char* p = &Rgb[(size_t(y) * Width + x) * 3];
                if (std::abs(p[0] - int(C & 0xFF)) < 24 &&
                    std::abs(p[1] - int(C >> 8 & 0xFF)) < 24 &&
                    std::abs(p[2] - int(C >> 16 & 0xFF)) < 24) {
                    r.Left = std::min<int>(r.Left, x);
                    r.Top = std::min<int>(r.Top, y);
                    r.Right = std::max<int>(r.Right, x + 1);
                    r.Bottom = std::max<int>(r.Bottom, y + 1);
                }
            }
        return r;
    }
};

TPage PrintedPage(TChart* Chart, TPrinterOrientation Orientation) {
    const auto dir = std::filesystem::temp_directory_path();
    const std::string pdf = (dir / "qm_proportional.pdf").string();
    const std::string ppm = (dir / "qm_proportional").string();
    TPrinter printer;
    printer.SetOutputFile(pdf.c_str());
    printer.SetOrientation(Orientation);
    TPrinter* old = SetPrinter(&printer);
    Chart->Print();
    SetPrinter(old);
    TPage page;
    if (std::system(("pdftoppm -r 72 -singlefile " + pdf + " " + ppm).c_str()) == 0) {
        std::ifstream f(ppm + ".ppm", std::ios::binary);
        std::string magic;
        int maxValue = 0;
        f >> magic >> page.Width >> page.Height >> maxValue;
        f.get();
        page.Rgb.resize(size_t(std::max(0, page.Width)) * std::max(0, page.Height) * 3);
        f.read(reinterpret_cast<char*>(page.Rgb.data()), std::streamsize(page.Rgb.size()));
    }
    std::filesystem::remove(pdf);
    std::filesystem::remove(ppm + ".ppm");
    return page;
}

// On either orientation a proportional print has the chart's width to height,
// so a round pie stays round.
TEST(ChartPrint, AProportionalPrintKeepsTheChartsShape) {
    QM_REQUIRE_TOOL("pdftoppm");
    constexpr TColor Back = 0x00B4E6FA, Slice = 0x00C08040;
    const bool oldPanel = PrintTeePanel;
    PrintTeePanel = true; // the panel's colour shows where the chart lies
    for (const TPrinterOrientation o : {poPortrait, poLandscape}) {
        SCOPED_TRACE(o == poPortrait ? "portrait" : "landscape");
        TChart chart(nullptr);
        chart.SetBevelOuter(bvNone);
        chart.SetBounds(0, 0, 400, 250);
        chart.SetColor(Back);
        chart.SetView3D(false);
        chart.Legend()->SetVisible(false);
        ASSERT_TRUE(chart.PrintProportional());
        auto* pie = new TPieSeries(&chart);
        pie->SetParentChart(&chart);
        pie->AddPie(1, "", Slice);
        pie->Marks()->SetVisible(false);
        pie->SetCircled(true);
        chart.Draw();
        TRect onWindow(400, 250, -1, -1);
        for (int y = 0; y < 250; ++y)
            for (int x = 0; x < 400; ++x)
                if ((chart.ControlCanvas()->Pixels(x, y) & 0xFFFFFF) == Slice)
                    onWindow =
                        TRect(std::min<int>(onWindow.Left, x), std::min<int>(onWindow.Top, y),
                              std::max<int>(onWindow.Right, x + 1),
                              std::max<int>(onWindow.Bottom, y + 1));
        ASSERT_NEAR(onWindow.Width(), onWindow.Height(), 1) << "the window's pie is round";
        const TPage page = PrintedPage(&chart, o);
        ASSERT_GT(page.Width, 0);
        const TRect printed = page.Extent(Back), round = page.Extent(Slice);
        ASSERT_GT(printed.Height(), 0);
        ASSERT_GT(round.Height(), 0);
        // Margins are whole percents of the page: half a percent of it either
        // way on each side, a few hundredths of the proportions.
        EXPECT_NEAR(double(printed.Width()) / printed.Height(), 400.0 / 250, 0.06)
            << printed.Width() << " x " << printed.Height();
        EXPECT_NEAR(double(round.Width()) / round.Height(), 1.0, 0.04)
            << round.Width() << " x " << round.Height();
    }
    PrintTeePanel = oldPanel;
}

} // namespace
