#include "engine/RemovalGuard.h"

namespace tamsel {

namespace fs = std::filesystem;

namespace {

// The folder with every link, "." and ".." resolved; empty when it cannot be resolved.
fs::path RealPath(const std::string& path) {
    std::error_code error;
    fs::path real = fs::canonical(path, error);
    return error ? fs::path() : real;
}

}  // namespace

RemovalGuard::RemovalGuard(const std::string& kitFolder, const std::string& programFolder)
    : kitFolder_(kitFolder), realKit_(kitFolder.empty() ? fs::path() : RealPath(kitFolder)) {
    kitIsProgramFolder_ = !realKit_.empty() && realKit_ == RealPath(programFolder);
}

std::string RemovalGuard::whyKept(const std::string& url) const {
    if (kitIsProgramFolder_ && url.find('/', 1) == std::string::npos) {
        return "it lies beside the program";
    }
    const fs::path real = RealPath(kitFolder_ + url);
    const fs::path relative = real.lexically_relative(realKit_);
    if (real.empty() || realKit_.empty() || relative.empty() || *relative.begin() == "..") {
        return "it is reached through a link that leads outside the kit folder";
    }
    return {};
}

}  // namespace tamsel
