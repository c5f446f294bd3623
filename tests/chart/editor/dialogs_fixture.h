#pragma once
// A 300 x 200 chart with a line series on the forms layer, its pixels, and a
// host form for docking editor pages.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/teestore.h"
#include "chart/editor/teeeditorstartup.h"
#include "platform/classes/streams.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/testhooks.h"
#include "platform/classes/stringlist.h"
#include <gtest/gtest.h>
#include <memory>
#include <vector>

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TeeRegisterEditorDialogs();
        TeeRegisterSeriesEditors();
        Chart = std::make_unique<TChart>();
        Chart->SetBevelOuter(bvNone);
        Chart->SetBounds(0, 0, 300, 200);
        Chart->SetView3D(false);
        Chart->SetName("Chart1");
        Line = new TLineSeries(Chart.get());
        Line->SetName("Series1");
        Line->SetParentChart(Chart.get());
        for (int i = 0; i <= 10; ++i)
            Line->AddXY(i, (i * 37) % 100);
        Responder.OnFailure = [](const AnsiString& m) { ADD_FAILURE() << m.c_str(); };
    }
    // The chart saved to a chart file and loaded into a fresh chart.
    std::unique_ptr<TChart> RoundTrip() {
        TMemoryStream m;
        SaveChartToStream(Chart.get(), &m);
        auto fresh = std::make_unique<TChart>();
        TCustomChart* target = fresh.get();
        m.SetPosition(0);
        LoadChartFromStream(target, &m);
        return fresh;
    }
    std::vector<TColor> Pixels() {
        Chart->Draw();
        std::vector<TColor> v;
        TCanvas* c = Chart->ControlCanvas();
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                v.push_back(c->Pixels(x, y));
        return v;
    }
    // Runs Action on the modal form of class T once it shows.
    template <typename T> void OnModal(TPumpScript& Script, std::function<void(T*)> Action) {
        Script.When([] { return dynamic_cast<T*>(Screen->ActiveForm()) != nullptr; }).Do([Action] {
            Action(dynamic_cast<T*>(Screen->ActiveForm()));
        });
    }
    // The user steps to item I of a drop-down list with the arrow keys.
    static void Choose(TComboBox* Combo, int I) {
        ASSERT_GE(I, 0);
        ASSERT_LT(I, Combo->Items()->Count());
        Combo->SetItemIndex(I > 0 ? I - 1 : 1);
        SimulateKey(Combo, I > 0 ? VK_DOWN : VK_UP);
        ASSERT_EQ(Combo->ItemIndex(), I);
    }
    static void Choose(TComboBox* Combo, const AnsiString& Item) {
        Choose(Combo, Combo->Items()->IndexOf(Item));
    }
    TDialogResponder Responder;
    std::unique_ptr<TChart> Chart;
    TLineSeries* Line = nullptr;
};
