#pragma once
// This process's I/O as the kernel counts it (/proc/self/io), children that
// were waited for included. Reading the file is itself counted (about 120
// bytes).

#include <cstdint>
#include <fstream>
#include <map>
#include <string>

namespace testsupport {

struct ProcessIo {
    uint64_t readCalls = 0;     // syscr
    uint64_t bytesRead = 0;     // rchar
    uint64_t bytesWritten = 0;  // wchar

    static ProcessIo Now()
    {
        std::ifstream in("/proc/self/io");
        std::map<std::string, uint64_t> values;
        std::string key;
        uint64_t value = 0;
        while (in >> key >> value)
            values[key] = value;
        return {values["syscr:"], values["rchar:"], values["wchar:"]};
    }
    ProcessIo operator-(const ProcessIo& earlier) const
    {
        return {readCalls - earlier.readCalls, bytesRead - earlier.bytesRead, bytesWritten - earlier.bytesWritten};
    }
};

}  // namespace testsupport
