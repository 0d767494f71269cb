// The main of the suites that need widgets: one QApplication on the
// offscreen platform, the browser engine prepared before it, the skin's font
// faces mapped as the program maps them, and the test thread installed as
// the UI thread, as the program's main does.

#include "platform/BrowserEngine.h"
#include "platform/ThreadSanitizerQt.h"
#include "platform/UiThread.h"
#include "platform/gdi/GdiCompat.h"

#include <QApplication>
#include <gtest/gtest.h>

KESTROV_TSAN_IGNORE_QT_INTERNALS()

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::PrepareBrowserEngine();
    QApplication app(argc, argv);
    UiThread::Install();
    gdi::InstallFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    UiThread::Close();
    return result;
}
