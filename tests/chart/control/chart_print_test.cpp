// Print-outs of charts into PDF files: a chart clipped to its projected walls
// prints about as lean as the same chart in 2D (the clip is written as its
// shape, once, not as rows of pixels before every call); a file that cannot be
// written is named.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "platform/graphics/printers.h"
#include <gtest/gtest.h>
#include <cmath>
#include <filesystem>
#include <memory>
#include <unistd.h>

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

} // namespace
