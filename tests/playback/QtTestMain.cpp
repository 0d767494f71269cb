// Runs the suite inside a Qt application: a QCoreApplication, or with
// KESTROV_TEST_WIDGETS a QApplication on the platform the environment names.

#include "platform/UiThread.h"

#include <QApplication>
#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
#ifdef KESTROV_TEST_WIDGETS
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    // Frames reach the surfaces through the project's UI-thread hand-off.
    UiThread::Install();
    return RUN_ALL_TESTS();
}
