#include "platform/ExecutableName.h"

#include <windows.h>

#include <filesystem>

#include "util/FileSystem.h"
#include "util/windows/WideText.h"

namespace tamsel {

std::string ExecutablePath() {
    std::wstring path(32768, L'\0');
    const DWORD size = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return size == 0 || size >= path.size() ? std::string()
                                            : NarrowPath(std::wstring_view(path.data(), size));
}

std::string ExecutableName() {
    const std::string path = ExecutablePath();
    return path.empty() ? std::string("tamsel-updater") : Utf8FromPath(PathFromUtf8(path).stem());
}

}  // namespace tamsel
