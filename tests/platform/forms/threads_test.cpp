#include "platform/forms/forms.h"
#include "platform/graphics/qtbridge.h"
#include "platform/win32/mainthread.h"
#include <QApplication>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

TEST(MessageLoop, CallsHandedOverByAWorkerThreadRunInProcessMessages) {
    Application->ProcessMessages();
    std::atomic<int> ran{0};
    std::thread worker([&] { QueueToMainThread([&] { ran = IsMainThread() ? 1 : -1; }); });
    worker.join();
    EXPECT_EQ(ran, 0); // nothing runs behind the loop's back
    Application->ProcessMessages();
    EXPECT_EQ(ran, 1);
}

TEST(QtApplicationDeathTest, GraphicsFirstStillMakesTheWidgetApplication) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A fresh process: the first Qt user is the graphics layer.
    EXPECT_EXIT(
        {
            EnsureGuiApplication();
            std::exit(qobject_cast<QApplication*>(QCoreApplication::instance()) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
