#pragma once

#include <string>

namespace tamsel {

// The running program's file name without folder and extension ("tamsel-updater"), which
// prefixes the source of the errors the program raises.
std::string ExecutableName();
// The running program's full path; empty when the system does not tell it.
std::string ExecutablePath();

}  // namespace tamsel
