#pragma once
// Test helpers for windows: a dialog responder and a pump script that report
// their failures to GoogleTest, and a fixed screen size.
#include "platform/forms/testhooks.h"
#include <gtest/gtest.h>

// Every unexpected, mismatched or missing box or dialog fails the test.
class TStrictResponder : public TDialogResponder {
public:
    TStrictResponder() {
        OnFailure = [](const AnsiString& Message) { ADD_FAILURE() << Message.c_str(); };
    }
};

// Screen size for the life of a scope (windows centre on it).
class TScreenSizeScope {
public:
    TScreenSizeScope(int Width, int Height) { SetScreenSizeOverride(Width, Height); }
    ~TScreenSizeScope() { SetScreenSizeOverride(0, 0); }
    TScreenSizeScope(const TScreenSizeScope&) = delete;
    TScreenSizeScope& operator=(const TScreenSizeScope&) = delete;
};
