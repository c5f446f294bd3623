#pragma once
// A chart panel for tests: paints its background with PanelPaint and fills the
// chart rectangle red, and can be told to fail while drawing.
#include "chart/engine/teeprocs.h"
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <unistd.h>

class TTestPanel : public TCustomTeePanelExtended {
public:
    explicit TTestPanel(TComponent* AOwner = nullptr) : TCustomTeePanelExtended(AOwner) {}

    int Draws = 0;
    bool Fail = false;
    bool FillChart = true;
    std::function<void(const TRect&)> OnDraw;

    void InternalDraw(const TRect& R) override {
        ++Draws;
        if (Fail) throw Exception("drawing failed");
        PanelPaint(R);
        if (FillChart) {
            Canvas()->Brush()->SetStyle(bsSolid);
            Canvas()->Brush()->SetColor(clRed);
            Canvas()->FillRect(ChartRect());
        }
        if (OnDraw) OnDraw(R);
    }
};

// A plain panel: no bevel, white, 400 x 250.
class PanelTest : public ::testing::Test {
protected:
    PanelTest() : Panel(std::make_unique<TTestPanel>()) {
        Panel->SetBevelOuter(bvNone);
        Panel->SetColor(clWhite);
    }

    static std::string TempPath(const std::string& Name) {
        return (std::filesystem::temp_directory_path() /
                ("qm_panel_" + std::to_string(getpid()) + "_" + Name))
            .string();
    }

    std::unique_ptr<TTestPanel> Panel;
};
