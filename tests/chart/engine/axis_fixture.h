#pragma once
// An axis panel for tests (no walls, titles or legend), a line-drawing series,
// and a recording canvas that measures text with fixed widths: every character
// is 6 pixels wide and every line 10 pixels high.
#include "chart/engine/teengine.h"
#include "support/recording_canvas.h"
#include <gtest/gtest.h>
#include <memory>
#include <vector>

class TAxisTestChart : public TCustomAxisPanel {
public:
    explicit TAxisTestChart(TComponent* AOwner = nullptr) : TCustomAxisPanel(AOwner) {}
    bool IsFreeSeriesColor(TColor AColor, bool CheckBackground) override {
        (void)CheckBackground;
        for (int i = 0; i < SeriesCount(); ++i)
            if (GetSeries(i)->SeriesColor() == AColor) return false;
        return true;
    }
    int CalcWallSize(TChartAxis* Axis) override {
        (void)Axis;
        return 0;
    }

protected:
    void CalcWallsRect() override { CalcSize3DWalls(); }
    void DrawTitlesAndLegend(bool BeforeSeries) override { (void)BeforeSeries; }
    void DrawWalls() override {}
};

// Draws a polyline through its visible points; margins as a 2-pixel pointer.
class TAxisTestSeries : public TChartSeries {
public:
    explicit TAxisTestSeries(TComponent* AOwner = nullptr) : TChartSeries(AOwner) {}
    int Drawn = 0;
    void DrawAllValues() override {
        const int first = FirstVisibleIndex(), last = LastVisibleIndex();
        if (first < 0 || last < first) return;
        FPoints.resize(static_cast<size_t>(last - first + 1));
        TChartAxis* h = GetHorizAxis();
        TChartAxis* v = GetVertAxis();
        const double* x = XValues()->Data();
        const double* y = YValues()->Data();
        for (int i = first; i <= last; ++i)
            FPoints[static_cast<size_t>(i - first)] =
                TPoint(h->CalcXPosValue(x[i]), v->CalcYPosValue(y[i]));
        TCanvas3D* c = ParentChart()->Canvas();
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(1);
        c->Pen()->SetColor(SeriesColor());
        c->Polyline(FPoints.data(), last - first);
        Drawn += last - first + 1;
    }

private:
    std::vector<TPoint> FPoints;
};

// Fixed text metrics, so label choices do not depend on installed fonts.
class TAxisTestCanvas : public TRecordingCanvas {
public:
    explicit TAxisTestCanvas(int Width = 640, int Height = 480) : TRecordingCanvas(Width, Height) {}
    int CharWidth = 6;
    int LineHeight = 10;
    int TextWidth(const AnsiString& Text) override { return CharWidth * Text.Length(); }
    int TextHeight(const AnsiString& Text) override {
        (void)Text;
        return LineHeight;
    }
};

// A 2D panel of 640 x 480 without bevels or margins, drawing on a fixed-text canvas.
class AxisPanelTest : public ::testing::Test {
protected:
    AxisPanelTest() : Chart(std::make_unique<TAxisTestChart>()) {
        Chart->SetBevelOuter(bvNone);
        Chart->SetColor(clWhite);
        Chart->SetView3D(false);
        Chart->SetMarginUnits(muPixels);
        for (int i = 0; i < 4; ++i)
            Chart->SetMargin(i, 0);
        Chart->SetWidth(640);
        Chart->SetHeight(480);
        auto canvas = std::make_unique<TAxisTestCanvas>();
        Canvas = canvas.get();
        Chart->SetInternalCanvas(std::move(canvas));
    }

    TAxisTestSeries* AddSeries() {
        Series.push_back(std::make_unique<TAxisTestSeries>());
        Series.back()->SetParentChart(Chart.get());
        return Series.back().get();
    }

    // One frame into a bitmap of the panel's size.
    void DrawFrame() {
        Target = std::make_unique<TBitmap>(640, 480);
        Canvas->Clear();
        Chart->Draw(Target->Canvas(), TRect(0, 0, 640, 480));
    }

    // Places an axis over pixels Start..End with the given range, outside any frame.
    static void Place(TChartAxis* Axis, int Start, int End, double Min, double Max) {
        Axis->IStartPos = Start;
        Axis->IEndPos = End;
        Axis->IMinimum = Min;
        Axis->IMaximum = Max;
        Axis->RecalcSizeCenter();
    }

    std::unique_ptr<TAxisTestChart> Chart;
    TAxisTestCanvas* Canvas = nullptr;
    std::vector<std::unique_ptr<TAxisTestSeries>> Series;
    std::unique_ptr<TBitmap> Target;

    void TearDown() override {
        // Series go before the chart, as a form frees them.
        for (auto& s : Series)
            s->SetParentChart(nullptr);
        Series.clear();
    }
};
