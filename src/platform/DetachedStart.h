#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tamsel {

// Starts a program in a session of its own, as a grandchild that this process never has to
// reap, with no file of ours left open in it and signals back to their defaults. argv[0] is the
// program; with searchPath it is looked up in PATH. folder, when not empty, is its working folder.

// Returns 0 once the program runs, or the error number of the start that failed.
int StartDetached(const std::vector<std::string>& argv, const std::string& folder);

// Starts the program the same way and waits up to wait for it to end. Its exit status (a signal
// that ended it gives -1); nothing when it still runs after wait. A program that cannot be
// started at all ends with status 127.
std::optional<int> RunDetached(const std::vector<std::string>& argv,
                               std::chrono::milliseconds wait);

}  // namespace tamsel
