#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/ShellLauncher.h"
#include "util/Error.h"

namespace tamsel {

// The error shellOpen raises for a failed shell result (0 to 32), source "<program>.GShell".
TamselError ShellError(int result);

// Opens a document or starts a program the way the desktop does. A file whose name contains
// ".EXE" (any case) asks for a hidden window; with neither parameters nor folder the window is
// always a normal one. True when the request was accepted. Never throws: on failure the error
// is handed back through currentError (when given) and the result is false.
bool shellOpen(const std::string& file, std::int32_t showState, const std::string& parameters,
               const std::string& folder, std::string& verb, std::intptr_t& hwnd,
               std::optional<TamselError>* currentError = nullptr,
               ShellLauncher& launcher = SystemShellLauncher());

}  // namespace tamsel
