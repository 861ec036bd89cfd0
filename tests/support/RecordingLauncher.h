#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ShellLauncher.h"

namespace tamsel::test {

// Takes the shell's requests in place of the desktop: an address or a file that exists opens, a
// missing file is not found.
class RecordingLauncher : public ShellLauncher {
  public:
    int open(const ShellRequest& request) override {
        files.push_back(request.file);
        const bool address = request.file.find(':') != std::string::npos;
        return address || std::filesystem::exists(request.file) ? 33 : 2;
    }
    std::vector<std::string> files;
};

}  // namespace tamsel::test
