// Panels are windows: the widget application must exist before any picture
// code makes a plain one, whichever test runs first.
#include "platform/forms/extctrls.h"
#include <gtest/gtest.h>

namespace {
class TWidgetApplicationFirst : public ::testing::Environment {
public:
    void SetUp() override { TPanel first(nullptr); }
};
const auto* const WidgetApplicationFirst =
    ::testing::AddGlobalTestEnvironment(new TWidgetApplicationFirst);
} // namespace
