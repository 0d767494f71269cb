#include "TestSupport.h"

#include <cstdlib>
#include <stdexcept>
#include <unistd.h>
#include <climits>

namespace testsupport {

ScopedWorkingFolder::ScopedWorkingFolder()
{
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer) || !dir.isValid()) {
        throw std::runtime_error("cannot set up a working folder");
    }
    previous = buffer;
    if (chdir(dir.path().toLocal8Bit().constData()) != 0) {
        throw std::runtime_error("cannot enter the working folder");
    }
}

ScopedWorkingFolder::~ScopedWorkingFolder()
{
    if (chdir(previous.c_str()) != 0) {
        std::abort();
    }
}

ScopedEnv::ScopedEnv(const char* variable, std::optional<QString> value) : name(variable)
{
    if (const char* old = std::getenv(variable)) {
        previous = old;
    }
    if (value) {
        setenv(variable, value->toLocal8Bit().constData(), 1);
    } else {
        unsetenv(variable);
    }
}

ScopedEnv::~ScopedEnv()
{
    if (previous) {
        setenv(name.c_str(), previous->c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
}

}  // namespace testsupport
