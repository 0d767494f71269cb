#pragma once
// Logging switched on into a temporary working folder, and the lines
// written there since.

#include "support/TestSupport.h"
#include "core/Logger.h"

#include <QFile>
#include <QStringList>

class LogCapture {
public:
    LogCapture()
    {
        Logger& logger = Logger::GetInstance();
        logger.SetEnabled(true);
        logger.SetType(3);
        logger.SetLevel(3);
    }
    ~LogCapture() { Logger::GetInstance().SetEnabled(false); }

    // Each line as "[class]\t[method]\tmessage", the time and line end cut off.
    QStringList Lines() const
    {
        QFile file(Logger::GetInstance().GetLogFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines;
        for (const QByteArray& line : file.readAll().split('\n')) {
            // Only the line end goes: a message may end in a blank.
            QString text = QString::fromLatin1(line);
            if (text.endsWith('\r'))
                text.chop(1);
            if (!text.isEmpty())
                lines << text.section('\t', 1);
        }
        return lines;
    }

    static QString Line(const QString& method, const QString& message, const QString& className = "VlcFunctionExecutor")
    {
        return "[" + className + "]\t[" + method + "]\t" + message;
    }

private:
    testsupport::ScopedWorkingFolder folder;
};
