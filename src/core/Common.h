#pragma once
// Small text routines several subsystems share, and the system summary
// written to the start-up log. All static and stateless; log lines carry the
// class name "Common".

#include <QChar>
#include <QString>
#include <QStringList>

class SysInfo;

class Common {
public:
    // The pieces between separators, empty pieces dropped.
    static QStringList Split(const QString& text, QChar separator);
    // Non-empty, and every character one of '0'..'9'.
    static bool IsNumber(const QString& text);
    // The string-table text with that id; empty when there is none.
    static QString GetResourceString(int id);

    // System summary; each returns a text in every case. The overloads taking
    // a SysInfo read their facts from it (tests give fixture roots).
    static QString GetOSName();
    static QString GetOSName(const SysInfo& info);
    static QString GetMemoryStatus();
    static QString GetMemoryStatus(const SysInfo& info);
    static QString GetCPUSpeed();
    static QString GetCPUSpeed(const SysInfo& info);
    static QString GetCPUType();
    static QString GetCPUType(int processorType, int processorLevel);

    // Logs every path under the working folder (when such lines would be
    // written); returns the empty text.
    static QString GetFileNames();
    // Every entry under folder in the order the system returns them, "." and
    // ".." included, a sub-folder's contents before the sub-folder itself;
    // folders whose names hold a dot, and symlinked folders, are not entered.
    static QStringList FindFiles(const QString& folder);
};
