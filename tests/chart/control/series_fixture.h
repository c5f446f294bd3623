#pragma once
// A plain chart for series pictures: no bevel, title, legend, axes or walls
// unless a test turns them on; frames are drawn into a bitmap whose pixels the
// tests read. QM_SAVE_PNG=<folder> keeps each picture for a look.
#include "chart/control/chart.h"
#include "chart/control/chartparts.h"
#include "chart/control/series.h"
#include "chart/control/teestore.h"
#include "platform/classes/streams.h"
#include "platform/graphics/jpeg.h"
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>

class SeriesChartTest : public ::testing::Test {
protected:
    static constexpr int W = 400;
    static constexpr int H = 300;

    SeriesChartTest() : Chart(std::make_unique<TChart>(nullptr)) {
        Chart->SetBevelOuter(bvNone);
        Chart->SetColor(clWhite);
        Chart->SetView3D(false);
        Chart->SetWidth(W);
        Chart->SetHeight(H);
        Chart->Title()->SetVisible(false);
        Chart->Legend()->SetVisible(false);
        Chart->SetAxisVisible(false);
        Chart->BackWall()->Pen()->SetVisible(false);
        Chart->BackWall()->SetTransparent(true);
    }

    // A damaged chart file is refused, and the chart read into keeps no series.
    static void ExpectRefused(const std::string& File) {
        TMemoryStream bad;
        bad.WriteBuffer(File.data(), static_cast<int64_t>(File.size()));
        bad.SetPosition(0);
        TCustomChart* back = new TChart(nullptr);
        std::unique_ptr<TCustomChart> keep(back);
        EXPECT_ANY_THROW(LoadChartFromStream(back, &bad));
        EXPECT_EQ(back->SeriesCount(), 0);
    }

    template <typename T> T* Add() {
        auto* s = new T(Chart.get());
        s->SetParentChart(Chart.get());
        s->SetSeriesColor(clRed);
        s->Marks()->SetVisible(false);
        return s;
    }

    // Both axes fixed to the given ranges.
    void Ranges(double XMin, double XMax, double YMin, double YMax) {
        Chart->BottomAxis()->SetMinMax(XMin, XMax);
        Chart->LeftAxis()->SetMinMax(YMin, YMax);
    }

    void Render(const std::string& Name) {
        Picture = std::make_unique<TBitmap>(W, H);
        Chart->Draw(Picture->Canvas(), TRect(0, 0, W, H));
        if (const char* dir = std::getenv("QM_SAVE_PNG")) {
            TPngImage png;
            png.Bitmap()->Assign(Picture.get());
            png.SaveToFile(AnsiString(std::string(dir) + "/" + Name + ".png"));
        }
    }

    TColor Pixel(int X, int Y) { return Picture->Canvas()->Pixels(X, Y); }
    int XPos(double V) { return Chart->BottomAxis()->CalcXPosValue(V); }
    int YPos(double V) { return Chart->LeftAxis()->CalcYPosValue(V); }

    // Pixels of Colour in the rectangle (right and bottom excluded).
    int Count(TColor Colour, const TRect& R) {
        int n = 0;
        for (int y = std::max(0, R.Top); y < std::min(H, R.Bottom); ++y)
            for (int x = std::max(0, R.Left); x < std::min(W, R.Right); ++x)
                if (Pixel(x, y) == Colour) ++n;
        return n;
    }
    TRect Bounds(TColor Colour) {
        TRect r(W, H, -1, -1);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (Pixel(x, y) == Colour) {
                    r.Left = std::min<int>(r.Left, x);
                    r.Top = std::min<int>(r.Top, y);
                    r.Right = std::max<int>(r.Right, x + 1);
                    r.Bottom = std::max<int>(r.Bottom, y + 1);
                }
        return r;
    }

    std::unique_ptr<TChart> Chart;
    std::unique_ptr<TBitmap> Picture;
};
