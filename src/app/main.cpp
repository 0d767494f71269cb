// The viewer's entry point. Until the main window exists it only brings up
// the core services the window's start-up brings up (the skin module, the
// options, the log with its system summary) and exits.

#include "core/Common.h"
#include "core/Logger.h"
#include "core/OptionRecord.h"
#include "core/resources/ResourceManager.h"

#include <QCoreApplication>

namespace {

void LogStart(const OptionRecord& options)
{
    Logger& logger = Logger::GetInstance();
    logger.SetEnabled(options.useLog);
    logger.SetType(options.logType);
    logger.SetLevel(options.logLevel);

    const QString className = QStringLiteral("CKestrovViewerNewDlg");
    const QString function = QStringLiteral("OnInitDialog");
    const auto log = [&](const QString& message) { logger.Log(message, className, function, 3, 3); };
    log(QStringLiteral("Log Start!"));
    log(QStringLiteral("KestrovViewerDlg Init"));
    Common::GetFileNames();
    log(Common::GetOSName());
    log(Common::GetMemoryStatus());
    log(Common::GetCPUSpeed());
    log(Common::GetCPUType());
}

}  // namespace

int main(int argc, char** argv)
{
    // No window yet, so no QApplication: the default notifier prints to stderr.
    QCoreApplication app(argc, argv);

    // The skin module is loaded first, for the window icon, while the log is
    // still off; a missing module leaves the viewer without images.
    const QImage windowIcon = ResourceManager::GetInstance().GetIcon(245);
    Q_UNUSED(windowIcon);

    LogStart(OptionRecord::LoadOptionIni());

    ResourceManager::DestroyInstance();
    return 0;
}
