#pragma once

#include <string>

namespace tamsel {

// Where the debug trace goes: on only with /DEBUG, to "debug.log" in the program's folder.
struct DebugTarget {
    bool enabled = false;
    std::string path;
};

// Appends "[" + long time + "] " + message + CR LF to the target's file when it is enabled.
// The file is opened and closed for each line; errors are ignored.
void DebugLog(const DebugTarget& target, const std::string& message);

}  // namespace tamsel
