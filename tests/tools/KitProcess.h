#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/TempDir.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel::test {

// The outcome of one tamsel-kit process.
struct KitRun {
    int status = -1;
    std::string out;
    std::string err;
};

// The text single-quoted for the shell.
inline std::string Quote(const std::string& text) {
    return "'" + ReplaceAll(text, "'", "'\\''") + "'";
}

// Runs tamsel-kit with the arguments (already quoted for the shell) and the environment
// assignments in front; its standard error goes through a file.
inline KitRun Kit(const std::string& arguments, const std::string& environment = "") {
    TempDir scratch;
    const std::string errPath = scratch / "stderr";
    const std::string command =
        environment + " " + Quote(TAMSEL_KIT) + " " + arguments + " 2>" + Quote(errPath);
    KitRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, n);
    }
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    ReadWholeFile(errPath, run.err);
    return run;
}

}  // namespace tamsel::test
