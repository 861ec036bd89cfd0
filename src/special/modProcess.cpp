#include "special/modProcess.h"

#include "util/Text.h"

namespace tamsel {

std::int32_t getPlatformId() {
    return 2;
}

namespace {

constexpr const char* kSeparators = "/\\";

// Whether the name occurs in the program's file name, or in its whole path when the name holds a
// separator itself.
bool Names(std::string_view path, const std::string& name, bool wholePath) {
    if (!wholePath) {
        const auto slash = path.find_last_of(kSeparators);
        path.remove_prefix(slash == std::string_view::npos ? 0 : slash + 1);
    }
    return !path.empty() && ContainsNoCase(path, name);
}

}  // namespace

std::int32_t IsTaskRunning(const std::string& name, ProcessControl& processes) {
    if (getPlatformId() != 2 || name.find_first_not_of(kSeparators) == std::string::npos) {
        return 0;
    }
    const bool wholePath = name.find_first_of(kSeparators) != std::string::npos;
    std::int32_t found = 0;
    for (const auto& process : processes.processes()) {
        if (Names(process.executable, name, wholePath) ||
            Names(process.firstArgument, name, wholePath)) {
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
