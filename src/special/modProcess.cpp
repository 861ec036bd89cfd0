#include "special/modProcess.h"

#include "util/Text.h"

namespace tamsel {

std::int32_t getPlatformId() {
    return 2;
}

std::int32_t IsTaskRunning(const std::string& name, ProcessControl& processes) {
    if (getPlatformId() != 2 || name.empty()) {
        return 0;
    }
    std::int32_t found = 0;
    for (const auto& process : processes.processes()) {
        if (ContainsNoCase(process.executable, name) ||
            ContainsNoCase(process.firstArgument, name)) {
            found = process.pid;
        }
    }
    return found;
}

bool isPowerPointRunning(ProcessControl& processes) {
    return IsTaskRunning("powerpnt.exe", processes) != 0;
}

void closeProcessWindows(std::int32_t pid, ProcessControl& processes) {
    processes.requestClose(pid);
}

}  // namespace tamsel
