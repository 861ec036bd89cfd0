#pragma once

#include <cstdint>
#include <string>

#include "platform/ProcessControl.h"

namespace tamsel {

// The platform family the program runs on: 2, the family whose processes can be searched.
std::int32_t getPlatformId();

// The id of a running process whose executable path, or the path it was started with, contains
// the name ignoring case; 0 when none does. When several match, the last one examined wins. An
// empty name finds nothing.
std::int32_t IsTaskRunning(const std::string& name,
                           ProcessControl& processes = SystemProcessControl());

// Whether a process of "powerpnt.exe" runs.
bool isPowerPointRunning(ProcessControl& processes = SystemProcessControl());

// Asks every top-level window of the process to close (the process itself when it shows none).
// Returns at once.
void closeProcessWindows(std::int32_t pid, ProcessControl& processes = SystemProcessControl());

}  // namespace tamsel
