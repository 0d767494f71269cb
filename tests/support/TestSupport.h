#pragma once
// Fixtures shared by the suites.

#include <QString>
#include <QTemporaryDir>
#include <optional>
#include <string>

namespace testsupport {

// A fresh temporary folder made the working folder for the fixture's life;
// the previous working folder is restored after.
class ScopedWorkingFolder {
public:
    ScopedWorkingFolder();
    ~ScopedWorkingFolder();
    QString Path() const { return dir.path(); }

private:
    QTemporaryDir dir;
    std::string previous;
};

// Sets (or with nullopt unsets) an environment variable; restores it after.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<QString> value);
    ~ScopedEnv();

private:
    std::string name;
    std::optional<std::string> previous;
};

}  // namespace testsupport
