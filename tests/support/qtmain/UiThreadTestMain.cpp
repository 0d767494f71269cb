// main of the suites that need a UI thread: the application object, without
// any display, owns the test thread, which is installed as the UI thread.
#include "platform/UiThread.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    UiThread::Install();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    UiThread::Close();
    return result;
}
