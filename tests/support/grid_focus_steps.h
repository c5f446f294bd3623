#pragma once
// A grid's OnEnter and OnExit logged over a run of a user's gestures: after
// each, the log since the start (E: entered, X: left) and whether the grid's
// cell editor is open.
#include "platform/forms/grids.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

struct TGridFocusStep {
    const char* What;
    std::function<void()> Gesture;
    const char* Log;
    bool Open;
};

inline void RunGridFocusSteps(TCustomGrid* Grid, const std::vector<TGridFocusStep>& Steps) {
    std::string log;
    Grid->OnEnter = [&](TObject*) { log += "E"; };
    Grid->OnExit = [&](TObject*) { log += "X"; };
    for (const TGridFocusStep& step : Steps) {
        step.Gesture();
        ASSERT_EQ(log, step.Log) << "after " << step.What
                                 << " (E: the grid's OnEnter, X: its OnExit)";
        EXPECT_EQ(Grid->EditorMode(), step.Open) << "after " << step.What;
    }
    Grid->OnEnter = nullptr;
    Grid->OnExit = nullptr;
}
