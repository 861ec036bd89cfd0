#include "platform/ExecutableName.h"

#include <filesystem>

namespace tamsel {

std::string ExecutablePath() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.string();
}

std::string ExecutableName() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("tamsel-updater") : exe.stem().string();
}

}  // namespace tamsel
