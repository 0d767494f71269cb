#include "ui/CKestrovViewerApp.h"

#include "core/Common.h"
#include "platform/BrowserEngine.h"
#include "platform/Paths.h"
#include "platform/UiThread.h"
#include "platform/UserNotifier.h"
#include "platform/gdi/GdiCompat.h"
#include "platform/widgets/QtMessageBoxNotifier.h"
#include "playback/VlcFunctionExecutor.h"
#include "ui/CKestrovViewerNewDlg.h"
#include "ui/CloseOnSignals.h"
#include "ui/UiAssert.h"

#include <QApplication>
#include <QImageReader>
#include <QTimer>

#include <clocale>

namespace {

constexpr int kImagesMissingText = 6002;
constexpr int kImagesMissingCaption = 6003;

}  // namespace

AppServices AppServices::ForProgram()
{
    return {&CKestrovViewerApp::CanReadPng, [] { return MainWindowServices::ForProgram(); }};
}

bool CKestrovViewerApp::CanReadPng()
{
    return QImageReader::supportedImageFormats().contains("png");
}

int CKestrovViewerApp::Run(int argc, char** argv)
{
    // The map's browser: shared OpenGL contexts, and no sandbox for root.
    platform::PrepareBrowserEngine();
    QApplication application(argc, argv);
    // Numbers in files and commands are read and written in the C locale.
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setApplicationName(Paths::ProgramBaseName());
    UiThread::Install();
    gdi::InstallFontSubstitutes();
    QtMessageBoxNotifier notifier;
    UserNotifier::Install(&notifier);

    const int exitCode = InitInstance(AppServices::ForProgram());

    UiThread::Close();
    UserNotifier::Install(nullptr);
    return exitCode;
}

int CKestrovViewerApp::InitInstance(AppServices services)
{
    ui::AssertUiThread();
    if (!services.startupChecks()) {
        UserNotifier::Current().Ask(Common::GetResourceString(kImagesMissingText),
                                    Common::GetResourceString(kImagesMissingCaption), UserNotifier::Button::Ok,
                                    UserNotifier::Button::Ok);
        return 1;
    }
    try {
        CKestrovViewerNewDlg window(services.makeWindowServices());
        // A plain call, not an event: a missing libvlc reaches the catch
        // below without crossing Qt's event delivery.
        window.OnInitDialog();
        CloseOnSignals closeOnSignals(window);
        // The drive selection once the window is up.
        QTimer::singleShot(0, &window, [&window] { window.RunStartupDriveSelection(); });
        window.exec();
    } catch (const VlcLoadError& error) {
        UserNotifier::Current().ShowMessage(QString::fromUtf8(error.what()));
        return 1;
    }
    return 0;
}
