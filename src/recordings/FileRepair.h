#pragma once
// The repair that discovery hands a broken recording to; one method, so
// tests can see what was sent.

#include <QString>

class FileRepair {
public:
    virtual ~FileRepair() = default;
    // True when a repaired recording stands at repairedPath afterwards.
    virtual bool RecoverFile(const QString& path, QString& repairedPath) = 0;
};
