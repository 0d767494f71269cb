#include "platform/BrowserEngine.h"

#include <QCoreApplication>

#include <unistd.h>

namespace platform {

void PrepareBrowserEngine()
{
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

}  // namespace platform
