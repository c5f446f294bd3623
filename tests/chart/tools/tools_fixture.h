#pragma once
// A 400 x 300 chart on the forms layer with a line series of eleven points
// (X 0..10, Y 0..100), painted through its window buffer, and the mouse.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/tool_series.h"
#include "chart/engine/teeaxis.h"
#include "platform/forms/testhooks.h"
#include <gtest/gtest.h>
#include <memory>
#include <vector>

class ToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Chart = std::make_unique<TChart>();
        Chart->SetBevelOuter(bvNone);
        Chart->SetBounds(0, 0, 400, 300);
        Chart->SetView3D(false);
        Chart->SetColor(clGray);
        Series = new TLineSeries(Chart.get());
        Series->SetParentChart(Chart.get());
        for (int i = 0; i <= 10; ++i)
            Series->AddXY(i, i * 10);
    }
    void Paint() { Chart->Draw(); }
    TCanvas* Window() { return Chart->ControlCanvas(); }
    // Every pixel of the window, to compare whole pictures.
    std::vector<TColor> Snapshot() {
        std::vector<TColor> v;
        v.reserve(400 * 300);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                v.push_back(Window()->Pixels(x, y));
        return v;
    }
    void Down(int X, int Y, TMouseButton B = mbLeft) {
        SimulateMouse(Chart.get(), TMouseAction::Down, B, X, Y);
    }
    void Move(int X, int Y, TMouseButton B = mbLeft) {
        SimulateMouse(Chart.get(), TMouseAction::Move, B, X, Y);
    }
    void Up(int X, int Y, TMouseButton B = mbLeft) {
        SimulateMouse(Chart.get(), TMouseAction::Up, B, X, Y);
    }
    void Drag(int X0, int Y0, int X1, int Y1) {
        Down(X0, Y0);
        Move((X0 + X1) / 2, (Y0 + Y1) / 2);
        Move(X1, Y1);
        Up(X1, Y1);
    }
    TChartAxis* Bottom() { return Chart->BottomAxis(); }
    TChartAxis* Left() { return Chart->LeftAxis(); }

    std::unique_ptr<TChart> Chart;
    TLineSeries* Series = nullptr;
};

// A grid series stand-in: Z values of its own, as the 3D grid series keeps them.
class TGridStandIn : public TPointSeries, public ITeeGridSeries {
public:
    explicit TGridStandIn(TComponent* AOwner) : TPointSeries(AOwner) {
        Z = new TChartValueList(this, "Z"); // the series owns its value lists
    }
    TChartValueList* GridZValues() const override { return Z; }
    TChartSeries* NewGridSeries() const override { return new TGridStandIn(nullptr); }
    void AddGridXYZ(TChartSeries* Target, double X, double Y, double Zv) const override {
        auto* t = static_cast<TGridStandIn*>(Target);
        t->Z->SetTempValue(Zv); // the point may go anywhere in X order
        t->AddXY(X, Y);
    }
    TChartValueList* Z = nullptr;
};
