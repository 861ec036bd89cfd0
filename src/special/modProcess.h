#pragma once

#include <cstdint>
#include <string>

#include "platform/ProcessControl.h"

namespace tamsel {

// The platform family the program runs on: 2, the family whose processes can be searched.
std::int32_t getPlatformId();

// The id of a running process of this user whose program's file name, or the file name it was
// started with, contains the name ignoring case (the whole path, when the name holds a "/" or
// "\"); 0 when none does. When several match, the last one examined wins. A name that is empty or
// only separators finds nothing.
std::int32_t IsTaskRunning(const std::string& name,
                           ProcessControl& processes = SystemProcessControl());

// Whether a process of "powerpnt.exe" runs.
bool isPowerPointRunning(ProcessControl& processes = SystemProcessControl());

// Asks every top-level window of the process to close; a process without one is left alone.
// Returns at once.
void closeProcessWindows(std::int32_t pid, ProcessControl& processes = SystemProcessControl());

}  // namespace tamsel
